// Styled text written on real surfaces with the pinned font set.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "classes/surface/styled_text.h"
#include "classes/surface/styled_text_runs.h"
#include "graphics2d/drawing/surface_handle.h"
#include "graphics2d/surfaces/surface_kinds.h"
#include "platform/display/headless_display.h"
#include "platform/display/png_dump.h"
#include "platform/gdi/text/font_pinned_set.h"
#include "platform/gdi/text/text_out.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;

std::filesystem::path GoldenPath(const std::string& name) {
    return std::filesystem::path(__FILE__).parent_path() / "golden" / name;
}

// An 8-bit RGB or RGBA PNG as 0x00RRGGBB pixels; empty when the file cannot be read.
std::vector<uint32_t> ReadPng(const std::filesystem::path& path, int& width, int& height) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return {};
    image.format = PNG_FORMAT_BGRA;
    std::vector<uint32_t> pixels(static_cast<size_t>(image.width) * image.height);
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) return {};
    width = static_cast<int>(image.width);
    height = static_cast<int>(image.height);
    for (uint32_t& pixel : pixels)
        pixel &= 0xFFFFFF;
    return pixels;
}

class Marks : public StyledTextMarks {
public:
    void MarkStyledRect(const RECT& rect) override { rects.push_back(rect); }
    void MarkStyledScroll() override { ++scrolls; }
    std::vector<RECT> rects;
    int scrolls = 0;
};

class StyledTextDrawing : public font_test::PinnedFonts {
protected:
    void SetUp() override {
        PinnedFonts::SetUp();
        platform::headless::Install();
        RegisterSurfaceThread();
        LOGFONTA arial = Font("Arial", -16, FW_NORMAL, false, NONANTIALIASED_QUALITY);
        font = CreateFontIndirectA(&arial);
        ruler.Create(8, 8, GetPrototypeForDepth(32));
    }
    void TearDown() override {
        DeleteObject(font);
        picture.Release();
        ruler.Release();
        UnregisterSurfaceThread();
        PinnedFonts::TearDown();
    }

    StyledTextTarget& Make(int32_t width, int32_t height, int32_t depth = 32) {
        picture.Create(width, height, GetPrototypeForDepth(depth));
        picture.FillRectAll(kWhite);
        target = StyledTextTarget{};
        target.picture = &picture;
        target.font = font;
        target.marks = &marks;
        return target;
    }

    // Width and height of plain text in `logFont`.
    SIZE Extent(const char* text, LOGFONTA logFont) {
        logFont.lfQuality = NONANTIALIASED_QUALITY;
        const HFONT made = CreateFontIndirectA(&logFont);
        const HDC dc = ruler.GetImpl()->GetDC();
        const HGDIOBJ previous = SelectObject(dc, made);
        SIZE size{};
        GetTextExtentPoint32A(dc, text, static_cast<int>(std::strlen(text)), &size);
        SelectObject(dc, previous);
        ruler.GetImpl()->ReleaseDC(dc);
        DeleteObject(made);
        return size;
    }
    SIZE Extent(const char* text) { return Extent(text, Font("Arial", -16)); }

    static LOGFONTA LogFontOf(HFONT handle) {
        LOGFONTA logFont{};
        GetObjectA(handle, sizeof logFont, &logFont);
        return logFont;
    }

    // Pixels of the rectangle that are not the background.
    int Inked(int32_t left, int32_t top, int32_t right, int32_t bottom,
              uint32_t background = kWhite) {
        int count = 0;
        for (int32_t y = top; y < bottom; ++y)
            for (int32_t x = left; x < right; ++x) {
                uint32_t colour = 0;
                picture.GetPixel(x, y, &colour);
                count += (colour & 0xFFFFFF) != background;
            }
        return count;
    }
    int Count(uint32_t colour) {
        int count = 0;
        for (int32_t y = 0; y < picture.GetHeight(); ++y)
            for (int32_t x = 0; x < picture.GetWidth(); ++x) {
                uint32_t found = 0;
                picture.GetPixel(x, y, &found);
                count += (found & 0xFFFFFF) == colour;
            }
        return count;
    }

    HFONT font = 0;
    SurfaceHandle picture;
    // Measures plain text for the expectations.
    SurfaceHandle ruler;
    StyledTextTarget target;
    Marks marks;
};

