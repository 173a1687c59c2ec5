#include "options_page.h"

#include <shlobj.h>

#include "install_options.h"
#include "page.h"
#include "paths.h"
#include "resource.h"

char ProgramFilesDir[MAX_PATH];

// The default group and the name of the program folder.
static const char ProductName[] = "Quillstone";

// Paths that would not fit their buffers are refused, never cut into the name
// of a different folder.
static const char ProgramFilesTooLong[] =
    "The Program Files folder's path is too long to add \"\\Quillstone\" to it.\n"
    "Please type a shorter program location or choose one with \"...\".";
static const char BrowsedFolderTooLong[] =
    "The chosen folder's path is too long to add \"\\Quillstone\" to it.\n"
    "Please choose a folder with a shorter path.";
static const char InstallDirTooLong[] =
    "The program location is too long: a folder's path can have at most 259 characters.";
static const char GroupDirTooLong[] =
    "The Start Menu group's path is too long: a folder's path can have at most 259 characters.\n"
    "Please choose a shorter group name.";
static const char GroupsNotListed[] =
    "The Start Menu's Programs folder has too long a path for its groups to be listed.";

// Item lists from the shell go back to the shell's own allocator.
static void FreeItemList(LPITEMIDLIST items)
{
    IMalloc* shellMalloc;
    if (SUCCEEDED(SHGetMalloc(&shellMalloc))) {
        shellMalloc->Free(items);
        shellMalloc->Release();
    }
}

// The special folder's path, or an empty path when the system can't name one.
static void GetSpecialFolder(HWND page, int folder, char* path)
{
    path[0] = '\0';
    LPITEMIDLIST items = NULL;
    if (FAILED(SHGetSpecialFolderLocation(page, folder, &items)) || !items)
        return;
    if (!SHGetPathFromIDListA(items, path))
        path[0] = '\0';
    FreeItemList(items);
}

// An option whose folder is unknown can't be carried out, so it is not offered.
static void OfferOptionFor(HWND page, int checkBox, const char* folder)
{
    if (folder[0])
        return;
    CheckDlgButton(page, checkBox, BST_UNCHECKED);
    EnableWindow(GetDlgItem(page, checkBox), FALSE);
}

// The value's type is not checked. It may be stored without its terminator,
// up to the buffer's last byte: such a value does not fit and is not taken.
static bool ReadProgramFilesDir()
{
    HKEY key;
    if (RegOpenKeyA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", &key) !=
        ERROR_SUCCESS)
        return false;
    DWORD size = sizeof ProgramFilesDir;
    LONG result = RegQueryValueExA(key, "ProgramFilesDir", NULL, NULL,
                                   reinterpret_cast<BYTE*>(ProgramFilesDir), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS)
        return false;
    if (size < sizeof ProgramFilesDir) {
        ProgramFilesDir[size] = '\0';
        return true;
    }
    return ProgramFilesDir[sizeof ProgramFilesDir - 1] == '\0';
}

// Offers one entry of the Programs folder as a group when it is a folder
// whose name does not begin with a dot.
static void AddGroupChoice(HWND page, const WIN32_FIND_DATAA& found)
{
    // The dot test drops "." and ".." as well; links lying in the Programs
    // folder are files and are not offered. A second "Quillstone" may be listed.
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && found.cFileName[0] != '.')
        SendDlgItemMessageA(page, IDC_GROUP, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(found.cFileName));
}

static void ListGroups(HWND page)
{
    char pattern[MAX_PATH];
    if (!JoinPath(pattern, StartMenuDir, "*")) {
        ShowPageError(page, GroupsNotListed);
        return;
    }
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do
        AddGroupChoice(page, found);
    while (FindNextFileA(search, &found));
    FindClose(search);
}

// The program location is always the folder + "\Quillstone", also after a
// drive root's own backslash.
static void SetInstallLocation(HWND page, const char* folder, const char* tooLong)
{
    char location[MAX_PATH];
    if (JoinPath(location, folder, ProductName))
        SetDlgItemTextA(page, IDC_INSTALL_DIR, location);
    else
        ShowPageError(page, tooLong);
}

