#include "graphics2d/formats/fli_handler.h"

#include <gtest/gtest.h>

#include <vector>

#include "graphics2d/formats/image_test_support.h"

namespace {

using namespace image_test;

constexpr uint16_t kFli = 0xAF11;
constexpr uint16_t kFlc = 0xAF12;
constexpr int kWidth = 8;
constexpr int kHeight = 4;

Bytes Chunk(uint16_t type, const Bytes& body) {
    return ByteBuilder().U32(6 + body.size()).U16(type).Raw(body).Data();
}

Bytes Frame(const std::vector<Bytes>& subChunks) {
    ByteBuilder body;
    body.U16(subChunks.size()).Fill(8, 0);
    for (const Bytes& sub : subChunks)
        body.Raw(sub);
    return Chunk(0xF1FA, body.Data());
}

Bytes File(uint16_t type, uint16_t frames, uint32_t speed, const std::vector<Bytes>& chunks,
           uint16_t depth = 8) {
    ByteBuilder b;
    b.U32(0).U16(type).U16(frames).U16(kWidth).U16(kHeight).U16(depth).U16(0).U32(speed);
    b.Fill(128 - b.Size(), 0);
    for (const Bytes& chunk : chunks)
        b.Raw(chunk);
    b.Put32At(0, static_cast<uint32_t>(b.Size()));
    return b.Data();
}

// Entries 0 to 2 pure red, green and blue, in 64 levels.
Bytes Colors64() {
    return Chunk(11, {1, 0, 0, 3, 63, 0, 0, 0, 63, 0, 0, 0, 63});
}

// Entry i = (i, 255 - i, i / 2) for all 256 entries (a count byte of 0).
Bytes Colors256() {
    ByteBuilder b;
    b.U16(1).U8(0).U8(0);
    for (int i = 0; i < 256; i++)
        b.U8(i).U8(255 - i).U8(i / 2);
    return Chunk(4, b.Data());
}

// Row 0 a run of 1; row 1 literal 0 to 7; row 2 runs of 2 and 3, the second overlong;
// row 3 a run of 4.
Bytes ByteRun() {
    return Chunk(15, {1, 8, 1, 1, 0xF8, 0, 1, 2, 3, 4, 5, 6, 7, 2, 3, 2, 10, 3, 1, 8, 4});
}

const Bytes kFirstPicture = {1, 1, 1, 1, 1, 1, 1, 1, 0, 1, 2, 3, 4, 5, 6, 7,
                             2, 2, 2, 3, 3, 3, 3, 3, 4, 4, 4, 4, 4, 4, 4, 4};

// Lines 1 and 2: literal 9 9 at column 2 and a run of 7 from column 5; then five 5s at
// column 6, which only two columns hold.
Bytes ByteDelta() {
    return Chunk(12, {1, 0, 2, 0, 2, 2, 2, 9, 9, 1, 0xFE, 7, 1, 6, 5, 5, 5, 5, 5, 5});
}

const Bytes kSecondPicture = {1, 1, 1, 1, 1, 1, 1, 1, 0, 1, 9, 9, 4, 7, 7, 7,
                              2, 2, 2, 3, 3, 3, 5, 5, 4, 4, 4, 4, 4, 4, 4, 4};

class FliReader {
public:
    explicit FliReader(const Bytes& file) : stream_(file) {}
    ImageResult Open() { return handler.Open(stream_); }
    ImageResult Next() { return handler.ReadFrame(stream_, picture.data(), kWidth, nullptr); }

