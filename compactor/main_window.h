// The compactor's one window: a resizable dialog with the list of hives, a
// Compact button and a web link.
#pragma once

#include <windows.h>
#include <commctrl.h>

extern HWND MainWindow;         // null until created
extern HWND HiveListView;       // the list of hives, control 1000
extern HIMAGELIST HiveImageList; // the check-box state images
extern RECT LinkRect;           // the web link's hot area, client pixels, edges included
extern BYTE LinkHot;            // the pointer is inside LinkRect
extern BYTE LinkPressed;        // the left button went down while LinkHot was set
extern HFONT LinkFont;          // the web link's font
extern HFONT LinkHotFont;       // the same, underlined, while the pointer is on it

extern const char ProductWebPage[];
extern const char HelpFileName[];

// The help file beside the program, in full.
void HelpFilePath(char path[MAX_PATH]);

// Creates the hidden window with its list columns; throws "Can't Create
// Window" or "Can't Get ListView Handle".
void CreateMainWindow();

// Gives the list its two check-box images: state 1 empty, state 2 ticked.
void CreateHiveImageList();

// Appends a report column; format 0 aligns left, 1 right.
void AddListColumn(int column, int width, int format, const char* title);

// Inserts an empty row at the given index.
void AddListRow(int row);

// Where the controls go for a client area of the given size.
struct MainWindowLayout {
    POINT CompactButton; // top left corner
    SIZE List;
    POINT WebLink; // top left corner
    SIZE Separator;
    RECT LinkRect;
};
MainWindowLayout ComputeMainWindowLayout(int width, int height);

// Moves and sizes the controls for a new client size.
void LayoutMainWindow(int width, int height);

// Keeps a proposed window rectangle at least 383 x 245 pixels, giving way on
// the dragged edge (WMSZ_...) or else on the left or top.
void ClampWindowSize(RECT* proposed, WPARAM edge);

// Edges included at all four sides.
bool IsInLinkRect(const RECT& rect, int x, int y);

INT_PTR CALLBACK MainDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
