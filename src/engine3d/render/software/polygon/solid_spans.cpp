// Outlines, depth-tested lines, untextured polygons and the affine image spans.
#include <cstdlib>
#include <cstring>

#include "engine3d/render/software/polygon/software_polygon.h"
#include "engine3d/render/software/polygon/span_support.h"
#include "engine3d/scene/mesh/point.h"
#include "engine3d/scene/objects/object.h"

using namespace software_raster;

namespace {

// A colour packed once for a target: the bytes a whole pixel takes.
template <int Depth> void WritePacked(uint8_t* p, uint32_t packed) {
    if constexpr (Depth == 32) {
        std::memcpy(p, &packed, 4);
    } else if constexpr (Depth == 24) {
        p[0] = uint8_t(packed);
        p[1] = uint8_t(packed >> 8);
        p[2] = uint8_t(packed >> 16);
    } else if constexpr (Depth == 8) {
        *p = uint8_t(packed);
    } else {
        Store16(p, uint16_t(packed));
    }
}

template <int Depth> uint32_t Pack(Rgb c) {
    if constexpr (Depth == 32 || Depth == 24)
        return uint32_t(c.r & 0xFF) << 16 | uint32_t(c.g & 0xFF) << 8 | uint32_t(c.b & 0xFF);
    else
        return PixelFormat<Depth>::Pack(c);
}

// The colour of outlines: white over a filled or textured polygon, else the material's.
template <int Depth> uint32_t OutlineColour(const LMaterial* m) {
    const bool overFill = m != nullptr && (m->mode & (LMaterial::kSolid | LMaterial::kTextured));
    if constexpr (Depth == 8)
        return overFill ? 255 : m != nullptr ? m->paletteIndex : 0;
    else
        return Pack<Depth>(overFill ? Rgb{255, 255, 255} : FromColorRef(m ? m->color : 0));
}

} // namespace

void LPolygon_Software::DrawOutline(int depth) {
    switch (depth) {
    case 32:
        DrawWire32();
        break;
    case 24:
        DrawWire24();
        break;
    case 16:
        DrawWire16();
        break;
    case 15:
        DrawWire15();
        break;
    default:
        DrawWire8();
        break;
    }
}

template <int Depth> void LPolygon_Software::DrawWire() {
    const int n = DrawCount();
    L3DPoint* const* list = DrawList();
    auto line = [this, list](int a, int b) {
        DrawLine<Depth>(TruncateCoordinate(list[a]->screenX), TruncateCoordinate(list[a]->screenY),
                        list[a]->reciprocalDepth, TruncateCoordinate(list[b]->screenX),
                        TruncateCoordinate(list[b]->screenY), list[b]->reciprocalDepth);
    };
    for (int i = 1; i < n; ++i)
        line(i - 1, i);
    if (n > 0) line(n - 1, 0);
}

template <int Depth>
void LPolygon_Software::DrawLine(int x0, int y0, float w0, int x1, int y1, float w1) {
    SoftwareRasterState* raster = RasterFor(Depth, true);
    if (raster == nullptr) return;
    const int width = raster->ViewWidth, height = raster->ViewHeight;
    x0 = std::clamp(x0, 0, width - 1);
    x1 = std::clamp(x1, 0, width - 1);
    y0 = std::clamp(y0, 0, height - 1);
    y1 = std::clamp(y1, 0, height - 1);
    const uint32_t colour = OutlineColour<Depth>(GetMaterial());
    int64_t z = DepthOf(w0);
    const float scaled1 = w1 * 8388608.0f, scaled0 = w0 * 8388608.0f;
    // The difference of the two scaled values, truncated: DepthOf's scale undone exactly.
    const int64_t total = DepthOf((scaled1 - scaled0) / 8388608.0f);
    const int dx = std::abs(x1 - x0), dy = std::abs(y1 - y0);
    const int sx = x1 >= x0 ? 1 : -1, sy = y1 >= y0 ? 1 : -1;
    int x = x0, y = y0;
    auto plot = [&] {
        int32_t* depth = raster->DepthBuffer + int64_t(y) * raster->DepthPitch + x;
        if (*depth < z) {
            *depth = Saturate32(z);
            WritePacked<Depth>(raster->Pixels + int64_t(y) * raster->Pitch +
                                   int64_t(x) * PixelFormat<Depth>::kBytes,
                               colour);
        }
    };
    auto inside = [&] { return y >= 0 && y < height && x >= 0 && x < width; };
    int e = 0;
    if (dx <= dy) {
        if (dy < 1) return;
        const int64_t dz = total / dy;
        for (int i = 0; i <= dy && inside(); ++i) {
            plot();
            e += dx;
            if (e > 0) {
                e -= dy;
                x += sx;
            }
            y += sy;
            z += dz;
        }
    } else {
        const int64_t dz = total / dx;
        for (int i = 0; i <= dx && inside(); ++i) {
            plot();
            e += dy;
            if (e > dx) {
                e -= dx;
                y += sy;
            }
            x += sx;
            z += dz;
        }
    }
}

