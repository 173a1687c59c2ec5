// The built installer's resources, read from both built files: the three page
// templates as tabled, the license text, the cabinet's head, the banner, the
// icon and the version record.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <stdexcept>

#include "dialog_template.h"
#include "pe_image.h"
#include "program_run.h"
#include "resource_formats.h"
#include "scratch.h"
#include "version_record.h"

namespace {

const DWORD Child = WS_CHILD | WS_VISIBLE;

// The license and options pages are overlapped windows from standard
// templates; the install page is a captionless pop-up from an extended one.
const DWORD OverlappedPage =
    WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_MODALFRAME | DS_CENTER | DS_SETFONT;

struct PageTemplate {
    const char* Name;
    short Width, Height;
    const char* Caption;
    std::vector<DialogItem> Items;
    bool Extended = false;
    DWORD Style = OverlappedPage;
    DWORD ExStyle = 0;
};

const PageTemplate LicensePage = {
    "#105", 239, 215, "License Information",
    {
        {1006, "BUTTON", "Yes", Child | BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 195, 195, 40, 14},
        {1007, "BUTTON", "No", Child | BS_PUSHBUTTON | WS_TABSTOP, 0, 150, 195, 40, 14},
        {-1, "STATIC", "#103", Child | SS_BITMAP, 0, 5, 5, 129, 23},
        {1008, "STATIC", "", Child | SS_BLACKRECT, 0, 5, 24, 235, 1},
        {-1, "STATIC", "Please read the license below.", Child | SS_LEFT | WS_GROUP, 0, 127, 25,
         108, 10},
        {-1, "STATIC", "Do you agree with the terms and conditions of the license agreement?",
         Child | SS_LEFT | WS_GROUP, 0, 10, 194, 125, 17},
        {1009, "EDIT", "",
         Child | ES_MULTILINE | ES_READONLY | ES_WANTRETURN | WS_VSCROLL | WS_BORDER | WS_TABSTOP,
         0, 10, 45, 220, 140},
    }};

const PageTemplate OptionsPage = {
    "#101", 239, 118, "Options",
    {
        {1010, "BUTTON", "&Install", Child | BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 195, 100, 40, 14},
        {1011, "BUTTON", "Cancel", Child | BS_PUSHBUTTON | WS_TABSTOP, 0, 150, 100, 40, 14},
        {-1, "STATIC", "Program Location:", Child | SS_LEFT | WS_GROUP, 0, 5, 40, 65, 10},
        {1000, "EDIT", "", Child | ES_LEFT | WS_BORDER | WS_TABSTOP, 0, 5, 50, 215, 12},
        {1003, "BUTTON", "...", Child | BS_PUSHBUTTON | BS_CENTER | WS_TABSTOP, 0, 224, 49, 10,
         12},
        {-1, "STATIC", "#103", Child | SS_BITMAP, 0, 5, 5, 129, 23},
        {1008, "STATIC", "", Child | SS_BLACKRECT, 0, 5, 24, 235, 1},
        {-1, "STATIC", "Please choose your options.", Child | SS_LEFT | WS_GROUP, 0, 127,
         25, 116, 10},
        {1004, "BUTTON", "Add To Start Menu Group",
         Child | BS_AUTOCHECKBOX | BS_VCENTER | WS_TABSTOP, 0, 5, 70, 100, 10},
        {1005, "BUTTON", "Place Shortcut On Desktop", Child | BS_AUTOCHECKBOX | WS_TABSTOP, 0, 5,
         85, 100, 10},
        {1013, "COMBOBOX", "", Child | CBS_DROPDOWN | CBS_SORT | WS_VSCROLL | WS_TABSTOP, 0, 110,
         69, 125, 90},
    }};

const PageTemplate InstallPage = {
    "#113", 239, 86, "",
    {
        {1016, "msctls_progress32", "", Child | WS_BORDER | PBS_SMOOTH, 0, 20, 60, 200, 10},
        {-1, "STATIC", "#103", Child | SS_BITMAP, 0, 5, 5, 230, 22},
        {1008, "STATIC", "", Child | SS_BLACKRECT, 0, 5, 24, 235, 1},
        {-1, "STATIC", "Quillstone is being installed.", Child | SS_LEFT | WS_GROUP, 0, 127, 25,
         116, 10},
        {1017, "STATIC", "", Child | SS_LEFT | WS_GROUP, 0, 20, 45, 200, 10},
    },
    true, 0x800008C0, WS_EX_TOOLWINDOW};

// Each test reads the shipped 32-bit file and its 64-bit twin.
class InstallerResources : public testing::TestWithParam<const char*> {
protected:
    static void SetUpTestSuite() { Images = new std::map<std::string, PeImage>; }
    static void TearDownTestSuite() { delete Images; }

