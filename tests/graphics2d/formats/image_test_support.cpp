#include "graphics2d/formats/image_test_support.h"

#include <gtest/gtest.h>

namespace image_test {

ByteBuilder& ByteBuilder::U8(uint32_t value) {
    bytes_.push_back(static_cast<uint8_t>(value));
    return *this;
}

ByteBuilder& ByteBuilder::U16(uint32_t value) {
    return U8(value).U8(value >> 8);
}
ByteBuilder& ByteBuilder::U32(uint32_t value) {
    return U16(value).U16(value >> 16);
}

ByteBuilder& ByteBuilder::Raw(const Bytes& bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return *this;
}

void ByteBuilder::Put32At(size_t offset, uint32_t value) {
    for (int i = 0; i < 4; i++)
        bytes_.at(offset + i) = static_cast<uint8_t>(value >> (8 * i));
}

uint32_t Load32(const Bytes& b, size_t at) {
    return b.at(at) | b.at(at + 1) << 8 | b.at(at + 2) << 16 | uint32_t(b.at(at + 3)) << 24;
}

Bytes Contents(CMemOutStream& out) {
    return Bytes(out.GetBuffer(), out.GetBuffer() + out.GetLength());
}

Bytes Decoded::Pixel(int x, int y, int bytes) const {
    auto at = pixels.begin() + static_cast<ptrdiff_t>(y) * pitch + x * bytes;
    return Bytes(at, at + bytes);
}

uint32_t Decoded::Word(int x, int y) const {
    size_t at = static_cast<size_t>(y) * pitch + static_cast<size_t>(x) * 2;
    return pixels.at(at) | pixels.at(at + 1) << 8;
}

Bytes Decoded::Rows() const {
    Bytes rows;
    const size_t rowBytes = static_cast<size_t>(width) * ((depth + 1) / 8);
    for (int32_t y = 0; y < height; y++) {
        auto row = pixels.begin() + static_cast<ptrdiff_t>(y) * pitch;
        rows.insert(rows.end(), row, row + static_cast<ptrdiff_t>(rowBytes));
    }
    return rows;
}

Decoded Decode(CImageFormatHandler& handler, const Bytes& file, int depth,
               const ImagePalette* palette, bool withMask) {
    Decoded d;
    ByteStream stream(file);
    d.open = handler.Open(stream);
    if (d.open != kImageOk) return d;
    d.width = handler.GetWidth();
    d.height = handler.GetHeight();
    d.depth = depth == 0 ? handler.GetDepth() : depth;
    if (d.depth == 8 && palette == nullptr) palette = handler.GetPalette();
    d.read = handler.SetOutputFormat(d.depth, palette);
    if (d.read != kImageOk) return d;
    d.pitch = (d.width * (d.depth == 15 ? 16 : d.depth) + 31) / 32 * 4;
    d.pixels.assign(static_cast<size_t>(d.pitch) * d.height, kUntouched);
    if (withMask) d.mask.assign(static_cast<size_t>(d.width) * d.height, kUntouched);
    d.read =
        handler.ReadFrame(stream, d.pixels.data(), d.pitch, withMask ? d.mask.data() : nullptr);
    return d;
}

ResultCode FailingOutStream::Write(const void*, uint32_t count) {
    if (count > capacity_ - written_) {
        written_ = capacity_;
        return kResultWriteError;
    }
    written_ += count;
    return kResultOk;
}

void ExpectCutsFail(const std::function<ImageResult(COutStream&)>& write,
                    std::vector<uint32_t> cuts, uint32_t step) {
    CMemOutStream whole;
    ASSERT_EQ(write(whole), kImageOk);
    const uint32_t total = whole.GetLength();
    for (uint32_t cut = 0; step != 0 && cut < total; cut += step)
        cuts.push_back(cut);
    cuts.push_back(total - 1);
    for (uint32_t cut : cuts) {
        FailingOutStream failing(cut);
        EXPECT_EQ(write(failing), kImageWriteError) << "cut after " << cut << " of " << total;
    }
}

} // namespace image_test
