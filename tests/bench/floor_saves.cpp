#include "floor_saves.h"

#include <windows.h>

#include <cstring>
#include <initializer_list>

#include "failure.h"
#include "floor_events.h"
#include "platform.h"

static HKEY RootKeyOf(const char* path, const char** subKey)
{
    static const struct {
        const char* Prefix;
        HKEY Root;
    } roots[] = {{"HKLM\\", HKEY_LOCAL_MACHINE}, {"HKU\\", HKEY_USERS}};
    for (const auto& root : roots)
        if (strncmp(path, root.Prefix, strlen(root.Prefix)) == 0) {
            *subKey = path + strlen(root.Prefix);
            return root.Root;
        }
    return NULL;
}

static bool SaveKey(const char* path, const char* tempFolder)
{
    const char* subKey = nullptr;
    HKEY root = RootKeyOf(path, &subKey);
    char tempFile[MAX_PATH];
    if (!root || !GetTempFileNameA(tempFolder, "qs", 0, tempFile))
        return false;
    HKEY key;
    LONG result = RegOpenKeyExA(root, subKey, 0, READ_CONTROL, &key);
    if (result == ERROR_SUCCESS) {
        DeleteFileA(tempFile);
        result = RegSaveKeyA(key, tempFile, NULL);
        RegCloseKey(key);
    }
    DeleteFileA(tempFile);
    return result == ERROR_SUCCESS;
}

bool NextKey(const char** keys, char key[MAX_PATH])
{
    const char* start = *keys;
    while (*start == ' ')
        ++start;
    const char* end = start;
    while (*end && *end != ' ')
        ++end;
    *keys = end;
    // A key longer than a path is cut, and then not found.
    lstrcpynA(key, start, int(end - start < MAX_PATH ? end - start + 1 : MAX_PATH));
    return end > start;
}

int SaveKeys(const char* keys)
{
    try {
        CheckPlatform();
        EnablePrivileges();
    } catch (const FailureText&) {
        return FloorWithoutPrivileges;
    }
    char tempFolder[MAX_PATH], key[MAX_PATH];
    DWORD length = GetTempPathA(sizeof tempFolder, tempFolder);
    if (length == 0 || length >= sizeof tempFolder)
        return FloorNotSaved;
    bool allSaved = true, anyKey = false;
    while (NextKey(&keys, key)) {
        allSaved = SaveKey(key, tempFolder) && allSaved;
        anyKey = true;
    }
    return anyKey && allSaved ? FloorSaved : FloorNotSaved;
}

void ReportAllSaved()
{
    HANDLE saved = OpenEventA(EVENT_MODIFY_STATE, FALSE, FloorSavedEvent);
    HANDLE mayEnd = OpenEventA(SYNCHRONIZE, FALSE, FloorMayEndEvent);
    if (saved && mayEnd) {
        SetEvent(saved);
        WaitForSingleObject(mayEnd, INFINITE);
    }
    for (HANDLE event : {saved, mayEnd})
        if (event)
            CloseHandle(event);
}
