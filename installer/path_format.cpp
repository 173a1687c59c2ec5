#include "path_format.h"

#include <cstdarg>

bool FormatPath(char* path, const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    int length = vsnprintf(path, MAX_PATH, format, arguments);
    va_end(arguments);
    if (length >= 0 && length < MAX_PATH)
        return true;
    path[0] = '\0';
    return false;
}
