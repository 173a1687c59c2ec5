#include "driver.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "failure.h"
#include "install_page.h"
#include "license_page.h"
#include "options_page.h"
#include "page.h"
#include "resource.h"
#include "supported_platform.h"

// A page of the sequence. The license and options pages are modal: the user
// answers them. The install page runs its own steps under a modeless window.
struct InstallerPage {
    int State;
    int DialogId;
    DLGPROC Procedure;
    const char* CantShow;        // thrown when the page's window can't be made
    void (*RunSteps)(HWND page); // null for a modal page
};

static const InstallerPage Pages[] = {
    {PAGE_LICENSE, IDD_LICENSE, LicensePageProc, "Can't Show The License Page", nullptr},
    {PAGE_OPTIONS, IDD_OPTIONS, OptionsPageProc, "Can't Show The Options Page", nullptr},
    {PAGE_INSTALL, IDD_INSTALL, PageDialogProc, "Can't Show The Install Page", RunInstallPage},
};

// Initialises COM for the thread, which the links need; throws "Can't
// Initialize COM", also when COM was initialised already.
static void InitCom()
{
    // S_FALSE, COM already initialised on the thread, counts as a failure too.
    Check(CoInitialize(NULL) == S_OK, "Can't Initialize COM");
}

// Throws the platform message unless the system is Windows 95 or NT 4.0 or later.
static void CheckPlatform()
{
    CheckSupportedPlatform(ReadPlatformVersion());
}

int RunInstaller()
{
    try {
        InitCom();
        CheckPlatform();
        while (ShowPage(InstallerState)) {
        }
        return 0;
    } catch (const FailureText& failure) {
        ShowPageError(NULL, failure.Text());
        return -1;
    }
}

// A page whose window can't be created leaves InstallerState as it was, so
// showing it again would fail again: it ends the installer instead.
static void ShowModalPage(const InstallerPage& page)
{
    PageOpened = false;
    INT_PTR result = DialogBoxParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(page.DialogId), NULL,
                                     page.Procedure, 0);
    Check(result != -1 || PageOpened, page.CantShow);
}

static void RunModelessPage(const InstallerPage& page)
{
    // The install page's bar is a common control: its window class must exist
    // before the page.
    InitCommonControls();
    HWND window = CreateDialogParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(page.DialogId), NULL,
                                     page.Procedure, 0);
    Check(window != NULL, page.CantShow);
    page.RunSteps(window);
}

bool ShowPage(int state)
{
    for (const InstallerPage& page : Pages)
        if (page.State == state) {
            if (page.RunSteps)
                RunModelessPage(page);
            else
                ShowModalPage(page);
            return true;
        }
    return false;
}
