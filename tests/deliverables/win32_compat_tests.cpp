// The shipped 32-bit programs ask for nothing that Windows 95 or NT 4.0 lack:
// header versions, DLLs and every imported function, against the list in
// win32_imports.txt; and a program built to ask for more is caught.
#include <gtest/gtest.h>

#include <stdexcept>

#include "compat_check.h"
#include "pe_image.h"
#include "program_run.h"
#include "scratch.h"

namespace {

const SystemImports& Systems()
{
    static SystemImports systems = ParseSystemImports(ReadFileBytes(WindowsPathOf(QS_IMPORT_LIST)));
    return systems;
}

std::string Lines(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += "\n  " + line;
    return text;
}

} // namespace

TEST(Win32Compatibility, TheShippedProgramsAskForNothingWindows95OrNT4Lacks)
{
    for (const char* program : {"Quillstone.exe", "Quillstone Installer.exe"}) {
        SCOPED_TRACE(program);
        PeImage image(WindowsPathFromEnvironment("QS_DIST") + "\\" + program);
        ASSERT_EQ(IMAGE_FILE_MACHINE_I386, image.Machine());
        std::vector<std::string> offences = CompatibilityOffences(image, Systems());
        EXPECT_TRUE(offences.empty()) << Lines(offences);
    }
}

// The tests run these, so they must run on the project's runtime too.
TEST(Win32Compatibility, TheTwinsImportNoCRuntimeDllEither)
{
    for (const char* program : {"Quillstone.exe", "Quillstone Installer.exe"}) {
        PeImage image(WindowsPathFromEnvironment("QS_DIST") + "\\x64\\" + program);
        for (const std::string& library : image.ImportedLibraries())
            EXPECT_FALSE(IsCRuntimeDll(library)) << program << " imports " << library;
    }
}

TEST(Win32Compatibility, AProgramThatAsksForMoreIsCaughtOffenceByOffence)
{
    PeImage probe(WindowsPathOf(QS_LATER_PROBE));
    std::vector<std::string> expected = {
        "operating system version 4.10 asked for; Windows 95 and NT 4.0 load 4.0 at most",
        "subsystem version 5.0 asked for; Windows 95 and NT 4.0 load 4.0 at most",
        "dwmapi.dll is not a DLL that Windows 95 and NT 4.0 carry",
        "msvcrt.dll is a C runtime DLL: the programs bring their own runtime",
        "KERNEL32.dll!Beep is not in win32_imports.txt: find out where it came from and list it",
        "KERNEL32.dll!GetTickCount64 came later: Windows Vista (REF)",
    };
    EXPECT_EQ(expected, CompatibilityOffences(probe, Systems()));
}

TEST(Win32Compatibility, AListThatContradictsItselfOrOmitsItsFactsIsRefused)
{
    const struct {
        const char* text;
        const char* complaint;
    } lists[] = {
        {"Sleep\n", "line 1: Sleep before any section"},
        {"[kernel32.dll]\nSleep\n", "line 1: [kernel32.dll] does not say where"},
        {"[kernel32]  Windows 95\n", "line 1: [kernel32] is neither a DLL nor [later]"},
        {"[kernel32.dll Windows 95\n", "line 1: a section name without its ]"},
        {"[MSVCRT.dll] Windows 98\n", "line 1: [msvcrt.dll] is a C runtime DLL"},
        {"[msvcr71.dll] Visual C++ .NET 2003\n", "line 1: [msvcr71.dll] is a C runtime DLL"},
        {"[crtdll.dll] Windows NT 3.1\n", "line 1: [crtdll.dll] is a C runtime DLL"},
        {"[ucrtbase.dll] Windows 10\n", "line 1: [ucrtbase.dll] is a C runtime DLL"},
        {"[api-ms-win-crt-heap-l1-1-0.dll] Windows 10\n", "line 1: [api-ms-win-crt-heap-l1-1-0.dll] is a C"},
        {"[kernel32.dll] Windows 95\n[KERNEL32.DLL] again\n", "line 2: [kernel32.dll] a second"},
        {"[kernel32.dll] Windows 95\n# a note\nSleep\nSleep\n", "line 4: Sleep listed twice"},
        {"[later]\nGetTickCount64 kernel32.dll\n", "line 2: GetTickCount64 needs its DLL"},
        {"[later]\nGetTickCount64 Windows Vista\n", "line 2: GetTickCount64 needs its DLL"},
        {"[kernel32.dll] Windows 95\nSleep\n[later]\nSleep Kernel32.dll Windows Vista\n",
         "kernel32.dll!Sleep both as present and as later"},
    };
    for (const auto& list : lists) {
        SCOPED_TRACE(list.text);
        try {
            ParseSystemImports(list.text);
            ADD_FAILURE() << "accepted";
        } catch (const std::runtime_error& refusal) {
            EXPECT_NE(std::string::npos, std::string(refusal.what()).find(list.complaint))
                << refusal.what();
        }
    }
}
