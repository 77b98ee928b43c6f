#include <gtest/gtest.h>

#include "ddraw_test_support.h"
#include "platform/gdi/dc_state.h"
#include "platform/user/display_settings.h"

namespace {

using ddraw_test::DirectDraw;

TEST_F(DirectDraw, InterfacesAreFoundByIdentityAndCounted) {
    IDirectDraw* first = nullptr;
    ASSERT_EQ(DirectDrawCreate(nullptr, &first, nullptr), DD_OK);
    void* second = nullptr;
    ASSERT_EQ(first->QueryInterface(IID_IDirectDraw2, &second), S_OK);
    EXPECT_EQ(static_cast<IDirectDraw2*>(second)->AddRef(), 3u);
    void* none = &second;
    EXPECT_EQ(first->QueryInterface(IID_IDirectDrawSurface, &none), E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(first->Release(), 2u);
    auto* dd = static_cast<IDirectDraw2*>(second);
    EXPECT_EQ(dd->Release(), 1u);

    IDirectDrawSurface* surface = nullptr;
    DDSURFACEDESC desc = Desc(DDSD_CAPS, DDSCAPS_PRIMARYSURFACE);
    EXPECT_EQ(dd->CreateSurface(&desc, &surface, nullptr), DDERR_NOCOOPERATIVELEVELSET);
    EXPECT_EQ(dd->SetCooperativeLevel(0, DDSCL_NORMAL | DDSCL_EXCLUSIVE), DDERR_INVALIDPARAMS);
    EXPECT_EQ(dd->SetCooperativeLevel(0, DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE), DDERR_INVALIDPARAMS);
    ASSERT_EQ(dd->SetCooperativeLevel(0, DDSCL_NORMAL), DD_OK);
    desc.dwSize = 108; // a 32-bit caller's size is not ours
    EXPECT_EQ(dd->CreateSurface(&desc, &surface, nullptr), DDERR_INVALIDPARAMS);
    desc = Desc(DDSD_CAPS, DDSCAPS_PRIMARYSURFACE);
    ASSERT_EQ(dd->CreateSurface(&desc, &surface, nullptr), DD_OK);
    IDirectDrawSurface* another = nullptr;
    EXPECT_EQ(dd->CreateSurface(&desc, &another, nullptr), DDERR_PRIMARYSURFACEALREADYEXISTS);
    desc.ddsCaps.dwCaps |= DDSCAPS_COMPLEX | DDSCAPS_FLIP;
    desc.dwFlags |= DDSD_BACKBUFFERCOUNT;
    desc.dwBackBufferCount = 1;
    EXPECT_EQ(dd->CreateSurface(&desc, &another, nullptr), DDERR_PRIMARYSURFACEALREADYEXISTS);
    DDSURFACEDESC texture = Desc(DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT, 0x1000, 8, 8);
    EXPECT_EQ(dd->CreateSurface(&texture, &another, nullptr), DDERR_INVALIDCAPS);
    void* asSurface = nullptr;
    ASSERT_EQ(surface->QueryInterface(IID_IDirectDrawSurface, &asSurface), S_OK);
    EXPECT_EQ(asSurface, surface);
    EXPECT_EQ(surface->Release(), 1u);

    // The windowed primary is the screen: neither locked nor given a DC of its own.
    DDSURFACEDESC locked{};
    locked.dwSize = sizeof(DDSURFACEDESC);
    EXPECT_EQ(surface->Lock(nullptr, &locked, DDLOCK_WAIT, 0), DDERR_CANTLOCKSURFACE);
    HDC dc = 0;
    EXPECT_EQ(surface->GetDC(&dc), DDERR_CANTCREATEDC);
    DDSURFACEDESC described{};
    described.dwSize = sizeof(DDSURFACEDESC);
    ASSERT_EQ(surface->GetSurfaceDesc(&described), DD_OK);
    EXPECT_EQ(described.dwWidth, 640u);
    EXPECT_EQ(described.dwHeight, 480u);
    EXPECT_NE(described.ddsCaps.dwCaps & DDSCAPS_PRIMARYSURFACE, 0u);
    DDSCAPS back{DDSCAPS_BACKBUFFER};
    EXPECT_EQ(surface->GetAttachedSurface(&back, &another), DDERR_NOTFOUND);

    // A surface outliving its DirectDraw object stays usable.
    IDirectDrawSurface* offScreen = OffScreen(dd, 4, 4);
    EXPECT_EQ(dd->Release(), 0u);
    EXPECT_EQ(FillWith(offScreen, nullptr, 7), DD_OK);
    offScreen->Release();
    surface->Release();
}

TEST_F(DirectDraw, ThePrimaryDrawsInTheClipperWindowAsItsDCDoes) {
    HWND window = Window(100, 50, 40, 30, WS_CLIPCHILDREN);
    Window(10, 10, 5, 5, 0, window); // a child the parent's DC leaves out
    HWND other = Window(150, 50, 20, 20);
    IDirectDraw2* dd = Open(window);
    IDirectDrawSurface* primary = Primary(dd);
    IDirectDrawSurface* picture = OffScreen(dd, 100, 100);
    // Each pixel of the picture tells where it lies: x in red, y in green.
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof(DDSURFACEDESC);
    ASSERT_EQ(picture->Lock(nullptr, &desc, DDLOCK_WAIT, 0), DD_OK);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x)
            reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(desc.lpSurface) +
                                        y * desc.lPitch)[x] =
                static_cast<uint32_t>(x) << 16 | static_cast<uint32_t>(y) << 8;
    picture->Unlock(desc.lpSurface);

