#include "runtime.h"

// As the C runtime reads it: a name in quotes ends at the closing quote, any
// other at the first blank or control character; then those are skipped.
const char* ArgumentsOf(const char* commandLine)
{
    const unsigned char* next = (const unsigned char*)commandLine;
    if (*next == '"') {
        ++next;
        while (*next && *next != '"')
            ++next;
        if (*next == '"')
            ++next;
    } else {
        while (*next > ' ')
            ++next;
    }
    while (*next && *next <= ' ')
        ++next;
    return (const char*)next;
}
