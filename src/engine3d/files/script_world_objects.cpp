// Reading the object cluster of a text world: the octree, static and dynamic objects with
// their bases, points, polygons, sequences, tracks, shadows, clones and children. Counts
// are capped by the key lines of their section, indices outside the current base's points
// are refused, and nesting is bounded.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "engine3d/files/script_world_file.h"
#include "engine3d/files/section_file.h"
#include "engine3d/scene/float_to_int.h"
#include "engine3d/scene/key_track.h"
#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/mesh/point.h"
#include "engine3d/scene/mesh/point_list.h"
#include "engine3d/scene/mesh/polygon.h"
#include "engine3d/scene/objects/animated_object.h"
#include "engine3d/scene/objects/cluster.h"
#include "engine3d/scene/objects/octree.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/quaternion.h"
#include "engine3d/scene/render/device.h"
#include "engine3d/scene/scene_codes.h"
#include "platform/kernel/cp1252.h"

namespace {

constexpr int kFirst = SectionFile::kFirst;
constexpr int kNext = SectionFile::kNext;
constexpr uint32_t kWordSize = 64;
constexpr uint32_t kVersionKeyCount = 1068708662;
constexpr uint32_t kVersionSecondPair = 1068708663;

constexpr uint32_t kFlagStatic = 0x1000;
constexpr uint32_t kFlagGouraud = 0x10;
constexpr uint32_t kFlagLambert = 0x20;
constexpr uint32_t kFlagCollision = 0x20000;
constexpr uint32_t kFlagBox = 0x400;
constexpr uint32_t kFlagShadow = 0x400000;
constexpr uint32_t kFlagTrueShadow = 0x4000000;
constexpr uint32_t kFlagHidden = 0x200;

constexpr std::pair<const char*, uint32_t> kObjectFlags[] = {
    {"OBJ_DYNAMIQUE", 0x2000},   {"OBJ_STATIC", kFlagStatic},        {"GOURAUD", kFlagGouraud},
    {"LAMBERT", kFlagLambert},   {"COLLISION", kFlagCollision},      {"GLOBALBOX", kFlagBox},
    {"SHADOW_TEX", kFlagShadow}, {"OBJ_TRUESHADOW", kFlagTrueShadow}};
constexpr std::pair<const char*, uint32_t> kClusterFlags[] = {{"GOURAUD", kFlagGouraud},
                                                              {"LAMBERT", kFlagLambert},
                                                              {"COLLISION", kFlagCollision},
                                                              {"HIDDEN", kFlagHidden}};
constexpr std::pair<const char*, uint32_t> kLoopFlags[] = {{"ANIM_LOOP", 0x2}};

struct TrackName {
    const char* name;
    KeyTrackKind kind;
};
constexpr TrackName kTracks[] = {
    {"Translate", kTrackTranslation}, {"Scale", kTrackScale}, {"Rotate", kTrackRotation},
    {"Morph", kTrackMorph},           {"Hide", kTrackHide},   {"Mat", kTrackMatrix},
    {"PMove", kTrackPointMoves}};

bool IsMeshType(const std::string& type) {
    return type == "Default" || type == "Dummy";
}

// A count from the file, cut to what the section's key lines can hold.
uint32_t Capped(int32_t count, const SectionFile& document) {
    return count <= 0 ? 0u : std::min(uint32_t(count), document.CurrentKeyCount());
}

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

bool LScriptWorldFile::Selected(const std::string& name, const std::string& parent) {
    if (!filter_.active) return true;
    if (filter_.names[0].empty()) filter_.names[0] = name;
    if (platform::Cp1252EqualNoCase(name, filter_.names[0])) return true;
    for (const std::string& n : filter_.names)
        if (platform::Cp1252EqualNoCase(parent, n)) return true;
    return false;
}

void LScriptWorldFile::ReadCluster(const char* mergeName) {
    SectionFile& d = *document_;
    filter_ = {};
    if (mergeName != nullptr) {
        filter_.active = true;
        filter_.names.emplace_back(mergeName);
    }
    if (d.FindSection("BASECLUSTER", kFirst) == 0) return;
    const int32_t statics = std::max(0, d.GetInt("BCL_NbStaticObj", 0, kFirst));
    const int32_t dynamics = std::max(0, d.GetInt("BCL_NbDynamicObj", 0, kFirst));
    const uint32_t clusterFlags =
        ReadFlags("BCL_FlagClusters", "HIDDEN", kFirst, kClusterFlags, std::size(kClusterFlags));
    std::string type;
    objectsEnded_ = false;
    if (NextObject(type) && type == "Octree") {
        // A world has one octree; a file merged into it leaves the present one alone.
        if ((mask_ & zyb::kLoadStaticObjects) != 0 && world_->cluster != nullptr &&
            world_->cluster->octree == nullptr) {
            const float zero[3] = {};
            float min[3], max[3];
            d.GetPos3D("OCT_PosMin", min, zero, kFirst);
            d.GetPos3D("OCT_PosMax", max, zero, kFirst);
            auto* root = new L3DOctreeNode(min, max, world_, nullptr, nullptr);
            world_->cluster->octree.reset(root);
            ReadOctreeNode(root, 0);
            root->PrepareGeometry(1);
        }
    } else {
        // Without an octree the objects are looked for from the first section on.
        d.FindSection("BASECLUSTER", kNext);
    }
    objectsEnded_ = false;

    int32_t staticRead = 0, dynamicRead = 0;
    while ((staticRead < statics || dynamicRead < dynamics) && NextObject(type)) {
        const bool made = IsMeshType(type) || type == "AnimRovovazuz";
        if (!made && type != "LightWave") continue;
        const bool isStatic = (ReadFlags("OBJ_FlagObject", "OBJ_DYNAMIC", kFirst, kObjectFlags,
                                         std::size(kObjectFlags)) &
                               kFlagStatic) != 0;
        bool selected = true;
        if (filter_.active) {
            char name[SectionFile::kLineSize], parent[kWordSize];
            d.GetQuotedString("OBJ_ObjName", name, sizeof name, "NoName", kFirst);
            d.GetString("OBJ_ObjParent", parent, sizeof parent, "", kFirst);
            selected = Selected(name, parent);
        }
        if (isStatic) {
            ++staticRead;
            if (selected && made && (mask_ & zyb::kLoadStaticObjects) != 0) ReadStatic(type);
        } else {
            ++dynamicRead;
            L3DObject* object = nullptr;
            if (selected && made && (mask_ & zyb::kLoadDynamicObjects) != 0)
                object = ReadDynamic(type, nullptr, 0);
            else
                SkipTree(0);
            if (object != nullptr)
                Count(&zyb::LoadStatistics::dynamicObjects, world_->objects.FindNode(object));
        }
    }

    LBase3DCluster* cluster = world_->cluster.get();
    if (cluster == nullptr) return;
    if ((clusterFlags & kFlagGouraud) != 0) {
        cluster->SetGouraud(0, nullptr);
        cluster->SetGouraud(1, nullptr);
    }
    if ((clusterFlags & kFlagLambert) != 0) {
        cluster->SetLambert(0, nullptr);
        cluster->SetLambert(1, nullptr);
    }
    if ((clusterFlags & kFlagHidden) != 0) cluster->Hide(0);
}

void LScriptWorldFile::SkipTree(int depth) {
    SectionFile& d = *document_;
    const int32_t clones = std::max(0, d.GetInt("OBJ_NbClone", 0, kFirst));
    const int32_t children = std::max(0, d.GetInt("OBJ_NbChildren", 0, kFirst));
    std::string type;
    for (int32_t i = 0; i < clones && NextObject(type); ++i) {
        const int32_t grand = std::max(0, d.GetInt("OBJ_NbChildren", 0, kFirst));
        for (int32_t k = 0; k < grand && depth + 1 < kMaxDepth && NextObject(type); ++k)
            SkipTree(depth + 2);
    }
    for (int32_t i = 0; i < children && depth + 1 < kMaxDepth && NextObject(type); ++i)
        SkipTree(depth + 1);
}

void LScriptWorldFile::ReadOctreeNode(L3DOctreeNode* node, int depth) {
    SectionFile& d = *document_;
    ReadBases(node, false);
    const uint32_t flags =
        ReadFlags("OBJ_FlagObject", "OBJ_DYNAMIC", kFirst, kObjectFlags, std::size(kObjectFlags));
    node->userValue = uint32_t(d.GetInt("OBJ_UserData", 0, kFirst));
    const int32_t children = d.GetInt("OBJ_NbChildren", 0, kFirst);
    if (children <= 0) {
        node->ComputeBounds();
    } else if (depth + 1 < kMaxDepth) {
        node->Split();
        std::string type;
        for (int i = 0; node->Child(i) != nullptr; ++i) {
            if (!NextObject(type) || type != "Octree") break;
            ReadOctreeNode(node->Child(i), depth + 1);
        }
    }
    if ((flags & kFlagGouraud) != 0) node->SetGouraud(1);
    if ((flags & kFlagLambert) != 0) node->SetLambert(1);
    if ((flags & kFlagBox) != 0) node->ShowBox(1, 0);
}

void LScriptWorldFile::ReadStatic(const std::string& type) {
    SectionFile& d = *document_;
    char name[SectionFile::kLineSize];
    d.GetQuotedString("OBJ_ObjName", name, sizeof name, "NoName", kFirst);
    L3DObject* object = type == "AnimRovovazuz" ? new L3DObject_Animation(name, world_, nullptr)
                                                : new L3DObject(name, world_, nullptr);
    const float scale[3] = {d.GetFloat("OBJ_ScaleX", 1.0f, kFirst),
                            d.GetFloat("OBJ_ScaleY", 1.0f, kFirst),
                            d.GetFloat("OBJ_ScaleZ", 1.0f, kFirst)};
    ReadBases(object, false);
    const uint32_t flags =
        ReadFlags("OBJ_FlagObject", "OBJ_DYNAMIC", kFirst, kObjectFlags, std::size(kObjectFlags));
    world_->AddObject(object, 0);
    if ((flags & kFlagGouraud) != 0) object->SetGouraud(1);
    if ((flags & kFlagLambert) != 0) object->SetLambert(1);
    if ((flags & kFlagBox) != 0) object->ShowBox(1, 0);
    Count(&zyb::LoadStatistics::staticObjects, world_->objects.FindNode(object));
    // Baking may merge the object into the octree and delete it: nothing follows it.
    std::copy_n(scale, 3, object->scale);
    object->MakeStatic(1);
}

L3DObject* LScriptWorldFile::ReadDynamic(const std::string& type, L3DObject* parent, int depth) {
    SectionFile& d = *document_;
    const bool animated = type == "AnimRovovazuz";
    if (depth >= kMaxDepth || (!animated && !IsMeshType(type))) {
        SkipTree(depth);
        return nullptr;
    }
    char name[SectionFile::kLineSize];
    d.GetQuotedString("OBJ_ObjName", name, sizeof name, "NoName", kFirst);
    L3DObject* object = animated ? new L3DObject_Animation(name, world_, nullptr)
                                 : new L3DObject(name, world_, nullptr);
    const float scale[3] = {d.GetFloat("OBJ_ScaleX", 1.0f, kFirst),
                            d.GetFloat("OBJ_ScaleY", 1.0f, kFirst),
                            d.GetFloat("OBJ_ScaleZ", 1.0f, kFirst)};
    ReadSequences(object, "LAM_");
    ReadBases(object, true);
    object->MakeDynamic();
    if (animated)
        ReadSequences(object->Sequences(), "LKA_");
    else
        world_->AddObject(object, 0);
    ReadLocation(object);
    ReadShadow(object);
    const uint32_t flags =
        ReadFlags("OBJ_FlagObject", "OBJ_DYNAMIC", kFirst, kObjectFlags, std::size(kObjectFlags));
    if (!animated && parent != nullptr) object->SetParent(parent, 1);
    ReadTracks(object);
    object->userValue = uint32_t(d.GetInt("OBJ_UserData", 0, kFirst));
    const int32_t clones = std::max(0, d.GetInt("OBJ_NbClone", 0, kFirst));
    const int32_t children = std::max(0, d.GetInt("OBJ_NbChildren", 0, kFirst));
    std::string next;
    for (int32_t i = 0; i < clones && NextObject(next); ++i)
        ReadClone(object, next, depth + 1);
    for (int32_t i = 0; i < children && NextObject(next); ++i)
        ReadDynamic(next, object, depth + 1);
    if (animated) {
        world_->AddObject(object, 1);
        if (parent != nullptr) object->SetParent(parent, 1);
    }
    object->SetPositionChanged(1);
    std::copy_n(scale, 3, object->scale);
    ApplyObjectFlags(object, flags);
    return object;
}

void LScriptWorldFile::ReadClone(L3DObject* source, const std::string& type, int depth) {
    SectionFile& d = *document_;
    const bool animated = type == "Object Anim Clone";
    if (depth >= kMaxDepth || (!animated && type != "Object Clone")) {
        SkipTree(depth);
        return;
    }
    char name[SectionFile::kLineSize];
    d.GetQuotedString("OBJ_ObjName", name, sizeof name, "NoName", kFirst);
    L3DObjectClone* clone = animated ? new LAnimationClone(name, world_, nullptr)
                                     : new L3DObjectClone(name, world_, nullptr);
    if (clone->SetSource(source) == 0) {
        delete clone;
        SkipTree(depth);
        return;
    }
    const float scale[3] = {d.GetFloat("OBJ_ScaleX", 1.0f, kFirst),
                            d.GetFloat("OBJ_ScaleY", 1.0f, kFirst),
                            d.GetFloat("OBJ_ScaleZ", 1.0f, kFirst)};
    clone->MakeDynamic();
    world_->AddObject(clone, 0);
    ReadLocation(clone);
    ReadShadow(clone);
    const uint32_t flags =
        ReadFlags("OBJ_FlagObject", "OBJ_DYNAMIC", kFirst, kObjectFlags, std::size(kObjectFlags));
    const int32_t children = std::max(0, d.GetInt("OBJ_NbChildren", 0, kFirst));
    std::string next;
    for (int32_t i = 0; i < children && NextObject(next); ++i)
        ReadDynamic(next, clone, depth + 1);
    clone->SetPositionChanged(1);
    std::copy_n(scale, 3, clone->scale);
    ApplyObjectFlags(clone, flags);
    if (animated && clone->Sequences() != nullptr) clone->Sequences()->SelectSequence("Main");
}

void LScriptWorldFile::ApplyObjectFlags(L3DObject* object, uint32_t flags) {
    if ((flags & kFlagGouraud) != 0) object->SetGouraud(1);
    if ((flags & kFlagLambert) != 0) object->SetLambert(1);
    if ((flags & kFlagBox) != 0) object->ShowBox(1, 0);
    if ((flags & kFlagCollision) != 0) object->SetCollision(1);
    if ((flags & kFlagShadow) != 0) object->EnableShadow(1);
    if ((flags & kFlagTrueShadow) != 0) object->SetShadowReceiver(1);
}

void LScriptWorldFile::ReadShadow(L3DObject* object) {
    SectionFile& d = *document_;
    const int32_t width = d.GetInt("OBJ_SHADOW_SizeX", 20, kFirst);
    const int32_t height = d.GetInt("OBJ_SHADOW_SizeY", 20, kFirst);
    char name[SectionFile::kLineSize], file[SectionFile::kLineSize];
    d.GetQuotedString("OBJ_SHADOW_TexName", name, sizeof name, "Nothing", kFirst);
    LTexture* texture = nullptr;
    if (std::strcmp(name, "Nothing") != 0) {
        d.GetString("OBJ_SHADOW_TexFile", file, sizeof file, "Nothing", kFirst);
        if (std::strcmp(file, "Nothing") != 0) texture = world_->textures.LoadTexture(name, file);
    }
    if (texture != nullptr)
        object->SetShadowTextureAndSize(width, height, texture);
    else
        object->SetShadowTextureSize(width, height);
}

void LScriptWorldFile::ReadBases(L3DObject* object, bool everyBase) {
    SectionFile& d = *document_;
    const uint32_t bases = std::max(1u, Capped(d.GetInt("OBJ_NbBase", 1, kFirst), d));
    LMultiBasePoly& mesh = *object;
    while (uint32_t(mesh.GetBaseCount()) < bases)
        if (mesh.AddBase() == nullptr) break;
    const uint32_t read = everyBase ? uint32_t(mesh.GetBaseCount()) : 1u;
    const int32_t current = mesh.currentFrame;
    for (uint32_t i = 0; i < read; ++i) {
        if (everyBase) mesh.currentFrame = int32_t(i);
        ReadMesh(object);
    }
    if (everyBase) mesh.currentFrame = current < 0 ? 0 : current;
}

void LScriptWorldFile::ReadMesh(L3DObject* object) {
    SectionFile& d = *document_;
    LBasePoint* list = object->GetCurrentPointList();
    LAPICLBK* device = world_->GetAPI();
    if (list == nullptr || device == nullptr) return;

    // Points and polygons are read first, so that every point is made knowing its uses.
    const uint32_t pointCount = Capped(d.GetInt("BPO_NbPoint", 0, kNext), d);
    const float zero[7] = {};
    const bool second = version_ >= kVersionSecondPair;
    std::vector<std::array<float, 7>> values;
    for (uint32_t i = 0; i < pointCount; ++i) {
        std::array<float, 7> v{};
        d.GetP3DDef("P3D_Definition", v.data(), zero, second, kNext);
        if (!d.HasCurrentKey()) break;
        values.push_back(v);
    }
    struct Face {
        int corners;
        int32_t index[4];
        std::string material;
    };
    std::vector<Face> faces;
    const uint32_t polygonCount = Capped(d.GetInt("OBJ_NbPolygon", 0, kNext), d);
    const int32_t defaults[4] = {0, 1, 2, 3};
    std::vector<int32_t> uses(values.size(), 0);
    for (uint32_t i = 0; i < polygonCount; ++i) {
        Face face{};
        char material[kWordSize];
        face.corners = d.GetPolDef("POL_Definition", face.index, material, sizeof material,
                                   defaults, "Default Material", kNext);
        if (!d.HasCurrentKey()) break;
        bool inside = true;
        for (int k = 0; k < face.corners; ++k)
            inside = inside && face.index[k] >= 0 && size_t(face.index[k]) < values.size();
        // A corner outside the base's points would have nothing to stand on.
        if (!inside) continue;
        for (int k = 0; k < face.corners; ++k)
            ++uses[size_t(face.index[k])];
        face.material = material;
        faces.push_back(std::move(face));
    }

    const bool merging = list->IsMerging();
    list->DisableMerging();
    std::vector<L3DPoint*> points;
    for (size_t i = 0; i < values.size(); ++i) {
        const float* v = values[i].data();
        L3DPoint* point = list->AddPoint(v[0], v[1], v[2], -v[3], -v[4], -v[5], -v[6], uses[i]);
        if (point == nullptr) break;
        points.push_back(point);
    }
    if (merging) list->EnableMerging();

    std::vector<float> sums(points.size() * 3, 0.0f);
    for (const Face& face : faces) {
        bool made = true;
        for (int k = 0; k < face.corners; ++k)
            made = made && size_t(face.index[k]) < points.size();
        LPolygon* polygon = made ? device->CreatePolygon(object, 2, 0) : nullptr;
        if (polygon == nullptr) continue;
        polygon->capacity = face.corners;
        for (int k = 0; k < face.corners; ++k)
            polygon->AppendVertex(points[size_t(face.index[k])]);
        for (int k = 0; k < face.corners; ++k) {
            const float* t = points[size_t(face.index[k])]->texture;
            polygon->SetUV(k, t[0], t[1]);
            polygon->SetUV2(k, t[2], t[3]);
        }
        if (object->AddPolygon(polygon, 1) != kSceneOk) {
            device->DeletePolygon(polygon);
            continue;
        }
        std::string wanted = face.material;
        for (const auto& [fileName, given] : renames_)
            if (platform::Cp1252EqualNoCase(fileName, face.material)) {
                wanted = given;
                break;
            }
        MaterialRecord* record = nullptr;
        for (MaterialRecord& r : materials_)
            if (record == nullptr && platform::Cp1252EqualNoCase(r.material->Name(), wanted))
                record = &r;
        // Without a record of the file the polygon takes the world's default material.
        if (record != nullptr)
            record->waiting.push_back(polygon);
        else
            polygon->SetMaterial(world_->GetDefaultMaterial());
        const float* plane = polygon->GetPlane(0);
        for (int k = 0; k < face.corners; ++k)
            for (int c = 0; c < 3; ++c)
                sums[size_t(face.index[k]) * 3 + size_t(c)] += plane[c];
    }
    for (size_t i = 0; i < points.size(); ++i) {
        float* n = &sums[i * 3];
        const float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
        if (length > 0.0f && std::isfinite(length))
            for (int c = 0; c < 3; ++c)
                n[c] /= length;
        std::copy_n(n, 3, points[i]->normal);
    }
    // The object's mapping switch would rewrite the drawing mode of every material its
    // polygons use; the materials keep the modes the file gave them.
    AttachWaitingPolygons();
}

void LScriptWorldFile::ReadSequences(LAnimationIK* sequences, const char* prefix) {
    if (sequences == nullptr) return;
    SectionFile& d = *document_;
    const std::string p = prefix;
    const int32_t start = d.GetInt((p + "StartFrame").c_str(), 0, kFirst);
    const int32_t end = d.GetInt((p + "EndFrame").c_str(), 0, kFirst);
    sequences->SetSequence("Main", 0, start, end, 0, start, 0, 0);
    sequences->SelectSequence("Main");
    d.GetInt((p + "CurFrame").c_str(), 0, kFirst);
    const uint32_t count = Capped(d.GetInt((p + "NbAnim").c_str(), 0, kNext), d);
    const int32_t none[7] = {-1, 0, 0, 0, 0, 0, 0};
    for (uint32_t i = 0; i < count; ++i) {
        char name[16];
        int32_t v[7];
        d.GetAnimDef((p + "AnimDef").c_str(), name, v, "Nothing", none, kNext);
        if (!d.HasCurrentKey()) break;
        if (v[0] == -1) continue;
        sequences->SetSequence(name, uint8_t(v[0]), v[1], v[2], v[4], v[3], v[5], v[6]);
    }
    if (ReadFlags((p + "FlagAnimKine").c_str(), "ANIM_LOOP", kFirst, kLoopFlags, 1) != 0)
        sequences->flags |= 0x2;
}

void LScriptWorldFile::ReadTracks(L3DObject* object) {
    SectionFile& d = *document_;
    const bool keyCount = version_ >= kVersionKeyCount;
    const LBasePoint* list = object->GetCurrentPointList();
    const uint32_t points = list != nullptr ? uint32_t(list->GetCount()) : 0;
    for (const TrackName& t : kTracks) {
        char key[96];
        std::snprintf(key, sizeof key, "OBJ_TRACK_%s", t.name);
        const int32_t none[2] = {0, 0};
        int32_t header[2];
        d.GetTrackDef(key, header, none, kFirst);
        const uint32_t count = Capped(header[1], d);
        if (count == 0) continue;
        LKeyTrack* track = LKeyTrack::Create();
        track->flags = uint32_t(header[0]);
        float running[4];
        QuatIdentity(running);
        const LKey fallback;
        const float zero[16] = {};
        for (uint32_t i = 0; i < count; ++i) {
            LKey* k = LKeyTrack::CreateKey();
            std::snprintf(key, sizeof key, "OBJ_KEYSDEF_%s_%u", t.name, i);
            d.GetKeyDef(key, *k, fallback, keyCount, kNext);
            std::snprintf(key, sizeof key, "OBJ_KEYSDAT_%s_%u", t.name, i);
            switch (t.kind) {
            case kTrackTranslation:
            case kTrackScale:
                d.GetVec3D(key, k->value, zero, kNext);
                break;
            case kTrackRotation: {
                d.GetQuat(key, k->value, zero, kNext);
                float turn[4];
                QuatFromAxisAngle(k->value[0], k->value[1], k->value[2], k->value[3], turn);
                QuatMultiply(turn, running, running);
                QuatCopy(running, k->orientation);
                break;
            }
            case kTrackMorph:
                // A number only: a text world's morph key names no object.
                k->value[0] = float(d.GetInt(key, 0, kNext));
                break;
            case kTrackMatrix:
                d.GetMatrix(key, k->value, zero, kNext);
                break;
            case kTrackPointMoves: {
                const uint32_t moves = std::min(k->elementCount, d.CurrentKeyCount());
                for (uint32_t j = 0; j < moves; ++j) {
                    std::snprintf(key, sizeof key, "OBJ_KEYSDAT_PMove_%u_%u", i, j);
                    const LPointMove fallbackMove{j, {0, 0, 0, 0, 0}};
                    LPointMove move{};
                    d.GetPMove(key, move, fallbackMove, kNext);
                    // A move of a point the base lacks is dropped.
                    if (move.index >= points) continue;
                    const int32_t slot = k->elements.GetCount();
                    if (k->elements.SetSize(slot + 1) < 0) break;
                    std::memcpy(k->elements.GetAt(slot), &move, sizeof move);
                }
                k->elementCount = uint32_t(k->elements.GetCount());
                break;
            }
            default:
                break;
            }
            AppendKey(track, k, TruncateToInt32(k->frame));
        }
        switch (t.kind) {
        case kTrackRotation:
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
        ReplaceTrack(*object, t.kind, track);
    }
}
