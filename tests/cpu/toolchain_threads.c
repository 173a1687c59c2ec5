// What the toolchain's own exception runtime (win32 thread model) asks of a
// C runtime about threads; the negative controls link it, the programs'
// runtime is built for one thread and asks nothing.
#include <windows.h>

// Zero keeps the unwinder from making its locks, as in the programs: the
// controls then stop at the unwinder's first instruction the i486 lacks.
int _CRT_MT = 0;

int __mingwthr_key_dtor(DWORD key, void (*destructor)(void*))
{
    (void)key;
    (void)destructor;
    return 0;
}
