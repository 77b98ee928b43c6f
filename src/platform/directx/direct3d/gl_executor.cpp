// Direct3D's fixed function on OpenGL's (compatibility profile). Transformed and lit
// vertices are given as (x/rhw, y/rhw, z/rhw, 1/rhw) under an orthographic projection of
// the target, so that GL interpolates colours and texture coordinates with perspective
// while z stays linear on the screen. The projection maps the renderer's screen
// coordinates one to one: its projection already puts pixel centres between whole
// coordinates, as the software renderer samples them, and shifting by Direct3D's half pixel
// moved every edge and line a pixel away from where that renderer draws it.
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <map>
#include <mutex>
#include <set>
#include <type_traits>
#include <vector>

#include "platform/directx/direct3d/d3d_executor.h"
#include "platform/directx/direct3d/d3d_objects.h"
#include "platform/directx/direct3d/direct3d_test_hooks.h"
#include "platform/directx/direct3d/texels.h"
#include "platform/gl/context_provider.h"

namespace platform::d3d {
namespace {

// States and values of Direct3D that the layer's own declarations leave out.
constexpr DWORD kTextureFactorArgument = 3; // D3DTA_TFACTOR
constexpr DWORD kComplement = 0x10;         // D3DTA_COMPLEMENT
constexpr DWORD kAlphaReplicate = 0x20;     // D3DTA_ALPHAREPLICATE
constexpr DWORD kSelectArg2 = 3;            // D3DTOP_SELECTARG2
constexpr DWORD kCullCounterClockwise = 3;  // D3DCULL_CCW
constexpr DWORD kFillPoint = 1;             // D3DFILL_POINT
constexpr DWORD kAddressMirror = 2;         // D3DTADDRESS_MIRROR
constexpr DWORD kAddressClamp = 3;          // D3DTADDRESS_CLAMP
constexpr DWORD kMagPoint = 1;              // D3DTFG_POINT
constexpr DWORD kMinPoint = 1;              // D3DTFN_POINT
constexpr DWORD kMinAnisotropic = 3;        // D3DTFN_ANISOTROPIC
constexpr DWORD kMagAnisotropic = 5;        // D3DTFG_ANISOTROPIC
constexpr DWORD kMipLinear = 3;             // D3DTFP_LINEAR

// Direct3D fills pixels whose centres lie on a polygon's top edge and leaves those on its
// bottom edge; GL, whose rows go upwards, does the opposite. Shifting everything up by less
// than the rasteriser's sub-pixel step turns GL's choice into Direct3D's for edges through
// pixel centres.
constexpr double kNudge = 1.0 / 128;

struct Gl {
    decltype(&glAlphaFunc) AlphaFunc;
    decltype(&glBindTexture) BindTexture;
    decltype(&glBlendFunc) BlendFunc;
    decltype(&glClear) Clear;
    decltype(&glClearColor) ClearColor;
    decltype(&glClearDepth) ClearDepth;
    decltype(&glClientActiveTexture) ClientActiveTexture;
    decltype(&glColorPointer) ColorPointer;
    decltype(&glCullFace) CullFace;
    decltype(&glDeleteTextures) DeleteTextures;
    decltype(&glDepthFunc) DepthFunc;
    decltype(&glDepthMask) DepthMask;
    decltype(&glDisable) Disable;
    decltype(&glDisableClientState) DisableClientState;
    decltype(&glDrawArrays) DrawArrays;
    decltype(&glDrawElements) DrawElements;
    decltype(&glDrawPixels) DrawPixels;
    decltype(&glEnable) Enable;
    decltype(&glEnableClientState) EnableClientState;
    decltype(&glFogfv) Fogfv;
    decltype(&glFogf) Fogf;
    decltype(&glFogi) Fogi;
    decltype(&glFrontFace) FrontFace;
    decltype(&glGenTextures) GenTextures;
    decltype(&glGetIntegerv) GetIntegerv;
    decltype(&glGetString) GetString;
    decltype(&glLoadIdentity) LoadIdentity;
    decltype(&glMatrixMode) MatrixMode;
    decltype(&glOrtho) Ortho;
    decltype(&glPixelStorei) PixelStorei;
    decltype(&glPolygonMode) PolygonMode;
    decltype(&glPopAttrib) PopAttrib;
    decltype(&glPushAttrib) PushAttrib;
    decltype(&glReadPixels) ReadPixels;
    decltype(&glScissor) Scissor;
    decltype(&glShadeModel) ShadeModel;
    decltype(&glTexCoordPointer) TexCoordPointer;
    decltype(&glTexEnvfv) TexEnvfv;
    decltype(&glTexEnvi) TexEnvi;
    decltype(&glTexImage2D) TexImage2D;
    decltype(&glTexParameterf) TexParameterf;
    decltype(&glTexParameteri) TexParameteri;
    decltype(&glVertexPointer) VertexPointer;
    decltype(&glViewport) Viewport;
    PFNGLACTIVETEXTUREPROC ActiveTexture;
    PFNGLFOGCOORDPOINTERPROC FogCoordPointer;
    PFNGLWINDOWPOS2IPROC WindowPos2i;
    PFNGLGENFRAMEBUFFERSPROC GenFramebuffers;
    PFNGLDELETEFRAMEBUFFERSPROC DeleteFramebuffers;
    PFNGLBINDFRAMEBUFFERPROC BindFramebuffer;
    PFNGLGENRENDERBUFFERSPROC GenRenderbuffers;
    PFNGLDELETERENDERBUFFERSPROC DeleteRenderbuffers;
    PFNGLBINDRENDERBUFFERPROC BindRenderbuffer;
    PFNGLRENDERBUFFERSTORAGEPROC RenderbufferStorage;
    PFNGLFRAMEBUFFERRENDERBUFFERPROC FramebufferRenderbuffer;
    PFNGLCHECKFRAMEBUFFERSTATUSPROC CheckFramebufferStatus;
    // Optional: without it flat triangles take their last vertex's colour.
    PFNGLPROVOKINGVERTEXPROC ProvokingVertex;
};

// 32-bit pixels whose bytes are blue, green, red and an unused one: GL's BGRA as it stands.
bool Bgrx(const DDPIXELFORMAT& format) {
    return format.dwRGBBitCount == 32 && format.dwRBitMask == 0xFF0000 &&
           format.dwGBitMask == 0xFF00 && format.dwBBitMask == 0xFF;
}

// Every entry point but the optional ones, or false.
bool Load(gl::ContextProvider& provider, Gl& calls) {
    bool missing = false;
    auto fill = [&](auto& slot, const char* name, bool needed = true) {
        void* address = provider.ProcAddress(name);
        if (address == nullptr && needed) missing = true;
        slot = reinterpret_cast<std::remove_reference_t<decltype(slot)>>(address);
    };
    fill(calls.AlphaFunc, "glAlphaFunc");
    fill(calls.BindTexture, "glBindTexture");
    fill(calls.BlendFunc, "glBlendFunc");
    fill(calls.Clear, "glClear");
    fill(calls.ClearColor, "glClearColor");
    fill(calls.ClearDepth, "glClearDepth");
    fill(calls.ClientActiveTexture, "glClientActiveTexture");
    fill(calls.ColorPointer, "glColorPointer");
    fill(calls.CullFace, "glCullFace");
    fill(calls.DeleteTextures, "glDeleteTextures");
    fill(calls.DepthFunc, "glDepthFunc");
    fill(calls.DepthMask, "glDepthMask");
    fill(calls.Disable, "glDisable");
    fill(calls.DisableClientState, "glDisableClientState");
    fill(calls.DrawArrays, "glDrawArrays");
    fill(calls.DrawElements, "glDrawElements");
    fill(calls.DrawPixels, "glDrawPixels");
    fill(calls.Enable, "glEnable");
    fill(calls.EnableClientState, "glEnableClientState");
    fill(calls.Fogfv, "glFogfv");
    fill(calls.Fogf, "glFogf");
    fill(calls.Fogi, "glFogi");
    fill(calls.FrontFace, "glFrontFace");
    fill(calls.GenTextures, "glGenTextures");
    fill(calls.GetIntegerv, "glGetIntegerv");
    fill(calls.GetString, "glGetString");
    fill(calls.LoadIdentity, "glLoadIdentity");
    fill(calls.MatrixMode, "glMatrixMode");
    fill(calls.Ortho, "glOrtho");
    fill(calls.PixelStorei, "glPixelStorei");
    fill(calls.PolygonMode, "glPolygonMode");
    fill(calls.PopAttrib, "glPopAttrib");
    fill(calls.PushAttrib, "glPushAttrib");
    fill(calls.ReadPixels, "glReadPixels");
    fill(calls.Scissor, "glScissor");
    fill(calls.ShadeModel, "glShadeModel");
    fill(calls.TexCoordPointer, "glTexCoordPointer");
    fill(calls.TexEnvfv, "glTexEnvfv");
    fill(calls.TexEnvi, "glTexEnvi");
    fill(calls.TexImage2D, "glTexImage2D");
    fill(calls.TexParameterf, "glTexParameterf");
    fill(calls.TexParameteri, "glTexParameteri");
    fill(calls.VertexPointer, "glVertexPointer");
    fill(calls.Viewport, "glViewport");
    fill(calls.ActiveTexture, "glActiveTexture");
    fill(calls.FogCoordPointer, "glFogCoordPointer");
    fill(calls.WindowPos2i, "glWindowPos2i");
    fill(calls.GenFramebuffers, "glGenFramebuffers");
    fill(calls.DeleteFramebuffers, "glDeleteFramebuffers");
    fill(calls.BindFramebuffer, "glBindFramebuffer");
    fill(calls.GenRenderbuffers, "glGenRenderbuffers");
    fill(calls.DeleteRenderbuffers, "glDeleteRenderbuffers");
    fill(calls.BindRenderbuffer, "glBindRenderbuffer");
    fill(calls.RenderbufferStorage, "glRenderbufferStorage");
    fill(calls.FramebufferRenderbuffer, "glFramebufferRenderbuffer");
    fill(calls.CheckFramebufferStatus, "glCheckFramebufferStatus");
    fill(calls.ProvokingVertex, "glProvokingVertex", false);
    return !missing;
}

GLenum Comparison(DWORD function) {
    return function >= 1 && function <= 8 ? GLenum(GL_NEVER + function - 1) : GL_LESS;
}

GLenum BlendFactor(DWORD blend, bool source) {
    switch (blend) {
    case 1:
        return GL_ZERO;
    case 2:
        return GL_ONE;
    case 3:
        return GL_SRC_COLOR;
    case 4:
        return GL_ONE_MINUS_SRC_COLOR;
    case 5:
        return GL_SRC_ALPHA;
    case 6:
        return GL_ONE_MINUS_SRC_ALPHA;
    case 7:
        return GL_DST_ALPHA;
    case 8:
        return GL_ONE_MINUS_DST_ALPHA;
    case 9:
        return GL_DST_COLOR;
    case 10:
        return GL_ONE_MINUS_DST_COLOR;
    case 11:
        return GL_SRC_ALPHA_SATURATE;
    default:
        return source ? GL_ONE : GL_ZERO;
    }
}

GLenum Primitive(DWORD primitive) {
    switch (primitive) {
    case 1:
        return GL_POINTS;
    case 2:
        return GL_LINES;
    case 3:
        return GL_LINE_STRIP;
    case 4:
        return GL_TRIANGLES;
    case 5:
        return GL_TRIANGLE_STRIP;
    default:
        return GL_TRIANGLE_FAN;
    }
}

void ColourOf(DWORD colour, float out[4]) {
    out[0] = float(colour >> 16 & 0xFF) / 255.0f;
    out[1] = float(colour >> 8 & 0xFF) / 255.0f;
    out[2] = float(colour & 0xFF) / 255.0f;
    out[3] = float(colour >> 24) / 255.0f;
}

// A vertex as the arrays of a draw hold it: the position with w = 1/rhw, the colour and fog
// factor as floats, the coordinates each texture unit reads.
struct ArrayVertex {
    float position[4];
    float colour[4];
    float fog;
    float coordinates[2][2];
};

// A texture stage's states, with Direct3D's defaults.
struct Stage {
    DWORD colourOp, colourArg1 = D3DTA_TEXTURE, colourArg2 = D3DTA_CURRENT;
    DWORD alphaOp, alphaArg1 = D3DTA_TEXTURE, alphaArg2 = D3DTA_CURRENT;
    DWORD coordinates;
    DWORD address = D3DTADDRESS_WRAP;
    DWORD magFilter = kMagPoint, minFilter = kMinPoint, mipFilter = 1;
    DWORD anisotropy = 1;
    Surface4Object* texture = nullptr;
};

struct MadeTexture {
    GLuint name = 0;
    uint32_t version = 0;
    DWORD levels = 1;
};

// Set while the executor moves pixels itself, so that its own Lock and Unlock of the
// target do not come back to it.
class Busy {
public:
    explicit Busy(bool& flag) : flag_(flag) { flag_ = true; }
    ~Busy() { flag_ = false; }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;

private:
    bool& flag_;
};

class GlExecutor;

struct Executors {
    std::mutex lock;
    std::set<GlExecutor*> live;
};

Executors& AllExecutors() {
    static auto* all = new Executors;
    return *all;
}

class GlExecutor final : public Executor {
public:
    GlExecutor(gl::ContextProvider& provider, void* context, const Gl& gl, Surface4Object* target,
               std::unique_ptr<Executor> recorder)
        : provider_(provider), context_(context), gl_(gl), target_(target),
          recorder_(std::move(recorder)) {
        stages_[0].colourOp = D3DTOP_MODULATE;
        stages_[0].alphaOp = D3DTOP_SELECTARG1;
        stages_[0].coordinates = 0;
        stages_[1].colourOp = D3DTOP_DISABLE;
        stages_[1].alphaOp = D3DTOP_DISABLE;
        stages_[1].coordinates = 1;
        std::lock_guard guard(AllExecutors().lock);
        AllExecutors().live.insert(this);
    }
    ~GlExecutor() override {
        {
            std::lock_guard guard(AllExecutors().lock);
            AllExecutors().live.erase(this);
        }
        if (provider_.MakeCurrent(context_)) {
            for (auto& [serial, made] : textures_)
                gl_.DeleteTextures(1, &made.name);
            if (framebuffer_ != 0) {
                gl_.DeleteFramebuffers(1, &framebuffer_);
                gl_.DeleteRenderbuffers(1, &colour_);
                gl_.DeleteRenderbuffers(1, &depth_);
            }
            provider_.MakeCurrent(nullptr);
        }
        provider_.DestroyContext(context_);
    }
    GlExecutor(const GlExecutor&) = delete;
    GlExecutor& operator=(const GlExecutor&) = delete;

