#include "graphics2d/formats/anmz_handler.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>
#include <random>
#include <vector>

#include "graphics2d/formats/image_test_support.h"

namespace {

using namespace image_test;

// A picture in memory, rows `pitch` bytes apart.
struct Picture {
    int32_t width;
    int32_t height;
    int bytesPerPixel;
    int32_t pitch;
    Bytes pixels;

    Picture(int32_t w, int32_t h, int depth, int32_t padding = 0)
        : width(w), height(h), bytesPerPixel((depth + 1) / 8),
          pitch(w * ((depth + 1) / 8) + padding), pixels(size_t(pitch) * h, 0) {}
    uint8_t* At(int x, int y) { return &pixels[size_t(y) * pitch + size_t(x) * bytesPerPixel]; }
    void Set(int x, int y, uint8_t value) { std::memset(At(x, y), value, bytesPerPixel); }
    // The pixels without the row padding.
    Bytes Packed() const {
        Bytes packed;
        for (int y = 0; y < height; y++)
            packed.insert(packed.end(), pixels.begin() + size_t(y) * pitch,
                          pixels.begin() + size_t(y) * pitch + size_t(width) * bytesPerPixel);
        return packed;
    }
};

class Recorder {
public:
    Recorder(int32_t width, int32_t height, int depth, int quality = 0, uint32_t option2 = 0,
             const Bytes& user = {}) {
        handler.SetQuality(quality);
        result = handler.BeginWrite(out, width, height, depth, 99, 40, 1, option2,
                                    user.empty() ? nullptr : user.data(),
                                    static_cast<uint32_t>(user.size()));
    }
    ImageResult Add(const Picture* previous, const Picture& image, uint32_t delay = 10,
                    uint32_t flags = 0, const ImagePalette* palette = nullptr) {
        return handler.WriteFrame(out, previous != nullptr ? previous->pixels.data() : nullptr,
                                  image.pixels.data(), image.width, image.height, image.pitch, 0,
                                  palette, delay, flags);
    }
    // A first frame `a` and a second one `b` coded against it.
    void AddTwo(const Picture& a, const Picture& b) {
        Add(nullptr, a);
        Add(&a, b);
    }
    Bytes Finish() {
        handler.EndWrite(out);
        return Contents(out);
    }

    CANMZHandler handler;
    CMemOutStream out;
    ImageResult result;
};

class Player {
public:
    explicit Player(const Bytes& file, int depth = 0) : stream_(file) {
        open = handler.Open(stream_);
        if (open != kImageOk) return;
        output = depth == 0 ? handler.GetDepth() : depth;
        handler.SetOutputFormat(output, handler.GetPalette());
        picture = Picture(handler.GetWidth(), handler.GetHeight(), output);
        picture.pixels.assign(picture.pixels.size(), 0xEE);
    }
    ImageResult Next() {
        return handler.ReadFrame(stream_, picture.pixels.data(), picture.pitch, nullptr);
    }

