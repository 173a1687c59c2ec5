// Failures travel as thrown text until one place shows them in a message box.
#pragma once

#include <windows.h>

// The thrown object: it owns a copy of its text, so callers may throw text
// formatted into their own local buffers.
class FailureText {
public:
    explicit FailureText(const char* text);
    const char* Text() const { return text_; }

private:
    char text_[MAX_PATH];
};

// Throws the message when the condition does not hold.
void Check(bool condition, const char* message);

// Throws the system's text for a nonzero Win32 error code; zero does nothing.
void ThrowSystemError(DWORD code);

// Throws the system's text for the thread's last error after a call failed;
// a call that failed without leaving a code throws the text of ERROR_GEN_FAILURE.
[[noreturn]] void ThrowLastError();
