// The software renderer's picture of a scene, drawn at 32 bits into a memory surface: what
// the other back ends' pictures are held against.
#pragma once

#include <cstdint>
#include <cstring>
#include <functional>

#include <gtest/gtest.h>

#include "engine3d/render/dib_device.h"
#include "engine3d/render/software/dib_presenter.h"
#include "engine3d/scene/objects/world.h"
#include "graphics2d/drawing/surface_handle.h"
#include "platform/display/headless_display.h"

namespace render_test {

// `scene` builds the world's content and answers its camera; `flags` are added to the
// display mode's.
inline platform::headless::Pixels
SoftwareFrame(const std::function<L3DCamera*(L3DWorld&, LAPICLBK&)>& scene, int32_t width,
              int32_t height, uint32_t background, uint32_t flags = 0) {
    LAPI_Surface_Win32 device;
    L3DWorld world(&device, 0, nullptr, nullptr);
    auto* renderer = static_cast<LRenderAPI_Surface_Win32*>(device.CreateRenderer(&world));
    EXPECT_EQ(renderer->SetDisplayMode(width, height,
                                       LRenderAPICLBK::kSkipModeChecks |
                                           LRenderAPICLBK::kDepthBuffer | flags,
                                       32, background, 0),
              0);
    SurfaceHandle* prototype = nullptr;
    PickSurfaceType(&prototype, 32, kPickDIB, 0);
    SurfaceHandle surface;
    surface.Create(width, height, prototype);
    renderer->AttachSurface(&surface);
    EXPECT_EQ(renderer->AttachView(scene(world, device)), 0);
    renderer->RenderFrame();
    platform::headless::Pixels picture;
    picture.width = width;
    picture.height = height;
    const int32_t pitch = surface.GetImpl()->GetBits()->signedPitch;
    const uint8_t* top = surface.Lock();
    for (int32_t y = 0; y < height && top != nullptr; ++y)
        for (int32_t x = 0; x < width; ++x) {
            uint32_t value = 0;
            std::memcpy(&value, top + ptrdiff_t(y) * pitch + x * 4, 4);
            picture.data.push_back(value & 0xFFFFFF);
        }
    surface.Unlock();
    renderer->AttachSurface(nullptr);
    return picture;
}

} // namespace render_test
