#include "script/project/image_bank.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "graphics2d/formats/image_file_manager.h"
#include "graphics2d/palette/palette.h"
#include "graphics2d/surfaces/surface.h"
#include "packer/project_chunk_writer.h"
#include "platform/kernel/test_hooks.h"
#include "script/interpreter/interpretor.h"
#include "script/project/element.h"
#include "script/project/project_file.h"
#include "script/project/project_format.h"
#include "script/project/project_test_data.h"
#include "support/temp_dir.h"

namespace {

using namespace project_format;

constexpr uint32_t kNone = 0xFFFFFFFF;

struct Image {
    std::string name{};
    uint16_t width = 2;
    uint16_t height = 2;
    uint16_t depth = 32;
    uint32_t palette = kNone;
    uint16_t kind = 0;
    // Pixel rows as stored (rows padded to 4 bytes), or the image file for kind 0xFFFF.
    std::string pixels{};
    bool packed = false;
    std::string mask{};
    bool maskPacked = false;
};

// 256 × {blue, green, red, 0}: entry i is the colour base + i in each channel's own way.
std::string PaletteBytes(uint8_t base) {
    std::string bytes;
    for (int i = 0; i < 256; ++i) {
        bytes += char(uint8_t(base + i));
        bytes += char(uint8_t(i * 3));
        bytes += char(uint8_t(255 - i));
        bytes += '\0';
    }
    return bytes;
}

void Block(ProjectChunkWriter& w, const std::string& bytes, bool packed) {
    if (!packed) {
        w.U32(0);
        w.Append(bytes);
        return;
    }
    std::vector<uint8_t> zipped;
    ZlibPack(bytes.data(), bytes.size(), zipped);
    w.U32(uint32_t(zipped.size()));
    w.Append(zipped.data(), zipped.size());
}

std::string ImageBankBytes(const std::vector<Image>& images,
                           const std::vector<std::string>& palettes,
                           uint32_t version = kBankVersion2, uint32_t paletteCount = kNone) {
    ProjectChunkWriter w;
    w.U32(kImageBank);
    w.String("Pictures");
    w.U32(version);
    const size_t tableField = w.Size();
    w.U32(0);
    w.U32(uint32_t(images.size()));
    const size_t offsets = w.Size();
    for (size_t i = 0; i < images.size(); ++i)
        w.U32(0);
    for (size_t i = 0; i < images.size(); ++i) {
        const Image& image = images[i];
        w.PatchU32(offsets + 4 * i, uint32_t(w.Size()));
        w.String(image.name);
        w.String("");
        w.U16(3);
        w.U16(4);
        w.U32(image.palette);
        w.U16(image.kind);
        w.U16(image.width);
        w.U16(image.height);
        w.U16(image.depth);
        if (version >= kBankVersion2) w.U32(image.mask.empty() ? 0 : 1);
        if (image.kind == kImageFileKind)
            w.Append(image.pixels);
        else
            Block(w, image.pixels, image.packed);
        if (!image.mask.empty()) Block(w, image.mask, image.maskPacked);
    }
    if (!palettes.empty()) {
        w.PatchU32(tableField, uint32_t(w.Size() - tableField));
        w.U32(paletteCount != kNone ? paletteCount : uint32_t(palettes.size()));
        for (const std::string& p : palettes)
            w.Append(p);
    }
    return w.Text();
}

// 32-bit pixels of 0x00BBGGRR colours: blue, green, red, 0.
std::string Pixels32(const std::vector<uint32_t>& colours) {
    std::string bytes;
    for (uint32_t c : colours) {
        bytes += char(c >> 16);
        bytes += char(c >> 8);
        bytes += char(c);
        bytes += '\0';
    }
    return bytes;
}

uint32_t ColourAt(cSurface* surface, int32_t x, int32_t y) {
    uint32_t colour = 0xDEADBEEF;
    surface->GetPixel(x, y, &colour);
    return colour;
}

// 0x00BBGGRR of palette entry i of PaletteBytes(base).
uint32_t PaletteColour(uint8_t base, int i) {
    return uint32_t(255 - i) | uint32_t(uint8_t(i * 3)) << 8 | uint32_t(uint8_t(base + i)) << 16;
}

class ImageBankTest : public ::testing::Test {
protected:
    void SetUp() override { CreatePaletteContext(); }
    void TearDown() override {
        bank_.reset();
        ReleasePaletteContext();
    }

