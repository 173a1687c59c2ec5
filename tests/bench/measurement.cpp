#include "measurement.h"

#include <psapi.h>

#include <algorithm>

Stopwatch::Stopwatch()
{
    QueryPerformanceCounter(&start_);
}

double Stopwatch::Milliseconds() const
{
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return double(now.QuadPart - start_.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

MemoryWatch::MemoryWatch(const ProgramRun& run)
    : process_(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | SYNCHRONIZE, FALSE,
                          run.ProcessId()))
{
    if (!process_)
        throw BenchFailure("can't open the process to read its memory");
}

MemoryWatch::~MemoryWatch()
{
    CloseHandle(process_);
}

void MemoryWatch::Read()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    // Checked after the call: a process that ended meanwhile may have been
    // read while Wine tore it down.
    if (!GetProcessMemoryInfo(process_, &counters, sizeof counters) ||
        counters.PeakWorkingSetSize == 0 || WaitForSingleObject(process_, 0) != WAIT_TIMEOUT)
        return;
    const double mebibyte = 1024.0 * 1024.0;
    figures_.PeakWorkingSetMiB = double(counters.PeakWorkingSetSize) / mebibyte;
    figures_.PeakPrivateMiB =
        std::max(figures_.PeakPrivateMiB, double(counters.PeakPagefileUsage) / mebibyte);
    read_ = true;
}

MemoryFigures MemoryWatch::Figures(const char* program) const
{
    if (!read_)
        throw BenchFailure(std::string("no memory reading of ") + program + " while it ran");
    return figures_;
}

// A box or a minute without the awaited point: the run will not get there.
static void CheckNotStuck(ProgramRun& run, int poll, const Stopwatch& clock,
                          const std::string& missed)
{
    ShownMessageBox box;
    if (poll % 50 == 0 && run.WaitForMessageBox(&box, 0))
        throw BenchFailure(missed + ": it showed the box \"" + box.Text + "\"");
    if (clock.Milliseconds() > 60000)
        throw BenchFailure(missed + ": it still ran after a minute");
}

void CheckStillGoing(ProgramRun& run, int poll, const Stopwatch& clock, const std::string& missed)
{
    DWORD exitCode;
    if (run.WaitForExit(&exitCode, 0))
        throw BenchFailure(missed + ": it ended with exit code " + std::to_string(long(exitCode)));
    CheckNotStuck(run, poll, clock, missed);
}

double WaitForCleanEnd(ProgramRun& run, MemoryWatch& memory, const Stopwatch& clock,
                       const char* program)
{
    DWORD exitCode;
    for (int poll = 1;; ++poll) {
        memory.Read();
        if (run.WaitForExit(&exitCode, PollMs))
            break;
        CheckNotStuck(run, poll, clock, std::string(program) + " did not end");
    }
    double end = clock.Milliseconds();
    if (exitCode != 0)
        throw BenchFailure(std::string(program) + " ended with exit code " +
                           std::to_string(long(exitCode)));
    return end;
}

Summary Summarize(std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    size_t middle = samples.size() / 2;
    double median =
        samples.size() % 2 ? samples[middle] : (samples[middle - 1] + samples[middle]) / 2;
    return {median, samples.front(), samples.back()};
}
