#include "run_mode.h"

#include <windows.h>

#include <cstring>

#include "failure.h"
#include "lowercase.h"

bool NoGui;

bool IsNoGuiCommandLine(const char* commandLine)
{
    char lowered[256];
    // A longer command line can't be "/nogui" and is not copied at all.
    if (strlen(commandLine) >= sizeof lowered)
        return false;
    lstrcpynA(lowered, commandLine, sizeof lowered);
    LowerCaseAscii(lowered);
    return strcmp(lowered, "/nogui") == 0;
}

void RestartWindows()
{
    if (!ExitWindowsEx(EWX_REBOOT, 0))
        ThrowLastError();
}

void ShowFailure(const char* text)
{
    MessageBoxA(NULL, text, "Quillstone - Error", MB_ICONWARNING);
}
