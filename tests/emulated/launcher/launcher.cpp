// The hands and eyes of a scenario in the emulated PC: a 32-bit console
// program that starts a shipped program with the backup, restore and shutdown
// privileges enabled (Wine checks them in every Windows version it plays),
// takes the scenario's steps on its windows and message boxes, and prints
// what it saw, one fact a line, for the host to compare with what is expected.
//   qs_launcher STEP [ARGUMENT]... [STEP [ARGUMENT]...]...
// The steps, taken in order; the first that fails ends the run with a
// "failed:" fact:
//   copy FROM TO        copies a file, inside the session that runs the program
//   log CHANNELS        Wine debug channels for programs started afterwards
//   start COMMAND       starts the program (current folder C:\)
//   window CAPTION      its dialog of that caption          fact: window CAPTION
//   page CAPTION        a new page of that caption          fact: page "CAPTION"
//   text ID / line ID TEXT   a control's text / once it shows TEXT   fact: text ID: ...
//   press ID            a mouse click in the middle of a control
//   key F1              a key press
//   shot NAME MS        a picture of the screen after MS milliseconds
//   rows / toggle ROW   the hive list's rows / a click on a row's box   fact: row N: ...
//   box BUTTON          the next message box, answered      fact: box CAPTION: TEXT (icon)
//   exit                the end, any box answered OK        facts: window/box ..., exit CODE
//   help FILE CONTEXT   the help viewer at a context number fact: help CONTEXT: topic
//   links FOLDER        the folder's shell links            facts: links N, link ...
//   wait-file PATH / wait-gone KEY\VALUE / wait-log TEXT   what a restart or a
//                       program leaves: a file, a value of HKLM gone, a line of Wine's log
// It owns no window, so the restart that a compactor asks for ends the
// compactor and not the launcher.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "help_viewer.h"
#include "installer_run.h"
#include "program_run.h"
#include "scratch.h"
#include "screenshot.h"
#include "shell_link.h"

namespace {

// Everything is slower in the emulated PC: a session's first program takes up
// to 40 s to start, and saving a hive far longer than on this machine.
const DWORD Patience = 180000;
const int HiveListId = 1000;

std::unique_ptr<ProgramRun> Run;
HWND Current; // the window or page the last step found

void Fact(const std::string& text)
{
    printf("%s\n", text.c_str());
    fflush(stdout);
}

// Control characters as C escapes, so that every fact is one line.
std::string Escaped(const std::string& text)
{
    std::string escaped;
    for (char c : text) {
        if (c == '\r')
            escaped += "\\r";
        else if (c == '\n')
            escaped += "\\n";
        else if (c == '\t')
            escaped += "\\t";
        else
            escaped += c;
    }
    return escaped;
}

const char* IconName(BoxIcon icon)
{
    switch (icon) {
    case BoxIcon::None:
        return "no icon";
    case BoxIcon::Error:
        return "error";
    case BoxIcon::Question:
        return "question";
    case BoxIcon::Warning:
        return "warning";
    case BoxIcon::Information:
        return "information";
    case BoxIcon::Unknown:
        break;
    }
    return "unknown icon";
}

void ReportBox(const ShownMessageBox& box)
{
    Fact("box " + box.Caption + ": " + Escaped(box.Text) + " (" + IconName(box.Icon) + ")");
}

ProgramRun& Running()
{
    if (!Run)
        throw std::runtime_error("no program was started");
    return *Run;
}

int ButtonId(const std::string& name)
{
    const struct {
        const char* Name;
        int Id;
    } buttons[] = {{"ok", IDOK}, {"cancel", IDCANCEL}, {"yes", IDYES}, {"no", IDNO}};
    for (const auto& button : buttons)
        if (name == button.Name)
            return button.Id;
    throw std::runtime_error("no button called " + name);
}

HWND Control(const std::string& id)
{
    HWND control = GetDlgItem(Current, atoi(id.c_str()));
    if (!control)
        throw std::runtime_error("the window has no control " + id);
    return control;
}

bool WaitUntil(bool (*done)(const std::string&), const std::string& what)
{
    for (DWORD start = GetTickCount(); GetTickCount() - start < Patience; Sleep(100))
        if (done(what))
            return true;
    return false;
}

void Copy(char** arguments)
{
    if (!CopyFileA(arguments[0], arguments[1], FALSE))
        throw std::runtime_error(std::string("can't copy ") + arguments[0]);
}

// Debug channels for the programs started from now on (their log goes to
// the launcher's standard error), e.g. "fixme+reg,trace+file".
void Log(char** arguments)
{
    SetEnvironmentVariableA("WINEDEBUG", (std::string("-all,") + arguments[0]).c_str());
}

void Start(char** arguments)
{
    Run.reset(new ProgramRun(arguments[0]));
    Current = NULL;
}

void Window(char** arguments)
{
    Current = Running().WaitForWindow("#32770", arguments[0], Patience);
    if (!Current)
        throw std::runtime_error(std::string("no window \"") + arguments[0] + "\"");
    Fact(std::string("window ") + arguments[0]);
}

void Page(char** arguments)
{
    HWND old = Current;
    Current = NULL;
    for (DWORD start = GetTickCount(); !Current && Running().Running() &&
                                       GetTickCount() - start < Patience;)
        Current = WaitForPage(Running(), arguments[0], old);
    if (!Current)
        throw std::runtime_error(std::string("no page \"") + arguments[0] + "\"");
    Fact(std::string("page \"") + arguments[0] + "\"");
}

void Text(char** arguments)
{
    Control(arguments[0]);
    std::string text = ControlText(Current, atoi(arguments[0]));
    Fact(std::string("text ") + arguments[0] + ": " + Escaped(text));
}

// Waits until a control shows the text: a picture taken then is the same in
// every run. The text is read as Wine keeps it, without a message: a page
// that is busy between its steps answers none.
void Line(char** arguments)
{
    HWND control = Control(arguments[0]);
    char shown[256] = "";
    for (DWORD start = GetTickCount(); GetTickCount() - start < Patience && IsWindow(control);
         Sleep(10)) {
        GetWindowTextA(control, shown, sizeof shown);
        if (strcmp(shown, arguments[1]) == 0)
            break;
    }
    Fact(std::string("text ") + arguments[0] + ": " + Escaped(shown));
}

// A click in the middle of a control, as a user's mouse gives it.
void Press(char** arguments)
{
    HWND control = Control(arguments[0]);
    RECT client;
    GetClientRect(control, &client);
    ClickAt(control, {client.right / 2, client.bottom / 2});
}

void Key(char** arguments)
{
    if (strcmp(arguments[0], "F1") != 0)
        throw std::runtime_error(std::string("no key called ") + arguments[0]);
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[1].ki.wVk = VK_F1;
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof(INPUT));
}

