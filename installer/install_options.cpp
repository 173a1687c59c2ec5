#include "install_options.h"

char InstallDir[MAX_PATH];
char StartMenuDir[MAX_PATH];
char DesktopDir[MAX_PATH];
bool StartMenuOption;
bool DesktopOption;
