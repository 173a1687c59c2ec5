// The |TOPIC file: topics as records of text and formatting, laid out in
// 4 KiB blocks, and the character positions that the maps point at.
#pragma once

#include <cstdint>
#include <vector>

#include "byte_buffer.h"
#include "help_source.h"

const unsigned TopicBlockSize = 4096;
const unsigned TopicBlockHeaderSize = 12;
const unsigned TopicRecordHeaderSize = 21;

enum RecordType { RECORD_TOPIC_HEADER = 2, RECORD_TEXT = 0x20 };

struct TopicRecord {
    RecordType Type;
    Bytes LinkData1; // paragraph format and formatting commands
    Bytes LinkData2; // the NUL-separated strings
};

// One paragraph as a text record.
TopicRecord ParagraphRecord(const Paragraph& paragraph);

struct TopicLayout {
    Bytes TopicFile;
    std::vector<uint32_t> TopicOffsets; // each topic's character position
};

// Every topic goes whole into one block, so that no record is ever split;
// a topic too big for an empty block throws SourceError with its line.
TopicLayout LayOutTopics(const std::vector<Topic>& topics);
