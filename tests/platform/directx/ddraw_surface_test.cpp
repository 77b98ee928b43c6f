#include <gtest/gtest.h>

#include "ddraw_test_support.h"
#include "platform/gdi/bitmaps/bitmaps.h"
#include "platform/gdi/bitmaps/blits.h"
#include "platform/gdi/dc_state.h"
#include "platform/gdi/device_context.h"
#include "platform/kernel/kernel_objects.h"

namespace {

using ddraw_test::DirectDraw;

struct Depth {
    int bits;
    bool fiveFiveFive;
    DWORD red, green, blue;
    LONG pitchOfFive; // bytes of a row of 5 pixels
};

TEST_F(DirectDraw, SurfacesTakeTheDisplaysFormatAndFourByteRowsAtEachDepth) {
    for (const Depth& depth :
         {Depth{16, false, 0xF800, 0x07E0, 0x001F, 12}, Depth{16, true, 0x7C00, 0x03E0, 0x001F, 12},
          Depth{24, false, 0xFF0000, 0xFF00, 0xFF, 16},
          Depth{32, false, 0xFF0000, 0xFF00, 0xFF, 20}}) {
        SCOPED_TRACE(testing::Message() << depth.bits << (depth.fiveFiveFive ? " 5-5-5" : ""));
        platform::test::SetScreenPixels555(depth.fiveFiveFive);
        ASSERT_TRUE(platform::SetVirtualDisplay(640, 480, depth.bits));
        IDirectDraw2* dd = Open();
        ASSERT_NE(dd, nullptr);
        for (DWORD memory : {DWORD{0}, DDSCAPS_SYSTEMMEMORY}) {
            IDirectDrawSurface* surface = OffScreen(dd, 5, 3, memory);
            ASSERT_NE(surface, nullptr);
            DDPIXELFORMAT format{};
            format.dwSize = sizeof(DDPIXELFORMAT);
            ASSERT_EQ(surface->GetPixelFormat(&format), DD_OK);
            EXPECT_EQ(format.dwFlags, DDPF_RGB);
            EXPECT_EQ(format.dwRGBBitCount, static_cast<DWORD>(depth.bits));
            EXPECT_EQ(format.dwRBitMask, depth.red);
            EXPECT_EQ(format.dwGBitMask, depth.green);
            EXPECT_EQ(format.dwBBitMask, depth.blue);
            DDSURFACEDESC desc{};
            desc.dwSize = sizeof(DDSURFACEDESC);
            ASSERT_EQ(surface->GetSurfaceDesc(&desc), DD_OK);
            EXPECT_EQ(desc.lPitch, depth.pitchOfFive);
            EXPECT_EQ(desc.dwWidth, 5u);
            EXPECT_EQ(desc.dwHeight, 3u);
            EXPECT_EQ(desc.ddsCaps.dwCaps & DDSCAPS_SYSTEMMEMORY, memory);
            EXPECT_EQ(surface->IsLost(), DD_OK);
            // A format other than the display's is refused.
            DDSURFACEDESC other = Desc(DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT,
                                       DDSCAPS_OFFSCREENPLAIN, 4, 4);
            other.ddpfPixelFormat = format;
            other.ddpfPixelFormat.dwRBitMask = 0xFF;
            IDirectDrawSurface* refused = nullptr;
            EXPECT_EQ(dd->CreateSurface(&other, &refused, nullptr), DDERR_INVALIDPIXELFORMAT);
            EXPECT_EQ(refused, nullptr);
            surface->Release();
        }
        DDSURFACEDESC mode{};
        mode.dwSize = sizeof(DDSURFACEDESC);
        ASSERT_EQ(dd->GetDisplayMode(&mode), DD_OK);
        EXPECT_EQ(mode.dwWidth, 640u);
        EXPECT_EQ(mode.ddpfPixelFormat.dwRGBBitCount, static_cast<DWORD>(depth.bits));
        EXPECT_EQ(mode.ddpfPixelFormat.dwRBitMask, depth.red);
        dd->Release();
    }
}

TEST_F(DirectDraw, LockAndDCExcludeEachOtherAndTheDCDrawsOnTheSurface) {
    ASSERT_TRUE(platform::SetVirtualDisplay(640, 480, 16));
    IDirectDraw2* dd = Open();
    IDirectDrawSurface* surface = OffScreen(dd, 8, 4);
    HDC dc = 0;
    ASSERT_EQ(surface->GetDC(&dc), DD_OK);
    ASSERT_NE(dc, 0u);
    HDC again = 0;
    EXPECT_EQ(surface->GetDC(&again), DDERR_DCALREADYCREATED);
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof(DDSURFACEDESC);
    EXPECT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, 0), DDERR_SURFACEBUSY);
    EXPECT_EQ(FillWith(surface, nullptr, 0), DDERR_SURFACEBUSY);
    // The DC is of the GDI's model: origin, brushes, pixels; it selects no bitmap and is
    // given back by the surface only.
    EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 16);
    SetWindowOrgEx(dc, -2, 0, nullptr);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    RECT area{0, 1, 3, 3};
    EXPECT_TRUE(FillRect(dc, &area, red));
    DeleteObject(red);
    EXPECT_EQ(GetPixel(dc, 0, 1), RGB(255, 0, 0)); // 5 bits of red kept, read back widened
    HBITMAP bitmap = CreateCompatibleBitmap(dc, 2, 2);
    EXPECT_EQ(SelectObject(dc, bitmap), 0u);
    DeleteObject(bitmap);
    EXPECT_FALSE(DeleteDC(dc));
    EXPECT_EQ(surface->ReleaseDC(dc + 1), DDERR_INVALIDPARAMS);
    EXPECT_EQ(surface->ReleaseDC(dc), DD_OK);
    EXPECT_EQ(surface->ReleaseDC(dc), DDERR_NODC);
    EXPECT_EQ(GetPixel(dc, 0, 1), CLR_INVALID);

    std::vector<uint32_t> pixels = Pixels(surface);
    ASSERT_EQ(pixels.size(), 32u);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(pixels[y * 8 + x], (y >= 1 && y < 3 && x >= 2 && x < 5) ? 0xF800u : 0u)
                << x << "," << y;

    ASSERT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, 0), DD_OK);
    EXPECT_EQ(surface->GetDC(&dc), DDERR_SURFACEBUSY);
    EXPECT_EQ(dc, 0u);
    EXPECT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, 0), DDERR_SURFACEBUSY);
    EXPECT_EQ(surface->Unlock(nullptr), DD_OK);
    EXPECT_EQ(surface->Unlock(nullptr), DDERR_NOTLOCKED);
    // A rectangle locks from its corner; one outside is refused.
    RECT part{4, 3, 6, 4};
    ASSERT_EQ(surface->Lock(&part, &desc, DDLOCK_WAIT, 0), DD_OK);
    EXPECT_EQ(static_cast<uint16_t*>(desc.lpSurface)[0], 0u);
    EXPECT_EQ(static_cast<uint16_t*>(desc.lpSurface)[-desc.lPitch / 2], 0xF800u);
    surface->Unlock(desc.lpSurface);
    RECT outside{6, 0, 9, 1};
    EXPECT_EQ(surface->Lock(&outside, &desc, DDLOCK_WAIT, 0), DDERR_INVALIDRECT);

    // A DC still open when the surface goes is freed with it.
    size_t handles = platform::CountObjects();
    ASSERT_EQ(surface->GetDC(&dc), DD_OK);
    EXPECT_EQ(platform::CountObjects(), handles + 1);
    EXPECT_EQ(surface->Release(), 0u);
    EXPECT_EQ(platform::CountObjects(), handles);
    dd->Release();
}

