#include <cstring>

#include "engine3d/scene/chunk_writer.h"
#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/materials/texture.h"
#include "engine3d/scene/materials/texture_save.h"

namespace {

void WriteFloat(ChunkWriter& writer, float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    writer.WriteU32(bits);
}

void WriteSlot(ChunkWriter& writer, const LMaterial& m, LTexture* t) {
    if (t == nullptr) {
        writer.WriteString("Nothing");
        writer.WriteString("Nothing");
        for (int i = 0; i < 3; ++i)
            writer.WriteU8(0);
        writer.WriteU32(0);
        writer.WriteU8(0);
        writer.WriteU8(0);
        for (float value : {0.0f, 0.0f, 1.0f, 1.0f})
            WriteFloat(writer, value);
        writer.WriteU8(m.alpha);
        return;
    }
    CopyTextureImage(writer, *t);
    writer.WriteString(TextureReference(*t));
    writer.WriteString(t->Name());
    writer.WriteU8((t->flags & LTexture::kColorKey) != 0 ? 1 : 0);
    writer.WriteU8((t->flags & LTexture::kEnvironmentMapping) != 0 ? 1 : 0);
    writer.WriteU8(1);
    writer.WriteU32(t->keyColor);
    writer.WriteU8(uint8_t(t->bitsPerPixel));
    writer.WriteU8((m.mode & LMaterial::kPlanar) != 0 ? 1 : 0);
    for (float value : {t->offset[0], t->offset[1], t->tiling[0], t->tiling[1]})
        WriteFloat(writer, value);
    writer.WriteU8(m.alpha);
}

} // namespace

int LMaterial::Save(ChunkWriter& writer, uint32_t) const {
    writer.WriteString(name_);
    writer.WriteU16(uint16_t(polygons.GetCount()));
    writer.WriteU32(mode);
    writer.WriteU16(uint16_t(reflectionType));
    writer.WriteU32(color);
    writer.WriteU8(alpha);
    WriteFloat(writer, textureWeight);
    writer.WriteU8(layerCount == 0 ? 1 : layerCount);
    WriteSlot(writer, *this, textures[0]);
    if (layerCount == 2) WriteSlot(writer, *this, textures[1]);
    return writer.Ok() ? 0 : 1;
}
