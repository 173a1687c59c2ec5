#include "main_window.h"

#include <shellapi.h>

#include <cstring>

#include "compact.h"
#include "failure.h"
#include "hive_list.h"
#include "paths.h"
#include "resource.h"
#include "run_mode.h"
#include "shutdown.h"

HIMAGELIST HiveImageList;
RECT LinkRect;
BYTE LinkHot;
BYTE LinkPressed;
HFONT LinkFont;
HFONT LinkHotFont;

const char ProductWebPage[] = "http://www.quillstone.example/";
static const char HelpFileName[] = "Quillstone.hlp";

static HINSTANCE Module()
{
    return GetModuleHandleA(NULL);
}

// Appends a report column; format 0 aligns left, 1 right.
static void AddListColumn(int column, int width, int format, const char* title)
{
    LVCOLUMNA header = {};
    header.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
    header.fmt = format;
    header.cx = width;
    header.pszText = const_cast<char*>(title);
    SendMessageA(HiveListView, LVM_INSERTCOLUMNA, column, reinterpret_cast<LPARAM>(&header));
}

void CreateMainWindow()
{
    InitCommonControls();
    MainWindow = CreateDialogParamA(Module(), MAKEINTRESOURCEA(IDD_MAIN), NULL, MainDialogProc, 0);
    Check(MainWindow != NULL, "Can't Create Window");
    HiveListView = GetDlgItem(MainWindow, IDC_HIVE_LIST);
    Check(HiveListView != NULL, "Can't Get ListView Handle");
    SendMessageA(MainWindow, WM_SETICON, ICON_BIG,
                 reinterpret_cast<LPARAM>(LoadIconA(Module(), MAKEINTRESOURCEA(IDI_APP))));
    SetRect(&LinkRect, 9, 192, 202, 208);
    for (int column = 0; column < COLUMN_COUNT; ++column) {
        const ListColumn& entry = HiveListColumns[column];
        AddListColumn(column, entry.Width, entry.Format, entry.Title);
    }
}

void CreateHiveImageList()
{
    HiveImageList = ImageList_Create(16, 16, 0, 0, 2);
    // State image indexes count from 1: image 0 is state 1, image 1 state 2.
    ImageList_ReplaceIcon(HiveImageList, -1, LoadIconA(Module(), MAKEINTRESOURCEA(IDI_UNCHECKED)));
    ImageList_ReplaceIcon(HiveImageList, -1, LoadIconA(Module(), MAKEINTRESOURCEA(IDI_CHECKED)));
    SendMessageA(HiveListView, LVM_SETIMAGELIST, LVSIL_STATE,
                 reinterpret_cast<LPARAM>(HiveImageList));
}

// Where the controls go for a client area of the given size.
struct MainWindowLayout {
    POINT CompactButton; // top left corner
    SIZE List;
    POINT WebLink; // top left corner
    SIZE Separator;
    RECT LinkRect;
};

static MainWindowLayout ComputeMainWindowLayout(int width, int height)
{
    MainWindowLayout layout;
    layout.CompactButton = {width - 86, height - 31};
    layout.List = {width - 16, height - 96};
    layout.WebLink = {9, height - 26};
    layout.Separator = {width, 2};
    layout.LinkRect = {9, height - 26, 202, height - 10};
    return layout;
}

// Moves and sizes the controls for a new client size.
static void LayoutMainWindow(int width, int height)
{
    MainWindowLayout layout = ComputeMainWindowLayout(width, height);
    const UINT move = SWP_NOSIZE | SWP_NOZORDER, resize = SWP_NOMOVE | SWP_NOZORDER;
    SetWindowPos(GetDlgItem(MainWindow, IDC_COMPACT), NULL, layout.CompactButton.x,
                 layout.CompactButton.y, 0, 0, move);
    SetWindowPos(HiveListView, NULL, 0, 0, layout.List.cx, layout.List.cy, resize);
    SetWindowPos(GetDlgItem(MainWindow, IDC_WEB_LINK), NULL, layout.WebLink.x, layout.WebLink.y,
                 0, 0, move);
    SetWindowPos(GetDlgItem(MainWindow, IDC_SEPARATOR), NULL, 0, 0, layout.Separator.cx,
                 layout.Separator.cy, resize);
    LinkRect = layout.LinkRect;
}

void ClampWindowSize(RECT* proposed, WPARAM edge)
{
    const int minimumWidth = 383, minimumHeight = 245;
    if (proposed->bottom - proposed->top < minimumHeight) {
        if (edge == WMSZ_BOTTOM || edge == WMSZ_BOTTOMLEFT || edge == WMSZ_BOTTOMRIGHT)
            proposed->bottom = proposed->top + minimumHeight;
        else
            proposed->top = proposed->bottom - minimumHeight;
    }
    if (proposed->right - proposed->left < minimumWidth) {
        if (edge == WMSZ_RIGHT || edge == WMSZ_TOPRIGHT || edge == WMSZ_BOTTOMRIGHT)
            proposed->right = proposed->left + minimumWidth;
        else
            proposed->left = proposed->right - minimumWidth;
    }
}

// Edges included at all four sides.
static bool IsInLinkRect(const RECT& rect, int x, int y)
{
    return rect.left <= x && x <= rect.right && rect.top <= y && y <= rect.bottom;
}

static HFONT CreateLinkFont(bool underlined)
{
    return CreateFontA(13, 0, 0, 0, FW_NORMAL, FALSE, underlined, FALSE, DEFAULT_CHARSET, 0, 0, 0,
                       0, "Verdana");
}

