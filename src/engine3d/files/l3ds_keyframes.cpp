// The key-frame section of a 3DS file: one animated object per section, holding the
// imported objects that its nodes name, in their hierarchy, with their tracks. Node ids
// index a table of fixed size, key counts are capped by the bytes left, and a parent link
// that would make an object its own ancestor is refused.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "engine3d/files/chunk_reader.h"
#include "engine3d/files/l3ds_file.h"
#include "engine3d/scene/float_to_int.h"
#include "engine3d/scene/key_track.h"
#include "engine3d/scene/objects/animated_object.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/quaternion.h"
#include "platform/kernel/cp1252.h"

namespace {

constexpr uint16_t kFrameRange = 0xB008;
constexpr uint16_t kObjectNode = 0xB002;
constexpr uint16_t kNodeId = 0xB030;
constexpr uint16_t kNodeHeader = 0xB010;
constexpr uint16_t kInstanceName = 0xB011;
constexpr uint16_t kPivot = 0xB013;
constexpr uint16_t kPositionTrack = 0xB020;
constexpr uint16_t kRotationTrack = 0xB021;
constexpr uint16_t kScaleTrack = 0xB022;
constexpr uint16_t kMorphTrack = 0xB026;
constexpr uint16_t kHideTrack = 0xB029;
constexpr uint16_t kNoParent = 0xFFFF;
constexpr char kDummy[] = "$$$DUMMY";

void ReplaceTrack(L3DObject& object, KeyTrackKind kind, LKeyTrack* track) {
    if (object.keyTracks == nullptr) object.keyTracks = std::make_unique<LKeyTrackSet>();
    LKeyTrack*& slot = object.keyTracks->tracks[kind];
    if (slot != nullptr) {
        auto* old = new LKeyTrackSet;
        old->tracks[0] = slot;
        DestroySet(old);
    }
    slot = track;
}

} // namespace

L3DObject* L3dsFile::FindImported(const char* name) const {
    for (L3DObject* object : objects_)
        if (platform::Cp1252EqualNoCase(object->RawName(), name)) return object;
    return nullptr;
}

L3DObject* L3dsFile::MakeDummy() {
    auto* dummy = new L3DObject(kDummy, world_, nullptr);
    dummy->objectFlags |= ownerFlags_;
    objects_.push_back(dummy);
    world_->AddObject(dummy, 0);
    return dummy;
}

void L3dsFile::ReadKeyframer(const Chunk& section) {
    ChunkReader& r = *reader_;
    ++keyframeCount_;
    std::string name = importName_;
    if (keyframeCount_ > 1) {
        char numbered[L3dsFile::kNameSize + 16];
        std::snprintf(numbered, sizeof numbered, "%s %u", importName_.c_str(), keyframeCount_);
        name = numbered;
    }
    root_ = new L3DObject_Animation(name.c_str(), world_, nullptr);

    Chunk chunk;
    while (!Failed() && NextChunk(section.end, chunk)) {
        if (chunk.id == kFrameRange) {
            uint32_t start = 0, end = 0;
            r.ReadU32(start);
            r.ReadU32(end);
            if (r.LastResult() == kResultOk)
                root_->Sequences()->SetSequence("Main", 0, int32_t(start), int32_t(end), 0, 0, 0,
                                                0);
        } else if (chunk.id == kObjectNode) {
            ReadObjectNode(chunk);
        }
        r.SkipTo(chunk.end);
    }

    if (root_->children == nullptr || root_->children->GetCount() == 0) {
        delete root_;
    } else {
        root_->Sequences()->SetFrame(0);
        world_->AddObject(root_, 0);
        if (statistics_ != nullptr && statistics_->dynamicObjects.count++ == 0)
            statistics_->dynamicObjects.first = world_->objects.FindNode(root_);
        root_->Sequences()->SetFrame(0);
    }
    root_ = nullptr;
}

void L3dsFile::ReadObjectNode(const Chunk& node) {
    ChunkReader& r = *reader_;
    // Ids are not carried from one node to the next: a node without its id chunk files
    // nothing in the table.
    nodeId_ = -1;
    current_ = nullptr;
    Chunk chunk;
    while (!Failed() && NextChunk(node.end, chunk)) {
        switch (chunk.id) {
        case kNodeId: {
            uint16_t id = 0;
            r.ReadU16(id);
            if (r.LastResult() == kResultOk) nodeId_ = id;
            break;
        }
        case kNodeHeader:
            ReadNodeHeader(chunk);
            break;
        case kInstanceName:
            ReadInstanceName(chunk);
            break;
        case kPivot: {
            float x = 0, y = 0, z = 0;
            r.ReadVector(x, y, z);
            if (r.LastResult() == kResultOk && current_ != nullptr)
                current_->SetHotSpotRaw(-x, -z, -y);
            break;
        }
        case kPositionTrack:
        case kRotationTrack:
        case kScaleTrack:
        case kMorphTrack:
        case kHideTrack:
            if (current_ != nullptr) ReadTrack(chunk);
            break;
        default:
            break;
        }
        r.SkipTo(chunk.end);
    }
}

