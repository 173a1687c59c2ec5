// B+ trees, the sorted index that help files keep their directory and maps in.
#pragma once

#include <vector>

#include "byte_buffer.h"

struct BTreeEntry {
    Bytes Key;
    Bytes Value;
};

struct BTreeShape {
    unsigned Flags; // 0x0402 for the directory, 0x0002 for the others
    unsigned PageSize; // 0x0400 for the directory, 0x0800 for the others
    const char* Format; // the key/value format string, such as "z4"
};

// The whole tree: 38-byte header, then the pages. The entries must come
// sorted in the order that readers compare keys in. Leaf pages are filled in
// turn; index pages are built over them, a level at a time, until one page
// is left, which is the root. Throws std::length_error for an entry too big
// for a page.
Bytes BuildBTree(const BTreeShape& shape, const std::vector<BTreeEntry>& sortedEntries);
