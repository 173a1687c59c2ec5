// Little-endian byte building and the compressed integers of help files.
#include "byte_buffer.h"

#include <stdexcept>

void PutByte(Bytes& out, unsigned value)
{
    out.push_back(static_cast<char>(value & 0xFF));
}

void PutWord(Bytes& out, unsigned value)
{
    PutByte(out, value);
    PutByte(out, value >> 8);
}

void PutDword(Bytes& out, uint32_t value)
{
    PutWord(out, value & 0xFFFF);
    PutWord(out, value >> 16);
}

void PatchWord(Bytes& out, size_t at, unsigned value)
{
    Bytes word;
    PutWord(word, value);
    out.replace(at, 2, word);
}

void PatchDword(Bytes& out, size_t at, uint32_t value)
{
    Bytes dword;
    PutDword(dword, value);
    out.replace(at, 4, dword);
}

namespace {

// The form is chosen by the caller: a signed value's bias depends on it.
void PutShortForm(Bytes& out, uint32_t value, bool longForm)
{
    if (longForm) {
        if (value > 0x7FFF)
            throw std::range_error("a compressed short holds at most 0x7FFF");
        PutWord(out, value * 2 + 1);
    } else {
        PutByte(out, value * 2);
    }
}

void PutLongForm(Bytes& out, uint32_t value, bool longForm)
{
    if (longForm) {
        if (value > 0x7FFFFFFF)
            throw std::range_error("a compressed long holds at most 0x7FFFFFFF");
        PutDword(out, value * 2 + 1);
    } else {
        PutWord(out, value * 2);
    }
}

} // namespace

void PutCuShort(Bytes& out, unsigned value)
{
    PutShortForm(out, value, value >= 0x80);
}

void PutCsShort(Bytes& out, int value)
{
    bool shortForm = value >= -0x40 && value < 0x40;
    if (!shortForm && (value < -0x4000 || value >= 0x4000))
        throw std::range_error("a compressed signed short holds -0x4000 to 0x3FFF");
    PutShortForm(out, static_cast<uint32_t>(value + (shortForm ? 0x40 : 0x4000)), !shortForm);
}

void PutCuLong(Bytes& out, uint32_t value)
{
    PutLongForm(out, value, value >= 0x8000);
}

void PutCsLong(Bytes& out, int32_t value)
{
    bool shortForm = value >= -0x4000 && value < 0x4000;
    if (!shortForm && value < -0x40000000)
        throw std::range_error("a compressed signed long holds -0x40000000 to 0x3FFFFFFF");
    PutLongForm(out, static_cast<uint32_t>(int64_t(value) + (shortForm ? 0x4000 : 0x40000000)),
                !shortForm);
}
