// The install page run in-process: its steps read off the page at every
// pause, the cabinet's files and the links it leaves, its temporary folder,
// and the faults it reports or refuses.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <setupapi.h>

#include <cstring>
#include <functional>
#include <memory>

#include "driver.h"
#include "failure.h"
#include "import_patch.h"
#include "install_options.h"
#include "install_page.h"
#include "installation_check.h"
#include "message_boxes.h"
#include "page.h"
#include "resource.h"
#include "scratch.h"
#include "system_message.h"

namespace {

// What the page showed when the code paused: every step pauses, and so does
// the page before it closes.
struct Pause {
    DWORD Milliseconds;
    int Position; // as the bar shows it
    std::string Status;
    bool Visible;
};
std::vector<Pause> Pauses;
HWND Page;

BOOL CALLBACK FindInstallPage(HWND window, LPARAM)
{
    if (!GetDlgItem(window, IDC_PROGRESS))
        return TRUE;
    Page = window;
    return FALSE;
}

void WINAPI RecordPause(DWORD milliseconds)
{
    Page = NULL;
    EnumThreadWindows(GetCurrentThreadId(), FindInstallPage, 0);
    char status[512] = "";
    GetDlgItemTextA(Page, IDC_STATUS, status, sizeof status);
    // Not through SendDlgItemMessageA: that is the code's own way to the bar, recorded below.
    Pauses.push_back({milliseconds,
                      int(SendMessageA(GetDlgItem(Page, IDC_PROGRESS), PBM_GETPOS, 0, 0)), status,
                      IsWindowVisible(Page) != FALSE});
}

// What the code sent the bar.
struct BarMessage {
    UINT Message;
    WPARAM WParam;
    LPARAM LParam;
};
std::vector<BarMessage> BarMessages;
decltype(&SendDlgItemMessageA) RealSendDlgItemMessage;

LRESULT WINAPI RecordSendDlgItemMessage(HWND page, int control, UINT message, WPARAM wParam,
                                        LPARAM lParam)
{
    if (control == IDC_PROGRESS)
        BarMessages.push_back({message, wParam, lParam});
    return RealSendDlgItemMessage(page, control, message, wParam, lParam);
}

// A fault slipped into SetupAPI's notices on their way to the page's handler.
using NoticeFault = std::function<void(UINT notification, UINT_PTR first)>;
NoticeFault Fault;
PSP_FILE_CALLBACK_A PageHandler;
decltype(&SetupIterateCabinetA) RealIterateCabinet;

UINT CALLBACK FaultyNotice(PVOID context, UINT notification, UINT_PTR first, UINT_PTR second)
{
    if (Fault)
        Fault(notification, first);
    return PageHandler(context, notification, first, second);
}

BOOL WINAPI IterateWithFaults(PCSTR cabinet, DWORD reserved, PSP_FILE_CALLBACK_A handler,
                              PVOID context)
{
    PageHandler = handler;
    return RealIterateCabinet(cabinet, reserved, FaultyNotice, context);
}

// The program folder, the group folder and the desktop are scratch folders,
// both options are set, and the bar starts afresh as in a new process.
class InstallPage : public testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_EQ(S_OK, CoInitialize(NULL)); }

    void SetUp() override
    {
        SetInstallDir(program_.Path());
        lstrcpynA(StartMenuDir, group_.Path().c_str(), MAX_PATH);
        lstrcpynA(DesktopDir, desktop_.Path().c_str(), MAX_PATH);
        StartMenuOption = DesktopOption = true;
        ProgressPosition = -166;
        InstallerState = PAGE_INSTALL;
        Pauses.clear();
        BarMessages.clear();
        Fault = nullptr;
    }
    void TearDown() override
    {
        // A page left by a thrown failure would be found by the next test.
        EnumThreadWindows(GetCurrentThreadId(), FindInstallPage, 0);
        if (Page)
            DestroyWindow(Page);
        Page = NULL;
    }
    static void SetInstallDir(const std::string& path) { lstrcpynA(InstallDir, path.c_str(), MAX_PATH); }

    ScratchFolder program_, group_, desktop_;
    ImportPatch sleep_{&Sleep, &RecordPause};
    ImportPatch bar_{&SendDlgItemMessageA, &RecordSendDlgItemMessage, &RealSendDlgItemMessage};
    ImportPatch cabinet_{&SetupIterateCabinetA, &IterateWithFaults, &RealIterateCabinet};
};

