// What an installation leaves, checked against its sources: the six files of
// the program folder and the shell links to them, read back through the
// shell's own link object.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The cabinet's files in their stored order.
extern const std::vector<std::string> CabinetFiles;

// Expects the cabinet's files in the folder, but for the skipped ones, each
// byte for byte as built (dist/) or as committed (installer/payload/).
void ExpectInstalledFiles(const std::string& folder, const std::vector<std::string>& skipped = {});

// Expects the five group links in the group folder, or no link there when
// `group` is false, and likewise the "Quillstone" link in the desktop folder.
// Links to files named in `missing` are expected absent.
void ExpectLinks(const std::string& installDir, const std::string& groupDir, bool group,
                 const std::string& desktopDir, bool desktop,
                 const std::vector<std::string>& missing = {});
