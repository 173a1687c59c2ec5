#include "installation_check.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>

#include "program_run.h"
#include "scratch.h"

const std::vector<std::string> CabinetFiles = {
    "Leggimi.txt",    "ReadMe.txt",
    "Quillstone.exe", "Quillstone.hlp",
    "Shareware Donation For Quillstone.url", "Visit The Quillstone Website.url",
};

static std::string SourceOf(const std::string& name)
{
    // The installer under test carries the compactor of its own build.
    if (name == "Quillstone.exe")
        return WindowsPathFromEnvironment("QS_COMPACTOR");
    if (name == "Quillstone.hlp")
        return WindowsPathFromEnvironment("QS_DIST") + "\\Quillstone.hlp";
    return WindowsPathOf(std::string(QS_PAYLOAD) + "/" + name);
}

static bool Contains(const std::vector<std::string>& names, const std::string& name)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

void ExpectInstalledFiles(const std::string& folder, const std::vector<std::string>& skipped)
{
    std::vector<std::string> expected;
    for (const std::string& name : CabinetFiles) {
        SCOPED_TRACE(name);
        if (Contains(skipped, name))
            continue;
        expected.push_back(name);
        std::string path = folder + "\\" + name;
        ASSERT_TRUE(FileExists(path));
        EXPECT_TRUE(ReadFileBytes(SourceOf(name)) == ReadFileBytes(path)) << "differs from its source";
    }
    std::vector<std::string> found = FilesMatching(folder, "*.*");
    found.erase(std::remove_if(found.begin(), found.end(),
                               [](const std::string& name) { return name[0] == '.'; }),
                found.end());
    std::sort(expected.begin(), expected.end());
    std::sort(found.begin(), found.end());
    EXPECT_EQ(expected, found);
}

ShellLinkFields ReadShellLink(const std::string& path)
{
    static bool comReady = SUCCEEDED(CoInitialize(NULL));
    EXPECT_TRUE(comReady);
    ShellLinkFields fields;
    IShellLinkA* link = NULL;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link)))) {
        ADD_FAILURE() << "no shell link object";
        return fields;
    }
    IPersistFile* file = NULL;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        WCHAR widePath[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, widePath, MAX_PATH);
        EXPECT_EQ(S_OK, file->Load(widePath, STGM_READ)) << path;
        char text[MAX_PATH] = "";
        link->GetPath(text, sizeof text, NULL, 0);
        fields.Target = text;
        text[0] = '\0';
        link->GetDescription(text, sizeof text);
        fields.Description = text;
        text[0] = '\0';
        link->GetWorkingDirectory(text, sizeof text);
        fields.WorkingDirectory = text;
        file->Release();
    }
    link->Release();
    return fields;
}

namespace {

struct ExpectedLink {
    const char* Name;
    const char* Target;
};

// The group's links as the user sees them in the Start Menu.
const ExpectedLink GroupLinks[] = {
    {"Quillstone", "Quillstone.exe"},
    {"Visit The Quillstone Website", "Visit The Quillstone Website.url"},
    {"Shareware Donation For Quillstone", "Shareware Donation For Quillstone.url"},
    {"Quillstone ReadMe - English", "ReadMe.txt"},
    {"Quillstone ReadMe - Italian", "Leggimi.txt"},
};
const ExpectedLink DesktopLinks[] = {{"Quillstone", "Quillstone.exe"}};

template <size_t N>
void ExpectLinksIn(const std::string& folder, bool made, const ExpectedLink (&links)[N],
                   const std::string& installDir, const std::vector<std::string>& missing)
{
    std::vector<std::string> expected;
    for (const ExpectedLink& link : links) {
        if (!made || Contains(missing, link.Target))
            continue;
        SCOPED_TRACE(link.Name);
        std::string name = std::string(link.Name) + ".lnk";
        expected.push_back(name);
        ShellLinkFields fields = ReadShellLink(folder + "\\" + name);
        EXPECT_EQ(installDir + "\\" + link.Target, fields.Target);
        EXPECT_EQ(link.Name, fields.Description);
        EXPECT_EQ(installDir, fields.WorkingDirectory);
    }
    std::vector<std::string> found = FilesMatching(folder, "*.lnk");
    std::sort(expected.begin(), expected.end());
    std::sort(found.begin(), found.end());
    EXPECT_EQ(expected, found);
}

} // namespace

void ExpectLinks(const std::string& installDir, const std::string& groupDir, bool group,
                 const std::string& desktopDir, bool desktop,
                 const std::vector<std::string>& missing)
{
    {
        SCOPED_TRACE("the Start Menu group");
        ExpectLinksIn(groupDir, group, GroupLinks, installDir, missing);
    }
    SCOPED_TRACE("the desktop");
    ExpectLinksIn(desktopDir, desktop, DesktopLinks, installDir, missing);
}
