#include "platform/display/sdl_text.h"

#include "platform/kernel/cp1252.h"

namespace platform {
namespace {

// The code point starting at `at`, which moves past it; -1 (and one byte on) for a broken
// sequence.
long NextCodePoint(std::string_view text, size_t& at) {
    auto lead = static_cast<unsigned char>(text[at++]);
    if (lead < 0x80) return lead;
    int length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
    if (length == 0 || lead > 0xF4) return -1;
    long codePoint = lead & (0x7F >> length);
    if (at + length - 1 > text.size()) return -1;
    for (int i = 1; i < length; ++i) {
        auto next = static_cast<unsigned char>(text[at + i - 1]);
        if ((next & 0xC0) != 0x80) return -1;
        codePoint = codePoint << 6 | (next & 0x3F);
    }
    static constexpr long kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (codePoint < kSmallest[length] || codePoint > 0x10FFFF ||
        (codePoint >= 0xD800 && codePoint <= 0xDFFF))
        return -1;
    at += length - 1;
    return codePoint;
}

} // namespace

std::string TypedText(std::string_view utf8) {
    std::string converted;
    size_t at = 0;
    while (at < utf8.size()) {
        long codePoint = NextCodePoint(utf8, at);
        if (codePoint < 0x20 || (codePoint >= 0x7F && codePoint < 0xA0)) continue;
        unsigned char byte;
        if (CodePointToCp1252(static_cast<char32_t>(codePoint), byte))
            converted.push_back(static_cast<char>(byte));
    }
    return converted;
}

} // namespace platform
