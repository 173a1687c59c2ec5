// The boot-time rename file of Windows 9x: WinInit.ini in the Windows folder,
// whose [rename] entries Windows carries out at its next start.
#pragma once

#include <cstdio>

// Adds the entry "<short hive file>=<short temp file>" as the first one of the
// first [rename] section, rewriting the file through a temporary copy.
// Throws the system's text when the file can't be rewritten; the user's file
// is never lost.
void ScheduleRename(const char* tempFile, const char* hiveFile);

// Copies the text of one file to another in chunks of at most 511 characters,
// writing the entry right after the first chunk that is exactly "[rename]\n",
// or a new section at the end when there is none.
void CopyWithRenameEntry(FILE* from, FILE* to, const char* entry);
