// Malformed project data: every file is refused with its code, and nothing crashes, reads
// outside its chunk or allocates what the data merely claims.
#include <gtest/gtest.h>
#include <zlib.h>

#include <memory>
#include <string>
#include <vector>

#include "foundation/memory/result_codes.h"
#include "script/project/bank.h"
#include "script/project/project_file.h"
#include "script/project/project_test_data.h"
#include "support/temp_dir.h"

namespace {

using namespace project_test;

class ProjectHostileTest : public ::testing::Test {
protected:
    ResultCode Open(const std::string& bytes) {
        dir_.WriteFile("hostile.dat", bytes);
        CProjectFile reader;
        return reader.Open(nullptr, dir_.Win("hostile.dat").c_str(), nullptr);
    }

    // The trailer scheme on a file of these bytes.
    ResultCode LocateByTrailer(const std::string& bytes) {
        dir_.WriteFile("player", bytes);
        ProjectOffsetWord() = 0xFFFFFFFF;
        CProjectFile reader;
        ResultCode result = reader.Locate(dir_.Win("player").c_str(), 0xFFFFFFFF, nullptr);
        word_ = ProjectOffsetWord();
        ProjectOffsetWord() = 0xFFFFFFFF;
        return result;
    }

    // A project whose only entry carries an initial-source chunk of these bytes.
    static std::string WithSourceChunk(const std::string& body) {
        ProjectChunkWriter w;
        Version(w, kCurrentVersion);
        Header(w, kCurrentVersion, 1, {});
        w.BeginChunk(kApplicationEntryChunk);
        w.String("");
        w.BeginChunk(kInitialSourceChunk);
        w.Append(body);
        w.EndChunk();
        w.EmptyChunk(kEndChunk);
        w.EndChunk();
        w.EmptyChunk(kEndChunk);
        return w.Text();
    }

    static std::string BlockHeader(uint32_t unpacked, uint32_t packed) {
        ProjectChunkWriter w;
        w.U32(unpacked);
        w.U32(packed);
        return w.Text();
    }

    static std::string Trailer(uint32_t marker, uint32_t offset) {
        ProjectChunkWriter w;
        w.U32(marker);
        w.U32(offset);
        return w.Text();
    }

