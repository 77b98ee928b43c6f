#include <gtest/gtest.h>

#include <string>

#include "platform/errors.h"
#include "platform/files.h"
#include "platform/module_file.h"
#include "platform/screen_dc.h"
#include "platform/system_info.h"
#include "platform/test_hooks.h"
#include "support/temp_dir.h"

namespace {

class ScreenDCTest : public ::testing::Test {
protected:
    void TearDown() override {
        platform::test::SetScreenPixels555(false);
        platform::ResetVirtualDisplay();
    }
};

// What start-up does to tell a 5-5-5 display from a 5-6-5 one.
bool KeepsGreenBitTwo(HDC dc) {
    COLORREF saved = GetPixel(dc, 0, 0);
    SetPixel(dc, 0, 0, 0x400);
    bool kept = GetPixel(dc, 0, 0) != 0;
    SetPixel(dc, 0, 0, saved);
    return kept;
}

TEST_F(ScreenDCTest, ReportsTheVirtualDisplayAndKeepsWhatItsFormatHolds) {
    ASSERT_TRUE(platform::SetVirtualDisplay(800, 600, 16));
    HDC dc = GetDC(0);
    ASSERT_NE(dc, 0u);
    EXPECT_EQ(GetDeviceCaps(dc, HORZRES), 800);
    EXPECT_EQ(GetDeviceCaps(dc, VERTRES), 600);
    EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES), 16);
    EXPECT_TRUE(KeepsGreenBitTwo(dc));
    EXPECT_EQ(SetPixel(dc, 799, 599, RGB(0xFF, 0x87, 0x0F)), RGB(0xF8, 0x84, 0x08));

    platform::test::SetScreenPixels555(true);
    EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 16);
    EXPECT_FALSE(KeepsGreenBitTwo(dc));
    EXPECT_EQ(GetPixel(dc, 799, 599), RGB(0xF8, 0x84, 0x08)); // stored pixels stay

    ASSERT_TRUE(platform::SetVirtualDisplay(800, 600, 32));
    EXPECT_EQ(SetPixel(dc, 3, 4, 0xFF123456u), 0x123456u);
    EXPECT_EQ(GetPixel(dc, 3, 4), 0x123456u);
    EXPECT_EQ(GetPixel(dc, 5, 5), 0u);
    EXPECT_EQ(SetPixel(dc, 800, 0, 0), CLR_INVALID);
    EXPECT_EQ(GetPixel(dc, 0, -1), CLR_INVALID);
    EXPECT_FALSE(CloseHandle(dc)); // only ReleaseDC ends it
    EXPECT_EQ(ReleaseDC(0, dc), 1);
    EXPECT_EQ(GetPixel(dc, 0, 0), CLR_INVALID);
}

TEST(ModuleFile, ReportsTheProgramAsAWindowsPathAndCutsLongOnes) {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(0, path, sizeof path);
    ASSERT_GT(length, 0u);
    EXPECT_EQ(std::string(path).substr(length - 14), "platform_tests");
    EXPECT_EQ(path[1], ':');

    test_support::TempDir dir;
    platform::test::SetModuleFilePath(dir.Linux("player copy"));
    EXPECT_EQ(GetModuleFileNameA(0, path, sizeof path), dir.Win("player copy").size());
    EXPECT_EQ(path, dir.Win("player copy"));

    char small[6];
    SetLastError(0);
    EXPECT_EQ(GetModuleFileNameA(0, small, sizeof small), 6u);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(std::string(small), dir.Win("").substr(0, 5));
    EXPECT_EQ(GetModuleFileNameA(0x400000, path, sizeof path), 0u);
    EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
    platform::test::SetModuleFilePath("");
}

} // namespace
