// The boot-time rename file of Windows 9x: WinInit.ini in the Windows folder,
// whose [rename] entries Windows carries out at its next start.
#pragma once

// Adds the entry "<short hive file>=<short temp file>" as the first one of the
// first [rename] section, rewriting the file through a temporary copy that
// keeps every byte of it. Throws the system's text when the file can't be
// rewritten; the user's file is never lost.
void ScheduleRename(const char* tempFile, const char* hiveFile);
