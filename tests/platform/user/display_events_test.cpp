#include <gtest/gtest.h>

#include "platform/user/input/input_fixture.h"
#include "platform/display/display_backend.h"
#include "platform/display/headless_display.h"
#include "platform/user/sys_commands.h"

namespace {

using input_test::InputTest;
using window_test::ClientRect;
using window_test::Make;
using window_test::Recorder;
using window_test::Seen;
using window_test::WindowRect;

namespace headless = platform::headless;

class DisplayEvents : public InputTest {
protected:
    void SetUp() override {
        headless::Install();
        InputTest::SetUp();
    }
    HWND MakeFramed(int x = 100, int y = 80, int width = 300, int height = 200) {
        return Keep(Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, y, width, height));
    }
    static std::vector<Seen> SysCommands() { return Recorder::Of(WM_SYSCOMMAND); }
};

TEST_F(DisplayEvents, CloseRequestPostsTheCloseCommandAndNothingElse) {
    HWND window = MakeFramed();
    input_test::DrainQueue();
    Recorder::Reset();
    // The procedure keeps its window: a close request must not close it behind its back.
    Recorder::answer = [](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_SYSCOMMAND) return 0;
        return std::nullopt;
    };
    headless::RequestClose(window);
    EXPECT_TRUE(Recorder::seen.empty()); // posted, not sent
    headless::DispatchPending();
    std::vector<Seen> commands = SysCommands();
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].window, window);
    EXPECT_EQ(commands[0].wParam, SC_CLOSE);
    EXPECT_EQ(commands[0].lParam, 0);
    EXPECT_TRUE(Recorder::Of(WM_CLOSE).empty());
    EXPECT_TRUE(IsWindow(window));

    // Left to the default handling, the command closes the window.
    Recorder::answer = nullptr;
    headless::RequestClose(window);
    headless::DispatchPending();
    EXPECT_EQ(Recorder::Of(WM_CLOSE).size(), 1u);
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(DisplayEvents, EventsForChildrenAndDeadWindowsDoNothing) {
    HWND top = MakeFramed();
    HWND child = Make(WS_CHILD | WS_VISIBLE, 10, 10, 50, 50, top);
    HWND gone = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 100, 100);
    DestroyWindow(gone);
    input_test::DrainQueue();
    Recorder::Reset();
    for (HWND window : {child, gone}) {
        headless::RequestClose(window);
        headless::ResizeClient(window, 20, 20);
        headless::MoveClient(window, 5, 5);
        headless::Minimize(window);
        headless::Focus(window);
    }
    headless::DispatchPending();
    EXPECT_TRUE(Recorder::seen.empty());
    EXPECT_EQ(ClientRect(child).right, 50);
    EXPECT_NE(GetFocus(), child);
    headless::Focus(top); // its top-level window takes the focus
    EXPECT_EQ(GetFocus(), top);
}

TEST_F(DisplayEvents, ResizeSendsSizingWithTheOuterRectangleThenSize) {
    HWND window = MakeFramed(100, 80);
    Recorder::Reset();
    RECT sizing{};
    Recorder::answer = [&](HWND, UINT message, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        if (message == WM_SIZING) sizing = *reinterpret_cast<RECT*>(lParam);
        return std::nullopt;
    };
    headless::ResizeClient(window, 400, 250);

    RECT expected{0, 0, 400, 250};
    AdjustWindowRectEx(&expected, WS_OVERLAPPEDWINDOW, FALSE, 0);
    EXPECT_EQ(window_test::Sides(sizing),
              (std::vector<LONG>{100, 80, 100 + expected.right - expected.left,
                                 80 + expected.bottom - expected.top}));
    EXPECT_EQ(input_test::Sequence({WM_SIZING, WM_SIZE}),
              (std::vector<std::pair<HWND, UINT>>{{window, WM_SIZING}, {window, WM_SIZE}}));
    EXPECT_EQ(Recorder::Of(WM_SIZING)[0].wParam, WMSZ_BOTTOMRIGHT);
    EXPECT_EQ(Recorder::Of(WM_SIZE)[0].lParam, MAKELPARAM(400, 250));
    EXPECT_EQ(window_test::Sides(ClientRect(window)), (std::vector<LONG>{0, 0, 400, 250}));
    EXPECT_EQ(WindowRect(window).left, 100); // the top left corner stays
    EXPECT_EQ(WindowRect(window).top, 80);

    // The display reporting the size the window already has tells the procedure nothing.
    Recorder::Reset();
    headless::ResizeClient(window, 400, 250);
    EXPECT_TRUE(Recorder::Of(WM_SIZING).empty());
    EXPECT_TRUE(Recorder::Of(WM_SIZE).empty());
}

TEST_F(DisplayEvents, TheWindowTakesTheSizeItsProcedureAnswersAndTheClientPlaceShown) {
    HWND window = MakeFramed();
    Recorder::Reset();
    // Never wider than 320 outside, never lower than 200.
    Recorder::answer = [](HWND, UINT message, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        if (message != WM_SIZING) return std::nullopt;
        auto* rect = reinterpret_cast<RECT*>(lParam);
        rect->right = std::min<LONG>(rect->right, rect->left + 320);
        rect->bottom = std::max<LONG>(rect->bottom, rect->top + 200);
        return TRUE;
    };
    headless::ResizeClient(window, 1000, 10);
    RECT outer = WindowRect(window);
    EXPECT_EQ(outer.right - outer.left, 320);
    EXPECT_EQ(outer.bottom - outer.top, 200);
    RECT frame{0, 0, 0, 0};
    AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, 0);
    EXPECT_EQ(ClientRect(window).right, 320 - (frame.right - frame.left));
    ASSERT_FALSE(Recorder::Of(WM_SIZE).empty());
    EXPECT_EQ(LOWORD(Recorder::Of(WM_SIZE).back().lParam), 320 - (frame.right - frame.left));

    // A move places the client area where the display shows it, and keeps its size.
    RECT client = ClientRect(window);
    Recorder::Reset();
    headless::MoveClient(window, 250, 150);
    headless::MoveClient(window, 250, 150); // where it is already: nothing more
    std::vector<Seen> moves = Recorder::Of(WM_MOVE);
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(moves[0].lParam, MAKELPARAM(250, 150));
    EXPECT_EQ(window_test::Sides(ClientRect(window)), window_test::Sides(client));
}

TEST_F(DisplayEvents, StateChangesArriveAsSystemCommandsOnce) {
    HWND window = MakeFramed();
    RECT normal = WindowRect(window);
    Recorder::Reset();

    headless::Minimize(window);
    EXPECT_TRUE(IsIconic(window));
    headless::Minimize(window); // already so: nothing more is told
    headless::Restore(window);
    EXPECT_FALSE(IsIconic(window));
    headless::Maximize(window);
    EXPECT_TRUE(IsZoomed(window));
    EXPECT_EQ(ClientRect(window).right, GetSystemMetrics(SM_CXSCREEN));
    headless::Maximize(window);
    headless::Restore(window);
    EXPECT_FALSE(IsZoomed(window));
    EXPECT_EQ(window_test::Sides(WindowRect(window)), window_test::Sides(normal));
    headless::Restore(window);

    std::vector<WPARAM> commands;
    for (const Seen& seen : SysCommands())
        commands.push_back(seen.wParam);
    EXPECT_EQ(commands, (std::vector<WPARAM>{SC_MINIMIZE, SC_RESTORE, SC_MAXIMIZE, SC_RESTORE}));
}

} // namespace
