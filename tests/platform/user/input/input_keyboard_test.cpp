#include <string>

#include "platform/user/input/input_fixture.h"

namespace {

using input_test::DrainQueue;
using input_test::InputTest;
using input_test::Make;
using platform::InjectKey;

class Keyboard : public InputTest {
protected:
    void SetUp() override {
        InputTest::SetUp();
        window = Keep(Make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100));
        DrainQueue();
    }
    // Presses and releases a key with the modifiers given held down.
    static void Type(int vKey, const std::vector<int>& modifiers = {}) {
        for (int modifier : modifiers)
            InjectKey(modifier, true);
        InjectKey(vKey, true);
        InjectKey(vKey, false);
        for (int modifier : modifiers)
            InjectKey(modifier, false);
    }
    // Takes the queue as a message loop does, translating keys; the characters made.
    static std::string Characters(UINT wanted = WM_CHAR) {
        std::string text;
        MSG msg;
        while (input_test::Next(msg, 0, 0)) {
            TranslateMessage(&msg);
            if (msg.message == wanted) text.push_back(static_cast<char>(msg.wParam));
        }
        return text;
    }
    HWND window = 0;
};

TEST_F(Keyboard, TranslationMakesControlCharactersAndShiftedCharacters) {
    // VK_LEFT makes no character.
    const std::vector<std::pair<int, std::vector<int>>> keys{
        {VK_BACK, {}},     {VK_TAB, {}},        {VK_RETURN, {}},        {VK_RETURN, {VK_CONTROL}},
        {VK_ESCAPE, {}},   {'A', {VK_CONTROL}}, {'Z', {VK_LCONTROL}},   {'A', {}},
        {'A', {VK_SHIFT}}, {'1', {VK_RSHIFT}},  {VK_OEM_2, {VK_SHIFT}}, {VK_SPACE, {}},
        {VK_LEFT, {}}};
    for (const auto& [key, modifiers] : keys)
        Type(key, modifiers);
    EXPECT_EQ(Characters(), std::string("\b\t\r\n\x1b\x01\x1a"
                                        "aA!? "));
    Type(VK_CAPITAL);
    Type('Q');
    Type('Q', {VK_SHIFT});
    Type(VK_CAPITAL);
    EXPECT_EQ(Characters(), "Qq");
}

TEST_F(Keyboard, KeyMessagesCarryTheirBitsAndAltMakesSystemKeys) {
    InjectKey(VK_LEFT, true);
    InjectKey(VK_LEFT, true);
    InjectKey(VK_LEFT, false);
    MSG msg;
    ASSERT_TRUE(input_test::Next(msg, 0, 0));
    EXPECT_EQ(msg.message, WM_KEYDOWN);
    EXPECT_EQ(msg.hwnd, window);
    EXPECT_EQ(msg.wParam, static_cast<WPARAM>(VK_LEFT));
    EXPECT_EQ(msg.lParam, LPARAM{0x014B0001});
    ASSERT_TRUE(input_test::Next(msg, 0, 0));
    EXPECT_EQ(msg.lParam, LPARAM{0x414B0001}); // repeated: the previous state bit
    ASSERT_TRUE(input_test::Next(msg, 0, 0));
    EXPECT_EQ(msg.message, WM_KEYUP);
    EXPECT_EQ(static_cast<DWORD>(msg.lParam), 0xC14B0001u);

    // Left and right modifiers come with their generic codes.
    InjectKey(VK_LMENU, true);
    InjectKey('F', true);
    InjectKey('F', false);
    InjectKey(VK_LMENU, false);
    std::vector<MSG> all = input_test::Queued(true);
    EXPECT_EQ(
        input_test::MessagesOf(all),
        (std::vector<UINT>{WM_SYSKEYDOWN, WM_SYSKEYDOWN, WM_SYSCHAR, WM_SYSKEYUP, WM_SYSKEYUP}));
    ASSERT_EQ(all.size(), 5u);
    EXPECT_EQ(all[0].wParam, static_cast<WPARAM>(VK_MENU));
    EXPECT_NE(all[1].lParam & (LPARAM{1} << 29), 0);
    EXPECT_EQ(all[2].wParam, static_cast<WPARAM>('f'));
    EXPECT_EQ(all[4].wParam, static_cast<WPARAM>(VK_MENU));

    InjectKey(VK_F10, true);
    ASSERT_TRUE(input_test::Next(msg, 0, 0));
    EXPECT_EQ(msg.message, WM_SYSKEYDOWN);
    InjectKey(VK_F10, false);

    // Without a focus window the active window gets the keys, as system keys.
    SetFocus(0);
    DrainQueue();
    InjectKey('B', true);
    ASSERT_TRUE(input_test::Next(msg, 0, 0));
    EXPECT_EQ(msg.hwnd, window);
    EXPECT_EQ(msg.message, WM_SYSKEYDOWN);
    // The key state follows the messages read, not the keyboard.
    EXPECT_LT(GetKeyState('B'), 0);
    InjectKey('B', false);
    EXPECT_LT(GetKeyState('B'), 0);
    EXPECT_LT(GetAsyncKeyState('B'), 0 + 1);
    DrainQueue();
    EXPECT_EQ(GetKeyState('B') & 0x8000, 0);
}

