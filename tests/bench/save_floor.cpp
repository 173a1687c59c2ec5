// The floor under the compactor's start: its privileges enabled, then its
// RegSaveKeyA calls on the same keys into temporary files, and nothing else.
// Arguments: the keys, each as HKLM\<key> or HKU\<key>. Exit code 0 when
// every key was saved, 1 when one was not, 2 without the privileges.
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

// As the compactor does it: a fresh temporary name, the key opened for
// READ_CONTROL, the empty file deleted so that the save may create it.
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

// Run by the bench, the program stays until the bench has read its memory;
// run alone, it ends at once.
static void ReportAllSaved()
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

int main(int argc, char** argv)
{
    try {
        CheckPlatform();
        EnablePrivileges();
    } catch (const FailureText&) {
        return 2;
    }
    char tempFolder[MAX_PATH];
    DWORD length = GetTempPathA(sizeof tempFolder, tempFolder);
    if (argc < 2 || length == 0 || length >= sizeof tempFolder)
        return 1;
    bool allSaved = true;
    for (int index = 1; index < argc; ++index)
        allSaved = SaveKey(argv[index], tempFolder) && allSaved;
    if (!allSaved)
        return 1;
    ReportAllSaved();
    return 0;
}
