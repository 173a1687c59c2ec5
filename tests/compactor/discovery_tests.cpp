// Hive discovery: the temporary folder choice, the derivation of each hive
// list entry, and the real registry and file calls under Wine.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalogue.h"
#include "compactor_state.h"
#include "discovery.h"
#include "failure.h"
#include "import_patch.h"
#include "platform.h"
#include "scratch.h"
#include "system_message.h"

TEST(ChooseTempDirectory, KeepsTheTemporaryPathOnlyOnTheSystemDirectorysDriveAsWritten)
{
    const struct {
        const char* TempPath;
        const char* Expected;
    } rows[] = {
        {"C:\\TEMP\\", "C:\\TEMP\\"},
        {"D:\\TEMP\\", "C:\\WINNT\\system32"},
        {"c:\\temp\\", "C:\\WINNT\\system32"},
        {"\\\\server\\share\\temp\\", "C:\\WINNT\\system32"},
        {"", "C:\\WINNT\\system32"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.TempPath);
        char directory[MAX_PATH] = "sentinel";
        ChooseTempDirectory(row.TempPath, "C:\\WINNT\\system32", directory);
        EXPECT_STREQ(row.Expected, directory);
    }
}

namespace {

struct EntryRow {
    const char* Name;
    const char* Data;
    const char* DisplayName; // null: skipped
    const char* SubKey;
    const char* HiveFile;
    DWORD Flags;
};

const EntryRow Nt40Table[] = {
    {"\\REGISTRY\\MACHINE\\HARDWARE", "", nullptr, nullptr, nullptr, 0},
    {"\\REGISTRY\\MACHINE\\SAM", "\\Device\\Harddisk0\\Partition1\\WINNT\\System32\\Config\\SAM",
     "SAM", "SAM", "\\WINNT\\System32\\Config\\SAM", 0x02},
    {"\\REGISTRY\\MACHINE\\SECURITY",
     "\\Device\\Harddisk0\\Partition1\\WINNT\\System32\\Config\\SECURITY", "Security", "Security",
     "\\WINNT\\System32\\Config\\SECURITY", 0x02},
    {"\\REGISTRY\\MACHINE\\SOFTWARE",
     "\\Device\\Harddisk0\\Partition1\\WINNT\\System32\\Config\\SOFTWARE", "Software", "Software",
     "\\WINNT\\System32\\Config\\SOFTWARE", 0x02},
    {"\\REGISTRY\\MACHINE\\SYSTEM",
     "\\Device\\Harddisk0\\Partition1\\WINNT\\System32\\Config\\SYSTEM", nullptr, nullptr,
     nullptr, 0},
    {"\\REGISTRY\\USER\\.DEFAULT",
     "\\Device\\Harddisk0\\Partition1\\WINNT\\System32\\Config\\DEFAULT", "Default", ".Default",
     "\\WINNT\\System32\\Config\\DEFAULT", 0x04},
    {"\\REGISTRY\\USER\\S-1-5-21-1-2-3-500",
     "\\Device\\Harddisk0\\Partition1\\WINNT\\Profiles\\Administrator\\ntuser.dat",
     "Administrator", "S-1-5-21-1-2-3-500", "\\WINNT\\Profiles\\Administrator\\ntuser.dat", 0x04},
};

const EntryRow Win2000Table[] = {
    {"\\REGISTRY\\MACHINE\\SOFTWARE", "\\Device\\HarddiskVolume1\\WINNT\\system32\\config\\software",
     "Software", "Software", "\\WINNT\\system32\\config\\software", 0x02},
    {"\\REGISTRY\\MACHINE\\SYSTEM", "\\Device\\HarddiskVolume1\\WINNT\\system32\\config\\system",
     nullptr, nullptr, nullptr, 0},
    {"\\REGISTRY\\USER\\.DEFAULT", "\\Device\\HarddiskVolume1\\WINNT\\system32\\config\\default",
     "Default", ".Default", "\\WINNT\\system32\\config\\default", 0x04},
    {"\\REGISTRY\\USER\\S-1-5-21-1-2-3-500",
     "\\Device\\HarddiskVolume1\\Documents and Settings\\Administrator\\NTUSER.DAT",
     "Administrator\\NTUSER.DAT", "S-1-5-21-1-2-3-500",
     "\\Documents and Settings\\Administrator\\NTUSER.DAT", 0x04},
    {"\\REGISTRY\\USER\\S-1-5-21-1-2-3-500_Classes",
     "\\Device\\HarddiskVolume1\\Documents and Settings\\Administrator\\Local "
     "Settings\\Application Data\\Microsoft\\Windows\\UsrClass.dat",
     "Administrator\\Local Settings\\Application Data\\Microsoft\\Windows\\UsrClass.dat",
     "S-1-5-21-1-2-3-500_Classes",
     "\\Documents and Settings\\Administrator\\Local Settings\\Application "
     "Data\\Microsoft\\Windows\\UsrClass.dat",
     0x04},
    {"\\REGISTRY\\USER\\S-1-5-21-1-2-3-1000",
     "\\Device\\HarddiskVolume1\\WINNT\\Profiles\\Operator\\NTUSER.DAT", "Operator",
     "S-1-5-21-1-2-3-1000", "\\WINNT\\Profiles\\Operator\\NTUSER.DAT", 0x04},
    {"\\REGISTRY\\USER\\S-1-5-21-1-2-3-1001",
     "\\Device\\HarddiskVolume1\\Profiles2\\Operator\\NTUSER.DAT", "S-1-5-21-1-2-3-1001",
     "S-1-5-21-1-2-3-1001", "\\Profiles2\\Operator\\NTUSER.DAT", 0x04},
};

// Further edges, on Windows 2000 (prefix 23); "V" stands for the device name.
const EntryRow EdgeTable[] = {
    {"\\REGISTRY\\MACHINE\\ABCD", "\\Device\\HarddiskVolume1\\x", "Abcd", "Abcd", "\\x", 0x02},
    {"\\REGISTRY\\MACHINE\\ABC", "\\Device\\HarddiskVolume1\\x", "ABC", "ABC", "\\x", 0x02},
    {"\\REGISTRY\\MACHINE\\system", "\\Device\\HarddiskVolume1\\x", "system", "system", "\\x",
     0x02},
    {"\\REGISTRY\\MACHINE\\SyStEm", "\\Device\\HarddiskVolume1\\x", nullptr, nullptr, nullptr, 0},
    {"\\REGISTRY\\USER\\.ODD", "\\Device\\HarddiskVolume1\\elsewhere\\odd.dat", "Odd", ".Odd",
     "\\elsewhere\\odd.dat", 0x04},
    {"\\REGISTRY\\USER\\.X", "\\Device\\HarddiskVolume1\\y", "X", ".X", "\\y", 0x04},
    {"\\REGISTRY\\USER\\S-1", "\\Device\\HarddiskVolume1\\WINNT\\Profiles\\abcdefghijk", "", "S-1",
     "\\WINNT\\Profiles\\abcdefghijk", 0x04},
    {"\\REGISTRY\\USER\\S-2", "\\Device\\HarddiskVolume1\\WINNT\\Profiles\\abcdefghij",
     "abcdefghij", "S-2", "\\WINNT\\Profiles\\abcdefghij", 0x04},
    // The profile folder itself is not lower-cased, nor is a dotted key under it.
    {"\\REGISTRY\\USER\\.USR", "\\Device\\HarddiskVolume1\\Documents and Settings\\A\\B", "A\\B",
     ".USR", "\\Documents and Settings\\A\\B", 0x04},
    {"\\REGISTRY\\OTHER\\X", "\\Device\\HarddiskVolume1\\x", nullptr, nullptr, nullptr, 0},
    {"\\registry\\machine\\SOFTWARE", "\\Device\\HarddiskVolume1\\x", nullptr, nullptr, nullptr,
     0},
    {"\\REGISTRY\\MACHINE\\SOFTWARE", "", nullptr, nullptr, nullptr, 0},
    // Texts that would end before the part to be read are skipped, never read past.
    {"\\REGISTRY\\MACHINE\\SOFTWARE", "\\Device\\Short", nullptr, nullptr, nullptr, 0},
    {"\\REGISTRY\\USER\\S-3", "\\Device\\HarddiskVolume1\\Documents and Settings", nullptr,
     nullptr, nullptr, 0},
    {"\\REGISTRY\\USER\\S-4", "\\Device\\HarddiskVolume1\\WINNT\\Profiles", nullptr, nullptr,
     nullptr, 0},
    {"\\REGISTRY\\USER\\.", "\\Device\\HarddiskVolume1\\y", nullptr, nullptr, nullptr, 0},
    // The device name is skipped whatever it says, up to an empty hive path.
    {"\\REGISTRY\\MACHINE\\SOFTWARE", "\\Device\\HarddiskVolume1", "Software", "Software", "",
     0x02},
    // An empty key name would be the whole root key.
    {"\\REGISTRY\\MACHINE\\", "\\Device\\HarddiskVolume1\\x", nullptr, nullptr, nullptr, 0},
    {"\\REGISTRY\\USER\\", "\\Device\\HarddiskVolume1\\x", nullptr, nullptr, nullptr, 0},
};

const DriveDevices NoDrives = {};

void ExpectDerived(const EntryRow& row, bool isWin2000, const DriveDevices& drives = NoDrives)
{
    SCOPED_TRACE(std::string(row.Name) + " = " + row.Data);
    DerivedHive hive;
    bool offered =
        DeriveHive(row.Name, row.Data, DWORD(strlen(row.Data) + 1), isWin2000, &drives, &hive);
    ASSERT_EQ(row.DisplayName != nullptr, offered);
    if (!offered)
        return;
    EXPECT_STREQ(row.DisplayName, hive.DisplayName);
    EXPECT_STREQ(row.SubKey, hive.SubKey);
    EXPECT_STREQ(row.HiveFile, hive.HiveFile);
    EXPECT_EQ(row.Flags, hive.Flags);
}

} // namespace

