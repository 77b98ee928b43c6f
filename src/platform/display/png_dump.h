// Pictures written out as PNG files, for looking at what a window shows and for comparing
// it with a reference picture.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// Writes `width` x `height` pixels (0x00RRGGBB, rows top first) as an 8-bit RGB PNG file
// at a Linux path, replacing what is there. False, with no file left behind, when the
// picture is empty or the file cannot be written whole.
bool WritePngFile(const std::string& linuxPath, const uint32_t* pixels, int width, int height);

} // namespace platform
