#include "graphics2d/formats/image_file_manager.h"

#include <gtest/gtest.h>

#include <vector>

#include "graphics2d/formats/anmz_handler.h"
#include "graphics2d/formats/bmp_handler.h"
#include "graphics2d/formats/image_test_support.h"
#include "graphics2d/formats/pcx_handler.h"
#include "graphics2d/formats/tga_handler.h"
#include "platform/kernel/test_hooks.h"
#include "support/temp_dir.h"

namespace {

using namespace image_test;

// Exposes the output conversion of the base over rows the test supplies.
class RowHandler : public CImageFormatHandler {
public:
    RowHandler(int depth, const ImagePalette* palette) {
        depth_ = depth;
        if (palette != nullptr) {
            AllocPalette(palette->count);
            *palette_ = *palette;
        }
    }
    CImageFormatHandler* NewInstance() override { return nullptr; }
    uint32_t GetFormatId() override { return 0; }
    int CanRead(CInStream&, uint32_t) override { return 0; }
    ImageResult Open(CInStream&) override { return kImageOk; }
    ImageResult ReadFrame(CInStream&, uint8_t*, int32_t, uint8_t*) override { return kImageOk; }

    Bytes Convert(const Bytes& row, int count) {
        Bytes out(static_cast<size_t>(count) * 4, kUntouched);
        ConvertRow(out.data(), row.data(), count);
        out.resize(static_cast<size_t>(count) * GetOutputBytesPerPixel());
        return out;
    }
    int Conversion() const { return NeedsConversion(); }
};

ImagePalette MakePalette(int count, uint32_t (*colour)(int)) {
    ImagePalette palette{0x300, static_cast<uint16_t>(count), {}};
    for (int i = 0; i < count; i++) {
        uint32_t c = colour(i);
        palette.entries[i] = {uint8_t(c), uint8_t(c >> 8), uint8_t(c >> 16), 0};
    }
    return palette;
}

// Distinct colours, entry 0 black.
uint32_t Distinct(int i) {
    return i == 0 ? 0 : uint32_t(i) | uint32_t(255 - i) << 8 | uint32_t(i * 7 & 0xFF) << 16;
}

TEST(OutputFormat, ArgumentsAreChecked) {
    ImagePalette big = MakePalette(256, Distinct);
    big.count = 257;
    RowHandler handler(24, nullptr);
    EXPECT_EQ(handler.SetOutputFormat(12, nullptr), kImageBadArgument);
    EXPECT_EQ(handler.SetOutputFormat(8, nullptr), kImageBadArgument);
    EXPECT_EQ(handler.SetOutputFormat(8, &big), kImageBadArgument);
    EXPECT_EQ(handler.SetOutputFormat(32, nullptr), kImageOk);
}

TEST(OutputFormat, EightBitThroughPalettes) {
    ImagePalette image = MakePalette(256, Distinct);
    RowHandler handler(8, &image);
    // Its own record: nothing to convert.
    ASSERT_EQ(handler.SetOutputFormat(8, handler.GetPalette()), kImageOk);
    EXPECT_EQ(handler.Conversion(), 0);

    // The same colours in another order (entry 0 stays black): indexes are mapped.
    ImagePalette reordered = image;
    for (int i = 1; i < 256; i++)
        reordered.entries[i] = image.entries[256 - i];
    ASSERT_EQ(handler.SetOutputFormat(8, &reordered), kImageOk);
    EXPECT_EQ(handler.Conversion(), 1);
    EXPECT_EQ(handler.Convert({0, 1, 2, 255, 128}, 5), (Bytes{0, 255, 254, 1, 128}));
    // Asking again with the same target keeps the map.
    ASSERT_EQ(handler.SetOutputFormat(8, &reordered), kImageOk);
    EXPECT_EQ(handler.Convert({3}, 1), (Bytes{253}));

    // A target that begins with every image colour keeps the indexes.
    ImagePalette sixteen = MakePalette(16, Distinct);
    RowHandler few(8, &sixteen);
    ASSERT_EQ(few.SetOutputFormat(8, &image), kImageOk);
    EXPECT_EQ(few.Conversion(), 0);
    // A target with fewer entries than the image is mapped: no index points past it.
    RowHandler many(8, &image);
    ASSERT_EQ(many.SetOutputFormat(8, &sixteen), kImageOk);
    EXPECT_EQ(many.Conversion(), 1);
    Bytes mapped = many.Convert({5, 200}, 2);
    EXPECT_EQ(mapped[0], 5);
    EXPECT_LT(mapped[1], 16);
}

TEST(OutputFormat, DirectColourConversions) {
    ImagePalette image = MakePalette(4, [](int i) -> uint32_t { return i == 2 ? 0x10C0F8 : 0; });
    struct Case {
        int from, to;
        Bytes in, out;
    };
    const Case cases[] = {
        {8, 15, {2}, {0x02, 0x7F}},
        {8, 16, {2}, {0x02, 0xFE}},
        {8, 24, {2, 0}, {0x10, 0xC0, 0xF8, 0, 0, 0}},
        {8, 32, {2}, {0x10, 0xC0, 0xF8, kUntouched}},
        {15, 16, {0x11, 0x7E}, {0x11, 0xFC}},
        {15, 24, {0x11, 0x7E}, {0x88, 0x80, 0xF8}},
        {16, 15, {0xFF, 0xFF}, {0xFF, 0x7F}},
        {16, 32, {0x1F, 0x07}, {0xF8, 0xE0, 0x00, kUntouched}},
        {24, 32, {1, 2, 3}, {1, 2, 3, kUntouched}},
        {32, 24, {1, 2, 3, 4, 5, 6, 7, 8}, {1, 2, 3, 5, 6, 7}},
        {32, 16, {0xFF, 0, 0xFF, 0}, {0x1F, 0xF8}},
    };
    for (const Case& c : cases) {
        RowHandler handler(c.from, c.from == 8 ? &image : nullptr);
        ASSERT_EQ(handler.SetOutputFormat(c.to, nullptr), kImageOk);
        const int count = static_cast<int>(c.in.size()) / ((c.from + 1) / 8);
        EXPECT_EQ(handler.Convert(c.in, count), c.out) << c.from << " to " << c.to;
    }
}

TEST(OutputFormat, DirectColourToPaletteIndexes) {
    ImagePalette target = MakePalette(256, [](int i) -> uint32_t {
        if (i == 253) return 0x204060; // blue 0x20, green 0x40, red 0x60
        if (i == 9) return 0x0000F8;   // red
        return 0x808080 + uint32_t(i == 0 ? 0 : 1);
    });
    target.entries[0] = {0, 0, 0, 0};
    RowHandler rgb(24, nullptr);
    ASSERT_EQ(rgb.SetOutputFormat(8, &target), kImageOk);
    // Index 253 is also the mark of an unresolved cell: it is looked up on every use and
    // still answers 253.
    EXPECT_EQ(rgb.Convert({0x20, 0x40, 0x60, 0x20, 0x40, 0x60}, 2), (Bytes{253, 253}));
    EXPECT_EQ(rgb.Convert({0x20, 0x40, 0x60}, 1), (Bytes{253}));
    EXPECT_EQ(rgb.Convert({0, 0, 0xF0, 0, 0, 0}, 2), (Bytes{9, 0}));

    RowHandler packed(16, nullptr);
    ASSERT_EQ(packed.SetOutputFormat(8, &target), kImageOk);
    EXPECT_EQ(packed.Convert({0x00, 0xF8}, 1), (Bytes{9}));
    RowHandler packed15(15, nullptr);
    ASSERT_EQ(packed15.SetOutputFormat(8, &target), kImageOk);
    EXPECT_EQ(packed15.Convert({0x00, 0x7C, 0x00, 0x80}, 2),
              (Bytes{9, 0})); // the top bit is no colour
}

class ManagerTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(manager.Init(7), 0); }

    static Bytes SmallBmp() {
        ByteBuilder b;
        b.U16(0x4D42).U32(0).U32(0).U32(54).U32(40).U32(2).U32(1).U16(1).U16(24);
        b.U32(0).U32(0).U32(0).U32(0).U32(0).U32(0);
        b.U8(1).U8(2).U8(3).U8(4).U8(5).U8(6).U8(0).U8(0);
        return b.Data();
    }

    ImageFileManager manager;
};

