// Which Windows family the compactor runs on, and the privileges it needs there.
#pragma once

#include <windows.h>

extern bool IsNT;      // the NT family: hives listed in the registry, replaced with RegReplaceKeyA
extern bool IsWin2000; // NT build 2000 or later: shorter device names in hive paths

// Sets IsNT and IsWin2000; throws the platform message on an unsupported system.
void CheckPlatform();

// On the NT family, enables the backup, restore and shutdown privileges in
// that order; throws for the first one that can't be enabled.
void EnablePrivileges();
