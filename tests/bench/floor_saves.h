// What both floor programs do: the compactor's saving and nothing else.
#pragma once

#include <windows.h>

// Exit codes: every key saved, a key not saved, no privileges.
enum { FloorSaved = 0, FloorNotSaved = 1, FloorWithoutPrivileges = 2 };

// Enables the compactor's privileges with its own code, then saves each of
// the keys, "HKLM\<key>" or "HKU\<key>" separated by blanks, as the compactor
// does: a fresh temporary name, the key opened for READ_CONTROL, the empty
// file deleted so that the save may create it. Every saved file is deleted.
// No key at all counts as not saved.
int SaveKeys(const char* keys);

// Copies the next of the blank-separated keys and moves past it; false when
// none is left.
bool NextKey(const char** keys, char key[MAX_PATH]);

// Run by the bench, signals that every key is saved and stays until the bench
// has read the program's memory; run alone, returns at once.
void ReportAllSaved();
