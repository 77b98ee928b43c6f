#include "audio/streams/buffered_stream.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "audio/streams/stream_reader.h"
#include "foundation/streams/mem_in_stream.h"

namespace {

// A raw stream over bytes in memory that records every raw call's size.
class MemoryRaw final : public BufferedStream {
public:
    explicit MemoryRaw(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}

    int32_t RawRead(void* buffer, int32_t count) override {
        reads.push_back(count);
        int32_t got = std::min<int32_t>(count, static_cast<int32_t>(bytes_.size() - at_));
        std::memcpy(buffer, bytes_.data() + at_, static_cast<size_t>(got));
        at_ += static_cast<size_t>(got);
        return got;
    }
    int32_t RawWrite(const void* buffer, int32_t count) override {
        const auto* in = static_cast<const uint8_t*>(buffer);
        written.insert(written.end(), in, in + count);
        return count;
    }
    int64_t RawSeek(int64_t position) override {
        at_ = static_cast<size_t>(std::min<int64_t>(position, bytes_.size()));
        return static_cast<int64_t>(at_);
    }

    std::vector<int32_t> reads;
    std::vector<uint8_t> written;

private:
    std::vector<uint8_t> bytes_;
    size_t at_ = 0;
};

std::vector<uint8_t> Counting(size_t size) {
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<uint8_t>(i * 7 + 3);
    return bytes;
}

TEST(BufferedStreamTest, ReadingSkippingPeekingAndSeeking) {
    MemoryRaw raw(Counting(1000));
    raw.Open(BufferedStream::kReadable | BufferedStream::kRandomAccess, 0, 1000);
    // Skipping without a buffer goes in pieces of the scratch area.
    EXPECT_EQ(raw.Read(nullptr, 600), 600);
    EXPECT_EQ(raw.reads, (std::vector<int32_t>{256, 256, 88}));
    EXPECT_EQ(raw.GetPosition(), 600);

    // A read past the end with a fill byte gives the short count and fills the rest.
    raw.Control(21, 0, 0);
    uint8_t tail[500];
    std::memset(tail, 0xEE, sizeof tail);
    EXPECT_EQ(raw.Read(tail, 500), 400);
    EXPECT_EQ(tail[0], static_cast<uint8_t>(600 * 7 + 3));
    EXPECT_EQ(tail[399], static_cast<uint8_t>(999 * 7 + 3));
    EXPECT_EQ(tail[400], 0);
    EXPECT_EQ(tail[499], 0);
    EXPECT_EQ(raw.Control(10, 0, 0), 1);
    EXPECT_EQ(raw.Control(9, 0, 0), 0);

    // With a buffer, a seek inside what is buffered reads nothing raw.
    raw.Seek(0);
    raw.Control(15, 64, 0);
    uint8_t byte[4];
    ASSERT_EQ(raw.Read(byte, 4), 4);
    raw.reads.clear();
    raw.Seek(40);
    ASSERT_EQ(raw.Read(byte, 1), 1);
    EXPECT_EQ(byte[0], static_cast<uint8_t>(40 * 7 + 3));
    raw.Seek(2);
    ASSERT_EQ(raw.Peek(byte, 2), 2);
    EXPECT_EQ(byte[0], static_cast<uint8_t>(2 * 7 + 3));
    EXPECT_EQ(raw.ReadByte(), static_cast<uint8_t>(2 * 7 + 3));
    EXPECT_TRUE(raw.reads.empty());
    // A long read beyond the buffer reaches the data further on unchanged.
    uint8_t many[300];
    ASSERT_EQ(raw.Read(many, 300), 300);
    for (int i = 0; i < 300; ++i)
        ASSERT_EQ(many[i], static_cast<uint8_t>((3 + i) * 7 + 3));
    // A negative seek lands at 0, a seek past the length at the length.
    EXPECT_EQ(raw.Seek(-5), 0);
    EXPECT_EQ(raw.Seek(5000), 1000);
}

TEST(BufferedStreamTest, BitFieldsInBothOrdersMatchAReferenceWriter) {
    std::mt19937 random(47);
    for (bool msbFirst : {true, false}) {
        std::vector<std::pair<uint32_t, int>> fields;
        std::vector<uint8_t> reference;
        uint64_t pending = 0;
        int pendingBits = 0;
        for (int i = 0; i < 2000; ++i) {
            int n = 1 + static_cast<int>(random() % 32);
            uint32_t value = static_cast<uint32_t>(random()) & (n == 32 ? ~0u : (1u << n) - 1);
            fields.emplace_back(value, n);
            for (int b = 0; b < n; ++b) {
                uint32_t bit = msbFirst ? (value >> (n - 1 - b)) & 1 : (value >> b) & 1;
                pending |= uint64_t(bit) << (msbFirst ? 7 - pendingBits : pendingBits);
                if (++pendingBits == 8) {
                    reference.push_back(static_cast<uint8_t>(pending));
                    pending = 0;
                    pendingBits = 0;
                }
            }
        }
        if (pendingBits > 0) reference.push_back(static_cast<uint8_t>(pending));

        MemoryRaw writer({});
        writer.Open(BufferedStream::kWritable, 0, 0);
        writer.Control(18, 100, 0);
        writer.Control(25, msbFirst ? 1 : 0, 0);
        for (auto [value, n] : fields)
            writer.WriteBits(value, n);
        writer.Control(43, 0, 0);
        EXPECT_EQ(writer.written, reference);

        CMemInStream input;
        input.Attach(reference.data(), static_cast<uint32_t>(reference.size()));
        StreamReader reader;
        reader.Open(&input);
        reader.Control(15, 37, 0);
        reader.Control(23, msbFirst ? 1 : 0, 0);
        for (size_t i = 0; i < fields.size(); ++i) {
            auto [value, n] = fields[i];
            if (i % 5 == 4) {
                reader.SkipBits(n);
                continue;
            }
            ASSERT_EQ(reader.ReadBits(n), value) << i << (msbFirst ? " msb" : " lsb");
        }
    }
}

TEST(BufferedStreamTest, WritesFlushAndChainsReachTheInnermostStream) {
    MemoryRaw inner({});
    inner.Open(BufferedStream::kWritable, 0, 0);
    inner.Control(18, 16, 0);
    BufferedStream outer;
    outer.SetNext(&inner, false);
    std::vector<uint8_t> data = Counting(40);
    EXPECT_EQ(outer.Write(data.data(), 40), 40);
    EXPECT_EQ(inner.written.size(), 32u);
    EXPECT_EQ(outer.Control(34, 0, 0), 8);
    EXPECT_EQ(outer.Control(32, 0, 0), 0);
    EXPECT_EQ(inner.written, data);
    EXPECT_EQ(outer.GetLength(), 40);
    // A stream that cannot read answers 0 bytes.
    uint8_t byte;
    EXPECT_EQ(outer.Read(&byte, 1), 0);
}

} // namespace
