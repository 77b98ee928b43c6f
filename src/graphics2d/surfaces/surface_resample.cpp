#include "graphics2d/surfaces/surface_resample.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <new>

namespace {

// A 24-bit picture in plain memory, with the description the format routines take.
struct ColourBuffer {
    std::vector<uint8_t> bytes;
    SurfaceBits bits{};

    bool Make(int32_t width, int32_t height) {
        const int64_t pitch = int64_t(width) * 3;
        try {
            bytes.assign(size_t(pitch * height), 0);
        } catch (const std::bad_alloc&) {
            return false;
        }
        bits.width = width;
        bits.height = height;
        bits.clipRight = width;
        bits.clipBottom = height;
        bits.depth = 24;
        bits.formatIndex = kFormat24;
        bits.memoryBlock = bits.pixels = bytes.data();
        bits.pitch = bits.signedPitch = int32_t(pitch);
        bits.bytesPerPixel = 3;
        bits.formatOps = GetPixelFormatOps(kFormat24);
        return true;
    }
};

uint8_t Weighted(int64_t sum) {
    return uint8_t((32768 + std::min<int64_t>(std::max<int64_t>(sum, 0), 0xFF0000)) >> 16);
}

// Each output pixel of a row from the taps over the input row.
void FilterRow(const ResampleWeights& weights, const uint8_t* in, uint8_t* out) {
    constexpr ptrdiff_t stride = 3;
    for (const ResampleTaps& tap : weights.taps) {
        const int32_t* factor = weights.factors.data() + tap.offset;
        int64_t b = 0, g = 0, r = 0;
        const uint8_t* p = in + tap.first * stride;
        for (int32_t k = 0; k < tap.count; k++, p += stride) {
            b += int64_t(factor[k]) * p[0];
            g += int64_t(factor[k]) * p[1];
            r += int64_t(factor[k]) * p[2];
        }
        out[0] = Weighted(b);
        out[1] = Weighted(g);
        out[2] = Weighted(r);
        out += 3;
    }
}

} // namespace

ResampleWeights BuildResampleWeights(int32_t destinationCount, int32_t sourceCount) {
    ResampleWeights result;
    const double scale = double(destinationCount) / sourceCount;
    const double radius = scale < 1 ? 1 / scale : 1;
    const double factor = scale < 1 ? scale : 1;
    const int64_t kernel = 2 * int64_t(std::ceil(radius)) + 1;
    std::vector<double> w;
    result.taps.reserve(size_t(destinationCount));
    for (int32_t i = 0; i < destinationCount; i++) {
        const double centre = i / scale;
        int64_t first = std::max<int64_t>(0, int64_t(std::floor(centre - radius)));
        int64_t last = std::min<int64_t>(sourceCount - 1, int64_t(std::ceil(centre + radius)));
        if (last - first + 1 > kernel) {
            if (first < sourceCount)
                first++;
            else
                last--;
        }
        w.clear();
        for (int64_t j = first; j <= last; j++) {
            const double d = std::fabs(centre - double(j)) * factor;
            w.push_back(d < 1 ? ((1 - d) + 2 * (1 - d) * (1 - d)) / 3 * factor : 0);
        }
        size_t begin = 0, end = w.size();
        while (end - begin > 1 && w[begin] == 0)
            begin++;
        while (end - begin > 1 && w[end - 1] == 0)
            end--;
        double sum = 0;
        for (size_t k = begin; k < end; k++)
            sum += w[k];
        ResampleTaps tap{int32_t(first + int64_t(begin)), int32_t(end - begin),
                         result.factors.size()};
        for (size_t k = begin; k < end; k++)
            result.factors.push_back(int32_t((sum > 0 ? w[k] / sum : w[k]) * 65536));
        result.taps.push_back(tap);
    }
    return result;
}

bool ResampleSurface(const SurfaceBits& target, const SurfaceBits& source, int32_t sx, int32_t sy,
                     int32_t sw, int32_t sh) {
    const int32_t dw = target.width, dh = target.height;
    ColourBuffer in, between, out;
    if (!in.Make(sw, sh)) return false;
    source.formatOps->ConvertCopy(&in.bits, 0, 0, &source, sx, sy, sw, sh);
    const ColourBuffer* rows = &in;
    try {
        if (dw != sw) {
            if (!between.Make(dw, sh)) return false;
            const ResampleWeights weights = BuildResampleWeights(dw, sw);
            for (int32_t y = 0; y < sh; y++)
                FilterRow(weights, in.bytes.data() + size_t(y) * size_t(in.bits.pitch),
                          between.bytes.data() + size_t(y) * size_t(between.bits.pitch));
            rows = &between;
        }
        if (dh != sh) {
            if (!out.Make(dw, dh)) return false;
            // Row by row, so each pass over memory reads whole rows.
            const ResampleWeights weights = BuildResampleWeights(dh, sh);
            const size_t rowBytes = size_t(dw) * 3;
            std::vector<int64_t> sums(rowBytes);
            for (int32_t y = 0; y < dh; y++) {
                const ResampleTaps& tap = weights.taps[size_t(y)];
                std::fill(sums.begin(), sums.end(), 0);
                for (int32_t k = 0; k < tap.count; k++) {
                    const int64_t factor = weights.factors[tap.offset + size_t(k)];
                    const uint8_t* row =
                        rows->bytes.data() + size_t(tap.first + k) * size_t(rows->bits.pitch);
                    for (size_t i = 0; i < rowBytes; i++)
                        sums[i] += factor * row[i];
                }
                uint8_t* target = out.bytes.data() + size_t(y) * size_t(out.bits.pitch);
                for (size_t i = 0; i < rowBytes; i++)
                    target[i] = Weighted(sums[i]);
            }
            rows = &out;
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    rows->bits.formatOps->ConvertCopy(&target, 0, 0, &rows->bits, 0, 0, dw, dh);
    return true;
}