// A picture of the screen, taken once the last change had the given
// milliseconds to be painted.
void Shot(char** arguments)
{
    Sleep(strtoul(arguments[1], NULL, 10));
    SaveScreenshot(arguments[0]);
}

HWND HiveList()
{
    HWND list = Control(std::to_string(HiveListId));
    for (DWORD start = GetTickCount(); !IsWindowVisible(list); Sleep(100))
        if (GetTickCount() - start > Patience)
            throw std::runtime_error("the hives were never listed");
    return list;
}

std::string RowFact(const RemoteListView& list, int row)
{
    std::string fact = "row " + std::to_string(row) + ":";
    for (int column = 0; column < 4; ++column)
        fact += (column ? " | " : " ") + list.Text(row, column);
    return fact + (list.StateImage(row) == 2 ? " | checked" : " | unchecked");
}

void Rows(char**)
{
    RemoteListView list(Running(), HiveList());
    Fact("rows " + std::to_string(list.Count()));
    for (int row = 0; row < list.Count(); ++row)
        Fact(RowFact(list, row));
}

// A click on the row's check box.
void Toggle(char** arguments)
{
    HWND listView = HiveList();
    RemoteListView list(Running(), listView);
    int row = atoi(arguments[0]);
    RECT bounds = list.ItemRect(row, LVIR_BOUNDS);
    unsigned before = list.StateImage(row);
    ClickAt(listView, {bounds.left + 8, (bounds.top + bounds.bottom) / 2});
    for (int wait = 0; wait < 100 && list.StateImage(row) == before; ++wait)
        Sleep(100);
    Fact(RowFact(list, row));
}

void Box(char** arguments)
{
    ShownMessageBox box;
    if (!Running().WaitForMessageBox(&box, Patience))
        throw std::runtime_error("no message box");
    ReportBox(box);
    Running().Answer(box, ButtonId(arguments[0]));
}

// Message boxes are told as boxes: they have a text (0xFFFF) and an icon place (0x0440).
bool IsMessageBox(HWND window)
{
    return GetDlgItem(window, 0xFFFF) && GetDlgItem(window, 0x0440);
}

// Waits for the end, answering OK to any box and telling every box and
// window that showed on the way.
void Exit(char**)
{
    std::vector<HWND> told;
    DWORD exitCode = 0;
    for (DWORD start = GetTickCount(); !Running().WaitForExit(&exitCode, 100);) {
        if (GetTickCount() - start > 2 * Patience)
            throw std::runtime_error("the program did not end");
        ShownMessageBox box;
        if (Running().WaitForMessageBox(&box, 0)) {
            ReportBox(box);
            Running().Answer(box, IDOK);
            told.push_back(box.Window);
        }
        for (HWND window : Running().Windows("#32770"))
            if (std::find(told.begin(), told.end(), window) == told.end() && window != Current &&
                !IsMessageBox(window)) {
                char caption[256] = "";
                GetWindowTextA(window, caption, sizeof caption);
                Fact(std::string("window ") + caption);
                told.push_back(window);
            }
    }
    Fact("exit " + std::to_string(int(exitCode)));
}

