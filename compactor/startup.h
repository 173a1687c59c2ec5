// The compactor's spine: run mode, start-up, message loop, teardown, restart.
#pragma once

#include <windows.h>

extern bool NoGui;        // started with the single argument "/nogui": no window, no questions
extern bool ShutDownDone; // the one teardown has run

// True when the command line, after the program name, is "/nogui" in any letter case.
bool IsNoGuiCommandLine(const char* commandLine);

// The whole run; returns the exit code: 0 after a normal end, -1 after an error box.
int RunCompactor(const char* commandLine, int showCommand);

// Start-up in its fixed order; throws the text of the first failure.
void InitCompactor(int showCommand);

// Runs until WM_QUIT; Alt+C anywhere in the program is the Compact command.
void RunMessageLoop();

// Destroys the window, handles the temporary files and frees the catalogue;
// only the first call does anything.
void ShutDown();

// Asks Windows to restart; throws the system's text when Windows refuses.
void RestartWindows();
