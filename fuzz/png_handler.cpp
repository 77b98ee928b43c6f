// PNG files arrive from disk, banks and the clipboard: any bytes must be refused or
// decoded inside the picture, at every output depth, without leaks. Each input is also
// decoded with its chunk checksums made right, so that mutations reach libpng's decoding
// instead of stopping at the checksum.
#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "foundation/streams/mem_in_stream.h"
#include "graphics2d/formats/png_handler.h"

namespace {

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

// Decodes at an output depth the input picks, rows top-down or bottom-up.
void Decode(const uint8_t* data, size_t size, unsigned choice) {
    CMemInStream stream;
    stream.Attach(data, static_cast<uint32_t>(size));
    CPNGHandler handler;
    if (handler.Open(stream) != kImageOk) return;
    static const int kDepths[] = {0, 8, 15, 16, 24, 32};
    int depth = kDepths[choice % 6];
    if (depth == 0) depth = handler.GetDepth();
    const ImagePalette* palette = nullptr;
    if (depth == 8) palette = handler.GetPalette() != nullptr ? handler.GetPalette() : &kGrey;
    if (handler.SetOutputFormat(depth, palette) != kImageOk) return;
    const uint64_t pitch = uint64_t(handler.GetWidth()) * ((depth + 1) / 8);
    if (pitch * handler.GetHeight() > kMaxPictureBytes) return;
    std::vector<uint8_t> pixels(pitch * handler.GetHeight());
    const bool bottomUp = choice & 8;
    uint8_t* first = bottomUp ? pixels.data() + pixels.size() - pitch : pixels.data();
    handler.ReadFrame(stream, first, bottomUp ? -int32_t(pitch) : int32_t(pitch), nullptr);
}

// Sets every chunk's CRC to match its type and data; false when nothing changed.
bool FixChecksums(std::vector<uint8_t>& file) {
    bool changed = false;
    size_t at = 8;
    while (at + 12 <= file.size()) {
        const uint32_t length =
            uint32_t(file[at]) << 24 | file[at + 1] << 16 | file[at + 2] << 8 | file[at + 3];
        if (length > file.size() - at - 12) break;
        const uint32_t crc = static_cast<uint32_t>(crc32(0, &file[at + 4], length + 4));
        uint8_t* stored = &file[at + 8 + length];
        const uint8_t bytes[4] = {uint8_t(crc >> 24), uint8_t(crc >> 16), uint8_t(crc >> 8),
                                  uint8_t(crc)};
        for (int i = 0; i < 4; i++) {
            changed |= stored[i] != bytes[i];
            stored[i] = bytes[i];
        }
        at += 12 + length;
    }
    return changed;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > UINT32_MAX) return 0;
    const unsigned choice = size > 0 ? data[size - 1] : 0;
    Decode(data, size, choice);
    std::vector<uint8_t> fixed(data, data + size);
    if (FixChecksums(fixed)) Decode(fixed.data(), fixed.size(), choice);
    return 0;
}