TEST(DeriveHive, Nt40Table)
{
    for (const EntryRow& row : Nt40Table)
        ExpectDerived(row, false);
}

TEST(DeriveHive, Windows2000Table)
{
    for (const EntryRow& row : Win2000Table)
        ExpectDerived(row, true);
}

TEST(DeriveHive, FurtherEdges)
{
    for (const EntryRow& row : EdgeTable)
        ExpectDerived(row, true);
}

TEST(DeriveHive, HiveFilesOnAnyVolumeGetTheirVolumesDriveLetter)
{
    const struct {
        bool IsWin2000;
        EntryRow Entry;
    } rows[] = {
        {true,
         {"\\REGISTRY\\MACHINE\\SOFTWARE", "\\Device\\HarddiskVolume1\\WINNT\\config\\software",
          "Software", "Software", "C:\\WINNT\\config\\software", 0x02}},
        {true,
         {"\\REGISTRY\\MACHINE\\SOFTWARE", "\\Device\\HarddiskVolume10\\WINNT\\config\\software",
          "Software", "Software", "D:\\WINNT\\config\\software", 0x02}},
        {true,
         {"\\REGISTRY\\USER\\S-1-5-21-1-2-3-1000",
          "\\Device\\HarddiskVolume2\\Documents and Settings\\Operator\\NTUSER.DAT",
          "Operator\\NTUSER.DAT", "S-1-5-21-1-2-3-1000",
          "F:\\Documents and Settings\\Operator\\NTUSER.DAT", 0x04}},
        {false,
         {"\\REGISTRY\\USER\\S-1-5-21-1-2-3-500",
          "\\Device\\Harddisk0\\Partition12\\WINNT\\Profiles\\Administrator\\ntuser.dat",
          "Administrator", "S-1-5-21-1-2-3-500",
          "E:\\WINNT\\Profiles\\Administrator\\ntuser.dat", 0x04}},
        // A volume without a drive letter keeps the rooted path.
        {true,
         {"\\REGISTRY\\MACHINE\\SAM", "\\Device\\HarddiskVolume11\\WINNT\\config\\SAM", "SAM",
          "SAM", "\\WINNT\\config\\SAM", 0x02}},
        {false,
         {"\\REGISTRY\\MACHINE\\SAM", "\\Device\\Harddisk1\\Partition12\\WINNT\\SAM", "SAM",
          "SAM", "\\WINNT\\SAM", 0x02}},
    };
    // A machine with many volumes: C: on the first, D: on the tenth, F: on the
    // second, E: on the twelfth partition of the first disk.
    DriveDevices drives = {};
    strcpy(drives.Name['C' - 'A'], "\\Device\\HarddiskVolume1");
    strcpy(drives.Name['D' - 'A'], "\\Device\\HarddiskVolume10");
    strcpy(drives.Name['E' - 'A'], "\\Device\\Harddisk0\\Partition12");
    strcpy(drives.Name['F' - 'A'], "\\Device\\HarddiskVolume2");
    for (const auto& row : rows)
        ExpectDerived(row.Entry, row.IsWin2000, drives);
}

