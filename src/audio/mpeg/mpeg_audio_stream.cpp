#include "audio/mpeg/mpeg_audio_stream.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int kLowWater = 4096;
// Above the largest frame (Layer II at 384 kbit/s and 32 kHz, padded) and a header.
constexpr int kFrameReach = 2048;
// The samples the filter bank delays its output by, which lame's delay leaves out.
constexpr int kDecoderDelay = 529;

bool StartsHeader(const uint8_t* bytes) {
    MpegHeader header;
    return ParseMpegHeader(bytes, header) && header.bitRateIndex != 0 && header.bitRateIndex != 15;
}
constexpr int kProbeFrames = 8;

} // namespace

MpegAudioStream::MpegAudioStream() = default;

MpegAudioStream::~MpegAudioStream() {
    Close();
}

void MpegAudioStream::Close() {
    if (input_ == nullptr) return;
    closing_ = true;
    BufferedStream::Close();
    closing_ = false;
    input_ = nullptr;
}

int MpegAudioStream::Open(BufferedStream* input, int* sampleRate, bool* stereo, bool sixteenBits,
                          int reduction, int channels) {
    Close();
    if (input == nullptr) return -1;
    reduction_ = std::clamp(reduction, 0, 2);
    requestedChannels_ = channels;
    bytesPerSample_ = sixteenBits ? 2 : 4;
    input_ = input;
    ResetInput(0);
    reservoirBytes_ = 0;
    layerThree_.Reset();
    layerThree_.ClearLineGains();
    layerOneTwo_.Reset();
    totalBlocks_ = 0;
    blockStarts_.clear();
    frameNumber_ = 0;
    expectedHeader_ = -1;
    tagFrames_ = 0;
    tagDelay_ = -1;
    tagPadding_ = 0;
    leadBytes_ = 0;
    endBytes_ = -1;
    produced_ = 0;
    firstBlock_ = true;
    if (!DecodeBlock(block_)) {
        firstBlock_ = false;
        input_ = nullptr;
        return -1;
    }
    firstBlock_ = false;
    blockInBuffer_ = true;
    if (sampleRate != nullptr)
        *sampleRate = MpegBaseSampleRate(firstRateIndex_) >> (firstVersion_ + reduction_);
    if (stereo != nullptr) *stereo = output_.OutputChannels() == 2;
    fastSeek_ = false;
    int64_t length = int64_t{blockBytes_} * totalBlocks_;
    if (tagDelay_ >= 0) {
        const int64_t sampleBytes = blockBytes_ / (1152 >> reduction_);
        const int64_t samples = tagFrames_ * (1152 / FramesPerBlock()) - tagDelay_ - tagPadding_;
        leadBytes_ = ((tagDelay_ + kDecoderDelay) >> reduction_) * sampleBytes;
        length = (samples >> reduction_) * sampleBytes;
        endBytes_ = leadBytes_ + length;
    }
    for (int64_t skip = leadBytes_; skip > 0;) {
        if (readOffset_ >= blockBytes_) {
            if (!DecodeBlock(block_)) break;
            ++blocksDecoded_;
            readOffset_ = 0;
        }
        const int piece = static_cast<int>(std::min<int64_t>(skip, blockBytes_ - readOffset_));
        readOffset_ += piece;
        produced_ += piece;
        skip -= piece;
    }
    BufferedStream::Open(randomAccess_ ? kReadable | kRandomAccess : kReadable, 0, length);
    return 0;
}

void MpegAudioStream::ResetInput(int64_t at) {
    held_ = 0;
    bitPosition_ = 0;
    inputEnded_ = false;
    bufferStart_ = at;
    std::memset(inputBuffer_, 0, sizeof inputBuffer_);
}

int MpegAudioStream::FramesPerBlock() const {
    if (firstLayer_ == kLayer1) return 3;
    return firstLayer_ == kLayer3 && firstVersion_ != kMpeg1 ? 2 : 1;
}

// ---- Framing ------------------------------------------------------------------------

