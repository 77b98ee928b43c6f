// The OpenGL back end at 640 x 480 on a headless display, drawn by Mesa's llvmpipe on one
// thread: frames of a textured scene (a wall of 600 textured triangles in a 64 x 64
// checker texture, lit per vertex) through the back end beside the same scene drawn by the
// software renderer into a window (at 640 x 480 and 1024 x 768), and beside a plain program
// drawing as many textured triangles over the view with one glDrawElements on the same
// context and showing them the same way (the back end's own cost); the glBegin/glEnd pairs
// and state calls a frame makes; and the texture conversion handed to OpenGL, in megabytes
// of source pixels a second.
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include "plain_wall.h"
#include "render_window.h"
#include "side_by_side.h"

#include "engine3d/render/textured_scene.h"

#include "engine3d/render/dib_device.h"
#include "engine3d/render/opengl/opengl_device.h"
#include "engine3d/render/opengl/opengl_loader.h"
#include "engine3d/render/opengl/opengl_renderer.h"
#include "engine3d/render/opengl/opengl_texture.h"
#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/materials/material_list.h"
#include "engine3d/scene/materials/texture_list.h"
#include "engine3d/scene/mesh/polygon.h"
#include "engine3d/scene/objects/object.h"
#include "engine3d/scene/objects/world.h"
#include "graphics2d/surfaces/surface_kinds.h"
#include "platform/display/headless_display.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/screen_dc.h"
#include "platform/gl/gl_probe.h"
#include "platform/gl/wgl.h"
#include "platform/system/system_info.h"
#include "platform/user/windows.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
// The sizes the textured scene's frames are timed at.
constexpr int kLargeWidth = 1024;
constexpr int kLargeHeight = 768;
// A wall of 20 x 15 textured quads, each two triangles, seen from the origin.
L3DCamera* TexturedScene(L3DWorld& world, LAPICLBK& device) {
    L3DCamera* camera = world.CreateCamera(0);
    LMaterial* material = world.materials.CreateMaterial(
        "Checker", bench::CheckerTexture(world, device), 0xFFFFFF, 0, nullptr);
    auto* wall = new L3DObject("Wall", &world, nullptr);
    for (int row = 0; row < 15; ++row)
        for (int column = 0; column < 20; ++column) {
            const float x = float(column * 10 - 100), y = float(row * 10 - 75), z = 200;
            for (int half = 0; half < 2; ++half) {
                LPolygon* polygon = device.CreatePolygon(wall, 2, 0);
                if (half == 0) {
                    polygon->AddNewVertex(x, y, z, 0, 0, 0, 0);
                    polygon->AddNewVertex(x + 10, y, z, 1, 0, 1, 0);
                    polygon->AddNewVertex(x + 10, y + 10, z, 1, 1, 1, 1);
                } else {
                    polygon->AddNewVertex(x, y, z, 0, 0, 0, 0);
                    polygon->AddNewVertex(x + 10, y + 10, z, 1, 1, 1, 1);
                    polygon->AddNewVertex(x, y + 10, z, 0, 1, 0, 1);
                }
                wall->AddPolygon(polygon, 0);
                polygon->SetMaterial(material);
            }
        }
    world.AddObject(wall, 1);
    wall->SetGouraud(1);
    return camera;
}

// One back end's world and renderer drawing the scene into its own window.
template <typename Device> struct View : bench::RenderView<Device> {
    using Scene = L3DCamera* (*)(L3DWorld&, LAPICLBK&);
    explicit View(int x, int width = kWidth, int height = kHeight, Scene scene = TexturedScene)
        : bench::RenderView<Device>("OpenGLBench", x, width, height, scene) {}
};

void BM_OpenGLTexturedFrameBesideSoftware(benchmark::State& state) {
    const int width = int(state.range(0)), height = int(state.range(1));
    if (!bench::StartHeadlessOpenGL(2 * kLargeWidth, kLargeHeight)) {
        state.SkipWithError("no OpenGL here");
    } else {
        View<LAPI_OpenGL> gl(0, width, height);
        View<LAPI_Surface_Win32> software(width, width, height);
        if (!gl.ok || !software.ok) {
            state.SkipWithError("a view could not be set up");
        } else {
            // The first frames upload the texture and build llvmpipe's shaders.
            gl.renderer->RenderFrame();
            software.renderer->RenderFrame();
            bench::SideBySide(
                state, int64_t(width) * height, "software", [&] { gl.renderer->RenderFrame(); },
                [&] { software.renderer->RenderFrame(); });
        }
    }
    UnregisterSurfaceThread();
}
BENCHMARK(BM_OpenGLTexturedFrameBesideSoftware)
    ->Args({kWidth, kHeight})
    ->Args({kLargeWidth, kLargeHeight})
    ->UseRealTime();

