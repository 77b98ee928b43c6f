#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/display/headless_display.h"
#include "platform/display/input_script.h"
#include "platform/input/joystick.h"
#include "platform/kernel/clock.h"
#include "platform/kernel/test_hooks.h"
#include "platform/user/input/input_fixture.h"
#include "support/temp_dir.h"

namespace {

using input_test::InputTest;
using platform::InputScriptRunner;
using platform::InputStep;
using window_test::Make;
using window_test::Recorder;
using Kind = InputStep::Kind;

std::vector<InputStep> Parse(const std::string& text) {
    std::vector<InputStep> steps;
    std::string error;
    EXPECT_TRUE(platform::ParseInputScript(text, steps, error)) << error;
    return steps;
}

std::string ErrorOf(const std::string& text) {
    std::vector<InputStep> steps{InputStep{}};
    std::string error;
    EXPECT_FALSE(platform::ParseInputScript(text, steps, error)) << text;
    EXPECT_TRUE(steps.empty());
    return error;
}

TEST(InputScriptParser, ReadsEveryStepWithItsLineAndArguments) {
    std::vector<InputStep> steps = Parse("# a comment\r\n"
                                         "\n"
                                         "window  Main window \r\n"
                                         "CLICK right -3 -20\n"
                                         "doubleclick 4 5\n"
                                         "press middle 1 2\n"
                                         "key f10\n"
                                         "keydown Shift\n"
                                         "keyup q\n"
                                         "type caf\xC3\xA9 au lait\n"
                                         "close\n"
                                         "wait 250");
    ASSERT_EQ(steps.size(), 10u);
    EXPECT_EQ(steps[0].kind, Kind::Window);
    EXPECT_EQ(steps[0].line, 3);
    // One separator goes; the rest of the line is the title, blanks included.
    EXPECT_EQ(steps[0].text, " Main window ");
    EXPECT_EQ(steps[1].kind, Kind::Click);
    EXPECT_EQ(steps[1].button, platform::headless::Button::Right);
    EXPECT_EQ(std::make_pair(steps[1].x, steps[1].y), std::make_pair(-3, -20));
    EXPECT_EQ(steps[2].kind, Kind::DoubleClick);
    EXPECT_EQ(steps[2].button, platform::headless::Button::Left);
    EXPECT_EQ(steps[3].button, platform::headless::Button::Middle);
    EXPECT_EQ(steps[4].key, VK_F10);
    EXPECT_EQ(steps[5].key, VK_SHIFT);
    EXPECT_EQ(steps[6].key, 'Q');
    EXPECT_EQ(steps[7].text, "caf\xE9 au lait"); // Windows-1252 inside
    EXPECT_EQ(steps[8].kind, Kind::Close);
    EXPECT_EQ(steps[9].milliseconds, 250u);
    EXPECT_EQ(steps[9].line, 12);
}

TEST(InputScriptParser, NamesTheFirstBadLine) {
    EXPECT_EQ(ErrorOf("close\nclik 1 2\n"), "line 2: unknown step \"clik\"");
    EXPECT_EQ(ErrorOf("click 1\n"), "line 1: expected [left|right|middle] X Y");
    EXPECT_EQ(ErrorOf("click left 1 2x\n"), "line 1: expected [left|right|middle] X Y");
    EXPECT_EQ(ErrorOf("move left 1 2\n"), "line 1: expected the coordinates X Y");
    EXPECT_EQ(ErrorOf("click 1 2 3\n"), "line 1: unexpected \"3\" at the end");
    EXPECT_EQ(ErrorOf("close now\n"), "line 1: unexpected \"now\" at the end");
    EXPECT_EQ(ErrorOf("key F25\n"), "line 1: unknown key \"F25\"");
    EXPECT_EQ(ErrorOf("key\n"), "line 1: a key step needs the key's name");
    EXPECT_EQ(ErrorOf("window \n"), "line 1: a window step needs the window's title");
    EXPECT_EQ(ErrorOf("type\n"), "line 1: a type step needs the text to type");
    EXPECT_EQ(ErrorOf("wait -1\n"), "line 1: expected the milliseconds to wait, 0 to 86400000");
    // Numbers too large for their step are refused, not wrapped.
    EXPECT_NE(ErrorOf("wait 99999999999999999999\n"), "");
    EXPECT_NE(ErrorOf("move 1 4294967297\n"), "");
}

class InputScriptRun : public InputTest {
protected:
    void TearDown() override {
        platform::headless::Install();
        InputTest::TearDown();
    }
    HWND Window(const char* title, int x = 100) {
        return Keep(Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, 100, 200, 150, 0, 0, 0, title));
    }
    // Pumps until the script is done with, as a message loop would: steps are taken while
    // the thread waits.
    void RunScript(const std::string& text) {
        platform::headless::InstallInputScript(Parse(text), [this] { ++endRequests; });
        for (int i = 0; i < 50; ++i)
            WaitThenDispatch();
    }
    static void WaitThenDispatch() {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_ALLINPUT);
        platform::headless::DispatchPending();
    }
    static std::vector<std::pair<UINT, LPARAM>> Mouse(HWND window) {
        std::vector<std::pair<UINT, LPARAM>> mouse;
        for (const window_test::Seen& s : Recorder::seen)
            if (s.window == window && s.message >= WM_LBUTTONDOWN && s.message <= WM_MBUTTONDBLCLK)
                mouse.emplace_back(s.message, s.lParam);
        return mouse;
    }
    int endRequests = 0;
};

