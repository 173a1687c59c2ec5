// The third page: the cabinet carried in the resources unpacked into the
// program folder under a progress bar, then the links, then the end of the run.
#pragma once

#include <windows.h>

// The whole installation under the page, whose window the driver made; ends
// with InstallerState PAGE_EXIT. Throws when the temporary folder or the
// cabinet can't be made, and, after the links, when the extraction stopped short.
void RunInstallPage(HWND page);

// Public for the tests only.

// The temporary folder that holds Setup.cab during the installation: the
// system's temporary path, a backslash, "qs" and one digit.
extern char TempDir[MAX_PATH];

// Makes TempDir the first of "qs0" to "qs9" that can be made new; throws
// "Can't Create Temporary Directory" when none can.
void CreateTempDirectory();

// Writes the cabinet resource into TempDir as Setup.cab, as one step.
void UnpackCabinet(HWND page);

// Deletes the files in TempDir, then TempDir itself; a subfolder keeps it.
void RemoveTempDirectory();
