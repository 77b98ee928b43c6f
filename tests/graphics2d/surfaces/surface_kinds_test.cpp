#include "graphics2d/surfaces/surface_kinds.h"

#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "graphics2d/palette/palette.h"
#include "graphics2d/surfaces/dib_surface.h"
#include "graphics2d/surfaces/gdi_surface.h"
#include "platform/display/headless_display.h"
#include "platform/gdi/bitmaps/bitmaps.h"
#include "platform/gdi/bitmaps/blits.h"
#include "platform/gdi/dc_state.h"
#include "platform/gdi/device_context.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/user/display_settings.h"
#include "platform/user/windows.h"

namespace {

class SurfaceKindsTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::headless::Install();
        RegisterSurfaceThread();
    }
    void TearDown() override {
        ChangeDisplaySettingsA(nullptr, 0);
        UnregisterSurfaceThread();
    }
    static BITMAPINFOHEADER HeaderOf(cSurface* surface) {
        DIBSECTION section{};
        const HDC dc = surface->GetDC();
        GetObjectA(GetCurrentObject(dc, OBJ_BITMAP), sizeof section, &section);
        surface->ReleaseDC(dc);
        return section.dsBmih;
    }
};

TEST_F(SurfaceKindsTest, PickingByDepthKindAndMode) {
    struct Case {
        int32_t depth, kind, mode;
        int32_t madeDepth, madeKind;
        uint32_t exact;
    };
    const Case cases[] = {
        {12, kPickDIB, kPickModeGDI, 15, kSurfaceKindDIB, 0},
        {9, kPickMemory, kPickModeGDI, 15, kSurfaceKindMemory, 0},
        {15, kPickDIB, kPickModeGDI, 15, kSurfaceKindDIB, 1},
        {7, kPickDIB, kPickModeGDI, 8, kSurfaceKindDIB, 0},
        {40, kPickDIB, kPickModeGDI, 32, kSurfaceKindDIB, 0},
        {24, kPickMemory, kPickModeGDI, 24, kSurfaceKindMemory, 1},
        {16, kPickDIBWithDC, kPickModeGDI, 16, kSurfaceKindDIBDC, 1},
        {32, kPickDIB, 1, 32, kSurfaceKindDIBDC, 1},
    };
    for (const Case& c : cases) {
        SurfaceHandle* prototype = nullptr;
        EXPECT_EQ(PickSurfaceType(&prototype, c.depth, c.kind, c.mode), c.exact) << c.depth;
        ASSERT_NE(prototype, nullptr);
        SurfaceHandle made;
        ASSERT_NE(made.Create(4, 4, prototype), nullptr) << c.depth << " " << c.kind;
        EXPECT_EQ(made.GetDepth(), c.madeDepth);
        EXPECT_EQ(made.GetImpl()->GetKind(), c.madeKind);
    }
    SurfaceHandle* prototype = nullptr;
    EXPECT_EQ(PickSurfaceType(&prototype, 32, 4, 0), 0u);
    EXPECT_EQ(prototype, nullptr);
    EXPECT_EQ(PickSurfaceType(&prototype, 32, -1, 0), 0u);
}

TEST_F(SurfaceKindsTest, PrototypesLiveFromTheFirstRegistrationToTheLast) {
    SurfaceHandle* before = GetPrototypeForDepth(32);
    ASSERT_TRUE(before->IsValid());
    std::thread other([] {
        RegisterSurfaceThread();
        RegisterSurfaceThread();
        UnregisterSurfaceThread();
        EXPECT_TRUE(GetPrototypeForDepth(16)->IsValid()) << "still registered once";
        UnregisterSurfaceThread();
    });
    other.join();
    EXPECT_TRUE(GetPrototypeForDepth(32)->IsValid()) << "this thread is still registered";
    UnregisterSurfaceThread();
    EXPECT_FALSE(GetPrototypeForDepth(32)->IsValid()) << "the last one left";
    UnregisterSurfaceThread();
    RegisterSurfaceThread();
    EXPECT_TRUE(GetPrototypeForDepth(32)->IsValid());
}

