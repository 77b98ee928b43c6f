#include "engine3d/files/chunk_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <string>
#include <vector>

#include "engine3d/scene/animation_sequences.h"
#include "engine3d/scene/byte_sink.h"
#include "engine3d/scene/chunk_writer.h"
#include "engine3d/scene/key_track.h"
#include "foundation/containers/owned_ptr_array.h"
#include "foundation/streams/mem_in_stream.h"

namespace {

// A reader over bytes the test keeps alive.
struct Reading {
    explicit Reading(const std::vector<uint8_t>& bytes) : reader(stream) {
        stream.Attach(bytes.data(), static_cast<uint32_t>(bytes.size()));
    }
    CMemInStream stream;
    ChunkReader reader;
};

void PutU32(std::vector<uint8_t>& bytes, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

TEST(ChunkReaderTest, ReadsBackEveryRecordTheWriterWrites) {
    MemoryByteSink sink;
    ChunkWriter writer(sink);
    const float point[10] = {1, 2, 3, 0.25f, 0.5f, 0.75f, 1.5f, 0, 1, 0};
    float matrix[16];
    for (int i = 0; i < 16; ++i)
        matrix[i] = float(i + 1);
    const float quaternion[4] = {0.5f, -0.5f, 0.25f, 1};
    LKey key;
    key.frame = 12;
    key.tension = 0.1f;
    key.bias = 0.2f;
    key.continuity = 0.3f;
    key.easeTo = 0.4f;
    key.easeFrom = 0.5f;
    key.elementCount = 7;
    SequenceRecord sequence{};
    std::strcpy(sequence.name, "walk");
    sequence.flags = 3;
    sequence.start = 1;
    sequence.end = 40;
    sequence.current = 5;
    sequence.values[0] = 6;
    sequence.values[1] = 7;
    sequence.values[2] = 8;
    sequence.values[3] = 9;

    uint32_t start = writer.BeginChunk(ChunkTag("TEST"), 0);
    writer.WriteU8(0xAB);
    writer.WriteU16(0xBEEF);
    writer.WriteU32(0xDEADBEEF);
    writer.WriteVector(1.5f, -2, 3);
    writer.WriteString("texture.bmp");
    writer.WritePoint(point);
    writer.WriteTriangle(1, 2, 3, 4);
    writer.WriteQuad(5, 6, 7, 8, 9);
    writer.WritePair(0x12345678, 0x9ABC);
    writer.WriteKey(key);
    writer.WriteQuaternion(quaternion);
    writer.WriteAnimDef(sequence);
    writer.WriteMatrix(matrix);
    writer.EndChunk(start);
    ASSERT_TRUE(writer.Ok());

    Reading in(sink.Bytes());
    ChunkReader& reader = in.reader;
    ChunkHeader header;
    ASSERT_TRUE(reader.NextChunk(reader.Length(), header));
    EXPECT_EQ(header.tag, ChunkTag("TEST"));
    EXPECT_EQ(header.end, sink.Bytes().size());

    uint8_t u8;
    uint16_t u16;
    uint32_t u32;
    float x, y, z;
    reader.ReadU8(u8);
    reader.ReadU16(u16);
    reader.ReadU32(u32);
    reader.ReadVector(x, y, z);
    EXPECT_EQ(u8, 0xAB);
    EXPECT_EQ(u16, 0xBEEF);
    EXPECT_EQ(u32, 0xDEADBEEF);
    EXPECT_EQ(x, 1.5f);
    EXPECT_EQ(y, -2);
    EXPECT_EQ(z, 3);
    char name[32];
    reader.ReadString(name, sizeof name);
    EXPECT_STREQ(name, "texture.bmp");
    float readPoint[10];
    reader.ReadPoint(readPoint, true);
    EXPECT_EQ(0, std::memcmp(readPoint, point, sizeof point));
    uint16_t a, b, c, d, material;
    reader.ReadU8(u8);
    EXPECT_EQ(u8, 3);
    reader.ReadTriangle(a, b, c, material);
    EXPECT_EQ((std::vector<uint16_t>{a, b, c, material}), (std::vector<uint16_t>{1, 2, 3, 4}));
    reader.ReadU8(u8);
    EXPECT_EQ(u8, 4);
    reader.ReadQuad(a, b, c, d, material);
    EXPECT_EQ((std::vector<uint16_t>{a, b, c, d, material}),
              (std::vector<uint16_t>{5, 6, 7, 8, 9}));
    reader.ReadPair(u32, u16);
    EXPECT_EQ(u32, 0x12345678u);
    EXPECT_EQ(u16, 0x9ABC);
    LKey readKey;
    reader.ReadKey(readKey, true);
    EXPECT_EQ(readKey.frame, 12);
    EXPECT_EQ(readKey.tension, 0.1f);
    EXPECT_EQ(readKey.bias, 0.2f);
    EXPECT_EQ(readKey.continuity, 0.3f);
    EXPECT_EQ(readKey.easeTo, 0.4f);
    EXPECT_EQ(readKey.easeFrom, 0.5f);
    EXPECT_EQ(readKey.elementCount, 7u);
    float readQuaternion[4];
    reader.ReadQuaternion(readQuaternion);
    EXPECT_EQ(0, std::memcmp(readQuaternion, quaternion, sizeof quaternion));
    SequenceRecord readSequence{};
    readSequence.values[3] = 99;
    readSequence.values[4] = 99;
    reader.ReadAnimDef(readSequence);
    EXPECT_STREQ(readSequence.name, "walk");
    EXPECT_EQ(readSequence.flags, 3);
    EXPECT_EQ((std::vector<int32_t>{readSequence.start, readSequence.end, readSequence.current,
                                    readSequence.values[0], readSequence.values[1],
                                    readSequence.values[2], readSequence.values[3],
                                    readSequence.values[4]}),
              (std::vector<int32_t>{1, 40, 5, 6, 7, 8, 0, 0}));
    float readMatrix[16];
    std::fill(readMatrix, readMatrix + 16, 5.0f);
    reader.ReadMatrix(readMatrix);
    EXPECT_EQ(0, std::memcmp(readMatrix, matrix, 12 * sizeof(float)));
    for (int i = 12; i < 16; ++i)
        EXPECT_EQ(readMatrix[i], 0) << i;
    EXPECT_EQ(reader.LastResult(), kResultOk);
    EXPECT_EQ(reader.Position(), header.end);
}

TEST(ChunkReaderTest, OlderLayoutsReadWithTheirDefaults) {
    std::vector<uint8_t> bytes;
    for (float value : {1.0f, 2.0f, 3.0f, 0.25f, 0.5f, 0.0f, 0.0f, 1.0f})
        PutU32(bytes, std::bit_cast<uint32_t>(value));
    for (float value : {4.0f, 0.1f, 0.2f, 0.3f, 0.4f, 0.5f})
        PutU32(bytes, std::bit_cast<uint32_t>(value));
    PutU32(bytes, 0xCAFE);
    Reading in(bytes);
    float point[10];
    in.reader.ReadPoint(point, false);
    EXPECT_EQ(point[5], 0.25f);
    EXPECT_EQ(point[6], 0.5f);
    EXPECT_EQ(point[9], 1.0f);
    EXPECT_EQ(in.reader.Position(), 32u);
    LKey key;
    key.elementCount = 3;
    in.reader.ReadKey(key, false);
    EXPECT_EQ(key.frame, 4);
    EXPECT_EQ(key.easeFrom, 0.5f);
    EXPECT_EQ(key.elementCount, 3u);
    uint32_t next;
    in.reader.ReadU32(next);
    EXPECT_EQ(next, 0xCAFEu);
}

TEST(ChunkReaderTest, StringsAreCutToTheirBufferAndTheRecordStaysAligned) {
    MemoryByteSink sink;
    ChunkWriter writer(sink);
    writer.WriteString("");
    writer.WriteString("abcdefghij");
    writer.WriteString("xyz");
    writer.WriteString("abcdefghijklmnopqrst");
    writer.WriteU8(0x5A);
    writer.WriteU32(77);
    Reading in(sink.Bytes());
    char buffer[4] = {'?', '?', '?', '?'};
    in.reader.ReadString(buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(in.reader.Position(), 2u);
    in.reader.ReadString(buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "abc");
    char untouched = '!';
    in.reader.ReadString(&untouched, 0);
    EXPECT_EQ(untouched, '!');
    // A 20-character animation name keeps 15 and the flags byte after it still reads.
    SequenceRecord record{};
    in.reader.ReadAnimDef(record);
    EXPECT_STREQ(record.name, "abcdefghijklmno");
    EXPECT_EQ(record.flags, 0x5A);
    EXPECT_EQ(record.start, 77);
}

TEST(ChunkReaderTest, ShortDataReadsAsZerosAndReportsTheFailure) {
    std::vector<uint8_t> bytes = {0x07, 0x00, 'a', 'b'};
    Reading in(bytes);
    char text[16];
    in.reader.ReadString(text, sizeof text);
    EXPECT_STREQ(text, "ab");
    uint32_t value = 123;
    in.reader.ReadU32(value);
    EXPECT_EQ(value, 0u);
    EXPECT_NE(in.reader.LastResult(), kResultOk);
    float m[16];
    in.reader.ReadMatrix(m);
    for (float element : m)
        EXPECT_EQ(element, 0);
}

TEST(ChunkReaderTest, WalkFollowsLengthsAndEndsALevelOnHostileOnes) {
    std::vector<uint8_t> bytes;
    // A chunk whose handler reads nothing of its body, then a neighbour.
    PutU32(bytes, ChunkTag("AAAA"));
    PutU32(bytes, 4);
    PutU32(bytes, 0x11111111);
    PutU32(bytes, ChunkTag("PRNT"));
    PutU32(bytes, 16);
    // Inside the parent: a child reaching past the parent's end.
    PutU32(bytes, ChunkTag("CHLD"));
    PutU32(bytes, 0xFFFFFFF8);
    PutU32(bytes, 0);
    PutU32(bytes, 0);
    PutU32(bytes, ChunkTag("LAST"));
    PutU32(bytes, 0);
    Reading in(bytes);
    ChunkReader& reader = in.reader;
    std::vector<uint32_t> seen;
    ChunkHeader header;
    while (reader.NextChunk(reader.Length(), header)) {
        seen.push_back(header.tag);
        if (header.tag == ChunkTag("PRNT")) {
            ChunkHeader child;
            EXPECT_FALSE(reader.NextChunk(header.end, child));
        }
        reader.SkipTo(header.end);
    }
    EXPECT_EQ(seen, (std::vector<uint32_t>{ChunkTag("AAAA"), ChunkTag("PRNT"), ChunkTag("LAST")}));

    // At the top level the same length ends the walk instead of wrapping it backwards.
    std::vector<uint8_t> wrapped;
    PutU32(wrapped, ChunkTag("WRAP"));
    PutU32(wrapped, 0xFFFFFFF8);
    PutU32(wrapped, 0);
    Reading again(wrapped);
    EXPECT_FALSE(again.reader.NextChunk(again.reader.Length(), header));

    // SkipChunk by start and length lands on the same place as the header's end.
    Reading plain(bytes);
    uint32_t tag, length;
    uint64_t start = plain.reader.ReadChunkHeader(tag, length);
    plain.reader.SkipChunk(start, length);
    EXPECT_EQ(plain.reader.Position(), 12u);
}

TEST(ChunkReaderTest, PointMovesStopAtTheDataNotAtAHostileCount) {
    MemoryByteSink sink;
    ChunkWriter writer(sink);
    for (uint32_t i = 0; i < 3; ++i) {
        writer.WriteU32(i * 10);
        for (int v = 0; v < 5; ++v)
            writer.WriteU32(std::bit_cast<uint32_t>(float(i + v)));
    }
    writer.WriteU16(0);
    Reading in(sink.Bytes());
    OwnedPtrArray moves;
    EXPECT_EQ(in.reader.ReadPointMoves(moves, 0xFFFFFFFF), 3u);
    ASSERT_EQ(moves.GetCount(), 3);
    auto* last = static_cast<LPointMove*>(moves.GetAt(2));
    EXPECT_EQ(last->index, 20u);
    EXPECT_EQ(last->values[4], 6.0f);
}

TEST(ChunkReaderTest, CountsAreCappedByTheBytesLeftInTheirChunk) {
    std::vector<uint8_t> bytes(100);
    Reading in(bytes);
    in.reader.SkipTo(10);
    EXPECT_EQ(in.reader.CapCount(0xFFFFFFFF, 50, 8), 5u);
    EXPECT_EQ(in.reader.CapCount(3, 50, 8), 3u);
    EXPECT_EQ(in.reader.CapCount(7, 5, 1), 0u);
}

} // namespace
