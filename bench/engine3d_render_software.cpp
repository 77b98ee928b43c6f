// The software renderer's spans at 640 × 480, at 32 and 16 bits: full-screen textured
// layers (perspective, wrapping, depth-tested; pixels per second), 10^4 small textured
// triangles, Gouraud-lit solids and sprite fills; each alone, then beside Mesa's llvmpipe on
// one thread drawing the same polygons and texture into an EGL pbuffer of the same depth.
#include <EGL/egl.h>
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "side_by_side.h"

#include "engine3d/render/software/polygon/software_polygon.h"
#include "engine3d/render/software/raster_state.h"
#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/materials/texture.h"
#include "engine3d/scene/mesh/point.h"
#include "engine3d/scene/objects/object.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/render/null_device.h"

namespace {

constexpr int kWidth = 640, kHeight = 480;

int Bytes(int depth) {
    return depth == 8 ? 1 : depth <= 16 ? 2 : depth / 8;
}

// The lit colour and level of a polygon's corner i in the Gouraud line.
struct CornerColour {
    uint8_t r, g, b, level;
};
CornerColour ColourOfCorner(int i) {
    return {uint8_t(40 * i + 60), uint8_t(200 - 30 * i), 128, uint8_t(64 + 40 * i)};
}

// A target with its depth buffer and tables, a 256 × 256 texture of noise and a polygon
// that draws lent vertex lists.
struct Bench {
    explicit Bench(int depth)
        : depth(depth), pixels(size_t(kWidth * kHeight * Bytes(depth))),
          depthBuffer(size_t(kWidth * kHeight)), xa(kHeight + 1), xb(kHeight + 1), ea(kHeight + 1),
          eb(kHeight + 1) {
        raster.Pixels = pixels.data();
        raster.Pitch = kWidth * Bytes(depth);
        raster.BitsPerPixel = depth;
        raster.ViewWidth = kWidth;
        raster.ViewHeight = kHeight;
        raster.DepthBuffer = depthBuffer.data();
        raster.DepthPitch = kWidth;
        raster.XTableA = xa.data();
        raster.XTableB = xb.data();
        raster.EdgeTableA = ea.data();
        raster.EdgeTableB = eb.data();
        raster.TableRows = kHeight + 1;
        SetCurrentSoftwareRaster(&raster);
        std::mt19937 random(7);
        texels.resize(size_t(256 * 256 * Bytes(depth)));
        for (uint8_t& t : texels)
            t = uint8_t(random());
        texture.width = texture.height = 256;
        texture.pitch = uint32_t(256 * Bytes(depth));
        texture.bitsPerPixel = uint32_t(depth);
        texture.pixels = texels.data();
        texture.ownsBuffers = 0;
        polygon->SetMaterial(&material);
        for (auto& p : points)
            p = std::make_unique<L3DPoint>();
        for (int i = 0; i < 4; ++i)
            list[i] = points[size_t(i)].get();
    }
    ~Bench() {
        polygon->ReturnVertices();
        polygon->owner = nullptr;
        polygon.reset();
        SetCurrentSoftwareRaster(nullptr);
    }

    void Corner(int i, float x, float y, float w, float u, float v) {
        L3DPoint& p = *points[size_t(i)];
        p.screenX = x;
        p.screenY = y;
        p.reciprocalDepth = w;
        p.vertexUV[0] = u;
        p.vertexUV[1] = v;
        const CornerColour c = ColourOfCorner(i);
        p.frameColor[0] = c.r;
        p.frameColor[1] = c.g;
        p.frameColor[2] = c.b;
        p.frameColor[3] = c.level;
    }

    void Lend(int count) { polygon->LendVertices(list, count); }

