#include "program_run.h"

#include <commctrl.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <cstdlib>
#include <stdexcept>

std::string WindowsPathOf(const std::string& linuxPath)
{
    std::string path = "Z:" + linuxPath;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

std::string WindowsPathFromEnvironment(const char* environmentVariable)
{
    const char* path = getenv(environmentVariable);
    if (!path)
        throw std::runtime_error(std::string("the test run does not set ") + environmentVariable);
    return WindowsPathOf(path);
}

void SetWindowsVersion(const std::string& programFileName, const std::string& version)
{
    std::string key = "Software\\Wine\\AppDefaults\\" + programFileName;
    if (version.empty()) {
        RegDeleteTreeA(HKEY_CURRENT_USER, key.c_str());
        return;
    }
    HKEY handle;
    RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &handle,
                    NULL);
    RegSetValueExA(handle, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version.c_str()),
                   static_cast<DWORD>(version.size() + 1));
    RegCloseKey(handle);
}

ProgramRun::ProgramRun(const std::string& commandLine, const std::string& directory)
{
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    std::string line = commandLine;
    if (!CreateProcessA(NULL, &line[0], NULL, NULL, FALSE, 0, NULL, directory.c_str(), &startup,
                        &process_))
        throw std::runtime_error("can't start " + commandLine);
}

// A process of that file name started by this one, or null.
static HANDLE OpenChildNamed(const std::string& program, DWORD* processId)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    HANDLE process = NULL;
    for (BOOL more = Process32First(snapshot, &entry); more && !process;
         more = Process32Next(snapshot, &entry)) {
        if (entry.th32ParentProcessID == GetCurrentProcessId() &&
            lstrcmpiA(entry.szExeFile, program.c_str()) == 0) {
            process = OpenProcess(PROCESS_ALL_ACCESS, FALSE, entry.th32ProcessID);
            *processId = entry.th32ProcessID;
        }
    }
    CloseHandle(snapshot);
    return process;
}

ProgramRun::ProgramRun(const ShellOpen& open) : process_()
{
    SHELLEXECUTEINFOA execute = {};
    execute.cbSize = sizeof execute;
    execute.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    execute.lpVerb = "open";
    execute.lpFile = open.File.c_str();
    execute.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExA(&execute))
        throw std::runtime_error("the shell can't open " + open.File);
    process_.hProcess = execute.hProcess;
    if (process_.hProcess) {
        process_.dwProcessId = GetProcessId(process_.hProcess);
        return;
    }
    // Wine's shell starts a link's target itself and hands back no process.
    for (int wait = 0; wait < 200 && !process_.hProcess; ++wait) {
        process_.hProcess = OpenChildNamed(open.Program, &process_.dwProcessId);
        if (!process_.hProcess)
            Sleep(50);
    }
    if (!process_.hProcess)
        throw std::runtime_error(open.File + " started no " + open.Program);
}

ProgramRun::~ProgramRun()
{
    if (Running()) {
        TerminateProcess(process_.hProcess, 1);
        WaitForSingleObject(process_.hProcess, 5000);
    }
    if (process_.hThread)
        CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
}

bool ProgramRun::Running() const
{
    return WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

namespace {
struct WindowSearch {
    DWORD ProcessId;
    const char* ClassName;
    std::vector<HWND> Found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM parameter)
{
    auto search = reinterpret_cast<WindowSearch*>(parameter);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    char className[64];
    GetClassNameA(window, className, sizeof className);
    if (processId == search->ProcessId && IsWindowVisible(window) &&
        lstrcmpA(className, search->ClassName) == 0)
        search->Found.push_back(window);
    return TRUE;
}

std::string WindowText(HWND window)
{
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// The screen's pixels of a 32 x 32 area against an icon drawn on the same background.
unsigned long IconDifference(HDC screenCopy, HICON icon)
{
    HDC drawn = CreateCompatibleDC(screenCopy);
    HBITMAP bitmap = CreateCompatibleBitmap(screenCopy, 32, 32);
    HGDIOBJ old = SelectObject(drawn, bitmap);
    HBRUSH background = CreateSolidBrush(GetPixel(screenCopy, 0, 0));
    RECT all = {0, 0, 32, 32};
    FillRect(drawn, &all, background);
    DeleteObject(background);
    DrawIconEx(drawn, 0, 0, icon, 32, 32, 0, NULL, DI_NORMAL);
    unsigned long difference = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            COLORREF a = GetPixel(screenCopy, x, y), b = GetPixel(drawn, x, y);
            difference += abs(GetRValue(a) - GetRValue(b)) + abs(GetGValue(a) - GetGValue(b)) +
                          abs(GetBValue(a) - GetBValue(b));
        }
    SelectObject(drawn, old);
    DeleteObject(bitmap);
    DeleteDC(drawn);
    return difference;
}

// Which system icon the box shows, read off the screen: the icon belongs to
// the other process, so its handle can't be asked.
BoxIcon ReadBoxIcon(HWND box)
{
    HWND iconControl = GetDlgItem(box, 0x0440);
    if (!iconControl || !IsWindowVisible(iconControl))
        return BoxIcon::None;
    RECT area;
    GetWindowRect(iconControl, &area);
    HDC screen = GetDC(NULL);
    HDC copy = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 32, 32);
    HGDIOBJ old = SelectObject(copy, bitmap);
    BitBlt(copy, 0, 0, 32, 32, screen, area.left, area.top, SRCCOPY);
    const struct {
        LPCSTR Id;
        BoxIcon Icon;
    } candidates[] = {{IDI_HAND, BoxIcon::Error},
                      {IDI_QUESTION, BoxIcon::Question},
                      {IDI_EXCLAMATION, BoxIcon::Warning},
                      {IDI_ASTERISK, BoxIcon::Information}};
    BoxIcon icon = BoxIcon::Unknown;
    for (const auto& candidate : candidates)
        if (IconDifference(copy, LoadIconA(NULL, candidate.Id)) == 0)
            icon = candidate.Icon;
    SelectObject(copy, old);
    DeleteObject(bitmap);
    DeleteDC(copy);
    ReleaseDC(NULL, screen);
    return icon;
}
} // namespace

