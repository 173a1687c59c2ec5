// The hive catalogue: growth, owned copies, temporary files, lack of memory, root keys.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <set>

#include "catalogue.h"
#include "failure.h"
#include "import_patch.h"
#include "scratch.h"
#include "system_message.h"

namespace {

class CatalogueTest : public testing::Test {
protected:
    void TearDown() override { FreeHives(); }
    ScratchFolder folder_;
};

} // namespace

TEST_F(CatalogueTest, RecordsKeepTheirOrderContentsAndOwnTemporaryFiles)
{
    AddHive("Software", folder_.Path().c_str(), "\\WINNT\\system32\\config\\software", "Software",
            HIVE_MACHINE);
    ASSERT_EQ(1, Hives.Count);
    AddHive("Default", folder_.Path().c_str(), "\\WINNT\\system32\\config\\default", ".Default",
            HIVE_USERS);
    AddHive("Operator", folder_.Path().c_str(), "\\WINNT\\Profiles\\Operator\\NTUSER.DAT",
            "S-1-5-21-1-2-3-1000", HIVE_USERS);
    ASSERT_EQ(3, Hives.Count);

    EXPECT_STREQ("Software", Hives.DisplayName[0]);
    EXPECT_STREQ("\\WINNT\\system32\\config\\software", Hives.HiveFile[0]);
    EXPECT_STREQ("Software", Hives.SubKey[0]);
    EXPECT_EQ(DWORD(HIVE_MACHINE), Hives.Flags[0]);
    EXPECT_STREQ("Default", Hives.DisplayName[1]);
    EXPECT_STREQ(".Default", Hives.SubKey[1]);
    EXPECT_STREQ("Operator", Hives.DisplayName[2]);
    EXPECT_STREQ("S-1-5-21-1-2-3-1000", Hives.SubKey[2]);
    EXPECT_EQ(DWORD(HIVE_USERS), Hives.Flags[2]);

    std::set<std::string> names;
    for (int i = 0; i < Hives.Count; ++i) {
        std::string temp = Hives.TempFile[i];
        SCOPED_TRACE(temp);
        ASSERT_EQ(0u, temp.find(folder_.Path() + "\\qs"));
        EXPECT_EQ(".tmp", temp.substr(temp.size() - 4));
        EXPECT_EQ("", ReadFileBytes(temp)); // exists, empty
        names.insert(temp);
    }
    EXPECT_EQ(3u, names.size());
    EXPECT_EQ(3u, FilesMatching(folder_.Path(), "qs*.tmp").size());
}

TEST_F(CatalogueTest, TextsAreOwnedCopies)
{
    char name[] = "Security";
    AddHive(name, folder_.Path().c_str(), "\\x", name, HIVE_MACHINE);
    AddHive(name, folder_.Path().c_str(), "\\y", name, HIVE_MACHINE);
    strcpy(name, "Changed!");
    // Same display name twice: both kept; display name and sub key: two copies.
    ASSERT_EQ(2, Hives.Count);
    EXPECT_STREQ("Security", Hives.DisplayName[0]);
    EXPECT_STREQ("Security", Hives.DisplayName[1]);
    EXPECT_STREQ("\\y", Hives.HiveFile[1]);
    EXPECT_NE(Hives.DisplayName[0], Hives.SubKey[0]);
    Hives.SubKey[0][0] = 'X';
    EXPECT_STREQ("Security", Hives.DisplayName[0]);
}

TEST_F(CatalogueTest, FreeingEmptiesTheCatalogueAndToleratesAnEmptyOne)
{
    FreeHives();
    EXPECT_EQ(0, Hives.Count);
    AddHive("System", folder_.Path().c_str(), "C:\\WINDOWS\\SYSTEM\\..\\System.dat", "", 0x22);
    FreeHives();
    EXPECT_EQ(0, Hives.Count);
    EXPECT_EQ(nullptr, Hives.Flags);
    AddHive("User", folder_.Path().c_str(), "C:\\WINDOWS\\SYSTEM\\..\\User.dat", "", 0x24);
    EXPECT_EQ(1, Hives.Count);
    EXPECT_STREQ("User", Hives.DisplayName[0]);
}

TEST_F(CatalogueTest, AMissingTemporaryFolderLeavesAnEmptyName)
{
    AddHive("SAM", folder_.PathOf("missing").c_str(), "\\x", "SAM", HIVE_MACHINE);
    ASSERT_EQ(1, Hives.Count);
    EXPECT_STREQ("", Hives.TempFile[0]);
}

TEST_F(CatalogueTest, NoMemoryIsTheSystemsTextAndTheCatalogueStaysWhole)
{
    AddHive("Software", folder_.Path().c_str(), "\\x", "Software", HIVE_MACHINE);
    {
        // The C library's own realloc: &realloc would be the program's stub for it.
        auto realloc = reinterpret_cast<void* (*)(void*, size_t)>(reinterpret_cast<void (*)()>(
            GetProcAddress(GetModuleHandleA("msvcrt.dll"), "realloc")));
        ImportPatch noMemory(realloc, +[](void*, size_t) -> void* { return nullptr; });
        try {
            AddHive("SAM", folder_.Path().c_str(), "\\y", "SAM", HIVE_MACHINE);
            ADD_FAILURE() << "no failure thrown";
        } catch (const FailureText& failure) {
            EXPECT_EQ(SystemMessage(ERROR_NOT_ENOUGH_MEMORY), failure.Text());
        }
    }
    ASSERT_EQ(1, Hives.Count);
    EXPECT_STREQ("Software", Hives.DisplayName[0]);
}

TEST(HiveRootKey, FollowsTheUsersBitAlone)
{
    EXPECT_EQ(HKEY_LOCAL_MACHINE, HiveRootKey(0x22));
    EXPECT_EQ(HKEY_LOCAL_MACHINE, HiveRootKey(0x02));
    EXPECT_EQ(HKEY_LOCAL_MACHINE, HiveRootKey(0x1A));
    EXPECT_EQ(HKEY_USERS, HiveRootKey(0x24));
    EXPECT_EQ(HKEY_USERS, HiveRootKey(0x04));
    EXPECT_EQ(HKEY_USERS, HiveRootKey(0x0C));
}
