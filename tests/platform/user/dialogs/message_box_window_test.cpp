#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <future>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "platform/display/headless_display.h"
#include "platform/gdi/framebuffer.h"
#include "platform/gdi/icons/icons.h"
#include "platform/gdi/text/text_render.h"
#include "platform/kernel/test_hooks.h"
#include "platform/last_error.h"
#include "platform/user/dialogs/message_box.h"
#include "platform/user/dialogs/message_box_test_hooks.h"
#include "platform/user/input/input_fixture.h"
#include "platform/user/test_hooks.h"

namespace {

namespace headless = platform::headless;
using input_test::InputTest;
using window_test::Make;
using window_test::Recorder;

struct TypeCase {
    UINT type;
    std::vector<int> buttons;
};

const std::vector<TypeCase> TYPES{
    {MB_OK, {IDOK}},
    {MB_OKCANCEL, {IDOK, IDCANCEL}},
    {MB_ABORTRETRYIGNORE, {IDABORT, IDRETRY, IDIGNORE}},
    {MB_YESNOCANCEL, {IDYES, IDNO, IDCANCEL}},
    {MB_YESNO, {IDYES, IDNO}},
    {MB_RETRYCANCEL, {IDRETRY, IDCANCEL}},
    {MB_CANCELTRYCONTINUE, {IDCANCEL, IDTRYAGAIN, IDCONTINUE}},
};

POINT CentreOf(HWND box, int id) {
    RECT rect{};
    EXPECT_TRUE(platform::test::MessageBoxButtonRect(box, id, rect)) << id;
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

void ClickButton(HWND box, int id) {
    POINT at = CentreOf(box, id);
    headless::Click(box, headless::Button::Left, at.x, at.y);
}

// A box nobody answers would wait for ever; under the frozen clock its wait runs the clock
// on to this timer instead, which fails the test and ends the box.
void Watchdog(HWND, UINT, UINT_PTR, DWORD) {
    ADD_FAILURE() << "a message box was left waiting";
    PostQuitMessage(0);
}

class MessageBoxWindow : public InputTest {
protected:
    void SetUp() override {
        InputTest::SetUp();
        headless::Install();
        platform::test::ShowMessageBoxesAsWindows(true);
        platform::test::FreezeClock(1000);
        watchdog = SetTimer(0, 0, 60000, Watchdog);
    }
    void TearDown() override {
        KillTimer(0, watchdog);
        platform::test::SetMessageBoxShownHook(nullptr);
        platform::test::ShowMessageBoxesAsWindows(false);
        InputTest::TearDown();
    }
    // Shows a box, lets `user` act on it once it is up, and returns the answer. The box's
    // window must be gone by then.
    int Ask(HWND owner, UINT type, const std::function<void(HWND)>& user,
            const char* text = "Text") {
        HWND seen = 0;
        platform::test::SetMessageBoxShownHook([&](HWND box) {
            seen = box;
            user(box);
        });
        int answer = MessageBoxA(owner, text, "Caption", type);
        EXPECT_NE(seen, 0u);
        EXPECT_FALSE(IsWindow(seen));
        return answer;
    }
    UINT_PTR watchdog = 0;
};

TEST_F(MessageBoxWindow, EveryButtonOfEveryTypeAnswersWhenClicked) {
    for (const TypeCase& c : TYPES) {
        for (int id : c.buttons)
            EXPECT_EQ(Ask(0, c.type, [id](HWND box) { ClickButton(box, id); }), id)
                << "type " << c.type;
    }
}

TEST_F(MessageBoxWindow, ReturnSpaceAndLettersChooseAButton) {
    for (const TypeCase& c : TYPES) {
        int def = c.buttons.size() > 1 ? c.buttons[1] : c.buttons[0];
        EXPECT_EQ(Ask(0, c.type | MB_DEFBUTTON2, [](HWND) { headless::PressKey(VK_RETURN); }), def);
        EXPECT_EQ(Ask(0, c.type, [](HWND) { headless::PressKey(VK_SPACE); }), c.buttons[0]);
    }
    // A default the box does not have falls back to the first button.
    EXPECT_EQ(Ask(0, MB_YESNO | MB_DEFBUTTON3, [](HWND) { headless::PressKey(VK_RETURN); }), IDYES);
    auto typed = [&](UINT type, const char* letters) {
        return Ask(0, type, [letters](HWND) {
            headless::TypeText(letters);
            headless::PressKey(VK_ESCAPE); // ends the boxes the letters do not
        });
    };
    EXPECT_EQ(typed(MB_YESNOCANCEL, "y"), IDYES);
    EXPECT_EQ(typed(MB_YESNOCANCEL, "N"), IDNO);
    EXPECT_EQ(typed(MB_ABORTRETRYIGNORE, "i"), IDIGNORE);
    EXPECT_EQ(typed(MB_RETRYCANCEL, "r"), IDRETRY);
    EXPECT_EQ(typed(MB_CANCELTRYCONTINUE, "t"), IDTRYAGAIN);
    EXPECT_EQ(typed(MB_CANCELTRYCONTINUE, "c"), IDCONTINUE); // Cancel has no letter
    EXPECT_EQ(typed(MB_OKCANCEL, "oxq"), IDCANCEL);          // nor has OK
}

TEST_F(MessageBoxWindow, EscapeAndTheCloseButtonCancelOnlyWhereTheBoxCan) {
    for (const TypeCase& c : TYPES) {
        bool cancels = c.type == MB_OK ||
                       std::find(c.buttons.begin(), c.buttons.end(), IDCANCEL) != c.buttons.end();
        int expected = cancels ? (c.type == MB_OK ? IDOK : IDCANCEL) : c.buttons[1];
        // Without a way to cancel, both are ignored and the Return that follows answers.
        EXPECT_EQ(Ask(0, c.type | MB_DEFBUTTON2,
                      [](HWND) {
                          headless::PressKey(VK_ESCAPE);
                          headless::PressKey(VK_RETURN);
                      }),
                  expected)
            << c.type;
        EXPECT_EQ(Ask(0, c.type | MB_DEFBUTTON2,
                      [](HWND box) {
                          headless::RequestClose(box);
                          headless::PressKey(VK_RETURN);
                      }),
                  expected)
            << c.type;
    }
}

TEST_F(MessageBoxWindow, TabShiftTabAndArrowsMoveTheFocusRound) {
    std::vector<int> focus;
    int answer = Ask(0, MB_YESNOCANCEL | MB_DEFBUTTON2, [&](HWND box) {
        auto note = [&] {
            headless::DispatchPending();
            focus.push_back(platform::test::MessageBoxFocusedButton(box));
        };
        note();
        headless::PressKey(VK_TAB);
        note();
        headless::PressKey(VK_RIGHT);
        note(); // wrapped round
        headless::KeyDown(VK_SHIFT);
        headless::PressKey(VK_TAB);
        headless::KeyUp(VK_SHIFT);
        note();
        headless::PressKey(VK_UP);
        note();
        headless::PressKey(VK_RETURN);
    });
    EXPECT_EQ(focus, (std::vector<int>{IDNO, IDCANCEL, IDYES, IDCANCEL, IDNO}));
    EXPECT_EQ(answer, IDNO);
}

TEST_F(MessageBoxWindow, AClickNeedsPressAndReleaseOnTheSameButton) {
    int answer = Ask(0, MB_YESNOCANCEL, [](HWND box) {
        POINT yes = CentreOf(box, IDYES);
        POINT no = CentreOf(box, IDNO);
        headless::PressMouse(box, headless::Button::Left, yes.x, yes.y);
        headless::MoveMouse(box, no.x, no.y);
        headless::ReleaseMouse(box, headless::Button::Left, no.x, no.y);
        headless::PressMouse(box, headless::Button::Left, 1, 1); // not on a button
        headless::ReleaseMouse(box, headless::Button::Left, 1, 1);
        ClickButton(box, IDCANCEL);
    });
    EXPECT_EQ(answer, IDCANCEL);
}

TEST_F(MessageBoxWindow, TheOwnerIsDisabledMeanwhileAndActiveAfter) {
    HWND owner = Keep(Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 400, 300));
    HWND child = Make(WS_CHILD | WS_VISIBLE, 10, 10, 50, 50, owner);
    HWND other = Keep(Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 100, 100));
    SetActiveWindow(other);
    bool ownerEnabled = true;
    HWND boxOwner = 0;
    LONG exStyle = 0;
    RECT boxRect{};
    int answer = Ask(child, MB_OKCANCEL | MB_TOPMOST, [&](HWND box) {
        ownerEnabled = IsWindowEnabled(owner);
        boxOwner = GetWindow(box, GW_OWNER);
        exStyle = GetWindowLongA(box, GWL_EXSTYLE);
        GetWindowRect(box, &boxRect);
        EXPECT_EQ(GetActiveWindow(), box);
        EXPECT_EQ(GetFocus(), box);
        headless::PressKey(VK_RETURN);
    });
    EXPECT_EQ(answer, IDOK);
    EXPECT_FALSE(ownerEnabled); // a child names its top-level window
    EXPECT_EQ(boxOwner, owner);
    EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
    EXPECT_NEAR((boxRect.left + boxRect.right) / 2, 300, 1); // centred on the owner
    EXPECT_NEAR((boxRect.top + boxRect.bottom) / 2, 250, 1);
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_EQ(GetActiveWindow(), owner);

