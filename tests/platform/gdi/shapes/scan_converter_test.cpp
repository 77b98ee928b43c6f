#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "platform/gdi/shapes/scan_converter.h"
#include "platform/gdi/shapes/span_picture.h"

namespace {

using platform::ClipBands;
using platform::FigureSpans;
using platform::PenKind;
using platform::PolyFillMode;
using platform::ScanPen;
using platform::Span;
using platform::SpanList;
using platform::SpanPicture;

const RECT kWide{-1000, -1000, 1000, 1000};
const ClipBands kOpen({&kWide, 1});

ScanPen Solid(int32_t width) {
    return ScanPen{PenKind::Solid, width};
}

// '#' for the pen, 'o' for the brush, 'X' where both would be (never expected).
std::string Draw(const FigureSpans& figure, RECT area) {
    SpanPicture brush(area), pen(area);
    brush.Set(figure.interior);
    pen.Set(figure.outline);
    std::string text = brush.Text('o', '.'), outline = pen.Text('#', '.');
    for (size_t i = 0; i < text.size(); ++i)
        if (outline[i] == '#') text[i] = text[i] == 'o' ? 'X' : '#';
    return text;
}

std::string Draw(const SpanList& line, RECT area) {
    return Draw(FigureSpans{{}, line}, area);
}

RECT Extent(const SpanList& spans) {
    RECT box{std::numeric_limits<LONG>::max(), std::numeric_limits<LONG>::max(),
             std::numeric_limits<LONG>::min(), std::numeric_limits<LONG>::min()};
    for (const Span& s : spans) {
        box.left = std::min(box.left, s.x0);
        box.right = std::max(box.right, s.x1);
        box.top = std::min(box.top, s.y);
        box.bottom = std::max(box.bottom, s.y + 1);
    }
    return box;
}

int64_t Count(const SpanList& spans) {
    int64_t pixels = 0;
    for (const Span& s : spans)
        pixels += int64_t{s.x1} - s.x0;
    return pixels;
}

bool InNormalForm(const SpanList& spans) {
    for (size_t i = 0; i < spans.size(); ++i) {
        if (spans[i].x1 <= spans[i].x0) return false;
        if (i > 0 && spans[i - 1].y == spans[i].y && spans[i - 1].x1 >= spans[i].x0) return false;
        if (i > 0 && spans[i - 1].y > spans[i].y) return false;
    }
    return true;
}

bool Disjoint(const SpanList& a, const SpanList& b) {
    return platform::SubtractSpans(a, b) == a;
}

void ExpectEqualRects(const RECT& a, const RECT& b) {
    EXPECT_EQ(a.left, b.left);
    EXPECT_EQ(a.top, b.top);
    EXPECT_EQ(a.right, b.right);
    EXPECT_EQ(a.bottom, b.bottom);
}

TEST(ScanFigures, ThinRectanglesCoverTheirBoxLessTheRightAndBottomEdges) {
    FigureSpans box = platform::ScanRectangle(RECT{0, 0, 10, 10}, Solid(1), true, kOpen);
    ExpectEqualRects(Extent(box.outline), RECT{0, 0, 10, 10});
    ExpectEqualRects(Extent(box.interior), RECT{1, 1, 9, 9});
    EXPECT_EQ(Count(box.outline), 36);
    EXPECT_EQ(Count(box.interior), 64);
    // Corners given backwards, and width 0, draw the same.
    FigureSpans backwards = platform::ScanRectangle(RECT{10, 10, 0, 0}, Solid(0), true, kOpen);
    EXPECT_EQ(backwards.outline, box.outline);
    EXPECT_EQ(backwards.interior, box.interior);

    // A one-pixel outline of one pixel is left out; one a pixel wide or high is its line.
    FigureSpans dot = platform::ScanRectangle(RECT{5, 5, 6, 6}, Solid(1), true, kOpen);
    EXPECT_TRUE(dot.outline.empty());
    EXPECT_TRUE(dot.interior.empty());
    FigureSpans column = platform::ScanRectangle(RECT{5, 5, 6, 9}, Solid(1), true, kOpen);
    ExpectEqualRects(Extent(column.outline), RECT{5, 5, 6, 9});
    EXPECT_EQ(Count(column.outline), 4);
    EXPECT_TRUE(column.interior.empty());
    FigureSpans row = platform::ScanRectangle(RECT{9, 6, 5, 5}, Solid(0), true, kOpen);
    ExpectEqualRects(Extent(row.outline), RECT{5, 5, 9, 6});
    EXPECT_EQ(Count(row.outline), 4);
    EXPECT_TRUE(row.interior.empty());
    EXPECT_EQ(Count(platform::ScanRectangle(RECT{5, 5, 7, 7}, Solid(1), true, kOpen).outline), 4);
    EXPECT_TRUE(platform::ScanRectangle(RECT{5, 5, 5, 9}, Solid(3), true, kOpen).outline.empty());

    // The null pen's figure is one pixel smaller each way; a one-pixel box has no inside.
    FigureSpans bare =
        platform::ScanRectangle(RECT{10, 10, 20, 20}, {PenKind::Null, 1}, true, kOpen);
    EXPECT_TRUE(bare.outline.empty());
    ExpectEqualRects(Extent(bare.interior), RECT{10, 10, 19, 19});
    EXPECT_EQ(Count(bare.interior), 81);
    EXPECT_TRUE(platform::ScanRectangle(RECT{5, 5, 6, 6}, {PenKind::Null, 1}, true, kOpen)
                    .interior.empty());
    EXPECT_TRUE(
        platform::ScanRectangle(RECT{0, 0, 10, 10}, Solid(1), false, kOpen).interior.empty());
}

TEST(ScanFigures, EllipsesTouchTheirBoxAndShrinkWithTheNullPen) {
    EXPECT_EQ(
        Draw(platform::ScanEllipse(RECT{0, 0, 8, 7}, Solid(1), true, kOpen), RECT{-1, -1, 9, 8}),
        "..........\n"
        "...####...\n"
        "..#oooo#..\n"
        ".#oooooo#.\n"
        ".#oooooo#.\n"
        ".#oooooo#.\n"
        "..#oooo#..\n"
        "...####...\n"
        "..........\n");
    EXPECT_EQ(Draw(platform::ScanEllipse(RECT{0, 0, 8, 7}, {PenKind::Null, 1}, true, kOpen),
                   RECT{-1, -1, 9, 8}),
              "..........\n"
              "...ooo....\n"
              ".ooooooo..\n"
              ".ooooooo..\n"
              ".ooooooo..\n"
              ".ooooooo..\n"
              "...ooo....\n"
              "..........\n"
              "..........\n");
    EXPECT_EQ(
        Draw(platform::ScanEllipse(RECT{0, 0, 8, 7}, Solid(3), true, kOpen), RECT{-2, -2, 10, 9}),
        "............\n"
        "....####....\n"
        "..########..\n"
        "..########..\n"
        ".####oo####.\n"
        ".###oooo###.\n"
        ".####oo####.\n"
        "..########..\n"
        "..########..\n"
        "....####....\n"
        "............\n");
    EXPECT_EQ(platform::ScanEllipse(RECT{5, 5, 6, 6}, Solid(1), true, kOpen).outline,
              (SpanList{{5, 5, 6}}));
    // Large circles stay symmetric and within their box.
    FigureSpans circle = platform::ScanEllipse(RECT{-300, -300, 301, 301}, Solid(1), true, kOpen);
    ExpectEqualRects(Extent(circle.outline), RECT{-300, -300, 301, 301});
    for (const Span& s : circle.outline) {
        auto mirror =
            std::find(circle.outline.begin(), circle.outline.end(), Span{-s.y, s.x0, s.x1});
        EXPECT_NE(mirror, circle.outline.end());
        auto across = std::find(circle.outline.begin(), circle.outline.end(),
                                Span{s.y, -s.x1 + 1, -s.x0 + 1});
        EXPECT_NE(across, circle.outline.end());
    }
}

TEST(ScanFigures, WidePensCentreOnThePathAndInsideFrameStaysInTheBox) {
    // Across a horizontal path through row 10: width 3 covers 9..11, width 4 covers 8..11.
    POINT flat[] = {{0, 10}, {20, 10}};
    for (auto [width, top, bottom] : {std::tuple{3, 9, 12}, {4, 8, 12}, {5, 8, 13}, {2, 9, 11}}) {
        RECT extent = Extent(platform::ScanPolyline(flat, Solid(width), kOpen));
        EXPECT_EQ(extent.top, top) << width;
        EXPECT_EQ(extent.bottom, bottom) << width;
        EXPECT_EQ(extent.left, -width / 2) << width;
        EXPECT_EQ(extent.right, 21 + (width - 1) / 2) << width; // round caps
    }
    // Rounded joins: the outer corner pixel of a width-4 rectangle stays empty.
    EXPECT_EQ(
        Draw(platform::ScanRectangle(RECT{0, 0, 10, 9}, {PenKind::InsideFrame, 4}, true, kOpen),
             RECT{-1, -1, 11, 10}),
        "............\n"
        "..########..\n"
        ".##########.\n"
        ".##########.\n"
        ".##########.\n"
        ".####oo####.\n"
        ".##########.\n"
        ".##########.\n"
        ".##########.\n"
        "..########..\n"
        "............\n");
    for (int width = 1; width <= 7; ++width) {
        const RECT box{0, 0, 10 + width, 9 + 2 * width};
        for (bool ellipse : {false, true}) {
            auto scan = ellipse ? platform::ScanEllipse : platform::ScanRectangle;
            FigureSpans frame = scan(box, {PenKind::InsideFrame, width}, true, kOpen);
            ExpectEqualRects(Extent(frame.outline), box);
            EXPECT_TRUE(Disjoint(frame.interior, frame.outline));
            // The surface's inset box with a centred pen draws the same outline.
            RECT inset{box.left + width / 2, box.top + width / 2, box.right - (width - 1) / 2,
                       box.bottom - (width - 1) / 2};
            EXPECT_EQ(scan(inset, Solid(width), true, kOpen).outline, frame.outline);
        }
    }
    // A box narrower than the pen is all pen, and no more.
    FigureSpans narrow =
        platform::ScanEllipse(RECT{0, 0, 3, 20}, {PenKind::InsideFrame, 5}, true, kOpen);
    ExpectEqualRects(Extent(narrow.outline), RECT{0, 0, 3, 20});
    EXPECT_TRUE(narrow.interior.empty());
    // A figure whose path is one point is a round dot of the pen.
    EXPECT_EQ(Count(platform::ScanRectangle(RECT{1, 1, 2, 2}, Solid(3), false, kOpen).outline), 9);
}

// A pixel belongs to a wide segment when its centre lies closer than half the width:
// checked by brute force on small random segments, which exercises the row search.
// Short segments, then long ones with wide pens, whose rows follow each other far along.
TEST(ScanLines, WideSegmentsHoldExactlyThePixelsWithinHalfTheWidth) {
    std::mt19937 random(15);
    struct Scale {
        int reach, widest, area, rounds;
    };
    for (Scale scale : {Scale{12, 9, 20, 300}, Scale{60, 31, 80, 60}}) {
        std::uniform_int_distribution<int> coordinate(-scale.reach, scale.reach),
            widths(2, scale.widest);
        const int area = scale.area;
        for (int round = 0; round < scale.rounds; ++round) {
            POINT ends[] = {{coordinate(random), coordinate(random)},
                            {coordinate(random), coordinate(random)}};
            if (ends[0].x == ends[1].x && ends[0].y == ends[1].y) continue;
            int width = widths(random);
            SpanPicture drawn(RECT{-area, -area, area + 1, area + 1});
            drawn.Set(platform::ScanPolyline(ends, Solid(width), kOpen));
            int shift = width % 2 == 0 ? 1 : 0;
            int64_t ax = 2 * ends[0].x - shift, ay = 2 * ends[0].y - shift;
            int64_t dx = 2 * ends[1].x - shift - ax, dy = 2 * ends[1].y - shift - ay;
            for (int y = -area; y <= area; ++y) {
                for (int x = -area; x <= area; ++x) {
                    int64_t qx = 2 * x - ax, qy = 2 * y - ay;
                    int64_t along = qx * dx + qy * dy, length2 = dx * dx + dy * dy;
                    double t = std::clamp(static_cast<double>(along) / length2, 0.0, 1.0);
                    double ex = qx - t * dx, ey = qy - t * dy;
                    bool inside = ex * ex + ey * ey < double(width) * width - 1e-9;
                    ASSERT_EQ(drawn.Get(x, y), inside)
                        << "(" << ends[0].x << "," << ends[0].y << ")-(" << ends[1].x << ","
                        << ends[1].y << ") w" << width << " at " << x << "," << y;
                }
            }
        }
    }
}

TEST(ScanLines, ThinLinesLeaveOutTheirLastPixelAndPolylinesJoin) {
    POINT shallow[] = {{0, 0}, {3, 1}};
    EXPECT_EQ(platform::ScanPolyline(shallow, Solid(1), kOpen), (SpanList{{0, 0, 2}, {1, 2, 3}}));
    POINT still[] = {{5, 5}, {5, 5}};
    EXPECT_TRUE(platform::ScanPolyline(still, Solid(1), kOpen).empty());
    EXPECT_TRUE(platform::ScanPolyline(still, Solid(4), kOpen).empty());
    EXPECT_TRUE(platform::ScanPolyline(still, {PenKind::Null, 1}, kOpen).empty());
    POINT path[] = {{0, 0}, {11, 4}, {2, 11}};
    EXPECT_EQ(Draw(platform::ScanPolyline(path, Solid(1), kOpen), RECT{0, 0, 12, 12}),
              "##..........\n"
              "..###.......\n"
              ".....##.....\n"
              ".......###..\n"
              "..........##\n"
              "..........#.\n"
              "........##..\n"
              ".......#....\n"
              "......#.....\n"
              "....##......\n"
              "...#........\n"
              "............\n");
    // Each segment gets one pixel per step of its major axis, and the same pixels drawn
    // either way round, but for the end left out.
    std::mt19937 random(7);
    std::uniform_int_distribution<int> coordinate(-40, 40);
    for (int round = 0; round < 200; ++round) {
        POINT a{coordinate(random), coordinate(random)}, b{coordinate(random), coordinate(random)};
        POINT forth[] = {a, b}, back[] = {b, a};
        SpanList there = platform::ScanPolyline(forth, Solid(1), kOpen);
        SpanList again = platform::ScanPolyline(back, Solid(1), kOpen);
        EXPECT_EQ(Count(there), std::max(std::abs(b.x - a.x), std::abs(b.y - a.y)));
        SpanList dots{{a.y, a.x, a.x + 1}, {b.y, b.x, b.x + 1}};
        platform::NormalizeSpans(dots);
        EXPECT_EQ(platform::SubtractSpans(there, dots), platform::SubtractSpans(again, dots));
    }
}

TEST(ScanPolygons, FillModesAndTheTopLeftRule) {
    POINT star[] = {{6, 0}, {9, 11}, {0, 4}, {12, 4}, {3, 11}};
    const ScanPen none{PenKind::Null, 1};
    EXPECT_EQ(Draw(platform::ScanPolygon(star, PolyFillMode::Alternate, none, true, kOpen),
                   RECT{0, 0, 13, 12}),
              ".............\n"
              "......o......\n"
              "......o......\n"
              "......o......\n"
              "ooooo...oooo.\n"
              "..ooo...ooo..\n"
              "...oo...oo...\n"
              "....o...o....\n"
              "....oo.oo....\n"
              "....oo.oo....\n"
              "....o...o....\n"
              ".............\n");
    EXPECT_EQ(Draw(platform::ScanPolygon(star, PolyFillMode::Winding, Solid(1), true, kOpen),
                   RECT{0, 0, 13, 12}),
              "......#......\n"
              "......#......\n"
              ".....#o#.....\n"
              ".....#o#.....\n"
              "#############\n"
              ".#ooo#o#ooo#.\n"
              "..###ooo###..\n"
              "....#ooo#....\n"
              "....##o##....\n"
              "....#####....\n"
              "...##...##...\n"
              "...#.....#...\n");
    // Two triangles sharing a diagonal share no pixel and leave none out.
    POINT upper[] = {{0, 0}, {17, 0}, {17, 13}}, lower[] = {{0, 0}, {17, 13}, {0, 13}};
    POINT whole[] = {{0, 0}, {17, 0}, {17, 13}, {0, 13}};
    SpanList a = platform::ScanPolygon(upper, PolyFillMode::Alternate, none, true, kOpen).interior;
    SpanList b = platform::ScanPolygon(lower, PolyFillMode::Winding, none, true, kOpen).interior;
    SpanList all =
        platform::ScanPolygon(whole, PolyFillMode::Alternate, none, true, kOpen).interior;
    EXPECT_TRUE(Disjoint(a, b));
    SpanList both = a;
    both.insert(both.end(), b.begin(), b.end());
    platform::NormalizeSpans(both);
    EXPECT_EQ(both, all);
    ExpectEqualRects(Extent(all), RECT{0, 0, 17, 13});
}

// Clipping to any set of rectangles keeps exactly the pixels of the unclipped figure
// that the rectangles hold.
TEST(ScanClip, ClippedFiguresAreTheUnclippedOnesCut) {
    const RECT parts[] = {{-5, -5, 8, 4}, {3, 2, 30, 9}, {-20, 15, 0, 40}, {6, 6, 7, 7}};
    ClipBands clip(parts);
    SpanList allowed;
    for (const RECT& r : parts)
        clip.Emit(r.top, r.left, r.right, allowed); // probe: every rectangle lets its row in
    EXPECT_FALSE(allowed.empty());
    ExpectEqualRects(clip.Bounds(), RECT{-20, -5, 30, 40});
    std::mt19937 random(3);
    std::uniform_int_distribution<int> coordinate(-25, 35), widths(0, 6);
    for (int round = 0; round < 100; ++round) {
        RECT box{coordinate(random), coordinate(random), coordinate(random), coordinate(random)};
        POINT poly[] = {{box.left, box.top},
                        {box.right, box.bottom},
                        {coordinate(random), box.top},
                        {box.left, coordinate(random)}};
        ScanPen pen{static_cast<PenKind>(round % 3), widths(random)};
        FigureSpans shapes[] = {
            platform::ScanEllipse(box, pen, true, kOpen),
            platform::ScanRectangle(box, pen, true, kOpen),
            platform::ScanPolygon(poly, PolyFillMode::Winding, pen, true, kOpen),
            FigureSpans{{}, platform::ScanPolyline(poly, pen, kOpen)}};
        FigureSpans clipped[] = {
            platform::ScanEllipse(box, pen, true, clip),
            platform::ScanRectangle(box, pen, true, clip),
            platform::ScanPolygon(poly, PolyFillMode::Winding, pen, true, clip),
            FigureSpans{{}, platform::ScanPolyline(poly, pen, clip)}};
        for (int i = 0; i < 4; ++i) {
            EXPECT_TRUE(InNormalForm(shapes[i].outline));
            EXPECT_TRUE(InNormalForm(shapes[i].interior));
            EXPECT_TRUE(Disjoint(shapes[i].interior, shapes[i].outline));
            for (const SpanList* list : {&shapes[i].interior, &shapes[i].outline}) {
                SpanList cut;
                for (const Span& s : *list)
                    clip.Emit(s.y, s.x0, s.x1, cut);
                platform::NormalizeSpans(cut);
                EXPECT_EQ(cut,
                          list == &shapes[i].interior ? clipped[i].interior : clipped[i].outline)
                    << "shape " << i << " round " << round;
            }
        }
    }
    const RECT nothing{5, 5, 5, 10};
    ClipBands empty({&nothing, 1});
    EXPECT_TRUE(empty.Empty());
    EXPECT_TRUE(platform::ScanEllipse(RECT{0, 0, 10, 10}, Solid(3), true, empty).interior.empty());
}

// Coordinates and widths at the ends of 32 bits draw only what falls in the clip, as
// quickly as small ones, with no overflow.
TEST(ScanClip, HugeCoordinatesAndWidthsCostOnlyTheClippedPixels) {
    const RECT view{0, 0, 100, 80};
    ClipBands clip({&view, 1});
    const LONG big = 1'000'000'000, max = std::numeric_limits<LONG>::max(),
               min = std::numeric_limits<LONG>::min();
    FigureSpans huge = platform::ScanRectangle(RECT{-big, -big, big, big}, Solid(5), true, clip);
    EXPECT_TRUE(huge.outline.empty());
    EXPECT_EQ(Count(huge.interior), 8000);
    FigureSpans everything =
        platform::ScanEllipse(RECT{min, min, max, max}, Solid(max), true, clip);
    EXPECT_EQ(Count(everything.outline) + Count(everything.interior), 8000);
    FigureSpans round = platform::ScanEllipse(RECT{-big, -big, big, big}, Solid(3), true, clip);
    EXPECT_EQ(Count(round.interior), 8000);
    // The edge of a huge circle crosses the view as a nearly straight line.
    FigureSpans edge =
        platform::ScanEllipse(RECT{50 - big, 40, 50 + big, 40 + 2 * big}, Solid(1), true, clip);
    EXPECT_EQ(edge.outline.front(), (Span{40, 0, 100}));
    EXPECT_EQ(Count(edge.interior), 39 * 100);

    POINT across[] = {{-big, -big}, {big, big}};
    SpanList diagonal = platform::ScanPolyline(across, Solid(1), clip);
    EXPECT_EQ(Count(diagonal), 80);
    EXPECT_EQ(diagonal.front(), (Span{0, 0, 1}));
    POINT flat[] = {{min, 40}, {max, 41}};
    EXPECT_EQ(Count(platform::ScanPolyline(flat, Solid(1), clip)), 100);
    EXPECT_EQ(Count(platform::ScanPolyline(flat, Solid(7), clip)), 700);
    POINT far[] = {{max, max}, {min, min}, {max, min}};
    EXPECT_EQ(Count(platform::ScanPolyline(far, Solid(max), clip)), 8000);
    EXPECT_EQ(
        Count(platform::ScanPolygon(far, PolyFillMode::Alternate, Solid(1), true, clip).interior),
        80 * 99 - 79 * 80 / 2); // right of the diagonal x = y, which is outline
    POINT away[] = {{max, min}, {max - 10, min}, {max, min + 10}};
    EXPECT_TRUE(
        platform::ScanPolygon(away, PolyFillMode::Winding, Solid(max), true, clip).outline.empty());
}

} // namespace
