#include "windows2000_hives.h"

#include <stdexcept>

#include "machine.h"
#include "scratch.h"

namespace {

const char HiveListKey[] = "System\\CurrentControlSet\\Control\\HiveList";
const char Device[] = "\\Device\\HarddiskVolume1";

} // namespace

Windows2000Hives::Windows2000Hives()
{
    std::string sid = CurrentUserSid();
    // File sizes about those of a fresh installation. The security hives
    // (SAM, SECURITY) are left out: Wine has no such keys to save.
    const struct {
        std::string Value;
        const char* File; // null: listed without a file, as the volatile hardware hive is
        DWORD Size;
        const char* Row; // null: never a row
        std::string SavedKey;
    } hives[] = {
        {"\\REGISTRY\\MACHINE\\HARDWARE", nullptr, 0, nullptr, ""},
        {"\\REGISTRY\\MACHINE\\SOFTWARE", "\\WINNT\\system32\\config\\software", 8 << 20,
         "Software", "HKLM\\Software"},
        {"\\REGISTRY\\MACHINE\\SYSTEM", "\\WINNT\\system32\\config\\system", 2 << 20, nullptr, ""},
        {"\\REGISTRY\\USER\\.DEFAULT", "\\WINNT\\system32\\config\\default", 256 << 10, "Default",
         "HKU\\.Default"},
        {"\\REGISTRY\\USER\\" + sid, "\\Documents and Settings\\Administrator\\NTUSER.DAT",
         512 << 10, "Administrator\\NTUSER.DAT", "HKU\\" + sid},
    };
    if (RegCreateKeyA(HKEY_LOCAL_MACHINE, HiveListKey, &list_) != ERROR_SUCCESS)
        throw std::runtime_error("can't open the hive list");
    for (const auto& hive : hives) {
        std::string data;
        if (hive.File) {
            data = std::string(Device) + hive.File;
            files_.push_back(std::string("C:") + hive.File);
            MakeFoldersOf(files_.back(), &folders_);
            WriteFileBytes(files_.back(), std::string(hive.Size, 'h'));
        }
        RegSetValueExA(list_, hive.Value.c_str(), 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(data.c_str()), DWORD(data.size() + 1));
        values_.push_back(hive.Value);
        if (hive.Row) {
            rows_.push_back(hive.Row);
            savedKeys_ += (savedKeys_.empty() ? "" : " ") + hive.SavedKey;
        }
    }
}

Windows2000Hives::~Windows2000Hives()
{
    for (const std::string& value : values_)
        RegDeleteValueA(list_, value.c_str());
    RegCloseKey(list_);
    for (const std::string& file : files_)
        DeleteFileA(file.c_str());
    for (auto folder = folders_.rbegin(); folder != folders_.rend(); ++folder)
        RemoveDirectoryA(folder->c_str());
}