TEST(DeriveHive, DataWithoutATerminatingZeroIsReadOnlyToItsSize)
{
    std::string data = "\\Device\\HarddiskVolume1\\WINNT\\system32\\config\\software#garbage";
    DerivedHive hive;
    ASSERT_TRUE(DeriveHive("\\REGISTRY\\MACHINE\\SOFTWARE", data.c_str(),
                           DWORD(data.find('#')), true, &NoDrives, &hive));
    EXPECT_STREQ("\\WINNT\\system32\\config\\software", hive.HiveFile);

    // A whole buffer of text, no zero in it.
    std::string full = "\\Device\\HarddiskVolume1\\" + std::string(MAX_PATH - 24, 'x');
    ASSERT_TRUE(
        DeriveHive("\\REGISTRY\\MACHINE\\SAM", full.c_str(), MAX_PATH, true, &NoDrives, &hive));
    EXPECT_EQ(size_t(MAX_PATH - 23), strlen(hive.HiveFile));
}

namespace {

const char HiveListKey[] = "System\\CurrentControlSet\\Control\\HiveList";

OSVERSIONINFOA ReportedVersion;
BOOL WINAPI FakeGetVersionExA(LPOSVERSIONINFOA version)
{
    *version = ReportedVersion;
    return TRUE;
}

// Hive files keep the rooted paths of the tables: the machine tells no drive
// letters, as a kernel32 without QueryDosDeviceA does. (Wine's own answer is
// met by the end-to-end tests.)
decltype(&GetProcAddress) RealGetProcAddress;
FARPROC WINAPI WithoutQueryDosDevice(HMODULE module, LPCSTR name)
{
    if (!IS_INTRESOURCE(name) && strcmp(name, "QueryDosDeviceA") == 0)
        return nullptr;
    return RealGetProcAddress(module, name);
}

int KeyOpens;
LONG OpenAnswer;
decltype(&RegOpenKeyA) RealRegOpenKeyA;
LONG WINAPI CountingRegOpenKeyA(HKEY root, LPCSTR subKey, PHKEY key)
{
    ++KeyOpens;
    return OpenAnswer ? OpenAnswer : RealRegOpenKeyA(root, subKey, key);
}

// Runs discovery as a chosen Windows version, with hive list entries written
// into the prefix's real registry.
class DiscoveryTest : public testing::Test {
protected:
    void SetUp() override
    {
        KeyOpens = 0;
        OpenAnswer = 0;
        RegCreateKeyA(HKEY_LOCAL_MACHINE, HiveListKey, &list_);
    }
    void TearDown() override
    {
        for (const std::string& name : written_)
            RegDeleteValueA(list_, name.c_str());
        RegCloseKey(list_);
        ResetCompactor();
        SetCurrentDirectoryA("C:\\");
    }
    void Write(const char* name, const std::string& data, DWORD type = REG_SZ)
    {
        RegSetValueExA(list_, name, 0, type, reinterpret_cast<const BYTE*>(data.c_str()),
                       DWORD(type == REG_SZ ? data.size() + 1 : data.size()));
        written_.push_back(name);
    }
    void Write(const EntryRow* rows, size_t count)
    {
        for (size_t i = 0; i < count; ++i)
            Write(rows[i].Name, rows[i].Data);
    }
    void Discover(DWORD platform, DWORD major, DWORD build)
    {
        ReportedVersion = OSVERSIONINFOA();
        ReportedVersion.dwPlatformId = platform;
        ReportedVersion.dwMajorVersion = major;
        ReportedVersion.dwBuildNumber = build;
        ImportPatch version(&GetVersionExA, &FakeGetVersionExA);
        ImportPatch open(&RegOpenKeyA, &CountingRegOpenKeyA, &RealRegOpenKeyA);
        ImportPatch lookUp(&GetProcAddress, &WithoutQueryDosDevice, &RealGetProcAddress);
        CheckPlatform();
        DiscoverHives();
    }
    // The records must be the table's offered rows, in the registry's own order.
    void ExpectRecords(const EntryRow* rows, size_t count)
    {
        std::vector<const EntryRow*> expected;
        DWORD index = 0;
        char name[MAX_PATH];
        for (DWORD size = sizeof name; !RegEnumValueA(list_, index, name, &size, 0, 0, 0, 0);
             size = sizeof name, ++index)
            for (size_t i = 0; i < count; ++i)
                if (rows[i].DisplayName && strcmp(rows[i].Name, name) == 0)
                    expected.push_back(&rows[i]);
        ASSERT_EQ(int(expected.size()), Hives.Count);
        for (int i = 0; i < Hives.Count; ++i) {
            SCOPED_TRACE(expected[i]->Name);
            EXPECT_STREQ(expected[i]->DisplayName, Hives.DisplayName[i]);
            EXPECT_STREQ(expected[i]->SubKey, Hives.SubKey[i]);
            EXPECT_STREQ(expected[i]->HiveFile, Hives.HiveFile[i]);
            EXPECT_EQ(expected[i]->Flags, Hives.Flags[i]);
            EXPECT_EQ(0u, std::string(Hives.TempFile[i]).find(TempDirectory));
            EXPECT_TRUE(FileExists(Hives.TempFile[i]));
        }
    }
    HKEY list_;
    std::vector<std::string> written_;
};

std::string SystemDirectory()
{
    char path[MAX_PATH];
    GetSystemDirectoryA(path, sizeof path);
    return path;
}

std::string CurrentDirectory()
{
    char path[MAX_PATH];
    GetCurrentDirectoryA(sizeof path, path);
    return path;
}

} // namespace

