#include "installer_run.h"

std::string InstallerCommandLine()
{
    return "\"" + WindowsPathFromEnvironment("QS_INSTALLER") + "\"";
}

HWND WaitForPage(const ProgramRun& run, const char* caption, HWND old, DWORD pollMs)
{
    DWORD start = GetTickCount();
    do {
        for (HWND page : run.Windows("#32770")) {
            char text[64] = "";
            GetWindowTextA(page, text, sizeof text);
            if (page != old && lstrcmpA(text, caption) == 0)
                return page;
        }
        Sleep(pollMs);
    } while (GetTickCount() - start < 30000 && run.Running());
    return NULL;
}

void Click(HWND page, int control)
{
    PostMessageA(page, WM_COMMAND, MAKEWPARAM(control, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(page, control)));
}

std::string ControlText(HWND page, int control)
{
    char text[MAX_PATH] = "";
    SendMessageA(GetDlgItem(page, control), WM_GETTEXT, sizeof text,
                 reinterpret_cast<LPARAM>(text));
    return text;
}
