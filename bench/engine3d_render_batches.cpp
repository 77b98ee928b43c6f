// Each renderer beside a plain program, in one run: 10,000 textured, Gouraud-lit triangles
// (a wall of 100 x 50 quads in a 64 x 64 checker texture, one material) at 640 x 480 on a
// headless display, Mesa's llvmpipe on one thread. The plain program draws the very
// triangles the OpenGL back end projected (its batch's records and indices) with one
// glDrawElements of vertex, colour and texture arrays, in a mipmapped texture filtered as
// the back ends filter theirs, on the OpenGL back end's context and
// into its framebuffer, and shows the frame the same way (read back into the window).
// "ratio" is the renderer's time over the plain program's.
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <type_traits>
#include <vector>

#include "plain_wall.h"
#include "render_window.h"
#include "side_by_side.h"

#include "engine3d/render/dib_device.h"
#include "engine3d/render/direct3d/direct3d_device.h"
#include "engine3d/render/opengl/opengl_device.h"
#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/materials/material_list.h"
#include "engine3d/scene/materials/texture.h"
#include "engine3d/scene/materials/texture_list.h"
#include "engine3d/scene/mesh/material_batch.h"
#include "engine3d/scene/mesh/polygon.h"
#include "engine3d/scene/objects/object.h"
#include "engine3d/scene/objects/world.h"
#include "graphics2d/surfaces/surface_kinds.h"
#include "platform/display/headless_display.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/screen_dc.h"
#include "platform/gl/gl_probe.h"
#include "platform/gl/wgl.h"
#include "platform/user/windows.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kColumns = 100;
constexpr int kRows = 50;

// The wall's material and object, which the plain program reads.
struct WallParts {
    LMaterial* material = nullptr;
    L3DObject* wall = nullptr;
};

// A wall of kColumns x kRows quads, each two triangles, Gouraud-lit, seen from the origin.
L3DCamera* BuildWall(L3DWorld& world, LAPICLBK& device, WallParts& parts) {
    L3DCamera* camera = world.CreateCamera(0);
    parts.material = world.materials.CreateMaterial("Checker", bench::CheckerTexture(world, device),
                                                    0xFFFFFF, 0, nullptr);
    auto* wall = parts.wall = new L3DObject("Wall", &world, nullptr);
    const float w = 200.0f / kColumns, h = 150.0f / kRows;
    for (int row = 0; row < kRows; ++row)
        for (int column = 0; column < kColumns; ++column) {
            const float x = float(column) * w - 100, y = float(row) * h - 75, z = 200;
            for (int half = 0; half < 2; ++half) {
                LPolygon* polygon = device.CreatePolygon(wall, 2, 0);
                polygon->AddNewVertex(x, y, z, 0, 0, 0, 0);
                if (half == 0) {
                    polygon->AddNewVertex(x + w, y, z, 1, 0, 1, 0);
                    polygon->AddNewVertex(x + w, y + h, z, 1, 1, 1, 1);
                } else {
                    polygon->AddNewVertex(x + w, y + h, z, 1, 1, 1, 1);
                    polygon->AddNewVertex(x, y + h, z, 0, 1, 0, 1);
                }
                wall->AddPolygonOfMany(polygon);
                polygon->SetMaterial(parts.material);
            }
        }
    wall->RefreshShape();
    world.AddObject(wall, 1);
    wall->SetGouraud(1);
    return camera;
}

// One back end's world drawing the wall into its own window, its textures made,
// llvmpipe's shaders built and its batches filled. The parts come first: the view's scene
// fills them.
template <typename Device> struct View : WallParts, bench::RenderView<Device> {
    explicit View(int x)
        : bench::RenderView<Device>("BatchBench", x, kWidth, kHeight,
                                    [this](L3DWorld& world, LAPICLBK& device) {
                                        return BuildWall(world, device, *this);
                                    }) {
        if (this->ok) this->renderer->RenderFrame();
    }
};

