// The Direct3D back end at 640 x 480 on a headless display, its layer drawing through
// Mesa's llvmpipe on one thread: frames of the renderers' textured reference scene
// (tests/engine3d/render/textured_scene.h) beside the same scene through the OpenGL back
// end, through the software renderer, and beside a plain program drawing textured
// triangles with one glDrawElements on the layer's own context and showing them as the
// layer does (the layer's own cost); the device calls a frame makes, from the layer's
// recorder; and the conversion of texture surfaces for OpenGL, in megabytes of source
// pixels a second.
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "plain_wall.h"
#include "render_window.h"
#include "side_by_side.h"

#include "engine3d/render/textured_scene.h"

#include "engine3d/render/dib_device.h"
#include "engine3d/render/direct3d/direct3d_device.h"
#include "engine3d/render/opengl/opengl_device.h"
#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/objects/world.h"
#include "graphics2d/surfaces/surface_kinds.h"
#include "platform/directx/direct3d/direct3d_test_hooks.h"
#include "platform/directx/direct3d/texels.h"
#include "platform/display/headless_display.h"
#include "platform/gdi/bitmaps/bitmaps.h"
#include "platform/gdi/bitmaps/blits.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gl/gl_probe.h"
#include "platform/system/system_info.h"
#include "platform/user/windows.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
// One back end's world and renderer drawing the textured scene into its own window, its
// textures made and llvmpipe's shaders built.
template <typename Device> struct View : bench::RenderView<Device> {
    explicit View(int x)
        : bench::RenderView<Device>("Direct3DBench", x, kWidth, kHeight,
                                    [](L3DWorld& world, LAPICLBK& device) {
                                        return BuildTexturedScene(world, device, 32);
                                    }) {
        if (this->ok) this->renderer->RenderFrame();
    }
};

template <typename Other> void Direct3DBeside(benchmark::State& state, const char* otherName) {
    if (!bench::StartHeadlessOpenGL(2 * kWidth, kHeight)) {
        state.SkipWithError("no OpenGL here");
    } else {
        View<LAPI_Direct3D> d3d(0);
        View<Other> other(kWidth);
        if (!d3d.ok || !other.ok)
            state.SkipWithError("a view could not be set up");
        else
            bench::SideBySide(
                state, int64_t(kWidth) * kHeight, otherName, [&] { d3d.renderer->RenderFrame(); },
                [&] { other.renderer->RenderFrame(); });
    }
    UnregisterSurfaceThread();
}

void BM_Direct3DTexturedFrameBesideOpenGL(benchmark::State& state) {
    Direct3DBeside<LAPI_OpenGL>(state, "opengl");
}
BENCHMARK(BM_Direct3DTexturedFrameBesideOpenGL)->UseRealTime();

void BM_Direct3DTexturedFrameBesideSoftware(benchmark::State& state) {
    Direct3DBeside<LAPI_Surface_Win32>(state, "software");
}
BENCHMARK(BM_Direct3DTexturedFrameBesideSoftware)->UseRealTime();

// The plain program of the OpenGL back end's benchmark, a wall of 600 triangles in a 64 x 64
// checker texture drawn with one glDrawElements, here on the context the layer left
// current, into the frame it draws into; then read into memory and shown in the window, as
// the layer presents a frame. It keeps the layer's GL states as it found them.
struct PlainProgram {
    explicit PlainProgram(HWND window) : window(window) {
        glPushAttrib(GL_TEXTURE_BIT);
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, wall.kTextureSize, wall.kTextureSize, 0, GL_RGBA,
                     GL_UNSIGNED_BYTE, wall.texels.data());
        glPopAttrib();
        frame.resize(size_t(kWidth) * kHeight);
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = kWidth;
        info.bmiHeader.biHeight = kHeight; // GL's rows run upwards, as a DIB's do
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
    }
    ~PlainProgram() { glDeleteTextures(1, &texture); }
    void Frame() {
        glPushAttrib(GL_ALL_ATTRIB_BITS);
        glPushClientAttrib(GL_CLIENT_ALL_ATTRIB_BITS);
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glLoadIdentity();
        glOrtho(0, kWidth, kHeight, 0, 1, -1);
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glLoadIdentity();
        glDisable(GL_SCISSOR_TEST);
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_BLEND);
        glDisable(GL_FOG);
        glDisable(GL_ALPHA_TEST);
        glDisable(GL_CULL_FACE);
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
        glClearColor(0.2f, 0.1f, 0.1f, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        glColor4ub(255, 255, 255, 255);
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        wall.Draw();
        glReadPixels(0, 0, kWidth, kHeight, GL_BGRA, GL_UNSIGNED_BYTE, frame.data());
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
        glPopMatrix();
        glPopClientAttrib();
        glPopAttrib();
        const HDC dc = GetDC(window);
        StretchDIBits(dc, 0, 0, kWidth, kHeight, 0, 0, kWidth, kHeight, frame.data(), &info,
                      DIB_RGB_COLORS, SRCCOPY);
        ReleaseDC(window, dc);
    }

    HWND window;
    GLuint texture = 0;
    const bench::PlainWall wall;
    std::vector<uint32_t> frame;
    BITMAPINFO info{};
};

