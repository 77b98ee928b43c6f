// Windows-1252, the character set of every text inside the system, and its conversion
// to and from UTF-8, the character set of the Linux side (file names, window texts).
//
// The five bytes Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for
// the C1 control code points of the same value, so every byte string converts to UTF-8
// and back unchanged.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// The Unicode code point of a Windows-1252 byte.
char32_t Cp1252ToCodePoint(unsigned char byte);
// The Windows-1252 byte of a code point; false when the character set has none.
bool CodePointToCp1252(char32_t codePoint, unsigned char& byte);

// Decodes one UTF-8 sequence at `text[pos]`; returns its length, or 0 when it is not
// well-formed (overlong forms, surrogates and values past U+10FFFF are not).
size_t DecodeUtf8(std::string_view text, size_t pos, char32_t& codePoint);

std::string Cp1252ToUtf8(std::string_view text);
// Converts UTF-8 to Windows-1252. A character without a Windows-1252 byte, and each
// byte of an invalid UTF-8 sequence, becomes '?'. Returns true when nothing was replaced.
bool Utf8ToCp1252(std::string_view text, std::string& converted);

// Case mapping of the Windows-1252 letters (the ASCII ones, the accented Latin-1 ones
// and the Š Œ Ž Ÿ pairs of 0x8A-0x9F); other bytes are returned unchanged.
unsigned char Cp1252ToUpper(unsigned char byte);
unsigned char Cp1252ToLower(unsigned char byte);
// Compares two Windows-1252 texts the way Windows compares file names: without case.
bool Cp1252EqualNoCase(std::string_view a, std::string_view b);

} // namespace platform
