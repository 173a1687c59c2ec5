// The spine: the single error scope, the message loop's Alt+C, the once-only teardown.
#include <gtest/gtest.h>

#include <vector>

#include "catalogue.h"
#include "compactor_state.h"
#include "hive_list.h"
#include "import_patch.h"
#include "main_window.h"
#include "message_boxes.h"
#include "run_mode.h"
#include "scratch.h"
#include "shutdown.h"
#include "startup.h"

namespace {

DWORD ReportedPlatform;

BOOL WINAPI FakeGetVersionExA(LPOSVERSIONINFOA version)
{
    version->dwPlatformId = ReportedPlatform;
    version->dwMajorVersion = ReportedPlatform == VER_PLATFORM_WIN32_NT ? 3 : 1;
    version->dwMinorVersion = 51;
    return TRUE;
}

BOOL WINAPI RefusingAdjustTokenPrivileges(HANDLE, BOOL, PTOKEN_PRIVILEGES, DWORD,
                                          PTOKEN_PRIVILEGES, PDWORD)
{
    SetLastError(ERROR_NOT_ALL_ASSIGNED);
    return TRUE;
}

} // namespace

TEST(RunCompactor, AnUnsupportedPlatformEndsWithOneErrorBoxAndNoTemporaryFile)
{
    auto before = FilesMatching(TempFolder(), "qs*.tmp");
    ImportPatch version(&GetVersionExA, &FakeGetVersionExA);
    for (DWORD platform : {DWORD(VER_PLATFORM_WIN32s), DWORD(VER_PLATFORM_WIN32_NT)}) {
        SCOPED_TRACE(platform);
        ReportedPlatform = platform;
        MessageBoxRecorder boxes;
        EXPECT_EQ(-1, RunCompactor("/NoGui", SW_SHOWNORMAL));
        EXPECT_TRUE(NoGui);
        ASSERT_EQ(1u, boxes.Boxes().size());
        const RecordedMessageBox& box = boxes.Boxes()[0];
        EXPECT_EQ(nullptr, box.Owner);
        EXPECT_EQ("Quillstone requires Windows95, Windows98, WindowsNT 4.0, or Windows2000.",
                  box.Text);
        EXPECT_EQ("Quillstone - Error", box.Caption);
        EXPECT_EQ(UINT(MB_ICONWARNING), box.Style);
    }
    EXPECT_EQ(0, Hives.Count);
    EXPECT_EQ(before, FilesMatching(TempFolder(), "qs*.tmp"));
}

TEST(RunCompactor, AMissingPrivilegeIsShownAndEndsTheRun)
{
    ImportPatch adjust(&AdjustTokenPrivileges, &RefusingAdjustTokenPrivileges);
    MessageBoxRecorder boxes;
    EXPECT_EQ(-1, RunCompactor("", SW_SHOWNORMAL));
    EXPECT_FALSE(NoGui);
    ASSERT_EQ(1u, boxes.Boxes().size());
    EXPECT_EQ("Can't Obtain Required Privilege: SeBackupPrivilege", boxes.Boxes()[0].Text);
    EXPECT_EQ("Quillstone - Error", boxes.Boxes()[0].Caption);
}

namespace {

// A stand-in for the main window that records what reaches it.
struct Delivered {
    UINT Message;
    WPARAM WParam;
    LPARAM LParam;
};
std::vector<Delivered> Seen;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND || message == WM_SYSKEYDOWN || message == WM_KEYDOWN)
        Seen.push_back({message, wParam, lParam});
    return DefWindowProcA(window, message, wParam, lParam);
}

class MessageLoopTest : public testing::Test {
protected:
    void SetUp() override
    {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = RecordingProc;
        windowClass.hInstance = GetModuleHandleA(NULL);
        windowClass.lpszClassName = "QuillstoneLoopTest";
        RegisterClassA(&windowClass);
        MainWindow = CreateWindowA("QuillstoneLoopTest", "", WS_OVERLAPPED, 0, 0, 10, 10, NULL,
                                   NULL, GetModuleHandleA(NULL), NULL);
        Seen.clear();
    }
    void TearDown() override { ResetCompactor(); }
};

} // namespace

TEST_F(MessageLoopTest, AltCSendsTheCompactCommandAndOtherKeysAreDispatched)
{
    HWND other = CreateWindowA("QuillstoneLoopTest", "", WS_OVERLAPPED, 0, 0, 10, 10, NULL, NULL,
                               GetModuleHandleA(NULL), NULL);
    PostMessageA(other, WM_SYSKEYDOWN, 'C', 0x20000001);
    PostMessageA(other, WM_SYSKEYDOWN, 'X', 0x20000001);
    PostMessageA(other, WM_KEYDOWN, 'C', 1);
    PostQuitMessage(0);
    RunMessageLoop();
    DestroyWindow(other);

    ASSERT_EQ(3u, Seen.size());
    EXPECT_EQ(UINT(WM_COMMAND), Seen[0].Message);
    EXPECT_EQ(WPARAM(1001), Seen[0].WParam);
    EXPECT_EQ(LPARAM(0), Seen[0].LParam);
    EXPECT_EQ(UINT(WM_SYSKEYDOWN), Seen[1].Message);
    EXPECT_EQ(WPARAM('X'), Seen[1].WParam);
    EXPECT_EQ(UINT(WM_KEYDOWN), Seen[2].Message);
}

namespace {

decltype(&GetMessageA) RealGetMessageA;

// The user closes the window as soon as the message loop runs.
BOOL WINAPI CloseOnFirstGetMessageA(LPMSG message, HWND window, UINT first, UINT last)
{
    static HWND closed;
    if (closed != MainWindow) {
        closed = MainWindow;
        PostMessageA(MainWindow, WM_CLOSE, 0, 0);
    }
    return RealGetMessageA(message, window, first, last);
}

} // namespace

TEST(RunCompactor, ClosingTheWindowEndsTheInteractiveRunWithExitCodeZero)
{
    ShutDownDone = false;
    MessageBoxRecorder boxes;
    ImportPatch getMessage(&GetMessageA, &CloseOnFirstGetMessageA, &RealGetMessageA);
    EXPECT_EQ(0, RunCompactor("", SW_SHOWNORMAL));
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_TRUE(ShutDownDone);
    EXPECT_FALSE(IsWindow(MainWindow));
    ResetCompactor();
}

TEST(ShutDown, RunsOnlyOnce)
{
    ScratchFolder folder;
    ShutDownDone = false;
    CreateMainWindow();
    HFONT fonts[] = {LinkFont, LinkHotFont};
    AddHive("System", folder.Path().c_str(), "C:\\x", "", 0x22);

    ShutDown();
    EXPECT_FALSE(IsWindow(MainWindow));
    for (HFONT font : fonts)
        EXPECT_EQ(0u, GetObjectType(font)); // deleted with the window
    EXPECT_EQ(0, Hives.Count);

    // A second call, as when the session ends and the loop ends too, does nothing.
    AddHive("User", folder.Path().c_str(), "C:\\y", "", 0x24);
    ShutDown();
    EXPECT_EQ(1, Hives.Count);
    ResetCompactor();
}
