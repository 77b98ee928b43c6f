#include <algorithm>
#include <array>
#include <cstring>

#include "engine3d/render/opengl/opengl_loader.h"
#include "engine3d/render/opengl/opengl_renderer.h"
#include "engine3d/render/opengl/opengl_texture.h"
#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/mesh/material_batch.h"
#include "engine3d/scene/objects/object.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/render/frame_state.h"
#include "engine3d/scene/sprites/sprite.h"
#include "platform/gdi/screen_dc.h"
#include "platform/gl/offscreen.h"

namespace {

constexpr float kByteToUnit = 1.0f / 255.0f;

uint8_t Red(uint32_t colour) {
    return uint8_t(colour & 0xFF);
}
uint8_t Green(uint32_t colour) {
    return uint8_t(colour >> 8 & 0xFF);
}
uint8_t Blue(uint32_t colour) {
    return uint8_t(colour >> 16 & 0xFF);
}

// Additive bits first, then plain translucency; else opaque.
void ApplyBlend(uint32_t modeBits, bool translucent) {
    if (modeBits != 0) {
        gl11::glEnable(gl::BLEND);
        if ((modeBits & LMaterial::kAdditiveSecond) == 0) gl11::glDisable(gl::DEPTH_TEST);
        gl11::glBlendFunc(gl::SRC_ALPHA, gl::ONE);
    } else if (translucent) {
        gl11::glEnable(gl::BLEND);
        gl11::glBlendFunc(gl::SRC_ALPHA, gl::ONE_MINUS_SRC_ALPHA);
    } else {
        gl11::glDisable(gl::BLEND);
    }
}

void ApplyColourKey(const LTexture& texture) {
    if ((texture.flags & LTexture::kColorKey) != 0) {
        gl11::glEnable(gl::ALPHA_TEST);
        gl11::glAlphaFunc(gl::NOTEQUAL, 0);
    } else {
        gl11::glDisable(gl::ALPHA_TEST);
    }
}

// A record's diffuse word is 0xAARRGGBB.
struct RecordColour {
    int red, green, blue, alpha;
};
RecordColour ColourOf(const RenderVertex& v) {
    return {int(v.diffuse >> 16 & 0xFF), int(v.diffuse >> 8 & 0xFF), int(v.diffuse & 0xFF),
            int(v.diffuse >> 24)};
}

RecordColour MeanOf(const RenderVertex& a, const RenderVertex& b, const RenderVertex& c) {
    const RecordColour x = ColourOf(a), y = ColourOf(b), z = ColourOf(c);
    return {(x.red + y.red + z.red) / 3, (x.green + y.green + z.green) / 3,
            (x.blue + y.blue + z.blue) / 3, (x.alpha + y.alpha + z.alpha) / 3};
}

} // namespace

void LRenderAPI_OpenGL::OpenPrimitive(int count) {
    gl11::glBegin(count == 3 ? gl::TRIANGLES : gl::TRIANGLE_FAN);
    currentPrimitiveSize = count;
}

void LRenderAPI_OpenGL::ContinueOrReopen(int count) {
    if (count == 3 && currentPrimitiveSize == 3) return;
    gl11::glEnd();
    OpenPrimitive(count);
}

void LRenderAPI_OpenGL::RenderFrame() {
    if ((flags & kMemoryTarget) != 0) {
        RenderIntoTexture();
        return;
    }
    LockRender();
    if (world == nullptr || world->glContext == 0 || setUpResult != 0) {
        UnlockRender();
        return;
    }
    const HDC dc = GetDC(targetWindow);
    // Without the window's frame current, drawing would land in another's.
    if (gl11::wglMakeCurrent(dc, world->glContext) == 0) {
        ReleaseDC(targetWindow, dc);
        UnlockRender();
        return;
    }
    frameDC_ = dc;
    ApplyPipelineState(view != nullptr ? Culling::kFromWorld : Culling::kKept);
    BecomeCurrent();
    LRenderAPICLBK* previous = GetCurrentRenderer();
    SetCurrentRenderer(this);
    currentPrimitiveSize = 3;
    BeginFrame();
    gl11::glBegin(gl::TRIANGLES);
    if (view != nullptr) view->DrawWorld(this);
    gl11::glEnd();
    Present(dc);
    frameDC_ = 0;
    ReleaseDC(targetWindow, dc);
    SetCurrentRenderer(previous);
    UnlockRender();
}