    // Even when the box is no longer the active window as it ends.
    Ask(owner, MB_OK, [&](HWND) {
        SetActiveWindow(other);
        PostQuitMessage(0);
    });
    MSG quit;
    EXPECT_TRUE(PeekMessageA(&quit, 0, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(GetActiveWindow(), owner);

    // An owner disabled before stays so; a box without an owner disables nothing.
    EnableWindow(owner, FALSE);
    Ask(owner, MB_OK, [](HWND) { headless::PressKey(VK_RETURN); });
    EXPECT_FALSE(IsWindowEnabled(owner));
    EnableWindow(owner, TRUE);
    Ask(0, MB_OK, [&](HWND box) {
        EXPECT_TRUE(IsWindowEnabled(owner));
        EXPECT_EQ(GetWindow(box, GW_OWNER), 0u);
        EXPECT_FALSE(GetWindowLongA(box, GWL_EXSTYLE) & WS_EX_TOPMOST);
        headless::PressKey(VK_RETURN);
    });
}

TEST_F(MessageBoxWindow, AnOwnerOfAnotherThreadIsLeftAlone) {
    std::promise<HWND> made;
    std::promise<void> done;
    std::thread other([&] {
        made.set_value(Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 100, 100));
        done.get_future().wait();
    });
    HWND foreign = made.get_future().get();
    HWND boxOwner = 1;
    EXPECT_EQ(Ask(foreign, MB_OK,
                  [&](HWND box) {
                      boxOwner = GetWindow(box, GW_OWNER);
                      headless::PressKey(VK_RETURN);
                  }),
              IDOK);
    EXPECT_EQ(boxOwner, 0u);
    EXPECT_TRUE(IsWindowEnabled(foreign));
    done.set_value();
    other.join();
}

TEST_F(MessageBoxWindow, OtherWindowsKeepTheirTimersWhileTheBoxIsUp) {
    HWND clock = Keep(Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 100, 100));
    int ticks = 0;
    Recorder::answer = [&](HWND window, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (window == clock && message == WM_TIMER && ++ticks == 3) headless::PressKey(VK_ESCAPE);
        return std::nullopt;
    };
    SetTimer(clock, 1, 100, nullptr);
    EXPECT_EQ(Ask(0, MB_OKCANCEL, [](HWND) {}), IDCANCEL);
    EXPECT_EQ(ticks, 3);
    KillTimer(clock, 1);
}

