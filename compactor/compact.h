// The Compact command: schedules the checked hives to be replaced by their
// compacted copies at the next start of Windows, then restarts it.
#pragma once

#include <windows.h>

// Runs the command on every checked row; shows its own messages and throws nothing.
void CompactSelectedHives();

// Deletes the temporary files that are no longer needed, or has them deleted
// at the next start; ignores every failure.
void CleanUpTempFiles();

// Public for the tests only.

// The temporary file's name with "sav" for its last three characters.
void BackupNameOf(int index, char backup[MAX_PATH]);

// The temporary file's name followed by ".LOG"; empty when that does not fit.
void LogNameOf(int index, char log[MAX_PATH]);

// The warning for a hive whose replacement failed; long texts are cut to fit.
void FormatReplaceWarning(const char* displayName, const char* reason, char* text, size_t size);
