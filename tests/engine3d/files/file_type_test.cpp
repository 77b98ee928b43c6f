// Telling the 3D formats apart by content.
#include "engine3d/files/file_type.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine3d/files/world_file_support.h"
#include "engine3d/files/zyb_format.h"
#include "foundation/streams/mem_in_stream.h"
#include "support/model_files.h"

namespace {

uint32_t Detect(const std::vector<uint8_t>& bytes, std::string* message = nullptr,
                uint32_t seekTo = 0) {
    CMemInStream stream;
    stream.Attach(bytes.data(), uint32_t(bytes.size()));
    stream.Seek(int32_t(seekTo), 0);
    char text[128] = "untouched";
    const uint32_t code = Detect3DFileTypeOfStream(&stream, text, sizeof text);
    EXPECT_EQ(stream.Tell(), std::min<uint32_t>(seekTo, uint32_t(bytes.size())))
        << "the stream is back where it was";
    if (message != nullptr) *message = text;
    return code;
}

std::vector<uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

std::vector<uint8_t> Yix(const std::string& prefix = "") {
    return Bytes(prefix + "\r\n[SCRIPT_INFORMATION]\r\nSCR_Version = 1068708663\r\n");
}

std::vector<uint8_t> Zyb(uint32_t version) {
    ::Bytes b;
    b.Container(version);
    b.End();
    return b.Data();
}

TEST(FileTypeTest, EachFormatIsToldWithItsMessage) {
    std::string message;
    test_support::ChunkBytes three;
    three.Open3ds().Mesh("Box", {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 1, 2}});
    EXPECT_EQ(Detect(three.CloseAll().Data(), &message, 5), kFileType3ds);
    EXPECT_EQ(message, "This is a valid <3DS> 3DStudio 4 Mesh File.");
    test_support::Md2Model model = test_support::GridMd2(1, 1, 1);
    EXPECT_EQ(Detect(test_support::BuildMd2(model), &message), kFileTypeMd2);
    EXPECT_EQ(message, "This is a valid <MD2> Quake File.");
    EXPECT_EQ(Detect(Yix(), &message, 3), kFileTypeYix);
    EXPECT_EQ(message, "This is a valid <YIX> Drumbleby Script File.");
    EXPECT_EQ(Detect(Zyb(zyb::kVersionCurrent), &message), kFileTypeZyb);
    EXPECT_EQ(message, "This is a valid <ZYB> Drumbleby Binary File.");
    EXPECT_EQ(Detect(Zyb(0x3FB33338), &message), kFileTypeUnknown);
    EXPECT_EQ(message, "This file is not supported by the 3D Engine.");
    EXPECT_EQ(Detect(Bytes("[OTHER]\r\nSCR_Version = 1\r\n")), kFileTypeUnknown)
        << "a text world needs its information section";
    EXPECT_EQ(Detect({}), kFileTypeUnknown);
}

TEST(FileTypeTest, AnOldVersionByteSendsTheFileToTheOtherTests) {
    std::string prefix = "MM" + std::string(26, ' ') + '\x02';
    EXPECT_EQ(Detect(Yix(prefix)), kFileTypeYix);
    prefix[28] = '\x03';
    EXPECT_EQ(Detect(Yix(prefix)), kFileType3ds);
    EXPECT_EQ(Detect(Bytes(prefix.substr(0, 28))), kFileTypeUnknown) << "too short for 3DS";
}

// A file whose chunks span it and hold an editor chunk is 3DS whatever its version byte
// holds; without that structure the byte decides.
TEST(FileTypeTest, AThreeDsChunkStructureIsToldWithoutTheVersionByte) {
    test_support::ChunkBytes empty;
    empty.Open3ds(0).Mesh("Box", {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 1, 2}});
    std::vector<uint8_t> bytes = empty.CloseAll().Data();
    ASSERT_EQ(bytes[28], 0);
    EXPECT_EQ(Detect(bytes), kFileType3ds);
    std::vector<uint8_t> longer = bytes;
    longer.push_back(0);
    EXPECT_EQ(Detect(longer), kFileTypeUnknown) << "the main chunk must span the file";
    std::vector<uint8_t> noEditor = bytes;
    noEditor[16] = 0x3E;
    EXPECT_EQ(Detect(noEditor), kFileTypeUnknown) << "no editor or key-frame chunk";
    std::vector<uint8_t> overlong = bytes;
    overlong[11] = 0x7F;
    EXPECT_EQ(Detect(overlong), kFileTypeUnknown) << "a chunk past the end";
    test_support::ChunkBytes keyFrames;
    keyFrames.Begin(0x4D4D).Begin(0x0002).U32(0).End().Begin(0xB000).U32(0);
    EXPECT_EQ(Detect(keyFrames.CloseAll().Data()), kFileType3ds);
}

TEST(FileTypeTest, PathsThatDoNotExistAndShortBuffers) {
    test_support::TempDir dir;
    const std::string missing = dir.Win("missing.yix");
    char one[1] = {'x'};
    EXPECT_EQ(Detect3DFileType(missing.c_str(), one, sizeof one), kFileTypeMissing);
    EXPECT_EQ(one[0], '\0');
    char text[64];
    EXPECT_EQ(Detect3DFileType(missing.c_str(), text, sizeof text), kFileTypeMissing);
    EXPECT_STREQ(text, "The file cannot be found by the 3D Engine.");
    EXPECT_EQ(Detect3DFileType(missing.c_str(), nullptr, 0), kFileTypeMissing);

    const std::vector<uint8_t> yix = Yix();
    dir.WriteFile("world.txt", std::string(yix.begin(), yix.end()));
    char cut[8];
    EXPECT_EQ(Detect3DFileType(dir.Win("world.txt").c_str(), cut, sizeof cut), kFileTypeYix);
    EXPECT_STREQ(cut, "This is");
}

} // namespace