    IDirectDrawClipper* clipper = nullptr;
    ASSERT_EQ(dd->CreateClipper(0, &clipper, nullptr), DD_OK);
    ASSERT_EQ(clipper->SetHWnd(0, window), DD_OK);
    EXPECT_EQ(clipper->SetHWnd(0, 0x7FFFFFF0), DDERR_INVALIDPARAMS);
    ASSERT_EQ(primary->SetClipper(clipper), DD_OK);
    EXPECT_EQ(clipper->Release(), 1u);

    // The blit covers the window and much around it, even off the screen's left edge.
    RECT onScreen{-5, 0, 195, 200};
    RECT from{0, 0, 100, 100};
    ASSERT_EQ(primary->Blt(&onScreen, picture, &from, DDBLT_WAIT, nullptr), DD_OK);
    std::vector<uint32_t> pixels = Client(window);
    ASSERT_EQ(pixels.size(), 40u * 30u);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            bool inChild = x >= 10 && x < 15 && y >= 10 && y < 15;
            // Screen (100 + x, 50 + y) samples the picture at half: ((105 + x) / 2, (50 + y) / 2).
            uint32_t expected = inChild ? 0u
                                        : static_cast<uint32_t>((105 + x) / 2) << 16 |
                                              static_cast<uint32_t>((50 + y) / 2) << 8;
            ASSERT_EQ(pixels[y * 40 + x], expected) << x << "," << y;
        }
    for (uint32_t pixel : Client(other))
        ASSERT_EQ(pixel, 0u);

    // Without a clipper, every top-level window beneath takes its part.
    primary->SetClipper(nullptr);
    RECT band{120, 55, 160, 60};
    ASSERT_EQ(FillWith(primary, &band, 0x00FF00FF), DD_OK);
    pixels = Client(window);
    EXPECT_EQ(pixels[5 * 40 + 20], 0x00FF00FFu);
    EXPECT_EQ(pixels[5 * 40 + 19], static_cast<uint32_t>(124 / 2) << 16 | 55 / 2 << 8);
    pixels = Client(other);
    EXPECT_EQ(pixels[5 * 20 + 9], 0x00FF00FFu);
    EXPECT_EQ(pixels[5 * 20 + 10], 0u);
    EXPECT_EQ(pixels[4 * 20 + 0], 0u);
    RECT offScreen{600, 0, 700, 10};
    EXPECT_EQ(FillWith(primary, &offScreen, 0), DDERR_INVALIDRECT);

    // A clipper without a window has nothing to clip with.
    IDirectDrawClipper* empty = nullptr;
    ASSERT_EQ(dd->CreateClipper(0, &empty, nullptr), DD_OK);
    primary->SetClipper(empty);
    empty->Release();
    EXPECT_EQ(FillWith(primary, &band, 0), DDERR_NOCLIPLIST);

    picture->Release();
    primary->Release();
    dd->Release();
}

