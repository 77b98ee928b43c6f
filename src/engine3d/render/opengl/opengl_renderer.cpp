#include "engine3d/render/opengl/opengl_renderer.h"

#include "engine3d/render/opengl/opengl_loader.h"
#include "engine3d/render/opengl/opengl_texture.h"
#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/materials/texture_list.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/render/device.h"
#include "platform/gdi/screen_dc.h"
#include "platform/system/system_info.h"
#include "platform/user/display_settings.h"
#include "platform/user/menus/menus.h"
#include "platform/user/window_geometry.h"
#include "platform/user/windows.h"

namespace {

LRenderAPI_OpenGL* gCurrent = nullptr;

// The single-precision 0.01 widened, as the near end of the depth range always was.
constexpr double kDepthRangeNear = double(0.01f);
constexpr DWORD kFullScreenStyle = WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;

// On the texture bound now; nothing before the library is loaded.
void SetFilters(GLint minification, GLint magnification) {
    if (gl11::glTexParameteri == nullptr) return;
    gl11::glTexParameteri(gl::TEXTURE_2D, gl::TEXTURE_MIN_FILTER, minification);
    gl11::glTexParameteri(gl::TEXTURE_2D, gl::TEXTURE_MAG_FILTER, magnification);
}

} // namespace

OpenGLWindowCalls& GetOpenGLWindowCalls() {
    static OpenGLWindowCalls calls;
    return calls;
}

LRenderAPI_OpenGL* LRenderAPI_OpenGL::Current() {
    return gCurrent;
}

LRenderAPI_OpenGL::LRenderAPI_OpenGL(L3DWorld* w, LAPICLBK* d) : LRenderAPICLBK(w, d) {
    useScreenDepth = 1;
}

LRenderAPI_OpenGL::~LRenderAPI_OpenGL() {
    ReleaseContext();
    if ((flags & kFullScreen) != 0) ChangeDisplaySettingsA(nullptr, 0);
    targetWindow = 0;
    if (gCurrent == this) gCurrent = nullptr;
}

void LRenderAPI_OpenGL::ReleaseContext() {
    if (world != nullptr && holdsContext_) {
        holdsContext_ = false;
        world->textures.ReleaseDeviceCopies();
        if (--world->glContextUses <= 0 && world->glContext != 0) {
            world->glContextUses = 0;
            gl11::glDeleteLists(kTextListBase, 256);
            gl11::wglMakeCurrent(0, 0);
            gl11::wglDeleteContext(world->glContext);
            world->glContext = 0;
        }
    }
    if (dc_ != 0 && ReleaseDC(targetWindow, dc_) != 0) dc_ = 0;
}

void LRenderAPI_OpenGL::ForgetWorld() {
    ReleaseContext();
    LRenderAPICLBK::ForgetWorld();
}

void LRenderAPI_OpenGL::ResetStateCache() {
    currentColour = -1;
    currentKind = kKindNone;
    currentTexture = nullptr;
}

void LRenderAPI_OpenGL::ApplyCulling() {
    if (world != nullptr && world->backFaceCulling != 0)
        gl11::glEnable(gl::CULL_FACE);
    else
        gl11::glDisable(gl::CULL_FACE);
}

void LRenderAPI_OpenGL::BecomeCurrent() {
    gCurrent = this;
}

void LRenderAPI_OpenGL::ApplyPipelineState(Culling culling) {
    gl11::glHint(gl::PERSPECTIVE_CORRECTION_HINT, gl::NICEST);
    gl11::glHint(gl::POINT_SMOOTH_HINT, gl::NICEST);
    gl11::glViewport(0, 0, GLsizei(width), GLsizei(height));
    gl11::glClearDepth(1.0);
    gl11::glMatrixMode(gl::PROJECTION);
    gl11::glLoadIdentity();
    // y grows downwards and the window depth follows the vertex z unchanged.
    gl11::glOrtho(0, double(width), double(height), 0, 1.0, -1.0);
    gl11::glMatrixMode(gl::MODELVIEW);
    gl11::glLoadIdentity();
    if (culling == Culling::kFromWorld)
        ApplyCulling();
    else if (culling == Culling::kOff)
        gl11::glDisable(gl::CULL_FACE);
    gl11::glDepthRange(kDepthRangeNear, 1.0);
    if ((flags & kDepthBuffer) != 0) {
        gl11::glEnable(gl::DEPTH_TEST);
        gl11::glDepthFunc(gl::LESS);
    } else {
        gl11::glDepthFunc(gl::ALWAYS);
        gl11::glDisable(gl::DEPTH_TEST);
    }
}

