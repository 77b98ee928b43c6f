#include "engine3d/render/direct3d/direct3d_polygon.h"

#include <cmath>
#include <cstdlib>

#include "engine3d/render/direct3d/direct3d_renderer.h"
#include "engine3d/render/direct3d/direct3d_texture.h"
#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/matrix.h"
#include "engine3d/scene/mesh/point.h"
#include "engine3d/scene/objects/object.h"

namespace {

using Polygon = LPolygon_Direct3D;
using Renderer = LRenderAPI_Direct3D;
using Family = Polygon::Family;
using Rule = Polygon::Rule;

RenderVertex gVertices[Polygon::kMaxVertices];

constexpr DWORD kFanFlags = D3DDP_DONOTCLIP | D3DDP_DONOTUPDATEEXTENTS | D3DDP_DONOTLIGHT;
constexpr uint32_t kBlendBits = LMaterial::kAdditive | LMaterial::kAdditiveSecond;

LTexture_Direct3D* TextureIn(const LMaterial& m, int slot) {
    return static_cast<LTexture_Direct3D*>(m.textures[slot]);
}

bool EnvironmentMapped(const LTexture* t) {
    return t != nullptr && (t->flags & LTexture::kEnvironmentMapping) != 0;
}

int32_t SelectorOf(Family family) {
    return family == Family::kGouraud ? 0x10 : family == Family::kLambert ? 0x20 : -1;
}

uint32_t MaterialRGB(const LMaterial& m) {
    return uint32_t(m.colorBytes[0] & 0xFF) << 16 | uint32_t(m.colorBytes[1] & 0xFF) << 8 |
           uint32_t(m.colorBytes[2] & 0xFF);
}

bool Cloned(const LPolygon& polygon) {
    return polygon.owner != nullptr && polygon.owner->cloneCount > 0;
}

// The polygon of a routine, when there is a renderer with a device to draw with.
Polygon* Drawable(LPolygon& polygon) {
    Renderer* r = Renderer::Current();
    if (r == nullptr || r->d3dDevice == nullptr || polygon.GetMaterial() == nullptr) return nullptr;
    return &static_cast<Polygon&>(polygon);
}

} // namespace

LPolygon_Direct3D::LPolygon_Direct3D(L3DObject* owner, int kind, LAPICLBK* backend)
    : LPolygon(owner, kind, backend) {
    Prepare();
}

const RenderVertex* LPolygon_Direct3D::SharedVertices() {
    return gVertices;
}

LPolygon_Direct3D::Family LPolygon_Direct3D::LightingFamily() const {
    if (owner != nullptr && owner->IsGouraud() != 0) return Family::kGouraud;
    if (owner != nullptr && owner->IsLambert() != 0) return Family::kLambert;
    return Family::kUnlit;
}

int LPolygon_Direct3D::Count() const {
    return clippedList_ != nullptr ? clippedCount_ : GetVertexCount();
}

L3DPoint* LPolygon_Direct3D::Point(int i) const {
    return clippedList_ != nullptr ? clippedList_[i] : Vertices()[i];
}

bool LPolygon_Direct3D::FogOn(const L3DCamera& camera) const {
    return camera.fogMode != L3DCamera::kFogOff;
}

