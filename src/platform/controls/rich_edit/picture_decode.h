// Decodes the pictures a rich edit shows from bytes that come from outside: PNG, JPEG
// (baseline and progressive, grey or colour) and packed device-independent bitmaps (the
// header, the colour table and the rows, as \dibitmap holds them). Every picture of more
// than kMaxPicturePixels or of a form not read here is refused; nothing reads past the
// bytes given.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace platform {

inline constexpr int64_t kMaxPicturePixels = int64_t{1} << 22;

struct DecodedPicture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels; // rows top first, 0xAARRGGBB
};

bool DecodePng(std::string_view data, DecodedPicture& out);
bool DecodeJpeg(std::string_view data, DecodedPicture& out);
bool DecodeDib(std::string_view data, DecodedPicture& out);

} // namespace platform
