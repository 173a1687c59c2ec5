#include "license_page.h"

#include "file_resource.h"
#include "page.h"
#include "resource.h"

// The resource has no terminating zero: the box gets exactly its bytes. A
// missing license, or no memory for its copy, is not reported; the box stays
// empty.
static void ShowLicenseText(HWND page)
{
    const char* data;
    DWORD size;
    if (LoadFileResource(IDR_LICENSE_TEXT, &data, &size) != 0)
        return;
    char* text = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, size + 1));
    if (!text)
        return;
    lstrcpynA(text, data, int(size) + 1);
    SetDlgItemTextA(page, IDC_LICENSE_TEXT, text);
    HeapFree(GetProcessHeap(), 0, text);
}

INT_PTR CALLBACK LicensePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        ShowLicenseText(page);
        return PageDialogProc(page, message, wParam, lParam);
    case WM_COMMAND:
        // Escape arrives as IDCANCEL and is ignored like every other id.
        if (LOWORD(wParam) == IDC_ACCEPT)
            EndPage(page, PAGE_OPTIONS, 0);
        else if (LOWORD(wParam) == IDC_DECLINE)
            EndPage(page, PAGE_EXIT, -1);
        return TRUE;
    case WM_CLOSE:
        EndPage(page, PAGE_EXIT, -1);
        return TRUE;
    default:
        return PageDialogProc(page, message, wParam, lParam);
    }
}