void LPolygon_Software::DrawWire32() {
    DrawWire<32>();
}
void LPolygon_Software::DrawWire24() {
    DrawWire<24>();
}
void LPolygon_Software::DrawWire16() {
    DrawWire<16>();
}
void LPolygon_Software::DrawWire15() {
    DrawWire<15>();
}
void LPolygon_Software::DrawWire8() {
    DrawWire<8>();
}

void LPolygon_Software::DrawLineZ32(int x0, int y0, float w0, int x1, int y1, float w1) {
    DrawLine<32>(x0, y0, w0, x1, y1, w1);
}

void LPolygon_Software::DrawLineZ24(int x0, int y0, float w0, int x1, int y1, float w1) {
    DrawLine<24>(x0, y0, w0, x1, y1, w1);
}

void LPolygon_Software::DrawLineZ16(int x0, int y0, float w0, int x1, int y1, float w1, int depth) {
    if (depth == 15)
        DrawLine<15>(x0, y0, w0, x1, y1, w1);
    else
        DrawLine<16>(x0, y0, w0, x1, y1, w1);
}

void LPolygon_Software::DrawLineZ8(int x0, int y0, float w0, int x1, int y1, float w1) {
    DrawLine<8>(x0, y0, w0, x1, y1, w1);
}

template <int Depth, bool Translucent> void LPolygon_Software::DrawSolid() {
    const LMaterial* m = GetMaterial();
    SoftwareRasterState* raster = RasterFor(Depth, true);
    if (m == nullptr || raster == nullptr) return;
    const bool cloned = owner != nullptr && owner->cloneCount > 0;
    if constexpr (Translucent && Depth == 16) {
        if (cloned) {
            DrawSolid<16, false>();
            return;
        }
    }
    int first = 0;
    const int rows = SetupEdgesGouraud(first);
    const bool gouraud = Depth != 8 && owner != nullptr && owner->IsGouraud() != 0;
    const bool modulate = (raster->StateBits & 8) != 0;
    Rgb flat = FromColorRef(m->color);
    if (owner != nullptr && !gouraud && owner->IsLambert() != 0) {
        const uint8_t* lit = averageColor;
        const int32_t d = std::abs(int32_t(lit[3]) - 128);
        auto channel = [&](int32_t l, int32_t c) {
            return modulate ? (l * c) >> 8 : (l * d + c * (128 - d)) >> 7;
        };
        flat = {channel(lit[0], flat.r), channel(lit[1], flat.g), channel(lit[2], flat.b)};
    }
    uint32_t packed = m->paletteIndex;
    if constexpr (Depth != 8) packed = Pack<Depth>(flat);
    const int32_t a = m->alpha;
    constexpr int kBytes = PixelFormat<Depth>::kBytes;
    for (int row = first; row < first + rows; ++row) {
        const ScanEdge& ea = raster->EdgeTableA[row];
        const ScanEdge& eb = raster->EdgeTableB[row];
        if (ea.x == eb.x) continue;
        const ScanEdge& left = ea.x < eb.x ? ea : eb;
        const ScanEdge& right = ea.x < eb.x ? eb : ea;
        const int64_t n = int64_t(right.x) - left.x;
        const int64_t dz = (int64_t(right.z) - left.z) / n;
        const int64_t dr = (int64_t(right.red) - left.red) / n;
        const int64_t dg = (int64_t(right.green) - left.green) / n;
        const int64_t db = (int64_t(right.blue) - left.blue) / n;
        const SpanCut cut = CutSpan(left.x, int32_t(n), raster->ViewWidth);
        int64_t z = left.z + cut.skipped * dz;
        int64_t r = left.red + cut.skipped * dr, g = left.green + cut.skipped * dg;
        int64_t b = left.blue + cut.skipped * db;
        uint8_t* p = raster->Pixels + int64_t(row) * raster->Pitch + int64_t(cut.x) * kBytes;
        int32_t* depth = raster->DepthBuffer + int64_t(row) * raster->DepthPitch + cut.x;
        for (int32_t i = 0; i < cut.n; ++i, p += kBytes, ++depth) {
            if (*depth <= z) {
                *depth = Saturate32(z);
                if constexpr (Depth == 8) {
                    *p = uint8_t(packed);
                } else {
                    const Rgb src =
                        gouraud ? Rgb{int32_t(r >> 16), int32_t(g >> 16), int32_t(b >> 16)} : flat;
                    if constexpr (Translucent) {
                        PixelFormat<Depth>::Write(p, Blend(src, PixelFormat<Depth>::Read(p), a));
                    } else if (gouraud || Depth != 32) {
                        WritePacked<Depth == 32 ? 24 : Depth>(p, Pack<Depth>(src));
                    } else {
                        WritePacked<32>(p, packed);
                    }
                }
            }
            z += dz;
            r += dr;
            g += dg;
            b += db;
        }
    }
    if ((m->mode & LMaterial::kWireframe) != 0) DrawOutline(Depth);
}

