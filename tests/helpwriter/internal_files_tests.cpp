// |SYSTEM, |FONT, |CONTEXT, |CTXOMAP, the context hash and the file system,
// checked against the format's layout.
#include <gtest/gtest.h>

#include <cstring>

#include "internal_files.h"
#include "little_endian.h"

namespace {

const size_t BTreeHeaderSize = 38, LeafHeaderSize = 8;

} // namespace

TEST(ContextHash, MatchesTheFormatsHashOfContextNames)
{
    const struct {
        const char* Name;
        uint32_t Hash;
    } cases[] = {
        {"IDH_CONTENTS", 0x68310BEE},
        {"IDH_HIVE_LIST", 0xE2A3D063},
        {"IDH_COMPACT", 0x5B808F27},
        {"idh_compact", 0x5B808F27}, // case does not matter
        {"", 1},
        {"A", 17},
        {"1", 1},
        {"0", 10},
        {"a.b", (17u * 43 + 12) * 43 + 18},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(c.Hash, ContextHash(c.Name));
    }
}

TEST(SystemFile, HoldsTheVersionTitleContentsLocaleAndCharacterSet)
{
    Bytes expected("\x6C\x03\x21\x00\x01\x00" // magic, version 1.33
                   "\x00\x00\x00\x00" // generation time
                   "\x00\x00" // not compressed, 4 KiB blocks
                   "\x01\x00\x10\x00Quillstone Help\x00"
                   "\x03\x00\x04\x00\x98\x00\x00\x00"
                   "\x09\x00\x0A\x00\x00\x00\x00\x00\x00\x00\x00\x00\x09\x04"
                   "\x0B\x00\x05\x00\x00\x00\x00\x02\x00",
                   12 + 20 + 8 + 14 + 9);
    EXPECT_EQ(expected, SystemFile("Quillstone Help", 0x98, 0));
    EXPECT_EQ(0x12345678u, DwordAt(SystemFile("T", 0, 0x12345678), 6));
}

TEST(FontFile, IsOneArialFaceRegularAndBoldAtTenPoints)
{
    Bytes expected("\x01\x00\x02\x00\x08\x00\x28\x00", 8);
    expected += Bytes("Arial") + Bytes(27, '\0');
    expected += Bytes("\x00\x14\x03\x00\x00\x00\x00\x00\x00\x00\x00", 11);
    expected += Bytes("\x01\x14\x03\x00\x00\x00\x00\x00\x00\x00\x00", 11);
    EXPECT_EQ(62u, expected.size());
    EXPECT_EQ(expected, FontFile());
}

TEST(ContextMapFile, ListsNumbersInOrderWithTheirTopicOffsets)
{
    Bytes expected("\x03\x00"
                   "\x00\x00\x00\x00\x00\x00\x00\x00"
                   "\xE8\x03\x00\x00\x98\x00\x00\x00"
                   "\xE9\x03\x00\x00\xB3\x01\x00\x00",
                   26);
    EXPECT_EQ(expected, ContextMapFile({{1001, 0x1B3}, {0, 0}, {1000, 0x98}}));
    EXPECT_THROW(ContextMapFile({{7, 0}, {7, 0x20}}), std::invalid_argument);
}

TEST(ContextFile, IsATreeOfHashesInSignedOrder)
{
    // 0xE2A3D063 is negative, so it sorts first.
    Bytes tree = ContextFile({{0x68310BEE, 0x00}, {0x5B808F27, 0x1B3}, {0xE2A3D063, 0x98}});
    ASSERT_EQ(BTreeHeaderSize + 0x800, tree.size());
    EXPECT_EQ(0x0002u, WordAt(tree, 2));
    EXPECT_EQ(0x0800u, WordAt(tree, 4));
    EXPECT_EQ(Bytes("L4\0", 3), tree.substr(6, 3));
    EXPECT_EQ(3u, DwordAt(tree, 34));
    const size_t entries = BTreeHeaderSize + LeafHeaderSize;
    const uint32_t expected[][2] = {{0xE2A3D063, 0x98}, {0x5B808F27, 0x1B3}, {0x68310BEE, 0}};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(expected[i][0], DwordAt(tree, entries + i * 8));
        EXPECT_EQ(expected[i][1], DwordAt(tree, entries + i * 8 + 4));
    }
}

TEST(FileSystem, PutsTheFilesAfterTheHeaderAndTheirDirectoryLast)
{
    Bytes file = FileSystem({{"|bm0", "PIC"}, {"|TOPIC", "TOPICS"}, {"|CONTEXT", "C"}});
    // Byte order of names: upper case before lower case.
    const struct {
        const char* Name;
        uint32_t Offset;
        Bytes Payload;
    } files[] = {
        {"|CONTEXT", 16, "C"}, {"|TOPIC", 16 + 10, "TOPICS"}, {"|bm0", 16 + 10 + 15, "PIC"}};
    const uint32_t directory = 16 + 10 + 15 + 12;

    EXPECT_EQ(0x00035F3Fu, DwordAt(file, 0));
    EXPECT_EQ(directory, DwordAt(file, 4));
    EXPECT_EQ(0xFFFFFFFFu, DwordAt(file, 8));
    EXPECT_EQ(file.size(), DwordAt(file, 12));
    EXPECT_EQ(directory + 9 + BTreeHeaderSize + 0x400, file.size());

    for (const auto& f : files) {
        SCOPED_TRACE(f.Name);
        EXPECT_EQ(f.Payload.size() + 9, DwordAt(file, f.Offset)); // reserved, header included
        EXPECT_EQ(f.Payload.size(), DwordAt(file, f.Offset + 4)); // used
        EXPECT_EQ(f.Payload, file.substr(f.Offset + 9, f.Payload.size()));
    }

    EXPECT_EQ(BTreeHeaderSize + 0x400 + 9, DwordAt(file, directory));
    const Bytes tree = file.substr(directory + 9);
    EXPECT_EQ(0x0402u, WordAt(tree, 2));
    EXPECT_EQ(0x0400u, WordAt(tree, 4));
    EXPECT_EQ(Bytes("z4\0", 3), tree.substr(6, 3));
    size_t at = BTreeHeaderSize + LeafHeaderSize;
    for (const auto& f : files) {
        SCOPED_TRACE(f.Name);
        EXPECT_EQ(std::string(f.Name), tree.c_str() + at);
        at += strlen(f.Name) + 1;
        EXPECT_EQ(f.Offset, DwordAt(tree, at));
        at += 4;
    }
}
