// The run mode: only "/nogui", in any letter case, with nothing around it.
#include <gtest/gtest.h>

#include <string>

#include "run_mode.h"

TEST(CommandLine, NoGuiInAnyCaseSelectsTheUnattendedRun)
{
    for (const char* line : {"/nogui", "/NOGUI", "/NoGui", "/nOgUi"}) {
        SCOPED_TRACE(line);
        EXPECT_TRUE(IsNoGuiCommandLine(line));
    }
}

TEST(CommandLine, AnythingElseSelectsTheWindow)
{
    for (const char* line : {"", "/nogui ", " /nogui", "/nogui x", "-nogui", "nogui", "/nogu",
                             "/nogui\t", "/no gui", "\"/nogui\""}) {
        SCOPED_TRACE(line);
        EXPECT_FALSE(IsNoGuiCommandLine(line));
    }
}

TEST(CommandLine, OnlyLettersAToZAreFolded)
{
    // 0xCF is a capital letter in the ANSI code page but not one of A to Z.
    EXPECT_FALSE(IsNoGuiCommandLine("/n\xCFgui"));
}

TEST(CommandLine, OverlongLinesAreNeverNoGuiAndAreReadSafely)
{
    std::string line = "/nogui" + std::string(400, ' ');
    EXPECT_FALSE(IsNoGuiCommandLine(line.c_str()));
    // 255 characters still fit the copy; 256 do not.
    EXPECT_FALSE(IsNoGuiCommandLine(std::string(255, 'a').c_str()));
    EXPECT_FALSE(IsNoGuiCommandLine(std::string(256, 'a').c_str()));
}
