// A reader of WinHelp 4 files for the tests, written apart from the writer:
// it walks the structures as a help viewer does and shares no code with it.
#pragma once

#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

struct ReadTopic {
    uint32_t Offset; // character position of the topic's header
    std::string Title;
    // Paragraph texts; a tab reads as '\t', a picture as "{bmN}".
    std::vector<std::string> Paragraphs;
};

struct ReadHelpFile {
    std::map<std::string, uint32_t> Directory; // internal file name -> header offset
    std::string Title;
    uint32_t ContentsOffset = 0xFFFFFFFF;
    std::map<uint32_t, uint32_t> ContextNumbers; // number -> character position
    std::map<uint32_t, uint32_t> ContextHashes; // name hash -> character position
    std::vector<ReadTopic> Topics; // the trailer left out
    std::map<std::string, std::string> Files; // internal file name -> payload

    // The topic that a character position lands in, as viewers pick it: the
    // last one starting at or before it; null if none.
    const ReadTopic* TopicAt(uint32_t offset) const;
};

// Throws std::runtime_error for anything that breaks the format.
ReadHelpFile ReadHelp(const std::string& bytes);

struct ReadPicture {
    uint32_t Width, Height, Bits;
    std::string Palette; // blue, green, red, 0 per colour
    std::string Pixels; // bottom-up rows, as in a .bmp
};

// The one device-independent bitmap of a |bmN file.
ReadPicture ReadPictureFile(const std::string& payload);
