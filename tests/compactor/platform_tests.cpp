// Which systems the compactor accepts, and the privileges it enables on NT.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "failure.h"
#include "import_patch.h"
#include "platform.h"

namespace {

OSVERSIONINFOA ReportedVersion;

BOOL WINAPI FakeGetVersionExA(LPOSVERSIONINFOA version)
{
    if (ReportedVersion.dwPlatformId == 0xFFFF)
        return FALSE; // the call fails and leaves the record alone
    DWORD size = version->dwOSVersionInfoSize;
    *version = ReportedVersion;
    version->dwOSVersionInfoSize = size;
    return TRUE;
}

struct PlatformRow {
    const char* System;
    DWORD Platform, Major, Minor, Build;
    bool Accepted, NT, Win2000;
};

const PlatformRow PlatformTable[] = {
    {"Windows 95", 1, 4, 0, 950, true, false, false},
    {"Windows 98 (version in the build's high word)", 1, 4, 10, 0x040A07CE, true, false, false},
    {"Windows Me", 1, 4, 90, 0x045A0BB8, true, false, false},
    {"9x family below version 4", 1, 3, 95, 0, false, false, false},
    {"Windows NT 3.51", 2, 3, 51, 1057, false, false, false},
    {"Windows NT 4.0", 2, 4, 0, 1381, true, true, false},
    {"NT build 1999", 2, 5, 0, 1999, true, true, false},
    {"NT build 2000", 2, 5, 0, 2000, true, true, true},
    {"Windows 2000", 2, 5, 0, 2195, true, true, true},
    {"Windows XP", 2, 5, 1, 2600, true, true, true},
    {"Windows 7", 2, 6, 1, 7601, true, true, true},
    {"Win32s", 0, 3, 10, 0, false, false, false},
    {"an unknown platform id", 3, 4, 0, 0, false, false, false},
};

} // namespace

TEST(CheckPlatform, FollowsThePlatformTable)
{
    ImportPatch patch(&GetVersionExA, &FakeGetVersionExA);
    for (const PlatformRow& row : PlatformTable) {
        SCOPED_TRACE(row.System);
        ReportedVersion = OSVERSIONINFOA();
        ReportedVersion.dwPlatformId = row.Platform;
        ReportedVersion.dwMajorVersion = row.Major;
        ReportedVersion.dwMinorVersion = row.Minor;
        ReportedVersion.dwBuildNumber = row.Build;
        IsNT = !row.NT;
        IsWin2000 = true;
        try {
            CheckPlatform();
            EXPECT_TRUE(row.Accepted);
            EXPECT_EQ(row.NT, IsNT);
            EXPECT_EQ(row.Win2000, IsWin2000);
        } catch (const FailureText& failure) {
            EXPECT_FALSE(row.Accepted);
            EXPECT_STREQ("Quillstone requires Windows95, Windows98, WindowsNT 4.0, or Windows2000.",
                         failure.Text());
            EXPECT_FALSE(IsWin2000);
        }
    }
}

TEST(CheckPlatform, AFailedVersionQueryIsRefused)
{
    ImportPatch patch(&GetVersionExA, &FakeGetVersionExA);
    ReportedVersion = OSVERSIONINFOA();
    ReportedVersion.dwPlatformId = 0xFFFF;
    EXPECT_THROW(CheckPlatform(), FailureText);
}

TEST(CheckPlatform, AcceptsTheRealSystem)
{
    EXPECT_NO_THROW(CheckPlatform());
}

namespace {

// A scripted token: which privileges were asked for, and which one fails.
struct TokenScript {
    bool OpenFails = false;
    int FailingAdjustment = -1; // index of the adjustment that fails, -1 for none
    bool FailByResult = false;  // fail with FALSE instead of success + ERROR_NOT_ALL_ASSIGNED
    int Opened = 0;
    DWORD OpenAccess = 0;
    std::vector<std::string> Looked;
    int Adjustments = 0;
    std::vector<HANDLE> Closed;
};
TokenScript Token;
HANDLE const FakeToken = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(0x4242));
decltype(&CloseHandle) RealCloseHandle;

BOOL WINAPI FakeOpenProcessToken(HANDLE, DWORD access, PHANDLE token)
{
    ++Token.Opened;
    Token.OpenAccess = access;
    if (Token.OpenFails) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    *token = FakeToken;
    return TRUE;
}

BOOL WINAPI FakeLookupPrivilegeValueA(LPCSTR system, LPCSTR name, PLUID luid)
{
    EXPECT_EQ(nullptr, system);
    Token.Looked.push_back(name);
    luid->LowPart = static_cast<DWORD>(Token.Looked.size());
    luid->HighPart = 0;
    return TRUE;
}

