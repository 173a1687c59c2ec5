// Driving Wine's help viewer from a test: finding its windows in whatever
// process they live, reading its text, looking for a picture on the screen.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The built help file and the picture its how-to topic shows, as Windows paths.
std::string BuiltHelpFile();
std::string HelpButtonPicture();

// A visible top-level window of the class (and caption, when given) of any
// process, or null after the time-out.
HWND WaitForTopLevel(const char* className, const char* caption, DWORD timeoutMs = 30000);
// The help viewer's main window.
HWND WaitForViewer(DWORD timeoutMs = 30000);
// A window's text, asked across processes.
std::string TextOf(HWND window);
// The whole text of the viewer's topic once it starts with the expected
// text, or whatever it shows when the time-out ends.
std::string WaitForTopicText(HWND viewer, const std::string& expected, DWORD timeoutMs = 15000);
// True once the viewer's topic starts with the text.
bool ShowsTopicStartingWith(HWND viewer, const std::string& start);
// Starts the viewer as WinHelpA would, and waits until its (hidden) window
// takes requests.
bool StartViewer();
// Closes the viewer and waits until its window is gone.
void CloseViewer();

// True when the screen shows the .bmp picture pixel for pixel inside the window.
bool WindowShowsPicture(HWND window, const std::string& bmpPath);
