// The Surface's sprite list and its script methods.
#include "classes/surface/surface_class.h"
#include "script/interpreter/interpretor.h"

void CISurface::MarkSpriteDirty(CISprite*) {}

void CISurface::DetachAllSprites(int) {
    sprites.RemoveAll();
}

void CISurface::ClearSprites() {
    if (autoBack != 0) interpreter->RaiseError(36);
}

void CISurface::UpdateSprites() {
    if (autoBack != 0) interpreter->RaiseError(36);
}

void CISurface::DrawSprites() {
    if (autoBack != 0) interpreter->RaiseError(36);
}

void CISurface::ScrollSprites() {}

void CISurface::GetFirstSprite() {
    interpreter->GetResultSlot()->SetObject(nullptr, 1);
}

void CISurface::GetLastSprite() {
    interpreter->GetResultSlot()->SetObject(nullptr, 1);
}

void CISurface::GetNextSprite() {
    interpreter->GetResultSlot()->SetObject(nullptr, 1);
}

void CISurface::GetPrevSprite() {
    interpreter->GetResultSlot()->SetObject(nullptr, 1);
}

void CISurface::DeleteSprites() {
    DetachAllSprites(1);
    spritesChanged = 1;
    SetDirty();
}
