// Golden pictures of figures, lines and controls at each depth, compared pixel for pixel.
// ZORV_WRITE_PICTURES=1 writes them anew into tests/platform/gdi/shapes/golden/.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/display/png_dump.h"
#include "platform/gdi/bitmaps/blits.h"
#include "platform/gdi/controls/draw_edge.h"
#include "platform/gdi/controls/focus_rect.h"
#include "platform/gdi/controls/frame_control.h"
#include "platform/gdi/device_context.h"
#include "platform/gdi/shapes/shapes_dc.h"
#include "platform/gdi/shapes/shapes_test_support.h"
#include "support/temp_dir.h"

namespace {

using gdi_test::Canvas;
using gdi_test::Info;

std::filesystem::path GoldenFolder() {
    return std::filesystem::path(__FILE__).parent_path() / "golden";
}

bool ReadPng(const std::string& path, int& width, int& height, std::vector<uint32_t>& pixels) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
    image.format = PNG_FORMAT_RGB;
    std::vector<png_byte> bytes(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, bytes.data(), 0, nullptr)) return false;
    width = static_cast<int>(image.width);
    height = static_cast<int>(image.height);
    pixels.clear();
    for (size_t i = 0; i + 2 < bytes.size(); i += 3)
        pixels.push_back(uint32_t{bytes[i]} << 16 | uint32_t{bytes[i + 1]} << 8 | bytes[i + 2]);
    return true;
}

// 0x00BBGGRR as 0x00RRGGBB.
uint32_t ToRgb(COLORREF c) {
    return (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
}

constexpr COLORREF kPenColor = RGB(128, 0, 0);
constexpr COLORREF kBrushColor = RGB(0, 128, 255);
constexpr COLORREF kMarkColor = RGB(255, 0, 0);

// The 8-bit colour table: the system colours and the test's own first, so that every
// colour drawn has its exact entry, then a 6 x 6 x 6 cube.
Info MakeCanvasInfo(int width, int height, int bits) {
    Info info = gdi_test::MakeInfo(width, -height, bits);
    if (bits != 8) return info;
    int count = 0;
    auto add = [&](COLORREF c) { info.colors[count++] = ToRgb(c); };
    for (int i = 0; i <= COLOR_MENUBAR; ++i)
        add(GetSysColor(i));
    for (COLORREF c : {kPenColor, kBrushColor, kMarkColor, RGB(255, 255, 0), RGB(0, 160, 0)})
        add(c);
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                add(RGB(r * 51, g * 51, b * 51));
    return info;
}

struct Tools {
    explicit Tools(HDC dc) : dc_(dc) {}
    ~Tools() {
        Select(GetStockObject(BLACK_PEN), GetStockObject(WHITE_BRUSH));
        for (HGDIOBJ object : made_)
            DeleteObject(object);
    }
    void Select(HGDIOBJ pen, HGDIOBJ brush) {
        SelectObject(dc_, pen);
        SelectObject(dc_, brush);
    }
    HGDIOBJ Keep(HGDIOBJ object) {
        made_.push_back(object);
        return object;
    }

private:
    HDC dc_;
    std::vector<HGDIOBJ> made_;
};

void Background(HDC dc, int width, int height, COLORREF color) {
    RECT all{0, 0, width, height};
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &all, brush);
    DeleteObject(brush);
}

