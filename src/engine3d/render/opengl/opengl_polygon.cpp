#include "engine3d/render/opengl/opengl_polygon.h"

#include <cmath>

#include "engine3d/render/opengl/opengl_loader.h"
#include "engine3d/render/opengl/opengl_renderer.h"
#include "engine3d/render/opengl/opengl_texture.h"
#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/matrix.h"
#include "engine3d/scene/mesh/point.h"
#include "engine3d/scene/objects/object.h"

namespace {

using Polygon = LPolygon_OpenGL;
using Renderer = LRenderAPI_OpenGL;

// The second pass lies this much nearer, so that it wins the depth test over the first.
constexpr float kSecondPassOffset = 0.00004f;

constexpr uint32_t kAdditiveBits = LMaterial::kAdditive | LMaterial::kAdditiveSecond;

int32_t ShadeOf(int family) {
    return family == 1   ? Renderer::kShadeGouraud
           : family == 2 ? Renderer::kShadeLambert
                         : Renderer::kShadeFlat;
}

LTexture_OpenGL* TextureIn(const LMaterial& m, int slot) {
    return static_cast<LTexture_OpenGL*>(m.textures[slot]);
}

bool EnvironmentMapped(const LTexture* t) {
    return t != nullptr && (t->flags & LTexture::kEnvironmentMapping) != 0;
}

} // namespace

LPolygon_OpenGL::LPolygon_OpenGL(L3DObject* owner, int kind, LAPICLBK* backend)
    : LPolygon(owner, kind, backend) {
    Prepare();
}

LPolygon_OpenGL::Family LPolygon_OpenGL::LightingFamily() const {
    if (owner != nullptr && owner->IsGouraud() != 0) return Family::kGouraud;
    if (owner != nullptr && owner->IsLambert() != 0) return Family::kLambert;
    return Family::kUnlit;
}

uint8_t LPolygon_OpenGL::PolygonAlpha() const {
    if (owner != nullptr && owner->cloneCount > 0) return 255;
    return GetMaterial() != nullptr ? GetMaterial()->alpha : 255;
}

void LPolygon_OpenGL::Prepare() {
    LMaterial* m = GetMaterial();
    if (m == nullptr) return;
    const Family family = LightingFamily();
    const int f = int(family);
    PolygonDrawRoutine draw = nullptr;
    PolygonDrawRoutine clip = nullptr;
    if ((m->mode & LMaterial::kWireframe) != 0) draw = &DrawWireframe;
    PrepareTextureCoordinates();
    if ((m->mode & LMaterial::kHidden) != 0) {
        draw = &DrawNothing;
        clip = &DrawNothing;
    } else {
        clip = family == Family::kGouraud ? &ClipAndDrawGouraud : &ClipAndDraw;
        static constexpr PolygonDrawRoutine kDual[3] = {&DrawDualTextured, &DrawDualTexturedGouraud,
                                                        &DrawDualTexturedLambert};
        static constexpr PolygonDrawRoutine kEnv[3] = {&DrawEnvTextured, &DrawEnvTexturedGouraud,
                                                       &DrawEnvTexturedLambert};
        static constexpr PolygonDrawRoutine kTextured[3] = {&DrawTextured, &DrawTexturedGouraud,
                                                            &DrawTexturedLambert};
        static constexpr PolygonDrawRoutine kSolid[3] = {&DrawFlat, &DrawGouraud, &DrawLambert};
        if ((m->mode & LMaterial::kTextured) != 0) {
            if (m->textures[1] != nullptr)
                draw = kDual[f];
            else if (EnvironmentMapped(m->textures[0]))
                draw = kEnv[f];
            else
                draw = kTextured[f];
        } else if ((m->mode & LMaterial::kSolid) != 0) {
            draw = kSolid[f];
        } else if (draw == nullptr) {
            // Every family alike: a routine of an earlier mode must not draw this one.
            draw = &DrawNothing;
        }
    }
    m->drawRoutine = draw;
    m->drawThunk = clip;
}

