// Each of the eleven effects over a test picture against its reference picture in golden/:
// at most 0.5% of the pixels may differ by more than 8 in a channel. With
// ZORV_WRITE_PICTURES=1 the references are written from the drawing instead.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/display/png_dump.h"
#include "platform/media/movie/effects.h"
#include "support/golden_picture.h"

namespace {

using namespace platform::movie;

// A gradient with a light disc and a dark bar: edges, flat parts and every level.
Picture TestPicture() {
    Picture p{96, 72, std::vector<uint32_t>(96 * 72)};
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            uint32_t colour = uint32_t(x * 255 / 95) << 16 | uint32_t(y * 255 / 71) << 8 | 0x60;
            int dx = x - 60, dy = y - 30;
            if (dx * dx + dy * dy < 225) colour = 0xF0E0A0;
            if (x > 10 && x < 40 && y > 45 && y < 55) colour = 0x202040;
            p.pixels[size_t(y) * p.width + x] = colour;
        }
    return p;
}

struct Case {
    EffectKind kind;
    const char* name;
    std::vector<double> values;
};

TEST(EffectsGolden, EachEffectLooksAsItsPicture) {
    const Case cases[] = {
        {EffectKind::Blur, "blur", {2, 0}},
        {EffectKind::ColorStyle, "color_style", {60, 100, 4}},
        {EffectKind::ColorTint, "color_tint", {0xFFE0B0, 10, 0x402000, 20}},
        {EffectKind::EdgeDetection, "edge_detection", {1, 1}},
        {EffectKind::Emboss, "emboss", {1}},
        {EffectKind::FilmNoise, "film_noise", {2, 40, 40, 30, 40, 30, 5, 2}},
        {EffectKind::RGBBalance, "rgb_balance", {1.5, 0.8, 0.5}},
        {EffectKind::Ripple, "ripple", {4}},
        {EffectKind::Sharpen, "sharpen", {1, 2}},
        {EffectKind::Cloud, "cloud", {0xFFFFFF, 0x4080C0}},
        {EffectKind::Fire, "fire", {50, 20, 60, 30}},
    };
    const char* write = std::getenv("ZORV_WRITE_PICTURES");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Picture p = TestPicture();
        ApplyEffect(MakeEffect(c.kind, c.values), 900, p);
        const std::filesystem::path golden = std::filesystem::path(__FILE__).parent_path() /
                                             "golden" / (std::string("effect_") + c.name + ".png");
        if (write != nullptr && write[0] == '1') {
            ASSERT_TRUE(
                platform::WritePngFile(golden.string(), p.pixels.data(), p.width, p.height));
            continue;
        }
        platform::headless::Pixels expected;
        ASSERT_TRUE(test_support::ReadPngPicture(golden, expected)) << golden;
        ASSERT_EQ(expected.width, p.width);
        ASSERT_EQ(expected.height, p.height);
        size_t off = 0;
        for (size_t i = 0; i < p.pixels.size(); ++i)
            for (int shift : {0, 8, 16})
                if (std::abs(int(p.pixels[i] >> shift & 0xFF) -
                             int(expected.data[i] >> shift & 0xFF)) > 8) {
                    ++off;
                    break;
                }
        EXPECT_LE(off * 200, p.pixels.size()) << off << " pixels differ";
    }
}

} // namespace
