#include "supported_platform.h"

#include "failure.h"

const char PlatformMessage[] =
    "Quillstone requires Windows95, Windows98, WindowsNT 4.0, or Windows2000.";

OSVERSIONINFOA ReadPlatformVersion()
{
    OSVERSIONINFOA version;
    ZeroMemory(&version, sizeof version);
    version.dwOSVersionInfoSize = sizeof version;
    // A failed call leaves platform id 0, which the check refuses.
    GetVersionExA(&version);
    return version;
}

void CheckSupportedPlatform(const OSVERSIONINFOA& version)
{
    bool knownFamily = version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS ||
                       version.dwPlatformId == VER_PLATFORM_WIN32_NT;
    Check(knownFamily && version.dwMajorVersion >= 4, PlatformMessage);
}
