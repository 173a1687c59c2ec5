#include "compactor_state.h"

#include <windows.h>

#include "catalogue.h"
#include "hive_list.h"
#include "main_window.h"
#include "run_mode.h"
#include "shutdown.h"

void ResetCompactor()
{
    if (IsWindow(MainWindow))
        DestroyWindow(MainWindow);
    MainWindow = HiveListView = NULL;
    LinkHot = LinkPressed = 0;
    for (int i = 0; i < Hives.Count; ++i)
        DeleteFileA(Hives.TempFile[i]);
    FreeHives();
    NoGui = false;
    ShutDownDone = false;
    MSG message;
    while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
    }
}
