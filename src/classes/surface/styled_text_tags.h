// The tag reader of styled text: one token at a time, a run of text or a tag. Names and
// values are compared without regard to case (Windows-1252 letters).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Token kinds; a closing tag is kStyledClose plus the kind of its opening tag.
enum StyledTokenKind : uint32_t {
    kStyledNothing = 1, // end of the text, or an unknown tag (skipped)
    kStyledText = 2,
    kStyledUnderline = 3,
    kStyledBold = 4,
    kStyledItalic = 5,
    kStyledStrike = 6,
    kStyledFont = 9,
    kStyledTypewriter = 10,
    kStyledSmall = 11,
    kStyledBig = 12,
    kStyledSuperscript = 13,
    kStyledSubscript = 14,
};
inline constexpr uint32_t kStyledClose = 0x1000;
// Bits of a FONT token's kind: what its attributes gave.
inline constexpr uint32_t kStyledFaceGiven = 0x80000;
inline constexpr uint32_t kStyledSizeGiven = 0x40000;
inline constexpr uint32_t kStyledColourGiven = 0x20000;
inline constexpr uint32_t kStyledKindMask = 0xFFFF;

// Font heights the tags make stay within this size, whatever the sums and products.
inline constexpr int32_t kStyledMaxHeight = 0x10000;

struct StyledToken {
    uint32_t kind = kStyledNothing; // with the FONT bits
    // The text run (entities not yet replaced), or the FONT tag's face in upper case.
    std::string text;
    uint32_t colour = 0; // COLORREF
    int32_t height = 0;  // negative: the em in pixels, as in a LOGFONT
};

// The token at `cursor`, which moves past it. `currentHeight` is the height SIZE="+n" and
// SIZE="-n" count from. A tag that is not well formed comes back as a text run from its '<'
// to the next '<'.
StyledToken ParseTextTags(std::string_view input, size_t& cursor, int32_t currentHeight);
