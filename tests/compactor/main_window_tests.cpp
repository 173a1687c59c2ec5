// The real main window under Wine: layout, minimum size, check boxes, the web
// link, colours, help and the lifetime messages.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "catalogue.h"
#include "compactor_state.h"
#include "hive_list.h"
#include "import_patch.h"
#include "main_window.h"
#include "program_run.h"
#include "resource.h"
#include "scratch.h"
#include "shutdown.h"

namespace {

void Pump(DWORD milliseconds = 0)
{
    DWORD start = GetTickCount();
    do {
        MSG message;
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(10);
    } while (GetTickCount() - start < milliseconds);
}

class MainWindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        CreateMainWindow();
        CreateHiveImageList();
    }
    void TearDown() override { ResetCompactor(); }
    HWND Control(int id) const { return GetDlgItem(MainWindow, id); }
    RECT ClientRectOf(int id) const
    {
        RECT rect;
        GetWindowRect(Control(id), &rect);
        MapWindowPoints(NULL, MainWindow, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }
    UINT CheckState(int row) const
    {
        return UINT(SendMessageA(HiveListView, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK));
    }
    void SetCheckState(int row, UINT state) const
    {
        LVITEMA item = {};
        item.stateMask = LVIS_STATEIMAGEMASK;
        item.state = state;
        SendMessageA(HiveListView, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
    }
    void AddRow(const char* name, UINT state) const
    {
        int row = int(SendMessageA(HiveListView, LVM_GETITEMCOUNT, 0, 0));
        AddListRow(row, row);
        SetCheckState(row, state);
        LVITEMA item = {};
        item.iSubItem = 0;
        item.pszText = const_cast<char*>(name);
        SendMessageA(HiveListView, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    }
    void ClickListAt(POINT client) const
    {
        ClickAt(HiveListView, client);
        Pump(300);
    }
    POINT StateIconOf(int row) const
    {
        RECT bounds = {};
        bounds.left = LVIR_BOUNDS;
        SendMessageA(HiveListView, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&bounds));
        POINT point = {bounds.left + 8, (bounds.top + bounds.bottom) / 2};
        LVHITTESTINFO hit = {};
        hit.pt = point;
        SendMessageA(HiveListView, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
        EXPECT_EQ(UINT(LVHT_ONITEMSTATEICON), hit.flags) << "not on the state icon";
        return point;
    }
};

} // namespace

TEST_F(MainWindowTest, IsCreatedHiddenWithItsColumnsIconAndStateImages)
{
    EXPECT_FALSE(IsWindowVisible(MainWindow));
    EXPECT_EQ(Control(IDC_HIVE_LIST), HiveListView);
    EXPECT_NE(nullptr, reinterpret_cast<HICON>(SendMessageA(MainWindow, WM_GETICON, ICON_BIG, 0)));
    EXPECT_EQ(nullptr, reinterpret_cast<HICON>(SendMessageA(MainWindow, WM_GETICON, ICON_SMALL, 0)));

    const struct {
        const char* Title;
        int Width;
        int Format;
    } columns[] = {{"Registry Hive", 135, LVCFMT_LEFT},
                   {"Size", 60, LVCFMT_LEFT},
                   {"Compacted Size", 110, LVCFMT_LEFT},
                   {"Ratio", 50, LVCFMT_RIGHT}};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(columns[i].Title);
        char title[64] = "";
        LVCOLUMNA column = {};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
        column.pszText = title;
        column.cchTextMax = sizeof title;
        ASSERT_TRUE(SendMessageA(HiveListView, LVM_GETCOLUMNA, i, reinterpret_cast<LPARAM>(&column)));
        EXPECT_STREQ(columns[i].Title, title);
        EXPECT_EQ(columns[i].Width, column.cx);
        EXPECT_EQ(columns[i].Format, column.fmt & LVCFMT_JUSTIFYMASK);
    }
    EXPECT_EQ(HiveImageList, reinterpret_cast<HIMAGELIST>(
                                 SendMessageA(HiveListView, LVM_GETIMAGELIST, LVSIL_STATE, 0)));
    EXPECT_EQ(2, ImageList_GetImageCount(HiveImageList));
    EXPECT_EQ(0, GetWindowLongA(HiveListView, GWL_STYLE) & LVS_EX_CHECKBOXES);
    EXPECT_EQ(0, SendMessageA(HiveListView, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
}

TEST_F(MainWindowTest, ResizingLaysOutTheControlsAndTheLinkArea)
{
    RECT before = {9, 192, 202, 208};
    EXPECT_TRUE(EqualRect(&before, &LinkRect));
    RECT button = ClientRectOf(IDC_COMPACT), link = ClientRectOf(IDC_WEB_LINK);

    const int width = 500, height = 300;
    SendMessageA(MainWindow, WM_SIZE, SIZE_RESTORED, MAKELPARAM(width, height));

    RECT moved = ClientRectOf(IDC_COMPACT);
    EXPECT_EQ(width - 86, moved.left);
    EXPECT_EQ(height - 31, moved.top);
    EXPECT_EQ(button.right - button.left, moved.right - moved.left);
    RECT list = ClientRectOf(IDC_HIVE_LIST);
    EXPECT_EQ(width - 16, list.right - list.left);
    EXPECT_EQ(height - 96, list.bottom - list.top);
    RECT webLink = ClientRectOf(IDC_WEB_LINK);
    EXPECT_EQ(9, webLink.left);
    EXPECT_EQ(height - 26, webLink.top);
    EXPECT_EQ(link.bottom - link.top, webLink.bottom - webLink.top);
    RECT separator = ClientRectOf(IDC_SEPARATOR);
    EXPECT_EQ(width, separator.right - separator.left);
    EXPECT_EQ(2, separator.bottom - separator.top);
    RECT after = {9, height - 26, 202, height - 10};
    EXPECT_TRUE(EqualRect(&after, &LinkRect));
}

TEST(ClampWindowSize, GivesWayOnTheDraggedEdgeOrElseLeftAndTop)
{
    const struct {
        const char* Case;
        RECT Proposed;
        WPARAM Edge;
        RECT Expected;
    } rows[] = {
        {"exactly the minimum", {100, 100, 483, 345}, WMSZ_LEFT, {100, 100, 483, 345}},
        {"narrow, left edge", {101, 100, 483, 345}, WMSZ_LEFT, {100, 100, 483, 345}},
        {"narrow, right edge", {100, 100, 482, 345}, WMSZ_RIGHT, {100, 100, 483, 345}},
        {"narrow, top right", {100, 100, 482, 345}, WMSZ_TOPRIGHT, {100, 100, 483, 345}},
        {"narrow, bottom right", {100, 100, 482, 345}, WMSZ_BOTTOMRIGHT, {100, 100, 483, 345}},
        {"narrow, top edge", {100, 100, 482, 345}, WMSZ_TOP, {99, 100, 482, 345}},
        {"narrow, bottom edge", {100, 100, 482, 345}, WMSZ_BOTTOM, {99, 100, 482, 345}},
        {"low, top edge", {100, 101, 483, 345}, WMSZ_TOP, {100, 100, 483, 345}},
        {"low, bottom edge", {100, 100, 483, 344}, WMSZ_BOTTOM, {100, 100, 483, 345}},
        {"low, bottom left", {100, 100, 483, 344}, WMSZ_BOTTOMLEFT, {100, 100, 483, 345}},
        {"low, left edge", {100, 100, 483, 344}, WMSZ_LEFT, {100, 99, 483, 344}},
        {"low, right edge", {100, 100, 483, 344}, WMSZ_RIGHT, {100, 99, 483, 344}},
        {"both, top left", {200, 200, 300, 300}, WMSZ_TOPLEFT, {-83, 55, 300, 300}},
        {"both, bottom right", {200, 200, 300, 300}, WMSZ_BOTTOMRIGHT, {200, 200, 583, 445}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Case);
        RECT rect = row.Proposed;
        ClampWindowSize(&rect, row.Edge);
        EXPECT_EQ(row.Expected.left, rect.left);
        EXPECT_EQ(row.Expected.top, rect.top);
        EXPECT_EQ(row.Expected.right, rect.right);
        EXPECT_EQ(row.Expected.bottom, rect.bottom);
    }
}

TEST_F(MainWindowTest, SizingMessagesAreClamped)
{
    RECT rect = {0, 0, 382, 200};
    SendMessageA(MainWindow, WM_SIZING, WMSZ_LEFT, reinterpret_cast<LPARAM>(&rect));
    RECT expected = {-1, -45, 382, 200};
    EXPECT_TRUE(EqualRect(&expected, &rect));
}

TEST_F(MainWindowTest, ClickingTheStateIconTogglesTheCheckAndTheLabelDoesNot)
{
    ShowWindow(MainWindow, SW_SHOWNORMAL);
    AddRow("Software", INDEXTOSTATEIMAGEMASK(2));
    AddRow("Default", INDEXTOSTATEIMAGEMASK(1));
    AddRow("SAM", 0);
    Pump(200);

    ClickListAt(StateIconOf(0));
    EXPECT_EQ(UINT(INDEXTOSTATEIMAGEMASK(1)), CheckState(0));
    ClickListAt(StateIconOf(0));
    EXPECT_EQ(UINT(INDEXTOSTATEIMAGEMASK(2)), CheckState(0));
    ClickListAt(StateIconOf(1));
    EXPECT_EQ(UINT(INDEXTOSTATEIMAGEMASK(2)), CheckState(1));

    SetCheckState(2, 0);
    ClickListAt(StateIconOf(2));
    EXPECT_EQ(UINT(INDEXTOSTATEIMAGEMASK(2)), CheckState(2));

    RECT label = {};
    label.left = LVIR_LABEL;
    SendMessageA(HiveListView, LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&label));
    ClickListAt({label.left + 10, (label.top + label.bottom) / 2});
    EXPECT_EQ(UINT(INDEXTOSTATEIMAGEMASK(2)), CheckState(1));
}

namespace {

struct OpenedPage {
    std::string Verb, File;
    bool ParametersOrDirectory;
    int Show;
};
std::vector<OpenedPage> Opened;

HINSTANCE WINAPI RecordShellExecuteA(HWND, LPCSTR verb, LPCSTR file, LPCSTR parameters,
                                     LPCSTR directory, INT show)
{
    Opened.push_back({verb, file, parameters || directory, show});
    return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(33));
}

} // namespace

