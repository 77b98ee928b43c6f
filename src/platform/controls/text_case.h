// Case in Windows-1252: the Latin-1 letters, and š, œ, ž, ÿ with their capitals in the
// 0x80 row.
#pragma once

#include <string_view>

namespace platform {

unsigned char UpperCase(unsigned char c);
unsigned char LowerCase(unsigned char c);
// Negative, zero or positive as `a` sorts before, with or after `b` ignoring case.
int CompareIgnoringCase(std::string_view a, std::string_view b);
bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix);

} // namespace platform
