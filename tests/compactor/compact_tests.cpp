// The Compact command over real rows, with the replacement, the restart and
// the message boxes redirected where the test must see or fail them.
#include <gtest/gtest.h>

#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "catalogue.h"
#include "compact.h"
#include "compactor_state.h"
#include "export.h"
#include "hive_list.h"
#include "import_patch.h"
#include "main_window.h"
#include "message_boxes.h"
#include "platform.h"
#include "resource.h"
#include "run_mode.h"
#include "scratch.h"
#include "system_message.h"

namespace {

const char TestKey[] = "Software\\QuillstoneCompactTest";

struct Replacement {
    HKEY Root;
    std::string SubKey, NewFile, OldFile;
};
std::vector<Replacement> Replacements;
std::set<std::string> RefusedSubKeys;
int Restarts;
UINT RestartFlags;
DWORD RestartRefusal; // the error ExitWindowsEx fails with; 0: it succeeds

LONG WINAPI RecordRegReplaceKeyA(HKEY root, LPCSTR subKey, LPCSTR newFile, LPCSTR oldFile)
{
    Replacements.push_back({root, subKey, newFile, oldFile});
    return RefusedSubKeys.count(subKey) ? ERROR_ACCESS_DENIED : ERROR_SUCCESS;
}

BOOL WINAPI RecordExitWindowsEx(UINT flags, DWORD reason)
{
    ++Restarts;
    RestartFlags = flags;
    EXPECT_EQ(0u, reason);
    SetLastError(RestartRefusal);
    return RestartRefusal == 0;
}

LONG WINAPI FailingRegSaveKeyA(HKEY, LPCSTR file, LPSECURITY_ATTRIBUTES)
{
    WriteFileBytes(file, "partial");
    return ERROR_DISK_FULL;
}


// Three real hives (keys under a scratch key), exported and listed as at start-up.
class CompactTest : public testing::Test {
protected:
    void SetUp() override
    {
        IsNT = true;
        EnablePrivileges();
        CreateMainWindow();
        CreateHiveImageList();
        Replacements.clear();
        RefusedSubKeys.clear();
        Restarts = 0;
        RestartRefusal = 0;
        for (const char* name : {"A", "B", "C"}) {
            std::string subKey = std::string(TestKey) + "\\" + name;
            HKEY key;
            RegCreateKeyA(HKEY_LOCAL_MACHINE, subKey.c_str(), &key);
            RegCloseKey(key);
            std::string file = folder_.PathOf(std::string(name) + ".dat");
            WriteFileBytes(file, std::string(4096, 'h'));
            AddHive(name, folder_.Path().c_str(), file.c_str(), subKey.c_str(), HIVE_MACHINE);
        }
    }
    void TearDown() override { ResetCompactor(); }
    void Load()
    {
        ExportHives();
        FillHiveRows();
    }
    std::vector<std::string> ReplacedSubKeys() const
    {
        std::vector<std::string> subKeys;
        for (const Replacement& replacement : Replacements)
            subKeys.push_back(replacement.SubKey.substr(replacement.SubKey.rfind('\\') + 1));
        return subKeys;
    }
    ScratchFolder folder_;
    ScratchKey key_{HKEY_LOCAL_MACHINE, TestKey};
    ImportPatch replace_{&RegReplaceKeyA, &RecordRegReplaceKeyA};
    ImportPatch restart_{&ExitWindowsEx, &RecordExitWindowsEx};
};

const char Notice[] = "Please select at least one registry hive to compact.";
const char Restarting[] = "Quillstone will now restart Windows.";

} // namespace

TEST_F(CompactTest, CheckedHivesAreReplacedWithTheirBackupNameAndWindowsRestarts)
{
    Load();
    SetRowChecked(1, false);
    MessageBoxRecorder boxes;
    CompactSelectedHives();

    ASSERT_EQ((std::vector<std::string>{"A", "C"}), ReplacedSubKeys());
    for (int i : {0, 2}) {
        const Replacement& replacement = Replacements[i / 2];
        EXPECT_EQ(HKEY_LOCAL_MACHINE, replacement.Root);
        EXPECT_EQ(Hives.SubKey[i], replacement.SubKey);
        EXPECT_EQ(Hives.TempFile[i], replacement.NewFile);
        std::string backup = Hives.TempFile[i];
        EXPECT_EQ(backup.substr(0, backup.size() - 3) + "sav", replacement.OldFile);
        EXPECT_TRUE(Hives.Flags[i] & HIVE_REPLACED);
    }
    EXPECT_FALSE(Hives.Flags[1] & HIVE_REPLACED);
    ASSERT_EQ(1u, boxes.Boxes().size());
    EXPECT_EQ(Restarting, boxes.Boxes()[0].Text);
    EXPECT_EQ("Quillstone", boxes.Boxes()[0].Caption);
    EXPECT_EQ(UINT(MB_ICONINFORMATION), boxes.Boxes()[0].Style);
    EXPECT_EQ(nullptr, boxes.Boxes()[0].Owner);
    EXPECT_EQ(1, Restarts);
    EXPECT_EQ(UINT(EWX_REBOOT), RestartFlags);
}