void LRenderAPI_OpenGL::RenderIntoTexture() {
    LockRender();
    LTexture* target = targetTexture;
    const uint32_t bytes = (depth + 7u) / 8u;
    // The frame goes into the texture's pixels only when they hold it whole, in a depth
    // the read-back writes.
    if (world == nullptr || world->glContext == 0 || setUpResult != 0 || target == nullptr ||
        target->pixels == nullptr || (depth != 16 && depth != 24 && depth != 32) ||
        target->pitch < width * bytes || target->height < height ||
        (target->bitsPerPixel + 7u) / 8u != bytes) {
        UnlockRender();
        return;
    }
    LRenderAPI_OpenGL* outer = Current();
    const bool interrupts = outer != nullptr && outer != this && outer->frameDC_ != 0;
    if (interrupts) gl11::glEnd();
    LRenderAPICLBK* previous = GetCurrentRenderer();
    if (platform::MakeCurrentOffscreen(world->glContext, int(width), int(height))) {
        ApplyPipelineState(view != nullptr ? Culling::kFromWorld : Culling::kKept);
        BecomeCurrent();
        SetCurrentRenderer(this);
        currentPrimitiveSize = 3;
        BeginFrame();
        gl11::glBegin(gl::TRIANGLES);
        if (view != nullptr) view->DrawWorld(this);
        gl11::glEnd();
        gl11::glFinish();
        ClearGLErrors();
        platform::ReadOffscreenFrame(target->pixels, int(target->pitch), depth);
        // The texture shows the new frame at its next use.
        target->ReleaseDeviceCopy();
    }
    if (interrupts) {
        // No primitive is left open: the window's frame clears again before it goes on
        // (a clear inside glBegin would be lost), and its next selector opens one.
        gl11::wglMakeCurrent(outer->frameDC_, world->glContext);
        outer->ApplyPipelineState(Culling::kFromWorld);
        outer->BecomeCurrent();
        outer->ResetStateCache();
    }
    SetCurrentRenderer(previous);
    UnlockRender();
}

void LRenderAPI_OpenGL::BeginFrame() {
    ResetStateCache();
    if ((flags & kClearEachFrame) != 0)
        gl11::glClearColor(float(Red(background)) * kByteToUnit,
                           float(Green(background)) * kByteToUnit,
                           float(Blue(background)) * kByteToUnit, 1.0f);
    if (view != nullptr) {
        // Cameras turn fog on as linear fog (byte 2); any other non-zero byte reads the same.
        if (view->fogMode == L3DCamera::kFogOff) {
            gl11::glDisable(gl::FOG);
        } else {
            float start = 0, end = 0;
            view->GetFogRange(&start, &end);
            const GLfloat colour[4] = {float(view->fogColor[0]) * kByteToUnit,
                                       float(view->fogColor[1]) * kByteToUnit,
                                       float(view->fogColor[2]) * kByteToUnit, 1.0f};
            gl11::glFogi(gl::FOG_MODE, GLint(gl::LINEAR));
            gl11::glFogf(gl::FOG_START, start);
            gl11::glFogf(gl::FOG_END, end);
            gl11::glFogf(gl::FOG_DENSITY, view->GetFogDensity());
            gl11::glFogfv(gl::FOG_COLOR, colour);
            gl11::glEnable(gl::FOG);
            gl11::glClearColor(colour[0], colour[1], colour[2], 1.0f);
        }
    }
    const bool depthBuffer = (flags & kDepthBuffer) != 0;
    const bool clearColour = (flags & kClearEachFrame) != 0;
    if (depthBuffer && clearColour)
        gl11::glClear(gl::COLOR_BUFFER_BIT | gl::DEPTH_BUFFER_BIT);
    else if (depthBuffer)
        gl11::glClear(gl::DEPTH_BUFFER_BIT);
    else if (clearColour)
        gl11::glClear(gl::COLOR_BUFFER_BIT);
}