    // Made current with its frame bound and the set-up done; false when the context or the
    // frame cannot be had, and then nothing is drawn.
    bool Ready() {
        // Asking is cheap; making current again costs a good part of a state call.
        if (provider_.Current() != context_ && !provider_.MakeCurrent(context_)) return false;
        const bool wantDepth = target_->depth != nullptr;
        const int depthBits = wantDepth && target_->depth->format.dwRGBBitCount == 16 ? 16 : 24;
        if (framebuffer_ != 0 && (hasDepth_ != wantDepth || depthBits_ != depthBits)) {
            gl_.DeleteFramebuffers(1, &framebuffer_);
            gl_.DeleteRenderbuffers(1, &colour_);
            gl_.DeleteRenderbuffers(1, &depth_);
            framebuffer_ = colour_ = depth_ = 0;
        }
        if (framebuffer_ == 0 && !MakeFrame(wantDepth, depthBits)) return false;
        gl_.BindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
        return true;
    }

    void RenderState(DWORD state, DWORD value) override {
        recorder_->RenderState(state, value);
        if (state < std::size(renderStates_)) renderStates_[state] = value;
        if (!Ready()) return;
        ApplyRenderState(state, value);
    }
    void LightState(DWORD state, DWORD value) override { recorder_->LightState(state, value); }
    void StageState(DWORD stage, DWORD state, DWORD value) override {
        recorder_->StageState(stage, state, value);
        Stage& s = stages_[stage & 1];
        switch (state) {
        case D3DTSS_COLOROP:
            s.colourOp = value;
            break;
        case D3DTSS_COLORARG1:
            s.colourArg1 = value;
            break;
        case D3DTSS_COLORARG2:
            s.colourArg2 = value;
            break;
        case D3DTSS_ALPHAOP:
            s.alphaOp = value;
            break;
        case D3DTSS_ALPHAARG1:
            s.alphaArg1 = value;
            break;
        case D3DTSS_ALPHAARG2:
            s.alphaArg2 = value;
            break;
        case D3DTSS_TEXCOORDINDEX:
            s.coordinates = value & 1;
            break;
        case D3DTSS_ADDRESS:
            s.address = value;
            break;
        case D3DTSS_MAGFILTER:
            s.magFilter = value;
            break;
        case D3DTSS_MINFILTER:
            s.minFilter = value;
            break;
        case D3DTSS_MIPFILTER:
            s.mipFilter = value;
            break;
        case D3DTSS_MAXANISOTROPY:
            s.anisotropy = std::max<DWORD>(value, 1);
            break;
        default:
            break;
        }
    }
    void Texture(DWORD stage, Surface4Object* texture) override {
        recorder_->Texture(stage, texture);
        stages_[stage & 1].texture = texture;
    }
    void Scene(bool begin) override { recorder_->Scene(begin); }
    void Viewport(const D3DVIEWPORT2& viewport) override {
        recorder_->Viewport(viewport);
        viewport_ = viewport;
        hasViewport_ = true;
        if (Ready()) ApplyViewport();
    }
    void Clear(const D3DRECT& rect, DWORD flags, DWORD colour, float z) override {
        recorder_->Clear(rect, flags, colour, z);
        if ((flags & (D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER)) == 0 || !Ready()) return;
        const LONG width = LONG(target_->width), height = LONG(target_->height);
        const LONG x1 = std::clamp<LONG>(rect.x1, 0, width),
                   x2 = std::clamp<LONG>(rect.x2, 0, width);
        const LONG y1 = std::clamp<LONG>(rect.y1, 0, height),
                   y2 = std::clamp<LONG>(rect.y2, 0, height);
        if (x1 >= x2 || y1 >= y2) return;
        // A clear of all the target's colour makes what its memory held of no account.
        if ((flags & D3DCLEAR_TARGET) != 0 && x1 == 0 && y1 == 0 && x2 == width && y2 == height)
            memoryNewer_ = false;
        UploadMemory();
        gl_.PushAttrib(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_SCISSOR_BIT);
        gl_.Enable(GL_SCISSOR_TEST);
        gl_.Scissor(x1, height - y2, x2 - x1, y2 - y1);
        GLbitfield mask = 0;
        if ((flags & D3DCLEAR_TARGET) != 0) {
            float c[4];
            ColourOf(colour, c);
            gl_.ClearColor(c[0], c[1], c[2], 1.0f);
            mask |= GL_COLOR_BUFFER_BIT;
        }
        if ((flags & D3DCLEAR_ZBUFFER) != 0 && hasDepth_) {
            gl_.DepthMask(GL_TRUE);
            gl_.ClearDepth(std::clamp(z, 0.0f, 1.0f));
            mask |= GL_DEPTH_BUFFER_BIT;
        }
        gl_.Clear(mask);
        gl_.PopAttrib();
        drawnNewer_ = true;
    }
    void Draw(DWORD primitive, const TLVertex* vertices, DWORD vertexCount, const WORD* indices,
              DWORD indexCount, DWORD flags) override {
        recorder_->Draw(primitive, vertices, vertexCount, indices, indexCount, flags);
        if (vertexCount == 0 || !Ready()) return;
        UploadMemory();
        const bool textured = ApplyStages();
        const bool fogged = renderStates_[D3DRENDERSTATE_FOGENABLE] != 0;
        // The whole list goes to GL as arrays in one draw.
        arrays_.resize(vertexCount);
        for (DWORD i = 0; i < vertexCount; ++i) {
            const TLVertex& v = vertices[i];
            ArrayVertex& a = arrays_[i];
            const float w = v.rhw != 0.0f ? 1.0f / v.rhw : 1.0f;
            a.position[0] = v.x * w;
            a.position[1] = v.y * w;
            a.position[2] = v.z * w;
            a.position[3] = w;
            // Byte / 255, the very values glColor4ub would give GL.
            ColourOf(v.diffuse, a.colour);
            a.fog = float(v.specular >> 24) / 255.0f;
            for (int unit = 0; unit < 2; ++unit) {
                const bool second = stages_[unit].coordinates == 1;
                a.coordinates[unit][0] = second ? v.u2 : v.u1;
                a.coordinates[unit][1] = second ? v.v2 : v.v1;
            }
        }
        constexpr auto kStride = GLsizei(sizeof(ArrayVertex));
        const ArrayVertex* first = arrays_.data();
        gl_.EnableClientState(GL_VERTEX_ARRAY);
        gl_.VertexPointer(4, GL_FLOAT, kStride, first->position);
        gl_.EnableClientState(GL_COLOR_ARRAY);
        gl_.ColorPointer(4, GL_FLOAT, kStride, first->colour);
        if (fogged) {
            gl_.EnableClientState(GL_FOG_COORD_ARRAY);
            gl_.FogCoordPointer(GL_FLOAT, kStride, &first->fog);
        }
        if (textured)
            for (int unit = 0; unit < 2; ++unit) {
                gl_.ClientActiveTexture(GLenum(GL_TEXTURE0 + unit));
                gl_.EnableClientState(GL_TEXTURE_COORD_ARRAY);
                gl_.TexCoordPointer(2, GL_FLOAT, kStride, first->coordinates[unit]);
            }
        // A fan of one triangle is drawn as a triangle: flat, it takes its first vertex's
        // colour, where a GL fan would take its second's.
        GLenum mode = Primitive(primitive);
        if (mode == GL_TRIANGLE_FAN && (indices != nullptr ? indexCount : vertexCount) == 3)
            mode = GL_TRIANGLES;
        if (indices != nullptr)
            gl_.DrawElements(mode, GLsizei(indexCount), GL_UNSIGNED_SHORT, indices);
        else
            gl_.DrawArrays(mode, 0, GLsizei(vertexCount));
        if (textured)
            for (int unit = 1; unit >= 0; --unit) {
                gl_.ClientActiveTexture(GLenum(GL_TEXTURE0 + unit));
                gl_.DisableClientState(GL_TEXTURE_COORD_ARRAY);
            }
        if (fogged) gl_.DisableClientState(GL_FOG_COORD_ARRAY);
        gl_.DisableClientState(GL_COLOR_ARRAY);
        gl_.DisableClientState(GL_VERTEX_ARRAY);
        drawnNewer_ = true;
    }