// Rows of pens (null, 1, 3 and 4 pixels solid, 3 and 4 inside frame), columns of
// figures: rectangle, ellipse, a star under ALTERNATE and WINDING.
void DrawFigures(HDC dc) {
    Background(dc, 160, 240, RGB(255, 255, 255));
    Tools tools(dc);
    HGDIOBJ brush = tools.Keep(CreateSolidBrush(kBrushColor));
    const struct {
        int style, width;
    } pens[] = {{PS_NULL, 1},  {PS_SOLID, 1},       {PS_SOLID, 3},
                {PS_SOLID, 4}, {PS_INSIDEFRAME, 3}, {PS_INSIDEFRAME, 4}};
    for (int row = 0; row < 6; ++row) {
        tools.Select(tools.Keep(CreatePen(pens[row].style, pens[row].width, kPenColor)), brush);
        int y = row * 40;
        Rectangle(dc, 6, y + 6, 34, y + 34);
        Ellipse(dc, 46, y + 6, 75, y + 31);
        const POINT star[] = {
            {100, y + 4}, {108, y + 35}, {84, y + 15}, {116, y + 15}, {92, y + 35}};
        SetPolyFillMode(dc, ALTERNATE);
        Polygon(dc, star, 5);
        POINT moved[5];
        for (int i = 0; i < 5; ++i)
            moved[i] = POINT{star[i].x + 40, star[i].y};
        SetPolyFillMode(dc, WINDING);
        Polygon(dc, moved, 5);
    }
}

// Fans of lines at 1, 3 and 4 pixels; a polyline; lines under R2_XORPEN and R2_NOT
// across a block; lines through a window origin and a clip.
void DrawLines(HDC dc) {
    Background(dc, 200, 120, RGB(255, 255, 255));
    Tools tools(dc);
    const int widths[] = {1, 3, 4};
    for (int i = 0; i < 3; ++i) {
        tools.Select(tools.Keep(CreatePen(PS_SOLID, widths[i], kPenColor)),
                     GetStockObject(NULL_BRUSH));
        int cx = 30 + i * 60, cy = 30;
        for (int a = 0; a < 16; ++a) {
            static const POINT kEnds[] = {{25, 0},  {23, 10},   {18, 18},   {10, 23},
                                          {0, 25},  {-10, 23},  {-18, 18},  {-23, 10},
                                          {-25, 0}, {-23, -10}, {-18, -18}, {-10, -23},
                                          {0, -25}, {10, -23},  {18, -18},  {23, -10}};
            MoveToEx(dc, cx, cy, nullptr);
            LineTo(dc, cx + kEnds[a].x, cy + kEnds[a].y);
        }
    }
    tools.Select(tools.Keep(CreatePen(PS_SOLID, 1, RGB(0, 0, 0))), GetStockObject(NULL_BRUSH));
    const POINT zigzag[] = {{5, 70}, {25, 110}, {45, 70}, {65, 110}, {85, 70}};
    Polyline(dc, zigzag, 5);
    HBRUSH block = CreateSolidBrush(kBrushColor);
    RECT area{100, 65, 190, 115};
    FillRect(dc, &area, block);
    DeleteObject(block);
    tools.Select(tools.Keep(CreatePen(PS_SOLID, 5, RGB(255, 255, 0))), GetStockObject(NULL_BRUSH));
    SetROP2(dc, R2_XORPEN);
    MoveToEx(dc, 95, 60, nullptr);
    LineTo(dc, 195, 118);
    SetROP2(dc, R2_NOT);
    MoveToEx(dc, 95, 118, nullptr);
    LineTo(dc, 195, 60);
    SetROP2(dc, R2_COPYPEN);
    SaveDC(dc);
    SetWindowOrgEx(dc, -100, 0, nullptr);
    IntersectClipRect(dc, -10, 70, 0, 110);
    tools.Select(tools.Keep(CreatePen(PS_SOLID, 3, RGB(0, 160, 0))), GetStockObject(NULL_BRUSH));
    MoveToEx(dc, -20, 60, nullptr);
    LineTo(dc, 10, 120);
    RestoreDC(dc, -1);
}

