// The Huffman tables of Layer III, read through lookup tables of several bits a step that
// give the same values as walking the code tree bit by bit.
#pragma once

#include <cstdint>
#include <vector>

#include "audio/mpeg/bit_reader.h"

class HuffmanLookup {
public:
    // Codes of the table given as words and lengths; `rootBits` bits per first step. With
    // a `width`, index i decodes to (i / width) × 16 + i % width, else to i.
    HuffmanLookup(const uint16_t* codes, const uint8_t* lengths, int count, int rootBits,
                  int width);

    // The value of the code word at the reader, which moves past it.
    uint32_t Decode(BitReader& reader) const {
        uint32_t entry = entries_[reader.Peek(rootBits_)];
        if ((entry & kBranch) != 0) {
            reader.Skip(rootBits_);
            int bits = static_cast<int>((entry >> 16) & 0xFF);
            entry = entries_[(entry & 0xFFFF) + reader.Peek(bits)];
        }
        reader.Skip(static_cast<int>(entry >> 16));
        return entry & 0xFFFF;
    }

    // The same from the top bits of `word`; adds the code's length to `used`.
    uint32_t DecodeWord(uint64_t word, int& used) const {
        uint32_t entry = entries_[word >> (64 - rootBits_)];
        if ((entry & kBranch) != 0) {
            int bits = static_cast<int>((entry >> 16) & 0xFF);
            entry = entries_[(entry & 0xFFFF) + ((word << rootBits_) >> (64 - bits))];
            used += rootBits_;
        }
        used += static_cast<int>(entry >> 16);
        return entry & 0xFFFF;
    }

private:
    static constexpr uint32_t kBranch = 0x80000000u;
    std::vector<uint32_t> entries_;
    int rootBits_;
};

struct LayerThreeTable {
    // Null for tables 0, 4 and 14, which give (0, 0) without reading.
    const HuffmanLookup* lookup;
    // Values per row; the lookup gives x × 16 + y.
    int width;
    int linbits;
};

// Big-value tables 0 to 31.
const LayerThreeTable& GetLayerThreeTable(int index);
// Count1 tables: 0 is A, 1 is B; the index holds v, w, x and y as bits 8, 4, 2 and 1.
const HuffmanLookup& GetQuadTable(int index);
// For the test writer: the code word and length of an index of a table (0..31, 32, 33).
void GetLayerThreeCode(int table, int index, uint32_t* code, int* length);