TEST_F(DirectDraw, FullScreenSwitchesTheModeAndFlipShowsTheBackBuffer) {
    HWND window = Window(0, 0, 640, 480);
    IDirectDraw2* dd = Open(window, DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE);
    ASSERT_NE(dd, nullptr);
    IDirectDraw2* rival = Open();
    EXPECT_EQ(rival->SetCooperativeLevel(window, DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE),
              DDERR_EXCLUSIVEMODEALREADYSET);
    EXPECT_EQ(rival->SetDisplayMode(640, 480, 16, 0, 0), DDERR_NOEXCLUSIVEMODE);
    rival->Release();

    EXPECT_EQ(dd->SetDisplayMode(640, 480, 8, 0, 0), DDERR_INVALIDMODE);
    EXPECT_EQ(dd->SetDisplayMode(641, 480, 16, 0, 0), DDERR_INVALIDMODE);
    ASSERT_EQ(dd->SetDisplayMode(640, 480, 16, 0, 0), DD_OK);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 640);
    DDSURFACEDESC mode{};
    mode.dwSize = sizeof(DDSURFACEDESC);
    ASSERT_EQ(dd->GetDisplayMode(&mode), DD_OK);
    EXPECT_EQ(mode.ddpfPixelFormat.dwRGBBitCount, 16u);
    EXPECT_EQ(mode.dwRefreshRate, 60u);
    EXPECT_EQ(dd->WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN, 0), DD_OK);

    IDirectDrawSurface* primary = Primary(dd, true);
    ASSERT_NE(primary, nullptr);
    DDSCAPS caps{DDSCAPS_BACKBUFFER};
    IDirectDrawSurface* back = nullptr;
    ASSERT_EQ(primary->GetAttachedSurface(&caps, &back), DD_OK);
    DDPIXELFORMAT format{};
    format.dwSize = sizeof(DDPIXELFORMAT);
    back->GetPixelFormat(&format);
    EXPECT_EQ(format.dwGBitMask, 0x07E0u);

    // Drawing on the back buffer shows nothing until the flip.
    ASSERT_EQ(FillWith(back, nullptr, 0xF800), DD_OK);
    EXPECT_EQ(Client(window)[0], 0u);
    EXPECT_EQ(primary->Flip(nullptr, DDFLIP_WAIT), DD_OK);
    std::vector<uint32_t> pixels = Client(window);
    EXPECT_EQ(pixels[0], 0xFF0000u);
    EXPECT_EQ(pixels[479 * 640 + 639], 0xFF0000u);
    // The old front is now the back buffer.
    EXPECT_EQ(Pixels(back)[0], 0u);
    EXPECT_EQ(back->Flip(nullptr, DDFLIP_WAIT), DDERR_NOTFLIPPABLE);
    HDC dc = 0;
    ASSERT_EQ(back->GetDC(&dc), DD_OK);
    EXPECT_EQ(primary->Flip(back, DDFLIP_WAIT), DDERR_SURFACEBUSY);
    back->ReleaseDC(dc);

    // Drawing on the front shows at once.
    RECT corner{0, 0, 2, 2};
    ASSERT_EQ(FillWith(primary, &corner, 0x001F), DD_OK);
    EXPECT_EQ(Client(window)[0], 0x0000FFu);

    // Releasing the object gives the desktop's mode back; its surfaces live on.
    back->Release();
    EXPECT_EQ(dd->Release(), 0u);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 640);
    DEVMODEA current{};
    current.dmSize = sizeof(DEVMODEA);
    EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &current);
    EXPECT_EQ(current.dmBitsPerPel, 32u);
    EXPECT_EQ(primary->Flip(nullptr, DDFLIP_WAIT), DD_OK);
    primary->Release();
}