std::string Copying(const std::string& name)
{
    return "Copying " + name + "...";
}

// The steps of a whole installation: status and bar position at each pause.
std::vector<std::pair<std::string, int>> StepsFor(bool group, bool desktop)
{
    std::vector<std::pair<std::string, int>> steps = {{"Unpacking Setup.cab...", 0}};
    for (const std::string& name : CabinetFiles)
        steps.push_back({Copying(name), int(166 * steps.size())});
    // Past the eighth step the bar is full; an option that is off keeps the line.
    steps.push_back({group ? "Creating Program Group..." : steps.back().first, 1000});
    steps.push_back({desktop ? "Creating Desktop Shortcut..." : steps.back().first, 1000});
    steps.push_back({"Done!", 1000});
    return steps;
}

bool TempFoldersLeft()
{
    return !FilesMatching(TempFolder(), "qs?").empty();
}

} // namespace

TEST_F(InstallPage, StepsThroughTheTableAndLeavesFilesAndLinksWithEachOptionOnOrOff)
{
    const struct {
        bool Group, Desktop;
    } rows[] = {{true, true}, {false, true}, {true, false}, {false, false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string("group ") + (row.Group ? "on" : "off") + ", desktop " +
                     (row.Desktop ? "on" : "off"));
        ScratchFolder program, group, desktop;
        SetInstallDir(program.Path());
        lstrcpynA(StartMenuDir, group.Path().c_str(), MAX_PATH);
        lstrcpynA(DesktopDir, desktop.Path().c_str(), MAX_PATH);
        StartMenuOption = row.Group;
        DesktopOption = row.Desktop;
        ProgressPosition = -166;
        InstallerState = PAGE_INSTALL;
        Pauses.clear();
        BarMessages.clear();
        MessageBoxRecorder boxes;

        ShowPage(PAGE_INSTALL);

        std::vector<std::pair<std::string, int>> expected = StepsFor(row.Group, row.Desktop);
        ASSERT_EQ(expected.size() + 1, Pauses.size());
        for (size_t i = 0; i < expected.size(); ++i) {
            SCOPED_TRACE("step " + std::to_string(i + 1));
            EXPECT_EQ(83u, Pauses[i].Milliseconds);
            EXPECT_EQ(expected[i].first, Pauses[i].Status);
            EXPECT_EQ(expected[i].second, Pauses[i].Position);
            EXPECT_TRUE(Pauses[i].Visible);
        }
        EXPECT_EQ(1000u, Pauses.back().Milliseconds); // "Done!" stays up a second
        EXPECT_EQ("Done!", Pauses.back().Status);
        EXPECT_TRUE(Pauses.back().Visible);

        // The bar is coloured and ranged first, then sent every position unclamped.
        ASSERT_EQ(12u, BarMessages.size());
        EXPECT_EQ(UINT(PBM_SETBARCOLOR), BarMessages[0].Message);
        EXPECT_EQ(LPARAM(0x00C58A5F), BarMessages[0].LParam);
        EXPECT_EQ(UINT(PBM_SETRANGE), BarMessages[1].Message);
        EXPECT_EQ(LPARAM(65536000), BarMessages[1].LParam);
        for (size_t i = 2; i < BarMessages.size(); ++i) {
            EXPECT_EQ(UINT(PBM_SETPOS), BarMessages[i].Message);
            EXPECT_EQ(WPARAM(166 * (i - 2)), BarMessages[i].WParam);
        }
        EXPECT_EQ(1494, ProgressPosition);

        EXPECT_TRUE(boxes.Boxes().empty());
        EXPECT_FALSE(IsWindow(Page)) << "the page was not closed";
        EXPECT_EQ(PAGE_EXIT, InstallerState);
        EXPECT_FALSE(FileExists(TempDir));
        ExpectInstalledFiles(program.Path());
        ExpectLinks(program.Path(), group.Path(), row.Group, desktop.Path(), row.Desktop);
    }
}

