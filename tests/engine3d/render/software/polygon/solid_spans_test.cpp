#include <gtest/gtest.h>

#include <cmath>

#include "engine3d/render/software/polygon/raster_fixture.h"

namespace {

// Red (COLORREF 0x0000FF) and white packed for each depth.
uint32_t Red(int depth) {
    switch (depth) {
    case 32:
    case 24:
        return 0xFF0000;
    case 16:
        return 0xF800;
    case 15:
        return 0x7C00;
    default:
        return 7;
    }
}

uint32_t White(int depth) {
    switch (depth) {
    case 32:
    case 24:
        return 0xFFFFFF;
    case 16:
        return 0xFFFF;
    case 15:
        return 0x7FFF;
    default:
        return 255;
    }
}

void DrawSolid(LPolygon_Software& p, int depth) {
    (p.*LPolygon_Software::RasterTableFor(depth)[1].span)();
}

class SolidSpansTest : public RasterTest {
protected:
    // The quad of columns 1..4 and rows 1..3 (right column and bottom row excluded).
    void Quad(float w) {
        Corners({{1, 1, w, 0, 0}, {5, 1, w, 0, 0}, {5, 4, w, 0, 0}, {1, 4, w, 0, 0}});
    }
};

TEST_F(SolidSpansTest, SpansCoverLeftToRightExclusiveAtEveryDepth) {
    for (int depth : {8, 15, 16, 24, 32}) {
        TestRaster raster(7, 6, depth);
        Quad(0.5f);
        Material(nullptr, LMaterial::kSolid).paletteIndex = 7;
        DrawSolid(*polygon, depth);
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 7; ++x) {
                const bool inside = x >= 1 && x <= 4 && y >= 1 && y <= 3;
                EXPECT_EQ(raster.Pixel(x, y), inside ? Red(depth) : 0u)
                    << depth << " " << x << "," << y;
                EXPECT_EQ(raster.Depth(x, y), inside ? 4194304 : 0);
            }
    }
}

TEST_F(SolidSpansTest, EqualDepthPassesFillButNotOutline) {
    for (int depth : {8, 16, 32}) {
        TestRaster raster(7, 6, depth);
        raster.depthBuffer[size_t(1 * 7 + 1)] = 4194304;
        raster.depthBuffer[size_t(2 * 7 + 2)] = 4194305;
        Quad(0.5f);
        Material(nullptr, LMaterial::kSolid | LMaterial::kWireframe).paletteIndex = 7;
        DrawSolid(*polygon, depth);
        EXPECT_EQ(raster.Pixel(1, 1), Red(depth)) << "equal depth passes; the line needs nearer";
        EXPECT_EQ(raster.Pixel(2, 2), 0u) << "nearer stored depth keeps its pixel";
        EXPECT_EQ(raster.Pixel(5, 1), White(depth)) << "outline beyond the fill";
        EXPECT_EQ(raster.Pixel(5, 4), White(depth));
        EXPECT_EQ(raster.Pixel(3, 4), White(depth)) << "closing edge along the bottom";
    }
}

TEST_F(SolidSpansTest, LinesAreClampedAndStepTheirOwnWay) {
    TestRaster raster(8, 8, 32);
    Material(nullptr, LMaterial::kWireframe, 0x00FF00);
    polygon->DrawLineZ32(3, 3, 1.0f, 3, 3, 1.0f);
    EXPECT_EQ(raster.Pixel(3, 3), 0u) << "a line between identical points draws nothing";
    // Shallow: y steps only when the error exceeds dx.
    polygon->DrawLineZ32(0, 0, 1.0f, 4, 2, 1.0f);
    const int ys[5] = {0, 0, 0, 1, 1};
    for (int x = 0; x < 5; ++x)
        EXPECT_EQ(raster.Pixel(x, ys[x]), 0x00FF00u) << x;
    // Steep: x steps whenever the error is above 0; endpoints far outside are clamped.
    polygon->DrawLineZ32(7, -50, 1.0f, 6, 100, 1.0f);
    EXPECT_EQ(raster.Pixel(7, 0), 0x00FF00u);
    EXPECT_EQ(raster.Pixel(6, 1), 0x00FF00u);
    EXPECT_EQ(raster.Pixel(6, 7), 0x00FF00u);
    // At 15 bits through the shared routine.
    TestRaster low(8, 8, 15);
    polygon->DrawLineZ16(0, 0, 1.0f, 0, 3, 1.0f, 15);
    EXPECT_EQ(low.Pixel(0, 3), 0x03E0u);
}

