// Reads win32_imports.txt and holds a built program against it.
#include "compat_check.h"

#include <windows.h>

#include <sstream>
#include <stdexcept>

#include "pe_image.h"

namespace {

std::string LowerCase(std::string text)
{
    if (!text.empty())
        CharLowerBuffA(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

bool EndsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

[[noreturn]] void Refuse(int line, const std::string& why)
{
    throw std::runtime_error("win32_imports.txt line " + std::to_string(line) + ": " + why);
}

// The next word of the line, and the rest of it with its leading blanks dropped.
std::string TakeWord(std::istringstream& words)
{
    std::string word;
    words >> word;
    return word;
}

std::string Rest(std::istringstream& words)
{
    std::string rest;
    std::getline(words >> std::ws, rest);
    return rest;
}

// A "[name.dll] where it comes from" or "[later]" line.
void ReadSection(const std::string& line, int number, SystemImports& systems, std::string& section)
{
    size_t open = line.find('['), close = line.find(']');
    if (close == std::string::npos)
        Refuse(number, "a section name without its ]");
    section = LowerCase(line.substr(open + 1, close - open - 1));
    std::istringstream rest(line.substr(close + 1));
    std::string where = Rest(rest);
    if (section == "later")
        return;
    if (!EndsWith(section, ".dll"))
        Refuse(number, "[" + section + "] is neither a DLL nor [later]");
    if (IsCRuntimeDll(section))
        Refuse(number, "[" + section + "] is a C runtime DLL, which the programs do without");
    if (where.empty())
        Refuse(number, "[" + section + "] does not say where the DLL comes from");
    if (!systems.Functions.emplace(section, std::set<std::string>()).second)
        Refuse(number, "[" + section + "] a second time");
}

// A "name dll where it was introduced" line of [later].
void ReadLater(const std::string& name, std::istringstream& words, int number,
               SystemImports& systems)
{
    std::string dll = LowerCase(TakeWord(words)), where = Rest(words);
    if (!EndsWith(dll, ".dll") || where.empty())
        Refuse(number, name + " needs its DLL and where it was introduced");
    if (!systems.Later.emplace(dll + "!" + name, where).second)
        Refuse(number, name + " listed twice");
}

} // namespace

bool IsCRuntimeDll(const std::string& name)
{
    std::string dll = LowerCase(name);
    return dll == "crtdll.dll" || dll == "ucrtbase.dll" || dll.rfind("msvcr", 0) == 0 ||
           dll.rfind("api-ms-win-crt-", 0) == 0;
}

SystemImports ParseSystemImports(const std::string& text)
{
    SystemImports systems;
    std::string section;
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        std::istringstream words(line);
        std::string first = TakeWord(words);
        if (first.empty() || first[0] == '#')
            continue;
        if (first[0] == '[')
            ReadSection(line, number, systems, section);
        else if (section.empty())
            Refuse(number, first + " before any section");
        else if (section == "later")
            ReadLater(first, words, number, systems);
        else if (!systems.Functions[section].insert(first).second)
            Refuse(number, first + " listed twice");
    }
    for (const auto& [dll, functions] : systems.Functions)
        for (const std::string& function : functions)
            if (systems.Later.count(dll + "!" + function))
                throw std::runtime_error("win32_imports.txt lists " + dll + "!" + function +
                                         " both as present and as later");
    return systems;
}

std::vector<std::string> CompatibilityOffences(const PeImage& image, const SystemImports& systems)
{
    std::vector<std::string> offences;
    auto version = [&](const char* what, WORD major, WORD minor) {
        if (major > 4 || (major == 4 && minor > 0))
            offences.push_back(std::string(what) + " " + std::to_string(major) + "." +
                               std::to_string(minor) +
                               " asked for; Windows 95 and NT 4.0 load 4.0 at most");
    };
    version("operating system version", image.OsMajor(), image.OsMinor());
    version("subsystem version", image.SubsystemMajor(), image.SubsystemMinor());

    for (const std::string& library : image.ImportedLibraries())
        if (IsCRuntimeDll(library))
            offences.push_back(library + " is a C runtime DLL: the programs bring their own runtime");
        else if (!systems.Functions.count(LowerCase(library)))
            offences.push_back(library + " is not a DLL that Windows 95 and NT 4.0 carry");
    for (const std::string& import : image.ImportedFunctions()) {
        size_t bang = import.find('!');
        std::string dll = LowerCase(import.substr(0, bang)), name = import.substr(bang + 1);
        auto later = systems.Later.find(dll + "!" + name);
        auto known = systems.Functions.find(dll);
        if (later != systems.Later.end())
            offences.push_back(import + " came later: " + later->second);
        else if (known != systems.Functions.end() && !known->second.count(name))
            offences.push_back(import + " is not in win32_imports.txt: find out where it came "
                                        "from and list it");
    }
    return offences;
}
