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
        ExpectBox(box, "Quillstone requires Windows95, Windows98, WindowsNT 4.0, or Windows2000.",
                  "Quillstone - Error", BoxIcon::Warning, nullptr);
        run.Answer(box, IDOK);

        DWORD exitCode = 0;
        ASSERT_TRUE(run.WaitForExit(&exitCode));
        EXPECT_EQ(DWORD(-1), exitCode);
        EXPECT_FALSE(run.WaitForMessageBox(&box, 0));
        EXPECT_EQ(before, FilesMatching(TempFolder(), "qs*.tmp"));
    }
}

namespace {

// The unattended run ends by itself without showing its window (here, with no
// hive to compact, after its notice); an interactive one shows the window
// and ends when the user closes it.
bool RunsUnattended(const std::string& commandLine)
{
    ProgramRun run(commandLine);
    HWND window = NULL;
    DWORD exitCode = 1;
    while (!window && !run.WaitForExit(&exitCode, 50)) {
        ShownMessageBox box;
        if (run.WaitForMessageBox(&box, 0))
            run.Answer(box, IDOK);
        for (HWND candidate : run.Windows("#32770"))
            if (GetDlgItem(candidate, 1000) && IsWindowVisible(GetDlgItem(candidate, 1000)))
                window = candidate; // loaded: the list shows when start-up is over
    }
    if (window) {
        PostMessageA(window, WM_CLOSE, 0, 0);
        EXPECT_TRUE(run.WaitForExit(&exitCode));
    }
    EXPECT_EQ(0u, exitCode);
    return !window;
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
