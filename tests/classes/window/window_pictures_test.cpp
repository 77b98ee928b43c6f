#include "classes/window/window_pictures.h"

#include <gtest/gtest.h>

#include "graphics2d/surfaces/surface_kinds.h"

namespace {

class ShapeRectanglesTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterSurfaceThread();
        picture.Create(40, 30, GetPrototypeForDepth(24));
        ASSERT_TRUE(picture.IsValid());
        picture.FillRectAll(0);
    }
    void TearDown() override {
        picture.Release();
        UnregisterSurfaceThread();
    }

    SurfaceHandle picture;
};

TEST_F(ShapeRectanglesTest, AllBlackGivesNoRectanglesAndAnEmptyRegion) {
    std::vector<RECT> rectangles = ShapeRectangles(picture);
    EXPECT_TRUE(rectangles.empty());
    HRGN region = RegionFromRectangles(rectangles, 40, 30);
    RECT box{1, 1, 1, 1};
    GetRgnBox(region, &box);
    EXPECT_EQ(box.right - box.left, 0);
    DeleteObject(region);
}

TEST_F(ShapeRectanglesTest, RunsOfTheSameSpanMergeDownAndOthersStaySeparate) {
    // A checkerboard of 10 x 10 squares, one white square to a row of squares: each
    // square is one rectangle.
    for (int32_t j = 0; j < 3; ++j)
        picture.FillRect((j % 2) * 10, j * 10, 10, 10, 0xFFFFFF);
    std::vector<RECT> rectangles = ShapeRectangles(picture);
    ASSERT_EQ(rectangles.size(), 3u);
    EXPECT_EQ(rectangles[1].left, 10);
    EXPECT_EQ(rectangles[1].top, 10);
    EXPECT_EQ(rectangles[1].right, 20);
    EXPECT_EQ(rectangles[1].bottom, 20);

    // Two squares to a row: each row's runs alternate, so every run is a rectangle.
    picture.FillRectAll(0);
    for (int32_t i = 0; i < 4; ++i)
        for (int32_t j = 0; j < 3; ++j)
            if ((i + j) % 2 == 0) picture.FillRect(i * 10, j * 10, 10, 10, 0xFFFFFF);
    EXPECT_EQ(ShapeRectangles(picture).size(), 60u);

    // Only the rectangle recorded last grows: a run under an older one starts anew.
    picture.FillRectAll(0);
    picture.FillRect(0, 0, 5, 2, 0x0000FF);
    picture.FillRect(10, 0, 5, 1, 0x0000FF);
    rectangles = ShapeRectangles(picture);
    ASSERT_EQ(rectangles.size(), 3u);
    EXPECT_EQ(rectangles[2].top, 1);
    EXPECT_EQ(rectangles[2].bottom, 2);
    HRGN region = RegionFromRectangles(rectangles, 40, 30);
    EXPECT_TRUE(PtInRegion(region, 4, 1));
    EXPECT_FALSE(PtInRegion(region, 12, 1));
    DeleteObject(region);
}

} // namespace
