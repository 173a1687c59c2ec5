// The heap behind malloc and free, and behind the C++ runtime's new and
// delete: the process heap.
#include <windows.h>

#include "runtime.h"

void* malloc(size_t size)
{
    return HeapAlloc(GetProcessHeap(), 0, size);
}

void* calloc(size_t count, size_t size)
{
    if (size && count > (size_t)-1 / size)
        return NULL;
    return HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, count * size);
}

// HeapReAlloc knows no null block, and a size of 0 frees, as in the C library.
void* realloc(void* block, size_t size)
{
    if (!block)
        return malloc(size);
    if (!size) {
        free(block);
        return NULL;
    }
    return HeapReAlloc(GetProcessHeap(), 0, block, size);
}

void free(void* block)
{
    if (block)
        HeapFree(GetProcessHeap(), 0, block);
}
