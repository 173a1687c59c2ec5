#include "catalogue.h"

#include <cstring>

HiveCatalogue Hives;

static char* CopyText(const char* text)
{
    size_t size = strlen(text) + 1;
    char* copy = new char[size];
    memcpy(copy, text, size);
    return copy;
}

// Replaces an array by one that is one entry longer, keeping the old entries.
template <typename T> static T* Grown(T* entries, int count)
{
    T* grown = new T[count + 1];
    if (count > 0) {
        for (int i = 0; i < count; ++i)
            grown[i] = entries[i];
        delete[] entries;
    }
    return grown;
}

void AddHive(const char* displayName, const char* tempDirectory, const char* hiveFile,
             const char* subKey, DWORD flags)
{
    // When no name can be made the record keeps an empty one: saving to it
    // fails, so the hive is marked failed rather than written somewhere odd.
    char tempFile[MAX_PATH] = "";
    if (!GetTempFileNameA(tempDirectory, "qs", 0, tempFile))
        tempFile[0] = '\0';

    int count = Hives.Count;
    Hives.DisplayName = Grown(Hives.DisplayName, count);
    Hives.HiveFile = Grown(Hives.HiveFile, count);
    Hives.TempFile = Grown(Hives.TempFile, count);
    Hives.SubKey = Grown(Hives.SubKey, count);
    Hives.Flags = Grown(Hives.Flags, count);

    Hives.DisplayName[count] = CopyText(displayName);
    Hives.HiveFile[count] = CopyText(hiveFile);
    Hives.TempFile[count] = CopyText(tempFile);
    Hives.SubKey[count] = CopyText(subKey);
    Hives.Flags[count] = flags;
    Hives.Count = count + 1;
}

void FreeHives()
{
    if (Hives.Count > 0) {
        for (int i = 0; i < Hives.Count; ++i) {
            delete[] Hives.DisplayName[i];
            delete[] Hives.HiveFile[i];
            delete[] Hives.TempFile[i];
            delete[] Hives.SubKey[i];
        }
        delete[] Hives.DisplayName;
        delete[] Hives.HiveFile;
        delete[] Hives.TempFile;
        delete[] Hives.SubKey;
        delete[] Hives.Flags;
    }
    Hives = HiveCatalogue();
}

HKEY HiveRootKey(DWORD flags)
{
    return (flags & HIVE_USERS) ? HKEY_USERS : HKEY_LOCAL_MACHINE;
}
