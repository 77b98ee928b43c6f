// Loading and merging a binary world: the container walk and the readers of the world's
// settings, cameras, sounds, zones, lights, materials, textures and blobs. Every byte
// comes from outside: counts are capped by the bytes their chunk holds and every loop
// stops at the first failed read.
#include <algorithm>
#include <cstring>
#include <string>
#include <unordered_set>

#include "engine3d/files/binary_world_file.h"
#include "engine3d/files/chunk_reader.h"
#include "engine3d/files/path_split.h"
#include "engine3d/scene/blobs/blob.h"
#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/lights/light.h"
#include "engine3d/scene/lights/light_list.h"
#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/materials/texture.h"
#include "engine3d/scene/objects/object_walk.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/objects/world_light.h"
#include "engine3d/scene/render/device.h"
#include "engine3d/scene/zones/sound.h"
#include "engine3d/scene/zones/zone.h"
#include "foundation/streams/file_in_stream.h"
#include "platform/kernel/cp1252.h"

namespace {

constexpr uint32_t kTagWorld = ChunkTag("WORL");
constexpr uint32_t kTagBackground = ChunkTag("BKGD");
constexpr uint32_t kTagBackgroundMaterial = ChunkTag("BKMT");
constexpr uint32_t kTagUser = ChunkTag("OUSE");
constexpr uint32_t kTagCamera = ChunkTag("CAME");
constexpr uint32_t kTagSounds = ChunkTag("BSOU");
constexpr uint32_t kTagZones = ChunkTag("BZON");
constexpr uint32_t kTagWorldLight = ChunkTag("AMLI");
constexpr uint32_t kTagLights = ChunkTag("BLIG");
constexpr uint32_t kTagMaterials = ChunkTag("BMAT");
constexpr uint32_t kTagTextures = ChunkTag("TEXT");
constexpr uint32_t kTagBlobs = ChunkTag("BBLO");
constexpr uint32_t kTagBlob = ChunkTag("BLOB");
constexpr uint32_t kTagCluster = ChunkTag("BCLU");
constexpr uint32_t kTagLocation = ChunkTag("OLOC");

// The least bytes of the records that lists count, so that a hostile count is cut to
// what its chunk could hold.
constexpr uint32_t kLeastSound = 2 + 4 + 2 + 44;
constexpr uint32_t kLeastZone = 6 + 2 + 44;
constexpr uint32_t kLeastLight = 4 + 12 + 4 + 2 + 44;
constexpr uint32_t kLeastTexture = 2 + 2 + 3 + 1 + 16 + 1;
constexpr uint32_t kLeastMaterial = 2 + 2 + 4 + 2 + 4 + 1 + 1 + kLeastTexture + 1;
constexpr uint32_t kLeastBlob = 5 + 2 + 2 + 44;

constexpr char kNothing[] = "Nothing";
constexpr char kBuiltInPrefix[] = "$Yix3D Mat$";

bool IsNothing(const char* text) {
    return std::strcmp(text, kNothing) == 0;
}

// What a record of "BMAT" says, read before any material is made.
struct MaterialRecord {
    char name[256];
    uint32_t mode;
    uint16_t reflection;
    uint32_t color;
    uint8_t alpha;
    float weight;
    uint8_t slotCount;
    LTexture* textures[2];
    uint8_t keyOn[2], environment[2];
    uint32_t keyColor[2];
    uint8_t planar;
};

bool Matches(const LMaterial& candidate, const MaterialRecord& record) {
    if (record.textures[0] != nullptr) return candidate.GetTexture(0) == record.textures[0];
    constexpr uint32_t kModeBits = LMaterial::kWireframe | LMaterial::kSolid | LMaterial::kTextured;
    return candidate.GetTexture(0) == nullptr && candidate.color == record.color &&
           (candidate.mode & kModeBits) == (record.mode & kModeBits) &&
           candidate.GetReflectionType() == int32_t(record.reflection) &&
           candidate.alpha == record.alpha;
}

} // namespace

