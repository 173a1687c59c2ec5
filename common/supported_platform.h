// The Windows versions both programs accept: 95 and later, NT 4.0 and later.
#pragma once

#include <windows.h>

extern const char PlatformMessage[];

// The running system's version record; all zero when the system won't say.
OSVERSIONINFOA ReadPlatformVersion();

// Throws PlatformMessage unless the record names a supported platform.
void CheckSupportedPlatform(const OSVERSIONINFOA& version);
