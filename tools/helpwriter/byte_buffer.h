// Little-endian byte building and the compressed integers of help files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Help file bytes are kept in a string: it copies, compares and prints easily.
using Bytes = std::string;

void PutByte(Bytes& out, unsigned value);
void PutWord(Bytes& out, unsigned value);
void PutDword(Bytes& out, uint32_t value);
// Overwrites a value written earlier, once what it must say is known.
void PatchWord(Bytes& out, size_t at, unsigned value);
void PatchDword(Bytes& out, size_t at, uint32_t value);

// The compressed forms: one or two bytes (cushort, csshort) and two or four
// bytes (culong, cslong), the low bit telling which. A value that none of
// the forms can hold throws std::range_error.
void PutCuShort(Bytes& out, unsigned value);
void PutCsShort(Bytes& out, int value);
void PutCuLong(Bytes& out, uint32_t value);
void PutCsLong(Bytes& out, int32_t value);
