// The boot-time rename file, rewritten for real in the Windows folder.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "failure.h"
#include "import_patch.h"
#include "scratch.h"
#include "system_message.h"
#include "wininit.h"

using namespace std::string_literals;

namespace {

std::string WinInitPath()
{
    char system[MAX_PATH];
    GetSystemDirectoryA(system, sizeof system);
    return std::string(system) + "\\..\\WinInit.ini";
}

// Replaces each "H=T" with the entry of the given pair and each "\n" with CR LF.
std::string Expand(std::string text, const std::string& entry)
{
    for (size_t at; (at = text.find("H=T")) != std::string::npos;)
        text.replace(at, 3, entry);
    std::string lines;
    for (char c : text)
        lines += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return lines;
}

class ScheduleRenameTest : public testing::Test {
protected:
    void SetUp() override
    {
        DeleteFileA(WinInitPath().c_str());
        hive_ = folder_.PathOf("System.dat");
        temp_ = folder_.PathOf("qs1A2B.tmp");
        WriteFileBytes(hive_, "hive");
        WriteFileBytes(temp_, "copy");
        entry_ = ShortPath(hive_) + "=" + ShortPath(temp_);
    }
    void TearDown() override
    {
        SetFileAttributesA(WinInitPath().c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(WinInitPath().c_str());
    }
    std::string Rewrite(const std::string& before)
    {
        WriteFileBytes(WinInitPath(), before);
        ScheduleRename(temp_.c_str(), hive_.c_str());
        return ReadFileBytes(WinInitPath());
    }
    std::string Failure(const std::string& before)
    {
        WriteFileBytes(WinInitPath(), before);
        try {
            ScheduleRename(temp_.c_str(), hive_.c_str());
        } catch (const FailureText& failure) {
            return failure.Text();
        }
        return "";
    }
    ScratchFolder folder_;
    std::string hive_, temp_, entry_;
};

} // namespace

TEST_F(ScheduleRenameTest, WithoutAFileANewOneHoldsTheSection)
{
    ScheduleRename(temp_.c_str(), hive_.c_str());
    EXPECT_EQ(Expand("[rename]\nH=T\n", entry_), ReadFileBytes(WinInitPath()));
    EXPECT_EQ(ShortPath(hive_), entry_.substr(0, entry_.find('='))); // destination first
}

TEST_F(ScheduleRenameTest, TheEntryGoesFirstIntoTheFirstExactSection)
{
    const struct {
        const char* Case;
        std::string Before;
        std::string After;
    } rows[] = {
        {"empty file", "", "[rename]\nH=T\n"},
        {"section in the middle", "[Other]\r\nKey=Value\r\n[rename]\r\nX=Y\r\n",
         "[Other]\nKey=Value\n[rename]\nH=T\nX=Y\n"},
        {"another case is not the header", "[Other]\r\nKey=Value\r\n[Rename]\r\n",
         "[Other]\nKey=Value\n[Rename]\n[rename]\nH=T\n"},
        {"section on the last line", "[Other]\r\n[rename]\r\n", "[Other]\n[rename]\nH=T\n"},
        {"two sections", "[rename]\r\nA=B\r\n[rename]\r\nC=D\r\n",
         "[rename]\nH=T\nA=B\n[rename]\nC=D\n"},
        {"blanks around the header", " [rename]\r\n[rename] \r\n", " [rename]\n[rename] \n[rename]\nH=T\n"},
        {"blank lines and comments", "; comment\r\n\r\n[rename]\r\n\r\nNUL=C:\\X\r\n",
         "; comment\n\n[rename]\nH=T\n\nNUL=C:\\X\n"},
        {"line feeds alone", "[Other]\nKey=Value\n", "[Other]\nKey=Value\n[rename]\nH=T\n"},
        {"a last line without its end", "[Other]\r\nKey=Value", "[Other]\nKey=Value\n[rename]\nH=T\n"},
        {"a last line that is the header without its end", "[Other]\r\n[rename]",
         "[Other]\n[rename]\nH=T\n"},
        // Damaged files lose nothing: the text ends at an end-of-file byte, as
        // text mode reads it, and what follows is kept as it was.
        {"text after an end-of-file byte", "[rename]\r\nA=B\r\n\x1A[rename]\r\nkept\r\n",
         "[rename]\nH=T\nA=B\n\x1A[rename]\nkept\n"},
        {"a header after an end-of-file byte", "[Other]\r\nK=V\x1A[rename]\r\n",
         "[Other]\nK=V\n[rename]\nH=T\n\x1A[rename]\n"},
        {"a leading NUL byte", "\0[Other]\r\n[rename]\r\nX=Y\r\n"s,
         "\0[Other]\n[rename]\nH=T\nX=Y\n"s},
        {"NUL bytes inside lines", "K=V\0tail\r\n[rename]\0\r\n"s,
         "K=V\0tail\n[rename]\0\n[rename]\nH=T\n"s},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Case);
        EXPECT_EQ(Expand(row.After, entry_), Rewrite(row.Before));
    }
}

TEST_F(ScheduleRenameTest, ALongLineIsCopiedUnchanged)
{
    std::string longLine = "Key=" + std::string(100 * 1024, 'v');
    std::string after = Rewrite(longLine + "\r\n[rename]\r\n" + longLine + "\r\n");
    EXPECT_EQ(Expand(longLine + "\n[rename]\nH=T\n" + longLine + "\n", entry_), after);
}

