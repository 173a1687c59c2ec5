#include "failure.h"

FailureText::FailureText(const char* text)
{
    lstrcpynA(text_, text, sizeof text_);
}

void Check(bool condition, const char* message)
{
    if (!condition)
        throw FailureText(message);
}

void ThrowSystemError(DWORD code)
{
    if (code == 0)
        return;
    char text[MAX_PATH];
    text[0] = '\0';
    // Inserts are ignored: a system text with "%1" in it would otherwise be
    // expanded from arguments that were never passed.
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, code, 0,
                   text, sizeof text, NULL);
    throw FailureText(text);
}
