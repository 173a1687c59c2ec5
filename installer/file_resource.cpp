#include "file_resource.h"

int LoadFileResource(int id, const char** data, DWORD* size)
{
    HMODULE module = GetModuleHandleA(NULL);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), "FILE");
    if (!found)
        return -1;
    *size = SizeofResource(module, found);
    if (*size == 0)
        return -1;
    HGLOBAL loaded = LoadResource(module, found);
    if (!loaded)
        return -1;
    *data = static_cast<const char*>(LockResource(loaded));
    return *data ? 0 : -1;
}