BOOL WINAPI FakeAdjustTokenPrivileges(HANDLE token, BOOL disableAll, PTOKEN_PRIVILEGES state,
                                      DWORD length, PTOKEN_PRIVILEGES previous, PDWORD returned)
{
    EXPECT_EQ(FakeToken, token);
    EXPECT_FALSE(disableAll);
    EXPECT_EQ(1u, state->PrivilegeCount);
    EXPECT_EQ(DWORD(SE_PRIVILEGE_ENABLED), state->Privileges[0].Attributes);
    EXPECT_EQ(Token.Looked.size(), state->Privileges[0].Luid.LowPart);
    EXPECT_EQ(0u, length);
    EXPECT_EQ(nullptr, previous);
    EXPECT_EQ(nullptr, returned);
    bool fails = Token.Adjustments++ == Token.FailingAdjustment;
    if (fails && Token.FailByResult) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    SetLastError(fails ? ERROR_NOT_ALL_ASSIGNED : 0);
    return TRUE;
}

BOOL WINAPI FakeCloseHandle(HANDLE handle)
{
    if (handle != FakeToken)
        return RealCloseHandle(handle);
    Token.Closed.push_back(handle);
    return TRUE;
}

class EnablePrivilegesTest : public testing::Test {
protected:
    void SetUp() override
    {
        Token = TokenScript();
        IsNT = true;
    }
    std::string FailureOf()
    {
        try {
            EnablePrivileges();
        } catch (const FailureText& failure) {
            return failure.Text();
        }
        return "";
    }
    ImportPatch open_{&OpenProcessToken, &FakeOpenProcessToken};
    ImportPatch lookup_{&LookupPrivilegeValueA, &FakeLookupPrivilegeValueA};
    ImportPatch adjust_{&AdjustTokenPrivileges, &FakeAdjustTokenPrivileges};
    ImportPatch close_{&CloseHandle, &FakeCloseHandle, &RealCloseHandle};
};

} // namespace

TEST_F(EnablePrivilegesTest, Windows9xTouchesNoToken)
{
    IsNT = false;
    EXPECT_EQ("", FailureOf());
    EXPECT_EQ(0, Token.Opened);
    EXPECT_EQ(0, Token.Adjustments);
}

TEST_F(EnablePrivilegesTest, EnablesTheThreeInOrderAndClosesTheToken)
{
    EXPECT_EQ("", FailureOf());
    EXPECT_EQ(DWORD(TOKEN_ADJUST_PRIVILEGES), Token.OpenAccess);
    EXPECT_EQ((std::vector<std::string>{"SeBackupPrivilege", "SeRestorePrivilege",
                                        "SeShutdownPrivilege"}),
              Token.Looked);
    EXPECT_EQ(std::vector<HANDLE>{FakeToken}, Token.Closed);
}

TEST_F(EnablePrivilegesTest, TheFirstPrivilegeNotHeldIsNamedAndTheRestNotTried)
{
    const char* expected[] = {"Can't Obtain Required Privilege: SeBackupPrivilege",
                              "Can't Obtain Required Privilege: SeRestorePrivilege",
                              "Can't Obtain Required Privilege: SeShutdownPrivilege"};
    for (int failing = 0; failing < 3; ++failing) {
        SCOPED_TRACE(failing);
        Token = TokenScript();
        Token.FailingAdjustment = failing;
        EXPECT_EQ(expected[failing], FailureOf());
        EXPECT_EQ(failing + 1, Token.Adjustments);
        EXPECT_EQ(std::vector<HANDLE>{FakeToken}, Token.Closed);
    }
}

TEST_F(EnablePrivilegesTest, AFailedAdjustmentCountsAsWell)
{
    Token.FailingAdjustment = 1;
    Token.FailByResult = true;
    EXPECT_EQ("Can't Obtain Required Privilege: SeRestorePrivilege", FailureOf());
}

TEST(EnablePrivileges, ATokenThatCantBeOpenedFailsTheFirstPrivilege)
{
    Token = TokenScript();
    Token.OpenFails = true;
    ImportPatch open(&OpenProcessToken, &FakeOpenProcessToken);
    IsNT = true;
    try {
        EnablePrivileges();
        ADD_FAILURE() << "no failure";
    } catch (const FailureText& failure) {
        EXPECT_STREQ("Can't Obtain Required Privilege: SeBackupPrivilege", failure.Text());
    }
}

TEST(EnablePrivileges, TheRealTokenGrantsAllThree)
{
    IsNT = true;
    EXPECT_NO_THROW(EnablePrivileges());
}
