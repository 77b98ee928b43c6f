#include <gtest/gtest.h>

#include <vector>

#include "platform/display/display_backend.h"
#include "platform/user/test_hooks.h"
#include "platform/user/windows.h"
#include "platform/window_recorder.h"

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr uint32_t kRedPixel = 0xFF0000;
constexpr uint32_t kWhitePixel = 0xFFFFFF;

const char* ClipClass() {
    static const char* name = window_test::Class("PaintClip", DefWindowProcA, 0, COLOR_WINDOW + 1);
    return name;
}

class PaintClip : public ::testing::Test {
protected:
    void SetUp() override {
        top = CreateWindowExA(0, ClipClass(), "", WS_POPUP | WS_VISIBLE, 300, 200, 100, 100, 0, 0,
                              0, nullptr);
        ASSERT_NE(top, 0u);
    }
    void TearDown() override {
        DestroyWindow(top);
        Pump();
    }
    static void Pump() { window_test::Pump(); }
    HWND Child(DWORD style, int x, int y, int w, int h, DWORD exStyle = 0, HWND parent = 0) {
        return CreateWindowExA(exStyle, ClipClass(), "", WS_CHILD | WS_VISIBLE | style, x, y, w, h,
                               parent ? parent : top, 0, 0, nullptr);
    }
    // Fills the window's whole client area through GetDC.
    static void Fill(HWND window, COLORREF color) {
        HDC dc = GetDC(window);
        HBRUSH brush = CreateSolidBrush(color);
        RECT all{-1000, -1000, 1000, 1000};
        EXPECT_TRUE(FillRect(dc, &all, brush));
        DeleteObject(brush);
        ReleaseDC(window, dc);
    }
    // The top-level window's pixel at client x, y.
    uint32_t At(int x, int y) {
        std::vector<uint32_t> pixels;
        int width = 0, height = 0;
        EXPECT_TRUE(platform::test::ReadWindowPixels(top, pixels, width, height));
        return pixels.at(static_cast<size_t>(y) * width + x);
    }
    HWND top = 0;
};

TEST_F(PaintClip, ErasingUsesTheClassBrushAndDrawsIntoTheTopLevelFramebuffer) {
    Pump();
    EXPECT_EQ(At(0, 0), kWhitePixel);
    EXPECT_EQ(At(99, 99), kWhitePixel);
    HWND child = Child(0, 10, 20, 30, 30);
    Fill(child, kRed);
    EXPECT_EQ(At(10, 20), kRedPixel);
    EXPECT_EQ(At(39, 49), kRedPixel);
    EXPECT_EQ(At(40, 49), kWhitePixel); // nothing past the child's client area
    EXPECT_EQ(At(9, 20), kWhitePixel);
    std::vector<uint32_t> pixels;
    int width = 0, height = 0;
    ASSERT_TRUE(platform::test::ReadWindowPixels(child, pixels, width, height));
    EXPECT_EQ(width, 30);
    EXPECT_EQ(pixels[0], kRedPixel);
    EXPECT_FALSE(platform::test::ReadWindowPixels(0x7FFFFFF0, pixels, width, height));
}

TEST_F(PaintClip, SiblingsClipOnlyUnderClipSiblings) {
    Pump();
    HWND above = Child(0, 40, 40, 60, 60); // made first, so on top
    HWND below = Child(WS_CLIPSIBLINGS, 0, 0, 60, 60);
    Pump();
    Fill(below, kRed);
    EXPECT_EQ(At(10, 10), kRedPixel);
    EXPECT_EQ(At(50, 50), kWhitePixel); // under `above`
    SetWindowLongA(below, GWL_STYLE, WS_CHILD | WS_VISIBLE);
    Fill(below, kRed);
    EXPECT_EQ(At(50, 50), kRedPixel);
    // A transparent sibling above clips nothing.
    SetWindowLongA(below, GWL_STYLE, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS);
    SetWindowLongA(above, GWL_EXSTYLE, WS_EX_TRANSPARENT);
    Fill(above, RGB(255, 255, 255));
    Fill(below, RGB(0, 0, 255));
    EXPECT_EQ(At(50, 50), 0x0000FFu);
}

TEST_F(PaintClip, ChildrenClipTheirParentUnderClipChildren) {
    Pump();
    HWND child = Child(0, 10, 10, 20, 20);
    Child(0, 60, 60, 20, 20, WS_EX_TRANSPARENT);
    Pump();
    SetWindowLongA(top, GWL_STYLE, WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN);
    Fill(top, kRed);
    EXPECT_EQ(At(15, 15), kWhitePixel);
    EXPECT_EQ(At(65, 65), kRedPixel); // a transparent child shows what lies beneath
    EXPECT_EQ(At(5, 5), kRedPixel);
    SetWindowLongA(top, GWL_STYLE, WS_POPUP | WS_VISIBLE);
    Fill(top, kRed);
    EXPECT_EQ(At(15, 15), kRedPixel);
    // A hidden child clips nothing and draws nothing.
    SetWindowLongA(top, GWL_STYLE, WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN);
    ShowWindow(child, SW_HIDE);
    Fill(top, RGB(0, 255, 0));
    EXPECT_EQ(At(15, 15), 0x00FF00u);
    Fill(child, kRed);
    EXPECT_EQ(At(15, 15), 0x00FF00u);
}

