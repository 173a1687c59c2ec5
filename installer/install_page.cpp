#include "install_page.h"

#include <commctrl.h>
#include <setupapi.h>

#include <cstdio>
#include <cstring>

#include "failure.h"
#include "file_resource.h"
#include "install_options.h"
#include "message_pump.h"
#include "page.h"
#include "paths.h"
#include "resource.h"
#include "shortcuts.h"

char TempDir[MAX_PATH];

static const DWORD ClosingPause = 1000;
static const COLORREF BarColour = RGB(95, 138, 197);
static const char CabinetName[] = "Setup.cab";
static const char ExtractFailure[] = "Can't Extract File";

// Status lines only show what happens: one too long for its 128 bytes is cut.
static const size_t StatusSize = 128;

static void ThrowIncompleteInstallation();
static bool ExtractCabinet(HWND page);

void RunInstallPage(HWND page)
{
    SendDlgItemMessageA(page, IDC_PROGRESS, PBM_SETBARCOLOR, 0, BarColour);
    SendDlgItemMessageA(page, IDC_PROGRESS, PBM_SETRANGE, 0, MAKELPARAM(0, 1000));
    ShowWindow(page, SW_SHOW);
    PumpPendingMessages();
    CreateTempDirectory();
    UnpackCabinet(page);
    bool complete = ExtractCabinet(page);
    // After an extraction that stopped short, no link leads to a missing file.
    CreateProgramGroup(page, !complete);
    CreateDesktopShortcut(page, !complete);
    if (!complete)
        ThrowIncompleteInstallation();
    StepProgress(page, "Done!");
    RemoveTempDirectory();
    Sleep(ClosingPause);
    DestroyWindow(page);
    InstallerState = PAGE_EXIT;
}

void CreateTempDirectory()
{
    // A folder left by an earlier run exists already and moves on to the next digit.
    char tempPath[MAX_PATH];
    DWORD length = GetTempPathA(sizeof tempPath, tempPath);
    if (length > 0 && length < sizeof tempPath)
        for (char name[] = "qs0"; name[2] <= '9'; ++name[2])
            if (JoinPath(TempDir, tempPath, name) && CreateDirectoryA(TempDir, NULL))
                return;
    TempDir[0] = '\0';
    Check(false, "Can't Create Temporary Directory");
}

// Writes the bytes of a "FILE" resource to a new file at the path; throws
// "Can't Extract File" when the resource can't be read or the file written.
static void WriteFileResource(int id, const char* path)
{
    // A resource that can't be read is not written out as an empty or stray file.
    const char* data;
    DWORD size;
    Check(LoadFileResource(id, &data, &size) == 0, ExtractFailure);
    FILE* file = fopen(path, "wb");
    Check(file != NULL, ExtractFailure);
    // A cabinet cut short would only fail later, file by file, without a word.
    bool written = fwrite(data, size, 1, file) == 1;
    Check(fclose(file) == 0 && written, ExtractFailure);
}

void UnpackCabinet(HWND page)
{
    char status[StatusSize];
    snprintf(status, sizeof status, "Unpacking %s...", CabinetName);
    StepProgress(page, status);
    char cabinet[MAX_PATH];
    Check(JoinPath(cabinet, TempDir, CabinetName), ExtractFailure);
    WriteFileResource(IDR_CABINET, cabinet);
}

// The file SetupAPI was asked to extract and has not reported yet: where it
// stopped when it gives up without a notice.
static char FileInProgress[MAX_PATH];

// The system's text for the code, caught here: nothing thrown may leave the
// callback, which runs inside SetupAPI.
static void ShowExtractionError(HWND page, const char* subject, DWORD code)
{
    char reason[MAX_PATH] = "";
    try {
        ThrowSystemError(code);
    } catch (const FailureText& failure) {
        lstrcpynA(reason, failure.Text(), sizeof reason);
    }
    char message[MAX_PATH];
    snprintf(message, sizeof message, "Error While Extracting %s:\n%s", subject, reason);
    ShowPageError(page, message);
}

static UINT OnFileInCabinet(HWND page, FILE_IN_CABINET_INFO_A* file)
{
    // The step comes first, so a file that is skipped has still moved the bar.
    char status[StatusSize];
    snprintf(status, sizeof status, "Copying %s...", file->NameInCabinet);
    StepProgress(page, status);
    DWORD error = file->Win32Error;
    // A target that does not fit is not cut into the name of another file.
    if (!JoinPath(file->FullTargetName, InstallDir, file->NameInCabinet) && !error)
        error = ERROR_FILENAME_EXCED_RANGE;
    if (error == 0) {
        lstrcpynA(FileInProgress, file->NameInCabinet, sizeof FileInProgress);
        return FILEOP_DOIT;
    }
    ShowExtractionError(page, file->NameInCabinet, error);
    return FILEOP_SKIP;
}