TEST_F(MessageBoxWindow, AQuitEndsTheBoxAndIsPostedAgain) {
    EXPECT_EQ(Ask(0, MB_OKCANCEL, [](HWND) { PostQuitMessage(7); }), IDCANCEL);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, 0, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);
    // Without Cancel, the default button answers.
    EXPECT_EQ(Ask(0, MB_YESNO | MB_DEFBUTTON2, [](HWND) { PostQuitMessage(8); }), IDNO);
    ASSERT_TRUE(PeekMessageA(&msg, 0, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 8u);
}

TEST_F(MessageBoxWindow, ABoxOpenedFromAProcedureWhileAnotherIsUpRunsItsOwnLoop) {
    HWND window = Keep(Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 100, 100));
    std::vector<HWND> boxes;
    int inner = 0;
    bool outerEnabledDuringInner = true;
    Recorder::answer = [&](HWND target, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (target == window && message == WM_USER) {
            inner = MessageBoxA(boxes[0], "Inner", "Inner", MB_YESNO);
            // The outer box is enabled and active again: the key reaches it.
            headless::PressKey(VK_RETURN);
            return 0;
        }
        return std::nullopt;
    };
    platform::test::SetMessageBoxShownHook([&](HWND box) {
        boxes.push_back(box);
        if (boxes.size() == 1) {
            PostMessageA(window, WM_USER, 0, 0);
        } else {
            outerEnabledDuringInner = IsWindowEnabled(boxes[0]);
            headless::TypeText("n");
        }
    });
    EXPECT_EQ(MessageBoxA(0, "Outer", "Outer", MB_OKCANCEL | MB_DEFBUTTON2), IDCANCEL);
    EXPECT_EQ(inner, IDNO);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_FALSE(outerEnabledDuringInner);
    EXPECT_FALSE(IsWindow(boxes[0]));
    EXPECT_FALSE(IsWindow(boxes[1]));
}