TEST_F(ManagerTest, HandlersAreAskedInOrder) {
    EXPECT_EQ(manager.GetHandlerCount(), 7);
    for (uint32_t id : {MakeFormatId('B', 'M', 'P', ' '), MakeFormatId('J', 'P', 'E', 'G'),
                        MakeFormatId('P', 'N', 'G', ' '), MakeFormatId('T', 'G', 'A', ' '),
                        MakeFormatId('A', 'N', 'M', ' '), MakeFormatId('F', 'L', 'I', ' '),
                        MakeFormatId('P', 'C', 'X', ' ')}) {
        ASSERT_NE(manager.FindPrototype(id), nullptr) << std::hex << id;
    }
    EXPECT_EQ(manager.FindPrototype(0x12345678), nullptr);

    auto find = [&](const Bytes& file, uint32_t skip) {
        ByteStream stream(file);
        stream.Seek(static_cast<int32_t>(skip), 0);
        CImageFormatHandler* handler = manager.FindHandler(stream);
        EXPECT_EQ(stream.Tell(), skip);
        uint32_t id = handler != nullptr ? handler->GetFormatId() : 0;
        if (handler != nullptr) handler->Release();
        return id;
    };
    EXPECT_EQ(find(SmallBmp(), 0), CBMPHandler::kFormatId);
    // A TGA whose id field is 10 bytes long starts like a PCX: TGA is asked first.
    ByteBuilder tga;
    tga.U8(10).U8(0).U8(2).Fill(9, 0).U16(1).U16(1).U8(24).U8(0).Fill(10, 0).U8(1).U8(2).U8(3);
    EXPECT_EQ(find(tga.Data(), 0), CTGAHandler::kFormatId);
    Bytes pcx = tga.Data();
    pcx[2] = 1;
    EXPECT_EQ(find(pcx, 0), CPCXHandler::kFormatId);
    Bytes shifted = {9, 9, 9};
    Bytes bmp = SmallBmp();
    shifted.insert(shifted.end(), bmp.begin(), bmp.end());
    EXPECT_EQ(find(shifted, 3), CBMPHandler::kFormatId);
    EXPECT_EQ(find({'x', 'y', 'z', 'w', 0, 0}, 0), 0u);
    EXPECT_EQ(find({'B', 'M'}, 0), 0u);
}