    int depth;
    std::vector<uint8_t> pixels;
    std::vector<int32_t> depthBuffer;
    std::vector<int32_t> xa, xb;
    std::vector<ScanEdge> ea, eb;
    SoftwareRasterState raster;
    std::vector<uint8_t> texels;
    LAPINull device;
    L3DWorld world{&device, 0, nullptr, nullptr};
    LTexture texture{nullptr, "noise", nullptr};
    LMaterial material{nullptr, "m", &texture, 0x406080, -1, nullptr};
    std::unique_ptr<L3DPoint> points[4];
    L3DPoint* list[4] = {};
    std::unique_ptr<LPolygon_Software> polygon =
        std::make_unique<LPolygon_Software>(nullptr, 2, &device);
};

// A polygon corner as both renderers take it: screen position, reciprocal depth (1 is the
// nearest) and texel coordinates.
struct Corner {
    float x, y, w, u, v;
};

// What one line draws: polygons of `sides` corners each, through `routine`.
struct Scene {
    std::vector<Corner> corners;
    int sides = 3;
    LPolygon_Software::SpanRoutine routine = nullptr;
    bool depthTested = true;
    bool wrapping = false;
    bool gouraud = false;
    bool sprites = false;
    int64_t pixels = 0;
};

LPolygon_Software::SpanRoutine Entry(int depth, int entry) {
    return LPolygon_Software::RasterTableFor(depth)[entry].span;
}

// A full-screen quad leaning away (w from 1 to 0.25), its texture wrapping four times.
Scene TexturedLayer(int depth) {
    Scene s;
    s.corners = {{0, 0, 0.25f, 0, 0},
                 {kWidth, 0, 0.25f, 1024 * 0.25f, 0},
                 {kWidth, kHeight, 1.0f, 1024, 1024},
                 {0, kHeight, 1.0f, 0, 1024}};
    s.sides = 4;
    s.routine = Entry(depth, LPolygon_Software::kWrapEntry);
    s.wrapping = true;
    s.pixels = int64_t(kWidth) * kHeight;
    return s;
}

// 10^4 triangles of 48 pixels each, textured inside their texture.
Scene SmallTriangles(int depth) {
    Scene s;
    std::mt19937 random(3);
    for (int i = 0; i < 10000; ++i) {
        const float x = float(random() % (kWidth - 12)), y = float(random() % (kHeight - 12));
        s.corners.push_back({x, y, 0.5f, 10, 10});
        s.corners.push_back({x + 10, y + 1, 0.45f, 60, 12});
        s.corners.push_back({x + 4, y + 10, 0.4f, 30, 60});
    }
    s.routine = Entry(depth, LPolygon_Software::kInsideEntry);
    s.pixels = 10000 * 48;
    return s;
}

// A full-screen Gouraud-lit solid quad (level blend).
Scene GouraudSolid(int depth) {
    Scene s;
    s.corners = {{0, 0, 0.5f, 0, 0},
                 {kWidth, 0, 0.5f, 0, 0},
                 {kWidth, kHeight, 0.5f, 0, 0},
                 {0, kHeight, 0.5f, 0, 0}};
    s.sides = 4;
    s.routine = Entry(depth, LPolygon_Software::kSolidEntry);
    s.gouraud = true;
    s.pixels = int64_t(kWidth) * kHeight;
    return s;
}

// 100 keyed, translucent 64 × 64 sprites, drawn without depth test.
Scene SpriteFills(int depth) {
    Scene s;
    for (int i = 0; i < 100; ++i) {
        const float x = float((i * 37) % (kWidth - 64)), y = float((i * 53) % (kHeight - 64));
        s.corners.push_back({x, y, 1, 0, 0});
        s.corners.push_back({x + 64, y, 1, 256, 0});
        s.corners.push_back({x + 64, y + 64, 1, 256, 256});
        s.corners.push_back({x, y + 64, 1, 0, 256});
    }
    s.sides = 4;
    s.routine = depth == 32 ? &LPolygon_Software::FillQuadTexturedKeyedTranslucent32
                            : &LPolygon_Software::FillQuadTexturedKeyedTranslucent16;
    s.depthTested = false;
    s.sprites = true;
    s.pixels = 100 * 64 * 64;
    return s;
}

// Our renderer with the scene's material; the Gouraud line lights the polygons through an
// object of the world.
class Ours {
public:
    Ours(int depth, const Scene& scene) : bench_(depth), scene_(scene) {
        if (scene.gouraud) {
            object_ = std::make_unique<L3DObject>("lit", &bench_.world, nullptr);
            object_->objectFlags = L3DObject::kGouraud;
            bench_.polygon->owner = object_.get();
            bench_.material.mode = LMaterial::kSolid;
        } else {
            bench_.material.mode = LMaterial::kTextured;
        }
        if (scene.sprites) bench_.material.alpha = 160;
    }
    ~Ours() { bench_.polygon->owner = nullptr; }
    Ours(const Ours&) = delete;
    Ours& operator=(const Ours&) = delete;