void LPolygon_OpenGL::PrepareTextureCoordinates() {
    const LMaterial* m = GetMaterial();
    if (m == nullptr) return;
    for (int slot = 0; slot < 2; ++slot) {
        const LTexture* t = m->GetTexture(slot);
        for (int i = 0; i < GetVertexCount(); ++i) {
            const float* source = GetVertex(i)->texture + 2 * slot;
            float u = -source[0];
            float v = -std::fabs(source[1]);
            if (t != nullptr) {
                const float tx = t->tiling[0], ty = t->tiling[1];
                const float ax = (tx - 1) * 0.5f, ay = (ty - 1) * 0.5f;
                const float cx = 1 + ax - std::trunc(ax), cy = 1 + ay - std::trunc(ay);
                u = (source[0] - t->offset[0]) * tx - cx;
                v = cy - (source[1] - t->offset[1]) * ty;
            }
            if (slot == 0)
                SetUV(i, u, v);
            else
                SetUV2(i, u, v);
        }
    }
}

void LPolygon_OpenGL::SendVertex(const L3DPoint& p) const {
    gl11::glVertex4f(p.screenX, p.screenY, p.bufferDepth, 1);
}

void LPolygon_OpenGL::SendTexturedVertex(const L3DPoint& p, int slot, float zOffset) const {
    const float rhw = p.reciprocalDepth;
    gl11::glTexCoord4f(p.vertexUV[2 * slot] * rhw, p.vertexUV[2 * slot + 1] * rhw, 0, rhw);
    gl11::glVertex4f(p.screenX, p.screenY, p.bufferDepth - zOffset, 1);
}

void LPolygon_OpenGL::DrawVertices(L3DPoint* const* vertices, int count, uint32_t flags) {
    Renderer* r = Renderer::Current();
    const LMaterial* m = GetMaterial();
    if (r == nullptr || m == nullptr) return;
    const uint8_t alpha = uint8_t(flags & 0xFF);
    r->SelectSolidState(count, 0, Renderer::kShadeFlat, m->mode & kAdditiveBits, alpha != 255);
    gl11::glColor4ub(0, 0, 0, alpha);
    for (int i = 0; i < count; ++i)
        SendVertex(*vertices[i]);
}

void LPolygon_OpenGL::Wireframe() {
    Renderer* r = Renderer::Current();
    const LMaterial& m = *GetMaterial();
    r->SelectLineState(m.color);
    if ((m.mode & (LMaterial::kSolid | LMaterial::kTextured)) != 0)
        gl11::glColor4ub(255, 255, 255, 255);
    else
        gl11::glColor4ub(GLubyte(m.colorBytes[0]), GLubyte(m.colorBytes[1]),
                         GLubyte(m.colorBytes[2]), 255);
    const int n = Count();
    for (int i = 0; i + 1 < n; ++i) {
        SendVertex(*Point(i));
        SendVertex(*Point(i + 1));
    }
    if (n > 0) {
        SendVertex(*Point(n - 1));
        SendVertex(*Point(0));
    }
}

void LPolygon_OpenGL::Solid(Family family) {
    Renderer* r = Renderer::Current();
    const LMaterial& m = *GetMaterial();
    const uint8_t a = PolygonAlpha();
    const int n = Count();
    const uint32_t bits = m.mode & kAdditiveBits;
    const int lr = m.colorBytes[0], lg = m.colorBytes[1], lb = m.colorBytes[2];
    r->SelectSolidState(n, m.color, ShadeOf(int(family)), bits, a != 255);
    if (family == Family::kUnlit) {
        gl11::glColor4ub(GLubyte(lr), GLubyte(lg), GLubyte(lb), a);
    } else if (family == Family::kLambert) {
        gl11::glColor4ub(GLubyte(averageColor[0] * lr >> 8), GLubyte(averageColor[1] * lg >> 8),
                         GLubyte(averageColor[2] * lb >> 8), a);
    }
    for (int i = 0; i < n; ++i) {
        const L3DPoint& p = *Point(i);
        if (family == Family::kGouraud)
            gl11::glColor4ub(GLubyte(p.frameColor[0] * lr >> 8), GLubyte(p.frameColor[1] * lg >> 8),
                             GLubyte(p.frameColor[2] * lb >> 8), a);
        SendVertex(p);
    }
    if ((m.mode & LMaterial::kWireframe) != 0) Wireframe();
}

