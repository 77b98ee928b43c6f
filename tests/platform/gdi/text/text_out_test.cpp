#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/gdi/bitmaps/pixel_format.h"
#include "platform/gdi/device_context.h"
#include "platform/gdi/gdi_test_support.h"
#include "platform/gdi/text/font_pinned_set.h"
#include "platform/gdi/text/text_out.h"

namespace {

constexpr COLORREF WHITE = RGB(255, 255, 255);
constexpr int WIDTH = 240;
constexpr int HEIGHT = 80;

// A white top-down canvas with a font of the pinned set selected.
class TextOut : public font_test::PinnedFonts {
protected:
    void SetUp() override {
        PinnedFonts::SetUp();
        live = platform::test::LiveGdiObjects();
        canvas = std::make_unique<gdi_test::Canvas>(WIDTH, -HEIGHT, 32);
        Clear();
    }
    void TearDown() override {
        canvas.reset();
        for (HFONT font : fonts)
            DeleteObject(font);
        EXPECT_EQ(platform::test::LiveGdiObjects(), live);
        PinnedFonts::TearDown();
    }
    HFONT Use(const LOGFONTA& logFont) {
        HFONT font = CreateFontIndirectA(&logFont);
        fonts.push_back(font);
        SelectObject(dc(), font);
        return font;
    }
    HFONT Use(const char* face, LONG height, BYTE quality = NONANTIALIASED_QUALITY) {
        return Use(Font(face, height, FW_NORMAL, false, quality));
    }
    HDC dc() const { return canvas->dc; }
    void Clear() {
        RECT all{0, 0, WIDTH, HEIGHT};
        FillRect(dc(), &all, GetStockObject(WHITE_BRUSH));
    }
    uint32_t At(int x, int y) const {
        uint32_t pixel;
        std::memcpy(&pixel, canvas->bits + (static_cast<size_t>(y) * WIDTH + x) * 4, 4);
        return pixel & 0xFFFFFF;
    }
    std::vector<uint32_t> Pixels() const {
        std::vector<uint32_t> pixels;
        for (int y = 0; y < HEIGHT; ++y)
            for (int x = 0; x < WIDTH; ++x)
                pixels.push_back(At(x, y));
        return pixels;
    }
    // The bounds of what is not white; empty when nothing is.
    RECT Ink() const {
        RECT ink{WIDTH, HEIGHT, 0, 0};
        for (int y = 0; y < HEIGHT; ++y) {
            for (int x = 0; x < WIDTH; ++x) {
                if (At(x, y) == WHITE) continue;
                ink = RECT{std::min<LONG>(ink.left, x), std::min<LONG>(ink.top, y),
                           std::max<LONG>(ink.right, x + 1), std::max<LONG>(ink.bottom, y + 1)};
            }
        }
        return ink.left < ink.right ? ink : RECT{};
    }
    bool NoInk() const { return Ink().right == 0; }
    SIZE Extent(const std::string& text) const {
        SIZE size{};
        EXPECT_TRUE(GetTextExtentPoint32A(dc(), text.data(), static_cast<int>(text.size()), &size));
        return size;
    }
    TEXTMETRICA Metrics() const {
        TEXTMETRICA tm{};
        EXPECT_TRUE(GetTextMetricsA(dc(), &tm));
        return tm;
    }
    void Out(int x, int y, const std::string& text) {
        ASSERT_TRUE(TextOutA(dc(), x, y, text.data(), static_cast<int>(text.size())));
    }

