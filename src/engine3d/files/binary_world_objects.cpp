// Reading the object records of a binary world: the cluster's lists, objects with their
// mesh frames, sequences, key tracks, shadows, clones and children, animated objects and
// octree nodes. Records nest; the nesting is bounded, and a record is placed in the world
// only once it is complete enough to live there.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "engine3d/files/binary_world_file.h"
#include "engine3d/files/chunk_reader.h"
#include "engine3d/scene/float_to_int.h"
#include "engine3d/scene/key_track.h"
#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/materials/texture.h"
#include "engine3d/scene/mesh/point.h"
#include "engine3d/scene/mesh/point_list.h"
#include "engine3d/scene/mesh/polygon.h"
#include "engine3d/scene/objects/animated_object.h"
#include "engine3d/scene/objects/cluster.h"
#include "engine3d/scene/objects/object_walk.h"
#include "engine3d/scene/objects/octree.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/quaternion.h"
#include "engine3d/scene/render/device.h"
#include "engine3d/scene/scene_codes.h"
#include "platform/kernel/cp1252.h"

namespace {

constexpr uint32_t kTagObject = ChunkTag("OB3D");
constexpr uint32_t kTagAnimated = ChunkTag("OANI");
constexpr uint32_t kTagOctree = ChunkTag("OCTR");
constexpr uint32_t kTagSequences = ChunkTag("OANM");
constexpr uint32_t kTagLocation = ChunkTag("OLOC");
constexpr uint32_t kTagKeys = ChunkTag("OKEY");
constexpr uint32_t kTagShadow = ChunkTag("OSHA");
constexpr uint32_t kTagShadowTexture = ChunkTag("TSHA");
constexpr uint32_t kTagClones = ChunkTag("OCLO");
constexpr uint32_t kTagUser = ChunkTag("OUSE");

constexpr uint32_t kLeastFrame = 4;
constexpr uint32_t kLeastPolygon = 1 + 8;
constexpr uint32_t kLeastAnimDef = 2 + 1 + 12;
constexpr uint32_t kLeastClone = 8 + 2;

struct TrackTag {
    uint32_t tag;
    KeyTrackKind kind;
    // The bytes of a key's value after its key record.
    uint32_t valueSize;
};

constexpr TrackTag kTrackTags[] = {
    {ChunkTag("KTRA"), kTrackTranslation, 12}, {ChunkTag("KSCA"), kTrackScale, 12},
    {ChunkTag("KROT"), kTrackRotation, 16},    {ChunkTag("KMOR"), kTrackMorph, 2},
    {ChunkTag("KHID"), kTrackHide, 2},         {ChunkTag("KMAT"), kTrackMatrix, 48},
    {ChunkTag("KPMO"), kTrackPointMoves, 0}};

// Writers store "no current frame" (-1) in 16 bits.
int32_t CurrentFrame(uint16_t value) {
    return value == 0xFFFF ? -1 : value;
}

void DestroyTrack(LKeyTrack* track) {
    if (track == nullptr) return;
    auto* set = new LKeyTrackSet;
    set->tracks[0] = track;
    DestroySet(set);
}

// Each key's absolute orientation: its own turn applied after the keys before it.
void ComputeOrientations(LKeyTrack* track) {
    float running[4];
    QuatIdentity(running);
    for (LKey* key = track->first; key != nullptr; key = key->next) {
        float turn[4];
        QuatFromAxisAngle(key->value[0], key->value[1], key->value[2], key->value[3], turn);
        QuatMultiply(turn, running, running);
        QuatCopy(running, key->orientation);
    }
}

} // namespace

struct LBinaryWorldFile::PendingObject {
    uint32_t flags = 0;
    bool located = false;
    float location[9] = {};
    bool hasShadow = false;
    uint32_t shadowMode = 0;
    uint16_t shadowSize[2] = {};
    TextureRecord shadowTexture{};
    uint8_t shadowSwitch = 0;
    uint32_t keyColor = 0;
    uint16_t keyOn = 0;
    uint8_t alpha = 200;
    bool hasClones = false;
    ChunkHeader clones;
};

