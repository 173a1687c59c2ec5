// The compactor's one window: a resizable dialog with the list of hives, a
// Compact button and a web link. Its handles are the list's (hive_list.h).
#pragma once

#include <windows.h>
#include <commctrl.h>

// Creates the hidden window with its list columns; throws "Can't Create
// Window" or "Can't Get ListView Handle".
void CreateMainWindow();

// Gives the list its two check-box images: state 1 empty, state 2 ticked.
void CreateHiveImageList();

// Public for the tests only.
extern HIMAGELIST HiveImageList; // the check-box state images
extern RECT LinkRect;            // the web link's hot area, client pixels, edges included
extern BYTE LinkHot;             // the pointer is inside LinkRect
extern BYTE LinkPressed;         // the left button went down while LinkHot was set
extern HFONT LinkFont;           // the web link's font, deleted with the window
extern HFONT LinkHotFont;        // the same, underlined, while the pointer is on it
extern const char ProductWebPage[];

// The help file beside the program, in full.
void HelpFilePath(char path[MAX_PATH]);

// Keeps a proposed window rectangle at least 383 x 245 pixels, giving way on
// the dragged edge (WMSZ_...) or else on the left or top.
void ClampWindowSize(RECT* proposed, WPARAM edge);

INT_PTR CALLBACK MainDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
