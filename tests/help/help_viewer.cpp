// Driving Wine's help viewer from a test: finding its windows in whatever
// process they live, reading its text, looking for a picture on the screen.
#include "help_viewer.h"

#include <stdexcept>

#include "program_run.h"
#include "scratch.h"

namespace {

const char* const ViewerClass = "MS_WINHELP";
const int ViewerTextId = 0x701; // the viewer's rich edit child that shows the topic

struct Search {
    const char* ClassName;
    const char* Caption;
    HWND Found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM parameter)
{
    auto search = reinterpret_cast<Search*>(parameter);
    char className[64] = "";
    GetClassNameA(window, className, sizeof className);
    if (IsWindowVisible(window) && lstrcmpA(className, search->ClassName) == 0 &&
        (!search->Caption || TextOf(window) == search->Caption)) {
        search->Found = window;
        return FALSE;
    }
    return TRUE;
}

// The screen's pixels of a rectangle, as 32-bit 0x00RRGGBB values, top row first.
std::vector<DWORD> ScreenPixels(const RECT& area)
{
    int width = area.right - area.left, height = area.bottom - area.top;
    HDC screen = GetDC(NULL);
    HDC copy = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(copy, bitmap);
    BitBlt(copy, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    SelectObject(copy, old);
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = -height;
    header.biPlanes = 1;
    header.biBitCount = 32;
    std::vector<DWORD> pixels(size_t(width) * height);
    GetDIBits(copy, bitmap, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&header),
              DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(copy);
    ReleaseDC(NULL, screen);
    for (DWORD& pixel : pixels)
        pixel &= 0xFFFFFF;
    return pixels;
}

// An 8-bit .bmp's pixels in the same form as ScreenPixels.
std::vector<DWORD> BmpPixels(const std::string& bmp, int* width, int* height)
{
    auto dword = [&bmp](size_t at) { return *reinterpret_cast<const DWORD*>(&bmp[at]); };
    *width = static_cast<int>(dword(18));
    *height = static_cast<int>(dword(22));
    if (bmp.size() < 54 || *reinterpret_cast<const WORD*>(&bmp[28]) != 8)
        throw std::runtime_error("the help button picture is not an 8-bit .bmp");
    const char* palette = &bmp[14 + dword(14)];
    const char* rows = &bmp[dword(10)];
    int stride = (*width + 3) & ~3;
    std::vector<DWORD> pixels;
    for (int y = *height - 1; y >= 0; --y)
        for (int x = 0; x < *width; ++x)
            pixels.push_back(*reinterpret_cast<const DWORD*>(
                                 palette + 4 * static_cast<unsigned char>(rows[y * stride + x])) &
                             0xFFFFFF);
    return pixels;
}

} // namespace

std::string BuiltHelpFile()
{
    return WindowsPathFromEnvironment("QS_DIST") + "\\Quillstone.hlp";
}

std::string HelpButtonPicture()
{
    return WindowsPathOf(QS_HELP_PICTURE);
}

std::string TextOf(HWND window)
{
    char text[4096] = "";
    DWORD_PTR copied = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                        SMTO_ABORTIFHUNG, 5000, &copied);
    return text;
}

HWND WaitForTopLevel(const char* className, const char* caption, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    do {
        Search search{className, caption, NULL};
        EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
        if (search.Found)
            return search.Found;
        Sleep(50);
    } while (GetTickCount() - start < timeoutMs);
    return NULL;
}

HWND WaitForViewer(DWORD timeoutMs)
{
    return WaitForTopLevel(ViewerClass, nullptr, timeoutMs);
}

std::string WaitForTopicText(HWND viewer, const std::string& expected, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    std::string text;
    do {
        text = TextOf(GetDlgItem(viewer, ViewerTextId));
        if (!text.empty() && text.compare(0, expected.size(), expected) == 0)
            break;
        Sleep(100);
    } while (GetTickCount() - start < timeoutMs);
    return text;
}

bool ShowsTopicStartingWith(HWND viewer, const std::string& start)
{
    return WaitForTopicText(viewer, start).compare(0, start.size(), start) == 0;
}

bool StartViewer()
{
    if (WinExec("winhlp32.exe -x", SW_SHOWNORMAL) < 32)
        return false;
    for (int attempt = 0; attempt < 600; ++attempt) {
        if (FindWindowA(ViewerClass, NULL))
            return true;
        Sleep(50);
    }
    return false;
}

void CloseViewer()
{
    HWND viewer = FindWindowA(ViewerClass, NULL);
    if (!viewer)
        return;
    PostMessageA(viewer, WM_CLOSE, 0, 0);
    for (int attempt = 0; attempt < 100 && IsWindow(viewer); ++attempt)
        Sleep(50);
}

bool WindowShowsPicture(HWND window, const std::string& bmpPath)
{
    int width = 0, height = 0;
    std::vector<DWORD> picture = BmpPixels(ReadFileBytes(bmpPath), &width, &height);
    RECT area;
    GetWindowRect(window, &area);
    std::vector<DWORD> screen = ScreenPixels(area);
    int areaWidth = area.right - area.left, areaHeight = area.bottom - area.top;
    for (int top = 0; top + height <= areaHeight; ++top)
        for (int left = 0; left + width <= areaWidth; ++left) {
            bool same = true;
            for (int y = 0; y < height && same; ++y)
                for (int x = 0; x < width && same; ++x)
                    same = screen[size_t(top + y) * areaWidth + left + x] ==
                           picture[size_t(y) * width + x];
            if (same)
                return true;
        }
    return false;
}
