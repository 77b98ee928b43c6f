#include "platform/media/movie/offscreen_world.h"

#include <cstring>

namespace platform::movie {

namespace {

constexpr int32_t kMaxSide = 16384;

uint8_t Closest(const std::vector<uint32_t>& colours, uint32_t rgb) {
    int32_t r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
    int32_t best = 0;
    int32_t bestDistance = INT32_MAX;
    for (size_t i = 0; i < colours.size(); ++i) {
        int32_t dr = r - static_cast<int32_t>((colours[i] >> 16) & 0xFF);
        int32_t dg = g - static_cast<int32_t>((colours[i] >> 8) & 0xFF);
        int32_t db = b - static_cast<int32_t>(colours[i] & 0xFF);
        int32_t distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = static_cast<int32_t>(i);
        }
    }
    return static_cast<uint8_t>(best);
}

void Store(uint8_t* at, PixelFormat format, uint32_t rgb) {
    uint32_t r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
    switch (format) {
    case PixelFormat::L555: {
        uint16_t word = static_cast<uint16_t>(((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3));
        at[0] = static_cast<uint8_t>(word);
        at[1] = static_cast<uint8_t>(word >> 8);
        break;
    }
    case PixelFormat::L565: {
        uint16_t word = static_cast<uint16_t>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
        at[0] = static_cast<uint8_t>(word);
        at[1] = static_cast<uint8_t>(word >> 8);
        break;
    }
    case PixelFormat::BG24:
        at[0] = static_cast<uint8_t>(b);
        at[1] = static_cast<uint8_t>(g);
        at[2] = static_cast<uint8_t>(r);
        break;
    case PixelFormat::BGRA:
        at[0] = static_cast<uint8_t>(b);
        at[1] = static_cast<uint8_t>(g);
        at[2] = static_cast<uint8_t>(r);
        // Left 0 as in every 32-bit DIB and Surface of the system, which keep no alpha.
        at[3] = 0;
        break;
    case PixelFormat::Indexed8:
        break;
    }
}

uint32_t Expand5(uint32_t v) {
    return (v << 3) | (v >> 2);
}

} // namespace

PixelFormat FormatForDepth(int32_t depth) {
    if (depth <= 8) return PixelFormat::Indexed8;
    switch (depth) {
    case 15:
        return PixelFormat::L555;
    case 16:
        return PixelFormat::L565;
    case 24:
        return PixelFormat::BG24;
    default:
        return PixelFormat::BGRA;
    }
}

int32_t BytesPerPixel(PixelFormat format) {
    switch (format) {
    case PixelFormat::L555:
    case PixelFormat::L565:
        return 2;
    case PixelFormat::BG24:
        return 3;
    case PixelFormat::BGRA:
        return 4;
    case PixelFormat::Indexed8:
        return 1;
    }
    return 4;
}

bool MakeWorld(OffscreenWorld& world, int32_t width, int32_t height, PixelFormat format,
               std::vector<uint32_t> colours) {
    if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) return false;
    if (format == PixelFormat::Indexed8 && (colours.empty() || colours.size() > 256)) return false;
    world.width = width;
    world.height = height;
    world.format = format;
    world.stride = (width * BytesPerPixel(format) + 3) & ~3;
    world.pixels.assign(static_cast<size_t>(world.stride) * height, 0);
    world.colours = format == PixelFormat::Indexed8 ? std::move(colours) : std::vector<uint32_t>{};
    return true;
}

void DrawPicture(const Picture& picture, OffscreenWorld& world) {
    if (picture.width < 1 || picture.height < 1 || world.pixels.empty()) return;
    int32_t bytes = BytesPerPixel(world.format);
    // Indexed worlds look each colour up once per run of equal pixels: movies are mostly runs.
    uint32_t lastColour = 0xFFFFFFFF;
    uint8_t lastIndex = 0;
    for (int32_t y = 0; y < world.height; ++y) {
        int32_t sourceY = static_cast<int32_t>(int64_t(y) * picture.height / world.height);
        const uint32_t* row = picture.pixels.data() + static_cast<size_t>(sourceY) * picture.width;
        uint8_t* out = world.pixels.data() + static_cast<size_t>(y) * world.stride;
        for (int32_t x = 0; x < world.width; ++x, out += bytes) {
            uint32_t rgb = row[int64_t(x) * picture.width / world.width];
            if (world.format != PixelFormat::Indexed8) {
                Store(out, world.format, rgb);
                continue;
            }
            if (rgb != lastColour) {
                lastColour = rgb;
                lastIndex = Closest(world.colours, rgb);
            }
            *out = lastIndex;
        }
    }
}

uint32_t PixelAt(const OffscreenWorld& world, int32_t x, int32_t y) {
    const uint8_t* at = world.pixels.data() + static_cast<size_t>(y) * world.stride +
                        static_cast<size_t>(x) * BytesPerPixel(world.format);
    switch (world.format) {
    case PixelFormat::L555: {
        uint32_t word = at[0] | (at[1] << 8);
        return (Expand5((word >> 10) & 31) << 16) | (Expand5((word >> 5) & 31) << 8) |
               Expand5(word & 31);
    }
    case PixelFormat::L565: {
        uint32_t word = at[0] | (at[1] << 8);
        uint32_t g = (word >> 5) & 63;
        return (Expand5(word >> 11) << 16) | (((g << 2) | (g >> 4)) << 8) | Expand5(word & 31);
    }
    case PixelFormat::BG24:
    case PixelFormat::BGRA:
        return (uint32_t(at[2]) << 16) | (uint32_t(at[1]) << 8) | at[0];
    case PixelFormat::Indexed8:
        return at[0] < world.colours.size() ? world.colours[at[0]] : 0;
    }
    return 0;
}

} // namespace platform::movie