TEST_F(DiscoveryTest, Nt40ReadsTheHiveList)
{
    Write(Nt40Table, std::size(Nt40Table));
    Discover(VER_PLATFORM_WIN32_NT, 4, 1381);
    ExpectRecords(Nt40Table, std::size(Nt40Table));
    EXPECT_EQ(1, KeyOpens);
    EXPECT_EQ(TempFolder(), TempDirectory);
    EXPECT_EQ(SystemDirectory(), CurrentDirectory());
}

TEST_F(DiscoveryTest, Windows2000ReadsTheHiveList)
{
    Write(Win2000Table, std::size(Win2000Table));
    Discover(VER_PLATFORM_WIN32_NT, 5, 2195);
    ExpectRecords(Win2000Table, std::size(Win2000Table));
}

TEST_F(DiscoveryTest, Windows9xAddsTheTwoFixedHivesWithoutTheRegistry)
{
    Write(Win2000Table, std::size(Win2000Table));
    Discover(VER_PLATFORM_WIN32_WINDOWS, 4, 1998);
    ASSERT_EQ(2, Hives.Count);
    EXPECT_STREQ("System", Hives.DisplayName[0]);
    EXPECT_EQ(SystemDirectory() + "\\..\\System.dat", Hives.HiveFile[0]);
    EXPECT_STREQ("", Hives.SubKey[0]);
    EXPECT_EQ(0x22u, Hives.Flags[0]);
    EXPECT_STREQ("User", Hives.DisplayName[1]);
    EXPECT_EQ(SystemDirectory() + "\\..\\User.dat", Hives.HiveFile[1]);
    EXPECT_STREQ("", Hives.SubKey[1]);
    EXPECT_EQ(0x24u, Hives.Flags[1]);
    EXPECT_EQ(0, KeyOpens);
    EXPECT_EQ(SystemDirectory(), CurrentDirectory());
}