    long live = 0;
    std::unique_ptr<gdi_test::Canvas> canvas;
    std::vector<HFONT> fonts;
};

TEST_F(TextOut, FontsAreObjectsKeptAsGivenAndDeadOnesAreRefused) {
    LOGFONTA asked = Font("Arial", -20, FW_BOLD, true);
    asked.lfEscapement = 900;
    std::strcpy(asked.lfFaceName, "arial"); // not the name of the file found
    HFONT font = CreateFontIndirectA(&asked);
    EXPECT_EQ(GetObjectType(font), OBJ_FONT);
    LOGFONTA back{};
    ASSERT_EQ(GetObjectA(font, sizeof back, &back), int{sizeof back});
    EXPECT_EQ(std::memcmp(&back, &asked, sizeof back), 0);
    EXPECT_EQ(CreateFontIndirectA(nullptr), 0u);

    HGDIOBJ system = SelectObject(dc(), font);
    EXPECT_EQ(system, GetStockObject(SYSTEM_FONT));
    TEXTMETRICA bold = Metrics();
    EXPECT_EQ(bold.tmWeight, FW_BOLD);
    EXPECT_EQ(bold.tmItalic, 255);
    // Deleted while selected, the font stays in use until it is deselected.
    EXPECT_TRUE(DeleteObject(font));
    EXPECT_EQ(Metrics().tmHeight, bold.tmHeight);
    Out(2, 2, "Kept");
    EXPECT_FALSE(NoInk());
    // Selecting a dead font answers 0 and changes nothing.
    EXPECT_EQ(SelectObject(dc(), font), 0u);
    EXPECT_EQ(GetCurrentObject(dc(), OBJ_FONT), font);
    EXPECT_EQ(SelectObject(dc(), system), font);
    EXPECT_EQ(GetObjectA(font, sizeof back, &back), 0);
    TEXTMETRICA tm{};
    EXPECT_FALSE(GetTextMetricsA(0x7777, &tm));
    EXPECT_FALSE(TextOutA(0x7777, 0, 0, "x", 1));
}

TEST_F(TextOut, StockFontsHaveTheirFacesAndSizes) {
    SelectObject(dc(), GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICA gui = Metrics();
    EXPECT_EQ(gui.tmHeight - gui.tmInternalLeading, 11);   // "MS Shell Dlg" at an em of 11
    EXPECT_NE(gui.tmPitchAndFamily & TMPF_FIXED_PITCH, 0); // proportional
    SelectObject(dc(), GetStockObject(ANSI_FIXED_FONT));
    TEXTMETRICA fixed = Metrics();
    EXPECT_EQ(fixed.tmHeight, 12);
    EXPECT_EQ(fixed.tmPitchAndFamily & TMPF_FIXED_PITCH, 0);
    EXPECT_EQ(Extent("iiii").cx, Extent("MMMM").cx);
    SelectObject(dc(), GetStockObject(SYSTEM_FONT));
    EXPECT_EQ(Metrics().tmWeight, FW_BOLD);
    EXPECT_EQ(Metrics().tmHeight, 16);
}

TEST_F(TextOut, ExtentsAreTheDrawnAdvance) {
    Use("Times New Roman", -18);
    const std::string text = "Wavy tiles \x80 fly";
    SIZE size = Extent(text);
    TEXTMETRICA tm = Metrics();
    EXPECT_EQ(size.cy, tm.tmHeight);
    // The current position moves by the extent, and text drawn in two parts, the second at
    // the first's extent, is the text drawn whole.
    SetTextAlign(dc(), TA_UPDATECP);
    MoveToEx(dc(), 3, 5, nullptr);
    Out(0, 0, text);
    POINT at{};
    GetCurrentPositionEx(dc(), &at);
    EXPECT_EQ(at.x, 3 + size.cx);
    EXPECT_EQ(at.y, 5);
    std::vector<uint32_t> whole = Pixels();
    Clear();
    SetTextAlign(dc(), TA_TOP);
    Out(3, 5, text.substr(0, 6));
    Out(3 + Extent(text.substr(0, 6)).cx, 5, text.substr(6));
    EXPECT_EQ(Pixels(), whole);

    int fit = 0;
    std::vector<int> dx(text.size());
    SIZE same{};
    ASSERT_TRUE(GetTextExtentExPointA(dc(), text.data(), static_cast<int>(text.size()),
                                      Extent("Wavy").cx, &fit, dx.data(), &same));
    EXPECT_EQ(fit, 4);
    EXPECT_EQ(same.cx, size.cx);
    EXPECT_EQ(dx[3], Extent("Wavy").cx);
    EXPECT_EQ(dx.back(), size.cx);
    EXPECT_FALSE(GetTextExtentPoint32A(dc(), text.data(), -1, &same));
}

TEST_F(TextOut, TheEuroSignIsByte0x80) {
    Use("Arial", -24);
    Out(2, 2, "\x80");
    std::vector<uint32_t> euro = Pixels();
    Clear();
    Out(2, 2, "\x81"); // no character in Windows-1252: the missing-glyph box
    EXPECT_NE(Pixels(), euro);
    EXPECT_EQ(Extent("\x80").cx, 13); // the euro's 0.556 em in Liberation Sans
    // The euro sign stands as tall as a capital.
    Clear();
    Out(2, 2, "\x80");
    RECT euroInk = Ink();
    Clear();
    Out(2, 2, "C");
    RECT capital = Ink();
    EXPECT_EQ(euroInk.bottom - euroInk.top, capital.bottom - capital.top);
}

TEST_F(TextOut, AlignmentsPlaceTheReferencePoint) {
    Use("Arial", -20);
    TEXTMETRICA tm = Metrics();
    int cx = Extent("HH").cx;
    struct Case {
        UINT align;
        LONG left; // of the cell
        LONG top;
    } cases[] = {
        {TA_LEFT | TA_TOP, 100, 40},
        {TA_RIGHT | TA_TOP, 100 - cx, 40},
        {TA_CENTER | TA_TOP, 100 - cx / 2, 40},
        {TA_LEFT | TA_BASELINE, 100, 40 - tm.tmAscent},
        {TA_LEFT | TA_BOTTOM, 100, 40 - tm.tmHeight},
    };
    Out(100, 40, "HH");
    RECT reference = Ink();
    for (const Case& c : cases) {
        Clear();
        SetTextAlign(dc(), c.align);
        Out(100, 40, "HH");
        RECT ink = Ink();
        EXPECT_EQ(ink.left - reference.left, c.left - 100) << c.align;
        EXPECT_EQ(ink.top - reference.top, c.top - 40) << c.align;
    }
    // TA_UPDATECP with TA_RIGHT draws left of the position and leaves it at the text's left.
    SetTextAlign(dc(), TA_UPDATECP | TA_RIGHT);
    MoveToEx(dc(), 200, 10, nullptr);
    Out(0, 0, "HH");
    POINT at{};
    GetCurrentPositionEx(dc(), &at);
    EXPECT_EQ(at.x, 200 - cx);
}

TEST_F(TextOut, OptionsSpacingBackgroundAndLines) {
    Use("Arial", -20);
    SetTextColor(dc(), RGB(0, 0, 255));
    SetBkColor(dc(), RGB(0, 255, 0));
    TEXTMETRICA tm = Metrics();
    // ETO_OPAQUE fills its rectangle even in TRANSPARENT mode; ETO_CLIPPED keeps to it.
    SetBkMode(dc(), TRANSPARENT);
    RECT box{10, 10, 30, 40};
    ASSERT_TRUE(ExtTextOutA(dc(), 5, 12, ETO_OPAQUE | ETO_CLIPPED, &box, "WWWW", 4, nullptr));
    RECT ink = Ink();
    EXPECT_EQ(ink.left, 10);
    EXPECT_EQ(ink.right, 30);
    EXPECT_EQ(At(10, 10), RGB(0, 255, 0));
    EXPECT_EQ(At(29, 39), RGB(0, 255, 0));
    // Spacing: each character moves by its own dx.
    Clear();
    const INT dx[] = {40, 40, 40};
    ExtTextOutA(dc(), 0, 0, 0, nullptr, "lll", 3, dx);
    std::vector<uint32_t> spaced = Pixels();
    Clear();
    Out(0, 0, "l");
    Out(40, 0, "l");
    Out(80, 0, "l");
    EXPECT_EQ(Pixels(), spaced);
    // OPAQUE mode fills the text's cell in the background colour, and nothing more.
    Clear();
    SetBkMode(dc(), OPAQUE);
    Out(20, 10, "ab");
    RECT cell = Ink();
    EXPECT_EQ(cell.left, 20);
    EXPECT_EQ(cell.top, 10);
    EXPECT_EQ(cell.right, 20 + Extent("ab").cx);
    EXPECT_EQ(cell.bottom, 10 + tm.tmHeight);
    // Underline and strike-out run in the text colour under the whole advance.
    Clear();
    SetBkMode(dc(), TRANSPARENT);
    LOGFONTA lined = Font("Arial", -20);
    lined.lfUnderline = 1;
    lined.lfStrikeOut = 1;
    lined.lfQuality = NONANTIALIASED_QUALITY;
    Use(lined);
    Out(20, 10, "a b");
    int solidRows = 0;
    for (int y = 10; y < 10 + tm.tmHeight; ++y) {
        bool solid = true;
        for (int x = 20; x < 20 + Extent("a b").cx; ++x)
            solid = solid && At(x, y) == 0x0000FFu; // blue, as 0x00RRGGBB
        solidRows += solid ? 1 : 0;
        EXPECT_EQ(At(19, y), WHITE);
        EXPECT_EQ(At(20 + Extent("a b").cx, y), WHITE);
    }
    EXPECT_EQ(solidRows, 2); // the two lines, one pixel each at this size
}

TEST_F(TextOut, OriginAndClipMoveAndCutTheText) {
    Use("Arial", -20);
    Out(50, 20, "Cut");
    std::vector<uint32_t> placed = Pixels();
    Clear();
    SetWindowOrgEx(dc(), -40, 10, nullptr);
    Out(10, 30, "Cut");
    EXPECT_EQ(Pixels(), placed);
    Clear();
    SetWindowOrgEx(dc(), 0, 0, nullptr);
    IntersectClipRect(dc(), 0, 0, 60, HEIGHT);
    Out(50, 20, "Cut");
    EXPECT_EQ(Ink().right, 60);
    // Far away and very long texts draw nothing and end at once.
    Clear();
    std::string longText(1000000, 'M');
    Out(-2000000000, -2000000000, longText);
    Out(2000000000, 20, longText);
    EXPECT_TRUE(NoInk());
}

// A mono glyph's mask byte cut by a clip edge anywhere in it draws only its pixels inside,
// and so does one cut by the surface's right edge.
TEST_F(TextOut, MonoGlyphsCutAnywhereInAMaskByteDrawOnlyInside) {
    Use("Arial", -20);
    Out(20, 20, "Wwm");
    const std::vector<uint32_t> whole = Pixels();
    for (int edge = 21; edge < 37; ++edge) {
        Clear();
        HRGN clip = CreateRectRgn(edge, 0, edge + 11, HEIGHT);
        SelectClipRgn(dc(), clip);
        DeleteObject(clip);
        Out(20, 20, "Wwm");
        SelectClipRgn(dc(), 0);
        for (int y = 0; y < HEIGHT; ++y)
            for (int x = 0; x < WIDTH; ++x) {
                const bool inside = x >= edge && x < edge + 11;
                ASSERT_EQ(At(x, y), inside ? whole[size_t(y) * WIDTH + x] : WHITE)
                    << "clip from " << edge << ", pixel " << x << ", " << y;
            }
    }
    Clear();
    Out(WIDTH - 13, 20, "Wwm");
    const RECT ink = Ink();
    EXPECT_GT(ink.right, WIDTH - 13);
    EXPECT_LE(ink.right, WIDTH);
}

TEST_F(TextOut, GreyBlendsAboveEightBitsAndIsSolidOnIndexedTargets) {
    Use("Arial", -20, ANTIALIASED_QUALITY);
    Out(2, 2, "Grey");
    bool blended = false;
    for (uint32_t pixel : Pixels())
        blended = blended || (pixel != 0 && pixel != WHITE);
    EXPECT_TRUE(blended);
    for (int bits : {8, 1}) {
        gdi_test::Info info = gdi_test::MakeInfo(64, -32, bits);
        info.colors[0] = 0x000000;
        info.colors[1] = 0xFFFFFF;
        info.colors[2] = 0x808080;
        info.header.biClrUsed = bits == 8 ? 3 : 2;
        gdi_test::Canvas small(info);
        std::memset(small.bits, 1, static_cast<size_t>(gdi_test::RowBytes(64, bits)) * 32);
        if (bits == 1)
            std::memset(small.bits, 0xFF, static_cast<size_t>(gdi_test::RowBytes(64, 1)) * 32);
        HGDIOBJ old = SelectObject(small.dc, fonts.back());
        TextOutA(small.dc, 2, 2, "Grey", 4);
        int ink = 0;
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 64; ++x) {
                COLORREF c = GetPixel(small.dc, x, y);
                EXPECT_TRUE(c == 0 || c == WHITE) << bits << ": " << x << "," << y;
                ink += c == 0 ? 1 : 0;
            }
        }
        EXPECT_GT(ink, 20) << bits;
        SelectObject(small.dc, old);
    }
}

