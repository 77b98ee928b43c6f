// The sub-chunk decoders of FLI and FLC frames. Each reads only inside its sub-chunk and
// stops where the data ends; every run is clipped to the picture, what falls outside is
// dropped.
#include <algorithm>
#include <cstring>

#include "graphics2d/formats/fli_handler.h"

namespace {

class BlockReader {
public:
    BlockReader(const uint8_t* data, uint32_t size) : data_(data), size_(size) {}

    bool Byte(uint8_t* value) {
        if (position_ >= size_) return false;
        *value = data_[position_++];
        return true;
    }
    bool Word(uint16_t* value) {
        if (size_ - position_ < 2) return false;
        *value = static_cast<uint16_t>(data_[position_] | data_[position_ + 1] << 8);
        position_ += 2;
        return true;
    }
    // Up to `count` bytes from the current position; *taken says how many there were.
    const uint8_t* Take(uint32_t count, uint32_t* taken) {
        *taken = std::min(count, size_ - position_);
        const uint8_t* block = data_ + position_;
        position_ += *taken;
        return block;
    }

private:
    const uint8_t* data_;
    uint32_t size_;
    uint32_t position_ = 0;
};

} // namespace

void CFLIHandler::PutRun(const FrameTarget& target, int64_t y, int64_t x, const uint8_t* source,
                         int64_t count) {
    if (y < 0 || y >= height_ || x < 0 || x >= width_ || count <= 0) return;
    const int n = static_cast<int>(std::min<int64_t>(count, width_ - x));
    uint8_t* row = target.dest + y * target.pitch;
    if (target.scratch != nullptr) {
        ConvertRow(row + x * GetOutputBytesPerPixel(), source, n);
    } else {
        std::memcpy(row + x, source, static_cast<size_t>(n));
    }
}

void CFLIHandler::FillRun(const FrameTarget& target, int64_t y, int64_t x, uint8_t first,
                          uint8_t second, int64_t count) {
    if (y < 0 || y >= height_ || x < 0 || x >= width_ || count <= 0) return;
    const int n = static_cast<int>(std::min<int64_t>(count, width_ - x));
    uint8_t* row = target.dest + y * target.pitch;
    uint8_t* run = target.scratch != nullptr ? target.scratch : row + x;
    if (first == second) {
        std::memset(run, first, static_cast<size_t>(n));
    } else {
        for (int i = 0; i < n; i++)
            run[i] = i % 2 == 0 ? first : second;
    }
    if (target.scratch != nullptr) ConvertRow(row + x * GetOutputBytesPerPixel(), run, n);
}

void CFLIHandler::ReadColors(const uint8_t* data, uint32_t size, int shift) {
    BlockReader reader(data, size);
    uint16_t packets;
    if (!reader.Word(&packets)) return;
    uint32_t index = 0;
    for (uint16_t p = 0; p < packets; p++) {
        uint8_t skip, count;
        if (!reader.Byte(&skip) || !reader.Byte(&count)) return;
        index += skip;
        const uint32_t entries = count == 0 ? 256 : count;
        for (uint32_t i = 0; i < entries; i++, index++) {
            if (index > 255) return;
            uint32_t taken;
            const uint8_t* rgb = reader.Take(3, &taken);
            if (taken < 3) return;
            palette_->entries[index] = {static_cast<uint8_t>(rgb[0] << shift),
                                        static_cast<uint8_t>(rgb[1] << shift),
                                        static_cast<uint8_t>(rgb[2] << shift), 0};
        }
    }
}

void CFLIHandler::DecodeSubChunk(const FrameTarget& target, uint16_t type, const uint8_t* data,
                                 uint32_t size) {
    switch (type) {
    case kWordDelta:
        DecodeWordDelta(target, data, size);
        break;
    case kByteDelta:
        DecodeByteDelta(target, data, size);
        break;
    case kBlack:
        DecodeBlack(target);
        break;
    case kByteRun:
        DecodeByteRun(target, data, size);
        break;
    case kLiteral:
        DecodeLiteral(target, data, size);
        break;
    default:
        break;
    }
}

