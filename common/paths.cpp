#include "paths.h"

#include <cstdio>

bool JoinPath(char path[MAX_PATH], const char* folder, const char* name, const char* suffix)
{
    int length = snprintf(path, MAX_PATH, "%s\\%s%s", folder, name, suffix);
    if (length >= 0 && length < MAX_PATH)
        return true;
    path[0] = '\0';
    return false;
}

bool WindowsFolderPath(char path[MAX_PATH], const char* name)
{
    char systemFolder[MAX_PATH] = "";
    GetSystemDirectoryA(systemFolder, sizeof systemFolder);
    return JoinPath(path, systemFolder, "..\\", name);
}
