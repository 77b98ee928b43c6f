#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/chunk_writer.h"
#include "engine3d/scene/materials/texture.h"
#include "engine3d/scene/sprites/sprite.h"
#include "engine3d/scene/sprites/sprite_list.h"
#include "engine3d/scene/support/scene_fixture.h"

namespace {

class SpriteTest : public SceneTest {
protected:
    LSprite* Make() { return world.sprites.CreateSprite(&world, nullptr); }

    LTexture* ListedTexture(const char* name) {
        LTexture* texture = device.CreateTexture(&world, name, nullptr);
        world.textures.AddTexture(texture);
        texture->rowLength = 64;
        texture->height = 32;
        return texture;
    }

    int32_t Uses(LTexture* texture) const {
        return world.textures.list.FindNode(texture)->useCount;
    }
};

TEST_F(SpriteTest, CornersFollowBoundsHotSpotAndAngle) {
    struct Case {
        float angle;
        std::vector<float> xy;
    };
    const Case cases[] = {
        {0, {90, 45, 110, 45, 110, 55, 90, 55}},
        // A quarter turn about the position (100, 50).
        {1.5707964f, {105, 40, 105, 60, 95, 60, 95, 40}},
    };
    for (const Case& c : cases) {
        LSprite* sprite = Make();
        sprite->SetBounds(100, 50, 20, 10);
        sprite->SetHotSpot(10, 5);
        sprite->SetAngle(c.angle);
        for (int i = 0; i < 4; ++i) {
            EXPECT_NEAR(sprite->corners[i].x, c.xy[size_t(i) * 2], 1e-4) << c.angle << " " << i;
            EXPECT_NEAR(sprite->corners[i].y, c.xy[size_t(i) * 2 + 1], 1e-4) << c.angle;
            EXPECT_EQ(sprite->corners[i].u, 0.0f);
        }
    }
}

TEST_F(SpriteTest, AnglesAndTilingAreClamped) {
    LSprite* sprite = Make();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const std::pair<float, float> angles[] = {
        {7.0f, 6.2831855f}, {-1, 0}, {nan, 0}, {3, 3}, {6.2831855f, 6.2831855f}};
    for (auto [given, stored] : angles) {
        sprite->SetAngle(given);
        EXPECT_EQ(sprite->angle, stored) << given;
    }
    sprite->SetTiling(-2, nan);
    EXPECT_EQ(sprite->GetTilingX(), 0.0f);
    EXPECT_EQ(sprite->GetTilingY(), 0.0f);
}

TEST_F(SpriteTest, DrawModesNeedATextureForTexturing) {
    LSprite* sprite = Make();
    EXPECT_EQ(sprite->filtering, 1u);
    sprite->SetDrawMode(LSprite::kTextured | LSprite::kTransparentColor);
    EXPECT_EQ(sprite->drawMode, LSprite::kSolid | LSprite::kTransparentColor);
    LTexture* texture = ListedTexture("Stone");
    sprite->SetAlpha(100);
    sprite->SetTiling(2, 1);
    sprite->SetBounds(0, 0, 10, 10);
    sprite->SetTexture(texture);
    EXPECT_EQ(texture->alpha, 100);
    EXPECT_EQ(sprite->corners[2].u, 128.0f);
    EXPECT_EQ(sprite->corners[2].v, 32.0f);
    sprite->SetDrawMode(LSprite::kTextured | LSprite::kTransparentColor);
    EXPECT_EQ(sprite->drawMode, LSprite::kTextured | LSprite::kTransparentColor);
    sprite->SetTexture(nullptr);
    EXPECT_EQ(sprite->drawMode, LSprite::kSolid | LSprite::kTransparentColor);
}

TEST_F(SpriteTest, ATextureSharedByTwoSpritesCountsTwoUses) {
    LTexture* texture = ListedTexture("Shared");
    const int32_t before = Uses(texture);
    LSprite* a = Make();
    LSprite* b = Make();
    a->SetTexture(texture);
    b->SetTexture(texture);
    EXPECT_EQ(Uses(texture), before + 2);
    EXPECT_EQ(world.sprites.RemoveSprite(a), 0);
    EXPECT_EQ(Uses(texture), before + 1);
    // A texture outside the world's list counts nothing.
    LTexture* loose = device.CreateTexture(&world, "Loose", nullptr);
    b->SetTexture(loose);
    EXPECT_EQ(Uses(texture), before);
    b->SetTexture(nullptr);
    device.DeleteTexture(loose);
}

TEST_F(SpriteTest, ListRemovalAndSaving) {
    LSprite* a = Make();
    LSprite* b = world.sprites.CreateSpriteBefore(&world, a, nullptr);
    EXPECT_EQ(world.sprites.GetAt(0), b);
    world.sprites.MoveBefore(a, b);
    EXPECT_EQ(world.sprites.GetAt(0), a);
    b->SetDrawMode(LSprite::kHidden);
    MemoryByteSink sink;
    ChunkWriter writer(sink);
    EXPECT_EQ(world.sprites.Save(writer, 0), 0);
    const std::vector<uint8_t> expected = {'B', 'S', 'P', 'R', 18,  0, 0, 0, 2,
                                           0,   'S', 'P', 'R', 'I', 0, 0, 0, 0,
                                           'S', 'P', 'R', 'I', 0,   0, 0, 0};
    EXPECT_EQ(sink.Bytes(), expected);
    EXPECT_EQ(world.sprites.RemoveSprite(nullptr), 12);
    EXPECT_EQ(world.sprites.RemoveAt(5), 12);
    EXPECT_EQ(world.sprites.RemoveAt(-1), 0);
    EXPECT_EQ(world.sprites.list.GetCount(), 0u);
}

TEST_F(SpriteTest, AFrameDrawsTheSpritesInListOrderAfterTheGrid) {
    L3DCamera* camera = world.CreateCamera(0);
    camera->SetViewSize(640, 480);
    auto* screen = static_cast<RecordingRenderer*>(device.CreateRenderer(&world));
    screen->AttachView(camera);
    LSprite* first = Make();
    Make()->SetDrawMode(LSprite::kHidden);
    LSprite* third = Make();
    device.calls.clear();
    screen->RenderFrame();
    std::vector<std::string> slots;
    std::vector<void*> sprites;
    for (const RecordedCall& call : device.calls) {
        slots.push_back(call.slot);
        if (call.slot == "DrawElement2D") sprites.push_back(call.second);
    }
    EXPECT_EQ(slots, (std::vector<std::string>{"RenderFrame", "BeginFrame", "DrawGrid",
                                               "DrawElement2D", "DrawElement2D", "EndFrame"}));
    EXPECT_EQ(sprites, (std::vector<void*>{first, third}));
}

} // namespace
