#include "installer_timing.h"

#include <shlobj.h>

#include "installer_run.h"
#include "resource.h"
#include "scratch.h"

namespace {

const char Program[] = "the installer";

std::string ShellFolder(int folder)
{
    char path[MAX_PATH] = "";
    SHGetFolderPathA(NULL, folder, NULL, 0, path);
    return path;
}

std::string DefaultProgramFolder()
{
    return ShellFolder(CSIDL_PROGRAM_FILES) + "\\Quillstone";
}

HWND ShownPage(const ProgramRun& run, const char* caption)
{
    HWND page = WaitForPage(run, caption, NULL, PollMs);
    if (!page)
        throw BenchFailure(std::string(Program) + " did not show its page \"" + caption + "\"");
    return page;
}

} // namespace

InstallationFigures TimeInstallation(const std::string& commandLine)
{
    Stopwatch clock;
    ProgramRun run(commandLine);
    MemoryWatch memory(run);
    InstallationFigures figures;
    Click(ShownPage(run, "License Information"), IDC_ACCEPT);
    figures.LicenseAnswered = clock.Milliseconds();
    Click(ShownPage(run, "Options"), IDC_INSTALL);
    figures.OptionsAnswered = clock.Milliseconds();
    figures.Milliseconds = WaitForCleanEnd(run, memory, clock, Program);
    if (!FileExists(DefaultProgramFolder() + "\\Quillstone.exe"))
        throw BenchFailure("the installer ended without installing the compactor");
    figures.Memory = memory.Figures(Program);
    return figures;
}

void RemoveInstallation()
{
    RemoveTree(DefaultProgramFolder());
    RemoveTree(ShellFolder(CSIDL_PROGRAMS) + "\\Quillstone");
    DeleteFileA((ShellFolder(CSIDL_DESKTOPDIRECTORY) + "\\Quillstone.lnk").c_str());
}
