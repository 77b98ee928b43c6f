// Whole frames of the software renderer compared exactly with the pictures in golden/, at
// every depth the DIB presenter draws: the reference scene, and a textured scene with a
// wrapping, a keyed and a translucent texture, sprites and a backdrop. Each frame is drawn
// into a 160 x 120 memory surface attached to the renderer and turned into 0xRRGGBB for the
// PNG as follows: 32 and 24 bits take the pixel's blue, green and red bytes as they are;
// 16 (5-6-5) and 15 (5-5-5) bits widen each field by repeating its top bits below it
// (0x1F -> 0xFF, 0x10 -> 0x84); 8 bits look the index up in the surface's palette, which the
// world also takes to choose its colours' indices. ZORV_WRITE_GOLDEN=1 rewrites the pictures
// (look at them before committing).
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "engine3d/render/dib_device.h"
#include "engine3d/render/render_fixture.h"
#include "engine3d/render/software/dib_presenter.h"
#include "engine3d/scene/support/reference_scene.h"
#include "graphics2d/drawing/surface_handle.h"
#include "graphics2d/palette/palette.h"
#include "support/image_diff.h"

namespace {

constexpr int32_t kWidth = 160;
constexpr int32_t kHeight = 120;
// Colours as the scene takes them, 0x00BBGGRR.
constexpr uint32_t kBackground = 0x402010;
// Black, so that keyed sprites at 8 bits, which leave out index 0, are keyed too.
constexpr uint32_t kKey = 0x000000;

struct Depth {
    int32_t bits;
    bool fiveFiveFive;
    const char* name;
};
constexpr Depth kDepths[] = {
    {8, false, "8"}, {15, true, "15"}, {16, false, "16"}, {24, false, "24"}, {32, false, "32"}};

std::filesystem::path Golden(const std::string& name) {
    return std::filesystem::path(ZORV_SOURCE_DIR) / "tests/engine3d/render/golden" /
           (name + ".png");
}

uint32_t Widen(uint32_t field, int bits) {
    return field << (8 - bits) | field >> (2 * bits - 8);
}

class SoftwareGoldensTest : public RenderDisplayTest {
protected:
    void TearDown() override {
        Close();
        RenderDisplayTest::TearDown();
    }

    // A world on the DIB back end whose renderer draws into `surface_` at `depth`.
    void Open(const Depth& depth) {
        UseDisplay(depth.bits == 15 ? 16 : depth.bits, depth.fiveFiveFive);
        device_ = std::make_unique<LAPI_Surface_Win32>();
        world_ = std::make_unique<L3DWorld>(device_.get(), 0, nullptr, nullptr);
        renderer_ = static_cast<LRenderAPI_Surface_Win32*>(device_->CreateRenderer(world_.get()));
        ASSERT_NE(renderer_, nullptr);
        ASSERT_EQ(renderer_->SetDisplayMode(kWidth, kHeight,
                                            LRenderAPICLBK::kSkipModeChecks |
                                                LRenderAPICLBK::kDepthBuffer,
                                            depth.bits, kBackground, 0),
                  0);
        SurfaceHandle* prototype = nullptr;
        PickSurfaceType(&prototype, depth.bits, kPickDIB, 0);
        surface_ = std::make_unique<SurfaceHandle>();
        surface_->Create(kWidth, kHeight, prototype);
        ASSERT_EQ(surface_->IsValid(), 1);
        ASSERT_EQ(surface_->GetDepth(), depth.bits);
        renderer_->AttachSurface(surface_.get());
        ASSERT_EQ(renderer_->depth, depth.bits);
        if (depth.bits == 8) world_->SetPalette(surface_->GetPalette());
    }

    void Close() {
        if (renderer_ != nullptr) renderer_->AttachSurface(nullptr);
        world_.reset();
        device_.reset();
        surface_.reset();
        renderer_ = nullptr;
    }

    void Draw(L3DCamera* camera) {
        ASSERT_EQ(renderer_->AttachView(camera), 0);
        renderer_->RenderFrame();
    }

    // A colour packed as a texel or pixel of the renderer's depth.
    uint32_t Pack(uint32_t colour) const {
        const uint32_t r = colour & 0xFF, g = colour >> 8 & 0xFF, b = colour >> 16 & 0xFF;
        switch (renderer_->depth) {
        case 8:
            return Palette_ColorToIndex(world_->palette, colour);
        case 15:
            return r >> 3 << 10 | g >> 3 << 5 | b >> 3;
        case 16:
            return r >> 3 << 11 | g >> 2 << 5 | b >> 3;
        default:
            return r << 16 | g << 8 | b;
        }
    }

