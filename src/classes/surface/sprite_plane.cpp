#include "classes/surface/sprite_plane.h"

#include <algorithm>
#include <new>

#include "graphics2d/drawing/surface_handle.h"

namespace {

DirtyRect Union(const DirtyRect& a, const DirtyRect& b) {
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

bool Intersect(DirtyRect* a, const DirtyRect& b) {
    a->left = std::max(a->left, b.left);
    a->top = std::max(a->top, b.top);
    a->right = std::min(a->right, b.right);
    a->bottom = std::min(a->bottom, b.bottom);
    return a->left < a->right && a->top < a->bottom;
}

bool HasClip(const DirtyRect& clip) {
    return clip.left != 0 || clip.top != 0 || clip.right != 0 || clip.bottom != 0;
}

} // namespace

SpriteEntry::SpriteEntry(const SpriteEntry& sprite)
    : flags(sprite.flags), layer(sprite.layer), drawn(sprite.drawn), next(sprite.next),
      saved(sprite.saved), clip(sprite.clip), drawWord(sprite.drawWord), level(sprite.level) {}

SpritePlane::SpritePlane() = default;

SpritePlane::~SpritePlane() {
    for (SpriteEntry* sprite : sprites_) {
        if (sprite->flags & kSpriteGhost) delete sprite;
    }
}

void SpritePlane::SetPicture(SurfaceHandle* picture) {
    picture_ = picture;
    DropBackgroundStore();
}

void SpritePlane::SetHosted(bool hosted) {
    hosted_ = hosted;
    if (!hosted) dirty.Clear();
}

void SpritePlane::DropBackgroundStore() {
    store_.reset();
    for (SpriteEntry* sprite : sprites_)
        sprite->flags &= ~kSpriteBackgroundSaved;
}

void SpritePlane::AddDirtyRect(DirtyRect rect) {
    if (hosted_) dirty.Add(rect);
}

void SpritePlane::MarkSpriteDirty(SpriteEntry* sprite) {
    if (sprite->flags & kSpriteMarked) return;
    sprite->flags |= kSpriteMarked;
    // A work list rather than recursion: a long chain of overlapping sprites must not
    // grow the stack.
    pending_.clear();
    pending_.push_back(sprite);
    for (int scans = 0; !pending_.empty(); ++scans) {
        if (scans == kDirectScans) {
            MarkThroughIndex();
            return;
        }
        SpriteEntry* reached = pending_.back();
        pending_.pop_back();
        const DirtyRect area = Union(reached->drawn, reached->next);
        for (SpriteEntry* other : sprites_) {
            if (other->flags & (kSpriteMarked | kSpriteHidden)) continue;
            if (RectsOverlap(area, other->drawn) || RectsOverlap(area, other->next)) {
                other->flags |= kSpriteMarked;
                pending_.push_back(other);
            }
        }
    }
}

void SpritePlane::MarkThroughIndex() {
    // The sprites still to reach, by the left edge of both their places, so that each
    // step looks only at those that start left of the area's right edge.
    struct Candidate {
        int32_t left;
        SpriteEntry* sprite;
    };
    std::vector<Candidate> index;
    index.reserve(sprites_.size());
    for (SpriteEntry* other : sprites_) {
        if ((other->flags & (kSpriteMarked | kSpriteHidden)) == 0)
            index.push_back({std::min(other->drawn.left, other->next.left), other});
    }
    std::sort(index.begin(), index.end(),
              [](const Candidate& a, const Candidate& b) { return a.left < b.left; });
    size_t first = 0;
    while (!pending_.empty()) {
        SpriteEntry* reached = pending_.back();
        pending_.pop_back();
        const DirtyRect area = Union(reached->drawn, reached->next);
        while (first < index.size() && (index[first].sprite->flags & kSpriteMarked))
            ++first;
        for (size_t i = first; i < index.size() && index[i].left < area.right; ++i) {
            SpriteEntry* other = index[i].sprite;
            if (other->flags & kSpriteMarked) continue;
            if (RectsOverlap(area, other->drawn) || RectsOverlap(area, other->next)) {
                other->flags |= kSpriteMarked;
                pending_.push_back(other);
            }
        }
    }
}

void SpritePlane::SpriteChanged(SpriteEntry* sprite) {
    if (Contains(sprite) && (sprite->flags & kSpriteHidden) == 0) {
        sprite->flags &= ~kSpriteMarked;
        MarkSpriteDirty(sprite);
    }
    spritesChanged = true;
}

void SpritePlane::LiftSprites(DirtyRect rect) {
    if (sprites_.empty()) return;
    if (rect.left > rect.right) std::swap(rect.left, rect.right);
    if (rect.top > rect.bottom) std::swap(rect.top, rect.bottom);
    const bool whole = picture_ == nullptr ||
                       (rect.left <= 0 && rect.top <= 0 && rect.right >= picture_->GetWidth() &&
                        rect.bottom >= picture_->GetHeight());
    if (!whole) {
        for (size_t i = 0; i < sprites_.size();) {
            const SpriteEntry* sprite = sprites_[i];
            if ((sprite->flags & kSpriteBackgroundSaved) && RectsOverlap(sprite->drawn, rect)) {
                const DirtyRect grown = Union(rect, sprite->drawn);
                if (grown.left != rect.left || grown.top != rect.top || grown.right != rect.right ||
                    grown.bottom != rect.bottom) {
                    rect = grown;
                    i = 0;
                    continue;
                }
            }
            ++i;
        }
    }
    if (picture_ == nullptr || store_ == nullptr) return;
    for (size_t i = 0; i < sprites_.size();) {
        SpriteEntry* sprite = sprites_[i];
        if ((sprite->flags & kSpriteBackgroundSaved) && RectsOverlap(sprite->drawn, rect)) {
            const DirtyRect& s = sprite->saved;
            store_->Blit(picture_, s.left, s.top, s.left, s.top, s.right - s.left, s.bottom - s.top,
                         0, 0, 0, 0);
            sprite->flags &= ~kSpriteBackgroundSaved;
            AddDirtyRect(s);
            sprite->flags |= kSpriteToDraw;
            if (sprite->flags & kSpriteGhost) {
                DeleteGhostAt(i);
                continue;
            }
        }
        ++i;
    }
}

bool SpritePlane::RunPasses() {
    if (!spritesChanged || !autoBack) return false;
    bool changed = RestoreBackgrounds();
    UpdateStates();
    SaveBackgrounds();
    changed = DrawSprites() || changed;
    spritesChanged = false;
    return changed;
}

bool SpritePlane::RestoreBackgrounds() {
    bool restored = false;
    for (size_t i = 0; i < sprites_.size();) {
        SpriteEntry* sprite = sprites_[i];
        if ((sprite->flags & (kSpriteMarked | kSpriteBackgroundSaved)) ==
            (kSpriteMarked | kSpriteBackgroundSaved)) {
            sprite->flags &= ~kSpriteBackgroundSaved;
            const DirtyRect& s = sprite->saved;
            if (picture_ != nullptr && store_ != nullptr)
                store_->Blit(picture_, s.left, s.top, s.left, s.top, s.right - s.left,
                             s.bottom - s.top, 0, 0, 0, 0);
            AddDirtyRect(s);
            restored = true;
        }
        if (sprite->flags & kSpriteGhost) {
            DeleteGhostAt(i);
            continue;
        }
        ++i;
    }
    return restored;
}

void SpritePlane::UpdateStates() {
    for (SpriteEntry* sprite : sprites_) {
        if ((sprite->flags & kSpriteMarked) == 0) continue;
        if (sprite->flags & kSpriteHideRequested) {
            sprite->flags &= ~kSpriteHideRequested;
            sprite->flags |= kSpriteHidden;
        }
        if (sprite->flags & kSpriteShowRequested)
            sprite->flags &= ~(kSpriteShowRequested | kSpriteHidden);
        if ((sprite->flags & kSpriteHidden) == 0) sprite->flags |= kSpriteToDraw;
        sprite->ApplyRequested();
        sprite->flags &= ~(kSpriteTransformChanged | kSpriteMarked | kSpriteRefreshed);
        sprite->drawn = sprite->next;
    }
}

bool SpritePlane::VisiblePart(const SpriteEntry& sprite, bool widen, DirtyRect* part) const {
    DirtyRect rect = sprite.drawn;
    if (widen) {
        rect.left -= 1;
        rect.top -= 1;
        rect.right += 1;
        rect.bottom += 1;
    }
    int32_t x = 0, y = 0, w = 0, h = 0;
    picture_->GetClipRect(&x, &y, &w, &h);
    if (!Intersect(&rect, {x, y, x + w, y + h})) return false;
    if (HasClip(sprite.clip)) {
        const DirtyRect clip = {
            sprite.drawn.left + sprite.clip.left, sprite.drawn.top + sprite.clip.top,
            sprite.drawn.left + sprite.clip.right, sprite.drawn.top + sprite.clip.bottom};
        if (!Intersect(&rect, clip)) return false;
    }
    *part = rect;
    return true;
}

void SpritePlane::SaveBackgrounds() {
    if (picture_ == nullptr) return;
    for (SpriteEntry* sprite : sprites_) {
        if ((sprite->flags & kSpriteToDraw) == 0 || (sprite->flags & kSpriteNotDrawn2D)) continue;
        DirtyRect part;
        if (!VisiblePart(*sprite, (sprite->drawWord & kDrawAntiAliased) != 0, &part)) {
            sprite->flags &= ~kSpriteBackgroundSaved;
            continue;
        }
        if (store_ == nullptr) {
            std::unique_ptr<SurfaceHandle> store(new (std::nothrow) SurfaceHandle);
            if (store == nullptr ||
                !store->Create(picture_->GetWidth(), picture_->GetHeight(), picture_))
                return;
            if (picture_->IsPaletted()) store->SetPalette(picture_->GetPalette(), 0);
            store_ = std::move(store);
        }
        sprite->flags |= kSpriteBackgroundSaved;
        sprite->saved = part;
        picture_->Blit(store_.get(), part.left, part.top, part.left, part.top,
                       part.right - part.left, part.bottom - part.top, 0, 0, 0, 0);
    }
}

bool SpritePlane::DrawSprites() {
    if (picture_ == nullptr) return false;
    bool drew = false;
    for (SpriteEntry* sprite : sprites_) {
        if ((sprite->flags & kSpriteToDraw) == 0) continue;
        sprite->flags &= ~kSpriteToDraw;
        SurfaceHandle* image = sprite->GetDrawnImage();
        if (image == nullptr || !image->IsValid()) continue;
        const bool smooth = (sprite->drawWord & kDrawAntiAliased) != 0;
        DirtyRect part;
        if (!VisiblePart(*sprite, false, &part)) continue;
        image->Blit(picture_, part.left, part.top, part.left - sprite->drawn.left,
                    part.top - sprite->drawn.top, part.right - part.left, part.bottom - part.top,
                    (sprite->drawWord & kDrawTransparent) ? 1 : 0,
                    int32_t(sprite->drawWord & kDrawEffectMask), uint32_t(sprite->level),
                    smooth ? 1 : 0);
        ++blits;
        if (smooth) VisiblePart(*sprite, true, &part);
        AddDirtyRect(part);
        drew = true;
    }
    return drew;
}

int32_t SpritePlane::IndexOf(const SpriteEntry* sprite) const {
    auto it = std::find(sprites_.begin(), sprites_.end(), sprite);
    return it == sprites_.end() ? -1 : int32_t(it - sprites_.begin());
}

bool SpritePlane::Contains(const SpriteEntry* sprite) const {
    return IndexOf(sprite) >= 0;
}

size_t SpritePlane::FrontOfLayer(int32_t layer) const {
    size_t at = sprites_.size();
    while (at > 0 && sprites_[at - 1]->layer > layer)
        --at;
    return at;
}

bool SpritePlane::Insert(SpriteEntry* sprite) {
    try {
        sprites_.insert(sprites_.begin() + ptrdiff_t(FrontOfLayer(sprite->layer)), sprite);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

void SpritePlane::Remove(SpriteEntry* sprite, bool leaveGhost) {
    const int32_t index = IndexOf(sprite);
    if (index < 0) return;
    if (leaveGhost && sprite->IsVisible() && (sprite->flags & kSpriteNotDrawn2D) == 0) {
        SpriteEntry* ghost = new (std::nothrow) SpriteEntry(*sprite);
        if (ghost != nullptr) {
            ghost->flags = (ghost->flags & ~kSpriteCollision) | kSpriteGhost;
            sprites_[size_t(index)] = ghost;
            // Erased with everything its last picture touches.
            ghost->flags &= ~kSpriteMarked;
            MarkSpriteDirty(ghost);
            spritesChanged = true;
            return;
        }
    }
    sprites_.erase(sprites_.begin() + index);
}

void SpritePlane::DeleteGhostAt(size_t index) {
    SpriteEntry* ghost = sprites_[index];
    ghost->flags &= ~kSpriteToDraw;
    sprites_.erase(sprites_.begin() + ptrdiff_t(index));
    delete ghost;
}

void SpritePlane::Reordered(SpriteEntry* sprite) {
    sprite->flags &= ~kSpriteMarked;
    MarkSpriteDirty(sprite);
    spritesChanged = true;
}

void SpritePlane::SetLayer(SpriteEntry* sprite, int32_t layer) {
    const int32_t index = IndexOf(sprite);
    if (index < 0 || sprite->layer == layer) return;
    sprites_.erase(sprites_.begin() + index);
    sprite->layer = layer;
    sprites_.insert(sprites_.begin() + ptrdiff_t(FrontOfLayer(layer)), sprite);
    Reordered(sprite);
}

void SpritePlane::MoveToFront(SpriteEntry* sprite) {
    const int32_t index = IndexOf(sprite);
    if (index < 0) return;
    sprites_.erase(sprites_.begin() + index);
    sprites_.insert(sprites_.begin() + ptrdiff_t(FrontOfLayer(sprite->layer)), sprite);
    Reordered(sprite);
}

void SpritePlane::MoveToBack(SpriteEntry* sprite) {
    const int32_t index = IndexOf(sprite);
    if (index < 0) return;
    sprites_.erase(sprites_.begin() + index);
    size_t at = 0;
    while (at < sprites_.size() && sprites_[at]->layer < sprite->layer)
        ++at;
    sprites_.insert(sprites_.begin() + ptrdiff_t(at), sprite);
    Reordered(sprite);
}

void SpritePlane::MoveForward(SpriteEntry* sprite) {
    const int32_t index = IndexOf(sprite);
    if (index < 0 || size_t(index) + 1 >= sprites_.size()) return;
    if (sprites_[size_t(index) + 1]->layer != sprite->layer) return;
    std::swap(sprites_[size_t(index)], sprites_[size_t(index) + 1]);
    Reordered(sprite);
}

void SpritePlane::MoveBackward(SpriteEntry* sprite) {
    const int32_t index = IndexOf(sprite);
    if (index <= 0 || sprites_[size_t(index) - 1]->layer != sprite->layer) return;
    std::swap(sprites_[size_t(index)], sprites_[size_t(index) - 1]);
    Reordered(sprite);
}

void SpritePlane::MoveBefore(SpriteEntry* sprite, SpriteEntry* other) {
    if (sprite == other || IndexOf(other) < 0 || other->layer != sprite->layer) return;
    const int32_t index = IndexOf(sprite);
    if (index < 0) return;
    sprites_.erase(sprites_.begin() + index);
    sprites_.insert(sprites_.begin() + IndexOf(other), sprite);
    Reordered(sprite);
}

void SpritePlane::MoveAfter(SpriteEntry* sprite, SpriteEntry* other) {
    if (sprite == other || IndexOf(other) < 0 || other->layer != sprite->layer) return;
    const int32_t index = IndexOf(sprite);
    if (index < 0) return;
    sprites_.erase(sprites_.begin() + index);
    sprites_.insert(sprites_.begin() + IndexOf(other) + 1, sprite);
    Reordered(sprite);
}
