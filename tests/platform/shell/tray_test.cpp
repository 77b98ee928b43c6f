#include <cstring>

#include "platform/gdi/bitmaps/bitmaps.h"
#include "platform/gdi/icons/icons.h"
#include "platform/kernel/clock.h"
#include "platform/shell/tray.h"
#include "platform/user/input/input_fixture.h"

namespace {

using input_test::InputTest;
using input_test::Make;

constexpr UINT kCallback = WM_USER + 5;

NOTIFYICONDATAA Data(HWND window, UINT id, UINT flags, const char* tip = "", HICON icon = 0) {
    NOTIFYICONDATAA data{};
    data.cbSize = sizeof data;
    data.hWnd = window;
    data.uID = id;
    data.uFlags = flags;
    data.uCallbackMessage = kCallback;
    data.hIcon = icon;
    std::strncpy(data.szTip, tip, sizeof data.szTip);
    return data;
}

// A 16 x 16 icon: the left half red and opaque, the right half transparent.
HICON HalfIcon() {
    std::vector<uint32_t> colour(16 * 16);
    // Monochrome rows are rounded to 2 bytes.
    std::vector<uint8_t> mask(16 * 2, 0);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x)
            colour[size_t(y * 16 + x)] = x < 8 ? 0xFF0000 : 0;
        mask[size_t(y * 2 + 1)] = 0xFF;
    }
    ICONINFO info{};
    info.fIcon = TRUE;
    info.hbmMask = CreateBitmap(16, 16, 1, 1, mask.data());
    info.hbmColor = CreateBitmap(16, 16, 1, 32, colour.data());
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(info.hbmMask);
    DeleteObject(info.hbmColor);
    return icon;
}

std::vector<UINT> CallbackMessages(HWND window, UINT id) {
    std::vector<UINT> messages;
    MSG msg;
    while (input_test::Next(msg, kCallback, kCallback)) {
        EXPECT_EQ(msg.hwnd, window);
        EXPECT_EQ(msg.wParam, id);
        messages.push_back(UINT(msg.lParam));
    }
    return messages;
}

class Tray : public InputTest {
protected:
    void SetUp() override {
        InputTest::SetUp();
        window = Keep(Make(WS_POPUP, 0, 0, 10, 10));
    }
    void TearDown() override {
        for (const platform::TrayEntry& entry : platform::TrayEntries()) {
            NOTIFYICONDATAA data = Data(entry.window, entry.id, 0);
            Shell_NotifyIconA(NIM_DELETE, &data);
        }
        InputTest::TearDown();
    }
    HWND window = 0;
};

TEST_F(Tray, EntriesAreAddedChangedAndDeletedByWindowAndId) {
    int told = 0;
    platform::SetTrayListener([&] { ++told; });
    NOTIFYICONDATAA first = Data(window, 1, NIF_MESSAGE | NIF_TIP, "Ready");
    EXPECT_TRUE(Shell_NotifyIconA(NIM_ADD, &first));
    EXPECT_FALSE(Shell_NotifyIconA(NIM_ADD, &first));
    NOTIFYICONDATAA second = Data(window, 2, NIF_MESSAGE);
    EXPECT_TRUE(Shell_NotifyIconA(NIM_ADD, &second));
    std::vector<platform::TrayEntry> entries = platform::TrayEntries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].tip, "Ready");
    EXPECT_EQ(entries[0].callbackMessage, kCallback);
    EXPECT_TRUE(entries[0].pixels.empty());
    EXPECT_EQ(entries[1].id, 2u);

    // A tip fills the field without its zero: 63 characters are kept.
    NOTIFYICONDATAA longTip = Data(window, 1, NIF_TIP);
    std::memset(longTip.szTip, 'x', sizeof longTip.szTip);
    EXPECT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &longTip));
    EXPECT_EQ(platform::TrayEntries()[0].tip, std::string(63, 'x'));

    // The icon is copied: the caller's may go at once.
    HICON icon = HalfIcon();
    NOTIFYICONDATAA withIcon = Data(window, 2, NIF_ICON, "", icon);
    EXPECT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &withIcon));
    DestroyIcon(icon);
    entries = platform::TrayEntries();
    ASSERT_EQ(entries[1].pixels.size(), 256u);
    EXPECT_EQ(entries[1].pixels[0], 0xFFFF0000u);
    EXPECT_EQ(entries[1].pixels[15 * 16 + 15] >> 24, 0u);

    EXPECT_TRUE(Shell_NotifyIconA(NIM_DELETE, &first));
    EXPECT_FALSE(Shell_NotifyIconA(NIM_DELETE, &first));
    EXPECT_FALSE(Shell_NotifyIconA(NIM_MODIFY, &first));
    ASSERT_EQ(platform::TrayEntries().size(), 1u);
    EXPECT_EQ(platform::TrayEntries()[0].id, 2u);
    EXPECT_EQ(told, 5);
    platform::SetTrayListener(nullptr);
}

TEST_F(Tray, ClicksPostTheCallbackAndTwoQuickOnesADoubleClick) {
    platform::test::FreezeClock(1000);
    NOTIFYICONDATAA data = Data(window, 9, NIF_MESSAGE);
    ASSERT_TRUE(Shell_NotifyIconA(NIM_ADD, &data));
    EXPECT_FALSE(platform::ClickTrayEntry(window, 10, WM_LBUTTONDOWN));
    EXPECT_TRUE(platform::ClickTrayEntry(window, 9, WM_LBUTTONDOWN));
    platform::test::AdvanceClock(GetDoubleClickTime());
    EXPECT_TRUE(platform::ClickTrayEntry(window, 9, WM_LBUTTONDOWN));
    // A third click starts again; another button is a click of its own.
    platform::test::AdvanceClock(10);
    EXPECT_TRUE(platform::ClickTrayEntry(window, 9, WM_LBUTTONDOWN));
    EXPECT_TRUE(platform::ClickTrayEntry(window, 9, WM_RBUTTONDOWN));
    platform::test::AdvanceClock(GetDoubleClickTime() + 1);
    EXPECT_TRUE(platform::ClickTrayEntry(window, 9, WM_RBUTTONDOWN));
    EXPECT_TRUE(platform::PostTrayMouseMessage(window, 9, WM_MOUSEMOVE));
    EXPECT_EQ(CallbackMessages(window, 9),
              (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP,
                                 WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONUP,
                                 WM_RBUTTONDOWN, WM_RBUTTONUP, WM_MOUSEMOVE}));
}

} // namespace