LBinaryWorldFile::LBinaryWorldFile() = default;

LBinaryWorldFile::~LBinaryWorldFile() {
    planarMaterials_.RemoveAll();
}

void LBinaryWorldFile::Count(zyb::LoadStatistics::Entry zyb::LoadStatistics::*entry,
                             LListNode* node) {
    if (statistics_ == nullptr) return;
    zyb::LoadStatistics::Entry& e = statistics_->*entry;
    if (e.count++ == 0) e.first = node;
}

int LBinaryWorldFile::LoadWorldFile(const char* path, L3DWorld* world, uint32_t mask,
                                    zyb::LoadStatistics* statistics) {
    if (statistics != nullptr) *statistics = {};
    if (path == nullptr) return 0;
    CFileInStream stream;
    if (stream.OpenFile(path) != kResultOk) return 0;
    return LoadWorld(&stream, world, mask, statistics);
}

int LBinaryWorldFile::LoadWorld(CInStream* stream, L3DWorld* world, uint32_t mask,
                                zyb::LoadStatistics* statistics) {
    if (statistics != nullptr) *statistics = {};
    if (stream == nullptr || world == nullptr) return 0;
    const LBaseTexture::LoadScope imageSearches(world->textures);
    ChunkReader reader(*stream);
    reader_ = &reader;
    statistics_ = statistics;
    uint64_t end = 0;
    if (!zyb::ReadContainer(reader, version_, end)) {
        reader_ = nullptr;
        return 0;
    }
    planarMaterials_.RemoveAll();
    materialTable_.clear();
    world_ = world;
    mask_ = mask;
    background_ = {};
    WalkSections(end);
    // The background's material is looked up once the file's materials are there.
    ApplyBackground();
    world_->ResetObjectNames();
    Finish();
    return 1;
}

L3DObject* LBinaryWorldFile::MergeObjectsFile(const char* path, L3DWorld* world, const char* name) {
    if (path == nullptr) return nullptr;
    CFileInStream stream;
    if (stream.OpenFile(path) != kResultOk) return nullptr;
    return MergeObjects(&stream, world, name);
}

L3DObject* LBinaryWorldFile::MergeObjects(CInStream* stream, L3DWorld* world, const char* name) {
    if (stream == nullptr || world == nullptr || name == nullptr) return nullptr;
    const LBaseTexture::LoadScope imageSearches(world->textures);
    ChunkReader reader(*stream);
    reader_ = &reader;
    statistics_ = nullptr;
    uint64_t end = 0;
    if (!zyb::ReadContainer(reader, version_, end)) {
        reader_ = nullptr;
        return nullptr;
    }
    // Clones go to the front of the object list, so the objects added are told apart
    // from the ones there before by identity rather than by position.
    std::unordered_set<const L3DObject*> before;
    for (LListNode* node = world->objects.GetHead(); node != nullptr; node = node->next)
        before.insert(static_cast<const L3DObject*>(node->item));
    planarMaterials_.RemoveAll();
    materialTable_.clear();
    world_ = world;
    mask_ = zyb::kLoadMerge;
    WalkSections(end);
    Finish();
    // A clone bears its source's name; the tree read from the file is asked for first.
    for (bool clones : {false, true})
        for (LListNode* node = world->objects.GetHead(); node != nullptr; node = node->next) {
            auto* object = static_cast<L3DObject*>(node->item);
            if (before.count(object) != 0 || IsCloneType(object->typeCode) != clones) continue;
            if (name[0] == 0) return object;
            char shown[260];
            object->GetName(shown, sizeof shown);
            if (platform::Cp1252EqualNoCase(shown, name)) return object;
        }
    return nullptr;
}

