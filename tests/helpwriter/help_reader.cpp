// A reader of WinHelp 4 files for the tests, written apart from the writer:
// it walks the structures as a help viewer does and shares no code with it.
#include "help_reader.h"

#include <cstring>
#include <functional>
#include <set>

namespace {

[[noreturn]] void Bad(const std::string& what)
{
    throw std::runtime_error("malformed help file: " + what);
}

// Bounds-checked little-endian reads from one stretch of bytes.
class Cursor {
public:
    Cursor(const std::string& bytes, size_t at = 0) : bytes_(bytes), at_(at) {}

    size_t At() const { return at_; }
    bool AtEnd() const { return at_ >= bytes_.size(); }
    void Seek(size_t at) { at_ = at; }

    uint32_t Byte() { return static_cast<unsigned char>(Take(1)[0]); }
    uint32_t Word() { return Number(2); }
    uint32_t Dword() { return Number(4); }
    std::string Take(size_t count)
    {
        if (count > bytes_.size() || at_ > bytes_.size() - count)
            Bad("a read past the end of a structure");
        at_ += count;
        return bytes_.substr(at_ - count, count);
    }
    std::string String()
    {
        size_t end = bytes_.find('\0', at_);
        if (end == std::string::npos)
            Bad("a string without its NUL");
        std::string text = bytes_.substr(at_, end - at_);
        at_ = end + 1;
        return text;
    }
    // The compressed integers: the low bit of the first byte picks the long form.
    uint32_t CuShort() { return Peek() & 1 ? Word() / 2 : Byte() / 2; }
    int32_t CsShort()
    {
        return Peek() & 1 ? int32_t(Word() / 2) - 0x4000 : int32_t(Byte() / 2) - 0x40;
    }
    uint32_t CuLong() { return Peek() & 1 ? Dword() / 2 : Word() / 2; }
    int32_t CsLong()
    {
        return Peek() & 1 ? int32_t(int64_t(Dword() / 2) - 0x40000000)
                          : int32_t(Word() / 2) - 0x4000;
    }

private:
    uint32_t Peek()
    {
        uint32_t value = Byte();
        --at_;
        return value;
    }
    uint32_t Number(int size)
    {
        std::string raw = Take(size);
        uint32_t value = 0;
        for (int i = size - 1; i >= 0; --i)
            value = value << 8 | static_cast<unsigned char>(raw[i]);
        return value;
    }