// Over pixels of every shade (their unused byte set), each covered pixel becomes
// under + ((text - under) * coverage + 127) / 255 per channel, full coverage the text colour
// and no coverage leaves the pixel whole, wherever the glyph's columns fall.
TEST_F(TextOut, GreyBlendsEachPixelByItsCoverageExactly) {
    LOGFONTA logFont = Font("Arial", -40, FW_NORMAL, false, ANTIALIASED_QUALITY);
    Use(logFont);
    auto font = platform::FontInstance::ForLogFont(logFont);
    const platform::GlyphBitmap& glyph = font->Glyph('W', platform::GlyphKind::Grey);
    ASSERT_GT(glyph.width, 8);
    const COLORREF text = RGB(200, 30, 110);
    SetTextColor(dc(), text);
    SetBkMode(dc(), TRANSPARENT);
    auto* pixels = reinterpret_cast<uint32_t*>(canvas->bits);
    for (int x = 3; x < 7; ++x) { // every position of the mask against four-pixel groups
        uint32_t seed = 12345;
        for (int i = 0; i < WIDTH * HEIGHT; ++i) {
            seed = seed * 1103515245u + 12345u;
            pixels[i] = seed;
        }
        std::vector<uint32_t> before(pixels, pixels + WIDTH * HEIGHT);
        Out(x, 4, "W");
        const int left = x + glyph.left, top = 4 + Metrics().tmAscent - glyph.top;
        int partial = 0;
        for (int y = 0; y < HEIGHT; ++y) {
            for (int px = 0; px < WIDTH; ++px) {
                uint32_t under = before[static_cast<size_t>(y) * WIDTH + px], expected = under;
                int gx = px - left, gy = y - top;
                int c = gx >= 0 && gx < glyph.width && gy >= 0 && gy < glyph.height
                            ? glyph.bits[static_cast<size_t>(gy) * glyph.pitch + gx]
                            : 0;
                if (c == 255) expected = platform::SwapRedBlue(text);
                if (c > 0 && c < 255) {
                    ++partial;
                    expected = 0;
                    for (int shift = 0; shift < 24; shift += 8) {
                        int a = int(under >> shift & 0xFF),
                            b = int(platform::SwapRedBlue(text) >> shift & 0xFF);
                        expected |= uint32_t(a + ((b - a) * c + 127) / 255) << shift;
                    }
                }
                ASSERT_EQ(pixels[static_cast<size_t>(y) * WIDTH + px], expected)
                    << "at " << px << "," << y << " coverage " << c;
            }
        }
        EXPECT_GT(partial, 20);
    }
}

