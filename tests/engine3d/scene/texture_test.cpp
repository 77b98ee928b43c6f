#include <gtest/gtest.h>

#include <filesystem>

#include <cstring>
#include <string>
#include <vector>

#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/materials/texture.h"
#include "engine3d/scene/mesh/polygon.h"
#include "engine3d/scene/objects/object.h"
#include "engine3d/scene/support/scene_fixture.h"
#include "graphics2d/formats/bmp_handler.h"
#include "graphics2d/formats/image_file_manager.h"
#include "platform/files/files.h"

#include "support/temp_dir.h"
#include <unistd.h>

namespace {

using TextureTest = SceneTest;

uint8_t* Image(uint32_t pitch, uint32_t rows, uint8_t fill) {
    auto* pixels = static_cast<uint8_t*>(std::malloc(size_t(pitch) * rows));
    std::memset(pixels, fill, size_t(pitch) * rows);
    return pixels;
}

TEST_F(TextureTest, ImagesAreFittedToPowerOfTwoSides) {
    struct Case {
        uint32_t w, h, fittedW, fittedH;
    };
    const Case cases[] = {
        {100, 60, 128, 64}, {1, 1, 2, 2}, {256, 256, 256, 256}, {3, 1025, 4, 2048}};
    for (const Case& c : cases) {
        LTexture texture(&world, "T", nullptr);
        const uint32_t pitch = (c.w * 3 + 3) & ~3u;
        EXPECT_EQ(
            texture.SetImage(Image(pitch, c.h, 7), pitch, nullptr, 0, c.w, c.h, 1, 24, nullptr), 1);
        EXPECT_EQ(texture.width, c.fittedW);
        EXPECT_EQ(texture.height, c.fittedH);
        EXPECT_EQ(texture.pitch % 4, 0u);
        EXPECT_EQ(texture.pixels[0], 7);
    }
}

TEST_F(TextureTest, OversizedImagesAreRefused) {
    LTexture texture(&world, "Huge", nullptr);
    EXPECT_EQ(texture.SetImage(Image(4, 1, 0), 4, nullptr, 0, 16385, 1, 1, 8, nullptr), 0);
    EXPECT_EQ(texture.pixels, nullptr);
    EXPECT_EQ(texture.width, 0u);
    RecordingRenderer renderer(&device.calls);
    renderer.maxWidth = 64;
    LTexture small(&world, "Small", nullptr);
    small.SetImage(Image(32, 32, 1), 32, nullptr, 0, 32, 32, 1, 8, nullptr);
    EXPECT_EQ(small.FitSizeToDevice(&renderer), 1);
    renderer.minWidth = 128;
    renderer.maxWidth = 256;
    EXPECT_EQ(small.FitSizeToDevice(&renderer), 1);
    EXPECT_EQ(small.width, 128u);
}

TEST_F(TextureTest, AllocatedPixelsStartBlack) {
    LTexture texture(&world, "View", nullptr);
    ASSERT_EQ(texture.AllocatePixels(nullptr, 100, 40, 16), 0);
    const std::vector<uint8_t> black(size_t(texture.pitch) * texture.height, 0);
    EXPECT_EQ(std::memcmp(texture.pixels, black.data(), black.size()), 0);
}

TEST(ResampleTest, NearestPixelsAreTaken) {
    const uint8_t source[2 * 2] = {1, 2, 3, 4};
    uint8_t out[4 * 4] = {};
    ResampleImage(out, 4, 4, 4, source, 2, 2, 2, 8);
    const uint8_t expected[16] = {1, 1, 2, 2, 1, 1, 2, 2, 3, 3, 4, 4, 3, 3, 4, 4};
    EXPECT_EQ(std::memcmp(out, expected, 16), 0);
    const uint16_t wide[3] = {0x1111, 0x2222, 0x3333};
    uint16_t shrunk[2] = {};
    ResampleImage(reinterpret_cast<uint8_t*>(shrunk), 2, 1, 4,
                  reinterpret_cast<const uint8_t*>(wide), 3, 1, 6, 16);
    EXPECT_EQ(shrunk[0], 0x1111);
    EXPECT_EQ(shrunk[1], 0x2222);
    uint8_t untouched[4] = {9, 9, 9, 9};
    ResampleImage(untouched, 0, 2, 2, source, 2, 2, 2, 8);
    ResampleImage(untouched, 2, 2, 2, nullptr, 2, 2, 2, 8);
    EXPECT_EQ(untouched[0], 9);
}

TEST_F(TextureTest, CopyPixelsCopiesTheSmallerPitch) {
    LTexture texture(&world, "T", nullptr);
    uint8_t buffer[8 * 4] = {};
    EXPECT_EQ(texture.CopyPixels(buffer, 8, 4), 2);
    uint8_t* pixels = Image(4, 2, 5);
    texture.SetImage(pixels, 4, nullptr, 0, 4, 2, 1, 8, nullptr);
    std::memset(buffer, 0, sizeof buffer);
    EXPECT_EQ(texture.CopyPixels(buffer, 8, 9), 0);
    EXPECT_EQ(buffer[3], 5);
    EXPECT_EQ(buffer[4], 0);
    EXPECT_EQ(buffer[8], 5);
    EXPECT_EQ(buffer[16], 0);
}

TEST_F(TextureTest, ARemovedTextureLeavesEveryMaterialSlotFirst) {
    LTexture* texture = device.CreateTexture(&world, "Wall", nullptr);
    texture->SetImage(Image(8, 2, 3), 8, nullptr, 0, 2, 2, 1, 32, nullptr);
    world.textures.AddTexture(texture);
    LMaterial* both = world.materials.CreateMaterial("Both", texture, 0xFF, 0, nullptr);
    both->SetTexture(1, texture);
    LMaterial* second = world.materials.CreateMaterial("Second", nullptr, 0xFF, 0, nullptr);
    second->SetTexture(1, texture);
    L3DObject object("Wall", &world, nullptr);
    LPolygon* face = AddFace(object, {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}});
    face->SetMaterial(both);
    world.SetBackgroundMaterial(both);
    EXPECT_EQ(world.textures.RemoveTexture(texture), 0);
    EXPECT_EQ(both->GetTexture(0), nullptr);
    EXPECT_EQ(both->GetTexture(1), nullptr);
    EXPECT_EQ(second->GetTexture(1), nullptr);
    EXPECT_EQ(both->layerCount, 0);
    EXPECT_EQ(both->mode & LMaterial::kTextured, 0u);
    // Every texture at once does the same.
    LTexture* again = device.CreateTexture(&world, "Again", nullptr);
    world.textures.AddTexture(again);
    second->SetTexture(0, again);
    world.textures.RemoveAt(-1);
    EXPECT_EQ(second->GetTexture(0), nullptr);
    world.SetBackgroundMaterial(nullptr);
}

