// Perspective-correct textured spans: texture coordinates divided by the interpolated
// reciprocal depth at every pixel, depth-tested, optionally lit, keyed and blended. The
// arithmetic is fixed to the bit: single-precision sums of u·w, v·w and w, one reciprocal
// and two products per pixel rounded to the nearest texel (ties to even), integer depth,
// colours and blends. Each choice of addressing, key, translucency and lighting runs a
// loop of its own.
#include <cstdlib>
#include <cstring>

#include "engine3d/render/software/polygon/software_polygon.h"
#include "engine3d/render/software/polygon/span_support.h"
#include "engine3d/scene/objects/object.h"

using namespace software_raster;

namespace {

enum class Light { kUnlit, kLambertModulate, kLambertBlend, kGouraudModulate, kGouraudBlend };

struct Texels {
    const uint8_t* pixels;
    int64_t pitch;
    // Masks when wrapping, the last column and row otherwise.
    int64_t uLimit, vLimit;
};

// What lights and blends a polygon: the Lambert colour and level, the material alpha.
struct Shading {
    Rgb lambert{0, 0, 0};
    int32_t level = 128;
    int32_t alpha = 255;
};

inline int32_t Modulate(int32_t t, int32_t l) {
    return (t * l) >> 8;
}

inline int32_t LevelBlend(int32_t t, int32_t l, int32_t d) {
    return (t * (128 - d) + l * d) >> 7;
}

template <int Depth, bool Wrap, bool Alpha, bool Key, Light L>
void PerspectiveRows(uint8_t* target, int32_t pitch, int32_t width, int32_t* depthRow,
                     int32_t depthPitch, const Texels& tx, const ScanEdge* tableA,
                     const ScanEdge* tableB, int rows, uint32_t key, const Shading& shading) {
    constexpr int kBytes = PixelFormat<Depth>::kBytes;
    constexpr bool kGouraud = L == Light::kGouraudModulate || L == Light::kGouraudBlend;
    // Key texels still write depth at 16 and 15 bits.
    constexpr bool kDepthBeforeKey = Depth == 16 || Depth == 15;
    const int32_t lambertD = std::abs(shading.level - 128);
    for (int row = 0; row < rows; ++row, target += pitch, depthRow += depthPitch) {
        const ScanEdge& ea = tableA[row];
        const ScanEdge& eb = tableB[row];
        if (ea.x == eb.x) continue;
        const ScanEdge& s = ea.x < eb.x ? ea : eb;
        const ScanEdge& e = ea.x < eb.x ? eb : ea;
        const int64_t n = int64_t(e.x) - s.x;
        const float fn = float(n);
        const float du = (e.u.f - s.u.f) / fn, dv = (e.v.f - s.v.f) / fn;
        const float dw = (e.w - s.w) / fn;
        const int64_t dz = (int64_t(e.z) - s.z) / n;
        int64_t dr = 0, dg = 0, db = 0, dl = 0;
        if constexpr (kGouraud) {
            dr = (int64_t(e.red) - s.red) / n;
            dg = (int64_t(e.green) - s.green) / n;
            db = (int64_t(e.blue) - s.blue) / n;
            dl = (int64_t(e.level) - s.level) / n;
        }
        const SpanCut cut = CutSpan(s.x, int32_t(n), width);
        float u = s.u.f, v = s.v.f, w = s.w;
        int64_t z = s.z;
        int64_t r = s.red, g = s.green, b = s.blue, l = s.level;
        if (cut.skipped > 0) {
            // Only a polygon reaching past the target's left edge gets here.
            const float k = float(cut.skipped);
            u += k * du;
            v += k * dv;
            w += k * dw;
            z += cut.skipped * dz;
            r += cut.skipped * dr;
            g += cut.skipped * dg;
            b += cut.skipped * db;
            l += cut.skipped * dl;
        }
        uint8_t* p = target + int64_t(cut.x) * kBytes;
        int32_t* depth = depthRow + cut.x;
        for (int32_t i = 0; i < cut.n; ++i, p += kBytes, ++depth) {
            if (*depth <= z) {
                const float reciprocal = 1.0f / w;
                const float pv = reciprocal * v;
                const float pu = reciprocal * u;
                int64_t tv = RoundTexel(pv), tu = RoundTexel(pu);
                if constexpr (Wrap) {
                    tu &= tx.uLimit;
                    tv &= tx.vLimit;
                } else {
                    tu = std::clamp<int64_t>(tu, 0, tx.uLimit);
                    tv = std::clamp<int64_t>(tv, 0, tx.vLimit);
                }
                const uint8_t* texel = tx.pixels + tv * tx.pitch + tu * kBytes;
                bool draw = true;
                if constexpr (kDepthBeforeKey) *depth = Saturate32(z);
                if constexpr (Key) {
                    if constexpr (Depth == 8)
                        draw = *texel != key;
                    else
                        draw = PixelFormat<Depth>::Key(texel) != key;
                }
                if (draw) {
                    if constexpr (!kDepthBeforeKey) *depth = Saturate32(z);
                    if constexpr (L == Light::kUnlit && !Alpha && (Depth != 32 || !Key)) {
                        PixelFormat<Depth>::CopyTexel(p, texel);
                    } else if constexpr (Depth != 8) {
                        Rgb c = PixelFormat<Depth>::Read(texel);
                        if constexpr (L == Light::kLambertModulate) {
                            c = {Modulate(c.r, shading.lambert.r), Modulate(c.g, shading.lambert.g),
                                 Modulate(c.b, shading.lambert.b)};
                        } else if constexpr (L == Light::kLambertBlend) {
                            c = {LevelBlend(c.r, shading.lambert.r, lambertD),
                                 LevelBlend(c.g, shading.lambert.g, lambertD),
                                 LevelBlend(c.b, shading.lambert.b, lambertD)};
                        } else if constexpr (L == Light::kGouraudModulate) {
                            c = {Modulate(c.r, int32_t(r >> 16)), Modulate(c.g, int32_t(g >> 16)),
                                 Modulate(c.b, int32_t(b >> 16))};
                        } else if constexpr (L == Light::kGouraudBlend) {
                            const int32_t d = std::abs(int32_t(l >> 16) - 128);
                            c = {LevelBlend(c.r, int32_t(r >> 16), d),
                                 LevelBlend(c.g, int32_t(g >> 16), d),
                                 LevelBlend(c.b, int32_t(b >> 16), d)};
                        }
                        if constexpr (Alpha)
                            c = Blend(c, PixelFormat<Depth>::Read(p), shading.alpha);
                        PixelFormat<Depth>::Write(p, c);
                    }
                }
            }
            u += du;
            v += dv;
            w += dw;
            z += dz;
            if constexpr (kGouraud) {
                r += dr;
                g += dg;
                b += db;
                l += dl;
            }
        }
    }
}

struct RowsCall {
    uint8_t* target;
    int32_t pitch, width;
    int32_t* depth;
    int32_t depthPitch;
    const ScanEdge* a;
    const ScanEdge* b;
    int rows;
    uint32_t key;
};

template <int Depth, bool Wrap, bool Alpha, bool Key>
void RunLit(Light light, const RowsCall& c, const Texels& tx, const Shading& shading) {
    switch (light) {
    case Light::kUnlit:
        PerspectiveRows<Depth, Wrap, Alpha, Key, Light::kUnlit>(c.target, c.pitch, c.width, c.depth,
                                                                c.depthPitch, tx, c.a, c.b, c.rows,
                                                                c.key, shading);
        break;
    case Light::kLambertModulate:
        PerspectiveRows<Depth, Wrap, Alpha, Key, Light::kLambertModulate>(
            c.target, c.pitch, c.width, c.depth, c.depthPitch, tx, c.a, c.b, c.rows, c.key,
            shading);
        break;
    case Light::kLambertBlend:
        PerspectiveRows<Depth, Wrap, Alpha, Key, Light::kLambertBlend>(
            c.target, c.pitch, c.width, c.depth, c.depthPitch, tx, c.a, c.b, c.rows, c.key,
            shading);
        break;
    case Light::kGouraudModulate:
        PerspectiveRows<Depth, Wrap, Alpha, Key, Light::kGouraudModulate>(
            c.target, c.pitch, c.width, c.depth, c.depthPitch, tx, c.a, c.b, c.rows, c.key,
            shading);
        break;
    case Light::kGouraudBlend:
        PerspectiveRows<Depth, Wrap, Alpha, Key, Light::kGouraudBlend>(
            c.target, c.pitch, c.width, c.depth, c.depthPitch, tx, c.a, c.b, c.rows, c.key,
            shading);
        break;
    }
}

template <bool Wrap, bool Key>
void CopyRows16(uint8_t* target, int32_t pitch, int32_t width, int32_t* depth, int32_t depthPitch,
                const uint8_t* texels, int32_t texturePitch, int64_t uLimit, int64_t vLimit,
                const ScanEdge* a, const ScanEdge* b, int rows, uint16_t key) {
    if (target == nullptr || depth == nullptr || texels == nullptr || a == nullptr || b == nullptr)
        return;
    const Texels tx{texels, texturePitch, uLimit, vLimit};
    PerspectiveRows<16, Wrap, false, Key, Light::kUnlit>(target, pitch, width, depth, depthPitch,
                                                         tx, a, b, rows, key, Shading{});
}

} // namespace