TEST_F(TextOut, OutlineMetricsAreThe32BitRecordWithItsNames) {
    Use("Arial", -20);
    UINT size = GetOutlineTextMetricsA(dc(), 0, nullptr);
    ASSERT_GT(size, 212u);
    std::vector<uint8_t> record(size + 8, 0xAA);
    ASSERT_EQ(GetOutlineTextMetricsA(dc(), size + 8, record.data()), size);
    auto u32 = [&](size_t at) {
        return uint32_t{record[at]} | uint32_t{record[at + 1]} << 8 |
               uint32_t{record[at + 2]} << 16 | uint32_t{record[at + 3]} << 24;
    };
    EXPECT_EQ(u32(0), size);
    EXPECT_EQ(static_cast<LONG>(u32(4)), Metrics().tmHeight);
    EXPECT_EQ(u32(92), 2048u); // otmEMSquare of Liberation Sans
    const char* family = reinterpret_cast<const char*>(record.data() + u32(196));
    EXPECT_STREQ(family, "Liberation Sans");
    EXPECT_EQ(record[size], 0xAA); // nothing written past the record
    std::vector<uint8_t> part(100, 0xAA);
    EXPECT_EQ(GetOutlineTextMetricsA(dc(), 100, part.data()), 100u);
    EXPECT_TRUE(std::equal(part.begin(), part.end(), record.begin()));
    EXPECT_EQ(GetOutlineTextMetricsA(0x7777, 0, nullptr), 0u);
}

