#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include <vector>

#include "engine3d/render/opengl/opengl_fixture.h"
#include "engine3d/render/opengl/opengl_texture.h"

namespace {

class OpenGLTextureTest : public OpenGLRenderTest {
protected:
    void SetUp() override {
        OpenGLRenderTest::SetUp();
        ASSERT_EQ(SetUpRenderer(renderer), 0);
        texture.reset(
            static_cast<LTexture_OpenGL*>(device->CreateTexture(world.get(), "t", nullptr)));
    }
    void TearDown() override {
        texture.reset();
        OpenGLRenderTest::TearDown();
    }
    // A 2 x 2 image of 16-bit pixels, handed over to the texture.
    void SetImage16(uint16_t a, uint16_t b, uint16_t c, uint16_t d, uint8_t* alpha = nullptr) {
        auto* pixels = static_cast<uint8_t*>(std::calloc(8, 1));
        const uint16_t values[4] = {a, b, c, d};
        for (int i = 0; i < 4; ++i) {
            pixels[2 * i] = uint8_t(values[i]);
            pixels[2 * i + 1] = uint8_t(values[i] >> 8);
        }
        texture->SetImage(pixels, 4, alpha, alpha != nullptr ? 2 : 0, 2, 2, 1, 16, nullptr);
    }

    std::unique_ptr<LTexture_OpenGL> texture;
};

TEST_F(OpenGLTextureTest, OpaqueSixteenBitPixelsUploadAsRgbWithoutLowBits) {
    SetImage16(0xF800, 0x07E0, 0x001F, 0xFFFF);
    EXPECT_NE(rec->Find("gluBuild2DMipmaps(3553,4,2,2,6407,5121)"), -1);
    EXPECT_TRUE(rec->Find("glTexParameteri(3553,10241,9987)") > rec->Find("glBindTexture(3553,"));
    const std::vector<uint8_t> expected = {0xF8, 0, 0, 0, 0xFC, 0, 0, 0, 0xF8, 0xF8, 0xFC, 0xF8};
    EXPECT_EQ(rec->lastUpload, expected);
    ASSERT_NE(texture->deviceCopy, nullptr);

    // 5-5-5: red in bits 10 to 14.
    auto* pixels = static_cast<uint8_t*>(std::calloc(8, 1));
    pixels[1] = 0x7C;
    texture->SetImage(pixels, 4, nullptr, 0, 2, 2, 1, 15, nullptr);
    ASSERT_EQ(rec->lastUpload.size(), 12u);
    EXPECT_EQ(rec->lastUpload[0], 0xF8);
    EXPECT_EQ(rec->lastUpload[1], 0);
}

TEST_F(OpenGLTextureTest, ColourKeyZeroesTheAlphaOfMatchingPixelsOnly) {
    SetImage16(0xF800, 0x07E0, 0xF800, 0x001F);
    texture->SetColorKey(1, 0x0000FF);
    EXPECT_EQ(texture->deviceCopy, nullptr);
    ASSERT_EQ(texture->UploadTexture(), 1);
    EXPECT_EQ(rec->lastUploadFormat, 0x1908);
    ASSERT_EQ(rec->lastUpload.size(), 16u);
    EXPECT_EQ(rec->lastUpload[3], 0);
    EXPECT_EQ(rec->lastUpload[7], 255);
    EXPECT_EQ(rec->lastUpload[11], 0);
    EXPECT_EQ(rec->lastUpload[15], 255);
    // Keyed texels take their visible neighbours' colour, so that filtering shows no key.
    const std::vector<uint8_t> mixed = {0, 0x7E, 0x7C};
    EXPECT_EQ(std::vector<uint8_t>(rec->lastUpload.begin(), rec->lastUpload.begin() + 3), mixed);
    EXPECT_EQ(std::vector<uint8_t>(rec->lastUpload.begin() + 8, rec->lastUpload.begin() + 11),
              mixed);

    // The same key again keeps what was uploaded.
    const int deletes = rec->Count("glDeleteTextures");
    texture->SetColorKey(1, 0x0000FF);
    EXPECT_NE(texture->deviceCopy, nullptr);
    EXPECT_EQ(rec->Count("glDeleteTextures"), deletes);
    texture->SetColorKey(1, 0x00FF00);
    EXPECT_EQ(texture->deviceCopy, nullptr);
}

TEST_F(OpenGLTextureTest, AlphaPlaneWinsOverTheTextureAlpha) {
    texture->SetAlpha(128);
    auto* alpha = static_cast<uint8_t*>(std::malloc(4));
    const uint8_t values[4] = {10, 20, 30, 40};
    std::copy_n(values, 4, alpha);
    SetImage16(0, 0, 0, 0, alpha);
    ASSERT_EQ(rec->lastUpload.size(), 16u);
    EXPECT_EQ(rec->lastUpload[3], 10);
    EXPECT_EQ(rec->lastUpload[15], 40);

    // Without a plane the texture alpha is every pixel's.
    auto* pixels = static_cast<uint8_t*>(std::calloc(16, 1));
    texture->SetImage(pixels, 8, nullptr, 0, 2, 2, 1, 32, nullptr);
    ASSERT_EQ(rec->lastUpload.size(), 16u);
    EXPECT_EQ(rec->lastUpload[3], 128);
}

TEST_F(OpenGLTextureTest, EightBitImagesAreBoundButNeverConverted) {
    auto* pixels = static_cast<uint8_t*>(std::calloc(4, 1));
    texture->SetImage(pixels, 2, nullptr, 0, 2, 2, 1, 8, nullptr);
    EXPECT_NE(rec->Find("glBindTexture"), -1);
    EXPECT_EQ(rec->Find("gluBuild2DMipmaps"), -1);
    EXPECT_EQ(texture->deviceCopy, nullptr);
}

} // namespace