TEST_F(ScheduleRenameTest, AReadOnlyFileEndsWithNormalAttributes)
{
    WriteFileBytes(WinInitPath(), "[rename]\r\n");
    SetFileAttributesA(WinInitPath().c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    ScheduleRename(temp_.c_str(), hive_.c_str());
    EXPECT_EQ(0u, GetFileAttributesA(WinInitPath().c_str()) &
                      (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    EXPECT_EQ(Expand("[rename]\nH=T\n", entry_), ReadFileBytes(WinInitPath()));
}

TEST_F(ScheduleRenameTest, TwoCallsPutTheNewestEntryFirstUnderOneHeader)
{
    std::string user = folder_.PathOf("User.dat"), userTemp = folder_.PathOf("qs3C4D.tmp");
    WriteFileBytes(user, "hive");
    WriteFileBytes(userTemp, "copy");
    std::string userEntry = ShortPath(user) + "=" + ShortPath(userTemp);
    for (const char* before : {"", "[rename]"}) { // no file; a header without its line end
        SCOPED_TRACE(before);
        DeleteFileA(WinInitPath().c_str());
        if (*before)
            WriteFileBytes(WinInitPath(), before);
        ScheduleRename(temp_.c_str(), hive_.c_str());
        ScheduleRename(userTemp.c_str(), user.c_str());
        EXPECT_EQ(Expand("[rename]\n" + userEntry + "\nH=T\n", entry_),
                  ReadFileBytes(WinInitPath()));
    }
    EXPECT_TRUE(FilesMatching(TempFolder(), "qs*.tmp").empty()) << "the rewrite's copy moved";
}

namespace {

// Fails one step of the rewrite for WinInit.ini only.
enum class FailingStep { None, Write, Attributes, Delete, Move };
FailingStep Failing;
decltype(&SetFileAttributesA) RealSetFileAttributesA;
decltype(&DeleteFileA) RealDeleteFileA;
decltype(&MoveFileA) RealMoveFileA;
decltype(&WriteFile) RealWriteFile;

bool IsWinInit(const char* path)
{
    return std::string(path).find("WinInit.ini") != std::string::npos;
}

BOOL WINAPI FailingSetFileAttributesA(LPCSTR path, DWORD attributes)
{
    if (Failing == FailingStep::Attributes && IsWinInit(path)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    return RealSetFileAttributesA(path, attributes);
}

BOOL WINAPI FailingDeleteFileA(LPCSTR path)
{
    if (Failing == FailingStep::Delete && IsWinInit(path)) {
        SetLastError(ERROR_SHARING_VIOLATION);
        return FALSE;
    }
    return RealDeleteFileA(path);
}

// The disk fills up while the copy is written.
BOOL WINAPI FailingWriteFile(HANDLE file, LPCVOID bytes, DWORD size, LPDWORD written,
                             LPOVERLAPPED overlapped)
{
    char path[MAX_PATH] = "";
    GetFinalPathNameByHandleA(file, path, sizeof path, 0);
    if (Failing == FailingStep::Write && !IsWinInit(path)) {
        RealWriteFile(file, bytes, size / 2, written, overlapped);
        SetLastError(ERROR_DISK_FULL);
        return FALSE;
    }
    return RealWriteFile(file, bytes, size, written, overlapped);
}

BOOL WINAPI FailingMoveFileA(LPCSTR from, LPCSTR to)
{
    if (Failing == FailingStep::Move) {
        SetLastError(ERROR_DISK_FULL);
        return FALSE;
    }
    return RealMoveFileA(from, to);
}


} // namespace

TEST_F(ScheduleRenameTest, AFailedRewriteThrowsTheSystemTextAndLeavesTheUsersFile)
{
    ImportPatch attributes(&SetFileAttributesA, &FailingSetFileAttributesA, &RealSetFileAttributesA);
    ImportPatch remove(&DeleteFileA, &FailingDeleteFileA, &RealDeleteFileA);
    ImportPatch move(&MoveFileA, &FailingMoveFileA, &RealMoveFileA);
    ImportPatch write(&WriteFile, &FailingWriteFile, &RealWriteFile);
    const std::string before = "[Other]\r\nKey=Value\r\n";
    const struct {
        FailingStep Step;
        DWORD Code;
    } rows[] = {{FailingStep::Write, ERROR_DISK_FULL},
                {FailingStep::Attributes, ERROR_ACCESS_DENIED},
                {FailingStep::Delete, ERROR_SHARING_VIOLATION},
                {FailingStep::Move, ERROR_DISK_FULL}};
    for (const auto& row : rows) {
        SCOPED_TRACE(int(row.Step));
        for (const std::string& copy : FilesMatching(TempFolder(), "qs*.tmp"))
            DeleteFileA((TempFolder() + copy).c_str());
        SetFileAttributesA(WinInitPath().c_str(), FILE_ATTRIBUTE_NORMAL);
        Failing = row.Step;
        EXPECT_EQ(SystemMessage(row.Code), Failure(before));
        Failing = FailingStep::None;
        EXPECT_EQ(before, ReadFileBytes(WinInitPath())) << "the user's file is in place";
        // The rewritten copy stays in the temporary folder; a cut one does not.
        auto copies = FilesMatching(TempFolder(), "qs*.tmp");
        ASSERT_EQ(row.Step == FailingStep::Write ? 0u : 1u, copies.size());
        if (copies.empty())
            continue;
        EXPECT_EQ(Expand("[Other]\nKey=Value\n[rename]\nH=T\n", entry_),
                  ReadFileBytes(TempFolder() + copies[0]));
        DeleteFileA((TempFolder() + copies[0]).c_str());
    }
}