void LPolygon_Direct3D::Prepare() {
    LMaterial* m = GetMaterial();
    if (m == nullptr) return;
    const Family family = LightingFamily();
    const int f = int(family);
    const PolygonDrawRoutine clip =
        family == Family::kGouraud ? &ClipVertexColours : &ClipPolygonColour;
    static constexpr PolygonDrawRoutine kOutline[3] = {
        &DrawOutline<Family::kUnlit, Rule::kMixed>, &DrawOutline<Family::kGouraud, Rule::kMixed>,
        &DrawOutline<Family::kLambert, Rule::kMixed>};
    if ((m->mode & LMaterial::kWireframe) != 0) {
        m->drawThunk = clip;
        m->drawRoutine = kOutline[f];
    }
    if ((m->mode & LMaterial::kHidden) != 0) {
        m->drawThunk = &ClipVertexColours;
        m->drawRoutine = &DrawNothing;
        return;
    }
    PrepareTextureCoordinates();
    // A textured material's own alpha blends too, not only its texture's key or alpha: the
    // software renderer draws such a pane see-through, and so must this one.
    const bool translucent = (m->NeedsBlending() || m->alpha < 255) && !Cloned(*this);
    m->drawThunk = clip;
    if ((m->mode & LMaterial::kTextured) != 0) {
        if (m->textures[0] != nullptr && m->textures[1] != nullptr) {
            static constexpr PolygonDrawRoutine kTwo[3] = {&DrawTwoTextures<Family::kUnlit>,
                                                           &DrawTwoTextures<Family::kGouraud>,
                                                           &DrawTwoTextures<Family::kLambert>};
            m->drawRoutine = kTwo[f];
            if (family != Family::kGouraud) return;
        } else {
            static constexpr PolygonDrawRoutine kTextured[3][4] = {
                {&DrawTextured<Family::kUnlit, false, false>,
                 &DrawTextured<Family::kUnlit, false, true>,
                 &DrawTextured<Family::kUnlit, true, false>,
                 &DrawTextured<Family::kUnlit, true, true>},
                {&DrawTextured<Family::kGouraud, false, false>,
                 &DrawTextured<Family::kGouraud, false, true>,
                 &DrawTextured<Family::kGouraud, true, false>,
                 &DrawTextured<Family::kGouraud, true, true>},
                {&DrawTextured<Family::kLambert, false, false>,
                 &DrawTextured<Family::kLambert, false, true>,
                 &DrawTextured<Family::kLambert, true, false>,
                 &DrawTextured<Family::kLambert, true, true>}};
            const bool env = EnvironmentMapped(m->textures[0]);
            m->drawRoutine = kTextured[f][(translucent ? 2 : 0) + (env ? 1 : 0)];
            return;
        }
    }
    if ((m->mode & LMaterial::kSolid) != 0) {
        static constexpr PolygonDrawRoutine kSolid[3][2] = {
            {&DrawSolid<Family::kUnlit, Rule::kModulated, false>,
             &DrawSolid<Family::kUnlit, Rule::kModulated, true>},
            {&DrawSolid<Family::kGouraud, Rule::kModulated, false>,
             &DrawSolid<Family::kGouraud, Rule::kModulated, true>},
            {&DrawSolid<Family::kLambert, Rule::kModulated, false>,
             &DrawSolid<Family::kLambert, Rule::kModulated, true>}};
        m->drawRoutine = kSolid[f][translucent ? 1 : 0];
        return;
    }
    // A routine of an earlier mode must not draw a material that no longer asks for one.
    if ((m->mode & (LMaterial::kWireframe | LMaterial::kTextured)) == 0) {
        m->drawThunk = &ClipPolygonColour;
        m->drawRoutine = &DrawNothing;
    }
}

void LPolygon_Direct3D::PrepareTextureCoordinates() {
    const LMaterial* m = GetMaterial();
    if (m == nullptr) return;
    for (int slot = 0; slot < 2; ++slot) {
        const LTexture* t = m->textures[slot];
        for (int i = 0; i < GetVertexCount(); ++i) {
            L3DPoint* p = GetVertex(i);
            const float s = p->texture[2 * slot], tt = p->texture[2 * slot + 1];
            float u = s, v = -tt;
            if (t != nullptr) {
                const float ax = (t->tiling[0] - 1) * 0.5f, ay = (t->tiling[1] - 1) * 0.5f;
                const float cx = 1 + ax - std::trunc(ax), cy = 1 + ay - std::trunc(ay);
                u = (s - t->offset[0]) * t->tiling[0] - cx;
                v = cy - (tt - t->offset[1]) * t->tiling[1];
            }
            if (slot == 0)
                SetUV(i, u, v);
            else
                SetUV2(i, u, v);
            p->vertexUV[2 * slot] = u;
            p->vertexUV[2 * slot + 1] = v;
        }
    }
}

void LPolygon_Direct3D::ComputeEnvironmentUV() {
    Renderer* r = Renderer::Current();
    if (r != nullptr && r->ClippedDraw != 0) return;
    LPolygon::ComputeEnvironmentUV();
    if (camera_ != nullptr) BuildTLVertices(*camera_);
}

void LPolygon_Direct3D::BuildTLVertices(const L3DCamera& camera) {
    Renderer* r = Renderer::Current();
    if (r == nullptr || r->ClippedDraw != 0) return;
    const bool fog = FogOn(camera);
    const int n = std::min(GetVertexCount(), kMaxVertices);
    for (int i = 0; i < n; ++i) {
        const L3DPoint& p = *GetVertex(i);
        RenderVertex& v = gVertices[i];
        v.x = p.screenX;
        v.y = p.screenY;
        v.z = p.bufferDepth;
        v.rhw = p.reciprocalDepth;
        if (const float* uv = GetUVs(i)) {
            v.u1 = uv[0];
            v.v1 = uv[1];
        }
        if (fog) v.specular = uint32_t(p.fog) << 24;
    }
}

