// Animation files arrive from disk and banks: any bytes must be refused or played inside
// the picture at every output depth, and a broken frame must leave the picture alone.
// Inputs that play are written again from their frames and must read back the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "foundation/streams/mem_in_stream.h"
#include "foundation/streams/mem_out_stream.h"
#include "graphics2d/formats/anmz_handler.h"

namespace {

constexpr uint64_t kMaxPictureBytes = 1 << 20;
constexpr int kMaxFrames = 32;
// Only small animations are written again, to keep the fuzzer fast.
constexpr uint64_t kMaxRewriteBytes = 1 << 18;

ImagePalette MakeGreyPalette() {
    ImagePalette palette{};
    palette.version = 0x300;
    palette.count = 256;
    for (int i = 0; i < 256; i++)
        palette.entries[i] = {uint8_t(i), uint8_t(i), uint8_t(i), 0};
    return palette;
}

const ImagePalette kGrey = MakeGreyPalette();

struct Played {
    int32_t width = 0;
    int32_t height = 0;
    int depth = 0;
    std::vector<std::vector<uint8_t>> frames;
};

// Plays the file at `depth` (0: its own) and keeps every picture.
bool Play(const uint8_t* data, size_t size, int depth, bool bottomUp, Played* played) {
    CMemInStream stream;
    stream.Attach(data, static_cast<uint32_t>(size));
    CANMZHandler handler;
    if (handler.Open(stream) != kImageOk) return false;
    if (depth == 0) depth = handler.GetDepth();
    const ImagePalette* palette = handler.GetPalette() != nullptr ? handler.GetPalette() : &kGrey;
    if (handler.SetOutputFormat(depth, depth == 8 ? palette : nullptr) != kImageOk) return false;
    const uint64_t pitch = uint64_t(handler.GetWidth()) * ((depth + 1) / 8);
    if (pitch * handler.GetHeight() > kMaxPictureBytes) return false;
    *played = {handler.GetWidth(), handler.GetHeight(), depth, {}};
    std::vector<uint8_t> pixels(pitch * handler.GetHeight());
    uint8_t* first = bottomUp ? pixels.data() + pixels.size() - pitch : pixels.data();
    for (int i = 0; i < kMaxFrames; i++) {
        std::vector<uint8_t> before = pixels;
        ImageResult result =
            handler.ReadFrame(stream, first, bottomUp ? -int32_t(pitch) : int32_t(pitch), nullptr);
        if (result == kImageNoMoreFrames || result == kImageNotOpen) break;
        if (result != kImageOk) {
            if (pixels != before) std::abort();
            continue;
        }
        if (!bottomUp) played->frames.push_back(pixels);
    }
    return true;
}

// The frames written as a new animation read back unchanged.
void CheckRewrite(const Played& played, int quality) {
    CMemOutStream out;
    CANMZHandler writer;
    writer.SetQuality(quality);
    const int32_t pitch = played.width * ((played.depth + 1) / 8);
    if (writer.BeginWrite(out, played.width, played.height, played.depth,
                          static_cast<int>(played.frames.size()), 10, 1, 0, nullptr, 0) != kImageOk)
        std::abort();
    const std::vector<uint8_t>* previous = nullptr;
    for (const std::vector<uint8_t>& frame : played.frames) {
        if (writer.WriteFrame(out, previous != nullptr ? previous->data() : nullptr, frame.data(),
                              played.width, played.height, pitch, played.depth, &kGrey, 10,
                              1) != kImageOk)
            std::abort();
        previous = &frame;
    }
    writer.EndWrite(out);
    Played again;
    if (!Play(out.GetBuffer(), out.GetLength(), 0, false, &again) || again.frames != played.frames)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > UINT32_MAX) return 0;
    const unsigned choice = size > 0 ? data[size - 1] : 0;
    static const int kDepths[] = {0, 8, 15, 16, 24, 32};
    Played played;
    Play(data, size, kDepths[choice % 6], choice & 8, &played);
    Played own;
    if (Play(data, size, 0, false, &own) && !own.frames.empty() &&
        own.frames.size() * own.frames[0].size() <= kMaxRewriteBytes)
        CheckRewrite(own, choice % 3 == 0 ? 0 : 60);
    return 0;
}
