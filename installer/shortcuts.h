// The shell links to the installed files: the Start Menu group and the desktop shortcut.
#pragma once

#include <windows.h>

// One step of the page each, made whether or not its option is set: the five
// group links in StartMenuDir, and the "Quillstone" link on the desktop. A
// link that can't be made is passed over without a word; with `presentOnly`,
// so is a link to a file that is missing from the program folder.
void CreateProgramGroup(HWND page, bool presentOnly);
void CreateDesktopShortcut(HWND page, bool presentOnly);

// Public for the tests only.

// Writes a shell link at the link path to the target, with the description
// and InstallDir as its working directory. Returns the failure of creating the
// link object or of asking it for IPersistFile, else the result of saving.
HRESULT CreateShortcut(const char* target, const char* linkPath, const char* description);
