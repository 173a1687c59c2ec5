// The options page: its defaults, the group list, the folder browser, and
// the folders that "&Install" makes or refuses.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>
#include <map>

#include "import_patch.h"
#include "install_options.h"
#include "message_boxes.h"
#include "options_page.h"
#include "page.h"
#include "page_driver.h"
#include "resource.h"
#include "scratch.h"

namespace {

const char ProgramFilesTooLong[] =
    "The Program Files folder's path is too long to add \"\\Quillstone\" to it.\n"
    "Please type a shorter program location or choose one with \"...\".";
const char BrowsedFolderTooLong[] =
    "The chosen folder's path is too long to add \"\\Quillstone\" to it.\n"
    "Please choose a folder with a shorter path.";
const char InstallDirTooLong[] =
    "The program location is too long: a folder's path can have at most 259 characters.";
const char GroupDirTooLong[] =
    "The Start Menu group's path is too long: a folder's path can have at most 259 characters.\n"
    "Please choose a shorter group name.";
const char GroupsNotListed[] =
    "The Start Menu's Programs folder has too long a path for its groups to be listed.";

std::string SpecialFolder(int folder)
{
    char path[MAX_PATH] = "";
    SHGetFolderPathA(NULL, folder, NULL, 0, path);
    return path;
}

std::string WithZero(std::string text)
{
    text.push_back('\0');
    return text;
}

// The prefix's "ProgramFilesDir", set aside for a test and put back afterwards.
class ProgramFilesValue {
public:
    ProgramFilesValue()
    {
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", 0,
                      KEY_ALL_ACCESS, &key_);
        char value[MAX_PATH];
        DWORD size = sizeof value;
        had_ = RegQueryValueExA(key_, Name, NULL, NULL, reinterpret_cast<BYTE*>(value), &size) ==
               ERROR_SUCCESS;
        saved_.assign(value, had_ ? size : 0);
    }
    ~ProgramFilesValue()
    {
        if (had_)
            Set(saved_);
        else
            RegDeleteValueA(key_, Name);
        RegCloseKey(key_);
    }
    // Stores the bytes as they are, with a terminating zero only when they hold
    // one: the system counts a forgotten zero in when the byte after the data
    // is zero, so a non-zero byte follows them.
    void Set(const std::string& bytes) const
    {
        std::string guarded = bytes + "#";
        RegSetValueExA(key_, Name, 0, REG_SZ, reinterpret_cast<const BYTE*>(guarded.data()),
                       DWORD(bytes.size()));
    }
    void Remove() const { RegDeleteValueA(key_, Name); }

private:
    static constexpr const char* Name = "ProgramFilesDir";
    HKEY key_;
    bool had_;
    std::string saved_;
};

INT_PTR RunOptionsPage(PageAction action)
{
    InstallerState = PAGE_OPTIONS;
    return RunPage(IDD_OPTIONS, OptionsPageProc, {std::move(action)});
}

// Item lists that stand for a path of the test's choosing ("" for an item
// without a file system path), from the shell's allocator as the real ones.
std::map<const ITEMIDLIST*, std::string> FakePaths;
decltype(&SHGetPathFromIDListA) RealGetPath;
decltype(&SHGetSpecialFolderLocation) RealFolderLocation;
std::map<int, std::string> FolderOverrides; // "" for a folder the system can't name

LPITEMIDLIST FakeItemList(const std::string& path)
{
    IMalloc* shellMalloc;
    SHGetMalloc(&shellMalloc);
    auto items = static_cast<LPITEMIDLIST>(shellMalloc->Alloc(sizeof(USHORT)));
    shellMalloc->Release();
    items->mkid.cb = 0;
    FakePaths[items] = path;
    return items;
}

BOOL WINAPI FakeGetPath(PCIDLIST_ABSOLUTE items, LPSTR path)
{
    auto found = FakePaths.find(items);
    if (found == FakePaths.end())
        return RealGetPath(items, path);
    if (found->second.empty())
        return FALSE;
    lstrcpynA(path, found->second.c_str(), MAX_PATH);
    return TRUE;
}

HRESULT WINAPI FakeFolderLocation(HWND owner, int folder, PIDLIST_ABSOLUTE* items)
{
    auto found = FolderOverrides.find(folder);
    if (found == FolderOverrides.end())
        return RealFolderLocation(owner, folder, items);
    *items = found->second.empty() ? NULL : FakeItemList(found->second);
    return found->second.empty() ? E_FAIL : S_OK;
}

