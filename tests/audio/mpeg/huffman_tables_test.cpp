// Every code word of every Layer III table, read through the lookup tables, gives its own
// value and length: the several-bits-a-step reading equals the bit-by-bit code.
#include <gtest/gtest.h>

#include <cstring>

#include "audio/mpeg/huffman_tables.h"

namespace {

TEST(HuffmanTablesTest, EveryCodeDecodesToItsValue) {
    for (int table = 1; table < 34; ++table) {
        if (table == 4 || table == 14) continue;
        const bool quad = table >= 32;
        const int width = quad ? 0 : GetLayerThreeTable(table).width;
        const int count = quad ? 16 : width * width;
        const HuffmanLookup& lookup =
            quad ? GetQuadTable(table - 32) : *GetLayerThreeTable(table).lookup;
        for (int index = 0; index < count; ++index) {
            uint32_t code = 0;
            int length = 0;
            GetLayerThreeCode(table, index, &code, &length);
            ASSERT_GT(length, 0);
            // The code, then ones, so that a wrong length shows.
            uint8_t bytes[4 + kBitReaderPadding] = {};
            uint32_t word = (code << (32 - length)) | (0xFFFFFFFFu >> length);
            for (int i = 0; i < 4; ++i)
                bytes[i] = static_cast<uint8_t>(word >> (24 - 8 * i));
            BitReader reader(bytes, 32, 0);
            uint32_t value = lookup.Decode(reader);
            uint32_t expected =
                quad ? uint32_t(index) : uint32_t((index / width) * 16 + index % width);
            EXPECT_EQ(value, expected) << "table " << table << " index " << index;
            EXPECT_EQ(reader.Position(), length) << "table " << table << " index " << index;
            int used = 0;
            EXPECT_EQ(lookup.DecodeWord(uint64_t(word) << 32, used), expected);
            EXPECT_EQ(used, length);
        }
    }
}

} // namespace
