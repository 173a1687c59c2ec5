// The hive list of a Windows 2000 machine, for the compactor under Wine,
// which keeps none of its own: every entry names a hive file that exists.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class Windows2000Hives {
public:
    Windows2000Hives();  // writes the list and the hive files
    ~Windows2000Hives(); // removes them
    Windows2000Hives(const Windows2000Hives&) = delete;
    Windows2000Hives& operator=(const Windows2000Hives&) = delete;

    // The rows of the compactor's list, in their order.
    const std::vector<std::string>& Rows() const { return rows_; }
    // The keys it saves, as the floor program takes them: "HKLM\Software ...".
    const std::string& SavedKeys() const { return savedKeys_; }

private:
    HKEY list_;
    std::vector<std::string> values_, files_, folders_, rows_;
    std::string savedKeys_;
};