bool MpegAudioStream::Probe() {
    ResetInput(0);
    if (randomAccess_) input_->Seek(0);
    uint8_t* buffer = inputBuffer_;
    held_ = std::max(0, input_->Read(buffer, 10));
    int64_t passed = 0;
    int start = 0;
    if (held_ == 10 && buffer[0] == 'I' && buffer[1] == 'D' && buffer[2] == '3') {
        int64_t size = (int64_t{buffer[6] & 0x7F} << 21) | (int64_t{buffer[7] & 0x7F} << 14) |
                       (int64_t{buffer[8] & 0x7F} << 7) | int64_t{buffer[9] & 0x7F};
        int64_t tag = size + 10 + ((buffer[5] & 0x10) != 0 ? 10 : 0);
        held_ = 0;
        if (randomAccess_) {
            if (input_->Seek(tag) != tag) return false;
        } else if (input_->Read(nullptr, static_cast<int32_t>(tag - 10)) != tag - 10) {
            return false;
        }
        passed = tag;
    }
    // The first 0xFF after the tag must start a frame.
    for (;;) {
        if (start >= held_) {
            passed += held_;
            held_ = std::max(0, input_->Read(buffer, kInputSize));
            start = 0;
            if (held_ == 0) return false;
        }
        const void* found = std::memchr(buffer + start, 0xFF, static_cast<size_t>(held_ - start));
        if (found != nullptr) {
            start = static_cast<int>(static_cast<const uint8_t*>(found) - buffer);
            break;
        }
        start = held_;
    }
    std::memmove(buffer, buffer + start, static_cast<size_t>(held_ - start));
    held_ -= start;
    firstFrameOffset_ = passed + start;
    bufferStart_ = firstFrameOffset_;
    while (held_ < 4) {
        int got = input_->Read(buffer + held_, 4 - held_);
        if (got <= 0) return false;
        held_ += got;
    }
    MpegHeader first;
    if (!ParseMpegHeader(buffer, first)) return false;
    firstVersion_ = first.version;
    firstLayer_ = first.layer;
    firstRateIndex_ = first.sampleRateIndex;
    firstChannelClass_ = first.ChannelClass();
    probeSampleRate_ = first.SampleRate();
    probeBitRate_ = first.BitRate();
    if (probeBitRate_ == 0) return false;
    probeFrameBytes_ = 0;
    if (!randomAccess_) return true;
    // A variable bit rate gives its length from the mean of the first frames. A constant one
    // that never pads (as twolame writes) has frames of one size, below the mean rate's.
    int64_t sum = 0;
    int64_t offset = firstFrameOffset_;
    MpegHeader current = first;
    bool even = true;
    for (int frame = 0; frame < kProbeFrames; ++frame) {
        sum += current.BitRate();
        even = even && current.padding == 0 && current.bitRateIndex == first.bitRateIndex;
        offset += current.FrameBytes();
        uint8_t next[4];
        MpegHeader header;
        if (input_->Seek(offset) == offset && input_->Read(next, 4) == 4 &&
            ParseMpegHeader(next, header) && header.BitRate() != 0)
            current = header;
    }
    probeBitRate_ = sum / kProbeFrames;
    if (even) probeFrameBytes_ = first.FrameBytes();
    ResetInput(firstFrameOffset_);
    return input_->Seek(firstFrameOffset_) == firstFrameOffset_;
}

void MpegAudioStream::FillBuffer() {
    int64_t byte = std::min<int64_t>(bitPosition_ >> 3, held_);
    if (bitPosition_ > int64_t{held_} * 8) bitPosition_ = int64_t{held_} * 8;
    int unread = held_ - static_cast<int>(byte);
    if (unread <= kLowWater && byte > 0) {
        std::memmove(inputBuffer_, inputBuffer_ + byte, static_cast<size_t>(unread));
        bitPosition_ -= byte * 8;
        frameEndBit_ -= byte * 8;
        bufferStart_ += byte;
        held_ = unread;
    }
    while (!inputEnded_ && held_ < kInputSize) {
        int got = input_->Read(inputBuffer_ + held_, kInputSize - held_);
        if (got <= 0) {
            inputEnded_ = true;
            break;
        }
        held_ += got;
    }
    std::memset(inputBuffer_ + held_, 0, sizeof inputBuffer_ - static_cast<size_t>(held_));
}

