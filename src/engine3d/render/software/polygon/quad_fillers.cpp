// Sprite fills: untextured or textured quads facing the screen, drawn over whatever the
// target holds, without depth test or depth write.
#include <cstring>

#include "engine3d/render/software/polygon/software_polygon.h"
#include "engine3d/render/software/polygon/span_support.h"
#include "engine3d/scene/objects/object.h"

using namespace software_raster;

namespace {

template <int Depth> uint32_t PackColour(Rgb c) {
    if constexpr (Depth == 32 || Depth == 24)
        return uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | uint32_t(c.b);
    else
        return PixelFormat<Depth>::Pack(c);
}

} // namespace

template <int Depth, bool Translucent> void LPolygon_Software::FillSolid() {
    const LMaterial* m = GetMaterial();
    SoftwareRasterState* raster = RasterFor(Depth, false);
    if (m == nullptr || raster == nullptr) return;
    const bool cloned = owner != nullptr && owner->cloneCount > 0;
    if constexpr (Translucent && Depth == 32) {
        if (cloned) {
            FillSolid<32, false>();
            return;
        }
    }
    const int32_t a = cloned ? 255 : m->alpha;
    const Rgb colour = FromColorRef(m->color);
    constexpr int kBytes = PixelFormat<Depth>::kBytes;
    int first = 0;
    const int rows = SetupEdgesFlat(first);
    for (int row = first; row < first + rows; ++row) {
        const int32_t xa = raster->XTableA[row], xb = raster->XTableB[row];
        const int64_t n = xa < xb ? int64_t(xb) - xa : int64_t(xa) - xb;
        if (n <= 0) continue;
        const SpanCut cut = CutSpan(xa < xb ? xa : xb, int32_t(n), raster->ViewWidth);
        if (cut.n <= 0) continue;
        uint8_t* p = raster->Pixels + int64_t(row) * raster->Pitch + int64_t(cut.x) * kBytes;
        if constexpr (Depth == 8) {
            std::memset(p, m->paletteIndex, size_t(cut.n));
        } else if constexpr (Translucent) {
            for (int32_t i = 0; i < cut.n; ++i, p += kBytes)
                PixelFormat<Depth>::Write(p, Blend(colour, PixelFormat<Depth>::Read(p), a));
        } else {
            const uint32_t packed = PackColour<Depth>(colour);
            for (int32_t i = 0; i < cut.n; ++i, p += kBytes) {
                if constexpr (Depth == 32)
                    std::memcpy(p, &packed, 4);
                else if constexpr (Depth == 24)
                    std::memcpy(p, &packed, 3);
                else
                    Store16(p, uint16_t(packed));
            }
        }
    }
    if ((m->mode & LMaterial::kWireframe) != 0) DrawOutline(Depth);
}

