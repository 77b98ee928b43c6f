// The SDL display on SDL's offscreen video driver: SDL windows follow ours, SDL events
// become the right messages, and what a window paints reaches its SDL window.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <iterator>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "platform/display/display_backend.h"
#include "platform/display/sdl_test_hooks.h"
#include "platform/display/sdl_text.h"
#include "platform/gdi/device_context.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/icons/icons.h"
#include "platform/user/display_settings.h"
#include "platform/user/input/drag_drop.h"
#include "platform/user/input/input_fixture.h"
#include "platform/user/paint/update_region.h"
#include "platform/user/sys_commands.h"

namespace {

using input_test::Make;
using input_test::Recorder;
using platform::MouseEvent;
using platform::test::SdlWindowChange;
using window_test::Longs;

constexpr DWORD kFramed = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
constexpr COLORREF kPainted = 0x00336699;   // 0x00BBGGRR
constexpr uint32_t kPresented = 0x00996633; // the same, 0x00RRGGBB

class SdlDisplayTest : public input_test::InputTest {
protected:
    void SetUp() override {
        InputTest::SetUp();
        // Whatever display the environment chose goes first, and SDL's video with it.
        platform::SetActiveDisplay(platform::MakeHeadlessDisplay());
        std::unique_ptr<platform::DisplayBackend> display =
            platform::test::MakeOffscreenSdlDisplay();
        ASSERT_NE(display, nullptr);
        platform::SetActiveDisplay(std::move(display));
    }
    void TearDown() override {
        InputTest::TearDown();
        platform::PumpDisplay();
        platform::SetActiveDisplay(nullptr);
    }
    // A pump, and every message it brought dispatched; the messages seen are recorded.
    static void Run() {
        platform::PumpDisplay();
        window_test::Pump();
    }
    HWND Open(int x = 100, int y = 80, int width = 320, int height = 240) {
        HWND window = Keep(Make(kFramed, x, y, width, height));
        Run();
        Recorder::seen.clear();
        return window;
    }
    static std::vector<window_test::Seen> Of(UINT message) { return Recorder::Of(message); }
    static std::vector<WPARAM> WParams(UINT message, WPARAM mask = ~WPARAM{0}) {
        std::vector<WPARAM> found;
        for (const window_test::Seen& seen : Of(message))
            found.push_back(seen.wParam & mask);
        return found;
    }
    static std::vector<WPARAM> Chars() { return WParams(WM_CHAR); }
    // The size of the window's SDL window, none when it has none.
    static Longs SdlSize(HWND window) {
        int width = 0, height = 0;
        if (!platform::test::SdlWindowSize(window, width, height)) return {};
        return {width, height};
    }
    static Longs ClientSize(HWND window) {
        RECT client = window_test::ClientRect(window);
        return {client.right, client.bottom};
    }
    // What the SDL window shows at a point of the client area, and at a point of its own.
    static uint32_t Presented(HWND window, int x, int y) {
        uint32_t pixel = 0xFFFFFFFF;
        EXPECT_TRUE(platform::test::ReadPresentedPixel(window, x, y, pixel)) << x << "," << y;
        return pixel;
    }
    static uint32_t OnSdlWindow(HWND window, int x, int y) {
        uint32_t pixel = 0xFFFFFFFF;
        EXPECT_TRUE(platform::test::ReadSdlWindowPixel(window, x, y, pixel)) << x << "," << y;
        return pixel;
    }
};

TEST_F(SdlDisplayTest, SdlWindowsFollowOurs) {
    HWND hidden = Keep(Make(WS_OVERLAPPEDWINDOW, 10, 10, 200, 100, 0, 0, 0, "Hidden"));
    HWND shown = Keep(Make(kFramed, 50, 60, 300, 200, 0, 0, 0, "Caf\xE9 \x80"));
    Run();
    EXPECT_TRUE(SdlSize(hidden).empty());
    EXPECT_EQ(SdlSize(shown), ClientSize(shown));
    std::string title;
    ASSERT_TRUE(platform::test::SdlWindowTitle(shown, title));
    EXPECT_EQ(title, "Caf\xC3\xA9 \xE2\x82\xAC");

    SetWindowTextA(shown, "Renamed");
    SetWindowPos(shown, 0, 0, 0, 400, 300, SWP_NOMOVE | SWP_NOZORDER);
    ShowWindow(hidden, SW_SHOW);
    Run();
    EXPECT_EQ(SdlSize(shown), ClientSize(shown));
    EXPECT_EQ(ClientSize(shown)[0], 392);
    ASSERT_TRUE(platform::test::SdlWindowTitle(shown, title));
    EXPECT_EQ(title, "Renamed");
    EXPECT_FALSE(SdlSize(hidden).empty());

    // Minimised, the SDL window stays for the user to restore; hidden or gone, it goes.
    ShowWindow(shown, SW_MINIMIZE);
    Run();
    EXPECT_FALSE(SdlSize(shown).empty());
    ShowWindow(shown, SW_HIDE);
    DestroyWindow(hidden);
    Run();
    EXPECT_TRUE(SdlSize(shown).empty());
    EXPECT_TRUE(SdlSize(hidden).empty());
}

TEST_F(SdlDisplayTest, KeysArriveAsVirtualKeys) {
    HWND window = Open();
    SetFocus(window);
    Recorder::seen.clear();
    ASSERT_TRUE(platform::test::PushSdlKey("A", true));
    ASSERT_TRUE(platform::test::PushSdlKey("A", true, true));
    ASSERT_TRUE(platform::test::PushSdlKey("A", false));
    ASSERT_TRUE(platform::test::PushSdlKey("Left Shift", true));
    ASSERT_TRUE(platform::test::PushSdlKey("Left Shift", false));
    ASSERT_TRUE(platform::test::PushSdlKey("Keypad 4", true, false, true));
    ASSERT_TRUE(platform::test::PushSdlKey("Keypad 4", true, false, false));
    ASSERT_TRUE(platform::test::PushSdlKey("F5", true));
    Run();
    EXPECT_EQ(WParams(WM_KEYDOWN),
              (std::vector<WPARAM>{'A', 'A', VK_SHIFT, VK_NUMPAD0 + 4, VK_LEFT, VK_F1 + 4}));
    std::vector<window_test::Seen> downs = Of(WM_KEYDOWN);
    ASSERT_EQ(downs.size(), 6u);
    EXPECT_EQ(downs[0].lParam & (LPARAM{1} << 30), 0);
    EXPECT_NE(downs[1].lParam & (LPARAM{1} << 30), 0); // a repeat: the key was down
    EXPECT_EQ(Of(WM_KEYUP).size(), 2u);
    // Typed letters come from the text events only, never twice.
    EXPECT_TRUE(Chars().empty());
}

TEST_F(SdlDisplayTest, TextArrivesInWindows1252) {
    HWND window = Open();
    SetFocus(window);
    Recorder::seen.clear();
    // e acute, the euro sign, a character Windows-1252 lacks, a tab (a key's business).
    ASSERT_TRUE(platform::test::PushSdlText("\xC3\xA9\xE2\x82\xAC\xE4\xB8\xAD\t!"));
    Run();
    EXPECT_EQ(Chars(), (std::vector<WPARAM>{0xE9, 0x80, '!'}));

    // With the left Alt down the key press brings WM_SYSCHAR; its text is not typed too.
    Recorder::seen.clear();
    ASSERT_TRUE(platform::test::PushSdlKey("Left Alt", true));
    ASSERT_TRUE(platform::test::PushSdlKey("X", true));
    ASSERT_TRUE(platform::test::PushSdlText("x"));
    ASSERT_TRUE(platform::test::PushSdlKey("X", false));
    ASSERT_TRUE(platform::test::PushSdlKey("Left Alt", false));
    Run();
    EXPECT_TRUE(Chars().empty());
    EXPECT_EQ(WParams(WM_SYSCHAR), std::vector<WPARAM>{'x'});
}

TEST(SdlTypedText, BrokenSequencesTypeNothing) {
    EXPECT_EQ(platform::TypedText("a\xC3"), "a");               // cut short
    EXPECT_EQ(platform::TypedText("\xC0\xA9x"), "x");           // overlong
    EXPECT_EQ(platform::TypedText("\xED\xA0\x80y"), "y");       // a surrogate
    EXPECT_EQ(platform::TypedText("\xF4\x90\x80\x80z"), "z");   // beyond Unicode
    EXPECT_EQ(platform::TypedText("\xC2\x81\xC2\xA0"), "\xA0"); // a C1 control, a space
}

TEST_F(SdlDisplayTest, MouseArrivesAtClientPoints) {
    HWND window = Open();
    ASSERT_TRUE(platform::test::PushSdlMouse(window, 10, 20, MouseEvent::Move));
    ASSERT_TRUE(platform::test::PushSdlMouse(window, 10, 20, MouseEvent::LeftDown));
    ASSERT_TRUE(platform::test::PushSdlMouse(window, 12, 22, MouseEvent::LeftUp));
    ASSERT_TRUE(platform::test::PushSdlMouse(window, 30, 40, MouseEvent::RightDown));
    Run();
    std::vector<window_test::Seen> downs = Of(WM_LBUTTONDOWN);
    ASSERT_EQ(downs.size(), 1u);
    EXPECT_EQ(downs[0].window, window);
    EXPECT_EQ(downs[0].lParam, MAKELPARAM(10, 20));
    ASSERT_EQ(Of(WM_LBUTTONUP).size(), 1u);
    EXPECT_EQ(Of(WM_LBUTTONUP)[0].lParam, MAKELPARAM(12, 22));
    ASSERT_EQ(Of(WM_RBUTTONDOWN).size(), 1u);
    EXPECT_EQ(Of(WM_RBUTTONDOWN)[0].lParam, MAKELPARAM(30, 40));

    // A notch, and a smooth wheel's quarter notch, towards the user.
    SetFocus(window);
    Recorder::seen.clear();
    ASSERT_TRUE(platform::test::PushSdlMouse(window, 5, 5, MouseEvent::Wheel, WHEEL_DELTA));
    ASSERT_TRUE(platform::test::PushSdlMouse(window, 5, 5, MouseEvent::Wheel, -30));
    Run();
    std::vector<int> turned;
    for (WPARAM wParam : WParams(WM_MOUSEWHEEL))
        turned.push_back(static_cast<int16_t>(HIWORD(wParam)));
    EXPECT_EQ(turned, (std::vector<int>{WHEEL_DELTA, -30}));
}

TEST_F(SdlDisplayTest, WindowEventsReachTheWindow) {
    HWND window = Open(100, 80, 320, 240);
    ASSERT_TRUE(platform::test::PushSdlWindowEvent(window, SdlWindowChange::Close));
    Recorder::answer = [](HWND, UINT message, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
        // Kept open, to see that the close button asks and does not destroy.
        if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE) return 0;
        return std::nullopt;
    };
    Run();
    EXPECT_EQ(WParams(WM_SYSCOMMAND, 0xFFF0), std::vector<WPARAM>{SC_CLOSE});
    EXPECT_TRUE(Of(WM_CLOSE).empty());
    EXPECT_TRUE(IsWindow(window));

