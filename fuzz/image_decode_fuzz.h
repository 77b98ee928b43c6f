// Shared body of the still-image fuzz targets: opening and decoding must survive any
// bytes, at every output depth, with the rows in either order and with or without an
// alpha mask. The first input byte picks the output format; the rest is the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "foundation/streams/mem_in_stream.h"
#include "graphics2d/formats/image_format_handler.h"

namespace image_fuzz {

// Pictures larger than this are skipped so the fuzzer's memory stays small.
constexpr uint64_t kPixelLimit = 1 << 22;

inline ImagePalette GreyRamp() {
    ImagePalette palette{0x300, 256, {}};
    for (int i = 0; i < 256; i++)
        palette.entries[i] = {uint8_t(i), uint8_t(i), uint8_t(i), 0};
    return palette;
}

inline int DecodeOnce(CImageFormatHandler& handler, const uint8_t* data, size_t size) {
    if (size < 1 || size > UINT32_MAX) return 0;
    const uint8_t choice = data[0];
    CMemInStream stream;
    stream.Attach(data + 1, static_cast<uint32_t>(size - 1));
    uint32_t magic = 0;
    if (stream.ReadLong(&magic) == kResultOk) handler.CanRead(stream, magic);
    stream.Seek(0, 0);
    if (handler.Open(stream) != kImageOk) return 0;
    const int64_t width = handler.GetWidth(), height = handler.GetHeight();
    if (static_cast<uint64_t>(width * height) > kPixelLimit) return 0;

    static const int kDepths[] = {8, 15, 16, 24, 32};
    static const ImagePalette kGrey = GreyRamp();
    const int depth = kDepths[choice % 5];
    const ImagePalette* palette = (choice & 8) ? &kGrey : handler.GetPalette();
    if (handler.SetOutputFormat(depth, palette) != kImageOk) return 0;
    const int64_t pitch = (width * (depth == 15 ? 16 : depth) + 31) / 32 * 4;
    std::vector<uint8_t> pixels(static_cast<size_t>(pitch * height));
    std::vector<uint8_t> mask(static_cast<size_t>(width * height));
    uint8_t* dest = pixels.data();
    int32_t step = static_cast<int32_t>(pitch);
    if (choice & 16) {
        dest += (height - 1) * pitch;
        step = -step;
    }
    handler.ReadFrame(stream, dest, step, (choice & 32) ? mask.data() : nullptr);
    return 0;
}

} // namespace image_fuzz
