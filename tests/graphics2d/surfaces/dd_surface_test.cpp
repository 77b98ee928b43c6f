#include "graphics2d/surfaces/dd_surface.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <thread>
#include <vector>

#include "graphics2d/surfaces/gdi_surface.h"
#include "graphics2d/surfaces/surface_kinds.h"
#include "platform/directx/directx_test_hooks.h"
#include "platform/display/headless_display.h"
#include "platform/gdi/device_context.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/kernel/test_hooks.h"
#include "platform/system/system_info.h"
#include "platform/user/display_settings.h"
#include "platform/user/test_hooks.h"
#include "platform/user/windows.h"

namespace {

// Each case starts on a 640 x 480 headless display of the depth it asks for, registered
// with the library, and must leave no DirectDraw object behind once the thread leaves.
class DDSurfaceTest : public ::testing::Test {
protected:
    void SetUp() override { UseDisplay(32); }
    void TearDown() override {
        for (HWND window : windows_)
            DestroyWindow(window);
        UnregisterSurfaceThread();
        EXPECT_EQ(platform::test::LiveDirectDrawObjects(), live_);
        platform::test::ClearFaults();
        platform::test::SetScreenPixels555(false);
        platform::ResetVirtualDisplay();
        platform::headless::Install();
    }

    void UseDisplay(int depth, bool fiveFiveFive = false) {
        if (registered_) UnregisterSurfaceThread();
        platform::ResetVirtualDisplay();
        platform::SetVirtualDisplay(640, 480, depth);
        platform::test::SetScreenPixels555(fiveFiveFive);
        platform::headless::Install();
        live_ = platform::test::LiveDirectDrawObjects();
        RegisterSurfaceThread();
        registered_ = true;
    }

    static SurfaceHandle* Prototype(int32_t depth, int32_t kind = kPickDIB) {
        SurfaceHandle* prototype = nullptr;
        PickSurfaceType(&prototype, depth, kind, kPickModeDirectDraw);
        return prototype;
    }

    HWND Window(int x, int y, int width, int height) {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        windowClass.lpszClassName = "DDSurfaceTest";
        RegisterClassA(&windowClass);
        const HWND window = CreateWindowExA(0, "DDSurfaceTest", "", WS_POPUP | WS_VISIBLE, x, y,
                                            width, height, 0, 0, 0, nullptr);
        EXPECT_NE(window, 0u);
        windows_.push_back(window);
        platform::headless::DispatchPending();
        return window;
    }

    static std::vector<uint32_t> Client(HWND window, int& width) {
        std::vector<uint32_t> pixels;
        int height = 0;
        EXPECT_TRUE(platform::test::ReadWindowPixels(window, pixels, width, height));
        return pixels;
    }

    // The stored pixel value, as DirectDraw holds it.
    static uint32_t Raw(cSurface* surface, int32_t x, int32_t y) {
        uint32_t value = 0;
        if (!surface->Lock()) return 0xDEADBEEF;
        const SurfaceBits* bits = surface->GetBits();
        std::memcpy(&value, bits->pixels + y * bits->signedPitch + x * bits->bytesPerPixel,
                    size_t(bits->bytesPerPixel));
        surface->Unlock();
        return value;
    }

