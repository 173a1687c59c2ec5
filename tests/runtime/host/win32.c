// The Win32 calls of the runtime's files, answered with this machine's own,
// as Windows answers them where the runtime relies on it: a failed call sets
// the last error, HeapReAlloc refuses a null block.
#include "windows.h"

#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

static DWORD LastError;

DWORD GetLastError(void)
{
    return LastError;
}

void SetLastError(DWORD code)
{
    LastError = code;
}

static BOOL Failed(void)
{
    switch (errno) {
    case ENOENT:
        LastError = ERROR_FILE_NOT_FOUND;
        break;
    case ENOTDIR:
        LastError = ERROR_PATH_NOT_FOUND;
        break;
    case EACCES:
    case EISDIR:
        LastError = ERROR_ACCESS_DENIED;
        break;
    case ENOSPC:
        LastError = ERROR_DISK_FULL;
        break;
    default:
        LastError = ERROR_GEN_FAILURE;
    }
    return 0;
}

HANDLE CreateFileA(LPCSTR path, DWORD access, DWORD share, void* security, DWORD disposition,
                   DWORD attributes, HANDLE model)
{
    (void)share, (void)security, (void)attributes, (void)model;
    int flags = (access & GENERIC_WRITE) ? O_WRONLY : O_RDONLY;
    if (disposition == CREATE_ALWAYS)
        flags |= O_CREAT | O_TRUNC;
    else if (disposition == OPEN_ALWAYS)
        flags |= O_CREAT;
    int file = open(path, flags, 0644);
    if (file < 0) {
        Failed();
        return INVALID_HANDLE_VALUE;
    }
    return (HANDLE)(intptr_t)file;
}

BOOL ReadFile(HANDLE file, void* buffer, DWORD size, DWORD* done, void* overlapped)
{
    (void)overlapped;
    ssize_t count = read((int)(intptr_t)file, buffer, size);
    *done = count > 0 ? (DWORD)count : 0;
    return count >= 0 ? 1 : Failed();
}

BOOL WriteFile(HANDLE file, const void* buffer, DWORD size, DWORD* done, void* overlapped)
{
    (void)overlapped;
    ssize_t count = write((int)(intptr_t)file, buffer, size);
    *done = count > 0 ? (DWORD)count : 0;
    return count >= 0 ? 1 : Failed();
}

DWORD SetFilePointer(HANDLE file, LONG distance, LONG* high, DWORD method)
{
    (void)high;
    off_t position = lseek((int)(intptr_t)file, distance, method == FILE_END ? SEEK_END : SEEK_SET);
    return position >= 0 ? (DWORD)position : (Failed(), 0xffffffffu);
}

BOOL CloseHandle(HANDLE handle)
{
    return close((int)(intptr_t)handle) == 0 ? 1 : Failed();
}

HANDLE GetProcessHeap(void)
{
    return (HANDLE)1;
}

// A block of 0 bytes is a block, as on Windows.
void* HeapAlloc(HANDLE heap, DWORD flags, size_t size)
{
    (void)heap;
    return (flags & HEAP_ZERO_MEMORY) ? calloc(1, size ? size : 1) : malloc(size ? size : 1);
}

void* HeapReAlloc(HANDLE heap, DWORD flags, void* block, size_t size)
{
    (void)heap, (void)flags;
    return block ? realloc(block, size ? size : 1) : NULL;
}

BOOL HeapFree(HANDLE heap, DWORD flags, void* block)
{
    (void)heap, (void)flags;
    free(block);
    return 1;
}