TEST_F(StyledTextDrawing, TagsChangeTheFontAndClosingTagsRestoreIt) {
    Make(200, 100);
    HDC dc = picture.GetImpl()->GetDC();
    {
        StyledRuns runs(dc, font, 0x123456,
                        "a<B>b</B>c<I><U><STRIKE>d</I></U></STRIKE><TT>e</TT><SMALL>f</SMALL>"
                        "<BIG>g</BIG><FONT FACE=\"times new roman\" COLOR=#FF0000 SIZE=+4>h"
                        "</FONT>i</B></TT>j");
        const std::vector<StyledRun>& r = runs.Runs();
        ASSERT_EQ(r.size(), 10u);
        EXPECT_EQ(LogFontOf(r[0].font).lfWeight, FW_NORMAL);
        EXPECT_EQ(LogFontOf(r[1].font).lfWeight, FW_BOLD);
        EXPECT_EQ(r[2].font, font) << "back to the surface's own font";
        const LOGFONTA styled = LogFontOf(r[3].font);
        EXPECT_TRUE(styled.lfItalic && styled.lfUnderline && styled.lfStrikeOut);
        EXPECT_STREQ(LogFontOf(r[4].font).lfFaceName, "Courier New");
        EXPECT_EQ(LogFontOf(r[5].font).lfHeight, -9) << "16 x 4/7 toward zero";
        EXPECT_EQ(LogFontOf(r[6].font).lfHeight, -28);
        const LOGFONTA times = LogFontOf(r[7].font);
        EXPECT_STREQ(times.lfFaceName, "TIMES NEW ROMAN");
        EXPECT_EQ(times.lfHeight, -20);
        EXPECT_EQ(r[7].colour, 0x0000FFu);
        EXPECT_EQ(r[8].font, font) << "stray closing tags change nothing";
        EXPECT_EQ(r[8].colour, 0x123456u);
        for (const StyledRun& run : r)
            EXPECT_EQ(run.ends.back(), Extent(run.text.c_str(), LogFontOf(run.font)).cx)
                << run.text;
        // Runs in Courier New are of a fixed pitch.
        EXPECT_EQ(r[4].height, Extent("e", LogFontOf(r[4].font)).cy);
    }
    {
        // A closing tag removes its own record; the ones above it stay for their own tags.
        StyledRuns runs(dc, font, 0, "<FONT COLOR=#00FF00><TT>x</FONT>y</TT>z");
        const std::vector<StyledRun>& r = runs.Runs();
        ASSERT_EQ(r.size(), 3u);
        EXPECT_EQ(r[0].colour, 0x00FF00u);
        EXPECT_EQ(r[1].colour, 0u);
        EXPECT_STRNE(LogFontOf(r[1].font).lfFaceName, "Courier New");
        EXPECT_STREQ(LogFontOf(r[2].font).lfFaceName, "Arial") << "TT puts back FONT's face";
    }
    {
        // Superscripts and subscripts: sizes and offsets from the outline metrics.
        StyledRuns runs(dc, font, 0, "x<SUP>2</SUP>y<SUB>i</SUB>z");
        const std::vector<StyledRun>& r = runs.Runs();
        ASSERT_EQ(r.size(), 5u);
        EXPECT_LT(r[1].offset, 0);
        EXPECT_GT(r[3].offset, 0);
        EXPECT_LT(-LogFontOf(r[1].font).lfHeight, 16);
        EXPECT_LT(-LogFontOf(r[3].font).lfHeight, 16);
        EXPECT_EQ(r[2].offset, 0);
        EXPECT_EQ(r[4].font, font);
    }
    picture.GetImpl()->ReleaseDC(dc);
}

TEST_F(StyledTextDrawing, WriteDrawsAtThePenAndMovesIt) {
    Make(300, 60);
    target.penX = 10;
    target.penY = 5;
    target.penColour = 0x0000FF;
    RECT drawn{};
    WriteStyledText(target, "a<B>b</B>c", &drawn);
    const int32_t width = Extent("ac").cx + Extent("b", Font("Arial", -16, FW_BOLD)).cx;
    EXPECT_EQ(target.penX, 10 + width);
    EXPECT_EQ(target.penY, 5);
    EXPECT_EQ(target.penColour, 0x0000FFu);
    EXPECT_EQ(drawn.left, 10);
    EXPECT_EQ(drawn.top, 5);
    EXPECT_EQ(drawn.right, 10 + width);
    EXPECT_EQ(drawn.bottom, 5 + Extent("a").cy);
    ASSERT_EQ(marks.rects.size(), 1u);
    EXPECT_EQ(std::memcmp(&marks.rects[0], &drawn, sizeof drawn), 0);
    EXPECT_GT(Count(0x0000FF), 20) << "red, the pen colour";
    EXPECT_EQ(Inked(0, 0, 10, 60), 0);
    EXPECT_EQ(Inked(0, drawn.bottom, 300, 60), 0);

    // Entities give characters that open no tag.
    Make(300, 60);
    WriteStyledText(target, "&lt;B&gt;x");
    EXPECT_EQ(target.penX, Extent("<B>x").cx);
}

