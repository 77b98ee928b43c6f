// Shared set-up of the control tests: a frameless recording parent in the button face colour at
// screen (100, 100), whose client coordinates are the screen's less 100, injected input, and the
// parent's pixels.
#pragma once

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/controls/controls.h"
#include "platform/display/png_dump.h"
#include "platform/user/input/input_fixture.h"
#include "platform/user/test_hooks.h"

namespace controls_test {

using input_test::Recorder;
using platform::InjectMouse;
using platform::MouseEvent;

inline constexpr int kOrigin = 100;

class ControlTest : public input_test::InputTest {
protected:
    void SetUp() override {
        InputTest::SetUp();
        static const char* parentClass = window_test::Class(
            "ControlParent", window_test::RecordingProcedure, CS_DBLCLKS, COLOR_BTNFACE + 1);
        parent = Keep(CreateWindowExA(0, parentClass, "", WS_POPUP | WS_VISIBLE, kOrigin, kOrigin,
                                      200, 120, 0, 0, 0, nullptr));
        Pump();
        Recorder::seen.clear();
    }
    HWND Control(const char* className, const char* text, DWORD style, int x, int y, int width,
                 int height, UINT id = 7) {
        HWND control = CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE | style, x, y,
                                       width, height, parent, id, 0, nullptr);
        EXPECT_NE(control, 0u);
        return control;
    }
    static void Pump() { window_test::Pump(); }
    // A click at the parent's client point, dispatched.
    static void Click(int x, int y) {
        InjectMouse(kOrigin + x, kOrigin + y, MouseEvent::LeftDown);
        InjectMouse(kOrigin + x, kOrigin + y, MouseEvent::LeftUp);
        Pump();
    }
    // A click whose press is handled before its release, as a user's is: a press that takes
    // the capture then gets the release.
    static void SlowClick(int x, int y) {
        InjectMouse(kOrigin + x, kOrigin + y, MouseEvent::LeftDown);
        Pump();
        InjectMouse(kOrigin + x, kOrigin + y, MouseEvent::LeftUp);
        Pump();
    }
    static void Key(int key) {
        platform::InjectKey(key, true);
        platform::InjectKey(key, false);
        Pump();
    }
    // The notification codes the parent heard from a control, in order.
    static std::vector<int> Notifications(HWND control) {
        std::vector<int> codes;
        for (const input_test::Seen& seen : Recorder::Of(WM_COMMAND))
            if (static_cast<HWND>(seen.lParam) == control) codes.push_back(HIWORD(seen.wParam));
        return codes;
    }
    std::vector<uint32_t> Pixels(int& width, int& height) {
        std::vector<uint32_t> pixels;
        EXPECT_TRUE(platform::test::ReadWindowPixels(parent, pixels, width, height));
        // ZORV_CONTROL_PICTURES names a folder where each picture is kept to be looked at.
        if (const char* folder = std::getenv("ZORV_CONTROL_PICTURES")) {
            std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
            platform::WritePngFile(std::string(folder) + "/" + name + std::to_string(++shots) +
                                       ".png",
                                   pixels.data(), width, height);
        }
        return pixels;
    }
    uint32_t At(const std::vector<uint32_t>& pixels, int width, int x, int y) {
        return pixels.at(static_cast<size_t>(y) * width + x);
    }
    HWND parent = 0;
    int shots = 0;
};

inline uint32_t Rgb(COLORREF color) {
    return (color & 0xFF) << 16 | (color & 0xFF00) | (color >> 16 & 0xFF);
}
inline uint32_t SysPixel(int index) {
    return Rgb(GetSysColor(index));
}

} // namespace controls_test
