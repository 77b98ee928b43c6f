// Text from SDL, which is UTF-8, as the window manager takes it. No SDL types here, so
// that tests can use it directly.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// Typed characters in Windows-1252. A character the character set cannot hold is dropped,
// not replaced: a '?' the user never typed is worse than a missing character. Control
// characters are dropped too, because the keys that make them arrive as key presses, and
// so is every byte of a broken UTF-8 sequence.
std::string TypedText(std::string_view utf8);

} // namespace platform