// The plain program: the OpenGL back end's projected wall as arrays, one texture, one
// glDrawElements, then the same read-back into the window as the back end's.
struct PlainProgram : bench::PlainTarget {
    explicit PlainProgram(View<LAPI_OpenGL>& gl)
        : bench::PlainTarget{gl.window, gl.world->glContext} {
        LCacheMaterialList* batches = gl.wall->GetCurrentBatchList();
        const LCacheMaterial* batch = batches ? batches->FindBatch(gl.material) : nullptr;
        if (batch == nullptr || batch->indexCount == 0) return;
        for (const RenderVertex& v : batch->records) {
            positions.insert(positions.end(), {v.x, v.y, v.z});
            coordinates.insert(coordinates.end(), {v.u1 * v.rhw, v.v1 * v.rhw, 0, v.rhw});
            const uint32_t d = v.diffuse;
            colours.push_back((d >> 16 & 0xFF) | (d & 0xFF00) | (d & 0xFF) << 16 |
                              (d & 0xFF000000));
        }
        indices.assign(batch->indices.begin(), batch->indices.begin() + batch->indexCount);
        dc = GetDC(window);
        wglMakeCurrent(dc, context);
        std::vector<uint32_t> texels(64 * 64);
        for (int i = 0; i < 64 * 64; ++i)
            texels[size_t(i)] = (i % 64 / 8 + i / 64 / 8) % 2 ? 0xFFE08020u : 0xFFF0F0F0u;
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        // Filtered as the back ends filter theirs, so that both draw the same picture.
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_GENERATE_MIPMAP, GL_TRUE);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 64, 64, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                     texels.data());
    }
    ~PlainProgram() {
        if (dc == 0) return;
        wglMakeCurrent(dc, context);
        glDeleteTextures(1, &texture);
        ReleaseDC(window, dc);
    }
    bool Ready() const { return dc != 0; }
    void Frame() {
        wglMakeCurrent(dc, context);
        bench::BeginPlainFrame(kWidth, kHeight);
        glEnable(GL_DEPTH_TEST);
        glDisable(GL_BLEND);
        glDisable(GL_ALPHA_TEST);
        glShadeModel(GL_SMOOTH);
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, texture);
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_COLOR_ARRAY);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glVertexPointer(3, GL_FLOAT, 0, positions.data());
        glColorPointer(4, GL_UNSIGNED_BYTE, 0, colours.data());
        glTexCoordPointer(4, GL_FLOAT, 0, coordinates.data());
        glDrawElements(GL_TRIANGLES, GLsizei(indices.size()), GL_UNSIGNED_SHORT, indices.data());
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glDisableClientState(GL_COLOR_ARRAY);
        glDisableClientState(GL_VERTEX_ARRAY);
        Show();
    }

    std::vector<float> positions, coordinates;
    std::vector<uint32_t> colours;
    std::vector<GLushort> indices;
};

template <typename Device> void BesidePlainProgram(benchmark::State& state) {
    if (!bench::StartHeadlessOpenGL(2 * kWidth, kHeight)) {
        state.SkipWithError("no OpenGL here");
    } else {
        // The plain program borrows an OpenGL view's context and projected wall; the
        // OpenGL back end measures itself against its own view's.
        View<LAPI_OpenGL> gl(kWidth);
        std::unique_ptr<View<Device>> own;
        LRenderAPICLBK* renderer = gl.renderer;
        if constexpr (!std::is_same_v<Device, LAPI_OpenGL>) {
            own = std::make_unique<View<Device>>(0);
            renderer = own->ok ? own->renderer : nullptr;
        }
        PlainProgram plain(gl);
        if (!gl.ok || renderer == nullptr || !plain.Ready()) {
            state.SkipWithError("a view could not be set up");
        } else {
            plain.Frame();
            bench::SideBySide(
                state, int64_t(kWidth) * kHeight, "plain", [&] { renderer->RenderFrame(); },
                [&] { plain.Frame(); });
        }
    }
    UnregisterSurfaceThread();
}

void BM_OpenGLBatchBesidePlainProgram(benchmark::State& state) {
    BesidePlainProgram<LAPI_OpenGL>(state);
}
BENCHMARK(BM_OpenGLBatchBesidePlainProgram)->UseRealTime();

void BM_Direct3DBatchBesidePlainProgram(benchmark::State& state) {
    BesidePlainProgram<LAPI_Direct3D>(state);
}
BENCHMARK(BM_Direct3DBatchBesidePlainProgram)->UseRealTime();

void BM_SoftwareTrianglesBesidePlainProgram(benchmark::State& state) {
    BesidePlainProgram<LAPI_Surface_Win32>(state);
}
BENCHMARK(BM_SoftwareTrianglesBesidePlainProgram)->UseRealTime();

} // namespace
