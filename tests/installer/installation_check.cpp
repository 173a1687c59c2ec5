#include "installation_check.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "program_run.h"
#include "scratch.h"
#include "shell_link.h"

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
