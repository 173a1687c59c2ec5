#include "wininit.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "failure.h"
#include "paths.h"

static void ShortPathOf(const char* path, char shortPath[MAX_PATH])
{
    DWORD length = GetShortPathNameA(path, shortPath, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        ThrowLastError();
}

// A file's bytes on the process heap, freed on every path out of the scope.
struct FileBytes {
    char* Bytes = nullptr;
    DWORD Size = 0;
    FileBytes() = default;
    FileBytes(const FileBytes&) = delete;
    FileBytes& operator=(const FileBytes&) = delete;
    ~FileBytes()
    {
        if (Bytes)
            HeapFree(GetProcessHeap(), 0, Bytes);
    }
};

// False when the file can't be opened; throws when it opens but can't be read.
static bool ReadWholeFile(const char* path, FileBytes* file)
{
    HANDLE handle = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                                OPEN_EXISTING, 0, NULL);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    DWORD size = GetFileSize(handle, NULL), read = 0;
    bool whole = size != INVALID_FILE_SIZE;
    if (whole) {
        file->Bytes = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, size ? size : 1));
        if (!file->Bytes)
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        whole = file->Bytes && ReadFile(handle, file->Bytes, size, &read, NULL) && read == size;
    }
    DWORD code = GetLastError();
    CloseHandle(handle);
    if (!whole) {
        SetLastError(code);
        ThrowLastError();
    }
    file->Size = size;
    return true;
}

// Writes to an open file; after the first failed write the rest are skipped
// and the system's code of that failure is kept.
struct Output {
    HANDLE File;
    DWORD Error;
};

static void Put(Output* out, const char* bytes, DWORD size)
{
    DWORD written = 0;
    if (out->Error || size == 0)
        return;
    if (!WriteFile(out->File, bytes, size, &written, NULL) || written != size) {
        DWORD code = GetLastError();
        out->Error = code ? code : ERROR_WRITE_FAULT;
    }
}

// Bytes [begin, end) of the text. Text mode always wrote a line end as CR LF,
// and 9x expects that: a line feed without its carriage return gets one.
static void PutText(Output* out, const char* text, DWORD begin, DWORD end)
{
    DWORD run = begin;
    for (DWORD at = begin; at < end; ++at)
        if (text[at] == '\n' && (at == 0 || text[at - 1] != '\r')) {
            Put(out, text + run, at - run);
            Put(out, "\r", 1);
            run = at;
        }
    Put(out, text + run, end - run);
}

// Where the line after the first header starts (the end of the text when the
// header is its last line), or 0 when there is none. The header is a line that
// is exactly "[rename]" as text-mode reading sees it: CR LF reads as one line end.
static DWORD AfterRenameHeader(const char* text, DWORD end)
{
    for (DWORD line = 0; line < end;) {
        const void* feed = memchr(text + line, '\n', end - line);
        DWORD next = feed ? DWORD(static_cast<const char*>(feed) - text) + 1 : end;
        DWORD length = next - line;
        if (feed) {
            --length;
            if (length && text[line + length - 1] == '\r')
                --length;
        }
        if (length == 8 && memcmp(text + line, "[rename]", 8) == 0)
            return next;
        line = next;
    }
    return 0;
}

// The old file's bytes, every one of them, with the entry right after the first
// header, or a new section at the end of the text when there is none.
static void PutWithRenameEntry(Output* out, const char* old, DWORD size, const char* entry)
{
    // Text mode ends the text at the first end-of-file byte: what follows it is
    // kept as it is, and a new section goes in front of it, where it is read.
    const void* endOfFile = memchr(old, 0x1A, size);
    DWORD end = endOfFile ? DWORD(static_cast<const char*>(endOfFile) - old) : size;
    DWORD header = AfterRenameHeader(old, end);
    DWORD split = header ? header : end;
    PutText(out, old, 0, split);
    // A last line without its end, the header itself or a line that the new
    // section would run into, gets one.
    if (split && old[split - 1] != '\n')
        Put(out, "\r\n", 2);
    if (!header)
        Put(out, "[rename]\r\n", 10);
    Put(out, entry, DWORD(strlen(entry)));
    PutText(out, old, split, end);
    Put(out, old + end, size - end);
}

static void WriteCopy(const char* copyPath, const FileBytes& old, const char* entry)
{
    Output out = {CreateFileA(copyPath, GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL), 0};
    if (out.File == INVALID_HANDLE_VALUE)
        ThrowLastError();
    PutWithRenameEntry(&out, old.Bytes, old.Size, entry);
    CloseHandle(out.File);
    if (out.Error) {
        // A cut copy must never take the place of the user's file.
        DeleteFileA(copyPath);
        ThrowSystemError(out.Error);
    }
}

static void RestoreFile(const char* path, const FileBytes& bytes)
{
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written;
    WriteFile(file, bytes.Bytes, bytes.Size, &written, NULL);
    CloseHandle(file);
}

static void AppendNewSection(const char* path, const char* entry)
{
    FILE* file = fopen(path, "ab");
    if (!file)
        ThrowLastError();
    bool written = fputs("[rename]\r\n", file) >= 0 && fputs(entry, file) >= 0;
    // The entry is only where it was written in full.
    if (fclose(file) != 0 || !written)
        ThrowLastError();
}

void ScheduleRename(const char* tempFile, const char* hiveFile)
{
    char hiveShort[MAX_PATH], tempShort[MAX_PATH];
    ShortPathOf(hiveFile, hiveShort);
    ShortPathOf(tempFile, tempShort);
    char entry[2 * MAX_PATH + 3];
    snprintf(entry, sizeof entry, "%s=%s\r\n", hiveShort, tempShort);

    char path[MAX_PATH];
    if (!WindowsFolderPath(path, "WinInit.ini"))
        ThrowSystemError(ERROR_FILENAME_EXCED_RANGE);

    // Read as bytes, so that the copy keeps every one of them; kept, so that
    // they can be put back.
    FileBytes original;
    if (!ReadWholeFile(path, &original)) {
        AppendNewSection(path, entry);
        return;
    }
    char tempPath[MAX_PATH] = "", copyPath[MAX_PATH];
    GetTempPathA(sizeof tempPath, tempPath);
    if (!GetTempFileNameA(tempPath, "qs", 0, copyPath))
        ThrowLastError();
    WriteCopy(copyPath, original, entry);

    if (!SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL))
        ThrowLastError();
    if (!DeleteFileA(path))
        ThrowLastError();
    if (!MoveFileA(copyPath, path)) {
        // The old file is gone by now: put the user's bytes back before
        // reporting, so that a failed entry costs nothing else.
        DWORD code = GetLastError();
        RestoreFile(path, original);
        SetLastError(code);
        ThrowLastError();
    }
}
