// The world's sprites in drawing order.
#pragma once

#include <cstdint>

#include "foundation/containers/llist.h"

class ChunkWriter;
class L3DCamera;
class L3DWorld;
class LCLBKObject;
class LSprite;

class LBaseSprite {
public:
    LBaseSprite() = default;
    LBaseSprite(const LBaseSprite&) = delete;
    LBaseSprite& operator=(const LBaseSprite&) = delete;
    virtual ~LBaseSprite();

    // Null for a null world or when the back end made nothing.
    LSprite* CreateSprite(L3DWorld* world, LCLBKObject* link);
    // Appended when `before` is not listed.
    LSprite* CreateSpriteBefore(L3DWorld* world, LSprite* before, LCLBKObject* link);
    void MoveBefore(LSprite* sprite, LSprite* before);
    // 12 for null or a sprite not listed.
    int RemoveSprite(LSprite* sprite);
    // -1 removes every sprite; 12 when sprite i does not exist.
    int RemoveAt(int32_t i);
    void DrawAll(L3DCamera& camera);
    // "BSPR": the count, then an empty "SPRI" per sprite; 0 written.
    int Save(ChunkWriter& writer, uint32_t flags) const;
    LSprite* GetAt(int32_t i) const;

    LList list;
    uint32_t attached = 1;
    L3DWorld* world = nullptr;
};
