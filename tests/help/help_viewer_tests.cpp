// Wine's own help viewer on the built Quillstone.hlp: the contents and every
// context number show their topic's exact text, the inline picture is drawn,
// and where a bare file name is looked for.
#include <gtest/gtest.h>

#include "help_viewer.h"
#include "program_run.h"
#include "scratch.h"

namespace {

// The viewer's text control reads the picture as one blank.
const char* const HowTo = "To view the information in this Help file\r\n"
                          "1.\tRun Quillstone.\r\n"
                          "2.\tFor Help on an item, click   at the top of the dialog box, and "
                          "then click the item.";

class HelpViewer : public testing::Test {
protected:
    // Each request goes to a viewer that is already running: the first
    // WinHelpA of a fresh prefix can give up before the viewer it starts has
    // its window, and then returns FALSE having shown nothing.
    void SetUp() override { ASSERT_TRUE(StartViewer()); }
    void TearDown() override { CloseViewer(); }
};

} // namespace

TEST_F(HelpViewer, ShowsEachContextNumbersTopicAndTheContents)
{
    const struct {
        const char* Name;
        UINT Command;
        DWORD Data;
        std::string Text;
    } cases[] = {
        {"HELP_CONTEXT 1000", HELP_CONTEXT, 1000,
         "This ListBox displays information about the registry hives on your computer. A check "
         "mark next to an item means that when you press Compact it will be compacted. If you do "
         "not wish to compact all the registry hives, click on the check boxes of the ones you "
         "do not want to compact."},
        {"HELP_CONTEXT 1001", HELP_CONTEXT, 1001,
         "When you click the Compact button Quillstone will compact the selected registry hives "
         "and restart Windows."},
        {"HELP_CONTEXT 0", HELP_CONTEXT, 0, HowTo},
        {"HELP_CONTENTS", HELP_CONTENTS, 0, HowTo},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        ASSERT_TRUE(WinHelpA(NULL, BuiltHelpFile().c_str(), c.Command, c.Data));
        HWND viewer = WaitForViewer();
        ASSERT_NE(nullptr, viewer);
        EXPECT_EQ(c.Text, WaitForTopicText(viewer, c.Text));
        CloseViewer();
        ASSERT_TRUE(StartViewer());
    }
}

TEST_F(HelpViewer, DrawsTheHelpButtonPictureInTheHowToTopic)
{
    ASSERT_TRUE(WinHelpA(NULL, BuiltHelpFile().c_str(), HELP_CONTENTS, 0));
    HWND viewer = WaitForViewer();
    ASSERT_NE(nullptr, viewer);
    ASSERT_EQ(HowTo, WaitForTopicText(viewer, HowTo));
    bool shown = false;
    for (int attempt = 0; attempt < 50 && !shown; ++attempt) {
        Sleep(100);
        shown = WindowShowsPicture(viewer, HelpButtonPicture());
    }
    EXPECT_TRUE(shown);
}

// A program that asks for "Quillstone.hlp" by its bare name, with the help
// file beside it in its folder: does the viewer find the file from there?
TEST_F(HelpViewer, FindsTheBareFileNameThroughTheCurrentDirectoryOnly)
{
    ScratchFolder folder;
    ASSERT_TRUE(CopyFileA(BuiltHelpFile().c_str(), folder.PathOf("Quillstone.hlp").c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(WindowsPathFromEnvironment("QS_HELP_REQUEST").c_str(),
                          folder.PathOf("help_request.exe").c_str(), FALSE));
    std::string command = "\"" + folder.PathOf("help_request.exe") + "\" Quillstone.hlp 1000";

    CloseViewer(); // each run starts the viewer itself, with its own current directory
    {
        SCOPED_TRACE("started in its own folder");
        ProgramRun run(command, folder.Path());
        HWND viewer = WaitForViewer();
        ASSERT_NE(nullptr, viewer);
        EXPECT_TRUE(ShowsTopicStartingWith(viewer, "This ListBox displays"));
        DWORD exitCode = 1;
        EXPECT_TRUE(run.WaitForExit(&exitCode));
        EXPECT_EQ(0u, exitCode);
        CloseViewer();
    }
    {
        SCOPED_TRACE("started with the system folder as its current directory");
        char system[MAX_PATH];
        GetSystemDirectoryA(system, sizeof system);
        ProgramRun run(command, system);
        HWND box = WaitForTopLevel("#32770", "ERROR");
        ASSERT_NE(nullptr, box);
        EXPECT_EQ("Cannot find 'Quillstone.hlp'. Do you want to find this file yourself?",
                  TextOf(GetDlgItem(box, 0xFFFF)));
        PostMessageA(box, WM_COMMAND, IDNO, 0);
        DWORD exitCode = 1;
        EXPECT_TRUE(run.WaitForExit(&exitCode));
        EXPECT_EQ(nullptr, WaitForViewer(0));
    }
}