TEST_F(MessageBoxWindow, AnExceptionThroughTheLoopStillTakesTheBoxAway) {
    HWND owner = Keep(Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 200));
    Recorder::answer = [&](HWND window, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (window == owner && message == WM_USER) throw std::runtime_error("script error");
        return std::nullopt;
    };
    HWND seen = 0;
    platform::test::SetMessageBoxShownHook([&](HWND box) {
        seen = box;
        PostMessageA(owner, WM_USER, 0, 0);
    });
    EXPECT_THROW(MessageBoxA(owner, "t", "c", MB_OK), std::runtime_error);
    EXPECT_NE(seen, 0u);
    EXPECT_FALSE(IsWindow(seen));
    EXPECT_TRUE(IsWindowEnabled(owner));
    // The layer is whole: the next box works.
    Recorder::answer = nullptr;
    EXPECT_EQ(Ask(owner, MB_OK, [](HWND) { headless::PressKey(VK_RETURN); }), IDOK);
}

TEST_F(MessageBoxWindow, DestroyingTheOwnerEndsTheBox) {
    HWND owner = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 200);
    EXPECT_EQ(Ask(owner, MB_YESNOCANCEL, [&](HWND) { DestroyWindow(owner); }), IDCANCEL);
    EXPECT_FALSE(IsWindow(owner));
}

TEST_F(MessageBoxWindow, ShowsItsCaptionAndTextAndGrowsWithIt) {
    std::string title;
    platform::test::SetMessageBoxShownHook([&](HWND box) {
        char buffer[32] = {};
        GetWindowTextA(box, buffer, sizeof buffer);
        title = buffer;
        headless::PressKey(VK_RETURN);
    });
    EXPECT_EQ(MessageBoxA(0, nullptr, nullptr, MB_OK), IDOK);
    EXPECT_EQ(title, "Error");

    uint32_t face = platform::PixelFromColor(GetSysColor(COLOR_BTNFACE));
    RECT shortClient{};
    bool inked = false;
    Ask(0, MB_OK, [&](HWND box) {
        GetClientRect(box, &shortClient);
        RECT text{};
        ASSERT_TRUE(platform::test::MessageBoxTextRect(box, text));
        headless::Pixels pixels;
        ASSERT_TRUE(headless::ReadPixels(box, pixels));
        EXPECT_EQ(pixels.At(1, 1), face);
        for (LONG y = text.top; y < text.bottom; ++y)
            for (LONG x = text.left; x < text.right; ++x)
                inked = inked || pixels.At(x, y) != face;
        headless::PressKey(VK_RETURN);
    });
    EXPECT_TRUE(inked);
    // The client or the window rectangle of a box showing `text`.
    auto rectFor = [&](const std::string& text, BOOL (*get)(HWND, RECT*)) {
        RECT rect{};
        auto user = [&](HWND box) {
            get(box, &rect);
            headless::PressKey(VK_RETURN);
        };
        Ask(0, MB_OK, user, text.c_str());
        return rect;
    };
    std::string longText;
    for (int i = 0; i < 60; ++i)
        longText += "A rather long sentence. ";
    RECT longClient = rectFor(longText, GetClientRect);
    EXPECT_GT(longClient.bottom, shortClient.bottom + 4 * platform::UiFontLineMetrics().lineHeight);
    EXPECT_LE(longClient.right, GetSystemMetrics(SM_CXSCREEN));
    // A text taller than the screen is cut so that the buttons stay on it.
    RECT tallWindow = rectFor(std::string(1000, '\n'), GetWindowRect);
    EXPECT_GE(tallWindow.top, 0);
    EXPECT_LE(tallWindow.bottom, GetSystemMetrics(SM_CYSCREEN));
}

