// B+ trees, the sorted index that help files keep their directory and maps in.
#include "btree.h"

#include <stdexcept>

namespace {

const unsigned LeafHeaderSize = 8; // free bytes, entries, previous, next
const unsigned IndexHeaderSize = 6; // free bytes, entries, first child
const unsigned NoPage = 0xFFFF;

struct Page {
    Bytes Entries;
    unsigned Count = 0;
    Bytes FirstKey; // what the index level above files this page under
    unsigned FirstChild = NoPage;
};

Bytes PageBytes(const Page& page, unsigned pageSize, unsigned headerSize, const Bytes& links)
{
    Bytes bytes;
    PutWord(bytes, pageSize - headerSize - static_cast<unsigned>(page.Entries.size()));
    PutWord(bytes, page.Count);
    bytes += links + page.Entries;
    bytes.resize(pageSize, '\0');
    return bytes;
}

} // namespace

Bytes BuildBTree(const BTreeShape& shape, const std::vector<BTreeEntry>& sortedEntries)
{
    const unsigned leafRoom = shape.PageSize - LeafHeaderSize;
    std::vector<Page> leaves(1); // an empty tree is one empty leaf
    for (const BTreeEntry& entry : sortedEntries) {
        Bytes encoded = entry.Key + entry.Value;
        if (encoded.size() > leafRoom)
            throw std::length_error("a B+ tree entry is larger than a page");
        if (leaves.back().Entries.size() + encoded.size() > leafRoom)
            leaves.emplace_back();
        if (leaves.back().Count == 0)
            leaves.back().FirstKey = entry.Key;
        leaves.back().Entries += encoded;
        leaves.back().Count++;
    }

    Bytes pages;
    unsigned pageCount = 0;
    for (unsigned i = 0; i < leaves.size(); ++i) {
        Bytes links;
        PutWord(links, i == 0 ? NoPage : i - 1);
        PutWord(links, i + 1 == leaves.size() ? NoPage : i + 1);
        pages += PageBytes(leaves[i], shape.PageSize, LeafHeaderSize, links);
        ++pageCount;
    }

    // Each index page names its first child in its header and every other
    // child by that child's first key.
    struct Child {
        unsigned Number;
        Bytes FirstKey;
    };
    std::vector<Child> level;
    for (unsigned i = 0; i < leaves.size(); ++i)
        level.push_back({i, leaves[i].FirstKey});
    const unsigned indexRoom = shape.PageSize - IndexHeaderSize;
    unsigned levels = 1;
    while (level.size() > 1) {
        std::vector<Page> parents;
        for (const Child& child : level) {
            Bytes entry = child.FirstKey;
            PutWord(entry, child.Number);
            if (entry.size() > indexRoom)
                throw std::length_error("a B+ tree key is larger than a page");
            if (parents.empty() || parents.back().Entries.size() + entry.size() > indexRoom) {
                parents.emplace_back();
                parents.back().FirstChild = child.Number;
                parents.back().FirstKey = child.FirstKey;
            } else {
                parents.back().Entries += entry;
                parents.back().Count++;
            }
        }
        level.clear();
        for (const Page& parent : parents) {
            Bytes links;
            PutWord(links, parent.FirstChild);
            pages += PageBytes(parent, shape.PageSize, IndexHeaderSize, links);
            level.push_back({pageCount++, parent.FirstKey});
        }
        ++levels;
    }

    Bytes tree;
    PutWord(tree, 0x293B);
    PutWord(tree, shape.Flags);
    PutWord(tree, shape.PageSize);
    Bytes format(shape.Format);
    format.resize(16, '\0');
    tree += format;
    PutWord(tree, 0);
    PutWord(tree, pageCount - levels); // page splits: every page but the first of its level
    PutWord(tree, level.front().Number);
    PutWord(tree, NoPage);
    PutWord(tree, pageCount);
    PutWord(tree, levels);
    PutDword(tree, static_cast<uint32_t>(sortedEntries.size()));
    return tree + pages;
}
