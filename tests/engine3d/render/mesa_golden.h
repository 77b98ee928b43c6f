// Pixel comparisons shared by the GL back ends' tests: the distance of two colours, and our
// own frames held against goldens kept per Mesa major version.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "platform/display/headless_display.h"
#include "platform/display/png_dump.h"
#include "support/golden_picture.h"

namespace render_test {

// The largest difference of the red, green and blue channels.
inline int ChannelDistance(uint32_t a, uint32_t b) {
    int worst = 0;
    for (int shift : {0, 8, 16})
        worst = std::max(worst, std::abs(int(a >> shift & 0xFF) - int(b >> shift & 0xFF)));
    return worst;
}

// Within 4 of the golden tests/engine3d/render/golden/<backEnd>/<mesa>/<name>.png in every
// channel on at least 99.5% of the pixels; `mesa` ("mesa23") is empty for another OpenGL.
// ZORV_WRITE_GOLDEN=1 writes the golden (look at it before committing).
inline void ExpectLikeMesaGolden(const platform::headless::Pixels& drawn,
                                 const std::string& backEnd, const std::string& mesa,
                                 const std::string& name) {
    if (mesa.empty()) GTEST_SKIP() << "not Mesa";
    const std::filesystem::path golden = std::filesystem::path(ZORV_SOURCE_DIR) /
                                         "tests/engine3d/render/golden" / backEnd / mesa /
                                         (name + ".png");
    if (std::getenv("ZORV_WRITE_GOLDEN") != nullptr) {
        std::filesystem::create_directories(golden.parent_path());
        ASSERT_TRUE(
            platform::WritePngFile(golden.string(), drawn.data.data(), drawn.width, drawn.height));
        return;
    }
    platform::headless::Pixels expected;
    if (!test_support::ReadPngPicture(golden, expected))
        GTEST_SKIP() << "no golden for " << mesa << " (ZORV_WRITE_GOLDEN=1 writes one)";
    ASSERT_EQ(drawn.width, expected.width);
    ASSERT_EQ(drawn.height, expected.height);
    int off = 0;
    for (size_t i = 0; i < drawn.data.size(); ++i)
        off += ChannelDistance(drawn.data[i], expected.data[i]) > 4 ? 1 : 0;
    EXPECT_LE(off, drawn.width * drawn.height / 200)
        << off << " pixels further than 4 from " << golden;
}

} // namespace render_test
