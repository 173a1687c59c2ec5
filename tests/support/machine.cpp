#include "machine.h"

#include <windows.h>
#include <sddl.h>

#include <stdexcept>

std::string CurrentUserSid()
{
    HANDLE token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        throw std::runtime_error("can't open the test's token");
    union {
        TOKEN_USER User;
        BYTE Room[256];
    } buffer;
    DWORD size = sizeof buffer;
    char* text = nullptr;
    bool found = GetTokenInformation(token, TokenUser, &buffer, size, &size) &&
                 ConvertSidToStringSidA(buffer.User.User.Sid, &text);
    CloseHandle(token);
    if (!found)
        throw std::runtime_error("can't read the user's SID");
    std::string sid = text;
    LocalFree(text);
    return sid;
}

void MakeFoldersOf(const std::string& file, std::vector<std::string>* made)
{
    for (size_t slash = file.find('\\', 3); slash != std::string::npos;
         slash = file.find('\\', slash + 1)) {
        std::string folder = file.substr(0, slash);
        if (CreateDirectoryA(folder.c_str(), NULL) && made)
            made->push_back(folder);
    }
}
