// Exact comparison of a drawn picture with a golden PNG, for drawings that must come out
// bit for bit the same on every machine (the software renderer's frames). On a difference
// the drawn picture and a diff picture are written into image-diff/ under the test's
// working directory (the build's test folder) and named in the failure. With
// ZORV_WRITE_GOLDEN set the golden is written from the drawing instead.
#pragma once

#include <filesystem>

#include "platform/display/headless_display.h"

namespace test_support {

// The diff picture: the golden dimmed to about a third, every differing pixel magenta.
platform::headless::Pixels DiffPicture(const platform::headless::Pixels& golden,
                                       const platform::headless::Pixels& drawn);

void ExpectSameAsGolden(const std::filesystem::path& golden,
                        const platform::headless::Pixels& drawn);

} // namespace test_support