    Recorder::Reset();
    ASSERT_TRUE(platform::test::PushSdlWindowEvent(window, SdlWindowChange::Resize, 500, 400));
    ASSERT_TRUE(platform::test::PushSdlWindowEvent(window, SdlWindowChange::Move, 150, 170));
    Run();
    EXPECT_EQ(Of(WM_SIZING).size(), 1u);
    EXPECT_FALSE(Of(WM_SIZE).empty());
    EXPECT_EQ(ClientSize(window), (Longs{500, 400}));
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    EXPECT_EQ(window_test::XY(origin), (Longs{150, 170}));

    // The user's state changes arrive after the fact; the SDL window stays meanwhile.
    Recorder::Reset();
    ASSERT_TRUE(platform::test::PushSdlWindowEvent(window, SdlWindowChange::Minimize));
    Run();
    EXPECT_TRUE(IsIconic(window));
    ASSERT_TRUE(platform::test::PushSdlWindowEvent(window, SdlWindowChange::Restore));
    Run();
    EXPECT_FALSE(IsIconic(window));
    EXPECT_EQ(WParams(WM_SYSCOMMAND, 0xFFF0), (std::vector<WPARAM>{SC_MINIMIZE, SC_RESTORE}));
}

TEST_F(SdlDisplayTest, FocusMovesActivation) {
    HWND first = Open(10, 10, 200, 150);
    HWND second = Open(300, 10, 200, 150);
    ASSERT_TRUE(platform::test::PushSdlWindowEvent(first, SdlWindowChange::FocusGained));
    Run();
    EXPECT_EQ(GetActiveWindow(), first);
    ASSERT_TRUE(platform::test::PushSdlWindowEvent(first, SdlWindowChange::FocusLost));
    ASSERT_TRUE(platform::test::PushSdlWindowEvent(second, SdlWindowChange::FocusGained));
    Run();
    EXPECT_EQ(GetActiveWindow(), second);
    // Lost to another application: nothing of ours stays active.
    ASSERT_TRUE(platform::test::PushSdlWindowEvent(second, SdlWindowChange::FocusLost));
    Run();
    EXPECT_EQ(GetActiveWindow(), HWND{0});
}

