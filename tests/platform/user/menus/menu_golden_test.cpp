// A menu bar and an open popup against reference pictures in golden/, drawn with the pinned
// font set: within 16 a channel on at most 1% of the pixels (FreeType versions may round
// coverage differently). ZORV_WRITE_PICTURES=1 writes the pictures anew.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/display/png_dump.h"
#include "platform/gdi/text/font_pinned_set.h"
#include "platform/user/menus/menu_fixture.h"

namespace {

using namespace menu_test;

class MenuGolden : public MenuTest {
protected:
    void SetUp() override {
        MenuTest::SetUp();
        dir.WriteFile("fonts/.keep", "");
        for (const char* name : {"LiberationSans-Regular.ttf", "LiberationSans-Bold.ttf"})
            Link(font_test::LIBERATION_FOLDER, name);
        for (const char* name : {"DejaVuSans.ttf", "DejaVuSans-Bold.ttf"})
            Link(font_test::DEJAVU_FOLDER, name);
        font_test::PinFolders(dir, font_test::Dir(dir.Linux("fonts")));
    }
    void TearDown() override {
        platform::test::UseFontConfigFile("");
        MenuTest::TearDown();
    }
    void Link(const std::string& folder, const std::string& name) {
        ASSERT_TRUE(std::filesystem::exists(folder + "/" + name)) << folder << "/" << name;
        std::filesystem::create_symlink(folder + "/" + name, dir.Linux("fonts/" + name));
    }

    void Check(const std::string& name, const headless::Pixels& drawn) {
        std::string path = (std::filesystem::path(__FILE__).parent_path() / "golden" / name);
        if (std::getenv("ZORV_WRITE_PICTURES") != nullptr) {
            ASSERT_TRUE(platform::WritePngFile(path, drawn.data.data(), drawn.width, drawn.height));
            return;
        }
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        ASSERT_TRUE(png_image_begin_read_from_file(&image, path.c_str())) << path;
        image.format = PNG_FORMAT_BGRA;
        std::vector<uint32_t> golden(static_cast<size_t>(image.width) * image.height);
        ASSERT_TRUE(png_image_finish_read(&image, nullptr, golden.data(), 0, nullptr));
        ASSERT_EQ(image.width, static_cast<png_uint_32>(drawn.width)) << name;
        ASSERT_EQ(image.height, static_cast<png_uint_32>(drawn.height)) << name;
        size_t differing = 0;
        for (size_t i = 0; i < golden.size(); ++i) {
            uint32_t a = drawn.data[i], b = golden[i] & 0xFFFFFF;
            differing += a != b;
            for (int shift : {0, 8, 16})
                ASSERT_LE(std::abs(int(a >> shift & 0xFF) - int(b >> shift & 0xFF)), 16)
                    << name << " at " << i % drawn.width << "," << i / drawn.width;
        }
        EXPECT_LE(differing, drawn.data.size() / 100) << name;
    }

    test_support::TempDir dir;
};

TEST_F(MenuGolden, ABarWithAnOpenItemAndItsPopup) {
    HWND window = MakeWindow();
    EnableMenuItem(bar, 2, MF_BYPOSITION | MF_GRAYED);
    CheckMenuRadioItem(file, 5, 5, 5, MF_BYPOSITION);
    DrawMenuBar(window);
    headless::Pixels plain = Shot(window), opened, popup;
    Check("menu_bar.png", plain);
    Then([&](HWND) { headless::PressKey(VK_DOWN); }); // File opens on New
    Then([&](HWND) {
        headless::PressKey(VK_DOWN);
        headless::PressKey(VK_DOWN); // Recent, whose arrow shows on the highlight
    });
    Then([&](HWND shown) {
        opened = Shot(window);
        ASSERT_TRUE(headless::ReadPixels(shown, popup));
        headless::PressKey(VK_ESCAPE);
        headless::PressKey(VK_ESCAPE);
    });
    headless::PressKey(VK_F10);
    window_test::Pump();
    Check("menu_bar_open.png", opened);
    Check("menu_popup.png", popup);
    // The bar is drawn plain again once the menu is closed.
    EXPECT_EQ(Shot(window).data, plain.data);
}

} // namespace