void Help(char** arguments)
{
    // For a missing file the viewer asks where it is, and WinHelpA waits for the answer.
    if (!FileExists(arguments[0]))
        throw std::runtime_error(std::string("there is no ") + arguments[0]);
    if (!StartViewer())
        throw std::runtime_error("the help viewer did not start");
    DWORD context = strtoul(arguments[1], NULL, 10);
    if (!WinHelpA(NULL, arguments[0], HELP_CONTEXT, context))
        throw std::runtime_error("WinHelpA failed");
    HWND viewer = WaitForViewer(Patience);
    if (!viewer)
        throw std::runtime_error("the help viewer showed no window");
    std::string topic = WaitForTopicText(viewer, "", Patience);
    Fact(std::string("help ") + arguments[1] + ": " + Escaped(topic));
    CloseViewer();
}

void Links(char** arguments)
{
    std::vector<std::string> names = FilesMatching(arguments[0], "*.lnk");
    std::sort(names.begin(), names.end());
    Fact(std::string("links ") + std::to_string(names.size()));
    for (const std::string& name : names) {
        ShellLinkFields link = ReadShellLink(std::string(arguments[0]) + "\\" + name);
        Fact("link " + name + ": " + link.Target + " | " + link.Description + " | " +
             link.WorkingDirectory);
    }
}

bool FileShown(const std::string& path)
{
    return FileExists(path);
}

void WaitFile(char** arguments)
{
    bool there = WaitUntil(FileShown, arguments[0]);
    Fact(std::string("file ") + arguments[0] + (there ? ": there" : ": missing"));
}

bool ValueGone(const std::string& keyAndValue)
{
    size_t slash = keyAndValue.rfind('\\');
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyAndValue.substr(0, slash).c_str(), 0, KEY_READ,
                      &key) != ERROR_SUCCESS)
        return true;
    bool gone = RegQueryValueExA(key, keyAndValue.substr(slash + 1).c_str(), NULL, NULL, NULL,
                                 NULL) != ERROR_SUCCESS;
    RegCloseKey(key);
    return gone;
}

// A value under HKEY_LOCAL_MACHINE that the restart removes once it has
// carried out what the value asked for.
void WaitGone(char** arguments)
{
    bool gone = WaitUntil(ValueGone, arguments[0]);
    Fact(std::string("value ") + arguments[0] + (gone ? ": gone" : ": still there"));
}

// Waits until the Wine log (QS_WINE_LOG) has a line with the text, and tells
// the line from there on, unescaped.
void WaitLog(char** arguments)
{
    std::string log = WindowsPathFromEnvironment("QS_WINE_LOG"), found;
    for (DWORD start = GetTickCount(); found.empty() && GetTickCount() - start < Patience;
         Sleep(200)) {
        std::string text = ReadFileBytes(log);
        size_t at = text.find(arguments[0]);
        if (at != std::string::npos)
            found = text.substr(at, text.find('\n', at) - at);
    }
    if (found.empty())
        throw std::runtime_error(std::string("Wine logged no ") + arguments[0]);
    for (size_t at = found.find("\\\\"); at != std::string::npos; at = found.find("\\\\", at + 1))
        found.erase(at, 1);
    Fact("logged " + found);
}

struct Step {
    const char* Name;
    int Arguments;
    void (*Take)(char** arguments);
};

const Step Steps[] = {
    {"copy", 2, Copy},         {"log", 1, Log},           {"start", 1, Start},
    {"window", 1, Window},     {"page", 1, Page},         {"text", 1, Text},
    {"line", 2, Line},         {"press", 1, Press},       {"key", 1, Key},
    {"shot", 2, Shot},         {"rows", 0, Rows},         {"toggle", 1, Toggle},
    {"box", 1, Box},           {"exit", 0, Exit},         {"help", 2, Help},
    {"links", 1, Links},       {"wait-file", 1, WaitFile}, {"wait-gone", 1, WaitGone},
    {"wait-log", 1, WaitLog},
};

} // namespace

int main(int argc, char** argv)
{
    GrantSavePrivilegesToChildren();
    for (int at = 1; at < argc;) {
        const Step* step = NULL;
        for (const Step& candidate : Steps)
            if (strcmp(argv[at], candidate.Name) == 0)
                step = &candidate;
        if (!step || at + step->Arguments >= argc) {
            Fact(std::string("failed: no step ") + argv[at] + " with its arguments");
            return 2;
        }
        try {
            step->Take(argv + at + 1);
        } catch (const std::exception& failure) {
            Fact(std::string("failed: ") + argv[at] + ": " + failure.what());
            return 1;
        }
        at += 1 + step->Arguments;
    }
    return 0;
}