void LBinaryWorldFile::ReadCluster(const ChunkHeader& header) {
    ChunkReader& r = *reader_;
    uint16_t counts[2] = {};
    uint32_t flags = 0;
    r.ReadU16(counts[0]);
    r.ReadU16(counts[1]);
    r.ReadU32(flags);
    if (r.LastResult() != kResultOk) return;
    for (int list = 0; list < 2; ++list) {
        const bool statics = list == 0;
        const uint32_t bit = statics ? zyb::kLoadStaticObjects : zyb::kLoadDynamicObjects;
        for (uint32_t i = 0; i < counts[list]; ++i) {
            ChunkHeader record;
            if (!r.NextChunk(header.end, record)) return;
            const bool known = record.tag == kTagObject || record.tag == kTagAnimated ||
                               (statics && record.tag == kTagOctree);
            if (!known) return;
            if ((mask_ & bit) != 0)
                ReadObjectRecord(record, nullptr,
                                 statics ? Placement::kStatic : Placement::kDynamic, 0);
            r.SkipTo(record.end);
        }
    }
}

bool LBinaryWorldFile::ReadObjectRecord(const ChunkHeader& header, L3DObject* parent,
                                        Placement placement, int depth) {
    if (header.tag == kTagObject) {
        ReadObject(header, nullptr, parent, placement, depth, nullptr);
        return true;
    }
    if (header.tag == kTagAnimated) {
        ReadAnimated(header, parent, placement, depth);
        return true;
    }
    if (header.tag == kTagOctree &&
        (placement == Placement::kStatic || placement == Placement::kOctree)) {
        ReadOctreeNode(header, parent, depth);
        return true;
    }
    return false;
}

void LBinaryWorldFile::ReadOctreeNode(const ChunkHeader& header, L3DObject* parentNode, int depth) {
    ChunkReader& r = *reader_;
    float min[3], max[3];
    r.ReadVector(min[0], min[1], min[2]);
    r.ReadVector(max[0], max[1], max[2]);
    if (r.LastResult() != kResultOk) return;
    L3DOctreeNode* node = nullptr;
    if (parentNode == nullptr) {
        // A world has one octree; a file merged into it leaves the present one alone.
        if (world_->cluster == nullptr || world_->cluster->octree != nullptr) return;
        node = new L3DOctreeNode(min, max, world_, nullptr, nullptr);
        world_->cluster->octree.reset(node);
    } else {
        node =
            new L3DOctreeNode(min, max, world_, static_cast<L3DOctreeNode*>(parentNode), nullptr);
    }
    ChunkHeader nested;
    if (r.NextChunk(header.end, nested) && nested.tag == kTagObject)
        ReadObject(nested, node, parentNode, Placement::kOctree, depth, nullptr);
    if (parentNode == nullptr) node->PrepareGeometry(1);
}

L3DObject* LBinaryWorldFile::ReadAnimated(const ChunkHeader& header, L3DObject* parent,
                                          Placement placement, int depth) {
    ChunkReader& r = *reader_;
    uint16_t start = 0, end = 0, current = 0, count = 0;
    uint32_t flags = 0;
    r.ReadU16(start);
    r.ReadU16(end);
    r.ReadU16(current);
    r.ReadU16(count);
    if (r.LastResult() != kResultOk) return nullptr;
    auto* animated = new L3DObject_Animation(nullptr, world_, nullptr);
    LAnimationIK& sequences = *animated->Sequences();
    count = uint16_t(r.CapCount(count, header.end, kLeastAnimDef));
    for (uint32_t i = 0; i < count; ++i) {
        SequenceRecord record{};
        r.ReadAnimDef(record);
        if (r.LastResult() != kResultOk) break;
        sequences.SetSequence(record.name, record.flags, record.start, record.end, record.values[0],
                              record.current, record.values[1], record.values[2]);
    }
    r.ReadU32(flags);
    sequences.flags = flags;
    sequences.currentFrame = CurrentFrame(current);
    ChunkHeader nested;
    while (r.NextChunk(header.end, nested)) {
        if (nested.tag == kTagObject)
            return ReadObject(nested, animated, parent, placement, depth, nullptr);
        r.SkipTo(nested.end);
    }
    delete animated;
    return nullptr;
}

