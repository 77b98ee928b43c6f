#include <cstring>
#include <string_view>

#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/chunk_writer.h"
#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/materials/texture.h"
#include "engine3d/scene/materials/texture_save.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/sprites/sprite.h"

namespace {

uint32_t Bits(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    return bits;
}

} // namespace

int L3DWorld::Save(ChunkWriter& writer, uint32_t) {
    uint32_t savedCameras = 0;
    for (LListNode* node = cameras.list.GetHead(); node != nullptr; node = node->next)
        savedCameras += static_cast<L3DCamera*>(node->item)->IsPersistent() != 0 ? 1 : 0;
    const uint32_t start = writer.BeginChunk(ChunkTag("WORL"), 0);
    // Culling as held: the reader takes the value as it stands.
    writer.WriteU16(uint16_t(backFaceCulling));
    writer.WriteU16(uint16_t(autoDelete));
    writer.WriteU16(uint16_t(objectCount));
    writer.WriteU32(worldFlags);
    writer.WriteU16(uint16_t(savedCameras));
    const uint32_t background = writer.BeginChunk(ChunkTag("BKGD"), 0);
    LTexture* texture = backgroundSprite != nullptr ? backgroundSprite->GetTexture() : nullptr;
    if (backgroundSprite != nullptr) {
        if (texture != nullptr) CopyTextureImage(writer, *texture);
        writer.WriteString(texture != nullptr ? TextureReference(*texture) : std::string_view());
        writer.WriteString(texture != nullptr ? texture->Name() : "");
        writer.WriteU32(Bits(backgroundSprite->GetTilingX()));
        writer.WriteU32(Bits(backgroundSprite->GetTilingY()));
        // The scales as their bits: the reader passes them on unconverted.
        writer.WriteU32(Bits(backgroundScale[0]));
        writer.WriteU32(Bits(backgroundScale[1]));
        const uint32_t material = writer.BeginChunk(ChunkTag("BKMT"), 0);
        writer.WriteString(backgroundMaterial != nullptr ? backgroundMaterial->Name()
                                                         : "NoMaterial");
        writer.EndChunk(material);
    }
    writer.EndChunk(background);
    const uint32_t user = writer.BeginChunk(ChunkTag("OUSE"), 0);
    writer.WriteU32(userValue);
    writer.EndChunk(user);
    return writer.EndChunk(start) != 0 ? 0 : 1;
}

int L3DWorld::SaveCameras(ChunkWriter& writer, uint32_t flags) {
    int failed = 0;
    // The cameras "WORL" counts, so that its count equals the chunks that follow.
    for (LListNode* node = cameras.list.GetHead(); node != nullptr; node = node->next)
        if (const auto* camera = static_cast<L3DCamera*>(node->item); camera->IsPersistent() != 0)
            failed |= camera->Save(writer, flags);
    return failed != 0 ? 1 : 0;
}
