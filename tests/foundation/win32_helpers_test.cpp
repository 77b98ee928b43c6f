#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "foundation/folder_browser.h"
#include "foundation/placement_dialog.h"
#include "foundation/process_memory_info.h"
#include "foundation/rectangle.h"
#include "platform/files/files.h"
#include "platform/registry/registry_test_hooks.h"
#include "platform/system/system_info.h"
#include "platform/user/windows.h"
#include "support/temp_dir.h"

namespace {

std::vector<LONG> Sides(const RECT& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

TEST(Rectangle, DesktopAndArithmetic) {
    ASSERT_TRUE(platform::SetVirtualDisplay(640, 480, 32));
    CRectangle desktop;
    GetDesktopRect(&desktop);
    EXPECT_EQ(Sides(desktop), (std::vector<LONG>{0, 0, 640, 480}));
    platform::ResetVirtualDisplay();

    CRectangle rect;
    rect.Set(50, 80, 10, 90);
    rect.Normalize();
    EXPECT_EQ(Sides(rect), (std::vector<LONG>{10, 80, 50, 90}));
    // Extreme coordinates wrap as 32-bit registers would, without undefined behaviour.
    rect.Set(INT32_MIN, 0, INT32_MAX, 0);
    EXPECT_EQ(rect.Width(), -1);
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

class FolderBrowser : public ::testing::Test {
protected:
    void TearDown() override { platform::SetFolderPickerProvider(nullptr); }

    std::shared_ptr<platform::test::ScriptedFolderPicker>
    Install(std::optional<std::string> answer) {
        auto picker = std::make_shared<platform::test::ScriptedFolderPicker>(std::move(answer));
        platform::SetFolderPickerProvider(picker);
        return picker;
    }

    static std::string CurrentDirectory() {
        char path[MAX_PATH];
        EXPECT_NE(GetCurrentDirectoryA(MAX_PATH, path), 0u);
        return path;
    }

    test_support::TempDir dir;
};

TEST_F(FolderBrowser, ChoiceStartsAtTheInitialFolderAndLeavesTheCurrentDirectory) {
    std::string before = CurrentDirectory();
    ASSERT_NE(before, dir.WinPath());
    auto picker = Install("C:\\Jeux\\Zorv");
    CFolderBrowser browser((dir.WinPath() + "\\\\").c_str(), 7);
    EXPECT_STREQ(browser.GetPath(), dir.WinPath().c_str());

    EXPECT_EQ(browser.BrowseForFolder(nullptr), 1);
    EXPECT_STREQ(browser.GetPath(), "C:\\Jeux\\Zorv");
    EXPECT_EQ(picker->title, "Choisissez un dossier");
    EXPECT_EQ(picker->initialSelection, dir.WinPath());
    EXPECT_TRUE(picker->okEnabledAtStart);
    EXPECT_EQ(CurrentDirectory(), before);
}

TEST_F(FolderBrowser, CancelsAndNonFoldersKeepThePath) {
    auto picker = Install(std::nullopt);
    CFolderBrowser browser(dir.Win("missing").c_str(), 0);
    std::string title(400, 't');
    EXPECT_EQ(browser.BrowseForFolder(title.c_str()), 2);
    EXPECT_EQ(picker->title, std::string(300, 't'));
    // A folder that cannot be entered is not offered, and OK waits for a real choice.
    EXPECT_EQ(picker->initialSelection, "");
    EXPECT_FALSE(picker->okEnabledAtStart);
    EXPECT_STREQ(browser.GetPath(), dir.Win("missing").c_str());

    Install("");
    EXPECT_EQ(browser.BrowseForFolder("Dossier"), 2);
    EXPECT_STREQ(browser.GetPath(), dir.Win("missing").c_str());

    CFolderBrowser empty(nullptr, 0);
    picker = Install(std::nullopt);
    EXPECT_EQ(empty.BrowseForFolder(nullptr), 2);
    EXPECT_STREQ(empty.GetPath(), "");
}

TEST(ProcessMemoryInfo, UsersAreCountedUnderTheLockAndTheWorkingSetFollowsMemory) {
    PROCESS_MEMORY_COUNTERS counters{};
    EXPECT_EQ(GetProcessMemoryUsage(&counters), 0);

    ASSERT_EQ(OpenProcessMemoryInfo(), 1);
    ASSERT_EQ(OpenProcessMemoryInfo(), 1);
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&failures] {
            PROCESS_MEMORY_COUNTERS own{};
            for (int i = 0; i < 200; ++i) {
                if (OpenProcessMemoryInfo() != 1 || GetProcessMemoryUsage(&own) != 1) ++failures;
                CloseProcessMemoryInfo();
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(failures, 0);

    EXPECT_EQ(CloseProcessMemoryInfo(), 1);
    ASSERT_EQ(GetProcessMemoryUsage(&counters), 1);
    EXPECT_EQ(CloseProcessMemoryInfo(), 1);
    EXPECT_EQ(GetProcessMemoryUsage(&counters), 0);
    // A close too many does not leave the count owing.
    EXPECT_EQ(CloseProcessMemoryInfo(), 1);
    ASSERT_EQ(OpenProcessMemoryInfo(), 1);
    // The working set follows touched memory.
    PROCESS_MEMORY_COUNTERS& before = counters;
    ASSERT_EQ(GetProcessMemoryUsage(&before), 1);
    EXPECT_GT(before.WorkingSetSize, 0u);
    EXPECT_GE(before.PeakWorkingSetSize, before.WorkingSetSize);
    EXPECT_GE(before.PagefileUsage, before.WorkingSetSize);

    constexpr size_t kTouched = 64u << 20;
    std::vector<char> block(kTouched, 1);
    PROCESS_MEMORY_COUNTERS after{};
    ASSERT_EQ(GetProcessMemoryUsage(&after), 1);
    EXPECT_GE(after.WorkingSetSize, before.WorkingSetSize + kTouched * 3 / 4);
    EXPECT_GE(after.PeakWorkingSetSize, after.WorkingSetSize);
    EXPECT_EQ(block.back(), 1);
    EXPECT_EQ(after.cb, sizeof(after));
    CloseProcessMemoryInfo();
}

} // namespace
