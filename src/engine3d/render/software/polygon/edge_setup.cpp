// The scanline walk shared by every span routine: the polygon's outline becomes two
// per-row edge tables, the chain from the top vertex forward to the bottom one (table A)
// and the chain from the bottom vertex forward back to the top (table B).
#include <algorithm>
#include <cmath>

#include "engine3d/render/software/polygon/pixel_formats.h"
#include "engine3d/render/software/polygon/software_polygon.h"
#include "engine3d/render/software/raster_state.h"
#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/mesh/point.h"
#include "engine3d/scene/objects/object.h"

using namespace software_raster;

namespace {

// Integer quantities, each kept in its 16.16 (or depth) scale.
enum IntQuantity { kFixedU, kFixedV, kDepth, kRed, kGreen, kBlue, kLevel, kIntQuantities };
enum FloatQuantity { kUW, kVW, kW, kFloatQuantities };

struct EdgeVertex {
    int32_t x, y;
    int64_t ints[kIntQuantities];
    float floats[kFloatQuantities];
};

struct EdgeLayout {
    bool tables = false;  // full records; else x only, into the x tables
    uint32_t ints = 0;    // bit per IntQuantity
    uint32_t floats = 0;  // bit per FloatQuantity
    bool clipTop = false; // rows above the target are walked but not written
    bool clampV = false;  // a negative start v is stored as 0
};

constexpr uint32_t Bit(int q) {
    return 1u << q;
}

void StoreInt(ScanEdge& e, int q, int32_t value) {
    switch (q) {
    case kFixedU:
        e.u.fixed = value;
        break;
    case kFixedV:
        e.v.fixed = value;
        break;
    case kDepth:
        e.z = value;
        break;
    case kRed:
        e.red = value;
        break;
    case kGreen:
        e.green = value;
        break;
    case kBlue:
        e.blue = value;
        break;
    default:
        e.level = value;
        break;
    }
}

void StoreFloat(ScanEdge& e, int q, float value) {
    if (q == kUW)
        e.u.f = value;
    else if (q == kVW)
        e.v.f = value;
    else
        e.w = value;
}

// One edge from a down to b (rows a.y .. b.y − 1); row b.y is the next edge's start.
void WalkEdge(const EdgeVertex& top, const EdgeVertex& bottom, const EdgeLayout& layout,
              int rowLimit, int32_t* xs, ScanEdge* edges) {
    const int64_t n = bottom.y - top.y;
    const int64_t x0 = int64_t(top.x) * 65536;
    const int64_t stepX = (int64_t(bottom.x) * 65536 - x0) / n;
    int64_t intSteps[kIntQuantities] = {};
    float floatSteps[kFloatQuantities] = {};
    float floatValues[kFloatQuantities] = {};
    int64_t starts[kIntQuantities] = {};
    for (int q = 0; q < kIntQuantities; ++q) {
        if ((layout.ints & Bit(q)) == 0) continue;
        intSteps[q] = (bottom.ints[q] - top.ints[q]) / n;
        starts[q] = top.ints[q];
        if (q == kFixedV && layout.clampV && Saturate32(starts[q]) < 0) starts[q] = 0;
    }
    for (int q = 0; q < kFloatQuantities; ++q) {
        if ((layout.floats & Bit(q)) == 0) continue;
        floatSteps[q] = float((double(bottom.floats[q]) - double(top.floats[q])) / double(n));
        floatValues[q] = top.floats[q];
    }
    for (int64_t k = 0; k < n; ++k) {
        const int64_t row = top.y + k;
        if (row >= rowLimit) break;
        if (row >= 0) {
            const int32_t x = int32_t((x0 + k * stepX) >> 16);
            if (!layout.tables) {
                xs[row] = x;
            } else {
                ScanEdge& e = edges[row];
                e.x = x;
                for (int q = 0; q < kIntQuantities; ++q)
                    if ((layout.ints & Bit(q)) != 0)
                        StoreInt(e, q, Saturate32(starts[q] + k * intSteps[q]));
                for (int q = 0; q < kFloatQuantities; ++q)
                    if ((layout.floats & Bit(q)) != 0) StoreFloat(e, q, floatValues[q]);
            }
        }
        for (int q = 0; q < kFloatQuantities; ++q)
            floatValues[q] += floatSteps[q];
    }
}

// Lighting of one vertex channel c against the material channel m.
int32_t LitChannel(int32_t c, int32_t m, int32_t level, bool modulate) {
    if (modulate) return (c * m) >> 8;
    const int32_t d = std::abs(level - 128);
    return (c * d + m * (128 - d)) >> 7;
}

constexpr int kMaxWalkVertices = L3DCamera::kMaxClipVertices;

// The per-vertex values the set-ups fill and WalkEdges turns into rows. Only the vertices
// drawn are cleared: a set-up runs per polygon and most polygons have three or four.
struct SoftwareEdgeWalk {
    explicit SoftwareEdgeWalk(int count) {
        for (int i = 0; i < std::min(count, kMaxWalkVertices); ++i)
            vertices[i] = EdgeVertex{};
    }