TEST_F(ManagerTest, OpeningAndReading) {
    ByteStream stream(SmallBmp());
    ImageFile image(&manager);
    uint8_t dest[8];
    EXPECT_EQ(image.ReadFrame(dest, 2, 1, 8, 0, nullptr, nullptr), kImageNotOpen);
    EXPECT_EQ(image.Prepare(2, 1, 0, nullptr), kImageNotOpen);
    EXPECT_EQ(image.OpenStream(nullptr), kImageNoSource);
    EXPECT_EQ(image.OpenFile(nullptr), kImageNoSource);
    ASSERT_EQ(image.OpenStream(&stream), kImageOk);
    EXPECT_EQ(image.GetWidth(), 2);
    EXPECT_EQ(image.GetDepth(), 24);
    EXPECT_EQ(image.CanWriteImage(), 1);
    EXPECT_EQ(image.GetSupportedDepths(), kWriteDepthsAll);

    CMemInStream other;
    EXPECT_EQ(image.OpenStream(&other), kImageAlreadyOpen);
    EXPECT_EQ(image.OpenFile("C:\\nothing.bmp"), kImageAlreadyOpen);
    EXPECT_EQ(image.Prepare(3, 1, 0, nullptr), kImageSizeMismatch);
    std::fill(std::begin(dest), std::end(dest), kUntouched);
    ASSERT_EQ(image.ReadFrame(dest, 2, 1, 8, 0, nullptr, nullptr), kImageOk);
    EXPECT_EQ(Bytes(dest, dest + 6), (Bytes{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(image.ReadNextFrame(dest, 8, 1), kImageNotSupported);
    image.Close();
    EXPECT_EQ(image.ReadNextFrame(dest, 8, 1), kImageNoHandler);

    // Closed, the same object opens again.
    stream.Seek(0, 0);
    ASSERT_EQ(image.OpenStream(&stream), kImageOk);
    std::fill(std::begin(dest), std::end(dest), kUntouched);
    ASSERT_EQ(image.ReadFrame(dest, 2, 1, 2 * 4, 32, nullptr, nullptr), kImageOk);
    EXPECT_EQ(Bytes(dest, dest + 8), (Bytes{1, 2, 3, kUntouched, 4, 5, 6, kUntouched}));
}

TEST_F(ManagerTest, RefusedOpensLeaveTheFileUsable) {
    ImageFile image(&manager);
    EXPECT_EQ(image.OpenFile("C:\\no\\such\\picture.bmp"), kImageFileNotOpened);
    ByteBuilder fourBit;
    fourBit.U16(0x4D42).U32(0).U32(0).U32(0).U32(40).U32(2).U32(1).U16(1).U16(4).Fill(24, 0);
    const Bytes junk = {1, 2, 3, 4, 5, 6, 7, 8};
    for (const Bytes& file : {fourBit.Data(), junk}) {
        ByteStream stream(file);
        EXPECT_EQ(image.OpenStream(&stream), file == junk ? kImageBadHeader : kImageBelow8Bits);
        EXPECT_EQ(image.GetHandler(), nullptr);
    }
    ByteStream good(SmallBmp());
    EXPECT_EQ(image.OpenStream(&good), kImageOk);
}

TEST_F(ManagerTest, SelectedFormatIsTriedFirstAndReplacedWhenItRefuses) {
    ImageFile image(&manager);
    EXPECT_EQ(image.SelectFormat(0x11223344), 0);
    ASSERT_EQ(image.SelectFormat(CTGAHandler::kFormatId), 1);
    ByteStream stream(SmallBmp());
    ASSERT_EQ(image.OpenStream(&stream), kImageOk);
    EXPECT_EQ(image.GetHandler()->GetFormatId(), CBMPHandler::kFormatId);
}

TEST_F(ManagerTest, SaveSurface) {
    test_support::TempDir dir;
    std::string name = dir.Win("saved.bmp");
    ImageFile image(&manager);
    Bytes pixels = {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0};
    EXPECT_EQ(image.SaveSurface(name.c_str(), pixels.data(), 2, 2, 24, 8, nullptr, 0),
              kImageNoHandler);
    ASSERT_EQ(image.SelectFormat(CBMPHandler::kFormatId), 1);
    EXPECT_EQ(image.SaveSurface(nullptr, pixels.data(), 2, 2, 24, 8, nullptr, 0),
              kImageBadArgument);
    EXPECT_EQ(image.SaveSurface(name.c_str(), pixels.data(), 2, 0, 24, 8, nullptr, 0),
              kImageBadArgument);
    EXPECT_EQ(image.SaveSurface(name.c_str(), pixels.data(), 2, 2, 12, 8, nullptr, 0),
              kImageBadWriteDepth);
    EXPECT_EQ(image.SaveSurface(dir.Win("no\\such\\folder.bmp").c_str(), pixels.data(), 2, 2, 24, 8,
                                nullptr, 0),
              kImageFileNotCreated);
    ASSERT_EQ(image.SaveSurface(name.c_str(), pixels.data(), 2, 2, 24, 8, nullptr, 0), kImageOk);

    ImageFile reader(&manager);
    ASSERT_EQ(reader.OpenFile(name.c_str()), kImageOk);
    Bytes dest(16, kUntouched);
    ASSERT_EQ(reader.ReadFrame(dest.data(), 2, 2, 8, 0, nullptr, nullptr), kImageOk);
    EXPECT_EQ(Bytes(dest.begin(), dest.begin() + 6), (Bytes{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(Bytes(dest.begin() + 8, dest.begin() + 14), (Bytes{7, 8, 9, 10, 11, 12}));
    reader.Close();

    // A disk that refuses the bytes answers 4.
    platform::test::InjectFault(platform::test::Fault::WriteError);
    EXPECT_EQ(image.SaveSurface(name.c_str(), pixels.data(), 2, 2, 24, 8, nullptr, 0),
              kImageWriteError);
    platform::test::ClearFaults();

    ImageFile pcx(&manager);
    ASSERT_EQ(pcx.SelectFormat(CPCXHandler::kFormatId), 1);
    EXPECT_EQ(pcx.SaveSurface(name.c_str(), pixels.data(), 2, 2, 24, 8, nullptr, 0),
              kImageNotSupported);
    EXPECT_EQ(pcx.SaveSurface(name.c_str(), pixels.data(), 2, 2, 16, 8, nullptr, 0),
              kImageBadWriteDepth);
}

TEST_F(ManagerTest, FramesOfAnAnimation) {
    const int32_t width = 2, height = 1, pitch = 8;
    CANMZHandler writer;
    CMemOutStream out;
    ASSERT_EQ(writer.BeginWrite(out, width, height, 24, 3, 10, 1, 0, nullptr, 0), kImageOk);
    for (uint8_t frame = 0; frame < 3; frame++) {
        Bytes pixels(pitch, static_cast<uint8_t>(frame + 1));
        ASSERT_EQ(writer.WriteFrame(out, nullptr, pixels.data(), width, height, pitch, 24, nullptr,
                                    10, 0),
                  kImageOk);
    }
    writer.EndWrite(out);
    ByteStream stream(Contents(out));
    ImageFile image(&manager);
    ASSERT_EQ(image.OpenStream(&stream), kImageOk);
    ASSERT_EQ(image.GetFrameCount(), 3);
    Bytes dest(pitch, kUntouched);
    EXPECT_EQ(image.ReadNextFrame(dest.data(), pitch, 1), kImageNoHandler);
    ASSERT_EQ(image.ReadFrame(dest.data(), width, height, pitch, 0, nullptr, nullptr), kImageOk);
    EXPECT_EQ(image.GetCurrentFrame(), 0);
    EXPECT_EQ(dest[0], 1);

    ASSERT_EQ(image.ReadNextFrame(dest.data(), pitch, 2), kImageOk);
    EXPECT_EQ(image.GetCurrentFrame(), 2);
    EXPECT_EQ(dest[0], 3);
    dest.assign(pitch, kUntouched);
    ASSERT_EQ(image.ReadNextFrame(dest.data(), pitch, 2), kImageOk); // already there: reads nothing
    EXPECT_EQ(dest[0], kUntouched);
    ASSERT_EQ(image.ReadNextFrame(dest.data(), pitch, 1), kImageOk); // back: rewinds
    EXPECT_EQ(image.GetCurrentFrame(), 1);
    EXPECT_EQ(dest[0], 2);
    ASSERT_EQ(image.ReadNextFrame(dest.data(), pitch, 99), kImageOk); // the last frame at most
    EXPECT_EQ(image.GetCurrentFrame(), 2);
    image.SeekFrame();
    EXPECT_EQ(image.GetCurrentFrame(), -1);
}

} // namespace
