// Writing animations frame by frame.
#include <cstddef>
#include <cstring>

#include "foundation/memory/memory_helpers.h"
#include "foundation/streams/mem_in_stream.h"
#include "foundation/streams/mem_out_stream.h"
#include "foundation/streams/zstream.h"
#include "graphics2d/formats/anmz_delta.h"
#include "graphics2d/formats/anmz_format.h"
#include "graphics2d/formats/anmz_handler.h"

namespace {

uint32_t SaturatingAdd(uint32_t a, uint32_t b) {
    return a > UINT32_MAX - b ? UINT32_MAX : a + b;
}

ImageResult WriteResult(ResultCode result) {
    if (result == kResultOk) return kImageOk;
    return result == kResultOutOfMemory ? kImageNoMemory : kImageWriteError;
}

ResultCode WriteChunkHeader(COutStream& stream, uint8_t letter, uint32_t length) {
    uint8_t header[kAnmzChunkHeaderSize] = {letter, kAnmzChunkMark, 0, 0};
    AnmzStore32(header + 4, length);
    return stream.Write(header, sizeof header);
}

// Moves to `position`, writes the value there and goes back to the end.
ResultCode PatchLong(COutStream& stream, uint32_t position, uint32_t value) {
    const uint32_t end = stream.Tell();
    if (position > INT32_MAX || end > INT32_MAX ||
        stream.Seek(static_cast<int32_t>(position), 0) != position)
        return kResultWriteError;
    uint8_t bytes[4];
    AnmzStore32(bytes, value);
    ResultCode result = stream.Write(bytes, sizeof bytes);
    if (stream.Seek(static_cast<int32_t>(end), 0) != end && result == kResultOk)
        result = kResultWriteError;
    return result;
}

} // namespace

ImageResult CANMZHandler::BeginWrite(COutStream& stream, int32_t width, int32_t height, int depth,
                                     int frameCount, uint32_t defaultDelay, uint32_t option1,
                                     uint32_t option2, const void* userData,
                                     uint32_t userDataSize) {
    writing_ = false;
    if (width <= 0 || height <= 0) return kImageBadArgument;
    if (depth < 0 || !AnmzIsValidDepth(static_cast<uint32_t>(depth))) return kImageBadWriteDepth;
    width_ = width;
    height_ = height;
    depth_ = depth;
    if (!ComputeRowBytes()) return kImageUnsupportedVariant;
    pitch_ = rowBytes_;
    option1_ = option1;
    option2_ = option2;
    currentFrame_ = -1;
    frameCount_ = 0;
    totalTime_ = 0;
    frameDelay_ = defaultDelay;
    lastFrameHeader_ = lastFrameDelay_ = 0;
    MemFree(&userData_);
    userDataSize_ = 0;

    headerPosition_ = stream.Tell();
    uint8_t header[kAnmzHeaderSize] = {'A', 'N', 'M', 'Z'};
    AnmzStore32(header + 12, static_cast<uint32_t>(width));
    AnmzStore32(header + 16, static_cast<uint32_t>(height));
    AnmzStore32(header + 20, static_cast<uint32_t>(depth));
    AnmzStore32(header + 28, static_cast<uint32_t>(frameCount));
    AnmzStore32(header + 32, defaultDelay);
    AnmzStore32(header + 36, static_cast<uint32_t>(frameCount) * defaultDelay);
    if (stream.Write(header, sizeof header) != kResultOk) return kImageWriteError;
    // Both options travel together: a second option with the first at its default would
    // otherwise be lost.
    if (option1 != 1 || option2 != 0) {
        uint8_t options[8];
        AnmzStore32(options, option1);
        AnmzStore32(options + 4, option2);
        if (WriteChunkHeader(stream, kAnmzOptions, sizeof options) != kResultOk ||
            stream.Write(options, sizeof options) != kResultOk)
            return kImageWriteError;
    }
    if (userData != nullptr && userDataSize > 0) {
        if (WriteChunkHeader(stream, kAnmzUserData, userDataSize) != kResultOk ||
            stream.Write(userData, userDataSize) != kResultOk)
            return kImageWriteError;
    }
    writing_ = true;
    return kImageOk;
}

ImageResult CANMZHandler::WritePaletteChunk(COutStream& stream, const ImagePalette* palette) {
    uint8_t body[4 + 256 * 3] = {0, 0, 0, 1};
    for (int i = 0; i < 256; i++) {
        body[4 + 3 * i] = palette->entries[i].red;
        body[5 + 3 * i] = palette->entries[i].green;
        body[6 + 3 * i] = palette->entries[i].blue;
    }
    if (WriteChunkHeader(stream, kAnmzPalette, sizeof body) != kResultOk ||
        stream.Write(body, sizeof body) != kResultOk)
        return kImageWriteError;
    return kImageOk;
}