namespace {

// Gives one file's notice the error code, as SetupAPI would pass it on.
NoticeFault FailNotice(UINT which, const char* name, DWORD code)
{
    return [=](UINT notification, UINT_PTR first) {
        if (notification == which && which == SPFILENOTIFY_FILEINCABINET) {
            auto file = reinterpret_cast<FILE_IN_CABINET_INFO_A*>(first);
            if (lstrcmpA(file->NameInCabinet, name) == 0)
                file->Win32Error = code;
        } else if (notification == which && which == SPFILENOTIFY_FILEEXTRACTED) {
            auto paths = reinterpret_cast<FILEPATHS_A*>(first);
            const char* slash = strrchr(paths->Target, '\\');
            if (slash && lstrcmpA(slash + 1, name) == 0)
                paths->Win32Error = code;
        }
    };
}

const std::string LongName(300, 'n');

// Renames one file of the cabinet, in its notice only, to a name too long for any buffer.
void RenameLeggimi(UINT notification, UINT_PTR first)
{
    auto file = reinterpret_cast<FILE_IN_CABINET_INFO_A*>(first);
    if (notification == SPFILENOTIFY_FILEINCABINET && lstrcmpA(file->NameInCabinet, "Leggimi.txt") == 0)
        file->NameInCabinet = LongName.c_str();
}

HRESULT WINAPI NoLinkObject(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID* object)
{
    *object = NULL;
    return REGDB_E_CLASSNOTREG;
}

std::string Cut(const std::string& text, size_t bufferSize)
{
    return text.substr(0, bufferSize - 1);
}

} // namespace

TEST_F(InstallPage, ReportsAndSkipsAFileItCantExtractAndGoesOnToDone)
{
    std::string program = program_.Path();
    // 244 characters: "\Quillstone.exe" just fits the 259 a path may have, the shortcuts' names don't.
    std::string deep = program + "\\" + std::string(200, 'd');
    deep += "\\" + std::string(244 - deep.size() - 1, 'e');
    ASSERT_EQ(244u, deep.size());
    const std::string tooLong = SystemMessage(ERROR_FILENAME_EXCED_RANGE);
    const std::string donation = "Shareware Donation For Quillstone.url";
    const std::string website = "Visit The Quillstone Website.url";
    struct Box {
        std::string Begins, Ends;
    };
    const struct {
        const char* Case;
        NoticeFault Fault;
        std::string InstallDir;
        std::vector<Box> Boxes;
        std::vector<std::string> Skipped, Unlinked;
        bool Links;
        std::string FirstCopy; // the status line while the first file is copied
    } rows[] = {
        {"a file notice with an error code",
         FailNotice(SPFILENOTIFY_FILEINCABINET, "ReadMe.txt", ERROR_ACCESS_DENIED), program,
         {{"Error While Extracting ReadMe.txt:\n" + SystemMessage(ERROR_ACCESS_DENIED), ""}},
         {"ReadMe.txt"}, {}, true, Copying("Leggimi.txt")},
        // The source's name is SetupAPI's to choose.
        {"an error after an extraction",
         FailNotice(SPFILENOTIFY_FILEEXTRACTED, "Quillstone.hlp", ERROR_DISK_FULL), program,
         {{"Error While Extracting " + program + "\\Quillstone.hlp From ",
           ":\n" + SystemMessage(ERROR_DISK_FULL)}},
         {}, {}, true, Copying("Leggimi.txt")},
        {"a name too long for the status line and for any path", RenameLeggimi, program,
         {{Cut("Error While Extracting " + LongName + ":\n" + tooLong, MAX_PATH), ""}},
         {"Leggimi.txt"}, {}, true, Cut(Copying(LongName), 128)},
        {"a program folder too long for the shortcuts' names", nullptr, deep,
         {{"Error While Extracting " + donation + ":\n" + tooLong, ""},
          {"Error While Extracting " + website + ":\n" + tooLong, ""}},
         {donation, website}, {donation, website}, true, Copying("Leggimi.txt")},
        {"no link object", nullptr, program, {}, {}, {}, false, Copying("Leggimi.txt")},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Case);
        RemoveTree(program);
        CreateDirectoryA(program.c_str(), NULL);
        if (row.InstallDir == deep) {
            CreateDirectoryA(deep.substr(0, deep.rfind('\\')).c_str(), NULL);
            CreateDirectoryA(deep.c_str(), NULL);
        }
        SetInstallDir(row.InstallDir);
        RemoveTree(group_.Path());
        CreateDirectoryA(group_.Path().c_str(), NULL);
        DeleteFileA((desktop_.Path() + "\\Quillstone.lnk").c_str());
        ProgressPosition = -166;
        InstallerState = PAGE_INSTALL;
        Pauses.clear();
        Fault = row.Fault;
        std::unique_ptr<ImportPatch> links;
        if (!row.Links)
            links.reset(new ImportPatch(&CoCreateInstance, &NoLinkObject));
        MessageBoxRecorder boxes;
        boxes.WhileShown = [](const RecordedMessageBox&) { EXPECT_TRUE(IsWindowVisible(Page)); };

        ShowPage(PAGE_INSTALL);

        ASSERT_EQ(row.Boxes.size(), boxes.Boxes().size());
        for (size_t i = 0; i < row.Boxes.size(); ++i) {
            const RecordedMessageBox& box = boxes.Boxes()[i];
            const Box& expected = row.Boxes[i];
            EXPECT_EQ(expected.Begins, box.Text.substr(0, expected.Begins.size()));
            ASSERT_GE(box.Text.size(), expected.Ends.size());
            EXPECT_EQ(expected.Ends, box.Text.substr(box.Text.size() - expected.Ends.size()));
            EXPECT_EQ("Quillstone Installer - Error", box.Caption);
            EXPECT_EQ(UINT(MB_ICONWARNING), box.Style);
            EXPECT_EQ(Page, box.Owner);
        }
        // Every file moved the bar, the skipped ones too, and the run ended as usual.
        ASSERT_EQ(11u, Pauses.size());
        EXPECT_EQ(row.FirstCopy, Pauses[1].Status);
        EXPECT_EQ("Done!", Pauses[9].Status);
        EXPECT_EQ(PAGE_EXIT, InstallerState);
        EXPECT_FALSE(FileExists(TempDir));
        ExpectInstalledFiles(row.InstallDir, row.Skipped);
        ExpectLinks(row.InstallDir, group_.Path(), row.Links, desktop_.Path(), row.Links,
                    row.Unlinked);
    }
}