    void ToMemory() override {
        if (busy_ || !drawnNewer_ || !Ready()) return;
        drawnNewer_ = false;
        const uint32_t width = target_->width, height = target_->height;
        const bool direct = Bgrx(target_->format);
        std::vector<uint32_t> pixels(size_t(width) * height);
        gl_.PixelStorei(GL_PACK_ALIGNMENT, 4);
        gl_.ReadPixels(0, 0, GLsizei(width), GLsizei(height), direct ? GL_BGRA : GL_RGBA,
                       GL_UNSIGNED_BYTE, pixels.data());
        Busy busy(busy_);
        DDSURFACEDESC2 desc{};
        desc.dwSize = sizeof desc;
        if (target_->Lock(nullptr, &desc, 0, 0) != DD_OK) return;
        // GL's rows go bottom up: the first one read is the target's last.
        if (uint8_t* memory = SurfaceMemory(desc)) {
            uint8_t* last = memory + long(height - 1) * desc.lPitch;
            if (direct)
                for (uint32_t y = 0; y < height; ++y)
                    std::memcpy(last - long(y) * desc.lPitch, pixels.data() + size_t(y) * width,
                                size_t(width) * 4);
            else
                FromRGBA(pixels.data(), width, height, desc.ddpfPixelFormat, last,
                         -long(desc.lPitch));
        }
        target_->Unlock(nullptr);
    }
    void MemoryChanged() override {
        if (!busy_) memoryNewer_ = true;
    }

