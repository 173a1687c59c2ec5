#include "startup.h"

#include <cstring>

#include "catalogue.h"
#include "compact.h"
#include "discovery.h"
#include "export.h"
#include "failure.h"
#include "lowercase.h"
#include "main_window.h"
#include "message_pump.h"
#include "platform.h"
#include "resource.h"

bool NoGui;
bool ShutDownDone;

static const char ErrorCaption[] = "Quillstone - Error";

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

int RunCompactor(const char* commandLine, int showCommand)
{
    NoGui = IsNoGuiCommandLine(commandLine);
    try {
        InitCompactor(showCommand);
        if (NoGui)
            CompactSelectedHives();
        else
            RunMessageLoop();
        ShutDown();
        return 0;
    } catch (const FailureText& failure) {
        MessageBoxA(NULL, failure.Text(), ErrorCaption, MB_ICONWARNING);
        return -1;
    }
}

void InitCompactor(int showCommand)
{
    CheckPlatform();
    EnablePrivileges();
    DiscoverHives();
    CreateMainWindow();
    CreateHiveImageList();
    ShowWindow(HiveListView, SW_HIDE);
    // Without a window the list is still filled, as the Compact command reads it.
    if (!NoGui)
        ShowWindow(MainWindow, showCommand);
    SetCursor(LoadCursorA(NULL, IDC_WAIT));
    // The one drain before the long work: the window paints; later messages wait.
    PumpPendingMessages();
    ExportHives();
    FillHiveRows();
    SetCursor(LoadCursorA(NULL, IDC_ARROW));
    ShowWindow(GetDlgItem(MainWindow, IDC_STATUS), SW_HIDE);
    ShowWindow(HiveListView, SW_SHOW);
}

void RunMessageLoop()
{
    MSG message;
    while (GetMessageA(&message, NULL, 0, 0)) {
        // Alt+C is the Compact command, from whichever window has the focus.
        if (message.message == WM_SYSKEYDOWN && message.wParam == 'C') {
            SendMessageA(MainWindow, WM_COMMAND, IDC_COMPACT, 0);
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void ShutDown()
{
    if (ShutDownDone)
        return;
    ShutDownDone = true;
    if (MainWindow)
        DestroyWindow(MainWindow);
    if (LinkFont)
        DeleteObject(LinkFont);
    if (LinkHotFont)
        DeleteObject(LinkHotFont);
    CleanUpTempFiles(); // reads the catalogue, so before it is freed
    FreeHives();
}

void RestartWindows()
{
    if (!ExitWindowsEx(EWX_REBOOT, 0))
        ThrowLastError();
}