TEST_F(InstallPage, TakesTheFirstFreeTemporaryFolderName)
{
    const std::string temp = TempFolder();
    const struct {
        std::vector<int> Present;
        int Taken;
    } rows[] = {{{}, 0}, {{0, 1, 2}, 3}, {{0, 2}, 1}, {{0, 1, 2, 3, 4, 5, 6, 7, 8}, 9}};
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::PrintToString(row.Present));
        for (int digit : row.Present)
            CreateDirectoryA((temp + "qs" + std::to_string(digit)).c_str(), NULL);
        CreateTempDirectory();
        // The temporary path's own backslash and the joining one stand side by side.
        EXPECT_EQ(temp + "\\qs" + std::to_string(row.Taken), TempDir);
        EXPECT_TRUE(GetFileAttributesA(TempDir) & FILE_ATTRIBUTE_DIRECTORY);
        RemoveDirectoryA(TempDir);
        for (int digit : row.Present)
            RemoveDirectoryA((temp + "qs" + std::to_string(digit)).c_str());
    }
    EXPECT_FALSE(TempFoldersLeft());
}

namespace {

HRSRC WINAPI NoResource(HMODULE, LPCSTR, LPCSTR)
{
    return NULL;
}

std::string ThrownBy(const std::function<void()>& action)
{
    try {
        action();
    } catch (const FailureText& failure) {
        return failure.Text();
    }
    return "nothing thrown";
}

} // namespace