TEST_F(MainWindowTest, TheLinkOpensThePageOnlyForAPressAndReleaseOnIt)
{
    Opened.clear();
    ImportPatch shell(&ShellExecuteA, &RecordShellExecuteA);
    const LPARAM on = MAKELPARAM(100, 200), off = MAKELPARAM(100, 150);
    auto send = [](UINT message, LPARAM position) {
        SendMessageA(MainWindow, message, 0, position);
    };
    HWND link = Control(IDC_WEB_LINK);

    send(WM_MOUSEMOVE, on);
    EXPECT_EQ(1, LinkHot);
    EXPECT_EQ(reinterpret_cast<WPARAM>(LinkHotFont), WPARAM(SendMessageA(link, WM_GETFONT, 0, 0)));
    send(WM_LBUTTONDOWN, on);
    send(WM_MOUSEMOVE, off);
    EXPECT_EQ(0, LinkHot);
    EXPECT_EQ(reinterpret_cast<WPARAM>(LinkFont), WPARAM(SendMessageA(link, WM_GETFONT, 0, 0)));
    send(WM_LBUTTONUP, off);
    EXPECT_TRUE(Opened.empty()) << "released outside the link";

    send(WM_MOUSEMOVE, on);
    send(WM_LBUTTONDOWN, on);
    send(WM_MOUSEMOVE, off);
    send(WM_MOUSEMOVE, on);
    send(WM_LBUTTONUP, on);
    ASSERT_EQ(1u, Opened.size()) << "moved back in before the release";
    EXPECT_EQ("open", Opened[0].Verb);
    EXPECT_EQ(ProductWebPage, Opened[0].File);
    EXPECT_FALSE(Opened[0].ParametersOrDirectory);
    EXPECT_EQ(SW_SHOWMAXIMIZED, Opened[0].Show);

    send(WM_LBUTTONUP, on);
    send(WM_LBUTTONDOWN, on);
    send(WM_CAPTURECHANGED, 0);
    send(WM_LBUTTONUP, on);
    EXPECT_EQ(1u, Opened.size()) << "a release without a press, a press lost with the capture";
}

