#include "engine3d/render/software/polygon/software_polygon.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "engine3d/render/software/raster_state.h"
#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/materials/texture.h"
#include "engine3d/scene/mesh/point.h"
#include "engine3d/scene/objects/object.h"
#include "engine3d/scene/objects/world.h"

namespace {

using Software = LPolygon_Software;

template <Software::SpanRoutine Routine> void Invoke(LPolygon& polygon, L3DCamera&) {
    (static_cast<Software&>(polygon).*Routine)();
}

void ThunkFlat(LPolygon& polygon, L3DCamera& camera) {
    static_cast<Software&>(polygon).ClipAndDraw(camera);
}

void ThunkGouraud(LPolygon& polygon, L3DCamera& camera) {
    static_cast<Software&>(polygon).ClipAndDrawGouraud(camera);
}

#define ZORV_ENTRY(name)                                                                           \
    { &Software::name, &Invoke<&Software::name> }

const Software::RasterEntry kTable32[Software::kRasterEntries] = {
    ZORV_ENTRY(DrawWire32),
    ZORV_ENTRY(DrawSolid32),
    ZORV_ENTRY(DrawSolidTranslucent32),
    ZORV_ENTRY(DrawSpansPerspective32),
    ZORV_ENTRY(DrawSpansPerspectiveAlpha32),
    ZORV_ENTRY(DrawSpansPerspectiveKey32),
    ZORV_ENTRY(DrawSpansPerspectiveAlphaKey32),
    ZORV_ENTRY(DrawSpansPerspectiveWrap32),
    ZORV_ENTRY(DrawSpansPerspectiveWrapAlpha32),
    ZORV_ENTRY(DrawSpansPerspectiveWrapKey32),
    ZORV_ENTRY(DrawSpansPerspectiveWrapAlphaKey32),
};

const Software::RasterEntry kTable24[Software::kRasterEntries] = {
    ZORV_ENTRY(DrawWire24),
    ZORV_ENTRY(DrawSolid24),
    ZORV_ENTRY(DrawSolidTranslucent24),
    ZORV_ENTRY(DrawSpansPerspective24),
    ZORV_ENTRY(DrawSpansPerspectiveAlpha24),
    ZORV_ENTRY(DrawSpansPerspectiveKey24),
    ZORV_ENTRY(DrawSpansPerspectiveAlphaKey24),
    ZORV_ENTRY(DrawSpansPerspectiveWrap24),
    ZORV_ENTRY(DrawSpansPerspectiveWrapAlpha24),
    ZORV_ENTRY(DrawSpansPerspectiveWrapKey24),
    ZORV_ENTRY(DrawSpansPerspectiveWrapAlphaKey24),
};

const Software::RasterEntry kTable16[Software::kRasterEntries] = {
    ZORV_ENTRY(DrawWire16),
    ZORV_ENTRY(DrawSolid16),
    ZORV_ENTRY(DrawSolidTranslucent16),
    ZORV_ENTRY(DrawSpansPerspective16),
    ZORV_ENTRY(DrawSpansPerspectiveAlpha16),
    ZORV_ENTRY(DrawSpansPerspectiveKey16),
    ZORV_ENTRY(DrawSpansPerspectiveAlphaKey16),
    ZORV_ENTRY(DrawSpansPerspectiveWrap16),
    ZORV_ENTRY(DrawSpansPerspectiveWrapAlpha16),
    ZORV_ENTRY(DrawSpansPerspectiveWrapKey16),
    ZORV_ENTRY(DrawSpansPerspectiveWrapAlphaKey16),
};

const Software::RasterEntry kTable15[Software::kRasterEntries] = {
    ZORV_ENTRY(DrawWire15),
    ZORV_ENTRY(DrawSolid15),
    ZORV_ENTRY(DrawSolidTranslucent15),
    ZORV_ENTRY(DrawSpansPerspective15),
    ZORV_ENTRY(DrawSpansPerspectiveAlpha15),
    ZORV_ENTRY(DrawSpansPerspectiveKey15),
    ZORV_ENTRY(DrawSpansPerspectiveAlphaKey15),
    ZORV_ENTRY(DrawSpansPerspectiveWrap15),
    ZORV_ENTRY(DrawSpansPerspectiveWrapAlpha15),
    ZORV_ENTRY(DrawSpansPerspectiveWrapKey15),
    ZORV_ENTRY(DrawSpansPerspectiveWrapAlphaKey15),
};

// No translucency at 8 bits: pairs of entries share a routine.
const Software::RasterEntry kTable8[Software::kRasterEntries] = {
    ZORV_ENTRY(DrawWire8),
    ZORV_ENTRY(DrawSolid8),
    ZORV_ENTRY(DrawSolid8),
    ZORV_ENTRY(DrawSpansPerspective8),
    ZORV_ENTRY(DrawSpansPerspective8),
    ZORV_ENTRY(DrawSpansPerspectiveKey8),
    ZORV_ENTRY(DrawSpansPerspectiveKey8),
    ZORV_ENTRY(DrawSpansPerspectiveWrap8),
    ZORV_ENTRY(DrawSpansPerspectiveWrap8),
    ZORV_ENTRY(DrawSpansPerspectiveWrapKey8),
    ZORV_ENTRY(DrawSpansPerspectiveWrapKey8),
};

#undef ZORV_ENTRY

// Whole widths and heights to add so that no coordinate stays negative. Counted directly:
// a huge negative coordinate would need billions of single steps. Coordinates that are not
// finite are left as they are and an empty texture shifts nothing.
double ShiftCount(const std::vector<float>& us, const std::vector<float>& vs, double width,
                  double height) {
    if (!(width > 0) || !(height > 0)) return 0;
    double steps = 0;
    for (float u : us)
        if (std::isfinite(u)) steps = std::max(steps, -double(u) / width);
    for (float v : vs)
        if (std::isfinite(v)) steps = std::max(steps, -double(v) / height);
    return std::ceil(steps);
}

// Adds the shift; a few steps are added one at a time, as coordinates always were.
void ApplyShift(std::vector<float>& values, double steps, float size) {
    constexpr double kSerialSteps = 1024;
    for (float& value : values) {
        if (steps <= kSerialSteps) {
            for (int k = 0; k < int(steps); ++k)
                value += size;
        } else {
            value = float(double(value) + steps * size);
        }
    }
}

} // namespace

