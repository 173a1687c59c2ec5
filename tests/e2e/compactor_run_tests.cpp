// The built compactor compacting for real under Wine, unattended and by a
// user's clicks, as each Windows family would see it.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <tlhelp32.h>

#include <regex>
#include <string>
#include <vector>

#include "machine.h"
#include "program_run.h"
#include "scratch.h"
#include "wine_log.h"

namespace {

const char HiveListKey[] = "System\\CurrentControlSet\\Control\\HiveList";

bool WinebootRuns()
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    bool found = false;
    for (BOOL more = Process32First(snapshot, &entry); more && !found;
         more = Process32Next(snapshot, &entry))
        found = lstrcmpiA(entry.szExeFile, "wineboot.exe") == 0;
    CloseHandle(snapshot);
    return found;
}

// A restart goes on after the compactor has ended: Wine's session end, a
// wineboot.exe of its own, closes every program that owns a window, the next
// run's compactor too if it starts before the end is over.
void WaitForSessionEnd()
{
    for (int wait = 0; wait < 300 && WinebootRuns(); ++wait)
        Sleep(100);
}

std::string Compactor()
{
    return "\"" + WindowsPathFromEnvironment("QS_COMPACTOR") + "\"";
}

class CompactorRun : public testing::Test {
protected:
    void SetUp() override
    {
        RegCreateKeyA(HKEY_LOCAL_MACHINE, HiveListKey, &list_);
        GrantSavePrivilegesToChildren();
    }
    void TearDown() override
    {
        WaitForSessionEnd();
        for (const std::string& name : written_)
            RegDeleteValueA(list_, name.c_str());
        RegCloseKey(list_);
        SetWindowsVersion("Quillstone.exe", "");
        RemoveTree("C:\\hives");
    }
    // A hive list entry whose hive file really exists, under C:\hives.
    void ListHive(const char* name, const std::string& device, const char* file)
    {
        CreateDirectoryA("C:\\hives", NULL);
        WriteFileBytes(std::string("C:\\hives\\") + file, std::string(64 * 1024, 'h'));
        std::string data = device + "\\hives\\" + file;
        RegSetValueExA(list_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                       DWORD(data.size() + 1));
        written_.push_back(name);
    }
    // Runs to the end; any message box fails the test and is answered.
    DWORD RunUnattended(ProgramRun& run)
    {
        DWORD exitCode = 1;
        while (!run.WaitForExit(&exitCode, 100)) {
            ShownMessageBox box;
            if (run.WaitForMessageBox(&box, 0)) {
                ADD_FAILURE() << "unexpected box: " << box.Text;
                run.Answer(box, IDOK);
            }
        }
        WaitForSessionEnd();
        return exitCode;
    }
    HKEY list_;
    std::vector<std::string> written_;
};

} // namespace

TEST_F(CompactorRun, Windows98SchedulesBothHivesInWinInitAndRestarts)
{
    SetWindowsVersion("Quillstone.exe", "win98");
    std::string system = WindowsFolder() + "\\System.dat", user = WindowsFolder() + "\\User.dat";
    WriteFileBytes(system, std::string(4 * 1024 * 1024, 's'));
    WriteFileBytes(user, std::string(64 * 1024, 'u'));
    // The hive files as the compactor names them: beside the system folder.
    char systemFolder[MAX_PATH];
    GetSystemDirectoryA(systemFolder, sizeof systemFolder);
    std::string shortSystem = ShortPath(std::string(systemFolder) + "\\..\\System.dat");
    std::string shortUser = ShortPath(std::string(systemFolder) + "\\..\\User.dat");
    auto before = FilesMatching(TempFolder(), "qs*.tmp");

    ProgramRun run(Compactor() + " /nogui");
    EXPECT_EQ(0u, RunUnattended(run));

    // The restart carries out the [rename] section and keeps the file as WinInit.bak.
    std::string done = WindowsFolder() + "\\wininit.bak";
    for (int wait = 0; wait < 300 && !FileExists(done); ++wait)
        Sleep(100);
    ASSERT_TRUE(FileExists(done)) << "Windows was not restarted";
    std::smatch entries;
    std::string renames = ReadFileBytes(done);
    ASSERT_TRUE(std::regex_match(renames, entries,
                                 std::regex("\\[rename\\]\r\n([^=\r\n]+)=([^\r\n]+)\r\n"
                                            "([^=\r\n]+)=([^\r\n]+)\r\n")))
        << renames;
    EXPECT_EQ(shortUser, entries[1].str()); // the newest entry first
    EXPECT_EQ(shortSystem, entries[3].str());
    // The compacted copies stayed for the restart, which put them in place.
    EXPECT_EQ(0u, ReadFileBytes(system).find("WINE REGISTRY"));
    EXPECT_EQ(0u, ReadFileBytes(user).find("WINE REGISTRY"));
    EXPECT_FALSE(FileExists(entries[2].str()));
    EXPECT_FALSE(FileExists(entries[4].str()));
    EXPECT_EQ(before, FilesMatching(TempFolder(), "qs*.tmp"));
    DeleteFileA(done.c_str());
    DeleteFileA(system.c_str());
    DeleteFileA(user.c_str());
}

