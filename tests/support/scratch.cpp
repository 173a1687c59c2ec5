#include "scratch.h"

#include <stdexcept>

std::string TempFolder()
{
    char path[MAX_PATH];
    GetTempPathA(sizeof path, path);
    return path;
}

std::string WindowsFolder()
{
    char path[MAX_PATH] = "";
    GetWindowsDirectoryA(path, sizeof path);
    return path;
}

std::string ShortPath(const std::string& path)
{
    char shortPath[MAX_PATH] = "";
    GetShortPathNameA(path.c_str(), shortPath, sizeof shortPath);
    return shortPath;
}

void RemoveTree(const std::string& path)
{
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = entry.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string child = path + "\\" + name;
            SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(child);
            else
                DeleteFileA(child.c_str());
        } while (FindNextFileA(search, &entry));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
}

ScratchFolder::ScratchFolder()
{
    static int serial;
    for (;;) {
        path_ = TempFolder() + "scratch" + std::to_string(GetCurrentProcessId()) + "_" +
                std::to_string(++serial);
        if (CreateDirectoryA(path_.c_str(), NULL))
            return;
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            throw std::runtime_error("can't create a scratch folder");
    }
}

ScratchFolder::~ScratchFolder()
{
    RemoveTree(path_);
}

ScratchKey::ScratchKey(HKEY root, const std::string& subKey)
    : root_(root), subKey_(subKey), key_(NULL)
{
    RegDeleteTreeA(root_, subKey_.c_str());
    if (RegCreateKeyExA(root_, subKey_.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key_, NULL))
        throw std::runtime_error("can't create a scratch key");
}

ScratchKey::~ScratchKey()
{
    RegCloseKey(key_);
    RegDeleteTreeA(root_, subKey_.c_str());
}

void ScratchKey::SetString(const char* name, const std::string& value) const
{
    RegSetValueExA(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
}

void WriteFileBytes(const std::string& path, const std::string& bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        throw std::runtime_error("can't write " + path);
    DWORD written;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, NULL);
    CloseHandle(file);
}

std::string ReadFileBytes(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        throw std::runtime_error("can't read " + path);
    std::string bytes(GetFileSize(file, NULL), '\0');
    DWORD read = 0;
    if (!bytes.empty())
        ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &read, NULL);
    CloseHandle(file);
    bytes.resize(read);
    return bytes;
}

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::string> FilesMatching(const std::string& folder, const char* pattern)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((folder + "\\" + pattern).c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do
        names.push_back(entry.cFileName);
    while (FindNextFileA(search, &entry));
    FindClose(search);
    return names;
}
