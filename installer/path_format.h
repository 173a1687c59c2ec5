// Paths formatted into MAX_PATH buffers, refused rather than cut when too long.
#pragma once

#include <windows.h>

#include <cstdio>

// Formats into a MAX_PATH buffer. When the result would not fit, the buffer is
// emptied and false returned: a path cut short could name a different file.
bool FormatPath(char* path, const char* format, ...)
    __attribute__((__format__(__MINGW_PRINTF_FORMAT, 2, 3)));