void BM_Direct3DTexturedFrameBesidePlainProgram(benchmark::State& state) {
    if (!bench::StartHeadlessOpenGL(kWidth, kHeight)) {
        state.SkipWithError("no OpenGL here");
    } else {
        View<LAPI_Direct3D> d3d(0);
        // The layer leaves its context current after a frame: the plain program draws there.
        if (!d3d.ok || glGetString(GL_VERSION) == nullptr) {
            state.SkipWithError("the view could not be set up");
        } else {
            PlainProgram plain(d3d.window);
            plain.Frame();
            bench::SideBySide(
                state, int64_t(kWidth) * kHeight, "plain", [&] { d3d.renderer->RenderFrame(); },
                [&] { plain.Frame(); });
        }
    }
    UnregisterSurfaceThread();
}
BENCHMARK(BM_Direct3DTexturedFrameBesidePlainProgram)->UseRealTime();

// The device calls of a frame: states, textures, scenes, clears and draws, as the layer's
// recorder writes them.
void BM_Direct3DDeviceCallsPerFrame(benchmark::State& state) {
    if (!bench::StartHeadlessOpenGL(kWidth, kHeight)) {
        state.SkipWithError("no OpenGL here");
    } else {
        View<LAPI_Direct3D> d3d(0);
        platform::test::Direct3DSetup& layer = platform::test::GetDirect3DSetup();
        int64_t calls = 0, states = 0, draws = 0, frames = 0;
        layer.recording = true;
        for (auto _ : state) {
            layer.log.clear();
            d3d.renderer->RenderFrame();
            for (const std::string& line : layer.log) {
                ++calls;
                if (line.rfind("Set", 0) == 0) ++states;
                if (line.rfind("Draw", 0) == 0) ++draws;
            }
            ++frames;
        }
        layer.recording = false;
        layer.log.clear();
        state.counters["calls/frame"] = double(calls) / double(frames);
        state.counters["states/frame"] = double(states) / double(frames);
        state.counters["draws/frame"] = double(draws) / double(frames);
    }
    UnregisterSurfaceThread();
}
BENCHMARK(BM_Direct3DDeviceCallsPerFrame)->UseRealTime();

// A 256 x 256 texture of each 16-bit and 32-bit format offered, keyed, into GL's words.
void BM_Direct3DTextureConversion(benchmark::State& state) {
    const DWORD bits = DWORD(state.range(0));
    constexpr uint32_t kSide = 256;
    const DDPIXELFORMAT format =
        bits == 16
            ? DDPIXELFORMAT{sizeof(DDPIXELFORMAT), DDPF_RGB, 0, 16, 0xF800, 0x07E0, 0x001F, 0}
            : DDPIXELFORMAT{sizeof(DDPIXELFORMAT),
                            DDPF_RGB | DDPF_ALPHAPIXELS,
                            0,
                            32,
                            0xFF0000,
                            0xFF00,
                            0xFF,
                            0xFF000000};
    const long pitch = long(kSide * bits / 8);
    std::vector<uint8_t> pixels(size_t(pitch) * kSide);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = uint8_t(i * 37);
    std::vector<uint32_t> out(kSide * kSide);
    const DDCOLORKEY key{0, 0};
    for (auto _ : state) {
        platform::d3d::ToRGBA(pixels.data(), pitch, kSide, kSide, format, &key, out.data());
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(pixels.size()));
}
BENCHMARK(BM_Direct3DTextureConversion)->Arg(16)->Arg(32);

} // namespace