bool MpegAudioStream::FindSync() {
    bitPosition_ = (bitPosition_ + 7) & ~int64_t{7};
    for (;;) {
        FillBuffer();
        int at = static_cast<int>(bitPosition_ >> 3);
        if (held_ - at < 4) return false;
        int i = at;
        for (; i + 1 < held_; ++i) {
            if (inputBuffer_[i] != 0xFF || inputBuffer_[i + 1] < 0xE0) continue;
            // A run of 0xFF syncs on its last byte, unless a header starts earlier in it: an
            // MPEG-1 Layer I frame without CRC begins with two.
            while (i + 2 < held_ && inputBuffer_[i + 1] == 0xFF && inputBuffer_[i + 2] >= 0xE0 &&
                   !StartsHeader(inputBuffer_ + i))
                ++i;
            break;
        }
        if (i + 1 < held_ && i + 4 <= held_) {
            bitPosition_ = int64_t{i} * 8;
            return true;
        }
        // Keep a last 0xFF that may start a header, and look further.
        bitPosition_ = int64_t{std::max(at, held_ - 3)} * 8;
        if (inputEnded_) return false;
        int before = held_;
        FillBuffer();
        if (held_ == before && inputEnded_) return false;
    }
}

bool MpegAudioStream::Confirmed(int at, const MpegHeader& header) {
    const int next = at + header.FrameBytes();
    auto tagFollows = [&] {
        return next + 3 <= held_ && std::memcmp(inputBuffer_ + next, "TAG", 3) == 0;
    };
    if (next + 4 <= held_) {
        MpegHeader following;
        if (ParseMpegHeader(inputBuffer_ + next, following) && following.version == header.version &&
            following.layer == header.layer &&
            following.sampleRateIndex == header.sampleRateIndex &&
            following.bitRateIndex != 0 && following.bitRateIndex != 15)
            return true;
        return tagFollows();
    }
    return inputEnded_ && (next == held_ || tagFollows());
}

bool MpegAudioStream::ReadHeader(bool first) {
    for (;;) {
        if (!FindSync()) {
            header_.bitRateIndex = 0;
            return false;
        }
        if (!inputEnded_ && held_ - (bitPosition_ >> 3) < kFrameReach) FillBuffer();
        const int at = static_cast<int>(bitPosition_ >> 3);
        MpegHeader header;
        const bool parsed = ParseMpegHeader(inputBuffer_ + at, header) &&
                            header.bitRateIndex != 0 && header.bitRateIndex != 15;
        if (parsed && first) {
            firstVersion_ = header.version;
            firstLayer_ = header.layer;
            firstRateIndex_ = header.sampleRateIndex;
            firstChannelClass_ = header.ChannelClass();
        }
        const bool ours = parsed && header.version == firstVersion_ &&
                          header.layer == firstLayer_ &&
                          header.sampleRateIndex == firstRateIndex_ &&
                          header.ChannelClass() == firstChannelClass_;
        // Junk can look like a header: once sync is lost it takes a second to believe one.
        const bool inSync = bufferStart_ + at == expectedHeader_;
        if (ours && (first || inSync || Confirmed(at, header))) {
            header_ = header;
            const int64_t offset = bufferStart_ + at;
            const int frames = FramesPerBlock();
            if (frameNumber_ % frames == 0 &&
                frameNumber_ / frames == static_cast<int64_t>(blockStarts_.size()))
                blockStarts_.push_back(offset);
            ++frameNumber_;
            expectedHeader_ = offset + header.FrameBytes();
            frameEndBit_ = (int64_t{at} + header.FrameBytes()) * 8;
            bitPosition_ += 32 + (header.crc ? 16 : 0);
            return true;
        }
        if (first) return false;
        expectedHeader_ = -1;
        // Another stream's frames (another rate, say) pass whole.
        if (parsed && !ours && Confirmed(at, header))
            bitPosition_ += int64_t{header.FrameBytes()} * 8;
        else
            bitPosition_ += 8;
    }
}

