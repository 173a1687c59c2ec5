#include "startup.h"

#include <windows.h>

#include "compact.h"
#include "discovery.h"
#include "export.h"
#include "failure.h"
#include "hive_list.h"
#include "main_window.h"
#include "message_pump.h"
#include "platform.h"
#include "resource.h"
#include "run_mode.h"
#include "shutdown.h"

// Start-up in its fixed order; throws the text of the first failure.
static void InitCompactor(int showCommand)
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
        ShowFailure(failure.Text());
        return -1;
    }
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
