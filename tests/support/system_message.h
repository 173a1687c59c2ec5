// The system's own text for an error code, as the programs show it.
#pragma once

#include <windows.h>

#include <string>

std::string SystemMessage(DWORD code);