TEST_F(CompactorRun, TheNtFamilyReplacesEveryListedHiveAndCleansUp)
{
    const struct {
        const char* Version;
        const char* Device;
    } systems[] = {{"nt40", "\\Device\\Harddisk0\\Partition1"},
                   {"win2k", "\\Device\\HarddiskVolume1"}};
    for (const auto& system : systems) {
        SCOPED_TRACE(system.Version);
        SetWindowsVersion("Quillstone.exe", system.Version);
        ListHive("\\REGISTRY\\MACHINE\\SOFTWARE", system.Device, "software");
        ListHive("\\REGISTRY\\MACHINE\\SYSTEM", system.Device, "system");
        ListHive("\\REGISTRY\\USER\\.DEFAULT", system.Device, "default");
        auto before = FilesMatching(TempFolder(), "qs*");
        size_t mark = WineLogMark();
        {
            WineDebugChannels channels("fixme+reg,trace+file");
            ProgramRun run(Compactor() + " /nogui");
            EXPECT_EQ(0u, RunUnattended(run));
        }
        std::string log = WineLogSince(mark);
        auto replacements = ReplacementsIn(log);
        ASSERT_EQ(2u, replacements.size());
        EXPECT_EQ("FFFFFFFF80000002", replacements[0].Root);
        EXPECT_EQ("Software", replacements[0].SubKey);
        EXPECT_EQ("FFFFFFFF80000003", replacements[1].Root);
        EXPECT_EQ(".Default", replacements[1].SubKey);
        auto deletions = DelayedDeletionsIn(log);
        for (const LoggedReplacement& replacement : replacements) {
            const std::string& temp = replacement.NewFile;
            EXPECT_EQ(temp.substr(0, temp.size() - 3) + "sav", replacement.OldFile);
            EXPECT_EQ(1u, deletions.count(replacement.OldFile)) << replacement.OldFile;
            EXPECT_EQ(1u, deletions.count(temp + ".LOG")) << temp;
            EXPECT_FALSE(FileExists(temp)) << "temporary files are deleted";
        }
        EXPECT_EQ(before, FilesMatching(TempFolder(), "qs*"));
        for (const std::string& name : written_)
            RegDeleteValueA(list_, name.c_str());
        written_.clear();
    }
}

TEST_F(CompactorRun, WithEveryHiveFailingOnlyTheNoticeIsShown)
{
    SetWindowsVersion("Quillstone.exe", "nt40");
    ListHive("\\REGISTRY\\MACHINE\\SOFTWARE", "\\Device\\Harddisk0\\Partition1", "software");
    DeleteFileA("C:\\hives\\software"); // the hive file can't be measured
    size_t mark = WineLogMark();
    WineDebugChannels channels("fixme+reg");
    ProgramRun run(Compactor() + " /nogui");
    ShownMessageBox box;
    ASSERT_TRUE(run.WaitForMessageBox(&box));
    ExpectBox(box, "Please select at least one registry hive to compact.", "Quillstone",
              BoxIcon::Information, nullptr);
    run.Answer(box, IDOK);
    DWORD exitCode = 1;
    ASSERT_TRUE(run.WaitForExit(&exitCode));
    EXPECT_EQ(0u, exitCode);
    EXPECT_FALSE(run.WaitForMessageBox(&box, 0));
    EXPECT_TRUE(ReplacementsIn(WineLogSince(mark)).empty());
}

