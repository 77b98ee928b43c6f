#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/files/file_layer.h"
#include "foundation/streams/file_in_stream.h"
#include "foundation/test_helpers.h"
#include "support/temp_dir.h"

namespace {

using foundation_test::Pattern;

class FileInStreamTest : public testing::Test {
protected:
    void SetUp() override { dir.WriteFile("data.bin", data); }
    std::string Slice(size_t start, size_t count) const { return data.substr(start, count); }

    test_support::TempDir dir;
    std::string data = Pattern(200000);
    std::string path = dir.Win("data.bin");
};

TEST_F(FileInStreamTest, RangeReaderStaysInsideItsRange) {
    CFileInStream stream;
    ASSERT_EQ(stream.OpenFileRange(path.c_str(), 100, 10), kResultOk);
    EXPECT_EQ(stream.Tell(), 0u);
    EXPECT_EQ(stream.GetLength(), 10u);
    std::string buffer(11, 0);
    uint32_t count = 0;
    EXPECT_EQ(stream.ReadCounted(buffer.data(), 11, &count), kResultEndOfData);
    EXPECT_EQ(count, 10u);
    EXPECT_EQ(buffer.substr(0, 10), Slice(100, 10));
    EXPECT_EQ(stream.Seek(50, 0), 10u);
    EXPECT_EQ(stream.Seek(-3, 2), 7u);
    EXPECT_EQ(stream.Seek(-20, 1), 0u);
    EXPECT_EQ(stream.Seek(5, 9), 0u);
    uint8_t byte;
    stream.Seek(7, 0);
    ASSERT_EQ(stream.ReadByte(&byte), kResultOk);
    EXPECT_EQ(byte, static_cast<uint8_t>(data[107]));

    CFileInStream empty;
    ASSERT_EQ(empty.OpenFileRange(path.c_str(), 100, 0), kResultOk);
    EXPECT_EQ(empty.GetLength(), 0u);
    EXPECT_EQ(empty.ReadByte(&byte), kResultEndOfData);
    EXPECT_EQ(empty.Read(buffer.data(), 5), kResultEndOfData);
    EXPECT_EQ(empty.ReadAlloc(20000), nullptr);
    EXPECT_EQ(empty.Tell(), 0u);
}

TEST_F(FileInStreamTest, HandleAttachStartsAtItsPositionAndDetachLeavesItAtTheStreams) {
    HANDLE file = FileOpen(path.c_str(), 0);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    FileSeek(file, 199950);
    {
        CFileInStream stream;
        ASSERT_EQ(stream.OpenHandle(file), kResultOk);
        EXPECT_EQ(stream.Tell(), 0u);
        EXPECT_EQ(stream.GetLength(), 50u);
        std::string buffer(5, 0);
        ASSERT_EQ(stream.Read(buffer.data(), 5), kResultOk);
        EXPECT_EQ(buffer, Slice(199950, 5));
        EXPECT_EQ(stream.DetachHandle(), file);
        EXPECT_EQ(FileTell(file), 199955u);
    }
    // Not owned: the handle outlives the stream.
    uint8_t byte;
    EXPECT_EQ(FileRead(file, &byte, 1), kResultOk);
    EXPECT_EQ(byte, static_cast<uint8_t>(data[199955]));
    FileClose(file);

    CFileInStream missing;
    EXPECT_EQ(missing.OpenFile(dir.Win("missing.bin").c_str()), kResultCannotOpen);
    EXPECT_EQ(missing.Read(&byte, 1), kResultEndOfData);
    EXPECT_EQ(missing.AttachHandle(INVALID_HANDLE_VALUE), kResultOk);
}

TEST_F(FileInStreamTest, StreamsSharingAHandleReadFromTheirOwnPositions) {
    HANDLE file = FileOpen(path.c_str(), 0);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CFileInStream first, second;
    ASSERT_EQ(first.OpenHandleRange(file, 0, 100000), kResultOk);
    ASSERT_EQ(second.OpenHandleRange(file, 60000, 100000), kResultOk);
    size_t offsets[2] = {0, 60000};
    CFileInStream* streams[2] = {&first, &second};
    const uint32_t sizes[] = {1000, 20000, 1, 40000, 7, 16384};
    for (uint32_t size : sizes) {
        for (int i = 0; i < 2; i++) {
            std::string buffer(size, 0);
            ASSERT_EQ(streams[i]->Read(buffer.data(), size), kResultOk);
            EXPECT_EQ(buffer, Slice(offsets[i], size)) << "stream " << i << " at " << offsets[i];
            offsets[i] += size;
        }
    }
    first.DetachHandle();
    second.DetachHandle();
    FileClose(file);
}

TEST_F(FileInStreamTest, LargeReadsAndStepsBackAroundTheBuffer) {
    CFileInStream stream;
    ASSERT_EQ(stream.OpenFile(path.c_str()), kResultOk);
    uint8_t byte;
    ASSERT_EQ(stream.ReadByte(&byte), kResultOk);
    // The rest of the buffer, then one direct system read.
    std::string buffer(16383 + 16384, 0);
    ASSERT_EQ(stream.Read(buffer.data(), static_cast<uint32_t>(buffer.size())), kResultOk);
    EXPECT_EQ(buffer, Slice(1, buffer.size()));
    // The step back must not land in the stale buffer.
    EXPECT_EQ(stream.Seek(-1, 1), 32767u);
    ASSERT_EQ(stream.ReadByte(&byte), kResultOk);
    EXPECT_EQ(byte, static_cast<uint8_t>(data[32767]));
    EXPECT_EQ(stream.Seek(100, 1), 32868u);
    EXPECT_EQ(stream.Seek(-32000, 1), 868u);
    ASSERT_EQ(stream.ReadByte(&byte), kResultOk);
    EXPECT_EQ(byte, static_cast<uint8_t>(data[868]));

    void* block = stream.ReadAlloc(70000);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(std::string(static_cast<char*>(block), 70000), Slice(869, 70000));
    stream.FreeAlloc(block);

    // A read past the end delivers the rest; the stream stays usable.
    stream.Seek(-30000, 2);
    std::string tail(50000, 0);
    uint32_t count = 0;
    EXPECT_EQ(stream.ReadCounted(tail.data(), 50000, &count), kResultEndOfData);
    EXPECT_EQ(count, 30000u);
    EXPECT_EQ(tail.substr(0, 30000), Slice(170000, 30000));
    EXPECT_EQ(stream.ReadAlloc(1), nullptr);
    EXPECT_EQ(stream.Seek(10, 0), 10u);
    ASSERT_EQ(stream.ReadByte(&byte), kResultOk);
    EXPECT_EQ(byte, static_cast<uint8_t>(data[10]));
}

TEST_F(FileInStreamTest, ReadLineStepsBackAcrossARefill) {
    std::string text(16383, 'x');
    text += "\rz\r\nlast";
    dir.WriteFile("text.txt", text);
    CFileInStream stream;
    ASSERT_EQ(stream.OpenFile(dir.Win("text.txt").c_str()), kResultOk);
    std::vector<char> buffer(20000);
    ASSERT_NE(stream.ReadLine(buffer.data(), 20000), nullptr);
    EXPECT_EQ(std::string(buffer.data()), std::string(16383, 'x') + "\rz\n");
    ASSERT_NE(stream.ReadLine(buffer.data(), 20000), nullptr);
    EXPECT_STREQ(buffer.data(), "last");
    EXPECT_EQ(stream.ReadLine(buffer.data(), 20000), nullptr);
}

} // namespace