// A window of a class with its own DC, captioned, drawn in through a clipper and then made
// the full-screen window of another session: its client area covers the new screen and
// shows the flipped picture whole, from the screen's top left corner.
TEST_F(DirectDraw, TheFullScreenWindowCoversTheScreenAndShowsTheWholePicture) {
    static const char* name = window_test::Class("OwnDCWindow", DefWindowProcA, CS_OWNDC);
    HWND window = CreateWindowExA(0, name, "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 50, 200,
                                  150, 0, 0, 0, nullptr);
    windows.push_back(window);

    IDirectDraw2* windowed = Open(window);
    IDirectDrawSurface* screen = Primary(windowed);
    IDirectDrawClipper* clipper = nullptr;
    ASSERT_EQ(windowed->CreateClipper(0, &clipper, nullptr), DD_OK);
    ASSERT_EQ(clipper->SetHWnd(0, window), DD_OK);
    ASSERT_EQ(screen->SetClipper(clipper), DD_OK);
    clipper->Release();
    RECT part{0, 0, 640, 480};
    ASSERT_EQ(FillWith(screen, &part, 0x00336699), DD_OK);
    EXPECT_EQ(Client(window)[0], 0x00336699u);
    screen->Release();
    windowed->Release();
    // The DC the window keeps has the origin it had before.
    HDC own = GetDC(window);
    POINT origin{-1, -1};
    GetWindowOrgEx(own, &origin);
    EXPECT_EQ(origin.x, 0);
    EXPECT_EQ(origin.y, 0);
    ReleaseDC(window, own);

    IDirectDraw2* dd = Open(window, DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE);
    ASSERT_EQ(dd->SetDisplayMode(800, 600, 32, 0, 0), DD_OK);
    RECT client = window_test::ClientRect(window);
    POINT corner{0, 0};
    ClientToScreen(window, &corner);
    EXPECT_EQ(window_test::Sides(client), (window_test::Longs{0, 0, 800, 600}));
    EXPECT_EQ(window_test::XY(corner), (window_test::Longs{0, 0}));

    IDirectDrawSurface* primary = Primary(dd, true);
    DDSCAPS caps{DDSCAPS_BACKBUFFER};
    IDirectDrawSurface* back = nullptr;
    ASSERT_EQ(primary->GetAttachedSurface(&caps, &back), DD_OK);
    ASSERT_EQ(FillWith(back, nullptr, 0x00FF0000), DD_OK);
    ASSERT_EQ(primary->Flip(nullptr, DDFLIP_WAIT), DD_OK);
    std::vector<uint32_t> pixels = Client(window);
    ASSERT_EQ(pixels.size(), 800u * 600u);
    EXPECT_EQ(pixels[0], 0xFF0000u);
    EXPECT_EQ(pixels[599 * 800 + 799], 0xFF0000u);
    back->Release();
    primary->Release();
    dd->Release();
}

TEST_F(DirectDraw, NoDirectDrawAt256ColoursNorWhereAHookSaysSo) {
    IDirectDraw* dd = reinterpret_cast<IDirectDraw*>(&dd);
    ASSERT_TRUE(platform::SetVirtualDisplay(640, 480, 8));
    EXPECT_EQ(DirectDrawCreate(nullptr, &dd, nullptr), DDERR_UNSUPPORTEDMODE);
    EXPECT_EQ(dd, nullptr);
    ASSERT_TRUE(platform::SetVirtualDisplay(640, 480, 32));

    platform::test::InjectFault(platform::test::Fault::DirectDrawCreate);
    EXPECT_EQ(DirectDrawCreate(nullptr, &dd, nullptr), DDERR_NODIRECTDRAWHW);
    EXPECT_EQ(dd, nullptr);
    ASSERT_EQ(DirectDrawCreate(nullptr, &dd, nullptr), DD_OK);
    platform::test::InjectFault(platform::test::Fault::DirectDrawCooperativeLevel);
    EXPECT_EQ(dd->SetCooperativeLevel(0, DDSCL_NORMAL), DDERR_EXCLUSIVEMODEALREADYSET);
    ASSERT_EQ(dd->SetCooperativeLevel(0, DDSCL_NORMAL), DD_OK);
    void* second = nullptr;
    ASSERT_EQ(dd->QueryInterface(IID_IDirectDraw2, &second), S_OK);
    auto* dd2 = static_cast<IDirectDraw2*>(second);
    platform::test::InjectFault(platform::test::Fault::DirectDrawCreateSurface, 1, 1);
    IDirectDrawSurface* first = OffScreen(dd2, 4, 4);
    DDSURFACEDESC desc = Desc(DDSD_CAPS, DDSCAPS_PRIMARYSURFACE);
    IDirectDrawSurface* failed = nullptr;
    EXPECT_EQ(dd2->CreateSurface(&desc, &failed, nullptr), DDERR_OUTOFVIDEOMEMORY);
    EXPECT_EQ(failed, nullptr);

    // The display dropping to 256 colours later refuses new surfaces; the old one lives.
    ASSERT_TRUE(platform::SetVirtualDisplay(640, 480, 8));
    EXPECT_EQ(dd2->CreateSurface(&desc, &failed, nullptr), DDERR_UNSUPPORTEDMODE);
    EXPECT_EQ(FillWith(first, nullptr, 1), DD_OK);
    first->Release();
    dd2->Release();
    dd->Release();
}

} // namespace
