// helpwriter: turns a help source into a WinHelp 4 file.
//   helpwriter <source> <output.hlp>
// Pictures named in the source are read from the source's folder.
#include <cstdio>
#include <fstream>
#include <sstream>

#include "help_file.h"

namespace {

Bytes ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("can't read " + path);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::string FolderOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: helpwriter <source> <output.hlp>\n");
        return 2;
    }
    std::string sourcePath = argv[1], outputPath = argv[2];
    try {
        HelpSource source = ParseHelpSource(ReadFile(sourcePath));
        std::string folder = FolderOf(sourcePath);
        // No time stamp: the same source gives the same bytes.
        Bytes help = BuildHelpFile(
            source, [&folder](const std::string& name) { return ReadFile(folder + name); }, 0);
        std::ofstream out(outputPath, std::ios::binary | std::ios::trunc);
        out.write(help.data(), static_cast<std::streamsize>(help.size()));
        out.close();
        if (!out) {
            std::remove(outputPath.c_str());
            throw std::runtime_error("can't write " + outputPath);
        }
    } catch (const SourceError& error) {
        fprintf(stderr, "%s:%d: error: %s\n", sourcePath.c_str(), error.Line(), error.what());
        return 1;
    } catch (const std::exception& error) {
        fprintf(stderr, "helpwriter: error: %s\n", error.what());
        return 1;
    }
    return 0;
}