TEST_F(Keyboard, DeliveredTextIsNeverTypedTwice) {
    platform::SetTextInputDelivered(true);
    InjectKey('E', true);
    platform::InjectText("\xE9\x80");
    InjectKey('E', false);
    Type('C', {VK_CONTROL});
    Type(VK_RETURN);
    EXPECT_EQ(Characters(), "\xE9\x80\x03\r");
    platform::SetTextInputDelivered(false);
    platform::InjectText(std::string("a\0b", 3));
    EXPECT_EQ(Characters(), "ab");
}

TEST_F(Keyboard, KeyStateAndTheLayoutTables) {
    InjectKey(VK_RSHIFT, true);
    EXPECT_LT(GetAsyncKeyState(VK_RSHIFT), 0);
    EXPECT_LT(GetAsyncKeyState(VK_SHIFT), 0); // either side counts for the generic key
    EXPECT_EQ(GetAsyncKeyState(VK_LSHIFT) | GetAsyncKeyState(VK_CONTROL), 0);
    DrainQueue();
    EXPECT_LT(GetKeyState(VK_SHIFT), 0);
    EXPECT_LT(GetKeyState(VK_RSHIFT), 0);
    EXPECT_EQ(GetKeyState(VK_LSHIFT) & 0x8000, 0);
    InjectKey(VK_RSHIFT, false);
    EXPECT_EQ(GetAsyncKeyState(VK_SHIFT), 0);
    DrainQueue();
    EXPECT_EQ(GetKeyState(VK_SHIFT) & 0x8000, 0);
    // Codes outside the table are ignored.
    platform::SetKeyState(-1, true);
    platform::SetKeyState(256, true);
    EXPECT_EQ(GetAsyncKeyState(-1) | GetAsyncKeyState(256), 0);
    SHORT before = GetKeyState(VK_NUMLOCK) & 1;
    Type(VK_NUMLOCK);
    DrainQueue();
    EXPECT_NE(GetKeyState(VK_NUMLOCK) & 1, before);
    Type(VK_NUMLOCK);
    DrainQueue();
    EXPECT_EQ(GetKeyState(VK_NUMLOCK) & 1, before);
    EXPECT_EQ(GetKeyState(-1), 0);
    EXPECT_EQ(GetKeyState(0x1000), 0);

    EXPECT_EQ(MapVirtualKeyA('A', MAPVK_VK_TO_VSC), 0x1Eu);
    EXPECT_EQ(MapVirtualKeyA(VK_RETURN, MAPVK_VK_TO_VSC), 0x1Cu);
    EXPECT_EQ(MapVirtualKeyA(0x1E, MAPVK_VSC_TO_VK), static_cast<UINT>('A'));
    EXPECT_EQ(MapVirtualKeyA(0x36, MAPVK_VSC_TO_VK), static_cast<UINT>(VK_SHIFT));
    EXPECT_EQ(MapVirtualKeyA(0x36, MAPVK_VSC_TO_VK_EX), static_cast<UINT>(VK_RSHIFT));
    EXPECT_EQ(MapVirtualKeyA('A', MAPVK_VK_TO_CHAR), static_cast<UINT>('A'));
    EXPECT_EQ(MapVirtualKeyA(VK_OEM_COMMA, MAPVK_VK_TO_CHAR), static_cast<UINT>(','));
    EXPECT_EQ(MapVirtualKeyA(0x1234, MAPVK_VK_TO_VSC), 0u);
    EXPECT_EQ(VkKeyScanA('a'), 'A');
    EXPECT_EQ(VkKeyScanA('A'), 0x100 | 'A');
    EXPECT_EQ(VkKeyScanA('!'), 0x100 | '1');
    EXPECT_EQ(VkKeyScanA('?'), 0x100 | VK_OEM_2);
    EXPECT_EQ(VkKeyScanA('\n'), 0x200 | VK_RETURN);
    EXPECT_EQ(VkKeyScanA('\x01'), 0x200 | 'A');
    EXPECT_EQ(VkKeyScanA(static_cast<CHAR>(0xE9)), -1);
}

} // namespace
