#include "wine_log.h"

#include <windows.h>

#include "program_run.h"
#include "scratch.h"

WineDebugChannels::WineDebugChannels(const std::string& channels)
{
    char saved[256] = "";
    GetEnvironmentVariableA("WINEDEBUG", saved, sizeof saved);
    saved_ = saved;
    SetEnvironmentVariableA("WINEDEBUG", ("-all," + channels).c_str());
}

WineDebugChannels::~WineDebugChannels()
{
    SetEnvironmentVariableA("WINEDEBUG", saved_.empty() ? NULL : saved_.c_str());
}

size_t WineLogMark()
{
    return ReadFileBytes(WindowsPathFromEnvironment("QS_WINE_LOG")).size();
}

std::string WineLogSince(size_t mark)
{
    return ReadFileBytes(WindowsPathFromEnvironment("QS_WINE_LOG")).substr(mark);
}