TEST_F(DiscoveryTest, AValueTooLongForItsBufferEndsTheListQuietly)
{
    Write("\\REGISTRY\\MACHINE\\AAA", "\\Device\\HarddiskVolume1\\a");
    Write("\\REGISTRY\\MACHINE\\BBB", "\\Device\\HarddiskVolume1\\" + std::string(300, 'b'));
    Write("\\REGISTRY\\MACHINE\\CCC", "\\Device\\HarddiskVolume1\\c");
    Discover(VER_PLATFORM_WIN32_NT, 5, 2195);
    ASSERT_EQ(1, Hives.Count);
    EXPECT_STREQ("AAA", Hives.DisplayName[0]);
}

TEST_F(DiscoveryTest, DataStoredWithoutItsZeroStaysInsideTheBuffer)
{
    Write("\\REGISTRY\\MACHINE\\BINARY", "\\Device\\HarddiskVolume1\\" + std::string(236, 'z'),
          REG_BINARY);
    Discover(VER_PLATFORM_WIN32_NT, 5, 2195);
    ASSERT_EQ(1, Hives.Count);
    EXPECT_EQ("\\" + std::string(236, 'z'), Hives.HiveFile[0]);
}

TEST_F(DiscoveryTest, AHiveListThatCantBeOpenedThrowsTheSystemText)
{
    OpenAnswer = ERROR_ACCESS_DENIED;
    std::string expected = SystemMessage(ERROR_ACCESS_DENIED);
    try {
        Discover(VER_PLATFORM_WIN32_NT, 4, 1381);
        ADD_FAILURE() << "no failure";
    } catch (const FailureText& failure) {
        EXPECT_EQ(expected, failure.Text());
        EXPECT_NE('\0', failure.Text()[0]);
    }
    EXPECT_EQ(0, Hives.Count);
}
