// The figures of `make bench`: both programs and their floors run in
// interleaved rounds, so that every figure is taken under the same load, and
// written as a Markdown table that tests/bench/report.sh completes.
#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>
#include <cstdio>
#include <iostream>

#include "compactor_timing.h"
#include "installer_run.h"
#include "installer_timing.h"
#include "scratch.h"
#include "windows2000_hives.h"

namespace {

const int Rounds = 5;

std::string Quoted(const std::string& path)
{
    return "\"" + path + "\"";
}

std::string Number(const char* format, double value)
{
    char text[64];
    snprintf(text, sizeof text, format, value);
    return text;
}

std::string Row(const std::string& figure, const std::string& value, const std::string& detail)
{
    return "| " + figure + " | " + value + " | " + detail + " |\n";
}

// The summary of one figure of every run.
template <typename Run, typename Figure>
Summary SummaryOf(const std::vector<Run>& runs, Figure figure)
{
    std::vector<double> samples;
    for (const Run& run : runs)
        samples.push_back(figure(run));
    return Summarize(samples);
}

template <typename Run> Summary Times(const std::vector<Run>& runs)
{
    return SummaryOf(runs, [](const RunFigures& run) { return run.Milliseconds; });
}

std::string TimeRow(const std::string& figure, const Summary& times, const std::string& more = "")
{
    return Row(figure, Number("%.0f ms", times.Median),
               "median of " + std::to_string(Rounds) + "; min " + Number("%.0f", times.Min) +
                   ", max " + Number("%.0f ms", times.Max) + more);
}

std::string Ratio(const std::string& figure, const Summary& times, const Summary& floor)
{
    double more = times.Median - floor.Median;
    return Row(figure, Number("%.2f", times.Median / floor.Median),
               "of the medians: " + Number("%.0f ms", std::fabs(more)) +
                   (more < 0 ? " less" : " more"));
}

template <typename Run>
std::string MemoryRow(const std::string& program, const std::vector<Run>& runs)
{
    Summary peak =
        SummaryOf(runs, [](const RunFigures& run) { return run.Memory.PeakWorkingSetMiB; });
    Summary own = SummaryOf(runs, [](const RunFigures& run) { return run.Memory.PeakPrivateMiB; });
    return Row(program + ": peak working set", Number("%.1f MiB", peak.Median),
               "median; " + Number("%.1f", peak.Min) + " to " + Number("%.1f MiB", peak.Max) +
                   "; private at most " + Number("%.1f MiB", own.Max));
}

} // namespace

TEST(Benchmarks, BothProgramsAgainstTheirFloors)
{
    // A report of an earlier run must not pass for this one's.
    std::string report = WindowsPathFromEnvironment("QS_BENCH_REPORT");
    DeleteFileA(report.c_str());

    Windows2000Hives hives;
    SetWindowsVersion("Quillstone.exe", "win2k");
    std::string compactor = Quoted(WindowsPathFromEnvironment("QS_COMPACTOR"));
    std::string floor = Quoted(WindowsPathFromEnvironment("QS_FLOOR")) + " " + hives.SavedKeys();
    std::string dialogFloor =
        Quoted(WindowsPathFromEnvironment("QS_DIALOG_FLOOR")) + " " + hives.SavedKeys();
    std::vector<RunFigures> compactorRuns, floorRuns, dialogFloorRuns;
    std::vector<InstallationFigures> installerRuns;
    // Round 0 is not counted: the first start of each program reads its files from disk.
    for (int round = 0; round <= Rounds; ++round) {
        RunFigures floorRun = TimeFloor(floor, "the floor program");
        RunFigures dialogFloorRun = TimeFloor(dialogFloor, "the dialog floor program");
        RunFigures compactorRun = TimeCompactorToReadyList(compactor, hives.Rows());
        RemoveInstallation();
        InstallationFigures installerRun = TimeInstallation(InstallerCommandLine());
        RemoveInstallation();
        if (round > 0) {
            floorRuns.push_back(floorRun);
            dialogFloorRuns.push_back(dialogFloorRun);
            compactorRuns.push_back(compactorRun);
            installerRuns.push_back(installerRun);
        }
    }

    Summary compactorTimes = Times(compactorRuns), floorTimes = Times(floorRuns),
            dialogFloorTimes = Times(dialogFloorRuns), installerTimes = Times(installerRuns);
    using Installation = const InstallationFigures&;
    Summary licenseAnswered =
        SummaryOf(installerRuns, [](Installation run) { return run.LicenseAnswered; });
    Summary optionsAnswered = SummaryOf(
        installerRuns, [](Installation run) { return run.OptionsAnswered - run.LicenseAnswered; });
    Summary installPage = SummaryOf(
        installerRuns, [](Installation run) { return run.Milliseconds - run.OptionsAnswered; });
    std::string saved;
    for (const std::string& row : hives.Rows())
        saved += (saved.empty() ? "" : ", ") + row;
    std::string table =
        "| Figure | Value | Detail |\n|---|---:|---|\n" +
        TimeRow("Compactor: start to ready list", compactorTimes,
                "; " + std::to_string(hives.Rows().size()) + " hives saved: " + saved) +
        TimeRow("Floor: the same RegSaveKeyA calls, start to all saved", floorTimes) +
        TimeRow("Dialog floor: a dialog with a list view and the same calls, start to list shown",
                dialogFloorTimes) +
        Ratio("Compactor / floor", compactorTimes, floorTimes) +
        Ratio("Compactor / dialog floor", compactorTimes, dialogFloorTimes) +
        TimeRow("Installer: start to end", installerTimes,
                "; license page answered after " + Number("%.0f ms", licenseAnswered.Median) +
                    ", options page " + Number("%.0f ms", optionsAnswered.Median) +
                    " later, install page " + Number("%.0f ms", installPage.Median)) +
        Row("Installer floor: its fixed pauses", Number("%.0f ms", InstallerPausesMs),
            "10 x 83 ms + 1000 ms") +
        Row("Installer - floor", Number("%.0f ms", installerTimes.Median - InstallerPausesMs),
            "of the median (" + Number("%.0f ms", installerTimes.Min - InstallerPausesMs) +
                " of the fastest run); the install page took " +
                Number("%.0f ms", installPage.Median - InstallerPausesMs) + " beyond its pauses") +
        MemoryRow("Compactor", compactorRuns) + MemoryRow("Installer", installerRuns) +
        MemoryRow("Floor program", floorRuns) + MemoryRow("Dialog floor program", dialogFloorRuns);
    WriteFileBytes(report, table);
    std::cout << table;
}
