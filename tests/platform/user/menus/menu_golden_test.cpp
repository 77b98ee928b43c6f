// A menu bar and an open popup against reference pictures in golden/, drawn with the pinned
// font set: within 16 a channel on at most 1% of the pixels (FreeType versions may round
// coverage differently). ZORV_WRITE_PICTURES=1 writes the pictures anew.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/golden_picture.h"
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
        test_support::ExpectLikeGolden(
            std::filesystem::path(__FILE__).parent_path() / "golden" / name, drawn);
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