void LBinaryWorldFile::Finish() {
    world_->InvalidateMaterials();
    for (LListNode* node = planarMaterials_.GetHead(); node != nullptr; node = node->next)
        static_cast<LMaterial*>(node->item)->UpdatePlanarState(1);
    planarMaterials_.RemoveAll();
    reader_ = nullptr;
}

void LBinaryWorldFile::WalkSections(uint64_t end) {
    ChunkReader& r = *reader_;
    ChunkHeader header;
    while (r.NextChunk(end, header)) {
        switch (header.tag) {
        case kTagWorld:
            if ((mask_ & zyb::kLoadWorld) != 0) ReadWorldSection(header);
            break;
        case kTagCamera:
            if ((mask_ & zyb::kLoadCameras) != 0) ReadCamera(header);
            break;
        case kTagSounds:
            if ((mask_ & zyb::kLoadSounds) != 0) ReadSounds(header);
            break;
        case kTagZones:
            if ((mask_ & zyb::kLoadZones) != 0) ReadZones(header);
            break;
        case kTagWorldLight:
            if ((mask_ & zyb::kLoadLights) != 0) ReadWorldLight(header);
            break;
        case kTagLights:
            if ((mask_ & zyb::kLoadLights) != 0) ReadLights(header);
            break;
        case kTagMaterials:
            if ((mask_ & zyb::kLoadMaterials) != 0) ReadMaterials(header);
            break;
        case kTagTextures:
            if ((mask_ & zyb::kLoadTextures) != 0) ReadTextures(header);
            break;
        case kTagBlobs:
            if ((mask_ & zyb::kLoadBlobs) != 0) ReadBlobs(header);
            break;
        case kTagCluster:
            if ((mask_ & zyb::kLoadMerge) != 0) ReadCluster(header);
            break;
        default:
            break;
        }
        r.SkipTo(header.end);
    }
}

void LBinaryWorldFile::ReadWorldSection(const ChunkHeader& header) {
    ChunkReader& r = *reader_;
    uint16_t culling = 0, autoDelete = 0, unused = 0, count = 0;
    uint32_t flags = 0;
    r.ReadU16(culling);
    r.ReadU16(autoDelete);
    r.ReadU16(unused);
    r.ReadU32(flags);
    r.ReadU16(count);
    if (r.LastResult() != kResultOk) return;
    world_->backFaceCulling = culling;
    world_->worldFlags = flags;
    ChunkHeader nested;
    while (r.NextChunk(header.end, nested)) {
        if (nested.tag == kTagBackground) {
            if (nested.length != 0) ReadBackground(nested);
        } else if (nested.tag == kTagUser) {
            uint32_t value = 0;
            r.ReadU32(value);
            if (nested.length != 0 && r.LastResult() == kResultOk) world_->userValue = value;
        } else {
            break;
        }
        r.SkipTo(nested.end);
    }
}

void LBinaryWorldFile::ReadBackground(const ChunkHeader& header) {
    ChunkReader& r = *reader_;
    Background& b = background_;
    uint32_t scale[2] = {};
    b = {};
    r.ReadString(b.texture.file, sizeof b.texture.file);
    r.ReadString(b.texture.name, sizeof b.texture.name);
    r.ReadF32(b.tiling[0]);
    r.ReadF32(b.tiling[1]);
    r.ReadU32(scale[0]);
    r.ReadU32(scale[1]);
    if (r.LastResult() != kResultOk) return;
    // The scales are stored as their bits.
    std::memcpy(&b.scale[0], &scale[0], 4);
    std::memcpy(&b.scale[1], &scale[1], 4);
    b.present = true;
    ChunkHeader nested;
    while (r.NextChunk(header.end, nested)) {
        if (nested.tag != kTagBackgroundMaterial) break;
        char material[256];
        r.ReadString(material, sizeof material);
        // An older writer put the texture's name first and the material's second.
        if (r.BytesLeft(nested.end) >= 2) r.ReadString(material, sizeof material);
        if (r.LastResult() == kResultOk) b.materials.emplace_back(material);
        r.SkipTo(nested.end);
    }
}