bool MpegAudioStream::SkipTagFrame() {
    const int size = header_.FrameBytes();
    const int at = static_cast<int>(frameEndBit_ >> 3) - size;
    if (firstLayer_ != kLayer3 || at < 0) return false;
    const uint8_t* frame = inputBuffer_ + at;
    auto has = [&](int from, int count) { return from + count <= std::min(size, held_ - at); };
    auto word = [&](int from) {
        return uint32_t{frame[from]} << 24 | uint32_t{frame[from + 1]} << 16 |
               uint32_t{frame[from + 2]} << 8 | frame[from + 3];
    };
    auto named = [&](int from, const char* name) {
        return has(from, 4) && std::memcmp(frame + from, name, 4) == 0;
    };
    const int xing = 4 + (header_.crc ? 2 : 0) + header_.SideInfoBytes();
    int64_t frames = 0;
    int delay = -1;
    int padding = 0;
    if (named(xing, "Xing") || named(xing, "Info")) {
        const uint32_t flags = has(xing + 4, 4) ? word(xing + 4) : 0;
        int field = xing + 8;
        if ((flags & 1) != 0) {
            if (has(field, 4)) frames = word(field);
            field += 4;
        }
        field += ((flags & 2) != 0 ? 4 : 0) + ((flags & 4) != 0 ? 100 : 0) +
                 ((flags & 8) != 0 ? 4 : 0);
        // lame's extension (ffmpeg writes it too): delay and padding in 12 bits each.
        if (has(field, 24) &&
            (named(field, "LAME") || named(field, "Lavf") || named(field, "Lavc"))) {
            delay = frame[field + 21] << 4 | frame[field + 22] >> 4;
            padding = (frame[field + 22] & 0x0F) << 8 | frame[field + 23];
        }
    } else if (named(36, "VBRI") && has(36, 18)) {
        frames = word(36 + 14);
    } else {
        return false;
    }
    tagFrames_ = frames;
    if (frames > 0 && delay + padding < frames * (1152 / FramesPerBlock())) {
        tagDelay_ = delay;
        tagPadding_ = padding;
    }
    bitPosition_ = frameEndBit_;
    firstFrameOffset_ = expectedHeader_;
    blockStarts_.clear();
    frameNumber_ = 0;
    return true;
}

// ---- Blocks -------------------------------------------------------------------------

void MpegAudioStream::SetupLayer(int64_t bitRate) {
    const int64_t rate = MpegBaseSampleRate(firstRateIndex_) >> firstVersion_;
    const int64_t slotSize = firstLayer_ == kLayer1 ? 4 : 1;
    int64_t wholeSlots = 0;
    int64_t remainder = 0;
    const int64_t divisor = rate > 0 ? rate : 1;
    preroll_ = 0;
    if (bitRate > 0 && rate > 0) {
        const int64_t perBlock = (firstLayer_ == kLayer1 ? 36 : 144) * bitRate;
        wholeSlots = perBlock / rate;
        remainder = perBlock % rate;
        // Enough frames back to refill the largest reservoir a frame may reach into.
        if (firstLayer_ == kLayer3 && wholeSlots > 38)
            preroll_ = (firstVersion_ == kMpeg1 ? 510 : 254) / (wholeSlots - 38) + 3;
    }
    if (firstLayer_ == kLayer3) {
        layerThree_.Reset();
        layerThree_.ClearLineGains();
        reservoirBytes_ = 0;
    }
    totalBlocks_ = 0;
    if (probeFrameBytes_ > 0) {
        const int64_t bytes = int64_t{probeFrameBytes_} * FramesPerBlock();
        totalBlocks_ = (input_->GetLength() - firstFrameOffset_ + bytes / 2) / bytes;
    } else if (bitRate > 0 && wholeSlots > 0) {
        const int64_t length = input_->GetLength();
        const int64_t numerator = (length + slotSize) * divisor;
        const int64_t denominator = (wholeSlots * divisor + remainder) * slotSize;
        totalBlocks_ = (numerator + denominator / 2) / denominator;
    }
    if (tagFrames_ > 0) totalBlocks_ = (tagFrames_ + FramesPerBlock() - 1) / FramesPerBlock();
}

