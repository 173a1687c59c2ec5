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

// Inserts are ignored: a system text with "%1" in it would otherwise be
// expanded from arguments that were never passed.
static FailureText SystemText(DWORD code)
{
    char text[MAX_PATH];
    text[0] = '\0';
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, code, 0,
                   text, sizeof text, NULL);
    return FailureText(text);
}

void ThrowSystemError(DWORD code)
{
    if (code != 0)
        throw SystemText(code);
}

void ThrowLastError()
{
    DWORD code = GetLastError();
    throw SystemText(code ? code : ERROR_GEN_FAILURE);
}