TEST_F(SolidSpansTest, LambertAndGouraudInBothStyles) {
    L3DObject object("o", &world, nullptr);
    TestRaster raster(7, 6, 32);
    Quad(0.5f);
    Material(nullptr, LMaterial::kSolid, 0x408020); // r 0x20, g 0x80, b 0x40
    polygon->owner = &object;
    object.objectFlags |= L3DObject::kLambert;
    polygon->averageColor[0] = 200;
    polygon->averageColor[1] = 100;
    polygon->averageColor[2] = 255;
    polygon->averageColor[3] = 0;
    raster.state.StateBits = 8;
    polygon->DrawSolid32();
    EXPECT_EQ(raster.Pixel(1, 1),
              uint32_t((200 * 0x20 >> 8) << 16 | (100 * 0x80 >> 8) << 8 | (255 * 0x40 >> 8)));
    // Level 0: d = 128, the lit colour exactly.
    raster.state.StateBits = 0;
    raster.depthBuffer.assign(raster.depthBuffer.size(), 0);
    polygon->DrawSolid32();
    EXPECT_EQ(raster.Pixel(1, 1), 0xC864FFu);

    // Gouraud at level 128 gives the material colour; modulate scales it by the vertex.
    object.objectFlags = L3DObject::kGouraud;
    for (auto& p : points) {
        p->frameColor[0] = 255;
        p->frameColor[1] = 128;
        p->frameColor[2] = 0;
        p->frameColor[3] = 128;
    }
    raster.depthBuffer.assign(raster.depthBuffer.size(), 0);
    polygon->DrawSolid32();
    EXPECT_EQ(raster.Pixel(2, 2), 0x208040u);
    raster.state.StateBits = 8;
    raster.depthBuffer.assign(raster.depthBuffer.size(), 0);
    polygon->DrawSolid32();
    EXPECT_EQ(raster.Pixel(2, 2), uint32_t((0x20 * 255 >> 8) << 16 | (0x80 * 128 >> 8) << 8));
}

TEST_F(SolidSpansTest, TranslucentSolidsBlendExceptClonedAtSixteen) {
    L3DObject object("o", &world, nullptr);
    TestRaster raster(7, 6, 16, 0xFF);
    Quad(0.5f);
    Material(nullptr, LMaterial::kSolid, 0x000000).SetAlphaValue(128);
    polygon->DrawSolidTranslucent16();
    // dst 0xFFFF unpacks to (248, 252, 248): × 127 >> 8.
    EXPECT_EQ(raster.Pixel(1, 1), uint32_t((248 * 127 >> 8 & 0xF8) << 8 |
                                           (252 * 127 >> 8 & 0xFC) << 3 | (248 * 127 >> 8) >> 3));
    polygon->owner = &object;
    object.cloneCount = 1;
    raster.depthBuffer.assign(raster.depthBuffer.size(), 0);
    polygon->DrawSolidTranslucent16();
    EXPECT_EQ(raster.Pixel(1, 1), 0u) << "drawn opaque";

    TestRaster full(7, 6, 32, 0xFF);
    polygon->DrawSolidTranslucent32();
    EXPECT_EQ(full.Pixel(1, 1), 0xFF7E7E7Eu) << "blended whatever the clones; byte 3 kept";
}

TEST_F(SolidSpansTest, BackdropSpansWrapAndAreCutToTheTarget) {
    std::vector<uint8_t> texels;
    auto texture = MakeTexture(4, 4, 32, texels);
    for (int i = 0; i < 16; ++i) {
        texels[size_t(i * 4)] = uint8_t(i);
        texels[size_t(i * 4 + 3)] = 0xEE;
    }
    Material(texture.get(), LMaterial::kTextured);
    // Twice the texture's size, reaching 3 pixels past every side of a 10 × 10 target.
    TestRaster raster(10, 10, 32, 0x11);
    Corners({{-3, -3, 1, 0, 0}, {13, -3, 1, 8, 0}, {13, 13, 1, 8, 8}, {-3, 13, 1, 0, 8}});
    polygon->DrawSpansTexturedAffine32();
    // Target (x, y) shows texel ((x + 3) / 2 mod 4, (y + 3) / 2 mod 4).
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            const uint32_t texel = uint32_t(((y + 3) / 2 % 4) * 4 + (x + 3) / 2 % 4);
            EXPECT_EQ(raster.Pixel(x, y), 0x11000000u | texel) << x << "," << y;
        }
    EXPECT_EQ(raster.Depth(0, 0), 0);
}

