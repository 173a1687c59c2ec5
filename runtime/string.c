// The string and memory functions that the programs and the exception
// runtime call. Built without the compiler's built-ins, which would turn
// these loops into calls to the functions themselves.
#include "runtime.h"

void* memcpy(void* to, const void* from, size_t size)
{
    unsigned char* target = to;
    const unsigned char* source = from;
    while (size--)
        *target++ = *source++;
    return to;
}

void* memset(void* to, int value, size_t size)
{
    unsigned char* target = to;
    while (size--)
        *target++ = (unsigned char)value;
    return to;
}

int memcmp(const void* left, const void* right, size_t size)
{
    const unsigned char* one = left;
    const unsigned char* other = right;
    for (; size; --size, ++one, ++other)
        if (*one != *other)
            return *one - *other;
    return 0;
}

void* memchr(const void* bytes, int value, size_t size)
{
    const unsigned char* at = bytes;
    for (; size; --size, ++at)
        if (*at == (unsigned char)value)
            return (void*)at;
    return NULL;
}

size_t strlen(const char* text)
{
    size_t length = 0;
    while (text[length])
        ++length;
    return length;
}

int strncmp(const char* left, const char* right, size_t size)
{
    for (; size; --size, ++left, ++right)
        if (*left != *right || !*left)
            return (unsigned char)*left - (unsigned char)*right;
    return 0;
}

int strcmp(const char* left, const char* right)
{
    return strncmp(left, right, (size_t)-1);
}

char* strrchr(const char* text, int c)
{
    const char* found = NULL;
    do
        if (*text == (char)c)
            found = text;
    while (*text++);
    return (char*)found;
}
