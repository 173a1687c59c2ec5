// Pictures of the built installer's two pages, for the README.
#include <gtest/gtest.h>

#include "installer_run.h"
#include "resource.h"
#include "screenshot.h"

TEST(InstallerScreenshots, TheLicenseAndTheOptionsPage)
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
    Click(options, IDC_CANCEL_INSTALL);
    DWORD exitCode = 1;
    EXPECT_TRUE(run.WaitForExit(&exitCode));
    EXPECT_EQ(0u, exitCode);
}
