// The Surface's sprite list and its script methods.
#include <algorithm>

#include "classes/surface/sprite_class.h"
#include "classes/surface/surface_class.h"
#include "script/interpreter/interpretor.h"

namespace {

bool IsGhost(const SpriteEntry* sprite) {
    return (sprite->flags & kSpriteGhost) != 0;
}

} // namespace

void CISurface::DetachAllSprites(int ghosts) {
    const std::vector<SpriteEntry*> list = plane.GetSprites();
    for (SpriteEntry* sprite : list) {
        if (!IsGhost(sprite)) static_cast<CISprite*>(sprite)->LeaveSurface(ghosts != 0);
    }
}

void CISurface::ForgetImageUsers() {
    const std::vector<CISprite*> users = imageUsers;
    for (CISprite* user : users)
        user->ImageSurfaceGone();
    imageUsers.clear();
}

void CISurface::ClearSprites() {
    if (autoBack != 0) interpreter->RaiseError(36);
    auto arg = [this](uint32_t i, int32_t fallback) {
        return interpreter->IsArgDefault(i) ? fallback : interpreter->GetArgInt(i);
    };
    const int32_t x = arg(0, 0), y = arg(1, 0);
    LiftSprites(x, y, x + arg(2, width), y + arg(3, height));
}

void CISurface::UpdateSprites() {
    if (autoBack != 0) interpreter->RaiseError(36);
    Plane().UpdateStates();
}

void CISurface::DrawSprites() {
    if (camera3D != nullptr) return;
    if (autoBack != 0) interpreter->RaiseError(36);
    SpritePlane& sprites = Plane();
    sprites.SaveBackgrounds();
    if (sprites.DrawSprites()) SetDirty();
}

void CISurface::ScrollSprites() {
    const int32_t dx = interpreter->IsArgDefault(0) ? 0 : interpreter->GetArgInt(0);
    const int32_t dy = interpreter->IsArgDefault(1) ? 0 : interpreter->GetArgInt(1);
    const bool oneLayer = !interpreter->IsArgDefault(2);
    const int32_t layer = oneLayer ? interpreter->GetArgInt(2) : 0;
    if (dx == 0 && dy == 0) return;
    bool moved = false;
    const std::vector<SpriteEntry*> list = plane.GetSprites();
    for (SpriteEntry* sprite : list) {
        if (IsGhost(sprite) || (oneLayer && sprite->layer != layer)) continue;
        static_cast<CISprite*>(sprite)->MoveBy(dx, dy);
        moved = true;
    }
    if (!moved) return;
    plane.spritesChanged = true;
    SetDirty();
}

void CISurface::GetFirstSprite() {
    const std::vector<SpriteEntry*>& list = plane.GetSprites();
    auto it = std::find_if(list.begin(), list.end(), [](SpriteEntry* s) { return !IsGhost(s); });
    interpreter->GetResultSlot()->SetObject(
        it != list.end() ? static_cast<CISprite*>(*it) : nullptr, 1);
}

void CISurface::GetLastSprite() {
    const std::vector<SpriteEntry*>& list = plane.GetSprites();
    auto it = std::find_if(list.rbegin(), list.rend(), [](SpriteEntry* s) { return !IsGhost(s); });
    interpreter->GetResultSlot()->SetObject(
        it != list.rend() ? static_cast<CISprite*>(*it) : nullptr, 1);
}

void CISurface::GetNextSprite() {
    CISprite* sprite = static_cast<CISprite*>(interpreter->GetArgObjectOfClass(0, 1));
    const std::vector<SpriteEntry*>& list = plane.GetSprites();
    auto it = std::find(list.begin(), list.end(), static_cast<SpriteEntry*>(sprite));
    CISprite* found = nullptr;
    if (it != list.end()) {
        auto next = std::find_if(it + 1, list.end(), [](SpriteEntry* s) { return !IsGhost(s); });
        if (next != list.end()) found = static_cast<CISprite*>(*next);
    }
    interpreter->GetResultSlot()->SetObject(found, 1);
}

void CISurface::GetPrevSprite() {
    CISprite* sprite = static_cast<CISprite*>(interpreter->GetArgObjectOfClass(0, 1));
    const std::vector<SpriteEntry*>& list = plane.GetSprites();
    auto it = std::find(list.rbegin(), list.rend(), static_cast<SpriteEntry*>(sprite));
    CISprite* found = nullptr;
    if (it != list.rend()) {
        auto previous =
            std::find_if(it + 1, list.rend(), [](SpriteEntry* s) { return !IsGhost(s); });
        if (previous != list.rend()) found = static_cast<CISprite*>(*previous);
    }
    interpreter->GetResultSlot()->SetObject(found, 1);
}

void CISurface::DeleteSprites() {
    DetachAllSprites(1);
    plane.spritesChanged = true;
    SetDirty();
}
