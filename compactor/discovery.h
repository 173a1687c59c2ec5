// Hive discovery: which hives the compactor offers, where their files lie, and
// where their compacted copies go.
#pragma once

#include <windows.h>

// Fills the hive catalogue: the two fixed hives on Windows 9x, the registry's
// list of loaded hives on NT. Makes the system directory the current one.
// Throws the system's text when the hive list can't be opened.
void DiscoverHives();

// Public for the tests only.

// Where AddHive makes the temporary files; chosen by DiscoverHives.
extern char TempDirectory[MAX_PATH];

// The temporary path when it starts with the same byte as the system
// directory (the same drive, as written), else the system directory.
void ChooseTempDirectory(const char* tempPath, const char* systemDirectory,
                         char directory[MAX_PATH]);

// What one entry of the NT hive list yields.
struct DerivedHive {
    char DisplayName[MAX_PATH];
    char SubKey[MAX_PATH];
    char HiveFile[MAX_PATH];
    DWORD Flags;
};

// The device of each drive letter as the NT family names it
// ("\Device\HarddiskVolume1"): Name[0] for A: to Name[25] for Z:, empty for a
// letter that names nothing.
struct DriveDevices {
    char Name[26][MAX_PATH];
};

// Derives the record of a hive list entry: value name, data (size bytes, the
// terminating zero included when there is one). The hive file gets the drive
// letter of its volume's device when one has it. False when the entry is skipped.
bool DeriveHive(const char* valueName, const char* data, DWORD size, bool isWin2000,
                const DriveDevices* drives, DerivedHive* hive);
