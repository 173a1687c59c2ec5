// How this run of the compactor goes: with the window, or unattended with
// "/nogui"; how it ends, with a restart of Windows; and how a failure is shown.
#pragma once

extern bool NoGui; // started with the single argument "/nogui": no window, no questions

// True when the command line, after the program name, is "/nogui" in any letter case.
bool IsNoGuiCommandLine(const char* commandLine);

// Asks Windows to restart; throws the system's text when Windows refuses.
void RestartWindows();

// The warning box, without an owner, for a failure that ends what the user asked for.
void ShowFailure(const char* text);