void LBinaryWorldFile::ApplyBackground() {
    Background& b = background_;
    if (!b.present) return;
    for (const std::string& name : b.materials) {
        LMaterial* m = world_->materials.FindByName(name.c_str());
        if (m == nullptr)
            m = world_->materials.CreateMaterial(name.c_str(), ResolveTexture(b.texture), 0xFFFFFF,
                                                 0, nullptr);
        if (m != nullptr) world_->SetBackgroundMaterial(m);
    }
    // Taking a material resets the tiling, so the values come after it.
    world_->SetBackgroundParams(b.scale[0], b.scale[1], b.tiling[0], b.tiling[1]);
    b = {};
}

void LBinaryWorldFile::ReadLocation(L3DObject* object) {
    float v[9];
    for (float& value : v)
        reader_->ReadF32(value);
    if (reader_->LastResult() != kResultOk) return;
    object->SetAnglesAndPosition(v[3], v[4], v[5], v[0], v[1], v[2]);
    object->SetHotSpotRaw(v[6], v[7], v[8]);
}

bool LBinaryWorldFile::ReadLocationChunk(uint64_t end, L3DObject* object) {
    ChunkHeader header;
    const uint64_t at = reader_->Position();
    if (!reader_->NextChunk(end, header) || header.tag != kTagLocation) {
        reader_->SkipTo(at);
        return false;
    }
    if (object != nullptr) ReadLocation(object);
    reader_->SkipTo(header.end);
    return true;
}

void LBinaryWorldFile::ReadCamera(const ChunkHeader& header) {
    ChunkReader& r = *reader_;
    uint8_t flag = 0;
    uint16_t value = 0, fogOn = 0;
    float fov = 0, start = 0, end = 0, density = 0;
    uint32_t color = 0;
    char name[256] = {};
    r.ReadU8(flag);
    r.ReadU16(value);
    r.ReadF32(fov);
    r.ReadU16(fogOn);
    r.ReadU32(color);
    r.ReadF32(start);
    r.ReadF32(end);
    r.ReadF32(density);
    if (zyb::HasCameraName(version_)) r.ReadString(name, sizeof name);
    if (r.LastResult() != kResultOk) return;
    L3DCamera* camera = world_->CreateCamera(0);
    if (camera == nullptr) return;
    Count(&zyb::LoadStatistics::cameras, world_->cameras.list.FindNode(camera));
    camera->SetFieldOfView(fov);
    camera->SetFog(fogOn, color, start, end, density);
    if (zyb::HasCameraName(version_)) camera->SetName(name);
    while (ReadLocationChunk(header.end, camera)) {}
}

void LBinaryWorldFile::ReadSounds(const ChunkHeader& header) {
    ChunkReader& r = *reader_;
    uint16_t count = 0;
    r.ReadU16(count);
    count = uint16_t(r.CapCount(count, header.end, kLeastSound));
    for (uint32_t i = 0; i < count; ++i) {
        char file[260], name[256];
        uint16_t pan = 0, volume = 0;
        r.ReadString(file, sizeof file);
        r.ReadU16(pan);
        r.ReadU16(volume);
        r.ReadString(name, sizeof name);
        if (r.LastResult() != kResultOk) return;
        L3DSound* sound = world_->sounds.CreateSound(file, 0);
        if (sound == nullptr) return;
        Count(&zyb::LoadStatistics::sounds, world_->sounds.list.FindNode(sound));
        sound->SetName(name);
        if (!ReadLocationChunk(header.end, sound)) return;
    }
}

