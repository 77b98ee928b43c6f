// Pictures between the clipboard and other programs, which exchange them as files: a packed
// bitmap goes out as a PNG file; a PNG or BMP file another program offers comes in as a
// packed bitmap.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/kernel/win_types.h"

namespace platform {

// A PNG file of the packed bitmap in global block `dib`; empty when the block holds none.
std::vector<uint8_t> PngFromPackedDib(HGLOBAL dib);
// A new global block with the packed bitmap of a PNG or BMP file's bytes, or 0 when they
// hold neither, or a picture larger than kMaxDesktopPicturePixels.
HGLOBAL PackedDibFromPicture(const std::vector<uint8_t>& file);

inline constexpr int64_t kMaxDesktopPicturePixels = int64_t{1} << 24;

} // namespace platform