TEST_F(SolidSpansTest, SpritesFillWithoutDepthAndClampTexels) {
    std::vector<uint8_t> texels;
    auto texture = MakeTexture(4, 2, 16, texels);
    for (int i = 0; i < 8; ++i)
        texels[size_t(i * 2)] = uint8_t(i + 1);
    texels[4] = 0; // texel (2, 0) is the key: black
    Material(texture.get(), LMaterial::kTextured);
    TestRaster raster(4, 2, 16, 0xFF);
    raster.depthBuffer.assign(raster.depthBuffer.size(), INT32_MAX);
    // Texel columns 2 to 5 and rows 0 and 2: past the image's right and bottom edges.
    Corners({{0, 0, 1, 2, 0}, {4, 0, 1, 6, 0}, {4, 2, 1, 6, 4}, {0, 2, 1, 2, 4}});
    polygon->FillQuadTextured16(16);
    EXPECT_EQ(raster.Pixel(0, 0), 0u);
    EXPECT_EQ(raster.Pixel(1, 0), 4u);
    EXPECT_EQ(raster.Pixel(2, 0), 4u) << "column 4 is read as 3, not from the next row";
    EXPECT_EQ(raster.Pixel(3, 1), 8u) << "last row, last column";
    EXPECT_EQ(raster.Depth(0, 0), INT32_MAX);

    raster.pixels.assign(raster.pixels.size(), 0xFF);
    polygon->FillQuadTexturedKeyed16(16);
    EXPECT_EQ(raster.Pixel(0, 0), 0xFFFFu) << "key texel skipped";
    EXPECT_EQ(raster.Pixel(1, 0), 4u);

    material->SetAlphaValue(0);
    raster.pixels.assign(raster.pixels.size(), 0xFF);
    polygon->FillQuadTexturedTranslucent16();
    EXPECT_EQ(raster.Pixel(1, 0), uint32_t((248 * 255 >> 8 & 0xF8) << 8 |
                                           (252 * 255 >> 8 & 0xFC) << 3 | (248 * 255 >> 8) >> 3))
        << "alpha 0 gives dst · 255 >> 8";

    // Solid sprites: 24 bits has no translucent fill; 8 bits writes the index.
    TestRaster deep(4, 2, 24);
    material->color = 0x0000FF;
    polygon->FillQuadSolid24();
    EXPECT_EQ(deep.Pixel(3, 1), 0xFF0000u);
    TestRaster indexed(4, 2, 8);
    material->paletteIndex = 9;
    polygon->FillQuadSolid8();
    EXPECT_EQ(indexed.Pixel(0, 0), 9u);
    EXPECT_EQ(indexed.Pixel(3, 1), 9u);
    EXPECT_EQ(indexed.Depth(0, 0), 0);
}

TEST_F(SolidSpansTest, NotFiniteAndHugeCoordinatesStayInside) {
    const float nan = std::nanf("");
    for (int depth : {8, 15, 16, 24, 32}) {
        TestRaster raster(5, 4, depth);
        Material(nullptr, LMaterial::kSolid | LMaterial::kWireframe);
        Corners({{-1e30f, 0, 1, 0, 0}, {1e30f, 1, 1e30f, 0, 0}, {2, 1e30f, nan, 0, 0}});
        DrawSolid(*polygon, depth);
        polygon->FillQuadSolid16(depth == 15 ? 15 : 16);
        raster.pixels.assign(raster.pixels.size(), 0);
        raster.depthBuffer.assign(raster.depthBuffer.size(), 0);
        material->mode = LMaterial::kSolid;
        Corners({{nan, 0, 1, 0, 0}, {4, 1, 1, 0, 0}, {2, 3, 1, 0, 0}});
        DrawSolid(*polygon, depth);
        EXPECT_EQ(raster.Pixel(2, 2), 0u) << "a NaN corner draws no spans";
    }
}

TEST_F(SolidSpansTest, ShadowsAreBlackAtTheirAlphaAndRestoreTheMaterial) {
    L3DObject object("o", &world, nullptr);
    world.SetColorDepth(32);
    TestRaster raster(7, 6, 32, 0xFF);
    LMaterial& m = Material(nullptr, LMaterial::kSolid, 0x0000FF);
    polygon->owner = &object;
    Quad(0.5f);
    std::vector<L3DPoint*> shadow = lent;
    polygon->ReturnVertices();
    polygon->DrawVertices(shadow.data(), int(shadow.size()), 64);
    EXPECT_EQ(raster.Pixel(1, 1), 0xFFBEBEBEu) << "255 × 191 >> 8, byte 3 kept";
    EXPECT_EQ(raster.Pixel(5, 1), 0xFFFFFFFFu);
    EXPECT_EQ(m.color, 0x0000FFu);
    EXPECT_EQ(m.alpha, 255);
    EXPECT_EQ(raster.state.ClippedDraw, 0);
    EXPECT_EQ(polygon->DrawList(), polygon->Vertices()) << "the lent list is given back";
}

} // namespace