void LRenderAPI_OpenGL::Present(HDC dc) {
    gl11::glFinish();
    if ((flags & kStatistics) != 0) {
        char text[256] = {};
        UpdateFrameStatistics(text, sizeof text, 1);
        gl11::glDepthFunc(gl::ALWAYS);
        gl11::glColor4ub(255, 255, 255, 255);
        gl11::glRasterPos2f(1.0f, 11.0f);
        gl11::glCallLists(GLsizei(strnlen(text, sizeof text)), gl::UNSIGNED_BYTE, text);
        gl11::glFlush();
        gl11::glDepthFunc(gl::LESS);
    }
    // A frame closes primitives that were never opened; the errors that leaves are of no
    // use to anyone, and the swap must not take them for its own.
    ClearGLErrors();
    if (GetOpenGLWindowCalls().swapBuffers != nullptr) GetOpenGLWindowCalls().swapBuffers(dc);
}

void LRenderAPI_OpenGL::BeginDepthOverwrite() {
    gl11::glEnd();
    depthOverwrite = 1;
    ResetStateCache();
    gl11::glClearDepth(0.0);
    ApplyCulling();
    gl11::glClear(gl::DEPTH_BUFFER_BIT);
    gl11::glDepthFunc(gl::ALWAYS);
    gl11::glBegin(gl::TRIANGLES);
    currentPrimitiveSize = 3;
}

void LRenderAPI_OpenGL::EndDepthOverwrite() {
    gl11::glEnd();
    gl11::glDepthFunc(gl::LESS);
    ApplyCulling();
    gl11::glBegin(gl::TRIANGLES);
    currentPrimitiveSize = 3;
}

void LRenderAPI_OpenGL::ResetDepthBuffer() {
    gl11::glEnd();
    gl11::glDepthFunc(gl::LESS);
    ApplyCulling();
    gl11::glClearDepth(1.0);
    gl11::glClear(gl::DEPTH_BUFFER_BIT);
    ResetStateCache();
    depthOverwrite = 0;
    gl11::glBegin(gl::TRIANGLES);
    currentPrimitiveSize = 3;
}

void LRenderAPI_OpenGL::SelectLineState(uint32_t colour) {
    if (currentKind == kKindLines && currentColour == int64_t(colour)) return;
    currentKind = kKindLines;
    currentTexture = nullptr;
    currentColour = colour;
    gl11::glEnd();
    gl11::glDisable(gl::TEXTURE_2D);
    gl11::glDisable(gl::BLEND);
    gl11::glPolygonMode(gl::FRONT_AND_BACK, gl::LINE);
    gl11::glBegin(gl::LINES);
    // Lines are no polygon: a following polygon never continues them.
    currentPrimitiveSize = 0;
    gl11::glColor4ub(Red(colour), Green(colour), Blue(colour), 255);
}

void LRenderAPI_OpenGL::SelectSolidState(int count, uint32_t colour, int32_t shade,
                                         uint32_t modeBits, int translucent) {
    if (currentKind == kKindSolid && currentColour == int64_t(colour)) {
        ContinueOrReopen(count);
    } else {
        currentKind = kKindSolid;
        currentTexture = nullptr;
        gl11::glEnd();
        gl11::glEnable(gl::DEPTH_TEST);
        ApplyBlend(modeBits, translucent != 0);
        gl11::glDisable(gl::TEXTURE_2D);
        gl11::glPolygonMode(gl::FRONT_AND_BACK, gl::FILL);
        if (shade == kShadeFlat) {
            gl11::glColor4ub(Red(colour), Green(colour), Blue(colour), 255);
            gl11::glShadeModel(gl::FLAT);
        } else if (shade == kShadeGouraud) {
            gl11::glShadeModel(gl::SMOOTH);
        } else if (shade == kShadeLambert) {
            gl11::glShadeModel(gl::FLAT);
        }
        OpenPrimitive(count);
    }
    currentColour = colour;
}