    EdgeLayout layout;
    EdgeVertex vertices[kMaxWalkVertices];
};

} // namespace

template <typename Walk> int LPolygon_Software::WalkEdges(Walk& walk, int& firstRow) {
    firstRow = 0;
    SoftwareRasterState* raster = CurrentSoftwareRaster();
    const int count = std::min(DrawCount(), int(kMaxWalkVertices));
    if (raster == nullptr || count < 2) return 0;
    const EdgeLayout& layout = walk.layout;
    if (layout.tables ? raster->EdgeTableA == nullptr || raster->EdgeTableB == nullptr
                      : raster->XTableA == nullptr || raster->XTableB == nullptr)
        return 0;
    L3DPoint* const* list = DrawList();
    int top = 0, bottom = 0;
    for (int i = 0; i < count; ++i) {
        const float y = list[i]->screenY;
        if (std::isnan(y) || std::isnan(list[i]->screenX)) return 0;
        if (y < list[top]->screenY) top = i;
        if (y > list[bottom]->screenY) bottom = i;
    }
    const int first = RoundCoordinate(list[top]->screenY);
    const int last = RoundCoordinate(list[bottom]->screenY);
    const int rowLimit = std::min(raster->TableRows, raster->ViewHeight);
    if (last < 0 || last == first || (first < 0 && !layout.clipTop)) return 0;
    const int start = std::max(first, 0);
    const int rows = std::min(last, rowLimit) - start;
    if (rows <= 0) return 0;
    for (int i = 0; i < count; ++i) {
        walk.vertices[i].x = RoundCoordinate(list[i]->screenX);
        walk.vertices[i].y = RoundCoordinate(list[i]->screenY);
    }
    // Table A runs from the top forward to the bottom, table B from the bottom forward back
    // to the top.
    for (int side = 0; side < 2; ++side) {
        const int from = side == 0 ? top : bottom;
        const int to = side == 0 ? bottom : top;
        int32_t* xs = side == 0 ? raster->XTableA : raster->XTableB;
        ScanEdge* edges = side == 0 ? raster->EdgeTableA : raster->EdgeTableB;
        for (int i = from; i != to; i = (i + 1) % count) {
            const EdgeVertex* a = &walk.vertices[i];
            const EdgeVertex* b = &walk.vertices[(i + 1) % count];
            if (a->y == b->y) continue;
            if (a->y > b->y) std::swap(a, b);
            WalkEdge(*a, *b, layout, rowLimit, xs, edges);
        }
    }
    firstRow = start;
    return rows;
}

namespace {

void CopyColourBytes(EdgeVertex& v, const L3DPoint& p, bool withLevel) {
    v.ints[kRed] = int64_t(p.frameColor[0]) * 65536;
    v.ints[kGreen] = int64_t(p.frameColor[1]) * 65536;
    v.ints[kBlue] = int64_t(p.frameColor[2]) * 65536;
    if (withLevel) v.ints[kLevel] = int64_t(p.frameColor[3]) * 65536;
}

constexpr uint32_t kColourBits = Bit(kRed) | Bit(kGreen) | Bit(kBlue);

} // namespace

int LPolygon_Software::SetupEdgesFlat(int& firstRow) {
    if (CopiesUV()) CopyUVToVertices();
    SoftwareEdgeWalk walk(DrawCount());
    const bool gouraud = owner != nullptr && owner->IsGouraud() != 0;
    if (gouraud) {
        walk.layout.tables = true;
        walk.layout.ints = kColourBits | Bit(kLevel);
        for (int i = 0; i < std::min(DrawCount(), int(kMaxWalkVertices)); ++i)
            CopyColourBytes(walk.vertices[i], *DrawList()[i], true);
    }
    return WalkEdges(walk, firstRow);
}

