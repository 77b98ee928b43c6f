// Texts as authors write them on Linux, brought into the player's character set.
//
// Editors on Linux write UTF-8; the player reads Windows-1252. A text that is valid UTF-8
// and holds bytes above ASCII is converted; one that is not valid UTF-8 is taken to be
// Windows-1252 already and kept as it is. A file's UTF-8 byte-order mark is no part of
// its text.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Whether `text` is well-formed UTF-8 (no overlong forms, surrogates or code points
// above U+10FFFF).
bool IsValidUtf8(std::string_view text);

// Where a conversion stopped: the first character Windows-1252 cannot hold.
struct UnmappableCharacter {
    size_t line = 0; // 1 for the first line
    char32_t codePoint = 0;
};

// Converts valid UTF-8 to Windows-1252 in place; false, with `text` untouched, when a
// character has no Windows-1252 byte. Must be given valid UTF-8.
bool Utf8ToWindows1252(std::string& text, UnmappableCharacter& failure);

// A file's text as the player must see it: without a UTF-8 byte-order mark, and
// converted when it is UTF-8 (see above). False as Utf8ToWindows1252.
bool FileTextToWindows1252(std::string& text, UnmappableCharacter& failure);

// "U+00E9 'é'": a character for a message, in UTF-8 like the packer's other messages.
std::string DescribeCharacter(char32_t codePoint);