L3DObject* LBinaryWorldFile::ReadObject(const ChunkHeader& header, L3DObject* preset,
                                        L3DObject* parent, Placement placement, int depth,
                                        PendingObject* cloneState) {
    ChunkReader& r = *reader_;
    uint32_t type = 0;
    uint16_t childCount = 0;
    float scale[3] = {};
    std::string name(256, '\0'), parentName(256, '\0');
    PendingObject pending;
    r.ReadU32(type);
    r.ReadU32(pending.flags);
    r.ReadString(name.data(), 256);
    r.ReadString(parentName.data(), 256);
    r.ReadU16(childCount);
    for (float& s : scale)
        r.ReadF32(s);
    L3DObject* object = preset;
    const bool clone = IsCloneType(type);
    if (r.LastResult() != kResultOk || (clone != (placement == Placement::kClone)) ||
        (preset == nullptr && type == L3DObject::kOctreeNode)) {
        // A clone outside a clone list has no source; an octree node only comes with its box.
        if (placement != Placement::kOctree) delete preset;
        return nullptr;
    }
    if (object == nullptr) {
        if (type == L3DObject::kAnimatedClone)
            object = new LAnimationClone(name.c_str(), world_, nullptr);
        else if (type == L3DObject::kClone)
            object = new L3DObjectClone(name.c_str(), world_, nullptr);
        else if (type == L3DObject::kAnimated)
            object = new L3DObject_Animation(name.c_str(), world_, nullptr);
        else
            object = new L3DObject(name.c_str(), world_, nullptr);
    } else {
        object->SetName(name.c_str());
    }
    std::copy_n(scale, 3, object->scale);
    ReadMesh(object, header.end);

    uint64_t childrenAt = r.Position();
    ChunkHeader nested;
    while (r.NextChunk(header.end, nested)) {
        if (nested.tag == kTagSequences) {
            ReadMeshSequences(object, nested.end);
        } else if (nested.tag == kTagLocation) {
            for (float& value : pending.location)
                r.ReadF32(value);
            pending.located = r.LastResult() == kResultOk;
        } else if (nested.tag == kTagKeys) {
            ReadKeyTracks(object, nested.end);
        } else if (nested.tag == kTagShadow) {
            ReadShadow(pending, nested.end);
        } else if (nested.tag == kTagClones) {
            pending.hasClones = true;
            pending.clones = nested;
        } else if (nested.tag == kTagUser) {
            uint32_t value = 0;
            r.ReadU32(value);
            if (r.LastResult() == kResultOk) object->userValue = value;
        } else {
            break;
        }
        r.SkipTo(nested.end);
        childrenAt = r.Position();
    }
    r.SkipTo(childrenAt);

    // The flag word as written, except who owns the box, which is this object's business.
    const uint32_t owned = L3DObject::kOwnsBox;
    const uint32_t restored = pending.flags & ~(owned | L3DObject::kShadowShown);
    if (placement == Placement::kClone) {
        object->objectFlags = restored | (object->objectFlags & owned);
        *cloneState = pending;
        return object;
    }
    if (pending.located) {
        const float* v = pending.location;
        object->SetAnglesAndPosition(v[3], v[4], v[5], v[0], v[1], v[2]);
        object->SetHotSpotRaw(v[6], v[7], v[8]);
    }
    object->objectFlags = restored | (object->objectFlags & owned);
    if ((restored & L3DObject::kGouraud) != 0)
        object->SetGouraud(1);
    else if ((restored & L3DObject::kLambert) != 0)
        object->SetLambert(1);
    if (!Place(object, parent, placement)) {
        if (placement != Placement::kOctree) delete object;
        return nullptr;
    }
    ApplyShadow(object, pending);
    if (pending.hasClones) {
        r.SkipTo(pending.clones.start + 8);
        ReadClones(object, pending.clones, depth);
        r.SkipTo(childrenAt);
    }

    const bool node = placement == Placement::kOctree;
    for (uint32_t i = 0; i < childCount; ++i) {
        ChunkHeader child;
        const uint64_t at = r.Position();
        if (!r.NextChunk(header.end, child)) break;
        const bool fits =
            node ? child.tag == kTagOctree : child.tag == kTagObject || child.tag == kTagAnimated;
        if (!fits) {
            r.SkipTo(at);
            break;
        }
        if (depth + 1 < kMaxDepth)
            ReadObjectRecord(child, object, node ? Placement::kOctree : Placement::kChild,
                             depth + 1);
        r.SkipTo(child.end);
    }
    return object;
}

