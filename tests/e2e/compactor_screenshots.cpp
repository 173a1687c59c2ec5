// A picture of the compactor's window with its list, for docs/.
#include <gtest/gtest.h>

#include <windows.h>

#include "program_run.h"
#include "scratch.h"
#include "screenshot.h"

TEST(CompactorScreenshots, TheWindowWithItsHives)
{
    SetWindowsVersion("Quillstone.exe", "win2k");
    GrantSavePrivilegesToChildren();
    HKEY list;
    RegCreateKeyA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\HiveList", &list);
    CreateDirectoryA("C:\\WINNT", NULL);
    const struct {
        const char* Name;
        const char* File;
        int Size;
    } hives[] = {{"\\REGISTRY\\MACHINE\\SOFTWARE", "software", 3 * 1024 * 1024},
                 {"\\REGISTRY\\MACHINE\\HARDWARE", "hardware", 48 * 1024},
                 {"\\REGISTRY\\USER\\.DEFAULT", "default", 256 * 1024}};
    for (const auto& hive : hives) {
        WriteFileBytes(std::string("C:\\WINNT\\") + hive.File, std::string(hive.Size, 'h'));
        std::string data = std::string("\\Device\\HarddiskVolume1\\WINNT\\") + hive.File;
        RegSetValueExA(list, hive.Name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                       DWORD(data.size() + 1));
    }
    RegCloseKey(list);

    ProgramRun run("\"" + WindowsPathFromEnvironment("QS_COMPACTOR") + "\"");
    HWND window = run.WaitForWindow("#32770", "Quillstone");
    ASSERT_NE(nullptr, window);
    for (int wait = 0; wait < 600 && !IsWindowVisible(GetDlgItem(window, 1000)); ++wait)
        Sleep(50);
    Sleep(1500); // painted
    SaveScreenshot("compactor");
    PostMessageA(window, WM_CLOSE, 0, 0);
    DWORD exitCode;
    EXPECT_TRUE(run.WaitForExit(&exitCode));
}