void DrawEdges(HDC dc) {
    Background(dc, 240, 200, GetSysColor(COLOR_BTNFACE));
    const UINT edges[] = {EDGE_RAISED, EDGE_SUNKEN, EDGE_ETCHED, EDGE_BUMP};
    const UINT flags[] = {BF_RECT,    BF_RECT | BF_SOFT, BF_RECT | BF_FLAT, BF_RECT | BF_MONO,
                          BF_TOPLEFT, BF_BOTTOMRIGHT,    BF_TOP | BF_RIGHT, BF_RECT | BF_ADJUST};
    HBRUSH mark = CreateSolidBrush(kMarkColor);
    for (int col = 0; col < 4; ++col) {
        for (int row = 0; row < 8; ++row) {
            RECT r{8 + col * 58, 6 + row * 24, 58 + col * 58, 26 + row * 24};
            DrawEdge(dc, &r, edges[col], flags[row]);
            if (flags[row] & BF_ADJUST) FillRect(dc, &r, mark); // what it left inside
        }
    }
    DeleteObject(mark);
    RECT middle{8, 6 + 8 * 24 - 2, 58, 6 + 8 * 24 - 1};
    DrawEdge(dc, &middle, BDR_RAISEDINNER, BF_RECT | BF_MIDDLE); // too thin: lines only
}

