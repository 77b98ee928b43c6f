// Writing a world, or one object tree with the materials, as a binary world file. The
// texture folder is handed to the writer rather than made the current directory, so a
// save never changes what relative paths mean to other threads.
#include <string>

#include "engine3d/files/binary_world_file.h"
#include "engine3d/files/file_byte_sink.h"
#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/chunk_writer.h"
#include "engine3d/scene/lights/light_list.h"
#include "engine3d/scene/objects/cluster.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/objects/world_light.h"
#include "foundation/files/file_layer.h"

namespace {

// The folder the savers copy images into: created (one level) when the mask asks for
// it, else none.
std::string TextureFolder(uint32_t mask, const char* folder) {
    if ((mask & zyb::kSaveTextureFolder) == 0 || folder == nullptr || folder[0] == 0) return {};
    if (IsDirectory(folder) == 0) MakeDirectory(folder);
    return folder;
}

} // namespace

ResultCode LBinaryWorldFile::SaveWorld(const char* path, L3DWorld* world, uint32_t mask,
                                       const char* folder) {
    if (path == nullptr || world == nullptr) return kResultCannotOpen;
    FileByteSink sink(path);
    if (sink.Result() != kResultOk) return sink.Result();
    ChunkWriter writer(sink, TextureFolder(mask, folder));
    const ResultCode written = WriteWorld(writer, *world, mask);
    if (ResultCode code = sink.Finish()) return code;
    return written;
}

ResultCode LBinaryWorldFile::WriteWorld(ChunkWriter& writer, L3DWorld& world, uint32_t mask) {
    const uint32_t container = zyb::BeginContainer(writer);
    int skipped = 0;
    if ((mask & zyb::kSaveWorld) != 0) skipped |= world.Save(writer, mask);
    if ((mask & zyb::kSaveCameras) != 0)
        for (LListNode* node = world.cameras.list.GetHead(); node != nullptr; node = node->next)
            skipped |= static_cast<L3DCamera*>(node->item)->Save(writer, mask);
    if ((mask & zyb::kSaveSounds) != 0) skipped |= world.sounds.Save(writer, mask);
    if ((mask & zyb::kSaveZones) != 0) skipped |= world.zones.Save(writer, mask);
    if ((mask & zyb::kSaveLights) != 0) {
        if (world.ambientLight != nullptr) skipped |= world.ambientLight->Save(writer);
        if (world.lights != nullptr) skipped |= world.lights->Save(writer, mask);
    }
    if ((mask & zyb::kSaveMaterials) != 0) skipped |= world.materials.Save(writer, mask);
    if ((mask & zyb::kSaveTextures) != 0) skipped |= world.textures.Save(writer, mask);
    if ((mask & zyb::kSaveBlobs) != 0) skipped |= world.blobs.Save(writer, mask);
    if (world.cluster != nullptr) skipped |= world.cluster->SaveCluster(writer, nullptr, mask);
    if ((mask & zyb::kSaveSprites) != 0) skipped |= world.sprites.Save(writer, mask);
    const bool ended = writer.EndChunk(container) != 0;
    return ended && skipped == 0 ? kResultOk : kRecordSkipped;
}

ResultCode LBinaryWorldFile::SaveObject(const char* path, L3DWorld* world, L3DObject* object,
                                        const char* folder) {
    if (path == nullptr || world == nullptr || object == nullptr) return kResultCannotOpen;
    FileByteSink sink(path);
    if (sink.Result() != kResultOk) return sink.Result();
    const uint32_t mask = zyb::kSaveDefault;
    ChunkWriter writer(sink, TextureFolder(mask, folder));
    const uint32_t container = zyb::BeginContainer(writer);
    int skipped = world->materials.Save(writer, mask);
    if (world->cluster != nullptr) skipped |= world->cluster->SaveCluster(writer, object, mask);
    const bool ended = writer.EndChunk(container) != 0;
    if (ResultCode code = sink.Finish()) return code;
    return ended && skipped == 0 ? kResultOk : kRecordSkipped;
}
