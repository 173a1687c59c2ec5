#include "license_page.h"

#include "driver.h"
#include "resource.h"

int LoadFileResource(int id, const char** data, DWORD* size)
{
    HMODULE module = GetModuleHandleA(NULL);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), "FILE");
    if (!found)
        return -1;
    *size = SizeofResource(module, found);
    if (*size == 0)
        return -1;
    HGLOBAL loaded = LoadResource(module, found);
    if (!loaded)
        return -1;
    *data = static_cast<const char*>(LockResource(loaded));
    return *data ? 0 : -1;
}

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