// Superscripts rise above the line's top: what they draw is marked all the same, or the
// window would keep the old pixels there.
TEST_F(StyledTextDrawing, EverythingDrawnIsMarked) {
    Make(300, 100);
    target.penY = 30;
    RECT drawn{};
    WriteStyledText(target, "x<SUP>2</SUP> <BIG>y<SUB>i</SUB></BIG> <SUP><SUP>z</SUP></SUP>",
                    &drawn);
    ASSERT_EQ(marks.rects.size(), 1u);
    const RECT marked = marks.rects[0];
    EXPECT_LT(marked.top, 30);
    EXPECT_EQ(std::memcmp(&marked, &drawn, sizeof drawn), 0);
    int inked = 0;
    for (int32_t y = 0; y < 100; ++y)
        for (int32_t x = 0; x < 300; ++x) {
            if (Inked(x, y, x + 1, y + 1) == 0) continue;
            ++inked;
            EXPECT_TRUE(x >= marked.left && x < marked.right && y >= marked.top &&
                        y < marked.bottom)
                << x << "," << y;
        }
    EXPECT_GT(inked, 20);
}

TEST_F(StyledTextDrawing, WrappingAtTheRightEdge) {
    const int32_t word = Extent("hello ").cx;
    const int32_t line = Extent("a").cy;
    Make(word + Extent("wor").cx, 200);
    RECT drawn{};
    WriteStyledText(target, "hello world", &drawn);
    EXPECT_EQ(target.penX, Extent("world").cx) << "the word moved to the next line";
    EXPECT_EQ(target.penY, line);
    EXPECT_EQ(drawn.bottom, 2 * line);
    EXPECT_EQ(marks.rects.size(), 2u);

    // Text that ends on the edge starts a new line.
    Make(Extent("abc").cx, 200);
    WriteStyledText(target, "abc");
    EXPECT_EQ(target.penX, 0);
    EXPECT_EQ(target.penY, line);
}

TEST_F(StyledTextDrawing, ASurfaceNarrowerThanAGlyphTakesOneCharacterALine) {
    const int32_t line = Extent("W").cy;
    Make(3, 40 * line);
    WriteStyledText(target, "WWWWWWWWWW");
    EXPECT_EQ(target.penY, 10 * line) << "ten lines, the last one ending on the edge";
    EXPECT_EQ(target.penX, 0);
    EXPECT_EQ(marks.rects.size(), 10u);
}

TEST_F(StyledTextDrawing, RepeatedWriteLnScrollsLikeAConsole) {
    const int32_t line = Extent("a").cy;
    const int32_t height = 3 * line + 5;
    Make(120, height);
    // Red, green, blue, magenta, cyan.
    const char* colours[] = {"FF0000", "00FF00", "0000FF", "FF00FF", "00FFFF"};
    for (const char* colour : colours)
        WriteStyledLine(target, std::string("<FONT COLOR=#") + colour + ">line</FONT>");
    EXPECT_EQ(target.penX, 0);
    EXPECT_EQ(target.penY, height) << "held at the bottom";
    EXPECT_EQ(marks.scrolls, 2);
    // The fourth line scrolled by what passed the edge, the fifth by a whole line.
    EXPECT_EQ(Count(0x0000FF), 0) << "the first line went out at the top";
    EXPECT_GT(Count(0xFF0000), 10) << "blue";
    EXPECT_GT(Inked(0, line + 5, 120, 2 * line + 5, kWhite), 10);
    int cyan = 0;
    for (int32_t y = 2 * line + 5; y < height; ++y)
        for (int32_t x = 0; x < 120; ++x) {
            uint32_t colour = 0;
            picture.GetPixel(x, y, &colour);
            cyan += (colour & 0xFFFFFF) == 0xFFFF00;
        }
    EXPECT_GT(cyan, 10) << "the last line at the bottom";

    // An empty WriteLn is a line of its own height; the next line scrolls it up.
    WriteStyledLine(target, "");
    WriteStyledLine(target, "<FONT COLOR=#FF0000>x</FONT>");
    EXPECT_EQ(marks.scrolls, 4);
    EXPECT_EQ(target.penY, height);
    EXPECT_EQ(Inked(0, line + 5, 120, 2 * line + 5), 0) << "the empty line";
    EXPECT_GT(Inked(0, 2 * line + 5, 120, height), 10);
    EXPECT_EQ(Count(0xFF0000), 0) << "blue scrolled out";

    // Scrolling fills the freed band with the background colour.
    target.background = 0x00FF00;
    WriteStyledLine(target, "x");
    EXPECT_GT(Count(0x00FF00), 120 * 5);
}