TEST_F(CompactTest, NothingToCompactShowsTheNoticeAlsoWithoutAWindow)
{
    for (bool noGui : {false, true}) {
        SCOPED_TRACE(noGui);
        NoGui = noGui;
        for (int i = 0; i < Hives.Count; ++i)
            Hives.Flags[i] |= HIVE_FAILED; // an empty list
        MessageBoxRecorder boxes;
        CompactSelectedHives();
        ASSERT_EQ(1u, boxes.Boxes().size());
        EXPECT_EQ(Notice, boxes.Boxes()[0].Text);
        EXPECT_EQ(UINT(MB_ICONINFORMATION), boxes.Boxes()[0].Style);
    }
    EXPECT_EQ(0, Restarts);
}

TEST_F(CompactTest, EveryRowUncheckedShowsTheNoticeAndDoesNotRestart)
{
    Load();
    for (int row = 0; row < 3; ++row)
        SetRowChecked(row, false);
    MessageBoxRecorder boxes;
    CompactSelectedHives();
    ASSERT_EQ(1u, boxes.Boxes().size());
    EXPECT_EQ(Notice, boxes.Boxes()[0].Text);
    EXPECT_TRUE(Replacements.empty());
    EXPECT_EQ(0, Restarts);
}

TEST_F(CompactTest, AFailingHiveIsWarnedAboutAndTheOthersGoOn)
{
    Load();
    SetRowChecked(2, false);
    RefusedSubKeys = {std::string(TestKey) + "\\A"};
    MessageBoxRecorder boxes;
    CompactSelectedHives();
    ASSERT_EQ(2u, boxes.Boxes().size());
    EXPECT_EQ("Warning: Failed to replace the \"A\" registry hive\n\n" + SystemMessage(ERROR_ACCESS_DENIED) +
                  ".",
              boxes.Boxes()[0].Text);
    EXPECT_EQ("Quillstone", boxes.Boxes()[0].Caption);
    EXPECT_EQ(UINT(MB_ICONWARNING | MB_OK), boxes.Boxes()[0].Style);
    EXPECT_EQ(Restarting, boxes.Boxes()[1].Text);
    EXPECT_FALSE(Hives.Flags[0] & HIVE_REPLACED);
    EXPECT_TRUE(Hives.Flags[1] & HIVE_REPLACED);
    EXPECT_EQ(1, Restarts);
}

TEST_F(CompactTest, WhenEveryCheckedHiveFailsThereAreOnlyWarnings)
{
    Load();
    RefusedSubKeys = {std::string(TestKey) + "\\A", std::string(TestKey) + "\\B",
                      std::string(TestKey) + "\\C"};
    MessageBoxRecorder boxes;
    CompactSelectedHives();
    ASSERT_EQ(3u, boxes.Boxes().size());
    for (const RecordedMessageBox& box : boxes.Boxes())
        EXPECT_EQ(0u, box.Text.find("Warning: Failed to replace the \""));
    EXPECT_EQ(0, Restarts);
}

TEST_F(CompactTest, RowsMapBackToHivesPastAFailedOne)
{
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, Hives.SubKey[1]); // hive 1 can't be saved: no row
    Load();
    ASSERT_TRUE(Hives.Flags[1] & HIVE_FAILED);
    ASSERT_EQ(2, ListRowCount());
    SetRowChecked(0, false);
    MessageBoxRecorder boxes;
    CompactSelectedHives();
    EXPECT_EQ(std::vector<std::string>{"C"}, ReplacedSubKeys());
}

