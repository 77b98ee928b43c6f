#include "packer/project_chunk_writer.h"

#include <gtest/gtest.h>

#include "packer/byte_cursor.h"
#include "support/temp_dir.h"

using packer_test::ByteCursor;

TEST(ProjectChunkWriter, FieldsAreLittleEndianAndNestedChunkSizesArePatched) {
    ProjectChunkWriter w;
    w.BeginChunk(0x1200);
    w.String("ab");
    w.BeginChunk(0x1000);
    w.U32(0x11223344);
    w.U8(0xEE);
    w.EndChunk();
    w.EmptyChunk(0x7F7F);
    w.EndChunk();
    ASSERT_TRUE(w.Ok());
    const std::vector<uint8_t> expected = {
        0x00, 0x12, 0,   0,   25, 0, 0, 0,                               // outer: 4 + 13 + 8 bytes
        2,    0,    'a', 'b',                                            //
        0x00, 0x10, 0,   0,   5,  0, 0, 0, 0x44, 0x33, 0x22, 0x11, 0xEE, // inner, 5 bytes
        0x7F, 0x7F, 0,   0,   0,  0, 0, 0};
    EXPECT_EQ(w.Bytes(), expected);
}

TEST(ProjectChunkWriter, PackedBlocksInflateBackAndRawBlocksStoreTheBytes) {
    std::string text;
    for (int i = 0; i < 2000; ++i)
        text += "line " + std::to_string(i) + "\n";
    ProjectChunkWriter w;
    w.PackedBlock(text, true);
    w.PackedBlock(text, false);
    w.PackedBlock("", true);
    w.PackedBlock("", false);
    ASSERT_TRUE(w.Ok());

    ByteCursor c{w.Bytes()};
    EXPECT_EQ(c.U32(), text.size());
    const uint32_t packedSize = c.U32();
    EXPECT_GT(packedSize, 0u);
    EXPECT_LT(packedSize, text.size() / 4);
    c.at = 0;
    EXPECT_EQ(c.Block(), text);
    const size_t rawStart = c.at;
    EXPECT_EQ(c.Block(), text);
    EXPECT_EQ(c.at - rawStart, 8 + text.size()); // p = 0: the n bytes follow as they are
    EXPECT_EQ(c.Block(), "");                    // an empty packed block still inflates
    EXPECT_EQ(c.U32(), 0u);
    EXPECT_EQ(c.U32(), 0u);
    EXPECT_EQ(c.at, w.Size());
}

TEST(ProjectChunkWriter, MisuseIsReportedNotWrittenSilently) {
    ProjectChunkWriter longString;
    longString.String(std::string(70000, 'x'));
    EXPECT_FALSE(longString.Ok());

    ProjectChunkWriter unbalanced;
    unbalanced.EndChunk();
    EXPECT_FALSE(unbalanced.Ok());

    ProjectChunkWriter unclosed;
    unclosed.BeginChunk(0x1400);
    EXPECT_FALSE(unclosed.Ok());
    unclosed.EndChunk();
    EXPECT_TRUE(unclosed.Ok());

    ProjectChunkWriter patch;
    patch.U16(1);
    patch.PatchU32(0, 5);
    EXPECT_FALSE(patch.Ok());
    EXPECT_EQ(patch.Size(), 2u);
}

TEST(ProjectChunkWriter, WritesItsBytesToAFile) {
    test_support::TempDir dir;
    ProjectChunkWriter w;
    w.U32(0x44550006);
    ASSERT_TRUE(w.WriteToFile(dir.Linux("p.bin")));
    EXPECT_EQ(dir.ReadFile("p.bin"), std::string("\x06\x00\x55\x44", 4));
    EXPECT_FALSE(w.WriteToFile(dir.Linux("missing/p.bin")));
}