bool MpegAudioStream::FeedReservoir() {
    BitReader reader(inputBuffer_, int64_t{kInputSize} * 8, bitPosition_);
    ReadLayerThreeSideInfo(reader, header_, sideInfo_);
    bitPosition_ = reader.Position();
    const int mainBytes =
        header_.FrameBytes() - 4 - (header_.crc ? 2 : 0) - header_.SideInfoBytes();
    if (mainBytes < 0) return false;
    const int begin = sideInfo_.mainDataBegin;
    if (reservoirBytes_ < begin) reservoirBytes_ = begin;
    std::memmove(reservoir_, reservoir_ + reservoirBytes_ - begin, static_cast<size_t>(begin));
    const int64_t from = bitPosition_ >> 3;
    int bytes = std::min(mainBytes, kReservoirSize - begin);
    bytes = static_cast<int>(std::min<int64_t>(bytes, kInputSize - from));
    if (bytes > 0) std::memcpy(reservoir_ + begin, inputBuffer_ + from, static_cast<size_t>(bytes));
    reservoirBytes_ = begin + std::max(bytes, 0);
    std::memset(reservoir_ + reservoirBytes_, 0, kBitReaderPadding);
    bitPosition_ += int64_t{mainBytes} * 8;
    return true;
}

bool MpegAudioStream::DecodeLayerThreeFrame(int firstSlot, bool decode) {
    const int subbands = 32 >> reduction_;
    const bool fed = FeedReservoir();
    bitPosition_ = frameEndBit_;
    if (!fed) {
        float* out[2] = {subbands_[0] + firstSlot * 32, subbands_[1] + firstSlot * 32};
        for (int gr = 0; gr < (header_.version == kMpeg1 ? 2 : 1); ++gr) {
            layerThree_.FlushGranule(2, subbands, out);
            out[0] += 18 * 32;
            out[1] += 18 * 32;
        }
        return true;
    }
    if (!decode) return true;
    for (int gr = 0; gr < sideInfo_.granules; ++gr) {
        float* out[2] = {subbands_[0] + (firstSlot + gr * 18) * 32,
                         subbands_[1] + (firstSlot + gr * 18) * 32};
        layerThree_.DecodeGranule(reservoir_, int64_t{reservoirBytes_} * 8, header_, sideInfo_, gr,
                                  subbands, out);
    }
    return true;
}

bool MpegAudioStream::DecodeBlock(uint8_t* out) {
    const bool first = firstBlock_;
    if (first) {
        randomAccess_ = (input_->GetMode() & kRandomAccess) != 0;
        if (!Probe()) return false;
        if (!randomAccess_) probeBitRate_ = 0;
        ended_ = false;
    }
    if (ended_) return false;
    const int frames = FramesPerBlock();
    const int slotsPerFrame = 36 / frames;
    const int subbands = 32 >> reduction_;
    for (int frame = 0; frame < frames; ++frame) {
        if (!ReadHeader(first && frame == 0)) {
            if (first) return false;
            ended_ = true;
            // What the filter bank still holds becomes the block's end.
            if (firstLayer_ == kLayer3) {
                for (int slot = frame * slotsPerFrame; slot < 36; slot += 18) {
                    float* rest[2] = {subbands_[0] + slot * 32, subbands_[1] + slot * 32};
                    layerThree_.FlushGranule(2, subbands, rest);
                }
            } else {
                std::fill(subbands_[0] + frame * slotsPerFrame * 32, subbands_[0] + 1152, 0.0f);
                std::fill(subbands_[1] + frame * slotsPerFrame * 32, subbands_[1] + 1152, 0.0f);
            }
            break;
        }
        if (first && frame == 0) {
            if (SkipTagFrame() && !ReadHeader(false)) return false;
            SetupLayer(probeBitRate_);
        }
        if (firstLayer_ == kLayer3) {
            DecodeLayerThreeFrame(frame * 18, true);
        } else {
            BitReader reader(inputBuffer_, int64_t{kInputSize} * 8, bitPosition_);
            float* out[2] = {subbands_[0] + frame * slotsPerFrame * 32,
                             subbands_[1] + frame * slotsPerFrame * 32};
            if (firstLayer_ == kLayer1)
                layerOneTwo_.DecodeLayer1(reader, header_, out);
            else
                layerOneTwo_.DecodeLayer2(reader, header_, out);
            // Ancillary data may follow the samples; the next header is past the frame.
            bitPosition_ = frameEndBit_;
        }
    }
    if (first) {
        sourceChannels_ = firstChannelClass_ == 1 ? 1 : 2;
        output_.Setup(sourceChannels_, requestedChannels_, reduction_, bytesPerSample_);
        blockBytes_ = output_.BlockBytes();
        readOffset_ = 0;
        blocksDecoded_ = 1;
    }
    float* channels[2] = {subbands_[0], subbands_[1]};
    output_.Synthesise(channels, out);
    return true;
}

