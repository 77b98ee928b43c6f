// The sprites of a Surface showing a world: each is drawn by the world's renderer as a
// screen sprite over the scene, its texture copied from the sprite's picture as the 2D
// passes would draw it (scaled and turned already), at the place those passes would use.
#include <algorithm>
#include <cstdio>

#include "classes/surface/sprite_entry.h"
#include "classes/surface/surface_class.h"
#include "classes/surface/texture_copy.h"
#include "classes/surface/view3d.h"
#include "engine3d/scene/materials/texture.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/render/device.h"
#include "engine3d/scene/render/renderer.h"
#include "engine3d/scene/sprites/sprite.h"
#include "engine3d/scene/sprites/sprite_list.h"

namespace {

// Textures of overlays are named after a running number, as the world's own are.
uint32_t overlayTextureNumber = 0;

void Drop(L3DWorld& scene, const CISurface::Overlay& overlay) {
    scene.sprites.RemoveSprite(overlay.engine);
    if (overlay.texture != nullptr) scene.textures.RemoveTexture(overlay.texture);
}

} // namespace

void CISurface::DropOverlays() {
    L3DWorld* scene = world3D != nullptr ? world3D->GetEngineWorld() : nullptr;
    if (scene != nullptr)
        for (const Overlay& overlay : overlays3D)
            Drop(*scene, overlay);
    overlays3D.clear();
}

void CISurface::UpdateOverlays() {
    L3DWorld* scene = world3D != nullptr ? world3D->GetEngineWorld() : nullptr;
    if (scene == nullptr || device3D == nullptr || view3D == nullptr) return;
    const std::vector<SpriteEntry*>& sprites = plane.GetSprites();
    // Overlays of sprites that left the surface go first.
    std::erase_if(overlays3D, [&](const Overlay& overlay) {
        const bool listed =
            std::find(sprites.begin(), sprites.end(), overlay.sprite) != sprites.end() &&
            (overlay.sprite->flags & kSpriteGhost) == 0;
        if (!listed) Drop(*scene, overlay);
        return !listed;
    });
    // Walked from the front: each overlay goes before the one drawn over it.
    LSprite* over = nullptr;
    for (auto it = sprites.rbegin(); it != sprites.rend(); ++it) {
        SpriteEntry* sprite = *it;
        if ((sprite->flags & kSpriteGhost) != 0) continue;
        auto found = std::find_if(overlays3D.begin(), overlays3D.end(),
                                  [sprite](const Overlay& o) { return o.sprite == sprite; });
        if (found == overlays3D.end()) {
            LSprite* engine = scene->sprites.CreateSpriteBefore(scene, over, nullptr);
            if (engine == nullptr) continue;
            overlays3D.push_back(Overlay{sprite, engine, nullptr});
            found = overlays3D.end() - 1;
        } else if (over != nullptr) {
            scene->sprites.MoveBefore(found->engine, over);
        }
        Overlay& overlay = *found;
        over = overlay.engine;
        SurfaceHandle* picture = sprite->GetDrawnImage();
        const DirtyRect& place = sprite->next;
        const bool shown = sprite->IsVisible() && picture != nullptr && place.right > place.left &&
                           place.bottom > place.top;
        uint32_t mode = LSprite::kTextured;
        if (shown) {
            if (overlay.texture == nullptr) {
                char name[32];
                std::snprintf(name, sizeof name, "Texture %u", ++overlayTextureNumber);
                overlay.texture = device3D->CreateTexture(scene, name, nullptr);
                if (overlay.texture != nullptr) scene->textures.AddTexture(overlay.texture);
            }
            if (overlay.texture == nullptr ||
                !CopySurfaceToImage(*picture, *overlay.texture, view3D->depth))
                mode |= LSprite::kHidden;
        } else {
            mode |= LSprite::kHidden;
        }
        const bool transparent = (sprite->drawWord & kDrawTransparent) != 0;
        if (overlay.texture != nullptr) overlay.texture->SetColorKey(transparent ? 1 : 0, 0);
        if (transparent) mode |= LSprite::kTransparentColor;
        overlay.engine->SetTexture(overlay.texture);
        overlay.engine->SetDrawMode(mode);
        overlay.engine->SetHotSpot(0, 0);
        overlay.engine->SetBounds(place.left, place.top, place.right - place.left,
                                  place.bottom - place.top);
        // A semi-transparent sprite lets the scene show through by its level.
        overlay.engine->SetAlpha(uint8_t(std::clamp(255 - 2 * sprite->level, 0, 255)));
    }
}
