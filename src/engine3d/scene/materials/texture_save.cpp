// The texture records of the binary world file, and the copy of their images beside it.
#include "engine3d/scene/materials/texture_save.h"

#include <cstring>
#include <string>

#include "engine3d/scene/chunk_writer.h"
#include "engine3d/scene/materials/texture.h"
#include "engine3d/scene/materials/texture_list.h"
#include "engine3d/scene/objects/world.h"

std::string_view TextureFilePart(std::string_view path) {
    const size_t slash = path.find_last_of("\\/:");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string_view TextureReference(const LTexture& texture) {
    return texture.FileName()[0] != 0 ? TextureFilePart(texture.FileName())
                                      : std::string_view(texture.Name());
}

void CopyTextureImage(const ChunkWriter& writer, LTexture& texture) {
    const std::string_view file = texture.FileName();
    if (writer.TextureFolder().empty() || texture.world == nullptr || file.empty()) return;
    const std::string part(TextureFilePart(file));
    // A bare name is already where the world file will look for it.
    if (part.empty() || part.size() == file.size()) return;
    const std::string destination = writer.TextureFolder() + "\\" + part;
    texture.world->CopyTextureFile(&texture, texture.FileName(), destination.c_str(), 1,
                                   part.c_str());
}

int LBaseTexture::Save(ChunkWriter& writer, uint32_t) const {
    const uint32_t start = writer.BeginChunk(ChunkTag("TEXT"), 0);
    writer.WriteU32(list.GetCount());
    for (LListNode* node = list.GetHead(); node != nullptr; node = node->next) {
        auto* t = static_cast<LTexture*>(node->item);
        CopyTextureImage(writer, *t);
        writer.WriteString(TextureReference(*t));
        writer.WriteString(t->Name());
        writer.WriteU8((t->flags & LTexture::kColorKey) != 0 ? 1 : 0);
        writer.WriteU8((t->flags & LTexture::kEnvironmentMapping) != 0 ? 1 : 0);
        writer.WriteU8(1);
        writer.WriteU32(t->keyColor);
        writer.WriteU8(uint8_t(t->bitsPerPixel));
        for (float value : {t->offset[0], t->offset[1], t->tiling[0], t->tiling[1]}) {
            uint32_t bits;
            std::memcpy(&bits, &value, 4);
            writer.WriteU32(bits);
        }
        writer.WriteU8(t->alpha);
    }
    return writer.EndChunk(start) != 0 && writer.Ok() ? 0 : 1;
}