int LRenderAPI_OpenGL::Initialize() {
    setUpResult = kNoContext;
    gCurrent = this;
    if ((flags & kMemoryTarget) != 0) {
        // A camera texture has no window: it draws offscreen with the world's context,
        // which its world's view makes, and draws no camera textures itself.
        stateFlags |= kNoCameraTextures;
        setUpResult = 0;
        SetTextureDepth(depth);
        return setUpResult;
    }
    if (dc_ == 0) dc_ = GetDC(targetWindow);
    PIXELFORMATDESCRIPTOR descriptor{};
    descriptor.nSize = 40;
    descriptor.nVersion = 1;
    descriptor.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    descriptor.iPixelType = PFD_TYPE_RGBA;
    descriptor.cColorBits = depth;
    descriptor.cDepthBits = depth;
    descriptor.iLayerType = PFD_MAIN_PLANE;
    const OpenGLWindowCalls& calls = GetOpenGLWindowCalls();
    const auto choose = [&] {
        return calls.choosePixelFormat != nullptr ? calls.choosePixelFormat(dc_, &descriptor) : 0;
    };
    int format = choose();
    if (format == 0) {
        descriptor.cColorBits = 32;
        format = choose();
    }
    const auto refuse = [&](int code) {
        ReleaseDC(targetWindow, dc_);
        dc_ = 0;
        return code;
    };
    if (format == 0) return refuse(kNoPixelFormat);
    if (calls.setPixelFormat == nullptr || calls.setPixelFormat(dc_, format, &descriptor) == 0)
        return refuse(kPixelFormatRefused);
    bool madeCurrent = false;
    if (world != nullptr && world->glContext == 0 && gl11::wglCreateContext != nullptr) {
        world->glContext = gl11::wglCreateContext(dc_);
        if (world->glContext != 0) {
            if (gl11::wglMakeCurrent(dc_, world->glContext) == 0) {
                // Nothing can be drawn with it (no frame for the window): not kept.
                gl11::wglDeleteContext(world->glContext);
                world->glContext = 0;
            } else {
                gl11::wglUseFontBitmapsA(dc_, 0, 256, kTextListBase);
                gl11::glListBase(kTextListBase);
                madeCurrent = true;
            }
        }
    }
    // A context of the world's other renderers must draw on this window too.
    if (world != nullptr && world->glContext != 0 &&
        (madeCurrent || gl11::wglMakeCurrent(dc_, world->glContext) != 0)) {
        if (!holdsContext_) {
            holdsContext_ = true;
            ++world->glContextUses;
        }
        ApplyPipelineState(Culling::kOff);
        setUpResult = 0;
    }
    ReleaseDC(targetWindow, dc_);
    dc_ = 0;
    SetTextureDepth(depth);
    if ((flags & kMemoryTarget) == 0 && world != nullptr) world->textures.ReloadAll();
    return setUpResult;
}

void LRenderAPI_OpenGL::RestoreWindow() {
    if (savedStyle == -1) return;
    SetWindowLongA(targetWindow, GWL_STYLE, savedStyle);
    SetWindowPos(targetWindow, 0, savedRect[0], savedRect[1], savedRect[2] - savedRect[0],
                 savedRect[3] - savedRect[1], SWP_NOZORDER);
}

