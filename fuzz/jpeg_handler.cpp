// JPEG files arrive from disk, banks and the clipboard: any bytes must be refused or
// decoded inside the picture, at every output depth, without leaks, and library errors
// must come back as result codes.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "foundation/streams/mem_in_stream.h"
#include "graphics2d/formats/jpeg_handler.h"

namespace {

// Small enough to keep the fuzzer fast; larger headers are opened but not decoded.
constexpr uint64_t kMaxPictureBytes = 1 << 22;

ImagePalette MakeGreyPalette() {
    ImagePalette palette{};
    palette.version = 0x300;
    palette.count = 256;
    for (int i = 0; i < 256; i++)
        palette.entries[i] = {uint8_t(i), uint8_t(i), uint8_t(i), 0};
    return palette;
}

const ImagePalette kGrey = MakeGreyPalette();

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > UINT32_MAX) return 0;
    const unsigned choice = size > 0 ? data[size - 1] : 0;
    CMemInStream stream;
    stream.Attach(data, static_cast<uint32_t>(size));
    CJPEGHandler handler;
    if (handler.Open(stream) != kImageOk) return 0;
    static const int kDepths[] = {24, 8, 15, 16, 32};
    const int depth = kDepths[choice % 5];
    if (handler.SetOutputFormat(depth, depth == 8 ? &kGrey : nullptr) != kImageOk) return 0;
    const uint64_t pitch = uint64_t(handler.GetWidth()) * ((depth + 1) / 8);
    if (pitch * handler.GetHeight() > kMaxPictureBytes) return 0;
    std::vector<uint8_t> pixels(pitch * handler.GetHeight());
    const bool bottomUp = choice & 8;
    uint8_t* first = bottomUp ? pixels.data() + pixels.size() - pitch : pixels.data();
    handler.ReadFrame(stream, first, bottomUp ? -int32_t(pitch) : int32_t(pitch), nullptr);
    return 0;
}