void ExpectPageBoxes(const std::vector<std::string>& texts, HWND page,
                     const MessageBoxRecorder& boxes)
{
    ASSERT_EQ(texts.size(), boxes.Boxes().size());
    for (size_t i = 0; i < texts.size(); ++i) {
        EXPECT_EQ(texts[i], boxes.Boxes()[i].Text);
        EXPECT_EQ("Quillstone Installer - Error", boxes.Boxes()[i].Caption);
        EXPECT_EQ(UINT(MB_ICONWARNING), boxes.Boxes()[i].Style);
        EXPECT_EQ(page, boxes.Boxes()[i].Owner);
    }
}

} // namespace

TEST(OptionsPage, StartsWithTheProgramFilesFolderFromTheRegistry)
{
    ProgramFilesValue value;
    std::string fits = "C:\\" + std::string(245, 'f'); // + "\Quillstone": 259 characters
    const std::string fallback = "\\Program Files\\Quillstone";
    const struct {
        const char* Case;
        bool Present;
        std::string Bytes;
        std::string Location;
        std::vector<std::string> Boxes;
    } rows[] = {
        {"no value", false, "", fallback, {}},
        {"a value", true, WithZero("D:\\Apps"), "D:\\Apps\\Quillstone", {}},
        {"a value stored without its zero", true, "E:\\Tools", "E:\\Tools\\Quillstone", {}},
        {"as long as fits", true, WithZero(fits), fits + "\\Quillstone", {}},
        {"one character more", true, WithZero(fits + "f"), "", {ProgramFilesTooLong}},
        {"filling the buffer without a zero", true, std::string(MAX_PATH, 'x'), fallback, {}},
        {"longer than the buffer", true, WithZero(std::string(300, 'x')), fallback, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Case);
        if (row.Present)
            value.Set(row.Bytes);
        else
            value.Remove();
        MessageBoxRecorder boxes;
        HWND page = NULL;
        std::string location;
        RunOptionsPage([&](HWND shown) {
            page = shown;
            location = ControlText(page, IDC_INSTALL_DIR);
            Press(page, IDC_CANCEL_INSTALL);
        });
        EXPECT_EQ(row.Location, location);
        ExpectPageBoxes(row.Boxes, page, boxes);
    }
}

TEST(OptionsPage, OffersQuillstoneAndEveryDotlessSubfolderOfTheProgramsFolderSorted)
{
    std::string programs = SpecialFolder(CSIDL_PROGRAMS);
    // An existing "Quillstone" group is offered a second time.
    std::vector<std::string> made;
    for (const char* name : {"Zeta Tools", "alpha", ".hidden", "Quillstone"})
        if (CreateDirectoryA((programs + "\\" + name).c_str(), NULL))
            made.push_back(name);
    WriteFileBytes(programs + "\\Readme.lnk", "not a group");
    std::vector<std::string> expected = {"Quillstone"};
    for (const std::string& name : FilesMatching(programs, "*"))
        if (name[0] != '.' &&
            (GetFileAttributesA((programs + "\\" + name).c_str()) & FILE_ATTRIBUTE_DIRECTORY))
            expected.push_back(name);
    std::sort(expected.begin(), expected.end(), [](const std::string& a, const std::string& b) {
        return lstrcmpiA(a.c_str(), b.c_str()) < 0;
    });

    std::vector<std::string> entries;
    std::string group;
    bool startMenu = false, desktop = false;
    RunOptionsPage([&](HWND page) {
        entries = ComboEntries(page, IDC_GROUP);
        group = ControlText(page, IDC_GROUP);
        startMenu = IsDlgButtonChecked(page, IDC_START_MENU) == BST_CHECKED;
        desktop = IsDlgButtonChecked(page, IDC_DESKTOP) == BST_CHECKED;
        Press(page, IDC_CANCEL_INSTALL);
    });
    for (const std::string& name : made)
        RemoveDirectoryA((programs + "\\" + name).c_str());
    DeleteFileA((programs + "\\Readme.lnk").c_str());

    EXPECT_EQ(expected, entries);
    EXPECT_EQ(2, std::count(entries.begin(), entries.end(), "Quillstone"));
    EXPECT_EQ(0, std::count(entries.begin(), entries.end(), ".hidden"));
    EXPECT_EQ(0, std::count(entries.begin(), entries.end(), "Readme.lnk"));
    EXPECT_EQ("Quillstone", group);
    EXPECT_TRUE(startMenu);
    EXPECT_TRUE(desktop);
    EXPECT_EQ(programs, StartMenuDir);
    EXPECT_EQ(SpecialFolder(CSIDL_DESKTOP), DesktopDir);
    EXPECT_EQ(PAGE_EXIT, InstallerState);
}

