#include "platform/controls/up_down_text.h"

#include <cstdio>
#include <cstdlib>

namespace platform {

std::string UpDownText(int value, int base, bool noThousands) {
    if (base == 16) {
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, "0x%04X", static_cast<unsigned>(value) & 0xFFFFu);
        return buffer;
    }
    std::string digits = std::to_string(value < 0 ? -static_cast<int64_t>(value) : value);
    if (!noThousands)
        for (auto at = static_cast<ptrdiff_t>(digits.size()) - 3; at > 0; at -= 3)
            digits.insert(static_cast<size_t>(at), 1, ',');
    return value < 0 ? "-" + digits : digits;
}

std::optional<int> ParseUpDownText(const std::string& text, int base) {
    std::string cleaned;
    for (char c : text)
        if (c != ',' && c != ' ') cleaned += c;
    size_t start = 0;
    bool negative = false;
    if (start < cleaned.size() && (cleaned[start] == '-' || cleaned[start] == '+'))
        negative = cleaned[start++] == '-';
    if (base == 16 && cleaned.compare(start, 2, "0x") == 0) start += 2;
    if (start >= cleaned.size() || cleaned.size() - start > 10) return std::nullopt;
    int64_t value = 0;
    for (size_t i = start; i < cleaned.size(); ++i) {
        char c = cleaned[i];
        int digit = c >= '0' && c <= '9'                 ? c - '0'
                    : base == 16 && c >= 'a' && c <= 'f' ? c - 'a' + 10
                    : base == 16 && c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                         : -1;
        if (digit < 0) return std::nullopt;
        value = value * base + digit;
    }
    if (negative) value = -value;
    if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
    return static_cast<int>(value);
}

} // namespace platform