void LBinaryWorldFile::ReadZones(const ChunkHeader& header) {
    ChunkReader& r = *reader_;
    uint16_t count = 0;
    r.ReadU16(count);
    count = uint16_t(r.CapCount(count, header.end, kLeastZone));
    for (uint32_t i = 0; i < count; ++i) {
        uint16_t size[3] = {};
        char name[256];
        for (uint16_t& s : size)
            r.ReadU16(s);
        r.ReadString(name, sizeof name);
        if (r.LastResult() != kResultOk) return;
        L3DZone* zone = world_->zones.CreateZone(nullptr, size[0], size[1], size[2], 0, 0);
        if (zone == nullptr) return;
        Count(&zyb::LoadStatistics::zones, world_->zones.list.FindNode(zone));
        zone->SetName(name);
        if (!ReadLocationChunk(header.end, zone)) return;
    }
}

void LBinaryWorldFile::ReadWorldLight(const ChunkHeader&) {
    ChunkReader& r = *reader_;
    uint16_t night = 0, intensity = 0;
    float x = 0, y = 0, z = 0;
    uint32_t color = 0;
    r.ReadU16(night);
    r.ReadU16(intensity);
    r.ReadVector(x, y, z);
    r.ReadU32(color);
    if (r.LastResult() != kResultOk || world_->ambientLight == nullptr) return;
    world_->ambientLight->SetColor(color);
    world_->ambientLight->SetParameters(x, y, z, intensity, night);
}

void LBinaryWorldFile::ReadLights(const ChunkHeader& header) {
    ChunkReader& r = *reader_;
    uint16_t counts[2] = {};
    r.ReadU16(counts[0]);
    r.ReadU16(counts[1]);
    if (world_->lights == nullptr) return;
    for (int block = 0; block < 2; ++block) {
        const bool dynamic = block == 0;
        const uint32_t count = r.CapCount(counts[block], header.end, kLeastLight);
        for (uint32_t i = 0; i < count; ++i) {
            uint16_t radius = 0, intensity = 0;
            float position[3] = {};
            uint32_t color = 0;
            char name[256];
            r.ReadU16(radius);
            r.ReadU16(intensity);
            r.ReadVector(position[0], position[1], position[2]);
            r.ReadU32(color);
            r.ReadString(name, sizeof name);
            if (r.LastResult() != kResultOk) return;
            L3DLight* light = world_->lights->CreateLight(dynamic ? LBaseLight::kDynamicKind
                                                                  : LBaseLight::kStaticKind,
                                                          position, radius, intensity, color, 0);
            if (light == nullptr) return;
            Count(dynamic ? &zyb::LoadStatistics::dynamicLights
                          : &zyb::LoadStatistics::staticLights,
                  nullptr);
            light->SetName(name);
            const bool located = ReadLocationChunk(header.end, light);
            light->SetIntensityAndRadius(radius, intensity, 1);
            if (!located) return;
        }
    }
}

void LBinaryWorldFile::ReadTextureRecord(TextureRecord& record, bool inMaterial) {
    ChunkReader& r = *reader_;
    uint8_t option = 0;
    record = {};
    r.ReadString(record.file, sizeof record.file);
    r.ReadString(record.name, sizeof record.name);
    r.ReadU8(record.keyOn);
    r.ReadU8(record.environment);
    // The option byte mirrored who owned the pixels; a file never decides that.
    r.ReadU8(option);
    if (zyb::HasKeyColour(version_)) r.ReadU32(record.keyColor);
    r.ReadU8(record.depth);
    if (inMaterial) r.ReadU8(record.planar);
    r.ReadF32(record.offset[0]);
    r.ReadF32(record.offset[1]);
    r.ReadF32(record.tiling[0]);
    r.ReadF32(record.tiling[1]);
    r.ReadU8(record.alpha);
}

