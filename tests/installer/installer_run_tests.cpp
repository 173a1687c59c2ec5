// The built installer run as a user would: every way out of its pages, the
// folders it makes, a folder it can't make, and the platforms it refuses.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <functional>

#include "installer_run.h"
#include "resource.h"
#include "scratch.h"

namespace {

const char ProgramName[] = "Quillstone Installer.exe";

class InstallerRun : public testing::Test {
protected:
    void TearDown() override { SetWindowsVersion(ProgramName, ""); }

    static void ExpectEndsWith(ProgramRun& run, DWORD expected)
    {
        DWORD exitCode = 1;
        ASSERT_TRUE(run.WaitForExit(&exitCode));
        EXPECT_EQ(expected, exitCode);
    }
};

std::string ProgramsFolder()
{
    char path[MAX_PATH] = "";
    SHGetFolderPathA(NULL, CSIDL_PROGRAMS, NULL, 0, path);
    return path;
}

bool IsChecked(HWND page, int control)
{
    return SendMessageA(GetDlgItem(page, control), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// Escape as the keyboard sends it, to the control that has the focus at first.
void PressEscape(HWND page, int focused)
{
    HWND control = GetDlgItem(page, focused);
    PostMessageA(control, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    PostMessageA(control, WM_KEYUP, VK_ESCAPE, 0xC0010001);
    Sleep(1000);
    EXPECT_TRUE(IsWindowVisible(page)) << "Escape closed the page";
}

void CloseBox(HWND page)
{
    PostMessageA(page, WM_SYSCOMMAND, SC_CLOSE, 0);
}

// Says "Yes" to the license; the options page that follows, or null.
HWND AcceptLicense(const ProgramRun& run)
{
    HWND license = WaitForPage(run, "License Information");
    if (!license)
        return NULL;
    Click(license, IDC_ACCEPT);
    return WaitForPage(run, "Options");
}

} // namespace

TEST_F(InstallerRun, EveryWayOutOfThePagesEndsWithExitCodeZero)
{
    using Action = std::function<void(HWND)>;
    const struct {
        const char* Case;
        Action License;
        Action Options; // null: the options page must not be reached
    } rows[] = {
        {"No", [](HWND page) { Click(page, IDC_DECLINE); }, nullptr},
        {"the license page's close box", CloseBox, nullptr},
        {"Escape, then No",
         [](HWND page) {
             PressEscape(page, IDC_ACCEPT);
             Click(page, IDC_DECLINE);
         },
         nullptr},
        {"Yes, then Cancel", [](HWND page) { Click(page, IDC_ACCEPT); },
         [](HWND page) { Click(page, IDC_CANCEL_INSTALL); }},
        {"Yes, then the options page's close box", [](HWND page) { Click(page, IDC_ACCEPT); },
         CloseBox},
        {"Yes, then Escape and Cancel", [](HWND page) { Click(page, IDC_ACCEPT); },
         [](HWND page) {
             PressEscape(page, IDC_INSTALL);
             Click(page, IDC_CANCEL_INSTALL);
         }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Case);
        ProgramRun run(InstallerCommandLine());
        HWND license = WaitForPage(run, "License Information");
        ASSERT_NE(nullptr, license);
        row.License(license);
        if (row.Options) {
            HWND options = WaitForPage(run, "Options");
            ASSERT_NE(nullptr, options);
            row.Options(options);
        }
        ExpectEndsWith(run, 0);
        ShownMessageBox box;
        EXPECT_FALSE(run.WaitForMessageBox(&box, 0));
    }
}

TEST_F(InstallerRun, InstallMakesTheProgramFolderAndTheGroupAndEnds)
{
    HKEY key;
    char programFiles[MAX_PATH] = "";
    DWORD size = sizeof programFiles;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE,
                                           "Software\\Microsoft\\Windows\\CurrentVersion", 0,
                                           KEY_READ, &key));
    RegQueryValueExA(key, "ProgramFilesDir", NULL, NULL, reinterpret_cast<BYTE*>(programFiles),
                     &size);
    RegCloseKey(key);
    std::string folder = std::string(programFiles) + "\\Quillstone";
    std::string group = ProgramsFolder() + "\\Quillstone";
    ASSERT_FALSE(FileExists(folder));
    ASSERT_FALSE(FileExists(group));

    ProgramRun run(InstallerCommandLine());
    HWND options = AcceptLicense(run);
    ASSERT_NE(nullptr, options);
    EXPECT_EQ(folder, ControlText(options, IDC_INSTALL_DIR));
    Click(options, IDC_INSTALL);
    ExpectEndsWith(run, 0);
    EXPECT_TRUE(GetFileAttributesA(folder.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_TRUE(FileExists(group));
    RemoveDirectoryA(folder.c_str());
    RemoveDirectoryA(group.c_str());
}

TEST_F(InstallerRun, AFolderThatCantBeMadeIsReportedByThePageWhichComesBackWithItsDefaults)
{
    ProgramRun run(InstallerCommandLine());
    HWND options = AcceptLicense(run);
    ASSERT_NE(nullptr, options);
    std::string location = ControlText(options, IDC_INSTALL_DIR);
    SendMessageA(GetDlgItem(options, IDC_INSTALL_DIR), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>("C:\\No Such Folder\\Quillstone"));
    SendMessageA(GetDlgItem(options, IDC_GROUP), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>("QS Other Group"));
    SendMessageA(GetDlgItem(options, IDC_DESKTOP), BM_SETCHECK, BST_UNCHECKED, 0);
    Click(options, IDC_INSTALL);

    ShownMessageBox box;
    ASSERT_TRUE(run.WaitForMessageBox(&box));
    EXPECT_EQ("Can't Create Program Folder", box.Text);
    EXPECT_EQ("Quillstone Installer - Error", box.Caption);
    EXPECT_EQ(BoxIcon::Warning, box.Icon);
    EXPECT_EQ(options, box.Owner);
    run.Answer(box, IDOK);

    HWND again = WaitForPage(run, "Options", options);
    ASSERT_NE(nullptr, again);
    EXPECT_EQ(location, ControlText(again, IDC_INSTALL_DIR));
    EXPECT_EQ("Quillstone", ControlText(again, IDC_GROUP));
    EXPECT_TRUE(IsChecked(again, IDC_START_MENU));
    EXPECT_TRUE(IsChecked(again, IDC_DESKTOP));
    Click(again, IDC_CANCEL_INSTALL);
    ExpectEndsWith(run, 0);
    EXPECT_FALSE(FileExists(ProgramsFolder() + "\\QS Other Group"));
}

TEST_F(InstallerRun, RefusedPlatformsShowTheirMessageBeforeAnyPage)
{
    for (const char* version : {"win31", "nt351"}) {
        SCOPED_TRACE(version);
        SetWindowsVersion(ProgramName, version);
        ProgramRun run(InstallerCommandLine());
        ShownMessageBox box;
        ASSERT_TRUE(run.WaitForMessageBox(&box));
        EXPECT_EQ("Quillstone requires Windows95, Windows98, WindowsNT 4.0, or Windows2000.",
                  box.Text);
        EXPECT_EQ("Quillstone Installer - Error", box.Caption);
        EXPECT_EQ(BoxIcon::Warning, box.Icon);
        EXPECT_EQ(nullptr, box.Owner);
        EXPECT_EQ(1u, run.Windows("#32770").size()); // the box alone
        run.Answer(box, IDOK);
        ExpectEndsWith(run, DWORD(-1));
    }
}
