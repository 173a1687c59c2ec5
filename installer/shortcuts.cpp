#include "shortcuts.h"

#include <shlobj.h>

#include "install_options.h"
#include "page.h"
#include "paths.h"

// One link of the Start Menu group: its name, which is also its description,
// and the file of the program folder it points at.
struct ProgramGroupLink {
    const char* Name;
    const char* Target;
};

static const ProgramGroupLink ProgramGroupLinks[] = {
    {"Quillstone", "Quillstone.exe"},
    {"Visit The Quillstone Website", "Visit The Quillstone Website.url"},
    {"Shareware Donation For Quillstone", "Shareware Donation For Quillstone.url"},
    {"Quillstone ReadMe - English", "ReadMe.txt"},
    {"Quillstone ReadMe - Italian", "Leggimi.txt"},
};

static const ProgramGroupLink DesktopLink = {"Quillstone", "Quillstone.exe"};

// Saves through the link object's IPersistFile, released here on every path.
static HRESULT SaveLink(IShellLinkA* link, const char* linkPath)
{
    IPersistFile* file;
    HRESULT result = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    if (FAILED(result))
        return result;
    WCHAR widePath[MAX_PATH];
    if (MultiByteToWideChar(CP_ACP, 0, linkPath, -1, widePath, MAX_PATH))
        result = file->Save(widePath, TRUE);
    else
        result = E_INVALIDARG; // a link path longer than any path
    file->Release();
    return result;
}

HRESULT CreateShortcut(const char* target, const char* linkPath, const char* description)
{
    IShellLinkA* link;
    HRESULT result = CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                      reinterpret_cast<void**>(&link));
    if (FAILED(result))
        return result;
    link->SetPath(target);
    link->SetDescription(description);
    link->SetWorkingDirectory(InstallDir);
    result = SaveLink(link, linkPath);
    link->Release();
    return result;
}

// A path that does not fit is not cut into another: that link is not made,
// like any link that can't be.
static void LinkInstalledFile(const ProgramGroupLink& row, const char* folder, bool presentOnly)
{
    char target[MAX_PATH], linkPath[MAX_PATH];
    if (JoinPath(target, InstallDir, row.Target) && JoinPath(linkPath, folder, row.Name, ".lnk") &&
        !(presentOnly && GetFileAttributesA(target) == INVALID_FILE_ATTRIBUTES))
        CreateShortcut(target, linkPath, row.Name);
}

// The bar moves whether or not the option is set; only a set option has a status line.
static bool StepFor(HWND page, bool option, const char* status)
{
    StepProgress(page, option ? status : NULL);
    return option;
}

void CreateProgramGroup(HWND page, bool presentOnly)
{
    if (StepFor(page, StartMenuOption, "Creating Program Group..."))
        for (const ProgramGroupLink& row : ProgramGroupLinks)
            LinkInstalledFile(row, StartMenuDir, presentOnly);
}

void CreateDesktopShortcut(HWND page, bool presentOnly)
{
    if (StepFor(page, DesktopOption, "Creating Desktop Shortcut..."))
        LinkInstalledFile(DesktopLink, DesktopDir, presentOnly);
}