    void Forget(uint32_t serial) {
        auto found = textures_.find(serial);
        if (found == textures_.end()) return;
        if (provider_.MakeCurrent(context_)) gl_.DeleteTextures(1, &found->second.name);
        textures_.erase(found);
        for (Stage& stage : stages_)
            if (stage.texture != nullptr && stage.texture->serial == serial)
                stage.texture = nullptr;
    }

private:
    bool MakeFrame(bool withDepth, int depthBits) {
        gl_.GenFramebuffers(1, &framebuffer_);
        gl_.GenRenderbuffers(1, &colour_);
        gl_.GenRenderbuffers(1, &depth_);
        gl_.BindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
        const auto width = GLsizei(std::max<DWORD>(target_->width, 1));
        const auto height = GLsizei(std::max<DWORD>(target_->height, 1));
        gl_.BindRenderbuffer(GL_RENDERBUFFER, colour_);
        gl_.RenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
        gl_.FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour_);
        if (withDepth) {
            gl_.BindRenderbuffer(GL_RENDERBUFFER, depth_);
            gl_.RenderbufferStorage(GL_RENDERBUFFER,
                                    depthBits == 16 ? GL_DEPTH_COMPONENT16 : GL_DEPTH_COMPONENT24,
                                    width, height);
            gl_.FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER,
                                        depth_);
        }
        gl_.BindRenderbuffer(GL_RENDERBUFFER, 0);
        if (gl_.CheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
            gl_.DeleteFramebuffers(1, &framebuffer_);
            gl_.DeleteRenderbuffers(1, &colour_);
            gl_.DeleteRenderbuffers(1, &depth_);
            framebuffer_ = colour_ = depth_ = 0;
            return false;
        }
        hasDepth_ = withDepth;
        depthBits_ = depthBits;
        SetUpContext();
        return true;
    }