    CImageBank* Open(const std::string& bytes, int32_t screenDepth) {
        bank_.reset();
        dir_.WriteFile("images.dat", bytes);
        CBank* bank = CreateBank(nullptr, dir_.Win("images.dat").c_str());
        if (bank == nullptr) return nullptr;
        EXPECT_TRUE(bank->IsImageBank());
        bank_.reset(static_cast<CImageBank*>(bank));
        bank_->PrepareForDepth(screenDepth);
        return bank_.get();
    }

    CImageElement* Load(int32_t index) {
        if (!bank_->LoadElementData(index, 0)) return nullptr;
        return static_cast<CImageElement*>(bank_->GetElement(index));
    }

    test_support::TempDir dir_;
    std::unique_ptr<CImageBank> bank_;
};

TEST_F(ImageBankTest, RawPixelsStraightConvertedPackedAndMasked) {
    const std::string pixels = Pixels32({0x102030, 0xFF0000, 0x00FF00, 0x0000FF});
    const std::string mask("\0\1\2\3", 4);
    // 16-bit 5-6-5: pure red, green, blue, white; two pixels a row, rows 4 bytes.
    ProjectChunkWriter rgb565;
    for (uint16_t v : {0xF800, 0x07E0, 0x001F, 0xFFFF})
        rgb565.U16(v);
    CImageBank* bank =
        Open(ImageBankBytes({{"straight", 2, 2, 32, kNone, 0, pixels, false, mask},
                             {"wide", 2, 2, 16, kNone, 0, rgb565.Text()},
                             {"zipped", 2, 2, 32, kNone, 0, pixels, true, mask, true}},
                            {}),
             32);
    ASSERT_NE(bank, nullptr);
    for (int32_t index : {0, 2}) {
        CImageElement* image = Load(index);
        ASSERT_NE(image, nullptr) << index;
        EXPECT_EQ(image->GetSurface()->GetDepth(), 32);
        EXPECT_EQ(image->referenceX, 3);
        EXPECT_EQ(image->referenceY, 4);
        EXPECT_EQ(ColourAt(image->GetSurface(), 0, 0), 0x102030u);
        EXPECT_EQ(ColourAt(image->GetSurface(), 1, 1), 0x0000FFu);
        ASSERT_NE(image->GetMask(), nullptr);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(image->GetMask()), 4), mask);
    }
    CImageElement* wide = Load(1);
    ASSERT_NE(wide, nullptr);
    EXPECT_EQ(wide->GetMask(), nullptr);
    EXPECT_EQ(ColourAt(wide->GetSurface(), 0, 0), 0x0000F8u);
    EXPECT_EQ(ColourAt(wide->GetSurface(), 1, 0), 0x00FC00u);
    EXPECT_EQ(ColourAt(wide->GetSurface(), 0, 1), 0xF80000u);
}

TEST_F(ImageBankTest, IndexedPixelsUseTheBankPalettes) {
    // 8-bit indices 0..3 (a row padded to 4 bytes), 4-bit and 1-bit rows, most significant
    // bits first.
    const std::string indices8 = std::string("\x01\x02\0\0\x03\x04\0\0", 8);
    const std::string indices4 = std::string("\x12\0\0\0\x34\0\0\0", 8);
    const std::string indices1 = std::string("\x80\0\0\0\x40\0\0\0", 8);
    CImageBank* bank = Open(ImageBankBytes({{"eight", 2, 2, 8, 1, 0, indices8},
                                            {"four", 2, 2, 4, 0, 0, indices4},
                                            {"one", 2, 2, 1, 1, 0, indices1, true}},
                                           {PaletteBytes(0), PaletteBytes(100)}),
                            24);
    ASSERT_NE(bank, nullptr);
    EXPECT_EQ(bank->GetPaletteCount(), 2u);
    CImageElement* eight = Load(0);
    ASSERT_NE(eight, nullptr);
    EXPECT_EQ(ColourAt(eight->GetSurface(), 0, 0), PaletteColour(100, 1));
    EXPECT_EQ(ColourAt(eight->GetSurface(), 1, 1), PaletteColour(100, 4));
    CImageElement* four = Load(1);
    ASSERT_NE(four, nullptr);
    EXPECT_EQ(ColourAt(four->GetSurface(), 1, 0), PaletteColour(0, 2));
    EXPECT_EQ(ColourAt(four->GetSurface(), 0, 1), PaletteColour(0, 3));
    CImageElement* one = Load(2);
    ASSERT_NE(one, nullptr);
    EXPECT_EQ(ColourAt(one->GetSurface(), 0, 0), PaletteColour(100, 1));
    EXPECT_EQ(ColourAt(one->GetSurface(), 1, 0), PaletteColour(100, 0));
    EXPECT_EQ(ColourAt(one->GetSurface(), 1, 1), PaletteColour(100, 1));

    // The table holds two palettes: index 2 is out of range.
    EXPECT_EQ(bank->LoadPalette(1), 1);
    EXPECT_EQ(bank->LoadPalette(2), 0);
    EXPECT_EQ(GetLastBankCode(), kBankHeaderRefused);
    EXPECT_EQ(bank->LoadPalette(-1), 0);
}