void LPolygon_OpenGL::Textured(Family family) {
    Renderer* r = Renderer::Current();
    const LMaterial& m = *GetMaterial();
    LTexture_OpenGL* t0 = TextureIn(m, 0);
    if (t0 == nullptr) return;
    if (!clipped_) CopyUVToVertices();
    const uint8_t a = PolygonAlpha();
    const uint8_t a1 = m.textures[1] != nullptr ? uint8_t(m.GetTextureIntensity(0) * float(a)) : a;
    const int n = Count();
    r->SelectTextureState(n, t0, ShadeOf(int(family)), m.mode & kAdditiveBits, a1);
    if (family == Family::kLambert)
        gl11::glColor4ub(averageColor[0], averageColor[1], averageColor[2],
                         GLubyte(averageColor[3] * a1 / 255));
    for (int i = 0; i < n; ++i) {
        const L3DPoint& p = *Point(i);
        if (family == Family::kGouraud)
            gl11::glColor4ub(p.frameColor[0], p.frameColor[1], p.frameColor[2],
                             GLubyte(p.frameColor[3] * a1 / 255));
        SendTexturedVertex(p, 0, 0);
    }
    if ((m.mode & LMaterial::kWireframe) != 0) Wireframe();
}

void LPolygon_OpenGL::Dual(Family family, L3DCamera& camera) {
    Renderer* r = Renderer::Current();
    const LMaterial& m = *GetMaterial();
    LTexture_OpenGL* t0 = TextureIn(m, 0);
    LTexture_OpenGL* t1 = TextureIn(m, 1);
    if (t0 == nullptr || t1 == nullptr) return;
    if (EnvironmentMapped(t0)) ComputeEnvironmentUV();
    Textured(family);
    const uint8_t a2 = uint8_t(m.GetTextureIntensity(1) * float(PolygonAlpha()));
    const int n = Count();
    r->SelectTextureState(n, t1, ShadeOf(int(family)), m.mode & kAdditiveBits, a2);
    gl11::glEnd();
    gl11::glBegin(n == 3 ? gl::TRIANGLES : gl::TRIANGLE_FAN);
    float view[16] = {};
    const bool environment = EnvironmentMapped(t1) && !clipped_ && owner != nullptr;
    if (environment) MatrixMultiply(camera.viewMatrix, owner->worldMatrix, view);
    for (int i = 0; i < n; ++i) {
        const L3DPoint& p = *Point(i);
        if (family == Family::kGouraud)
            gl11::glColor4ub(averageColor[0], averageColor[1], averageColor[2],
                             GLubyte(p.frameColor[3] * a2 / 255));
        else if (family == Family::kLambert)
            gl11::glColor4ub(p.frameColor[0], p.frameColor[1], p.frameColor[2],
                             GLubyte(averageColor[3] * a2 / 255));
        float s = p.vertexUV[2], t = p.vertexUV[3];
        if (environment) {
            const float x = view[0] * p.normal[0] + view[1] * p.normal[1];
            const float y = view[4] * p.normal[0] + view[5] * p.normal[1];
            s = (1 - x) * 0.5f;
            t = (y + 1) * 0.5f;
        }
        const float rhw = p.reciprocalDepth;
        gl11::glTexCoord4f(s * rhw, t * rhw, 0, rhw);
        gl11::glVertex4f(p.screenX, p.screenY, p.bufferDepth - kSecondPassOffset, 1);
    }
    gl11::glEnd();
    if (family == Family::kGouraud) gl11::glDisable(gl::BLEND);
    gl11::glBegin(gl::TRIANGLES);
}