void LPolygon_Direct3D::BuildClippedTLVertices(L3DPoint* const* points, int count,
                                               const L3DCamera& camera) {
    const bool fog = FogOn(camera);
    for (int i = 0; i < count && i < kMaxVertices; ++i) {
        const L3DPoint& p = *points[i];
        RenderVertex& v = gVertices[i];
        v.x = p.screenX;
        v.y = p.screenY;
        v.z = p.bufferDepth;
        v.rhw = p.reciprocalDepth;
        v.u1 = p.vertexUV[0];
        v.v1 = p.vertexUV[1];
        v.u2 = p.vertexUV[2];
        v.v2 = p.vertexUV[3];
        if (fog) v.specular = uint32_t(p.fog) << 24;
    }
}

void LPolygon_Direct3D::BuildTLVerticesTwoTextures(const L3DCamera& camera) {
    Renderer* r = Renderer::Current();
    if (r == nullptr || r->ClippedDraw != 0) return;
    const LMaterial& m = *GetMaterial();
    const bool environment = EnvironmentMapped(m.textures[1]) && owner != nullptr;
    float view[16] = {};
    if (environment) MatrixMultiply(camera.viewMatrix, owner->worldMatrix, view);
    const int n = std::min(GetVertexCount(), kMaxVertices);
    for (int i = 0; i < n; ++i) {
        const L3DPoint& p = *GetVertex(i);
        RenderVertex& v = gVertices[i];
        v.x = p.screenX;
        v.y = p.screenY;
        v.z = p.bufferDepth;
        v.rhw = p.reciprocalDepth;
        const float* uv = GetUVs(i);
        if (uv != nullptr) {
            v.u1 = uv[0];
            v.v1 = uv[1];
            v.u2 = uv[2];
            v.v2 = uv[3];
        }
        if (environment) {
            const float* n3 = p.normal;
            const float row0 = n3[0] * view[0] + n3[1] * view[1] + n3[2] * view[2];
            const float row1 = n3[0] * view[4] + n3[1] * view[5] + n3[2] * view[6];
            v.u2 = (1 - row0) * 0.5f;
            v.v2 = (row1 + 1) * 0.5f;
        }
        v.specular = uint32_t(p.fog) << 24;
    }
}

uint32_t LPolygon_Direct3D::LitColour(Family family, Rule rule, int i, uint8_t alpha) const {
    const LMaterial& m = *GetMaterial();
    const uint8_t* lit = family == Family::kGouraud ? Point(i)->frameColor : averageColor;
    uint32_t out = uint32_t(alpha) << 24;
    const int w = 128 - std::abs(int(lit[3]) - 128);
    for (int c = 0; c < 3; ++c) {
        const int material = m.colorBytes[c] & 0xFF;
        const int value = rule == Rule::kMixed ? (lit[c] * (128 - w) + material * w) >> 7
                                               : (lit[c] * material) >> 8;
        out |= uint32_t(value & 0xFF) << (16 - 8 * c);
    }
    return out;
}

void LPolygon_Direct3D::Fan() {
    Renderer* r = Renderer::Current();
    const int n = Count();
    if (n < 3 || n > kMaxVertices) return;
    r->d3dDevice->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DFVF_TLVERTEX2, gVertices, DWORD(n),
                                kFanFlags);
}

void LPolygon_Direct3D::Outline(int32_t selector, Family family, Rule rule,
                                const L3DCamera& camera) {
    Renderer* r = Renderer::Current();
    const LMaterial& m = *GetMaterial();
    BuildTLVertices(camera);
    r->SelectLineState(selector, m.mode & kBlendBits);
    const int n = std::min(Count(), kMaxVertices);
    for (int i = 0; i < n; ++i) {
        if (family != Family::kUnlit)
            gVertices[i].diffuse = LitColour(family, rule, i, 255);
        else if ((m.mode & (LMaterial::kSolid | LMaterial::kTextured)) != 0)
            gVertices[i].diffuse = 0xFFFFFFFF;
        else
            gVertices[i].diffuse = 0xFF000000 | MaterialRGB(m);
    }
    IDirect3DDevice3* d = r->d3dDevice;
    d->Begin(D3DPT_LINELIST, D3DFVF_TLVERTEX2, D3DDP_DONOTUPDATEEXTENTS);
    for (int i = 0; i + 1 < n; ++i) {
        d->Vertex(&gVertices[i]);
        d->Vertex(&gVertices[i + 1]);
    }
    if (n > 0) {
        d->Vertex(&gVertices[n - 1]);
        d->Vertex(&gVertices[0]);
    }
    d->End(0);
}

void LPolygon_Direct3D::DrawNothing(LPolygon&, L3DCamera&) {}

