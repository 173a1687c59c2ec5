// The first page: the license agreement, and the reader of "FILE" resources.
#pragma once

#include <windows.h>

// The page's dialog procedure: "Yes" leads to the options page; "No" and the
// close box end the installer; Escape does nothing.
INT_PTR CALLBACK LicensePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// Finds the resource of the named type "FILE" with the numeric id in the
// program's own module. Returns 0 with its bytes (read-only, never freed, not
// zero-terminated) and length, or -1; the length is stored as soon as it is known.
int LoadFileResource(int id, const char** data, DWORD* size);