void CopySpansPerspective16(uint8_t* target, int32_t pitch, int32_t targetWidth, int32_t* depth,
                            int32_t depthPitch, const uint8_t* texels, int32_t texturePitch,
                            int32_t maxU, int32_t maxV, const ScanEdge* a, const ScanEdge* b,
                            int rows) {
    CopyRows16<false, false>(target, pitch, targetWidth, depth, depthPitch, texels, texturePitch,
                             maxU, maxV, a, b, rows, 0);
}

void CopySpansPerspectiveKey16(uint8_t* target, int32_t pitch, int32_t targetWidth, int32_t* depth,
                               int32_t depthPitch, const uint8_t* texels, int32_t texturePitch,
                               int32_t maxU, int32_t maxV, const ScanEdge* a, const ScanEdge* b,
                               int rows, uint16_t key) {
    CopyRows16<false, true>(target, pitch, targetWidth, depth, depthPitch, texels, texturePitch,
                            maxU, maxV, a, b, rows, key);
}

void CopySpansPerspectiveWrap16(uint8_t* target, int32_t pitch, int32_t targetWidth, int32_t* depth,
                                int32_t depthPitch, const uint8_t* texels, int32_t texturePitch,
                                uint32_t uMask, uint32_t vMask, const ScanEdge* a,
                                const ScanEdge* b, int rows) {
    CopyRows16<true, false>(target, pitch, targetWidth, depth, depthPitch, texels, texturePitch,
                            uMask, vMask, a, b, rows, 0);
}

