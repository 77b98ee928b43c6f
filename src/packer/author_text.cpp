#include "packer/author_text.h"

#include <algorithm>
#include <cstdio>

#include "platform/kernel/cp1252.h"

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

} // namespace

bool IsValidUtf8(std::string_view text) {
    char32_t codePoint = 0;
    for (size_t pos = 0; pos < text.size();) {
        const size_t length = platform::DecodeUtf8(text, pos, codePoint);
        if (length == 0) return false;
        pos += length;
    }
    return true;
}

bool Utf8ToWindows1252(std::string& text, UnmappableCharacter& failure) {
    if (IsAscii(text)) return true;
    std::string converted;
    converted.reserve(text.size());
    size_t line = 1;
    for (size_t pos = 0; pos < text.size();) {
        char32_t codePoint = 0;
        const size_t length = platform::DecodeUtf8(text, pos, codePoint);
        unsigned char byte = 0;
        if (length == 0 || !platform::CodePointToCp1252(codePoint, byte)) {
            failure.line = line;
            failure.codePoint = length == 0 ? static_cast<unsigned char>(text[pos]) : codePoint;
            return false;
        }
        if (byte == '\n') ++line;
        converted += static_cast<char>(byte);
        pos += length;
    }
    text = std::move(converted);
    return true;
}

bool FileTextToWindows1252(std::string& text, UnmappableCharacter& failure) {
    if (std::string_view(text).substr(0, kByteOrderMark.size()) == kByteOrderMark)
        text.erase(0, kByteOrderMark.size());
    if (!IsValidUtf8(text)) return true;
    return Utf8ToWindows1252(text, failure);
}

std::string DescribeCharacter(char32_t codePoint) {
    char number[16];
    std::snprintf(number, sizeof number, "U+%04X", static_cast<unsigned>(codePoint));
    std::string description = number;
    // Control characters would garble the message; the number says enough.
    if (codePoint < 0x20 || (codePoint >= 0x7F && codePoint < 0xA0)) return description;
    std::string utf8;
    if (codePoint < 0x80) return description + " '" + static_cast<char>(codePoint) + "'";
    if (codePoint < 0x800) {
        utf8 += static_cast<char>(0xC0 | (codePoint >> 6));
    } else if (codePoint < 0x10000) {
        utf8 += static_cast<char>(0xE0 | (codePoint >> 12));
        utf8 += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
    } else {
        utf8 += static_cast<char>(0xF0 | (codePoint >> 18));
        utf8 += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        utf8 += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
    }
    utf8 += static_cast<char>(0x80 | (codePoint & 0x3F));
    return description + " '" + utf8 + "'";
}