TEST_F(SdlDisplayTest, KeyboardLentToAPopupComesBackWithHeldKeysAndActivation) {
    HWND window = Open();
    HWND popup = Keep(Make(WS_POPUP | WS_VISIBLE, 150, 120, 80, 60, window, WS_EX_TOPMOST));
    Run();
    ASSERT_FALSE(SdlSize(popup).empty());
    ASSERT_TRUE(platform::test::PushSdlWindowEvent(window, SdlWindowChange::FocusGained));
    Run();
    SetFocus(window);
    ASSERT_TRUE(platform::test::PushSdlKey("Left Alt", true));
    Run();
    Recorder::seen.clear();
    // Shown where no window manager keeps the keyboard, the popup takes it and gives it
    // back: SDL lets the held Alt go as each window loses the keyboard and presses it again
    // as the next one gets it.
    for (auto [from, to] : {std::pair{window, popup}, std::pair{popup, window}}) {
        ASSERT_TRUE(platform::test::PushSdlKey("Left Alt", false));
        ASSERT_TRUE(platform::test::PushSdlWindowEvent(from, SdlWindowChange::FocusLost));
        ASSERT_TRUE(platform::test::PushSdlWindowEvent(to, SdlWindowChange::FocusGained));
        ASSERT_TRUE(platform::test::PushSdlKey("Left Alt", true));
    }
    Run();
    EXPECT_EQ(GetActiveWindow(), window);
    EXPECT_EQ(GetFocus(), window);
    EXPECT_TRUE(Of(WM_ACTIVATE).empty());
    EXPECT_LT(GetAsyncKeyState(VK_MENU), 0);
    EXPECT_TRUE(Of(WM_SYSKEYUP).empty());
    EXPECT_TRUE(Of(WM_SYSKEYDOWN).empty());
    // Let go as the keyboard leaves for another application, Alt is up.
    ASSERT_TRUE(platform::test::PushSdlKey("Left Alt", false));
    ASSERT_TRUE(platform::test::PushSdlWindowEvent(window, SdlWindowChange::FocusLost));
    Run();
    EXPECT_GE(GetAsyncKeyState(VK_MENU), 0);
}

