#include "platform/user/input/input_fixture.h"
#include "platform/last_error.h"
#include "platform/user/input/cursor.h"
#include "platform/display/display_backend.h"

namespace {

using input_test::Make;
using platform::CurrentCursor;
using platform::InjectMouse;
using platform::MouseEvent;

TEST(Cursor, SystemCursorsAreSharedAndStayAndTheCountHidesThem) {
    HCURSOR arrow = LoadCursorA(0, IDC_ARROW);
    HCURSOR ibeam = LoadCursorA(0, IDC_IBEAM);
    ASSERT_NE(arrow, 0u);
    EXPECT_NE(arrow, ibeam);
    EXPECT_EQ(LoadCursorA(0, IDC_IBEAM), ibeam);
    EXPECT_EQ(ErrorOf(LoadCursorA(1, IDC_ARROW), 0), ERROR_RESOURCE_NAME_NOT_FOUND);
    EXPECT_EQ(LoadCursorA(0, MAKEINTRESOURCEA(32517)), 0u);

    HCURSOR before = SetCursor(ibeam);
    EXPECT_TRUE(DestroyCursor(ibeam));
    EXPECT_EQ(CurrentCursor().shape, 32513u);
    EXPECT_EQ(SetCursor(arrow + 1000), 0u); // names no cursor: nothing changes
    EXPECT_EQ(SetCursor(0), ibeam);
    EXPECT_EQ(CurrentCursor().shape, 0u);
    SetCursor(before);

    // Hidden and shown again the way scripts do it: until the count crosses zero.
    int count = ShowCursor(FALSE);
    while (count >= 0)
        count = ShowCursor(FALSE);
    EXPECT_FALSE(CurrentCursor().visible);
    while (count < 0)
        count = ShowCursor(TRUE);
    EXPECT_EQ(count, 0);
    EXPECT_TRUE(CurrentCursor().visible);
}

LRESULT CrossProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCHITTEST && window_test::Recorder::answer) {
        if (auto answer = window_test::Recorder::answer(window, message, wParam, lParam))
            return *answer;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

using CursorMessages = input_test::InputTest;

TEST_F(CursorMessages, TheClassCursorInsideTheArrowOutsideAndSizingShapesOnBorders) {
    window_test::Class("CursorCross", CrossProcedure, 0, 0, LoadCursorA(0, IDC_CROSS));
    HWND frame = Keep(CreateWindowExA(0, "CursorCross", nullptr, WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                      100, 100, 300, 300, 0, 0, 0, nullptr));
    POINT origin{0, 0};
    ClientToScreen(frame, &origin);
    InjectMouse(origin.x + 150, origin.y + 150, MouseEvent::Move);
    EXPECT_EQ(CurrentCursor().shape, 32515u);
    InjectMouse(origin.x + 150, origin.y - 5, MouseEvent::Move); // the caption
    EXPECT_EQ(CurrentCursor().shape, 32512u);

    // A child whose class has no cursor leaves the pointer as it was set.
    Make(WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, frame);
    SetCursor(LoadCursorA(0, IDC_IBEAM));
    InjectMouse(origin.x + 10, origin.y + 10, MouseEvent::Move);
    EXPECT_EQ(CurrentCursor().shape, 32513u);
    // A child with one shows its own over a parent without.
    HWND holder = Keep(Make(WS_POPUP | WS_VISIBLE, 600, 100, 100, 100));
    CreateWindowExA(0, "CursorCross", nullptr, WS_CHILD | WS_VISIBLE, 10, 10, 20, 20, holder, 0, 0,
                    nullptr);
    InjectMouse(615, 115, MouseEvent::Move);
    EXPECT_EQ(CurrentCursor().shape, 32515u);

    window_test::Recorder::answer = [](HWND, UINT message, WPARAM,
                                       LPARAM lParam) -> std::optional<LRESULT> {
        if (message != WM_NCHITTEST) return std::nullopt;
        return LOWORD(static_cast<DWORD_PTR>(lParam)) < 250 ? HTLEFT : HTBOTTOMRIGHT;
    };
    InjectMouse(origin.x + 100, origin.y + 150, MouseEvent::Move);
    EXPECT_EQ(CurrentCursor().shape, 32644u); // IDC_SIZEWE
    InjectMouse(origin.x + 200, origin.y + 150, MouseEvent::Move);
    EXPECT_EQ(CurrentCursor().shape, 32642u); // IDC_SIZENWSE
    SetCursor(LoadCursorA(0, IDC_ARROW));
    DestroyWindow(frame);
    DestroyWindow(holder);
    UnregisterClassA("CursorCross", 0);
}

} // namespace
