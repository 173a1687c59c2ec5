// The built compactor started as a user would: refused platforms and run modes.
#include <gtest/gtest.h>

#include "program_run.h"
#include "scratch.h"

namespace {

std::string Compactor()
{
    return WindowsPathFromEnvironment("QS_COMPACTOR");
}

class CompactorStart : public testing::Test {
protected:
    void TearDown() override { SetWindowsVersion("Quillstone.exe", ""); }
};

} // namespace

TEST_F(CompactorStart, RefusedPlatformsShowOneErrorBoxAndExitWithMinusOne)
{
    for (const char* version : {"win31", "nt351"}) {
        SCOPED_TRACE(version);
        SetWindowsVersion("Quillstone.exe", version);
        auto before = FilesMatching(TempFolder(), "qs*.tmp");
        ProgramRun run("\"" + Compactor() + "\" /nogui");

        ShownMessageBox box;
        ASSERT_TRUE(run.WaitForMessageBox(&box));
        EXPECT_EQ("Quillstone requires Windows95, Windows98, WindowsNT 4.0, or Windows2000.",
                  box.Text);
        EXPECT_EQ("Quillstone - Error", box.Caption);
        EXPECT_EQ(BoxIcon::Warning, box.Icon);
        EXPECT_EQ(nullptr, box.Owner);
        run.Answer(box, IDOK);

        DWORD exitCode = 0;
        ASSERT_TRUE(run.WaitForExit(&exitCode));
        EXPECT_EQ(DWORD(-1), exitCode);
        EXPECT_FALSE(run.WaitForMessageBox(&box, 0));
        EXPECT_EQ(before, FilesMatching(TempFolder(), "qs*.tmp"));
    }
}

namespace {

// The unattended run ends by itself; an interactive one waits for its user.
bool RunsUnattended(const std::string& commandLine)
{
    ProgramRun run(commandLine);
    DWORD exitCode = 1;
    if (run.WaitForExit(&exitCode, 5000)) {
        EXPECT_EQ(0u, exitCode);
        return true;
    }
    // Interactive: end it as closing its window would, with the quit message.
    for (int attempt = 0; attempt < 100 && !PostThreadMessageA(run.ThreadId(), WM_QUIT, 0, 0);
         ++attempt)
        Sleep(50);
    EXPECT_TRUE(run.WaitForExit(&exitCode));
    EXPECT_EQ(0u, exitCode);
    return false;
}

} // namespace

TEST_F(CompactorStart, TheCommandLineChoosesTheRunMode)
{
    std::string program = "\"" + Compactor() + "\"";
    EXPECT_TRUE(RunsUnattended(program + " /NOGUI"));
    EXPECT_TRUE(RunsUnattended(program + "    /nogui"));
    EXPECT_FALSE(RunsUnattended(program + " /nogui "));
    EXPECT_FALSE(RunsUnattended(program + " -nogui"));
    EXPECT_FALSE(RunsUnattended(program + " nogui"));
    EXPECT_FALSE(RunsUnattended(program + " /nogui now"));
    EXPECT_FALSE(RunsUnattended(program));
}

TEST_F(CompactorStart, AQuotedProgramPathWithBlanksIsSkipped)
{
    std::string folder = "C:\\Program Files\\Quill Stone Test";
    CreateDirectoryA(folder.c_str(), NULL);
    std::string copy = folder + "\\Quillstone.exe";
    ASSERT_TRUE(CopyFileA(Compactor().c_str(), copy.c_str(), FALSE));
    EXPECT_TRUE(RunsUnattended("\"" + copy + "\" /NoGui"));
    EXPECT_FALSE(RunsUnattended("\"" + copy + "\""));
    RemoveTree(folder);
}
