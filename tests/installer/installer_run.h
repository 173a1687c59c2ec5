// Driving the built installer from a test: starting it, finding its pages,
// pressing their buttons and reading their controls across processes.
#pragma once

#include <windows.h>

#include <string>

#include "program_run.h"

// The built x86_64 installer's command line (its path, quoted: it has a blank).
std::string InstallerCommandLine();

// A page of the run with the caption, other than `old` (a page that is shown
// again is a new window), looked for every `pollMs`; null after the time-out.
HWND WaitForPage(const ProgramRun& run, const char* caption, HWND old = NULL, DWORD pollMs = 50);

// Presses a button of the page as a click would.
void Click(HWND page, int control);

// The text of one of the page's controls.
std::string ControlText(HWND page, int control);
