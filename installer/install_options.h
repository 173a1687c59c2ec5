// What the options page hands the install page and the links: the folders and
// the two options. Paths of at most MAX_PATH bytes with the terminator, stored
// as the system or the user gave them. An empty StartMenuDir or DesktopDir
// means the system could not name that folder; its option is then not offered.
#pragma once

#include <windows.h>

extern char InstallDir[MAX_PATH];   // the program folder, as typed
extern char StartMenuDir[MAX_PATH]; // the Programs folder; + "\<group>" once the group is made
extern char DesktopDir[MAX_PATH];   // the user's desktop folder
extern bool StartMenuOption;        // "Add To Start Menu Group" was checked
extern bool DesktopOption;          // "Place Shortcut On Desktop" was checked
