#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>

#include "platform/last_error.h"
#include "platform/user/window_props.h"
#include "platform/window_recorder.h"

namespace {

using window_test::Make;
using window_test::Recorder;
using window_test::Sides;

using WindowLifecycle = window_test::WindowTest;
using Ends = std::vector<std::pair<HWND, UINT>>;

TEST_F(WindowLifecycle, CreationSendsItsSequenceAndShowsVisibleWindows) {
    HWND hidden = Make(WS_OVERLAPPEDWINDOW, 100, 50, 300, 200);
    ASSERT_NE(hidden, 0u);
    EXPECT_EQ(Recorder::Messages(),
              (std::vector<UINT>{WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_SIZE, WM_MOVE}));
    // The creation structure carries what was asked for.
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(Recorder::seen[0].lParam);
    EXPECT_EQ(create, reinterpret_cast<const CREATESTRUCTA*>(Recorder::seen[2].lParam));
    // WM_SIZE and WM_MOVE report the client area that the frame leaves.
    EXPECT_EQ(Recorder::seen[3].lParam, MAKELPARAM(292, 173));
    EXPECT_EQ(Recorder::seen[4].lParam, MAKELPARAM(104, 73));
    EXPECT_FALSE(IsWindowVisible(hidden));

    Recorder::seen.clear();
    HWND shown = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 100);
    EXPECT_EQ(Recorder::Messages(),
              (std::vector<UINT>{WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_SIZE, WM_MOVE,
                                 WM_SHOWWINDOW, WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED}));
    EXPECT_EQ(Recorder::Of(WM_SHOWWINDOW)[0].wParam, static_cast<WPARAM>(TRUE));
    EXPECT_TRUE(IsWindowVisible(shown));
    // A newer top-level window is above the older ones.
    EXPECT_EQ(window_test::ZOrder({hidden, shown}), (std::vector<HWND>{shown, hidden}));

    // A child takes its id from the menu argument and goes below its older siblings.
    HWND first = Make(WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, shown, 0, 7);
    HWND second = Make(WS_CHILD, 0, 0, 10, 10, shown, 0, 8);
    EXPECT_EQ(GetWindow(shown, GW_CHILD), first);
    EXPECT_EQ(GetWindow(first, GW_HWNDNEXT), second);
    EXPECT_EQ(GetDlgItem(shown, 8), second);
    EXPECT_EQ(GetDlgCtrlID(first), 7);
    EXPECT_EQ(GetParent(first), shown);
    EXPECT_TRUE(IsChild(shown, first));
    EXPECT_FALSE(IsWindowVisible(second));
    EXPECT_EQ(ErrorOf(GetDlgItem(shown, 99), 0), ERROR_CONTROL_ID_NOT_FOUND);
    EXPECT_EQ(ErrorOf(Make(WS_CHILD, 0, 0, 1, 1, 0), 0), ERROR_TLW_WITH_WSCHILD);
    EXPECT_EQ(ErrorOf(CreateWindowExA(0, "NoSuchClass", "", 0, 0, 0, 1, 1, 0, 0, 0, nullptr), 0),
              ERROR_CANNOT_FIND_WND_CLASS);

    DestroyWindow(hidden);
    DestroyWindow(shown);
    EXPECT_FALSE(IsWindow(first));
}

TEST_F(WindowLifecycle, RefusedCreationsUnwindAsWindowsDo) {
    Recorder::answer = [](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_NCCREATE) return FALSE;
        return std::nullopt;
    };
    EXPECT_EQ(Make(WS_POPUP, 0, 0, 10, 10), 0u);
    EXPECT_EQ(Recorder::Messages(), (std::vector<UINT>{WM_NCCREATE, WM_NCDESTROY}));
    HWND refused = Recorder::seen[0].window;
    EXPECT_FALSE(IsWindow(refused));

    // -1 from WM_CREATE: WM_DESTROY and WM_NCDESTROY, also for a child made meanwhile.
    Recorder::seen.clear();
    static HWND child = 0;
    Recorder::answer = [](HWND window, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message != WM_CREATE || GetParent(window) != 0) return std::nullopt;
        child = Make(WS_CHILD, 0, 0, 5, 5, window);
        return -1;
    };
    EXPECT_EQ(Make(WS_POPUP, 0, 0, 10, 10), 0u);
    HWND parent = Recorder::seen[0].window;
    ASSERT_NE(child, 0u);
    EXPECT_EQ(window_test::Sequence({WM_DESTROY, WM_NCDESTROY}), (Ends{{parent, WM_DESTROY},
                                                                       {child, WM_DESTROY},
                                                                       {child, WM_NCDESTROY},
                                                                       {parent, WM_NCDESTROY}}));
    EXPECT_FALSE(IsWindow(child));
    // Handles are never handed out again.
    Recorder::answer = nullptr;
    HWND next = Make(WS_POPUP, 0, 0, 1, 1);
    EXPECT_GT(next, child);
    DestroyWindow(next);
}