// The renderers' textured reference scene (tests/engine3d/render/textured_scene.h: wrapped,
// keyed and translucent textures, sprites, a backdrop) drawn by the software renderer
// beside llvmpipe drawing it through the OpenGL back end, whose immediate-mode calls and
// read-back into the window are counted in llvmpipe's time.
void BM_SoftwareReferenceFrameBesideLlvmpipe(benchmark::State& state) {
    const int width = int(state.range(0)), height = int(state.range(1));
    if (!bench::StartHeadlessOpenGL(2 * kLargeWidth, kLargeHeight)) {
        state.SkipWithError("no OpenGL here");
    } else {
        const auto scene = [](L3DWorld& world, LAPICLBK& device) {
            return BuildTexturedScene(world, device, 32);
        };
        View<LAPI_Surface_Win32> software(0, width, height, scene);
        View<LAPI_OpenGL> gl(width, width, height, scene);
        if (!gl.ok || !software.ok) {
            state.SkipWithError("a view could not be set up");
        } else {
            software.renderer->RenderFrame();
            gl.renderer->RenderFrame();
            bench::SideBySide(
                state, int64_t(width) * height, "llvmpipe",
                [&] { software.renderer->RenderFrame(); }, [&] { gl.renderer->RenderFrame(); });
        }
    }
    UnregisterSurfaceThread();
}
BENCHMARK(BM_SoftwareReferenceFrameBesideLlvmpipe)
    ->Args({kWidth, kHeight})
    ->Args({kLargeWidth, kLargeHeight})
    ->UseRealTime();

// The wall's 600 triangles as a plain program draws them: one vertex array in screen space,
// one texture, one glDrawElements, then the same read-back into the window as the back end's.
struct PlainProgram : bench::PlainTarget {
    explicit PlainProgram(HWND window, HGLRC context) : bench::PlainTarget{window, context} {
        dc = GetDC(window);
        wglMakeCurrent(dc, context);
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, wall.kTextureSize, wall.kTextureSize, 0, GL_RGBA,
                     GL_UNSIGNED_BYTE, wall.texels.data());
    }
    ~PlainProgram() {
        wglMakeCurrent(dc, context);
        glDeleteTextures(1, &texture);
        ReleaseDC(window, dc);
    }
    void Frame() {
        wglMakeCurrent(dc, context);
        bench::BeginPlainFrame(kWidth, kHeight);
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, texture);
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        wall.Draw();
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glDisableClientState(GL_VERTEX_ARRAY);
        Show();
    }

    const bench::PlainWall wall;
};

void BM_OpenGLTexturedFrameBesidePlainProgram(benchmark::State& state) {
    if (!bench::StartHeadlessOpenGL(2 * kWidth, kHeight)) {
        state.SkipWithError("no OpenGL here");
    } else {
        View<LAPI_OpenGL> gl(0);
        if (!gl.ok) {
            state.SkipWithError("the view could not be set up");
        } else {
            gl.renderer->RenderFrame();
            PlainProgram plain(gl.window, gl.world->glContext);
            plain.Frame();
            bench::SideBySide(
                state, int64_t(kWidth) * kHeight, "plain", [&] { gl.renderer->RenderFrame(); },
                [&] { plain.Frame(); });
        }
    }
    UnregisterSurfaceThread();
}
BENCHMARK(BM_OpenGLTexturedFrameBesidePlainProgram)->UseRealTime();

// What a frame asks of OpenGL, counted in the loader's slots: each counted slot is taken
// over by a function that counts and calls what the slot held.
struct CallCounts {
    int64_t begins = 0;
    int64_t ends = 0;
    int64_t vertices = 0;
    int64_t stateCalls = 0;
};

template <int Slot, typename R, typename... A> struct Counting {
    static inline R (*real)(A...) = nullptr;
    static inline int64_t* count = nullptr;
    static R Call(A... arguments) {
        ++*count;
        return real(arguments...);
    }
};