void LRenderAPI_OpenGL::SelectTextureState(int count, LTexture_OpenGL* texture, int32_t shade,
                                           uint32_t modeBits, uint8_t alpha) {
    if (currentKind == kKindTextured && currentTexture == texture) {
        ContinueOrReopen(count);
        return;
    }
    gl11::glEnd();
    currentColour = -1;
    currentKind = kKindTextured;
    gl11::glPolygonMode(gl::FRONT_AND_BACK, gl::FILL);
    gl11::glEnable(gl::TEXTURE_2D);
    if (texture->deviceCopy == nullptr) texture->UploadTexture();
    gl11::glBindTexture(gl::TEXTURE_2D, texture->textureName);
    gl11::glColor4ub(255, 255, 255, alpha);
    gl11::glEnable(gl::DEPTH_TEST);
    ApplyBlend(modeBits, alpha < 255 || texture->GetAlphaPlane() != nullptr);
    ApplyColourKey(*texture);
    if (shade == kShadeFlat || shade == kShadeLambert)
        gl11::glShadeModel(gl::FLAT);
    else if (shade == kShadeGouraud)
        gl11::glShadeModel(gl::SMOOTH);
    OpenPrimitive(count);
    currentTexture = texture;
}

void LRenderAPI_OpenGL::DrawBatchPass(const LCacheMaterial& batch, bool gouraud, bool lambert,
                                      int slot, uint8_t passAlpha, int mode) {
    const uint32_t count = batch.indexCount / 3 * 3;
    const uint16_t* index = batch.Indices();
    const std::vector<RenderVertex>& records = batch.records;
    const LMaterial& m = *batch.material;
    const bool textured = mode == LMaterial::kTextured;
    const int cr = Red(m.color), cg = Green(m.color), cb = Blue(m.color);
    gl11::glShadeModel(gouraud ? gl::SMOOTH : gl::FLAT);
    if (!textured && !gouraud && !lambert)
        gl11::glColor4ub(GLubyte(cr), GLubyte(cg), GLubyte(cb), passAlpha);
    if (count == 0) return;
    // A lit colour as the pass sends it: the record's own under a texture, else tinted by
    // the material's colour.
    const auto lit = [&](const RecordColour& c) -> std::array<GLubyte, 4> {
        if (textured)
            return {GLubyte(c.red), GLubyte(c.green), GLubyte(c.blue),
                    GLubyte(c.alpha * passAlpha / 255)};
        return {GLubyte(c.red * cr >> 8), GLubyte(c.green * cg >> 8), GLubyte(c.blue * cb >> 8),
                passAlpha};
    };
    // Colours go as floats of byte / 255, the very values glColor4ub gives GL, so that
    // nothing is rounded differently.
    const auto putColour = [](float* out, const std::array<GLubyte, 4>& c) {
        for (int k = 0; k < 4; ++k)
            out[k] = float(c[size_t(k)]) / 255.0f;
    };
    // Vertices are already on the screen (w stays 1); the texture coordinates carry the
    // reciprocal depth so that GL divides them per pixel.
    const auto putCoordinates = [slot](float* out, const RenderVertex& v) {
        out[0] = (slot == 0 ? v.u1 : v.u2) * v.rhw;
        out[1] = (slot == 0 ? v.v1 : v.v2) * v.rhw;
        out[2] = 0;
        out[3] = v.rhw;
    };
    const bool coloured = gouraud || lambert;
    // Shared records for every pass but a flat-lit one, whose triangles each have a colour
    // of their own and so corners of their own.
    const size_t n = lambert ? count : records.size();
    if (coloured) batchColours_.resize(n * 4);
    if (textured) batchCoordinates_.resize(n * 4);
    std::array<GLubyte, 4> last{};
    if (lambert) {
        batchCorners_.resize(n * 3);
        for (uint32_t g = 0; g < count; g += 3) {
            const RenderVertex* v[3] = {&records[index[g]], &records[index[g + 1]],
                                        &records[index[g + 2]]};
            last = lit(MeanOf(*v[0], *v[1], *v[2]));
            for (uint32_t k = 0; k < 3; ++k) {
                float* corner = &batchCorners_[(g + k) * 3];
                corner[0] = v[k]->x;
                corner[1] = v[k]->y;
                corner[2] = v[k]->z;
                putColour(&batchColours_[(g + k) * 4], last);
                if (textured) putCoordinates(&batchCoordinates_[(g + k) * 4], *v[k]);
            }
        }
    } else {
        for (size_t i = 0; i < n; ++i) {
            if (gouraud) putColour(&batchColours_[i * 4], lit(ColourOf(records[i])));
            if (textured) putCoordinates(&batchCoordinates_[i * 4], records[i]);
        }
        if (gouraud) last = lit(ColourOf(records[index[count - 1]]));
    }
    gl11::glEnableClientState(gl::VERTEX_ARRAY);
    if (lambert)
        gl11::glVertexPointer(3, gl::FLOAT, 0, batchCorners_.data());
    else
        gl11::glVertexPointer(3, gl::FLOAT, GLsizei(sizeof(RenderVertex)), &records[0].x);
    if (coloured) {
        gl11::glEnableClientState(gl::COLOR_ARRAY);
        gl11::glColorPointer(4, gl::FLOAT, 0, batchColours_.data());
    }
    if (textured) {
        gl11::glEnableClientState(gl::TEXTURE_COORD_ARRAY);
        gl11::glTexCoordPointer(4, gl::FLOAT, 0, batchCoordinates_.data());
    }
    if (lambert)
        gl11::glDrawArrays(gl::TRIANGLES, 0, GLsizei(count));
    else
        gl11::glDrawElements(gl::TRIANGLES, GLsizei(count), gl::UNSIGNED_SHORT, index);
    if (textured) gl11::glDisableClientState(gl::TEXTURE_COORD_ARRAY);
    if (coloured) gl11::glDisableClientState(gl::COLOR_ARRAY);
    gl11::glDisableClientState(gl::VERTEX_ARRAY);
    // An array leaves GL's current colour undefined; what follows finds the last one sent,
    // as it would after vertices sent one by one.
    if (coloured) gl11::glColor4ub(last[0], last[1], last[2], last[3]);
}

