// The internal files of a help file other than the topics and pictures, and
// the file system that holds them all.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "byte_buffer.h"

// The font numbers that topic text switches between.
enum HelpFont { FONT_NORMAL = 0, FONT_BOLD = 1 };

struct InternalFile {
    std::string Name; // such as "|SYSTEM"
    Bytes Payload;
};

struct ContextEntry {
    uint32_t Key; // a context name's hash, or a context number
    uint32_t TopicOffset; // the topic's character position
};

// The hash under which a context name is filed.
uint32_t ContextHash(const std::string& name);

// |SYSTEM: version 1.33 with uncompressed 4 KiB topic blocks, the title,
// the contents topic, the locale and the character set.
Bytes SystemFile(const std::string& title, uint32_t contentsOffset, uint32_t generationTime);
// |FONT: one face, Arial, as FONT_NORMAL and FONT_BOLD at 10 points.
Bytes FontFile();
// |CONTEXT: context-name hashes to topics, a B+ tree in signed hash order.
Bytes ContextFile(std::vector<ContextEntry> hashes);
// |CTXOMAP: context numbers to topics, sorted by number.
Bytes ContextMapFile(std::vector<ContextEntry> numbers);
// The whole help file: header, the internal files, and their directory last.
Bytes FileSystem(std::vector<InternalFile> files);
