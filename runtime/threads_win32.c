// What the exception runtime of the win32 thread model asks of the C runtime
// about threads. Both programs run a single thread.
#include <windows.h>

// Zero keeps the unwinder from making its locks: they would guard nothing,
// and the semaphore behind them is a stub on Windows 9x.
int _CRT_MT = 0;

// Would have the destructor run for a thread-local key when a thread ends;
// the one thread ends with the process, which frees everything.
int __mingwthr_key_dtor(DWORD key, void (*destructor)(void*))
{
    (void)key;
    (void)destructor;
    return 0;
}
