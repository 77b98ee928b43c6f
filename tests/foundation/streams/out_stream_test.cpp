#include <gtest/gtest.h>

#include <string>

#include "foundation/files/file_layer.h"
#include "foundation/streams/file_out_stream.h"
#include "foundation/streams/mem_out_stream.h"
#include "foundation/test_helpers.h"
#include "support/temp_dir.h"

namespace {

using namespace foundation_test;

std::string Contents(const CMemOutStream& stream, uint32_t length) {
    return std::string(reinterpret_cast<const char*>(stream.GetBuffer()), length);
}

TEST(MemOutStream, GrowableWriterGrowsInStepsAndKeepsTheHighestEnd) {
    CMemOutStream stream;
    ASSERT_EQ(stream.Write("a", 1), kResultOk);
    EXPECT_EQ(stream.GetCapacity(), 512u);
    std::string block(512, 'b');
    ASSERT_EQ(stream.Write(block.data(), 512), kResultOk);
    EXPECT_EQ(stream.GetCapacity(), 1024u);
    EXPECT_EQ(stream.GetLength(), 513u);

    EXPECT_EQ(stream.Seek(1, 0), 1u);
    ASSERT_EQ(stream.Write("XY", 2), kResultOk);
    EXPECT_EQ(stream.Tell(), 3u);
    EXPECT_EQ(stream.GetLength(), 513u);
    EXPECT_EQ(stream.Seek(10, 2), 513u);
    EXPECT_EQ(stream.Seek(-1000, 1), 0u);
    EXPECT_EQ(Contents(stream, 4), "aXYb");

    const uint32_t value = 0x11223344;
    stream.Seek(0, 2);
    ASSERT_EQ(stream.WriteLong(&value), kResultOk);
    EXPECT_EQ(Contents(stream, 517).substr(513), "\x44\x33\x22\x11");
}

TEST(MemOutStream, FixedWriterRefusesWhatDoesNotFit) {
    char memory[8];
    CMemOutStream stream;
    stream.AttachBuffer(memory, sizeof memory);
    ASSERT_EQ(stream.Write("abcdef", 6), kResultOk);
    EXPECT_EQ(stream.Write("ghi", 3), kResultBufferFull);
    EXPECT_EQ(stream.GetLength(), 6u);
    ASSERT_EQ(stream.Write("gh", 2), kResultOk);
    EXPECT_EQ(stream.Write("i", 1), kResultBufferFull);
    EXPECT_EQ(std::string(memory, 8), "abcdefgh");
    EXPECT_EQ(stream.GetCapacity(), 8u);
}

TEST(FileOutStream, WritesThroughAfterASeekBackAndBuffersAgainAtTheEnd) {
    test_support::TempDir dir;
    std::string path = dir.Win("out.bin");
    {
        CFileOutStream stream;
        ASSERT_EQ(stream.Create(path.c_str(), 64), kResultOk);
        std::string block(100, 'a');
        ASSERT_EQ(stream.Write(block.data(), 100), kResultOk);
        EXPECT_EQ(dir.ReadFile("out.bin").size(), 64u);
        EXPECT_EQ(stream.GetLength(), 100u);
        EXPECT_EQ(stream.Tell(), 100u);

        EXPECT_EQ(stream.Seek(10, 0), 10u);
        EXPECT_EQ(dir.ReadFile("out.bin").size(), 100u);
        ASSERT_EQ(stream.Write("zz", 2), kResultOk);
        EXPECT_EQ(dir.ReadFile("out.bin").substr(8, 6), "aazzaa");
        EXPECT_EQ(stream.Tell(), 12u);

        EXPECT_EQ(stream.Seek(5, 1), 17u);
        EXPECT_EQ(stream.Seek(0, 2), 100u);
        ASSERT_EQ(stream.Write("tail", 4), kResultOk);
        EXPECT_EQ(dir.ReadFile("out.bin").size(), 100u);
        EXPECT_EQ(stream.GetLength(), 104u);
        EXPECT_EQ(stream.Seek(50, 2), 104u);
        EXPECT_EQ(stream.Seek(-200, 1), 0u);
        ASSERT_EQ(stream.Write("S", 1), kResultOk);
    }
    std::string expected = "S" + std::string(9, 'a') + "zz" + std::string(88, 'a') + "tail";
    EXPECT_EQ(dir.ReadFile("out.bin"), expected);
}

TEST(FileOutStream, UnbufferedWritersWriteAtOnceAndLeaveForeignHandlesOpen) {
    test_support::TempDir dir;
    std::string path = dir.Win("plain.bin");
    HANDLE file = FileCreate(path.c_str());
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    {
        CFileOutStream stream;
        ASSERT_EQ(stream.AttachHandle(file, 0), kResultOk);
        std::string block(1000, 'p');
        ASSERT_EQ(stream.Write(block.data(), 1000), kResultOk);
        EXPECT_EQ(dir.ReadFile("plain.bin").size(), 1000u);
        stream.Seek(0, 2);
        ASSERT_EQ(stream.Write("q", 1), kResultOk);
        EXPECT_EQ(dir.ReadFile("plain.bin").size(), 1001u);
    }
    EXPECT_EQ(FileWrite(file, "r", 1), kResultOk);
    FileClose(file);
    EXPECT_EQ(dir.ReadFile("plain.bin").size(), 1002u);

    // A buffer that cannot be had degrades to unbuffered writing.
    CFileOutStream degraded;
    InjectFault(Fault::HeapAlloc, kOneFailure);
    ASSERT_EQ(degraded.Create(dir.Win("degraded.bin").c_str(), 4096), kResultOk);
    EXPECT_EQ(platform::test::PendingFaults(Fault::HeapAlloc), 0u);
    platform::test::ClearFaults();
    ASSERT_EQ(degraded.Write("abc", 3), kResultOk);
    EXPECT_EQ(dir.ReadFile("degraded.bin"), "abc");

    CFileOutStream unattached;
    EXPECT_EQ(unattached.Write("x", 1), kResultWriteError);
}

TEST(FileOutStream, FailuresAreReported) {
    test_support::TempDir dir;
    CFileOutStream stream;
    EXPECT_EQ(stream.Create(dir.Win("no\\such\\dir.bin").c_str(), 16), kResultCannotCreate);
    ASSERT_EQ(stream.Create(dir.Win("full.bin").c_str(), 16), kResultOk);
    ASSERT_EQ(stream.Write("0123456789", 10), kResultOk);
    InjectFault(Fault::DiskFull);
    EXPECT_EQ(stream.Write("0123456789", 10), kResultDiskFull);
    ASSERT_EQ(stream.Write("ab", 2), kResultOk);
    InjectFault(Fault::WriteError);
    EXPECT_EQ(stream.Flush(), kResultWriteError);
    EXPECT_EQ(stream.Flush(), kResultOk);
}

} // namespace