TEST_F(CompactTest, WithoutAWindowNoBoxIsShownBeforeTheRestart)
{
    Load();
    NoGui = true;
    MessageBoxRecorder boxes;
    CompactSelectedHives();
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_EQ(3u, Replacements.size());
    EXPECT_EQ(1, Restarts);
}

TEST_F(CompactTest, TheCopyPutInPlaceHoldsWhatWasWrittenAfterStartUp)
{
    Load();
    HKEY key;
    RegOpenKeyA(HKEY_LOCAL_MACHINE, Hives.SubKey[0], &key);
    RegSetValueExA(key, "WrittenLater", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2);
    RegCloseKey(key);
    SetRowChecked(2, false);
    MessageBoxRecorder boxes;
    CompactSelectedHives();
    EXPECT_NE(std::string::npos, ReadFileBytes(Hives.TempFile[0]).find("WrittenLater"));

    // A hive that can no longer be saved is warned about and not scheduled.
    Replacements.clear();
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, Hives.SubKey[2]);
    SetRowChecked(2, true);
    MessageBoxRecorder again;
    CompactSelectedHives();
    EXPECT_EQ((std::vector<std::string>{"A", "B"}), ReplacedSubKeys());
    ASSERT_EQ(2u, again.Boxes().size());
    EXPECT_EQ(0u, again.Boxes()[0].Text.find("Warning: Failed to replace the \"C\" registry hive"));
}

TEST_F(CompactTest, ARefusedRestartIsSaidOnceAlsoWithoutAWindow)
{
    Load();
    RestartRefusal = ERROR_PRIVILEGE_NOT_HELD;
    const std::string refused = "Quillstone could not restart Windows. The compacted hives will be "
                                "put in place at the next restart of Windows.\n\n" +
                                SystemMessage(ERROR_PRIVILEGE_NOT_HELD);
    for (bool noGui : {false, true}) {
        SCOPED_TRACE(noGui);
        NoGui = noGui;
        MessageBoxRecorder boxes;
        CompactSelectedHives();
        ASSERT_EQ(noGui ? 1u : 2u, boxes.Boxes().size());
        const RecordedMessageBox& box = boxes.Boxes().back();
        EXPECT_EQ(refused, box.Text);
        EXPECT_EQ("Quillstone", box.Caption);
        EXPECT_EQ(UINT(MB_ICONINFORMATION), box.Style);
        EXPECT_EQ(nullptr, box.Owner);
    }
}

TEST_F(CompactTest, ASecondCompactNeverTouchesACopyAlreadyScheduled)
{
    Load();
    RestartRefusal = ERROR_PRIVILEGE_NOT_HELD; // the window stays, the user presses Compact again
    SetRowChecked(2, false);
    MessageBoxRecorder boxes;
    CompactSelectedHives();
    std::string scheduled[] = {ReadFileBytes(Hives.TempFile[0]), ReadFileBytes(Hives.TempFile[1])};

    SetRowChecked(2, true);
    ImportPatch save(&RegSaveKeyA, &FailingRegSaveKeyA);
    MessageBoxRecorder again;
    CompactSelectedHives();
    EXPECT_EQ(scheduled[0], ReadFileBytes(Hives.TempFile[0]));
    EXPECT_EQ(scheduled[1], ReadFileBytes(Hives.TempFile[1]));
    // The hive not yet scheduled is still saved afresh, and its failure is said.
    ASSERT_FALSE(again.Boxes().empty());
    EXPECT_EQ(0u, again.Boxes()[0].Text.find("Warning: Failed to replace the \"C\" registry hive"));
    EXPECT_EQ((std::vector<std::string>{"A", "B", "A", "B"}), ReplacedSubKeys());
}

TEST_F(CompactTest, TheButtonRunsTheCommandOnlyForItsExactCommand)
{
    Load();
    for (int row = 0; row < 3; ++row)
        SetRowChecked(row, false);
    MessageBoxRecorder boxes;
    SendMessageA(MainWindow, WM_COMMAND, MAKEWPARAM(IDC_COMPACT, BN_DOUBLECLICKED), 0);
    SendMessageA(MainWindow, WM_COMMAND, IDC_STATUS, 0);
    EXPECT_TRUE(boxes.Boxes().empty());
    SendMessageA(MainWindow, WM_COMMAND, IDC_COMPACT, 0);
    ASSERT_EQ(1u, boxes.Boxes().size());
    EXPECT_EQ(Notice, boxes.Boxes()[0].Text);
}

