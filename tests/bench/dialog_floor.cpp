// The second floor under the compactor's start: the least a program with the
// compactor's kind of window does. It shows a dialog whose list view is
// hidden, makes the floor's saves, lists the keys, one a row, and shows the
// list. Its command line is the save floor's.
#include <windows.h>
#include <commctrl.h>

#include "floor_saves.h"

static const int ListId = 100;

static INT_PTR CALLBACK FloorDialogProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

static void PumpMessages()
{
    MSG message;
    while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR keys, int showCommand)
{
    InitCommonControls();
    HWND dialog = CreateDialogParamA(instance, MAKEINTRESOURCEA(1), NULL, FloorDialogProc, 0);
    if (!dialog)
        return FloorNotSaved;
    HWND list = GetDlgItem(dialog, ListId);
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = 300;
    column.pszText = const_cast<char*>("Key");
    SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    ShowWindow(dialog, showCommand);
    PumpMessages();
    int result = SaveKeys(keys);
    if (result == FloorSaved) {
        const char* rest = keys;
        char key[MAX_PATH];
        for (int row = 0; NextKey(&rest, key); ++row) {
            LVITEMA item = {};
            item.mask = LVIF_TEXT;
            item.iItem = row;
            item.pszText = key;
            SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        }
        ShowWindow(list, SW_SHOW);
        PumpMessages();
        ReportAllSaved();
    }
    DestroyWindow(dialog);
    return result;
}
