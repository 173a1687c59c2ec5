#include "driver.h"

#include <objbase.h>

#include "failure.h"
#include "install_page.h"
#include "license_page.h"
#include "options_page.h"
#include "resource.h"
#include "supported_platform.h"

int InstallerState;

static const char ErrorCaption[] = "Quillstone Installer - Error";

// Set by every page's WM_INITDIALOG: "No" ends a page with -1 just as a page
// that could not be created does, so the result alone can't tell them apart.
static bool PageOpened;

int RunInstaller()
{
    try {
        InitCom();
        CheckPlatform();
        for (;;) {
            switch (InstallerState) {
            case PAGE_LICENSE:
                ShowLicensePage();
                break;
            case PAGE_OPTIONS:
                ShowOptionsPage();
                break;
            case PAGE_INSTALL:
                RunInstallPage();
                break;
            default:
                return 0;
            }
        }
    } catch (const FailureText& failure) {
        MessageBoxA(NULL, failure.Text(), ErrorCaption, MB_ICONWARNING);
        return -1;
    }
}

void InitCom()
{
    // S_FALSE, COM already initialised on the thread, counts as a failure too.
    Check(CoInitialize(NULL) == S_OK, "Can't Initialize COM");
}

void CheckPlatform()
{
    CheckSupportedPlatform(ReadPlatformVersion());
}

// A page whose window can't be created leaves InstallerState as it was, so
// showing it again would fail again: it ends the installer instead.
static void ShowPage(int templateId, DLGPROC procedure, const char* failure)
{
    PageOpened = false;
    INT_PTR result = DialogBoxParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(templateId), NULL,
                                     procedure, 0);
    Check(result != -1 || PageOpened, failure);
}

void ShowLicensePage()
{
    ShowPage(IDD_LICENSE, LicensePageProc, "Can't Show The License Page");
}

void ShowOptionsPage()
{
    ShowPage(IDD_OPTIONS, OptionsPageProc, "Can't Show The Options Page");
}

void EndPage(HWND page, int nextState, INT_PTR result)
{
    InstallerState = nextState;
    EndDialog(page, result);
}

void ShowPageError(HWND page, const char* text)
{
    MessageBoxA(page, text, ErrorCaption, MB_ICONWARNING);
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