    CFLIHandler handler;
    Bytes picture = Bytes(kWidth * kHeight, 0xEE);

private:
    ByteStream stream_;
};

TEST(FliRead, FramesChangeThePictureAndTheRingFrameLoopsBack) {
    FliReader r(File(kFli, 3, 5,
                     {Frame({Colors64(), ByteRun()}), Frame({ByteDelta()}), Frame({Chunk(13, {})}),
                      Frame({ByteRun()})}));
    ASSERT_EQ(r.Open(), kImageOk);
    EXPECT_EQ(r.handler.GetFrameCount(), 3);
    EXPECT_EQ(r.handler.GetFrameDelay(0), 71u);
    EXPECT_EQ(r.handler.GetTotalTime(), 213u);
    EXPECT_EQ(r.handler.GetCurrentFrame(), -1);
    const ImagePalette* palette = r.handler.GetPalette();
    EXPECT_EQ(palette->entries[0].red, 252);
    EXPECT_EQ(palette->entries[2].blue, 252);

    ASSERT_EQ(r.Next(), kImageOk);
    EXPECT_EQ(r.picture, kFirstPicture);
    ASSERT_EQ(r.Next(), kImageOk);
    EXPECT_EQ(r.picture, kSecondPicture);
    ASSERT_EQ(r.Next(), kImageOk);
    EXPECT_EQ(r.picture, Bytes(kWidth * kHeight, 0));
    EXPECT_EQ(r.handler.GetCurrentFrame(), 2);
    // The ring frame brings the first picture back; the second frame follows it.
    ASSERT_EQ(r.Next(), kImageOk);
    EXPECT_EQ(r.picture, kFirstPicture);
    EXPECT_EQ(r.handler.GetCurrentFrame(), 0);
    ASSERT_EQ(r.Next(), kImageOk);
    EXPECT_EQ(r.picture, kSecondPicture);

    r.handler.RewindFrames();
    EXPECT_EQ(r.handler.GetCurrentFrame(), -1);
    r.picture.assign(r.picture.size(), 0xEE);
    ASSERT_EQ(r.Next(), kImageOk);
    EXPECT_EQ(r.picture, kFirstPicture);
}

TEST(FliRead, WithoutARingFrameTheEndIsNoMoreFrames) {
    FliReader r(File(kFli, 2, 7, {Frame({Colors64(), ByteRun()}), Frame({ByteDelta()})}));
    ASSERT_EQ(r.Open(), kImageOk);
    EXPECT_EQ(r.handler.GetFrameDelay(0), 100u);
    EXPECT_EQ(r.Next(), kImageOk);
    EXPECT_EQ(r.Next(), kImageOk);
    EXPECT_EQ(r.Next(), kImageNoMoreFrames);
    EXPECT_EQ(r.picture, kSecondPicture);
}

TEST(FlcRead, LiteralAndWordDeltaWithSkipsAndLastPixel) {
    ByteBuilder wordDelta;
    wordDelta.U16(2);
    // Skip one line, set the last pixel, then two packets: two words copied at column 1
    // and one word repeated at column 6.
    wordDelta.U16(0xFFFF).U16(0x8063).U16(2);
    wordDelta.U8(1).U8(2).U8(0xA1).U8(0xA2).U8(0xA3).U8(0xA4);
    wordDelta.U8(1).U8(0xFF).U8(0xB1).U8(0xB2);
    // A word with 01 on top means nothing; then a run of three words at column 6.
    wordDelta.U16(0x4000).U16(1).U8(6).U8(0xFD).U8(0xC1).U8(0xC2);
    Bytes literal;
    for (int i = 0; i < 32; i++)
        literal.push_back(static_cast<uint8_t>(i));
    // A later colour chunk changes nothing.
    const Bytes laterColors = Chunk(4, {1, 0, 0, 1, 1, 2, 3});
    FliReader r(File(kFlc, 2, 7,
                     {Chunk(0xF100, {1, 2, 3, 4}), Frame({Colors256(), Chunk(16, literal)}),
                      Frame({laterColors, Chunk(7, wordDelta.Data())})}));
    ASSERT_EQ(r.Open(), kImageOk);
    EXPECT_EQ(r.handler.GetFrameDelay(0), 7u);
    EXPECT_EQ(r.handler.GetPalette()->entries[200].green, 55);
    ASSERT_EQ(r.Next(), kImageOk);
    EXPECT_EQ(r.picture, literal);
    ASSERT_EQ(r.Next(), kImageOk);
    const Bytes expected = {0,    1,    2,  3,    4,    5,  6,  7,  8,  0xA1, 0xA2,
                            0xA3, 0xA4, 13, 0xB1, 0x63, 16, 17, 18, 19, 20,   21,
                            0xC1, 0xC2, 24, 25,   26,   27, 28, 29, 30, 31};
    EXPECT_EQ(r.picture, expected);
    EXPECT_EQ(r.handler.GetPalette()->entries[0].red, 0);
}

TEST(FliRead, ConvertsThroughThePalette) {
    ByteStream stream(File(kFlc, 1, 7, {Frame({Colors256(), ByteRun()})}));
    CFLIHandler handler;
    ASSERT_EQ(handler.Open(stream), kImageOk);
    ASSERT_EQ(handler.SetOutputFormat(24, nullptr), kImageOk);
    Bytes rgb(kWidth * 3 * kHeight, 0xEE);
    ASSERT_EQ(handler.ReadFrame(stream, rgb.data(), kWidth * 3, nullptr), kImageOk);
    // Row 1, column 5 is index 5: blue first.
    EXPECT_EQ(Bytes(rgb.begin() + kWidth * 3 + 15, rgb.begin() + kWidth * 3 + 18),
              (Bytes{2, 250, 5}));
    EXPECT_EQ(Bytes(rgb.begin(), rgb.begin() + 3), (Bytes{0, 254, 1}));
}

TEST(FliRead, ColoursMayComeInALaterFrame) {
    FliReader r(File(kFli, 2, 5, {Frame({ByteRun()}), Frame({Colors64(), ByteDelta()})}));
    ASSERT_EQ(r.Open(), kImageOk);
    EXPECT_EQ(r.handler.GetPalette()->entries[1].green, 252);
    // Reading still starts at the first frame.
    ASSERT_EQ(r.Next(), kImageOk);
    EXPECT_EQ(r.picture, kFirstPicture);

    FliReader single(File(kFli, 1, 5, {Frame({ByteRun()})}));
    EXPECT_EQ(single.Open(), kImageOk);
    FliReader none(File(kFli, 2, 5, {Frame({ByteRun()}), Frame({ByteDelta()})}));
    EXPECT_EQ(none.Open(), kImageBadHeader);
}

TEST(FliRead, DecodersStayInsideThePictureAndTheirData) {
    // Byte delta from line 4 (below the picture), and one whose line count runs past it.
    const Bytes below = Chunk(12, {4, 0, 1, 0, 1, 0, 1, 9});
    const Bytes pastEnd = Chunk(12, {3, 0, 0xFF, 0xFF, 1, 0, 0xF0, 6, 1, 0, 0xF0, 6});
    // Word delta skipping 16384 lines, then a packet.
    const Bytes skipAway = Chunk(7, {1, 0, 0, 0xC0, 1, 0, 0, 0xFF, 1, 1});
    // Colours from entry 250: six set, the rest dropped.
    ByteBuilder colors;
    colors.U16(1).U8(250).U8(10);
    for (int i = 0; i < 10; i++)
        colors.U8(40).U8(41).U8(42);
    // A literal chunk of five bytes and a byte run that stops mid-row.
    const Bytes shortLiteral = Chunk(16, {9, 9, 9, 9, 9});
    const Bytes shortRun = Chunk(15, {1, 0x80});
    FliReader r(File(kFlc, 2, 7,
                     {Frame({Chunk(4, colors.Data()), ByteRun(), below, pastEnd, skipAway}),
                      Frame({shortLiteral, shortRun})}));
    ASSERT_EQ(r.Open(), kImageOk);
    EXPECT_EQ(r.handler.GetPalette()->entries[255].blue, 42);
    EXPECT_EQ(r.handler.GetPalette()->entries[249].blue, 0);
    ASSERT_EQ(r.Next(), kImageOk);
    Bytes expected = kFirstPicture;
    for (int x = 0; x < kWidth; x++)
        expected[3 * kWidth + x] = 6;
    EXPECT_EQ(r.picture, expected);
    ASSERT_EQ(r.Next(), kImageOk);
    for (int x = 0; x < 5; x++)
        expected[x] = 9;
    EXPECT_EQ(r.picture, expected);
}

TEST(FliRead, BrokenChunksStopTheSearch) {
    const Bytes good = Frame({Colors64(), ByteRun()});
    EXPECT_EQ(FliReader(File(kFli, 1, 5, {good}, 16)).Open(), kImageBadHeader);
    EXPECT_EQ(FliReader(File(0xAF13, 1, 5, {good})).Open(), kImageBadHeader);
    EXPECT_EQ(FliReader(Bytes(100, 0)).Open(), kImageBadHeader);
    // A frame chunk smaller than a frame header; a chunk running past the file's end.
    EXPECT_EQ(FliReader(File(kFli, 1, 5, {Chunk(0xF1FA, {0, 0})})).Open(), kImageBadHeader);
    Bytes overlong = good;
    overlong[0] += 1;
    EXPECT_EQ(FliReader(File(kFli, 1, 5, {overlong})).Open(), kImageBadHeader);

    // A sub-chunk that runs past its frame ends the read.
    Bytes brokenSub = ByteDelta();
    brokenSub[0] += 4;
    Bytes frame = Frame({brokenSub});
    FliReader r(File(kFli, 2, 5, {good, frame}));
    ASSERT_EQ(r.Open(), kImageOk);
    EXPECT_EQ(r.Next(), kImageOk);
    EXPECT_EQ(r.Next(), kImageNoMoreFrames);
    EXPECT_EQ(r.picture, kFirstPicture);

    CFLIHandler closed;
    const Bytes file = File(kFlc, 1, 7, {});
    CMemInStream stream;
    stream.Attach(file.data(), static_cast<uint32_t>(file.size()));
    uint8_t pixel;
    EXPECT_EQ(closed.ReadFrame(stream, &pixel, 1, nullptr), kImageNotOpen);
    EXPECT_TRUE(closed.CanRead(stream, 0));
    stream.Attach(file.data(), 5);
    EXPECT_FALSE(closed.CanRead(stream, 0));
}

} // namespace