void LRenderAPI_OpenGL::DrawPolygonBatch(LCacheMaterial* batch, L3DCamera* camera,
                                         L3DObject* object) {
    gl11::glEnd();
    ResetStateCache();
    if (batch == nullptr || batch->material == nullptr) return;
    const LMaterial& m = *batch->material;
    // Every index must name a record: a batch that does not is not drawn at all.
    const uint32_t indexCount =
        std::min<uint32_t>(batch->indexCount, uint32_t(batch->indices.size()));
    for (uint32_t i = 0; i < indexCount; ++i)
        if (batch->indices[i] >= batch->records.size()) return;
    if (indexCount != batch->indexCount) return;
    const uint8_t a = object != nullptr && object->cloneCount > 0 ? 255 : m.alpha;
    if (depthOverwrite == 0) ApplyCulling();
    gl11::glDisable(gl::ALPHA_TEST);
    const bool gouraud = object != nullptr && object->IsGouraud() != 0;
    const bool lambert = !gouraud && object != nullptr && object->IsLambert() != 0;
    const GLenum polygonMode = (m.mode & LMaterial::kWireframe) != 0 ? gl::LINE : gl::FILL;
    const uint32_t modeBits = m.mode & (LMaterial::kAdditive | LMaterial::kAdditiveSecond);
    bool drawn = false;
    if ((m.mode & LMaterial::kTextured) != 0) {
        auto* t0 = static_cast<LTexture_OpenGL*>(m.textures[0]);
        auto* t1 = static_cast<LTexture_OpenGL*>(m.textures[1]);
        if (t0 == nullptr) return;
        const bool dual = t1 != nullptr && t1 != t0;
        const uint8_t a0 = dual ? uint8_t(m.GetTextureIntensity(0) * float(a)) : a;
        gl11::glPolygonMode(gl::FRONT_AND_BACK, polygonMode);
        gl11::glEnable(gl::TEXTURE_2D);
        if (t0->deviceCopy == nullptr) t0->UploadTexture();
        gl11::glBindTexture(gl::TEXTURE_2D, t0->textureName);
        gl11::glColor4ub(255, 255, 255, a0);
        ApplyBlend(modeBits, a0 < 255 || t0->GetAlphaPlane() != nullptr);
        DrawBatchPass(*batch, gouraud, lambert, 0, a0, LMaterial::kTextured);
        if (dual) {
            gl11::glEnable(gl::BLEND);
            gl11::glBlendFunc(gl::SRC_ALPHA, gl::ONE_MINUS_SRC_ALPHA);
            if (t1->deviceCopy == nullptr) t1->UploadTexture();
            const uint8_t a1 = uint8_t(m.GetTextureIntensity(1) * float(a));
            gl11::glBindTexture(gl::TEXTURE_2D, t1->textureName);
            gl11::glEnable(gl::TEXTURE_2D);
            gl11::glPolygonMode(gl::FRONT_AND_BACK, polygonMode);
            gl11::glColor4ub(255, 255, 255, a1);
            DrawBatchPass(*batch, gouraud, lambert, 1, a1, LMaterial::kTextured);
        } else {
            gl11::glDisable(gl::BLEND);
            gl11::glEnable(gl::DEPTH_TEST);
        }
        drawn = true;
    } else if ((m.mode & (LMaterial::kWireframe | LMaterial::kSolid)) != 0) {
        gl11::glDisable(gl::TEXTURE_2D);
        gl11::glPolygonMode(gl::FRONT_AND_BACK, polygonMode);
        DrawBatchPass(*batch, gouraud, lambert, 0, a, LMaterial::kSolid);
        drawn = true;
    }
    if (!drawn) return;
    if (camera != nullptr) camera->polygonsDrawn += indexCount / 3;
    if (modeBits != 0) {
        gl11::glDisable(gl::BLEND);
        if ((modeBits & LMaterial::kAdditiveSecond) == 0) gl11::glEnable(gl::DEPTH_TEST);
    }
}