    const PeImage& Image() const
    {
        auto found = Images->find(GetParam());
        if (found == Images->end())
            found = Images->emplace(GetParam(), PeImage(WindowsPathFromEnvironment("QS_DIST") +
                                                        "\\" + GetParam()))
                        .first;
        return found->second;
    }
    const std::string& Bytes(const char* type, const std::string& name) const
    {
        const PeResource* resource = Image().Resource(type, name);
        if (!resource)
            throw std::runtime_error(std::string("no resource ") + type + " " + name);
        return resource->Bytes;
    }
    void ExpectTemplate(const PageTemplate& page) const;

    static std::map<std::string, PeImage>* Images;
};

std::map<std::string, PeImage>* InstallerResources::Images;

void InstallerResources::ExpectTemplate(const PageTemplate& page) const
{
    DialogTemplate dialog = ParseDialogTemplate(Bytes("#5", page.Name));
    EXPECT_EQ(page.Extended, dialog.Extended);
    EXPECT_EQ(page.Style, dialog.Style);
    EXPECT_EQ(page.ExStyle, dialog.ExStyle);
    EXPECT_EQ(0, dialog.X);
    EXPECT_EQ(0, dialog.Y);
    EXPECT_EQ(page.Width, dialog.Width);
    EXPECT_EQ(page.Height, dialog.Height);
    EXPECT_EQ("", dialog.Menu);
    EXPECT_EQ("", dialog.Class);
    EXPECT_EQ(page.Caption, dialog.Caption);
    EXPECT_EQ(8, dialog.PointSize);
    EXPECT_EQ("Verdana", dialog.Font);
    if (page.Extended) {
        EXPECT_EQ(0, dialog.Weight);
        EXPECT_EQ(0, dialog.Italic);
        EXPECT_EQ(DEFAULT_CHARSET, dialog.Charset);
    }
    ASSERT_EQ(page.Items.size(), dialog.Items.size());
    for (size_t i = 0; i < page.Items.size(); ++i) {
        const DialogItem &expected = page.Items[i], &item = dialog.Items[i];
        SCOPED_TRACE("control " + std::to_string(i) + ", id " + std::to_string(expected.Id));
        EXPECT_EQ(expected.Id, item.Id);
        // Window classes are found whatever their case; windres stores named ones in capitals.
        EXPECT_STRCASEEQ(expected.Class.c_str(), item.Class.c_str());
        EXPECT_EQ(expected.Text, item.Text);
        EXPECT_EQ(expected.Style, item.Style);
        EXPECT_EQ(0u, item.ExStyle);
        EXPECT_EQ(expected.X, item.X);
        EXPECT_EQ(expected.Y, item.Y);
        EXPECT_EQ(expected.Width, item.Width);
        EXPECT_EQ(expected.Height, item.Height);
    }
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Builds, InstallerResources,
                         testing::Values("Quillstone Installer.exe",
                                         "x64\\Quillstone Installer.exe"));

TEST_P(InstallerResources, AreTheInstallersOwnAllInUsEnglish)
{
    std::vector<std::string> found;
    for (const PeResource& resource : Image().Resources()) {
        EXPECT_EQ(1033, resource.Language) << resource.Type << " " << resource.Name;
        if (resource.Type != "#3") // the icon's images, named by the icon group
            found.push_back(resource.Type + " " + resource.Name);
    }
    std::sort(found.begin(), found.end());
    EXPECT_EQ((std::vector<std::string>{"#14 #104", "#16 #1", "#2 #103", "#5 #101", "#5 #105",
                                        "#5 #113", "FILE #108", "FILE #122"}),
              found);
}

TEST_P(InstallerResources, ThePageTemplatesAreAsTabled)
{
    for (const PageTemplate* page : {&LicensePage, &OptionsPage, &InstallPage}) {
        SCOPED_TRACE(page->Name);
        ExpectTemplate(*page);
    }
}

TEST_P(InstallerResources, TheLicenseIsWindowsTextWithCrLfLineEndsAndNoTerminator)
{
    const std::string& text = Bytes("FILE", "#108");
    EXPECT_EQ(ReadFileBytes(WindowsPathOf(QS_LICENSE)), text);
    EXPECT_EQ(961u, text.size());
    EXPECT_EQ(std::string::npos, text.find('\0'));
    size_t lineEnds = 0, beyondAscii = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' || text[i] == '\r') {
            ASSERT_EQ("\r\n", text.substr(i, 2)) << "at byte " << i;
            ++lineEnds;
            ++i;
        }
        beyondAscii += static_cast<unsigned char>(text[i]) >= 0x80;
    }
    EXPECT_EQ(17u, lineEnds);
    EXPECT_EQ(1u, beyondAscii);
    EXPECT_EQ("\r\n", text.substr(0, 2)); // an empty first line
    EXPECT_EQ("\r\n\r\n\r\n", text.substr(text.size() - 6)); // two empty lines at the end
}