const LPolygon_Software::RasterEntry* LPolygon_Software::RasterTableFor(int depth) {
    switch (depth) {
    case 32:
        return kTable32;
    case 24:
        return kTable24;
    case 16:
        return kTable16;
    case 15:
        return kTable15;
    case 8:
        return kTable8;
    default:
        return nullptr;
    }
}

int LPolygon_Software::RasterEntryOf(int depth, PolygonDrawRoutine routine) {
    const RasterEntry* table = RasterTableFor(depth);
    if (table == nullptr) return -1;
    for (int i = 0; i < kRasterEntries; ++i)
        if (table[i].draw == routine) return i;
    return -1;
}

void LPolygon_Software::DrawNothing(LPolygon&, L3DCamera&) {}

LPolygon_Software::LPolygon_Software(L3DObject* owner, int kind, LAPICLBK* backend)
    : LPolygon(owner, kind, backend) {
    Prepare();
}

LPolygon_Software::~LPolygon_Software() = default;

void LPolygon_Software::Prepare() {
    LMaterial* m = GetMaterial();
    if (m == nullptr) return;
    m->drawThunk = owner != nullptr && owner->IsGouraud() != 0 ? &ThunkGouraud : &ThunkFlat;
    PrepareTextureCoordinates();
    int depth = 8;
    if (const L3DWorld* world = GetWorld())
        depth = int(world->GetColorDepth());
    else if (const SoftwareRasterState* raster = CurrentSoftwareRaster())
        depth = raster->BitsPerPixel;
    if ((m->mode & LMaterial::kHidden) != 0) {
        m->drawRoutine = &DrawNothing;
        return;
    }
    if (const RasterEntry* table = RasterTableFor(depth)) SelectRasterizer(table);
}

