#include "screenshot.h"

#include <windows.h>

#include <stdexcept>
#include <vector>

#include "program_run.h"
#include "scratch.h"

void SaveScreenshot(const std::string& name)
{
    HDC screen = GetDC(NULL);
    int width = GetDeviceCaps(screen, HORZRES), height = GetDeviceCaps(screen, VERTRES);
    HDC copy = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(copy, bitmap);
    BitBlt(copy, 0, 0, width, height, screen, 0, 0, SRCCOPY);
    SelectObject(copy, old);

    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    int stride = (width * 3 + 3) & ~3;
    std::vector<char> pixels(size_t(stride) * height);
    GetDIBits(copy, bitmap, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&header),
              DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(copy);
    ReleaseDC(NULL, screen);

    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42; // "BM"
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = DWORD(file.bfOffBits + pixels.size());
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
    bytes.append(reinterpret_cast<const char*>(&header), sizeof header);
    bytes.append(pixels.data(), pixels.size());
    WriteFileBytes(WindowsPathFromEnvironment("QS_SCREENSHOTS") + "\\" + name + ".bmp", bytes);
}
