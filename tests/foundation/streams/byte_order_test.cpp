#include "foundation/streams/byte_order.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstring>
#include <utility>

namespace {

TEST(ByteOrder, ThirtyAndSixteenBitTables) {
    EXPECT_EQ(GetHostByteOrder(), kByteOrderLittle);
    // Bytes A B C D from the most significant.
    const uint32_t abcd = 0xAABBCCDD;
    for (auto [from, to] : {std::pair{1, 2}, {1, 3}, {2, 3}}) {
        uint32_t expected = from == 1 ? (to == 2 ? 0xDDCCBBAA : 0xBBAADDCC) : 0xCCDDAABB;
        EXPECT_EQ(ConvertByteOrder32(abcd, from, to), expected) << from << to;
        EXPECT_EQ(ConvertByteOrder32(abcd, to, from), expected) << to << from;
    }
    EXPECT_EQ(ConvertByteOrderInt32(0x000000FF, 2, 1), int32_t(0xFF000000));
    EXPECT_EQ(ConvertByteOrder16(0x1234, 1, 2), 0x3412);
    EXPECT_EQ(ConvertByteOrder16(0x1234, 2, 3), 0x1234);
    EXPECT_EQ(ConvertByteOrder16(0x1234, 3, 1), 0x1234);
    EXPECT_EQ(ConvertByteOrderInt16(int16_t(0x80FF), 1, 2), int16_t(0xFF80));

    for (int32_t unknown : {0, 4, -1}) {
        EXPECT_EQ(ConvertByteOrder32(abcd, unknown, 1), 0u);
        EXPECT_EQ(ConvertByteOrderFloat(1.5f, 2, unknown), 0.0f);
        EXPECT_EQ(std::bit_cast<uint64_t>(ConvertByteOrder64(1.5, 3, unknown)), 0u);
        EXPECT_EQ(ConvertByteOrder16(0x1234, unknown, 1), 0x1234);
    }
}

TEST(ByteOrder, SixtyFourBitTableOnMemoryBytes) {
    auto convert = [](int32_t from, int32_t to) {
        const unsigned char in[8] = {0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17};
        double value = ConvertByteOrder64(std::bit_cast<double>(in), from, to);
        uint64_t bytes;
        std::memcpy(&bytes, &value, sizeof bytes);
        return bytes; // m0 in the low byte
    };
    EXPECT_EQ(convert(1, 2), 0x1011121314151617u);
    EXPECT_EQ(convert(3, 1), 0x1617141512131011u);
    EXPECT_EQ(convert(2, 3), 0x1110131215141716u);
}

TEST(ByteOrder, EveryConversionIsUndoneByTheReverseOne) {
    for (int32_t from = 1; from <= 3; ++from) {
        for (int32_t to = 1; to <= 3; ++to) {
            SCOPED_TRACE(testing::Message() << from << " -> " << to);
            EXPECT_EQ(ConvertByteOrder32(ConvertByteOrder32(0x12345678, from, to), to, from),
                      0x12345678u);
            EXPECT_EQ(ConvertByteOrder16(ConvertByteOrder16(0xABCD, from, to), to, from), 0xABCD);
            EXPECT_EQ(ConvertByteOrder64(ConvertByteOrder64(-1234.5678, from, to), to, from),
                      -1234.5678);
            // A float goes the way of its bits.
            EXPECT_EQ(std::bit_cast<uint32_t>(ConvertByteOrderFloat(2.75f, from, to)),
                      ConvertByteOrder32(std::bit_cast<uint32_t>(2.75f), from, to));
        }
    }
}

} // namespace