TEST_F(DirectDraw, FillsAndStretchedBlitsWriteExactPixels) {
    ASSERT_TRUE(platform::SetVirtualDisplay(640, 480, 16));
    IDirectDraw2* dd = Open();
    IDirectDrawSurface* source = OffScreen(dd, 2, 2, DDSCAPS_SYSTEMMEMORY);
    IDirectDrawSurface* target = OffScreen(dd, 6, 4);
    RECT cell[4] = {{0, 0, 1, 1}, {1, 0, 2, 1}, {0, 1, 1, 2}, {1, 1, 2, 2}};
    const uint32_t values[4] = {0x1234, 0xF800, 0x07E0, 0x001F};
    for (int i = 0; i < 4; ++i)
        ASSERT_EQ(FillWith(source, &cell[i], values[i]), DD_OK);
    ASSERT_EQ(FillWith(target, nullptr, 0xFFFF), DD_OK);

    RECT to{1, 0, 5, 4};
    ASSERT_EQ(target->Blt(&to, source, nullptr, DDBLT_WAIT, nullptr), DD_OK);
    std::vector<uint32_t> pixels = Pixels(target);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x) {
            uint32_t expected = x < 1 || x >= 5 ? 0xFFFF : values[(y / 2) * 2 + (x - 1) / 2];
            EXPECT_EQ(pixels[y * 6 + x], expected) << x << "," << y;
        }

    // A blit onto itself moves a part.
    RECT from{1, 0, 3, 2};
    RECT onto{3, 2, 5, 4};
    ASSERT_EQ(target->Blt(&onto, target, &from, DDBLT_WAIT, nullptr), DD_OK);
    pixels = Pixels(target);
    EXPECT_EQ(pixels[2 * 6 + 3], 0x1234u);
    EXPECT_EQ(pixels[3 * 6 + 4], 0x1234u);

    // Rectangles outside either surface are refused and change nothing.
    RECT beyond{4, 0, 7, 2};
    EXPECT_EQ(FillWith(target, &beyond, 0), DDERR_INVALIDRECT);
    EXPECT_EQ(target->Blt(&beyond, source, nullptr, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT);
    RECT tooWide{0, 0, 3, 1};
    EXPECT_EQ(target->Blt(nullptr, source, &tooWide, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT);
    RECT reversed{2, 0, 1, 1};
    EXPECT_EQ(FillWith(target, &reversed, 0), DDERR_INVALIDRECT);
    EXPECT_EQ(Pixels(target), pixels);
    EXPECT_EQ(target->Blt(nullptr, nullptr, nullptr, DDBLT_WAIT, nullptr), DDERR_INVALIDPARAMS);

    // With a clipper, the destination is cut to the surface instead.
    IDirectDrawClipper* clipper = nullptr;
    ASSERT_EQ(dd->CreateClipper(0, &clipper, nullptr), DD_OK);
    ASSERT_EQ(target->SetClipper(clipper), DD_OK);
    EXPECT_EQ(FillWith(target, &beyond, 0x0001), DD_OK);
    pixels = Pixels(target);
    EXPECT_EQ(pixels[4], 0x0001u);
    EXPECT_EQ(pixels[5], 0x0001u);
    EXPECT_EQ(pixels[2 * 6 + 5], 0xFFFFu);
    target->SetClipper(nullptr);
    EXPECT_EQ(clipper->Release(), 0u);

    source->Release();
    target->Release();
    dd->Release();
}

TEST_F(DirectDraw, BltFastRefusesWhatItWouldHaveToClip) {
    IDirectDraw2* dd = Open();
    IDirectDrawSurface* source = OffScreen(dd, 4, 4);
    IDirectDrawSurface* target = OffScreen(dd, 6, 6);
    ASSERT_EQ(FillWith(source, nullptr, 0x00ABCDEF), DD_OK);

    RECT all{0, 0, 4, 4};
    EXPECT_EQ(target->BltFast(3, 0, source, &all, DDBLTFAST_WAIT), DDERR_INVALIDRECT);
    EXPECT_EQ(target->BltFast(0, 0xFFFFFFFFu, source, &all, DDBLTFAST_WAIT), DDERR_INVALIDRECT);
    RECT overhang{2, 2, 5, 4};
    EXPECT_EQ(target->BltFast(0, 0, source, &overhang, DDBLTFAST_WAIT), DDERR_INVALIDRECT);
    RECT negative{-1, 0, 2, 2};
    EXPECT_EQ(target->BltFast(0, 0, source, &negative, DDBLTFAST_WAIT), DDERR_INVALIDRECT);
    EXPECT_EQ(target->BltFast(0, 0, source, &all, DDBLTFAST_SRCCOLORKEY), DDERR_NOCOLORKEY);
    for (uint32_t pixel : Pixels(target))
        ASSERT_EQ(pixel, 0u);

    RECT corner{2, 2, 4, 4};
    ASSERT_EQ(target->BltFast(4, 4, source, &corner, DDBLTFAST_WAIT), DD_OK);
    std::vector<uint32_t> pixels = Pixels(target);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(pixels[y * 6 + x], x >= 4 && y >= 4 ? 0x00ABCDEFu : 0u) << x << "," << y;

    IDirectDrawClipper* clipper = nullptr;
    ASSERT_EQ(dd->CreateClipper(0, &clipper, nullptr), DD_OK);
    target->SetClipper(clipper);
    EXPECT_EQ(target->BltFast(0, 0, source, &all, DDBLTFAST_WAIT), DDERR_BLTFASTCANTCLIP);
    clipper->Release();

    source->Release();
    target->Release();
    dd->Release();
}

} // namespace
