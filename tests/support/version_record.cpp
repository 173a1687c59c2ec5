#include "version_record.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace {

// One block of the record: a length, a value, a name, and blocks inside it.
struct Block {
    std::string Key;
    std::string Value; // raw bytes
    std::vector<Block> Children;
};

WORD WordAt(const std::string& bytes, size_t at)
{
    if (at + 2 > bytes.size())
        throw std::runtime_error("version record ends early");
    WORD value;
    memcpy(&value, bytes.data() + at, sizeof value);
    return value;
}

size_t Aligned(size_t at)
{
    return (at + 3) & ~size_t(3);
}

// UTF-16 up to its zero or its end; the records here hold ASCII only.
std::string Narrow(const std::string& bytes, size_t at, size_t end)
{
    std::string text;
    for (; at + 2 <= end; at += 2) {
        WORD c = WordAt(bytes, at);
        if (!c)
            break;
        text += c < 0x80 ? char(c) : '?';
    }
    return text;
}

Block ReadBlock(const std::string& bytes, size_t at)
{
    size_t end = at + WordAt(bytes, at);
    WORD valueLength = WordAt(bytes, at + 2);
    bool text = WordAt(bytes, at + 4) == 1;
    if (end > bytes.size())
        throw std::runtime_error("version block past the record's end");
    Block block;
    size_t key = at + 6;
    block.Key = Narrow(bytes, key, end);
    size_t value = Aligned(key + 2 * (block.Key.size() + 1));
    // A text value's length counts characters, a binary one's bytes.
    size_t valueEnd = std::min(end, value + (text ? 2 * valueLength : valueLength));
    block.Value = text ? Narrow(bytes, value, valueEnd) : bytes.substr(value, valueEnd - value);
    for (size_t child = Aligned(valueEnd); child < end;) {
        WORD length = WordAt(bytes, child);
        if (length == 0)
            break;
        block.Children.push_back(ReadBlock(bytes, child));
        child = Aligned(child + length);
    }
    return block;
}

} // namespace

VersionRecord ParseVersionRecord(const std::string& bytes)
{
    Block root = ReadBlock(bytes, 0);
    if (root.Key != "VS_VERSION_INFO" || root.Value.size() != sizeof(VS_FIXEDFILEINFO))
        throw std::runtime_error("not a version record");
    VersionRecord record;
    memcpy(&record.Fixed, root.Value.data(), sizeof record.Fixed);
    for (const Block& part : root.Children) {
        for (const Block& table : part.Children) {
            if (part.Key == "StringFileInfo") {
                for (const Block& string : table.Children)
                    record.Strings[table.Key][string.Key] = string.Value;
            } else if (part.Key == "VarFileInfo" && table.Key == "Translation") {
                for (size_t i = 0; i + 4 <= table.Value.size(); i += 4) {
                    DWORD translation;
                    memcpy(&translation, table.Value.data() + i, sizeof translation);
                    record.Translations.push_back(translation);
                }
            }
        }
    }
    return record;
}
