#include <gtest/gtest.h>

#include <string>

#include "graphics2d/drawing/fill_painter.h"
#include "graphics2d/drawing/surface_handle.h"
#include "graphics2d/surfaces/surface_kinds.h"
#include "platform/display/headless_display.h"

namespace {

constexpr int32_t kDepths[] = {8, 15, 16, 24, 32};

class SurfaceShapesTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::headless::Install();
        RegisterSurfaceThread();
    }
    void TearDown() override { UnregisterSurfaceThread(); }

    // Rows of '.' for black and '#' for any other colour (narrow formats keep fewer bits of
    // the ink).
    static std::string Picture(SurfaceHandle& h, uint32_t) {
        std::string rows;
        for (int32_t y = 0; y < h.GetHeight(); y++) {
            for (int32_t x = 0; x < h.GetWidth(); x++) {
                uint32_t c = 0;
                h.GetImpl()->GetPixel(x, y, &c);
                rows += c == 0 ? '.' : '#';
            }
            rows += '\n';
        }
        return rows;
    }
};

TEST_F(SurfaceShapesTest, OutlinesStayInsideTheirBoxAtEveryDepth) {
    for (int32_t depth : kDepths) {
        SurfaceHandle s;
        ASSERT_NE(s.Create(12, 12, GetPrototypeForDepth(depth)), nullptr) << depth;
        const uint32_t white = 0xFFFFFF;
        // Filled without a pen: exactly the 10 x 10 pixels.
        ASSERT_EQ(s.DrawRectangle(1, 1, 11, 11, white, 0, 0, 1), 1);
        EXPECT_EQ(Picture(s, white), "............\n"
                                     ".##########.\n"
                                     ".##########.\n"
                                     ".##########.\n"
                                     ".##########.\n"
                                     ".##########.\n"
                                     ".##########.\n"
                                     ".##########.\n"
                                     ".##########.\n"
                                     ".##########.\n"
                                     ".##########.\n"
                                     "............\n")
            << depth << " bits";
        // A 3-wide outline of the box (0, 0)-(10, 10), given corners in reverse, covers
        // 0..9: GDI gets (1, 1)-(9, 9) and its centred pen reaches one pixel out.
        s.FillRectAll(0);
        ASSERT_EQ(s.StrokeRectangle(10, 10, 0, 0, 3, white), 1);
        EXPECT_EQ(Picture(s, white), "##########..\n"
                                     "##########..\n"
                                     "##########..\n"
                                     "###....###..\n"
                                     "###....###..\n"
                                     "###....###..\n"
                                     "###....###..\n"
                                     "##########..\n"
                                     "##########..\n"
                                     "##########..\n"
                                     "............\n"
                                     "............\n")
            << depth << " bits";
        s.FillRectAll(0);
        EXPECT_EQ(s.StrokeEllipse(0, 0, 10, 10, 0, white), 1) << "width 0 draws nothing";
        EXPECT_EQ(Picture(s, white).find('#'), std::string::npos);
        // Width-1 lines go pixel by pixel: one pixel, then four.
        s.DrawLine(5, 5, 5, 5, 1, white);
        s.DrawLine(0, 0, 3, 1, 1, white);
        EXPECT_EQ(Picture(s, white).substr(0, 26), "##..........\n"
                                                   "..##........\n");
        EXPECT_EQ(Picture(s, white)[5 * 13 + 5], '#');
    }
}

TEST_F(SurfaceShapesTest, EllipsesPolygonsAndWideLinesKeepToTheClip) {
    SurfaceHandle s;
    s.Create(9, 7, GetPrototypeForDepth(32));
    s.SetClipRect(0, 0, 9, 6);
    const uint32_t red = 0x0000FF;
    // Without a pen a figure is one pixel smaller each way.
    ASSERT_EQ(s.DrawEllipse(0, 0, 9, 7, red, 0, 0, 1), 1);
    EXPECT_EQ(Picture(s, red), "..####...\n"
                               ".######..\n"
                               "########.\n"
                               "########.\n"
                               ".######..\n"
                               "..####...\n"
                               ".........\n");
    s.FillRectAll(0);
    const POINT triangle[] = {{0, 0}, {8, 0}, {0, 8}};
    ASSERT_EQ(s.DrawPolygon(triangle, 3, red, 0, 0, 1), 1);
    EXPECT_EQ(Picture(s, red).substr(0, 30), "########.\n"
                                             "#######..\n"
                                             "######...\n");
    s.FillRectAll(0);
    // Wide lines have round caps reaching past their ends.
    ASSERT_EQ(s.DrawLine(0, 3, 8, 3, 3, red), 1);
    EXPECT_EQ(Picture(s, red), ".........\n"
                               ".........\n"
                               "#########\n"
                               "#########\n"
                               "#########\n"
                               ".........\n"
                               ".........\n");
    // The device context of a DIB surface that keeps its DC is left as it was.
    s.FillRectAll(0);
    s.SetClipRect(0, 0, 9, 7);
    ASSERT_EQ(s.DrawRectangle(0, 0, 9, 7, red, 0, 0, 1), 1);
    EXPECT_EQ(Picture(s, red).find('.'), std::string::npos);
}

TEST_F(SurfaceShapesTest, PaintedShapesKeepPainterColoursInsideTheShape) {
    SurfaceHandle s;
    s.Create(10, 6, GetPrototypeForDepth(24));
    s.FillRectAll(0x404040);
    CFillGradient across(0x0000F0, 0x00F000, 0, 0, 0);
    ASSERT_EQ(s.DrawRectanglePainted(2, 1, 8, 5, &across, 0, nullptr, {0, 0, 0, 0}, 1), 1);
    uint32_t c = 0;
    s.GetPixel(1, 1, &c);
    EXPECT_EQ(c, 0x404040u) << "outside the shape nothing changes";
    s.GetPixel(2, 1, &c);
    EXPECT_GT(c & 0xFF, c >> 8 & 0xFF) << "red starts the gradient";
    s.GetPixel(6, 3, &c);
    EXPECT_GT(c >> 8 & 0xFF, c & 0xFF) << "green ends it";
    s.GetPixel(7, 3, &c);
    EXPECT_EQ(c, 0x404040u) << "without a pen the figure is one pixel smaller";
    // An outline painted by a solid painter over a blended copy.
    CFillSolid blue(0xFF0000);
    ASSERT_EQ(s.DrawEllipsePainted(0, 0, 10, 6, nullptr, 1, &blue, {0, 0, 1, 64}, 0), 1);
    s.GetPixel(5, 0, &c);
    EXPECT_EQ(c, 0x9F2020u) << "half the painter's blue over the grey";
    s.GetPixel(0, 0, &c);
    EXPECT_EQ(c, 0x404040u);
}

} // namespace