TEST_F(InstallPage, ATemporaryFolderOrCabinetThatCantBeMadeEndsTheRunBeforeAnyFileIsWritten)
{
    const std::string temp = TempFolder();
    const struct {
        const char* Case;
        bool AllNamesTaken;
        bool NoCabinetResource;
        const char* Thrown;
        bool TempDirMade;
    } rows[] = {
        {"all ten temporary names taken", true, false, "Can't Create Temporary Directory", false},
        {"no cabinet resource", false, true, "Can't Extract File", true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Case);
        if (row.AllNamesTaken)
            for (int digit = 0; digit <= 9; ++digit)
                CreateDirectoryA((temp + "qs" + std::to_string(digit)).c_str(), NULL);
        std::unique_ptr<ImportPatch> resources;
        if (row.NoCabinetResource)
            resources.reset(new ImportPatch(&FindResourceA, &NoResource));
        InstallerState = PAGE_INSTALL;
        MessageBoxRecorder boxes;

        EXPECT_EQ(row.Thrown, ThrownBy([] { ShowPage(PAGE_INSTALL); }));

        resources.reset();
        EXPECT_EQ(PAGE_INSTALL, InstallerState);
        EXPECT_TRUE(boxes.Boxes().empty()); // the top-level handler shows it
        EXPECT_EQ((std::vector<std::string>{".", ".."}), FilesMatching(program_.Path(), "*"));
        EXPECT_TRUE(FilesMatching(group_.Path(), "*.lnk").empty());
        if (row.TempDirMade) {
            // Left as it was: no empty or stray Setup.cab in it.
            EXPECT_EQ((std::vector<std::string>{".", ".."}), FilesMatching(TempDir, "*"));
            RemoveDirectoryA(TempDir);
        }
        for (int digit = 0; digit <= 9; ++digit)
            RemoveDirectoryA((temp + "qs" + std::to_string(digit)).c_str());
        EXPECT_FALSE(TempFoldersLeft());
        TearDown();
    }
}

TEST_F(InstallPage, WritesTheCabinetResourceByteForByteOrThrows)
{
    HMODULE module = GetModuleHandleA(NULL);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(IDR_CABINET), "FILE");
    ASSERT_NE(nullptr, found);
    std::string cabinet(static_cast<const char*>(LockResource(LoadResource(module, found))),
                        SizeofResource(module, found));
    ScratchFolder folder;
    lstrcpynA(TempDir, folder.Path().c_str(), MAX_PATH);
    std::string path = folder.PathOf("Setup.cab");
    HWND page = CreateDialogParamA(module, MAKEINTRESOURCEA(IDD_INSTALL), NULL, PageDialogProc, 0);
    ASSERT_NE(nullptr, page);

    UnpackCabinet(page);
    EXPECT_TRUE(cabinet == ReadFileBytes(path));
    ASSERT_EQ(1u, Pauses.size());
    EXPECT_EQ("Unpacking Setup.cab...", Pauses[0].Status);

    // A folder in the way of the file.
    DeleteFileA(path.c_str());
    CreateDirectoryA(path.c_str(), NULL);
    EXPECT_EQ("Can't Extract File", ThrownBy([&] { UnpackCabinet(page); }));
    RemoveDirectoryA(path.c_str());

    // A temporary folder with no room left for the cabinet's name.
    lstrcpynA(TempDir, ("C:\\" + std::string(250, 't')).c_str(), MAX_PATH);
    EXPECT_EQ("Can't Extract File", ThrownBy([&] { UnpackCabinet(page); }));
    DestroyWindow(page);
}

TEST_F(InstallPage, RemovingTheTemporaryFolderDeletesOnlyItsFiles)
{
    // A stray file in the current drive's root that a missing folder must not reach.
    const std::string root = "\\qs-root-sentinel.txt";
    WriteFileBytes(root, "keep");
    const struct {
        const char* Case;
        std::vector<std::string> Files, Folders;
        bool Named, Removed;
    } rows[] = {
        {"the cabinet alone", {"Setup.cab"}, {}, true, true},
        {"several files", {"Setup.cab", "other.tmp"}, {}, true, true},
        {"a subfolder keeps the folder", {"Setup.cab"}, {"sub"}, true, false},
        {"no temporary folder at all", {}, {}, false, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Case);
        ScratchFolder folder;
        for (const std::string& name : row.Files)
            WriteFileBytes(folder.PathOf(name), "x");
        for (const std::string& name : row.Folders)
            CreateDirectoryA(folder.PathOf(name).c_str(), NULL);
        lstrcpynA(TempDir, row.Named ? folder.Path().c_str() : "", MAX_PATH);

        RemoveTempDirectory();

        EXPECT_EQ(!row.Removed, FileExists(folder.Path()));
        for (const std::string& name : row.Files)
            EXPECT_FALSE(FileExists(folder.PathOf(name))) << name;
        for (const std::string& name : row.Folders)
            EXPECT_TRUE(FileExists(folder.PathOf(name))) << name;
        EXPECT_TRUE(FileExists(root));
    }
    DeleteFileA(root.c_str());
}