LTexture* LBinaryWorldFile::ResolveTexture(const TextureRecord& record) {
    if (record.file[0] == 0 || IsNothing(record.file)) return nullptr;
    const bool named = record.name[0] != 0 && !IsNothing(record.name);
    if (named)
        if (LTexture* found = world_->textures.FindByName(record.name)) return found;
    std::string name = record.name;
    if (!named) SplitBaseName(record.file, name);
    LTexture* texture = world_->textures.LoadTexture(name.c_str(), record.file);
    LAPICLBK* device = world_->GetAPI();
    if (texture == nullptr && device != nullptr) {
        // Without its image (a folder left behind, a renamed file) the texture stays named
        // in the world, so that the materials using it and a later save keep it.
        texture = device->CreateTexture(world_, name.c_str(), nullptr);
        if (texture != nullptr) {
            texture->SetFileName(record.file);
            texture->bitsPerPixel = record.depth;
            world_->textures.AddTexture(texture);
        }
    }
    if (texture != nullptr) {
        texture->SetOffset(record.offset[0], record.offset[1]);
        texture->SetTiling(record.tiling[0], record.tiling[1]);
    }
    return texture;
}

void LBinaryWorldFile::ReadMaterials(const ChunkHeader& header) {
    ChunkReader& r = *reader_;
    uint16_t count = 0;
    r.ReadU16(count);
    if (r.LastResult() != kResultOk) return;
    // Index 0 is the default material, which the file leaves out.
    const uint32_t records = r.CapCount(count > 0 ? count - 1u : 0u, header.end, kLeastMaterial);
    std::vector<MaterialRecord> read;
    for (uint32_t i = 0; i < records; ++i) {
        MaterialRecord m{};
        uint16_t unused = 0;
        r.ReadString(m.name, sizeof m.name);
        r.ReadU16(unused);
        r.ReadU32(m.mode);
        r.ReadU16(m.reflection);
        r.ReadU32(m.color);
        r.ReadU8(m.alpha);
        m.weight = 0.5f;
        if (zyb::HasTextureWeight(version_)) r.ReadF32(m.weight);
        r.ReadU8(m.slotCount);
        if (r.LastResult() != kResultOk) break;
        const int slots = m.slotCount == 2 ? 2 : 1;
        TextureRecord slot;
        bool complete = true;
        for (int s = 0; s < slots && complete; ++s) {
            ReadTextureRecord(slot, true);
            complete = r.LastResult() == kResultOk;
            if (!complete) break;
            m.textures[s] = ResolveTexture(slot);
            m.keyOn[s] = slot.keyOn;
            m.keyColor[s] = slot.keyColor;
            m.environment[s] = slot.environment;
            if (s == 0) m.planar = slot.planar;
        }
        if (!complete) break;
        read.push_back(m);
    }
    materialTable_.assign(size_t(count > 0 ? count : 1), nullptr);
    materialTable_[0] = world_->GetDefaultMaterial();
    // The list puts new materials first: made from the last record back, they keep the
    // file's order.
    for (size_t i = read.size(); i-- > 0;) {
        const MaterialRecord& m = read[i];
        LMaterial* material = nullptr;
        if (std::strncmp(m.name, kBuiltInPrefix, sizeof kBuiltInPrefix - 1) == 0)
            material = world_->materials.FindByName(m.name);
        for (LMaterial* c = world_->materials.FindByName(m.name);
             material == nullptr && c != nullptr; c = world_->materials.FindNext(c, m.name))
            if (Matches(*c, m)) material = c;
        if (material == nullptr) {
            char unique[LMaterial::kNameSize];
            world_->materials.MakeUniqueName(unique, m.name, int(sizeof unique));
            material = world_->materials.CreateMaterial(unique, m.textures[0], m.color,
                                                        m.reflection, nullptr);
            if (material == nullptr) continue;
            material->SetTextureIntensity(0, m.weight);
            if (m.slotCount == 2) material->SetTexture(1, m.textures[1]);
            for (int s = 0; s < 2; ++s) {
                if (m.textures[s] == nullptr || material->GetTexture(s) != m.textures[s]) continue;
                if (m.keyOn[s] != 0) m.textures[s]->SetColorKey(1, m.keyColor[s]);
                if (m.environment[s] != 0) m.textures[s]->SetEnvironmentMapping(1);
            }
            if (m.planar != 0) planarMaterials_.InsertAfter(material, nullptr);
            material->SetAlpha(m.alpha);
            if ((m.mode & LMaterial::kHidden) != 0)
                material->Hide();
            else
                material->Show();
            if ((m.mode & LMaterial::kTextured) != 0)
                material->SetMapped(1);
            else if ((m.mode & LMaterial::kSolid) != 0)
                material->SetFlat(1);
            else if ((m.mode & LMaterial::kWireframe) != 0)
                material->SetWireFrame(1);
        }
        materialTable_[i + 1] = material;
    }
    for (size_t i = 1; i <= read.size(); ++i)
        if (materialTable_[i] != nullptr)
            Count(&zyb::LoadStatistics::materials,
                  world_->materials.list.FindNode(materialTable_[i]));
    // Records the file did not hold map to the default material.
    for (LMaterial*& entry : materialTable_)
        if (entry == nullptr) entry = world_->GetDefaultMaterial();
}

