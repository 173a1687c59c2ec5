// Reads a version resource back: its fixed part, its string tables and its
// translations, so tests can compare a built program's record with its table.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

struct VersionRecord {
    VS_FIXEDFILEINFO Fixed;
    // String tables by their block name ("0C0904B0"), each value by its name.
    std::map<std::string, std::map<std::string, std::string>> Strings;
    std::vector<DWORD> Translations; // language in the low word, code page in the high
};

// Throws std::runtime_error when the bytes are not a whole version record.
VersionRecord ParseVersionRecord(const std::string& bytes);
