// What every page of the installer shares: the state that says which page
// comes next, the common look, the progress bar's step, and the error box.
#pragma once

#include <windows.h>

// Which page comes next; the pages set it before they close.
enum {
    PAGE_EXIT = -1, // any value but the three pages ends the installer
    PAGE_LICENSE = 0,
    PAGE_OPTIONS = 1,
    PAGE_INSTALL = 2,
};
extern int InstallerState;

// Set by every page's WM_INITDIALOG: "No" ends a page with -1 just as a page
// that could not be created does, so the result alone can't tell them apart.
extern bool PageOpened;

// Sets the page that comes next and closes the page with the result.
void EndPage(HWND page, int nextState, INT_PTR result);

// The installer's warning box, owned by the page that reports the failure, or
// by no window for a failure that ends the installer.
void ShowPageError(HWND page, const char* text);

// The look every page shares: the installer's icon and a white background.
// Page procedures hand it every message they don't finish themselves.
INT_PTR CALLBACK PageDialogProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// One step of the install page's bar; a text, when given, replaces the status
// line. Lets the page paint, then pauses briefly so that each step can be seen.
void StepProgress(HWND page, const char* text);

// Public for the tests only.

// Where the progress bar stands: -166 before the first step, 166 more after
// each; never reset, and never held to the bar's range of 0 to 1000.
extern int ProgressPosition;
