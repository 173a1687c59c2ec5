#include "page.h"

#include <commctrl.h>

#include "message_pump.h"
#include "resource.h"

int InstallerState;
bool PageOpened;
int ProgressPosition = -166;

static const int ProgressStep = 166;
static const DWORD StepPause = 83;

void EndPage(HWND page, int nextState, INT_PTR result)
{
    InstallerState = nextState;
    EndDialog(page, result);
}

void ShowPageError(HWND page, const char* text)
{
    MessageBoxA(page, text, "Quillstone Installer - Error", MB_ICONWARNING);
}

INT_PTR CALLBACK PageDialogProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        PageOpened = true;
        HICON icon = LoadIconA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDI_INSTALLER));
        SendMessageA(page, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        return TRUE;
    }
    case WM_CTLCOLORDLG:
        return reinterpret_cast<INT_PTR>(GetStockObject(WHITE_BRUSH));
    case WM_CTLCOLORSTATIC:
        // The license text keeps its opaque background so that it reads well.
        if (reinterpret_cast<HWND>(lParam) != GetDlgItem(page, IDC_LICENSE_TEXT))
            SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
        return reinterpret_cast<INT_PTR>(GetStockObject(WHITE_BRUSH));
    default:
        return FALSE;
    }
}

void StepProgress(HWND page, const char* text)
{
    ProgressPosition += ProgressStep;
    SendDlgItemMessageA(page, IDC_PROGRESS, PBM_SETPOS, WPARAM(ProgressPosition), 0);
    if (text)
        SetDlgItemTextA(page, IDC_STATUS, text);
    PumpPendingMessages();
    Sleep(StepPause);
}