template <int Depth, bool Keyed, bool Translucent> void LPolygon_Software::FillTextured() {
    LMaterial* m = GetMaterial();
    SoftwareRasterState* raster = RasterFor(Depth, false);
    if (m == nullptr || raster == nullptr) return;
    const bool cloned = owner != nullptr && owner->cloneCount > 0;
    if constexpr (Translucent && (Depth == 32 || Depth == 24)) {
        if (cloned) {
            FillTextured<Depth, Keyed, false>();
            return;
        }
    }
    const LTexture* t = TextureFor(m->GetTexture(0), Depth);
    if (t != nullptr) {
        if ((t->flags & LTexture::kEnvironmentMapping) != 0) ComputeEnvironmentUV();
        const int32_t a = cloned ? 255 : m->alpha;
        uint32_t key = 0;
        if constexpr (Depth != 8) key = PixelFormat<Depth>::PackKey(t->keyColor);
        constexpr int kBytes = PixelFormat<Depth>::kBytes;
        // Sprite corners lie on the image, but a corner on its far edge rounds past it.
        const int64_t maxU = t->width - 1, maxV = t->height - 1;
        int first = 0;
        const int rows = SetupEdgesAffine(first);
        for (int row = first; row < first + rows; ++row) {
            const ScanEdge& ea = raster->EdgeTableA[row];
            const ScanEdge& eb = raster->EdgeTableB[row];
            if (ea.x == eb.x) continue;
            const ScanEdge& left = ea.x < eb.x ? ea : eb;
            const ScanEdge& right = ea.x < eb.x ? eb : ea;
            const int64_t n = int64_t(right.x) - left.x;
            const int64_t du = (int64_t(right.u.fixed) - left.u.fixed) / n;
            const int64_t dv = (int64_t(right.v.fixed) - left.v.fixed) / n;
            const SpanCut cut = CutSpan(left.x, int32_t(n), raster->ViewWidth);
            int64_t u = left.u.fixed + cut.skipped * du, v = left.v.fixed + cut.skipped * dv;
            uint8_t* p = raster->Pixels + int64_t(row) * raster->Pitch + int64_t(cut.x) * kBytes;
            for (int32_t i = 0; i < cut.n; ++i, p += kBytes, u += du, v += dv) {
                const uint8_t* texel = t->pixels +
                                       std::clamp<int64_t>(v >> 16, 0, maxV) * t->pitch +
                                       std::clamp<int64_t>(u >> 16, 0, maxU) * kBytes;
                if constexpr (Keyed) {
                    if constexpr (Depth == 8) {
                        if (*texel == 0) continue;
                    } else if constexpr (Depth == 32 || Depth == 24) {
                        if (PixelFormat<Depth>::Key(texel) == key) continue;
                    } else {
                        if (Load16(texel) == key) continue;
                    }
                }
                if constexpr (Translucent && Depth != 8)
                    PixelFormat<Depth>::Write(
                        p, Blend(PixelFormat<Depth>::Read(texel), PixelFormat<Depth>::Read(p), a));
                else
                    PixelFormat<Depth>::CopyTexel(p, texel);
            }
        }
    }
    if ((m->mode & LMaterial::kWireframe) != 0) DrawOutline(Depth);
}

void LPolygon_Software::FillQuadSolid8() {
    FillSolid<8, false>();
}

void LPolygon_Software::FillQuadSolid16(int depth) {
    if (depth == 15)
        FillSolid<15, false>();
    else
        FillSolid<16, false>();
}

void LPolygon_Software::FillQuadSolid24() {
    FillSolid<24, false>();
}
void LPolygon_Software::FillQuadSolid32() {
    FillSolid<32, false>();
}
void LPolygon_Software::FillQuadSolidTranslucent15() {
    FillSolid<15, true>();
}
void LPolygon_Software::FillQuadSolidTranslucent16() {
    FillSolid<16, true>();
}
void LPolygon_Software::FillQuadSolidTranslucent32() {
    FillSolid<32, true>();
}
void LPolygon_Software::FillQuadTextured8() {
    FillTextured<8, false, false>();
}

void LPolygon_Software::FillQuadTextured16(int depth) {
    if (depth == 15)
        FillTextured<15, false, false>();
    else
        FillTextured<16, false, false>();
}

void LPolygon_Software::FillQuadTextured24() {
    FillTextured<24, false, false>();
}
void LPolygon_Software::FillQuadTextured32() {
    FillTextured<32, false, false>();
}
void LPolygon_Software::FillQuadTexturedTranslucent15() {
    FillTextured<15, false, true>();
}
void LPolygon_Software::FillQuadTexturedTranslucent16() {
    FillTextured<16, false, true>();
}
void LPolygon_Software::FillQuadTexturedTranslucent24() {
    FillTextured<24, false, true>();
}
void LPolygon_Software::FillQuadTexturedTranslucent32() {
    FillTextured<32, false, true>();
}
void LPolygon_Software::FillQuadTexturedKeyed8() {
    FillTextured<8, true, false>();
}

void LPolygon_Software::FillQuadTexturedKeyed16(int depth) {
    if (depth == 15)
        FillTextured<15, true, false>();
    else
        FillTextured<16, true, false>();
}

void LPolygon_Software::FillQuadTexturedKeyed24() {
    FillTextured<24, true, false>();
}
void LPolygon_Software::FillQuadTexturedKeyed32() {
    FillTextured<32, true, false>();
}
void LPolygon_Software::FillQuadTexturedKeyedTranslucent15() {
    FillTextured<15, true, true>();
}
void LPolygon_Software::FillQuadTexturedKeyedTranslucent16() {
    FillTextured<16, true, true>();
}
void LPolygon_Software::FillQuadTexturedKeyedTranslucent24() {
    FillTextured<24, true, true>();
}
void LPolygon_Software::FillQuadTexturedKeyedTranslucent32() {
    FillTextured<32, true, true>();
}
