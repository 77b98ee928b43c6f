// Letter keys follow the keyboard layout, as on a French (AZERTY) keyboard; every other key
// keeps the virtual key of its position.
#include <gtest/gtest.h>

#include "platform/display/sdl_test_hooks.h"
#include "platform/user/input/input.h"

namespace {

TEST(SdlKeys, LettersFollowTheLayoutOthersTheirPlace) {
    struct Case {
        const char* key;
        const char* layoutKey;
        int vKey;
    };
    const Case kAzerty[] = {
        {"Q", "A", 'A'},
        {"A", "Q", 'Q'},
        {"W", "Z", 'Z'},
        {"Z", "W", 'W'},
        {";", "M", 'M'},
        {"E", "E", 'E'},
        // The digits row types symbols there, and stays the digits.
        {"1", "&", '1'},
        {"Return", "Return", VK_RETURN},
        {"Left", "Left", VK_LEFT},
        {"Keypad 4", "Keypad 4", VK_NUMPAD0 + 4},
    };
    for (const Case& c : kAzerty)
        EXPECT_EQ(platform::test::VirtualKeyOnLayout(c.key, c.layoutKey, true), c.vKey) << c.key;
    EXPECT_EQ(platform::test::VirtualKeyOnLayout("Keypad 4", "Keypad 4", false), VK_LEFT);
}

} // namespace