    test_support::TempDir dir_;
    uint32_t word_ = 0;
};

Entry SmallEntry() {
    Entry e;
    e.name = "Main";
    e.initialSource = "Print 1";
    e.banks.push_back({kBinaryBank, "Data", {{"a", "alpha"}, {"b", std::string(300, 'b'), true}}});
    return e;
}

TEST_F(ProjectHostileTest, EveryTruncationIsRefused) {
    const std::string whole = Project({SmallEntry()});
    ASSERT_EQ(Open(whole), kResultOk);
    for (size_t length = 0; length < whole.size(); ++length)
        EXPECT_NE(Open(whole.substr(0, length)), kResultOk) << length;
}

TEST_F(ProjectHostileTest, SizesBeyondTheirChunkOrFileAreRefused) {
    // A top-level body that runs past the end of the file.
    std::string data = Project({SmallEntry()});
    ProjectChunkWriter huge;
    huge.U16(0x1700);
    huge.U16(0);
    huge.U32(0xFFFFFFF0);
    EXPECT_EQ(Open(huge.Text() + data), kResultEndOfData);

    // An entry chunk too small for the sub-chunks after its name.
    ProjectChunkWriter w;
    Version(w, kCurrentVersion);
    Header(w, kCurrentVersion, 1, {});
    w.U16(kApplicationEntryChunk);
    w.U16(0);
    w.U32(2);
    w.String("");
    EntryBody(w, SmallEntry(), kCurrentVersion);
    w.EmptyChunk(kEndChunk);
    EXPECT_EQ(Open(w.Text()), kResultEndOfData);

    // Raw blocks larger than their chunk, up to the size whose n + 1 would wrap.
    EXPECT_EQ(Open(WithSourceChunk(BlockHeader(0xFFFFFFFF, 0) + "abc")), kResultEndOfData);
    EXPECT_EQ(Open(WithSourceChunk(BlockHeader(4, 0) + "abc")), kResultEndOfData);
    // A packed size beyond the chunk.
    EXPECT_EQ(Open(WithSourceChunk(BlockHeader(3, 100) + "abc")), kResultEndOfData);
    // An empty block is an empty text.
    EXPECT_EQ(Open(WithSourceChunk(BlockHeader(0, 0))), kResultOk);
}

TEST_F(ProjectHostileTest, PackedBlocksMustInflateToTheirDeclaredSize) {
    std::vector<uint8_t> packed;
    ASSERT_TRUE(ZlibPack(std::string(20000, 'x').data(), 20000, packed));
    const std::string stream(packed.begin(), packed.end());
    const uint32_t p = uint32_t(stream.size());
    EXPECT_EQ(Open(WithSourceChunk(BlockHeader(20000, p) + stream)), kResultOk);
    EXPECT_EQ(Open(WithSourceChunk(BlockHeader(19999, p) + stream)), kResultCompressionError);
    EXPECT_EQ(Open(WithSourceChunk(BlockHeader(20001, p) + stream)), kResultCompressionError);
    EXPECT_EQ(Open(WithSourceChunk(BlockHeader(10, 10) + std::string(10, 'g'))),
              kResultCompressionError);
    // Far more than 10 packed bytes could ever inflate to: refused before allocating it.
    EXPECT_EQ(Open(WithSourceChunk(BlockHeader(0xFFFFFFFF, 10) + stream.substr(0, 10))),
              kResultCompressionError);
    // A size deflate could reach from that many bytes, but over the cap.
    EXPECT_EQ(Open(WithSourceChunk(BlockHeader(300u << 20, 400000) + std::string(400000, 'q'))),
              kResultOutOfMemory);
}

TEST_F(ProjectHostileTest, ZipBombOverTheCapIsRefused) {
    // 300 MiB of zeros deflate to about 300 KB: a genuine stream whose size is over the cap.
    constexpr uint32_t kBombSize = 300u << 20;
    std::vector<uint8_t> zeros(1 << 20, 0);
    std::string bomb;
    z_stream z{};
    ASSERT_EQ(deflateInit(&z, 9), Z_OK);
    std::vector<uint8_t> out(1 << 16);
    for (uint32_t done = 0; done <= kBombSize; done += uint32_t(zeros.size())) {
        const bool last = done == kBombSize;
        z.next_in = zeros.data();
        z.avail_in = last ? 0 : uInt(zeros.size());
        do {
            z.next_out = out.data();
            z.avail_out = uInt(out.size());
            deflate(&z, last ? Z_FINISH : Z_NO_FLUSH);
            bomb.append(reinterpret_cast<char*>(out.data()), out.size() - z.avail_out);
        } while (z.avail_out == 0);
    }
    deflateEnd(&z);
    EXPECT_EQ(Open(WithSourceChunk(BlockHeader(kBombSize, uint32_t(bomb.size())) + bomb)),
              kResultOutOfMemory);
}

TEST_F(ProjectHostileTest, BadBanksAndEntriesAreRefusedWithTheirCodes) {
    Entry e = SmallEntry();
    e.banks[0].name = std::string(300, 'n');
    EXPECT_EQ(Open(Project({e})), kBankHeaderRefused);

    ProjectChunkWriter w;
    Version(w, kCurrentVersion);
    Header(w, kCurrentVersion, 1, {});
    w.BeginChunk(kApplicationEntryChunk);
    w.String("");
    w.BeginChunk(kBankChunk);
    w.String(dir_.Win("no-such-bank.bin"));
    w.EndChunk();
    w.EmptyChunk(kEndChunk);
    w.EndChunk();
    w.EmptyChunk(kEndChunk);
    EXPECT_EQ(Open(w.Text()), kResultCannotOpen);

    // Chunks of size 0 are never handled: no entry, no project.
    ProjectChunkWriter empty;
    Version(empty, kCurrentVersion);
    empty.EmptyChunk(kApplicationEntryChunk);
    empty.EmptyChunk(kEndChunk);
    EXPECT_EQ(Open(empty.Text()), kResultNoProjectData);
    ProjectChunkWriter nothing;
    nothing.EmptyChunk(kEndChunk);
    EXPECT_EQ(Open(nothing.Text()), kResultProjectRefused);
    EXPECT_EQ(Open(""), kResultEndOfData);
    // A stored mode other than 0 or 1 before version 5.
    EXPECT_EQ(Open(Project({SmallEntry()}, kVersionBase + 2, 7)), kResultProjectRefused);
}

TEST_F(ProjectHostileTest, ClassListIsReadInsideItsBlockOnly) {
    auto withList = [](const std::string& list) {
        ProjectChunkWriter w;
        Version(w, kCurrentVersion);
        w.BeginChunk(kHeaderChunk);
        w.U32(0);
        w.U32(1);
        w.U32(0);
        w.PackedBlock(list, false);
        w.EndChunk();
        EntryChunk(w, SmallEntry(), kCurrentVersion);
        w.EmptyChunk(kEndChunk);
        return w.Text();
    };
    using namespace std::string_literals;
    EXPECT_EQ(Open(withList("\x02\0\0\0Sprite\0Bank\0"s)), kResultOk);
    EXPECT_EQ(Open(withList("\x00\0\0\0"s)), kResultOk);
    EXPECT_EQ(Open(withList("\x03\0\0\0Sprite\0Bank\0"s)), kResultEndOfData);
    EXPECT_EQ(Open(withList("\xFF\xFF\xFF\xFFSprite\0"s)), kResultEndOfData);
    EXPECT_EQ(Open(withList("\x02\0\0\0Sprite\0Bank"s)), kResultEndOfData);
    EXPECT_EQ(Open(withList("\x01\0\0"s)), kResultEndOfData);
}

TEST_F(ProjectHostileTest, TrailerMustBeOursAndPointInsideTheFile) {
    const std::string player(64, 'P');
    const std::string data = Project({SmallEntry()});
    const uint32_t at = uint32_t(player.size());
    EXPECT_EQ(LocateByTrailer(player + data + Trailer(kTrailerMarker, at)), kResultOk);
    EXPECT_EQ(word_, at);

    const uint32_t size = uint32_t(player.size() + data.size() + kTrailerSize);
    EXPECT_EQ(LocateByTrailer(player + data), kResultNoProjectData);
    EXPECT_EQ(word_, 0u);
    EXPECT_EQ(LocateByTrailer("ZORV"), kResultNoProjectData);
    EXPECT_EQ(LocateByTrailer(player + data + Trailer(0x12345678, at)), kResultNoProjectData);
    EXPECT_EQ(LocateByTrailer(player + data + Trailer(kTrailerMarker, 0)), kResultNoProjectData);
    EXPECT_EQ(LocateByTrailer(player + data + Trailer(kTrailerMarker, size)), kResultNoProjectData);
    EXPECT_EQ(LocateByTrailer(player + data + Trailer(kTrailerMarker, size - 15)),
              kResultNoProjectData);
    EXPECT_EQ(LocateByTrailer(player + data + Trailer(kTrailerMarker, 0xFFFFFFF8)),
              kResultNoProjectData);
    // Inside the file but not at the data: refused by what is found there.
    EXPECT_NE(LocateByTrailer(player + data + Trailer(kTrailerMarker, at + 1)), kResultOk);
}

} // namespace
