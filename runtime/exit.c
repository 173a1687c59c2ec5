// The end of a program: atexit, exit and abort.
#include <windows.h>

#include "runtime.h"

// Only a few handlers are ever registered: the exception frames' and those
// of the exception runtime's static objects.
static void (*Handlers[32])(void);
static int HandlerCount;

int atexit(void (*handler)(void))
{
    if (HandlerCount == sizeof Handlers / sizeof Handlers[0])
        return -1;
    Handlers[HandlerCount++] = handler;
    return 0;
}

void exit(int code)
{
    while (HandlerCount > 0)
        Handlers[--HandlerCount]();
    ExitProcess(code);
}

// As the C runtime's abort ends a program: exit code 3, no handler run.
__attribute__((noreturn)) void abort(void)
{
    ExitProcess(3);
}
