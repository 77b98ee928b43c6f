// Surface handles on memory surfaces for the drawing tests: a registered palette context and
// a 1 x 1 prototype handle per depth to make others from.
#pragma once

#include <gtest/gtest.h>

#include "graphics2d/drawing/surface_handle.h"
#include "graphics2d/palette/palette.h"
#include "graphics2d/surfaces/mem_surface.h"

class MemoryHandleTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(CreatePaletteContext(), nullptr); }
    void TearDown() override {
        for (auto& p : prototypes_)
            p.Release();
        ReleasePaletteContext();
    }

    SurfaceHandle* Prototype(int32_t depth) {
        SurfaceHandle& handle = prototypes_[DepthToFormatIndex(depth)];
        if (!handle.IsValid()) {
            cMemSurface prototype;
            EXPECT_EQ(prototype.InitFormat(depth), 1);
            handle.Attach(prototype.MakeInstance(1, 1));
        }
        return &handle;
    }
    // The colour at a point, 0xDEADBEEF where nothing can be read.
    static uint32_t At(SurfaceHandle& h, int32_t x, int32_t y) {
        uint32_t c = 0xDEADBEEF;
        h.GetPixel(x, y, &c);
        return c;
    }

    SurfaceHandle prototypes_[kFormatCount];
};