TEST_F(SdlDisplayTest, PaintedPixelsArePresented) {
    HBRUSH brush = CreateSolidBrush(kPainted);
    Recorder::answer = [brush](HWND window, UINT message, WPARAM,
                               LPARAM) -> std::optional<LRESULT> {
        if (message != WM_PAINT) return std::nullopt;
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT client;
        GetClientRect(window, &client);
        FillRect(dc, &client, brush);
        EndPaint(window, &paint);
        return 0;
    };
    HWND window = Keep(Make(kFramed, 40, 40, 200, 150));
    Run();
    Run();
    auto presented = [window](LONG x, LONG y) {
        uint32_t pixel = 0;
        EXPECT_TRUE(platform::test::ReadPresentedPixel(window, x, y, pixel)) << x << "," << y;
        return pixel;
    };
    // The client area's corners: the frame around it is not part of the SDL window.
    Longs client = ClientSize(window);
    EXPECT_EQ(presented(0, 0), kPresented);
    EXPECT_EQ(presented(client[0] - 1, client[1] - 1), kPresented);

    // A larger window shows its new pixels in full, though SDL made a new surface.
    SetWindowPos(window, 0, 0, 0, 320, 260, SWP_NOMOVE | SWP_NOZORDER);
    Run();
    Run();
    client = ClientSize(window);
    EXPECT_EQ(presented(client[0] - 1, client[1] - 1), kPresented);
    DeleteObject(brush);
}