    CANMZHandler handler;
    ImageResult open;
    int output = 0;
    Picture picture{1, 1, 8};

private:
    ByteStream stream_;
};

// The stored data of the n-th frame chunk ('r' or 's') and its frame header.
struct StoredFrame {
    uint8_t letter = 0;
    Bytes header;
    Bytes data;
};

StoredFrame FindFrame(const Bytes& file, int n) {
    size_t at = 40;
    while (at + 8 <= file.size()) {
        const uint32_t length = Load32(file, at + 4);
        if ((file[at] == 'r' || file[at] == 's') && n-- == 0) {
            StoredFrame f;
            f.letter = file[at];
            f.header.assign(file.begin() + at + 8, file.begin() + at + 36);
            f.data.assign(file.begin() + at + 36, file.begin() + at + 8 + length);
            return f;
        }
        at += 8 + length;
    }
    return {};
}

Bytes Deflate(const Bytes& data, int level) {
    uLongf size = compressBound(data.size());
    Bytes packed(size);
    EXPECT_EQ(compress2(packed.data(), &size, data.data(), data.size(), level), Z_OK);
    packed.resize(size);
    return packed;
}

TEST(AnmzWrite, FramesRoundTripAtEveryDepthAndLevel) {
    ImagePalette palette{0x300, 256, {}};
    for (int i = 0; i < 256; i++)
        palette.entries[i] = {uint8_t(i), uint8_t(i / 3), uint8_t(255 - i), 0};
    for (int depth : {8, 15, 16, 24, 32}) {
        for (int quality : {0, 55, 95}) {
            SCOPED_TRACE(testing::Message() << "depth " << depth << " quality " << quality);
            std::mt19937 random(depth * 100 + quality);
            std::vector<Picture> frames(5, Picture(37, 23, depth, 3));
            for (uint8_t& p : frames[0].pixels)
                p = uint8_t(random());
            frames[1] = frames[0];
            for (int i = 0; i < 12; i++)
                frames[1].Set(random() % 37, random() % 23, uint8_t(random()));
            // frames[2] repeats frames[1] and is folded into it.
            frames[2] = frames[3] = frames[1];
            for (int y = 5; y < 9; y++)
                for (int x = 30; x < 37; x++)
                    frames[3].Set(x, y, uint8_t(x * y));
            frames[4] = frames[3];
            frames[4].Set(0, 0, 1);
            frames[4].Set(36, 22, 2);

            Recorder r(37, 23, depth, quality);
            ASSERT_EQ(r.result, kImageOk);
            ASSERT_EQ(r.Add(nullptr, frames[0], 10, 0, &palette), kImageOk);
            for (int i = 1; i < 5; i++)
                ASSERT_EQ(r.Add(&frames[i - 1], frames[i]), kImageOk);
            const Bytes file = r.Finish();
            EXPECT_EQ(Load32(FindFrame(file, 0).header, 24) == 0, quality == 0);

            Player p(file);
            ASSERT_EQ(p.open, kImageOk);
            EXPECT_EQ(p.handler.GetFrameCount(), 4);
            EXPECT_EQ(p.handler.GetTotalTime(), 50u);
            if (depth == 8) {
                EXPECT_EQ(p.handler.GetPalette()->entries[200].green, 66);
            }
            for (int i : {0, 1, 3, 4}) {
                ASSERT_EQ(p.Next(), kImageOk) << i;
                EXPECT_EQ(p.picture.Packed(), frames[i].Packed()) << i;
            }
            EXPECT_EQ(p.handler.GetFrameDelay(3), 10u);
            EXPECT_EQ(p.handler.GetFrameDelay(1), 40u);
            EXPECT_EQ(p.Next(), kImageNoMoreFrames);
            // Rewinding plays the same frames again.
            p.handler.RewindFrames();
            ASSERT_EQ(p.Next(), kImageOk);
            EXPECT_EQ(p.picture.Packed(), frames[0].Packed());
        }
    }
}

TEST(AnmzWrite, DeltaCodesSkipsAndGroups) {
    // One pixel changed: its rectangle in the frame header and one token.
    Picture a(64, 64, 8), b(64, 64, 8);
    b.Set(10, 20, 0x77);
    Recorder one(64, 64, 8);
    one.AddTwo(a, b);
    const StoredFrame delta = FindFrame(one.Finish(), 1);
    EXPECT_EQ(delta.letter, 's');
    EXPECT_EQ(delta.header,
              ByteBuilder().U32(10).U32(0).U32(10).U32(20).U32(1).U32(1).U32(0).Data());
    EXPECT_EQ(delta.data, (Bytes{1, 1, 0x77, 0, 0}));

    // Rows 0 and 301 changed: 300 rows skipped in between.
    Picture c(16, 310, 8), d(16, 310, 8);
    d.Set(0, 0, 5);
    d.Set(0, 301, 6);
    Recorder rows(16, 310, 8);
    rows.AddTwo(c, d);
    EXPECT_EQ(FindFrame(rows.Finish(), 1).data,
              (Bytes{1, 1, 5, 0, 0xFF, 0xFF, 0x80 + 46, 1, 1, 6, 0, 0}));

    // Pixels 0 and 300 of a row: a 299-pixel skip; 0 and 4: three pixels sent as they are.
    Picture e(310, 2, 8), f(310, 2, 8);
    f.Set(0, 0, 1);
    f.Set(300, 0, 2);
    f.Set(0, 1, 3);
    f.Set(4, 1, 4);
    Recorder columns(310, 2, 8);
    columns.AddTwo(e, f);
    EXPECT_EQ(FindFrame(columns.Finish(), 1).data,
              (Bytes{2, 1, 1, 0xFF, 0xFF, 0x80 + 45, 1, 2, 0, 5, 3, 0, 0, 0, 4, 0, 0}));

    // 200 changed rows in a row: groups of 127 and 73.
    Picture g(4, 200, 8), h(4, 200, 8);
    for (int y = 0; y < 200; y++)
        h.Set(1, y, 9);
    Recorder groups(4, 200, 8);
    groups.AddTwo(g, h);
    const Bytes file = groups.Finish();
    const Bytes data = FindFrame(file, 1).data;
    ASSERT_EQ(data.size(), 2u + 200 * 3 + 1);
    EXPECT_EQ(data[0], 127);
    EXPECT_EQ(data[1 + 127 * 3], 73);
    Player p(file);
    ASSERT_EQ(p.Next(), kImageOk);
    ASSERT_EQ(p.Next(), kImageOk);
    EXPECT_EQ(p.picture.Packed(), h.Packed());
}

TEST(AnmzWrite, IdenticalFramesFoldOrBecomeEmptyFrames) {
    Picture a(8, 8, 24);
    a.Set(3, 3, 50);
    Recorder folded(8, 8, 24);
    folded.Add(nullptr, a, 10);
    folded.Add(&a, a, 15);
    folded.Add(&a, a, 0);
    folded.handler.EndWriteFrames(folded.out, 5);
    const Bytes file = folded.Finish();
    EXPECT_EQ(Load32(file, 28), 1u);
    EXPECT_EQ(Load32(file, 36), 10u + 15 + 40 + 5);
    EXPECT_EQ(Load32(FindFrame(file, 0).header, 0), 10u + 15 + 40 + 5);

    Recorder empty(8, 8, 24);
    empty.Add(nullptr, a, 10);
    empty.Add(&a, a, 15, 1);
    const Bytes withEmpty = empty.Finish();
    EXPECT_EQ(Load32(withEmpty, 28), 2u);
    const StoredFrame frame = FindFrame(withEmpty, 1);
    EXPECT_EQ(frame.letter, 's');
    EXPECT_EQ(Load32(frame.header, 4), 1u);
    EXPECT_TRUE(frame.data.empty());
    Player p(withEmpty);
    ASSERT_EQ(p.Next(), kImageOk);
    ASSERT_EQ(p.Next(), kImageOk);
    EXPECT_EQ(p.picture.Packed(), a.Packed());
    EXPECT_EQ(p.handler.GetCurrentFrame(), 1);
    EXPECT_EQ(p.handler.GetFrameDelay(1), 15u);
    EXPECT_EQ(p.handler.GetFrameDelay(0), 40u);
}

TEST(AnmzWrite, QualityChoosesTheZlibLevel) {
    Picture a(40, 30, 24);
    std::mt19937 random(3);
    for (size_t i = 0; i < a.pixels.size(); i++)
        a.pixels[i] = static_cast<uint8_t>(i % 7 == 0 ? random() : i / 50);
    for (auto [quality, level] :
         {std::pair{55, 5}, {100, 9}, {-1, Z_DEFAULT_COMPRESSION}, {9, 0}}) {
        Recorder r(40, 30, 24, quality);
        r.Add(nullptr, a);
        const StoredFrame frame = FindFrame(r.Finish(), 0);
        EXPECT_EQ(frame.data, level == 0 ? a.pixels : Deflate(a.pixels, level)) << quality;
        EXPECT_EQ(Load32(frame.header, 24), level == 0 ? 0u : a.pixels.size()) << quality;
    }
}

TEST(AnmzWrite, OptionsAndUserDataTravel) {
    const Bytes user = {1, 2, 3, 4, 5};
    Picture a(2, 2, 16);
    Recorder r(2, 2, 16, 0, 7, user);
    r.Add(nullptr, a);
    Player p(r.Finish());
    ASSERT_EQ(p.open, kImageOk);
    EXPECT_EQ(p.handler.GetAnimOption1(), 1u);
    EXPECT_EQ(p.handler.GetAnimOption2(), 7u);
    ASSERT_EQ(p.handler.GetUserDataSize(), 5u);
    EXPECT_EQ(std::memcmp(p.handler.GetUserData(), user.data(), 5), 0);

    Recorder plain(2, 2, 16);
    plain.Add(nullptr, a);
    EXPECT_EQ(plain.Finish()[40], 'r');
}

TEST(AnmzWrite, RefusalsAndFailingStreamsLeakNothing) {
    CANMZHandler handler;
    CMemOutStream out;
    Picture a(20, 10, 24), b(20, 10, 24);
    b.Set(5, 5, 1);
    EXPECT_EQ(handler.WriteFrame(out, nullptr, a.pixels.data(), 20, 10, a.pitch, 24, nullptr, 1, 0),
              kImageNoHandler);
    EXPECT_EQ(handler.BeginWrite(out, 20, 10, 12, 1, 1, 1, 0, nullptr, 0), kImageBadWriteDepth);
    EXPECT_EQ(handler.BeginWrite(out, 0, 10, 24, 1, 1, 1, 0, nullptr, 0), kImageBadArgument);
    ASSERT_EQ(handler.BeginWrite(out, 20, 10, 24, 1, 1, 1, 0, nullptr, 0), kImageOk);
    EXPECT_EQ(handler.WriteFrame(out, nullptr, a.pixels.data(), 20, 11, a.pitch, 24, nullptr, 1, 0),
              kImageSizeMismatch);

    const Bytes user(100, 1);
    for (int quality : {0, 50}) {
        ExpectCutsFail(
            [&](COutStream& stream) {
                CANMZHandler w;
                w.SetQuality(quality);
                ImageResult result = w.BeginWrite(stream, 20, 10, 24, 3, 5, 2, 3, user.data(), 100);
                const uint8_t* frames[] = {nullptr, a.pixels.data(), b.pixels.data(),
                                           b.pixels.data()};
                for (int i = 0; i < 3 && result == kImageOk; i++)
                    result = w.WriteFrame(stream, frames[i], frames[i + 1], 20, 10, a.pitch, 24,
                                          nullptr, 1, 0);
                w.EndWrite(stream);
                return result;
            },
            {}, 7);
    }
}

// Files written by hand, for what the writer never makes.
Bytes Header(int32_t width, int32_t height, uint32_t depth, uint32_t frames) {
    ByteBuilder b;
    b.Raw({'A', 'N', 'M', 'Z'}).Fill(8, 0).U32(width).U32(height).U32(depth).U32(0);
    return b.U32(frames).U32(40).U32(40 * frames).Data();
}

Bytes ChunkOf(uint8_t letter, const Bytes& body) {
    return ByteBuilder().U8(letter).U8('E').U16(0).U32(body.size()).Raw(body).Data();
}

Bytes FrameOf(uint8_t letter, int32_t x, int32_t y, int32_t w, int32_t h, const Bytes& data,
              uint32_t unpacked = 0) {
    ByteBuilder b;
    b.U32(0).U32(0).U32(x).U32(y).U32(w).U32(h).U32(unpacked).Raw(data);
    return ChunkOf(letter, b.Data());
}

Bytes Join(std::initializer_list<Bytes> blocks) {
    Bytes all;
    for (const Bytes& bytes : blocks)
        all.insert(all.end(), bytes.begin(), bytes.end());
    return all;
}

TEST(AnmzRead, HeadersAreChecked) {
    for (const Bytes& header : {Header(4, 4, 12, 1), Header(0, 4, 8, 1), Header(4, -4, 8, 1),
                                Header(0x10000, 0x10000, 32, 1)})
        EXPECT_EQ(Player(header).open, kImageUnsupportedVariant);
    Bytes cut = Header(4, 4, 8, 1);
    cut.pop_back();
    EXPECT_EQ(Player(cut).open, kImageBadHeader);
    // A chunk longer than the file, and a palette chunk whose count overruns it.
    const Bytes full = FrameOf('r', 0, 0, 2, 2, Bytes(4, 1));
    Bytes overlong = Join({Header(2, 2, 8, 1), full});
    overlong[44] += 1;
    EXPECT_EQ(Player(overlong).open, kImageBadHeader);
    EXPECT_EQ(Player(Join({Header(2, 2, 8, 1), ChunkOf('q', {0, 0, 2, 0, 1, 2, 3}), full})).open,
              kImageBadHeader);
}

TEST(AnmzRead, OpenStartsAtTheFirstFullFrame) {
    const Bytes file =
        Join({Header(2, 2, 8, 2), ChunkOf('q', {254, 0, 3, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9}),
              FrameOf('s', 0, 0, 1, 1, {1, 1, 9, 0, 0}), FrameOf('r', 0, 0, 2, 2, {1, 2, 3, 4}),
              FrameOf('s', 1, 1, 1, 1, {1, 1, 7, 0, 0})});
    Player p(file);
    ASSERT_EQ(p.open, kImageOk);
    EXPECT_EQ(p.handler.GetPalette()->entries[255].blue, 6);
    ASSERT_EQ(p.Next(), kImageOk);
    EXPECT_EQ(p.picture.Packed(), (Bytes{1, 2, 3, 4}));
    ASSERT_EQ(p.Next(), kImageOk);
    EXPECT_EQ(p.picture.Packed(), (Bytes{1, 2, 3, 7}));
    RECT rect;
    p.handler.GetFrameRect(&rect);
    EXPECT_EQ(rect.left, 1);
    EXPECT_EQ(rect.bottom, 2);
    EXPECT_EQ(p.Next(), kImageNoMoreFrames);
}

TEST(AnmzRead, BrokenFramesLeaveThePictureAlone) {
    const Bytes start = Join({Header(4, 4, 8, 2), FrameOf('r', 0, 0, 4, 4, Bytes(16, 1))});
    const Bytes code = {1, 1, 9, 0, 0};
    const Bytes packed = Deflate(code, 6);
    const Bytes broken[] = {
        // Rectangles outside the picture.
        FrameOf('s', 3, 0, 2, 1, code),
        FrameOf('s', -1, 0, 1, 1, code),
        FrameOf('s', 0, 0, 4, 5, code),
        // A good row, then a token past the rectangle's right edge or below its bottom.
        FrameOf('s', 0, 0, 2, 2, {1, 2, 9, 9, 0, 1, 0x81, 2, 9, 9, 0, 0}),
        FrameOf('s', 0, 0, 2, 1, {2, 1, 9, 0, 1, 9, 0, 0}),
        // Code running out of data: no final 0, a token's pixels cut.
        FrameOf('s', 0, 0, 2, 1, {1, 1, 9, 0}),
        FrameOf('s', 0, 0, 2, 1, {1, 2, 9}),
        // A full frame with too few bytes; a chunk too short for its frame header.
        FrameOf('r', 0, 0, 4, 4, Bytes(15, 2)),
        ChunkOf('s', Bytes(20, 0)),
        // Packed data must unpack to exactly the declared size, and that size must be sane.
        FrameOf('s', 0, 0, 1, 1, packed, 6),
        FrameOf('s', 0, 0, 1, 1, packed, 4),
        FrameOf('s', 0, 0, 1, 1, packed, 0xFFFFFFF0),
        FrameOf('s', 0, 0, 1, 1, Bytes(packed.begin(), packed.end() - 2), 5),
    };
    for (const Bytes& frame : broken) {
        Player p(Join({start, frame}));
        EXPECT_EQ(p.Next(), kImageOk);
        EXPECT_EQ(p.Next(), kImageDataError) << &frame - broken;
        EXPECT_EQ(p.picture.Packed(), Bytes(16, 1)) << &frame - broken;
    }
    Player good(Join({start, FrameOf('s', 0, 0, 1, 1, packed, 5)}));
    good.Next();
    EXPECT_EQ(good.Next(), kImageOk);
    EXPECT_EQ(good.picture.pixels[0], 9);

    CANMZHandler closed;
    CMemInStream empty;
    uint8_t pixel;
    EXPECT_EQ(closed.ReadFrame(empty, &pixel, 1, nullptr), kImageNotOpen);
    EXPECT_TRUE(closed.CanRead(empty, 0x5A4D4E41));
    EXPECT_FALSE(closed.CanRead(empty, 0x204D4E41));
}

TEST(AnmzRead, ConvertsAndFollowsNegativePitches) {
    Picture a(3, 2, 16), b(3, 2, 16);
    for (int i = 0; i < 6; i++)
        *reinterpret_cast<uint16_t*>(a.At(i % 3, i / 3)) = static_cast<uint16_t>(0xF800 >> i);
    b = a;
    *reinterpret_cast<uint16_t*>(b.At(2, 1)) = 0x07E0;
    Recorder r(3, 2, 16, 50);
    r.AddTwo(a, b);
    const Bytes file = r.Finish();

    Player wide(file, 24);
    ASSERT_EQ(wide.Next(), kImageOk);
    EXPECT_EQ(Bytes(wide.picture.At(0, 0), wide.picture.At(0, 0) + 3), (Bytes{0, 0, 0xF8}));
    ASSERT_EQ(wide.Next(), kImageOk);
    EXPECT_EQ(Bytes(wide.picture.At(2, 1), wide.picture.At(2, 1) + 3), (Bytes{0, 0xFC, 0}));

    // Bottom-up: the caller's first row in memory is the picture's last.
    CANMZHandler handler;
    ByteStream stream(file);
    ASSERT_EQ(handler.Open(stream), kImageOk);
    Picture flipped(3, 2, 16);
    uint8_t* top = flipped.pixels.data() + flipped.pitch;
    ASSERT_EQ(handler.ReadFrame(stream, top, -flipped.pitch, nullptr), kImageOk);
    ASSERT_EQ(handler.ReadFrame(stream, top, -flipped.pitch, nullptr), kImageOk);
    EXPECT_EQ(*reinterpret_cast<uint16_t*>(flipped.At(2, 0)), 0x07E0);
    EXPECT_EQ(*reinterpret_cast<uint16_t*>(flipped.At(0, 1)), 0xF800);
}

} // namespace
