// The |TOPIC file: topics as records of text and formatting, laid out in
// 4 KiB blocks, and the character positions that the maps point at.
#include "topic_layout.h"

#include "internal_files.h"

namespace {

const unsigned BlockRoom = TopicBlockSize - TopicBlockHeaderSize;
const unsigned TopicHeaderDataSize = 28;
const uint32_t None = 0xFFFFFFFF;

// Paragraph format bits and their values, in half-points.
const unsigned SPACE_BELOW = 0x0004, LEFT_INDENT = 0x0010, FIRST_LINE_INDENT = 0x0040,
               TAB_STOPS = 0x0200;
const int HeadingSpaceBelow = 6, StepSpaceBelow = 3, StepIndent = 24;

// Formatting commands; every one of them ends the string before it.
const unsigned char SET_FONT = 0x80, END_PARAGRAPH = 0x82, TAB = 0x83, INLINE_PICTURE = 0x86,
                    END_OF_RECORD = 0xFF;

class RecordBuilder {
public:
    void Command(unsigned char command)
    {
        strings_ += '\0';
        PutByte(commands_, command);
    }
    void Font(HelpFont font)
    {
        Command(SET_FONT);
        PutWord(commands_, font);
    }
    // A picture kept in its own internal file |bmN.
    void Picture(int number)
    {
        Command(INLINE_PICTURE);
        PutByte(commands_, 3); // a picture without hot spots
        PutCsLong(commands_, 4);
        PutWord(commands_, 0); // not embedded here
        PutWord(commands_, static_cast<unsigned>(number));
    }
    void Text(const std::string& text) { strings_ += text; }

    // The two leading sizes: the format and commands after them, and the
    // characters that the record adds to the topic's character count.
    TopicRecord Finish(const Bytes& format)
    {
        Command(END_OF_RECORD);
        Bytes rest = format + commands_;
        Bytes data1;
        PutCsLong(data1, static_cast<int32_t>(rest.size()));
        PutCuShort(data1, static_cast<unsigned>(strings_.size()));
        return {RECORD_TEXT, data1 + rest, strings_};
    }

private:
    Bytes commands_;
    Bytes strings_;
};

Bytes ParagraphFormat(ParagraphStyle style)
{
    Bytes format;
    PutByte(format, 0x00);
    PutByte(format, 0x80);
    PutWord(format, 0); // id
    switch (style) {
    case ParagraphStyle::Heading:
        PutWord(format, SPACE_BELOW);
        PutCsShort(format, HeadingSpaceBelow);
        break;
    case ParagraphStyle::Text:
        PutWord(format, 0);
        break;
    case ParagraphStyle::Step: // a hanging indent: the label, a tab, the text
        PutWord(format, SPACE_BELOW | LEFT_INDENT | FIRST_LINE_INDENT | TAB_STOPS);
        PutCsShort(format, StepSpaceBelow);
        PutCsShort(format, StepIndent);
        PutCsShort(format, -StepIndent);
        PutCsShort(format, 1);
        PutCuShort(format, StepIndent);
        break;
    }
    return format;
}

struct PlacedRecord {
    TopicRecord Record;
    uint32_t Position = 0; // TOPICPOS: block * 0x4000 + 12 + offset in the block
    uint32_t Offset = 0; // TOPICOFFSET: block * 0x8000 + characters before it in the block
};

uint32_t RecordSize(const TopicRecord& record)
{
    return static_cast<uint32_t>(TopicRecordHeaderSize + record.LinkData1.size() +
                                 record.LinkData2.size());
}

TopicRecord TopicHeader(const std::string& title)
{
    return {RECORD_TOPIC_HEADER, Bytes(TopicHeaderDataSize, '\0'), title};
}

// Topic header fields that name other records, known once all are placed.
void FillTopicHeader(PlacedRecord& header, uint32_t topicBytes, uint32_t topicNumber,
                     uint32_t firstText, uint32_t nextTopic)
{
    Bytes& data = header.Record.LinkData1;
    PatchDword(data, 0, topicBytes);
    PatchDword(data, 4, None); // no browse sequence
    PatchDword(data, 8, None);
    PatchDword(data, 12, topicNumber);
    PatchDword(data, 16, None); // no non-scrolling region
    PatchDword(data, 20, firstText);
    PatchDword(data, 24, nextTopic);
}

// Places the records of one topic (or the trailer) whole into a block.
class BlockPlacer {
public:
    void Place(std::vector<PlacedRecord>& records, int line, const std::string& title)
    {
        uint32_t bytes = 0;
        for (const PlacedRecord& placed : records)
            bytes += RecordSize(placed.Record);
        if (bytes > BlockRoom)
            throw SourceError(line, "topic \"" + title +
                                        "\" is too long for its block: " + std::to_string(bytes) +
                                        " bytes, a block holds " + std::to_string(BlockRoom));
        if (used_ + bytes > BlockRoom) {
            ++block_;
            used_ = 0;
            characters_ = 0;
        }
        for (PlacedRecord& placed : records) {
            placed.Position = block_ * 0x4000 + TopicBlockHeaderSize + used_;
            placed.Offset = block_ * 0x8000 + characters_;
            used_ += RecordSize(placed.Record);
            if (placed.Record.Type == RECORD_TEXT)
                characters_ += static_cast<uint32_t>(placed.Record.LinkData2.size());
        }
    }

private:
    uint32_t block_ = 0, used_ = 0, characters_ = 0;
};

Bytes BlockHeader(uint32_t lastEarlierRecord, uint32_t firstRecord, uint32_t lastEarlierTopic)
{
    Bytes header;
    PutDword(header, lastEarlierRecord);
    PutDword(header, firstRecord);
    PutDword(header, lastEarlierTopic);
    return header;
}

Bytes WriteBlocks(const std::vector<PlacedRecord>& records)
{
    Bytes file;
    uint32_t lastTopic = 0; // what a block before any topic header names
    for (size_t i = 0; i < records.size(); ++i) {
        const PlacedRecord& placed = records[i];
        uint32_t block = (placed.Position - TopicBlockHeaderSize) / 0x4000;
        if (file.size() <= block * TopicBlockSize) {
            file.resize(block * TopicBlockSize, '\0');
            file +=
                BlockHeader(i == 0 ? None : records[i - 1].Position, placed.Position, lastTopic);
        }
        const TopicRecord& record = placed.Record;
        PutDword(file, RecordSize(record));
        PutDword(file, static_cast<uint32_t>(record.LinkData2.size())); // stored uncompressed
        PutDword(file, i == 0 ? None : records[i - 1].Position);
        PutDword(file, i + 1 == records.size() ? None : records[i + 1].Position);
        PutDword(file, static_cast<uint32_t>(TopicRecordHeaderSize + record.LinkData1.size()));
        PutByte(file, record.Type);
        file += record.LinkData1 + record.LinkData2;
        if (record.Type == RECORD_TOPIC_HEADER)
            lastTopic = placed.Position;
    }
    // Readers copy whole blocks: pad the last one.
    file.resize((file.size() + TopicBlockSize - 1) / TopicBlockSize * TopicBlockSize, '\0');
    return file;
}

} // namespace

