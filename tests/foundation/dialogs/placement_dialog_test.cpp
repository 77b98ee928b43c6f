#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/dialogs/placement_dialog.h"
#include "platform/registry/registry_test_hooks.h"
#include "platform/user/windows.h"
#include "support/temp_dir.h"

namespace {

std::vector<LONG> Sides(const RECT& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

// The dialog's normal rectangle; its frame (sizing frame and caption) leaves a client area
// 8 pixels narrower and 27 lower.
constexpr RECT kDialog{100, 50, 400, 250};

const char* DialogClass() {
    static const char* name = [] {
        WNDCLASSA dialogClass{};
        dialogClass.lpfnWndProc = DefWindowProcA;
        dialogClass.lpszClassName = "PlacementTestDialog";
        RegisterClassA(&dialogClass);
        return dialogClass.lpszClassName;
    }();
    return name;
}
constexpr char kKey[] = "Software\\Zorv\\Dialogs\\Options";
constexpr HKEY kRoot = HKEY_CURRENT_USER;

class Placement : public ::testing::Test {
protected:
    void SetUp() override {
        platform::test::SetRegistryFolder(dir.LinuxPath());
        ASSERT_TRUE(platform::SetVirtualDisplay(1024, 768, 32));
    }
    void TearDown() override {
        for (HWND window : windows)
            DestroyWindow(window);
        platform::test::SetRegistryFolder("");
        platform::ResetVirtualDisplay();
    }

    HWND Window(const RECT& r = kDialog) {
        HWND window = CreateWindowExA(0, DialogClass(), "Options", WS_OVERLAPPEDWINDOW, r.left,
                                      r.top, r.right - r.left, r.bottom - r.top, 0, 0, 0, nullptr);
        EXPECT_NE(window, 0u);
        windows.push_back(window);
        return window;
    }

    static WINDOWPLACEMENT PlacementOf(HWND window) {
        WINDOWPLACEMENT placement{};
        placement.length = sizeof(placement);
        EXPECT_TRUE(GetWindowPlacement(window, &placement));
        return placement;
    }

    // Saves a dialog that the user moved to `moved` while the display was 1024 x 768.
    void SaveMoved(const RECT& moved) {
        PlacementDialog dialog(kRoot, true);
        HWND window = Window();
        EXPECT_EQ(dialog.RestorePlacement(kKey, window), 1);
        WINDOWPLACEMENT placement = PlacementOf(window);
        placement.rcNormalPosition = moved;
        placement.showCmd = SW_SHOWMAXIMIZED;
        placement.flags = WPF_RESTORETOMAXIMIZED;
        placement.ptMinPosition = {-32000, -32000};
        placement.ptMaxPosition = {-4, -4};
        ASSERT_TRUE(SetWindowPlacement(window, &placement));
        ASSERT_EQ(dialog.SavePlacement(), 1);
    }

    bool KeyExists(const char* path) {
        HKEY key = 0;
        if (RegOpenKeyExA(kRoot, path, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
        RegCloseKey(key);
        return true;
    }

    test_support::TempDir dir;
    std::vector<HWND> windows;
};

TEST_F(Placement, SavedPlacementComesBackFromTheStore) {
    SaveMoved({-40, 30, 310, 290});
    platform::test::ForgetRegistry();

    PlacementDialog dialog(kRoot, true);
    EXPECT_EQ(dialog.ReadValue(kKey, "ScreenWidth", 0), 1024u);
    // The client area seen at restore, not the one the move made.
    EXPECT_EQ(dialog.ReadValue(kKey, "InitDefaultWidth", 0), 292u);
    EXPECT_EQ(dialog.ReadValue(kKey, "Missing", 77), 77u);

    HWND window = Window();
    EXPECT_EQ(dialog.RestorePlacement(kKey, window), 1);
    WINDOWPLACEMENT placement = PlacementOf(window);
    EXPECT_EQ(Sides(placement.rcNormalPosition), (std::vector<LONG>{-40, 30, 310, 290}));
    EXPECT_EQ(placement.showCmd, SW_SHOWMAXIMIZED);
    EXPECT_EQ(placement.flags, WPF_RESTORETOMAXIMIZED);
    EXPECT_EQ(placement.ptMinPosition.x, -32000);
    EXPECT_EQ(placement.ptMaxPosition.y, -4);
}

TEST_F(Placement, MismatchesKeepTheDefaultPlacement) {
    SaveMoved({10, 10, 500, 400});

    // Another display size.
    ASSERT_TRUE(platform::SetVirtualDisplay(800, 600, 32));
    PlacementDialog dialog(kRoot, false);
    HWND window = Window();
    dialog.RestorePlacement(kKey, window);
    EXPECT_EQ(Sides(PlacementOf(window).rcNormalPosition), Sides(kDialog));

    // The dialog itself got another size since.
    ASSERT_TRUE(platform::SetVirtualDisplay(1024, 768, 32));
    HWND larger = Window({100, 50, 420, 250});
    dialog.RestorePlacement(kKey, larger);
    EXPECT_EQ(Sides(PlacementOf(larger).rcNormalPosition), (std::vector<LONG>{100, 50, 420, 250}));

    // A record without a width.
    ASSERT_EQ(dialog.WriteValue(kKey, "Width", 0), 1);
    window = Window();
    dialog.RestorePlacement(kKey, window);
    EXPECT_EQ(Sides(PlacementOf(window).rcNormalPosition), Sides(kDialog));
}

TEST_F(Placement, NeverRestoredSmallerThanTheDialogIsMade) {
    PlacementDialog dialog(kRoot, false);
    const char* names[] = {
        "ScreenWidth", "ScreenHeight", "InitDefaultWidth", "InitDefaultHeight", "Left", "Top",
        "Width",       "Height"};
    const DWORD values[] = {1024, 768, 292, 173, 10, 20, 200, 400};
    for (int i = 0; i < 8; ++i)
        ASSERT_EQ(dialog.WriteValue(kKey, names[i], values[i]), 1);

    HWND window = Window();
    dialog.RestorePlacement(kKey, window);
    // Width 200 is below the 300 the dialog has; height 400 is above its 200.
    EXPECT_EQ(Sides(PlacementOf(window).rcNormalPosition), (std::vector<LONG>{10, 20, 310, 420}));
    // Values the record lacks stay as the window has them.
    EXPECT_EQ(PlacementOf(window).showCmd, SW_SHOWNORMAL);
}

TEST_F(Placement, NothingIsWrittenUnlessSavingIsOn) {
    PlacementDialog notSaving(kRoot, false);
    EXPECT_EQ(notSaving.RestorePlacement(kKey, Window()), 1);
    EXPECT_EQ(notSaving.SavePlacement(), 0);
    // Looking for a placement does not create its key either.
    EXPECT_FALSE(KeyExists(kKey));

    PlacementDialog off(0, true);
    EXPECT_EQ(off.RestorePlacement(kKey, Window()), 1);
    EXPECT_EQ(off.SavePlacement(), 0);

    // Saving before any window was restored, or after it is gone, writes nothing.
    PlacementDialog early(kRoot, true);
    EXPECT_EQ(early.SavePlacement(), 0);
    HWND window = Window();
    early.RestorePlacement(kKey, window);
    DestroyWindow(window);
    EXPECT_EQ(early.SavePlacement(), 0);
    EXPECT_FALSE(KeyExists(kKey));
}

} // namespace
