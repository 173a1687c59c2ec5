// Saving the hives and the size report: the number rules, the real saves
// under Wine, and the rows of the real list view.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "catalogue.h"
#include "compactor_state.h"
#include "export.h"
#include "failure.h"
#include "hive_list.h"
#include "import_patch.h"
#include "main_window.h"
#include "platform.h"
#include "resource.h"
#include "scratch.h"

TEST(SizeTexts, FollowTheNumberRules)
{
    const struct {
        int Bytes;
        const char* Text;
    } kilobytes[] = {{0, "0KB"},        {511, "0KB"},        {512, "1KB"},
                     {1536, "2KB"},     {2560, "3KB"},       {995, "1KB"},
                     {1049088, "1025KB"}, {2621440, "2560KB"}, {1835008, "1792KB"},
                     {1048575, "1024KB"}};
    for (const auto& row : kilobytes) {
        SCOPED_TRACE(row.Bytes);
        char text[32] = "sentinel";
        FormatKilobytes(row.Bytes, text, sizeof text);
        EXPECT_STREQ(row.Text, text);
    }
    const struct {
        int Size, Compacted;
        const char* Text;
    } ratios[] = {{2621440, 1835008, "30%"}, {1000, 995, "1%"}, {1000, 0, "100%"},
                  {1000, 1000, "0%"},        {3, 2, "33%"},     {3, 1, "67%"},
                  {0, 0, ""},                {-10, 0, ""}};
    for (const auto& row : ratios) {
        SCOPED_TRACE(std::to_string(row.Size) + "/" + std::to_string(row.Compacted));
        char text[32] = "sentinel";
        FormatRatio(row.Size, row.Compacted, text, sizeof text);
        EXPECT_STREQ(row.Text, text);
    }
}

TEST(SizeTexts, AStatusLineCutsALongNameAndKeepsItsEnd)
{
    char text[MAX_PATH];
    FormatLoadingStatus("Software", text, sizeof text);
    EXPECT_STREQ("Please Wait, Loading Registry Hive \"Software\"...", text);

    std::string name(219, 'n');
    FormatLoadingStatus(name.c_str(), text, sizeof text);
    EXPECT_EQ("Please Wait, Loading Registry Hive \"" + name + "\"...", std::string(text));
    std::string longer(400, 'x');
    FormatLoadingStatus(longer.c_str(), text, sizeof text);
    EXPECT_EQ(size_t(MAX_PATH - 1), strlen(text));
    EXPECT_EQ("\"...", std::string(text).substr(MAX_PATH - 5));
}

TEST(GetFileSizeOrThrow, ReadsTheSizeOrThrows)
{
    ScratchFolder folder;
    WriteFileBytes(folder.PathOf("a"), std::string(1234, 'a'));
    EXPECT_EQ(1234, GetFileSizeOrThrow(folder.PathOf("a").c_str()));
    try {
        GetFileSizeOrThrow(folder.PathOf("missing").c_str());
        ADD_FAILURE() << "no failure";
    } catch (const FailureText& failure) {
        EXPECT_STREQ("Can't Get File Size", failure.Text());
    }
}

namespace {

const char TestKey[] = "Software\\QuillstoneExportTest";

struct Opening {
    HKEY Root;
    bool WholeRoot;
    REGSAM Access;
};
std::vector<Opening> Openings;
int Closes;
decltype(&RegOpenKeyExA) RealRegOpenKeyExA;
decltype(&RegCloseKey) RealRegCloseKey;
decltype(&RegSaveKeyA) RealRegSaveKeyA;
bool SaveFails;

LONG WINAPI RecordRegOpenKeyExA(HKEY root, LPCSTR subKey, DWORD options, REGSAM access, PHKEY key)
{
    Openings.push_back({root, subKey == NULL, access});
    return RealRegOpenKeyExA(root, subKey, options, access, key);
}

LONG WINAPI CountRegCloseKey(HKEY key)
{
    ++Closes;
    return RealRegCloseKey(key);
}

LONG WINAPI MaybeFailRegSaveKeyA(HKEY key, LPCSTR file, LPSECURITY_ATTRIBUTES security)
{
    return SaveFails ? ERROR_ACCESS_DENIED : RealRegSaveKeyA(key, file, security);
}

// A catalogue of real keys, with the privileges a save needs.
class ExportTest : public testing::Test {
protected:
    void SetUp() override
    {
        IsNT = true;
        EnablePrivileges();
        key_.SetString("Value", "data");
        CreateMainWindow();
        Openings.clear();
        Closes = 0;
        SaveFails = false;
    }
    void TearDown() override { ResetCompactor(); }
    std::string Status() const
    {
        char text[MAX_PATH];
        GetDlgItemTextA(MainWindow, IDC_STATUS, text, sizeof text);
        return text;
    }
    ScratchFolder folder_;
    ScratchKey key_{HKEY_LOCAL_MACHINE, TestKey};
};

} // namespace

