// Reference pictures of whole drawings (windows, menus, frames) drawn with the pinned font
// set: every channel within 16 of the golden PNG on at most 1% of the pixels, since FreeType
// versions round glyph coverage differently. With ZORV_WRITE_PICTURES set the golden is
// written from the drawing instead.
#pragma once

#include <filesystem>

#include "platform/display/headless_display.h"

namespace test_support {

// Reads a PNG into 0xRRGGBB pixels, rows top down; false when it cannot.
bool ReadPngPicture(const std::filesystem::path& path, platform::headless::Pixels& picture);

void ExpectLikeGolden(const std::filesystem::path& golden,
                      const platform::headless::Pixels& drawn);

} // namespace test_support
