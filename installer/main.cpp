// Entry point of Quillstone Installer.
#include <windows.h>

#include "driver.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    return RunInstaller();
}
