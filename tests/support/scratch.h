// Scratch places in the test prefix that clean up after themselves.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// A new, empty folder under the temporary folder, removed with its contents.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& Path() const { return path_; }
    std::string PathOf(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

// A registry key made fresh (a left-over one is deleted first) and deleted with its subtree.
class ScratchKey {
public:
    ScratchKey(HKEY root, const std::string& subKey);
    ~ScratchKey();
    ScratchKey(const ScratchKey&) = delete;
    ScratchKey& operator=(const ScratchKey&) = delete;

    HKEY Handle() const { return key_; }
    void SetString(const char* name, const std::string& value) const;

private:
    HKEY root_;
    std::string subKey_;
    HKEY key_;
};

// Helpers on plain files.
void WriteFileBytes(const std::string& path, const std::string& bytes);
std::string ReadFileBytes(const std::string& path);
bool FileExists(const std::string& path);
// Names in a folder that match a pattern such as "qs*.tmp".
std::vector<std::string> FilesMatching(const std::string& folder, const char* pattern);
// The temporary folder with its trailing backslash, as GetTempPathA gives it.
std::string TempFolder();
// The Windows folder, as GetWindowsDirectoryA gives it.
std::string WindowsFolder();
// The short form of an existing path ("" if there is none).
std::string ShortPath(const std::string& path);
// Removes a folder and everything in it.
void RemoveTree(const std::string& path);
