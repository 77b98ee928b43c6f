#include "engine3d/scene/chunk_writer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine3d/scene/animation_sequences.h"
#include "engine3d/scene/clbk_object.h"
#include "engine3d/scene/key_track.h"
#include "engine3d/scene/location.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

TEST(ChunkWriterTest, LocationChunkMatchesTheRecordTable) {
    MemoryByteSink sink;
    ChunkWriter writer(sink);
    L3DLocation location(1, 2, 3);
    location.Rotate(0, 0.5f, 0, 0);
    location.SetHotSpotRaw(0.25f, 0, -1);
    EXPECT_EQ(location.SaveChunk(writer), 44u);
    const Bytes expected = {
        'O', 'L', 'O',  'C',  36, 0, 0, 0,                      // tag, body length
        0,   0,   0x80, 0x3F, 0,  0, 0, 0x40, 0, 0, 0x40, 0x40, // position 1, 2, 3
        0,   0,   0,    0,    0,  0, 0, 0x3F, 0, 0, 0,    0,    // angles 0, 0.5, 0
        0,   0,   0x80, 0x3E, 0,  0, 0, 0,    0, 0, 0x80, 0xBF, // hot spot
    };
    EXPECT_EQ(sink.Bytes(), expected);
    EXPECT_TRUE(writer.Ok());
}

TEST(ChunkWriterTest, RecordsAreLittleEndianFieldByField) {
    MemoryByteSink sink;
    ChunkWriter writer(sink, "textures");
    EXPECT_EQ(writer.TextureFolder(), "textures");

    LKey key;
    key.frame = 7;
    key.tension = 0.5f;
    key.bias = -1;
    key.continuity = 0;
    key.easeTo = 1;
    key.easeFrom = 0.25f;
    key.elementCount = 3;
    writer.WriteKey(key);

    SequenceRecord record{};
    LList list;
    const int32_t values[5] = {7, 0x12345, -1, 99, 98};
    WriteSequence(list, &record, "Walk", 2, 10, 20, 15, values, 5);
    writer.WriteAnimDef(record);

    writer.WriteString("Hi");
    writer.WritePair(0x01020304, 0x0506);
    writer.WriteTriangle(1, 2, 0x0300, 4);
    writer.WriteQuad(1, 2, 3, 4, 5);

    const Bytes expected = Concat({
        {0, 0, 0xE0, 0x40, 0, 0, 0,    0x3F, 0, 0, 0x80, 0xBF, 0, 0, 0, 0, // frame, T, B, C
         0, 0, 0x80, 0x3F, 0, 0, 0x80, 0x3E, 3, 0, 0,    0},               // eases, count
        {4, 0, 'W', 'a', 'l', 'k', 2,                                      // name, flags
         10, 0, 20, 0, 15, 0, 7, 0, 0x45, 0x23, 0xFF, 0xFF},               // six u16
        {2, 0, 'H', 'i'},
        {4, 3, 2, 1, 6, 5},
        {3, 1, 0, 2, 0, 0, 3, 4, 0},
        {4, 1, 0, 2, 0, 3, 0, 4, 0, 5, 0},
    });
    EXPECT_EQ(sink.Bytes(), expected);
}

TEST(ChunkWriterTest, MatricesPointMovesAndQuaternions) {
    MemoryByteSink sink;
    ChunkWriter writer(sink);
    float m[16];
    for (int i = 0; i < 16; ++i)
        m[i] = 1;
    writer.WriteMatrix(m);
    EXPECT_EQ(sink.Tell(), 48u);
    OwnedPtrArray moves;
    ASSERT_EQ(moves.SetSize(2), 2);
    static_cast<LPointMove*>(moves.GetAt(1))->index = 0x0A0B0C0D;
    writer.WritePointMoves(moves);
    ASSERT_EQ(sink.Tell(), 48u + 48u);
    EXPECT_EQ(sink.Bytes()[48 + 24], 0x0D);
    EXPECT_EQ(sink.Bytes()[48 + 27], 0x0A);
    const float q[4] = {1, 0, 0, 0};
    writer.WriteQuaternion(q);
    EXPECT_EQ(sink.Bytes()[96 + 3], 0x3F);
}

TEST(ChunkWriterTest, EmptyAndNestedChunks) {
    MemoryByteSink sink;
    ChunkWriter writer(sink);
    uint32_t outer = writer.BeginChunk(ChunkTag("WORL"), 0);
    uint32_t empty = writer.BeginChunk(ChunkTag("BKGD"), 0);
    EXPECT_EQ(writer.EndChunk(empty), 16u);
    writer.WriteU8(0xAB);
    EXPECT_EQ(writer.EndChunk(outer), 17u);
    const Bytes expected = {'W', 'O', 'R', 'L', 9, 0, 0, 0, 'B', 'K', 'G', 'D', 0, 0, 0, 0, 0xAB};
    EXPECT_EQ(sink.Bytes(), expected);
    EXPECT_EQ(ChunkTag("BMAT"), 0x54414D42u);
}

TEST(ChunkWriterTest, LongStringsAreCutAtTheLengthFieldsReach) {
    MemoryByteSink sink;
    ChunkWriter writer(sink);
    writer.WriteString(std::string(70000, 'x'));
    writer.WriteU8(0x5A);
    ASSERT_EQ(sink.Tell(), 2u + 65535u + 1u);
    EXPECT_EQ(sink.Bytes()[0], 0xFF);
    EXPECT_EQ(sink.Bytes()[1], 0xFF);
    EXPECT_EQ(sink.Bytes().back(), 0x5A);
    writer.WriteString("");
    EXPECT_EQ(sink.Tell(), 65538u + 2u);
}

// Takes a fixed number of bytes, then refuses.
class FullSink : public MemoryByteSink {
public:
    explicit FullSink(uint32_t room) : room_(room) {}
    bool Write(const void* data, uint32_t count) override {
        if (Tell() + count > room_) return false;
        return MemoryByteSink::Write(data, count);
    }

private:
    uint32_t room_;
};

TEST(ChunkWriterTest, ALostWriteFailsTheChunk) {
    FullSink sink(12);
    ChunkWriter writer(sink);
    L3DLocation location;
    EXPECT_EQ(location.SaveChunk(writer), 0u);
    EXPECT_FALSE(writer.Ok());
}

class RecordingLink : public LCLBKObject {
public:
    void EngineObjectDestroyed() override { ++calls; }
    int calls = 0;
};

TEST(ClbkObjectTest, TheLinkHearsOnceOfTheEngineObjectsEnd) {
    RecordingLink link;
    {
        LManageCLBKObject object(&link);
        EXPECT_EQ(object.GetCLBKObject(), &link);
        EXPECT_EQ(link.calls, 0);
    }
    EXPECT_EQ(link.calls, 1);
    { LManageCLBKObject unlinked(nullptr); }
    EXPECT_EQ(link.calls, 1);
}

} // namespace
