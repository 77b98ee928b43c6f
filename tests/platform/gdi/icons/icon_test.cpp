#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "platform/gdi/gdi_test_support.h"
#include "platform/gdi/icons/icons.h"
#include "platform/kernel/kernel_objects.h"
#include "platform/last_error.h"
#include "platform/system/debug_output.h"
#include "platform/user/windows.h"
#include "platform/window_recorder.h"

namespace {

// A 4 x 3 cursor: the mask clears column 0 (opaque) and keeps the rest; the colour is
// red in column 0, 0 in column 1 (clear), white in column 2 (inverting), blue in column 3
// with alpha in the last row only.
struct Pictures {
    HBITMAP mask;
    HBITMAP color;
    Pictures() {
        const uint8_t maskRows[3][2] = {{0x70, 0}, {0x70, 0}, {0x70, 0}};
        mask = CreateBitmap(4, 3, 1, 1, maskRows);
        uint32_t colors[12];
        for (int y = 0; y < 3; ++y) {
            colors[y * 4 + 0] = 0xFF0000;
            colors[y * 4 + 1] = 0;
            colors[y * 4 + 2] = 0xFFFFFF;
            colors[y * 4 + 3] = 0x0000FF;
        }
        color = CreateBitmap(4, 3, 1, 32, colors);
    }
    ~Pictures() {
        DeleteObject(mask);
        DeleteObject(color);
    }
};

COLORREF PixelOf(HBITMAP bitmap, int x, int y) {
    HDC dc = CreateCompatibleDC(0);
    HGDIOBJ old = SelectObject(dc, bitmap);
    COLORREF color = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteDC(dc);
    return color;
}

TEST(Icons, ImagesGoRoundThroughGetIconInfoAndDrawAsMaskAndColour) {
    DeleteDC(CreateCompatibleDC(0)); // the stock objects are made at first use
    size_t handles = platform::CountObjects();
    {
        Pictures pictures;
        ICONINFO info{FALSE, 3, 1, pictures.mask, pictures.color};
        HICON cursor = CreateIconIndirect(&info);
        ASSERT_NE(cursor, 0u);
        ICONINFO back{};
        ASSERT_TRUE(GetIconInfo(cursor, &back));
        EXPECT_EQ(back.fIcon, FALSE);
        EXPECT_EQ(back.xHotspot, 3u);
        EXPECT_EQ(back.yHotspot, 1u);
        ASSERT_NE(back.hbmColor, 0u);
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(PixelOf(back.hbmMask, x, 2), x == 0 ? RGB(0, 0, 0) : RGB(255, 255, 255));
            COLORREF expected[] = {RGB(255, 0, 0), 0, RGB(255, 255, 255), RGB(0, 0, 255)};
            EXPECT_EQ(PixelOf(back.hbmColor, x, 1), expected[x]);
        }
        DeleteObject(back.hbmMask);
        DeleteObject(back.hbmColor);

        gdi_test::Canvas canvas(8, 6, 32);
        RECT all{0, 0, 8, 6};
        HBRUSH green = CreateSolidBrush(RGB(0, 128, 0));
        FillRect(canvas.dc, &all, green);
        DeleteObject(green);
        // Twice the size: two pixels per icon pixel each way.
        ASSERT_TRUE(DrawIconEx(canvas.dc, 0, 0, cursor, 8, 6, 0, 0, DI_NORMAL));
        EXPECT_EQ(GetPixel(canvas.dc, 1, 1), RGB(255, 0, 0));     // opaque
        EXPECT_EQ(GetPixel(canvas.dc, 3, 1), RGB(0, 128, 0));     // clear
        EXPECT_EQ(GetPixel(canvas.dc, 5, 1), RGB(255, 127, 255)); // inverted
        EXPECT_EQ(GetPixel(canvas.dc, 7, 5), RGB(0, 128, 255));   // blue XORed
        EXPECT_FALSE(DrawIconEx(canvas.dc, 0, 0, canvas.bitmap, 0, 0, 0, 0, DI_NORMAL));
        EXPECT_TRUE(DestroyCursor(cursor));
        EXPECT_EQ(ErrorOf(DestroyIcon(cursor), FALSE), ERROR_INVALID_ICON_HANDLE);

        // A monochrome icon: the mask's upper half is AND, the lower half XOR.
        const uint8_t rows[4][2] = {{0x40, 0}, {0x40, 0}, {0x80, 0}, {0xC0, 0}};
        HBITMAP mono = CreateBitmap(2, 4, 1, 1, rows);
        ICONINFO monoInfo{TRUE, 0, 0, mono, 0};
        HICON icon = CreateIconIndirect(&monoInfo);
        ASSERT_NE(icon, 0u);
        ASSERT_TRUE(GetIconInfo(icon, &back));
        EXPECT_EQ(back.fIcon, TRUE);
        EXPECT_EQ(back.xHotspot, 1u); // an icon's hot spot is its centre
        EXPECT_EQ(back.hbmColor, 0u);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 2; ++x)
                EXPECT_EQ(PixelOf(back.hbmMask, x, y), PixelOf(mono, x, y)) << x << "," << y;
        DeleteObject(back.hbmMask);
        DeleteObject(mono);
        DestroyIcon(icon);