TEST_F(WindowLifecycle, DestructionOrderOwnedWindowsFirstThenParentsThenChildren) {
    HWND owner = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 300);
    HWND child = Make(WS_CHILD | WS_VISIBLE, 0, 0, 100, 100, owner);
    HWND grandchild = Make(WS_CHILD, 0, 0, 10, 10, child);
    // An owner given as a child makes the top-level ancestor the owner.
    HWND owned = Make(WS_POPUP, 0, 0, 50, 50, child);
    EXPECT_EQ(GetWindow(owned, GW_OWNER), owner);
    EXPECT_EQ(GetParent(owned), owner);
    SetPropA(owner, "tag", 5);

    Recorder::seen.clear();
    ASSERT_TRUE(DestroyWindow(owner));
    EXPECT_EQ(window_test::Sequence({WM_DESTROY, WM_NCDESTROY}), (Ends{{owned, WM_DESTROY},
                                                                       {owned, WM_NCDESTROY},
                                                                       {owner, WM_DESTROY},
                                                                       {child, WM_DESTROY},
                                                                       {grandchild, WM_DESTROY},
                                                                       {grandchild, WM_NCDESTROY},
                                                                       {child, WM_NCDESTROY},
                                                                       {owner, WM_NCDESTROY}}));
    // The visible window was hidden before its WM_DESTROY.
    EXPECT_EQ(Recorder::Messages(owner).front(), WM_WINDOWPOSCHANGING);
    for (HWND gone : {owner, child, grandchild, owned}) {
        EXPECT_FALSE(IsWindow(gone));
        EXPECT_EQ(ErrorOf(DestroyWindow(gone), FALSE), ERROR_INVALID_WINDOW_HANDLE);
        EXPECT_FALSE(PostMessageA(gone, WM_USER, 0, 0));
    }
    EXPECT_EQ(GetPropA(owner, "tag"), 0u);

    // Destroying again from WM_DESTROY does not start over.
    Recorder::answer = [](HWND window, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_DESTROY) {
            EXPECT_TRUE(DestroyWindow(window));
        }
        return std::nullopt;
    };
    HWND again = Make(WS_POPUP, 0, 0, 1, 1);
    Recorder::seen.clear();
    EXPECT_TRUE(DestroyWindow(again));
    EXPECT_EQ(Recorder::Messages(), (std::vector<UINT>{WM_DESTROY, WM_NCDESTROY}));
}

TEST_F(WindowLifecycle, AWindowDestroyedInsideItsOwnProcedureStaysSafeUntilItReturns) {
    static HWND self = 0;
    static std::vector<std::string> journal;
    journal.clear();
    Recorder::answer = [](HWND window, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message != WM_USER) return std::nullopt;
        self = window;
        EXPECT_TRUE(DestroyWindow(window));
        // Dead now: every call answers failure, nothing touches freed memory.
        journal.push_back(IsWindow(window) ? "alive" : "dead");
        EXPECT_EQ(DefWindowProcA(window, WM_GETTEXTLENGTH, 0, 0), 0);
        EXPECT_EQ(SendMessageA(window, WM_USER + 1, 0, 0), 0);
        EXPECT_FALSE(SetWindowPos(window, HWND_TOP, 1, 1, 1, 1, 0));
        EXPECT_FALSE(ShowWindow(window, SW_SHOW));
        EXPECT_EQ(GetWindowLongPtrA(window, GWL_STYLE), 0);
        RECT rect;
        EXPECT_FALSE(GetWindowRect(window, &rect));
        return 42;
    };
    HWND window = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 100, 100, 0, 0, 0, "self");
    HWND child = Make(WS_CHILD, 0, 0, 10, 10, window);
    ASSERT_TRUE(PostMessageA(window, WM_USER, 0, 0));
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, window, WM_USER, WM_USER, PM_REMOVE));
    EXPECT_EQ(DispatchMessageA(&msg), 42);
    EXPECT_EQ(self, window);
    EXPECT_EQ(journal, std::vector<std::string>{"dead"});
    EXPECT_FALSE(IsWindow(child));
    // A message still queued for it is dispatched to nobody.
    EXPECT_EQ(DispatchMessageA(&msg), 0);
    EXPECT_EQ(Recorder::Of(WM_USER + 1).size(), 0u);
}

