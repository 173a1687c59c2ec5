// The bench never turns a run that went wrong into a figure, and sums up
// repeated runs as it says it does.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>

#include "compactor_timing.h"
#include "installer_run.h"
#include "installer_timing.h"
#include "scratch.h"
#include "windows2000_hives.h"

namespace {

std::string Compactor()
{
    return "\"" + WindowsPathFromEnvironment("QS_COMPACTOR") + "\"";
}

std::string Floor()
{
    return "\"" + WindowsPathFromEnvironment("QS_FLOOR") + "\"";
}

} // namespace

TEST(Measurement, ARunThatMissesItsPointIsAFailureNotAFigure)
{
    Windows2000Hives hives;
    std::vector<std::string> takenTempNames;
    const struct {
        const char* Case;
        std::function<void()> Run;
        const char* Reason;
    } rows[] = {
        {"the compactor refuses the platform",
         [&] {
             SetWindowsVersion("Quillstone.exe", "win31");
             TimeCompactorToReadyList(Compactor(), hives.Rows());
         },
         "showed the box \"Quillstone requires"},
        {"the compactor lists other hives",
         [&] {
             SetWindowsVersion("Quillstone.exe", "win2k");
             TimeCompactorToReadyList(Compactor(), {"Software"});
         },
         "lists other hives than expected: \"Software\" \"Default\""},
        {"the floor can't save a key", [&] { TimeFloor(Floor() + " HKLM\\NoSuchKey", "the floor program"); },
         "the floor program did not save every key: it ended with exit code 1"},
        {"the installer can't make its temporary folder",
         [&] {
             for (int digit = 0; digit <= 9; ++digit) {
                 takenTempNames.push_back(TempFolder() + "qs" + std::to_string(digit));
                 CreateDirectoryA(takenTempNames.back().c_str(), NULL);
             }
             TimeInstallation(InstallerCommandLine());
         },
         "showed the box \"Can't Create Temporary Directory\""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Case);
        try {
            row.Run();
            ADD_FAILURE() << "the run gave figures";
        } catch (const BenchFailure& failure) {
            EXPECT_NE(std::string::npos, std::string(failure.what()).find(row.Reason))
                << failure.what();
        }
    }
    SetWindowsVersion("Quillstone.exe", "");
    for (const std::string& name : takenTempNames)
        RemoveDirectoryA(name.c_str());
    RemoveInstallation();
}

TEST(Measurement, AProgramThatEndedHasNoMemoryFigures)
{
    ProgramRun run(Floor()); // without keys it ends at once
    MemoryWatch memory(run);
    DWORD exitCode;
    ASSERT_TRUE(run.WaitForExit(&exitCode));
    memory.Read();
    EXPECT_THROW(memory.Figures("the floor program"), BenchFailure);
}

TEST(Measurement, SummariesTakeTheMiddleOfTheSortedRuns)
{
    const struct {
        std::vector<double> Samples;
        double Median, Min, Max;
    } rows[] = {
        {{5}, 5, 5, 5},
        {{3, 1, 2}, 2, 1, 3},
        {{4, 1, 3, 2}, 2.5, 1, 4},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.Samples));
        Summary summary = Summarize(row.Samples);
        EXPECT_EQ(row.Median, summary.Median);
        EXPECT_EQ(row.Min, summary.Min);
        EXPECT_EQ(row.Max, summary.Max);
    }
}
