// Paths are joined whole or not at all.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "paths.h"

TEST(JoinPath, JoinsWhatFitsAndEmptiesTheBufferForWhatDoesNot)
{
    const std::string folder = "C:\\" + std::string(247, 'f'); // 250 characters
    const struct {
        const char* Name;
        const char* Suffix;
        bool Fits;
    } rows[] = {
        {"12345678", "", true},    // 259 characters, the most a path can have
        {"123456789", "", false},  // one more
        {"1234", ".lnk", true},    // the suffix counts
        {"12345", ".lnk", false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.Name) + row.Suffix);
        char path[MAX_PATH];
        memset(path, 'x', sizeof path);
        EXPECT_EQ(row.Fits, JoinPath(path, folder.c_str(), row.Name, row.Suffix));
        EXPECT_EQ(row.Fits ? folder + "\\" + row.Name + row.Suffix : "", path);
    }
}

TEST(WindowsFolderPath, NamesTheFileThroughTheSystemFolderOrRefusesALongName)
{
    char system[MAX_PATH], path[MAX_PATH];
    GetSystemDirectoryA(system, sizeof system);
    EXPECT_TRUE(WindowsFolderPath(path, "WinInit.ini"));
    EXPECT_EQ(std::string(system) + "\\..\\WinInit.ini", path);
    EXPECT_FALSE(WindowsFolderPath(path, std::string(MAX_PATH - 4, 'n').c_str()));
    EXPECT_STREQ("", path);
}