TEST_F(MessageBoxWindow, RecordingAndTheScreenlessDisplayShowNoWindow) {
    bool shown = false;
    platform::test::SetMessageBoxShownHook([&](HWND) { shown = true; });
    platform::test::RecordMessageBoxes(true);
    EXPECT_EQ(MessageBoxA(0, "t", "c", MB_YESNO | MB_DEFBUTTON2), IDNO);
    platform::test::SetMessageBoxAnswer(IDNO);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(MessageBoxA(0x42, "Save?", "Caf\xE9", MB_YESNOCANCEL | MB_ICONQUESTION), IDNO);
    EXPECT_EQ(ErrorOf(MessageBoxA(0, "bad", "c", 0x0B), 0), ERROR_INVALID_MSGBOX_STYLE);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    auto boxes = platform::test::RecordedMessageBoxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].owner, 0x42u);
    EXPECT_EQ(boxes[1].caption, "Caf\xE9"); // as given
    EXPECT_EQ(boxes[1].text, "Save?");
    EXPECT_EQ(boxes[1].type, MB_YESNOCANCEL | MB_ICONQUESTION);
    platform::test::ClearRecordedMessageBoxes();
    EXPECT_TRUE(platform::test::RecordedMessageBoxes().empty());
    platform::test::SetMessageBoxAnswer(0);
    platform::test::RecordMessageBoxes(false);

    // Nobody sees the headless display: the box goes to standard error in UTF-8 and takes
    // its default button, not the first one.
    platform::test::ShowMessageBoxesAsWindows(false);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(MessageBoxA(0, "Delete?", "c", MB_YESNO | MB_DEFBUTTON2), IDNO);
    EXPECT_EQ(MessageBoxA(0, "Zeile 3: \x93x\x94", "Caf\xE9", MB_OK | MB_ICONERROR), IDOK);
    EXPECT_EQ(MessageBoxA(0, nullptr, nullptr, MB_YESNO), IDYES);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "c: Delete?\nCaf\xC3\xA9: Zeile 3: \xE2\x80\x9Cx\xE2\x80\x9D\nError: \n");
    EXPECT_FALSE(shown);
}

} // namespace

TEST_F(MessageBoxWindow, DrawsTheIconOfItsKindBesideTheText) {
    for (UINT kind : {MB_ICONERROR, MB_ICONQUESTION, MB_ICONWARNING, MB_ICONINFORMATION}) {
        RECT text{};
        headless::Pixels pixels;
        Ask(0, MB_OK | kind, [&](HWND box) {
            ASSERT_TRUE(platform::test::MessageBoxTextRect(box, text));
            ASSERT_TRUE(headless::ReadPixels(box, pixels));
            headless::PressKey(VK_RETURN);
        });
        EXPECT_GE(text.left, 12 + 32) << kind;
        // The icon's middle row, across its whole width, as LoadIconA's icon draws it.
        HICON icon = LoadIconA(0, kind == MB_ICONERROR      ? IDI_HAND
                                  : kind == MB_ICONQUESTION ? IDI_QUESTION
                                  : kind == MB_ICONWARNING  ? IDI_EXCLAMATION
                                                            : IDI_ASTERISK);
        platform::IconImage image;
        ASSERT_TRUE(platform::GetIconImage(icon, image));
        int differing = 0;
        for (int x = 0; x < 32; ++x) {
            uint32_t pixel = image.pixels[16 * 32 + x];
            if (pixel >> 24 == 0xFF && pixels.At(12 + x, 12 + 16) != (pixel & 0xFFFFFF))
                ++differing;
        }
        EXPECT_EQ(differing, 0) << kind;
    }
}
