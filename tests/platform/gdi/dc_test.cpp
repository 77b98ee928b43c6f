#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/files/files.h"
#include "platform/gdi/screen_dc.h"
#include "platform/kernel/kernel_objects.h"
#include "platform/kernel/test_hooks.h"
#include "platform/last_error.h"
#include "platform/system/module_file.h"
#include "platform/system/system_info.h"
#include "platform/user/test_hooks.h"
#include "platform/user/windows.h"
#include "platform/window_recorder.h"
#include "support/temp_dir.h"

namespace {

HWND MakeWindow(DWORD style, int w, int h, UINT classStyle = 0) {
    const char* name =
        window_test::Class(classStyle ? "DCOwn" : "DCCommon", DefWindowProcA, classStyle);
    return CreateWindowExA(0, name, "", style, 0, 0, w, h, 0, 0, 0, nullptr);
}

TEST(WindowDC, OwnDCStaysTheSameAndDiesWithItsWindow) {
    HWND window = MakeWindow(WS_POPUP | WS_VISIBLE, 40, 40, CS_OWNDC);
    HDC dc = GetDC(window);
    ASSERT_NE(dc, 0u);
    EXPECT_EQ(ReleaseDC(window, dc), 1);
    EXPECT_EQ(GetDC(window), dc);
    EXPECT_EQ(SetPixel(dc, 1, 1, RGB(1, 2, 3)), RGB(1, 2, 3)); // still usable after release
    InvalidateRect(window, nullptr, FALSE);
    PAINTSTRUCT paint;
    EXPECT_EQ(BeginPaint(window, &paint), dc);
    EndPaint(window, &paint);
    EXPECT_EQ(GetPixel(dc, 1, 1), RGB(1, 2, 3)); // EndPaint left it whole
    size_t before = platform::CountObjects();
    DestroyWindow(window);
    EXPECT_EQ(platform::CountObjects(), before - 1);
    EXPECT_EQ(SetPixel(dc, 1, 1, 0), CLR_INVALID);
    EXPECT_EQ(ReleaseDC(window, dc), 0);
}

TEST(WindowDC, ReleasedAndForeignHandlesAreRefused) {
    HWND window = MakeWindow(WS_POPUP | WS_VISIBLE, 40, 40);
    HWND other = MakeWindow(WS_POPUP | WS_VISIBLE, 40, 40);
    HDC first = GetDC(window);
    HDC second = GetDC(window);
    EXPECT_NE(first, second);
    EXPECT_EQ(ReleaseDC(other, first), 0); // not that window's
    EXPECT_EQ(ReleaseDC(window, first), 1);
    EXPECT_EQ(ReleaseDC(window, first), 0);
    HBRUSH brush = GetStockObject(BLACK_BRUSH);
    RECT r{0, 0, 5, 5};
    EXPECT_FALSE(FillRect(first, &r, brush));
    EXPECT_EQ(GetPixel(first, 0, 0), CLR_INVALID);
    RECT box;
    EXPECT_EQ(GetClipBox(first, &box), ERROR);
    EXPECT_FALSE(FillRect(brush, &r, brush)); // a brush is no DC
    EXPECT_EQ(GetDeviceCaps(brush, BITSPIXEL), 0);
    EXPECT_GT(GetDeviceCaps(second, BITSPIXEL), 0);

    // A DC outliving its window draws nothing, and its window's handle gives no new one.
    DestroyWindow(window);
    EXPECT_FALSE(FillRect(second, &r, brush));
    EXPECT_EQ(ErrorOf(GetDC(window), 0), ERROR_INVALID_WINDOW_HANDLE);
    EXPECT_EQ(ReleaseDC(window, second), 1);
    DestroyWindow(other);
}

TEST(WindowDC, WindowDCStartsAtTheFrameAndClientDCInside) {
    HWND window = MakeWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 200, 150);
    RECT outer, inner;
    GetWindowRect(window, &outer);
    GetClientRect(window, &inner);
    POINT corner{0, 0};
    ClientToScreen(window, &corner);
    int dx = corner.x - outer.left;
    int dy = corner.y - outer.top;
    ASSERT_GT(dx, 0);
    HDC whole = GetWindowDC(window);
    HDC client = GetDC(window);
    EXPECT_EQ(SetPixel(whole, dx + 2, dy + 3, RGB(9, 8, 7)), RGB(9, 8, 7));
    EXPECT_EQ(GetPixel(client, 2, 3), RGB(9, 8, 7));
    EXPECT_EQ(GetPixel(client, -1, 0), CLR_INVALID); // the frame is outside a client DC
    EXPECT_NE(GetPixel(whole, 0, 0), CLR_INVALID);
    RECT box;
    GetClipBox(client, &box);
    EXPECT_EQ(window_test::Sides(box), window_test::Sides(inner));
    ReleaseDC(window, whole);
    ReleaseDC(window, client);
    DestroyWindow(window);
}

