#include <gtest/gtest.h>

#include "engine3d/scene/chunk_writer.h"
#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/mesh/material_batch.h"
#include "engine3d/scene/mesh/point.h"
#include "engine3d/scene/mesh/point_list.h"
#include "engine3d/scene/support/scene_fixture.h"

namespace {

using PolygonTest = SceneTest;

TEST_F(PolygonTest, PlanesPointOutOfTheFaceAndItsEdges) {
    L3DObject object("Floor", &world, nullptr);
    LPolygon* p = AddFace(object, {{0, 0, 0}, {0, 0, 10}, {10, 0, 0}}, 1);
    const float* face = p->GetPlane(0);
    EXPECT_FLOAT_EQ(face[1], 1);
    EXPECT_EQ(p->facingCode, 4);
    // Each edge plane is perpendicular to the face and points away from the third vertex.
    for (int e = 0; e < 3; ++e) {
        const float* edge = p->GetPlane(e + 1);
        const float* other = p->GetVertex((e + 2) % 3)->model;
        const float* start = edge + 4;
        const double side = edge[0] * (other[0] - start[0]) + edge[1] * (other[1] - start[1]) +
                            edge[2] * (other[2] - start[2]);
        EXPECT_LT(side, 0) << e;
        EXPECT_FLOAT_EQ(edge[1], 0);
    }
}

TEST_F(PolygonTest, FacingCodesFollowTheNormal) {
    struct Case {
        Vec3 a, b, c;
        int code;
    };
    const Case cases[] = {
        {{0, 0, 0}, {0, 0, 1}, {1, 0, 0}, 4},  {{0, 0, 0}, {1, 0, 0}, {0, 0, 1}, 2},
        {{0, 0, 0}, {0, 1, 0}, {0, 0, 1}, 8},  {{0, 0, 0}, {0, 0, 1}, {0, 1, 0}, 16},
        {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, 32}, {{0, 0, 0}, {0, 1, 0}, {1, 0, 0}, 64},
        {{0, 0, 0}, {1, 1, 0}, {0, 0, 1}, 0},  {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, 0},
    };
    for (const Case& c : cases) {
        L3DObject object("Face", &world, nullptr);
        LPolygon* p = AddFace(object, {c.a, c.b, c.c});
        EXPECT_EQ(p->facingCode, c.code);
    }
    L3DObject line("Line", &world, nullptr);
    LPolygon* collinear = AddFace(line, {{0, 0, 0}, {1, 1, 1}, {2, 2, 2}});
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(collinear->GetPlane(0)[k], 0);
}

TEST_F(PolygonTest, VertexListLimitsAndFlip) {
    L3DObject object("Tri", &world, nullptr);
    LPolygon* p = AddFace(object, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
    EXPECT_EQ(p->AddNewVertex(5, 5, 5, 0, 0, 0, 0), 13);
    EXPECT_EQ(p->GetVertexCount(), 3);
    EXPECT_EQ(p->RemoveVertexAt(5), 14);
    L3DPoint* v1 = p->GetVertex(1);
    L3DPoint* v2 = p->GetVertex(2);
    p->Flip();
    EXPECT_EQ(p->GetVertex(1), v2);
    EXPECT_EQ(p->GetVertex(2), v1);
    EXPECT_FLOAT_EQ(p->GetPlane(0)[2], -1);
    EXPECT_EQ(p->RemoveVertexAt(-1), 0);
    EXPECT_EQ(p->GetVertexCount(), 0);
    EXPECT_EQ(object.GetPointCount(0), 0);
}

TEST_F(PolygonTest, AVertexOfAThirdMaterialGetsAPrivateCopy) {
    L3DObject object("Pair", &world, nullptr);
    LPolygon* a = AddFace(object, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
    LPolygon* b = AddFace(object, {{0, 0, 0}, {0, 1, 0}, {-1, 0, 0}});
    LMaterial* red = world.materials.CreateMaterial("Red", nullptr, 0xFF, 0, nullptr);
    LMaterial* blue = world.materials.CreateMaterial("Blue", nullptr, 0xFF0000, 0, nullptr);
    a->SetMaterial(red);
    EXPECT_EQ(object.GetPointCount(0), 4);
    b->SetMaterial(blue);
    // The two shared corners belonged to red: b now has copies of its own.
    EXPECT_EQ(object.GetPointCount(0), 6);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(b->GetVertex(i)->material, blue);
        EXPECT_EQ(a->GetVertex(i)->material, red);
        EXPECT_NE(b->GetVertex(i), a->GetVertex(0));
    }
    EXPECT_EQ(b->GetVertex(0)->model[0], 0);
}

TEST_F(PolygonTest, AnOwnerlessPolygonTakesFactoryPointsForAThirdMaterial) {
    // The caller keeps the points, as a renderer does for its own sprite polygon.
    LPolygon* p = device.CreatePolygon(nullptr, 2, 0);
    L3DPoint* shared = device.CreatePoint(1, 2, 3, 0.5f, 0.5f, 0, 0);
    L3DPoint* mine = device.CreatePoint(4, 5, 6, 0, 0, 0, 0);
    L3DPoint* fresh = device.CreatePoint(7, 8, 9, 0, 0, 0, 0);
    for (L3DPoint* point : {shared, mine, fresh}) {
        p->AppendVertex(point);
        point->useCount = 1;
    }
    LMaterial* red = world.materials.CreateMaterial("Red", nullptr, 0xFF, 0, nullptr);
    LMaterial* blue = world.materials.CreateMaterial("Blue", nullptr, 0xFF0000, 0, nullptr);
    LMaterial* green = world.materials.CreateMaterial("Green", nullptr, 0xFF00, 0, nullptr);
    p->SetMaterial(red);
    shared->material = green;
    shared->vertexUV[0] = 0.25f;
    const int before = device.pointsAlive;
    p->SetMaterialWithPoints(blue, nullptr);
    EXPECT_EQ(p->GetMaterial(), blue);
    EXPECT_EQ(device.pointsAlive, before + 1);
    L3DPoint* copy = p->GetVertex(0);
    ASSERT_NE(copy, shared);
    EXPECT_EQ(copy->material, blue);
    EXPECT_EQ(copy->model[2], 3);
    EXPECT_EQ(copy->texture[0], 0);
    EXPECT_EQ(copy->vertexUV[0], 0.25f);
    EXPECT_EQ(copy->useCount, 1);
    EXPECT_EQ(shared->useCount, 0);
    EXPECT_EQ(shared->material, green);
    // Vertices of the old material follow the new one in place.
    EXPECT_EQ(p->GetVertex(1), mine);
    EXPECT_EQ(mine->material, blue);
    EXPECT_EQ(p->batch, nullptr);
    EXPECT_EQ(blue->polygons.GetCount(), 1u);
    EXPECT_EQ(red->polygons.GetCount(), 0u);
    p->SetMaterial(nullptr);
    device.DeletePolygon(p);
    for (L3DPoint* point : {shared, copy, mine, fresh})
        device.DeletePoint(point);
}

TEST_F(PolygonTest, ScreenPickingUsesTheOutline) {
    L3DObject object("Tri", &world, nullptr);
    LPolygon* p = AddFace(object, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
    const float screen[3][2] = {{10, 10}, {110, 10}, {10, 110}};
    for (int i = 0; i < 3; ++i) {
        p->GetVertex(i)->screenX = screen[i][0];
        p->GetVertex(i)->screenY = screen[i][1];
    }
    const struct {
        float x, y;
        int inside;
    } cases[] = {{20, 20, 1}, {10, 10, 1}, {60, 60, 1}, {100, 100, 0}, {5, 50, 0}, {120, 5, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(p->ContainsScreenPoint(c.x, c.y), c.inside) << c.x << "," << c.y;
}

TEST_F(PolygonTest, FloorTestsFindTheHeightBelow) {
    L3DObject object("Ramp", &world, nullptr);
    LPolygon* p = AddFace(object, {{0, 0, 0}, {0, 0, 100}, {100, 50, 0}});
    float out[4] = {};
    const float above[3] = {50, 60, 10};
    EXPECT_EQ(p->ContainsPointXZ(above, 0), 1);
    EXPECT_EQ(p->GetFloorPoint(above, -5, out, 0), 1);
    EXPECT_NEAR(out[1], 25, 1e-4);
    const float outside[3] = {90, 0, 90};
    EXPECT_EQ(p->ContainsPointXZ(outside, 0), 0);
    EXPECT_EQ(p->GetFloorPoint(outside, 5, out, 0), 0);
    L3DObject wall("Wall", &world, nullptr);
    LPolygon* w = AddFace(wall, {{0, 0, 0}, {0, 10, 0}, {10, 0, 0}});
    EXPECT_EQ(w->GetFloorPoint(above, 5, out, 0), 0);
}

TEST_F(PolygonTest, SweepTestHitsWithinTheEdgeToleranceAndNeverWhenParallel) {
    world.backFaceCulling = 0;
    L3DObject object("Wall", &world, nullptr);
    LPolygon* p = AddFace(object, {{0, 0, 0}, {0, 100, 0}, {100, 0, 0}});
    struct Case {
        float x, y;
        float dx, dy, dz;
        int hit;
    };
    // The wall lies in z = 0; moves go from z = 50 towards and through it.
    const Case cases[] = {
        {20, 20, 0, 0, -1, 1},       // straight at the face
        {-10, 20, 0, 0, -1, 1},      // 10 beyond an edge: within 15
        {-20, 20, 0, 0, -1, 0},      // 20 beyond it: missed
        {20, 20, 1, 0, 0, 0},        // parallel to the face
        {20, 20, 0.6f, 0, -0.8f, 1}, // slanted
    };
    for (const Case& c : cases) {
        const float p0[4] = {c.x, c.y, 50, 0};
        const float d[4] = {c.dx, c.dy, c.dz, 0};
        const float p1[4] = {c.x + 100 * c.dx, c.y + 100 * c.dy, 50 + 100 * c.dz, 0};
        float out[4] = {};
        EXPECT_EQ(p->SweepTest(5, p0, p1, out, d, 100), c.hit) << c.x << " " << c.dx;
    }
}

TEST_F(PolygonTest, CopyFromRefusesVerticesWithoutCounterparts) {
    L3DObject source("Source", &world, nullptr);
    LPolygon* original = AddFace(source, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
    L3DObject empty("Empty", &world, nullptr);
    LPolygon* copy = device.CreatePolygon(&empty, 2, 0);
    EXPECT_EQ(copy->CopyFrom(*original), 1);
    EXPECT_EQ(copy->GetVertexCount(), 0);
    device.DeletePolygon(copy);
}

TEST_F(PolygonTest, RecordsListPointsInVertexOrder) {
    L3DObject object("Quad", &world, nullptr);
    LPolygon* quad = AddFace(object, {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}});
    MemoryByteSink sink;
    ChunkWriter writer(sink);
    EXPECT_EQ(quad->WriteRecord(writer, 0), 0);
    quad->Flip();
    EXPECT_EQ(quad->WriteRecord(writer, 0), 0);
    const std::vector<uint8_t> expected = {4, 0, 0, 1, 0, 2, 0, 3, 0, 0, 0,
                                           4, 0, 0, 3, 0, 2, 0, 1, 0, 0, 0};
    EXPECT_EQ(sink.Bytes(), expected);
}

} // namespace

TEST_F(PolygonTest, VerticesKeepTheirTextureCoordinatesWhenOthersComeAndGo) {
    L3DObject object("Quad", &world, nullptr);
    LPolygon* p = device.CreatePolygon(&object, 2, 0);
    p->capacity = 4;
    for (int i = 0; i < 3; ++i)
        p->AddNewVertex(float(i), float(i * i), 0, 0.1f * float(i), 0.2f, 0.3f, 0.4f);
    object.AddPolygon(p, 0);
    // As a reader or a back end leaves them: not the points' own values.
    for (int i = 0; i < 3; ++i)
        p->SetUV(i, 10.0f + float(i), 20.0f + float(i));
    L3DPoint* first = p->GetVertex(0);
    L3DPoint* last = p->GetVertex(2);

    EXPECT_EQ(p->InsertNewVertex(1, 5, 5, 5, 0.5f, 0.6f, 0.7f, 0.8f), 0);
    ASSERT_EQ(p->GetVertexCount(), 4);
    const float expected[4][2] = {{10, 20}, {0.5f, 0.6f}, {11, 21}, {12, 22}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_FLOAT_EQ(p->GetUVs(i)[0], expected[i][0]) << i;
        EXPECT_FLOAT_EQ(p->GetUVs(i)[1], expected[i][1]) << i;
    }
    EXPECT_FLOAT_EQ(p->GetUVs(1)[3], 0.8f);

    // Turning the quad round swaps vertices 1 and 3 with their coordinates.
    p->Flip();
    EXPECT_EQ(p->GetVertex(0), first);
    EXPECT_EQ(p->GetVertex(1), last);
    EXPECT_FLOAT_EQ(p->GetUVs(1)[0], 12);
    EXPECT_FLOAT_EQ(p->GetUVs(3)[0], 0.5f);

    EXPECT_EQ(p->RemoveVertexAt(0), 0);
    EXPECT_EQ(p->RemoveVertexAt(0), 0);
    ASSERT_EQ(p->GetVertexCount(), 2);
    EXPECT_FLOAT_EQ(p->GetUVs(0)[0], 11);
    EXPECT_FLOAT_EQ(p->GetUVs(1)[1], 0.6f);
    // A face of two vertices stays in its mesh.
    EXPECT_EQ(object.GetPolygonCount(0), 1);
    EXPECT_EQ(object.GetPointCount(0), 2);
}

TEST_F(PolygonTest, AChangedTriangleLeavesItsBatchAndDyingFacesAndPointsTellTheirLinks) {
    L3DObject object("Tri", &world, nullptr);
    LPolygon* p = AddFace(object, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
    p->capacity = 4;
    LMaterial* red = world.materials.CreateMaterial("Red", nullptr, 0xFF, 0, nullptr);
    p->SetMaterial(red);
    ASSERT_NE(p->batch, nullptr);
    EXPECT_EQ(p->AddNewVertex(1, 1, 0, 0, 0, 0, 0), 0);
    // A batch holds triangles only: the quad is drawn on its own.
    EXPECT_EQ(p->batch, nullptr);
    EXPECT_EQ(object.GetCurrentBatchList()->FindBatch(red), nullptr);

    CountingLink faceLink, pointLink;
    p->SetCLBKObject(&faceLink);
    p->GetVertex(3)->SetCLBKObject(&pointLink);
    EXPECT_EQ(p->RemoveVertexAt(3), 0);
    EXPECT_EQ(pointLink.calls, 1);
    EXPECT_EQ(object.RemovePolygon(0), 0);
    EXPECT_EQ(faceLink.calls, 1);
}
