// The first page: the license agreement.
#pragma once

#include <windows.h>

// The page's dialog procedure: "Yes" leads to the options page; "No" and the
// close box end the installer; Escape does nothing.
INT_PTR CALLBACK LicensePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