ImageResult CANMZHandler::WriteFrame(COutStream& stream, const uint8_t* previous,
                                     const uint8_t* image, int32_t width, int32_t height,
                                     int32_t pitch, int, const ImagePalette* palette,
                                     uint32_t delay, uint32_t flags) {
    if (!writing_) return kImageNoHandler;
    if (image == nullptr) return kImageBadArgument;
    if (width != width_ || height != height_) return kImageSizeMismatch;
    totalTime_ = SaturatingAdd(totalTime_, EffectiveDelay(delay));
    if (frameCount_ == 0 && depth_ == 8 && palette != nullptr) {
        if (ImageResult result = WritePaletteChunk(stream, palette)) return result;
    }
    FrameHeader header{delay, 0, 0, 0, width_, height_, 0};

    // A change needs a frame before it to change.
    if (previous == nullptr || lastFrameHeader_ == 0) {
        const uint8_t* data = image;
        uint8_t* packed = nullptr;
        const size_t size = size_t(rowBytes_) * size_t(height_);
        if (pitch != rowBytes_) {
            if (!MemAlloc(size, &packed)) return kImageNoMemory;
            for (int32_t y = 0; y < height_; y++)
                std::memcpy(packed + size_t(y) * rowBytes_, image + ptrdiff_t(y) * pitch,
                            size_t(rowBytes_));
            data = packed;
        }
        ImageResult result =
            WriteFrameChunk(stream, kAnmzFullFrame, header, data, static_cast<uint32_t>(size));
        MemFree(&packed);
        return result;
    }

    const AnmzFramePair pair{previous, image, width_, height_, pitch, bytesPerPixel_};
    AnmzBox box;
    if (!AnmzFindChanges(pair, &box)) {
        if (!(flags & kAnmzNoPixelData)) {
            // The same picture again only keeps the last frame longer.
            return WriteResult(RewriteLastDelay(
                stream, SaturatingAdd(EffectiveDelay(lastFrameDelay_), EffectiveDelay(delay))));
        }
        header.flags = kAnmzNoPixelData;
        return WriteFrameChunk(stream, kAnmzDeltaFrame, header, nullptr, 0);
    }
    header.x = box.left;
    header.y = box.top;
    header.w = box.right - box.left;
    header.h = box.bottom - box.top;
    CMemOutStream code;
    if (ResultCode coded = AnmzCodeDelta(code, pair, box)) return WriteResult(coded);
    return WriteFrameChunk(stream, kAnmzDeltaFrame, header, code.GetBuffer(), code.GetLength());
}

ImageResult CANMZHandler::WriteFrameChunk(COutStream& stream, uint8_t letter, FrameHeader header,
                                          const uint8_t* data, uint32_t size) {
    const uint32_t chunkPosition = stream.Tell();
    if (WriteChunkHeader(stream, letter, kAnmzFrameHeaderSize) != kResultOk)
        return kImageWriteError;
    const uint32_t headerPosition = stream.Tell();
    header.unpackedSize = level_ != 0 ? size : 0;
    uint8_t bytes[kAnmzFrameHeaderSize];
    AnmzStore32(bytes, header.delay);
    AnmzStore32(bytes + 4, header.flags);
    AnmzStore32(bytes + 8, static_cast<uint32_t>(header.x));
    AnmzStore32(bytes + 12, static_cast<uint32_t>(header.y));
    AnmzStore32(bytes + 16, static_cast<uint32_t>(header.w));
    AnmzStore32(bytes + 20, static_cast<uint32_t>(header.h));
    AnmzStore32(bytes + 24, header.unpackedSize);
    if (stream.Write(bytes, sizeof bytes) != kResultOk) return kImageWriteError;
    if (size > 0) {
        ResultCode result;
        if (level_ == 0) {
            result = stream.Write(data, size);
        } else {
            CMemInStream reader;
            reader.Attach(data, size);
            result = ZStream_Compress(stream, reader, size, level_);
        }
        if (result != kResultOk) return WriteResult(result);
    }
    const uint32_t end = stream.Tell();
    if (ResultCode result =
            PatchLong(stream, chunkPosition + 4, end - chunkPosition - kAnmzChunkHeaderSize))
        return WriteResult(result);
    lastFrameHeader_ = headerPosition;
    lastFrameDelay_ = header.delay;
    frameCount_++;
    currentFrame_++;
    return kImageOk;
}

ResultCode CANMZHandler::RewriteLastDelay(COutStream& stream, uint32_t delay) {
    lastFrameDelay_ = delay;
    return PatchLong(stream, lastFrameHeader_, delay);
}

void CANMZHandler::EndWriteFrames(COutStream& stream, uint32_t delay) {
    if (!writing_ || lastFrameHeader_ == 0) return;
    totalTime_ = SaturatingAdd(totalTime_, delay);
    RewriteLastDelay(stream, SaturatingAdd(EffectiveDelay(lastFrameDelay_), delay));
}

void CANMZHandler::EndWrite(COutStream& stream) {
    if (!writing_) return;
    writing_ = false;
    PatchLong(stream, headerPosition_ + 28, static_cast<uint32_t>(frameCount_));
    PatchLong(stream, headerPosition_ + 36, totalTime_);
}
