// The part of <windows.h> that the runtime's files use, for building them on
// this machine, where host/win32.c answers the calls.
#pragma once

#include <stddef.h>
#include <stdint.h>

#define WINAPI
typedef int BOOL;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef void* HANDLE;
typedef const char* LPCSTR;

#define INVALID_HANDLE_VALUE ((HANDLE)(intptr_t)-1)
#define GENERIC_READ 0x80000000u
#define GENERIC_WRITE 0x40000000u
#define FILE_SHARE_READ 1u
#define FILE_SHARE_WRITE 2u
#define CREATE_ALWAYS 2u
#define OPEN_EXISTING 3u
#define OPEN_ALWAYS 4u
#define FILE_ATTRIBUTE_NORMAL 0x80u
#define FILE_END 2u
#define HEAP_ZERO_MEMORY 8u

#define ERROR_FILE_NOT_FOUND 2u
#define ERROR_PATH_NOT_FOUND 3u
#define ERROR_ACCESS_DENIED 5u
#define ERROR_NOT_ENOUGH_MEMORY 8u
#define ERROR_GEN_FAILURE 31u
#define ERROR_INVALID_PARAMETER 87u
#define ERROR_DISK_FULL 112u

#ifdef __cplusplus
extern "C" {
#endif

DWORD GetLastError(void);
void SetLastError(DWORD code);
HANDLE CreateFileA(LPCSTR path, DWORD access, DWORD share, void* security, DWORD disposition,
                   DWORD attributes, HANDLE model);
BOOL ReadFile(HANDLE file, void* buffer, DWORD size, DWORD* read, void* overlapped);
BOOL WriteFile(HANDLE file, const void* buffer, DWORD size, DWORD* written, void* overlapped);
DWORD SetFilePointer(HANDLE file, LONG distance, LONG* high, DWORD method);
BOOL CloseHandle(HANDLE handle);
HANDLE GetProcessHeap(void);
void* HeapAlloc(HANDLE heap, DWORD flags, size_t size);
void* HeapReAlloc(HANDLE heap, DWORD flags, void* block, size_t size);
BOOL HeapFree(HANDLE heap, DWORD flags, void* block);

#ifdef __cplusplus
}
#endif
