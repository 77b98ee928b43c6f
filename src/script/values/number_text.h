// Numbers to and from text, locale-independent. Never call strtod, atof or atoi: they
// accept hexadecimal floats, "inf" and "nan", and follow the locale.
#pragma once

#include <cstddef>
#include <cstdint>

// Reads a decimal number as the C library's conversion in the "C" locale would: leading
// blanks (space, tab, CR, LF, VT, FF), an optional sign, digits with at most one '.',
// and an optional exponent ('e' or 'E'; also 'd' or 'D' when `dExponent`) with its own
// sign and digits. Stops at the first byte it cannot use; *end (when given) receives it
// (the text itself when no number was read, and the result is then 0.0). The value is
// correctly rounded; overflow gives +-HUGE_VAL.
double TextToDouble(const char* text, const char** end = nullptr, bool dExponent = false);

// Leading blanks, an optional sign and decimal digits, as atoi reads them; 0 when there
// are none; values beyond the 32-bit range are clamped to INT32_MIN / INT32_MAX.
int32_t TextToInt(const char* text);

// Read hexadecimal (0-9, A-F, a-f) or binary (0, 1) digits as an unsigned 32-bit value,
// stopping at the first other byte or at the digit that would overflow 32 bits; `text`
// is advanced past the digits read.
uint32_t ReadHexDigits(const char*& text);
uint32_t ReadBinaryDigits(const char*& text);

// "%g" in the "C" locale (six significant digits, at least two exponent digits:
// "1e+20", "0.5", "-5"). Returns the length written (always terminated; cut to size).
int FormatDouble(double value, char* buffer, size_t size);

// Truncation toward zero; NaN and values outside the 32-bit range give INT32_MIN
// (0x80000000), never undefined behaviour.
int32_t DoubleToInt(double value);