TEST_F(WindowLifecycle, AThrowingProcedureLeavesTheWindowManagerConsistent) {
    HWND keeper = Make(WS_POPUP, 0, 0, 10, 10);
    Recorder::answer = [](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_CREATE) throw std::runtime_error("script error");
        return std::nullopt;
    };
    EXPECT_THROW(Make(WS_POPUP, 0, 0, 10, 10), std::runtime_error);
    HWND failed = Recorder::seen.back().window;
    EXPECT_FALSE(IsWindow(failed));
    EXPECT_EQ(window_test::ZOrder({keeper, failed}), std::vector<HWND>{keeper});

    // Thrown while its destruction runs: the destruction still completes.
    Recorder::answer = [](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_DESTROY) throw std::runtime_error("script error");
        return std::nullopt;
    };
    HWND child = Make(WS_CHILD, 0, 0, 5, 5, keeper);
    EXPECT_THROW(DestroyWindow(keeper), std::runtime_error);
    EXPECT_FALSE(IsWindow(keeper));
    EXPECT_FALSE(IsWindow(child));

    // Thrown from a dispatched message: the window is untouched and usable.
    Recorder::answer = [](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_USER) throw std::runtime_error("script error");
        return std::nullopt;
    };
    HWND window = Make(WS_POPUP, 0, 0, 10, 10);
    MSG msg{window, WM_USER, 0, 0, 0, {0, 0}};
    EXPECT_THROW(DispatchMessageA(&msg), std::runtime_error);
    EXPECT_TRUE(SetWindowPos(window, HWND_TOP, 5, 5, 20, 20, SWP_NOZORDER));
    EXPECT_EQ(Sides(window_test::WindowRect(window)), (std::vector<LONG>{5, 5, 25, 25}));
    DestroyWindow(window);
}

TEST_F(WindowLifecycle, MessagesReachWindowsOnlyOnTheirOwnThread) {
    HWND parent = Make(WS_POPUP, 0, 0, 10, 10);
    HWND child = Make(WS_CHILD, 0, 0, 5, 5, parent);
    PostMessageA(child, WM_USER + 2, 0, 0);
    PostMessageA(0, WM_USER + 3, 0, 0);
    // A window filter takes the window's descendants' messages too.
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, parent, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, child);
    EXPECT_FALSE(PeekMessageA(&msg, parent, 0, 0, PM_REMOVE));
    ASSERT_TRUE(PeekMessageA(&msg, 0, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_USER + 3u);

    std::thread([parent] {
        EXPECT_EQ(ErrorOf(SendMessageA(parent, WM_USER, 0, 0), 0), ERROR_WINDOW_OF_OTHER_THREAD);
        EXPECT_FALSE(DestroyWindow(parent));
        EXPECT_EQ(ErrorOf(Make(WS_CHILD, 0, 0, 1, 1, parent), 0), ERROR_ACCESS_DENIED);
        // Asking and posting work from anywhere.
        EXPECT_TRUE(IsWindow(parent));
        EXPECT_TRUE(PostMessageA(parent, WM_USER + 4, 0, 0));
        MSG msg;
        EXPECT_EQ(GetMessageA(&msg, parent, 0, 0), -1);
        // A thread's windows end with it.
        EXPECT_NE(Make(WS_POPUP, 0, 0, 1, 1), 0u);
    }).join();
    ASSERT_TRUE(PeekMessageA(&msg, 0, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_USER + 4u);
    HWND orphan = 0;
    for (const auto& s : Recorder::seen)
        if (s.window != parent && s.window != child) orphan = s.window;
    ASSERT_NE(orphan, 0u);
    EXPECT_FALSE(IsWindow(orphan));
    DestroyWindow(parent);
}

TEST_F(WindowLifecycle, ClassesAreFoundWithoutRegardToCaseAndKeepTheirDescription) {
    WNDCLASSEXA description{};
    description.cbSize = sizeof(description);
    description.style = CS_DBLCLKS | CS_OWNDC;
    description.lpfnWndProc = window_test::RecordingProcedure;
    description.hCursor = 0x30;
    description.hbrBackground = 6;
    description.lpszMenuName = MAKEINTATOM(100);
    // The same name spelled with an upper and a lower case e acute.
    const char* upper = "Main\xC9"
                        "Class";
    const char* lower = "MAIN\xE9"
                        "class";
    description.lpszClassName = upper;
    ATOM atom = RegisterClassExA(&description);
    ASSERT_NE(atom, 0);
    EXPECT_EQ(ErrorOf(RegisterClassExA(&description), 0), ERROR_CLASS_ALREADY_EXISTS);

    WNDCLASSA found{};
    ASSERT_TRUE(GetClassInfoA(0, lower, &found));
    EXPECT_EQ(found.style, CS_DBLCLKS | CS_OWNDC);
    EXPECT_EQ(found.hCursor, 0x30u);
    EXPECT_EQ(found.hbrBackground, 6u);
    EXPECT_EQ(found.lpszMenuName, MAKEINTATOM(100));
    EXPECT_EQ(ErrorOf(GetClassInfoA(0, "Other", &found), FALSE), ERROR_CLASS_DOES_NOT_EXIST);

    HWND window = CreateWindowExA(0, MAKEINTATOM(atom), "", WS_POPUP, 0, 0, 1, 1, 0, 0, 0, nullptr);
    ASSERT_NE(window, 0u);
    EXPECT_EQ(ErrorOf(UnregisterClassA(lower, 0), FALSE), ERROR_CLASS_HAS_WINDOWS);
    DestroyWindow(window);
    EXPECT_TRUE(UnregisterClassA(lower, 0));
    EXPECT_FALSE(UnregisterClassA(upper, 0));

    WNDCLASSA bad{};
    bad.lpszClassName = "NoProcedure";
    EXPECT_EQ(ErrorOf(RegisterClassA(&bad), 0), ERROR_INVALID_PARAMETER);
}

} // namespace
