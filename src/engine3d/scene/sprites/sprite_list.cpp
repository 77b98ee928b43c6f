#include "engine3d/scene/sprites/sprite_list.h"

#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/chunk_writer.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/render/device.h"
#include "engine3d/scene/render/frame_state.h"
#include "engine3d/scene/render/renderer.h"
#include "engine3d/scene/sprites/sprite.h"

namespace {

LSprite* Make(L3DWorld* world, LCLBKObject* link) {
    if (world == nullptr || world->GetAPI() == nullptr) return nullptr;
    return world->GetAPI()->CreateSprite(world, link);
}

} // namespace

LBaseSprite::~LBaseSprite() {
    RemoveAt(-1);
}

LSprite* LBaseSprite::CreateSprite(L3DWorld* owner, LCLBKObject* link) {
    LSprite* sprite = Make(owner, link);
    if (sprite != nullptr) list.InsertAfter(sprite, nullptr);
    return sprite;
}

LSprite* LBaseSprite::CreateSpriteBefore(L3DWorld* owner, LSprite* before, LCLBKObject* link) {
    LSprite* sprite = Make(owner, link);
    if (sprite != nullptr) list.InsertBefore(sprite, list.FindNode(before));
    return sprite;
}

void LBaseSprite::MoveBefore(LSprite* sprite, LSprite* before) {
    LListNode* node = list.FindNode(sprite);
    if (node == nullptr || sprite == before) return;
    list.MoveBefore(node, list.FindNode(before));
}

int LBaseSprite::RemoveSprite(LSprite* sprite) {
    LListNode* node = sprite != nullptr ? list.FindNode(sprite) : nullptr;
    if (node == nullptr) return 12;
    list.RemoveNode(node, attached != 0 ? 1 : 0);
    if (attached != 0) {
        if (world != nullptr && world->GetAPI() != nullptr)
            world->GetAPI()->DeleteSprite(sprite);
        else
            delete sprite;
    }
    return 0;
}

int LBaseSprite::RemoveAt(int32_t i) {
    if (i == -1) {
        while (LListNode* node = list.GetHead())
            RemoveSprite(static_cast<LSprite*>(node->item));
        return 0;
    }
    return RemoveSprite(GetAt(i));
}

LSprite* LBaseSprite::GetAt(int32_t i) const {
    LListNode* node = i >= 0 ? list.GetNodeAt(uint32_t(i)) : nullptr;
    return node != nullptr ? static_cast<LSprite*>(node->item) : nullptr;
}

void LBaseSprite::DrawAll(L3DCamera& camera) {
    LRenderAPICLBK* renderer = camera.renderer != nullptr ? camera.renderer : GetCurrentRenderer();
    if (renderer == nullptr) return;
    for (LListNode* node = list.GetHead(); node != nullptr; node = node->next) {
        auto* sprite = static_cast<LSprite*>(node->item);
        if ((sprite->drawMode & LSprite::kHidden) == 0) renderer->DrawElement2D(&camera, sprite);
    }
}

int LBaseSprite::Save(ChunkWriter& writer, uint32_t) const {
    const uint32_t start = writer.BeginChunk(ChunkTag("BSPR"), 0);
    writer.WriteU16(uint16_t(list.GetCount()));
    for (LListNode* node = list.GetHead(); node != nullptr; node = node->next)
        writer.EndChunk(writer.BeginChunk(ChunkTag("SPRI"), 0));
    return writer.EndChunk(start) != 0 ? 0 : 1;
}
