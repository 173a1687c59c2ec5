// The shipped compactor's resources, read from the built file: the window
// template as tabled, the icons, the pointer, the banner and the version.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <stdexcept>

#include "dialog_template.h"
#include "pe_image.h"
#include "program_run.h"
#include "resource_formats.h"
#include "version_record.h"

namespace {

const PeImage& Compactor()
{
    static PeImage image(WindowsPathFromEnvironment("QS_DIST") + "\\Quillstone.exe");
    return image;
}

const PeResource& Resource(const char* type, const char* name)
{
    const PeResource* resource = Compactor().Resource(type, name);
    if (!resource)
        throw std::runtime_error(std::string("no resource ") + type + " " + name);
    return *resource;
}

} // namespace

TEST(CompactorResources, TheWindowTemplateIsAsTabled)
{
    DialogTemplate dialog = ParseDialogTemplate(Resource("#5", "#101").Bytes);
    EXPECT_TRUE(dialog.Extended);
    EXPECT_EQ(DWORD(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX |
                    WS_MAXIMIZEBOX | DS_CONTEXTHELP | DS_CENTER | DS_SETFONT),
              dialog.Style);
    EXPECT_EQ(DWORD(WS_EX_NOPARENTNOTIFY), dialog.ExStyle);
    EXPECT_EQ(0, dialog.X);
    EXPECT_EQ(0, dialog.Y);
    EXPECT_EQ(214, dialog.Width);
    EXPECT_EQ(134, dialog.Height);
    EXPECT_EQ("", dialog.Menu);
    EXPECT_EQ("", dialog.Class);
    EXPECT_EQ("Quillstone", dialog.Caption);
    EXPECT_EQ(8, dialog.PointSize);
    EXPECT_EQ("Verdana", dialog.Font);
    EXPECT_EQ(0, dialog.Weight);
    EXPECT_EQ(0, dialog.Italic);
    EXPECT_EQ(1, dialog.Charset);

    const DWORD child = WS_CHILD | WS_VISIBLE;
    const DialogItem expected[] = {
        {-1, "STATIC", "#107", child | SS_BITMAP, 0, 5, 5, 129, 23},
        {1001, "BUTTON", "&Compact", child | BS_PUSHBUTTON, 0, 165, 115, 45, 15},
        {1010, "STATIC", "Please Wait, Loading Registry Hives...", child | SS_LEFT | WS_GROUP, 0,
         5, 50, 205, 55},
        {1000, "SysListView32", "", child | LVS_REPORT | WS_BORDER | WS_TABSTOP, 0, 5, 35, 205, 75},
        {1008, "STATIC", "", child | SS_BLACKRECT, 0, 5, 24, 210, 1},
        {1006, "STATIC", "Visit The Quillstone Website", child | SS_LEFT | WS_GROUP, 0, 5, 118,
         110, 10},
        {-1, "STATIC", "Shareware - Version 1.0", child | SS_LEFT | WS_GROUP, 0, 102, 25, 108, 10},
    };
    ASSERT_EQ(std::size(expected), dialog.Items.size());
    for (size_t i = 0; i < dialog.Items.size(); ++i) {
        const DialogItem& item = dialog.Items[i];
        SCOPED_TRACE("control " + std::to_string(i) + ", id " + std::to_string(item.Id));
        EXPECT_EQ(expected[i].Id, item.Id);
        // Class names compare without case; the resource compiler stores them in capitals.
        EXPECT_EQ(0, lstrcmpiA(expected[i].Class.c_str(), item.Class.c_str())) << item.Class;
        EXPECT_EQ(expected[i].Text, item.Text);
        EXPECT_EQ(expected[i].Style, item.Style);
        EXPECT_EQ(0u, item.ExStyle);
        EXPECT_EQ(expected[i].X, item.X);
        EXPECT_EQ(expected[i].Y, item.Y);
        EXPECT_EQ(expected[i].Width, item.Width);
        EXPECT_EQ(expected[i].Height, item.Height);
    }
}

TEST(CompactorResources, IconsHaveTheirSizesAndColourDepths)
{
    EXPECT_EQ((std::vector<IconImage>{{16, 16, 4}, {16, 16, 8}, {32, 32, 4}, {32, 32, 8}}),
              IconGroupImages(Compactor(), "#102"));
    for (const char* box : {"#115", "#116"}) {
        SCOPED_TRACE(box);
        EXPECT_EQ((std::vector<IconImage>{{16, 16, 1}}), IconGroupImages(Compactor(), box));
    }
}

TEST(CompactorResources, ThePointerIsAMonochromeHandWithItsHotSpotAtTheFingertip)
{
    const std::string& group = Resource("#12", "#108").Bytes;
    EXPECT_EQ(2, ReadAt<WORD>(group, 2)); // cursors
    ASSERT_EQ(1, ReadAt<WORD>(group, 4));
    WORD id = ReadAt<WORD>(group, 6 + 12);
    const std::string& cursor = Resource("#1", ("#" + std::to_string(id)).c_str()).Bytes;
    EXPECT_EQ(7, ReadAt<WORD>(cursor, 0));
    EXPECT_EQ(0, ReadAt<WORD>(cursor, 2));
    auto header = ReadAt<BITMAPINFOHEADER>(cursor, 4);
    EXPECT_EQ(32, header.biWidth);
    EXPECT_EQ(64, header.biHeight);
    EXPECT_EQ(1, header.biBitCount);
}

TEST(CompactorResources, TheBannerIsABlackWordMarkOnAn8BitWhiteBitmap)
{
    ExpectWordMarkBitmap(Resource("#2", "#107").Bytes, 225, 37);
}

TEST(CompactorResources, TheVersionRecordNamesTheProgram)
{
    VersionRecord version = ParseVersionRecord(Resource("#16", "#1").Bytes);
    EXPECT_EQ(0x00010000u, version.Fixed.dwFileVersionMS);
    EXPECT_EQ(0u, version.Fixed.dwFileVersionLS);
    EXPECT_EQ(DWORD(VFT_APP), version.Fixed.dwFileType);
    EXPECT_EQ(DWORD(VOS__WINDOWS32), version.Fixed.dwFileOS);
    const auto& strings = version.Strings["0C0904B0"];
    EXPECT_EQ("Quillstone", strings.at("ProductName"));
    EXPECT_EQ("Quillstone.exe", strings.at("OriginalFilename"));
    EXPECT_EQ("1.0", strings.at("FileVersion"));
    EXPECT_EQ(std::vector<DWORD>{MAKELONG(0x0C09, 1200)}, version.Translations);
}
