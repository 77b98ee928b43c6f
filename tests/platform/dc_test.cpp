#include <gtest/gtest.h>

#include <vector>

#include "platform/kernel_objects.h"
#include "platform/test_hooks.h"
#include "platform/windows.h"

namespace {

LRESULT DCProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

const char* RegisterDCClass(const char* name, UINT style) {
    WNDCLASSA windowClass{};
    windowClass.style = style;
    windowClass.lpfnWndProc = DCProcedure;
    windowClass.lpszClassName = name;
    RegisterClassA(&windowClass);
    return name;
}

HWND MakeWindow(const char* className, DWORD style, int w, int h) {
    return CreateWindowExA(0, className, "", style, 0, 0, w, h, 0, 0, 0, nullptr);
}

TEST(WindowDC, OwnDCStaysTheSameAndDiesWithItsWindow) {
    HWND window = MakeWindow(RegisterDCClass("DCOwn", CS_OWNDC), WS_POPUP | WS_VISIBLE, 40, 40);
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
    const char* name = RegisterDCClass("DCCommon", 0);
    HWND window = MakeWindow(name, WS_POPUP | WS_VISIBLE, 40, 40);
    HWND other = MakeWindow(name, WS_POPUP | WS_VISIBLE, 40, 40);
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
    EXPECT_EQ(GetDC(window), 0u);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
    EXPECT_EQ(ReleaseDC(window, second), 1);
    DestroyWindow(other);
}

TEST(WindowDC, WindowDCStartsAtTheFrameAndClientDCInside) {
    HWND window =
        MakeWindow(RegisterDCClass("DCFramed", 0), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 200, 150);
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
    EXPECT_EQ(box.right, inner.right);
    EXPECT_EQ(box.bottom, inner.bottom);
    ReleaseDC(window, whole);
    ReleaseDC(window, client);
    DestroyWindow(window);
}

TEST(WindowDC, HugeWindowsKeepABoundedFramebuffer) {
    HWND window = MakeWindow(RegisterDCClass("DCHuge", 0), WS_POPUP | WS_VISIBLE, 1 << 29, 1 << 29);
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
    EXPECT_EQ(GetSysColor(COLOR_WINDOWTEXT), RGB(0, 0, 0));
    EXPECT_EQ(GetStockObject(99), 0u);
    EXPECT_EQ(GetSysColorBrush(-1), 0u);
    EXPECT_FALSE(DeleteObject(0));

    HWND window = MakeWindow(RegisterDCClass("DCBrushes", 0), WS_POPUP | WS_VISIBLE, 10, 10);
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

} // namespace
