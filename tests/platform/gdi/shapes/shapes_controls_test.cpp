#include <gtest/gtest.h>

#include "platform/gdi/bitmaps/blits.h"
#include "platform/gdi/controls/draw_edge.h"
#include "platform/gdi/controls/focus_rect.h"
#include "platform/gdi/controls/frame_control.h"
#include "platform/gdi/device_context.h"
#include "platform/gdi/shapes/shapes_test_support.h"

namespace {

using gdi_test::Canvas;
using gdi_test::Picture;
using gdi_test::Rows;

const std::map<COLORREF, char> kLegend{{RGB(255, 255, 255), 'W'},
                                       {RGB(0, 0, 0), 'k'},
                                       {GetSysColor(COLOR_BTNFACE), '.'},
                                       {GetSysColor(COLOR_BTNSHADOW), 'S'},
                                       {GetSysColor(COLOR_3DDKSHADOW), 'K'}};

class ShapesControls : public ::testing::Test {
protected:
    void SetUp() override { live_ = platform::test::LiveGdiObjects(); }
    void TearDown() override { EXPECT_EQ(platform::test::LiveGdiObjects(), live_); }
    long live_ = 0;
};

TEST_F(ShapesControls, EdgesOwnTheirCornersAndAdjustTheRectangle) {
    Canvas canvas(6, 5, 32);
    PatBlt(canvas.dc, 0, 0, 6, 5, BLACKNESS);
    RECT r{0, 0, 6, 5};
    EXPECT_TRUE(DrawEdge(canvas.dc, &r, EDGE_SUNKEN, BF_RECT | BF_MIDDLE | BF_ADJUST));
    EXPECT_EQ(r.left, 2);
    EXPECT_EQ(r.top, 2);
    EXPECT_EQ(r.right, 4);
    EXPECT_EQ(r.bottom, 3);
    // Outer: shadow then highlight; inner: dark shadow then light (the face colour). The
    // bottom and right lines own the corners they share with the top and left ones.
    EXPECT_EQ(Picture(canvas.dc, 6, 5, kLegend),
              Rows({"SSSSSW", "SKKK.W", "SK...W", "S....W", "WWWWWW"}));
    RECT side{0, 0, 6, 5};
    EXPECT_TRUE(DrawEdge(canvas.dc, &side, EDGE_RAISED, BF_LEFT | BF_ADJUST));
    EXPECT_EQ(side.left, 2);
    EXPECT_EQ(side.right, 6); // only the sides drawn move
    EXPECT_FALSE(DrawEdge(canvas.dc, nullptr, EDGE_RAISED, BF_RECT));
    EXPECT_FALSE(DrawEdge(canvas.dc, &side, EDGE_RAISED, BF_DIAGONAL | BF_RECT));
    EXPECT_FALSE(DrawEdge(0, &side, EDGE_RAISED, BF_RECT));
}

TEST_F(ShapesControls, EdgesWithALineBothRaisedAndSunkenFailAndLeaveTheirMiddle) {
    Canvas canvas(6, 5, 32);
    PatBlt(canvas.dc, 0, 0, 6, 5, BLACKNESS);
    RECT r{0, 0, 6, 5};
    EXPECT_FALSE(DrawEdge(canvas.dc, &r, BDR_RAISEDOUTER | BDR_SUNKENOUTER, BF_RECT | BF_MIDDLE));
    EXPECT_EQ(Picture(canvas.dc, 6, 5, kLegend),
              Rows({"kkkkkk", "kkkkkk", "kkkkkk", "kkkkkk", "kkkkkk"}));
    // The inner line: the outer one is drawn, the rest left.
    EXPECT_FALSE(DrawEdge(canvas.dc, &r, BDR_SUNKENOUTER | BDR_INNER, BF_RECT | BF_MIDDLE));
    EXPECT_EQ(Picture(canvas.dc, 6, 5, kLegend),
              Rows({"SSSSSW", "SkkkkW", "SkkkkW", "SkkkkW", "WWWWWW"}));
    // Flat and mono edges have no shading to contradict.
    EXPECT_TRUE(DrawEdge(canvas.dc, &r, BDR_OUTER, BF_RECT | BF_MIDDLE | BF_FLAT));
    EXPECT_EQ(GetPixel(canvas.dc, 2, 2), GetSysColor(COLOR_BTNFACE));
}

TEST_F(ShapesControls, RadioImageAndMaskArePartners) {
    constexpr COLORREF green = RGB(0, 128, 0);
    const std::map<COLORREF, char> legend{
        {RGB(255, 255, 255), 'W'}, {RGB(0, 0, 0), 'k'}, {green, 'g'}};
    Canvas canvas(13, 13, 32);
    HBRUSH brush = CreateSolidBrush(green);
    RECT all{0, 0, 13, 13};
    auto draw = [&](UINT part) {
        FillRect(canvas.dc, &all, brush);
        RECT r = all;
        EXPECT_TRUE(DrawFrameControl(canvas.dc, &r, DFC_BUTTON, part));
        return Picture(canvas.dc, 13, 13, legend);
    };
    std::string image = draw(DFCS_BUTTONRADIOIMAGE), mask = draw(DFCS_BUTTONRADIOMASK);
    std::string plain = draw(DFCS_BUTTONRADIO);
    DeleteObject(brush);
    // Around the button, which the plain radio button leaves alone, the image is black and
    // the mask white.
    EXPECT_EQ(plain.front(), 'g');
    for (size_t i = 0; i < image.size(); ++i) {
        EXPECT_NE(mask[i], 'g') << i;
        if (plain[i] == 'g') {
            EXPECT_EQ(image[i], 'k') << i;
            EXPECT_EQ(mask[i], 'W') << i;
        }
    }
}

TEST_F(ShapesControls, FocusRectanglesInvertDotsAndVanishWhenDrawnAgain) {
    Canvas canvas(5, 4, 32);
    PatBlt(canvas.dc, 0, 0, 5, 4, WHITENESS);
    RECT r{0, 0, 5, 4};
    EXPECT_TRUE(DrawFocusRect(canvas.dc, &r));
    EXPECT_EQ(Picture(canvas.dc, 5, 4, kLegend), Rows({"kWkWk", "WWWWW", "kWWWk", "WkWkW"}));
    SetWindowOrgEx(canvas.dc, 1, 0, nullptr); // the dots keep to the device's pixels
    RECT moved{1, 0, 6, 4};
    EXPECT_TRUE(DrawFocusRect(canvas.dc, &moved));
    SetWindowOrgEx(canvas.dc, 0, 0, nullptr);
    EXPECT_EQ(Picture(canvas.dc, 5, 4, kLegend), Rows({"WWWWW", "WWWWW", "WWWWW", "WWWWW"}));
    EXPECT_FALSE(DrawFocusRect(canvas.dc, nullptr));
}

TEST_F(ShapesControls, FrameControlsAdjustPushButtonsAndRefuseUnknownParts) {
    Canvas canvas(20, 20, 32);
    RECT push{2, 3, 18, 15};
    EXPECT_TRUE(DrawFrameControl(canvas.dc, &push, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT));
    EXPECT_EQ(push.left, 4);
    EXPECT_EQ(push.bottom, 13);
    EXPECT_EQ(GetPixel(canvas.dc, 2, 3), RGB(255, 255, 255)); // raised, lit top-left
    EXPECT_EQ(GetPixel(canvas.dc, 17, 14), GetSysColor(COLOR_3DDKSHADOW));
    RECT box{0, 0, 13, 13};
    EXPECT_TRUE(DrawFrameControl(canvas.dc, &box, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED));
    EXPECT_EQ(GetPixel(canvas.dc, 3, 5), RGB(0, 0, 0)); // the tick's first column
    EXPECT_EQ(GetPixel(canvas.dc, 3, 4), RGB(255, 255, 255));
    EXPECT_FALSE(DrawFrameControl(canvas.dc, &box, 9, 0));
    EXPECT_FALSE(DrawFrameControl(canvas.dc, &box, DFC_SCROLL, 0x40));
    EXPECT_FALSE(DrawFrameControl(canvas.dc, &box, DFC_CAPTION, 7));
    EXPECT_FALSE(DrawFrameControl(canvas.dc, nullptr, DFC_BUTTON, DFCS_BUTTONPUSH));
    EXPECT_FALSE(DrawFrameControl(0, &box, DFC_BUTTON, DFCS_BUTTONPUSH));
}

} // namespace