template <Family F, Rule R>
void LPolygon_Direct3D::DrawOutline(LPolygon& polygon, L3DCamera& camera) {
    Polygon* p = Drawable(polygon);
    if (p == nullptr) return;
    if constexpr (F != Family::kUnlit) {
        Renderer* r = Renderer::Current();
        constexpr Rule kOther = R == Rule::kMixed ? Rule::kModulated : Rule::kMixed;
        const int32_t switchBit = R == Rule::kMixed ? 8 : 16;
        if ((r->stateBits & switchBit) != 0) {
            p->GetMaterial()->drawRoutine = &DrawOutline<F, kOther>;
            DrawOutline<F, kOther>(polygon, camera);
            return;
        }
    }
    p->camera_ = &camera;
    p->Outline(SelectorOf(F), F, R, camera);
}

template <Family F, Rule R, bool Translucent>
void LPolygon_Direct3D::DrawSolid(LPolygon& polygon, L3DCamera& camera) {
    Polygon* p = Drawable(polygon);
    if (p == nullptr) return;
    Renderer* r = Renderer::Current();
    LMaterial& m = *p->GetMaterial();
    if constexpr (F != Family::kUnlit) {
        constexpr Rule kOther = R == Rule::kMixed ? Rule::kModulated : Rule::kMixed;
        const int32_t switchBit = R == Rule::kMixed ? 8 : 16;
        if ((r->stateBits & switchBit) != 0) {
            m.drawRoutine = &DrawSolid<F, kOther, Translucent>;
            DrawSolid<F, kOther, Translucent>(polygon, camera);
            return;
        }
    }
    if constexpr (Translucent) {
        if (Cloned(polygon)) {
            DrawSolid<F, R, false>(polygon, camera);
            return;
        }
    }
    p->camera_ = &camera;
    p->BuildTLVertices(camera);
    const uint32_t bits = m.mode & kBlendBits;
    const uint8_t alpha = Translucent ? m.alpha : 255;
    if (Translucent)
        r->SelectTranslucentState(m.color, m.alpha, SelectorOf(F), bits);
    else if (F != Family::kUnlit || r->currentKind != Renderer::kKindSolid)
        r->SelectSolidState(SelectorOf(F), bits);
    const int n = std::min(p->Count(), kMaxVertices);
    for (int i = 0; i < n; ++i)
        gVertices[i].diffuse = F == Family::kUnlit ? uint32_t(alpha) << 24 | MaterialRGB(m)
                                                   : p->LitColour(F, R, i, alpha);
    p->Fan();
    if ((m.mode & LMaterial::kWireframe) != 0)
        DrawOutline<Family::kUnlit, Rule::kMixed>(polygon, camera);
}

template <Family F, bool Translucent, bool Environment>
void LPolygon_Direct3D::DrawTextured(LPolygon& polygon, L3DCamera& camera) {
    Polygon* p = Drawable(polygon);
    if (p == nullptr) return;
    if constexpr (Translucent) {
        if (Cloned(polygon)) {
            DrawTextured<F, false, Environment>(polygon, camera);
            return;
        }
    }
    Renderer* r = Renderer::Current();
    LMaterial& m = *p->GetMaterial();
    p->camera_ = &camera;
    if constexpr (Environment) p->ComputeEnvironmentUV();
    p->BuildTLVertices(camera);
    LTexture_Direct3D* texture = TextureIn(m, 0);
    const uint32_t bits = m.mode & kBlendBits;
    if (Translucent)
        r->SelectTranslucentTextureState(texture, SelectorOf(F), bits);
    else
        r->SelectTextureState(texture, SelectorOf(F), bits);
    const int n = std::min(p->Count(), kMaxVertices);
    for (int i = 0; i < n; ++i) {
        const uint8_t* lit = F == Family::kGouraud ? p->Point(i)->frameColor : p->averageColor;
        const uint32_t rgb = uint32_t(lit[0]) << 16 | uint32_t(lit[1]) << 8 | lit[2];
        if (Translucent)
            gVertices[i].diffuse = uint32_t(m.alpha) << 24 | (F == Family::kUnlit ? 0 : rgb);
        else if (F != Family::kUnlit)
            gVertices[i].diffuse = uint32_t(lit[3]) << 24 | rgb;
    }
    p->Fan();
    if ((m.mode & LMaterial::kWireframe) != 0)
        DrawOutline<Family::kUnlit, Rule::kMixed>(polygon, camera);
}