TopicRecord ParagraphRecord(const Paragraph& paragraph)
{
    RecordBuilder builder;
    builder.Font(paragraph.Style == ParagraphStyle::Heading ? FONT_BOLD : FONT_NORMAL);
    if (paragraph.Style == ParagraphStyle::Step) {
        builder.Text(paragraph.Label);
        builder.Command(TAB);
    }
    for (const Piece& piece : paragraph.Pieces) {
        if (piece.Picture >= 0)
            builder.Picture(piece.Picture);
        else
            builder.Text(piece.Text);
    }
    builder.Command(END_PARAGRAPH);
    return builder.Finish(ParagraphFormat(paragraph.Style));
}

TopicLayout LayOutTopics(const std::vector<Topic>& topics)
{
    // Each topic: its header record, then one text record per paragraph.
    std::vector<std::vector<PlacedRecord>> groups;
    BlockPlacer placer;
    for (const Topic& topic : topics) {
        std::vector<PlacedRecord> group{{TopicHeader(topic.Title)}};
        for (const Paragraph& paragraph : topic.Paragraphs)
            group.push_back({ParagraphRecord(paragraph)});
        placer.Place(group, topic.Line, topic.Title);
        groups.push_back(group);
    }
    // An empty trailing topic header ends the chain, so that the last real
    // topic has a next topic to name.
    std::vector<PlacedRecord> trailer{{TopicHeader("")}};
    placer.Place(trailer, 0, "");
    groups.push_back(trailer);

    TopicLayout layout;
    std::vector<PlacedRecord> records;
    for (size_t i = 0; i < groups.size(); ++i) {
        std::vector<PlacedRecord>& group = groups[i];
        uint32_t bytes = 0;
        for (const PlacedRecord& placed : group)
            bytes += RecordSize(placed.Record);
        bool last = i + 1 == groups.size();
        FillTopicHeader(group.front(), last ? 0 : bytes, static_cast<uint32_t>(i),
                        group.size() > 1 ? group[1].Position : None,
                        last ? None : groups[i + 1].front().Position);
        if (!last)
            layout.TopicOffsets.push_back(group.front().Offset);
        records.insert(records.end(), group.begin(), group.end());
    }
    layout.TopicFile = WriteBlocks(records);
    return layout;
}