// "x64\\" of the 64-bit twin, "" of the shipped installer.
static std::string BuildFolderOf(const std::string& installer)
{
    return installer.substr(0, installer.rfind('\\') + 1);
}

TEST_P(InstallerResources, TheCabinetIsOneMszipFolderOfTheSixFiles)
{
    const std::string& cabinet = Bytes("FILE", "#122");
    ASSERT_EQ("MSCF", cabinet.substr(0, 4));
    EXPECT_EQ(cabinet.size(), ReadAt<DWORD>(cabinet, 8));
    EXPECT_EQ(3, ReadAt<BYTE>(cabinet, 24)); // version 1.3
    EXPECT_EQ(1, ReadAt<BYTE>(cabinet, 25));
    EXPECT_EQ(1, ReadAt<WORD>(cabinet, 26)); // folders
    ASSERT_EQ(6, ReadAt<WORD>(cabinet, 28)); // files
    EXPECT_EQ(0, ReadAt<WORD>(cabinet, 30)); // flags: no reserve, no previous or next cabinet
    EXPECT_EQ(0, ReadAt<WORD>(cabinet, 32)); // set id
    EXPECT_EQ(0, ReadAt<WORD>(cabinet, 34)); // index in the set
    EXPECT_EQ(1, ReadAt<WORD>(cabinet, 36 + 6) & 0x0F); // MSZIP

    // The stored names, in order, each with its size, its place in the folder
    // and the archive attribute alone (cabinet_tests.sh checks the dates).
    const std::string dist = WindowsPathFromEnvironment("QS_DIST") + "\\";
    const std::string payload = WindowsPathOf(QS_PAYLOAD) + "\\";
    const struct {
        std::string Name, Source;
    } files[] = {
        {"Leggimi.txt", payload + "Leggimi.txt"},
        {"ReadMe.txt", payload + "ReadMe.txt"},
        {"Quillstone.exe", dist + BuildFolderOf(GetParam()) + "Quillstone.exe"},
        {"Quillstone.hlp", dist + "Quillstone.hlp"},
        {"Shareware Donation For Quillstone.url", payload + "Shareware Donation For Quillstone.url"},
        {"Visit The Quillstone Website.url", payload + "Visit The Quillstone Website.url"},
    };
    size_t entry = ReadAt<DWORD>(cabinet, 16);
    DWORD folderOffset = 0;
    for (const auto& file : files) {
        SCOPED_TRACE(file.Name);
        EXPECT_EQ(ReadFileBytes(file.Source).size(), ReadAt<DWORD>(cabinet, entry));
        EXPECT_EQ(folderOffset, ReadAt<DWORD>(cabinet, entry + 4));
        EXPECT_EQ(0, ReadAt<WORD>(cabinet, entry + 8)); // the one folder
        EXPECT_EQ(FILE_ATTRIBUTE_ARCHIVE, ReadAt<WORD>(cabinet, entry + 14));
        std::string name = cabinet.c_str() + std::min(entry + 16, cabinet.size());
        EXPECT_EQ(file.Name, name);
        folderOffset += ReadAt<DWORD>(cabinet, entry);
        entry += 16 + name.size() + 1;
    }
}