    void Draw() {
        if (scene_.depthTested) std::fill(bench_.depthBuffer.begin(), bench_.depthBuffer.end(), 0);
        const size_t sides = size_t(scene_.sides);
        for (size_t i = 0; i < scene_.corners.size(); i += sides) {
            for (size_t k = 0; k < sides; ++k) {
                const Corner& c = scene_.corners[i + k];
                bench_.Corner(int(k), c.x, c.y, c.w, c.u, c.v);
            }
            bench_.Lend(scene_.sides);
            (bench_.polygon.get()->*scene_.routine)();
        }
        benchmark::DoNotOptimize(bench_.pixels.data());
    }

    const std::vector<uint8_t>& Texels() const { return bench_.texels; }

private:
    Bench bench_;
    const Scene& scene_;
    std::unique_ptr<L3DObject> object_;
};

void TimeOursAlone(benchmark::State& state, Scene (*make)(int)) {
    const int depth = int(state.range(0));
    const Scene scene = make(depth);
    Ours ours(depth, scene);
    for (auto _ : state)
        ours.Draw();
    state.counters["Mpixel/s"] = benchmark::Counter(double(scene.pixels) * 1e-6,
                                                    benchmark::Counter::kIsIterationInvariantRate);
}

void BM_SoftwareTexturedLayer(benchmark::State& state) {
    TimeOursAlone(state, TexturedLayer);
}
void BM_SoftwareSmallTriangles(benchmark::State& state) {
    TimeOursAlone(state, SmallTriangles);
}
void BM_SoftwareGouraudSolid(benchmark::State& state) {
    TimeOursAlone(state, GouraudSolid);
}
void BM_SoftwareSpriteFills(benchmark::State& state) {
    TimeOursAlone(state, SpriteFills);
}
BENCHMARK(BM_SoftwareTexturedLayer)->Arg(32)->Arg(16);
BENCHMARK(BM_SoftwareSmallTriangles)->Arg(32)->Arg(16);
BENCHMARK(BM_SoftwareGouraudSolid)->Arg(32)->Arg(16);
BENCHMARK(BM_SoftwareSpriteFills)->Arg(32)->Arg(16);

// The EGL display, opened once: llvmpipe reads its thread count when the display starts,
// so the variables are set before that, and an EGL without a display or without a software
// driver leaves the peer out rather than failing the run.
EGLDisplay SoftwareDisplay() {
    static const EGLDisplay display = [] {
        setenv("GALLIUM_DRIVER", "llvmpipe", 1);
        setenv("LP_NUM_THREADS", "1", 1);
        setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);
        setenv("EGL_PLATFORM", "surfaceless", 0);
        EGLDisplay d = eglGetDisplay(EGL_DEFAULT_DISPLAY);
        if (d == EGL_NO_DISPLAY || eglInitialize(d, nullptr, nullptr) != EGL_TRUE ||
            eglBindAPI(EGL_OPENGL_API) != EGL_TRUE)
            return EGL_NO_DISPLAY;
        return d;
    }();
    return display;
}

// llvmpipe drawing the scene into a 640 × 480 pbuffer of `depth` bits, with fixed-function
// GL: the scene's texture sampled nearest and replacing the colour, perspective-correct,
// depth-tested where ours is. Sprites blend the texture's alpha (160, none on the key
// colour) after an alpha test, as ours blends and skips keyed texels.
class Llvmpipe {
public:
    // Null with `why` set when EGL, llvmpipe or a pbuffer of that depth is not there.
    static std::unique_ptr<Llvmpipe> Open(int depth, const Scene& scene, const Ours& ours,
                                          std::string& why) {
        const EGLDisplay display = SoftwareDisplay();
        if (display == EGL_NO_DISPLAY) {
            why = "no EGL display with desktop GL";
            return nullptr;
        }
        const EGLConfig config = PbufferConfig(display, depth);
        if (config == nullptr) {
            why = "no " + std::string(depth == 16 ? "5-6-5" : "8-8-8") + " pbuffer config";
            return nullptr;
        }
        auto peer = std::unique_ptr<Llvmpipe>(new Llvmpipe(display, scene));
        const EGLint size[] = {EGL_WIDTH, kWidth, EGL_HEIGHT, kHeight, EGL_NONE};
        peer->surface_ = eglCreatePbufferSurface(display, config, size);
        peer->context_ = eglCreateContext(display, config, EGL_NO_CONTEXT, nullptr);
        if (peer->surface_ == EGL_NO_SURFACE || peer->context_ == EGL_NO_CONTEXT ||
            eglMakeCurrent(display, peer->surface_, peer->surface_, peer->context_) != EGL_TRUE) {
            why = "no GL context on a pbuffer";
            return nullptr;
        }
        const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
        if (renderer == nullptr || std::strstr(renderer, "llvmpipe") == nullptr) {
            why = std::string("the renderer is not llvmpipe: ") + (renderer ? renderer : "none");
            return nullptr;
        }
        peer->SetUp(depth, ours);
        return peer;
    }

