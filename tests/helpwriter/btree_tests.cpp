// B+ tree header and pages, checked field by field against the format.
#include <gtest/gtest.h>

#include <stdexcept>

#include "btree.h"
#include "little_endian.h"

namespace {

const size_t HeaderSize = 38;

// Two-byte keys "k0".."k9" with one-byte values, in tiny pages so that a
// handful of entries needs several pages and levels.
std::vector<BTreeEntry> Entries(int count)
{
    std::vector<BTreeEntry> entries;
    for (int i = 0; i < count; ++i)
        entries.push_back({"k" + std::string(1, char('0' + i)), std::string(1, char('a' + i))});
    return entries;
}

} // namespace

TEST(BTree, OneLeafHoldsASmallTree)
{
    Bytes tree =
        BuildBTree({0x0402, 0x0400, "z4"}, {{Bytes("|FONT\0", 6), Bytes("\x10\0\0\0", 4)},
                                            {Bytes("|TOPIC\0", 7), Bytes("\x20\0\0\0", 4)}});
    ASSERT_EQ(HeaderSize + 0x400, tree.size());
    EXPECT_EQ(0x293Bu, WordAt(tree, 0));
    EXPECT_EQ(0x0402u, WordAt(tree, 2));
    EXPECT_EQ(0x0400u, WordAt(tree, 4));
    EXPECT_EQ(Bytes("z4\0\0\0\0\0\0\0\0\0\0\0\0\0\0", 16), tree.substr(6, 16));
    EXPECT_EQ(0u, WordAt(tree, 22));
    EXPECT_EQ(0u, WordAt(tree, 24)); // no page splits
    EXPECT_EQ(0u, WordAt(tree, 26)); // root page
    EXPECT_EQ(0xFFFFu, WordAt(tree, 28));
    EXPECT_EQ(1u, WordAt(tree, 30)); // pages
    EXPECT_EQ(1u, WordAt(tree, 32)); // levels
    EXPECT_EQ(2u, DwordAt(tree, 34)); // entries

    const size_t page = HeaderSize;
    EXPECT_EQ(0x400u - 8 - 21, WordAt(tree, page)); // free bytes
    EXPECT_EQ(2u, WordAt(tree, page + 2));
    EXPECT_EQ(0xFFFFu, WordAt(tree, page + 4)); // no previous leaf
    EXPECT_EQ(0xFFFFu, WordAt(tree, page + 6)); // no next leaf
    EXPECT_EQ(Bytes("|FONT\0\x10\0\0\0|TOPIC\0\x20\0\0\0", 21), tree.substr(page + 8, 21));
    EXPECT_EQ(Bytes(0x400 - 8 - 21, '\0'), tree.substr(page + 8 + 21));
}

TEST(BTree, AnEmptyTreeIsOneEmptyLeaf)
{
    Bytes tree = BuildBTree({0x0002, 0x0800, "L4"}, {});
    ASSERT_EQ(HeaderSize + 0x800, tree.size());
    EXPECT_EQ(1u, WordAt(tree, 30));
    EXPECT_EQ(0u, DwordAt(tree, 34));
    EXPECT_EQ(0x800u - 8, WordAt(tree, HeaderSize));
    EXPECT_EQ(0u, WordAt(tree, HeaderSize + 2));
}

TEST(BTree, LeavesFillInOrderAndIndexLevelsGrowOverThem)
{
    // 16-byte pages: a leaf holds 2 entries of 3 bytes (8 header bytes), an
    // index page its first child plus 2 keys with their pages (6 + 2 * 4).
    Bytes tree = BuildBTree({0x0002, 16, "z1"}, Entries(10));
    // 5 leaves (0-4); index pages 5 (leaves 0-2) and 6 (leaves 3-4); root 7.
    ASSERT_EQ(HeaderSize + 8 * 16, tree.size());
    EXPECT_EQ(8u, WordAt(tree, 30));
    EXPECT_EQ(3u, WordAt(tree, 32));
    EXPECT_EQ(7u, WordAt(tree, 26));
    EXPECT_EQ(8u - 3, WordAt(tree, 24));
    EXPECT_EQ(10u, DwordAt(tree, 34));

    const struct {
        unsigned Page, Free, Count, Previous, Next;
        Bytes Entries;
    } leaves[] = {
        {0, 2, 2, 0xFFFF, 1, "k0ak1b"}, {1, 2, 2, 0, 2, "k2ck3d"},      {2, 2, 2, 1, 3, "k4ek5f"},
        {3, 2, 2, 2, 4, "k6gk7h"},      {4, 2, 2, 3, 0xFFFF, "k8ik9j"},
    };
    for (const auto& leaf : leaves) {
        SCOPED_TRACE(leaf.Page);
        size_t at = HeaderSize + leaf.Page * 16;
        EXPECT_EQ(leaf.Free, WordAt(tree, at));
        EXPECT_EQ(leaf.Count, WordAt(tree, at + 2));
        EXPECT_EQ(leaf.Previous, WordAt(tree, at + 4));
        EXPECT_EQ(leaf.Next, WordAt(tree, at + 6));
        EXPECT_EQ(leaf.Entries, tree.substr(at + 8, 6));
    }

    const struct {
        unsigned Page, Free, Count, FirstChild;
        Bytes Entries;
    } indexes[] = {
        {5, 2, 2, 0, Bytes("k2\x01\x00k4\x02\x00", 8)},
        {6, 6, 1, 3, Bytes("k8\x04\x00", 4)},
        {7, 6, 1, 5, Bytes("k6\x06\x00", 4)},
    };
    for (const auto& index : indexes) {
        SCOPED_TRACE(index.Page);
        size_t at = HeaderSize + index.Page * 16;
        EXPECT_EQ(index.Free, WordAt(tree, at));
        EXPECT_EQ(index.Count, WordAt(tree, at + 2));
        EXPECT_EQ(index.FirstChild, WordAt(tree, at + 4));
        EXPECT_EQ(index.Entries, tree.substr(at + 6, index.Entries.size()));
    }
}

TEST(BTree, RefusesAnEntryLargerThanAPage)
{
    EXPECT_THROW(BuildBTree({0x0002, 16, "z1"}, {{"a-very-long-key", "v"}}), std::length_error);
}