void L3dsFile::ReadNodeHeader(const Chunk& chunk) {
    ChunkReader& r = *reader_;
    char name[kNameSize];
    ReadName(name, chunk.end);
    uint16_t flags[2] = {}, parent = kNoParent;
    r.ReadU16(flags[0]);
    r.ReadU16(flags[1]);
    r.ReadU16(parent);
    if (r.LastResult() != kResultOk) return;
    current_ = platform::Cp1252EqualNoCase(name, kDummy) ? MakeDummy() : FindImported(name);
    if (nodeId_ >= 0 && uint32_t(nodeId_) < kNodeTableSize) nodes_[size_t(nodeId_)] = current_;
    if (current_ == nullptr) return;
    L3DObject* to = nullptr;
    if (parent == kNoParent)
        to = root_;
    else if (parent < kNodeTableSize)
        to = nodes_[parent];
    // SetParent refuses a link that would make the object its own ancestor.
    if (to != nullptr) current_->SetParent(to, 1);
}

void L3dsFile::ReadInstanceName(const Chunk& chunk) {
    char name[kNameSize];
    ReadName(name, chunk.end);
    if (reader_->LastResult() != kResultOk) return;
    if (current_ == nullptr) current_ = MakeDummy();
    current_->SetName(name);
}

void L3dsFile::ReadKeyHeader(LKey& key) {
    ChunkReader& r = *reader_;
    uint32_t frame = 0;
    uint16_t flags = 0;
    r.ReadU32(frame);
    r.ReadU16(flags);
    key.frame = float(int32_t(frame));
    float* fields[5] = {&key.tension, &key.continuity, &key.bias, &key.easeTo, &key.easeFrom};
    for (int bit = 0; bit < 5; ++bit)
        if ((flags & (1u << bit)) != 0) r.ReadF32(*fields[bit]);
}

void L3dsFile::ReadTrack(const Chunk& chunk) {
    ChunkReader& r = *reader_;
    KeyTrackKind kind = kTrackTranslation;
    uint32_t valueSize = 12;
    switch (chunk.id) {
    case kRotationTrack:
        kind = kTrackRotation;
        valueSize = 16;
        break;
    case kScaleTrack:
        kind = kTrackScale;
        break;
    case kMorphTrack:
        kind = kTrackMorph;
        valueSize = 1;
        break;
    case kHideTrack:
        kind = kTrackHide;
        valueSize = 0;
        break;
    default:
        break;
    }
    LKeyTrack* track = LKeyTrack::Create();
    ReplaceTrack(*current_, kind, track);
    uint16_t trackFlags = 0;
    uint32_t unused[2] = {}, count = 0;
    r.ReadU16(trackFlags);
    r.ReadU32(unused[0]);
    r.ReadU32(unused[1]);
    r.ReadU32(count);
    if ((trackFlags & 3) == 3)
        track->flags = 3;
    else if ((trackFlags & 3) == 2)
        track->flags = 2;
    if (r.LastResult() != kResultOk) return;
    // Each key holds at least its frame, its flags and its value.
    count = r.CapCount(count, chunk.end, 6 + valueSize);
    float running[4];
    QuatIdentity(running);
    for (uint32_t i = 0; i < count; ++i) {
        LKey* key = LKeyTrack::CreateKey();
        ReadKeyHeader(*key);
        switch (kind) {
        case kTrackTranslation:
        case kTrackScale: {
            float x = 0, y = 0, z = 0;
            r.ReadVector(x, y, z);
            key->value[0] = x;
            key->value[1] = z;
            key->value[2] = y;
            key->value[3] = 0;
            break;
        }
        case kTrackRotation: {
            float angle = 0, x = 0, y = 0, z = 0;
            r.ReadF32(angle);
            r.ReadVector(x, y, z);
            key->value[0] = angle;
            key->value[1] = x;
            key->value[2] = z;
            key->value[3] = y;
            float turn[4];
            QuatFromAxisAngle(angle, x, y, z, turn);
            std::swap(turn[2], turn[3]);
            QuatMultiply(turn, running, running);
            QuatCopy(running, key->orientation);
            break;
        }
        case kTrackMorph: {
            char name[kNameSize];
            ReadName(name, chunk.end);
            // The object is kept as its number in this import's list, 0 for none.
            const L3DObject* target = FindImported(name);
            uint32_t number = 0;
            for (size_t k = 0; k < objects_.size() && target != nullptr && number == 0; ++k)
                if (objects_[k] == target) number = uint32_t(k) + 1;
            key->value[0] = float(number);
            break;
        }
        default:
            break;
        }
        if (r.LastResult() != kResultOk) {
            delete key;
            break;
        }
        AppendKey(track, key, TruncateToInt32(key->frame));
    }
    if (kind == kTrackTranslation || kind == kTrackScale)
        ComputeTCBTangents(track);
    else if (kind == kTrackRotation)
        ComputeRotationTangents(track);
}
