// Texture surfaces of the Direct3D back end: formats, conversion, mip levels and sizes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "engine3d/render/direct3d/direct3d_fixture.h"
#include "engine3d/render/direct3d/direct3d_texture.h"
#include "engine3d/scene/materials/texture_list.h"

namespace {

class Direct3DTextureTest : public Direct3DRenderTest {
protected:
    void SetUp() override {
        Direct3DRenderTest::SetUp();
        ASSERT_EQ(renderer->SetDisplayMode(kFlags, 64, 48, 32), 0);
    }

    // A texture of `depth` bits whose pixels are `values` (one word each, row by row).
    LTexture_Direct3D* Make(uint32_t depth, uint32_t w, uint32_t h,
                            const std::vector<uint32_t>& values) {
        auto* texture =
            static_cast<LTexture_Direct3D*>(device->CreateTexture(world.get(), "t", nullptr));
        world->textures.AddTexture(texture);
        const uint32_t bytes = depth == 32 ? 4 : 2;
        const uint32_t rowPitch = (w * bytes + 3) & ~3u;
        auto* pixels = static_cast<uint8_t*>(std::calloc(size_t(rowPitch) * h, 1));
        for (uint32_t i = 0; i < w * h && i < values.size(); ++i)
            std::memcpy(pixels + (i / w) * rowPitch + (i % w) * bytes, &values[i], bytes);
        EXPECT_NE(texture->SetImage(pixels, rowPitch, nullptr, 0, w, h, 1, depth, nullptr), 0);
        world->textureFormat = depth;
        renderer->SetTextureDepth(depth);
        return texture;
    }

    // The surface's words, `bytes` each, of its first `count` pixels of row `row`.
    static std::vector<uint32_t> Read(IDirectDrawSurface4* surface, uint32_t count, uint32_t bytes,
                                      uint32_t row = 0) {
        DDSURFACEDESC2 desc{};
        desc.dwSize = sizeof desc;
        std::vector<uint32_t> values;
        EXPECT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, 0), DD_OK);
        const uint8_t* memory = SurfaceMemory(desc);
        for (uint32_t i = 0; memory != nullptr && i < count; ++i) {
            uint32_t value = 0;
            std::memcpy(&value, memory + row * uint32_t(desc.lPitch) + i * bytes, bytes);
            values.push_back(value);
        }
        surface->Unlock(nullptr);
        return values;
    }
};

TEST_F(Direct3DTextureTest, KeyedAndTranslucentTexelsGetTheirAlphaInEachFormat) {
    // 5-5-5 with the key on takes 1-5-5-5: exactly the key colour is transparent.
    LTexture_Direct3D* keyed = Make(15, 2, 2, {0x7C00, 0x001F, 0x7C00, 0x03E0});
    keyed->SetColorKey(1, 0x0000FF); // red
    ASSERT_EQ(keyed->CreateTextureSurface(), 1);
    ASSERT_NE(keyed->d3dTexture, nullptr);
    EXPECT_EQ(Read(keyed->surface, 2, 2), (std::vector<uint32_t>{0x7C00, 0x801F}));
    // The same key again keeps the copy; the key off drops it for an opaque copy.
    IDirectDrawSurface4* kept = keyed->surface;
    keyed->SetColorKey(1, 0x0000FF);
    EXPECT_EQ(keyed->surface, kept);
    keyed->SetColorKey(0, 0);
    EXPECT_EQ(keyed->surface, nullptr);
    ASSERT_EQ(keyed->CreateTextureSurface(), 1);
    EXPECT_EQ(Read(keyed->surface, 2, 2), (std::vector<uint32_t>{0x7C00, 0x001F}));

    // 5-6-5 at half alpha takes 4-4-4-4 with the alpha's top nibble.
    LTexture_Direct3D* translucent = Make(16, 2, 1, {0xF800, 0x07E0});
    translucent->SetAlpha(0x87);
    ASSERT_EQ(translucent->CreateTextureSurface(), 1);
    EXPECT_EQ(Read(translucent->surface, 2, 2), (std::vector<uint32_t>{0x8F00, 0x80F0}));

    // 32 bits keyed: the key pixel's alpha 0, the others the texture's alpha.
    LTexture_Direct3D* deep = Make(32, 2, 1, {0x00102030, 0x00FF0000});
    deep->SetColorKey(1, 0x0000FF); // red: the pixel bytes 00 00 FF
    deep->SetAlpha(0x40);
    ASSERT_EQ(deep->CreateTextureSurface(), 1);
    EXPECT_EQ(Read(deep->surface, 2, 4), (std::vector<uint32_t>{0x40102030, 0x00FF0000}));
}

TEST_F(Direct3DTextureTest, MipmapsForOpaqueTexturesOnlyAndSquareSurfacesWhereAsked) {
    renderer->SetStateBits(0x1000);
    std::vector<uint32_t> values(16 * 16);
    for (size_t i = 0; i < values.size(); ++i)
        values[i] = (i % 16) < 8 ? 0xF800 : 0x001F;
    LTexture_Direct3D* opaque = Make(16, 16, 16, values);
    ASSERT_EQ(opaque->CreateTextureSurface(), 1);
    int levels = 0;
    IDirectDrawSurface4* level = opaque->surface;
    DDSCAPS2 mip{DDSCAPS_TEXTURE | DDSCAPS_MIPMAP, 0, 0, 0};
    IDirectDrawSurface4* next = nullptr;
    while (level->GetAttachedSurface(&mip, &next) == DD_OK) {
        ++levels;
        next->Release();
        level = next;
        // Nearest pixels of the image: the left half red, the right half blue.
        DDSURFACEDESC2 desc{};
        desc.dwSize = sizeof desc;
        level->GetSurfaceDesc(&desc);
        const std::vector<uint32_t> row = Read(level, desc.dwWidth, 2);
        EXPECT_EQ(row.front(), 0xF800u);
        EXPECT_EQ(row.back(), desc.dwWidth > 1 ? 0x001Fu : 0xF800u);
    }
    EXPECT_EQ(levels, 3);

    LTexture_Direct3D* translucent = Make(16, 16, 16, values);
    translucent->SetAlpha(0x80);
    ASSERT_EQ(translucent->CreateTextureSurface(), 1);
    EXPECT_NE(translucent->surface->GetAttachedSurface(&mip, &next), DD_OK);
    renderer->ClearStateBits(0x1000);

    Layer().squareOnly = true;
    std::vector<uint32_t> strip(64 * 16, 0x07E0);
    LTexture_Direct3D* wide = Make(16, 64, 16, strip);
    ASSERT_EQ(wide->CreateTextureSurface(), 1);
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    wide->surface->GetSurfaceDesc(&desc);
    EXPECT_EQ(desc.dwWidth, 64u);
    EXPECT_EQ(desc.dwHeight, 64u);
    EXPECT_EQ(Read(wide->surface, 1, 2, 15), std::vector<uint32_t>{0x07E0});
    EXPECT_EQ(Read(wide->surface, 1, 2, 16), std::vector<uint32_t>{0});
}

} // namespace