TEST_F(TextOut, DrawTextCalcRectHoldsTheDrawing) {
    Use("Arial", -14);
    const std::string text = "A few words wrap on\tnarrow lines, &underlined once.";
    for (UINT format : {DT_WORDBREAK | DT_EXPANDTABS, DT_WORDBREAK | DT_CENTER,
                        DT_WORDBREAK | DT_RIGHT | DT_EDITCONTROL, DT_SINGLELINE | DT_VCENTER}) {
        RECT calc{20, 5, 140, 5};
        int height = DrawTextExA(dc(), text.c_str(), -1, &calc, format | DT_CALCRECT, nullptr);
        EXPECT_EQ(height, calc.bottom - calc.top) << format;
        EXPECT_TRUE(NoInk()) << format; // measuring draws nothing
        RECT rect = calc;
        int drawnHeight =
            DrawTextA(dc(), text.c_str(), static_cast<int>(text.size()), &rect, format);
        // The rectangle found for a centred line ends at its bottom as centred in the empty
        // rectangle measured; centred again in the rectangle found, it sits higher and shows
        // only in part.
        const bool centred = (format & DT_VCENTER) != 0;
        if (!centred) {
            EXPECT_EQ(drawnHeight, height) << format;
        }
        RECT ink = Ink();
        EXPECT_GE(ink.left, calc.left) << format;
        EXPECT_LE(ink.right, calc.right) << format;
        EXPECT_GE(ink.top, calc.top) << format;
        EXPECT_LE(ink.bottom, calc.bottom) << format;
        // The same text drawn without a clip shows nothing more.
        std::vector<uint32_t> drawn = Pixels();
        Clear();
        rect = calc;
        DrawTextA(dc(), text.c_str(), -1, &rect, format | DT_NOCLIP);
        if (!centred) {
            EXPECT_EQ(Pixels(), drawn) << format;
        }
        Clear();
    }
    DRAWTEXTPARAMS params{sizeof(DRAWTEXTPARAMS), 4, 1, 1, 0};
    RECT rect{0, 0, 200, 100};
    EXPECT_GT(DrawTextExA(dc(), "abc\tdef", 7, &rect, DT_EXPANDTABS | DT_TABSTOP, &params), 0);
    EXPECT_EQ(params.uiLengthDrawn, 7u);
    params.cbSize = 24;
    EXPECT_EQ(DrawTextExA(dc(), "abc", 3, &rect, 0, &params), 0);
    EXPECT_EQ(DrawTextA(dc(), nullptr, 3, &rect, 0), 0);
    EXPECT_EQ(DrawTextA(0x7777, "abc", 3, &rect, 0), 0);
}

