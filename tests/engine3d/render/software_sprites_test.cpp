#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>

#include "engine3d/render/dib_device.h"
#include "engine3d/render/render_fixture.h"
#include "engine3d/render/software/software_renderer.h"
#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/materials/texture.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/sprites/sprite.h"

namespace {

constexpr uint32_t kWidth = 16;
constexpr uint32_t kHeight = 12;

// A world drawn into a camera texture of the DIB back end: the frame's target is the
// texture's own pixels, each row exactly as long as the renderer's pitch.
class SoftwareSpriteTest : public RenderDisplayTest {
protected:
    void Open(uint32_t depth) {
        device = std::make_unique<LAPI_Surface_Win32>();
        world = std::make_unique<L3DWorld>(device.get(), 0, nullptr, nullptr);
        camera = world->CreateCamera(0);
        target = std::make_unique<LTexture>(world.get(), "View", nullptr);
        ASSERT_EQ(target->AllocatePixels(camera, kWidth, kHeight, depth), 0);
        renderer = static_cast<LRenderAPI_Software*>(target->cameraRenderer);
        ASSERT_NE(renderer, nullptr);
        ASSERT_EQ(renderer->depth, depth);
    }
    void TearDown() override {
        target.reset();
        world.reset();
        device.reset();
        RenderDisplayTest::TearDown();
    }

    LSprite* Sprite(uint32_t mode, float left, float top, float right, float bottom) {
        LSprite* sprite = world->sprites.CreateSprite(world.get(), nullptr);
        sprite->drawMode = mode;
        const float xs[4] = {left, right, right, left};
        const float ys[4] = {top, top, bottom, bottom};
        for (int i = 0; i < 4; ++i)
            sprite->corners[i] = {xs[i], ys[i], 0, 0};
        return sprite;
    }

    uint32_t Pixel(uint32_t x, uint32_t y) const {
        const uint32_t bytes = (target->bitsPerPixel + 7) / 8;
        uint32_t value = 0;
        std::memcpy(&value, target->pixels + y * target->pitch + x * bytes, bytes);
        return value;
    }

    std::unique_ptr<LAPI_Surface_Win32> device;
    std::unique_ptr<L3DWorld> world;
    std::unique_ptr<LTexture> target;
    L3DCamera* camera = nullptr;
    LRenderAPI_Software* renderer = nullptr;
};

TEST_F(SoftwareSpriteTest, SolidSpritesAreOpaqueAtTwentyFourBitsAndBlendedAtThirtyTwo) {
    Open(24);
    LSprite* sprite = Sprite(LSprite::kSolid, 2, 2, 10, 8);
    sprite->color = 0x0000FF;
    sprite->alpha = 128;
    renderer->RenderFrame();
    EXPECT_EQ(Pixel(5, 5), 0xFF0000u);
    EXPECT_EQ(Pixel(12, 5), 0u);
    EXPECT_EQ(Pixel(5, 10), 0u);
    TearDown();

    UseDisplay(32);
    Open(32);
    sprite = Sprite(LSprite::kSolid, 2, 2, 10, 8);
    sprite->color = 0x0000FF;
    sprite->alpha = 128;
    renderer->RenderFrame();
    const uint32_t red = (Pixel(5, 5) >> 16) & 0xFF;
    EXPECT_GT(red, 0u);
    EXPECT_LT(red, 0xFFu);
}

TEST_F(SoftwareSpriteTest, ASpriteOutsideTheViewDrawsNothing) {
    for (uint32_t depth : {8u, 16u, 24u, 32u}) {
        Open(depth);
        Sprite(LSprite::kSolid | 2, 40, 30, 60, 50)->color = 0xFFFFFF;
        Sprite(LSprite::kSolid | 2, -60, -50, -40, -30)->color = 0xFFFFFF;
        renderer->RenderFrame();
        for (uint32_t y = 0; y < kHeight; ++y)
            for (uint32_t x = 0; x < kWidth; ++x)
                ASSERT_EQ(Pixel(x, y), 0u) << depth;
        target.reset();
        world.reset();
        device.reset();
    }
}

TEST_F(SoftwareSpriteTest, CrossingSpritesAreClippedToTheView) {
    Open(32);
    LSprite* sprite = Sprite(LSprite::kSolid, -100, -1e6f, 1e6f, 6);
    sprite->color = 0x00FF00;
    renderer->RenderFrame();
    EXPECT_EQ(Pixel(0, 0) & 0xFFFFFF, 0x00FF00u);
    EXPECT_EQ(Pixel(kWidth - 1, 5) & 0xFFFFFF, 0x00FF00u);
    EXPECT_EQ(Pixel(0, kHeight - 1), 0u);
    EXPECT_EQ(renderer->ClippedDraw, 0);
}

TEST_F(SoftwareSpriteTest, BackdropsLargerThanTheViewStayInsideTheTarget) {
    for (uint32_t depth : {8u, 15u, 16u, 24u, 32u}) {
        Open(depth);
        LTexture* image = device->CreateTexture(world.get(), "Image", nullptr);
        world->textures.AddTexture(image);
        // The image at the target's depth, as the world's textures are loaded.
        const uint32_t pitch = (4 * ((depth + 7) / 8) + 3) & ~3u;
        auto* pixels = static_cast<uint8_t*>(std::malloc(pitch * 4));
        std::memset(pixels, 0x5A, pitch * 4);
        ASSERT_EQ(image->SetImage(pixels, pitch, nullptr, 0, 4, 4, 1, depth, nullptr), 1);
        auto* material = new LMaterial(world.get(), "Back", image, 0xFFFFFFFFu, 0, nullptr);
        ASSERT_EQ(world->SetBackgroundMaterial(material), 0);
        ASSERT_EQ(world->SetBackgroundParams(3, 3, 2, 2), 0);
        // Every row of the target is drawn; nothing past it (the target's buffer is exact).
        renderer->RenderFrame();
        EXPECT_NE(Pixel(0, 0), 0u) << depth;
        EXPECT_NE(Pixel(kWidth - 1, kHeight - 1), 0u) << depth;
        target.reset();
        world.reset();
        device.reset();
    }
}

} // namespace