void LPolygon_Software::DrawSolid32() {
    DrawSolid<32, false>();
}
void LPolygon_Software::DrawSolid24() {
    DrawSolid<24, false>();
}
void LPolygon_Software::DrawSolid16() {
    DrawSolid<16, false>();
}
void LPolygon_Software::DrawSolid15() {
    DrawSolid<15, false>();
}
void LPolygon_Software::DrawSolid8() {
    DrawSolid<8, false>();
}
void LPolygon_Software::DrawSolidTranslucent32() {
    DrawSolid<32, true>();
}
void LPolygon_Software::DrawSolidTranslucent24() {
    DrawSolid<24, true>();
}
void LPolygon_Software::DrawSolidTranslucent16() {
    DrawSolid<16, true>();
}
void LPolygon_Software::DrawSolidTranslucent15() {
    DrawSolid<15, true>();
}

template <int Depth> void LPolygon_Software::DrawAffine() {
    const LMaterial* m = GetMaterial();
    SoftwareRasterState* raster = RasterFor(Depth, false);
    if (m == nullptr || raster == nullptr) return;
    const LTexture* t = TextureFor(m->GetTexture(0), Depth);
    if (t == nullptr) return;
    int first = 0;
    const int rows = SetupAffine(first, true);
    constexpr int kBytes = PixelFormat<Depth>::kBytes;
    const int64_t uMask = t->width - 1, vMask = t->height - 1;
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
        for (int32_t i = 0; i < cut.n; ++i, p += kBytes) {
            const uint8_t* texel =
                t->pixels + ((v >> 16) & vMask) * t->pitch + ((u >> 16) & uMask) * kBytes;
            if constexpr (Depth == 32)
                std::memcpy(p, texel, 3);
            else
                PixelFormat<Depth>::CopyTexel(p, texel);
            u += du;
            v += dv;
        }
    }
}

void LPolygon_Software::DrawSpansTexturedAffine8() {
    DrawAffine<8>();
}
void LPolygon_Software::DrawSpansTexturedAffine16() {
    DrawAffine<16>();
}
void LPolygon_Software::DrawSpansTexturedAffine24() {
    DrawAffine<24>();
}
void LPolygon_Software::DrawSpansTexturedAffine32() {
    DrawAffine<32>();
}
