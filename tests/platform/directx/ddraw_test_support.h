// A headless display of a chosen depth, DirectDraw objects on it, and reading surfaces
// back, for the DirectDraw tests.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/directx/ddraw.h"
#include "platform/directx/directx_test_hooks.h"
#include "platform/display/headless_display.h"
#include "platform/kernel/test_hooks.h"
#include "platform/system/system_info.h"
#include "platform/user/test_hooks.h"
#include "platform/user/windows.h"
#include "platform/window_recorder.h"

namespace ddraw_test {

// Each test starts on a 640 x 480 x 32 headless display and must release every DirectDraw
// object it made.
class DirectDraw : public ::testing::Test {
protected:
    void SetUp() override {
        platform::ResetVirtualDisplay();
        platform::SetVirtualDisplay(640, 480, 32);
        platform::headless::Install();
        live = platform::test::LiveDirectDrawObjects();
    }
    void TearDown() override {
        EXPECT_EQ(platform::test::LiveDirectDrawObjects(), live);
        platform::test::ClearFaults();
        platform::test::SetScreenPixels555(false);
        for (HWND window : windows)
            DestroyWindow(window);
        window_test::Pump();
        platform::ResetVirtualDisplay();
        platform::headless::Install();
    }

    // IDirectDraw2 at the cooperative level, the first interface given back.
    static IDirectDraw2* Open(HWND window = 0, DWORD level = DDSCL_NORMAL) {
        IDirectDraw* first = nullptr;
        EXPECT_EQ(DirectDrawCreate(nullptr, &first, nullptr), DD_OK);
        if (!first) return nullptr;
        EXPECT_EQ(first->SetCooperativeLevel(window, level), DD_OK);
        void* second = nullptr;
        EXPECT_EQ(first->QueryInterface(IID_IDirectDraw2, &second), S_OK);
        first->Release();
        return static_cast<IDirectDraw2*>(second);
    }

    static DDSURFACEDESC Desc(DWORD flags, DWORD caps, DWORD width = 0, DWORD height = 0) {
        DDSURFACEDESC desc{};
        desc.dwSize = sizeof(DDSURFACEDESC);
        desc.dwFlags = flags;
        desc.ddsCaps.dwCaps = caps;
        desc.dwWidth = width;
        desc.dwHeight = height;
        return desc;
    }

    static IDirectDrawSurface* OffScreen(IDirectDraw2* dd, int width, int height,
                                         DWORD memory = 0) {
        DDSURFACEDESC desc = Desc(DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT,
                                  DDSCAPS_OFFSCREENPLAIN | memory, width, height);
        IDirectDrawSurface* surface = nullptr;
        EXPECT_EQ(dd->CreateSurface(&desc, &surface, nullptr), DD_OK);
        return surface;
    }

    static IDirectDrawSurface* Primary(IDirectDraw2* dd, bool chain = false) {
        DDSURFACEDESC desc = Desc(DDSD_CAPS, DDSCAPS_PRIMARYSURFACE);
        if (chain) {
            desc.dwFlags |= DDSD_BACKBUFFERCOUNT;
            desc.dwBackBufferCount = 1;
            desc.ddsCaps.dwCaps |= DDSCAPS_COMPLEX | DDSCAPS_FLIP;
        }
        IDirectDrawSurface* surface = nullptr;
        EXPECT_EQ(dd->CreateSurface(&desc, &surface, nullptr), DD_OK);
        return surface;
    }

    static HRESULT FillWith(IDirectDrawSurface* surface, RECT* area, DWORD pixel) {
        DDBLTFX fx{};
        fx.dwSize = sizeof(DDBLTFX);
        fx.dwFillColor = pixel;
        return surface->Blt(area, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
    }

    // The surface's pixel values, rows top first.
    static std::vector<uint32_t> Pixels(IDirectDrawSurface* surface) {
        DDSURFACEDESC desc{};
        desc.dwSize = sizeof(DDSURFACEDESC);
        std::vector<uint32_t> values;
        EXPECT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, 0), DD_OK);
        if (!desc.lpSurface) return values;
        int bytes = static_cast<int>(desc.ddpfPixelFormat.dwRGBBitCount / 8);
        for (DWORD y = 0; y < desc.dwHeight; ++y)
            for (DWORD x = 0; x < desc.dwWidth; ++x) {
                uint32_t value = 0;
                std::memcpy(&value,
                            static_cast<uint8_t*>(desc.lpSurface) + y * desc.lPitch + x * bytes,
                            static_cast<size_t>(bytes));
                values.push_back(value);
            }
        EXPECT_EQ(surface->Unlock(desc.lpSurface), DD_OK);
        return values;
    }

    // A visible popup window, destroyed after the test.
    HWND Window(int x, int y, int width, int height, DWORD style = 0, HWND parent = 0) {
        static const char* name =
            window_test::Class("DirectDrawWindow", DefWindowProcA, 0,
                               static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        HWND window =
            CreateWindowExA(0, name, "", (parent ? WS_CHILD : WS_POPUP) | WS_VISIBLE | style, x, y,
                            width, height, parent, 0, 0, nullptr);
        EXPECT_NE(window, 0u);
        if (!parent) windows.push_back(window);
        return window;
    }

    // A window's client pixels, 0x00RRGGBB.
    static std::vector<uint32_t> Client(HWND window) {
        std::vector<uint32_t> pixels;
        int width = 0, height = 0;
        EXPECT_TRUE(platform::test::ReadWindowPixels(window, pixels, width, height));
        return pixels;
    }

    long live = 0;
    std::vector<HWND> windows;
};

} // namespace ddraw_test
