#include "catalogue.h"

#include <cstdlib>
#include <cstring>

#include "failure.h"

HiveCatalogue Hives;

// The catalogue's texts and arrays live on the C heap: a block that can't be
// had is the system's text for the lack of memory, which ends the start-up.
static void* Reallocated(void* block, size_t size)
{
    void* moved = realloc(block, size);
    if (!moved)
        ThrowSystemError(ERROR_NOT_ENOUGH_MEMORY);
    return moved;
}

static char* CopyText(const char* text)
{
    size_t size = strlen(text) + 1;
    char* copy = static_cast<char*>(Reallocated(nullptr, size));
    memcpy(copy, text, size);
    return copy;
}

// The array one entry longer, keeping the old entries.
template <typename T> static T* Grown(T* entries, int count)
{
    return static_cast<T*>(Reallocated(entries, (count + 1) * sizeof(T)));
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
            free(Hives.DisplayName[i]);
            free(Hives.HiveFile[i]);
            free(Hives.TempFile[i]);
            free(Hives.SubKey[i]);
        }
        free(Hives.DisplayName);
        free(Hives.HiveFile);
        free(Hives.TempFile);
        free(Hives.SubKey);
        free(Hives.Flags);
    }
    Hives = HiveCatalogue();
}

HKEY HiveRootKey(DWORD flags)
{
    return (flags & HIVE_USERS) ? HKEY_USERS : HKEY_LOCAL_MACHINE;
}
