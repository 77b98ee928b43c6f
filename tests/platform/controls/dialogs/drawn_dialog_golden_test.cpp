// The first frame of each drawn dialog against reference pictures in golden/, drawn with
// the pinned font set; the file and folder dialogs look at a drive of the test's own.
// ZORV_WRITE_PICTURES=1 writes the pictures anew.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/controls/dialogs/drawn_dialog.h"
#include "platform/display/headless_display.h"
#include "platform/files/drives.h"
#include "platform/gdi/text/font_pinned_set.h"
#include "platform/kernel/test_hooks.h"
#include "platform/user/dialogs/common_dialogs.h"
#include "platform/user/dialogs/folder_browser.h"
#include "platform/user/input/keyboard_state.h"
#include "support/golden_picture.h"
#include "support/temp_dir.h"

namespace {

namespace headless = platform::headless;

class DrawnDialogGolden : public ::testing::Test {
protected:
    void SetUp() override {
        headless::Install();
        dir.WriteFile("fonts/.keep", "");
        for (const char* name : {"LiberationSans-Regular.ttf", "LiberationSans-Bold.ttf"})
            std::filesystem::create_symlink(std::string(font_test::LIBERATION_FOLDER) + "/" + name,
                                            dir.Linux(std::string("fonts/") + name));
        font_test::PinFolders(dir, font_test::Dir(dir.Linux("fonts")));
        dir.WriteFile("drive/Pictures/sun.bmp", "x");
        dir.WriteFile("drive/Letters/note.txt", "x");
        dir.WriteFile("drive/readme.txt", "x");
        dir.WriteFile("drive/photo.jpg", "x");
        platform::SetDriveRoot('Q', dir.Linux("drive"));
        platform::SetCommonDialogProvider(nullptr);
        platform::SetFolderPickerProvider(nullptr);
        platform::test::DrawDialogsAsWindows(true);
        platform::test::FreezeClock(1000);
        // Nothing is printed: the printer is named, not used.
        setenv("ZORV_PRINTER", "file:/tmp", 1);
    }
    void TearDown() override {
        unsetenv("ZORV_PRINTER");
        platform::test::SetDrawnDialogShownHook(nullptr);
        platform::test::DrawDialogsAsWindows(false);
        platform::SetDriveRoot('Q', "");
        platform::test::UseFontConfigFile("");
    }
    // Compares the dialog's first frame with the golden, then cancels it.
    void Expect(const std::string& name) {
        platform::test::SetDrawnDialogShownHook([name](HWND dialog) {
            headless::DispatchPending();
            headless::Pixels drawn;
            EXPECT_TRUE(headless::ReadWholePixels(dialog, drawn)) << name;
            test_support::ExpectLikeGolden(
                std::filesystem::path(__FILE__).parent_path() / "golden" / name, drawn);
            headless::PressKey(VK_ESCAPE);
        });
    }
    test_support::TempDir dir;
};

TEST_F(DrawnDialogGolden, EveryDialogsFirstFrame) {
    Expect("color_dialog.png");
    COLORREF custom[16] = {0x808080, 0x00FFFF};
    CHOOSECOLORA color{sizeof color, 0, 0, 0x0000FF, custom, CC_RGBINIT, 0, nullptr, nullptr};
    EXPECT_FALSE(ChooseColorA(&color));

    Expect("open_dialog.png");
    char file[MAX_PATH] = "readme.txt";
    OPENFILENAMEA open{};
    open.lStructSize = sizeof open;
    open.lpstrFilter = "Texts\0*.txt\0Everything\0*.*\0";
    open.lpstrFile = file;
    open.nMaxFile = sizeof file;
    open.lpstrInitialDir = "Q:\\";
    open.Flags = OFN_NOCHANGEDIR;
    EXPECT_FALSE(GetOpenFileNameA(&open));

    Expect("font_dialog.png");
    LOGFONTA font{};
    font.lfHeight = -16;
    font.lfWeight = 700;
    std::snprintf(font.lfFaceName, LF_FACESIZE, "Arial");
    CHOOSEFONTA choose{};
    choose.lStructSize = sizeof choose;
    choose.lpLogFont = &font;
    choose.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_EFFECTS;
    EXPECT_FALSE(ChooseFontA(&choose));

    Expect("print_dialog.png");
    PRINTDLGA print{};
    print.lStructSize = sizeof print;
    print.Flags = PD_NOSELECTION;
    print.nMinPage = 1;
    print.nMaxPage = 12;
    print.nFromPage = 1;
    print.nToPage = 12;
    print.nCopies = 1;
    EXPECT_FALSE(PrintDlgA(&print));

    Expect("print_setup_dialog.png");
    print.Flags = PD_PRINTSETUP;
    EXPECT_FALSE(PrintDlgA(&print));

    Expect("folder_dialog.png");
    struct Start {
        static int Callback(HWND window, UINT message, LPARAM, LPARAM) {
            if (message == BFFM_INITIALIZED)
                SendMessageA(window, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>("Q:\\"));
            return 0;
        }
    };
    BROWSEINFOA browse{0, nullptr, nullptr, "Where do the pictures go?", 0, Start::Callback, 0, 0};
    EXPECT_EQ(SHBrowseForFolderA(&browse), nullptr);
}

} // namespace
