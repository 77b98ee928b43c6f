// A tiny software target with its depth buffer and scanline tables, each in a buffer of
// exactly its size so that a write past any of them is caught, and a software polygon of
// test-owned points drawn into it.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "engine3d/render/software/polygon/software_polygon.h"
#include "engine3d/render/software/raster_state.h"
#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/materials/texture.h"
#include "engine3d/scene/mesh/point.h"
#include "engine3d/scene/objects/object.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/support/recording_device.h"

inline int TestBytesPerPixel(int depth) {
    return depth == 8 ? 1 : depth <= 16 ? 2 : depth / 8;
}

struct TestRaster {
    TestRaster(int width, int height, int depth, uint8_t fill = 0)
        : pixels(size_t(width * TestBytesPerPixel(depth) * height), fill),
          depthBuffer(size_t(width * height), 0), xa(size_t(height + 1)), xb(size_t(height + 1)),
          ea(size_t(height + 1)), eb(size_t(height + 1)) {
        state.Pixels = pixels.data();
        state.Pitch = width * TestBytesPerPixel(depth);
        state.BitsPerPixel = depth;
        state.ViewWidth = width;
        state.ViewHeight = height;
        state.DepthBuffer = depthBuffer.data();
        state.DepthPitch = width;
        state.XTableA = xa.data();
        state.XTableB = xb.data();
        state.EdgeTableA = ea.data();
        state.EdgeTableB = eb.data();
        state.TableRows = height + 1;
        SetCurrentSoftwareRaster(&state);
    }
    ~TestRaster() { SetCurrentSoftwareRaster(nullptr); }

    uint32_t Pixel(int x, int y) const {
        const int bytes = TestBytesPerPixel(state.BitsPerPixel);
        uint32_t v = 0;
        std::memcpy(&v, &pixels[size_t(y * state.Pitch + x * bytes)], size_t(bytes));
        return v;
    }
    int32_t Depth(int x, int y) const { return depthBuffer[size_t(y * state.DepthPitch + x)]; }

    std::vector<uint8_t> pixels;
    std::vector<int32_t> depthBuffer;
    std::vector<int32_t> xa, xb;
    std::vector<ScanEdge> ea, eb;
    SoftwareRasterState state;
};

// A texture whose texels are given in the target's format.
inline std::unique_ptr<LTexture> MakeTexture(int width, int height, int depth,
                                             std::vector<uint8_t>& storage) {
    auto t = std::make_unique<LTexture>(nullptr, "t", nullptr);
    t->width = uint32_t(width);
    t->height = uint32_t(height);
    t->pitch = uint32_t(width * TestBytesPerPixel(depth));
    t->bitsPerPixel = uint32_t(depth);
    storage.resize(size_t(t->pitch) * size_t(height));
    t->pixels = storage.data();
    t->ownsBuffers = 0;
    return t;
}

struct Corner {
    float x, y, w, u, v;
};

class RasterTest : public ::testing::Test {
protected:
    ~RasterTest() override {
        polygon->ReturnVertices();
        polygon->owner = nullptr;
        polygon.reset();
    }

    // The material (made on first use) with its texture slot 0 and mode.
    LMaterial& Material(LTexture* texture, uint32_t mode, uint32_t colour = 0x0000FF) {
        auto next = std::make_unique<LMaterial>(nullptr, "m", texture, colour, -1, nullptr);
        next->mode = mode;
        polygon->SetMaterial(next.get());
        material = std::move(next);
        return *material;
    }

    // Screen corners with their w and texel coordinates, lent to the polygon.
    void Corners(std::vector<Corner> corners) {
        points.clear();
        lent.clear();
        for (const Corner& c : corners) {
            auto p = std::make_unique<L3DPoint>();
            p->screenX = c.x;
            p->screenY = c.y;
            p->reciprocalDepth = c.w;
            p->vertexUV[0] = c.u;
            p->vertexUV[1] = c.v;
            lent.push_back(p.get());
            points.push_back(std::move(p));
        }
        polygon->LendVertices(lent.data(), int(lent.size()));
    }

    RecordingDevice device;
    L3DWorld world{&device, 0, nullptr, nullptr};
    std::unique_ptr<LMaterial> material;
    std::vector<std::unique_ptr<L3DPoint>> points;
    std::vector<L3DPoint*> lent;
    std::unique_ptr<LPolygon_Software> polygon =
        std::make_unique<LPolygon_Software>(nullptr, 2, &device);
};
