// The sprites of one surface and the passes that keep them on its picture: a sprite that
// moved or changed is erased by restoring the pixels saved beneath it, the pixels under its
// new place are saved, and it is drawn again, with every sprite whose old or new place
// touches it (directly or through a chain of others). Changed areas go to the dirty list
// when a window shows the surface, so that only they are copied to the window.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "classes/surface/dirty_rect_list.h"
#include "classes/surface/sprite_entry.h"

class SurfaceHandle;

class SpritePlane {
public:
    SpritePlane();
    ~SpritePlane();
    SpritePlane(const SpritePlane&) = delete;
    SpritePlane& operator=(const SpritePlane&) = delete;

    // The picture drawn on (not owned). Changing it drops the background store.
    void SetPicture(SurfaceHandle* picture);
    SurfaceHandle* GetPicture() const { return picture_; }
    // Only a hosted surface keeps a dirty list; leaving the host drops it.
    void SetHosted(bool hosted);
    bool IsHosted() const { return hosted_; }

    void AddDirtyRect(DirtyRect rect);
    // Marks `sprite` and every unmarked visible sprite whose drawn or next rectangle meets
    // the union of a marked one's, until no more are reached.
    void MarkSpriteDirty(SpriteEntry* sprite);
    // After any change of a sprite: marking spreads again from its new place.
    void SpriteChanged(SpriteEntry* sprite);
    // Restores the backgrounds of the sprites under `rect` (and of those overlapping them),
    // before something is drawn there; they are drawn again by the next passes.
    void LiftSprites(DirtyRect rect);
    // The four passes, when sprites changed and auto-back is on; true when a pixel of the
    // picture changed.
    bool RunPasses();
    bool RestoreBackgrounds();
    void UpdateStates();
    void SaveBackgrounds();
    bool DrawSprites();

    // List order: ascending layer; a sprite goes in front of its layer. The caller marks
    // it changed.
    bool Insert(SpriteEntry* sprite);
    // Takes the sprite out; a visible one drawn in 2D leaves a ghost in its place when
    // `leaveGhost` is set, so the next restore erases its picture.
    void Remove(SpriteEntry* sprite, bool leaveGhost);
    bool Contains(const SpriteEntry* sprite) const;
    void SetLayer(SpriteEntry* sprite, int32_t layer);
    void MoveToFront(SpriteEntry* sprite);
    void MoveToBack(SpriteEntry* sprite);
    void MoveForward(SpriteEntry* sprite);
    void MoveBackward(SpriteEntry* sprite);
    // Nothing unless both are in the list with the same layer.
    void MoveBefore(SpriteEntry* sprite, SpriteEntry* other);
    void MoveAfter(SpriteEntry* sprite, SpriteEntry* other);
    const std::vector<SpriteEntry*>& GetSprites() const { return sprites_; }

    // The background store goes with the picture it was made for.
    void DropBackgroundStore();

    DirtyRectList dirty;
    bool autoBack = true;
    bool spritesChanged = false;
    // Sprite pictures copied by the draw pass so far.
    uint64_t blits = 0;

private:
    // Marking scans the whole list for each sprite reached; past this many it sorts the
    // rest by place, so that a long chain stays near linear.
    static constexpr int kDirectScans = 64;

    void MarkThroughIndex();
    int32_t IndexOf(const SpriteEntry* sprite) const;
    // Where a sprite of `layer` goes: after the last sprite whose layer is not greater.
    size_t FrontOfLayer(int32_t layer) const;
    void Reordered(SpriteEntry* sprite);
    // The drawn rectangle widened for smoothing, cut to the picture's clip rectangle and
    // the sprite's own clip; false when nothing remains.
    bool VisiblePart(const SpriteEntry& sprite, bool widen, DirtyRect* part) const;
    void DeleteGhostAt(size_t index);

    SurfaceHandle* picture_ = nullptr;
    std::unique_ptr<SurfaceHandle> store_;
    bool hosted_ = false;
    std::vector<SpriteEntry*> sprites_;
    // The work list of MarkSpriteDirty, kept between calls.
    std::vector<SpriteEntry*> pending_;
};