TEST(InstallerCabinet, EachInstallerCarriesACabinetOfItsOwnBuild)
{
    // The 64-bit twin installs the 64-bit compactor, which Wine here can run.
    const std::string dist = WindowsPathFromEnvironment("QS_DIST") + "\\";
    PeImage shipped(dist + "Quillstone Installer.exe"), twin(dist + "x64\\Quillstone Installer.exe");
    ASSERT_NE(nullptr, shipped.Resource("FILE", "#122"));
    ASSERT_NE(nullptr, twin.Resource("FILE", "#122"));
    EXPECT_FALSE(shipped.Resource("FILE", "#122")->Bytes == twin.Resource("FILE", "#122")->Bytes);
}

TEST_P(InstallerResources, TheBannerIsABlackWordMarkOnAn8BitWhiteBitmap)
{
    ExpectWordMarkBitmap(Bytes("#2", "#103"), 402, 36);
}

TEST_P(InstallerResources, TheIconHas16And32PixelImagesIn16And256Colours)
{
    EXPECT_EQ((std::vector<IconImage>{{16, 16, 4}, {16, 16, 8}, {32, 32, 4}, {32, 32, 8}}),
              IconGroupImages(Image(), "#104"));
}

TEST_P(InstallerResources, TheVersionRecordNamesTheInstaller)
{
    VersionRecord record = ParseVersionRecord(Bytes("#16", "#1"));
    EXPECT_EQ(0xFEEF04BDu, record.Fixed.dwSignature);
    EXPECT_EQ(0x00010000u, record.Fixed.dwFileVersionMS);
    EXPECT_EQ(0u, record.Fixed.dwFileVersionLS);
    EXPECT_EQ(0x00010000u, record.Fixed.dwProductVersionMS);
    EXPECT_EQ(0u, record.Fixed.dwProductVersionLS);
    EXPECT_EQ(0u, record.Fixed.dwFileFlags);
    EXPECT_EQ(DWORD(VOS__WINDOWS32), record.Fixed.dwFileOS);
    EXPECT_EQ(DWORD(VFT_APP), record.Fixed.dwFileType);
    const std::map<std::string, std::string> strings = {
        {"Comments", ""},
        {"CompanyName", " "},
        {"FileDescription", "Quillstone Installer"},
        {"FileVersion", "1.0"},
        {"InternalName", "Quillstone Installer"},
        {"LegalCopyright", "Copyright (C) The Quillstone Authors"},
        {"LegalTrademarks", ""},
        {"OriginalFilename", "Quillstone 1.0.exe"},
        {"PrivateBuild", ""},
        {"ProductName", "Quillstone"},
        {"ProductVersion", "1.0"},
        {"SpecialBuild", ""},
    };
    EXPECT_EQ((std::map<std::string, std::map<std::string, std::string>>{{"0C0904B0", strings}}),
              record.Strings);
    EXPECT_EQ(std::vector<DWORD>{MAKELONG(0x0C09, 1200)}, record.Translations);
}