TEST(WindowDC, HugeWindowsKeepABoundedFramebuffer) {
    HWND window = MakeWindow(WS_POPUP | WS_VISIBLE, 1 << 29, 1 << 29);
    ASSERT_NE(window, 0u);
    HDC dc = GetDC(window);
    RECT all{0, 0, 1 << 29, 1 << 29};
    EXPECT_TRUE(FillRect(dc, &all, GetStockObject(WHITE_BRUSH)));
    EXPECT_EQ(GetPixel(dc, 100, 100), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(dc, (1 << 29) - 1, 5), CLR_INVALID);
    std::vector<uint32_t> pixels;
    int width = 0, height = 0;
    ASSERT_TRUE(platform::test::ReadWindowPixels(window, pixels, width, height));
    EXPECT_LE(static_cast<int64_t>(width) * height, int64_t{4096} * 4096);
    ReleaseDC(window, dc);
    DestroyWindow(window);
}

TEST(DrawingObjects, StockAndSystemBrushesSurviveDeletion) {
    HBRUSH white = GetStockObject(WHITE_BRUSH);
    EXPECT_EQ(GetStockObject(WHITE_BRUSH), white);
    EXPECT_TRUE(DeleteObject(white));
    EXPECT_TRUE(DeleteObject(GetSysColorBrush(COLOR_WINDOW)));
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), RGB(255, 255, 255));
    EXPECT_EQ(GetStockObject(99), 0u);
    EXPECT_EQ(GetSysColorBrush(-1), 0u);
    EXPECT_FALSE(DeleteObject(0));

    HWND window = MakeWindow(WS_POPUP | WS_VISIBLE, 10, 10);
    HDC dc = GetDC(window);
    RECT r{0, 0, 10, 10};
    EXPECT_TRUE(FillRect(dc, &r, white));
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 255, 255));
    EXPECT_TRUE(FillRect(dc, &r, COLOR_BTNFACE + 1)); // a system colour as a brush
    EXPECT_EQ(GetPixel(dc, 9, 9), GetSysColor(COLOR_BTNFACE));
    EXPECT_TRUE(FillRect(dc, &r, GetStockObject(NULL_BRUSH)));
    EXPECT_EQ(GetPixel(dc, 9, 9), GetSysColor(COLOR_BTNFACE));
    HBRUSH mine = CreateSolidBrush(RGB(10, 20, 30));
    EXPECT_TRUE(DeleteObject(mine));
    EXPECT_FALSE(FillRect(dc, &r, mine));
    EXPECT_EQ(GetPixel(dc, 9, 9), GetSysColor(COLOR_BTNFACE));
    ReleaseDC(window, dc);
    DestroyWindow(window);
}

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
    EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES), 16);
    EXPECT_TRUE(KeepsGreenBitTwo(dc));
    EXPECT_EQ(SetPixel(dc, 799, 599, RGB(0xFF, 0x87, 0x0F)), RGB(0xFF, 0x86, 0x08));

    platform::test::SetScreenPixels555(true);
    EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 16);
    EXPECT_FALSE(KeepsGreenBitTwo(dc));
    EXPECT_EQ(GetPixel(dc, 799, 599), RGB(0xFF, 0x86, 0x08)); // stored pixels stay

    ASSERT_TRUE(platform::SetVirtualDisplay(800, 600, 32));
    EXPECT_EQ(SetPixel(dc, 3, 4, 0xFF123456u), 0x123456u);
    EXPECT_EQ(GetPixel(dc, 3, 4), 0x123456u);
    EXPECT_EQ(GetPixel(dc, 5, 5), GetSysColor(COLOR_BACKGROUND)); // the desktop
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
    EXPECT_EQ(ErrorOf(GetModuleFileNameA(0, small, sizeof small), 6u), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(std::string(small), dir.Win("").substr(0, 5));
    EXPECT_EQ(ErrorOf(GetModuleFileNameA(0x400000, path, sizeof path), 0), ERROR_MOD_NOT_FOUND);
    platform::test::SetModuleFilePath("");
}

} // namespace