    ~Llvmpipe() {
        if (texture_ != 0) glDeleteTextures(1, &texture_);
        eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        if (context_ != EGL_NO_CONTEXT) eglDestroyContext(display_, context_);
        if (surface_ != EGL_NO_SURFACE) eglDestroySurface(display_, surface_);
    }
    Llvmpipe(const Llvmpipe&) = delete;
    Llvmpipe& operator=(const Llvmpipe&) = delete;

    // Waits for the pixels: llvmpipe only bins the triangles until a flush.
    void Draw() {
        if (scene_.depthTested) glClear(GL_DEPTH_BUFFER_BIT);
        glDrawArrays(scene_.sides == 4 ? GL_QUADS : GL_TRIANGLES, 0, vertexCount_);
        glFinish();
    }

private:
    Llvmpipe(EGLDisplay display, const Scene& scene) : display_(display), scene_(scene) {}

    // The config whose colour bits are exactly those of the depth, with a depth buffer.
    static EGLConfig PbufferConfig(EGLDisplay display, int depth) {
        const EGLint wanted[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE,
                                 EGL_OPENGL_BIT,   EGL_DEPTH_SIZE,  16,
                                 EGL_NONE};
        EGLint count = 0;
        if (eglChooseConfig(display, wanted, nullptr, 0, &count) != EGL_TRUE || count <= 0)
            return nullptr;
        std::vector<EGLConfig> configs(size_t(count), nullptr);
        eglChooseConfig(display, wanted, configs.data(), count, &count);
        const EGLint green = depth == 16 ? 6 : 8, other = depth == 16 ? 5 : 8;
        for (EGLConfig c : configs) {
            EGLint r = 0, g = 0, b = 0;
            eglGetConfigAttrib(display, c, EGL_RED_SIZE, &r);
            eglGetConfigAttrib(display, c, EGL_GREEN_SIZE, &g);
            eglGetConfigAttrib(display, c, EGL_BLUE_SIZE, &b);
            if (r == other && g == green && b == other) return c;
        }
        return nullptr;
    }

