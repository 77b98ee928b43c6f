#include <algorithm>
#include <vector>

#include "graphics2d/blitter/pixel_traits.h"
#include "graphics2d/palette/palette.h"
#include "graphics2d/surfaces/surface.h"
#include "graphics2d/surfaces/surface_filters.h"

namespace {

uint32_t SmoothNine(const uint32_t* c, const uint8_t* m) {
    if (m[4] || (!m[1] && !m[7]) || (!m[3] && !m[5])) return c[4];
    uint32_t result = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const uint32_t centre = c[4] >> shift & 0xFF;
        uint32_t sum = 12 * centre;
        for (int i = 0; i < 9; i++) {
            if (i == 4) continue;
            const uint32_t weight = i % 2 ? 2 : 1;
            sum += weight * (m[i] ? c[i] >> shift & 0xFF : centre);
        }
        result |= (sum / 24) << shift;
    }
    return result;
}

} // namespace

uint32_t SmoothEdges(const uint32_t* colours, const uint8_t* coverage, uint32_t) {
    return SmoothNine(colours, coverage);
}

uint32_t SmoothEdgesOverColor(const uint32_t* colours, const uint8_t* coverage, uint32_t param) {
    uint32_t replaced[9];
    for (int i = 0; i < 9; i++)
        replaced[i] = colours[i] ? colours[i] : param & 0xFFFFFF;
    return SmoothNine(replaced, coverage);
}

int cSurface::FilterTo(cSurface* destination, int32_t dx, int32_t dy, int32_t sx, int32_t sy,
                       int32_t width, int32_t height, int32_t kernelWidth, int32_t kernelHeight,
                       int32_t anchorX, int32_t anchorY, SurfaceFilter filter, uint32_t param) {
    if (!destination || destination->IsDeviceOnly() || !filter ||
        destination->bits_.depth != bits_.depth || kernelWidth <= 0 || kernelHeight <= 0 ||
        int64_t(kernelWidth) * kernelHeight > 1024)
        return 0;
    const SurfaceBits& d = destination->bits_;
    if (d.formatIndex == kFormat8 &&
        (!bits_.palette || !d.palette || !Palette_BuildInverse(d.palette)))
        return 0;
    if (!ClipCopy(*destination, &dx, &dy, &sx, &sy, &width, &height)) return 0;
    if (!Lock()) return 0;
    if (!destination->Lock()) {
        Unlock();
        return 0;
    }
    // The destination area widened by the kernel, as it was before any pixel is written;
    // what lies outside the destination reads as a pixel of value 0.
    const int64_t spanX = int64_t(width) + kernelWidth - 1;
    const int64_t spanY = int64_t(height) + kernelHeight - 1;
    const int64_t left = int64_t(dx) - anchorX, top = int64_t(dy) - anchorY;
    const uint32_t zeroColour = d.formatIndex == kFormat8 ? IndexColor(d.palette, 0) : 0;
    std::vector<uint32_t> area;
    area.reserve(size_t(spanX * spanY));
    for (int64_t y = top; y < top + spanY; y++)
        for (int64_t x = left; x < left + spanX; x++) {
            if (x < 0 || y < 0 || x >= d.width || y >= d.height) {
                area.push_back(zeroColour);
                continue;
            }
            const uint32_t raw = d.formatOps->GetPixel(&d, int32_t(x), int32_t(y));
            area.push_back(d.formatIndex == kFormat8 ? IndexColor(d.palette, raw) : raw);
        }
    const auto covered = [&](int64_t x, int64_t y) -> uint8_t {
        if (x < 0 || y < 0 || x >= bits_.width || y >= bits_.height) return 0;
        const uint8_t* p = PixelAddress(&bits_, int32_t(x), int32_t(y));
        for (int32_t k = 0; k < bits_.bytesPerPixel; k++)
            if (p[k]) return 1;
        return 0;
    };
    std::vector<uint32_t> colours(size_t(kernelWidth) * kernelHeight);
    std::vector<uint8_t> coverage(colours.size());
    for (int32_t row = 0; row < height; row++)
        for (int32_t column = 0; column < width; column++) {
            size_t k = 0;
            for (int32_t j = 0; j < kernelHeight; j++)
                for (int32_t i = 0; i < kernelWidth; i++, k++) {
                    colours[k] = area[size_t((row + j) * spanX + column + i)];
                    coverage[k] = covered(int64_t(sx) + column + i - anchorX,
                                          int64_t(sy) + row + j - anchorY);
                }
            const uint32_t result = filter(colours.data(), coverage.data(), param);
            d.formatOps->PutPixel(&d, dx + column, dy + row, result & 0xFFFFFF);
        }
    destination->Unlock();
    Unlock();
    return 1;
}
