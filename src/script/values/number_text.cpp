#include "script/values/number_text.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <system_error>

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Digits beyond this many decide the rounding of a double only through whether any of
// them is non-zero, so the rest of a long mantissa is folded into one sticky digit.
constexpr int kKeptDigits = 799;
// An exponent this large already overflows or underflows whatever the mantissa is; the
// bound keeps the arithmetic on it far from the limits of its type.
constexpr int64_t kExponentBound = 100000000;
// Decimal magnitudes outside this window are infinite or zero as doubles.
constexpr int64_t kMaxMagnitude = 310;
constexpr int64_t kMinMagnitude = -330;

} // namespace

double TextToDouble(const char* text, const char** end, bool dExponent) {
    const char* p = text;
    while (IsBlank(*p))
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        ++p;
    }
    const char* mantissa = p;
    while (IsDigit(*p))
        ++p;
    const char* intEnd = p;
    const char* fraction = p;
    const char* fractionEnd = p;
    if (*p == '.') {
        fraction = ++p;
        while (IsDigit(*p))
            ++p;
        fractionEnd = p;
    }
    if (intEnd == mantissa && fractionEnd == fraction) {
        if (end != nullptr) *end = text;
        return 0.0;
    }

    int64_t exponent = 0;
    if (*p == 'e' || *p == 'E' || (dExponent && (*p == 'd' || *p == 'D'))) {
        const char* q = p + 1;
        bool negativeExponent = false;
        if (*q == '+' || *q == '-') {
            negativeExponent = *q == '-';
            ++q;
        }
        if (IsDigit(*q)) {
            while (IsDigit(*q)) {
                if (exponent < kExponentBound) exponent = exponent * 10 + (*q - '0');
                ++q;
            }
            if (negativeExponent) exponent = -exponent;
            p = q;
        }
    }
    if (end != nullptr) *end = p;

    // The significant digits as one integer M (leading zeros dropped, a long tail folded
    // into a sticky digit); the value lies in [10^(magnitude - 1), 10^magnitude).
    char normalised[kKeptDigits + 24];
    int kept = 0;
    int64_t leadingZeros = 0;
    bool sticky = false;
    auto take = [&](const char* from, const char* to) {
        for (const char* d = from; d < to; ++d) {
            if (kept == 0 && *d == '0') {
                ++leadingZeros;
            } else if (kept < kKeptDigits) {
                normalised[kept++] = *d;
            } else if (*d != '0') {
                sticky = true;
            }
        }
    };
    take(mantissa, intEnd);
    take(fraction, fractionEnd);
    if (kept == 0) return negative ? -0.0 : 0.0;
    if (sticky) normalised[kept++] = '1';
    int64_t magnitude = (intEnd - mantissa) - leadingZeros + exponent;

    double result = 0.0;
    if (magnitude > kMaxMagnitude) {
        result = HUGE_VAL;
    } else if (magnitude < kMinMagnitude) {
        result = 0.0;
    } else {
        int length = kept;
        normalised[length++] = 'e';
        std::to_chars_result written =
            std::to_chars(normalised + length, normalised + sizeof normalised, magnitude - kept);
        const char* last = written.ptr;
        std::from_chars_result read = std::from_chars(normalised, last, result);
        if (read.ec == std::errc::result_out_of_range) result = magnitude > 0 ? HUGE_VAL : 0.0;
    }
    return negative ? -result : result;
}

int32_t TextToInt(const char* text) {
    const char* p = text;
    while (IsBlank(*p))
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        ++p;
    }
    // One past the magnitude of INT32_MIN is enough to know the value is clamped.
    constexpr int64_t kLimit = int64_t{1} << 31;
    int64_t value = 0;
    for (; IsDigit(*p); ++p) {
        if (value <= kLimit) value = value * 10 + (*p - '0');
    }
    if (negative) value = -value;
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(value);
}

uint32_t ReadHexDigits(const char*& text) {
    uint32_t value = 0;
    for (;; ++text) {
        char c = *text;
        uint32_t digit;
        if (IsDigit(c)) {
            digit = uint32_t(c - '0');
        } else if (c >= 'A' && c <= 'F') {
            digit = uint32_t(c - 'A' + 10);
        } else if (c >= 'a' && c <= 'f') {
            digit = uint32_t(c - 'a' + 10);
        } else {
            return value;
        }
        if (value > (UINT32_MAX >> 4)) return value;
        value = (value << 4) | digit;
    }
}

uint32_t ReadBinaryDigits(const char*& text) {
    uint32_t value = 0;
    for (; *text == '0' || *text == '1'; ++text) {
        if (value > (UINT32_MAX >> 1)) return value;
        value = (value << 1) | uint32_t(*text - '0');
    }
    return value;
}

int FormatDouble(double value, char* buffer, size_t size) {
    char text[64];
    size_t length;
    if (std::isnan(value)) {
        // The sign of a NaN depends on how it was made, so it is not shown.
        std::memcpy(text, "nan", 3);
        length = 3;
    } else {
        // Infinities come out as "inf" and "-inf", as printf writes them.
        std::to_chars_result written =
            std::to_chars(text, text + sizeof text, value, std::chars_format::general, 6);
        length = size_t(written.ptr - text);
    }
    if (buffer == nullptr || size == 0) return 0;
    if (length > size - 1) length = size - 1;
    std::memcpy(buffer, text, length);
    buffer[length] = '\0';
    return int(length);
}

int32_t DoubleToInt(double value) {
    // Written so that NaN fails the test as well.
    if (value > -2147483649.0 && value < 2147483648.0) return static_cast<int32_t>(value);
    return INT32_MIN;
}
