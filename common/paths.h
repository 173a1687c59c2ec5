// Paths in MAX_PATH buffers, refused rather than cut when they don't fit: a
// path cut short could name a different file.
#pragma once

#include <windows.h>

// "folder\name" followed by the suffix. When that does not fit, the buffer is
// emptied and false returned.
bool JoinPath(char path[MAX_PATH], const char* folder, const char* name, const char* suffix = "");

// A file of the Windows folder, named as the system folder's parent:
// "C:\WINDOWS\SYSTEM\..\WinInit.ini". False, with the buffer emptied, when
// that does not fit.
bool WindowsFolderPath(char path[MAX_PATH], const char* name);
