// The tests' own writer of MPEG audio frames, for what no Debian encoder writes: random but
// valid Layer III frames of every block type, mixed blocks, middle/side and intensity stereo
// and every Huffman table, coded with the decoder's own tables inverted.
#pragma once

#include <cstdint>
#include <random>
#include <vector>

namespace mpeg_test {

class BitWriter {
public:
    void Put(uint32_t value, int count) {
        for (int i = count - 1; i >= 0; --i) {
            if (bit_ % 8 == 0) bytes_.push_back(0);
            if (((value >> i) & 1) != 0) bytes_.back() |= static_cast<uint8_t>(0x80 >> (bit_ % 8));
            ++bit_;
        }
    }
    void Append(const BitWriter& other) {
        for (int i = 0; i < other.bit_; ++i)
            Put((other.bytes_[static_cast<size_t>(i / 8)] >> (7 - i % 8)) & 1, 1);
    }
    int Bits() const { return bit_; }
    std::vector<uint8_t>& bytes() { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
    int bit_ = 0;
};

struct LayerThreeOptions {
    // MPEG-1 at 48 kHz and 320 kbit/s, else MPEG-2 at 24 kHz and 160 kbit/s.
    bool mpeg1 = true;
    // 3 mono, 0 stereo, 1 joint stereo with the mode extension below.
    int mode = 1;
    int modeExtension = 0;
    // Window switching on some granules, and then some of the short blocks mixed.
    bool switching = true;
    bool mixed = false;
};

// `frames` frames; each part lies in its own frame (no reservoir). The Huffman tables of the
// regions go round every table in turn, so that a few dozen frames use them all.
std::vector<uint8_t> LayerThreeFrames(int frames, const LayerThreeOptions& options,
                                      std::mt19937& random);

} // namespace mpeg_test