void CopySpansPerspectiveWrapKey16(uint8_t* target, int32_t pitch, int32_t targetWidth,
                                   int32_t* depth, int32_t depthPitch, const uint8_t* texels,
                                   int32_t texturePitch, uint32_t uMask, uint32_t vMask,
                                   const ScanEdge* a, const ScanEdge* b, int rows, uint16_t key) {
    CopyRows16<true, true>(target, pitch, targetWidth, depth, depthPitch, texels, texturePitch,
                           uMask, vMask, a, b, rows, key);
}

template <int Depth, bool Wrap, bool Alpha, bool Key> void LPolygon_Software::DrawPerspective() {
    LMaterial* m = GetMaterial();
    SoftwareRasterState* raster = RasterFor(Depth, true);
    if (m == nullptr || raster == nullptr) return;
    const bool cloned = owner != nullptr && owner->cloneCount > 0;
    if constexpr (Alpha && (Depth == 16 || Depth == 15)) {
        if (cloned) {
            DrawPerspective<Depth, Wrap, false, Key>();
            return;
        }
    }
    const bool outline = (m->mode & LMaterial::kWireframe) != 0;
    const LTexture* t = TextureFor(m->GetTexture(0), Depth);
    int first = 0;
    const int rows = t != nullptr ? SetupEdgesPerspective(first) : 0;
    if (rows == 0) {
        if (outline) DrawOutline(Depth);
        return;
    }
    if ((t->flags & LTexture::kEnvironmentMapping) != 0) ComputeEnvironmentUV();
    Light light = Light::kUnlit;
    if (Depth != 8 && owner != nullptr) {
        const bool modulate = (raster->StateBits & 8) != 0;
        if (owner->IsGouraud() != 0)
            light = modulate ? Light::kGouraudModulate : Light::kGouraudBlend;
        else if (owner->IsLambert() != 0)
            light = modulate ? Light::kLambertModulate : Light::kLambertBlend;
    }
    Shading shading;
    shading.lambert = {averageColor[0], averageColor[1], averageColor[2]};
    shading.level = averageColor[3];
    shading.alpha = m->alpha;
    uint32_t key = t->keyPaletteIndex;
    if constexpr (Depth != 8) key = PixelFormat<Depth>::PackKey(t->keyColor);
    const int64_t uLimit = t->width - 1, vLimit = t->height - 1;
    const RowsCall call{raster->Pixels + int64_t(first) * raster->Pitch,
                        raster->Pitch,
                        raster->ViewWidth,
                        raster->DepthBuffer + int64_t(first) * raster->DepthPitch,
                        raster->DepthPitch,
                        raster->EdgeTableA + first,
                        raster->EdgeTableB + first,
                        rows,
                        key};
    if constexpr ((Depth == 16 || Depth == 15) && !Alpha) {
        if (light == Light::kUnlit) {
            if constexpr (Wrap && Key)
                CopySpansPerspectiveWrapKey16(call.target, call.pitch, call.width, call.depth,
                                              call.depthPitch, t->pixels, int32_t(t->pitch),
                                              uint32_t(uLimit), uint32_t(vLimit), call.a, call.b,
                                              rows, uint16_t(key));
            else if constexpr (Wrap)
                CopySpansPerspectiveWrap16(
                    call.target, call.pitch, call.width, call.depth, call.depthPitch, t->pixels,
                    int32_t(t->pitch), uint32_t(uLimit), uint32_t(vLimit), call.a, call.b, rows);
            else if constexpr (Key)
                CopySpansPerspectiveKey16(call.target, call.pitch, call.width, call.depth,
                                          call.depthPitch, t->pixels, int32_t(t->pitch),
                                          int32_t(uLimit), int32_t(vLimit), call.a, call.b, rows,
                                          uint16_t(key));
            else
                CopySpansPerspective16(call.target, call.pitch, call.width, call.depth,
                                       call.depthPitch, t->pixels, int32_t(t->pitch),
                                       int32_t(uLimit), int32_t(vLimit), call.a, call.b, rows);
            if (outline) DrawOutline(Depth);
            return;
        }
    }
    const Texels tx{t->pixels, int64_t(t->pitch), uLimit, vLimit};
    if constexpr (Depth == 8)
        PerspectiveRows<8, Wrap, false, Key, Light::kUnlit>(call.target, call.pitch, call.width,
                                                            call.depth, call.depthPitch, tx, call.a,
                                                            call.b, rows, key, shading);
    else
        RunLit<Depth, Wrap, Alpha, Key>(light, call, tx, shading);
    if (outline) DrawOutline(Depth);
}