class CountingSlots {
public:
    explicit CountingSlots(CallCounts& counts) {
        Take<0>(gl11::glBegin, counts.begins);
        Take<1>(gl11::glEnd, counts.ends);
        Take<2>(gl11::glVertex4f, counts.vertices);
        // Everything that changes what later drawing does.
        Take<3>(gl11::glEnable, counts.stateCalls);
        Take<4>(gl11::glDisable, counts.stateCalls);
        Take<5>(gl11::glBindTexture, counts.stateCalls);
        Take<6>(gl11::glBlendFunc, counts.stateCalls);
        Take<7>(gl11::glDepthFunc, counts.stateCalls);
        Take<8>(gl11::glAlphaFunc, counts.stateCalls);
        Take<9>(gl11::glShadeModel, counts.stateCalls);
        Take<10>(gl11::glTexEnvi, counts.stateCalls);
        Take<11>(gl11::glTexParameteri, counts.stateCalls);
        Take<12>(gl11::glPolygonMode, counts.stateCalls);
        Take<13>(gl11::glFogi, counts.stateCalls);
        Take<14>(gl11::glFogf, counts.stateCalls);
        Take<15>(gl11::glFogfv, counts.stateCalls);
        Take<16>(gl11::glHint, counts.stateCalls);
        Take<17>(gl11::glDepthRange, counts.stateCalls);
        Take<18>(gl11::glMatrixMode, counts.stateCalls);
        Take<19>(gl11::glLoadIdentity, counts.stateCalls);
        Take<20>(gl11::glOrtho, counts.stateCalls);
        Take<21>(gl11::glViewport, counts.stateCalls);
    }
    ~CountingSlots() {
        for (auto& restore : restores_)
            restore();
    }
    CountingSlots(const CountingSlots&) = delete;
    CountingSlots& operator=(const CountingSlots&) = delete;

private:
    template <int Slot, typename R, typename... A> void Take(R (*&slot)(A...), int64_t& count) {
        using C = Counting<Slot, R, A...>;
        C::real = slot;
        C::count = &count;
        slot = &C::Call;
        restores_.push_back([&slot] { slot = C::real; });
    }

    std::vector<std::function<void()>> restores_;
};

// glBegin/glEnd pairs, vertices and state calls in a frame of the textured scene (the
// counts are the same in every frame after the first); the time is the frame's.
void BM_OpenGLCallsPerFrame(benchmark::State& state) {
    if (!bench::StartHeadlessOpenGL(kWidth, kHeight)) {
        state.SkipWithError("no OpenGL here");
    } else {
        View<LAPI_OpenGL> gl(0);
        if (!gl.ok) {
            state.SkipWithError("the view could not be set up");
        } else {
            gl.renderer->RenderFrame();
            CallCounts counts;
            {
                CountingSlots counting(counts);
                for (auto _ : state)
                    gl.renderer->RenderFrame();
            }
            const auto perFrame = [&](int64_t n) {
                return benchmark::Counter(double(n), benchmark::Counter::kAvgIterations);
            };
            state.counters["begin_end_pairs"] = perFrame(std::min(counts.begins, counts.ends));
            state.counters["vertices"] = perFrame(counts.vertices);
            state.counters["state_calls"] = perFrame(counts.stateCalls);
        }
    }
    UnregisterSurfaceThread();
}
BENCHMARK(BM_OpenGLCallsPerFrame)->UseRealTime();

// The conversion alone: nothing is handed to OpenGL without a current renderer.
void BM_OpenGLTextureConversion(benchmark::State& state) {
    const int depth = int(state.range(0));
    constexpr uint32_t kSide = 256;
    const uint32_t bytes = depth <= 16 ? 2 : uint32_t(depth) / 8;
    L3DWorld world(nullptr, 0, nullptr, nullptr);
    LTexture_OpenGL texture(&world, "Noise", nullptr);
    auto* pixels = static_cast<uint8_t*>(std::malloc(kSide * kSide * bytes));
    for (uint32_t i = 0; i < kSide * kSide * bytes; ++i)
        pixels[i] = uint8_t(i * 2654435761u >> 24);
    texture.SetImage(pixels, kSide * bytes, nullptr, 0, kSide, kSide, 1, uint32_t(depth), nullptr);
    texture.SetColorKey(1, 0x00FF00);
    bool withAlpha = false;
    for (auto _ : state)
        benchmark::DoNotOptimize(texture.Convert(kSide, kSide, withAlpha));
    state.SetBytesProcessed(int64_t(state.iterations()) * kSide * kSide * bytes);
}
BENCHMARK(BM_OpenGLTextureConversion)->Arg(16)->Arg(24)->Arg(32);

} // namespace