TEST_F(ImageBankTest, EightBitScreenChoosesThePalette) {
    // Entry 50 of the element's palette is white, which the screen keeps among its static
    // colours at another index.
    std::string palette = PaletteBytes(40);
    palette.replace(50 * 4, 3, "\xFF\xFF\xFF");
    const std::string indices = std::string("\x32\x64\0\0\x65\x01\0\0", 8);
    const std::string bytes = ImageBankBytes({{"own", 2, 2, 8, 0, 0, indices}}, {palette});
    // Without a bank palette the element's own one serves with the static colours placed:
    // the pixels follow their colours to the new indices.
    CImageBank* bank = Open(bytes, 8);
    ASSERT_NE(bank, nullptr);
    CImageElement* image = Load(0);
    ASSERT_NE(image, nullptr);
    cSurface* surface = image->GetSurface();
    ASSERT_EQ(surface->GetDepth(), 8);
    PaletteRecord* converted = bank->GetConvertedPalette(0);
    EXPECT_EQ(surface->GetPalette(), converted);
    uint32_t index = 0;
    surface->GetPixelRaw(0, 0, &index);
    EXPECT_NE(index, 50u);
    EXPECT_EQ(ColourAt(surface, 0, 0), 0xFFFFFFu);
    EXPECT_EQ(ColourAt(surface, 1, 0), PaletteColour(40, 100));
    EXPECT_EQ(ColourAt(surface, 0, 1), PaletteColour(40, 101));
    surface->GetPixelRaw(1, 1, &index);
    EXPECT_NE(index, 0u); // only index 0 may stand for index 0

    // A bank palette with its flag set is used as it is.
    RawPalette raw{};
    raw.version = kPaletteVersion;
    raw.count = 256;
    for (int i = 0; i < 256; ++i)
        raw.entries[i] = {uint8_t(i), uint8_t(i), uint8_t(i), 0};
    PaletteRecord* grey = Palette_AddRef(&raw);
    bank = Open(bytes, 8);
    ASSERT_NE(bank, nullptr);
    bank->SetPalette(grey, 1);
    image = Load(0);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->GetSurface()->GetPalette(), grey);
    bank_.reset();
    Palette_Release(grey);
}

TEST_F(ImageBankTest, EmbeddedImageFilesDecodeThroughTheManager) {
    // A 2 × 2 top-down 32-bit picture with 8 alpha bits: blue, green, red, alpha.
    ProjectChunkWriter tga;
    for (uint8_t b : {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0})
        tga.U8(b);
    tga.U16(2);
    tga.U16(2);
    tga.U8(32);
    tga.U8(0x28);
    for (uint32_t bgra : {0x11223380u, 0x445566FFu, 0x77889900u, 0xAABBCC40u}) {
        tga.U8(uint8_t(bgra >> 24));
        tga.U8(uint8_t(bgra >> 16));
        tga.U8(uint8_t(bgra >> 8));
        tga.U8(uint8_t(bgra));
    }
    const std::string bank =
        ImageBankBytes({{"pic", 9, 9, 32, kNone, kImageFileKind, tga.Text()},
                        {"junk", 2, 2, 32, kNone, kImageFileKind, "not an image at all"}},
                       {});

    // The manager is the interpreter's: the bank is read through a project.
    project_test::Entry entry;
    entry.name = "Game";
    ProjectChunkWriter w;
    project_test::Version(w, kCurrentVersion);
    project_test::Header(w, kCurrentVersion, 1, {"Bank"});
    w.BeginChunk(kApplicationEntryChunk);
    w.String("");
    project_test::Properties(w, entry, kCurrentVersion);
    w.BeginChunk(kBankChunk);
    w.String("");
    w.Append(bank);
    w.EndChunk();
    w.EmptyChunk(kEndChunk);
    w.EndChunk();
    w.EmptyChunk(kEndChunk);
    dir_.WriteFile("project.dat", w.Text());

    // The interpreter owns its manager.
    CInterpretor interpreter;
    interpreter.imageFileManager = new ImageFileManager;
    ASSERT_EQ(interpreter.imageFileManager->Init(0), 0);
    {
        CProjectFile reader(&interpreter);
        ASSERT_EQ(reader.Open(nullptr, dir_.Win("project.dat").c_str(), nullptr), kResultOk);
        auto* images = static_cast<CImageBank*>(reader.FindBank(kImageBank));
        ASSERT_NE(images, nullptr);
        images->PrepareForDepth(24);
        ASSERT_EQ(images->LoadElementData(0, 0), 1);
        auto* pic = static_cast<CImageElement*>(images->GetElement(0));
        cSurface* surface = pic->GetSurface();
        // The file's size wins over the record's; the screen's depth is kept.
        EXPECT_EQ(surface->GetWidth(), 2);
        EXPECT_EQ(surface->GetDepth(), 24);
        EXPECT_EQ(ColourAt(surface, 0, 0), 0x112233u);
        EXPECT_EQ(ColourAt(surface, 1, 1), 0xAABBCCu);
        ASSERT_NE(pic->GetMask(), nullptr);
        EXPECT_EQ(pic->GetMask()[1], 0xFF);
        EXPECT_EQ(pic->GetMask()[2], 0x00);

        EXPECT_EQ(images->LoadElementData(1, 0), 0);
        EXPECT_EQ(GetLastBankCode(), kResultCompressionError);
        EXPECT_FALSE(images->GetElement(1)->HasData());
    }
}

