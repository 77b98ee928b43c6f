#include "engine3d/files/zyb_format.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine3d/files/chunk_reader.h"
#include "engine3d/scene/byte_sink.h"
#include "foundation/streams/mem_in_stream.h"

namespace {

std::vector<uint8_t> Container(uint32_t tag, uint32_t length, uint32_t version) {
    std::vector<uint8_t> bytes;
    for (uint32_t value : {tag, length, version})
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
    return bytes;
}

struct Header {
    bool known = false;
    uint32_t version = 0;
    uint64_t end = 0;
};

Header Read(const std::vector<uint8_t>& bytes) {
    CMemInStream stream;
    stream.Attach(bytes.data(), static_cast<uint32_t>(bytes.size()));
    ChunkReader reader(stream);
    Header header;
    header.known = zyb::ReadContainer(reader, header.version, header.end);
    return header;
}

TEST(ZybFormatTest, ContainerWrittenIsReadWithTheCurrentVersion) {
    MemoryByteSink sink;
    ChunkWriter writer(sink);
    uint32_t start = zyb::BeginContainer(writer);
    uint32_t section = writer.BeginChunk(ChunkTag("WORL"), 0);
    writer.EndChunk(section);
    writer.EndChunk(start);
    std::vector<uint8_t> bytes = sink.Bytes();
    EXPECT_EQ(bytes.size(), 20u);
    Header header = Read(bytes);
    EXPECT_TRUE(header.known);
    EXPECT_EQ(header.version, zyb::kVersionCurrent);
    EXPECT_EQ(header.end, 20u);
}

TEST(ZybFormatTest, KnownVersionsAreReadAndNewerOrForeignFilesRefused) {
    for (uint32_t version = zyb::kVersionFirst; version < zyb::kVersionLimit; ++version) {
        Header header = Read(Container(zyb::kTagContainer, 4, version));
        EXPECT_TRUE(header.known) << std::hex << version;
        EXPECT_EQ(header.version, version);
    }
    EXPECT_FALSE(Read(Container(zyb::kTagContainer, 4, zyb::kVersionLimit)).known);
    EXPECT_FALSE(Read(Container(zyb::kTagContainer, 4, 0xFFFFFFFF)).known);
    EXPECT_FALSE(Read(Container(ChunkTag("MAIN"), 4, zyb::kVersionCurrent)).known);
    std::vector<uint8_t> cut = Container(zyb::kTagContainer, 4, zyb::kVersionCurrent);
    cut.resize(10);
    EXPECT_FALSE(Read(cut).known);
    EXPECT_FALSE(Read({}).known);
}

TEST(ZybFormatTest, AContainerLengthPastTheDataEndsAtTheData) {
    Header header = Read(Container(zyb::kTagContainer, 0xFFFFFFF8, zyb::kVersionCurrent));
    EXPECT_TRUE(header.known);
    EXPECT_EQ(header.end, 12u);
}

} // namespace