void LRenderAPI_OpenGL::SendSpriteCorners(const LSprite& sprite, float w, float h, bool textured) {
    // The right and bottom edges are pushed out by one pixel, so that a sprite covers its
    // last column and row as the other back ends' fillers do.
    static constexpr float kDx[4] = {0, 1, 1, 0};
    static constexpr float kDy[4] = {0, 0, 1, 1};
    for (int i = 0; i < 4; ++i) {
        const SpriteCorner& c = sprite.corners[i];
        if (textured) gl11::glTexCoord4f(w > 0 ? c.u / w : 0, h > 0 ? c.v / h : 0, 0, 1);
        gl11::glVertex4f(c.x + kDx[i], c.y + kDy[i], 0, 1);
    }
}

void LRenderAPI_OpenGL::DrawElement2D(L3DCamera*, LSprite* sprite) {
    if (sprite == nullptr) return;
    gl11::glEnd();
    gl11::glDisable(gl::DEPTH_TEST);
    gl11::glDisable(gl::CULL_FACE);
    gl11::glBegin(gl::TRIANGLE_FAN);
    const uint32_t mode = sprite->drawMode;
    const uint8_t r = Red(sprite->color), g = Green(sprite->color), b = Blue(sprite->color);
    const uint8_t alpha = uint8_t(sprite->alpha > 255 ? 255 : sprite->alpha);
    auto* texture = static_cast<LTexture_OpenGL*>(sprite->texture);
    const bool nearest =
        (mode & LSprite::kTextured) != 0 && texture != nullptr && sprite->filtering == 0;
    if ((mode & LSprite::kTextured) != 0 && texture != nullptr) {
        if (currentKind != kKindTextured || currentTexture != texture) {
            gl11::glEnd();
            if (texture->deviceCopy == nullptr) texture->UploadTexture();
            currentKind = kKindTextured;
            currentColour = -1;
            gl11::glColor4ub(255, 255, 255, alpha);
            if (alpha < 255) {
                gl11::glEnable(gl::BLEND);
                gl11::glBlendFunc(gl::SRC_ALPHA, gl::ONE_MINUS_SRC_ALPHA);
            } else {
                gl11::glDisable(gl::BLEND);
            }
            ApplyColourKey(*texture);
            gl11::glPolygonMode(gl::FRONT_AND_BACK, gl::FILL);
            gl11::glEnable(gl::TEXTURE_2D);
            gl11::glBindTexture(gl::TEXTURE_2D, texture->textureName);
            gl11::glBegin(gl::TRIANGLE_FAN);
            currentTexture = texture;
        }
        if (nearest) {
            gl11::glEnd();
            gl11::glTexParameteri(gl::TEXTURE_2D, gl::TEXTURE_MIN_FILTER, GLint(gl::NEAREST));
            gl11::glTexParameteri(gl::TEXTURE_2D, gl::TEXTURE_MAG_FILTER, GLint(gl::NEAREST));
            gl11::glBegin(gl::TRIANGLE_FAN);
        }
        SendSpriteCorners(*sprite, float(texture->width), float(texture->height), true);
    } else if ((mode & LSprite::kSolid) != 0) {
        // The colour is sent here, not by a selector: the next polygon must send its own.
        currentColour = -1;
        if (currentKind != kKindSolid) {
            currentKind = kKindSolid;
            currentTexture = nullptr;
            gl11::glEnd();
            gl11::glDisable(gl::TEXTURE_2D);
            gl11::glPolygonMode(gl::FRONT_AND_BACK, gl::FILL);
            gl11::glBegin(gl::TRIANGLE_FAN);
        }
        gl11::glEnd();
        if (alpha < 255) {
            gl11::glColor4ub(r, g, b, alpha);
            gl11::glEnable(gl::BLEND);
            gl11::glBlendFunc(gl::SRC_ALPHA, gl::ONE_MINUS_SRC_ALPHA);
            gl11::glBegin(gl::TRIANGLE_FAN);
        } else {
            gl11::glDisable(gl::BLEND);
            gl11::glBegin(gl::TRIANGLE_FAN);
            gl11::glColor4ub(r, g, b, 255);
        }
        SendSpriteCorners(*sprite, 0, 0, false);
    }
    if ((mode & 2) != 0) {
        currentKind = kKindLines;
        currentTexture = nullptr;
        currentColour = -1;
        gl11::glEnd();
        gl11::glDisable(gl::TEXTURE_2D);
        gl11::glPolygonMode(gl::FRONT_AND_BACK, gl::LINE);
        gl11::glBegin(gl::TRIANGLE_FAN);
        gl11::glColor4ub(r, g, b, alpha);
        SendSpriteCorners(*sprite, 0, 0, false);
    }
    gl11::glEnd();
    if (nearest) {
        // The texture is filtered again for everything else that draws it.
        gl11::glTexParameteri(gl::TEXTURE_2D, gl::TEXTURE_MIN_FILTER,
                              GLint(gl::NEAREST_MIPMAP_LINEAR));
        gl11::glTexParameteri(gl::TEXTURE_2D, gl::TEXTURE_MAG_FILTER, GLint(gl::LINEAR));
    }
    gl11::glEnable(gl::DEPTH_TEST);
    gl11::glBegin(gl::TRIANGLE_FAN);
    // The fan left open must not be taken for a list of triangles by the next polygon.
    currentPrimitiveSize = 4;
}