TEST_F(CompactorRun, AUserUnchecksRowsAndCompactsOnlyTheCheckedHives)
{
    SetWindowsVersion("Quillstone.exe", "win2k");
    const char* device = "\\Device\\HarddiskVolume1";
    ListHive("\\REGISTRY\\MACHINE\\HARDWARE", device, "hardware");
    ListHive("\\REGISTRY\\MACHINE\\SOFTWARE", device, "software");
    ListHive("\\REGISTRY\\USER\\.DEFAULT", device, "default");
    // A hive on another volume: Wine's Z: drive shows the same folder.
    char otherVolume[MAX_PATH] = "";
    QueryDosDeviceA("Z:", otherVolume, sizeof otherVolume);
    const std::string user = CurrentUserSid();
    ListHive(("\\REGISTRY\\USER\\" + user).c_str(),
             otherVolume + WindowsPathFromEnvironment("WINEPREFIX").substr(2) + "\\drive_c",
             "ntuser.dat");
    size_t mark = WineLogMark();
    WineDebugChannels channels("fixme+reg");
    ProgramRun run(Compactor());
    HWND window = run.WaitForWindow("#32770", "Quillstone");
    ASSERT_NE(nullptr, window);
    HWND listView = GetDlgItem(window, 1000);
    for (int wait = 0; wait < 600 && !IsWindowVisible(listView); ++wait)
        Sleep(50);
    RemoteListView list(run, listView);
    ASSERT_EQ(4, list.Count());
    const std::string names[] = {"Hardware", "Software", "Default", user};
    for (int row = 0; row < 4; ++row) {
        SCOPED_TRACE(names[row]);
        EXPECT_EQ(names[row], list.Text(row, 0));
        EXPECT_EQ("64KB", list.Text(row, 1));
        EXPECT_EQ(2u, list.StateImage(row));
    }
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(window, 1010)));

    auto clickCheckBox = [&](int row) {
        RECT bounds = list.ItemRect(row, LVIR_BOUNDS);
        unsigned before = list.StateImage(row);
        ClickAt(listView, {bounds.left + 8, (bounds.top + bounds.bottom) / 2});
        for (int wait = 0; wait < 40 && list.StateImage(row) == before; ++wait)
            Sleep(50);
    };
    for (int row = 0; row < 4; ++row)
        clickCheckBox(row);
    for (int row = 0; row < 4; ++row)
        EXPECT_EQ(1u, list.StateImage(row));

    HWND compact = GetDlgItem(window, 1001);
    PostMessageA(compact, BM_CLICK, 0, 0);
    ShownMessageBox box;
    ASSERT_TRUE(run.WaitForMessageBox(&box));
    EXPECT_EQ("Please select at least one registry hive to compact.", box.Text);
    run.Answer(box, IDOK);
    Sleep(500);
    EXPECT_TRUE(IsWindowVisible(window)) << "the window stays";
    EXPECT_TRUE(ReplacementsIn(WineLogSince(mark)).empty());

    clickCheckBox(1);
    EXPECT_EQ(2u, list.StateImage(1));
    PostMessageA(compact, BM_CLICK, 0, 0);
    ASSERT_TRUE(run.WaitForMessageBox(&box));
    EXPECT_EQ("Quillstone will now restart Windows.", box.Text);
    EXPECT_EQ(BoxIcon::Information, box.Icon);
    run.Answer(box, IDOK);
    DWORD exitCode = 1;
    EXPECT_TRUE(run.WaitForExit(&exitCode)) << "the restart ends the program";
    auto replacements = ReplacementsIn(WineLogSince(mark));
    ASSERT_EQ(1u, replacements.size());
    EXPECT_EQ("Software", replacements[0].SubKey);
}
