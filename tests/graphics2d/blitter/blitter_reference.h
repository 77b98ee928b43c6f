// A plain model of the pixel formats and operations, written one pixel at a time from
// their definitions, against which the blitter's routines are checked; and test images:
// surfaces over buffers of exactly their size (so that AddressSanitizer sees any write
// outside), optionally stored bottom-up or starting at an odd address.
#pragma once

#include <cstdint>
#include <random>
#include <vector>

#include "graphics2d/blitter/pixel_format.h"
#include "graphics2d/palette/palette.h"

namespace blitter_reference {

class TestImage {
public:
    TestImage(int32_t formatIndex, int32_t width, int32_t height, bool bottomUp = false,
              int32_t misalign = 0, PaletteRecord* palette = nullptr);
    TestImage(const TestImage& other);
    TestImage& operator=(const TestImage&) = delete;

    // The stored word of a pixel (little-endian bytes).
    uint32_t Word(int32_t x, int32_t y) const;
    void SetWord(int32_t x, int32_t y, uint32_t word);
    // Random words, about `keyPercent` of them 0 and as many nearly black.
    void Randomize(std::mt19937& rng, int keyPercent);
    // Every byte of the buffer, pixels and padding.
    bool SameBytes(const TestImage& other) const { return buffer_ == other.buffer_; }

    SurfaceBits bits;

private:
    void Point();

    std::vector<uint8_t> buffer_;
    int32_t misalign_;
};

// The bits of a format's word that hold colour.
uint32_t ColorBits(int32_t formatIndex);
// Word <-> 0x00BBGGRR colour, deeper than 8 bits.
uint32_t Pack(int32_t formatIndex, uint32_t colour);
uint32_t Unpack(int32_t formatIndex, uint32_t word);
// The colour of a word in any format (8 bits through the palette, black without one).
uint32_t ColorOf(const SurfaceBits& bits, uint32_t word);
// The word a converted colour is stored as in a format.
uint32_t ConvertedWord(const SurfaceBits& bits, uint32_t colour);

// The result of an operation for source word s over destination word d.
uint32_t Operate(const SurfaceBits& destination, const SurfaceBits& source, int32_t op,
                 uint32_t param, uint32_t s, uint32_t d);

// The copies, pixel by pixel. Op 0 is the plain or keyed copy.
void Copy(TestImage& destination, int32_t dx, int32_t dy, const TestImage& source, int32_t sx,
          int32_t sy, int32_t width, int32_t height, bool keyed, int32_t op, uint32_t param);
void Convert(TestImage& destination, int32_t dx, int32_t dy, const TestImage& source, int32_t sx,
             int32_t sy, int32_t width, int32_t height);
// Destination pixel i of a stretch from n source pixels to m takes source pixel
// min{j : (j + 1) x step / 65536 > i}, step = m x 65536 / n, or the last one.
void Stretch(TestImage& destination, int32_t dx, int32_t dy, const TestImage& source, int32_t sx,
             int32_t sy, int32_t destinationWidth, int32_t destinationHeight, int32_t sourceWidth,
             int32_t sourceHeight);

} // namespace blitter_reference