        ICONINFO noMask{TRUE, 0, 0, 0, pictures.color};
        EXPECT_EQ(ErrorOf(CreateIconIndirect(&noMask), 0), ERROR_INVALID_PARAMETER);
        ICONINFO smallMask{TRUE, 0, 0, pictures.mask, canvas.bitmap};
        EXPECT_EQ(ErrorOf(CreateIconIndirect(&smallMask), 0), ERROR_INVALID_PARAMETER);
    }
    EXPECT_EQ(platform::CountObjects(), handles);
}

TEST(Icons, TheApplicationIconIsBuiltInAndShared) {
    HICON icon = LoadIconA(0, IDI_APPLICATION);
    ASSERT_NE(icon, 0u);
    EXPECT_EQ(LoadIconA(0x400000, MAKEINTRESOURCEA(100)), icon);
    EXPECT_EQ(LoadImageA(0x400000, MAKEINTRESOURCEA(100), IMAGE_ICON, 16, 16, 0), icon);
    EXPECT_EQ(LoadImageA(0, IDC_HELP, IMAGE_CURSOR, 0, 0, 0), LoadCursorA(0, IDC_HELP));
    EXPECT_EQ(ErrorOf(LoadIconA(0x400000, MAKEINTRESOURCEA(101)), 0),
              ERROR_RESOURCE_NAME_NOT_FOUND);
    EXPECT_EQ(ErrorOf(LoadImageA(0, IDI_APPLICATION, IMAGE_BITMAP, 0, 0, 0), 0),
              ERROR_RESOURCE_TYPE_NOT_FOUND);
    EXPECT_TRUE(DestroyIcon(icon));
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    EXPECT_EQ(PixelOf(info.hbmMask, 0, 0), RGB(255, 255, 255)); // clear round the frame
    EXPECT_EQ(PixelOf(info.hbmColor, 16, 16), RGB(255, 255, 255));
    DeleteObject(info.hbmMask);
    DeleteObject(info.hbmColor);
}

TEST(Icons, ImageCursorsAndWindowIconsAreReported) {
    Pictures pictures;
    ICONINFO info{FALSE, 3, 1, pictures.mask, pictures.color};
    HCURSOR cursor = CreateIconIndirect(&info);
    HCURSOR before = SetCursor(cursor);
    platform::IconImage image;
    ASSERT_TRUE(platform::test::ShownCursorImage(image));
    EXPECT_EQ(image.width, 4);
    EXPECT_EQ(image.hotspot.x, 3);
    EXPECT_EQ(image.pixels[0], 0xFFFF0000u);
    EXPECT_EQ(image.pixels[1], 0u);
    EXPECT_EQ(ShowCursor(FALSE), -1);
    EXPECT_FALSE(platform::test::ShownCursorImage(image));
    ShowCursor(TRUE);
    SetCursor(LoadCursorA(0, IDC_UPARROW));
    ASSERT_TRUE(platform::test::ShownCursorImage(image));
    EXPECT_EQ(image.hotspot.x, 7);
    SetCursor(LoadCursorA(0, IDC_ARROW));
    EXPECT_FALSE(platform::test::ShownCursorImage(image));
    SetCursor(before);
    DestroyCursor(cursor);

    HICON application = LoadIconA(0, IDI_APPLICATION);
    HWND window = CreateWindowExA(0, window_test::Class("IconWindow"), "", WS_POPUP, 0, 0, 10, 10,
                                  0, 0, 0, nullptr);
    EXPECT_EQ(platform::WindowIcon(window), 0u);
    EXPECT_EQ(SendMessageA(window, WM_SETICON, ICON_SMALL, application), 0);
    EXPECT_EQ(platform::WindowIcon(window), application);
    EXPECT_EQ(static_cast<HICON>(SendMessageA(window, WM_GETICON, ICON_SMALL, 0)), application);
    EXPECT_EQ(SendMessageA(window, WM_GETICON, ICON_BIG, 0), 0);
    DestroyWindow(window);
}

TEST(DebugOutput, GoesToStandardErrorOnlyWhenAsked) {
    unsetenv("ZORV_DEBUG_OUTPUT");
    testing::internal::CaptureStderr();
    OutputDebugStringA("quiet\n");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    setenv("ZORV_DEBUG_OUTPUT", "1", 1);
    testing::internal::CaptureStderr();
    OutputDebugStringA(">> 5 \x80\n");
    OutputDebugStringA(nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), ">> 5 \xE2\x82\xAC\n");
    unsetenv("ZORV_DEBUG_OUTPUT");
}

} // namespace
