#include "platform.h"

#include <cstdio>

#include "failure.h"
#include "supported_platform.h"

bool IsNT;
bool IsWin2000;

void CheckPlatform()
{
    OSVERSIONINFOA version = ReadPlatformVersion();
    IsWin2000 = false;
    CheckSupportedPlatform(version);
    IsNT = version.dwPlatformId == VER_PLATFORM_WIN32_NT;
    IsWin2000 = IsNT && version.dwBuildNumber >= 2000;
}

// Enables one privilege in the token; throws "Can't Obtain Required Privilege: <name>".
static void EnablePrivilege(HANDLE token, const char* name)
{
    TOKEN_PRIVILEGES privileges;
    ZeroMemory(&privileges, sizeof privileges);
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    LookupPrivilegeValueA(NULL, name, &privileges.Privileges[0].Luid);
    AdjustTokenPrivileges(token, FALSE, &privileges, 0, NULL, NULL);
    // The call can succeed and still leave ERROR_NOT_ALL_ASSIGNED when the
    // account lacks the privilege, so the last error decides, read at once.
    DWORD error = GetLastError();
    if (error != 0) {
        char text[64];
        snprintf(text, sizeof text, "Can't Obtain Required Privilege: %s", name);
        throw FailureText(text);
    }
}

void EnablePrivileges()
{
    if (!IsNT)
        return;
    static const char* const names[] = {"SeBackupPrivilege", "SeRestorePrivilege",
                                        "SeShutdownPrivilege"};
    // A token that can't be opened stays null and makes the first privilege fail.
    HANDLE token = NULL;
    OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, &token);
    try {
        for (const char* name : names)
            EnablePrivilege(token, name);
    } catch (const FailureText&) {
        if (token)
            CloseHandle(token);
        throw;
    }
    CloseHandle(token);
}
