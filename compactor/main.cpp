// Entry point of Quillstone, the registry compactor.
#include <windows.h>

#include "startup.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int showCommand)
{
    return RunCompactor(commandLine, showCommand);
}