// Full screen at a mode the screen does not have: the picture is shown over the whole
// desktop, scaled to fit with its aspect kept, and the mouse reaches the window where the
// picture shows it.
TEST_F(SdlDisplayTest, AModeTheScreenLacksShowsThePictureWholeOverTheDesktopAndGoesBack) {
    // The left half of the client area, and the right half.
    constexpr uint32_t kLeftShown = kPresented;
    constexpr uint32_t kRightShown = 0x000088CC;
    HBRUSH left = CreateSolidBrush(kPainted);
    HBRUSH right = CreateSolidBrush(0x00CC8800);
    Recorder::answer = [&](HWND window, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message != WM_PAINT) return std::nullopt;
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT half;
        GetClientRect(window, &half);
        half.right /= 2;
        FillRect(dc, &half, left);
        half.left = half.right;
        half.right = window_test::ClientRect(window).right;
        FillRect(dc, &half, right);
        EndPaint(window, &paint);
        return 0;
    };
    std::vector<platform::DisplayMode> modes = platform::ActiveDisplay().Modes();
    ASSERT_FALSE(modes.empty());
    const platform::DisplayMode desktop = modes.front();
    ASSERT_GT(desktop.width, 640);
    ASSERT_GT(desktop.height, 480);
    for (int bits : {16, 32})
        EXPECT_TRUE(std::any_of(modes.begin(), modes.end(), [&](const platform::DisplayMode& m) {
            return m.width == 640 && m.height == 480 && m.bitsPerPixel == bits;
        })) << bits;

    HWND window = Keep(Make(kFramed, 50, 60, 300, 200));
    Run();
    Run();
    const Longs windowed = SdlSize(window);

    // What a full-screen surface does: the mode, then its window over the new screen; a
    // picture wider than the screen's shape leaves bars above and below it.
    DEVMODEA mode{};
    mode.dmSize = sizeof mode;
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_BITSPERPEL;
    mode.dmPelsWidth = 640;
    mode.dmPelsHeight = 480;
    mode.dmBitsPerPel = 32;
    ASSERT_EQ(ChangeDisplaySettingsA(&mode, 0), DISP_CHANGE_SUCCESSFUL);
    RECT saved = window_test::WindowRect(window);
    SetWindowLongA(window, GWL_STYLE, WS_POPUP | WS_VISIBLE);
    SetWindowPos(window, 0, 0, 0, 640, 320, SWP_NOZORDER | SWP_FRAMECHANGED);
    Run();
    Run();
    EXPECT_EQ(SdlSize(window), (Longs{desktop.width, desktop.height}));
    EXPECT_EQ(Presented(window, 0, 0), kLeftShown);
    EXPECT_EQ(Presented(window, 319, 319), kLeftShown);
    EXPECT_EQ(Presented(window, 320, 0), kRightShown);
    EXPECT_EQ(Presented(window, 639, 319), kRightShown);
    const int fittedHeight = 320 * desktop.width / 640;
    const int bar = (desktop.height - fittedHeight) / 2;
    ASSERT_GT(bar, 1);
    EXPECT_EQ(OnSdlWindow(window, desktop.width - 1, bar - 1), 0u);
    EXPECT_EQ(OnSdlWindow(window, desktop.width - 1, bar), kRightShown);
    EXPECT_EQ(OnSdlWindow(window, 0, desktop.height - bar), 0u);
    EXPECT_EQ(OnSdlWindow(window, 0, desktop.height - bar - 1), kLeftShown);

    std::vector<window_test::Seen> changes = Recorder::Of(WM_DISPLAYCHANGE);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].lParam, MAKELPARAM(640, 480));

    // The mouse reaches the picture's point; the SDL window's moves leave the window be.
    Recorder::seen.clear();
    ASSERT_TRUE(platform::test::PushSdlMouse(window, 320, 200, MouseEvent::LeftDown));
    ASSERT_TRUE(platform::test::PushSdlMouse(window, 639, 319, MouseEvent::LeftUp));
    ASSERT_TRUE(platform::test::PushSdlWindowEvent(window, SdlWindowChange::Resize,
                                                   desktop.width, desktop.height));
    Run();
    Run();
    ASSERT_EQ(Recorder::Of(WM_LBUTTONDOWN).size(), 1u);
    EXPECT_EQ(Recorder::Of(WM_LBUTTONDOWN)[0].lParam, MAKELPARAM(320, 200));
    ASSERT_EQ(Recorder::Of(WM_LBUTTONUP).size(), 1u);
    EXPECT_EQ(Recorder::Of(WM_LBUTTONUP)[0].lParam, MAKELPARAM(639, 319));
    EXPECT_EQ(window_test::Sides(window_test::WindowRect(window)),
              (Longs{0, 0, 640, 320}));

    // Back to the desktop, the window where it stood, unscaled.
    ASSERT_EQ(ChangeDisplaySettingsA(nullptr, 0), DISP_CHANGE_SUCCESSFUL);
    SetWindowLongA(window, GWL_STYLE, kFramed);
    SetWindowPos(window, 0, saved.left, saved.top, saved.right - saved.left,
                 saved.bottom - saved.top, SWP_NOZORDER | SWP_FRAMECHANGED);
    Run();
    Run();
    EXPECT_EQ(SdlSize(window), windowed);
    RECT client = window_test::ClientRect(window);
    EXPECT_EQ(Presented(window, 0, 0), kLeftShown);
    EXPECT_EQ(Presented(window, client.right - 1, client.bottom - 1), kRightShown);
    EXPECT_EQ(Recorder::Of(WM_DISPLAYCHANGE).back().lParam,
              MAKELPARAM(desktop.width, desktop.height));
    DeleteObject(left);
    DeleteObject(right);
}

