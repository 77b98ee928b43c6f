// What a surface's refresh passes know of a sprite: its state bits, where it was drawn and
// is to be drawn, how it is drawn and the picture it draws. The Sprite class derives from
// it; a removed visible sprite leaves a plain copy (a ghost) whose only task is to have
// its last picture erased.
#pragma once

#include <cstdint>

#include "classes/surface/dirty_rect_list.h"

class SurfaceHandle;

// Flag bits.
inline constexpr uint32_t kSpriteCollision = 0x0003;
inline constexpr uint32_t kSpriteHideRequested = 0x0010;
inline constexpr uint32_t kSpriteGhost = 0x0020;
inline constexpr uint32_t kSpriteMarked = 0x0040;
inline constexpr uint32_t kSpriteHidden = 0x0080;
inline constexpr uint32_t kSpriteBoxOnly = 0x0100;
// Reserved: a sprite shown some other way than by the 2D passes.
inline constexpr uint32_t kSpriteNotDrawn2D = 0x0200;
inline constexpr uint32_t kSpriteToDraw = 0x0800;
inline constexpr uint32_t kSpriteBackgroundSaved = 0x1000;
inline constexpr uint32_t kSpriteTransformChanged = 0x2000;
inline constexpr uint32_t kSpriteShowRequested = 0x4000;
inline constexpr uint32_t kSpriteRefreshed = 0x8000;

// Draw word: the low 16 bits are the draw effect (a blit operation).
inline constexpr uint32_t kDrawEffectMask = 0xFFFF;
inline constexpr uint32_t kDrawTransparent = 0x10000000;
inline constexpr uint32_t kDrawAntiAliased = 0x20000000;

class SpriteEntry {
public:
    SpriteEntry() = default;
    // A ghost: the state the passes need to erase `sprite`'s last picture, no picture.
    explicit SpriteEntry(const SpriteEntry& sprite);
    SpriteEntry& operator=(const SpriteEntry&) = delete;
    virtual ~SpriteEntry() = default;

    // The picture the draw pass copies: the transformed image when the sprite is scaled or
    // turned, else its image; null draws nothing.
    virtual SurfaceHandle* GetDrawnImage() const { return nullptr; }
    // The update pass: the requested picture, clip and transform become the applied ones.
    virtual void ApplyRequested() {}

    bool IsVisible() const { return (flags & (kSpriteHidden | kSpriteHideRequested)) == 0; }

    uint32_t flags = 0;
    int32_t layer = 0;
    DirtyRect drawn{};
    DirtyRect next{};
    DirtyRect saved{};
    // In the drawn picture's coordinates; all zero: none.
    DirtyRect clip{};
    uint32_t drawWord = kDrawTransparent;
    // Semi-transparency level, 0 .. 128.
    int32_t level = 0;
};
