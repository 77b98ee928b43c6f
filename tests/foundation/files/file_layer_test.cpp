#include "foundation/files/file_layer.h"

#include <gtest/gtest.h>

#include "foundation/memory/memory_helpers.h"
#include "foundation/test_helpers.h"
#include "support/temp_dir.h"

namespace {

using namespace foundation_test;

class FileLayerTest : public ::testing::Test {
protected:
    const char* Win(const std::string& name) { return (path = dir.Win(name)).c_str(); }

    test_support::TempDir dir;
    std::string path;
};

TEST_F(FileLayerTest, ReadsAndWritesReportResultCodes) {
    dir.WriteFile("data.bin", "0123456789ABCDEFGHIJ");
    HANDLE file = FileOpen(Win("data.bin"), 2);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    char buffer[16];
    EXPECT_EQ(FileSeek(file, 5), 5u);
    EXPECT_EQ(FileGetSize(file), 20u);
    EXPECT_EQ(FileTell(file), 5u);
    EXPECT_EQ(FileSeekFromEnd(file, -4), 16u);
    EXPECT_EQ(FileRead(file, buffer, 10), kResultEndOfData);
    InjectFault(Fault::ReadError);
    EXPECT_EQ(FileRead(file, buffer, 4), kResultReadError);
    InjectFault(Fault::ReadEof);
    EXPECT_EQ(FileRead(file, buffer, 4), kResultEndOfData);

    FileSeek(file, 0);
    InjectFault(Fault::DiskFull);
    EXPECT_EQ(FileWrite(file, "abcdef", 6), kResultDiskFull);
    InjectFault(Fault::ShortWrite);
    EXPECT_EQ(FileWrite(file, "abcdef", 6), kResultDiskFull);
    InjectFault(Fault::WriteError);
    EXPECT_EQ(FileWrite(file, "xxxxxx", 6), kResultWriteError);
    FileClose(file);
    EXPECT_EQ(dir.ReadFile("data.bin"), "abc3456789ABCDEFGHIJ");

    EXPECT_EQ(FileRead(file, buffer, 4), kResultReadError);
    EXPECT_EQ(FileReadRaw(INVALID_HANDLE_VALUE, buffer, 4), -1);
    HANDLE readOnly = FileOpen(Win("data.bin"), 0);
    EXPECT_EQ(FileWrite(readOnly, "x", 1), kResultWriteError);
    FileClose(readOnly);
}

TEST_F(FileLayerTest, CountedStringsLeakNothingOnFailure) {
    dir.WriteFile("strings.bin", std::string("\x05\x00hello\x09\x00short", 14));
    HANDLE file = FileOpen(Win("strings.bin"), 0);
    char* text = nullptr;
    ASSERT_EQ(FileReadCountedString(file, &text), kResultOk);
    EXPECT_STREQ(text, "hello");
    MemFree(&text);
    EXPECT_EQ(FileReadCountedString(file, &text), kResultEndOfData);
    EXPECT_EQ(text, nullptr);
    FileSeek(file, 0);
    InjectFault(Fault::HeapAlloc, kOneFailure);
    EXPECT_EQ(FileReadCountedString(file, &text), kResultOutOfMemory);
    FileClose(file);
}

TEST_F(FileLayerTest, ByNameOperations) {
    dir.WriteFile("full/inside.txt", "12345");
    ASSERT_NE(MakeDirectory(Win("empty")), 0);
    EXPECT_EQ(FileGetSizeByName(Win("full\\inside.txt")), 5u);
    EXPECT_EQ(FileGetSizeByName(Win("full")), 0u);
    EXPECT_EQ(IsDirectory(Win("full")) + IsDirectory(Win("full\\inside.txt")), 1);
    EXPECT_EQ(FileExists(Win("full\\inside.txt")) + FileExists(Win("nothing")), 1);
    EXPECT_EQ(FileDelete(Win("full")), 0);
    EXPECT_NE(FileDelete(Win("empty")), 0);
    EXPECT_FALSE(dir.Exists("empty"));

    dir.WriteFile("a.txt", "first");
    dir.WriteFile("b.txt", "second");
    EXPECT_EQ(FileMove(dir.Win("b.txt").c_str(), Win("a.txt")), 0);
    EXPECT_NE(FileMove(dir.Win("c.txt").c_str(), Win("a.txt")), 0);
    EXPECT_EQ(dir.ReadFile("c.txt"), "first");
    // FileCopy answers 1 for failure.
    EXPECT_EQ(FileCopy(dir.Win("c.txt").c_str(), Win("b.txt"), 1), 1);
    EXPECT_EQ(dir.ReadFile("b.txt"), "second");
    EXPECT_EQ(FileCopy(dir.Win("c.txt").c_str(), Win("b.txt"), 0), 0);
    EXPECT_EQ(dir.ReadFile("b.txt"), "first");
}

TEST_F(FileLayerTest, FreeSpaceIsCappedBelowUnknown) {
    uint32_t clusterKb = 0;
    EXPECT_NE(GetDiskFreeSpaceOf(dir.WinPath().c_str(), &clusterKb), 0xFFFFFFFFu);
    EXPECT_GE(clusterKb, 1u);

    constexpr uint64_t kTerabyte = uint64_t{1} << 40;
    EXPECT_EQ(FreeBytesToKilobytes(3 * kTerabyte + 1023), 3u << 30);
    EXPECT_EQ(FreeBytesToKilobytes(4 * kTerabyte - 1), 0xFFFFFFFEu);
    EXPECT_EQ(FreeBytesToKilobytes(~uint64_t{0}), 0xFFFFFFFEu);
    EXPECT_EQ(FreeClustersToKilobytes(128, 4096, 0x00400000), 0x80000000u);
    EXPECT_EQ(FreeClustersToKilobytes(128, 4096, 0xFFFFFFFF), 0xFFFFFFFEu);
}

} // namespace
