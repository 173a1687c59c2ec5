#include "wine_log.h"

#include <windows.h>

#include <regex>

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

// Wine writes the strings of a call escaped as C strings.
static std::string Unescaped(const std::string& text)
{
    return std::regex_replace(text, std::regex(R"(\\\\)"), "\\");
}

// Lines of the form: fixme:reg:RegReplaceKeyW (root,L"sub key",L"new file",L"old file"): stub
std::vector<LoggedReplacement> ReplacementsIn(const std::string& log)
{
    std::vector<LoggedReplacement> found;
    std::regex line(R"re(RegReplaceKeyW \((\w+),L"([^"]*)",L"([^"]*)",L"([^"]*)"\))re");
    for (std::sregex_iterator it(log.begin(), log.end(), line), end; it != end; ++it)
        found.push_back({(*it)[1], Unescaped((*it)[2]), Unescaped((*it)[3]), Unescaped((*it)[4])});
    return found;
}

std::set<std::string> DelayedDeletionsIn(const std::string& log)
{
    std::set<std::string> found;
    std::regex line(R"re(MoveFileWithProgressW \(L"([^"]*)",\(null\),\w+,\w+,0004\))re");
    for (std::sregex_iterator it(log.begin(), log.end(), line), end; it != end; ++it)
        found.insert(Unescaped((*it)[1]));
    return found;
}
