// The hive catalogue: every registry hive the compactor works on, by index in
// the order of discovery. A hive record is the entry at one index of the five
// parallel arrays; records are never removed or reordered.
#pragma once

#include <windows.h>

enum : DWORD {
    HIVE_MACHINE = 0x02,    // loaded under HKEY_LOCAL_MACHINE
    HIVE_USERS = 0x04,      // loaded under HKEY_USERS
    HIVE_FAILED = 0x08,     // could not be saved or measured: no row, never compacted
    HIVE_REPLACED = 0x10,   // replacement scheduled for the next start of Windows
    HIVE_WHOLE_ROOT = 0x20, // Windows 9x: the root key itself is the hive
};

struct HiveCatalogue {
    int Count;
    char** DisplayName; // shown in the list and in status and warning texts
    char** HiveFile;    // the live hive file
    char** TempFile;    // receives the compacted copy
    char** SubKey;      // key under the root key; empty for the Windows 9x hives
    DWORD* Flags;
};

extern HiveCatalogue Hives;

// Appends a record with owned copies of the texts, and creates its empty
// temporary file ("qs" prefix) in the given directory.
void AddHive(const char* displayName, const char* tempDirectory, const char* hiveFile,
             const char* subKey, DWORD flags);

// Releases every record; the catalogue is empty afterwards.
void FreeHives();

// HKEY_USERS for a hive with HIVE_USERS, else HKEY_LOCAL_MACHINE.
HKEY HiveRootKey(DWORD flags);