TEST_F(SurfaceKindsTest, DIBSurfacesDescribeTheirPixelsToGDI) {
    SurfaceHandle fifteen, sixteen, eight;
    fifteen.Create(3, 2, GetPrototypeForDepth(15));
    sixteen.Create(3, 2, GetPrototypeForDepth(16));
    SurfaceHandle* dibEight = nullptr;
    PickSurfaceType(&dibEight, 8, kPickDIB, kPickModeGDI);
    eight.Create(3, 2, dibEight);
    EXPECT_EQ(HeaderOf(fifteen.GetImpl()).biBitCount, 16);
    EXPECT_EQ(HeaderOf(fifteen.GetImpl()).biCompression, BI_RGB) << "5-5-5 needs no masks";
    EXPECT_EQ(HeaderOf(sixteen.GetImpl()).biCompression, BI_BITFIELDS);
    // Pixels written directly and drawn by GDI meet in the same memory, rows bottom-up.
    fifteen.FillRect(0, 0, 1, 1, 0x0000FF);
    const HDC dc = fifteen.GetImpl()->GetDC();
    const RECT cell{1, 1, 2, 2};
    const HBRUSH green = CreateSolidBrush(0x00FF00);
    FillRect(dc, &cell, green);
    DeleteObject(green);
    EXPECT_EQ(GetPixel(dc, 0, 0), 0x0000FFu); // GDI widens the 5 bits it reads
    fifteen.GetImpl()->ReleaseDC(dc);
    uint32_t colour = 0;
    fifteen.GetPixel(1, 1, &colour);
    EXPECT_EQ(colour, 0x00F800u);
    EXPECT_EQ(fifteen.GetImpl()->GetBits()->signedPitch, -8);
}

TEST_F(SurfaceKindsTest, NestedDCsCloseAtTheLastRelease) {
    SurfaceHandle* dib = nullptr;
    PickSurfaceType(&dib, 32, kPickDIB, kPickModeGDI);
    SurfaceHandle surface;
    surface.Create(4, 4, dib);
    const long objects = platform::test::LiveGdiObjects();
    cSurface* s = surface.GetImpl();
    const HDC outer = s->GetDC();
    const HDC inner = s->GetDC();
    EXPECT_EQ(outer, inner);
    s->ReleaseDC(inner);
    EXPECT_NE(GetDeviceCaps(outer, BITSPIXEL), 0) << "the outer user's DC still lives";
    s->ReleaseDC(outer);
    EXPECT_EQ(platform::test::LiveGdiObjects(), objects);
}

TEST_F(SurfaceKindsTest, BlitsThroughGDIAndOntoDeviceOnlySurfaces) {
    SurfaceHandle source, target;
    source.Create(4, 4, GetPrototypeForDepth(32));
    target.Create(4, 4, GetPrototypeForDepth(32));
    source.FillRectAll(0x123456);
    ASSERT_EQ(
        source.GetImpl()->BlitTo(target.GetImpl(), 1, 1, 0, 0, 2, 2, 0, kBlitOpGdi, NOTSRCCOPY, 0),
        1);
    uint32_t colour = 0;
    target.GetPixel(1, 1, &colour);
    EXPECT_EQ(colour, 0xEDCBA9u);
    target.GetPixel(3, 3, &colour);
    EXPECT_EQ(colour, 0u);
    // A surface on another DC has no pixels of its own; copies reach it through GDI.
    cGDISurface* onDC = cGDISurface::MakeOnDC(target.GetImpl()->GetDC());
    ASSERT_NE(onDC, nullptr);
    EXPECT_EQ(source.GetImpl()->BlitTo(onDC, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0), 1);
    int32_t x, y, w, h;
    onDC->GetClipRect(&x, &y, &w, &h);
    EXPECT_EQ(w, 4);
    delete onDC;
    target.GetImpl()->ReleaseDC(target.GetImpl()->GetDC());
    target.GetPixel(0, 0, &colour);
    EXPECT_EQ(colour, 0x123456u);
}

