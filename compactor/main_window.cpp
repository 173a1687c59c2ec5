#include "main_window.h"

HWND MainWindow;
HFONT LinkFont;
HFONT LinkHotFont;
