// The off-screen pictures movies draw into when they play into a Surface or a Texture, in the
// pixel formats of the target's depth: 5-5-5 and 5-6-5 little-endian words, blue-green-red
// bytes, blue-green-red-alpha words, or 8-bit indexes into the target's colour table.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/media/movie/media.h"

namespace platform::movie {

enum class PixelFormat {
    L555,
    L565,
    BG24,
    BGRA,
    Indexed8,
};

struct OffscreenWorld {
    int32_t width = 0;
    int32_t height = 0;
    PixelFormat format = PixelFormat::BGRA;
    // Bytes from one row to the next, a multiple of 4; rows top down.
    int32_t stride = 0;
    std::vector<uint8_t> pixels;
    // 0x00RRGGBB colours of Indexed8 worlds.
    std::vector<uint32_t> colours;
};

// The format of a target of `depth` bits: 8 or less indexed, 15, 16, 24 and 32 their own.
// Other depths take 32-bit pixels, which every target can be copied from.
PixelFormat FormatForDepth(int32_t depth);
int32_t BytesPerPixel(PixelFormat format);

// False for sizes outside 1 .. 16384, or an indexed world without colours (at most 256).
bool MakeWorld(OffscreenWorld& world, int32_t width, int32_t height, PixelFormat format,
               std::vector<uint32_t> colours = {});

// `picture` stretched over the whole world (nearest pixel), in the world's format; indexed
// worlds take the closest colour of their table.
void DrawPicture(const Picture& picture, OffscreenWorld& world);

// The pixel at x, y as 0x00RRGGBB.
uint32_t PixelAt(const OffscreenWorld& world, int32_t x, int32_t y);

} // namespace platform::movie