bool LBinaryWorldFile::Place(L3DObject* object, L3DObject* parent, Placement placement) {
    switch (placement) {
    case Placement::kStatic:
    case Placement::kDynamic: {
        const bool statics =
            placement == Placement::kStatic && (object->objectFlags & L3DObject::kStatic) != 0;
        if (statics) {
            // Registering computes normals again; the file's are kept.
            std::vector<float> normals;
            LBasePoint* points = object->GetCurrentPointList();
            for (int32_t i = 0; points != nullptr && i < points->GetCount(); ++i)
                normals.insert(normals.end(), points->GetPoint(i)->normal,
                               points->GetPoint(i)->normal + 3);
            object->objectFlags &= ~L3DObject::kDynamic;
            world_->AddStaticObject(object);
            points = object->GetCurrentPointList();
            for (int32_t i = 0;
                 points != nullptr && i < points->GetCount() && size_t(i) * 3 + 3 <= normals.size();
                 ++i)
                std::copy_n(&normals[size_t(i) * 3], 3, points->GetPoint(i)->normal);
        } else {
            world_->AddObject(object, 0);
        }
        LListNode* node = world_->objects.FindNode(object);
        if (node == nullptr) return false;
        Count(statics ? &zyb::LoadStatistics::staticObjects : &zyb::LoadStatistics::dynamicObjects,
              node);
        return true;
    }
    case Placement::kChild:
        return parent != nullptr && object->SetParent(parent, 1) == kSceneOk &&
               object->parent == parent;
    case Placement::kOctree:
        return true;
    case Placement::kClone:
        break;
    }
    return false;
}

void LBinaryWorldFile::ReadMesh(L3DObject* object, uint64_t end) {
    ChunkReader& r = *reader_;
    uint16_t frames = 0;
    r.ReadU16(frames);
    if (r.LastResult() != kResultOk) return;
    frames = uint16_t(r.CapCount(frames, end, kLeastFrame));
    LMultiBasePoly& mesh = *object;
    for (uint32_t f = 0; f < frames; ++f) {
        if (int32_t(f) >= mesh.GetBaseCount()) mesh.AddBase();
        mesh.currentFrame = int32_t(f);
        if (mesh.GetCurrentPointList() == nullptr || !ReadFrame(object, end)) break;
    }
    mesh.currentFrame = 0;
}