TEST_F(TextOut, DrawTextAnswersFromTheRectanglesTop) {
    Use("Arial", -13);
    ASSERT_EQ(Metrics().tmHeight, 15);
    // An empty string read to its end is one line; a count of 0 is nothing.
    RECT rect{0, 0, 100, 40};
    EXPECT_EQ(DrawTextA(dc(), "", -1, &rect, 0), 15);
    EXPECT_EQ(DrawTextA(dc(), "abc", 0, &rect, 0), 0);
    EXPECT_TRUE(NoInk());
    // Measuring a line put at the bottom or the middle answers where its bottom would be,
    // from the rectangle's top, and the rectangle found ends there.
    EXPECT_EQ(DrawTextA(dc(), "abc", -1, &rect, DT_CALCRECT | DT_SINGLELINE | DT_BOTTOM), 40);
    EXPECT_EQ(rect.bottom, 40);
    const char* text = "Bottommost";
    ASSERT_EQ(Extent(text).cx, 71);
    RECT bottom{4, 4, 300, 44};
    EXPECT_EQ(DrawTextA(dc(), text, -1, &bottom, DT_CALCRECT | DT_SINGLELINE | DT_BOTTOM), 40);
    EXPECT_EQ(bottom.left, 4);
    EXPECT_EQ(bottom.top, 4);
    EXPECT_EQ(bottom.right, 75);
    EXPECT_EQ(bottom.bottom, 44);
    RECT middle{4, 4, 300, 44}; // the line at 4 + 20 - 7
    EXPECT_EQ(DrawTextA(dc(), text, -1, &middle, DT_CALCRECT | DT_SINGLELINE | DT_VCENTER), 28);
    EXPECT_EQ(middle.right, 75);
    EXPECT_EQ(middle.bottom, 32);
    // Margins are logical units: 3 + 2 pixels beside the text.
    DRAWTEXTPARAMS params{sizeof(DRAWTEXTPARAMS), 4, 3, 2, 0};
    RECT measured{0, 0, 200, 40};
    EXPECT_EQ(DrawTextExA(dc(), "Margins", -1, &measured, DT_SINGLELINE | DT_CALCRECT, &params),
              15);
    EXPECT_EQ(measured.right, Extent("Margins").cx + 5);
}

} // namespace
