// Saving every hive into its temporary file, and the size report in the list.
#pragma once

#include <cstddef>

// Saves every hive; a hive that can't be opened or saved is marked failed, silently.
void ExportHives();

// Saves one hive afresh into its temporary file; throws the system's text.
void SaveHive(int index);

// Adds a checked row for every hive that did not fail; a hive whose file can't
// be measured is marked failed instead. A temporary file that can't be
// measured throws "Can't Get File Size".
void FillHiveRows();

// Public for the tests only.

// The file's size as a signed 32-bit count; throws "Can't Get File Size".
int GetFileSizeOrThrow(const char* path);

// "1025KB" for 1,049,088 bytes.
void FormatKilobytes(int bytes, char* text, size_t size);

// The share of space saved, "30%"; empty when the size is not above 0.
void FormatRatio(int size, int compacted, char* text, size_t textSize);

// The status line while a hive loads; a long name is cut to fit the buffer.
void FormatLoadingStatus(const char* displayName, char* text, size_t size);