void LBinaryWorldFile::ReadTextures(const ChunkHeader& header) {
    ChunkReader& r = *reader_;
    uint32_t count = 0;
    r.ReadU32(count);
    count = r.CapCount(count, header.end, kLeastTexture);
    std::vector<LTexture*> order;
    for (uint32_t i = 0; i < count; ++i) {
        TextureRecord record;
        ReadTextureRecord(record, false);
        if (r.LastResult() != kResultOk) break;
        LTexture* texture = ResolveTexture(record);
        if (texture == nullptr) continue;
        texture->SetOffset(record.offset[0], record.offset[1]);
        texture->SetTiling(record.tiling[0], record.tiling[1]);
        texture->SetColorKey(record.keyOn, record.keyColor);
        texture->SetAlpha(record.alpha);
        texture->SetEnvironmentMapping(record.environment);
        order.push_back(texture);
    }
    // The list puts new textures behind its first; the file's order is restored so that
    // a world saved again writes the same records.
    LList& list = world_->textures.list;
    for (LTexture* texture : order)
        list.MoveBefore(list.FindNode(texture), nullptr);
}

void LBinaryWorldFile::ReadBlobs(const ChunkHeader& header) {
    ChunkReader& r = *reader_;
    uint16_t count = 0;
    r.ReadU16(count);
    count = uint16_t(r.CapCount(count, header.end, kLeastBlob));
    for (uint32_t i = 0; i < count; ++i) {
        uint16_t width = 0, height = 0, index = 0;
        uint8_t unused = 0;
        char name[256];
        r.ReadU16(width);
        r.ReadU16(height);
        r.ReadU8(unused);
        r.ReadString(name, sizeof name);
        r.ReadU16(index);
        if (r.LastResult() != kResultOk) return;
        LMaterial* material =
            index < materialTable_.size() ? materialTable_[index] : world_->GetDefaultMaterial();
        L3DBlob* blob = world_->blobs.CreateBlob(nullptr, name, width, height, material, 0);
        if (blob == nullptr) return;
        Count(&zyb::LoadStatistics::blobs, world_->blobs.list.FindNode(blob));
        blob->facing = L3DBlob::kDefaultFacing;
        ChunkHeader nested;
        bool ended = false;
        while (!ended) {
            const uint64_t at = r.Position();
            if (!r.NextChunk(header.end, nested)) return;
            if (nested.tag == kTagLocation) {
                ReadLocation(blob);
            } else if (nested.tag == kTagBlob) {
                uint8_t facing = 0;
                r.ReadU8(facing);
                if (r.LastResult() == kResultOk) blob->facing = facing;
                ended = true;
            } else {
                // A record without its "BLOB" chunk ends the section.
                r.SkipTo(at);
                return;
            }
            r.SkipTo(nested.end);
        }
    }
}
