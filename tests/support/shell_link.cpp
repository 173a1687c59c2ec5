#include "shell_link.h"

#include <windows.h>
#include <shlobj.h>

#include <stdexcept>

ShellLinkFields ReadShellLink(const std::string& path)
{
    static bool comReady = SUCCEEDED(CoInitialize(NULL));
    IShellLinkA* link = NULL;
    if (!comReady || FAILED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER,
                                             IID_IShellLinkA, reinterpret_cast<void**>(&link))))
        throw std::runtime_error("no shell link object");
    IPersistFile* file = NULL;
    HRESULT loaded = E_FAIL;
    ShellLinkFields fields;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        WCHAR widePath[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, widePath, MAX_PATH);
        loaded = file->Load(widePath, STGM_READ);
        char text[MAX_PATH] = "";
        link->GetPath(text, sizeof text, NULL, 0);
        fields.Target = text;
        text[0] = '\0';
        link->GetDescription(text, sizeof text);
        fields.Description = text;
        text[0] = '\0';
        link->GetWorkingDirectory(text, sizeof text);
        fields.WorkingDirectory = text;
        file->Release();
    }
    link->Release();
    if (loaded != S_OK)
        throw std::runtime_error("the shell can't read the link " + path);
    return fields;
}
