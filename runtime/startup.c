// The programs' entry point, in place of the C runtime's start-up code.
#include <windows.h>

#include "runtime.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand);

// libgcc's: runs the constructor list, in which crtend.o registers the i686
// build's exception frames, and has atexit run the destructor list.
void __main(void);

void WinMainCRTStartup(void)
{
#ifdef __i386__
    // The floating-point unit as the C runtime leaves it: every exception
    // masked, full precision.
    __asm__ volatile("fninit");
#endif
    __main();
    STARTUPINFOA startup;
    GetStartupInfoA(&startup);
    int showCommand =
        (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWDEFAULT;
    exit(WinMain(GetModuleHandleA(NULL), NULL, (LPSTR)ArgumentsOf(GetCommandLineA()),
                 showCommand));
}