int LRenderAPI_OpenGL::SetDisplayMode(uint32_t newFlags, int32_t w, int32_t h, int32_t d) {
    if ((flags & kMemoryTarget) != 0) return kMemoryTargetCode;
    // The context is let go and taken again: a renderer alone on its world gets a new one.
    ReleaseContext();
    if (d == kKeep) d = depth;
    if (newFlags != uint32_t(kKeep)) {
        const bool fromFull = (flags & kFullScreen) != 0;
        const bool fromWindowed = (flags & kWindowed) != 0;
        const bool toFull = (newFlags & kFullScreen) != 0;
        const bool toWindowed = (newFlags & kWindowed) != 0;
        if (fromFull && toWindowed) {
            ChangeDisplaySettingsA(nullptr, 0);
            RestoreWindow();
        } else if (toFull && (fromWindowed || fromFull)) {
            LDisplayMode* mode = LAPICLBK::FindNearestDisplayMode(
                {int32_t(width), int32_t(height)}, currentDriver, CurrentDevice(), currentMode, d);
            // Without a mode there is nothing to switch to: refused as a refused mode is.
            if (mode == nullptr) return kNoFurtherMode;
            currentMode = mode;
            width = uint32_t(mode->width);
            height = uint32_t(mode->height);
            if (fromWindowed) {
                RECT r{};
                GetWindowRect(targetWindow, &r);
                savedRect[0] = r.left;
                savedRect[1] = r.top;
                savedRect[2] = r.right;
                savedRect[3] = r.bottom;
            }
            auto* settings = reinterpret_cast<DEVMODEA*>(mode->data);
            if (ChangeDisplaySettingsA(settings, 0) != DISP_CHANGE_SUCCESSFUL) {
                ChangeDisplaySettingsA(nullptr, 0);
                if (fromFull) RestoreWindow();
                return kNoFurtherMode;
            }
            if (fromWindowed) {
                savedStyle = GetWindowLongA(targetWindow, GWL_STYLE);
                SetWindowLongA(targetWindow, GWL_STYLE, LONG(kFullScreenStyle));
            }
            const int menu = GetMenu(targetWindow) != 0 ? GetSystemMetrics(SM_CYMENU) : 0;
            SetWindowPos(targetWindow, 0, 0, -menu, int(width), int(height) + menu,
                         SWP_NOZORDER | SWP_SHOWWINDOW);
        }
    }
    if (w != kKeep) width = uint32_t(w);
    if (h != kKeep) height = uint32_t(h);
    if (newFlags != uint32_t(kKeep)) flags = newFlags;
    depth = uint8_t(d);
    const int result = LRenderAPICLBK::SetDisplayMode(int32_t(width), int32_t(height), flags, d,
                                                      background, targetWindow);
    SetTextureDepth(depth);
    if (world != nullptr) world->textures.ReloadAll();
    return result;
}

int LRenderAPI_OpenGL::IsCapable(uint32_t bits) {
    switch (bits) {
    case 0x2:
    case 0x4:
    case 0x8:
    case 0x80:
    case 0x800:
    case 0x1000:
    case 0x2000:
    case 0x4000:
    case 0x8000:
        return 1;
    default:
        return 0;
    }
}

int32_t LRenderAPI_OpenGL::SetStateBits(uint32_t bits) {
    if (IsCapable(bits) != 0) stateBits |= int32_t(bits);
    if (bits == 8 && (stateBits & 0x10) != 0) {
        stateBits &= ~0x10;
        return stateBits;
    }
    switch (bits) {
    case 0x1000:
        if (world != nullptr) world->textures.ReloadAll();
        break;
    case 0x2000:
        ClearStateBits(0x400);
        ClearStateBits(0x4000);
        ClearStateBits(0x8000);
        SetFilters(gl::LINEAR, gl::LINEAR);
        break;
    case 0x400:
    case 0x4000:
        ClearStateBits(0x400);
        ClearStateBits(0x8000);
        ClearStateBits(0x2000);
        SetFilters(gl::LINEAR_MIPMAP_LINEAR, gl::LINEAR);
        break;
    case 0x8000:
        ClearStateBits(0x2000);
        ClearStateBits(0x4000);
        ClearStateBits(0x400);
        SetFilters(gl::NEAREST, gl::NEAREST);
        break;
    default:
        break;
    }
    return stateBits;
}

void LRenderAPI_OpenGL::ClearStateBits(uint32_t bits) {
    stateBits &= ~int32_t(bits);
    switch (bits) {
    case 0x1000:
        if (world != nullptr) world->textures.ReloadAll();
        break;
    case 0x400:
    case 0x2000:
    case 0x4000:
    case 0x8000:
        SetFilters(gl::NEAREST, gl::NEAREST);
        break;
    default:
        break;
    }
}
