// Whole journeys of a user under Wine, each in a fresh prefix that plays one
// Windows version: the installer run with the mouse, then the compactor as
// the installation left it, up to the restart that puts the compacted hives
// in place. Each journey saves pictures of what the user saw.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <regex>
#include <set>
#include <string>
#include <vector>

#include "installation_check.h"
#include "installer_run.h"
#include "machine.h"
#include "program_run.h"
#include "resource.h"
#include "scratch.h"
#include "screenshot.h"
#include "wine_log.h"

namespace {

// The compactor's controls.
const int HiveList = 1000, CompactButton = 1001;

const char HiveListKey[] = "System\\CurrentControlSet\\Control\\HiveList";
const char SessionManagerKey[] = "System\\CurrentControlSet\\Control\\Session Manager";

// A hive file as the machine has it, and its entry in the hive list (NT).
struct MachineHive {
    std::string ListName;
    const char* File; // as the hive list names it, under the device
    int Size;
};

struct ShownRow {
    const char* Name;
    const char* Size;
};

std::string SpecialFolder(int id)
{
    char path[MAX_PATH] = "";
    SHGetFolderPathA(NULL, id, NULL, 0, path);
    return path;
}

// The replacements asked for, by sub key, each with its backup and its
// copy's LOG file to be deleted at the next start.
void ExpectReplacements(const std::string& log, const std::vector<std::string>& subKeys)
{
    std::vector<std::string> replaced;
    std::set<std::string> deletions = DelayedDeletionsIn(log), expected;
    for (const LoggedReplacement& replacement : ReplacementsIn(log)) {
        replaced.push_back(replacement.SubKey);
        expected.insert(replacement.OldFile);
        expected.insert(replacement.NewFile + ".LOG");
    }
    EXPECT_EQ(subKeys, replaced);
    EXPECT_EQ(expected, deletions);
}

bool ValueExists(HKEY root, const char* key, const char* name)
{
    HKEY handle;
    if (RegOpenKeyExA(root, key, 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return false;
    bool exists = RegQueryValueExA(handle, name, NULL, NULL, NULL, NULL) == ERROR_SUCCESS;
    RegCloseKey(handle);
    return exists;
}

// A click in the middle of a control, as the user's mouse gives it.
void Press(HWND control)
{
    RECT client;
    GetClientRect(control, &client);
    ClickAt(control, {client.right / 2, client.bottom / 2});
}

class UserJourney : public testing::Test {
protected:
    // The whole prefix plays the version, the shell and the restart included.
    void PlayWindows(const char* version, const char* journey)
    {
        HKEY wine;
        RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Wine", &wine);
        RegSetValueExA(wine, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version),
                       DWORD(strlen(version) + 1));
        RegCloseKey(wine);
        journey_ = journey;
        shot_ = 0;
    }

    void Shot(const char* what, DWORD paintMs = 700)
    {
        Sleep(paintMs);
        std::string folder = WindowsPathFromEnvironment("QS_SCREENSHOTS");
        CreateDirectoryA(folder.c_str(), NULL);
        SaveScreenshot(journey_ + "-" + std::to_string(++shot_) + "-" + what);
    }

    // The hive files of an NT machine and its hive list, which names the
    // files by their volume's device, as Windows writes it.
    void MakeHives(const char* device, const std::vector<MachineHive>& hives)
    {
        HKEY list;
        RegCreateKeyA(HKEY_LOCAL_MACHINE, HiveListKey, &list);
        for (const MachineHive& hive : hives) {
            std::string path = std::string("C:") + hive.File;
            MakeFoldersOf(path);
            WriteFileBytes(path, std::string(size_t(hive.Size), 'h'));
            std::string data = std::string(device) + hive.File;
            RegSetValueExA(list, hive.ListName.c_str(), 0, REG_SZ,
                           reinterpret_cast<const BYTE*>(data.c_str()), DWORD(data.size() + 1));
        }
        // Volatile hives are listed without a file.
        RegSetValueExA(list, "\\REGISTRY\\MACHINE\\HARDWARE", 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(""), 1);
        RegCloseKey(list);
    }

    // Yes on the license page, the default folder and Install on the options
    // page, with the mouse; the installer then runs to its end.
    void InstallAsAUserWould()
    {
        ProgramRun run(InstallerCommandLine());
        HWND license = WaitForPage(run, "License Information");
        ASSERT_NE(nullptr, license);
        Shot("license");
        Press(GetDlgItem(license, IDC_ACCEPT));
        HWND options = WaitForPage(run, "Options");
        ASSERT_NE(nullptr, options);
        installDir_ = ControlText(options, IDC_INSTALL_DIR);
        EXPECT_EQ(SpecialFolder(CSIDL_PROGRAM_FILES) + "\\Quillstone", installDir_);
        Shot("options");
        Press(GetDlgItem(options, IDC_INSTALL));
        HWND install = WaitForPage(run, "", options);
        ASSERT_NE(nullptr, install);
        // The page answers only between its steps, 83 ms apart: the picture is
        // taken at one line, so that every run takes the same.
        std::string line;
        DWORD start = GetTickCount();
        do
            line = ControlText(install, IDC_STATUS);
        while (line != "Copying Quillstone.exe..." && GetTickCount() - start < 10000);
        Shot("installing", 30);
        DWORD exitCode = 1;
        ASSERT_TRUE(run.WaitForExit(&exitCode));
        EXPECT_EQ(0u, exitCode);
        ShownMessageBox box;
        EXPECT_FALSE(run.WaitForMessageBox(&box, 0)) << box.Text;
        ExpectInstalledFiles(installDir_);
    }

    // The compactor started from its Start Menu link: the rows as listed,
    // one of them unchecked with the mouse, Compact, and the restart notice.
    void CompactFromTheStartMenu(const std::vector<ShownRow>& rows, int uncheckedRow)
    {
        std::string link = SpecialFolder(CSIDL_PROGRAMS) + "\\Quillstone\\Quillstone.lnk";
        ASSERT_TRUE(FileExists(link));
        ProgramRun run(ShellOpen{link, "Quillstone.exe"});
        HWND window = run.WaitForWindow("#32770", "Quillstone");
        ASSERT_NE(nullptr, window);
        HWND listView = GetDlgItem(window, HiveList);
        for (int wait = 0; wait < 600 && !IsWindowVisible(listView); ++wait)
            Sleep(50);
        ASSERT_TRUE(IsWindowVisible(listView)) << "the hives were not listed";
        RemoteListView list(run, listView);
        ASSERT_EQ(int(rows.size()), list.Count());
        for (int row = 0; row < list.Count(); ++row) {
            SCOPED_TRACE(rows[size_t(row)].Name);
            EXPECT_EQ(rows[size_t(row)].Name, list.Text(row, 0));
            EXPECT_EQ(rows[size_t(row)].Size, list.Text(row, 1));
            EXPECT_EQ(2u, list.StateImage(row));
            // The compacted copy is Wine's own saved key, smaller than the file.
            EXPECT_NE("", list.Text(row, 3));
        }
        Shot("compactor");

        RECT bounds = list.ItemRect(uncheckedRow, LVIR_BOUNDS);
        ClickAt(listView, {bounds.left + 8, (bounds.top + bounds.bottom) / 2});
        for (int wait = 0; wait < 40 && list.StateImage(uncheckedRow) != 1; ++wait)
            Sleep(50);
        EXPECT_EQ(1u, list.StateImage(uncheckedRow));
        Shot("unchecked");

        Press(GetDlgItem(window, CompactButton));
        ShownMessageBox box;
        ASSERT_TRUE(run.WaitForMessageBox(&box));
        Shot("restart-notice");
        ExpectBox(box, "Quillstone will now restart Windows.", "Quillstone", BoxIcon::Information,
                  nullptr);
        run.Answer(box, IDOK);
        DWORD exitCode = 1;
        EXPECT_TRUE(run.WaitForExit(&exitCode)) << "the restart ends the program";
        EXPECT_FALSE(run.WaitForMessageBox(&box, 0)) << box.Text;
    }

    // The restart carries out the renames and deletions asked for and then
    // removes the request; waits for that.
    static bool WaitForTheRestart(const std::string& evidence, bool evidenceIsAFile)
    {
        for (int wait = 0; wait < 300; ++wait) {
            bool done = evidenceIsAFile ? FileExists(evidence)
                                        : !ValueExists(HKEY_LOCAL_MACHINE, SessionManagerKey,
                                                       evidence.c_str());
            if (done)
                return true;
            Sleep(100);
        }
        return false;
    }

    std::string journey_;
    int shot_ = 0;
    std::string installDir_;
};

} // namespace

TEST_F(UserJourney, Windows2000)
{
    PlayWindows("win2k", "win2k");
    MakeHives("\\Device\\HarddiskVolume1",
              {{"\\REGISTRY\\MACHINE\\SOFTWARE", "\\WINNT\\system32\\config\\software",
                12 * 1024 * 1024},
               {"\\REGISTRY\\MACHINE\\SYSTEM", "\\WINNT\\system32\\config\\system", 3 << 20},
               {"\\REGISTRY\\USER\\.DEFAULT", "\\WINNT\\system32\\config\\default", 384 << 10},
               {"\\REGISTRY\\USER\\" + CurrentUserSid(),
                "\\Documents and Settings\\Administrator\\NTUSER.DAT", 1 << 20}});
    ASSERT_NO_FATAL_FAILURE(InstallAsAUserWould());

    size_t mark = WineLogMark();
    {
        WineDebugChannels channels("fixme+reg,trace+file");
        ASSERT_NO_FATAL_FAILURE(CompactFromTheStartMenu({{"Software", "12288KB"},
                                                         {"Default", "384KB"},
                                                         {"Administrator\\NTUSER.DAT", "1024KB"}},
                                                        1));
    }
    std::string log = WineLogSince(mark);
    ExpectReplacements(log, {"Software", CurrentUserSid()});
    EXPECT_TRUE(WaitForTheRestart("PendingFileRenameOperations", false))
        << "Windows was not restarted";
}

TEST_F(UserJourney, Windows98)
{
    PlayWindows("win98", "win98");
    GrantSavePrivilegesToChildren(); // Wine asks for them in every version it plays
    std::string system = WindowsFolder() + "\\System.dat", user = WindowsFolder() + "\\User.dat";
    WriteFileBytes(system, std::string(6 << 20, 's'));
    WriteFileBytes(user, std::string(512 << 10, 'u'));
    ASSERT_NO_FATAL_FAILURE(InstallAsAUserWould());
    ASSERT_NO_FATAL_FAILURE(CompactFromTheStartMenu({{"System", "6144KB"}, {"User", "512KB"}}, 1));

    // The restart carries out WinInit.ini and keeps it as WinInit.bak.
    std::string done = WindowsFolder() + "\\wininit.bak";
    ASSERT_TRUE(WaitForTheRestart(done, true)) << "Windows was not restarted";
    char systemFolder[MAX_PATH];
    GetSystemDirectoryA(systemFolder, sizeof systemFolder);
    std::smatch entry;
    std::string renames = ReadFileBytes(done);
    ASSERT_TRUE(std::regex_match(renames, entry,
                                 std::regex("\\[rename\\]\r\n([^=\r\n]+)=([^\r\n]+)\r\n")))
        << renames;
    EXPECT_EQ(ShortPath(std::string(systemFolder) + "\\..\\System.dat"), entry[1].str());
    EXPECT_FALSE(FileExists(entry[2].str())) << "the compacted copy was moved into place";
    EXPECT_EQ(0u, ReadFileBytes(system).find("WINE REGISTRY"));
    EXPECT_EQ(std::string(512 << 10, 'u'), ReadFileBytes(user)) << "the unchecked hive is kept";
}

TEST_F(UserJourney, UnattendedOnWindowsNt4)
{
    PlayWindows("nt40", "nogui");
    MakeHives("\\Device\\Harddisk0\\Partition1",
              {{"\\REGISTRY\\MACHINE\\SOFTWARE", "\\WINNT\\system32\\config\\software",
                12 << 20},
               {"\\REGISTRY\\MACHINE\\SYSTEM", "\\WINNT\\system32\\config\\system", 3 << 20},
               {"\\REGISTRY\\USER\\.DEFAULT", "\\WINNT\\system32\\config\\default", 384 << 10},
               {"\\REGISTRY\\USER\\" + CurrentUserSid(),
                "\\WINNT\\Profiles\\Administrator\\ntuser.dat", 1 << 20}});
    ASSERT_NO_FATAL_FAILURE(InstallAsAUserWould());

    // Started as a scheduled task would start it: no window, no question.
    size_t mark = WineLogMark();
    {
        WineDebugChannels channels("fixme+reg,trace+file");
        ProgramRun run("\"" + installDir_ + "\\Quillstone.exe\" /nogui", installDir_);
        Shot("running");
        DWORD exitCode = 1;
        ASSERT_TRUE(run.WaitForExit(&exitCode, 60000));
        EXPECT_EQ(0u, exitCode);
        ShownMessageBox box;
        EXPECT_FALSE(run.WaitForMessageBox(&box, 0)) << box.Text;
        EXPECT_TRUE(run.Windows("#32770").empty());
    }
    std::string log = WineLogSince(mark);
    ExpectReplacements(log, {"Software", ".Default", CurrentUserSid()});
    EXPECT_TRUE(WaitForTheRestart("PendingFileRenameOperations", false))
        << "Windows was not restarted";
}