static INT_PTR OnInitDialog(HWND window)
{
    LinkFont = CreateLinkFont(false);
    LinkHotFont = CreateLinkFont(true);
    SendDlgItemMessageA(window, IDC_WEB_LINK, WM_SETFONT, reinterpret_cast<WPARAM>(LinkFont), TRUE);
    SetCursor(LoadCursorA(NULL, IDC_ARROW));
    return 0; // no initial focus
}

// The window owns its fonts: they go with it.
static void OnDestroy()
{
    if (LinkFont)
        DeleteObject(LinkFont);
    if (LinkHotFont)
        DeleteObject(LinkHotFont);
    LinkFont = LinkHotFont = NULL;
}

// Only a click on a row's state icon toggles its check box.
static void OnListClick()
{
    POINT pointer;
    GetCursorPos(&pointer);
    ScreenToClient(HiveListView, &pointer);
    LVHITTESTINFO hit = {};
    hit.pt = pointer;
    SendMessageA(HiveListView, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    if (hit.flags != LVHT_ONITEMSTATEICON)
        return;
    SetRowChecked(hit.iItem, !IsRowChecked(hit.iItem));
}

static void OnMouseMove(HWND window, LPARAM position)
{
    int x = LOWORD(position), y = HIWORD(position);
    if (IsInLinkRect(LinkRect, x, y)) {
        if (!LinkHot) {
            LinkHot = 1;
            SendDlgItemMessageA(window, IDC_WEB_LINK, WM_SETFONT,
                                reinterpret_cast<WPARAM>(LinkHotFont), TRUE);
            SetCursor(LoadCursorA(Module(), MAKEINTRESOURCEA(IDC_HAND_POINTER)));
        }
    } else if (LinkHot) {
        LinkHot = 0;
        SendDlgItemMessageA(window, IDC_WEB_LINK, WM_SETFONT, reinterpret_cast<WPARAM>(LinkFont),
                            TRUE);
        SetCursor(LoadCursorA(NULL, IDC_ARROW));
    }
}

// A release while the link is pressed opens the page, also after the
// pointer left the link and came back.
static void OnButtonUp()
{
    if (LinkHot && LinkPressed) {
        SetCursor(LoadCursorA(NULL, IDC_WAIT));
        ShellExecuteA(NULL, "open", ProductWebPage, NULL, NULL, SW_SHOWMAXIMIZED);
        SetCursor(LoadCursorA(NULL, IDC_ARROW));
    }
    LinkPressed = 0;
}

// The link keeps an opaque background and draws in blue; the other statics
// let the white dialog show through, but for the status label over the list.
static INT_PTR OnColorStatic(HDC dc, HWND control)
{
    int id = GetDlgCtrlID(control);
    if (id == IDC_WEB_LINK)
        SetTextColor(dc, RGB(0, 0, 255));
    else
        SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<INT_PTR>(GetStockObject(id == IDC_STATUS ? WHITE_BRUSH : NULL_BRUSH));
}

void HelpFilePath(char path[MAX_PATH])
{
    // The help engine does not look in the program's folder, and the current
    // folder is the system folder, so the file beside the program is named in
    // full. A folder too long for that leaves the bare name.
    char program[MAX_PATH];
    DWORD length = GetModuleFileNameA(NULL, program, sizeof program);
    char* name = length && length < sizeof program ? strrchr(program, '\\') : nullptr;
    if (name) {
        *name = '\0';
        if (JoinPath(path, program, HelpFileName))
            return;
    }
    lstrcpynA(path, HelpFileName, MAX_PATH);
}

static void OnHelp(HWND window, const HELPINFO* help)
{
    char path[MAX_PATH];
    HelpFilePath(path);
    WinHelpA(GetDlgItem(window, help->iCtrlId), path, HELP_CONTEXTPOPUP,
             static_cast<ULONG_PTR>(help->iCtrlId));
}

// Only the exact command 1001 (the button, or Alt+C) compacts: a notification
// code in the high word is ignored.
static INT_PTR OnCommand(WPARAM command)
{
    if (command != IDC_COMPACT)
        return 0;
    try {
        CompactSelectedHives();
    } catch (const FailureText& failure) {
        ShowFailure(failure.Text());
        return -1;
    }
    return 0;
}

INT_PTR CALLBACK MainDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(window);
    case WM_SIZE:
        LayoutMainWindow(LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_SIZING:
        ClampWindowSize(reinterpret_cast<RECT*>(lParam), wParam);
        return 1;
    case WM_NOTIFY: {
        auto header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->hwndFrom == HiveListView && header->code == UINT(NM_CLICK))
            OnListClick();
        return 0;
    }
    case WM_MOUSEMOVE:
        OnMouseMove(window, lParam);
        return 1;
    case WM_SETCURSOR:
        return LinkHot ? 1 : 0; // the hand stays while the pointer is on the link
    case WM_LBUTTONDOWN:
        if (LinkHot)
            LinkPressed = 1;
        return 0;
    case WM_LBUTTONUP:
        OnButtonUp();
        return 0;
    case WM_CAPTURECHANGED:
        LinkPressed = 0;
        return 0;
    case WM_CTLCOLORDLG:
        return reinterpret_cast<INT_PTR>(GetStockObject(WHITE_BRUSH));
    case WM_CTLCOLORSTATIC:
        return OnColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_HELP:
        OnHelp(window, reinterpret_cast<const HELPINFO*>(lParam));
        return 1;
    case WM_COMMAND:
        return OnCommand(wParam);
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_CLOSE:
        PostQuitMessage(0); // the window stays until ShutDown
        return 0;
    case WM_ENDSESSION:
        if (wParam)
            ShutDown();
        return 0;
    }
    return 0;
}