    long live_ = 0;
    bool registered_ = false;
    std::vector<HWND> windows_;
};

TEST_F(DDSurfaceTest, PickingAnswersAgainstTheDisplaysDepth) {
    EXPECT_EQ(IsDirectDrawUsable(), 1u);
    EXPECT_NE(GetThreadDirectDraw(), nullptr) << "the test made the thread's object";
    SurfaceHandle* prototype = nullptr;
    EXPECT_EQ(PickSurfaceType(&prototype, 32, kPickDIB, kPickModeDirectDraw), 1u);
    EXPECT_EQ(PickSurfaceType(&prototype, 8, kPickDIBWithDC, kPickModeDirectDraw), 0u)
        << "the prototype was built at 8 bits, but surfaces are made at 32";
    EXPECT_EQ(PickSurfaceType(&prototype, 16, kPickDIBOrSystem, kPickModeDirectDraw), 0u);
    SurfaceHandle made;
    ASSERT_NE(made.Create(8, 8, prototype), nullptr);
    EXPECT_EQ(made.GetDepth(), 32);
    EXPECT_EQ(made.GetImpl()->GetKind(), kSurfaceKindDirectDraw);
    EXPECT_NE(dynamic_cast<cDDSysMemSurface*>(made.GetImpl()), nullptr);
    EXPECT_EQ(made.GetPalette(), nullptr);
    made.Release();

    // At 256 colours DirectDraw cannot be had: its modes fall back to DIBs keeping their DC.
    UseDisplay(8);
    EXPECT_EQ(IsDirectDrawUsable(), 0u);
    EXPECT_EQ(GetThreadDirectDraw(), nullptr);
    for (int32_t kind : {kPickDIB, kPickDIBOrSystem}) {
        EXPECT_EQ(PickSurfaceType(&prototype, 8, kind, kPickModeDirectDraw), 1u);
        ASSERT_NE(made.Create(4, 4, prototype), nullptr);
        EXPECT_EQ(made.GetImpl()->GetKind(), kSurfaceKindDIBDC);
    }
}

TEST_F(DDSurfaceTest, EachThreadHasItsOwnDirectDrawUntilItLeaves) {
    ASSERT_EQ(IsDirectDrawUsable(), 1u);
    IDirectDraw2* mine = GetThreadDirectDraw();
    std::thread other([mine] {
        RegisterSurfaceThread();
        EXPECT_EQ(GetThreadDirectDraw(), nullptr);
        EXPECT_EQ(IsDirectDrawUsable(), 1u);
        EXPECT_NE(GetThreadDirectDraw(), nullptr);
        EXPECT_NE(GetThreadDirectDraw(), mine);
        UnregisterSurfaceThread();
        EXPECT_EQ(GetThreadDirectDraw(), nullptr);
    });
    other.join();
    EXPECT_EQ(GetThreadDirectDraw(), mine);
}

TEST_F(DDSurfaceTest, SixteenBitsOnAFiveFiveFiveDisplayMakeFifteen) {
    UseDisplay(16, true);
    SurfaceHandle* prototype = nullptr;
    EXPECT_EQ(PickSurfaceType(&prototype, 16, kPickDIB, kPickModeDirectDraw), 0u);
    SurfaceHandle made;
    ASSERT_NE(made.Create(6, 4, prototype), nullptr);
    EXPECT_EQ(made.GetDepth(), 15);
    EXPECT_EQ(PickSurfaceType(&prototype, 15, kPickDIB, kPickModeDirectDraw), 1u);
    cSurface* surface = made.GetImpl();
    ASSERT_EQ(surface->FillRect(0, 0, 2, 2, 0x0000FF), 1);
    ASSERT_EQ(surface->FillRect(2, 0, 2, 2, 0x00FF00), 1);
    ASSERT_EQ(surface->FillRect(4, 0, 9, 9, 0xFF0000), 1) << "clipped to the surface";
    EXPECT_EQ(Raw(surface, 1, 1), 0x7C00u);
    EXPECT_EQ(Raw(surface, 3, 1), 0x03E0u);
    EXPECT_EQ(Raw(surface, 5, 3), 0x001Fu);
    uint32_t colour = 0;
    EXPECT_EQ(surface->GetPixel(0, 0, &colour), 1);
    EXPECT_EQ(colour, 0x0000F8u);

    made.Release();
    UseDisplay(16);
    ASSERT_NE(made.Create(2, 2, Prototype(16)), nullptr);
    EXPECT_EQ(made.GetDepth(), 16);
    made.GetImpl()->FillRect(0, 0, 2, 2, 0x00FF00);
    EXPECT_EQ(Raw(made.GetImpl(), 1, 1), 0x07E0u);
}

TEST_F(DDSurfaceTest, LocksAndDCsAreCountedAndExcludeEachOther) {
    SurfaceHandle made;
    ASSERT_NE(made.Create(4, 4, Prototype(32)), nullptr);
    cSurface* surface = made.GetImpl();
    ASSERT_EQ(surface->Lock(), 1);
    ASSERT_EQ(surface->Lock(), 1);
    EXPECT_EQ(surface->GetDC(), 0u) << "locked";
    surface->ReleaseDC(0); // a stray release leaves the lock alone
    surface->Unlock();
    EXPECT_NE(surface->GetBits()->pixels, nullptr) << "still locked once";
    surface->Unlock();
    EXPECT_EQ(surface->GetBits()->pixels, nullptr);

    const HDC dc = surface->GetDC();
    ASSERT_NE(dc, 0u);
    EXPECT_EQ(surface->GetDC(), dc);
    EXPECT_EQ(surface->Lock(), 0) << "a DC is open";
    surface->Unlock(); // a stray unlock leaves the DC open
    const RECT cell{1, 1, 2, 2};
    const HBRUSH red = CreateSolidBrush(0x0000FF);
    EXPECT_NE(FillRect(dc, &cell, red), 0);
    DeleteObject(red);
    surface->ReleaseDC(dc);
    EXPECT_EQ(surface->Lock(), 0) << "still open once";
    surface->ReleaseDC(dc);
    uint32_t colour = 0;
    ASSERT_EQ(surface->GetPixel(1, 1, &colour), 1);
    EXPECT_EQ(colour, 0x0000FFu) << "what GDI drew is in the pixels";

    // Between DirectDraw surfaces the copy is DirectDraw's, clipped as any other.
    SurfaceHandle target;
    ASSERT_NE(target.Create(4, 4, Prototype(32)), nullptr);
    target.FillRectAll(0x444444);
    EXPECT_EQ(surface->BlitTo(target.GetImpl(), -1, 0, 0, 0, 3, 3, 0, 0, 0, 0), 1);
    target.GetPixel(0, 1, &colour);
    EXPECT_EQ(colour, 0x0000FFu) << "dx = -1 moved source column 1 to 0";
    target.GetPixel(2, 0, &colour);
    EXPECT_EQ(colour, 0x444444u);
    // A surface deleted with its DC open gives it back (the emulation's count, after).
    ASSERT_NE(target.GetImpl()->GetDC(), 0u);
    target.Release();
}

TEST_F(DDSurfaceTest, AFailedCreationForgetsTheObjectItMade) {
    // Picking tries a surface, which gives the thread its object: start again without one.
    SurfaceHandle* prototype = Prototype(32);
    ASSERT_EQ(prototype->GetImpl()->GetKind(), kSurfaceKindDirectDraw);
    ReleaseThreadDirectDraw();
    // The primary is made, the surface is not.
    platform::test::InjectFault(platform::test::Fault::DirectDrawCreateSurface, 1, 1);
    SurfaceHandle made;
    EXPECT_EQ(made.Create(4, 4, prototype), nullptr);
    EXPECT_EQ(platform::test::PendingFaults(platform::test::Fault::DirectDrawCreateSurface), 0u);
    EXPECT_EQ(GetThreadDirectDraw(), nullptr);
    EXPECT_EQ(GetThreadDDPrimary(), nullptr);
    EXPECT_EQ(platform::test::LiveDirectDrawObjects(), live_);

    ASSERT_NE(made.Create(4, 4, prototype), nullptr);
    IDirectDraw2* object = GetThreadDirectDraw();
    ASSERT_NE(object, nullptr);
    // A failure with the thread's object already there keeps it.
    platform::test::InjectFault(platform::test::Fault::DirectDrawCreateSurface);
    SurfaceHandle second;
    EXPECT_EQ(second.Create(4, 4, prototype), nullptr);
    EXPECT_EQ(GetThreadDirectDraw(), object);
}

TEST_F(DDSurfaceTest, PresentingDrawsAtTheWindowsPlaceOnTheScreen) {
    const HWND window = Window(100, 50, 40, 30);
    SurfaceHandle made;
    ASSERT_NE(made.Create(20, 10, Prototype(32)), nullptr);
    cSurface* surface = made.GetImpl();
    for (int32_t x = 0; x < 20; x++)
        surface->FillRect(x, 0, 1, 10, uint32_t(10 * (x + 1)));
    ASSERT_EQ(surface->AttachWindow(window), 1);
    std::unique_ptr<cGDISurface> onWindow(cGDISurface::MakeOnDC(GetDC(window)));
    ASSERT_NE(onWindow, nullptr);
    // sx = -5 starts at source column 0 with the destination's left edge 5 further right.
    EXPECT_EQ(surface->BlitTo(onWindow.get(), 2, 3, -5, 0, 10, 4, 0, 0, 0, 0), 1);
    int width = 0;
    std::vector<uint32_t> pixels = Client(window, width);
    ASSERT_EQ(width, 40);
    const auto at = [&](int x, int y) { return pixels[size_t(y * width + x)]; };
    EXPECT_EQ(at(6, 3), 0u);
    EXPECT_EQ(at(7, 3), 0x0A0000u) << "source column 0";
    EXPECT_EQ(at(11, 6), 0x320000u) << "source column 4";
    EXPECT_EQ(at(12, 3), 0u);
    EXPECT_EQ(at(7, 7), 0u);
    // A source past the surface draws nothing and is no failure.
    EXPECT_EQ(surface->BlitTo(onWindow.get(), 0, 0, 20, 0, 5, 5, 0, 0, 0, 0), 1);
    ReleaseDC(window, onWindow->GetDC());

    // What is on the screen comes back from it, clipped to the surface.
    const HDC screenDC = GetDC(0);
    SetPixel(screenDC, 107, 53, 0x00000A);
    ReleaseDC(0, screenDC);
    SurfaceHandle copy;
    ASSERT_NE(copy.Create(4, 4, Prototype(32)), nullptr);
    EXPECT_EQ(copy.GetImpl()->BlitFromDC(-1, 0, 0, 106, 53, 4, 1, 0, 0, 0), 1);
    uint32_t colour = 0;
    copy.GetPixel(0, 0, &colour);
    EXPECT_EQ(colour, 0x00000Au);
    copy.GetPixel(3, 0, &colour);
    EXPECT_EQ(colour, 0u) << "only three columns fitted";
    // Moving inside the surface with overlapping areas.
    EXPECT_EQ(surface->MoveRect(1, 0, 0, 0, 4, 1), 1);
    surface->GetPixel(1, 0, &colour);
    EXPECT_EQ(colour, 10u);
    surface->GetPixel(4, 0, &colour);
    EXPECT_EQ(colour, 40u);
}

int CountModes(const SurfaceDisplayMode& mode, void* param) {
    auto* modes = static_cast<std::vector<SurfaceDisplayMode>*>(param);
    modes->push_back(mode);
    return modes->size() < 100;
}

int FirstOnly(const SurfaceDisplayMode&, void* param) {
    ++*static_cast<int*>(param);
    return 0;
}

TEST_F(DDSurfaceTest, FullScreenFlipsTheBackBufferIntoTheWindow) {
    const HWND window = Window(30, 40, 200, 100);
    SurfaceHandle made;
    ASSERT_NE(made.Create(8, 8, Prototype(32)), nullptr);
    cSurface* surface = made.GetImpl();
    std::vector<SurfaceDisplayMode> modes;
    surface->EnumDisplayModes(CountModes, &modes);
    bool offered = false;
    for (const SurfaceDisplayMode& mode : modes)
        offered = offered || (mode.width == 640 && mode.height == 480 && mode.depth == 16);
    EXPECT_TRUE(offered);
    int calls = 0;
    surface->EnumDisplayModes(FirstOnly, &calls);
    EXPECT_EQ(calls, 1);

    EXPECT_EQ(surface->MakeScreenInstance(), nullptr) << "windowed";
    EXPECT_EQ(surface->EnterFullScreen(window, 641, 479, 16), 0) << "a mode the display lacks";
    ASSERT_EQ(surface->EnterFullScreen(window, 800, 600, 32), 1);
    ASSERT_EQ(surface->EnterFullScreen(window, 640, 480, 16), 1) << "again, in another mode";
    EXPECT_EQ(surface->GetWidth(), 640);
    EXPECT_EQ(surface->GetDepth(), 16);
    EXPECT_EQ(GetWindowLongA(window, GWL_STYLE) & WS_POPUP, WS_POPUP);
    EXPECT_EQ(surface->WaitVSync(), 1);

    std::unique_ptr<cSurface> screen(surface->MakeScreenInstance());
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->IsBackBufferMode(), 1);
    EXPECT_EQ(screen->GetWidth(), 640);
    ASSERT_EQ(screen->FillRect(0, 0, 640, 480, 0x00FF00), 1);
    screen->PresentFlip();
    int width = 0;
    std::vector<uint32_t> pixels = Client(window, width);
    ASSERT_EQ(width, 640);
    EXPECT_EQ(pixels[0] & 0xFF00FF, 0u);
    EXPECT_GE(pixels[0] >> 8 & 0xFF, 0xF8u);

    surface->LeaveFullScreen(window);
    DEVMODEA now{};
    now.dmSize = sizeof now;
    EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &now);
    EXPECT_EQ(now.dmBitsPerPel, 32u);
    RECT rect{};
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.left, 30);
    EXPECT_EQ(rect.right - rect.left, 200);
    EXPECT_EQ(screen->Lock(), 0) << "the back buffer went with the full-screen primary";
    EXPECT_EQ(surface->MakeScreenInstance(), nullptr);
}

} // namespace
