#include "graphics2d/formats/fli_handler.h"

#include <algorithm>
#include <new>

#include "foundation/memory/memory_helpers.h"

namespace {

constexpr int kHandlerNumber = 7;
constexpr uint16_t kTypeFli = 0xAF11;
constexpr uint16_t kTypeFlc = 0xAF12;
constexpr uint16_t kFrameChunk = 0xF1FA;
constexpr uint32_t kHeaderSize = 128;
constexpr uint32_t kChunkHeaderSize = 6;
// Chunk header, sub-chunk count and 8 reserved bytes.
constexpr uint32_t kFrameHeaderSize = 16;
constexpr uint16_t kColor256 = 4;
constexpr uint16_t kColor64 = 11;

uint16_t Load16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

uint32_t Load32(const uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

struct Chunk {
    uint32_t start;
    uint32_t end;
    uint16_t type;
};

// The chunk whose header is at `position`: false when the header is short, the chunk is
// smaller than its header (frames: than the frame header) or runs past `limit`.
bool ReadChunkAt(CInStream& stream, uint32_t position, uint32_t limit, Chunk* chunk) {
    if (position > limit || position > INT32_MAX ||
        stream.Seek(static_cast<int32_t>(position), 0) != position)
        return false;
    uint8_t header[kChunkHeaderSize];
    if (stream.Read(header, sizeof header) != kResultOk) return false;
    uint32_t size = Load32(header);
    uint16_t type = Load16(header + 4);
    uint32_t minimum = type == kFrameChunk ? kFrameHeaderSize : kChunkHeaderSize;
    if (size < minimum || size > limit - position) return false;
    *chunk = {position, position + size, type};
    return true;
}

// The sub-chunk count of a frame chunk just read by ReadChunkAt.
bool ReadSubChunkCount(CInStream& stream, uint16_t* count) {
    uint8_t rest[kFrameHeaderSize - kChunkHeaderSize];
    if (stream.Read(rest, sizeof rest) != kResultOk) return false;
    *count = Load16(rest);
    return true;
}

} // namespace

CFLIHandler::CFLIHandler() {
    nameId_ = 3800 + kHandlerNumber;
    extensionId_ = 3900 + kHandlerNumber;
    descriptionId_ = 3700 + kHandlerNumber;
    currentFrame_ = -1;
}

CImageFormatHandler* CFLIHandler::NewInstance() {
    return new (std::nothrow) CFLIHandler;
}

uint32_t CFLIHandler::GetFormatId() {
    return MakeFormatId('F', 'L', 'I', ' ');
}

uint32_t CFLIHandler::GetWriteDepths() {
    return kWriteDepth8;
}

int CFLIHandler::CanRead(CInStream& stream, uint32_t) {
    uint8_t start[6];
    if (stream.Read(start, sizeof start) != kResultOk) return 0;
    uint16_t type = Load16(start + 4);
    return type == kTypeFli || type == kTypeFlc;
}

ImageResult CFLIHandler::Open(CInStream& stream) {
    firstFrame_ = secondFrame_ = nextFrame_ = 0;
    currentFrame_ = -1;
    const uint32_t start = stream.Tell();
    uint8_t header[kHeaderSize];
    if (stream.Read(header, sizeof header) != kResultOk) return kImageBadHeader;
    const uint16_t type = Load16(header + 4);
    if (type != kTypeFli && type != kTypeFlc) return kImageBadHeader;
    if (Load16(header + 12) != 8) return kImageBadHeader;
    width_ = Load16(header + 8);
    height_ = Load16(header + 10);
    if (width_ == 0 || height_ == 0) return kImageBadHeader;
    depth_ = 8;
    if (!ComputeRowBytes()) return kImageUnsupportedVariant;
    pitch_ = rowBytes_;
    frameCount_ = Load16(header + 6);
    frameRect_ = {0, 0, width_, height_};
    // FLI counts in 1/70 s.
    const uint32_t speed = Load32(header + 16);
    const double delay = type == kTypeFli ? speed * 100.0 * 0.14285715 : speed;
    frameDelay_ = delay >= UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(delay);
    totalTime_ = static_cast<uint32_t>(
        std::min<uint64_t>(uint64_t{frameDelay_} * static_cast<uint32_t>(frameCount_), UINT32_MAX));
    if (!AllocPalette(256)) return kImageNoMemory;
    return FindPalette(stream, start + kHeaderSize, stream.GetLength());
}

// Walks the chunks from `position` until a frame brings the colours. The first frame
// chunk is where reading starts, also when its colours come only in a later frame.
ImageResult CFLIHandler::FindPalette(CInStream& stream, uint32_t position, uint32_t limit) {
    for (;;) {
        Chunk frame;
        if (!ReadChunkAt(stream, position, limit, &frame)) return kImageBadHeader;
        position = frame.end;
        if (frame.type != kFrameChunk) continue;
        if (firstFrame_ == 0) {
            firstFrame_ = nextFrame_ = frame.start;
            secondFrame_ = frame.end;
        }
        uint16_t count;
        if (!ReadSubChunkCount(stream, &count)) return kImageBadHeader;
        uint32_t subPosition = frame.start + kFrameHeaderSize;
        for (uint16_t i = 0; i < count; i++) {
            Chunk sub;
            if (!ReadChunkAt(stream, subPosition, frame.end, &sub)) return kImageBadHeader;
            subPosition = sub.end;
            if (sub.type != kColor256 && sub.type != kColor64) continue;
            const uint32_t size = sub.end - sub.start - kChunkHeaderSize;
            void* data = size > 0 ? stream.ReadAlloc(size) : nullptr;
            if (size > 0 && data == nullptr) return kImageNoMemory;
            ReadColors(static_cast<const uint8_t*>(data), size, sub.type == kColor64 ? 2 : 0);
            stream.FreeAlloc(data);
            return kImageOk;
        }
        if (frameCount_ == 1) return kImageOk;
    }
}

ImageResult CFLIHandler::ReadFrame(CInStream& stream, uint8_t* dest, int32_t pitch, uint8_t*) {
    if (nextFrame_ == 0) return kImageNotOpen;
    if (frameCount_ <= 0 || currentFrame_ >= frameCount_) return kImageNoMoreFrames;
    const bool ring = currentFrame_ == frameCount_ - 1;
    const uint32_t limit = stream.GetLength();
    Chunk frame;
    uint32_t position = nextFrame_;
    do {
        if (!ReadChunkAt(stream, position, limit, &frame)) return kImageNoMoreFrames;
        position = frame.end;
    } while (frame.type != kFrameChunk);
    uint16_t count;
    if (!ReadSubChunkCount(stream, &count)) return kImageNoMoreFrames;

    uint8_t* scratch = nullptr;
    if (NeedsConversion() && !MemAlloc(static_cast<size_t>(rowBytes_), &scratch))
        return kImageNoMemory;
    const FrameTarget target{dest, pitch, scratch};
    ImageResult result = kImageOk;
    uint32_t subPosition = frame.start + kFrameHeaderSize;
    for (uint16_t i = 0; i < count; i++) {
        Chunk sub;
        if (!ReadChunkAt(stream, subPosition, frame.end, &sub)) {
            result = kImageNoMoreFrames;
            break;
        }
        subPosition = sub.end;
        // Colours and stamps change nothing: the palette is the one Open read.
        if (sub.type != kWordDelta && sub.type != kByteDelta && sub.type != kBlack &&
            sub.type != kByteRun && sub.type != kLiteral)
            continue;
        const uint32_t size = sub.end - sub.start - kChunkHeaderSize;
        void* data = size > 0 ? stream.ReadAlloc(size) : nullptr;
        if (size > 0 && data == nullptr) {
            result = kImageNoMemory;
            break;
        }
        DecodeSubChunk(target, sub.type, static_cast<const uint8_t*>(data), size);
        stream.FreeAlloc(data);
    }
    MemFree(&scratch);
    if (result != kImageOk) return result;

    if (ring) {
        // The picture is the first frame's again; the second frame follows.
        currentFrame_ = 0;
        nextFrame_ = secondFrame_;
    } else {
        currentFrame_++;
        nextFrame_ = frame.end;
    }
    stream.Seek(static_cast<int32_t>(nextFrame_), 0);
    return kImageOk;
}

void CFLIHandler::GetFrameRect(RECT* rect) {
    *rect = frameRect_;
}

void CFLIHandler::RewindFrames() {
    currentFrame_ = -1;
    nextFrame_ = firstFrame_;
}
