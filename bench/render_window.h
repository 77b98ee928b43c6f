// What the renderer benchmarks share: a popup window on the headless display for a back end
// to draw into, and the world's 64 x 64 checker texture of two colours.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "engine3d/scene/materials/texture.h"
#include "engine3d/scene/materials/texture_list.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/render/device.h"
#include "platform/display/headless_display.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/user/windows.h"

namespace bench {

inline HWND OpenRenderWindow(const char* className, int x, int width, int height) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = className;
    RegisterClassA(&windowClass);
    const HWND window = CreateWindowExA(0, className, "", WS_POPUP | WS_VISIBLE, x, 0, width,
                                        height, 0, 0, 0, nullptr);
    platform::headless::DispatchPending();
    return window;
}

inline LTexture* CheckerTexture(L3DWorld& world, LAPICLBK& device) {
    constexpr uint32_t kSide = 64;
    auto* pixels = static_cast<uint8_t*>(std::malloc(kSide * kSide * 4));
    for (uint32_t y = 0; y < kSide; ++y)
        for (uint32_t x = 0; x < kSide; ++x) {
            const uint32_t texel = (x / 8 + y / 8) % 2 ? 0x2080E0 : 0xF0F0F0;
            std::memcpy(pixels + (y * kSide + x) * 4, &texel, 4);
        }
    LTexture* texture = device.CreateTexture(&world, "Checker", nullptr);
    world.textures.AddTexture(texture);
    texture->SetImage(pixels, kSide * 4, nullptr, 0, kSide, kSide, 1, 32, nullptr);
    return texture;
}

} // namespace bench
