// The second page: the program folder, the Start Menu group and the desktop
// shortcut, stored for the later steps (install_options.h).
#pragma once

#include <windows.h>

// The page's dialog procedure: "&Install" applies the options and leads on
// (or back to a fresh page after a failure); "Cancel" and the close box end
// the installer; Escape does nothing.
INT_PTR CALLBACK OptionsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// Public for the tests only.
extern char ProgramFilesDir[MAX_PATH]; // the system's program files folder, or "\Program Files"