bool LBinaryWorldFile::ReadFrame(L3DObject* object, uint64_t end) {
    ChunkReader& r = *reader_;
    const bool second = zyb::HasSecondTexture(version_);
    uint16_t count = 0;
    r.ReadU16(count);
    if (r.LastResult() != kResultOk) return false;
    count = uint16_t(r.CapCount(count, end, second ? 40 : 32));
    std::vector<float> values;
    values.reserve(size_t(count) * 10);
    for (uint32_t i = 0; i < count; ++i) {
        float v[10];
        r.ReadPoint(v, second);
        if (r.LastResult() != kResultOk) break;
        values.insert(values.end(), v, v + 10);
    }
    const size_t points = values.size() / 10;

    struct Record {
        uint8_t n;
        uint16_t index[4];
        uint16_t material;
    };
    std::vector<Record> records;
    uint16_t polygons = 0;
    r.ReadU16(polygons);
    polygons = uint16_t(r.CapCount(polygons, end, kLeastPolygon));
    bool complete = r.LastResult() == kResultOk;
    for (uint32_t i = 0; i < polygons && complete; ++i) {
        Record record{};
        r.ReadU8(record.n);
        if (r.LastResult() != kResultOk || (record.n != 3 && record.n != 4)) break;
        if (record.n == 3)
            r.ReadTriangle(record.index[0], record.index[1], record.index[2], record.material);
        else
            r.ReadQuad(record.index[0], record.index[1], record.index[2], record.index[3],
                       record.material);
        complete = r.LastResult() == kResultOk;
        bool valid = complete;
        for (int k = 0; k < record.n && valid; ++k)
            valid = record.index[k] < points;
        if (valid) records.push_back(record);
    }

    // Each point is made with the uses its polygons will make of it, so that the polygons
    // take their corners without a search of the list for each one.
    std::vector<int32_t> uses(points, 0);
    for (const Record& record : records)
        for (int k = 0; k < record.n; ++k)
            ++uses[record.index[k]];
    LBasePoint* list = object->GetCurrentPointList();
    std::vector<L3DPoint*> made(points, nullptr);
    const bool merging = list->IsMerging();
    list->DisableMerging();
    for (size_t i = 0; i < points; ++i) {
        const float* v = &values[i * 10];
        made[i] = list->AddPoint(v[0], v[1], v[2], v[3], v[4], v[5], v[6], uses[i]);
        if (made[i] != nullptr) std::copy_n(v + 7, 3, made[i]->normal);
    }
    if (merging) list->EnableMerging();

    LAPICLBK* device = world_->GetAPI();
    // By material index; the last entry holds the polygons whose index is not in the
    // table: they take the default material, as objects added to a world do.
    std::vector<std::vector<LPolygon*>> byMaterial(materialTable_.size() + 1);
    for (const Record& record : records) {
        bool valid = device != nullptr;
        for (int k = 0; k < record.n && valid; ++k)
            valid = made[record.index[k]] != nullptr;
        LPolygon* polygon = valid ? device->CreatePolygon(object, 2, 0) : nullptr;
        if (polygon == nullptr) continue;
        polygon->capacity = record.n;
        for (int k = 0; k < record.n; ++k)
            polygon->AppendVertex(made[record.index[k]]);
        for (int k = 0; k < record.n; ++k) {
            const float* t = made[record.index[k]]->texture;
            polygon->SetUV(k, t[0], t[1]);
            polygon->SetUV2(k, t[2], t[3]);
        }
        if (object->AddPolygon(polygon, 0) != kSceneOk) {
            device->DeletePolygon(polygon);
            continue;
        }
        byMaterial[std::min<size_t>(record.material, byMaterial.size() - 1)].push_back(polygon);
    }
    for (size_t m = 0; m < byMaterial.size(); ++m) {
        LMaterial* material =
            m < materialTable_.size() ? materialTable_[m] : world_->GetDefaultMaterial();
        for (LPolygon* polygon : byMaterial[m])
            polygon->SetMaterial(material);
    }
    return complete;
}

void LBinaryWorldFile::ReadMeshSequences(L3DObject* object, uint64_t end) {
    ChunkReader& r = *reader_;
    uint16_t start = 0, last = 0, current = 0, count = 0;
    r.ReadU16(start);
    r.ReadU16(last);
    r.ReadU16(current);
    r.ReadU16(count);
    if (r.LastResult() != kResultOk) return;
    LMultiBasePoly& mesh = *object;
    count = uint16_t(r.CapCount(count, end, kLeastAnimDef));
    for (uint32_t i = 0; i < count; ++i) {
        SequenceRecord record{};
        r.ReadAnimDef(record);
        if (r.LastResult() != kResultOk) return;
        mesh.SetSequence(record.name, record.flags, record.start, record.end, record.values[0],
                         record.current, record.values[1], record.values[2]);
    }
    uint32_t flags = 0;
    r.ReadU32(flags);
    if (r.LastResult() != kResultOk) return;
    // The trailer is the mesh's flag word.
    mesh.flags = flags;
    mesh.currentFrame = CurrentFrame(current);
}

