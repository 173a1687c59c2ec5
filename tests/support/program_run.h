// Runs a built program as a user would and deals with the message boxes it
// shows. The test program itself owns no window, so that a restart asked for
// by the program under test ends that program and not the test.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The Linux path that an environment variable of the test run names, as a Windows path.
std::string WindowsPathFromEnvironment(const char* environmentVariable);
// A Linux path as Wine sees it (on drive Z:).
std::string WindowsPathOf(const std::string& linuxPath);

// Makes Wine report a Windows version to programs of that file name:
// "win95", "win98", "nt40", "win2k", "winxp", "win31" (Win32s), "nt351";
// an empty version removes the setting.
void SetWindowsVersion(const std::string& programFileName, const std::string& version);

enum class BoxIcon { None, Error, Question, Warning, Information, Unknown };

struct ShownMessageBox {
    HWND Window;
    HWND Owner;
    std::string Text;
    std::string Caption;
    BoxIcon Icon;
};

// Fails the test, naming each difference, unless the box shows exactly this
// (expect_box.cpp: the one part that needs GoogleTest).
void ExpectBox(const ShownMessageBox& box, const std::string& text, const std::string& caption,
               BoxIcon icon, HWND owner);

// A file to open as the shell opens it on a double click (a link starts its
// target), and the file name of the program that this starts.
struct ShellOpen {
    std::string File;
    std::string Program;
};

class ProgramRun {
public:
    // Starts the command line with the given current directory.
    explicit ProgramRun(const std::string& commandLine, const std::string& directory = "C:\\");
    explicit ProgramRun(const ShellOpen& open);
    ~ProgramRun(); // ends a program that is still running
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    // Waits for the next message box of the program that was not reported yet.
    bool WaitForMessageBox(ShownMessageBox* box, DWORD timeoutMs = 30000);
    // Presses a button of the box (IDOK, IDYES, ...).
    void Answer(const ShownMessageBox& box, int buttonId);
    // Waits for the program to end; false if it still runs after the time-out.
    bool WaitForExit(DWORD* exitCode, DWORD timeoutMs = 30000);
    // True while the program runs.
    bool Running() const;
    // Visible top-level windows of the program with the given class ("#32770").
    std::vector<HWND> Windows(const char* className) const;
    // Waits for a visible top-level window of the class and caption.
    HWND WaitForWindow(const char* className, const char* caption, DWORD timeoutMs = 30000) const;

    DWORD ProcessId() const { return process_.dwProcessId; }

private:
    PROCESS_INFORMATION process_;
    std::vector<HWND> reported_;
};

// Enables the backup, restore and shutdown privileges in the test's own token;
// programs started afterwards inherit them. Wine checks the first two in every
// Windows version it pretends to be, also where the program rightly enables
// none (9x).
void GrantSavePrivilegesToChildren();

// A list view of another program, read through memory of that process: the
// list's messages carry pointers that only mean something there.
class RemoteListView {
public:
    RemoteListView(const ProgramRun& run, HWND list);
    ~RemoteListView();
    RemoteListView(const RemoteListView&) = delete;
    RemoteListView& operator=(const RemoteListView&) = delete;

    int Count() const;
    std::string Text(int row, int column) const;
    unsigned StateImage(int row) const; // 0, 1 (empty box) or 2 (ticked)
    RECT ItemRect(int row, int part) const; // LVIR_BOUNDS, LVIR_LABEL..., list client pixels

private:
    HWND list_;
    HANDLE process_;
    char* remote_;
};

// A real click at a point of a window's client area.
void ClickAt(HWND window, POINT client);