// ---- Reading and seeking ------------------------------------------------------------

int32_t MpegAudioStream::RawRead(void* buffer, int32_t count) {
    if (endBytes_ >= 0) count = static_cast<int32_t>(std::min<int64_t>(count, endBytes_ - produced_));
    if (input_ == nullptr || count <= 0) return 0;
    auto* out = static_cast<uint8_t*>(buffer);
    int32_t delivered = 0;
    while (delivered < count) {
        if (readOffset_ >= blockBytes_) {
            if (count - delivered >= blockBytes_) {
                if (!DecodeBlock(out + delivered)) break;
                ++blocksDecoded_;
                blockInBuffer_ = false;
                delivered += blockBytes_;
                continue;
            }
            if (!DecodeBlock(block_)) break;
            ++blocksDecoded_;
            blockInBuffer_ = true;
            readOffset_ = 0;
        }
        int32_t piece = std::min(blockBytes_ - readOffset_, count - delivered);
        std::memcpy(out + delivered, block_ + readOffset_, static_cast<size_t>(piece));
        readOffset_ += piece;
        delivered += piece;
    }
    produced_ += delivered;
    return delivered;
}

int32_t MpegAudioStream::RawPeek(void* buffer, int32_t count) {
    if (endBytes_ >= 0) count = static_cast<int32_t>(std::min<int64_t>(count, endBytes_ - produced_));
    if (input_ == nullptr || count <= 0) return 0;
    if (readOffset_ >= blockBytes_) {
        if (!DecodeBlock(block_)) return 0;
        ++blocksDecoded_;
        blockInBuffer_ = true;
        readOffset_ = 0;
    }
    int32_t piece = std::min(blockBytes_ - readOffset_, count);
    std::memcpy(buffer, block_ + readOffset_, static_cast<size_t>(piece));
    return piece;
}

void MpegAudioStream::RebuildReservoir(int64_t shortfall) {
    const bool plain = !fastSeek_;
    if (plain && shortfall >= preroll_) layerThree_.Reset();
    reservoirBytes_ = 0;
    const int frames = firstVersion_ == kMpeg1 ? 1 : 2;
    for (int64_t block = shortfall; block < preroll_; ++block) {
        const bool full = plain && block == preroll_ - 1;
        for (int frame = 0; frame < frames; ++frame) {
            if (!ReadHeader(false)) return;
            DecodeLayerThreeFrame(frame * 18, full);
        }
    }
}