void LPolygon_Software::PrepareTextureCoordinates() {
    const LMaterial* m = GetMaterial();
    if (m == nullptr) return;
    const int n = GetVertexCount();
    for (int slot = 0; slot < 2; ++slot) {
        const LTexture* t = m->GetTexture(slot);
        std::vector<float> us(size_t(n), 0.0f), vs(size_t(n), 0.0f);
        if (t != nullptr) {
            const double w = t->width, h = t->height;
            const double tx = t->tiling[0], ty = t->tiling[1];
            const double cx = 1.0 - (std::trunc((tx - 1) * 0.5) - (tx - 1) * 0.5);
            const double cy = 1.0 - (std::trunc((ty - 1) * 0.5) - (ty - 1) * 0.5);
            // The coordinates the points were made with; the UV array only ever holds texels.
            for (int i = 0; i < n; ++i) {
                const float* source = GetVertex(i)->texture + 2 * slot;
                us[size_t(i)] = float(((double(source[0]) - t->offset[0]) * tx - cx) * w);
                vs[size_t(i)] = float(-((double(source[1]) - t->offset[1]) * ty - cy) * h);
            }
            const double steps = ShiftCount(us, vs, w, h);
            ApplyShift(us, steps, float(w));
            ApplyShift(vs, steps, float(h));
        }
        for (int i = 0; i < n; ++i) {
            if (slot == 0)
                SetUV(i, us[size_t(i)], vs[size_t(i)]);
            else
                SetUV2(i, us[size_t(i)], vs[size_t(i)]);
        }
    }
}

void LPolygon_Software::ComputeEnvironmentUV() {
    if (GetVertexCount() < 3) return;
    LPolygon::ComputeEnvironmentUV();
    const LMaterial* m = GetMaterial();
    if (m == nullptr) return;
    const LTexture* t = m->GetTexture(0);
    if (t == nullptr || (t->flags & LTexture::kEnvironmentMapping) == 0) t = m->GetTexture(1);
    if (t == nullptr || (t->flags & LTexture::kEnvironmentMapping) == 0) return;
    const float w = float(t->width), h = float(t->height);
    for (int i = 0; i < GetVertexCount(); ++i) {
        const float* uv = GetUVs(i);
        const float u1 = std::fabs(uv[0]) * w, v1 = std::fabs(uv[1]) * h;
        const float u2 = std::fabs(uv[2]) * w, v2 = std::fabs(uv[3]) * h;
        SetUV(i, u1, v1);
        SetUV2(i, u2, v2);
    }
}

int LPolygon_Software::BackendVertexCount() {
    return GetVertexCount();
}

void LPolygon_Software::SelectRasterizer(const RasterEntry* table) {
    LMaterial* m = GetMaterial();
    if (m == nullptr || table == nullptr) return;
    const bool cloned = owner != nullptr && owner->cloneCount > 0;
    const bool translucent = !cloned && m->alpha < 255;
    const LTexture* t = m->GetTexture(0);
    int entry = -1;
    if ((m->mode & LMaterial::kTextured) != 0 && t != nullptr) {
        const bool transparent = m->NeedsBlending();
        entry = translucent ? (transparent ? 6 : 4) : (!cloned && transparent ? 5 : 3);
        const int n = GetVertexCount();
        std::vector<float> us(static_cast<size_t>(n)), vs(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i) {
            us[size_t(i)] = GetUVs(i)[0];
            vs[size_t(i)] = GetUVs(i)[1];
        }
        const double steps = ShiftCount(us, vs, t->width, t->height);
        ApplyShift(us, steps, float(t->width));
        ApplyShift(vs, steps, float(t->height));
        bool inside = t->tiling[0] == 1.0f && t->tiling[1] == 1.0f && t->offset[0] == 0.0f &&
                      t->offset[1] == 0.0f;
        for (int i = 0; i < n && inside; ++i)
            inside = !(us[size_t(i)] > float(t->width)) && !(vs[size_t(i)] > float(t->height));
        // Once one polygon of the material wraps, all of them keep wrapping.
        const int wrapping = entry - kInsideEntry + kWrapEntry;
        if (!inside || m->drawRoutine == table[wrapping].draw) entry = wrapping;
    } else if ((m->mode & LMaterial::kSolid) != 0) {
        entry = !cloned && m->alpha == 255 ? kSolidEntry : kSolidTranslucentEntry;
    } else if ((m->mode & LMaterial::kWireframe) != 0) {
        entry = kWireEntry;
    }
    m->drawRoutine = entry < 0 ? &DrawNothing : table[entry].draw;
}

