// A menu bar and an open popup against reference pictures in golden/, drawn with the pinned
// font set: within 16 a channel on at most 1% of the pixels (FreeType versions may round
// coverage differently). ZORV_WRITE_PICTURES=1 writes the pictures anew.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/display/png_dump.h"
#include "platform/gdi/text/font_pinned_set.h"
#include "platform/user/menus/menu_fixture.h"

namespace {

using namespace menu_test;

std::filesystem::path GoldenPath(const std::string& name) {
    return std::filesystem::path(__FILE__).parent_path() / "golden" / name;
}

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

class MenuGolden : public MenuTest {
protected:
    void SetUp() override {
        MenuTest::SetUp();
        dir.WriteFile("fonts/.keep", "");
        for (const char* style : {"Regular", "Bold"}) {
            std::string name = std::string("LiberationSans-") + style + ".ttf";
            Link(std::string(font_test::LIBERATION_FOLDER) + "/" + name, name);
        }
        for (const char* name : {"DejaVuSans.ttf", "DejaVuSans-Bold.ttf"})
            Link(std::string(font_test::DEJAVU_FOLDER) + "/" + name, name);
        font_test::PinFolders(dir, font_test::Dir(dir.Linux("fonts")));
    }
    void TearDown() override {
        platform::test::UseFontConfigFile("");
        MenuTest::TearDown();
    }
    void Link(const std::string& target, const std::string& name) {
        ASSERT_TRUE(std::filesystem::exists(target)) << target;
        std::filesystem::create_symlink(target, dir.Linux("fonts/" + name));
    }

    void Check(const std::string& name, const headless::Pixels& drawn) {
        std::filesystem::path path = GoldenPath(name);
        if (std::getenv("ZORV_WRITE_PICTURES") != nullptr) {
            std::filesystem::create_directories(path.parent_path());
            ASSERT_TRUE(platform::WritePngFile(path.string(), drawn.data.data(), drawn.width,
                                               drawn.height));
            return;
        }
        headless::Pixels golden;
        ASSERT_TRUE(ReadPng(path, golden)) << path << " (ZORV_WRITE_PICTURES=1 writes it)";
        ASSERT_EQ(golden.width, drawn.width) << name;
        ASSERT_EQ(golden.height, drawn.height) << name;
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
        EXPECT_LE(static_cast<double>(differing), 0.01 * static_cast<double>(drawn.data.size()))
            << name;
        if (HasFailure()) {
            std::string out = dir.Linux(name);
            platform::WritePngFile(out, drawn.data.data(), drawn.width, drawn.height);
            ADD_FAILURE() << "drawn: " << out;
        }
    }

    test_support::TempDir dir;
};

TEST_F(MenuGolden, ABarWithAnOpenItemAndItsPopup) {
    HWND window = MakeWindow();
    EnableMenuItem(bar, 2, MF_BYPOSITION | MF_GRAYED);
    CheckMenuRadioItem(file, 5, 5, 5, MF_BYPOSITION);
    DrawMenuBar(window);
    headless::Pixels plain;
    ASSERT_TRUE(headless::ReadWholePixels(window, plain));
    Check("menu_bar.png", plain);
    headless::Pixels opened, popup;
    Then([&](HWND) { headless::PressKey(VK_DOWN); }); // File opens on New
    Then([&](HWND) {
        headless::PressKey(VK_DOWN);
        headless::PressKey(VK_DOWN); // Recent, whose arrow shows on the highlight
    });
    Then([&](HWND shown) {
        ASSERT_TRUE(headless::ReadWholePixels(window, opened));
        ASSERT_TRUE(headless::ReadPixels(shown, popup));
        headless::PressKey(VK_ESCAPE);
        headless::PressKey(VK_ESCAPE);
    });
    headless::PressKey(VK_F10);
    window_test::Pump();
    Check("menu_bar_open.png", opened);
    Check("menu_popup.png", popup);
    // The bar is drawn plain again once the menu is closed.
    headless::Pixels after;
    ASSERT_TRUE(headless::ReadWholePixels(window, after));
    EXPECT_EQ(after.data, plain.data);
}

} // namespace
