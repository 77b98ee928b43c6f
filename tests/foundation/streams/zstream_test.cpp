#include <gtest/gtest.h>
#include <zlib.h>

#include <string>

#include "foundation/files/file_layer.h"
#include "foundation/streams/mem_in_stream.h"
#include "foundation/streams/mem_out_stream.h"
#include "foundation/streams/zstream.h"
#include "support/temp_dir.h"

namespace {

// Text-like data with enough variety that deflate levels give different results.
std::string Sample(size_t size) {
    std::string text;
    uint32_t state = 12345;
    while (text.size() < size) {
        state = state * 1103515245 + 12345;
        text += "word" + std::to_string(state >> 20) + (state & 0x100 ? "\n" : " ");
    }
    text.resize(size);
    return text;
}

std::string Compress(const std::string& data, int level) {
    CMemInStream reader;
    reader.Attach(data.data(), static_cast<uint32_t>(data.size()));
    CMemOutStream writer;
    EXPECT_EQ(ZStream_Compress(writer, reader, kZStreamWholeStream, level), kResultOk);
    return std::string(reinterpret_cast<char*>(writer.GetBuffer()), writer.GetLength());
}

ResultCode Decompress(const std::string& packed, std::string* out, uint32_t packedSize,
                      uint32_t capacity = 0) {
    CMemInStream reader;
    reader.Attach(packed.data(), static_cast<uint32_t>(packed.size()));
    std::string fixed(capacity, 0);
    CMemOutStream growable, bounded;
    bounded.AttachBuffer(fixed.data(), capacity);
    CMemOutStream& writer = capacity ? bounded : growable;
    ResultCode result = ZStream_Decompress(writer, reader, packedSize);
    *out = std::string(reinterpret_cast<char*>(writer.GetBuffer()), writer.GetLength());
    return result;
}

TEST(ZStream, RoundTripsAtEveryLevelWithClampedLevels) {
    const std::string data = Sample(100000);
    std::string packed[10];
    for (int level = 0; level <= 9; level++) {
        packed[level] = Compress(data, level);
        std::string out;
        ASSERT_EQ(Decompress(packed[level], &out, kZStreamWholeStream), kResultOk) << level;
        EXPECT_EQ(out, data) << level;
    }
    EXPECT_GT(packed[0].size(), data.size());
    EXPECT_LT(packed[9].size(), packed[1].size());
    EXPECT_EQ(Compress(data, 12), packed[9]);
    EXPECT_EQ(Compress(data, -5), packed[0]);
    EXPECT_EQ(Compress(data, -1), packed[6]);

    // Outputs of whole chunks end exactly when the output buffer is full.
    for (size_t size : {size_t{0}, size_t{1}, size_t{8192}, size_t{16384}, size_t{65536}}) {
        std::string chunked = Sample(size), out;
        std::string stored = Compress(chunked, 0);
        ASSERT_EQ(Decompress(stored, &out, static_cast<uint32_t>(stored.size())), kResultOk);
        EXPECT_EQ(out, chunked) << size;
    }
}

TEST(ZStream, EmptyInputGivesACompleteStreamAndEmptyPackedDataNothing) {
    std::string packed = Compress("", 6);
    uLongf size = 16;
    Bytef check[16];
    EXPECT_EQ(uncompress(check, &size, reinterpret_cast<const Bytef*>(packed.data()),
                         static_cast<uLong>(packed.size())),
              Z_OK);
    EXPECT_EQ(size, 0u);

    std::string out = "unchanged";
    EXPECT_EQ(Decompress(packed, &out, 0), kResultOk);
    EXPECT_TRUE(out.empty());
}

TEST(ZStream, BadPackedDataIsRejected) {
    const std::string data = Sample(50000);
    const std::string packed = Compress(data, 6);
    const uint32_t size = static_cast<uint32_t>(packed.size());
    std::string out;

    std::string corrupt = packed;
    corrupt[size / 2] ^= 0x55;
    corrupt[size / 2 + 1] ^= 0xAA;
    EXPECT_EQ(Decompress(corrupt, &out, size), kResultCompressionError);
    std::string badHeader = packed;
    badHeader[0] = 0x12;
    EXPECT_EQ(Decompress(badHeader, &out, size), kResultCompressionError);
    std::string badChecksum = packed;
    badChecksum[size - 1] ^= 1;
    EXPECT_EQ(Decompress(badChecksum, &out, size), kResultCompressionError);

    EXPECT_EQ(Decompress(packed.substr(0, size - 10), &out, size - 10), kResultCompressionError);
    EXPECT_EQ(Decompress(packed.substr(0, 2), &out, 2), kResultCompressionError);
    EXPECT_EQ(Decompress(packed, &out, size, 40000), kResultBufferFull);
    EXPECT_EQ(Decompress(packed.substr(0, size - 10), &out, size), kResultEndOfData);
}

TEST(ZStream, TrailingBytesInsideThePackedSizeAreReadAndIgnored) {
    const std::string data = Sample(20000);
    const std::string packed = Compress(data, 6) + std::string(9000, 'T') + "after";
    CMemInStream reader;
    reader.Attach(packed.data(), static_cast<uint32_t>(packed.size()));
    CMemOutStream writer;
    const uint32_t packedSize = static_cast<uint32_t>(packed.size() - 5);
    ASSERT_EQ(ZStream_Decompress(writer, reader, packedSize), kResultOk);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(writer.GetBuffer()), writer.GetLength()), data);
    EXPECT_EQ(reader.Tell(), packedSize);
}

TEST(ZStream, DecompressBufferChecksCapacityAndLeavesTheHandleAfterThePackedData) {
    test_support::TempDir dir;
    const std::string data = Sample(70000);
    const std::string packed = Compress(data, 9);
    const uint32_t size = static_cast<uint32_t>(packed.size());
    dir.WriteFile("bank.bin", "HEADER.." + packed + "NEXT");
    HANDLE file = FileOpen(dir.Win("bank.bin").c_str(), 0);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    std::string out(70000, 0);
    auto decompress = [&](uint32_t capacity, uint32_t packedSize, uint32_t expected) {
        FileSeek(file, 8);
        return ZStream_DecompressBuffer(out.data(), capacity, file, packedSize, expected);
    };

    ASSERT_EQ(decompress(70000, size, 70000), kResultOk);
    EXPECT_EQ(out, data);
    EXPECT_EQ(FileTell(file), 8 + size);
    char next[4];
    ASSERT_EQ(FileRead(file, next, 4), kResultOk);
    EXPECT_EQ(std::string(next, 4), "NEXT");

    EXPECT_EQ(decompress(69999, size, kZStreamAnySize), kResultBufferFull);
    EXPECT_EQ(decompress(70000, size, 70001), kResultCompressionError);
    EXPECT_EQ(decompress(70000, size - 5, kZStreamAnySize), kResultCompressionError);
    EXPECT_EQ(decompress(70000, size + 100, kZStreamAnySize), kResultEndOfData);
    FileClose(file);
}

} // namespace