namespace {

// The routine's polygon, drawing its own points unless a clipped list is lent; null when
// there is no OpenGL renderer to draw with.
Polygon* Prepared(LPolygon& polygon) {
    if (Renderer::Current() == nullptr || polygon.GetMaterial() == nullptr) return nullptr;
    return &static_cast<Polygon&>(polygon);
}

} // namespace

void LPolygon_OpenGL::DrawNothing(LPolygon&, L3DCamera&) {}

#define ZORV_ROUTINE(name, body)                                                                   \
    void LPolygon_OpenGL::name(LPolygon& polygon, L3DCamera& camera) {                             \
        Polygon* p = Prepared(polygon);                                                            \
        if (p == nullptr) return;                                                                  \
        if (!p->clipped_) {                                                                        \
            p->drawList_ = p->Vertices();                                                          \
            p->drawCount_ = p->GetVertexCount();                                                   \
        }                                                                                          \
        (void)camera;                                                                              \
        body;                                                                                      \
    }

ZORV_ROUTINE(DrawWireframe, p->Wireframe())
ZORV_ROUTINE(DrawFlat, p->Solid(Family::kUnlit))
ZORV_ROUTINE(DrawGouraud, p->Solid(Family::kGouraud))
ZORV_ROUTINE(DrawLambert, p->Solid(Family::kLambert))
ZORV_ROUTINE(DrawTextured, p->Textured(Family::kUnlit))
ZORV_ROUTINE(DrawTexturedGouraud, p->Textured(Family::kGouraud))
ZORV_ROUTINE(DrawTexturedLambert, p->Textured(Family::kLambert))
ZORV_ROUTINE(DrawEnvTextured, p->ComputeEnvironmentUV(); p->Textured(Family::kUnlit))
ZORV_ROUTINE(DrawEnvTexturedGouraud, p->ComputeEnvironmentUV(); p->Textured(Family::kGouraud))
ZORV_ROUTINE(DrawEnvTexturedLambert, p->ComputeEnvironmentUV(); p->Textured(Family::kLambert))
ZORV_ROUTINE(DrawDualTextured, p->Dual(Family::kUnlit, camera))
ZORV_ROUTINE(DrawDualTexturedGouraud, p->Dual(Family::kGouraud, camera))
ZORV_ROUTINE(DrawDualTexturedLambert, p->Dual(Family::kLambert, camera))
ZORV_ROUTINE(ClipAndDraw, p->ClipWith(camera, 0))
ZORV_ROUTINE(ClipAndDrawGouraud, p->ClipWith(camera, 1))

#undef ZORV_ROUTINE

void LPolygon_OpenGL::ClipWith(L3DCamera& camera, int interpolateColours) {
    LMaterial* m = GetMaterial();
    L3DPoint* clipped[L3DCamera::kMaxClipVertices];
    int count = 0;
    ClipAndProject(camera, Vertices(), GetVertexCount(), clipped, &count, interpolateColours);
    // A list longer than the routines' coordinate room is left out rather than overrun.
    if (count < 3 || count > kMaxClippedVertices || m->drawRoutine == nullptr) return;
    Renderer* r = Renderer::Current();
    r->ResetStateCache();
    drawList_ = clipped;
    drawCount_ = count;
    clipped_ = true;
    r->ClippedDraw = 1;
    ++camera.polygonsDrawn;
    m->drawRoutine(*this, camera);
    r->ClippedDraw = 0;
    clipped_ = false;
    drawList_ = Vertices();
    drawCount_ = GetVertexCount();
}