static void OnFileExtracted(HWND page, const FILEPATHS_A* paths)
{
    FileInProgress[0] = '\0';
    if (paths->Win32Error == 0)
        return;
    char subject[2 * MAX_PATH + 8];
    snprintf(subject, sizeof subject, "%s From %s", paths->Target, paths->Source);
    ShowExtractionError(page, subject, paths->Win32Error);
}

// SetupAPI's handler for ExtractCabinet; the context is the page. A file
// whose notice carries an error is reported and skipped; an error after an
// extraction is reported; either way the next file follows.
static UINT CALLBACK CabinetCallback(PVOID context, UINT notification, UINT_PTR first, UINT_PTR)
{
    HWND page = static_cast<HWND>(context);
    switch (notification) {
    case SPFILENOTIFY_FILEINCABINET:
        return OnFileInCabinet(page, reinterpret_cast<FILE_IN_CABINET_INFO_A*>(first));
    case SPFILENOTIFY_FILEEXTRACTED:
        // The next file follows whatever happened to this one.
        OnFileExtracted(page, reinterpret_cast<const FILEPATHS_A*>(first));
        return NO_ERROR;
    default:
        return NO_ERROR;
    }
}

// Extracts every file of TempDir's Setup.cab into InstallDir, one step each.
// When SetupAPI gives up part-way, reports the file it stopped at with the
// reason, as a file's error box, and returns false.
static bool ExtractCabinet(HWND page)
{
    FileInProgress[0] = '\0';
    char cabinet[MAX_PATH];
    if (JoinPath(cabinet, TempDir, CabinetName) &&
        SetupIterateCabinetA(cabinet, 0, CabinetCallback, page))
        return true;
    // SetupAPI stops at a file it can't write (a file in use, a program folder
    // that is a file) without the notice that would report it.
    DWORD error = GetLastError();
    ShowExtractionError(page, FileInProgress[0] ? FileInProgress : CabinetName,
                        error ? error : ERROR_GEN_FAILURE);
    return false;
}

// Lists the cabinet's files without extracting any, adding to the text in the
// context a line for each one that is not in the program folder.
static UINT CALLBACK NoteMissingFile(PVOID context, UINT notification, UINT_PTR first, UINT_PTR)
{
    if (notification != SPFILENOTIFY_FILEINCABINET)
        return NO_ERROR;
    const char* name = reinterpret_cast<FILE_IN_CABINET_INFO_A*>(first)->NameInCabinet;
    char path[MAX_PATH];
    if (!JoinPath(path, InstallDir, name) ||
        GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) {
        char* text = static_cast<char*>(context);
        size_t length = strlen(text);
        snprintf(text + length, MAX_PATH - length, "\n%s", name);
    }
    return FILEOP_SKIP;
}

// Ends a run whose extraction stopped short as a failure, not with "Done!",
// naming the cabinet's files that are missing from the program folder.
static void ThrowIncompleteInstallation()
{
    char missing[MAX_PATH] = "", cabinet[MAX_PATH];
    if (JoinPath(cabinet, TempDir, CabinetName))
        SetupIterateCabinetA(cabinet, 0, NoteMissingFile, missing);
    RemoveTempDirectory();
    char text[MAX_PATH];
    snprintf(text, sizeof text, "Quillstone Was Not Completely Installed.%s%s",
             missing[0] ? "\nMissing From The Program Folder:" : "", missing);
    Check(false, text);
}

void RemoveTempDirectory()
{
    // Without a folder, the pattern would search the current drive's root.
    if (!TempDir[0])
        return;
    char pattern[MAX_PATH];
    WIN32_FIND_DATAA found;
    HANDLE search = JoinPath(pattern, TempDir, "*.*") ? FindFirstFileA(pattern, &found)
                                                      : INVALID_HANDLE_VALUE;
    if (search != INVALID_HANDLE_VALUE) {
        do {
            // A subfolder is left alone; then the folder itself stays too.
            char file[MAX_PATH];
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                JoinPath(file, TempDir, found.cFileName))
                DeleteFileA(file);
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(TempDir);
}