    // The state a new frame starts with: the projection, Direct3D's defaults and the
    // states set so far.
    void SetUpContext() {
        gl_.MatrixMode(GL_PROJECTION);
        gl_.LoadIdentity();
        gl_.Ortho(0, double(target_->width), double(target_->height) + kNudge, kNudge, 0.0, -1.0);
        gl_.MatrixMode(GL_MODELVIEW);
        gl_.LoadIdentity();
        gl_.Viewport(0, 0, GLsizei(target_->width), GLsizei(target_->height));
        if (gl_.ProvokingVertex != nullptr) gl_.ProvokingVertex(GL_FIRST_VERTEX_CONVENTION);
        gl_.FrontFace(GL_CCW);
        gl_.Fogi(GL_FOG_MODE, GL_LINEAR);
        gl_.Fogi(GL_FOG_COORD_SRC, GL_FOG_COORD);
        // Linear fog from 1 to 0: the factor is the coordinate itself.
        gl_.Fogf(GL_FOG_START, 1.0f);
        gl_.Fogf(GL_FOG_END, 0.0f);
        gl_.Disable(GL_DITHER);
        anisotropic_ = false;
        if (const auto* extensions = reinterpret_cast<const char*>(gl_.GetString(GL_EXTENSIONS)))
            anisotropic_ = std::strstr(extensions, "GL_EXT_texture_filter_anisotropic") != nullptr;
        if (const auto* version = reinterpret_cast<const char*>(gl_.GetString(GL_VERSION)))
            test::GetDirect3DSetup().glVersion = version;
        for (DWORD state = 0; state < std::size(renderStates_); ++state)
            ApplyRenderState(state, renderStates_[state]);
        if (hasViewport_) ApplyViewport();
    }