TEST(OptionsPage, AFolderTheSystemCantNameTurnsItsOptionOff)
{
    ImportPatch location(&SHGetSpecialFolderLocation, &FakeFolderLocation, &RealFolderLocation);
    ImportPatch path(&SHGetPathFromIDListA, &FakeGetPath, &RealGetPath);
    ScratchFolder folder;
    std::string longPrograms = "C:\\" + std::string(255, 'p'); // no room for "\*"
    const struct {
        const char* Case;
        int Folder;
        std::string Path;
        int TurnedOff; // the check box that is cleared and disabled, 0 for none
        std::vector<std::string> Boxes;
        int State;
    } rows[] = {
        {"no Programs folder", CSIDL_PROGRAMS, "", IDC_START_MENU, {}, PAGE_INSTALL},
        {"no desktop folder", CSIDL_DESKTOP, "", IDC_DESKTOP, {}, PAGE_INSTALL},
        {"a Programs folder too long to search", CSIDL_PROGRAMS, longPrograms, 0,
         {GroupsNotListed, GroupDirTooLong}, PAGE_OPTIONS},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Case);
        FolderOverrides = {{row.Folder, row.Path}};
        FakePaths.clear();
        MessageBoxRecorder boxes;
        HWND page = NULL;
        std::vector<std::string> entries;
        bool enabled = true, checked = true;
        RunOptionsPage([&](HWND shown) {
            page = shown;
            entries = ComboEntries(page, IDC_GROUP);
            if (row.TurnedOff) {
                enabled = IsWindowEnabled(GetDlgItem(page, row.TurnedOff));
                checked = IsDlgButtonChecked(page, row.TurnedOff);
            }
            SetDlgItemTextA(page, IDC_INSTALL_DIR, folder.Path().c_str());
            SetDlgItemTextA(page, IDC_GROUP, "QS Unnamed Folder");
            Press(page, IDC_INSTALL);
        });
        RemoveDirectoryA((SpecialFolder(CSIDL_PROGRAMS) + "\\QS Unnamed Folder").c_str());
        EXPECT_EQ(row.TurnedOff == 0, enabled);
        EXPECT_EQ(row.TurnedOff == 0, checked);
        ExpectPageBoxes(row.Boxes, page, boxes);
        EXPECT_EQ(row.State, InstallerState);
        if (row.Folder == CSIDL_PROGRAMS) {
            EXPECT_EQ(std::vector<std::string>{"Quillstone"}, entries);
        }
        if (row.TurnedOff == IDC_START_MENU) {
            EXPECT_EQ("", std::string(StartMenuDir));
            EXPECT_FALSE(StartMenuOption);
        }
        if (row.TurnedOff == IDC_DESKTOP) {
            EXPECT_EQ("", std::string(DesktopDir));
            EXPECT_FALSE(DesktopOption);
        }
    }
    FolderOverrides.clear();
}

TEST(OptionsPage, InstallMakesTheFoldersOrSaysWhyNot)
{
    ScratchFolder scratch;
    std::string programs = SpecialFolder(CSIDL_PROGRAMS);
    auto group = [&](const std::string& name) { return programs + "\\" + name; };
    CreateDirectoryA(group("QS Existing").c_str(), NULL);
    std::string tooLongGroup(MAX_PATH - programs.size(), 'g');
    const struct {
        const char* Case;
        std::string Location;
        bool StartMenu;
        std::string Group;
        bool Desktop;
        std::vector<std::string> Boxes;
        int State;
        std::vector<std::string> Made, NotMade;
        const char* StartMenuDir; // null: not checked
    } rows[] = {
        {"new folders", scratch.PathOf("New"), true, "QS New", true, {}, PAGE_INSTALL,
         {scratch.PathOf("New"), group("QS New")}, {}, "QS New"},
        {"existing folders", scratch.Path(), true, "QS Existing", false, {}, PAGE_INSTALL,
         {}, {}, "QS Existing"},
        {"no group asked for", scratch.PathOf("NoGroup"), false, "QS Never Made", false, {},
         PAGE_INSTALL, {scratch.PathOf("NoGroup")}, {group("QS Never Made")}, ""},
        {"a missing parent folder", scratch.PathOf("missing\\Quillstone"), true, "QS Not Reached",
         true, {"Can't Create Program Folder"}, PAGE_OPTIONS, {}, {group("QS Not Reached")},
         nullptr},
        {"a group that can't be made", scratch.PathOf("Kept"), true, "QS Missing\\Group", true,
         {"Can't Create Start Menu Group Folder"}, PAGE_OPTIONS, {scratch.PathOf("Kept")}, {},
         nullptr},
        {"a location too long", scratch.Path() + "\\" + std::string(300, 'x'), true, "QS Long",
         true, {InstallDirTooLong}, PAGE_OPTIONS, {}, {group("QS Long")}, nullptr},
        {"a group path too long", scratch.PathOf("Not Made"), true, tooLongGroup, true,
         {GroupDirTooLong}, PAGE_OPTIONS, {}, {scratch.PathOf("Not Made")}, nullptr},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Case);
        MessageBoxRecorder boxes;
        HWND page = NULL;
        INT_PTR result = RunOptionsPage([&](HWND shown) {
            page = shown;
            SetDlgItemTextA(page, IDC_INSTALL_DIR, row.Location.c_str());
            CheckDlgButton(page, IDC_START_MENU, row.StartMenu ? BST_CHECKED : BST_UNCHECKED);
            SetDlgItemTextA(page, IDC_GROUP, row.Group.c_str());
            CheckDlgButton(page, IDC_DESKTOP, row.Desktop ? BST_CHECKED : BST_UNCHECKED);
            Press(page, IDC_INSTALL);
        });
        EXPECT_EQ(0, result);
        ExpectPageBoxes(row.Boxes, page, boxes);
        EXPECT_EQ(row.State, InstallerState);
        EXPECT_EQ(row.StartMenu, StartMenuOption);
        EXPECT_EQ(row.Desktop, DesktopOption);
        if (row.State == PAGE_INSTALL) {
            EXPECT_EQ(row.Location, InstallDir);
        }
        for (const std::string& made : row.Made)
            EXPECT_TRUE(FileExists(made)) << made;
        for (const std::string& notMade : row.NotMade)
            EXPECT_FALSE(FileExists(notMade)) << notMade;
        if (row.StartMenuDir) {
            EXPECT_EQ(*row.StartMenuDir ? group(row.StartMenuDir) : programs, StartMenuDir);
        }
    }
    for (const char* name : {"QS Existing", "QS New"})
        RemoveDirectoryA(group(name).c_str());
}