TEST_F(InputScriptRun, PointerStepsReachTheChosenWindowAtClientCoordinates) {
    HWND other = Window("Other", 400);
    HWND chosen = Window("Chosen");
    RunScript("window Chosen\nclick 10 20\nclick right 30 40\ndoubleclick 5 6\n"
              "window Other\npress middle 7 8\nrelease middle 7 8\n");
    EXPECT_EQ(Mouse(chosen), (std::vector<std::pair<UINT, LPARAM>>{
                                 {WM_LBUTTONDOWN, MAKELPARAM(10, 20)},
                                 {WM_LBUTTONUP, MAKELPARAM(10, 20)},
                                 {WM_RBUTTONDOWN, MAKELPARAM(30, 40)},
                                 {WM_RBUTTONUP, MAKELPARAM(30, 40)},
                                 {WM_LBUTTONDOWN, MAKELPARAM(5, 6)},
                                 {WM_LBUTTONUP, MAKELPARAM(5, 6)},
                                 {WM_LBUTTONDBLCLK, MAKELPARAM(5, 6)},
                                 {WM_LBUTTONUP, MAKELPARAM(5, 6)},
                             }));
    EXPECT_EQ(Mouse(other), (std::vector<std::pair<UINT, LPARAM>>{
                                {WM_MBUTTONDOWN, MAKELPARAM(7, 8)},
                                {WM_MBUTTONUP, MAKELPARAM(7, 8)},
                            }));
    EXPECT_FALSE(platform::headless::InputScriptFailed());
    EXPECT_EQ(endRequests, 0);
}

TEST_F(InputScriptRun, NegativeCoordinatesReachTheFrameAndStepsWaitForAnEmptyQueue) {
    HWND window = Window("Framed");
    PostMessageA(window, WM_USER, 0, 0);
    RunScript("click 10 -5\nclose\n");
    std::vector<std::pair<HWND, UINT>> order =
        window_test::Sequence({WM_USER, WM_NCLBUTTONDOWN, WM_SYSCOMMAND});
    ASSERT_EQ(order.size(), 3u);
    // The message already queued came first.
    EXPECT_EQ(order[0].second, WM_USER);
    EXPECT_EQ(order[1].second, WM_NCLBUTTONDOWN);
    EXPECT_EQ(order[2].second, WM_SYSCOMMAND);
    EXPECT_EQ(Recorder::Of(WM_SYSCOMMAND).at(0).wParam & 0xFFF0, WPARAM(SC_CLOSE));
}

TEST_F(InputScriptRun, KeysTextAndTheClock) {
    HWND window = Window("Keys");
    SetFocus(window);
    Recorder::Reset();
    DWORD before = timeGetTime();
    RunScript("key Return\ntype \xC3\xA9!\nwait 250\n");
    std::vector<window_test::Seen> downs = Recorder::Of(WM_KEYDOWN);
    ASSERT_FALSE(downs.empty());
    EXPECT_EQ(downs[0].wParam, WPARAM(VK_RETURN));
    std::vector<WPARAM> chars;
    for (const window_test::Seen& s : Recorder::Of(WM_CHAR))
        if (s.wParam != '\r') chars.push_back(s.wParam);
    EXPECT_EQ(chars, (std::vector<WPARAM>{0xE9, '!'}));
    EXPECT_TRUE(platform::IsClockFrozen());
    EXPECT_GE(timeGetTime() - before, 250u);
}

// Runs show the same pictures on any machine: what the player does between steps takes
// no time on its clock.
TEST_F(InputScriptRun, TheClockStandsStillButForWaitSteps) {
    Window("Still");
    platform::test::UnfreezeClock();
    platform::headless::InstallInputScript(Parse("key Return\nwait 250\n"), [] {});
    DWORD start = timeGetTime();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(timeGetTime(), start);
    for (int i = 0; i < 50; ++i)
        WaitThenDispatch();
    EXPECT_EQ(timeGetTime() - start, 250u);
}

