#include "support/image_diff.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/display/png_dump.h"
#include "support/golden_picture.h"

namespace test_support {

namespace {

constexpr uint32_t kDifferent = 0xFF00FF;

bool WritePicture(const std::filesystem::path& path, const platform::headless::Pixels& picture) {
    return platform::WritePngFile(path.string(), picture.data.data(), picture.width,
                                  picture.height);
}

} // namespace

platform::headless::Pixels DiffPicture(const platform::headless::Pixels& golden,
                                       const platform::headless::Pixels& drawn) {
    platform::headless::Pixels diff;
    diff.width = drawn.width;
    diff.height = drawn.height;
    diff.data.assign(drawn.data.size(), kDifferent);
    if (golden.width != drawn.width || golden.height != drawn.height) return diff;
    for (size_t i = 0; i < drawn.data.size(); ++i)
        if (golden.data[i] == drawn.data[i])
            diff.data[i] = (golden.data[i] >> 2 & 0x3F3F3F) + (golden.data[i] >> 4 & 0x0F0F0F);
    return diff;
}

void ExpectSameAsGolden(const std::filesystem::path& golden,
                        const platform::headless::Pixels& drawn) {
    if (std::getenv("ZORV_WRITE_GOLDEN") != nullptr) {
        std::filesystem::create_directories(golden.parent_path());
        ASSERT_TRUE(WritePicture(golden, drawn)) << golden;
        return;
    }
    platform::headless::Pixels expected;
    const bool read = ReadPngPicture(golden, expected);
    size_t differing = 0;
    int firstX = -1, firstY = -1;
    if (read && expected.width == drawn.width && expected.height == drawn.height) {
        for (size_t i = 0; i < drawn.data.size(); ++i) {
            if (drawn.data[i] == expected.data[i]) continue;
            if (differing++ == 0) {
                firstX = int(i % size_t(drawn.width));
                firstY = int(i / size_t(drawn.width));
            }
        }
        if (differing == 0) return;
    }
    const std::filesystem::path folder = std::filesystem::current_path() / "image-diff";
    std::filesystem::create_directories(folder);
    const std::string stem = golden.stem().string();
    const std::filesystem::path drawnPath = folder / (stem + ".drawn.png");
    const std::filesystem::path diffPath = folder / (stem + ".diff.png");
    const bool written =
        WritePicture(drawnPath, drawn) && WritePicture(diffPath, DiffPicture(expected, drawn));
    if (!read) {
        ADD_FAILURE() << golden
                      << " cannot be read (ZORV_WRITE_GOLDEN=1 writes it); drawn: " << drawnPath;
    } else if (expected.width != drawn.width || expected.height != drawn.height) {
        ADD_FAILURE() << golden << " is " << expected.width << " x " << expected.height
                      << ", the drawing " << drawn.width << " x " << drawn.height
                      << "; drawn: " << drawnPath;
    } else {
        ADD_FAILURE() << golden << ": " << differing << " pixels differ, the first at " << firstX
                      << "," << firstY << " (drawn 0x" << std::hex << drawn.At(firstX, firstY)
                      << ", golden 0x" << expected.At(firstX, firstY) << std::dec
                      << "); drawn: " << drawnPath << ", diff: " << diffPath;
    }
    EXPECT_TRUE(written) << "the pictures could not be written into " << folder;
}

} // namespace test_support