template <Family F> void LPolygon_Direct3D::DrawTwoTextures(LPolygon& polygon, L3DCamera& camera) {
    Polygon* p = Drawable(polygon);
    if (p == nullptr) return;
    Renderer* r = Renderer::Current();
    if (r->IsCapable(0x40) == 0) return;
    LMaterial& m = *p->GetMaterial();
    p->camera_ = &camera;
    p->BuildTLVerticesTwoTextures(camera);
    const uint32_t bits = m.mode & kBlendBits;
    const bool opaque = m.alpha == 255;
    if (opaque)
        r->SelectTextureState(TextureIn(m, 0), SelectorOf(F), bits);
    else
        r->SelectTranslucentTextureState(TextureIn(m, 0), SelectorOf(F), bits);
    const int n = std::min(p->Count(), kMaxVertices);
    for (int i = 0; i < n; ++i) {
        const uint8_t* lit = F == Family::kGouraud ? p->Point(i)->frameColor : p->averageColor;
        const uint32_t rgb = uint32_t(lit[0]) << 16 | uint32_t(lit[1]) << 8 | lit[2];
        if (!opaque)
            gVertices[i].diffuse = uint32_t(m.alpha) << 24 | (F == Family::kUnlit ? 0 : rgb);
        else if (F != Family::kUnlit)
            gVertices[i].diffuse = uint32_t(lit[3]) << 24 | rgb;
    }
    r->BindTexture(1, TextureIn(m, 1));
    if (r->blendFactorCapable != 0) {
        r->RenderState(D3DRENDERSTATE_TEXTUREFACTOR,
                       DWORD(std::trunc(m.GetTextureIntensity(0) * 255.0f)) << 24);
        r->StageState(1, D3DTSS_TEXCOORDINDEX, 1);
        r->StageState(1, D3DTSS_COLORARG1, D3DTA_CURRENT);
        r->StageState(1, D3DTSS_COLOROP, D3DTOP_BLENDFACTORALPHA);
        r->StageState(1, D3DTSS_COLORARG2, D3DTA_TEXTURE);
    } else {
        r->StageState(1, D3DTSS_TEXCOORDINDEX, 1);
        r->StageState(1, D3DTSS_COLORARG1, D3DTA_TEXTURE);
        r->StageState(1, D3DTSS_COLOROP, D3DTOP_ADD);
        r->StageState(1, D3DTSS_COLORARG2, D3DTA_CURRENT);
    }
    p->Fan();
    r->StageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
    r->d3dDevice->SetTexture(1, nullptr);
}

void LPolygon_Direct3D::ClipVertexColours(LPolygon& polygon, L3DCamera& camera) {
    if (Polygon* p = Drawable(polygon)) p->Clip(camera, 1);
}

void LPolygon_Direct3D::ClipPolygonColour(LPolygon& polygon, L3DCamera& camera) {
    if (Polygon* p = Drawable(polygon)) p->Clip(camera, 0);
}

void LPolygon_Direct3D::Clip(L3DCamera& camera, int interpolateColours) {
    LMaterial* m = GetMaterial();
    if (EnvironmentMapped(m->textures[0])) LPolygon::ComputeEnvironmentUV();
    L3DPoint* clipped[L3DCamera::kMaxClipVertices];
    int count = 0;
    ClipAndProject(camera, Vertices(), GetVertexCount(), clipped, &count, interpolateColours);
    // A list longer than the shared array is left out rather than overrun.
    if (count < 3 || count > kMaxVertices) return;
    Renderer* r = Renderer::Current();
    r->RenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
    BuildClippedTLVertices(clipped, count, camera);
    clippedList_ = clipped;
    clippedCount_ = count;
    r->ClippedDraw = 1;
    r->currentSelector = Renderer::kSelectorNone;
    ++camera.polygonsDrawn;
    if (m->drawRoutine != nullptr) m->drawRoutine(*this, camera);
    r->ClippedDraw = 0;
    clippedList_ = nullptr;
    clippedCount_ = 0;
}

void LPolygon_Direct3D::DrawVertices(L3DPoint* const* points, int count, uint32_t flags) {
    Renderer* r = Renderer::Current();
    if (r == nullptr || r->d3dDevice == nullptr || count < 3 || count > kMaxVertices) return;
    const uint32_t alpha = flags & 0xFF;
    for (int i = 0; i < count; ++i) {
        const L3DPoint& p = *points[i];
        RenderVertex& v = gVertices[i];
        v.x = p.screenX;
        v.y = p.screenY;
        v.z = p.bufferDepth;
        v.rhw = p.reciprocalDepth;
        v.diffuse = alpha << 24;
        v.specular = uint32_t(p.fog) << 24;
    }
    r->d3dDevice->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DFVF_TLVERTEX2, gVertices, DWORD(count),
                                kFanFlags);
}
