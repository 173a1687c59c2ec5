// The installer's "FILE" resources: the license text and the cabinet.
#pragma once

#include <windows.h>

// Finds the resource of the named type "FILE" with the numeric id in the
// program's own module. Returns 0 with its bytes (read-only, never freed, not
// zero-terminated) and length, or -1; the length is stored as soon as it is known.
int LoadFileResource(int id, const char** data, DWORD* size);
