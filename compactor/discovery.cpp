#include "discovery.h"

#include <cstdio>
#include <cstring>

#include "catalogue.h"
#include "failure.h"
#include "lowercase.h"
#include "paths.h"
#include "platform.h"

char TempDirectory[MAX_PATH];

void ChooseTempDirectory(const char* tempPath, const char* systemDirectory,
                         char directory[MAX_PATH])
{
    lstrcpynA(directory, tempPath[0] == systemDirectory[0] ? tempPath : systemDirectory,
              MAX_PATH);
}

static bool StartsWith(const char* text, const char* prefix)
{
    return strncmp(text, prefix, strlen(prefix)) == 0;
}

// The rest of a path after a profile folder and the separator behind it, or
// null when the path ends before that.
static const char* AfterProfileFolder(const char* path, const char* folder)
{
    size_t skipped = strlen(folder) + 1;
    return strlen(path) >= skipped ? path + skipped : nullptr;
}

static bool DeriveMachineHive(char* key, DerivedHive* hive)
{
    if (strlen(key) > 3)
        LowerCaseAscii(key + 1);
    // The system hive is in use while Windows runs and is never offered.
    if (strcmp(key, "System") == 0)
        return false;
    lstrcpynA(hive->DisplayName, key, MAX_PATH);
    lstrcpynA(hive->SubKey, key, MAX_PATH);
    hive->Flags = HIVE_MACHINE;
    return true;
}

static bool DeriveUserHive(char* key, const char* path, DerivedHive* hive)
{
    const char* name = key;
    char profile[MAX_PATH];
    if (StartsWith(path, "\\Documents and Settings")) {
        // The profile folder and the file: "Administrator\NTUSER.DAT".
        name = AfterProfileFolder(path, "\\Documents and Settings");
    } else if (StartsWith(path, "\\WINNT\\Profiles")) {
        // The profile folder alone: the file name "\ntuser.dat" is dropped.
        const char* rest = AfterProfileFolder(path, "\\WINNT\\Profiles");
        if (rest) {
            lstrcpynA(profile, rest, MAX_PATH);
            size_t length = strlen(profile);
            if (length >= 11)
                profile[length - 11] = '\0';
            name = profile;
        } else {
            name = nullptr;
        }
    } else if (key[0] == '.') {
        // ".DEFAULT" becomes ".Default", shown as "Default".
        if (key[1] == '\0')
            return false;
        LowerCaseAscii(key + 2);
        name = key + 1;
    }
    // A path that ends right after its profile folder names no hive.
    if (!name)
        return false;
    lstrcpynA(hive->DisplayName, name, MAX_PATH);
    lstrcpynA(hive->SubKey, key, MAX_PATH);
    hive->Flags = HIVE_USERS;
    return true;
}

// The drive letter whose device is the given one, or 0 when none is.
static char DriveLetterOf(const char* device, const DriveDevices* drives)
{
    for (int drive = 0; drive < 26; ++drive)
        if (drives->Name[drive][0] && strcmp(drives->Name[drive], device) == 0)
            return char('A' + drive);
    return 0;
}

// The hive file path of the data's text, written with the drive letter of its
// volume when the volume has one; returns the path without its device name,
// or null when the text is too short to hold one.
static const char* FindHiveFile(const char* text, bool isWin2000, const DriveDevices* drives,
                                char hiveFile[MAX_PATH])
{
    // The volume's device name comes first: 23 characters for the first
    // volume on Windows 2000 ("\Device\HarddiskVolume1"), 28 on NT 4.0
    // ("\Device\Harddisk0\Partition1"), up to the next backslash for a longer
    // one ("\Device\HarddiskVolume10").
    size_t prefix = isWin2000 ? 23 : 28;
    if (strlen(text) < prefix)
        return nullptr;
    while (text[prefix] && text[prefix] != '\\')
        ++prefix;
    char device[MAX_PATH + 1];
    lstrcpynA(device, text, int(prefix) + 1);
    const char* path = text + prefix;
    // Without a drive letter the path resolves on the system drive, which is
    // right only for hives on the system's own volume.
    char drive = DriveLetterOf(device, drives);
    if (drive)
        snprintf(hiveFile, MAX_PATH, "%c:%s", drive, path);
    else
        lstrcpynA(hiveFile, path, MAX_PATH);
    return path;
}

