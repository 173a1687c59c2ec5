// The built installer run as a user would: every way out of its pages, a
// whole installation, a folder it can't make, a temporary folder it can't
// make, an extraction that stops short, and the platforms it refuses.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <functional>

#include "installation_check.h"
#include "installer_run.h"
#include "resource.h"
#include "scratch.h"
#include "system_message.h"

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

namespace {

std::string DefaultProgramFolder()
{
    HKEY key;
    char programFiles[MAX_PATH] = "";
    DWORD size = sizeof programFiles;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", 0,
                      KEY_READ, &key) == ERROR_SUCCESS) {
        RegQueryValueExA(key, "ProgramFilesDir", NULL, NULL,
                         reinterpret_cast<BYTE*>(programFiles), &size);
        RegCloseKey(key);
    }
    return std::string(programFiles) + "\\Quillstone";
}

std::string DesktopFolder()
{
    char path[MAX_PATH] = "";
    SHGetFolderPathA(NULL, CSIDL_DESKTOPDIRECTORY, NULL, 0, path);
    return path;
}

// The captionless install page once it is up, with what it showed first.
struct InstallPageSeen {
    HWND Page = NULL;
    LONG_PTR ExStyle = 0;
    int Position = -1;
};

InstallPageSeen WatchInstallPage(const ProgramRun& run, HWND options)
{
    InstallPageSeen seen;
    seen.Page = WaitForPage(run, "", options);
    if (seen.Page) {
        seen.ExStyle = GetWindowLongPtrA(seen.Page, GWL_EXSTYLE);
        seen.Position = int(SendMessageA(GetDlgItem(seen.Page, IDC_PROGRESS), PBM_GETPOS, 0, 0));
    }
    return seen;
}

} // namespace

TEST_F(InstallerRun, InstallPutsTheSixFilesAndTheLinksInPlaceAndEnds)
{
    ScratchFolder elsewhere;
    const struct {
        const char* Case;
        std::string Folder; // "" keeps the page's default
        std::string Group;
        bool Desktop;
    } rows[] = {
        {"the default folder and group, and a desktop link", "", "Quillstone", true},
        {"another folder and group, no desktop link", elsewhere.PathOf("Compactor"), "QS Tools",
         false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Case);
        std::string folder = row.Folder.empty() ? DefaultProgramFolder() : row.Folder;
        std::string group = ProgramsFolder() + "\\" + row.Group;
        ASSERT_FALSE(FileExists(folder));
        ASSERT_FALSE(FileExists(group));

        ProgramRun run(InstallerCommandLine());
        HWND options = AcceptLicense(run);
        ASSERT_NE(nullptr, options);
        EXPECT_EQ(DefaultProgramFolder(), ControlText(options, IDC_INSTALL_DIR));
        if (!row.Folder.empty())
            SendMessageA(GetDlgItem(options, IDC_INSTALL_DIR), WM_SETTEXT, 0,
                         reinterpret_cast<LPARAM>(row.Folder.c_str()));
        SendMessageA(GetDlgItem(options, IDC_GROUP), WM_SETTEXT, 0,
                     reinterpret_cast<LPARAM>(row.Group.c_str()));
        SendMessageA(GetDlgItem(options, IDC_DESKTOP), BM_SETCHECK,
                     row.Desktop ? BST_CHECKED : BST_UNCHECKED, 0);
        Click(options, IDC_INSTALL);
        InstallPageSeen seen = WatchInstallPage(run, options);
        EXPECT_NE(nullptr, seen.Page);
        EXPECT_EQ(WS_EX_TOOLWINDOW, seen.ExStyle & WS_EX_TOOLWINDOW);
        EXPECT_GE(seen.Position, 0);
        ExpectEndsWith(run, 0);
        ShownMessageBox box;
        EXPECT_FALSE(run.WaitForMessageBox(&box, 0));

        ExpectInstalledFiles(folder);
        ExpectLinks(folder, group, true, DesktopFolder(), row.Desktop);
        EXPECT_TRUE(FilesMatching(TempFolder(), "qs?").empty()) << "the temporary folder is left";
        RemoveTree(folder);
        RemoveTree(group);
        DeleteFileA((DesktopFolder() + "\\Quillstone.lnk").c_str());
    }
}

TEST_F(InstallerRun, WithEveryTemporaryNameTakenNothingIsInstalledAndTheRunFails)
{
    std::vector<std::string> taken;
    for (int digit = 0; digit <= 9; ++digit) {
        taken.push_back(TempFolder() + "qs" + std::to_string(digit));
        CreateDirectoryA(taken.back().c_str(), NULL);
    }
    ScratchFolder scratch;
    std::string folder = scratch.PathOf("Quillstone");

    ProgramRun run(InstallerCommandLine());
    HWND options = AcceptLicense(run);
    ASSERT_NE(nullptr, options);
    SendMessageA(GetDlgItem(options, IDC_INSTALL_DIR), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(folder.c_str()));
    SendMessageA(GetDlgItem(options, IDC_START_MENU), BM_SETCHECK, BST_UNCHECKED, 0);
    Click(options, IDC_INSTALL);
    ShownMessageBox box;
    ASSERT_TRUE(run.WaitForMessageBox(&box));
    ExpectBox(box, "Can't Create Temporary Directory", "Quillstone Installer - Error",
              BoxIcon::Warning, nullptr);
    run.Answer(box, IDOK);
    ExpectEndsWith(run, DWORD(-1));

    EXPECT_EQ((std::vector<std::string>{".", ".."}), FilesMatching(folder, "*"));
    EXPECT_FALSE(FileExists(DesktopFolder() + "\\Quillstone.lnk"));
    for (const std::string& name : taken)
        RemoveDirectoryA(name.c_str());
}

