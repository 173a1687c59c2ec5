// The second page: the program folder, the Start Menu group and the desktop
// shortcut, and the folder paths and option flags the later steps read.
#pragma once

#include <windows.h>

// Paths of at most MAX_PATH bytes with the terminator, stored as the system or
// the user gave them. An empty StartMenuDir or DesktopDir means the system
// could not name that folder; its option is then not offered.
extern char InstallDir[MAX_PATH];      // the program folder, as typed
extern char StartMenuDir[MAX_PATH];    // the Programs folder; + "\<group>" once the group is made
extern char DesktopDir[MAX_PATH];      // the user's desktop folder
extern char ProgramFilesDir[MAX_PATH]; // the system's program files folder, or "\Program Files"
extern bool StartMenuOption;           // "Add To Start Menu Group" was checked
extern bool DesktopOption;             // "Place Shortcut On Desktop" was checked

// The page's dialog procedure: "&Install" applies the options and leads on
// (or back to a fresh page after a failure); "Cancel" and the close box end
// the installer; Escape does nothing.
INT_PTR CALLBACK OptionsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// Fills the page: the group list, the default program folder, the special folders.
void InitOptionsPage(HWND page);

// Offers one entry of the Programs folder as a group when it is a folder
// whose name does not begin with a dot.
void AddGroupChoice(HWND page, const WIN32_FIND_DATAA& found);

// Lets the user pick the folder that will hold the program folder.
void BrowseForInstallDir(HWND page);

// Stores the choices and creates the folders; on success the install page
// comes next, on failure the page says why and InstallerState stays PAGE_OPTIONS.
void ApplyOptions(HWND page);
