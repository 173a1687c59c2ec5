// What Windows 95 and Windows NT 4.0 offer a 32-bit program, as listed in
// win32_imports.txt, and the check of a built program against that list.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

class PeImage;

struct SystemImports {
    // The DLLs both systems carry, by lower-case name, with the functions
    // known to be there.
    std::map<std::string, std::set<std::string>> Functions;
    // Functions that came later, keyed "dll!name" (DLL in lower case), with
    // where each was introduced.
    std::map<std::string, std::string> Later;
};

// A C runtime DLL, of any Windows or compiler generation: msvcrt.dll and its
// numbered kin, crtdll.dll, ucrtbase.dll, api-ms-win-crt-*.dll. The programs
// carry their own runtime, and the first Windows 95 releases have none.
bool IsCRuntimeDll(const std::string& name);

// Reads the list's text; throws std::runtime_error naming the line that does
// not fit, so that a damaged list can never pass a program.
SystemImports ParseSystemImports(const std::string& text);

// One sentence for each thing the program asks for that Windows 95 or NT 4.0
// lacks: a newer header version, a C runtime DLL, a foreign DLL, a later or
// unlisted function.
std::vector<std::string> CompatibilityOffences(const PeImage& image, const SystemImports& systems);