int LPolygon_Software::SetupAffine(int& firstRow, bool clipTop) {
    if (CopiesUV()) CopyUVToVertices();
    SoftwareEdgeWalk walk(DrawCount());
    walk.layout.tables = true;
    walk.layout.clipTop = clipTop;
    walk.layout.clampV = true;
    walk.layout.ints = Bit(kFixedU) | Bit(kFixedV);
    const bool gouraud = owner != nullptr && owner->IsGouraud() != 0;
    if (gouraud) walk.layout.ints |= kColourBits | Bit(kLevel);
    for (int i = 0; i < std::min(DrawCount(), int(kMaxWalkVertices)); ++i) {
        const L3DPoint& p = *DrawList()[i];
        walk.vertices[i].ints[kFixedU] = int64_t(RoundCoordinate(p.vertexUV[0])) * 65536;
        walk.vertices[i].ints[kFixedV] = int64_t(RoundCoordinate(p.vertexUV[1])) * 65536;
        if (gouraud) CopyColourBytes(walk.vertices[i], p, true);
    }
    return WalkEdges(walk, firstRow);
}

int LPolygon_Software::SetupEdgesAffine(int& firstRow) {
    return SetupAffine(firstRow, false);
}

int LPolygon_Software::SetupEdgesGouraud(int& firstRow) {
    if (CopiesUV()) CopyUVToVertices();
    SoftwareEdgeWalk walk(DrawCount());
    walk.layout.tables = true;
    walk.layout.ints = Bit(kDepth);
    const bool gouraud = owner != nullptr && owner->IsGouraud() != 0;
    const SoftwareRasterState* raster = CurrentSoftwareRaster();
    const bool modulate = raster != nullptr && (raster->StateBits & 8) != 0;
    const LMaterial* m = GetMaterial();
    const Rgb material = FromColorRef(m != nullptr ? m->color : 0);
    if (gouraud) walk.layout.ints |= kColourBits;
    for (int i = 0; i < std::min(DrawCount(), int(kMaxWalkVertices)); ++i) {
        const L3DPoint& p = *DrawList()[i];
        walk.vertices[i].ints[kDepth] = DepthOf(p.reciprocalDepth);
        if (!gouraud) continue;
        const int32_t level = p.frameColor[3];
        walk.vertices[i].ints[kRed] =
            int64_t(LitChannel(p.frameColor[0], material.r, level, modulate)) * 65536;
        walk.vertices[i].ints[kGreen] =
            int64_t(LitChannel(p.frameColor[1], material.g, level, modulate)) * 65536;
        walk.vertices[i].ints[kBlue] =
            int64_t(LitChannel(p.frameColor[2], material.b, level, modulate)) * 65536;
    }
    return WalkEdges(walk, firstRow);
}

int LPolygon_Software::SetupEdgesPerspective(int& firstRow) {
    if (CopiesUV()) CopyUVToVertices();
    SoftwareEdgeWalk walk(DrawCount());
    walk.layout.tables = true;
    walk.layout.ints = Bit(kDepth);
    walk.layout.floats = Bit(kUW) | Bit(kVW) | Bit(kW);
    const bool gouraud = owner != nullptr && owner->IsGouraud() != 0;
    const SoftwareRasterState* raster = CurrentSoftwareRaster();
    const bool modulate = raster != nullptr && (raster->StateBits & 8) != 0;
    if (gouraud) walk.layout.ints |= kColourBits | (modulate ? 0 : Bit(kLevel));
    for (int i = 0; i < std::min(DrawCount(), int(kMaxWalkVertices)); ++i) {
        const L3DPoint& p = *DrawList()[i];
        const float w = p.reciprocalDepth;
        walk.vertices[i].floats[kUW] = p.vertexUV[0] * w;
        walk.vertices[i].floats[kVW] = p.vertexUV[1] * w;
        walk.vertices[i].floats[kW] = w;
        walk.vertices[i].ints[kDepth] = DepthOf(w);
        if (gouraud) CopyColourBytes(walk.vertices[i], p, !modulate);
    }
    return WalkEdges(walk, firstRow);
}
