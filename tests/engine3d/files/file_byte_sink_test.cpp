#include "engine3d/files/file_byte_sink.h"

#include <gtest/gtest.h>

#include <string>

#include "engine3d/scene/chunk_writer.h"
#include "support/temp_dir.h"

namespace {

void WriteNested(ChunkWriter& writer) {
    uint32_t outer = writer.BeginChunk(ChunkTag("HZYB"), 0);
    writer.WriteU32(0x3FB33337);
    uint32_t inner = writer.BeginChunk(ChunkTag("NAME"), 0);
    writer.WriteString(std::string(5000, 'n'));
    writer.EndChunk(inner);
    uint32_t empty = writer.BeginChunk(ChunkTag("NONE"), 0);
    writer.EndChunk(empty);
    writer.EndChunk(outer);
}

TEST(FileByteSinkTest, FileHoldsTheBytesOfTheMemorySinkWithLengthsPatched) {
    test_support::TempDir dir;
    MemoryByteSink memory;
    ChunkWriter memoryWriter(memory);
    WriteNested(memoryWriter);
    {
        FileByteSink file(dir.Win("world.zyb").c_str());
        ChunkWriter writer(file);
        WriteNested(writer);
        EXPECT_TRUE(writer.Ok());
        EXPECT_EQ(file.Finish(), kResultOk);
        EXPECT_EQ(file.Tell(), memory.Bytes().size());
    }
    std::string stored = dir.ReadFile("world.zyb");
    EXPECT_EQ(stored, std::string(memory.Bytes().begin(), memory.Bytes().end()));
    // The empty chunk at the end says length 0.
    EXPECT_EQ(stored.substr(stored.size() - 4), std::string(4, '\0'));
}

TEST(FileByteSinkTest, AFileThatCannotBeCreatedReportsAndStoresNothing) {
    test_support::TempDir dir;
    FileByteSink file(dir.Win("missing\\folder\\world.zyb").c_str());
    EXPECT_EQ(file.Result(), kResultCannotOpen);
    ChunkWriter writer(file);
    WriteNested(writer);
    EXPECT_FALSE(writer.Ok());
    EXPECT_EQ(file.Finish(), kResultCannotOpen);
    EXPECT_FALSE(dir.Exists("missing"));
}

} // namespace