    const std::string& bytes_;
    size_t at_;
};

std::string InternalFileAt(const std::string& file, uint32_t offset)
{
    Cursor header(file, offset);
    uint32_t reserved = header.Dword(), used = header.Dword();
    header.Byte();
    if (reserved < used + 9 || uint64_t(offset) + reserved > file.size())
        Bad("an internal file's sizes");
    return file.substr(offset + 9, used);
}

// Every leaf entry of a B+ tree, in leaf order; the reader takes each entry's
// bytes from the cursor.
void WalkBTree(const std::string& tree, const std::function<void(Cursor&)>& readEntry)
{
    Cursor header(tree);
    if (header.Word() != 0x293B)
        Bad("a B+ tree without its magic");
    header.Word();
    uint32_t pageSize = header.Word();
    header.Take(16 + 2 + 2);
    uint32_t root = header.Word();
    header.Word();
    uint32_t pages = header.Word(), levels = header.Word(), total = header.Dword();
    if (tree.size() != 38 + size_t(pages) * pageSize || root >= pages || levels == 0)
        Bad("a B+ tree's page counts");
    auto pageAt = [&](uint32_t page) {
        if (page >= pages)
            Bad("a B+ tree page number out of range");
        return size_t(38) + size_t(page) * pageSize;
    };
    uint32_t page = root;
    for (uint32_t level = 1; level < levels; ++level)
        page = Cursor(tree, pageAt(page) + 4).Word(); // leftmost child
    uint32_t read = 0, previous = 0xFFFF;
    for (; page != 0xFFFF;) {
        Cursor leaf(tree, pageAt(page));
        uint32_t freeBytes = leaf.Word(), count = leaf.Word();
        if (leaf.Word() != previous)
            Bad("a leaf's link to the one before");
        uint32_t next = leaf.Word();
        for (uint32_t i = 0; i < count; ++i)
            readEntry(leaf);
        if (leaf.At() - pageAt(page) + freeBytes != pageSize)
            Bad("a leaf's free byte count");
        read += count;
        previous = page;
        page = next;
    }
    if (read != total)
        Bad("a B+ tree's entry count");
}

void ReadSystem(const std::string& system, ReadHelpFile& help)
{
    Cursor in(system);
    if (in.Word() != 0x036C || in.Word() != 33 || in.Word() != 1)
        Bad("|SYSTEM is not version 1.33");
    in.Dword();
    if (in.Word() != 0)
        Bad("|SYSTEM asks for compressed topics");
    while (!in.AtEnd()) {
        uint32_t type = in.Word(), length = in.Word();
        std::string data = in.Take(length);
        if (type == 1)
            help.Title = data.substr(0, data.find('\0'));
        if (type == 3) {
            if (length != 4)
                Bad("a contents record that is not 4 bytes");
            help.ContentsOffset = Cursor(data).Dword();
        }
    }
}

uint32_t FontCount(const std::string& font)
{
    Cursor in(font);
    in.Word();
    return in.Word();
}

// The paragraph info at the start of a text record's format, skipped.
void SkipParagraphInfo(Cursor& format)
{
    format.Byte();
    format.Byte();
    format.Word();
    uint32_t bits = format.Word();
    if (bits & 0x0001)
        format.CsLong();
    for (uint32_t bit = 0x0002; bit <= 0x0040; bit <<= 1)
        if (bits & bit)
            format.CsShort();
    if (bits & 0x0100) {
        format.Byte();
        format.Word();
    }
    if (bits & 0x0200) {
        int32_t stops = format.CsShort();
        for (int32_t i = 0; i < stops; ++i)
            if (format.CuShort() & 0x4000)
                format.CuShort();
    }
}

// The text of one text record: a string, a command, a string, ... until 0xFF.
void ReadText(const std::string& data1, const std::string& data2, uint32_t fonts,
              const ReadHelpFile& help, ReadTopic& topic, std::string& paragraph)
{
    Cursor format(data1), text(data2);
    format.CsLong();
    if (format.CuShort() != data2.size())
        Bad("a text record's character count");
    SkipParagraphInfo(format);
    for (;;) {
        paragraph += text.String();
        uint32_t command = format.Byte();
        if (command == 0xFF)
            break;
        switch (command) {
        case 0x80:
            if (format.Word() >= fonts)
                Bad("a font that |FONT lacks");
            break;
        case 0x81:
            paragraph += '\n';
            break;
        case 0x82:
            topic.Paragraphs.push_back(paragraph);
            paragraph.clear();
            break;
        case 0x83:
            paragraph += '\t';
            break;
        case 0x86:
        case 0x87:
        case 0x88: {
            if (format.Byte() != 3 || format.CsLong() != 4 || format.Word() != 0)
                Bad("a picture that is not a plain reference to a |bm file");
            std::string name = "|bm" + std::to_string(format.Word());
            if (!help.Directory.count(name))
                Bad("a picture without its file " + name);
            paragraph += "{" + name.substr(1) + "}";
            break;
        }
        default:
            Bad("unknown formatting command " + std::to_string(command));
        }
    }
    if (!format.AtEnd() || !text.AtEnd())
        Bad("a text record with bytes after its end");
}

void ReadTopics(const std::string& topicFile, uint32_t fonts, ReadHelpFile& help)
{
    const size_t blockSize = 4096, blockData = 4084;
    if (topicFile.empty() || topicFile.size() % blockSize != 0)
        Bad("|TOPIC is not whole blocks");
    // The records' bytes with the block headers taken out.
    std::string stream;
    for (size_t block = 0; block < topicFile.size(); block += blockSize)
        stream += topicFile.substr(block + 12, blockData);
    auto streamIndex = [&](uint32_t position) {
        size_t index = size_t((position - 12) >> 14) * blockData + ((position - 12) & 0x3FFF);
        if (position < 12 || ((position - 12) & 0x3FFF) >= blockData || index >= stream.size())
            Bad("a record position out of range");
        return index;
    };

    uint32_t position = Cursor(topicFile, 4).Dword(), previous = 0xFFFFFFFF;
    uint32_t block = 0, characters = 0, expectedTopic = 12, expectedText = 0xFFFFFFFF;
    ReadTopic* topic = nullptr;
    std::string paragraph;
    std::set<uint32_t> seen;
    while (position != 0xFFFFFFFF) {
        if (!seen.insert(position).second)
            Bad("a loop in the record chain");
        if ((position - 12) >> 14 != block) {
            block = (position - 12) >> 14;
            characters = 0;
        }
        uint32_t offset = block * 0x8000 + characters;
        Cursor record(stream, streamIndex(position));
        uint32_t size = record.Dword(), length2 = record.Dword();
        if (record.Dword() != previous)
            Bad("a record's link to the one before");
        uint32_t next = record.Dword(), data1End = record.Dword(), type = record.Byte();
        if (data1End < 21 || size != data1End + length2)
            Bad("a record's sizes");
        std::string data1 = record.Take(data1End - 21), data2 = record.Take(length2);
        if (type == 2) {
            if (position != expectedTopic || expectedText != 0xFFFFFFFF)
                Bad("a topic header that the one before does not point at");
            Cursor header(data1);
            header.Take(20);
            expectedText = header.Dword();
            expectedTopic = header.Dword();
            bool trailer = data2.empty() && next == 0xFFFFFFFF;
            if (!trailer) {
                help.Topics.push_back({offset, data2.substr(0, data2.find('\0')), {}});
                topic = &help.Topics.back();
            }
        } else if (type == 0x20 && topic) {
            if (expectedText != 0xFFFFFFFF && position != expectedText)
                Bad("a topic's first text is not where its header says");
            expectedText = 0xFFFFFFFF;
            ReadText(data1, data2, fonts, help, *topic, paragraph);
            characters += static_cast<uint32_t>(data2.size());
        } else {
            Bad("a record of type " + std::to_string(type));
        }
        previous = position;
        position = next;
    }
    if (!paragraph.empty())
        Bad("text after the last end of paragraph");
}

} // namespace

