#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine3d/render/software/polygon/raster_fixture.h"
#include "engine3d/scene/camera/camera.h"

namespace {

class PolygonSetupTest : public RasterTest {
protected:
    // Own vertices made with the given texture coordinates (as files give them).
    void OwnVertices(std::vector<std::pair<float, float>> uvs) {
        polygon->capacity = int32_t(uvs.size());
        for (auto [u, v] : uvs) {
            auto p = std::make_unique<L3DPoint>(0.0f, 0.0f, 0.0f, u, v, u, v);
            polygon->AddVertex(p.get());
            points.push_back(std::move(p));
        }
    }

    int Entry() { return LPolygon_Software::RasterEntryOf(32, material->drawRoutine); }

    TestRaster raster{8, 8, 32};
    std::vector<uint8_t> texels;
    std::unique_ptr<LTexture> texture = MakeTexture(64, 32, 32, texels);
};

TEST_F(PolygonSetupTest, TexelCoordinatesFollowTilingOffsetAndTheShift) {
    OwnVertices({{1.0f, 0.0f}, {2.0f, 1.0f}, {1.5f, 0.5f}});
    Material(texture.get(), LMaterial::kTextured);
    polygon->Prepare();
    EXPECT_EQ(polygon->GetUVs(0)[0], 0.0f);
    EXPECT_EQ(polygon->GetUVs(0)[1], 32.0f);
    EXPECT_EQ(polygon->GetUVs(1)[0], 64.0f);
    EXPECT_EQ(polygon->GetUVs(1)[1], 0.0f);
    EXPECT_EQ(polygon->GetUVs(2)[0], 32.0f);
    EXPECT_EQ(Entry(), 3) << "inside the texture";

    // Converting again starts from the points' coordinates, not from texels.
    polygon->Prepare();
    EXPECT_EQ(polygon->GetUVs(1)[0], 64.0f);

    // Tiling 2: cx = 1.5, u' = (2u − 1.5) × W, v' = −(2v − 1.5) × H; v' of vertex 1 is
    // −16, so everything moves by one width and height.
    texture->SetTiling(2, 2);
    polygon->Prepare();
    EXPECT_EQ(polygon->GetUVs(0)[0], 96.0f);
    EXPECT_EQ(polygon->GetUVs(0)[1], 80.0f);
    EXPECT_EQ(polygon->GetUVs(1)[1], 16.0f);
    EXPECT_EQ(Entry(), 7) << "tiled textures wrap";

    // One u below 1 shifts every coordinate by one width and height.
    texture->SetTiling(1, 1);
    points[0]->texture[0] = 0.5f;
    polygon->Prepare();
    EXPECT_EQ(polygon->GetUVs(0)[0], 32.0f);
    EXPECT_EQ(polygon->GetUVs(1)[0], 128.0f);
    EXPECT_EQ(polygon->GetUVs(1)[1], 32.0f);
    EXPECT_EQ(polygon->GetUVs(0)[1], 64.0f);
}

TEST_F(PolygonSetupTest, ShiftEndsForHugeNotFiniteAndEmpty) {
    OwnVertices({{-1e30f, 0.0f}, {std::numeric_limits<float>::quiet_NaN(), 1.0f}, {1.0f, 1.0f}});
    Material(texture.get(), LMaterial::kTextured);
    polygon->Prepare();
    EXPECT_TRUE(std::isnan(polygon->GetUVs(1)[0]));
    EXPECT_TRUE(std::isfinite(polygon->GetUVs(2)[0]));
    EXPECT_GT(polygon->GetUVs(2)[0], 1e31f);
    EXPECT_EQ(Entry(), 7);

    texture->width = 0;
    points[0]->texture[0] = -3.0f;
    polygon->Prepare();
    EXPECT_EQ(polygon->GetUVs(0)[0], 0.0f) << "no width, nothing to shift by";
    EXPECT_EQ(polygon->GetUVs(0)[1], 32.0f);
}

TEST_F(PolygonSetupTest, SelectRasterizerEntries) {
    OwnVertices({{1.0f, 0.0f}, {2.0f, 1.0f}, {1.5f, 0.5f}});
    LMaterial& m = Material(texture.get(), LMaterial::kTextured);
    m.SetAlphaValue(200);
    polygon->Prepare();
    EXPECT_EQ(Entry(), 4);
    texture->SetColorKey(1, 0);
    polygon->Prepare();
    EXPECT_EQ(Entry(), 6);
    m.SetAlphaValue(255);
    polygon->Prepare();
    EXPECT_EQ(Entry(), 5);

    // A u of W + 0.5 wraps; the material then keeps wrapping for inside polygons too.
    points[1]->texture[0] = 2.0f + 0.5f / 64;
    polygon->Prepare();
    EXPECT_EQ(Entry(), 9);
    points[1]->texture[0] = 2.0f;
    polygon->Prepare();
    EXPECT_EQ(Entry(), 9);

    // Cloned owners draw textures opaque and unkeyed, solids always translucent.
    LMaterial& solid = Material(nullptr, LMaterial::kSolid);
    L3DObject object("o", &world, nullptr);
    world.SetColorDepth(32);
    polygon->owner = &object;
    object.cloneCount = 1;
    polygon->Prepare();
    EXPECT_EQ(Entry(), 2);
    object.cloneCount = 0;
    polygon->Prepare();
    EXPECT_EQ(Entry(), 1);
    solid.mode = LMaterial::kWireframe;
    polygon->Prepare();
    EXPECT_EQ(Entry(), 0);
    solid.mode = LMaterial::kWireframe | LMaterial::kHidden;
    polygon->Prepare();
    EXPECT_EQ(solid.drawRoutine, &LPolygon_Software::DrawNothing);

    // At 8 bits the translucent entries are the opaque routines.
    world.SetColorDepth(8);
    solid.mode = LMaterial::kSolid;
    solid.SetAlphaValue(100);
    polygon->Prepare();
    EXPECT_EQ(solid.drawRoutine, LPolygon_Software::RasterTableFor(8)[1].draw);
}

TEST_F(PolygonSetupTest, EdgeTablesWalkRowsHalfOpen) {
    // A quad from rows 1 to 4: rows 1, 2 and 3, x stepping in 16.16 along each side.
    Corners(
        {{1, 1, 0.5f, 0, 0}, {5, 1, 0.5f, 0, 0}, {7.4f, 4.4f, 0.25f, 0, 0}, {1, 4, 0.5f, 0, 0}});
    Material(nullptr, LMaterial::kSolid);
    int first = -1;
    EXPECT_EQ(polygon->SetupEdgesFlat(first), 3);
    EXPECT_EQ(first, 1);
    // Table A runs 1 → 2: x from 5 to 7 over 3 rows, step (2 × 65536) / 3.
    EXPECT_EQ(raster.xa[1], 5);
    EXPECT_EQ(raster.xa[2], 5);
    EXPECT_EQ(raster.xa[3], 6);
    EXPECT_EQ(raster.xb[1], 1);
    EXPECT_EQ(raster.xb[3], 1);

    EXPECT_EQ(polygon->SetupEdgesGouraud(first), 3);
    EXPECT_EQ(raster.ea[1].z, 4194304);
    EXPECT_EQ(raster.ea[2].z, 4194304 + (2097152 - 4194304) / 3);

    EXPECT_EQ(polygon->SetupEdgesPerspective(first), 3);
    EXPECT_EQ(raster.ea[1].w, 0.5f);
    EXPECT_EQ(raster.ea[2].w, 0.5f + float((0.25 - 0.5) / 3));

    // Nothing for one row, a top above the target or a NaN corner.
    Corners({{1, 1, 1, 0, 0}, {5, 1.4f, 1, 0, 0}, {3, 0.6f, 1, 0, 0}});
    EXPECT_EQ(polygon->SetupEdgesFlat(first), 0);
    Corners({{1, -1, 1, 0, 0}, {5, 3, 1, 0, 0}, {3, 5, 1, 0, 0}});
    EXPECT_EQ(polygon->SetupEdgesFlat(first), 0);
    Corners({{1, 1, 1, 0, 0}, {std::nanf(""), 3, 1, 0, 0}, {3, 5, 1, 0, 0}});
    EXPECT_EQ(polygon->SetupEdgesFlat(first), 0);

    // The affine set-up stores a negative start v as 0 and keeps its step.
    Corners({{0, 0, 1, 0, -2}, {4, 0, 1, 0, -2}, {0, 4, 1, 0, 2}});
    EXPECT_EQ(polygon->SetupEdgesAffine(first), 4);
    EXPECT_EQ(raster.eb[0].v.fixed, 0);
    EXPECT_EQ(raster.eb[1].v.fixed, 65536);
}

TEST_F(PolygonSetupTest, RowsBeyondTheTablesOrTheTargetAreNeverWritten) {
    // A 16 × 400 target whose tables were sized by its 64-byte pitch.
    TestRaster tall(16, 400, 32);
    tall.ea.resize(64);
    tall.eb.resize(64);
    tall.ea.shrink_to_fit();
    tall.eb.shrink_to_fit();
    tall.state.EdgeTableA = tall.ea.data();
    tall.state.EdgeTableB = tall.eb.data();
    tall.state.TableRows = 64;
    Corners({{0, 0, 1, 0, 0}, {16, 0, 1, 0, 0}, {16, 1000, 1, 0, 0}, {0, 1000, 1, 0, 0}});
    Material(nullptr, LMaterial::kSolid, 0xFFFFFF);
    polygon->DrawSolid32();
    EXPECT_EQ(tall.Pixel(15, 63), 0xFFFFFFu);
    EXPECT_EQ(tall.Pixel(0, 64), 0u);

    TestRaster full(16, 400, 32);
    polygon->DrawSolid32();
    EXPECT_EQ(full.Pixel(15, 399), 0xFFFFFFu);
}

TEST_F(PolygonSetupTest, MaterialRoutineDrawsTheOwnListInTexels) {
    // Texture coordinates (1, 0) .. (2, 1) cover the whole 64 × 32 texture; the UV array
    // reaches the vertices when the polygon draws its own list.
    OwnVertices({{1.0f, 1.0f}, {2.0f, 1.0f}, {2.0f, 0.0f}, {1.0f, 0.0f}});
    for (size_t i = 0; i < texels.size(); i += 4)
        texels[i] = uint8_t(i / 4 % 64);
    const float corners[4][2] = {{0, 0}, {8, 0}, {8, 8}, {0, 8}};
    for (int i = 0; i < 4; ++i) {
        points[size_t(i)]->screenX = corners[i][0];
        points[size_t(i)]->screenY = corners[i][1];
    }
    Material(texture.get(), LMaterial::kTextured);
    polygon->Prepare();
    ASSERT_EQ(Entry(), 3);
    L3DCamera* camera = world.CreateCamera(0);
    const uint32_t drawn = camera->polygonsDrawn;
    polygon->visibility = LPolygon::kInside;
    polygon->Draw(*camera);
    EXPECT_EQ(camera->polygonsDrawn, drawn + 1);
    // Pixel x samples texel column 8x (u = 64 · x / 8).
    EXPECT_EQ(raster.Pixel(1, 0) & 0xFF, 8u);
    EXPECT_EQ(raster.Pixel(7, 7) & 0xFF, 56u);
    EXPECT_EQ(points[1]->vertexUV[0], 64.0f);
}

} // namespace
