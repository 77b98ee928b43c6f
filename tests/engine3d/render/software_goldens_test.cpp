// Whole frames of the software renderer compared exactly with the pictures in golden/, at
// every depth the DIB presenter draws: the reference scene, and the textured scene
// (textured_scene.h). Each frame is drawn into a 160 x 120 memory surface attached to the
// renderer and turned into 0xRRGGBB for the PNG as follows: 32 and 24 bits take the pixel's blue,
// green and red bytes as they are; 16 (5-6-5) and 15 (5-5-5) bits widen each field by repeating its
// top bits below it (0x1F -> 0xFF, 0x10 -> 0x84); 8 bits look the index up in the surface's
// palette, which the world also takes to choose its colours' indices. ZORV_WRITE_GOLDEN=1 rewrites
// the pictures (look at them before committing).
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>
#include <string>

#include "engine3d/render/dib_device.h"
#include "engine3d/render/directx_device.h"
#include "engine3d/render/render_fixture.h"
#include "engine3d/render/software/dib_presenter.h"
#include "engine3d/render/software/directx_presenter.h"
#include "engine3d/render/textured_scene.h"
#include "engine3d/scene/support/reference_scene.h"
#include "graphics2d/drawing/surface_handle.h"
#include "graphics2d/palette/palette.h"
#include "support/image_diff.h"

namespace {

constexpr int32_t kWidth = 160;
constexpr int32_t kHeight = 120;
// Colours as the scene takes them, 0x00BBGGRR.
constexpr uint32_t kBackground = 0x402010;

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
        dib_ = static_cast<LRenderAPI_Surface_Win32*>(device_->CreateRenderer(world_.get()));
        renderer_ = dib_;
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
        dib_->AttachSurface(surface_.get());
        ASSERT_EQ(renderer_->depth, depth.bits);
        if (depth.bits == 8) world_->SetPalette(surface_->GetPalette());
    }

    // A world on the DirectDraw back end whose renderer draws into the back surface of a
    // window on a display of `depth`. Unlike the DIB presenter's target, the back surface
    // keeps its pixels between frames unless asked to clear them.
    void OpenDirectX(const Depth& depth) {
        UseDisplay(depth.bits == 15 ? 16 : depth.bits, depth.fiveFiveFive);
        device_ = std::make_unique<LAPI_DirectX>();
        world_ = std::make_unique<L3DWorld>(device_.get(), 0, nullptr, nullptr);
        renderer_ = static_cast<LRenderAPI_Software*>(device_->CreateRenderer(world_.get()));
        ASSERT_NE(renderer_, nullptr);
        ASSERT_EQ(renderer_->SetDisplayMode(
                      kWidth, kHeight,
                      LRenderAPICLBK::kWindowed | LRenderAPICLBK::kClearEachFrame |
                          LRenderAPICLBK::kSkipModeChecks | LRenderAPICLBK::kDepthBuffer,
                      depth.bits, kBackground, Window(0, 0, kWidth, kHeight)),
                  0);
        ASSERT_EQ(renderer_->depth, depth.bits);
    }

    void Close() {
        if (dib_ != nullptr) dib_->AttachSurface(nullptr);
        world_.reset();
        device_.reset();
        surface_.reset();
        renderer_ = nullptr;
        dib_ = nullptr;
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

    L3DCamera* BuildTexturedScene() {
        auto pack = [this](uint32_t colour) { return Pack(colour); };
        return textured_scene::Builder<decltype(pack)>(*world_, *device_, renderer_->depth, pack)
            .Build();
    }

    // The frame as 0xRRGGBB, rows top down.
    platform::headless::Pixels Picture() {
        platform::headless::Pixels picture;
        picture.width = kWidth;
        picture.height = kHeight;
        picture.data.resize(size_t(kWidth) * kHeight);
        const uint32_t bits = renderer_->depth;
        const int32_t pitch = dib_ != nullptr ? surface_->GetImpl()->GetBits()->signedPitch
                                              : int32_t(renderer_->pitch);
        uint8_t* top = dib_ != nullptr ? surface_->Lock() : renderer_->LockTarget();
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
        if (dib_ != nullptr)
            surface_->Unlock();
        else
            renderer_->UnlockTarget(top);
        return picture;
    }

    std::unique_ptr<LAPICLBK> device_;
    std::unique_ptr<L3DWorld> world_;
    std::unique_ptr<SurfaceHandle> surface_;
    LRenderAPI_Software* renderer_ = nullptr;
    // The DIB renderer, null on the DirectDraw back end.
    LRenderAPI_Surface_Win32* dib_ = nullptr;
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

// The DirectDraw presenter draws with the same spans into its back surface: the same
// pictures at every depth it offers (a window's DirectDraw has no 8-bit palette path).
TEST_F(SoftwareGoldensTest, TheDirectDrawBackSurfaceShowsTheSamePictures) {
    for (const Depth& depth : kDepths) {
        if (depth.bits == 8) continue;
        SCOPED_TRACE(depth.name);
        ASSERT_NO_FATAL_FAILURE(OpenDirectX(depth));
        ReferenceScene scene = BuildReferenceScene(*world_, *device_);
        ASSERT_NO_FATAL_FAILURE(Draw(scene.camera));
        test_support::ExpectSameAsGolden(Golden(std::string("reference_") + depth.name), Picture());
        Close();
        ASSERT_NO_FATAL_FAILURE(OpenDirectX(depth));
        ASSERT_NO_FATAL_FAILURE(Draw(BuildTexturedScene()));
        test_support::ExpectSameAsGolden(Golden(std::string("textured_") + depth.name), Picture());
        Close();
    }
}

// An environment-mapped texture is drawn with the coordinates its polygon's normals gave
// at the previous frame, scaled to texels: the first frame shows the texture as laid on,
// the next the texels the normals point at. Normals all alike give one texel everywhere.
TEST_F(SoftwareGoldensTest, EnvironmentMappedTexturesFollowTheNormalsFromTheNextFrame) {
    ASSERT_NO_FATAL_FAILURE(Open(kDepths[4]));
    L3DCamera* camera = world_->CreateCamera(0);
    // Every texel its own colour.
    textured_scene::Builder builder(*world_, *device_, 32, [](uint32_t colour) {
        return textured_scene::PackTexel(colour, 32);
    });
    LTexture* texture = builder.Texture(
        "Mirror", 16, [](uint32_t x, uint32_t y) { return 0x800000 | y * 16 << 8 | x * 16; });
    texture->SetEnvironmentMapping(1);
    LMaterial* mirror = world_->materials.CreateMaterial("Mirror", texture, 0xFFFFFF, 0, nullptr);
    auto* wall = new L3DObject("Wall", world_.get(), nullptr);
    builder.Quad(
        *wall, mirror,
        {{-60, -45, 100, 0, 1}, {60, -45, 100, 1, 1}, {60, 45, 100, 1, 0}, {-60, 45, 100, 0, 0}});
    world_->AddObject(wall, 1);
    const auto colours = [this] {
        const platform::headless::Pixels picture = Picture();
        std::set<uint32_t> seen;
        for (int y = 20; y < kHeight - 20; y += 5)
            for (int x = 20; x < kWidth - 20; x += 5)
                seen.insert(picture.At(x, y));
        return seen;
    };
    ASSERT_NO_FATAL_FAILURE(Draw(camera));
    EXPECT_GT(colours().size(), 16u);
    ASSERT_NO_FATAL_FAILURE(Draw(camera));
    EXPECT_EQ(colours().size(), 1u);
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
