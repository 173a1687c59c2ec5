#include "compactor_timing.h"

#include "../../compactor/resource.h"
#include "floor_events.h"

namespace {

const char Program[] = "the compactor";

// The main window once it shows, or null.
HWND MainWindowOf(const ProgramRun& run)
{
    for (HWND window : run.Windows("#32770")) {
        char caption[64] = "";
        GetWindowTextA(window, caption, sizeof caption);
        if (lstrcmpA(caption, "Quillstone") == 0)
            return window;
    }
    return NULL;
}

// Throws unless the list holds exactly the rows, each with a compacted size.
void CheckRows(const ProgramRun& run, HWND list, const std::vector<std::string>& rows)
{
    RemoteListView view(run, list);
    std::vector<std::string> shown;
    for (int row = 0; row < view.Count(); ++row) {
        shown.push_back(view.Text(row, 0));
        if (view.Text(row, 2).empty())
            throw BenchFailure("the compactor lists " + shown.back() + " without a compacted size");
    }
    if (shown != rows) {
        std::string names;
        for (const std::string& name : shown)
            names += " \"" + name + "\"";
        throw BenchFailure("the compactor lists other hives than expected:" + names);
    }
}

// Made before the floor program starts, which only opens them.
struct FloorEvents {
    HANDLE Saved = CreateEventA(NULL, TRUE, FALSE, FloorSavedEvent);
    HANDLE MayEnd = CreateEventA(NULL, TRUE, FALSE, FloorMayEndEvent);
    FloorEvents() = default;
    FloorEvents(const FloorEvents&) = delete;
    FloorEvents& operator=(const FloorEvents&) = delete;
    ~FloorEvents()
    {
        CloseHandle(Saved);
        CloseHandle(MayEnd);
    }
};

} // namespace

RunFigures TimeCompactorToReadyList(const std::string& commandLine,
                                    const std::vector<std::string>& rows)
{
    Stopwatch clock;
    ProgramRun run(commandLine);
    MemoryWatch memory(run);
    HWND window = NULL, list = NULL;
    // The list is shown once every hive is saved and its row filled.
    for (int poll = 1; !list || !IsWindowVisible(list); ++poll) {
        CheckStillGoing(run, poll, clock, "the compactor did not show its list");
        Sleep(PollMs);
        if (!window && (window = MainWindowOf(run)) != NULL)
            list = GetDlgItem(window, IDC_HIVE_LIST);
    }
    double ready = clock.Milliseconds();
    CheckRows(run, list, rows);
    memory.Read(); // closing may take less than a poll
    PostMessageA(window, WM_CLOSE, 0, 0);
    WaitForCleanEnd(run, memory, clock, Program);
    return {ready, memory.Figures(Program)};
}

RunFigures TimeFloor(const std::string& commandLine, const char* program)
{
    FloorEvents events;
    Stopwatch clock;
    ProgramRun run(commandLine);
    MemoryWatch memory(run);
    for (int poll = 1; WaitForSingleObject(events.Saved, PollMs) == WAIT_TIMEOUT; ++poll)
        CheckStillGoing(run, poll, clock, std::string(program) + " did not save every key");
    double saved = clock.Milliseconds();
    memory.Read();
    SetEvent(events.MayEnd);
    WaitForCleanEnd(run, memory, clock, program);
    return {saved, memory.Figures(program)};
}
