// A script's Window with its menu bar and an open menu, against a reference picture in
// golden/, drawn with the pinned font set: within 16 a channel on at most 1% of the pixels
// (FreeType versions may round coverage differently). ZORV_WRITE_PICTURES=1 writes it anew.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/display/headless_display.h"
#include "platform/display/png_dump.h"
#include "platform/gdi/text/font_pinned_set.h"
#include "platform/user/input/input.h"
#include "platform/user/menus/menu_test_hooks.h"
#include "platform/user/window_geometry.h"
#include "platform/user/windows.h"
#include "script/script_runner.h"
#include "support/golden_picture.h"

namespace {

namespace headless = platform::headless;

class WindowMenuGolden : public font_test::PinnedFonts {
protected:
    void Check(const std::string& name, const headless::Pixels& drawn) {
        test_support::ExpectLikeGolden(
            std::filesystem::path(__FILE__).parent_path() / "golden" / name, drawn);
        if (HasFailure()) {
            std::string out = dir.Linux(name);
            platform::WritePngFile(out, drawn.data.data(), drawn.width, drawn.height);
            ADD_FAILURE() << "drawn: " << out;
        }
    }
};

TEST_F(WindowMenuGolden, AWindowWithItsMenuBarAndAnOpenMenu) {
    // The whole window with the open popup laid over it where the screen shows it.
    headless::Pixels picture;
    bool taken = false;
    platform::test::SetMenuWaitHook([&](HWND popup) {
        if (popup == 0 || taken) return;
        taken = true;
        HWND window = GetWindow(popup, GW_OWNER);
        headless::Pixels menu;
        RECT windowRect{}, popupRect{};
        if (!headless::ReadWholePixels(window, picture) || !headless::ReadPixels(popup, menu) ||
            !GetWindowRect(window, &windowRect) || !GetWindowRect(popup, &popupRect))
            return;
        for (int y = 0; y < menu.height; ++y) {
            for (int x = 0; x < menu.width; ++x) {
                int px = popupRect.left - windowRect.left + x;
                int py = popupRect.top - windowRect.top + y;
                if (px >= 0 && py >= 0 && px < picture.width && py < picture.height)
                    picture.data[size_t(py) * size_t(picture.width) + size_t(px)] = menu.At(x, y);
            }
        }
        headless::PressKey(VK_ESCAPE);
        headless::PressKey(VK_ESCAPE);
    });
    script_test::ScriptRunner runner;
    script_test::ScriptResult result =
        runner.Run(R"(w = New Window("Menus", 260, 150, 20, 20, 0xFFFFFF);
bar = New Menu(w);
fileMenu = New Menu();
fileMenu.InsertItem("&New");
opened = fileMenu.InsertItem("&Open...");
fileMenu.InsertItemSeparator();
fileMenu.InsertItem("&Quit");
fileMenu.CheckItem(opened);
help = New Menu();
help.InsertItem("&About");
bar.InsertItem(fileMenu, "&File");
bar.InsertItem(help, "&Help");
UiDispatch();
UiKey(0x79);
UiKey(0x28);
UiDispatch();
)");
    platform::test::SetMenuWaitHook(nullptr);
    ASSERT_EQ(result.ok, 1) << "error " << result.code << " line " << result.line + 1;
    ASSERT_TRUE(taken);
    Check("window_menu_open.png", picture);
}

} // namespace
