// A headless display of a chosen depth registered with the 2D library, windows on it that
// are destroyed after each case, and a check that no DirectDraw object outlives the case.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "graphics2d/surfaces/surface_kinds.h"
#include "platform/directx/directx_test_hooks.h"
#include "platform/display/headless_display.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/kernel/test_hooks.h"
#include "platform/system/system_info.h"
#include "platform/user/test_hooks.h"
#include "platform/user/windows.h"

class RenderDisplayTest : public ::testing::Test {
protected:
    void SetUp() override { UseDisplay(32); }
    void TearDown() override {
        for (HWND window : windows_)
            DestroyWindow(window);
        UnregisterSurfaceThread();
        EXPECT_EQ(platform::test::LiveDirectDrawObjects(), live_);
        platform::test::ClearFaults();
        platform::test::SetScreenPixels555(false);
        platform::test::UnfreezeClock();
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

    HWND Window(int x, int y, int width, int height) {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        windowClass.lpszClassName = "RenderTest";
        RegisterClassA(&windowClass);
        const HWND window = CreateWindowExA(0, "RenderTest", "", WS_POPUP | WS_VISIBLE, x, y, width,
                                            height, 0, 0, 0, nullptr);
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

private:
    std::vector<HWND> windows_;
    long live_ = 0;
    bool registered_ = false;
};