    void Toggle(GLenum capability, bool on) {
        if (on)
            gl_.Enable(capability);
        else
            gl_.Disable(capability);
    }

    void ApplyRenderState(DWORD state, DWORD value) {
        switch (state) {
        case D3DRENDERSTATE_ZENABLE:
            Toggle(GL_DEPTH_TEST, value != 0);
            break;
        case D3DRENDERSTATE_ZWRITEENABLE:
            gl_.DepthMask(value != 0 ? GL_TRUE : GL_FALSE);
            break;
        case D3DRENDERSTATE_ZFUNC:
            gl_.DepthFunc(Comparison(value));
            break;
        case D3DRENDERSTATE_FILLMODE:
            gl_.PolygonMode(GL_FRONT_AND_BACK, value == kFillPoint          ? GL_POINT
                                               : value == D3DFILL_WIREFRAME ? GL_LINE
                                                                            : GL_FILL);
            break;
        case D3DRENDERSTATE_SHADEMODE:
            gl_.ShadeModel(value == D3DSHADE_FLAT ? GL_FLAT : GL_SMOOTH);
            break;
        case D3DRENDERSTATE_CULLMODE:
            // The frame is not mirrored: clockwise as seen is clockwise in GL's window
            // coordinates too, where counter-clockwise faces are the front ones.
            Toggle(GL_CULL_FACE, value == D3DCULL_CW || value == kCullCounterClockwise);
            gl_.CullFace(value == D3DCULL_CW ? GL_BACK : GL_FRONT);
            break;
        case D3DRENDERSTATE_ALPHABLENDENABLE:
            Toggle(GL_BLEND, value != 0);
            break;
        case D3DRENDERSTATE_SRCBLEND:
        case D3DRENDERSTATE_DESTBLEND:
            gl_.BlendFunc(BlendFactor(renderStates_[D3DRENDERSTATE_SRCBLEND], true),
                          BlendFactor(renderStates_[D3DRENDERSTATE_DESTBLEND], false));
            break;
        case D3DRENDERSTATE_FOGENABLE:
            Toggle(GL_FOG, value != 0);
            break;
        case D3DRENDERSTATE_FOGCOLOR: {
            float c[4];
            ColourOf(value, c);
            c[3] = 1.0f;
            gl_.Fogfv(GL_FOG_COLOR, c);
            break;
        }
        case D3DRENDERSTATE_COLORKEYENABLE:
            Toggle(GL_ALPHA_TEST, value != 0);
            gl_.AlphaFunc(GL_GREATER, 0.0f);
            break;
        default:
            break;
        }
    }

    void ApplyViewport() {
        const LONG height = LONG(target_->height);
        gl_.Enable(GL_SCISSOR_TEST);
        gl_.Scissor(GLint(viewport_.dwX), GLint(height - LONG(viewport_.dwY + viewport_.dwHeight)),
                    GLsizei(viewport_.dwWidth), GLsizei(viewport_.dwHeight));
    }

    // One source of GL_COMBINE from a Direct3D argument. The alpha of a texture without an
    // alpha channel or a key is the alpha it was given, as under the drivers the renderer
    // was written for: a translucent material's alpha arrives in the diffuse colour.
    void Source(GLenum sourceName, GLenum operandName, DWORD argument, bool alpha, bool first) {
        GLenum source = GL_TEXTURE;
        if (alpha && (argument & 0x0F) == D3DTA_TEXTURE && !textureAlpha_)
            argument = (argument & ~0x0Fu) | D3DTA_CURRENT;
        switch (argument & 0x0F) {
        case D3DTA_DIFFUSE:
            source = GL_PRIMARY_COLOR;
            break;
        case D3DTA_CURRENT:
            source = first ? GL_PRIMARY_COLOR : GL_PREVIOUS;
            break;
        case kTextureFactorArgument:
            source = GL_CONSTANT;
            break;
        default:
            break;
        }
        const bool complement = (argument & kComplement) != 0;
        GLenum operand;
        if (alpha || (argument & kAlphaReplicate) != 0)
            operand = complement ? GL_ONE_MINUS_SRC_ALPHA : GL_SRC_ALPHA;
        else
            operand = complement ? GL_ONE_MINUS_SRC_COLOR : GL_SRC_COLOR;
        gl_.TexEnvi(GL_TEXTURE_ENV, sourceName, GLint(source));
        gl_.TexEnvi(GL_TEXTURE_ENV, operandName, GLint(operand));
    }