namespace {

BROWSEINFOA Browsed;
std::string BrowsedTitle;
bool BrowseCancelled;
std::string BrowseAnswer;

PIDLIST_ABSOLUTE WINAPI FakeBrowseForFolder(LPBROWSEINFOA browse)
{
    Browsed = *browse;
    BrowsedTitle = browse->lpszTitle ? browse->lpszTitle : "";
    return BrowseCancelled ? NULL : FakeItemList(BrowseAnswer);
}

} // namespace

TEST(OptionsPage, BrowsingPutsTheChosenFolderWithQuillstoneIntoTheLocation)
{
    ImportPatch browse(&SHBrowseForFolderA, &FakeBrowseForFolder);
    ImportPatch path(&SHGetPathFromIDListA, &FakeGetPath, &RealGetPath);
    std::string fits = "C:\\" + std::string(245, 'b'); // + "\Quillstone": 259 characters
    const struct {
        const char* Case;
        bool Cancelled;
        std::string Chosen;
        std::string Location; // "" for the location left as it was
        std::vector<std::string> Boxes;
    } rows[] = {
        {"a folder", false, "C:\\Some Folder", "C:\\Some Folder\\Quillstone", {}},
        {"a drive root keeps its backslash", false, "C:\\", "C:\\\\Quillstone", {}},
        {"as long as fits", false, fits, fits + "\\Quillstone", {}},
        {"one character more", false, fits + "b", "", {BrowsedFolderTooLong}},
        {"cancelled", true, "", "", {}},
        {"an item without a path", false, "", "", {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Case);
        BrowseCancelled = row.Cancelled;
        BrowseAnswer = row.Chosen;
        Browsed = BROWSEINFOA();
        FakePaths.clear();
        MessageBoxRecorder boxes;
        HWND page = NULL;
        std::string before, after;
        RunOptionsPage([&](HWND shown) {
            page = shown;
            before = ControlText(page, IDC_INSTALL_DIR);
            Press(page, IDC_BROWSE);
            after = ControlText(page, IDC_INSTALL_DIR);
            Press(page, IDC_CANCEL_INSTALL);
        });
        EXPECT_EQ(row.Location.empty() ? before : row.Location, after);
        ExpectPageBoxes(row.Boxes, page, boxes);
        EXPECT_EQ(page, Browsed.hwndOwner);
        EXPECT_EQ(nullptr, Browsed.pidlRoot);
        EXPECT_NE(nullptr, Browsed.pszDisplayName);
        EXPECT_EQ("Quillstone Installer - Select Installation Folder", BrowsedTitle);
        EXPECT_EQ(UINT(BIF_RETURNONLYFSDIRS), Browsed.ulFlags);
        EXPECT_EQ(nullptr, Browsed.lpfn);
    }
}
