// The installer's driver: start-up checks, the page sequence, the common page look.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "driver.h"
#include "import_patch.h"
#include "install_options.h"
#include "license_page.h"
#include "message_boxes.h"
#include "options_page.h"
#include "page.h"
#include "page_driver.h"
#include "resource.h"
#include "scratch.h"
#include "supported_platform.h"

namespace {

HRESULT ComResult;
OSVERSIONINFOA ReportedVersion;

HRESULT WINAPI FakeCoInitialize(LPVOID reserved)
{
    EXPECT_EQ(nullptr, reserved);
    return ComResult;
}

BOOL WINAPI FakeGetVersionExA(LPOSVERSIONINFOA version)
{
    EXPECT_EQ(sizeof(OSVERSIONINFOA), version->dwOSVersionInfoSize);
    *version = ReportedVersion;
    version->dwOSVersionInfoSize = sizeof *version;
    return TRUE;
}

// Every run starts at the license page on Windows 2000 with COM initialised
// afresh, as a new process would.
class RunInstallerTest : public testing::Test {
protected:
    void SetUp() override
    {
        InstallerState = PAGE_LICENSE;
        ComResult = S_OK;
        ReportedVersion = OSVERSIONINFOA();
        ReportedVersion.dwPlatformId = VER_PLATFORM_WIN32_NT;
        ReportedVersion.dwMajorVersion = 5;
    }
    ImportPatch com_{&CoInitialize, &FakeCoInitialize};
    ImportPatch version_{&GetVersionExA, &FakeGetVersionExA};
};

} // namespace

TEST_F(RunInstallerTest, AFailedStartUpShowsOneErrorBoxAndNoPage)
{
    const char* const com = "Can't Initialize COM";
    const struct {
        const char* Case;
        HRESULT Com;
        DWORD Platform, Major;
        const char* Message;
    } rows[] = {
        {"COM initialised already", S_FALSE, VER_PLATFORM_WIN32_NT, 5, com},
        {"COM failing", E_OUTOFMEMORY, VER_PLATFORM_WIN32_NT, 5, com},
        {"Win32s", S_OK, VER_PLATFORM_WIN32s, 3, PlatformMessage},
        {"Windows NT 3.51", S_OK, VER_PLATFORM_WIN32_NT, 3, PlatformMessage},
        {"9x family below version 4", S_OK, VER_PLATFORM_WIN32_WINDOWS, 3, PlatformMessage},
        {"an unknown platform", S_OK, 3, 5, PlatformMessage},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Case);
        ComResult = row.Com;
        ReportedVersion.dwPlatformId = row.Platform;
        ReportedVersion.dwMajorVersion = row.Major;
        MessageBoxRecorder boxes;
        PageDriver pages;
        EXPECT_EQ(-1, RunInstaller());
        ASSERT_EQ(1u, boxes.Boxes().size());
        EXPECT_EQ(row.Message, boxes.Boxes()[0].Text);
        EXPECT_EQ("Quillstone Installer - Error", boxes.Boxes()[0].Caption);
        EXPECT_EQ(UINT(MB_ICONWARNING), boxes.Boxes()[0].Style);
        EXPECT_EQ(nullptr, boxes.Boxes()[0].Owner);
        EXPECT_TRUE(pages.Captions().empty());
    }
}

namespace {

void Accept(HWND page) { Press(page, IDC_ACCEPT); }
void Decline(HWND page) { Press(page, IDC_DECLINE); }
void Cancel(HWND page) { Press(page, IDC_CANCEL_INSTALL); }

// Installs into the folder, without a Start Menu group or a desktop link.
PageAction InstallInto(const std::string& folder)
{
    return [folder](HWND page) {
        SetDlgItemTextA(page, IDC_INSTALL_DIR, folder.c_str());
        CheckDlgButton(page, IDC_START_MENU, BST_UNCHECKED);
        CheckDlgButton(page, IDC_DESKTOP, BST_UNCHECKED);
        Press(page, IDC_INSTALL);
    };
}

// The install page runs on its own; the driver only sees it open.
void WatchInstall(HWND) {}

} // namespace

