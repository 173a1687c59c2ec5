// The internal files of a help file other than the topics and pictures, and
// the file system that holds them all.
#include "internal_files.h"

#include <algorithm>
#include <stdexcept>

#include "btree.h"

namespace {

const unsigned FileHeaderSize = 9;
const uint32_t HelpMagic = 0x00035F3F;

// The value each byte adds to a context hash: letters ignore case, '1'-'9'
// count 1-9 and '0' counts 10. The parser lets no other character through.
int32_t HashValue(unsigned char c)
{
    if (c >= '1' && c <= '9')
        return c - '0';
    if (c == '0')
        return 10;
    if (c == '.')
        return 12;
    if (c == '_')
        return 13;
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 17;
    if (c >= 'A' && c <= 'Z')
        return c - 'A' + 17;
    throw std::invalid_argument(std::string("no hash value for '") + char(c) + "'");
}

void PutSystemRecord(Bytes& out, unsigned type, const Bytes& data)
{
    PutWord(out, type);
    PutWord(out, static_cast<unsigned>(data.size()));
    out += data;
}

// Readers take a file's end from its reserved size: leave no slack.
void PutInternalFile(Bytes& out, const Bytes& payload)
{
    PutDword(out, static_cast<uint32_t>(payload.size() + FileHeaderSize));
    PutDword(out, static_cast<uint32_t>(payload.size()));
    PutByte(out, 4); // flags, as help compilers write them
    out += payload;
}

void SortByKey(std::vector<ContextEntry>& entries, bool signedOrder)
{
    std::sort(entries.begin(), entries.end(),
              [signedOrder](const ContextEntry& a, const ContextEntry& b) {
                  return signedOrder ? int32_t(a.Key) < int32_t(b.Key) : a.Key < b.Key;
              });
    for (size_t i = 1; i < entries.size(); ++i)
        if (entries[i].Key == entries[i - 1].Key)
            throw std::invalid_argument("two contexts share the key " +
                                        std::to_string(entries[i].Key));
}

} // namespace

uint32_t ContextHash(const std::string& name)
{
    if (name.empty())
        return 1;
    uint32_t hash = 0;
    for (char c : name)
        hash = hash * 43 + static_cast<uint32_t>(HashValue(static_cast<unsigned char>(c)));
    return hash;
}

Bytes SystemFile(const std::string& title, uint32_t contentsOffset, uint32_t generationTime)
{
    Bytes file;
    PutWord(file, 0x036C);
    PutWord(file, 33); // minor version: the Windows 95 format
    PutWord(file, 1);
    PutDword(file, generationTime);
    PutWord(file, 0); // topic text not compressed, 4 KiB blocks
    if (title.size() + 1 > 0xFFFF)
        throw std::length_error("the title is too long");
    PutSystemRecord(file, 1, title + '\0');
    Bytes contents;
    PutDword(contents, contentsOffset);
    PutSystemRecord(file, 3, contents);
    // Locale US English and character set ANSI, as viewers have long been
    // given them; without them a viewer has to guess.
    Bytes locale(8, '\0');
    PutWord(locale, 0x0409);
    PutSystemRecord(file, 9, locale);
    PutSystemRecord(file, 11, Bytes("\0\0\0\2\0", 5));
    return file;
}

Bytes FontFile()
{
    const unsigned faceSlot = 32, faceCount = 1;
    Bytes file;
    PutWord(file, faceCount);
    PutWord(file, 2); // descriptors: FONT_NORMAL, FONT_BOLD
    PutWord(file, 8); // face names right after this header: the plain layout
    PutWord(file, 8 + faceSlot * faceCount);
    Bytes face("Arial");
    face.resize(faceSlot, '\0');
    file += face;
    for (unsigned attributes : {0u, 1u}) { // regular, bold
        PutByte(file, attributes);
        PutByte(file, 20); // 10 points, in half-points
        PutByte(file, 3); // family: swiss
        PutWord(file, 0); // face 0
        file += Bytes(6, '\0'); // black text; the background colour is unused
    }
    return file;
}

Bytes ContextFile(std::vector<ContextEntry> hashes)
{
    SortByKey(hashes, true);
    std::vector<BTreeEntry> entries;
    for (const ContextEntry& hash : hashes) {
        BTreeEntry entry;
        PutDword(entry.Key, hash.Key);
        PutDword(entry.Value, hash.TopicOffset);
        entries.push_back(entry);
    }
    return BuildBTree({0x0002, 0x0800, "L4"}, entries);
}

Bytes ContextMapFile(std::vector<ContextEntry> numbers)
{
    SortByKey(numbers, false);
    if (numbers.size() > 0xFFFF)
        throw std::length_error("too many context numbers");
    Bytes file;
    PutWord(file, static_cast<unsigned>(numbers.size()));
    for (const ContextEntry& number : numbers) {
        PutDword(file, number.Key);
        PutDword(file, number.TopicOffset);
    }
    return file;
}

Bytes FileSystem(std::vector<InternalFile> files)
{
    // Readers search the directory by plain byte comparison of the names.
    std::sort(files.begin(), files.end(),
              [](const InternalFile& a, const InternalFile& b) { return a.Name < b.Name; });
    Bytes body;
    std::vector<BTreeEntry> directory;
    const uint32_t headerSize = 16;
    for (const InternalFile& file : files) {
        BTreeEntry entry{file.Name + '\0', ""};
        PutDword(entry.Value, static_cast<uint32_t>(headerSize + body.size()));
        directory.push_back(entry);
        PutInternalFile(body, file.Payload);
    }
    uint32_t directoryOffset = static_cast<uint32_t>(headerSize + body.size());
    PutInternalFile(body, BuildBTree({0x0402, 0x0400, "z4"}, directory));

    Bytes file;
    PutDword(file, HelpMagic);
    PutDword(file, directoryOffset);
    PutDword(file, 0xFFFFFFFF); // no free blocks
    PutDword(file, static_cast<uint32_t>(headerSize + body.size()));
    return file + body;
}
