// The third page: the cabinet carried in the resources unpacked into the
// program folder under a progress bar, then the links, then the end of the run.
#pragma once

#include <windows.h>

// The temporary folder that holds Setup.cab during the installation: the
// system's temporary path, a backslash, "qs" and one digit.
extern char TempDir[MAX_PATH];

// Where the progress bar stands: -166 before the first step, 166 more after
// each; never reset, and never held to the bar's range of 0 to 1000.
extern int ProgressPosition;

// The whole installation under the page; ends with InstallerState PAGE_EXIT.
// Throws when the page, the temporary folder or the cabinet can't be made,
// and, after the links, when the extraction stopped short.
void RunInstallPage();

// One step of the bar; a text, when given, replaces the status line. Lets the
// page paint, then pauses briefly so that each step can be seen.
void StepProgress(HWND page, const char* text);

// Makes TempDir the first of "qs0" to "qs9" that can be made new; throws
// "Can't Create Temporary Directory" when none can.
void CreateTempDirectory();

// Writes the cabinet resource into TempDir as Setup.cab, as one step.
void UnpackCabinet(HWND page);

// Writes the bytes of a "FILE" resource to a new file at the path; throws
// "Can't Extract File" when the resource can't be read or the file written.
void WriteFileResource(int id, const char* path);

// Extracts every file of TempDir's Setup.cab into InstallDir, one step each.
// When SetupAPI gives up part-way, reports the file it stopped at with the
// reason, as a file's error box, and returns false.
bool ExtractCabinet(HWND page);

// SetupAPI's handler for ExtractCabinet; the context is the page. A file
// whose notice carries an error is reported and skipped; an error after an
// extraction is reported; either way the next file follows.
UINT CALLBACK CabinetCallback(PVOID context, UINT notification, UINT_PTR first, UINT_PTR second);

// Deletes the files in TempDir, then TempDir itself; a subfolder keeps it.
void RemoveTempDirectory();