TEST_F(StyledTextDrawing, MeasuringDrawsNothingAndMovesThePen) {
    const int32_t line = Extent("a").cy;
    Make(200, 3 * line);
    target.penX = 7;
    target.penY = 3 * line;
    RECT extent{};
    MeasureStyledLine(target, "typed<B>text</B>", &extent);
    EXPECT_EQ(target.penX, 0);
    EXPECT_EQ(target.penY, 3 * line);
    EXPECT_EQ(extent.left, 7);
    EXPECT_EQ(extent.right,
              7 + Extent("typed").cx + Extent("text", Font("Arial", -16, FW_BOLD)).cx);
    EXPECT_EQ(Inked(0, 0, 200, 3 * line), 0);
    EXPECT_TRUE(marks.rects.empty());
    EXPECT_EQ(marks.scrolls, 0);

    // No picture: nothing happens.
    StyledTextTarget none;
    none.penX = 4;
    WriteStyledText(none, "text", &extent);
    EXPECT_EQ(none.penX, 4);
    EXPECT_EQ(extent.right, 0);
}

// Every tag, entities, wrapping and scrolling on one page, solid glyphs, pixel for pixel.
// ZORV_WRITE_PICTURES=1 writes the picture anew.
TEST_F(StyledTextDrawing, APageMatchesItsGoldenPicture) {
    Make(320, 120);
    target.penColour = 0x400000;
    WriteStyledLine(target, "Plain, <B>bold</B>, <I>italic</I>, <U>underlined</U>, "
                            "<STRIKE>struck</STRIKE>");
    WriteStyledLine(target, "<TT>typewriter</TT> <SMALL>small</SMALL> <BIG>big</BIG> "
                            "x<SUP>2</SUP> a<SUB>i</SUB> end");
    WriteStyledLine(target, "<FONT FACE=\"Times New Roman\" COLOR=#C00000 SIZE=+4>Times "
                            "red</FONT> back &lt;B&gt; &amp; &copy; x < y <P>");
    target.penColour = 0x006000;
    WriteStyledText(target, "A long sentence in green wraps at the right edge of the page, "
                            "and the page scrolls up when the text reaches its bottom line.");
    WriteStyledText(target, " <B>Done.</B>");

    std::vector<uint32_t> drawn(static_cast<size_t>(320) * 120);
    for (int32_t y = 0; y < 120; ++y)
        for (int32_t x = 0; x < 320; ++x) {
            uint32_t colour = 0;
            picture.GetPixel(x, y, &colour);
            // COLORREF to 0x00RRGGBB.
            drawn[static_cast<size_t>(y) * 320 + static_cast<size_t>(x)] =
                (colour & 0xFF) << 16 | (colour & 0xFF00) | (colour >> 16 & 0xFF);
        }
    const std::filesystem::path path = GoldenPath("styled_text_page.png");
    if (std::getenv("ZORV_WRITE_PICTURES") != nullptr) {
        std::filesystem::create_directories(path.parent_path());
        ASSERT_TRUE(platform::WritePngFile(path.string(), drawn.data(), 320, 120));
        return;
    }
    int width = 0, height = 0;
    const std::vector<uint32_t> golden = ReadPng(path, width, height);
    ASSERT_EQ(width, 320) << path << " (ZORV_WRITE_PICTURES=1 writes it)";
    ASSERT_EQ(height, 120);
    size_t differing = 0;
    for (size_t i = 0; i < drawn.size(); ++i)
        differing += drawn[i] != golden[i];
    EXPECT_EQ(differing, 0u);
    if (differing != 0) {
        const std::string out = dir.Linux("styled_text_page.png");
        platform::WritePngFile(out, drawn.data(), 320, 120);
        ADD_FAILURE() << "drawn: " << out;
    }
}

} // namespace
