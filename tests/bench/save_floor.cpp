// The floor under the compactor's start: its privileges enabled, then its
// RegSaveKeyA calls on the same keys into temporary files, and nothing else.
// Its command line: the keys, each as HKLM\<key> or HKU\<key>.
#include <windows.h>

#include "floor_saves.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR keys, int)
{
    int result = SaveKeys(keys);
    if (result == FloorSaved)
        ReportAllSaved();
    return result;
}