void LBinaryWorldFile::ReadKeyTracks(L3DObject* object, uint64_t end) {
    ChunkReader& r = *reader_;
    if (object->keyTracks == nullptr) object->keyTracks = std::make_unique<LKeyTrackSet>();
    const bool hasValue = zyb::HasKeyValue(version_);
    const uint32_t keySize = hasValue ? 28 : 24;
    ChunkHeader header;
    while (r.NextChunk(end, header)) {
        const TrackTag* kind = nullptr;
        for (const TrackTag& t : kTrackTags)
            if (t.tag == header.tag) kind = &t;
        if (kind == nullptr) {
            r.SkipTo(header.end);
            continue;
        }
        uint32_t flags = 0;
        uint16_t count = 0;
        r.ReadPair(flags, count);
        if (r.LastResult() != kResultOk) break;
        count = uint16_t(r.CapCount(count, header.end, keySize + kind->valueSize));
        LKeyTrack* track = LKeyTrack::Create();
        track->flags = flags;
        for (uint32_t i = 0; i < count; ++i) {
            LKey* key = LKeyTrack::CreateKey();
            r.ReadKey(*key, hasValue);
            switch (kind->kind) {
            case kTrackTranslation:
            case kTrackScale:
                r.ReadVector(key->value[0], key->value[1], key->value[2]);
                break;
            case kTrackRotation:
                r.ReadQuaternion(key->value);
                break;
            case kTrackMorph:
            case kTrackHide: {
                uint16_t value = 0;
                r.ReadU16(value);
                key->value[0] = value;
                break;
            }
            case kTrackMatrix:
                r.ReadMatrix(key->value);
                break;
            default: {
                const uint32_t moves = r.CapCount(key->elementCount, header.end, 24);
                key->elementCount = r.ReadPointMoves(key->elements, moves);
                break;
            }
            }
            if (r.LastResult() != kResultOk) {
                delete key;
                break;
            }
            AppendKey(track, key, TruncateToInt32(key->frame));
        }
        if (track->count == 0) {
            DestroyTrack(track);
        } else {
            switch (kind->kind) {
            case kTrackRotation:
                ComputeOrientations(track);
                ComputeRotationTangents(track);
                break;
            case kTrackMatrix:
                AccumulateMatrices(track);
                break;
            case kTrackMorph:
            case kTrackHide:
                break;
            default:
                ComputeTCBTangents(track);
                break;
            }
            DestroyTrack(object->keyTracks->tracks[kind->kind]);
            object->keyTracks->tracks[kind->kind] = track;
        }
        r.SkipTo(header.end);
    }
}

void LBinaryWorldFile::ReadShadow(PendingObject& pending, uint64_t end) {
    ChunkReader& r = *reader_;
    TextureRecord& texture = pending.shadowTexture;
    texture = {};
    if (zyb::HasShadowMode(version_)) {
        r.ReadU32(pending.shadowMode);
        if (r.LastResult() != kResultOk) return;
        pending.hasShadow = true;
        if (pending.shadowMode != 2) return;
        r.ReadU16(pending.shadowSize[0]);
        r.ReadU16(pending.shadowSize[1]);
        r.ReadString(texture.file, sizeof texture.file);
        r.ReadString(texture.name, sizeof texture.name);
        r.ReadU8(pending.shadowSwitch);
        if (r.LastResult() != kResultOk) {
            pending.hasShadow = false;
            return;
        }
        // Older writers left this chunk's length 0: its fields are read one by one up to
        // the end of the shadow chunk, whatever the length says.
        if (r.BytesLeft(end) < 8) return;
        uint32_t tag = 0, length = 0;
        r.ReadChunkHeader(tag, length);
        if (tag != kTagShadowTexture) return;
        uint32_t key = 0;
        uint16_t keyOn = 0;
        uint8_t alpha = 0;
        if (r.BytesLeft(end) >= 4) {
            r.ReadU32(key);
            pending.keyColor = key;
        }
        if (r.BytesLeft(end) >= 2) {
            r.ReadU16(keyOn);
            pending.keyOn = keyOn;
        }
        if (r.BytesLeft(end) >= 1) {
            r.ReadU8(alpha);
            pending.alpha = alpha;
        }
        return;
    }
    r.ReadU16(pending.shadowSize[0]);
    r.ReadU16(pending.shadowSize[1]);
    r.ReadString(texture.file, sizeof texture.file);
    if (r.LastResult() != kResultOk) return;
    pending.hasShadow = true;
    pending.shadowMode = std::strcmp(texture.file, "Nothing") == 0 ? 0 : 2;
}