int64_t MpegAudioStream::RawSeek(int64_t position) {
    if (closing_) return position;
    if (!randomAccess_ || input_ == nullptr || blockBytes_ == 0) return 0;
    const int64_t length =
        endBytes_ >= 0 ? endBytes_ - leadBytes_ : totalBlocks_ * blockBytes_;
    position = std::clamp<int64_t>(position, 0, length);
    produced_ = position + leadBytes_;
    const int64_t block = produced_ / blockBytes_;
    const int offset = static_cast<int>(produced_ % blockBytes_);
    if (block == blocksDecoded_ - 1 && blockInBuffer_) {
        readOffset_ = offset;
        return position;
    }
    if (block == blocksDecoded_ && offset == 0 && readOffset_ >= blockBytes_) return position;
    const int64_t lead = fastSeek_ ? preroll_ : preroll_ + 1;
    int64_t start = block - lead;
    int64_t shortfall = 0;
    if (start < 0) {
        shortfall = -start;
        start = 0;
    }
    blocksDecoded_ = block;
    blockInBuffer_ = false;
    readOffset_ = blockBytes_;
    if (!IndexTo(start)) {
        ended_ = true;
        return position;
    }
    GoToBlock(start);
    ended_ = false;
    if (firstLayer_ == kLayer3) RebuildReservoir(shortfall);
    if (!fastSeek_) {
        if (shortfall == lead)
            output_.ResetSynthesis();
        else
            DecodeBlock(nullptr);
    }
    if (offset != 0) {
        if (DecodeBlock(block_)) {
            blockInBuffer_ = true;
            readOffset_ = offset;
        }
        ++blocksDecoded_;
    }
    return position;
}

bool MpegAudioStream::IndexTo(int64_t block) {
    if (blockStarts_.empty()) return false;
    if (block < static_cast<int64_t>(blockStarts_.size())) return true;
    GoToBlock(static_cast<int64_t>(blockStarts_.size()) - 1);
    while (block >= static_cast<int64_t>(blockStarts_.size())) {
        if (!ReadHeader(false)) return false;
        bitPosition_ = frameEndBit_;
    }
    return true;
}

void MpegAudioStream::GoToBlock(int64_t block) {
    const int64_t offset = blockStarts_[static_cast<size_t>(block)];
    input_->Seek(offset);
    ResetInput(offset);
    expectedHeader_ = offset;
    frameNumber_ = block * FramesPerBlock();
}

int64_t MpegAudioStream::Control(int code, int64_t pointer, int64_t value) {
    const auto* floats = reinterpret_cast<const float*>(pointer);
    switch (code) {
    case kControlAtEnd:
        if (endBytes_ >= 0 && produced_ >= endBytes_) return 1;
        return readOffset_ >= blockBytes_ && ended_ ? 1 : 0;
    case kControlGain:
        output_.SetGain(floats != nullptr ? *floats : 1.0f);
        return 0;
    case kControlMatrix:
        output_.SetMatrix(floats);
        return 0;
    case kControlBandGains:
        if (floats == nullptr) return 0;
        if (firstLayer_ == kLayer3) layerThree_.ClearLineGains();
        output_.SetBandGains(floats);
        return 0;
    case kControlLineGains:
        if (floats == nullptr) return 0;
        if (firstLayer_ == kLayer3) {
            SetLineGains(floats);
        } else {
            float bands[32];
            for (int b = 0; b < 32; ++b) {
                float sum = 0;
                for (int i = 0; i < 18; ++i)
                    sum += floats[b * 18 + i];
                bands[b] = sum * 0.055555556f;
            }
            output_.SetBandGains(bands);
        }
        return 0;
    case kControlSetFastSeek: {
        bool previous = fastSeek_;
        fastSeek_ = value != 0;
        return previous ? 1 : 0;
    }
    case kControlFastSeek:
        return fastSeek_ ? 1 : 0;
    default:
        return BufferedStream::Control(code, pointer, value);
    }
}

void MpegAudioStream::SetLineGains(const float* gains) {
    const int group = 1 << reduction_;
    const int kept = 576 >> reduction_;
    float lines[576];
    float shorts[192];
    bool neutral = true;
    for (int i = 0; i < 576; ++i) {
        float gain = 1.0f;
        if (i < kept) {
            float sum = 0;
            for (int j = 0; j < group; ++j)
                sum += gains[i * group + j];
            gain = sum / static_cast<float>(group);
        }
        lines[i] = gain;
        neutral = neutral && gain == 1.0f;
    }
    for (int i = 0; i < 192; ++i)
        shorts[i] = (lines[3 * i] + lines[3 * i + 1] + lines[3 * i + 2]) / 3.0f;
    if (neutral)
        layerThree_.ClearLineGains();
    else
        layerThree_.SetLineGains(lines, shorts);
}