// Fills the page: the group list, the default program folder, the special folders.
static void InitOptionsPage(HWND page)
{
    SendDlgItemMessageA(page, IDC_GROUP, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ProductName));
    SetDlgItemTextA(page, IDC_GROUP, ProductName);
    GetSpecialFolder(page, CSIDL_PROGRAMS, StartMenuDir);
    OfferOptionFor(page, IDC_START_MENU, StartMenuDir);
    GetSpecialFolder(page, CSIDL_DESKTOP, DesktopDir);
    OfferOptionFor(page, IDC_DESKTOP, DesktopDir);
    if (!ReadProgramFilesDir())
        lstrcpynA(ProgramFilesDir, "\\Program Files", sizeof ProgramFilesDir);
    if (StartMenuDir[0])
        ListGroups(page);
    SetInstallLocation(page, ProgramFilesDir, ProgramFilesTooLong);
}

// Lets the user pick the folder that will hold the program folder.
static void BrowseForInstallDir(HWND page)
{
    char folder[MAX_PATH];
    BROWSEINFOA browse;
    ZeroMemory(&browse, sizeof browse);
    browse.hwndOwner = page;
    browse.pszDisplayName = folder;
    browse.lpszTitle = "Quillstone Installer - Select Installation Folder";
    browse.ulFlags = BIF_RETURNONLYFSDIRS;
    LPITEMIDLIST chosen = SHBrowseForFolderA(&browse);
    if (!chosen)
        return;
    // Without a path the buffer would hold only the folder's display name.
    BOOL hasPath = SHGetPathFromIDListA(chosen, folder);
    FreeItemList(chosen);
    if (hasPath)
        SetInstallLocation(page, folder, BrowsedFolderTooLong);
}

// A text box's whole text; false when it would not fit a path buffer.
static bool ReadPathText(HWND page, int control, char* text)
{
    if (GetWindowTextLengthA(GetDlgItem(page, control)) >= MAX_PATH)
        return false;
    GetDlgItemTextA(page, control, text, MAX_PATH);
    return true;
}

// Only the last component is created; a folder that exists already will do.
static bool CreateFolder(const char* path)
{
    return CreateDirectoryA(path, NULL) || GetLastError() == ERROR_ALREADY_EXISTS;
}

// Stores the choices and creates the folders; on success the install page
// comes next, on failure the page says why and InstallerState stays PAGE_OPTIONS.
static void ApplyOptions(HWND page)
{
    StartMenuOption = IsDlgButtonChecked(page, IDC_START_MENU) != 0;
    DesktopOption = IsDlgButtonChecked(page, IDC_DESKTOP) != 0;
    // Both paths are checked before any folder is made.
    if (!ReadPathText(page, IDC_INSTALL_DIR, InstallDir)) {
        ShowPageError(page, InstallDirTooLong);
        return;
    }
    char group[MAX_PATH], groupDir[MAX_PATH] = "";
    if (StartMenuOption &&
        !(ReadPathText(page, IDC_GROUP, group) && JoinPath(groupDir, StartMenuDir, group))) {
        ShowPageError(page, GroupDirTooLong);
        return;
    }
    if (!CreateFolder(InstallDir)) {
        ShowPageError(page, "Can't Create Program Folder");
        return;
    }
    if (StartMenuOption) {
        lstrcpynA(StartMenuDir, groupDir, sizeof StartMenuDir);
        if (!CreateFolder(StartMenuDir)) {
            ShowPageError(page, "Can't Create Start Menu Group Folder");
            return;
        }
    }
    InstallerState = PAGE_INSTALL;
}

static void OnCommand(HWND page, int control)
{
    switch (control) {
    case IDC_BROWSE:
        BrowseForInstallDir(page);
        break;
    case IDC_INSTALL:
        // After a failure the same page comes back fresh, as InstallerState says.
        ApplyOptions(page);
        EndDialog(page, 0);
        break;
    case IDC_CANCEL_INSTALL:
        EndPage(page, PAGE_EXIT, -1);
        break;
    default:
        break; // Escape's IDCANCEL included
    }
}

INT_PTR CALLBACK OptionsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        CheckDlgButton(page, IDC_START_MENU, BST_CHECKED);
        CheckDlgButton(page, IDC_DESKTOP, BST_CHECKED);
        InitOptionsPage(page);
        PageDialogProc(page, message, wParam, lParam);
        return TRUE;
    case WM_COMMAND:
        OnCommand(page, LOWORD(wParam));
        return TRUE;
    case WM_CLOSE:
        EndPage(page, PAGE_EXIT, -1);
        return PageDialogProc(page, message, wParam, lParam);
    default:
        return PageDialogProc(page, message, wParam, lParam);
    }
}
