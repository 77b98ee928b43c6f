// Whole windows, frame and caption included, against reference pictures in golden/, drawn
// with the pinned font set: within 16 a channel on at most 1% of the pixels (FreeType
// versions may round coverage differently). ZORV_WRITE_PICTURES=1 writes the pictures anew.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/display/headless_display.h"
#include "support/golden_picture.h"
#include "platform/gdi/text/font_pinned_set.h"
#include "platform/user/input/input_fixture.h"

namespace {

namespace headless = platform::headless;

class FrameGolden : public input_test::InputTest {
protected:
    void SetUp() override {
        headless::Install();
        InputTest::SetUp();
        dir.WriteFile("fonts/.keep", "");
        for (const char* name : {"LiberationSans-Regular.ttf", "LiberationSans-Bold.ttf"})
            Link(font_test::LIBERATION_FOLDER, name);
        for (const char* name : {"DejaVuSans.ttf", "DejaVuSans-Bold.ttf"})
            Link(font_test::DEJAVU_FOLDER, name);
        font_test::PinFolders(dir, font_test::Dir(dir.Linux("fonts")));
    }
    void TearDown() override {
        platform::test::UseFontConfigFile("");
        InputTest::TearDown();
    }
    void Link(const std::string& folder, const std::string& name) {
        ASSERT_TRUE(std::filesystem::exists(folder + "/" + name)) << folder << "/" << name;
        std::filesystem::create_symlink(folder + "/" + name, dir.Linux("fonts/" + name));
    }

    // A window of a class that paints its client area white, so that only the frame varies.
    HWND Make(DWORD style, int x, int y, int width, int height, HWND parent = 0, DWORD exStyle = 0,
              const char* text = nullptr) {
        static const char* name =
            window_test::Class("FrameGolden", DefWindowProcA, 0, GetSysColorBrush(COLOR_WINDOW));
        return Keep(CreateWindowExA(exStyle, name, text, style, x, y, width, height, parent, 0, 0,
                                    nullptr));
    }

    void Check(const std::string& name, HWND window) {
        window_test::Pump();
        headless::Pixels drawn;
        ASSERT_TRUE(headless::ReadWholePixels(window, drawn)) << name;
        test_support::ExpectLikeGolden(
            std::filesystem::path(__FILE__).parent_path() / "golden" / name, drawn);
    }

    test_support::TempDir dir;
};

TEST_F(FrameGolden, ASizableWindowActiveAndInactive) {
    constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL;
    HWND first = Make(kStyle, 20, 20, 240, 150, 0, 0, "Active window");
    HWND second = Make(kStyle, 300, 20, 240, 150, 0, 0, "Inactive window");
    SetActiveWindow(first);
    Check("frame_active.png", first);
    Check("frame_inactive.png", second);
    // The same window, the other way round, draws as the other did.
    SetActiveWindow(second);
    window_test::Pump();
    headless::Pixels was, now;
    ASSERT_TRUE(headless::ReadWholePixels(first, now));
    SetActiveWindow(first);
    window_test::Pump();
    ASSERT_TRUE(headless::ReadWholePixels(first, was));
    EXPECT_NE(was.data, now.data);
}

TEST_F(FrameGolden, DialogAndToolFramesAndAPressedCloseButton) {
    HWND dialog = Make(WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU, 20, 20, 200, 100, 0,
                       WS_EX_DLGMODALFRAME, "Dialog");
    HWND tool = Make(WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, 260, 20, 160,
                     100, 0, WS_EX_TOOLWINDOW, "Tool");
    SetActiveWindow(dialog);
    Check("frame_dialog.png", dialog);
    Check("frame_tool.png", tool);
    RECT outer = window_test::WindowRect(dialog);
    RECT client{0, 0, 0, 0};
    AdjustWindowRectEx(&client, WS_POPUP | WS_CAPTION, FALSE, WS_EX_DLGMODALFRAME);
    int y = outer.top - client.left + GetSystemMetrics(SM_CYCAPTION) / 2;
    headless::PressMouse(headless::Button::Left, outer.right + client.left - 10, y);
    Check("frame_close_pressed.png", dialog);
    headless::ReleaseMouse(headless::Button::Left, outer.left + 40, y); // off the button
    window_test::Pump();
    EXPECT_TRUE(IsWindow(dialog));
}

TEST_F(FrameGolden, ChildFramesWithEdgesAndAMinimisedChild) {
    // Clipping its children, as the script's windows do: a minimised child's bar has no
    // client area to repaint after the parent's painting.
    HWND parent = Make(WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 360, 220);
    Make(WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 10, 100, 60, parent, WS_EX_CLIENTEDGE);
    Make(WS_CHILD | WS_VISIBLE, 130, 10, 100, 60, parent, WS_EX_STATICEDGE);
    Make(WS_CHILD | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX |
             WS_MAXIMIZEBOX,
         250, 10, 100, 90, parent, 0, "Child");
    HWND minimised =
        Make(WS_CHILD | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, 10,
             100, 200, 100, parent, 0, "Minimised");
    ShowWindow(minimised, SW_MINIMIZE);
    Check("frame_children.png", parent);
}

} // namespace