const ReadTopic* ReadHelpFile::TopicAt(uint32_t offset) const
{
    const ReadTopic* found = nullptr;
    for (const ReadTopic& topic : Topics)
        if (topic.Offset <= offset && (!found || topic.Offset > found->Offset))
            found = &topic;
    return found;
}

ReadHelpFile ReadHelp(const std::string& bytes)
{
    ReadHelpFile help;
    Cursor header(bytes);
    if (header.Dword() != 0x00035F3F)
        Bad("no help file magic");
    uint32_t directory = header.Dword();
    header.Dword();
    if (header.Dword() != bytes.size())
        Bad("the header's file size");

    std::string lastName;
    WalkBTree(InternalFileAt(bytes, directory), [&](Cursor& entry) {
        std::string name = entry.String();
        if (!lastName.empty() && strcmp(lastName.c_str(), name.c_str()) >= 0)
            Bad("directory names out of order");
        lastName = name;
        help.Directory[name] = entry.Dword();
    });
    for (const auto& file : help.Directory)
        help.Files[file.first] = InternalFileAt(bytes, file.second);
    for (const char* needed : {"|SYSTEM", "|TOPIC", "|FONT", "|CONTEXT", "|CTXOMAP"})
        if (!help.Files.count(needed))
            Bad(std::string("no ") + needed);

    ReadSystem(help.Files["|SYSTEM"], help);

    Cursor map(help.Files["|CTXOMAP"]);
    for (uint32_t count = map.Word(); count > 0; --count) {
        uint32_t number = map.Dword();
        help.ContextNumbers[number] = map.Dword();
    }

    int64_t lastHash = INT64_MIN;
    WalkBTree(help.Files["|CONTEXT"], [&](Cursor& entry) {
        uint32_t hash = entry.Dword();
        if (int32_t(hash) <= lastHash)
            Bad("context hashes out of signed order");
        lastHash = int32_t(hash);
        help.ContextHashes[hash] = entry.Dword();
    });

    ReadTopics(help.Files["|TOPIC"], FontCount(help.Files["|FONT"]), help);
    return help;
}

ReadPicture ReadPictureFile(const std::string& payload)
{
    Cursor in(payload);
    uint32_t magic = in.Word();
    if ((magic != 0x706C && magic != 0x506C) || in.Word() != 1)
        Bad("a picture file that is not one picture");
    size_t start = in.Dword();
    in.Seek(start);
    if (in.Byte() != 6 || in.Byte() != 0)
        Bad("a picture that is not an unpacked device-independent bitmap");
    in.CuLong();
    in.CuLong();
    if (in.CuShort() != 1)
        Bad("a picture with more than one plane");
    ReadPicture picture{0, 0, in.CuShort(), "", ""};
    picture.Width = in.CuLong();
    picture.Height = in.CuLong();
    uint32_t colours = in.CuLong();
    if (in.CuLong() != 0)
        Bad("a transparent picture");
    uint32_t pixelBytes = in.CuLong();
    in.CuLong();
    uint32_t pixelsAt = in.Dword();
    in.Dword();
    picture.Palette = in.Take(size_t(colours) * 4);
    if (in.At() != start + pixelsAt)
        Bad("picture pixels that do not follow the palette");
    picture.Pixels = in.Take(pixelBytes);
    if ((picture.Width * picture.Bits + 31) / 32 * 4 * picture.Height != pixelBytes)
        Bad("a picture's pixel byte count");
    return picture;
}