    void SetUp(int depth, const Ours& ours) {
        glViewport(0, 0, kWidth, kHeight);
        if (scene_.depthTested) {
            glEnable(GL_DEPTH_TEST);
            glDepthFunc(GL_LESS);
        }
        // Clip coordinates whose division by w gives back the screen position, with the
        // depth falling as the reciprocal depth rises.
        for (size_t i = 0; i < scene_.corners.size(); ++i) {
            const Corner& c = scene_.corners[i];
            const float w = 1 / c.w;
            vertices_.push_back(
                {(2 * c.x / kWidth - 1) * w, (1 - 2 * c.y / kHeight) * w, (1 - c.w) * w, w});
            uvs_.push_back({c.u / 256, c.v / 256});
            const CornerColour colour = ColourOfCorner(int(i % size_t(scene_.sides)));
            colours_.push_back({colour.r, colour.g, colour.b, 255});
        }
        vertexCount_ = GLsizei(vertices_.size());
        glEnableClientState(GL_VERTEX_ARRAY);
        glVertexPointer(4, GL_FLOAT, 0, vertices_.data());
        if (scene_.gouraud) {
            glShadeModel(GL_SMOOTH);
            glEnableClientState(GL_COLOR_ARRAY);
            glColorPointer(4, GL_UNSIGNED_BYTE, 0, colours_.data());
            return;
        }
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(2, GL_FLOAT, 0, uvs_.data());
        glGenTextures(1, &texture_);
        glBindTexture(GL_TEXTURE_2D, texture_);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        const GLint wrap = scene_.wrapping ? GL_REPEAT : GL_CLAMP_TO_EDGE;
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
        glEnable(GL_TEXTURE_2D);
        const std::vector<uint8_t>& texels = ours.Texels();
        if (scene_.sprites) {
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 256, 256, 0, GL_BGRA, GL_UNSIGNED_BYTE,
                         SpriteTexels(depth, texels).data());
            glEnable(GL_ALPHA_TEST);
            glAlphaFunc(GL_GREATER, 0);
            glEnable(GL_BLEND);
            glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        } else if (depth == 16) {
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB5, 256, 256, 0, GL_RGB, GL_UNSIGNED_SHORT_5_6_5,
                         texels.data());
        } else {
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, 256, 256, 0, GL_BGRA, GL_UNSIGNED_BYTE,
                         texels.data());
        }
    }

    // Our texels as 8-8-8-8 with the sprites' alpha, none where ours sees the key (black).
    static std::vector<uint8_t> SpriteTexels(int depth, const std::vector<uint8_t>& texels) {
        std::vector<uint8_t> rgba(256 * 256 * 4);
        for (size_t i = 0; i < 256 * 256; ++i) {
            uint8_t* out = &rgba[i * 4];
            if (depth == 16) {
                const uint16_t t = uint16_t(texels[i * 2] | texels[i * 2 + 1] << 8);
                out[0] = uint8_t((t & 0x1f) << 3);
                out[1] = uint8_t((t >> 5 & 0x3f) << 2);
                out[2] = uint8_t((t >> 11) << 3);
            } else {
                std::copy_n(&texels[i * 4], 3, out);
            }
            out[3] = out[0] == 0 && out[1] == 0 && out[2] == 0 ? 0 : 160;
        }
        return rgba;
    }

    struct Vertex {
        float x, y, z, w;
    };
    struct Uv {
        float s, t;
    };
    struct Colour {
        uint8_t r, g, b, a;
    };

    EGLDisplay display_;
    const Scene& scene_;
    EGLSurface surface_ = EGL_NO_SURFACE;
    EGLContext context_ = EGL_NO_CONTEXT;
    GLuint texture_ = 0;
    std::vector<Vertex> vertices_;
    std::vector<Uv> uvs_;
    std::vector<Colour> colours_;
    GLsizei vertexCount_ = 0;
};

// Ours and llvmpipe in turn; without EGL or llvmpipe the line says why, and the
// BM_Software* lines above time ours alone.
void TimeBesideLlvmpipe(benchmark::State& state, Scene (*make)(int)) {
    const int depth = int(state.range(0));
    const Scene scene = make(depth);
    Ours ours(depth, scene);
    std::string why;
    const auto peer = Llvmpipe::Open(depth, scene, ours, why);
    if (peer == nullptr) {
        state.SkipWithError(("llvmpipe left out: " + why).c_str());
        return;
    }
    bench::SideBySide(
        state, scene.pixels, "llvmpipe", [&] { ours.Draw(); }, [&] { peer->Draw(); });
}

void BM_TexturedLayerBesideLlvmpipe(benchmark::State& state) {
    TimeBesideLlvmpipe(state, TexturedLayer);
}
void BM_SmallTrianglesBesideLlvmpipe(benchmark::State& state) {
    TimeBesideLlvmpipe(state, SmallTriangles);
}
void BM_GouraudSolidBesideLlvmpipe(benchmark::State& state) {
    TimeBesideLlvmpipe(state, GouraudSolid);
}
void BM_SpriteFillsBesideLlvmpipe(benchmark::State& state) {
    TimeBesideLlvmpipe(state, SpriteFills);
}
BENCHMARK(BM_TexturedLayerBesideLlvmpipe)->Arg(32)->Arg(16);
BENCHMARK(BM_SmallTrianglesBesideLlvmpipe)->Arg(32)->Arg(16);
BENCHMARK(BM_GouraudSolidBesideLlvmpipe)->Arg(32)->Arg(16);
BENCHMARK(BM_SpriteFillsBesideLlvmpipe)->Arg(32)->Arg(16);

} // namespace