    // A texture of `size` x `size` texels at the renderer's depth, as the world's textures
    // are loaded, painted by `paint(x, y)` (0x00BBGGRR).
    template <typename Paint> LTexture* Texture(const char* name, uint32_t size, Paint paint) {
        const uint32_t bytes = (renderer_->depth + 7u) / 8u;
        const uint32_t pitch = (size * bytes + 3) & ~3u;
        auto* pixels = static_cast<uint8_t*>(std::calloc(pitch, size));
        for (uint32_t y = 0; y < size; ++y)
            for (uint32_t x = 0; x < size; ++x) {
                const uint32_t texel = Pack(paint(x, y));
                std::memcpy(pixels + y * pitch + x * bytes, &texel, bytes);
            }
        LTexture* texture = device_->CreateTexture(world_.get(), name, nullptr);
        world_->textures.AddTexture(texture);
        EXPECT_EQ(
            texture->SetImage(pixels, pitch, nullptr, 0, size, size, 1, renderer_->depth, nullptr),
            1);
        return texture;
    }

    // A four-cornered polygon; each corner gives x, y, z, u, v.
    void Quad(L3DObject& object, LMaterial* material, const float (&corners)[4][5]) {
        LPolygon* polygon = device_->CreatePolygon(&object, 2, 0);
        polygon->capacity = 4;
        for (const auto& c : corners)
            polygon->AddNewVertex(c[0], c[1], c[2], c[3], c[4], c[3], c[4]);
        object.AddPolygon(polygon, 0);
        polygon->SetMaterial(material);
    }

    L3DCamera* BuildTexturedScene() {
        L3DWorld& world = *world_;
        L3DCamera* camera = world.CreateCamera(0);
        auto checker = [](uint32_t a, uint32_t b, uint32_t cell) {
            return [=](uint32_t x, uint32_t y) { return (x / cell + y / cell) % 2 ? a : b; };
        };
        LTexture* sky = Texture(
            "Sky", 16, [](uint32_t x, uint32_t y) { return 0x800000 + (y * 8 << 8) + x * 4; });
        LTexture* tiles = Texture("Tiles", 16, checker(0x2080E0, 0xF0F0F0, 4));
        LTexture* stripes =
            Texture("Stripes", 8, [](uint32_t x, uint32_t) { return x < 4 ? 0x00C000 : 0x004000; });
        LTexture* ring = Texture("Ring", 16, [](uint32_t x, uint32_t y) {
            const int dx = int(x) * 2 - 15, dy = int(y) * 2 - 15;
            const int d = dx * dx + dy * dy;
            return d < 100 || d > 220 ? kKey : 0x00D0FF;
        });
        ring->SetColorKey(1, kKey);
        LTexture* glass = Texture("Glass", 8, checker(0xFF4040, 0x4040FF, 2));

        world.SetBackgroundMaterial(world.materials.CreateMaterial("Sky", sky, 0, 0, nullptr));
        world.SetBackgroundParams(1, 1, 2, 2);
        LMaterial* floor = world.materials.CreateMaterial("Tiles", tiles, 0xFFFFFF, 0, nullptr);
        LMaterial* wall = world.materials.CreateMaterial("Stripes", stripes, 0xFFFFFF, 0, nullptr);
        LMaterial* keyed = world.materials.CreateMaterial("Ring", ring, 0xFFFFFF, 0, nullptr);
        LMaterial* pane = world.materials.CreateMaterial("Glass", glass, 0xFFFFFF, 0, nullptr);
        pane->SetAlphaValue(128);

        auto* room = new L3DObject("Room", &world, nullptr);
        // The floor repeats its tiles four times each way, the wall its stripes three times.
        Quad(*room, floor,
             {{-120, -40, 120, 0, 0},
              {120, -40, 120, 4, 0},
              {120, -40, 420, 4, 4},
              {-120, -40, 420, 0, 4}});
        Quad(*room, wall,
             {{-90, -40, 300, 0, 1},
              {90, -40, 300, 3, 1},
              {90, 50, 300, 3, 0},
              {-90, 50, 300, 0, 0}});
        // The ring lets the wall show through its middle and corners; the glass lies over
        // the ring's left side and the floor.
        Quad(*room, keyed,
             {{0, -20, 220, 0, 1}, {50, -20, 220, 1, 1}, {50, 30, 220, 1, 0}, {0, 30, 220, 0, 0}});
        Quad(*room, pane,
             {{-40, -30, 170, 0, 1},
              {10, -30, 170, 1, 1},
              {10, 10, 170, 1, 0},
              {-40, 10, 170, 0, 0}});
        world.AddObject(room, 1);

        LSprite* badge = world.sprites.CreateSprite(&world, nullptr);
        badge->SetTexture(tiles);
        badge->SetDrawMode(LSprite::kTextured);
        badge->SetBounds(4, 4, 32, 24);
        LSprite* target = world.sprites.CreateSprite(&world, nullptr);
        target->SetTexture(ring);
        target->SetDrawMode(LSprite::kTextured | LSprite::kTransparentColor);
        target->SetBounds(120, 4, 32, 32);
        LSprite* shade = world.sprites.CreateSprite(&world, nullptr);
        shade->SetColor(0x000000);
        shade->SetAlpha(128);
        shade->SetBounds(40, 96, 80, 20);
        return camera;
    }

