// What make leaves in dist/: the shipped 32-bit programs and their 64-bit twins.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include "pe_image.h"
#include "program_run.h"

namespace {

std::string Dist(const std::string& name)
{
    return WindowsPathFromEnvironment("QS_DIST") + "\\" + name;
}

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// Only libraries that every supported Windows carries: no MinGW runtime DLL.
void ExpectSystemImportsOnly(const PeImage& image)
{
    const char* system[] = {"kernel32.dll", "user32.dll", "gdi32.dll",  "advapi32.dll",
                            "comctl32.dll", "shell32.dll", "msvcrt.dll", "ole32.dll",
                            "setupapi.dll"};
    EXPECT_FALSE(image.ImportedLibraries().empty());
    for (const std::string& library : image.ImportedLibraries()) {
        SCOPED_TRACE(library);
        EXPECT_NE(std::end(system), std::find(std::begin(system), std::end(system), Lower(library)));
    }
}

} // namespace

const char* const Programs[] = {"Quillstone.exe", "Quillstone Installer.exe"};

TEST(Deliverables, TheProgramsAre32BitGuiProgramsWithSystemImportsOnly)
{
    for (const char* program : Programs) {
        SCOPED_TRACE(program);
        PeImage image(Dist(program));
        EXPECT_EQ(IMAGE_FILE_MACHINE_I386, image.Machine());
        EXPECT_EQ(IMAGE_NT_OPTIONAL_HDR32_MAGIC, image.OptionalMagic());
        EXPECT_EQ(IMAGE_SUBSYSTEM_WINDOWS_GUI, image.Subsystem());
        EXPECT_EQ(4, image.SubsystemMajor()); // loads on Windows 95 and NT 4.0
        ExpectSystemImportsOnly(image);
    }
}

TEST(Deliverables, The64BitTwinsAreGuiProgramsToo)
{
    for (const char* program : Programs) {
        SCOPED_TRACE(program);
        PeImage image(Dist(std::string("x64\\") + program));
        EXPECT_EQ(IMAGE_FILE_MACHINE_AMD64, image.Machine());
        EXPECT_EQ(IMAGE_SUBSYSTEM_WINDOWS_GUI, image.Subsystem());
        ExpectSystemImportsOnly(image);
    }
}