TEST_F(ImageBankTest, HostileImageRecordsFailCleanly) {
    const std::string pixels = Pixels32({1, 2, 3, 4});
    struct Case {
        Image image;
        ResultCode code;
    } cases[] = {
        {{"depth 12", 2, 2, 12, kNone, 0, pixels}, kResultCompressionError},
        {{"depth 0", 2, 2, 0, kNone, 0, pixels}, kResultCompressionError},
        {{"too large", 60000, 60000, 8, kNone, 0, pixels}, kResultOutOfMemory},
        {{"short", 40, 40, 32, kNone, 0, pixels}, kResultEndOfData},
        {{"no such palette", 2, 2, 8, 7, 0, pixels}, kBankHeaderRefused},
        // Packed rows that inflate to fewer, or more, bytes than the image needs.
        {{"zip short", 2, 3, 32, kNone, 0, pixels, true}, kResultCompressionError},
        {{"zip long", 2, 1, 32, kNone, 0, pixels, true}, kResultCompressionError},
    };
    for (const Case& c : cases) {
        CImageBank* bank = Open(ImageBankBytes({c.image}, {PaletteBytes(0)}), 32);
        ASSERT_NE(bank, nullptr);
        EXPECT_EQ(bank->LoadElementData(0, 0), 0) << c.image.name;
        EXPECT_EQ(GetLastBankCode(), c.code) << c.image.name;
        EXPECT_FALSE(bank->GetElement(0)->HasData());
    }

    // A record is checked against the data that follow it before a surface is made for
    // it: with every allocation failing, the short data, not the memory, is what fails.
    const Case beforeMemory[] = {
        {{"claims 64 MB", 4000, 4000, 32, kNone, 0, pixels}, kResultEndOfData},
        {{"claims 64 MB packed", 4000, 4000, 32, kNone, 0, pixels, true}, kResultCompressionError},
        {{"odd depth", 4000, 4000, 12, kNone, 0, pixels}, kResultCompressionError},
    };
    for (const Case& c : beforeMemory) {
        CImageBank* bank = Open(ImageBankBytes({c.image}, {}), 32);
        ASSERT_NE(bank, nullptr);
        platform::test::InjectFault(platform::test::Fault::HeapAlloc, 1000);
        EXPECT_EQ(bank->LoadElementData(0, 0), 0) << c.image.name;
        platform::test::ClearFaults();
        EXPECT_EQ(GetLastBankCode(), c.code) << c.image.name;
    }
    // An image file's record may not ask for a surface over the cap either.
    CImageBank* huge = Open(
        ImageBankBytes({{"file", 16000, 16000, 32, kNone, kImageFileKind, "not an image"}}, {}),
        32);
    ASSERT_NE(huge, nullptr);
    EXPECT_EQ(huge->LoadElementData(0, 0), 0);
    EXPECT_EQ(GetLastBankCode(), kResultOutOfMemory);

    // A palette table whose count runs past the file refuses the bank.
    EXPECT_EQ(Open(ImageBankBytes({{"a", 2, 2, 32, kNone, 0, pixels}}, {PaletteBytes(0)},
                                  kBankVersion2, 5),
                   32),
              nullptr);
    EXPECT_EQ(GetLastBankCode(), kBankHeaderRefused);
}

} // namespace
