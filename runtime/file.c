// fopen and the calls on its streams that the programs make, on the Win32
// file functions, without buffering of writes. In text mode ("t" or no "b"),
// as the C runtime has it: LF is written as CR LF, CR LF is read as LF (any
// other CR stays), and a byte 0x1A ends the text. A failed call leaves the
// system's error code as the last error.
#include <windows.h>

#include "runtime.h"

enum {
    TEXT = 1,
    APPEND = 2,
    ENDED = 4,  // nothing more will be read: the end, 0x1A or a failure
    FAILED = 8, // a read failed
};

struct Stream {
    HANDLE Handle;
    int Flags;
    int ReadAhead; // the byte after a CR that was not LF, or -1
    DWORD Next, Filled;
    unsigned char Buffer[512];
};

struct Stream* fopen(const char* path, const char* mode)
{
    static const struct {
        char Mode;
        DWORD Access, Disposition;
        int Flags;
    } modes[] = {
        {'r', GENERIC_READ, OPEN_EXISTING, TEXT},
        {'w', GENERIC_WRITE, CREATE_ALWAYS, TEXT},
        {'a', GENERIC_WRITE, OPEN_ALWAYS, TEXT | APPEND},
    };
    int chosen = -1;
    for (int i = 0; i < (int)(sizeof modes / sizeof modes[0]); ++i)
        if (mode[0] == modes[i].Mode)
            chosen = i;
    int flags = chosen >= 0 ? modes[chosen].Flags : 0;
    for (const char* option = mode + 1; chosen >= 0 && *option; ++option) {
        if (*option == 'b')
            flags &= ~TEXT;
        else if (*option != 't')
            chosen = -1; // "t" and "b" only: no update modes
    }
    if (chosen < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return NULL;
    }
    struct Stream* stream = malloc(sizeof *stream);
    if (!stream) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return NULL;
    }
    stream->Handle = CreateFileA(path, modes[chosen].Access, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 NULL, modes[chosen].Disposition, FILE_ATTRIBUTE_NORMAL, NULL);
    if (stream->Handle == INVALID_HANDLE_VALUE) {
        DWORD code = GetLastError();
        free(stream);
        SetLastError(code);
        return NULL;
    }
    stream->Flags = flags;
    stream->ReadAhead = -1;
    stream->Next = stream->Filled = 0;
    return stream;
}

int fclose(struct Stream* stream)
{
    BOOL closed = CloseHandle(stream->Handle);
    free(stream);
    return closed ? 0 : -1;
}

// The next byte of the file, or -1.
static int NextByte(struct Stream* stream)
{
    if (stream->Flags & ENDED)
        return -1;
    if (stream->Next == stream->Filled) {
        DWORD read = 0;
        if (!ReadFile(stream->Handle, stream->Buffer, sizeof stream->Buffer, &read, NULL))
            stream->Flags |= FAILED;
        if (read == 0) {
            stream->Flags |= ENDED;
            return -1;
        }
        stream->Next = 0;
        stream->Filled = read;
    }
    return stream->Buffer[stream->Next++];
}

// The next character as the mode reads it, or -1.
static int NextCharacter(struct Stream* stream)
{
    int c = stream->ReadAhead >= 0 ? stream->ReadAhead : NextByte(stream);
    stream->ReadAhead = -1;
    if (!(stream->Flags & TEXT))
        return c;
    if (c == 0x1a) {
        stream->Flags |= ENDED;
        return -1;
    }
    if (c == '\r') {
        int after = NextByte(stream);
        if (after == '\n')
            return '\n';
        stream->ReadAhead = after;
    }
    return c;
}

char* fgets(char* line, int size, struct Stream* stream)
{
    if (size <= 0)
        return NULL;
    int length = 0, c = 0;
    while (length < size - 1 && (c = NextCharacter(stream)) >= 0) {
        line[length++] = (char)c;
        if (c == '\n')
            break;
    }
    if ((length == 0 && size > 1) || (stream->Flags & FAILED))
        return NULL;
    line[length] = '\0';
    return line;
}

size_t fread(void* data, size_t size, size_t count, struct Stream* stream)
{
    unsigned char* bytes = data;
    size_t wanted = size * count, done = 0;
    int c;
    while (done < wanted && (c = NextCharacter(stream)) >= 0)
        bytes[done++] = (unsigned char)c;
    return size ? done / size : 0;
}

// Writes the bytes, each LF as CR LF in text mode, and returns how many of
// them went out whole.
static size_t Write(struct Stream* stream, const char* bytes, size_t size)
{
    if (stream->Flags & APPEND)
        SetFilePointer(stream->Handle, 0, NULL, FILE_END);
    size_t done = 0;
    while (done < size) {
        char chunk[512];
        DWORD used = 0, written = 0;
        size_t taken = done;
        while (taken < size && used < sizeof chunk - 1) {
            if (bytes[taken] == '\n' && (stream->Flags & TEXT))
                chunk[used++] = '\r';
            chunk[used++] = bytes[taken++];
        }
        if (!WriteFile(stream->Handle, chunk, used, &written, NULL) || written != used)
            break;
        done = taken;
    }
    return done;
}

size_t fwrite(const void* data, size_t size, size_t count, struct Stream* stream)
{
    return size ? Write(stream, data, size * count) / size : 0;
}

int fputs(const char* text, struct Stream* stream)
{
    size_t length = strlen(text);
    return Write(stream, text, length) == length ? 0 : -1;
}

int fputc(int c, struct Stream* stream)
{
    char byte = (char)c;
    return Write(stream, &byte, 1) == 1 ? (unsigned char)byte : -1;
}