TEST(DerivedNames, BackupAndLogNamesFollowTheTemporaryFile)
{
    ScratchFolder folder;
    AddHive("x", folder.Path().c_str(), "\\x", "x", HIVE_MACHINE);
    delete[] Hives.TempFile[0];
    Hives.TempFile[0] = new char[32];
    strcpy(Hives.TempFile[0], "C:\\TEMP\\qs1A2B.tmp");
    char name[MAX_PATH];
    BackupNameOf(0, name);
    EXPECT_STREQ("C:\\TEMP\\qs1A2B.sav", name);
    LogNameOf(0, name);
    EXPECT_STREQ("C:\\TEMP\\qs1A2B.tmp.LOG", name);

    std::string longName = "C:\\" + std::string(252, 'x') + ".tmp"; // 259 characters
    delete[] Hives.TempFile[0];
    Hives.TempFile[0] = new char[longName.size() + 1];
    strcpy(Hives.TempFile[0], longName.c_str());
    LogNameOf(0, name);
    EXPECT_STREQ("", name) << "a cut name would name another file";
    BackupNameOf(0, name);
    EXPECT_EQ(longName.substr(0, 256) + "sav", std::string(name));
    FreeHives();
}

TEST(ReplaceWarning, CutsLongTextsToTheBufferAndKeepsBoth)
{
    char text[MAX_PATH];
    FormatReplaceWarning("Software", "Access is denied.\r\n", text, sizeof text);
    EXPECT_STREQ("Warning: Failed to replace the \"Software\" registry hive\n\nAccess is denied.\r\n.",
                 text);
    std::string name(300, 'n'), reason(300, 'r');
    FormatReplaceWarning(name.c_str(), reason.c_str(), text, sizeof text);
    std::string warning = text;
    EXPECT_EQ(size_t(MAX_PATH - 1), warning.size());
    EXPECT_NE(std::string::npos, warning.find("\"" + std::string(60, 'n') + "\" registry hive"));
    EXPECT_EQ('.', warning.back());
    FormatReplaceWarning(name.c_str(), "Short.", text, sizeof text);
    EXPECT_EQ(size_t(MAX_PATH - 1), strlen(text));
    EXPECT_NE(nullptr, strstr(text, "\n\nShort.."));
}

namespace {

std::vector<std::string> DelayedDeletions;
BOOL WINAPI RecordMoveFileExA(LPCSTR from, LPCSTR to, DWORD flags)
{
    EXPECT_EQ(nullptr, to);
    EXPECT_EQ(DWORD(MOVEFILE_DELAY_UNTIL_REBOOT), flags);
    DelayedDeletions.push_back(from);
    return TRUE;
}

} // namespace

TEST(CleanUpTempFiles, KeepsOnlyWhatTheNextStartNeeds)
{
    ScratchFolder folder;
    DelayedDeletions.clear();
    ImportPatch move(&MoveFileExA, &RecordMoveFileExA);
    for (bool nt : {true, false}) {
        SCOPED_TRACE(nt ? "NT" : "9x");
        IsNT = nt;
        AddHive("replaced", folder.Path().c_str(), "\\a", "a", HIVE_MACHINE | HIVE_REPLACED);
        AddHive("kept", folder.Path().c_str(), "\\b", "b", HIVE_MACHINE);
        AddHive("failed", folder.Path().c_str(), "\\c", "c", HIVE_MACHINE | HIVE_FAILED);
        SetFileAttributesA(Hives.TempFile[0], FILE_ATTRIBUTE_READONLY);
        CleanUpTempFiles();
        EXPECT_EQ(!nt, FileExists(Hives.TempFile[0]));
        EXPECT_FALSE(FileExists(Hives.TempFile[1]));
        EXPECT_FALSE(FileExists(Hives.TempFile[2]));
        if (nt) {
            char backup[MAX_PATH], log[MAX_PATH];
            BackupNameOf(0, backup);
            LogNameOf(0, log);
            EXPECT_EQ((std::vector<std::string>{backup, log}), DelayedDeletions);
        } else {
            EXPECT_EQ(2u, DelayedDeletions.size()) << "nothing more on Windows 9x";
            EXPECT_EQ(0u, GetFileAttributesA(Hives.TempFile[0]) & FILE_ATTRIBUTE_READONLY);
        }
        FreeHives();
    }
}
