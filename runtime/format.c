// vsnprintf with the conversions the programs use: %s with or without a
// precision (".n" or ".*"), %c, %d and %i, %.0f and %%. Any other conversion,
// and the rest of the format after it, is copied as it stands, so that it
// shows. The text is cut to the buffer and
// always ends in a zero when the buffer has room for one; the result is the
// length that the whole text has.
#include <stdarg.h>
#include <stdint.h>

#include "runtime.h"

// The buffer being filled: every character counts, those that fit are kept.
struct Output {
    char* Next;
    char* End;
    size_t Length;
};

static void Put(struct Output* out, char c)
{
    if (out->Next < out->End)
        *out->Next++ = c;
    ++out->Length;
}

static void PutText(struct Output* out, const char* text, int precision)
{
    for (int i = 0; (precision < 0 || i < precision) && text[i]; ++i)
        Put(out, text[i]);
}

static void PutInteger(struct Output* out, int value)
{
    char digits[12];
    int count = 0;
    unsigned magnitude = value < 0 ? 0u - (unsigned)value : (unsigned)value;
    do {
        digits[count++] = (char)('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude);
    if (value < 0)
        Put(out, '-');
    while (count > 0)
        Put(out, digits[--count]);
}

// Decimal digits, lowest first, times two plus the bit.
static void DoubleAndAdd(char* digits, int* count, int bit)
{
    int carry = bit;
    for (int i = 0; i < *count; ++i) {
        int doubled = digits[i] * 2 + carry;
        digits[i] = (char)(doubled % 10);
        carry = doubled / 10;
    }
    if (carry)
        digits[(*count)++] = (char)carry;
}

// The double rounded to a whole number, halves to the even neighbour, and
// written in full, every digit exact as the C library writes it.
static void PutWholeNumber(struct Output* out, double value)
{
    union {
        double Value;
        uint64_t Bits;
    } number = {value};
    int exponent = (int)(number.Bits >> 52 & 0x7ff);
    uint64_t mantissa = number.Bits & ((UINT64_C(1) << 52) - 1);
    if (number.Bits >> 63)
        Put(out, '-');
    if (exponent == 0x7ff) {
        PutText(out, mantissa ? "nan" : "inf", -1);
        return;
    }
    // The value is mantissa * 2^exponent.
    if (exponent) {
        mantissa |= UINT64_C(1) << 52;
        exponent -= 1075;
    } else {
        exponent = -1074;
    }
    if (exponent < -53) {
        mantissa = 0; // below one half
    } else if (exponent < 0) {
        uint64_t fraction = mantissa & ((UINT64_C(1) << -exponent) - 1);
        uint64_t half = UINT64_C(1) << (-exponent - 1);
        mantissa >>= -exponent;
        if (fraction > half || (fraction == half && (mantissa & 1)))
            ++mantissa;
        exponent = 0;
    }
    // Decimal digits, lowest first; the largest double has 309. Built bit by
    // bit: a 64-bit division would link libgcc's helpers for it.
    char digits[310];
    int count = 0;
    for (int bit = 53; bit >= 0; --bit)
        DoubleAndAdd(digits, &count, (int)(mantissa >> bit & 1));
    for (; exponent > 0; --exponent)
        DoubleAndAdd(digits, &count, 0);
    if (!count)
        digits[count++] = 0;
    while (count > 0)
        Put(out, (char)('0' + digits[--count]));
}

// Writes one conversion; returns 0 for one it does not know.
static int PutConversion(struct Output* out, char conversion, int precision, va_list* arguments)
{
    switch (conversion) {
    case 's': {
        const char* text = va_arg(*arguments, const char*);
        PutText(out, text ? text : "(null)", precision);
        return 1;
    }
    case 'c':
        Put(out, (char)va_arg(*arguments, int));
        return 1;
    case 'd':
    case 'i':
        PutInteger(out, va_arg(*arguments, int));
        return 1;
    case 'f':
        if (precision != 0)
            return 0;
        PutWholeNumber(out, va_arg(*arguments, double));
        return 1;
    case '%':
        Put(out, '%');
        return 1;
    default:
        return 0;
    }
}

int vsnprintf(char* buffer, size_t size, const char* format, va_list arguments)
{
    struct Output out = {buffer, buffer + (size ? size - 1 : 0), 0};
    va_list rest;
    va_copy(rest, arguments);
    while (*format) {
        if (*format != '%') {
            Put(&out, *format++);
            continue;
        }
        const char* start = format++;
        int precision = -1;
        if (*format == '.') {
            ++format;
            if (*format == '*') {
                ++format;
                precision = va_arg(rest, int);
            } else {
                for (precision = 0; *format >= '0' && *format <= '9'; ++format)
                    precision = precision * 10 + (*format - '0');
            }
        }
        if (*format && PutConversion(&out, *format, precision, &rest)) {
            ++format;
            continue;
        }
        // The size of an unknown conversion's argument is unknown too, so no
        // later one could be read safely: the rest shows as it stands.
        while (*start)
            Put(&out, *start++);
        break;
    }
    va_end(rest);
    if (size)
        *out.Next = '\0';
    return out.Length > 0x7fffffff ? -1 : (int)out.Length;
}

// The toolchain's C++ headers turn every snprintf and vsnprintf into a call
// of this name.
int __mingw_vsnprintf(char* buffer, size_t size, const char* format, va_list arguments)
{
    return vsnprintf(buffer, size, format, arguments);
}
