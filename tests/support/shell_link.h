// A shell link (.lnk) read back through the shell's own link object.
#pragma once

#include <string>

struct ShellLinkFields {
    std::string Target, Description, WorkingDirectory;
};

// Reads the link with IPersistFile::Load and IShellLinkA; throws when the
// shell can't read it.
ShellLinkFields ReadShellLink(const std::string& path);
