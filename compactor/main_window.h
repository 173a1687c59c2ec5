// The compactor's one window: a resizable dialog with the list of hives.
#pragma once

#include <windows.h>

extern HWND MainWindow;  // null until created
extern HFONT LinkFont;   // the web link's normal font
extern HFONT LinkHotFont; // the web link's underlined font, under the pointer
