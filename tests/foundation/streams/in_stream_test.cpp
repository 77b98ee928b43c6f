#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/streams/mem_in_stream.h"

namespace {

using Lines = std::vector<std::string>;

Lines ReadLines(const std::string& text, int size = 64) {
    CMemInStream stream;
    stream.Attach(text.data(), static_cast<uint32_t>(text.size()));
    Lines lines;
    char buffer[64];
    while (char* line = stream.ReadLine(buffer, size))
        lines.push_back(line);
    return lines;
}

TEST(InStreamReadLine, LineBreaksBecomeOneLfAndAFinalBreakIsDropped) {
    EXPECT_EQ(ReadLines("a\r\nb"), (Lines{"a\n", "b"}));
    EXPECT_EQ(ReadLines("a\n\rb"), (Lines{"a\n", "b"}));
    EXPECT_EQ(ReadLines("a\rb\n"), (Lines{"a\rb"}));
    EXPECT_EQ(ReadLines("one\ntwo\n"), (Lines{"one\n", "two"}));
    EXPECT_EQ(ReadLines("x\n\ny\r"), (Lines{"x\n", "\n", "y"}));
    EXPECT_TRUE(ReadLines("").empty());
}

TEST(InStreamReadLine, SizeLimits) {
    EXPECT_EQ(ReadLines("abcdefg", 4), (Lines{"abc", "def", "g"}));
    std::string text = "abc";
    CMemInStream stream;
    stream.Attach(text.data(), 3);
    char buffer[4] = "zzz";
    EXPECT_EQ(stream.ReadLine(buffer, 0), nullptr);
    ASSERT_EQ(stream.ReadLine(buffer, 1), buffer);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(stream.Tell(), 0u);
}

TEST(InStreamTypedReads, ByteOrders) {
    const uint8_t bytes[] = {0x01, 0x02, 0x03, 0x04, 0x00, 0x00,
                             0x80, 0x3F, 0x3F, 0x80, 0x00, 0x00};
    CMemInStream stream;
    stream.Attach(bytes, sizeof bytes);
    uint16_t word, wordBE, words[2];
    uint32_t value, valueBE, longs[1];
    float number, numberBE, floats[1];
    ASSERT_EQ(stream.ReadWord(&word) | stream.ReadWordBE(&wordBE), kResultOk);
    EXPECT_EQ(word, 0x0201);
    EXPECT_EQ(wordBE, 0x0304);
    stream.Seek(0, 0);
    ASSERT_EQ(stream.ReadLong(&value) | stream.ReadFloat(&number) | stream.ReadFloatBE(&numberBE),
              kResultOk);
    EXPECT_EQ(value, 0x04030201u);
    EXPECT_EQ(number, 1.0f);
    EXPECT_EQ(numberBE, 1.0f);
    stream.Seek(0, 0);
    ASSERT_EQ(stream.ReadLongBE(&valueBE), kResultOk);
    EXPECT_EQ(valueBE, 0x01020304u);

    stream.Seek(0, 0);
    ASSERT_EQ(stream.ReadWordsBE(words, 2), kResultOk);
    EXPECT_EQ(words[1], 0x0304);
    stream.Seek(0, 0);
    ASSERT_EQ(stream.ReadLongsBE(longs, 1), kResultOk);
    EXPECT_EQ(longs[0], 0x01020304u);
    stream.Seek(8, 0);
    ASSERT_EQ(stream.ReadFloatsBE(floats, 1), kResultOk);
    EXPECT_EQ(floats[0], 1.0f);
}

TEST(InStreamTypedReads, FailuresLeaveValuesUnwrittenAndArraysUnconverted) {
    const uint8_t bytes[] = {0x01, 0x02, 0x03};
    CMemInStream stream;
    stream.Attach(bytes, sizeof bytes);
    uint32_t value = 0xDEADBEEF;
    EXPECT_EQ(stream.ReadLong(&value), kResultEndOfData);
    EXPECT_EQ(value, 0xDEADBEEFu);

    stream.Seek(0, 0);
    uint16_t words[2] = {0, 0};
    uint32_t count = 0;
    EXPECT_EQ(stream.ReadWordsBE(words, 2), kResultEndOfData);
    EXPECT_EQ(words[0], 0x0201);
    stream.Seek(1, 0);
    EXPECT_EQ(stream.ReadCounted(words, 4, &count), kResultEndOfData);
    EXPECT_EQ(count, 2u);
    // Arrays too large for any stream are refused before reading.
    EXPECT_EQ(stream.ReadLongs(&value, 0x40000000), kResultEndOfData);
}

TEST(MemInStream, SeekClampsAndReadAllocPointsIntoTheMemory) {
    std::string text = "0123456789";
    CMemInStream stream;
    stream.Attach(text.data(), 10);
    EXPECT_EQ(stream.Seek(-5, 0), 0u);
    EXPECT_EQ(stream.Seek(100, 0), 10u);
    EXPECT_EQ(stream.Seek(-2, 2), 8u);
    EXPECT_EQ(stream.Seek(3, 7), 8u);
    EXPECT_EQ(stream.Seek(INT32_MAX, 1), 10u);
    EXPECT_EQ(stream.Seek(INT32_MIN, 1), 0u);

    char buffer[16] = {};
    EXPECT_EQ(stream.Read(buffer, 0), kResultOk);
    stream.Seek(6, 0);
    EXPECT_EQ(stream.Read(buffer, 8), kResultEndOfData);
    EXPECT_STREQ(buffer, "6789");
    EXPECT_EQ(stream.Read(buffer, 1), kResultEndOfData);

    stream.Seek(2, 0);
    void* block = stream.ReadAlloc(3);
    EXPECT_EQ(block, text.data() + 2);
    EXPECT_EQ(stream.Tell(), 5u);
    EXPECT_EQ(stream.ReadAlloc(6), nullptr);
    EXPECT_EQ(stream.ReadAlloc(0), nullptr);
    EXPECT_EQ(stream.Tell(), 5u);
    stream.FreeAlloc(block);
    EXPECT_EQ(text, "0123456789");
    EXPECT_EQ(stream.DetachHandle(), INVALID_HANDLE_VALUE);
}

} // namespace