TEST_F(MainWindowTest, TheLinkAreaIncludesItsEdges)
{
    SendMessageA(MainWindow, WM_SIZE, 0, MAKELPARAM(400, 250));
    SendMessageA(MainWindow, WM_MOUSEMOVE, 0, MAKELPARAM(202, 240));
    EXPECT_EQ(1, LinkHot);
    SendMessageA(MainWindow, WM_MOUSEMOVE, 0, MAKELPARAM(203, 240));
    EXPECT_EQ(0, LinkHot);
    SendMessageA(MainWindow, WM_MOUSEMOVE, 0, MAKELPARAM(9, 224));
    EXPECT_EQ(1, LinkHot);
    SendMessageA(MainWindow, WM_MOUSEMOVE, 0, MAKELPARAM(9, 223));
    EXPECT_EQ(0, LinkHot);
}

TEST_F(MainWindowTest, PaintsWhiteWithABlueLink)
{
    HDC dc = CreateCompatibleDC(NULL);
    auto color = [&](int id) {
        SetBkMode(dc, OPAQUE);
        SetTextColor(dc, RGB(1, 2, 3));
        return SendMessageA(MainWindow, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                            reinterpret_cast<LPARAM>(Control(id)));
    };
    EXPECT_EQ(reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH)), color(IDC_WEB_LINK));
    EXPECT_EQ(RGB(0, 0, 255), GetTextColor(dc));
    EXPECT_EQ(OPAQUE, GetBkMode(dc));
    EXPECT_EQ(reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH)), color(IDC_STATUS));
    EXPECT_EQ(TRANSPARENT, GetBkMode(dc));
    EXPECT_EQ(RGB(1, 2, 3), GetTextColor(dc));
    EXPECT_EQ(reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH)), color(IDC_SEPARATOR));
    EXPECT_EQ(TRANSPARENT, GetBkMode(dc));
    EXPECT_EQ(reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH)),
              SendMessageA(MainWindow, WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(dc),
                           reinterpret_cast<LPARAM>(MainWindow)));
    DeleteDC(dc);
}

