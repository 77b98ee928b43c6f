// Text drawn with the pinned font set against reference pictures in golden/: solid text
// exactly, grey text within 16 a channel on at most 0.5% of the pixels (FreeType versions
// may round coverage differently). ZORV_WRITE_PICTURES=1 writes the pictures anew.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/display/png_dump.h"
#include "platform/gdi/device_context.h"
#include "platform/gdi/gdi_test_support.h"
#include "platform/gdi/text/font_pinned_set.h"
#include "platform/gdi/text/text_out.h"

namespace {

constexpr int WIDTH = 320;
constexpr int HEIGHT = 200;

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels; // 0x00RRGGBB
};

std::filesystem::path GoldenPath(const std::string& name) {
    return std::filesystem::path(__FILE__).parent_path() / "golden" / name;
}

// An 8-bit RGB or RGBA PNG; empty when the file cannot be read.
Picture ReadPng(const std::filesystem::path& path) {
    Picture picture;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return picture;
    image.format = PNG_FORMAT_BGRA;
    std::vector<uint32_t> pixels(static_cast<size_t>(image.width) * image.height);
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) return picture;
    picture.width = static_cast<int>(image.width);
    picture.height = static_cast<int>(image.height);
    for (uint32_t& pixel : pixels)
        pixel &= 0xFFFFFF;
    picture.pixels = std::move(pixels);
    return picture;
}

class TextGolden : public font_test::PinnedFonts {
protected:
    void SetUp() override {
        PinnedFonts::SetUp();
        canvas = std::make_unique<gdi_test::Canvas>(WIDTH, -HEIGHT, 32);
        RECT all{0, 0, WIDTH, HEIGHT};
        FillRect(canvas->dc, &all, GetStockObject(WHITE_BRUSH));
    }
    void TearDown() override {
        canvas.reset();
        PinnedFonts::TearDown();
    }

    // A sample of faces, styles and calls in one quality.
    void DrawSheet(BYTE quality) {
        HDC dc = canvas->dc;
        struct Line {
            const char* face;
            LONG height;
            LONG weight;
            bool italic;
            bool underline;
            const char* text;
        } lines[] = {
            {"Arial", -13, FW_NORMAL, false, false, "Arial: The quick brown fox \x80 \xE9\xFC\xDF"},
            {"Arial", -16, FW_BOLD, false, true, "Bold, underlined 0123456789"},
            {"Times New Roman", -15, FW_NORMAL, true, false, "Times italic: jumps over"},
            {"Courier New", -13, FW_NORMAL, false, false, "Courier New: {fixed} [pitch]"},
            {"MS Sans Serif", 13, FW_NORMAL, false, false, "MS Sans Serif cell 13 & \x85"},
        };
        int y = 4;
        std::vector<HFONT> made;
        HGDIOBJ old = 0;
        for (const Line& line : lines) {
            LOGFONTA logFont = Font(line.face, line.height, line.weight, line.italic, quality);
            logFont.lfUnderline = line.underline ? 1 : 0;
            made.push_back(CreateFontIndirectA(&logFont));
            HGDIOBJ previous = SelectObject(dc, made.back());
            if (old == 0) old = previous;
            SetTextColor(dc, RGB(0, 0, 128));
            TextOutA(dc, 4, y, line.text, static_cast<int>(std::strlen(line.text)));
            TEXTMETRICA tm{};
            GetTextMetricsA(dc, &tm);
            y += tm.tmHeight + 2;
        }
        // Opaque background, strike-out, right alignment on the base line.
        LOGFONTA struck = Font("Arial", -14, FW_NORMAL, false, quality);
        struck.lfStrikeOut = 1;
        made.push_back(CreateFontIndirectA(&struck));
        SelectObject(dc, made.back());
        SetBkMode(dc, OPAQUE);
        SetBkColor(dc, RGB(255, 255, 160));
        SetTextColor(dc, RGB(160, 0, 0));
        SetTextAlign(dc, TA_RIGHT | TA_BASELINE);
        TextOutA(dc, WIDTH - 4, y + 12, "struck, opaque, right", 21);
        SetTextAlign(dc, TA_LEFT | TA_TOP);
        SetBkMode(dc, TRANSPARENT);
        y += 20;
        // Formatted text: word breaks, centring, a prefix and an end ellipsis.
        SetTextColor(dc, RGB(0, 96, 0));
        RECT box{4, y, WIDTH / 2, HEIGHT - 4};
        const char* prose = "DrawTextExA breaks &words on a narrow box and centres each line.";
        DrawTextA(dc, prose, -1, &box, DT_WORDBREAK | DT_CENTER);
        RECT single{WIDTH / 2 + 4, y, WIDTH - 4, y + 20};
        DrawTextA(dc, "An ellipsis ends a line too long for its box", -1, &single,
                  DT_SINGLELINE | DT_END_ELLIPSIS | DT_VCENTER);
        SelectObject(dc, old);
        for (HFONT font : made)
            DeleteObject(font);
    }

    Picture Drawn() const {
        Picture picture{WIDTH, HEIGHT, std::vector<uint32_t>(static_cast<size_t>(WIDTH) * HEIGHT)};
        for (size_t i = 0; i < picture.pixels.size(); ++i) {
            std::memcpy(&picture.pixels[i], canvas->bits + i * 4, 4);
            picture.pixels[i] &= 0xFFFFFF;
        }
        return picture;
    }

    // Compares with the golden picture, or writes it under ZORV_WRITE_PICTURES.
    void Check(const std::string& name, int tolerance, double share) {
        Picture drawn = Drawn();
        std::filesystem::path path = GoldenPath(name);
        if (std::getenv("ZORV_WRITE_PICTURES") != nullptr) {
            std::filesystem::create_directories(path.parent_path());
            ASSERT_TRUE(platform::WritePngFile(path.string(), drawn.pixels.data(), drawn.width,
                                               drawn.height));
            return;
        }
        Picture golden = ReadPng(path);
        ASSERT_EQ(golden.width, drawn.width) << path << " (ZORV_WRITE_PICTURES=1 writes it)";
        ASSERT_EQ(golden.height, drawn.height);
        size_t differing = 0;
        for (size_t i = 0; i < drawn.pixels.size(); ++i) {
            uint32_t a = drawn.pixels[i], b = golden.pixels[i];
            if (a == b) continue;
            ++differing;
            for (int shift : {0, 8, 16}) {
                int d = static_cast<int>(a >> shift & 0xFF) - static_cast<int>(b >> shift & 0xFF);
                ASSERT_LE(std::abs(d), tolerance)
                    << name << " at " << i % WIDTH << "," << i / WIDTH;
            }
        }
        EXPECT_LE(static_cast<double>(differing), share * static_cast<double>(drawn.pixels.size()))
            << name;
        if (HasFailure()) {
            std::string out = dir.Linux(name);
            platform::WritePngFile(out, drawn.pixels.data(), drawn.width, drawn.height);
            ADD_FAILURE() << "drawn: " << out;
        }
    }

    std::unique_ptr<gdi_test::Canvas> canvas;
};

TEST_F(TextGolden, SolidTextIsExact) {
    DrawSheet(NONANTIALIASED_QUALITY);
    Check("text_mono.png", 0, 0.0);
}

TEST_F(TextGolden, GreyTextIsClose) {
    DrawSheet(ANTIALIASED_QUALITY);
    Check("text_grey.png", 16, 0.005);
}

} // namespace