bool DeriveHive(const char* valueName, const char* data, DWORD size, bool isWin2000,
                const DriveDevices* drives, DerivedHive* hive)
{
    if (size <= 1)
        return false;
    // The data need not end in a zero: never read beyond its size.
    char text[MAX_PATH + 1];
    DWORD length = 0;
    while (length < size && length < MAX_PATH && data[length])
        ++length;
    memcpy(text, data, length);
    text[length] = '\0';
    const char* path = FindHiveFile(text, isWin2000, drives, hive->HiveFile);
    if (!path)
        return false;

    bool machine = StartsWith(valueName, "\\REGISTRY\\MACHINE\\");
    if (!machine && !StartsWith(valueName, "\\REGISTRY\\USER\\"))
        return false;
    char key[MAX_PATH];
    lstrcpynA(key, valueName + (machine ? 18 : 15), MAX_PATH);
    // An empty key name would be the whole root key.
    if (!key[0])
        return false;
    return machine ? DeriveMachineHive(key, hive) : DeriveUserHive(key, path, hive);
}

// A hive file whose path would not fit is left empty: it can't be measured, so
// the hive gets no row, rather than another file being measured and replaced.
static void AddWindows9xHives()
{
    char hiveFile[MAX_PATH];
    WindowsFolderPath(hiveFile, "System.dat");
    AddHive("System", TempDirectory, hiveFile, "", HIVE_MACHINE | HIVE_WHOLE_ROOT);
    WindowsFolderPath(hiveFile, "User.dat");
    AddHive("User", TempDirectory, hiveFile, "", HIVE_USERS | HIVE_WHOLE_ROOT);
}

// The device behind each drive letter, so that a hive on any volume is found.
static void ReadDriveDevices(DriveDevices* drives)
{
    memset(drives, 0, sizeof *drives);
    // Looked up when needed: Windows 95's kernel32 may lack it, and a program
    // that imported it would not start there. The type is the system header's
    // own, so the calling convention matches; the generic function type between
    // is the one that converts to any other.
    auto queryDosDevice = reinterpret_cast<decltype(&QueryDosDeviceA)>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "QueryDosDeviceA")));
    if (!queryDosDevice)
        return;
    for (int drive = 0; drive < 26; ++drive) {
        char name[3] = {char('A' + drive), ':', '\0'};
        if (!queryDosDevice(name, drives->Name[drive], MAX_PATH))
            drives->Name[drive][0] = '\0';
    }
}

static void AddListedHives()
{
    DriveDevices drives;
    ReadDriveDevices(&drives);
    HKEY list;
    ThrowSystemError(RegOpenKeyA(HKEY_LOCAL_MACHINE,
                                 "System\\CurrentControlSet\\Control\\HiveList", &list));
    for (DWORD index = 0;; ++index) {
        char name[MAX_PATH];
        char data[MAX_PATH];
        DWORD nameSize = sizeof name;
        DWORD dataSize = sizeof data;
        // Any answer but success ends the list, a value too long for the
        // buffers included.
        if (RegEnumValueA(list, index, name, &nameSize, NULL, NULL,
                          reinterpret_cast<BYTE*>(data), &dataSize) != ERROR_SUCCESS)
            break;
        DerivedHive hive;
        if (DeriveHive(name, data, dataSize, IsWin2000, &drives, &hive))
            AddHive(hive.DisplayName, TempDirectory, hive.HiveFile, hive.SubKey, hive.Flags);
    }
    RegCloseKey(list);
}

void DiscoverHives()
{
    char tempPath[MAX_PATH] = "";
    char systemDirectory[MAX_PATH] = "";
    GetTempPathA(sizeof tempPath, tempPath);
    GetSystemDirectoryA(systemDirectory, sizeof systemDirectory);
    ChooseTempDirectory(tempPath, systemDirectory, TempDirectory);
    // Hive paths without a drive letter then resolve on the system drive.
    SetCurrentDirectoryA(systemDirectory);

    if (IsNT)
        AddListedHives();
    else
        AddWindows9xHives();
}