class TextureFileTest : public TextureTest {
protected:
    void WriteImage(const std::string& relative, uint32_t w, uint32_t h,
                    uint32_t format = CBMPHandler::kFormatId) {
        ImageFileManager manager;
        ASSERT_EQ(manager.Init(0), 0);
        ImageFile image(&manager);
        ASSERT_EQ(image.SelectFormat(format), 1);
        const uint32_t pitch = (w * 3 + 3) & ~3u;
        std::vector<uint8_t> pixels(size_t(pitch) * h, 0x40);
        dir.WriteFile(relative, "");
        ASSERT_EQ(image.SaveSurface(dir.Win(relative).c_str(), pixels.data(), int32_t(w),
                                    int32_t(h), 24, int32_t(pitch), nullptr, 0),
                  kImageOk);
    }

    std::string CurrentDirectory() {
        char buffer[260] = {};
        GetCurrentDirectoryA(sizeof buffer, buffer);
        return buffer;
    }

    test_support::TempDir dir;
};

TEST_F(TextureFileTest, SearchTriesTheFolderThenTheCurrentDirectoryDepthFirst) {
    WriteImage("art/deep/a/wood.bmp", 4, 4);
    WriteImage("art/b/wood.bmp", 4, 4);
    WriteImage("here/sub/stone.bmp", 4, 4);
    WriteImage("here/wood.bmp", 4, 4);
    const std::string before = CurrentDirectory();
    ASSERT_TRUE(SetCurrentDirectoryA(dir.Win("here").c_str()));
    const std::string here = CurrentDirectory();
    world.textures.SetFolder((dir.Win("art") + "\\").c_str());
    std::string found;
    // Only the file name part of a path counts.
    EXPECT_EQ(world.textures.FindTextureFile("D:\\old\\WOOD.BMP", found), 1);
    EXPECT_EQ(found, dir.Win("art\\b") + "\\WOOD.BMP");
    EXPECT_EQ(world.textures.FindTextureFile("stone.bmp", found), 1);
    EXPECT_EQ(found, here + "\\sub\\stone.bmp");
    EXPECT_EQ(world.textures.FindTextureFile("none.bmp", found), 0);
    EXPECT_EQ(world.textures.FindTextureFile("", found), 0);
    EXPECT_EQ(CurrentDirectory(), here);
    SetCurrentDirectoryA(before.c_str());
}

