// The license page and the reader of "FILE" resources.
#include <gtest/gtest.h>

#include "file_resource.h"
#include "import_patch.h"
#include "license_page.h"
#include "page.h"
#include "page_driver.h"
#include "program_run.h"
#include "resource.h"
#include "scratch.h"

namespace {

// The license as committed, byte for byte.
std::string LicenseBytes()
{
    return ReadFileBytes(WindowsPathOf(QS_LICENSE));
}

const int EmptyFileResource = 200; // carried by the test program only

} // namespace

TEST(LoadFileResource, HandsOutTheBytesOfFileResourcesOnly)
{
    const char sentinel[] = "sentinel";
    const struct {
        const char* Case;
        int Id;
        int Result;
        DWORD Size;
    } rows[] = {
        {"the license", IDR_LICENSE_TEXT, 0, DWORD(LicenseBytes().size())},
        {"an empty resource: its size is stored", EmptyFileResource, -1, 0},
        {"a dialog, not of type FILE", IDD_LICENSE, -1, 12345},
        {"no such resource", 999, -1, 12345},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Case);
        const char* data = sentinel;
        DWORD size = 12345;
        EXPECT_EQ(row.Result, LoadFileResource(row.Id, &data, &size));
        EXPECT_EQ(row.Size, size);
        if (row.Result == 0) {
            EXPECT_EQ(LicenseBytes(), std::string(data, size));
        } else {
            EXPECT_EQ(sentinel, data);
        }
    }
}

namespace {

INT_PTR RunLicensePage(std::vector<PageAction> actions)
{
    InstallerState = PAGE_LICENSE;
    return RunPage(IDD_LICENSE, LicensePageProc, std::move(actions));
}

HRSRC WINAPI NoResource(HMODULE, LPCSTR, LPCSTR)
{
    return NULL;
}

} // namespace

TEST(LicensePage, TheBoxHoldsExactlyTheLicenseBytes)
{
    std::string shown;
    RunLicensePage({[&](HWND page) {
        shown = ControlText(page, IDC_LICENSE_TEXT);
        Press(page, IDC_ACCEPT);
    }});
    EXPECT_EQ(LicenseBytes(), shown);
}

TEST(LicensePage, AMissingLicenseLeavesTheBoxEmptyAndYesStillLeadsOn)
{
    ImportPatch find(&FindResourceA, &NoResource);
    std::string shown = "sentinel";
    EXPECT_EQ(0, RunLicensePage({[&](HWND page) {
                  shown = ControlText(page, IDC_LICENSE_TEXT);
                  Press(page, IDC_ACCEPT);
              }}));
    EXPECT_EQ("", shown);
    EXPECT_EQ(PAGE_OPTIONS, InstallerState);
}

TEST(LicensePage, YesLeadsOnWhileNoAndClosingEndTheInstaller)
{
    auto post = [](UINT message, WPARAM wParam) {
        return [=](HWND page) { PostMessageA(page, message, wParam, 0); };
    };
    // Escape, from the button that has the focus at first, is ignored, and so
    // the Yes that follows it decides.
    auto escapeThenYes = [](HWND page) {
        PostMessageA(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
        PostMessageA(GetFocus(), WM_KEYUP, VK_ESCAPE, 0xC0010001);
        PostMessageA(page, WM_COMMAND, IDC_ACCEPT, 0);
    };
    auto cancelThenYes = [](HWND page) {
        SendMessageA(page, WM_COMMAND, IDCANCEL, 0);
        EXPECT_EQ(PAGE_LICENSE, InstallerState);
        Press(page, IDC_ACCEPT);
    };
    const struct {
        const char* Case;
        PageAction Action;
        INT_PTR Result;
        int State;
    } rows[] = {
        {"Yes", [](HWND page) { Press(page, IDC_ACCEPT); }, 0, PAGE_OPTIONS},
        {"No", [](HWND page) { Press(page, IDC_DECLINE); }, -1, PAGE_EXIT},
        {"No, with a notification code", post(WM_COMMAND, MAKEWPARAM(IDC_DECLINE, 1)), -1,
         PAGE_EXIT},
        {"the close box", post(WM_SYSCOMMAND, SC_CLOSE), -1, PAGE_EXIT},
        {"Escape, then Yes", escapeThenYes, 0, PAGE_OPTIONS},
        {"IDCANCEL, then Yes", cancelThenYes, 0, PAGE_OPTIONS},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Case);
        EXPECT_EQ(row.Result, RunLicensePage({row.Action}));
        EXPECT_EQ(row.State, InstallerState);
    }
}