// Lines of 16-bit packets, led by control words: 11 in the top bits skips lines, 10 sets
// the line's last pixel, 00 counts the packets of the line.
void CFLIHandler::DecodeWordDelta(const FrameTarget& target, const uint8_t* data, uint32_t size) {
    BlockReader reader(data, size);
    uint16_t lines;
    if (!reader.Word(&lines)) return;
    int64_t y = 0;
    for (uint16_t line = 0; line < lines && y < height_; line++) {
        bool hasLastPixel = false;
        uint8_t lastPixel = 0;
        uint16_t word;
        for (;;) {
            if (!reader.Word(&word)) return;
            const int top = word >> 14;
            if (top == 3) {
                y -= static_cast<int16_t>(word);
            } else if (top == 2) {
                hasLastPixel = true;
                lastPixel = static_cast<uint8_t>(word);
            } else if (top == 0) {
                break;
            }
        }
        int64_t x = 0;
        for (uint16_t p = 0; p < word; p++) {
            uint8_t skip, countByte;
            if (!reader.Byte(&skip) || !reader.Byte(&countByte)) return;
            x += skip;
            const int count = static_cast<int8_t>(countByte);
            if (count > 0) {
                uint32_t taken;
                const uint8_t* source = reader.Take(2u * count, &taken);
                PutRun(target, y, x, source, taken);
                if (taken < 2u * count) return;
                x += taken;
            } else {
                uint8_t first, second;
                if (!reader.Byte(&first) || !reader.Byte(&second)) return;
                FillRun(target, y, x, first, second, -2 * count);
                x -= 2 * count;
            }
        }
        if (hasLastPixel) PutRun(target, y, width_ - 1, &lastPixel, 1);
        y++;
    }
}

void CFLIHandler::DecodeByteDelta(const FrameTarget& target, const uint8_t* data, uint32_t size) {
    BlockReader reader(data, size);
    uint16_t first, lines;
    if (!reader.Word(&first) || !reader.Word(&lines)) return;
    if (first >= height_) return;
    const int64_t last = std::min<int64_t>(int64_t{first} + lines, height_);
    for (int64_t y = first; y < last; y++) {
        uint8_t packets;
        if (!reader.Byte(&packets)) return;
        int64_t x = 0;
        for (int p = 0; p < packets; p++) {
            uint8_t skip, countByte;
            if (!reader.Byte(&skip) || !reader.Byte(&countByte)) return;
            x += skip;
            const int count = static_cast<int8_t>(countByte);
            if (count > 0) {
                uint32_t taken;
                const uint8_t* source = reader.Take(static_cast<uint32_t>(count), &taken);
                PutRun(target, y, x, source, taken);
                if (taken < static_cast<uint32_t>(count)) return;
                x += count;
            } else {
                uint8_t value;
                if (!reader.Byte(&value)) return;
                FillRun(target, y, x, value, value, -count);
                x -= count;
            }
        }
    }
}

void CFLIHandler::DecodeBlack(const FrameTarget& target) {
    for (int32_t y = 0; y < height_; y++)
        FillRun(target, y, 0, 0, 0, width_);
}

// Every line: a packet count, which is not needed, then packets until the line is full.
void CFLIHandler::DecodeByteRun(const FrameTarget& target, const uint8_t* data, uint32_t size) {
    BlockReader reader(data, size);
    for (int32_t y = 0; y < height_; y++) {
        uint8_t ignored;
        if (!reader.Byte(&ignored)) return;
        int64_t x = 0;
        while (x < width_) {
            uint8_t countByte;
            if (!reader.Byte(&countByte)) return;
            const int count = static_cast<int8_t>(countByte);
            if (count >= 0) {
                uint8_t value;
                if (!reader.Byte(&value)) return;
                FillRun(target, y, x, value, value, count);
                x += count;
            } else {
                uint32_t taken;
                const uint8_t* source = reader.Take(static_cast<uint32_t>(-count), &taken);
                PutRun(target, y, x, source, taken);
                if (taken < static_cast<uint32_t>(-count)) return;
                x -= count;
            }
        }
    }
}

void CFLIHandler::DecodeLiteral(const FrameTarget& target, const uint8_t* data, uint32_t size) {
    BlockReader reader(data, size);
    for (int32_t y = 0; y < height_; y++) {
        uint32_t taken;
        const uint8_t* source = reader.Take(static_cast<uint32_t>(width_), &taken);
        PutRun(target, y, 0, source, taken);
        if (taken < static_cast<uint32_t>(width_)) return;
    }
}
