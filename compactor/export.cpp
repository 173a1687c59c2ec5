#include "export.h"

#include <windows.h>

#include <cmath>
#include <cstdio>
#include <cstring>

#include "catalogue.h"
#include "failure.h"
#include "hive_list.h"
#include "resource.h"

// A whole number as "%0.00f" writes it: halves rounded up by the decimal
// digits, followed by the suffix.
static void FormatWholeNumber(double value, const char* suffix, char* text, size_t size)
{
    // The decimal expansion of a double is exact, so "first dropped digit 5
    // or more" is the same as "fraction at least one half"; the runtime's
    // printf is not trusted with that choice.
    double magnitude = std::fabs(value);
    double whole = std::floor(magnitude);
    if (magnitude - whole >= 0.5)
        whole += 1;
    snprintf(text, size, "%s%.0f%s", value < 0 ? "-" : "", whole, suffix);
}

void FormatKilobytes(int bytes, char* text, size_t size)
{
    FormatWholeNumber(bytes / 1024.0, "KB", text, size);
}

void FormatRatio(int size, int compacted, char* text, size_t textSize)
{
    if (size <= 0) {
        text[0] = '\0';
        return;
    }
    // Single-precision copies of both sizes, as the report has always used.
    float sizeCopy = float(size), compactedCopy = float(compacted);
    FormatWholeNumber(100 - double(compactedCopy) * 100 / double(sizeCopy), "%", text, textSize);
}

void FormatLoadingStatus(const char* displayName, char* text, size_t size)
{
    static const char before[] = "Please Wait, Loading Registry Hive \"", after[] = "\"...";
    int room = int(size) - int(sizeof before - 1) - int(sizeof after - 1) - 1;
    snprintf(text, size, "%s%.*s%s", before, room > 0 ? room : 0, displayName, after);
}

void SaveHive(int index)
{
    DWORD flags = Hives.Flags[index];
    // The Windows 9x hives are the root keys themselves.
    const char* subKey = (flags & HIVE_WHOLE_ROOT) ? NULL : Hives.SubKey[index];
    HKEY key;
    ThrowSystemError(RegOpenKeyExA(HiveRootKey(flags), subKey, 0, READ_CONTROL, &key));
    DeleteFileA(Hives.TempFile[index]);
    LONG result = RegSaveKeyA(key, Hives.TempFile[index], NULL);
    RegCloseKey(key);
    ThrowSystemError(result);
}

void ExportHives()
{
    for (int index = 0; index < Hives.Count; ++index) {
        char status[MAX_PATH];
        FormatLoadingStatus(Hives.DisplayName[index], status, sizeof status);
        SetDlgItemTextA(MainWindow, IDC_STATUS, status);
        try {
            SaveHive(index);
        } catch (const FailureText&) {
            Hives.Flags[index] |= HIVE_FAILED;
        }
    }
}

int GetFileSizeOrThrow(const char* path)
{
    HANDLE file = CreateFileA(path, 0, 0, NULL, OPEN_EXISTING, 0, NULL);
    Check(file != INVALID_HANDLE_VALUE, "Can't Get File Size");
    DWORD size = GetFileSize(file, NULL);
    CloseHandle(file);
    Check(size != INVALID_FILE_SIZE, "Can't Get File Size");
    return int(size);
}

// Adds the hive's row, or marks it failed when its hive file can't be
// measured. A temporary file that can't be measured throws "Can't Get File Size".
static void FillHiveRow(int index)
{
    int size;
    try {
        size = GetFileSizeOrThrow(Hives.HiveFile[index]);
    } catch (const FailureText&) {
        Hives.Flags[index] |= HIVE_FAILED;
        return;
    }
    int row = ListRowCount();
    AddListRow(row, index);
    SetRowChecked(row, true);
    SetRowText(row, COLUMN_HIVE, Hives.DisplayName[index]);

    char text[32];
    FormatKilobytes(size, text, sizeof text);
    SetRowText(row, COLUMN_SIZE, text);
    int compacted = GetFileSizeOrThrow(Hives.TempFile[index]);
    // A saved copy larger than the hive file is shown with the hive file's size.
    if (compacted > size)
        compacted = size;
    FormatKilobytes(compacted, text, sizeof text);
    SetRowText(row, COLUMN_COMPACTED_SIZE, text);
    if (size > 0) {
        FormatRatio(size, compacted, text, sizeof text);
        SetRowText(row, COLUMN_RATIO, text);
    }
}

void FillHiveRows()
{
    for (int index = 0; index < Hives.Count; ++index)
        if (!(Hives.Flags[index] & HIVE_FAILED))
            FillHiveRow(index);
}