    // A stage's colour or alpha operation as GL_COMBINE's; a disabled alpha operation
    // passes the previous alpha on.
    void Combine(DWORD op, DWORD arg1, DWORD arg2, bool alpha, bool first) {
        const GLenum combine = alpha ? GL_COMBINE_ALPHA : GL_COMBINE_RGB;
        const GLenum sources[3] = {GLenum(alpha ? GL_SRC0_ALPHA : GL_SRC0_RGB),
                                   GLenum(alpha ? GL_SRC1_ALPHA : GL_SRC1_RGB),
                                   GLenum(alpha ? GL_SRC2_ALPHA : GL_SRC2_RGB)};
        const GLenum operands[3] = {GLenum(alpha ? GL_OPERAND0_ALPHA : GL_OPERAND0_RGB),
                                    GLenum(alpha ? GL_OPERAND1_ALPHA : GL_OPERAND1_RGB),
                                    GLenum(alpha ? GL_OPERAND2_ALPHA : GL_OPERAND2_RGB)};
        switch (op) {
        case D3DTOP_MODULATE:
        case D3DTOP_ADD:
        case D3DTOP_ADDSIGNED:
            gl_.TexEnvi(GL_TEXTURE_ENV, combine,
                        op == D3DTOP_MODULATE ? GL_MODULATE
                        : op == D3DTOP_ADD    ? GL_ADD
                                              : GL_ADD_SIGNED);
            Source(sources[0], operands[0], arg1, alpha, first);
            Source(sources[1], operands[1], arg2, alpha, first);
            break;
        case D3DTOP_BLENDFACTORALPHA:
            gl_.TexEnvi(GL_TEXTURE_ENV, combine, GL_INTERPOLATE);
            Source(sources[0], operands[0], arg1, alpha, first);
            Source(sources[1], operands[1], arg2, alpha, first);
            Source(sources[2], operands[2], kTextureFactorArgument, true, first);
            break;
        case kSelectArg2:
            gl_.TexEnvi(GL_TEXTURE_ENV, combine, GL_REPLACE);
            Source(sources[0], operands[0], arg2, alpha, first);
            break;
        case D3DTOP_SELECTARG1:
            gl_.TexEnvi(GL_TEXTURE_ENV, combine, GL_REPLACE);
            Source(sources[0], operands[0], arg1, alpha, first);
            break;
        default:
            gl_.TexEnvi(GL_TEXTURE_ENV, combine, GL_REPLACE);
            Source(sources[0], operands[0], D3DTA_CURRENT, alpha, first);
            break;
        }
    }

