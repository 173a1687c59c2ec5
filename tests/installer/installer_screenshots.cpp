// Pictures of the built installer's three pages, for the README.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "installer_run.h"
#include "resource.h"
#include "screenshot.h"

TEST(InstallerScreenshots, TheLicenseTheOptionsAndTheInstallPage)
{
    ProgramRun run(InstallerCommandLine());
    HWND license = WaitForPage(run, "License Information");
    ASSERT_NE(nullptr, license);
    Sleep(1000); // let it paint
    SaveScreenshot("installer-license");
    Click(license, IDC_ACCEPT);
    HWND options = WaitForPage(run, "Options");
    ASSERT_NE(nullptr, options);
    Sleep(1000);
    SaveScreenshot("installer-options");
    Click(options, IDC_INSTALL);

    // The install page half way through the files. It answers other programs
    // only between its steps, 83 ms apart: one question per step, the line.
    HWND install = WaitForPage(run, "", options);
    ASSERT_NE(nullptr, install);
    DWORD start = GetTickCount();
    std::string line;
    do
        line = ControlText(install, IDC_STATUS);
    while (line != "Copying Quillstone.exe..." && GetTickCount() - start < 10000);
    EXPECT_EQ("Copying Quillstone.exe...", line);
    Sleep(30); // within the step's pause: let the new line paint
    SaveScreenshot("installer-install");
    DWORD exitCode = 1;
    EXPECT_TRUE(run.WaitForExit(&exitCode));
    EXPECT_EQ(0u, exitCode);
}