namespace {

struct HelpRequest {
    HWND Window;
    std::string File;
    UINT Command;
    ULONG_PTR Data;
};
std::vector<HelpRequest> HelpRequests;

BOOL WINAPI RecordWinHelpA(HWND window, LPCSTR file, UINT command, ULONG_PTR data)
{
    HelpRequests.push_back({window, file, command, data});
    return TRUE;
}

} // namespace

TEST_F(MainWindowTest, ContextHelpAsksForTheControlsPopupInTheHelpFileBesideTheProgram)
{
    HelpRequests.clear();
    ImportPatch help(&WinHelpA, &RecordWinHelpA);
    for (int id : {IDC_HIVE_LIST, IDC_COMPACT}) {
        HELPINFO info = {};
        info.cbSize = sizeof info;
        info.iContextType = HELPINFO_WINDOW;
        info.iCtrlId = id;
        info.hItemHandle = Control(id);
        SendMessageA(MainWindow, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    }
    char program[MAX_PATH];
    GetModuleFileNameA(NULL, program, sizeof program);
    std::string besideProgram = program;
    besideProgram = besideProgram.substr(0, besideProgram.rfind('\\') + 1) + "Quillstone.hlp";

    ASSERT_EQ(2u, HelpRequests.size());
    EXPECT_EQ(HiveListView, HelpRequests[0].Window);
    EXPECT_EQ(Control(IDC_COMPACT), HelpRequests[1].Window);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(besideProgram, HelpRequests[i].File);
        EXPECT_EQ(UINT(HELP_CONTEXTPOPUP), HelpRequests[i].Command);
    }
    EXPECT_EQ(ULONG_PTR(1000), HelpRequests[0].Data);
    EXPECT_EQ(ULONG_PTR(1001), HelpRequests[1].Data);
}

namespace {

std::string ReportedModule;
DWORD WINAPI FakeGetModuleFileNameA(HMODULE, LPSTR path, DWORD size)
{
    lstrcpynA(path, ReportedModule.c_str(), int(size));
    return DWORD(ReportedModule.size() < size ? ReportedModule.size() : size);
}

} // namespace

TEST(HelpFilePath, NamesTheFileBesideTheProgramOrElseTheBareName)
{
    ImportPatch module(&GetModuleFileNameA, &FakeGetModuleFileNameA);
    const struct {
        std::string Program, Help;
    } rows[] = {
        {"C:\\Program Files\\Quillstone\\Quillstone.exe",
         "C:\\Program Files\\Quillstone\\Quillstone.hlp"},
        {"C:\\" + std::string(230, 'f') + "\\Q.exe", "C:\\" + std::string(230, 'f') + "\\Quillstone.hlp"},
        {"C:\\" + std::string(250, 'f') + "\\Q.exe", "Quillstone.hlp"}, // the full name won't fit
        {"", "Quillstone.hlp"},                                         // no name at all
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Program);
        ReportedModule = row.Program;
        char path[MAX_PATH];
        HelpFilePath(path);
        EXPECT_EQ(row.Help, path);
    }
}

TEST_F(MainWindowTest, ClosingPostsTheQuitMessageAndKeepsTheWindow)
{
    SendMessageA(MainWindow, WM_CLOSE, 0, 0);
    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, NULL, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(WPARAM(0), message.wParam);
    EXPECT_TRUE(IsWindow(MainWindow));
}

TEST_F(MainWindowTest, TheSessionsEndShutsDownOnceAndACancelledEndNotAtAll)
{
    ScratchFolder folder;
    ShutDownDone = false;
    AddHive("System", folder.Path().c_str(), "C:\\x", "", 0x22);

    SendMessageA(MainWindow, WM_ENDSESSION, FALSE, 0);
    EXPECT_FALSE(ShutDownDone);
    EXPECT_TRUE(IsWindow(MainWindow));

    HWND window = MainWindow;
    MainDialogProc(window, WM_ENDSESSION, TRUE, 0);
    EXPECT_TRUE(ShutDownDone);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(0, Hives.Count);

    AddHive("User", folder.Path().c_str(), "C:\\y", "", 0x24);
    MainDialogProc(window, WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(1, Hives.Count);
}