std::vector<HWND> ProgramRun::Windows(const char* className) const
{
    WindowSearch search{process_.dwProcessId, className, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

HWND ProgramRun::WaitForWindow(const char* className, const char* caption, DWORD timeoutMs) const
{
    DWORD start = GetTickCount();
    do {
        for (HWND window : Windows(className))
            if (WindowText(window) == caption)
                return window;
        Sleep(50);
    } while (GetTickCount() - start < timeoutMs && Running());
    return NULL;
}

bool ProgramRun::WaitForMessageBox(ShownMessageBox* box, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    do {
        for (HWND window : Windows("#32770")) {
            // A message box has its text in the static control 0xFFFF and
            // an icon control 0x0440, shown or not; the programs' own
            // dialogs have no control 0x0440.
            HWND text = GetDlgItem(window, 0xFFFF);
            bool known = false;
            for (HWND reported : reported_)
                known = known || reported == window;
            if (!text || !GetDlgItem(window, 0x0440) || known)
                continue;
            reported_.push_back(window);
            box->Window = window;
            box->Owner = GetWindow(window, GW_OWNER);
            box->Text = WindowText(text);
            box->Caption = WindowText(window);
            // The icon is read once the box has painted it.
            box->Icon = BoxIcon::Unknown;
            for (int attempt = 0; attempt < 40 && box->Icon == BoxIcon::Unknown; ++attempt) {
                Sleep(100);
                box->Icon = ReadBoxIcon(window);
            }
            return true;
        }
        Sleep(50);
    } while (GetTickCount() - start < timeoutMs && Running());
    return false;
}

void ProgramRun::Answer(const ShownMessageBox& box, int buttonId)
{
    PostMessageA(box.Window, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box.Window, buttonId)));
}

bool ProgramRun::WaitForExit(DWORD* exitCode, DWORD timeoutMs)
{
    if (WaitForSingleObject(process_.hProcess, timeoutMs) != WAIT_OBJECT_0)
        return false;
    GetExitCodeProcess(process_.hProcess, exitCode);
    return true;
}

void GrantSavePrivilegesToChildren()
{
    HANDLE token;
    OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, &token);
    for (const char* name : {"SeBackupPrivilege", "SeRestorePrivilege", "SeShutdownPrivilege"}) {
        TOKEN_PRIVILEGES privileges = {};
        privileges.PrivilegeCount = 1;
        privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
        LookupPrivilegeValueA(NULL, name, &privileges.Privileges[0].Luid);
        AdjustTokenPrivileges(token, FALSE, &privileges, 0, NULL, NULL);
    }
    CloseHandle(token);
}

RemoteListView::RemoteListView(const ProgramRun& run, HWND list)
    : list_(list), process_(OpenProcess(PROCESS_ALL_ACCESS, FALSE, run.ProcessId()))
{
    remote_ = static_cast<char*>(
        VirtualAllocEx(process_, NULL, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    if (!remote_)
        throw std::runtime_error("can't reach the other program's memory");
}

RemoteListView::~RemoteListView()
{
    VirtualFreeEx(process_, remote_, 0, MEM_RELEASE);
    CloseHandle(process_);
}

int RemoteListView::Count() const
{
    return int(SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0));
}

unsigned RemoteListView::StateImage(int row) const
{
    return unsigned(SendMessageA(list_, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK)) >> 12;
}

std::string RemoteListView::Text(int row, int column) const
{
    // The item record first, its text buffer behind it.
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = remote_ + 512;
    item.cchTextMax = 512;
    WriteProcessMemory(process_, remote_, &item, sizeof item, NULL);
    SendMessageA(list_, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(remote_));
    char text[512] = "";
    ReadProcessMemory(process_, remote_ + 512, text, sizeof text - 1, NULL);
    return text;
}

RECT RemoteListView::ItemRect(int row, int part) const
{
    RECT rect = {};
    rect.left = part;
    WriteProcessMemory(process_, remote_, &rect, sizeof rect, NULL);
    SendMessageA(list_, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(remote_));
    ReadProcessMemory(process_, remote_, &rect, sizeof rect, NULL);
    return rect;
}

void ClickAt(HWND window, POINT client)
{
    ClientToScreen(window, &client);
    SetCursorPos(client.x, client.y);
    // Never so soon after the last click that the two make a double click.
    Sleep(GetDoubleClickTime() + 100);
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, input, sizeof(INPUT));
}
