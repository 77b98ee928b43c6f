// FLI and FLC animations arrive from disk and banks: any bytes must be refused or played
// inside the picture, frame after frame and past the ring frame, at every output depth.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "foundation/streams/mem_in_stream.h"
#include "graphics2d/formats/fli_handler.h"

namespace {

constexpr uint64_t kMaxPictureBytes = 1 << 22;
constexpr int kMaxFrames = 64;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > UINT32_MAX) return 0;
    const unsigned choice = size > 0 ? data[size - 1] : 0;
    CMemInStream stream;
    stream.Attach(data, static_cast<uint32_t>(size));
    CFLIHandler handler;
    if (handler.Open(stream) != kImageOk) return 0;
    static const int kDepths[] = {8, 15, 16, 24, 32};
    const int depth = kDepths[choice % 5];
    if (handler.SetOutputFormat(depth, handler.GetPalette()) != kImageOk) return 0;
    const uint64_t pitch = uint64_t(handler.GetWidth()) * ((depth + 1) / 8);
    if (pitch * handler.GetHeight() > kMaxPictureBytes) return 0;
    std::vector<uint8_t> pixels(pitch * handler.GetHeight());
    const bool bottomUp = choice & 8;
    uint8_t* first = bottomUp ? pixels.data() + pixels.size() - pitch : pixels.data();
    for (int i = 0; i < kMaxFrames; i++) {
        if (handler.ReadFrame(stream, first, bottomUp ? -int32_t(pitch) : int32_t(pitch),
                              nullptr) != kImageOk)
            break;
        if (i == kMaxFrames / 2) handler.RewindFrames();
    }
    return 0;
}
