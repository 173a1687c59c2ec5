#include "wininit.h"

#include <windows.h>

#include <cstring>

#include "failure.h"

static void ShortPathOf(const char* path, char shortPath[MAX_PATH])
{
    DWORD length = GetShortPathNameA(path, shortPath, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        ThrowLastError();
}

void CopyWithRenameEntry(FILE* from, FILE* to, const char* entry)
{
    bool written = false;
    bool lineEnded = true;
    char chunk[512];
    while (fgets(chunk, sizeof chunk, from)) {
        fputs(chunk, to);
        lineEnded = chunk[strlen(chunk) - 1] == '\n';
        if (!written && strcmp(chunk, "[rename]\n") == 0) {
            fputs(entry, to);
            written = true;
        }
    }
    if (!written) {
        // A last line without its line end would run into the new section.
        if (!lineEnded)
            fputs("\n", to);
        fputs("[rename]\n", to);
        fputs(entry, to);
    }
}

// The file's bytes as they are, so that it can be put back.
struct FileBytes {
    char* Data = nullptr;
    DWORD Size = 0;
    FileBytes() = default;
    FileBytes(const FileBytes&) = delete;
    FileBytes& operator=(const FileBytes&) = delete;
    ~FileBytes()
    {
        if (Data)
            HeapFree(GetProcessHeap(), 0, Data);
    }
};

static void ReadWholeFile(const char* path, FileBytes& bytes)
{
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        ThrowLastError();
    DWORD size = GetFileSize(file, NULL);
    DWORD read = 0;
    if (size != INVALID_FILE_SIZE) {
        bytes.Data = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, size));
        bytes.Size = size;
        if (!bytes.Data)
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        else if (size && !ReadFile(file, bytes.Data, size, &read, NULL))
            read = 0;
    }
    CloseHandle(file);
    if (size == INVALID_FILE_SIZE || !bytes.Data || read != size)
        ThrowLastError();
}

static void RestoreFile(const char* path, const FileBytes& bytes)
{
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written;
    WriteFile(file, bytes.Data, bytes.Size, &written, NULL);
    CloseHandle(file);
}

static void AppendNewSection(const char* path, const char* entry)
{
    FILE* file = fopen(path, "at");
    if (!file)
        ThrowLastError();
    fputs("[rename]\n", file);
    fputs(entry, file);
    fclose(file);
}

void ScheduleRename(const char* tempFile, const char* hiveFile)
{
    char hiveShort[MAX_PATH], tempShort[MAX_PATH];
    ShortPathOf(hiveFile, hiveShort);
    ShortPathOf(tempFile, tempShort);
    char entry[2 * MAX_PATH + 2];
    snprintf(entry, sizeof entry, "%s=%s\n", hiveShort, tempShort);

    char path[MAX_PATH], systemDirectory[MAX_PATH] = "";
    GetSystemDirectoryA(systemDirectory, sizeof systemDirectory);
    snprintf(path, sizeof path, "%s\\..\\WinInit.ini", systemDirectory);

    FILE* old = fopen(path, "rt");
    if (!old) {
        AppendNewSection(path, entry);
        return;
    }
    char tempPath[MAX_PATH] = "", copyPath[MAX_PATH];
    GetTempPathA(sizeof tempPath, tempPath);
    FILE* copy = GetTempFileNameA(tempPath, "qs", 0, copyPath) ? fopen(copyPath, "at") : NULL;
    if (!copy) {
        DWORD code = GetLastError();
        fclose(old);
        SetLastError(code);
        ThrowLastError();
    }
    CopyWithRenameEntry(old, copy, entry);
    fclose(copy);
    fclose(old);

    FileBytes original;
    ReadWholeFile(path, original);
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
