// The installer's page sequence: start-up checks, the page loop, the common page look.
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

// The whole run; returns the exit code: 0 after the pages, -1 after an error box.
int RunInstaller();

// Initialises COM for the thread; throws "Can't Initialize COM", also when
// COM was initialised already.
void InitCom();

// Throws the platform message unless the system is Windows 95 or NT 4.0 or later.
void CheckPlatform();

// Run the license page (dialog 105) and the options page (dialog 101)
// modally; throw when the page's window can't be created.
void ShowLicensePage();
void ShowOptionsPage();

// Sets the page that comes next and closes the page with the result.
void EndPage(HWND page, int nextState, INT_PTR result);

// Shows a failure that a page reports itself, in a warning box owned by the page.
void ShowPageError(HWND page, const char* text);

// The look every page shares: the installer's icon and a white background.
// Page procedures hand it every message they don't finish themselves.
INT_PTR CALLBACK PageDialogProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
