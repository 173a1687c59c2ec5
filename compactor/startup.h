// The compactor's spine: start-up in its fixed order, the run, the message loop.
#pragma once

// The whole run; returns the exit code: 0 after a normal end, -1 after an error box.
int RunCompactor(const char* commandLine, int showCommand);

// Public for the tests only.

// Runs until WM_QUIT; Alt+C anywhere in the program is the Compact command.
void RunMessageLoop();