TEST_F(PaintClip, PaintDCDrawsOnlyTheUpdateRegionAndFollowsTheWindow) {
    HWND child = Child(0, 10, 10, 50, 50);
    Pump();
    Fill(top, RGB(0, 0, 0));
    RECT part{0, 0, 5, 5};
    InvalidateRect(child, &part, FALSE);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(child, &paint);
    RECT box;
    EXPECT_EQ(GetClipBox(dc, &box), SIMPLEREGION);
    EXPECT_EQ(box.right, 5);
    HBRUSH red = CreateSolidBrush(kRed);
    RECT all{0, 0, 50, 50};
    FillRect(dc, &all, red);
    EndPaint(child, &paint);
    EXPECT_EQ(At(14, 14), kRedPixel);
    EXPECT_EQ(At(15, 15), 0u);
    EXPECT_EQ(GetPixel(dc, 0, 0), CLR_INVALID); // ended with EndPaint

    // A DC held across a move draws where the window is now.
    HDC held = GetDC(child);
    MoveWindow(child, 50, 50, 50, 50, FALSE);
    EXPECT_EQ(SetPixel(held, 0, 0, kRed), kRed);
    EXPECT_EQ(At(50, 50), kRedPixel);
    EXPECT_EQ(GetPixel(held, 49, 49), 0u);
    EXPECT_EQ(SetPixel(held, 50, 0, kRed), CLR_INVALID); // beyond the parent
    EXPECT_EQ(GetClipBox(held, &box), SIMPLEREGION);
    EXPECT_EQ(box.right, 50);
    ReleaseDC(child, held);
    DeleteObject(red);
}

TEST_F(PaintClip, WindowShapesClipPaintingAndHitTesting) {
    HWND child = Child(0, 20, 20, 40, 40);
    Pump();
    Fill(top, RGB(0, 0, 0));
    ASSERT_TRUE(SetWindowRgn(child, CreateRectRgn(0, 0, 10, 10), FALSE));
    Fill(child, kRed);
    EXPECT_EQ(At(25, 25), kRedPixel);
    EXPECT_EQ(At(35, 35), 0u);
    // Hit testing takes screen points; the top-level window sits at 300, 200.
    EXPECT_TRUE(platform::WindowRegionContains(child, POINT{325, 225}));
    EXPECT_FALSE(platform::WindowRegionContains(child, POINT{335, 235}));
    EXPECT_TRUE(platform::WindowRegionContains(top, POINT{399, 299}));
    EXPECT_FALSE(platform::WindowRegionContains(top, POINT{400, 250}));
    HRGN copy = CreateRectRgn(0, 0, 0, 0);
    RECT box;
    EXPECT_EQ(GetWindowRgn(child, copy), SIMPLEREGION);
    GetRgnBox(copy, &box);
    EXPECT_EQ(box.right, 10);
    ASSERT_TRUE(SetWindowRgn(child, 0, TRUE));
    EXPECT_EQ(GetWindowRgn(child, copy), ERROR);
    EXPECT_TRUE(platform::WindowRegionContains(child, POINT{335, 235}));
    DeleteObject(copy);
}

TEST_F(PaintClip, PresentHandsOverDirtyRectanglesOnce) {
    Pump();
    std::vector<platform::FramebufferView> views;
    uint32_t firstPixel = 0;
    platform::SetPresentHook([&](const platform::FramebufferView& view) {
        if (view.window == top) firstPixel = view.pixels[0];
        views.push_back(view);
    });
    platform::PresentFramebuffers();
    views.clear();
    HDC dc = GetDC(top);
    SetPixel(dc, 0, 0, kRed);
    platform::PresentFramebuffers();
    ASSERT_EQ(views.size(), 1u);
    EXPECT_EQ(views[0].window, top);
    EXPECT_EQ(views[0].width, 100);
    EXPECT_EQ(firstPixel, kRedPixel);
    ASSERT_EQ(views[0].dirty.size(), 1u);
    EXPECT_EQ(views[0].dirty[0].right, 1);
    views.clear();
    platform::PresentFramebuffers();
    EXPECT_TRUE(views.empty());
    ShowWindow(top, SW_MINIMIZE);
    SetPixel(dc, 1, 1, kRed);
    for (const platform::DisplayWindow& shown : platform::VisibleTopLevelWindows())
        EXPECT_NE(shown.window, top);
    ReleaseDC(top, dc);
    platform::SetPresentHook(nullptr);
}

} // namespace
