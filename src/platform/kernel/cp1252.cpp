#include "platform/kernel/cp1252.h"

#include <array>

namespace platform {
namespace {

// Code points of 0x80-0x9F; the undefined bytes keep their own value.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

constexpr std::array<unsigned char, 256> MakeUpperTable() {
    std::array<unsigned char, 256> table{};
    for (int i = 0; i < 256; ++i)
        table[i] = static_cast<unsigned char>(i);
    for (int c = 'a'; c <= 'z'; ++c)
        table[c] = static_cast<unsigned char>(c - 0x20);
    for (int c = 0xE0; c <= 0xFE; ++c) {
        if (c != 0xF7) table[c] = static_cast<unsigned char>(c - 0x20);
    }
    table[0x9A] = 0x8A; // š
    table[0x9C] = 0x8C; // œ
    table[0x9E] = 0x8E; // ž
    table[0xFF] = 0x9F; // ÿ
    return table;
}

constexpr std::array<unsigned char, 256> MakeLowerTable() {
    constexpr std::array<unsigned char, 256> upper = MakeUpperTable();
    std::array<unsigned char, 256> table{};
    for (int i = 0; i < 256; ++i)
        table[i] = static_cast<unsigned char>(i);
    for (int i = 0; i < 256; ++i) {
        if (upper[i] != i) table[upper[i]] = static_cast<unsigned char>(i);
    }
    return table;
}

constexpr std::array<unsigned char, 256> kUpper = MakeUpperTable();
constexpr std::array<unsigned char, 256> kLower = MakeLowerTable();

void AppendUtf8(char32_t codePoint, std::string& out) {
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

} // namespace

size_t DecodeUtf8(std::string_view text, size_t pos, char32_t& codePoint) {
    auto lead = static_cast<unsigned char>(text[pos]);
    size_t length;
    char32_t minimum;
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2;
        minimum = 0x80;
        codePoint = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        minimum = 0x800;
        codePoint = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        minimum = 0x10000;
        codePoint = lead & 0x07;
    } else {
        return 0;
    }
    if (text.size() - pos < length) return 0;
    for (size_t i = 1; i < length; ++i) {
        auto next = static_cast<unsigned char>(text[pos + i]);
        if ((next & 0xC0) != 0x80) return 0;
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    if (codePoint < minimum || codePoint > 0x10FFFF) return 0;
    if (codePoint >= 0xD800 && codePoint <= 0xDFFF) return 0;
    return length;
}

char32_t Cp1252ToCodePoint(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xA0) return kHighControls[byte - 0x80];
    return byte;
}

bool CodePointToCp1252(char32_t codePoint, unsigned char& byte) {
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) {
        byte = static_cast<unsigned char>(codePoint);
        return true;
    }
    for (size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == codePoint) {
            byte = static_cast<unsigned char>(0x80 + i);
            return true;
        }
    }
    return false;
}

std::string Cp1252ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 4);
    for (char c : text)
        AppendUtf8(Cp1252ToCodePoint(static_cast<unsigned char>(c)), out);
    return out;
}

bool Utf8ToCp1252(std::string_view text, std::string& converted) {
    converted.clear();
    converted.reserve(text.size());
    bool exact = true;
    size_t pos = 0;
    while (pos < text.size()) {
        char32_t codePoint = 0;
        size_t length = DecodeUtf8(text, pos, codePoint);
        unsigned char byte = 0;
        if (length == 0) {
            length = 1;
            byte = '?';
            exact = false;
        } else if (!CodePointToCp1252(codePoint, byte)) {
            byte = '?';
            exact = false;
        }
        converted += static_cast<char>(byte);
        pos += length;
    }
    return exact;
}

unsigned char Cp1252ToUpper(unsigned char byte) {
    return kUpper[byte];
}

unsigned char Cp1252ToLower(unsigned char byte) {
    return kLower[byte];
}

bool Cp1252EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (kUpper[static_cast<unsigned char>(a[i])] != kUpper[static_cast<unsigned char>(b[i])])
            return false;
    }
    return true;
}

} // namespace platform
