// The number an up-down writes into its buddy and reads back from it.
#pragma once

#include <optional>
#include <string>

namespace platform {

// Base 10 with a ',' between thousands unless `noThousands`; base 16 as "0x" and four
// digits.
std::string UpDownText(int value, int base, bool noThousands);
// The number in a buddy's text (separators, a sign, a "0x" in base 16 allowed), or none.
std::optional<int> ParseUpDownText(const std::string& text, int base);

} // namespace platform
