// Little-endian numbers for the tests' expected bytes, kept apart from the
// writer's own encoders so that the tests don't trust what they test.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

inline std::string Dword(uint32_t value)
{
    std::string bytes;
    for (int i = 0; i < 4; ++i)
        bytes += static_cast<char>(value >> (8 * i) & 0xFF);
    return bytes;
}

inline std::string Word(unsigned value)
{
    return Dword(value).substr(0, 2);
}

inline unsigned WordAt(const std::string& bytes, size_t at)
{
    return static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8;
}

inline uint32_t DwordAt(const std::string& bytes, size_t at)
{
    return WordAt(bytes, at) | uint32_t(WordAt(bytes, at + 2)) << 16;
}
