// The textured reference scene: a floor of tiles repeating four times each way, a wall of
// stripes repeating three times, a keyed ring letting the wall show through, a translucent
// pane over both, a backdrop, and three sprites (textured, keyed, and a translucent solid).
// Every back end draws it; the software renderer's frames of it are the goldens.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/materials/material_list.h"
#include "engine3d/scene/materials/texture.h"
#include "engine3d/scene/materials/texture_list.h"
#include "engine3d/scene/mesh/polygon.h"
#include "engine3d/scene/objects/object.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/render/device.h"
#include "engine3d/scene/sprites/sprite.h"
#include "engine3d/scene/sprites/sprite_list.h"

namespace textured_scene {

// Black, so that keyed sprites at 8 bits, which leave out index 0, are keyed too.
constexpr uint32_t kKey = 0x000000;

// A colour 0x00BBGGRR as a texel of 15, 16, 24 or 32 bits.
inline uint32_t PackTexel(uint32_t colour, uint32_t depth) {
    const uint32_t r = colour & 0xFF, g = colour >> 8 & 0xFF, b = colour >> 16 & 0xFF;
    if (depth == 15) return r >> 3 << 10 | g >> 3 << 5 | b >> 3;
    if (depth == 16) return r >> 3 << 11 | g >> 2 << 5 | b >> 3;
    return r << 16 | g << 8 | b;
}

// Builds the world's textures at `depth` bits, each texel packed by `pack(colour)`.
template <typename Pack> class Builder {
public:
    Builder(L3DWorld& world, LAPICLBK& device, uint32_t depth, Pack pack)
        : world_(world), device_(device), depth_(depth), pack_(pack) {}

    // A texture of `size` x `size` texels painted by `paint(x, y)` (0x00BBGGRR).
    template <typename Paint> LTexture* Texture(const char* name, uint32_t size, Paint paint) {
        const uint32_t bytes = (depth_ + 7u) / 8u;
        const uint32_t pitch = (size * bytes + 3) & ~3u;
        auto* pixels = static_cast<uint8_t*>(std::calloc(pitch, size));
        for (uint32_t y = 0; y < size; ++y)
            for (uint32_t x = 0; x < size; ++x) {
                const uint32_t texel = pack_(paint(x, y));
                std::memcpy(pixels + y * pitch + x * bytes, &texel, bytes);
            }
        LTexture* texture = device_.CreateTexture(&world_, name, nullptr);
        world_.textures.AddTexture(texture);
        texture->SetImage(pixels, pitch, nullptr, 0, size, size, 1, depth_, nullptr);
        return texture;
    }

    // A four-cornered polygon; each corner gives x, y, z, u, v.
    void Quad(L3DObject& object, LMaterial* material, const float (&corners)[4][5]) {
        LPolygon* polygon = device_.CreatePolygon(&object, 2, 0);
        polygon->capacity = 4;
        for (const auto& c : corners)
            polygon->AddNewVertex(c[0], c[1], c[2], c[3], c[4], c[3], c[4]);
        object.AddPolygon(polygon, 0);
        polygon->SetMaterial(material);
    }

    L3DCamera* Build() {
        L3DWorld& world = world_;
        L3DCamera* camera = world.CreateCamera(0);
        auto checker = [](uint32_t a, uint32_t b, uint32_t cell) {
            return [=](uint32_t x, uint32_t y) { return (x / cell + y / cell) % 2 ? a : b; };
        };
        LTexture* sky = Texture(
            "Sky", 16, [](uint32_t x, uint32_t y) { return 0x800000 + (y * 8 << 8) + x * 4; });
        LTexture* tiles = Texture("Tiles", 16, checker(0x2080E0, 0xF0F0F0, 4));
        LTexture* stripes =
            Texture("Stripes", 8, [](uint32_t x, uint32_t) { return x < 4 ? 0x00C000 : 0x004000; });
        LTexture* ring = Texture("Ring", 16, [](uint32_t x, uint32_t y) {
            const int dx = int(x) * 2 - 15, dy = int(y) * 2 - 15;
            const int d = dx * dx + dy * dy;
            return d < 100 || d > 220 ? kKey : 0x00D0FF;
        });
        ring->SetColorKey(1, kKey);
        LTexture* glass = Texture("Glass", 8, checker(0xFF4040, 0x4040FF, 2));

        world.SetBackgroundMaterial(world.materials.CreateMaterial("Sky", sky, 0, 0, nullptr));
        world.SetBackgroundParams(1, 1, 2, 2);
        LMaterial* floor = world.materials.CreateMaterial("Tiles", tiles, 0xFFFFFF, 0, nullptr);
        LMaterial* wall = world.materials.CreateMaterial("Stripes", stripes, 0xFFFFFF, 0, nullptr);
        LMaterial* keyed = world.materials.CreateMaterial("Ring", ring, 0xFFFFFF, 0, nullptr);
        LMaterial* pane = world.materials.CreateMaterial("Glass", glass, 0xFFFFFF, 0, nullptr);
        pane->SetAlphaValue(128);

        auto* room = new L3DObject("Room", &world, nullptr);
        Quad(*room, floor,
             {{-120, -40, 120, 0, 0},
              {120, -40, 120, 4, 0},
              {120, -40, 420, 4, 4},
              {-120, -40, 420, 0, 4}});
        Quad(*room, wall,
             {{-90, -40, 300, 0, 1},
              {90, -40, 300, 3, 1},
              {90, 50, 300, 3, 0},
              {-90, 50, 300, 0, 0}});
        // The ring lets the wall show through its middle and corners; the glass lies over
        // the ring's left side and the floor.
        Quad(*room, keyed,
             {{0, -20, 220, 0, 1}, {50, -20, 220, 1, 1}, {50, 30, 220, 1, 0}, {0, 30, 220, 0, 0}});
        Quad(*room, pane,
             {{-40, -30, 170, 0, 1},
              {10, -30, 170, 1, 1},
              {10, 10, 170, 1, 0},
              {-40, 10, 170, 0, 0}});
        world.AddObject(room, 1);

        LSprite* badge = world.sprites.CreateSprite(&world, nullptr);
        badge->SetTexture(tiles);
        badge->SetDrawMode(LSprite::kTextured);
        badge->SetBounds(4, 4, 32, 24);
        LSprite* target = world.sprites.CreateSprite(&world, nullptr);
        target->SetTexture(ring);
        target->SetDrawMode(LSprite::kTextured | LSprite::kTransparentColor);
        target->SetBounds(120, 4, 32, 32);
        LSprite* shade = world.sprites.CreateSprite(&world, nullptr);
        shade->SetColor(0x000000);
        shade->SetAlpha(128);
        shade->SetBounds(40, 96, 80, 20);
        return camera;
    }

private:
    L3DWorld& world_;
    LAPICLBK& device_;
    uint32_t depth_;
    Pack pack_;
};

} // namespace textured_scene

// The scene in `world` at `depth` bits (15 to 32), seen by the camera returned.
inline L3DCamera* BuildTexturedScene(L3DWorld& world, LAPICLBK& device, uint32_t depth) {
    auto pack = [depth](uint32_t colour) { return textured_scene::PackTexel(colour, depth); };
    return textured_scene::Builder<decltype(pack)>(world, device, depth, pack).Build();
}