    // Sets up both texture units for the stages in force; false when texturing is off. A
    // stage without a texture passes the colour and alpha it was given on, as a disabled
    // GL unit does: an untextured element drawn under the states of a textured one keeps
    // its own colour.
    bool ApplyStages() {
        const bool firstOn = stages_[0].colourOp != D3DTOP_DISABLE;
        const bool secondOn =
            firstOn && stages_[1].colourOp != D3DTOP_DISABLE && stages_[1].texture != nullptr;
        float factor[4];
        ColourOf(renderStates_[D3DRENDERSTATE_TEXTUREFACTOR], factor);
        bool textured = false;
        for (int unit = 0; unit < 2; ++unit) {
            gl_.ActiveTexture(GLenum(GL_TEXTURE0 + unit));
            const bool on = unit == 0 ? firstOn && stages_[0].texture != nullptr : secondOn;
            Toggle(GL_TEXTURE_2D, on);
            if (!on) continue;
            textured = true;
            Stage& stage = stages_[unit];
            BindTexture(stage);
            const DDPIXELFORMAT& format = stage.texture->format;
            textureAlpha_ = stage.texture->keyed ||
                            ((format.dwFlags & DDPF_ALPHAPIXELS) && format.dwRGBAlphaBitMask);
            gl_.TexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE);
            gl_.TexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, factor);
            Combine(stage.colourOp, stage.colourArg1, stage.colourArg2, false, unit == 0);
            Combine(stage.alphaOp, stage.alphaArg1, stage.alphaArg2, true, unit == 0);
        }
        gl_.ActiveTexture(GL_TEXTURE0);
        return textured;
    }

    // The stage's texture, made or made again from its surface when it changed.
    void BindTexture(const Stage& stage) {
        MadeTexture& made = textures_[stage.texture->serial];
        if (made.name == 0) gl_.GenTextures(1, &made.name);
        gl_.BindTexture(GL_TEXTURE_2D, made.name);
        const uint32_t version = LevelsVersion(stage.texture);
        if (made.version != version || made.version == 0) {
            Upload(stage.texture, made);
            made.version = version;
        }
        const bool mipmapped = made.levels > 1 && stage.mipFilter != 1;
        const bool linearMin = stage.minFilter != kMinPoint;
        GLint minFilter = linearMin ? GL_LINEAR : GL_NEAREST;
        if (mipmapped)
            minFilter = stage.mipFilter == kMipLinear
                            ? (linearMin ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR)
                            : (linearMin ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST);
        gl_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
        gl_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER,
                          stage.magFilter == kMagPoint ? GL_NEAREST : GL_LINEAR);
        if (anisotropic_) {
            const bool wanted =
                stage.minFilter == kMinAnisotropic || stage.magFilter == kMagAnisotropic;
            gl_.TexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT,
                              wanted ? float(stage.anisotropy) : 1.0f);
        }
        const GLint wrap = stage.address == kAddressMirror  ? GL_MIRRORED_REPEAT
                           : stage.address == kAddressClamp ? GL_CLAMP_TO_EDGE
                                                            : GL_REPEAT;
        gl_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
        gl_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
    }

    // The sum of the versions of a chain's levels, so that a change of any shows; never 0,
    // which stands for "not yet made".
    static uint32_t LevelsVersion(const Surface4Object* texture) {
        uint32_t version = 1;
        for (const Surface4Object* level = texture; level != nullptr; level = level->NextLevel())
            version += level->version * 7919u + 1;
        return version;
    }

    void Upload(Surface4Object* texture, MadeTexture& made) {
        std::vector<uint32_t> texels;
        GLint level = 0;
        for (const Surface4Object* at = texture; at != nullptr; at = at->NextLevel(), ++level) {
            texels.resize(size_t(at->width) * at->height);
            ToRGBA(at->Pixels(), at->Pitch(), at->width, at->height, at->format,
                   texture->keyed ? &texture->key : nullptr, texels.data());
            gl_.TexImage2D(GL_TEXTURE_2D, level, GL_RGBA8, GLsizei(at->width), GLsizei(at->height),
                           0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
        }
        made.levels = DWORD(level);
        gl_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, level - 1);
    }

    // What was written into the target's memory since the last drawing goes into the frame
    // before anything is drawn over it.
    void UploadMemory() {
        if (!memoryNewer_) return;
        memoryNewer_ = false;
        const uint32_t width = target_->width, height = target_->height;
        Busy busy(busy_);
        DDSURFACEDESC2 desc{};
        desc.dwSize = sizeof desc;
        if (target_->Lock(nullptr, &desc, 0, 0) != DD_OK) return;
        std::vector<uint32_t> pixels(size_t(width) * height);
        const uint8_t* memory = SurfaceMemory(desc);
        // Bottom row first, as GL takes them.
        if (memory != nullptr)
            ToRGBA(memory + long(height - 1) * desc.lPitch, -long(desc.lPitch), width, height,
                   desc.ddpfPixelFormat, nullptr, pixels.data());
        target_->Unlock(nullptr);
        gl_.PushAttrib(GL_ENABLE_BIT | GL_DEPTH_BUFFER_BIT | GL_TEXTURE_BIT);
        gl_.Disable(GL_DEPTH_TEST);
        gl_.Disable(GL_BLEND);
        gl_.Disable(GL_ALPHA_TEST);
        gl_.Disable(GL_FOG);
        gl_.Disable(GL_SCISSOR_TEST);
        for (int unit = 1; unit >= 0; --unit) {
            gl_.ActiveTexture(GLenum(GL_TEXTURE0 + unit));
            gl_.Disable(GL_TEXTURE_2D);
        }
        gl_.PixelStorei(GL_UNPACK_ALIGNMENT, 4);
        gl_.WindowPos2i(0, 0);
        gl_.DrawPixels(GLsizei(width), GLsizei(height), GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        gl_.PopAttrib();
        drawnNewer_ = true;
    }

    gl::ContextProvider& provider_;
    void* const context_;
    const Gl gl_;
    Surface4Object* const target_;
    const std::unique_ptr<Executor> recorder_;
    GLuint framebuffer_ = 0, colour_ = 0, depth_ = 0;
    bool hasDepth_ = false;
    int depthBits_ = 0;
    bool anisotropic_ = false;
    bool textureAlpha_ = true; // of the stage being set up
    // Which side holds the newer pixels: the frame after drawing, the memory after a write.
    bool drawnNewer_ = false;
    bool memoryNewer_ = true;
    bool busy_ = false;
    DWORD renderStates_[64] = {};
    Stage stages_[2];
    D3DVIEWPORT2 viewport_{};
    bool hasViewport_ = false;
    std::map<uint32_t, MadeTexture> textures_;
    // A draw's vertices as GL takes them, kept from draw to draw.
    std::vector<ArrayVertex> arrays_;
};

} // namespace

std::unique_ptr<Executor> MakeGlExecutor(Surface4Object* target,
                                         std::unique_ptr<Executor> recorder) {
    gl::ContextProvider* provider = gl::Provider();
    if (provider == nullptr) return nullptr;
    void* context = provider->CreateContext(nullptr);
    if (context == nullptr) return nullptr;
    Gl calls{};
    if (!provider->MakeCurrent(context) || !Load(*provider, calls)) {
        provider->MakeCurrent(nullptr);
        provider->DestroyContext(context);
        return nullptr;
    }
    auto executor =
        std::make_unique<GlExecutor>(*provider, context, calls, target, std::move(recorder));
    if (!executor->Ready()) return nullptr;
    return executor;
}

void ForgetTexture(uint32_t serial) {
    Executors& all = AllExecutors();
    std::lock_guard guard(all.lock);
    for (GlExecutor* executor : all.live)
        executor->Forget(serial);
}

} // namespace platform::d3d
