// An object, with everything hanging from it, as chunks of the binary world file; and
// the cluster's "BCLU". Every count equals the records that follow it, so a reader never
// takes a record for one that was left out.
#include <cstring>
#include <string>

#include "engine3d/scene/chunk_writer.h"
#include "engine3d/scene/float_to_int.h"
#include "engine3d/scene/key_track.h"
#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/materials/texture.h"
#include "engine3d/scene/mesh/point.h"
#include "engine3d/scene/objects/cluster.h"
#include "engine3d/scene/objects/object_walk.h"
#include "engine3d/scene/objects/octree.h"
#include "engine3d/scene/objects/world.h"

namespace {

constexpr uint32_t kCountLimit = 0xFFFF;
// Save mask bit: copy texture images into the writer's texture folder.
constexpr uint32_t kSaveTextures = 0x200;

void WriteFloat(ChunkWriter& writer, float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    writer.WriteU32(bits);
}

// The key record with the element count the writer is about to write.
void WriteKeyRecord(ChunkWriter& writer, const LKey& key, uint32_t elements) {
    for (float value : {key.frame, key.tension, key.bias, key.continuity, key.easeTo, key.easeFrom})
        WriteFloat(writer, value);
    writer.WriteU32(elements);
}

constexpr const char kTrackTags[kTrackKindCount][5] = {"KTRA", "KSCA", "KROT", "KMOR",
                                                       "KHID", "KMAT", "KPMO"};

int WriteTrack(ChunkWriter& writer, const LKeyTrack& track, KeyTrackKind kind) {
    uint32_t count = 0;
    for (const LKey* key = track.first; key != nullptr; key = key->next)
        ++count;
    if (count > kCountLimit) return 1;
    const uint32_t start = writer.BeginChunk(ChunkTag(kTrackTags[kind]), 0);
    writer.WritePair(track.flags, uint16_t(count));
    for (const LKey* key = track.first; key != nullptr; key = key->next) {
        const uint32_t elements =
            kind == kTrackPointMoves ? uint32_t(key->elements.GetCount()) : key->elementCount;
        WriteKeyRecord(writer, *key, elements);
        switch (kind) {
        case kTrackTranslation:
        case kTrackScale:
            writer.WriteVector(key->value[0], key->value[1], key->value[2]);
            break;
        case kTrackRotation:
            writer.WriteQuaternion(key->value);
            break;
        case kTrackMorph:
        case kTrackHide:
            writer.WriteU16(uint16_t(TruncateToInt32(key->value[0])));
            break;
        case kTrackMatrix:
            writer.WriteMatrix(key->value);
            break;
        default:
            writer.WritePointMoves(key->elements);
            break;
        }
    }
    return writer.EndChunk(start) == 0 ? 1 : 0;
}

std::string LastComponent(const std::string& path) {
    const size_t cut = path.find_last_of("\\/");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

int32_t PersistentChildren(const L3DObject& object) {
    int32_t count = 0;
    ForEachChild(object.children, [&count](L3DObject* c) { count += c->IsPersistent(); });
    return count;
}

} // namespace

std::vector<L3DObject*> L3DObject::ClonesInWorld() const {
    std::vector<L3DObject*> found;
    if (world == nullptr || cloneCount < 1) return found;
    for (LListNode* node = world->objects.GetHead(); node != nullptr; node = node->next) {
        auto* object = static_cast<L3DObject*>(node->item);
        if (IsCloneType(object->typeCode) && object->source == this) found.push_back(object);
    }
    return found;
}

int L3DObject::Save(ChunkWriter& writer, uint32_t mask) {
    if (IsPersistent() == 0) return 0;
    return SaveObjectRecord(writer, mask);
}

int L3DObject::SaveObjectRecord(ChunkWriter& writer, uint32_t mask) {
    const int32_t childCount = PersistentChildren(*this);
    if (childCount > int32_t(kCountLimit)) return 1;
    const uint32_t start = writer.BeginChunk(ChunkTag("OB3D"), 0);
    writer.WriteU32(typeCode);
    writer.WriteU32(objectFlags);
    writer.WriteString(RawName() != nullptr ? RawName() : "");
    const char* parentName = parent == nullptr              ? "3DWORLD"
                             : parent->RawName() != nullptr ? parent->RawName()
                                                            : "";
    writer.WriteString(parentName);
    writer.WriteU16(uint16_t(childCount));
    for (float s : scale)
        WriteFloat(writer, s);
    int failed = SaveMesh(writer, mask);
    SaveChunk(writer);
    failed |= SaveKeyTracks(writer);
    failed |= SaveShadow(writer, mask);
    failed |= SaveClones(writer, mask);
    const uint32_t user = writer.BeginChunk(ChunkTag("OUSE"), 0);
    writer.WriteU32(userValue);
    writer.EndChunk(user);
    ForEachChild(children, [&](L3DObject* child) { failed |= child->Save(writer, mask); });
    return writer.EndChunk(start) == 0 || failed != 0 ? 1 : 0;
}

int L3DObject::SaveKeyTracks(ChunkWriter& writer) const {
    const uint32_t start = writer.BeginChunk(ChunkTag("OKEY"), 0);
    int failed = 0;
    if (keyTracks != nullptr)
        for (int kind = 0; kind < kTrackKindCount; ++kind)
            if (const LKeyTrack* track = keyTracks->tracks[kind])
                failed |= WriteTrack(writer, *track, KeyTrackKind(kind));
    return writer.EndChunk(start) == 0 || failed != 0 ? 1 : 0;
}

int L3DObject::SaveShadow(ChunkWriter& writer, uint32_t mask) {
    const uint32_t start = writer.BeginChunk(ChunkTag("OSHA"), 0);
    LTexture* texture = GetShadowTexture();
    // A hidden textured shadow is written as one too, so that its texture survives.
    if (texture == nullptr) {
        writer.WriteU32(IsShadowReceiver() != 0 ? 1 : 0);
        return writer.EndChunk(start) == 0 ? 1 : 0;
    }
    writer.WriteU32(2);
    int32_t w = 0, h = 0;
    GetShadowTextureSize(&w, &h);
    writer.WriteU16(uint16_t(w));
    writer.WriteU16(uint16_t(h));
    const std::string fileName(texture->FileName());
    const std::string name(texture->Name());
    const std::string reference = fileName.empty() ? name : LastComponent(fileName);
    // A file found by its last component is copied beside the saved world.
    if (reference != fileName && !fileName.empty() && (mask & kSaveTextures) != 0 &&
        !writer.TextureFolder().empty() && world != nullptr) {
        const std::string destination = writer.TextureFolder() + "\\" + reference;
        world->CopyTextureFile(texture, fileName.c_str(), destination.c_str(), 1,
                               reference.c_str());
    }
    writer.WriteString(reference);
    writer.WriteString(name);
    writer.WriteU8((objectFlags & kShadowShown) != 0 ? 1 : 0);
    const uint32_t tsha = writer.BeginChunk(ChunkTag("TSHA"), 0);
    writer.WriteU32(texture->keyColor);
    writer.WriteU16(uint16_t((texture->flags & LTexture::kColorKey) != 0 ? 1 : 0));
    writer.WriteU8(texture->alpha);
    const uint32_t tshaEnd = writer.EndChunk(tsha);
    return writer.EndChunk(start) == 0 || tshaEnd == 0 ? 1 : 0;
}

int L3DObject::SaveClones(ChunkWriter& writer, uint32_t mask) {
    std::vector<L3DObject*> written;
    for (L3DObject* clone : ClonesInWorld())
        if (clone->IsPersistent() != 0) written.push_back(clone);
    const uint32_t start = writer.BeginChunk(ChunkTag("OCLO"), 0);
    if (written.size() > kCountLimit) {
        writer.WriteU16(0);
        writer.EndChunk(start);
        return 1;
    }
    writer.WriteU16(uint16_t(written.size()));
    int failed = 0;
    for (L3DObject* clone : written)
        failed |= clone->Save(writer, mask);
    return writer.EndChunk(start) == 0 || failed != 0 ? 1 : 0;
}

int LBase3DCluster::SaveCluster(ChunkWriter& writer, L3DObject* object, uint32_t flags) {
    std::vector<L3DObject*> statics, dynamics;
    auto take = [object](const LList& list, std::vector<L3DObject*>& out, bool skipClones) {
        for (LListNode* node = list.GetHead(); node != nullptr; node = node->next) {
            auto* o = static_cast<L3DObject*>(node->item);
            if (object != nullptr && o != object) continue;
            if (o->IsPersistent() == 0 || (skipClones && IsCloneType(o->typeCode))) continue;
            out.push_back(o);
        }
    };
    const bool octreeWritten = object == nullptr && (flags & kSaveStatic) != 0 &&
                               octree != nullptr && octree->IsPersistent() != 0;
    if ((flags & kSaveStatic) != 0) take(staticObjects, statics, false);
    // Clones of the dynamic list are written through their source's "OCLO".
    if ((flags & kSaveDynamic) != 0) take(dynamicObjects, dynamics, true);
    const size_t staticCount = statics.size() + (octreeWritten ? 1 : 0);
    if (staticCount > kCountLimit || dynamics.size() > kCountLimit) return 1;
    const uint32_t start = writer.BeginChunk(ChunkTag("BCLU"), 0);
    writer.WriteU16(uint16_t(staticCount));
    writer.WriteU16(uint16_t(dynamics.size()));
    writer.WriteU32(objectFlags);
    int failed = 0;
    if (octreeWritten) failed |= octree->Save(writer, flags);
    for (L3DObject* o : statics)
        failed |= o->Save(writer, flags);
    for (L3DObject* o : dynamics)
        failed |= o->Save(writer, flags);
    return writer.EndChunk(start) == 0 || failed != 0 ? 1 : 0;
}