TEST_F(SurfaceKindsTest, FullScreenTwiceAndLeftOnceRestoresTheFirstState) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = "FullScreenTest";
    RegisterClassA(&windowClass);
    const HWND window =
        CreateWindowExA(0, "FullScreenTest", "game", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 30, 40, 300,
                        200, 0, 0, 0, nullptr);
    ASSERT_NE(window, 0u);
    DEVMODEA desktop{};
    desktop.dmSize = sizeof desktop;
    ASSERT_TRUE(EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &desktop));
    SurfaceHandle surface;
    surface.Create(4, 4, GetPrototypeForDepth(32));
    ASSERT_EQ(surface.EnterFullScreen(window, 640, 480, 16), 1);
    ASSERT_EQ(surface.EnterFullScreen(window, 800, 600, 32), 1);
    EXPECT_EQ(GetWindowLongA(window, GWL_STYLE) & WS_POPUP, WS_POPUP);
    EXPECT_EQ(surface.EnterFullScreen(window, 641, 479, 16), 0) << "a mode the display lacks";
    surface.LeaveFullScreen(window);
    DEVMODEA now{};
    now.dmSize = sizeof now;
    EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &now);
    EXPECT_EQ(now.dmPelsWidth, desktop.dmPelsWidth);
    EXPECT_EQ(now.dmBitsPerPel, desktop.dmBitsPerPel);
    RECT rect{};
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.left, 30);
    EXPECT_EQ(rect.right - rect.left, 300);
    EXPECT_EQ(GetWindowLongA(window, GWL_STYLE) & WS_POPUP, 0);
    DestroyWindow(window);
}

TEST_F(SurfaceKindsTest, CopyThroughADIBKeepsTheProportionsAndLeavesNothing) {
    SurfaceHandle source, target;
    source.Create(200, 100, GetPrototypeForDepth(32));
    target.Create(100, 100, GetPrototypeForDepth(32));
    source.FillRectAll(0x0000FF);
    const long objects = platform::test::LiveGdiObjects();
    ASSERT_EQ(CopyDCViaDIB(source.GetImpl()->GetDC(), target.GetImpl()->GetDC(), 0, 0, 0, 0, 200,
                           100, 100, 100, 0, 1),
              1);
    EXPECT_EQ(platform::test::LiveGdiObjects(), objects);
    uint32_t colour = 0;
    target.GetPixel(99, 49, &colour);
    EXPECT_EQ(colour, 0x0000FFu);
    target.GetPixel(0, 50, &colour);
    EXPECT_EQ(colour, 0u) << "200 x 100 into 100 x 100 draws 100 x 50";
}

TEST_F(SurfaceKindsTest, SystemColoursAsTheScreenShowsThem) {
    EXPECT_EQ(GetCachedSysColor(COLOR_WINDOW), GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(GetCachedSysColor(40), GetSysColor(40));
    DEVMODEA mode{};
    mode.dmSize = sizeof mode;
    mode.dmFields = DM_BITSPERPEL;
    mode.dmBitsPerPel = 16;
    ASSERT_EQ(ChangeDisplaySettingsA(&mode, 0), DISP_CHANGE_SUCCESSFUL);
    RefreshSysColorCache();
    const uint32_t shown = GetCachedSysColor(COLOR_BTNFACE);
    // 5-6-5 keeps the top bits; GDI reads them back with the top bits repeated below.
    const uint32_t kept = GetSysColor(COLOR_BTNFACE) & 0xF8FCF8;
    EXPECT_EQ(shown, kept | (kept >> 5 & 0x070007) | (kept >> 6 & 0x000300));
}

} // namespace