namespace {

// While a clipped list is drawn, the raster says so and the polygon lends it itself.
int DrawClippedList(Software& polygon, L3DCamera& camera, int interpolateColours) {
    const int count = polygon.GetVertexCount();
    LMaterial* m = polygon.GetMaterial();
    if (m == nullptr) return count;
    L3DPoint* clipped[L3DCamera::kMaxClipVertices];
    int clippedCount = 0;
    polygon.ClipAndProject(camera, polygon.Vertices(), count, clipped, &clippedCount,
                           interpolateColours);
    if (clippedCount < 3) return count;
    SoftwareRasterState* raster = CurrentSoftwareRaster();
    polygon.LendVertices(clipped, clippedCount);
    if (raster != nullptr) raster->ClippedDraw = 1;
    ++camera.polygonsDrawn;
    if (m->drawRoutine != nullptr) m->drawRoutine(polygon, camera);
    if (raster != nullptr) raster->ClippedDraw = 0;
    polygon.ReturnVertices();
    return count;
}

} // namespace

int LPolygon_Software::ClipAndDraw(L3DCamera& camera) {
    return DrawClippedList(*this, camera, 0);
}

int LPolygon_Software::ClipAndDrawGouraud(L3DCamera& camera) {
    return DrawClippedList(*this, camera, 1);
}

void LPolygon_Software::DrawVertices(L3DPoint* const* vertices, int count, uint32_t flags) {
    LMaterial* m = GetMaterial();
    const L3DWorld* world = GetWorld();
    if (m == nullptr || world == nullptr) return;
    const RasterEntry* table = RasterTableFor(int(world->GetColorDepth()));
    if (table == nullptr) return;
    SoftwareRasterState* raster = CurrentSoftwareRaster();
    const uint32_t colour = m->color;
    const uint8_t alpha = m->alpha;
    m->SetAlphaValue(uint8_t(flags & 0xFF));
    m->color = 0;
    LendVertices(vertices, count);
    if (raster != nullptr) raster->ClippedDraw = 1;
    (this->*table[kSolidTranslucentEntry].span)();
    if (raster != nullptr) raster->ClippedDraw = 0;
    ReturnVertices();
    m->SetAlphaValue(alpha);
    m->color = colour;
}

void LPolygon_Software::LendVertices(L3DPoint* const* vertices, int count) {
    lent_ = vertices;
    lentCount_ = vertices != nullptr ? std::max(count, 0) : 0;
}

void LPolygon_Software::ReturnVertices() {
    lent_ = nullptr;
    lentCount_ = 0;
}

L3DPoint* const* LPolygon_Software::DrawList() const {
    return lent_ != nullptr ? lent_ : Vertices();
}

int LPolygon_Software::DrawCount() const {
    return lent_ != nullptr ? lentCount_ : GetVertexCount();
}

bool LPolygon_Software::CopiesUV() const {
    const SoftwareRasterState* raster = CurrentSoftwareRaster();
    return lent_ == nullptr && (raster == nullptr || raster->ClippedDraw == 0);
}