void LBinaryWorldFile::ApplyShadow(L3DObject* object, const PendingObject& pending) {
    if (!pending.hasShadow) return;
    if (pending.shadowMode == 2) {
        LTexture* texture = ResolveTexture(pending.shadowTexture);
        if (texture == nullptr) return;
        object->SetShadowTextureAndSize(pending.shadowSize[0], pending.shadowSize[1], texture);
        if (pending.shadowSwitch != 0 || (pending.flags & L3DObject::kShadowShown) != 0)
            object->EnableShadow(1);
        texture->SetColorKey(pending.keyOn != 0 ? 1 : 0, pending.keyColor);
        texture->SetAlpha(pending.alpha);
    } else if (pending.shadowMode == 1) {
        object->SetShadowReceiver(1);
    }
}

void LBinaryWorldFile::ReadClones(L3DObject* source, const ChunkHeader& header, int depth) {
    ChunkReader& r = *reader_;
    uint16_t count = 0;
    r.ReadU16(count);
    if (r.LastResult() != kResultOk) return;
    count = uint16_t(r.CapCount(count, header.end, kLeastClone));
    struct Read {
        L3DObject* clone;
        PendingObject state;
        std::string sourceName;
    };
    std::vector<Read> read;
    for (uint32_t i = 0; i < count; ++i) {
        ChunkHeader record;
        const uint64_t at = r.Position();
        if (!r.NextChunk(header.end, record)) break;
        if (record.tag != kTagObject) {
            r.SkipTo(at);
            break;
        }
        Read entry{nullptr, {}, {}};
        if (depth + 1 < kMaxDepth)
            entry.clone =
                ReadObject(record, nullptr, nullptr, Placement::kClone, depth + 1, &entry.state);
        r.SkipTo(record.end);
        char name[260];
        r.ReadString(name, sizeof name);
        if (r.LastResult() != kResultOk) {
            delete entry.clone;
            break;
        }
        entry.sourceName = name;
        if (entry.clone != nullptr) read.push_back(std::move(entry));
    }
    char shown[260];
    source->GetName(shown, sizeof shown);
    // Clones go to the front of the object list: added from the last one back, they keep
    // the file's order.
    for (size_t i = read.size(); i-- > 0;) {
        Read& entry = read[i];
        L3DObject* from = platform::Cp1252EqualNoCase(shown, entry.sourceName.c_str())
                              ? source
                              : world_->FindObjectByName(entry.sourceName.c_str());
        auto* clone = static_cast<L3DObjectClone*>(entry.clone);
        if (from == nullptr || IsCloneType(from->typeCode) || clone->SetSource(from) == 0) {
            delete clone;
            continue;
        }
        world_->AddObject(clone, 0);
        const float* v = entry.state.location;
        if (entry.state.located) {
            clone->SetAnglesAndPosition(v[3], v[4], v[5], v[0], v[1], v[2]);
            clone->SetHotSpotRaw(v[6], v[7], v[8]);
        }
        ApplyShadow(clone, entry.state);
        if (clone->typeCode == L3DObject::kAnimatedClone && clone->Sequences() != nullptr)
            clone->Sequences()->SelectSequence("Main");
        Count(&zyb::LoadStatistics::dynamicObjects, world_->objects.FindNode(clone));
    }
}