void DrawControls(HDC dc) {
    Background(dc, 260, 150, GetSysColor(COLOR_BTNFACE));
    const UINT looks[] = {0, DFCS_PUSHED, DFCS_CHECKED, DFCS_INACTIVE, DFCS_FLAT, DFCS_MONO};
    for (int i = 0; i < 6; ++i) {
        RECT push{6 + i * 42, 6, 44 + i * 42, 28};
        DrawFrameControl(dc, &push, DFC_BUTTON, DFCS_BUTTONPUSH | looks[i]);
        RECT check{6 + i * 20, 36, 19 + i * 20, 49};
        DrawFrameControl(dc, &check, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED | looks[i]);
        RECT radio{6 + i * 20, 56, 18 + i * 20, 68};
        DrawFrameControl(dc, &radio, DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_CHECKED | looks[i]);
    }
    RECT plain{130, 36, 143, 49}, tri{150, 36, 163, 49}, radio{130, 56, 142, 68},
        big{150, 54, 166, 70};
    DrawFrameControl(dc, &plain, DFC_BUTTON, DFCS_BUTTONCHECK);
    DrawFrameControl(dc, &tri, DFC_BUTTON, DFCS_BUTTON3STATE | DFCS_CHECKED);
    DrawFrameControl(dc, &radio, DFC_BUTTON, DFCS_BUTTONRADIO);
    DrawFrameControl(dc, &big, DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_CHECKED);
    const UINT scrolls[] = {DFCS_SCROLLUP, DFCS_SCROLLDOWN, DFCS_SCROLLLEFT, DFCS_SCROLLRIGHT,
                            DFCS_SCROLLCOMBOBOX};
    const UINT states[] = {0, DFCS_PUSHED, DFCS_INACTIVE, DFCS_PUSHED | DFCS_FLAT};
    for (int i = 0; i < 5; ++i) {
        for (int s = 0; s < 4; ++s) {
            RECT r{6 + i * 20, 76 + s * 18, 22 + i * 20, 92 + s * 18};
            DrawFrameControl(dc, &r, DFC_SCROLL, scrolls[i] | states[s]);
        }
    }
    RECT grip{110, 76, 126, 92}, gripLeft{110, 96, 126, 112};
    DrawFrameControl(dc, &grip, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
    DrawFrameControl(dc, &gripLeft, DFC_SCROLL, DFCS_SCROLLSIZEGRIPRIGHT);
    const UINT captions[] = {DFCS_CAPTIONCLOSE, DFCS_CAPTIONMIN, DFCS_CAPTIONMAX,
                             DFCS_CAPTIONRESTORE, DFCS_CAPTIONHELP};
    for (int i = 0; i < 5; ++i) {
        for (int s = 0; s < 3; ++s) {
            RECT r{136 + i * 20, 76 + s * 18, 152 + i * 20, 90 + s * 18};
            DrawFrameControl(dc, &r, DFC_CAPTION, captions[i] | states[s]);
        }
    }
    const UINT menus[] = {DFCS_MENUARROW, DFCS_MENUCHECK, DFCS_MENUBULLET, DFCS_MENUARROWRIGHT};
    for (int i = 0; i < 4; ++i) {
        RECT r{136 + i * 20, 130, 152 + i * 20, 146};
        DrawFrameControl(dc, &r, DFC_MENU, menus[i]);
    }
    RECT adjusted{220, 120, 256, 146};
    DrawFrameControl(dc, &adjusted, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT);
    DrawFocusRect(dc, &adjusted); // the face DFCS_ADJUSTRECT left
}

void DrawFocusRects(HDC dc) {
    Background(dc, 100, 60, RGB(255, 255, 255));
    HBRUSH brush = CreateSolidBrush(kBrushColor);
    RECT block{50, 0, 100, 60};
    FillRect(dc, &block, brush);
    DeleteObject(brush);
    const RECT rects[] = {{4, 4, 40, 20},   {5, 25, 41, 42},  {45, 10, 95, 30},
                          {60, 35, 61, 55}, {70, 35, 90, 36}, {4, 46, 9, 51}};
    for (const RECT& r : rects)
        DrawFocusRect(dc, &r);
    RECT twice{20, 48, 44, 58}; // drawn again: gone
    DrawFocusRect(dc, &twice);
    DrawFocusRect(dc, &twice);
}

struct Scene {
    const char* name;
    int width, height;
    std::function<void(HDC)> draw;
};

class ShapesGolden : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override { live_ = platform::test::LiveGdiObjects(); }
    void TearDown() override { EXPECT_EQ(platform::test::LiveGdiObjects(), live_); }

    void Check(const Scene& scene) {
        const int bits = GetParam();
        Canvas canvas(MakeCanvasInfo(scene.width, scene.height, bits));
        ASSERT_NE(canvas.bits, nullptr);
        scene.draw(canvas.dc);
        std::vector<uint32_t> pixels;
        for (int y = 0; y < scene.height; ++y) {
            for (int x = 0; x < scene.width; ++x) {
                COLORREF c = GetPixel(canvas.dc, x, y);
                pixels.push_back(ToRgb(c));
            }
        }
        std::string file = std::string(scene.name) + "_" + std::to_string(bits) + ".png";
        std::filesystem::path stored = GoldenFolder() / file;
        const char* write = std::getenv("ZORV_WRITE_PICTURES");
        if (write && write[0] == '1') {
            std::filesystem::create_directories(GoldenFolder());
            ASSERT_TRUE(
                platform::WritePngFile(stored.string(), pixels.data(), scene.width, scene.height));
            return;
        }
        int width = 0, height = 0;
        std::vector<uint32_t> expected;
        ASSERT_TRUE(ReadPng(stored.string(), width, height, expected))
            << stored << " is missing: run the test with ZORV_WRITE_PICTURES=1";
        if (width == scene.width && height == scene.height && expected == pixels) return;
        std::filesystem::path fresh = std::filesystem::temp_directory_path() / file;
        platform::WritePngFile(fresh.string(), pixels.data(), scene.width, scene.height);
        ADD_FAILURE() << stored << " differs from what is drawn now, written to " << fresh;
    }

    long live_ = 0;
};

TEST_P(ShapesGolden, Figures) {
    Check({"shapes_figures", 160, 240, DrawFigures});
}
TEST_P(ShapesGolden, Lines) {
    Check({"shapes_lines", 200, 120, DrawLines});
}
TEST_P(ShapesGolden, Edges) {
    Check({"shapes_edges", 240, 200, DrawEdges});
}
TEST_P(ShapesGolden, FrameControls) {
    Check({"shapes_frame_controls", 260, 150, DrawControls});
}
TEST_P(ShapesGolden, FocusRects) {
    Check({"shapes_focus_rects", 100, 60, DrawFocusRects});
}

INSTANTIATE_TEST_SUITE_P(Depths, ShapesGolden, ::testing::Values(8, 16, 24, 32),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return std::to_string(info.param) + "Bits";
                         });

} // namespace
