// Reading the frames of an animation.
#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "foundation/memory/memory_helpers.h"
#include "foundation/streams/mem_out_stream.h"
#include "foundation/streams/zstream.h"
#include "graphics2d/formats/anmz_format.h"
#include "graphics2d/formats/anmz_handler.h"

namespace {

// Deflate cannot expand data by more than this factor (plus its stream overhead): a
// larger declared size is a lie, whatever the picture allows.
constexpr uint64_t kInflateRatio = 1032;
constexpr uint64_t kInflateSlack = 1024;

} // namespace

uint64_t CANMZHandler::MaxFrameData() const {
    // Every row of the rectangle as pixels plus, at worst, a token for every few pixels,
    // the row's group and skip bytes and its end; and the final end.
    const uint64_t perRow = uint64_t(rowBytes_) + uint64_t(width_) / 2 + 8;
    return perRow * uint64_t(height_) + 16;
}

ImageResult CANMZHandler::ReadFrame(CInStream& stream, uint8_t* dest, int32_t pitch, uint8_t*) {
    if (nextFrame_ == 0) return kImageNotOpen;
    if (int64_t{currentFrame_} + 1 >= frameCount_) return kImageNoMoreFrames;
    currentFrame_++;

    const uint32_t limit = stream.GetLength();
    uint32_t position = nextFrame_;
    uint8_t chunk[kAnmzChunkHeaderSize];
    uint32_t length;
    for (;;) {
        // The data ends: the picture stays as it is.
        if (position > limit || limit - position < kAnmzChunkHeaderSize || position > INT32_MAX ||
            stream.Seek(static_cast<int32_t>(position), 0) != position ||
            stream.Read(chunk, sizeof chunk) != kResultOk)
            return kImageOk;
        length = AnmzLoad32(chunk + 4);
        if (length > limit - position - kAnmzChunkHeaderSize) return kImageDataError;
        if (chunk[1] == kAnmzChunkMark &&
            (chunk[0] == kAnmzFullFrame || chunk[0] == kAnmzDeltaFrame))
            break;
        position += kAnmzChunkHeaderSize + length;
    }
    nextFrame_ = position + kAnmzChunkHeaderSize + length;
    const bool full = chunk[0] == kAnmzFullFrame;

    uint8_t bytes[kAnmzFrameHeaderSize];
    if (length < kAnmzFrameHeaderSize || stream.Read(bytes, sizeof bytes) != kResultOk)
        return kImageDataError;
    const FrameHeader header{AnmzLoad32(bytes),
                             AnmzLoad32(bytes + 4),
                             static_cast<int32_t>(AnmzLoad32(bytes + 8)),
                             static_cast<int32_t>(AnmzLoad32(bytes + 12)),
                             static_cast<int32_t>(AnmzLoad32(bytes + 16)),
                             static_cast<int32_t>(AnmzLoad32(bytes + 20)),
                             AnmzLoad32(bytes + 24)};
    if (header.x < 0 || header.y < 0 || header.w < 0 || header.h < 0 ||
        int64_t{header.x} + header.w > width_ || int64_t{header.y} + header.h > height_)
        return kImageDataError;
    currentDelay_ = header.delay != 0 ? header.delay : frameDelay_;
    frameRect_ = {header.x, header.y, header.x + header.w, header.y + header.h};
    if (header.flags & kAnmzNoPixelData) return kImageOk;

    const uint32_t stored = length - kAnmzFrameHeaderSize;
    uint8_t* data = nullptr;
    if (ImageResult result = ReadFrameData(stream, stored, header.unpackedSize, &data))
        return result;
    const uint32_t size = header.unpackedSize != 0 ? header.unpackedSize : stored;
    ImageResult result = kImageOk;
    if (full) {
        if (size < uint64_t(rowBytes_) * uint64_t(height_)) {
            result = kImageDataError;
        } else {
            CopyFullFrame(data, dest, pitch);
        }
    } else if (!RunDelta(data, size, nullptr, pitch)) {
        result = kImageDataError;
    } else {
        RunDelta(data, size, dest, pitch);
    }
    if (header.unpackedSize != 0) {
        MemFree(&data);
    } else {
        stream.FreeAlloc(data);
    }
    return result;
}

// The frame's data, as stored or unpacked: *data is then the stream's block (release it
// with FreeAlloc) or, when unpackedSize is not 0, our own (MemFree).
ImageResult CANMZHandler::ReadFrameData(CInStream& stream, uint32_t stored, uint32_t unpacked,
                                        uint8_t** data) {
    if (unpacked == 0) {
        if (stored == 0) return kImageDataError;
        *data = static_cast<uint8_t*>(stream.ReadAlloc(stored));
        return *data != nullptr ? kImageOk : kImageNoMemory;
    }
    if (unpacked > MaxFrameData() || unpacked > stored * kInflateRatio + kInflateSlack)
        return kImageDataError;
    if (!MemAlloc(unpacked, data)) return kImageNoMemory;
    CMemOutStream output;
    output.AttachBuffer(*data, unpacked);
    ResultCode inflated = ZStream_Decompress(output, stream, stored);
    if (inflated == kResultOk && output.GetLength() == unpacked) return kImageOk;
    MemFree(data);
    return inflated == kResultOutOfMemory ? kImageNoMemory : kImageDataError;
}

void CANMZHandler::CopyFullFrame(const uint8_t* data, uint8_t* dest, int32_t pitch) {
    const bool convert = NeedsConversion();
    const size_t copied = std::min<size_t>(std::abs(int64_t{pitch}), size_t(rowBytes_));
    for (int32_t y = 0; y < height_; y++) {
        const uint8_t* source = data + size_t(y) * size_t(rowBytes_);
        uint8_t* target = dest + ptrdiff_t(y) * pitch;
        if (convert) {
            ConvertRow(target, source, width_);
        } else {
            std::memcpy(target, source, copied);
        }
    }
}

bool CANMZHandler::RunDelta(const uint8_t* data, uint32_t size, uint8_t* dest, int32_t pitch) {
    const bool convert = NeedsConversion();
    const int outputBytes = convert ? GetOutputBytesPerPixel() : bytesPerPixel_;
    const int64_t left = frameRect_.left;
    const int64_t right = frameRect_.right;
    const int64_t bottom = frameRect_.bottom;
    int64_t row = frameRect_.top;
    uint32_t position = 0;
    for (;;) {
        if (position >= size) return false;
        const uint8_t group = data[position++];
        if (group == 0) return true;
        if (group & kAnmzSkipBit) {
            row += group & kAnmzMaxCount;
            continue;
        }
        for (int g = 0; g < group; g++, row++) {
            int64_t column = left;
            for (;;) {
                if (position >= size) return false;
                const uint8_t token = data[position++];
                if (token == 0) break;
                if (token & kAnmzSkipBit) {
                    column += token & kAnmzMaxCount;
                    continue;
                }
                const uint32_t bytes = uint32_t(token) * uint32_t(bytesPerPixel_);
                if (size - position < bytes || row >= bottom || column + token > right)
                    return false;
                if (dest != nullptr) {
                    uint8_t* target = dest + row * pitch + column * outputBytes;
                    if (convert) {
                        ConvertRow(target, data + position, token);
                    } else {
                        std::memcpy(target, data + position, bytes);
                    }
                }
                position += bytes;
                column += token;
            }
        }
    }
}
