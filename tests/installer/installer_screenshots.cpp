// Pictures of the built installer's three pages, for the README.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

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

    // The install page half way through the files: its steps last 83 ms
    // each, so the bar is watched closely and the picture taken at once.
    HWND install = WaitForPage(run, "", options);
    ASSERT_NE(nullptr, install);
    HWND bar = GetDlgItem(install, IDC_PROGRESS);
    DWORD start = GetTickCount();
    while (SendMessageA(bar, PBM_GETPOS, 0, 0) < 498 && GetTickCount() - start < 10000)
        Sleep(5);
    EXPECT_EQ("Copying Quillstone.exe...", ControlText(install, IDC_STATUS));
    Sleep(30); // within the step's pause: let the new line paint
    SaveScreenshot("installer-install");
    DWORD exitCode = 1;
    EXPECT_TRUE(run.WaitForExit(&exitCode));
    EXPECT_EQ(0u, exitCode);
}