TEST_F(InputScriptRun, AStepThatCannotBeTakenEndsTheRun) {
    HWND window = Window("Short lived");
    window_test::Pump();
    testing::internal::CaptureStderr();
    platform::headless::InstallInputScript(Parse("window Short lived\nclick 1 1\n"),
                                           [this] { ++endRequests; });
    MSG msg;
    // Looking at the queue takes no step: the thread does not wait.
    PeekMessageA(&msg, 0, 0, 0, PM_NOREMOVE);
    EXPECT_FALSE(platform::headless::InputScriptFailed());
    // The window step is taken while the thread waits; then the window goes before the click.
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_ALLINPUT);
    DestroyWindow(window);
    for (int i = 0; i < 5; ++i)
        WaitThenDispatch();
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "zorv: input script, line 2: the window \"Short lived\" is gone\n");
    EXPECT_TRUE(platform::headless::InputScriptFailed());
    EXPECT_EQ(endRequests, 1);
    // A modal loop would see WM_QUIT and let go.
    EXPECT_TRUE(PeekMessageA(&msg, 0, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST_F(InputScriptRun, AMissingWindowIsWaitedForThenFails) {
    InputScriptRunner runner(Parse("window Late\nclick 2 2\n"));
    auto start = InputScriptRunner::Clock::now();
    EXPECT_EQ(runner.TakeNext(start), InputScriptRunner::Outcome::NotYet);
    HWND late = Window("Late");
    EXPECT_EQ(runner.TakeNext(start + std::chrono::seconds(1)), InputScriptRunner::Outcome::Taken);
    DestroyWindow(late);
    InputScriptRunner never(Parse("\nwindow Never\n"));
    EXPECT_EQ(never.TakeNext(start), InputScriptRunner::Outcome::NotYet);
    EXPECT_EQ(never.TakeNext(start + InputScriptRunner::kWindowPatience),
              InputScriptRunner::Outcome::Failed);
    EXPECT_EQ(never.Failure(), "line 2: no window titled \"Never\"");
    EXPECT_EQ(never.TakeNext(start), InputScriptRunner::Outcome::Finished);
}

TEST(InputScriptFromEnvironment, RefusesAMissingFileAndABadLine) {
    test_support::TempDir temp;
    const std::string path = temp.Linux("steps.txt");
    std::ofstream(path) << "wait 10\nwiat 10\n";
    platform::headless::SetEnvironment("ZORV_INPUT", path.c_str());
    testing::internal::CaptureStderr();
    EXPECT_FALSE(platform::headless::InstallInputScriptFromEnvironment(nullptr));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "zorv: input script " + path + ", line 2: unknown step \"wiat\"\n");
    const std::string missing = temp.Linux("none.txt");
    platform::headless::SetEnvironment("ZORV_INPUT", missing.c_str());
    testing::internal::CaptureStderr();
    EXPECT_FALSE(platform::headless::InstallInputScriptFromEnvironment(nullptr));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "zorv: the input script " + missing + " cannot be read\n");
    platform::headless::SetEnvironment("ZORV_INPUT", nullptr);
    EXPECT_TRUE(platform::headless::InstallInputScriptFromEnvironment(nullptr));
}

} // namespace

TEST(InputScriptParser, JoystickSteps) {
    std::vector<InputStep> steps;
    std::string error;
    ASSERT_TRUE(platform::ParseInputScript("joystick attach 6 32 1\njoystick axis 0 -32768\n"
                                           "joystick button 31 down\njoystick hat 0 down-left\n",
                                           steps, error))
        << error;
    ASSERT_EQ(steps.size(), 4u);
    EXPECT_EQ(steps[1].y, -32768);
    EXPECT_EQ(steps[2].x, 31);
    EXPECT_EQ(steps[3].y, 12);
    EXPECT_EQ(ErrorOf("joystick\n"), "line 1: expected joystick attach, axis, button or hat");
    EXPECT_EQ(ErrorOf("joystick attach 6 32\n"),
              "line 1: expected joystick attach AXES BUTTONS HATS");
    EXPECT_EQ(ErrorOf("joystick axis 0 32768\n"),
              "line 1: expected joystick axis N VALUE, the value -32768 to 32767");
    EXPECT_EQ(ErrorOf("joystick button 1 pressed\n"), "line 1: expected joystick button N down|up");
    EXPECT_NE(ErrorOf("joystick hat 0 north\n"), "");
    EXPECT_EQ(ErrorOf("joystick hat 0 up 1\n"), "line 1: unexpected \"1\" at the end");
}

TEST_F(InputScriptRun, JoystickStepsMoveAVirtualPad) {
    Window("Pad");
    RunScript("joystick attach 2 4 1\njoystick axis 1 32767\njoystick button 3 down\n"
              "joystick hat 0 left\n");
    UINT pads = joyGetNumDevs();
    ASSERT_GE(pads, 1u);
    JOYINFOEX info{};
    info.dwSize = sizeof info;
    info.dwFlags = JOY_RETURNALL;
    ASSERT_EQ(joyGetPosEx(pads - 1, &info), JOYERR_NOERROR);
    EXPECT_EQ(info.dwYpos, 65535u);
    EXPECT_EQ(info.dwButtons, 8u);
    EXPECT_EQ(info.dwPOV, 27000u);
    EXPECT_EQ(endRequests, 0);
    platform::test::DetachVirtualJoysticks();
}
