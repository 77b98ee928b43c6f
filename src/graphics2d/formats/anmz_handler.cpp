#include "graphics2d/formats/anmz_handler.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "foundation/memory/memory_helpers.h"
#include "graphics2d/formats/anmz_format.h"

namespace {

constexpr int kHandlerNumber = 8;
constexpr uint8_t kTag[4] = {'A', 'N', 'M', 'Z'};

} // namespace

CANMZHandler::CANMZHandler() {
    nameId_ = 3800 + kHandlerNumber;
    extensionId_ = 3900 + kHandlerNumber;
    descriptionId_ = 3700 + kHandlerNumber;
    currentFrame_ = -1;
}

CANMZHandler::~CANMZHandler() {
    MemFree(&userData_);
}

CImageFormatHandler* CANMZHandler::NewInstance() {
    return new (std::nothrow) CANMZHandler;
}

uint32_t CANMZHandler::GetFormatId() {
    return MakeFormatId('A', 'N', 'M', ' ');
}

void CANMZHandler::SetQuality(int quality) {
    level_ = quality < 0 ? -1 : std::min(quality / 10, 9);
}

int CANMZHandler::CanRead(CInStream&, uint32_t magic) {
    return std::memcmp(&magic, kTag, sizeof kTag) == 0;
}

void CANMZHandler::GetFrameRect(RECT* rect) {
    *rect = frameRect_;
}

uint32_t CANMZHandler::GetFrameDelay(int frame) {
    return frame == currentFrame_ || frame == -1 ? currentDelay_ : frameDelay_;
}

void CANMZHandler::RewindFrames() {
    currentFrame_ = -1;
    nextFrame_ = firstFrame_;
}

ImageResult CANMZHandler::Open(CInStream& stream) {
    MemFree(&userData_);
    MemFree(&palette_);
    userDataSize_ = 0;
    nextFrame_ = firstFrame_ = 0;
    currentFrame_ = -1;
    const uint32_t start = stream.Tell();
    uint8_t header[kAnmzHeaderSize];
    if (stream.Read(header, sizeof header) != kResultOk) return kImageBadHeader;
    if (std::memcmp(header, kTag, sizeof kTag) != 0) return kImageBadHeader;
    const auto width = static_cast<int32_t>(AnmzLoad32(header + 12));
    const auto height = static_cast<int32_t>(AnmzLoad32(header + 16));
    const uint32_t depth = AnmzLoad32(header + 20);
    if (width <= 0 || height <= 0 || !AnmzIsValidDepth(depth)) return kImageUnsupportedVariant;
    width_ = width;
    height_ = height;
    depth_ = static_cast<int>(depth);
    if (!ComputeRowBytes()) return kImageUnsupportedVariant;
    pitch_ = rowBytes_;
    frameRect_ = {0, 0, width_, height_};
    frameCount_ = static_cast<int>(AnmzLoad32(header + 28));
    frameDelay_ = currentDelay_ = AnmzLoad32(header + 32);
    totalTime_ = AnmzLoad32(header + 36);
    option1_ = 1;
    option2_ = 0;
    if (depth_ == 8 && !AllocPalette(256)) return kImageNoMemory;
    return ReadHeaderChunks(stream, start + kAnmzHeaderSize);
}

// The chunks before the first full frame: user data, options and palette.
ImageResult CANMZHandler::ReadHeaderChunks(CInStream& stream, uint32_t position) {
    const uint32_t limit = stream.GetLength();
    for (;;) {
        uint8_t chunk[kAnmzChunkHeaderSize];
        if (position > limit || limit - position < kAnmzChunkHeaderSize || position > INT32_MAX ||
            stream.Seek(static_cast<int32_t>(position), 0) != position ||
            stream.Read(chunk, sizeof chunk) != kResultOk)
            return kImageOk;
        const uint32_t length = AnmzLoad32(chunk + 4);
        if (length > limit - position - kAnmzChunkHeaderSize) return kImageBadHeader;
        const uint8_t letter = chunk[1] == kAnmzChunkMark ? chunk[0] : 0;
        if (letter == kAnmzFullFrame) {
            firstFrame_ = nextFrame_ = position;
            currentFrame_ = -1;
            return kImageOk;
        }
        if (letter == kAnmzUserData && length > 0) {
            void* block = nullptr;
            // Without memory for it the user data is left out, not the animation.
            if (MemAlloc(length, &block)) {
                if (stream.Read(block, length) != kResultOk) {
                    MemFree(&block);
                    return kImageBadHeader;
                }
                MemFree(&userData_);
                userData_ = block;
                userDataSize_ = length;
            }
        } else if (letter == kAnmzOptions) {
            uint8_t options[8];
            if (length < sizeof options || stream.Read(options, sizeof options) != kResultOk)
                return kImageBadHeader;
            option1_ = AnmzLoad32(options);
            option2_ = AnmzLoad32(options + 4);
        } else if (letter == kAnmzPalette) {
            if (ImageResult result = ReadPaletteChunk(stream, length)) return result;
        }
        position += kAnmzChunkHeaderSize + length;
    }
}

// First entry and count, then count red, green, blue triples; entries past 255, and every
// entry of a file without an image palette, are left out.
ImageResult CANMZHandler::ReadPaletteChunk(CInStream& stream, uint32_t length) {
    uint8_t range[4];
    if (length < sizeof range || stream.Read(range, sizeof range) != kResultOk)
        return kImageBadHeader;
    const uint32_t first = range[0] | range[1] << 8;
    const uint32_t count = range[2] | range[3] << 8;
    if (count * 3 > length - sizeof range) return kImageBadHeader;
    if (palette_ == nullptr || first > 255) return kImageOk;
    const uint32_t used = std::min(count, 256 - first);
    uint8_t colors[256 * 3];
    if (stream.Read(colors, used * 3) != kResultOk) return kImageBadHeader;
    for (uint32_t i = 0; i < used; i++)
        palette_->entries[first + i] = {colors[3 * i], colors[3 * i + 1], colors[3 * i + 2], 0};
    return kImageOk;
}
