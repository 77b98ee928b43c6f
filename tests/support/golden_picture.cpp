#include "support/golden_picture.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdlib>

#include "platform/display/png_dump.h"

namespace test_support {

bool ReadPngPicture(const std::filesystem::path& path, platform::headless::Pixels& picture) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
    image.format = PNG_FORMAT_BGRA;
    picture.data.assign(static_cast<size_t>(image.width) * image.height, 0);
    if (!png_image_finish_read(&image, nullptr, picture.data.data(), 0, nullptr)) return false;
    picture.width = static_cast<int>(image.width);
    picture.height = static_cast<int>(image.height);
    for (uint32_t& pixel : picture.data)
        pixel &= 0xFFFFFF;
    return true;
}

void ExpectLikeGolden(const std::filesystem::path& golden,
                      const platform::headless::Pixels& drawn) {
    if (std::getenv("ZORV_WRITE_PICTURES") != nullptr) {
        std::filesystem::create_directories(golden.parent_path());
        ASSERT_TRUE(
            platform::WritePngFile(golden.string(), drawn.data.data(), drawn.width, drawn.height));
        return;
    }
    platform::headless::Pixels expected;
    ASSERT_TRUE(ReadPngPicture(golden, expected)) << golden << " (ZORV_WRITE_PICTURES=1 writes it)";
    ASSERT_EQ(expected.width, drawn.width) << golden;
    ASSERT_EQ(expected.height, drawn.height) << golden;
    size_t differing = 0;
    for (size_t i = 0; i < drawn.data.size(); ++i) {
        uint32_t a = drawn.data[i], b = expected.data[i];
        if (a == b) continue;
        ++differing;
        for (int shift : {0, 8, 16}) {
            int d = static_cast<int>(a >> shift & 0xFF) - static_cast<int>(b >> shift & 0xFF);
            ASSERT_LE(std::abs(d), 16) << golden << " at " << i % size_t(drawn.width) << ","
                                       << i / size_t(drawn.width);
        }
    }
    EXPECT_LE(double(differing), 0.01 * double(drawn.data.size())) << golden;
}

} // namespace test_support