void LRenderAPI_OpenGL::DrawQuad(L3DCamera*, LSprite* backdrop) {
    if (backdrop == nullptr) return;
    gl11::glEnd();
    gl11::glDisable(gl::DEPTH_TEST);
    gl11::glDisable(gl::CULL_FACE);
    gl11::glBegin(gl::TRIANGLE_FAN);
    auto* texture = static_cast<LTexture_OpenGL*>(backdrop->texture);
    if ((backdrop->drawMode & LSprite::kTextured) != 0 && texture != nullptr) {
        const uint8_t alpha = uint8_t(backdrop->alpha > 255 ? 255 : backdrop->alpha);
        if (currentKind != kKindTextured || currentTexture != texture) {
            gl11::glEnd();
            if (texture->deviceCopy == nullptr) texture->UploadTexture();
            currentKind = kKindTextured;
            currentColour = -1;
            gl11::glColor4ub(255, 255, 255, alpha);
            if (alpha < 255) {
                gl11::glEnable(gl::BLEND);
                gl11::glBlendFunc(gl::SRC_ALPHA, gl::ONE_MINUS_SRC_ALPHA);
            } else {
                gl11::glDisable(gl::BLEND);
            }
            gl11::glPolygonMode(gl::FRONT_AND_BACK, gl::FILL);
            gl11::glEnable(gl::TEXTURE_2D);
            gl11::glBindTexture(gl::TEXTURE_2D, texture->textureName);
            gl11::glBegin(gl::TRIANGLE_FAN);
            currentTexture = texture;
        }
        SendSpriteCorners(*backdrop, float(texture->width), float(texture->height), true);
    }
    gl11::glEnd();
    gl11::glEnable(gl::DEPTH_TEST);
    gl11::glBegin(gl::TRIANGLE_FAN);
    currentPrimitiveSize = 4;
}