TEST_F(TextureFileTest, TheSearchGoesFourFoldersDeepAndReadsTenThousandEntries) {
    WriteImage("top/1/2/3/4/near.bmp", 2, 2);
    WriteImage("top/1/2/3/4/5/far.bmp", 2, 2);
    world.textures.SetFolder(dir.Win("top").c_str());
    std::string found;
    EXPECT_EQ(world.textures.FindTextureFile("near.bmp", found), 1);
    EXPECT_EQ(world.textures.FindTextureFile("far.bmp", found), 0);

    // A folder of more entries than a walk reads: what lies behind them is not reached.
    for (int i = 0; i < 10000; ++i)
        ASSERT_TRUE(
            std::filesystem::create_directories(dir.Linux("wide/f" + std::to_string(100000 + i))));
    WriteImage("wide/a/first.bmp", 2, 2);
    WriteImage("wide/z/last.bmp", 2, 2);
    world.textures.SetFolder(dir.Win("wide").c_str());
    EXPECT_EQ(world.textures.FindTextureFile("first.bmp", found), 1);
    EXPECT_EQ(world.textures.FindTextureFile("last.bmp", found), 0);

    // The same bounds hold for what a load keeps of its walks.
    const LBaseTexture::LoadScope load(world.textures);
    EXPECT_EQ(world.textures.FindTextureFile("last.bmp", found), 0);
    EXPECT_EQ(world.textures.FindTextureFile("first.bmp", found), 1);
    world.textures.SetFolder(dir.Win("top").c_str());
    EXPECT_EQ(world.textures.FindTextureFile("none.bmp", found), 0);
    EXPECT_EQ(world.textures.FindTextureFile("far.bmp", found), 0);
    EXPECT_EQ(world.textures.FindTextureFile("near.bmp", found), 1);
}

TEST_F(TextureFileTest, ALoadReadsEachTreeOnceForAllTheImagesItLooksFor) {
    WriteImage("tree/a/b/found.bmp", 2, 2);
    dir.WriteFile("tree/c/notes.txt", "");
    world.textures.SetFolder(dir.Win("tree").c_str());
    std::string found;
    {
        const LBaseTexture::LoadScope load(world.textures);
        EXPECT_EQ(world.textures.FindTextureFile("missing.bmp", found), 0);
        WriteImage("tree/c/late.bmp", 2, 2);
        EXPECT_EQ(world.textures.FindTextureFile("late.bmp", found), 0)
            << "the tree was read by the first search of the load";
        EXPECT_EQ(world.textures.FindTextureFile("FOUND.BMP", found), 1);
        EXPECT_EQ(found, dir.Win("tree\\a\\b") + "\\FOUND.BMP");
        ASSERT_TRUE(std::filesystem::remove(dir.Linux("tree/a/b/found.bmp")));
        EXPECT_EQ(world.textures.FindTextureFile("found.bmp", found), 0)
            << "a file named in what was read is still asked for";
    }
    EXPECT_EQ(world.textures.FindTextureFile("late.bmp", found), 1);
    EXPECT_EQ(found, dir.Win("tree\\c") + "\\late.bmp");
}

TEST_F(TextureFileTest, ALinkLoopEndsTheSearch) {
    WriteImage("tree/leaf/x.bmp", 2, 2);
    ASSERT_EQ(symlink(dir.LinuxPath().c_str(), dir.Linux("tree/loop").c_str()), 0);
    world.textures.SetFolder(dir.Win("tree").c_str());
    std::string found;
    EXPECT_EQ(world.textures.FindTextureFile("missing.bmp", found), 0);
    EXPECT_EQ(world.textures.FindTextureFile("x.bmp", found), 1);
}

TEST_F(TextureFileTest, LoadedImagesBecomeFittedTextures) {
    WriteImage("maps/brick.bmp", 100, 60);
    world.textures.SetFolder(dir.Win("maps").c_str());
    LTexture* texture = world.textures.LoadTexture("Brick", "brick.bmp");
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->width, 128u);
    EXPECT_EQ(texture->height, 64u);
    EXPECT_EQ(texture->bitsPerPixel, 16u);
    EXPECT_EQ(world.textures.FindByName("BRICK"), texture);
    EXPECT_EQ(world.textures.LoadTexture("None", "missing.bmp"), nullptr);

    WriteImage("maps/slate.png", 100, 60, MakeFormatId('P', 'N', 'G', ' '));
    LTexture* slate = world.textures.LoadTexture("Slate", "slate.png");
    ASSERT_NE(slate, nullptr);
    EXPECT_EQ(slate->width, 128u);
    EXPECT_EQ(slate->height, 64u);
}

TEST_F(TextureFileTest, AnOversizedHeaderIsRefusedBeforeDecoding) {
    // A bitmap header that claims 20000 x 1 pixels, and no pixel data.
    std::string bmp(54, '\0');
    bmp[0] = 'B';
    bmp[1] = 'M';
    const uint32_t fields[] = {54, 0, 54, 40, 20000, 1};
    std::memcpy(&bmp[2], &fields[0], 4);
    std::memcpy(&bmp[10], &fields[2], 4);
    std::memcpy(&bmp[14], &fields[3], 4);
    std::memcpy(&bmp[18], &fields[4], 4);
    std::memcpy(&bmp[22], &fields[5], 4);
    bmp[26] = 1;
    bmp[28] = 24;
    dir.WriteFile("big.bmp", bmp);
    world.textures.SetFolder(dir.Win("").c_str());
    EXPECT_EQ(world.textures.LoadTexture("Big", "big.bmp"), nullptr);
}

} // namespace