    // The frame as 0xRRGGBB, rows top down.
    platform::headless::Pixels Picture() {
        platform::headless::Pixels picture;
        picture.width = kWidth;
        picture.height = kHeight;
        picture.data.resize(size_t(kWidth) * kHeight);
        const int32_t pitch = surface_->GetImpl()->GetBits()->signedPitch;
        const uint32_t bits = renderer_->depth;
        const uint8_t* top = surface_->Lock();
        EXPECT_NE(top, nullptr);
        if (top == nullptr) return picture;
        for (int32_t y = 0; y < kHeight; ++y)
            for (int32_t x = 0; x < kWidth; ++x) {
                uint32_t value = 0;
                std::memcpy(&value, top + ptrdiff_t(y) * pitch + x * ((bits + 7) / 8),
                            (bits + 7) / 8);
                uint32_t& out = picture.data[size_t(y) * kWidth + x];
                if (bits == 8) {
                    const uint32_t c = surface_->IndexToColor(value);
                    out = (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
                } else if (bits == 15) {
                    out = Widen(value >> 10 & 0x1F, 5) << 16 | Widen(value >> 5 & 0x1F, 5) << 8 |
                          Widen(value & 0x1F, 5);
                } else if (bits == 16) {
                    out = Widen(value >> 11 & 0x1F, 5) << 16 | Widen(value >> 5 & 0x3F, 6) << 8 |
                          Widen(value & 0x1F, 5);
                } else {
                    out = value & 0xFFFFFF;
                }
            }
        surface_->Unlock();
        return picture;
    }

    std::unique_ptr<LAPI_Surface_Win32> device_;
    std::unique_ptr<L3DWorld> world_;
    std::unique_ptr<SurfaceHandle> surface_;
    LRenderAPI_Surface_Win32* renderer_ = nullptr;
};

TEST_F(SoftwareGoldensTest, TheReferenceSceneAtEveryDepth) {
    for (const Depth& depth : kDepths) {
        SCOPED_TRACE(depth.name);
        ASSERT_NO_FATAL_FAILURE(Open(depth));
        ReferenceScene scene = BuildReferenceScene(*world_, *device_);
        ASSERT_NO_FATAL_FAILURE(Draw(scene.camera));
        test_support::ExpectSameAsGolden(Golden(std::string("reference_") + depth.name), Picture());
        Close();
    }
}

TEST_F(SoftwareGoldensTest, TheTexturedSceneAtEveryDepth) {
    for (const Depth& depth : kDepths) {
        SCOPED_TRACE(depth.name);
        ASSERT_NO_FATAL_FAILURE(Open(depth));
        ASSERT_NO_FATAL_FAILURE(Draw(BuildTexturedScene()));
        test_support::ExpectSameAsGolden(Golden(std::string("textured_") + depth.name), Picture());
        Close();
    }
}

TEST_F(SoftwareGoldensTest, EightBitSolidSpritesAndOutlinesDrawTheirOwnColour) {
    ASSERT_NO_FATAL_FAILURE(Open(kDepths[0]));
    L3DCamera* camera = world_->CreateCamera(0);
    LSprite* filled = world_->sprites.CreateSprite(world_.get(), nullptr);
    filled->SetColor(0x00FFFF);
    filled->SetBounds(10, 10, 20, 20);
    LSprite* outlined = world_->sprites.CreateSprite(world_.get(), nullptr);
    outlined->SetDrawMode(2);
    outlined->SetColor(0xFF0000);
    outlined->SetBounds(50, 10, 20, 20);
    ASSERT_NO_FATAL_FAILURE(Draw(camera));
    const platform::headless::Pixels picture = Picture();
    EXPECT_EQ(picture.At(20, 20), 0xFFFF00u);
    EXPECT_EQ(picture.At(50, 20), 0x0000FFu);
}

} // namespace
