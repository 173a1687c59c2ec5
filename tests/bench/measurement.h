// Measuring a built program's run under Wine: a stopwatch from the start of
// its process, its memory as Wine reports it, the end of a run that went
// well, and the summary of repeated runs.
#pragma once

#include <windows.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "program_run.h"

// A run that did not reach the point it is timed to. It never yields a figure.
class BenchFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// How often a run is looked at: the resolution of every time measured.
const DWORD PollMs = 2;

// Milliseconds since it was made, from the performance counter.
class Stopwatch {
public:
    Stopwatch();
    double Milliseconds() const;

private:
    LARGE_INTEGER start_;
};

// Wine's counters are the Linux process's: the peak working set is its VmHWM,
// Wine's own libraries and their pages included; the page-file usage is its
// private resident pages (RssAnon) at the moment of reading, given also as
// the "peak", so the highest of the readings stands in for the peak.
struct MemoryFigures {
    double PeakWorkingSetMiB = 0;
    double PeakPrivateMiB = 0;
};

// The memory of a running program, read as often as the caller asks.
class MemoryWatch {
public:
    explicit MemoryWatch(const ProgramRun& run);
    ~MemoryWatch();
    MemoryWatch(const MemoryWatch&) = delete;
    MemoryWatch& operator=(const MemoryWatch&) = delete;

    // Wine reads an ended process as all zeros and calls that success, and
    // one that is ending as whatever is left: a reading of a process that
    // has ended by then is dropped.
    void Read();
    // The figures of the last reading; without one, a BenchFailure.
    MemoryFigures Figures(const char* program) const;

private:
    HANDLE process_;
    MemoryFigures figures_;
    bool read_ = false;
};

struct RunFigures {
    double Milliseconds; // to the point the run is timed to
    MemoryFigures Memory;
};

// Waits for the run to end with exit code 0, reading its memory meanwhile,
// and gives the stopwatch's time at the end. A message box, another exit
// code or a minute without an end is a BenchFailure.
double WaitForCleanEnd(ProgramRun& run, MemoryWatch& memory, const Stopwatch& clock,
                       const char* program);

// Throws a BenchFailure that begins with `missed` when the run has ended,
// shows a message box or has taken a minute. Boxes are looked for only every
// 50th poll: looking is slow.
void CheckStillGoing(ProgramRun& run, int poll, const Stopwatch& clock, const std::string& missed);

struct Summary {
    double Median, Min, Max;
};

// The summary of at least one sample.
Summary Summarize(std::vector<double> samples);
