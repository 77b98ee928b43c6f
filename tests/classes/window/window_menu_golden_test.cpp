// A script's Window with its menu bar and an open menu, against a reference picture in
// golden/, drawn with the pinned font set: within 16 a channel on at most 1% of the pixels
// (FreeType versions may round coverage differently). ZORV_WRITE_PICTURES=1 writes it anew.
#include <gtest/gtest.h>
#include <png.h>

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

namespace {

namespace headless = platform::headless;

bool ReadPng(const std::filesystem::path& path, headless::Pixels& picture) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
    image.format = PNG_FORMAT_BGRA;
    picture.data.assign(static_cast<size_t>(image.width) * image.height, 0);
    if (!png_image_finish_read(&image, nullptr, picture.data.data(), 0, nullptr)) return false;
    picture.width = static_cast<int>(image.width);
    picture.height = static_cast<int>(image.height);
    for (uint32_t& pixel : picture.data)
        pixel &= 0xFFFFFF;
    return true;
}

class WindowMenuGolden : public font_test::PinnedFonts {
protected:
    void Check(const std::string& name, const headless::Pixels& drawn) {
        std::filesystem::path path =
            std::filesystem::path(__FILE__).parent_path() / "golden" / name;
        if (std::getenv("ZORV_WRITE_PICTURES") != nullptr) {
            std::filesystem::create_directories(path.parent_path());
            ASSERT_TRUE(platform::WritePngFile(path.string(), drawn.data.data(), drawn.width,
                                               drawn.height));
            return;
        }
        headless::Pixels golden;
        ASSERT_TRUE(ReadPng(path, golden)) << path << " (ZORV_WRITE_PICTURES=1 writes it)";
        ASSERT_EQ(golden.width, drawn.width);
        ASSERT_EQ(golden.height, drawn.height);
        size_t differing = 0;
        for (size_t i = 0; i < drawn.data.size(); ++i) {
            uint32_t a = drawn.data[i], b = golden.data[i];
            if (a == b) continue;
            ++differing;
            for (int shift : {0, 8, 16}) {
                int d = static_cast<int>(a >> shift & 0xFF) - static_cast<int>(b >> shift & 0xFF);
                ASSERT_LE(std::abs(d), 16) << name << " at " << i % static_cast<size_t>(drawn.width)
                                           << "," << i / static_cast<size_t>(drawn.width);
            }
        }
        EXPECT_LE(static_cast<double>(differing), 0.01 * static_cast<double>(drawn.data.size()));
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