TEST_F(SdlDisplayTest, DroppedFilesKeepTheirNames) {
    HWND window = Open();
    DragAcceptFiles(window, TRUE);
    std::vector<std::string> names;
    Recorder::answer = [&names](HWND, UINT message, WPARAM wParam,
                                LPARAM) -> std::optional<LRESULT> {
        if (message != WM_DROPFILES) return std::nullopt;
        auto drop = static_cast<HDROP>(wParam);
        UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < count; ++i) {
            std::string name(DragQueryFileA(drop, i, nullptr, 0) + 1, '\0');
            DragQueryFileA(drop, i, name.data(), static_cast<UINT>(name.size()));
            name.pop_back();
            names.push_back(name);
        }
        DragFinish(drop);
        return 0;
    };
    std::string longName = "/tmp/" + std::string(300, 'n') + ".txt";
    ASSERT_TRUE(platform::test::PushSdlDrop(
        window, {"/tmp/\xC3\xA9t\xC3\xA9.txt", "/tmp/\xE4\xB8\xAD.txt", longName}));
    Run();
    // A name Windows-1252 cannot spell opens nothing, rather than another file.
    EXPECT_EQ(names, (std::vector<std::string>{"/tmp/\xE9t\xE9.txt", "/tmp/?.txt", longName}));
}

TEST_F(SdlDisplayTest, WindowGoneBetweenPumpsIsHarmless) {
    HWND window = Open();
    ASSERT_TRUE(platform::test::PushSdlMouse(window, 10, 10, MouseEvent::LeftDown));
    ASSERT_TRUE(platform::test::PushSdlWindowEvent(window, SdlWindowChange::Resize, 50, 50));
    ASSERT_TRUE(platform::test::PushSdlWindowEvent(window, SdlWindowChange::Close));
    ASSERT_TRUE(platform::test::PushSdlDrop(window, {"/tmp/a.txt"}));
    DestroyWindow(window);
    Recorder::seen.clear();
    Run();
    EXPECT_TRUE(Recorder::seen.empty());
    EXPECT_TRUE(SdlSize(window).empty());
}