TEST_F(ExportTest, SavesEveryHiveAndMarksTheOnesThatFailSilently)
{
    AddHive("Test", folder_.Path().c_str(), "\\x", TestKey, HIVE_MACHINE);
    AddHive("Missing", folder_.Path().c_str(), "\\y", "Software\\NoSuchKeyHere", HIVE_MACHINE);
    AddHive("Default", folder_.Path().c_str(), "\\z", ".Default", HIVE_USERS);
    ImportPatch open(&RegOpenKeyExA, &RecordRegOpenKeyExA, &RealRegOpenKeyExA);
    ImportPatch close(&RegCloseKey, &CountRegCloseKey, &RealRegCloseKey);
    ExportHives();

    EXPECT_EQ(DWORD(HIVE_MACHINE), Hives.Flags[0]);
    EXPECT_EQ(DWORD(HIVE_MACHINE | HIVE_FAILED), Hives.Flags[1]);
    EXPECT_EQ(DWORD(HIVE_USERS), Hives.Flags[2]);
    std::string saved = ReadFileBytes(Hives.TempFile[0]);
    EXPECT_NE(std::string::npos, saved.find("Value")) << saved.substr(0, 200);
    EXPECT_NE(std::string::npos, ReadFileBytes(Hives.TempFile[2]).find("WINE REGISTRY"));

    ASSERT_EQ(3u, Openings.size());
    EXPECT_EQ(HKEY_LOCAL_MACHINE, Openings[0].Root);
    EXPECT_EQ(HKEY_USERS, Openings[2].Root);
    for (const Opening& opening : Openings) {
        EXPECT_EQ(REGSAM(READ_CONTROL), opening.Access);
        EXPECT_FALSE(opening.WholeRoot);
    }
    EXPECT_EQ(2, Closes); // every key opened is closed
    EXPECT_EQ("Please Wait, Loading Registry Hive \"Default\"...", Status());
}

TEST_F(ExportTest, TheWindows9xHivesSaveTheirWholeRootAndAFailedSaveStillClosesTheKey)
{
    AddHive("User", folder_.Path().c_str(), "\\u", "ignored", HIVE_USERS | HIVE_WHOLE_ROOT);
    ImportPatch open(&RegOpenKeyExA, &RecordRegOpenKeyExA, &RealRegOpenKeyExA);
    ImportPatch close(&RegCloseKey, &CountRegCloseKey, &RealRegCloseKey);
    ImportPatch save(&RegSaveKeyA, &MaybeFailRegSaveKeyA, &RealRegSaveKeyA);
    SaveFails = true;
    ExportHives();
    ASSERT_EQ(1u, Openings.size());
    EXPECT_EQ(HKEY_USERS, Openings[0].Root);
    EXPECT_TRUE(Openings[0].WholeRoot);
    EXPECT_EQ(1, Closes);
    EXPECT_TRUE(Hives.Flags[0] & HIVE_FAILED);
    EXPECT_FALSE(FileExists(Hives.TempFile[0])); // deleted before the save
}

namespace {

std::string CellText(int row, int column)
{
    char text[MAX_PATH] = "";
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(HiveListView, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    return text;
}

} // namespace

TEST_F(ExportTest, RowsShowTheHivesThatDidNotFailWithTheirSizes)
{
    const struct {
        const char* Name;
        int HiveSize, TempSize;
        bool Failed;
    } hives[] = {
        {"Software", 2621440, 1835008, false},
        {"Failed", 100, 100, true},
        {"Empty", 0, 0, false},
        {"Grown", 1000, 4000, false},
        {"Shrunk", 1000, 995, false},
        {"Vanished", -1, 10, false}, // no hive file: failed, no row
    };
    for (const auto& hive : hives) {
        std::string file = folder_.PathOf(std::string(hive.Name) + ".dat");
        if (hive.HiveSize >= 0)
            WriteFileBytes(file, std::string(hive.HiveSize, 'h'));
        AddHive(hive.Name, folder_.Path().c_str(), file.c_str(), "", HIVE_MACHINE);
        WriteFileBytes(Hives.TempFile[Hives.Count - 1], std::string(hive.TempSize, 't'));
        if (hive.Failed)
            Hives.Flags[Hives.Count - 1] |= HIVE_FAILED;
    }
    FillHiveRows();

    const char* rows[][4] = {{"Software", "2560KB", "1792KB", "30%"},
                             {"Empty", "0KB", "0KB", ""},
                             {"Grown", "1KB", "1KB", "0%"},
                             {"Shrunk", "1KB", "1KB", "1%"}};
    ASSERT_EQ(4, SendMessageA(HiveListView, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < 4; ++row) {
        SCOPED_TRACE(rows[row][0]);
        for (int column = 0; column < 4; ++column)
            EXPECT_EQ(rows[row][column], CellText(row, column));
        EXPECT_EQ(LRESULT(INDEXTOSTATEIMAGEMASK(2)),
                  SendMessageA(HiveListView, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK));
    }
    EXPECT_TRUE(Hives.Flags[5] & HIVE_FAILED);
}

TEST_F(ExportTest, ATemporaryFileThatCantBeMeasuredEndsTheReportAfterTheRowsName)
{
    std::string file = folder_.PathOf("hive.dat");
    WriteFileBytes(file, std::string(2048, 'h'));
    AddHive("Software", folder_.Path().c_str(), file.c_str(), "", HIVE_MACHINE);
    DeleteFileA(Hives.TempFile[0]);
    try {
        FillHiveRows();
        ADD_FAILURE() << "no failure";
    } catch (const FailureText& failure) {
        EXPECT_STREQ("Can't Get File Size", failure.Text());
    }
    ASSERT_EQ(1, SendMessageA(HiveListView, LVM_GETITEMCOUNT, 0, 0));
    EXPECT_EQ("Software", CellText(0, 0));
    EXPECT_EQ("2KB", CellText(0, 1));
    EXPECT_EQ("", CellText(0, 2));
    EXPECT_EQ("", CellText(0, 3));
}