TEST_F(InstallerRun, AnExtractionThatStopsShortIsReportedWithWhatIsMissingAndTheRunFails)
{
    ScratchFolder scratch;
    const std::string folder = scratch.PathOf("Quillstone");
    const std::string group = ProgramsFolder() + "\\QS Stopped";
    const std::string donation = "Shareware Donation For Quillstone.url";
    const std::string website = "Visit The Quillstone Website.url";
    const struct {
        const char* Case;
        std::string HeldOpen; // a file of the folder in use; "": the folder is a file
        std::string StoppedAt;
        DWORD Error;
        std::vector<std::string> Missing; // from the program folder afterwards
    } rows[] = {
        {"the program folder is a file", "", "Leggimi.txt", ERROR_PATH_NOT_FOUND, CabinetFiles},
        {"the program in use", "Quillstone.exe", "Quillstone.exe", ERROR_SHARING_VIOLATION,
         {"Quillstone.hlp", donation, website}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Case);
        const std::string held = folder + "\\" + row.HeldOpen;
        HANDLE inUse = INVALID_HANDLE_VALUE;
        if (row.HeldOpen.empty()) {
            WriteFileBytes(folder, "not a folder");
        } else {
            CreateDirectoryA(folder.c_str(), NULL);
            WriteFileBytes(held, "in use");
            inUse = CreateFileA(held.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
            ASSERT_NE(INVALID_HANDLE_VALUE, inUse);
        }

        ProgramRun run(InstallerCommandLine());
        HWND options = AcceptLicense(run);
        ASSERT_NE(nullptr, options);
        SendMessageA(GetDlgItem(options, IDC_INSTALL_DIR), WM_SETTEXT, 0,
                     reinterpret_cast<LPARAM>(folder.c_str()));
        SendMessageA(GetDlgItem(options, IDC_GROUP), WM_SETTEXT, 0,
                     reinterpret_cast<LPARAM>("QS Stopped"));
        Click(options, IDC_INSTALL);
        HWND page = WaitForPage(run, "", options);
        ASSERT_NE(nullptr, page);

        // Where SetupAPI stopped, with its reason, over the page; then what the
        // folder lacks, and the page has not said "Done!".
        ShownMessageBox box;
        ASSERT_TRUE(run.WaitForMessageBox(&box));
        ExpectBox(box, "Error While Extracting " + row.StoppedAt + ":\n" + SystemMessage(row.Error),
                  "Quillstone Installer - Error", BoxIcon::Warning, page);
        run.Answer(box, IDOK);
        ASSERT_TRUE(run.WaitForMessageBox(&box));
        std::string missing;
        for (const std::string& name : row.Missing)
            missing += "\n" + name;
        ExpectBox(box,
                  "Quillstone Was Not Completely Installed.\nMissing From The Program Folder:" +
                      missing,
                  "Quillstone Installer - Error", BoxIcon::Warning, nullptr);
        EXPECT_EQ("Creating Desktop Shortcut...", ControlText(page, IDC_STATUS));
        run.Answer(box, IDOK);
        ExpectEndsWith(run, DWORD(-1));

        // No link leads to a missing file.
        ExpectLinks(folder, group, true, DesktopFolder(), true, row.Missing);
        EXPECT_TRUE(FilesMatching(TempFolder(), "qs?").empty()) << "the temporary folder is left";
        if (row.HeldOpen.empty()) {
            EXPECT_EQ("not a folder", ReadFileBytes(folder));
            DeleteFileA(folder.c_str());
        } else {
            CloseHandle(inUse);
            EXPECT_EQ("in use", ReadFileBytes(held));
            DeleteFileA(held.c_str());
            std::vector<std::string> absent = row.Missing;
            absent.push_back(row.HeldOpen);
            ExpectInstalledFiles(folder, absent);
            RemoveTree(folder);
        }
        RemoveTree(group);
        DeleteFileA((DesktopFolder() + "\\Quillstone.lnk").c_str());
    }
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
    ExpectBox(box, "Can't Create Program Folder", "Quillstone Installer - Error", BoxIcon::Warning,
              options);
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
        ExpectBox(box, "Quillstone requires Windows95, Windows98, WindowsNT 4.0, or Windows2000.",
                  "Quillstone Installer - Error", BoxIcon::Warning, nullptr);
        EXPECT_EQ(1u, run.Windows("#32770").size()); // the box alone
        run.Answer(box, IDOK);
        ExpectEndsWith(run, DWORD(-1));
    }
}
