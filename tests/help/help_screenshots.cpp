// Pictures of Wine's help viewer showing the built Quillstone.hlp, for docs/.
#include <gtest/gtest.h>

#include "help_viewer.h"
#include "scratch.h"
#include "screenshot.h"

TEST(HelpScreenshots, TheHowToTopicAndTheHiveListPopupTopic)
{
    // Where the installer puts it, so that the caption shows a user's path.
    std::string folder = "C:\\Program Files\\Quillstone", help = folder + "\\Quillstone.hlp";
    CreateDirectoryA(folder.c_str(), NULL);
    ASSERT_TRUE(CopyFileA(BuiltHelpFile().c_str(), help.c_str(), FALSE));

    // Opened as a user opens the file: the viewer shows its contents.
    ASSERT_GT(WinExec(("winhlp32.exe \"" + help + "\"").c_str(), SW_SHOWNORMAL), 31u);
    HWND viewer = WaitForViewer();
    ASSERT_NE(nullptr, viewer);
    SetWindowPos(viewer, HWND_TOP, 40, 40, 720, 260, SWP_SHOWWINDOW);
    EXPECT_TRUE(ShowsTopicStartingWith(viewer, "To view the information"));
    Sleep(1000); // let it repaint after the move
    SaveScreenshot("help-contents");

    // What the list's context help asks for.
    ASSERT_TRUE(WinHelpA(NULL, help.c_str(), HELP_CONTEXT, 1000));
    EXPECT_TRUE(ShowsTopicStartingWith(viewer, "This ListBox displays"));
    Sleep(1000);
    SaveScreenshot("help-context-1000");
    CloseViewer();
    RemoveTree(folder);
}