TEST_F(SdlDisplayTest, PumpSurvivesProceduresThatPumpOrThrow) {
    HWND window = Open();
    // A procedure looking for messages while the pump is busy with its input pumps
    // nothing: the button's release stays behind its press.
    Recorder::answer = [](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_NCHITTEST) platform::ActiveDisplay().Pump();
        return std::nullopt;
    };
    ASSERT_TRUE(platform::test::PushSdlMouse(window, 10, 10, MouseEvent::LeftDown));
    ASSERT_TRUE(platform::test::PushSdlMouse(window, 10, 10, MouseEvent::LeftUp));
    Run();
    EXPECT_EQ(
        input_test::Sequence({WM_LBUTTONDOWN, WM_LBUTTONUP}),
        (std::vector<std::pair<HWND, UINT>>{{window, WM_LBUTTONDOWN}, {window, WM_LBUTTONUP}}));

    // A procedure that throws while the pump sends to it: the events after it wait for
    // the next pump, which runs as usual.
    Recorder::Reset();
    bool thrown = false;
    Recorder::answer = [&thrown](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_NCHITTEST && !thrown) {
            thrown = true;
            throw std::runtime_error("script error");
        }
        return std::nullopt;
    };
    SetFocus(window);
    ASSERT_TRUE(platform::test::PushSdlMouse(window, 10, 10, MouseEvent::Move));
    ASSERT_TRUE(platform::test::PushSdlKey("B", true));
    EXPECT_THROW(platform::PumpDisplay(), std::runtime_error);
    Run();
    EXPECT_EQ(WParams(WM_KEYDOWN), std::vector<WPARAM>{'B'});
}

TEST_F(SdlDisplayTest, OffersTheDesktopModeFirstAndLeavesCtrlCAlone) {
    std::vector<platform::DisplayMode> modes = platform::ActiveDisplay().Modes();
    ASSERT_FALSE(modes.empty());
    EXPECT_GT(modes[0].width, 0);
    EXPECT_GT(modes[0].bitsPerPixel, 8);
    EXPECT_TRUE(platform::ActiveDisplay().SetMode(modes[0]));
    EXPECT_FALSE(platform::ActiveDisplay().SetMode(platform::DisplayMode{123, 45, 32, 60}));
    // Ctrl+C still ends the player: SDL took no signal handler.
    void (*previous)(int) = std::signal(SIGINT, SIG_DFL);
    EXPECT_EQ(previous, SIG_DFL);
    std::signal(SIGINT, previous);
}

TEST_F(SdlDisplayTest, ShowsImageCursorsAndWindowIcons) {
    HWND window = Open();
    uint32_t colors[16 * 16];
    std::fill(std::begin(colors), std::end(colors), 0xFF00FF00u);
    HBITMAP color = CreateBitmap(16, 16, 1, 32, colors);
    const uint8_t clear[16 * 2] = {};
    HBITMAP mask = CreateBitmap(16, 16, 1, 1, clear);
    ICONINFO info{FALSE, 8, 8, mask, color};
    HCURSOR cursor = CreateIconIndirect(&info);
    info.fIcon = TRUE;
    HICON icon = CreateIconIndirect(&info);
    HCURSOR before = SetCursor(cursor);
    SendMessageA(window, WM_SETICON, ICON_BIG, icon);
    Run();
    // Again with another image of each, then a system shape drawn as an image.
    SendMessageA(window, WM_SETICON, ICON_BIG, LoadIconA(0, IDI_APPLICATION));
    SetCursor(LoadCursorA(0, IDC_HELP));
    Run();
    EXPECT_EQ(platform::CurrentCursor().shape, 32651u);
    SetCursor(before);
    Run();
    DestroyCursor(cursor);
    DestroyIcon(icon);
    DeleteObject(mask);
    DeleteObject(color);
    uint32_t pixel = 0;
    EXPECT_TRUE(platform::test::ReadPresentedPixel(window, 1, 1, pixel));
}

} // namespace