#define ZORV_PERSPECTIVE(name, depth, wrap, alpha, key)                                            \
    void LPolygon_Software::name() {                                                               \
        DrawPerspective<depth, wrap, alpha, key>();                                                \
    }
#define ZORV_PERSPECTIVE_DEPTH(depth)                                                              \
    ZORV_PERSPECTIVE(DrawSpansPerspective##depth, depth, false, false, false)                      \
    ZORV_PERSPECTIVE(DrawSpansPerspectiveAlpha##depth, depth, false, true, false)                  \
    ZORV_PERSPECTIVE(DrawSpansPerspectiveKey##depth, depth, false, false, true)                    \
    ZORV_PERSPECTIVE(DrawSpansPerspectiveAlphaKey##depth, depth, false, true, true)                \
    ZORV_PERSPECTIVE(DrawSpansPerspectiveWrap##depth, depth, true, false, false)                   \
    ZORV_PERSPECTIVE(DrawSpansPerspectiveWrapAlpha##depth, depth, true, true, false)               \
    ZORV_PERSPECTIVE(DrawSpansPerspectiveWrapKey##depth, depth, true, false, true)                 \
    ZORV_PERSPECTIVE(DrawSpansPerspectiveWrapAlphaKey##depth, depth, true, true, true)

ZORV_PERSPECTIVE_DEPTH(32)
ZORV_PERSPECTIVE_DEPTH(24)
ZORV_PERSPECTIVE_DEPTH(16)
ZORV_PERSPECTIVE_DEPTH(15)
ZORV_PERSPECTIVE(DrawSpansPerspective8, 8, false, false, false)
ZORV_PERSPECTIVE(DrawSpansPerspectiveKey8, 8, false, false, true)
ZORV_PERSPECTIVE(DrawSpansPerspectiveWrap8, 8, true, false, false)
ZORV_PERSPECTIVE(DrawSpansPerspectiveWrapKey8, 8, true, false, true)

#undef ZORV_PERSPECTIVE_DEPTH
#undef ZORV_PERSPECTIVE