TEST_F(RunInstallerTest, ShowsThePagesThatTheStateNames)
{
    ScratchFolder folder;
    const std::string license = "License Information", options = "Options", install = "";
    const struct {
        const char* Case;
        int StartState;
        std::vector<PageAction> Actions;
        std::vector<std::string> Pages;
        int EndState;
    } rows[] = {
        {"Yes, then Install", PAGE_LICENSE, {Accept, InstallInto(folder.Path()), WatchInstall},
         {license, options, install}, PAGE_EXIT},
        {"No", PAGE_LICENSE, {Decline}, {license}, PAGE_EXIT},
        {"a failed Install brings the options page back", PAGE_LICENSE,
         {Accept, InstallInto(folder.PathOf("missing\\Quillstone")), Cancel},
         {license, options, options}, PAGE_EXIT},
        {"the install page ends the run", PAGE_INSTALL, {WatchInstall}, {install}, PAGE_EXIT},
        {"an unknown state", 7, {}, {}, 7},
        {"another unknown state", -5, {}, {}, -5},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Case);
        InstallerState = row.StartState;
        // What the options page would set, for a run that starts at the install page.
        lstrcpynA(InstallDir, folder.Path().c_str(), MAX_PATH);
        StartMenuOption = DesktopOption = false;
        MessageBoxRecorder boxes;
        PageDriver pages(row.Actions);
        EXPECT_EQ(0, RunInstaller());
        EXPECT_EQ(row.Pages, pages.Captions());
        EXPECT_EQ(row.EndState, InstallerState);
    }
}

namespace {

int FailingTemplate;
std::vector<int> Templates;

// A page that never gets a window; the license page "accepts" without one.
INT_PTR WINAPI FakeDialogBoxParamA(HINSTANCE, LPCSTR name, HWND, DLGPROC, LPARAM)
{
    int id = LOWORD(reinterpret_cast<ULONG_PTR>(name));
    Templates.push_back(id);
    if (id == FailingTemplate)
        return -1;
    InstallerState = PAGE_OPTIONS;
    return 0;
}

} // namespace

TEST_F(RunInstallerTest, APageWhoseWindowCantBeCreatedEndsTheRunAtOnce)
{
    ImportPatch dialogs(&DialogBoxParamA, &FakeDialogBoxParamA);
    const struct {
        int Failing;
        std::vector<int> Tried;
        const char* Message;
    } rows[] = {
        {IDD_LICENSE, {IDD_LICENSE}, "Can't Show The License Page"},
        {IDD_OPTIONS, {IDD_LICENSE, IDD_OPTIONS}, "Can't Show The Options Page"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Message);
        InstallerState = PAGE_LICENSE;
        FailingTemplate = row.Failing;
        Templates.clear();
        MessageBoxRecorder boxes;
        EXPECT_EQ(-1, RunInstaller());
        EXPECT_EQ(row.Tried, Templates);
        ASSERT_EQ(1u, boxes.Boxes().size());
        EXPECT_EQ(row.Message, boxes.Boxes()[0].Text);
        EXPECT_EQ(nullptr, boxes.Boxes()[0].Owner);
    }
}

TEST(PageDialogProc, GivesEveryPageTheIconAndAWhiteBackground)
{
    HMODULE module = GetModuleHandleA(NULL);
    HBRUSH white = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    const struct {
        int Template;
        DLGPROC Procedure;
    } pages[] = {{IDD_LICENSE, LicensePageProc},
                 {IDD_OPTIONS, OptionsPageProc},
                 {IDD_INSTALL, PageDialogProc}};
    InitCommonControls(); // the install page's progress bar
    for (const auto& row : pages) {
        SCOPED_TRACE(row.Template);
        HWND page = CreateDialogParamA(module, MAKEINTRESOURCEA(row.Template), NULL,
                                       row.Procedure, 0);
        ASSERT_NE(nullptr, page);
        EXPECT_EQ(LoadIconA(module, MAKEINTRESOURCEA(IDI_INSTALLER)),
                  reinterpret_cast<HICON>(SendMessageA(page, WM_GETICON, ICON_BIG, 0)));
        HDC dc = GetDC(page);
        EXPECT_EQ(LRESULT(white), SendMessageA(page, WM_CTLCOLORDLG, WPARAM(dc), LPARAM(page)));
        // Only the license text keeps an opaque background behind its letters.
        for (HWND control = GetWindow(page, GW_CHILD); control;
             control = GetWindow(control, GW_HWNDNEXT)) {
            SCOPED_TRACE(GetDlgCtrlID(control));
            SetBkMode(dc, OPAQUE);
            EXPECT_EQ(LRESULT(white),
                      SendMessageA(page, WM_CTLCOLORSTATIC, WPARAM(dc), LPARAM(control)));
            EXPECT_EQ(GetDlgCtrlID(control) == IDC_LICENSE_TEXT ? OPAQUE : TRANSPARENT,
                      GetBkMode(dc));
        }
        ReleaseDC(page, dc);
        DestroyWindow(page);
    }
}
