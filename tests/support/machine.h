// What the tests give Wine's prefix to look like the Windows machine it plays.
#pragma once

#include <string>
#include <vector>

// The SID of the user the programs run as, the name of that user's key under
// HKEY_USERS.
std::string CurrentUserSid();

// Makes the missing folders of a file's path ("C:\a\b\file"), noting each
// one made when asked.
void MakeFoldersOf(const std::string& file, std::vector<std::string>* made = nullptr);
