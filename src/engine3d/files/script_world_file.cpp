// Loading and merging a text world: the version check, the world's settings and
// background, cameras, textures, materials, lights, zones, sounds and blobs. Every count
// comes from outside and is capped by the key lines of its section.
#include "engine3d/files/script_world_file.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>

#include "engine3d/files/path_split.h"
#include "engine3d/files/section_file.h"
#include "engine3d/scene/blobs/blob.h"
#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/lights/light.h"
#include "engine3d/scene/lights/light_list.h"
#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/materials/texture.h"
#include "engine3d/scene/mesh/polygon.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/objects/world_light.h"
#include "engine3d/scene/zones/sound.h"
#include "engine3d/scene/zones/zone.h"
#include "foundation/streams/file_in_stream.h"
#include "platform/kernel/cp1252.h"

namespace {

constexpr int kFirst = SectionFile::kFirst;
constexpr int kNext = SectionFile::kNext;
constexpr uint32_t kText = SectionFile::kLineSize;
constexpr uint32_t kWordSize = 64;

// Versions from which files carry the keys named.
constexpr uint32_t kVersionCameraName = 1068708660;
constexpr uint32_t kVersionKeyColour = 1068708661;
constexpr uint32_t kVersionTextureWeight = 1068708663;

constexpr char kNothing[] = "Nothing";
constexpr char kBuiltInPrefix[] = "$Yix3D Mat$";

constexpr std::pair<const char*, uint32_t> kMaterialFlags[] = {{"HIDDEN", LMaterial::kHidden},
                                                               {"FLAT", LMaterial::kSolid},
                                                               {"WIREFRAME", LMaterial::kWireframe},
                                                               {"MAPPING", LMaterial::kTextured},
                                                               {"OPAQUES", 0x40}};
constexpr std::pair<const char*, uint32_t> kWorldFlags[] = {{"SHOW_CLUSTER", 1}};
constexpr std::pair<const char*, uint32_t> kLightFlags[] = {{"OBJ_STATIC", 0x1000}};
constexpr const char* kReflections[] = {"REFLECT_NORMAL", "REFLECT_MAT", "REFLECT_METAL",
                                        "REFLECT_PLASTIC", "REFLECT_ROND"};

bool Is(const char* text, const char* word) {
    return std::strcmp(text, word) == 0;
}

} // namespace

LScriptWorldFile::LScriptWorldFile() = default;

LScriptWorldFile::~LScriptWorldFile() {
    AttachWaitingPolygons();
}

void LScriptWorldFile::AttachWaitingPolygons() {
    for (MaterialRecord& record : materials_) {
        for (LPolygon* polygon : record.waiting)
            polygon->SetMaterial(record.material);
        record.waiting.clear();
    }
}

int LScriptWorldFile::IsYixStream(CInStream* stream, uint32_t* version) {
    if (stream == nullptr) return 0;
    stream->Seek(0, 0);
    SectionFile document(stream);
    if (document.LastResult() != kResultOk ||
        document.FindSection("SCRIPT_INFORMATION", SectionFile::kFirst) == 0)
        return 0;
    const uint32_t value = uint32_t(document.GetInt("SCR_Version", 0, SectionFile::kFirst));
    if (value >= zyb::kVersionLimit) return 0;
    if (version != nullptr) *version = value;
    return 1;
}

bool LScriptWorldFile::Open(CInStream* stream, L3DWorld* world) {
    document_ = std::make_unique<SectionFile>(stream);
    if (document_->LastResult() != kResultOk) return false;
    version_ = 0;
    if (document_->FindSection("SCRIPT_INFORMATION", kFirst) != 0)
        version_ = uint32_t(document_->GetInt("SCR_Version", 0, kFirst));
    if (version_ >= zyb::kVersionLimit) return false;
    world_ = world;
    return true;
}

void LScriptWorldFile::Count(zyb::LoadStatistics::Entry zyb::LoadStatistics::*entry,
                             LListNode* node) {
    if (statistics_ == nullptr) return;
    zyb::LoadStatistics::Entry& e = statistics_->*entry;
    if (e.count++ == 0) e.first = node;
}

int LScriptWorldFile::LoadWorldFile(const char* path, L3DWorld* world, uint32_t mask,
                                    zyb::LoadStatistics* statistics) {
    if (statistics != nullptr) *statistics = {};
    if (path == nullptr) return 0;
    CFileInStream stream;
    if (stream.OpenFile(path) != kResultOk) return 0;
    return LoadWorld(&stream, world, mask, statistics);
}

int LScriptWorldFile::LoadWorld(CInStream* stream, L3DWorld* world, uint32_t mask,
                                zyb::LoadStatistics* statistics) {
    if (statistics != nullptr) *statistics = {};
    if (stream == nullptr || world == nullptr || !Open(stream, world)) return 0;
    const LBaseTexture::LoadScope imageSearches(world->textures);
    mask_ = mask;
    statistics_ = statistics;
    if ((mask & zyb::kLoadWorld) != 0) ReadWorld();
    if ((mask & zyb::kLoadCameras) != 0) ReadCameras();
    if ((mask & zyb::kLoadMaterials) != 0) ReadMaterials();
    if ((mask & zyb::kLoadTextures) != 0) ReadTextures();
    ReadCluster(nullptr);
    if ((mask & zyb::kLoadLights) != 0) ReadLights();
    if ((mask & zyb::kLoadZones) != 0) ReadZones();
    if ((mask & zyb::kLoadSounds) != 0) ReadSounds();
    if ((mask & zyb::kLoadBlobs) != 0) ReadBlobs();
    statistics_ = nullptr;
    AttachWaitingPolygons();
    world->ResetObjectNames();
    world->InvalidateMaterials();
    return 1;
}

L3DObject* LScriptWorldFile::MergeObjectsFile(const char* path, L3DWorld* world, const char* name) {
    if (path == nullptr) return nullptr;
    CFileInStream stream;
    if (stream.OpenFile(path) != kResultOk) return nullptr;
    return MergeObjects(&stream, world, name);
}

L3DObject* LScriptWorldFile::MergeObjects(CInStream* stream, L3DWorld* world, const char* name) {
    if (stream == nullptr || world == nullptr || name == nullptr || !Open(stream, world))
        return nullptr;
    const LBaseTexture::LoadScope imageSearches(world->textures);
    // Clones go to the front of the object list, so the objects added are told apart
    // from the ones there before by identity rather than by position.
    std::unordered_set<const L3DObject*> before;
    for (LListNode* node = world->objects.GetHead(); node != nullptr; node = node->next)
        before.insert(static_cast<const L3DObject*>(node->item));
    mask_ = zyb::kLoadMerge;
    statistics_ = nullptr;
    ReadMaterials();
    ReadCluster(name);
    AttachWaitingPolygons();
    for (LListNode* node = world->objects.GetHead(); node != nullptr; node = node->next) {
        auto* object = static_cast<L3DObject*>(node->item);
        if (before.count(object) != 0) continue;
        if (name[0] == '\0') return object;
        char shown[260];
        object->GetName(shown, sizeof shown);
        if (platform::Cp1252EqualNoCase(shown, name)) return object;
    }
    return nullptr;
}

uint32_t LScriptWorldFile::ReadFlags(const char* key, const char* fallback, int mode,
                                     const std::pair<const char*, uint32_t>* words, size_t count) {
    char text[kText];
    document_->GetString(key, text, sizeof text, fallback, mode);
    uint32_t flags = 0;
    for (char* word = text; word != nullptr;) {
        char* bar = std::strchr(word, '|');
        if (bar != nullptr) *bar = '\0';
        for (size_t i = 0; i < count; ++i)
            if (Is(word, words[i].first)) flags |= words[i].second;
        word = bar != nullptr ? bar + 1 : nullptr;
    }
    return flags;
}

LTexture* LScriptWorldFile::ResolveTexture(const char* file, const char* name) {
    const bool named = name[0] != '\0' && !Is(name, kNothing);
    if (named)
        if (LTexture* found = world_->textures.FindByName(name)) return found;
    if (file[0] == '\0' || Is(file, kNothing)) return nullptr;
    std::string textureName = name;
    if (name[0] == '\0') SplitBaseName(file, textureName);
    return world_->textures.LoadTexture(textureName.c_str(), file);
}

void LScriptWorldFile::ReadLocation(L3DObject* object) {
    const float zero[3] = {};
    float position[3], angles[3], hotSpot[3];
    document_->GetPos3D("LOC_Position", position, zero, kFirst);
    document_->GetRot3D("LOC_Rotation", angles, zero, kFirst);
    document_->GetPos3D("LOC_HotSpot", hotSpot, zero, kFirst);
    object->SetAnglesAndPosition(angles[0], angles[1], angles[2], position[0], position[1],
                                 position[2]);
    object->SetHotSpotRaw(hotSpot[0], hotSpot[1], hotSpot[2]);
}

bool LScriptWorldFile::NextObject(std::string& type) {
    type.clear();
    // A failed search leaves no section current, and the next one would start over at
    // the first section: every loop of a pass ends at the first failure instead.
    if (objectsEnded_) return false;
    if (document_->FindSection("OBJECT", kNext) == 0) {
        objectsEnded_ = true;
        return false;
    }
    char text[kWordSize];
    document_->GetQuotedString("OBJ_Objecttype", text, sizeof text, "Default", kFirst);
    type = text;
    return true;
}

void LScriptWorldFile::ReadWorld() {
    SectionFile& d = *document_;
    if (d.FindSection("3DWORLD", kNext) == 0) return;
    char text[kText], name[kText], material[kText];
    d.GetString("WOR_RenderType", text, sizeof text, "DIRECT3D", kFirst);
    d.GetInt("WOR_NbBitPerPixel", 16, kFirst);
    const uint32_t flags = ReadFlags("WOR_FlagWorld", "", kNext, kWorldFlags, 1);
    world_->SetCollision(0, -1);
    if ((flags & 1) != 0) world_->SetSpatialOption(1);
    world_->backFaceCulling = uint32_t(d.GetInt("WOR_BackFaceCulling", 0, kFirst));
    world_->autoDelete = uint32_t(d.GetInt("WOR_AutoDelete", 1, kFirst));
    cameraCount_ = uint32_t(std::max(0, d.GetInt("WOR_NbCamera", 0, kFirst)));
    world_->userValue = uint32_t(d.GetInt("WOR_UserData", 0, kFirst));
    d.GetQuotedString("WOR_BKGNDTexFileName", text, sizeof text, "NoBKGND", kFirst);
    if (Is(text, "NoBKGND")) return;
    d.GetQuotedString("WOR_BKGNDTexName", name, sizeof name, "NoBKGND", kFirst);
    const float scaleX = d.GetFloat("WOR_ScaleXTexture", 1.0f, kNext);
    const float scaleY = d.GetFloat("WOR_ScaleYTexture", 1.0f, kNext);
    const float width = d.GetFloat("WOR_ScaleWidthScreen", 1.0f, kNext);
    const float height = d.GetFloat("WOR_ScaleHeightScreen", 1.0f, kNext);
    d.GetQuotedString("WOR_BKGNDMatName", material, sizeof material, "NoMaterial", kFirst);
    LMaterial* background = nullptr;
    if (Is(material, "NoMaterial")) {
        LTexture* texture = world_->textures.LoadTexture(name, text);
        if (texture != nullptr)
            background =
                world_->materials.CreateMaterial("MatBKGND", texture, 0xFFFFFF, 0, nullptr);
    } else {
        background = world_->materials.FindByName(material);
    }
    if (background != nullptr) world_->SetBackgroundMaterial(background);
    world_->SetBackgroundParams(width, height, scaleX, scaleY);
}

void LScriptWorldFile::ReadCameras() {
    SectionFile& d = *document_;
    objectsEnded_ = false;
    uint32_t read = 0;
    std::string type;
    while (read < cameraCount_ && NextObject(type)) {
        if (type != "Camera") continue;
        ++read;
        char text[kText];
        d.GetString("CAM_SortType", text, sizeof text, "PAINT_ALGORITHM", kFirst);
        L3DCamera* camera = world_->CreateCamera(0);
        if (camera == nullptr) return;
        Count(&zyb::LoadStatistics::cameras, world_->cameras.list.FindNode(camera));
        camera->SetFieldOfView(d.GetFloat("CAM_Focus", 60.0f, kFirst));
        const int32_t fog = d.GetInt("CAM_FogState", 0, kFirst);
        const uint32_t colour = d.GetRGB("CAM_FogColor", 0xFFFFFF, kFirst);
        const float start = d.GetFloat("CAM_FogStart", 0.0f, kFirst);
        const float end = d.GetFloat("CAM_FogEnd", 1.0f, kFirst);
        const float density = d.GetFloat("CAM_FogDensity", 0.1f, kFirst);
        camera->SetFog(fog & 0xFF, colour, start, end, density);
        if (version_ >= kVersionCameraName) {
            d.GetQuotedString("CAM_Name", text, sizeof text, "Camera", kFirst);
            camera->SetName(text);
        }
        ReadLocation(camera);
    }
}

void LScriptWorldFile::ReadTextures() {
    SectionFile& d = *document_;
    if (d.FindSection("BASETEXTURE", kFirst) == 0) return;
    const uint32_t count = uint32_t(std::max(0, d.GetInt("BMA_NbTexture", 0, kFirst)));
    for (uint32_t i = 0; i < count && d.FindSection("TEXTURE", kNext) != 0; ++i) {
        char file[kText], name[kText];
        d.GetQuotedString("TEX_TextureFileName", file, sizeof file, kNothing, kFirst);
        if (Is(file, kNothing)) continue;
        d.GetQuotedString("TEX_TextureName", name, sizeof name, kNothing, kFirst);
        const float offset[2] = {d.GetFloat("TEX_TextureOffsetX", 0.0f, kFirst),
                                 d.GetFloat("TEX_TextureOffsetY", 0.0f, kFirst)};
        const float tiling[2] = {d.GetFloat("TEX_TextureTilingX", 1.0f, kFirst),
                                 d.GetFloat("TEX_TextureTilingY", 1.0f, kFirst)};
        const int32_t alpha = d.GetInt("TEX_SemiTransparencyRatio", 255, kFirst);
        const int32_t keyOn = d.GetInt("TEX_TextureTransparency", 0, kFirst);
        const int32_t environment = d.GetInt("TEX_TextureEnvMapped", 0, kFirst);
        d.GetInt("TEX_TextureAutoDelete", 0, kFirst);
        const int32_t key =
            version_ >= kVersionKeyColour ? d.GetInt("TEX_TranspColor", 0, kFirst) : 0;
        LTexture* texture = ResolveTexture(file, name);
        if (texture == nullptr) continue;
        texture->SetOffset(offset[0], offset[1]);
        texture->SetTiling(tiling[0], tiling[1]);
        texture->SetColorKey(keyOn != 0 ? 1 : 0, uint32_t(key));
        texture->SetEnvironmentMapping(environment != 0 ? 1 : 0);
        texture->SetAlpha(uint8_t(alpha));
    }
}

void LScriptWorldFile::ReadMaterials() {
    SectionFile& d = *document_;
    if (d.FindSection("BASEMATERIAL", kFirst) == 0) {
        materials_.push_back({world_->GetDefaultMaterial(), {}});
        return;
    }
    const uint32_t count = uint32_t(std::max(0, d.GetInt("BMA_NbMaterial", 0, kFirst)));
    for (uint32_t i = 0; i < count && d.FindSection("MATERIAL", kNext) != 0; ++i) {
        char name[kText], word[kText];
        d.GetQuotedString("MAT_MatName", name, sizeof name, "Default Material", kFirst);
        d.GetString("MAT_ReflectionType", word, sizeof word, "REFLECT_NORMAL", kFirst);
        int32_t reflection = 0;
        for (int32_t k = 0; k < 5; ++k)
            if (Is(word, kReflections[k])) reflection = k;
        const uint32_t flags = ReadFlags("MAT_Flag", "FLAT", kFirst, kMaterialFlags, 5);
        const float weight =
            version_ >= kVersionTextureWeight ? d.GetFloat("MAT_Tex1Weight", 0.0f, kNext) : 0.5f;
        const int32_t layers = d.GetInt("MAT_NbTexture", 1, kFirst);
        char file[kText], textureName[kText];
        d.GetQuotedString("MAT_TextureFileName", file, sizeof file, kNothing, kFirst);
        d.GetQuotedString("MAT_TextureName", textureName, sizeof textureName, kNothing, kFirst);
        const float offset[2] = {d.GetFloat("MAT_TextureOffsetX", 0.0f, kFirst),
                                 d.GetFloat("MAT_TextureOffsetY", 0.0f, kFirst)};
        const float tiling[2] = {d.GetFloat("MAT_TextureTilingX", 1.0f, kFirst),
                                 d.GetFloat("MAT_TextureTilingY", 1.0f, kFirst)};
        d.GetInt("MAT_Mirror", 0, kFirst);
        const int32_t alpha = d.GetInt("MAT_SemiTransparencyRatio", 255, kFirst);
        LTexture* textures[2] = {};
        int32_t keyOn[2] = {}, environment[2] = {}, key[2] = {};
        if (!Is(file, kNothing)) {
            keyOn[0] = d.GetInt("MAT_TextureTransparency", 0, kFirst);
            environment[0] = d.GetInt("MAT_TextureEnvMapped", 0, kFirst);
            d.GetInt("MAT_TextureAutoDelete", 0, kFirst);
            key[0] = version_ >= kVersionKeyColour ? d.GetInt("TEX_TranspColor", 0, kFirst) : 0;
            textures[0] = ResolveTexture(file, textureName);
        }
        d.GetInt("MAT_TextureBpp", 0, kFirst);
        if (layers == 2) {
            d.GetQuotedString("MAT_TextureFileName", file, sizeof file, kNothing, kNext);
            d.GetQuotedString("MAT_TextureName", textureName, sizeof textureName, kNothing, kNext);
            if (version_ >= kVersionKeyColour)
                keyOn[1] = d.GetInt("MAT_TextureTransparency", 0, kFirst);
            environment[1] = d.GetInt("MAT_TextureEnvMapped", 0, kNext);
            d.GetInt("MAT_TextureAutoDelete", 0, kNext);
            if (version_ >= kVersionKeyColour) key[1] = d.GetInt("TEX_TranspColor", 0, kFirst);
            if (!Is(file, kNothing)) textures[1] = ResolveTexture(file, textureName);
        }
        for (LTexture* texture : textures)
            if (texture != nullptr) {
                texture->SetOffset(offset[0], offset[1]);
                texture->SetTiling(tiling[0], tiling[1]);
            }
        const uint32_t colour = d.GetRGB("MAT_ColorMat", 0xFFFFFF, kFirst);
        d.GetInt("MAT_ColorMat8Bpp", 255, kFirst);

        constexpr uint32_t kModeBits =
            LMaterial::kWireframe | LMaterial::kSolid | LMaterial::kTextured;
        LMaterial* material = nullptr;
        for (LMaterial* c = world_->materials.FindByName(name); c != nullptr && material == nullptr;
             c = world_->materials.FindNext(c, name)) {
            const bool builtIn =
                std::strlen(c->Name()) >= sizeof kBuiltInPrefix - 1 &&
                platform::Cp1252EqualNoCase(std::string_view(c->Name(), sizeof kBuiltInPrefix - 1),
                                            kBuiltInPrefix);
            if (builtIn)
                material = c;
            else if (textures[0] != nullptr)
                material = c->GetTexture(0) == textures[0] ? c : nullptr;
            else if (c->GetTexture(0) == nullptr && c->color == colour &&
                     (c->mode & kModeBits) == (flags & kModeBits) &&
                     c->GetReflectionType() == reflection && c->alpha == uint8_t(alpha))
                material = c;
        }
        if (material == nullptr) {
            char unique[LMaterial::kNameSize];
            world_->materials.MakeUniqueName(unique, name, int(sizeof unique));
            if (!platform::Cp1252EqualNoCase(unique, name)) renames_.emplace_back(name, unique);
            material =
                world_->materials.CreateMaterial(unique, textures[0], colour, reflection, nullptr);
            if (material == nullptr) continue;
            material->SetTextureIntensity(0, weight);
            if (layers == 2 && textures[1] != nullptr) material->SetTexture(1, textures[1]);
            for (int slot = 0; slot < 2; ++slot) {
                LTexture* texture = material->GetTexture(slot);
                if (texture == nullptr || texture != textures[slot]) continue;
                if (keyOn[slot] == 1) texture->SetColorKey(1, uint32_t(key[slot]));
                if (environment[slot] == 1) texture->SetEnvironmentMapping(1);
            }
            material->SetAlpha(uint8_t(alpha));
            if (material != world_->GetDefaultMaterial()) {
                if ((flags & LMaterial::kHidden) != 0)
                    material->Hide();
                else
                    material->Show();
            }
            if ((flags & LMaterial::kTextured) != 0)
                material->SetMapped(1);
            else if ((flags & LMaterial::kSolid) != 0)
                material->SetFlat(1);
            else
                material->SetWireFrame((flags & LMaterial::kWireframe) != 0 ? 1 : 0);
        }
        materials_.push_back({material, {}});
        Count(&zyb::LoadStatistics::materials, world_->materials.list.FindNode(material));
    }
    materials_.push_back({world_->GetDefaultMaterial(), {}});
}

void LScriptWorldFile::ReadLights() {
    SectionFile& d = *document_;
    if (d.FindSection("AMBIANTLIGHT", kFirst) != 0 && world_->ambientLight != nullptr) {
        const float up[4] = {0, 0, 1, 0};
        float direction[4];
        const uint32_t colour = d.GetRGB("LIA_COLOR", 0xFFFFFF, kFirst);
        const int32_t night = d.GetInt("LIA_NightValue", 0, kFirst);
        const int32_t intensity = d.GetInt("LIA_AMBIANTINT", 32, kFirst);
        d.GetVec3D("LIA_DIFFUSEVECTOR", direction, up, kFirst);
        world_->ambientLight->SetColor(colour);
        world_->ambientLight->SetParameters(direction[0], direction[1], direction[2], intensity,
                                            night);
    }
    objectsEnded_ = false;
    if (d.FindSection("BASELIGHT", kFirst) == 0 || world_->lights == nullptr) return;
    const int64_t count = int64_t(std::max(0, d.GetInt("BLI_NbDynamicLight", 0, kFirst))) +
                          int64_t(std::max(0, d.GetInt("BLI_NbStaticLight", 0, kFirst)));
    std::string type;
    for (int64_t read = 0; read < count && NextObject(type);) {
        if (type != "Light" && type != "Light Ambiant") continue;
        ++read;
        const int32_t radius = d.GetInt("LIG_Rayon", 50, kFirst);
        const int32_t intensity = d.GetInt("LIG_Intesity", 0, kFirst);
        const float zero[3] = {};
        float place[3];
        d.GetPos3D("LIG_CenterPos", place, zero, kFirst);
        const uint32_t colour = d.GetRGB("LIT_ColorUp", 0xFFFFFF, kFirst);
        const bool statics =
            ReadFlags("OBJ_FlagObject", "OBJ_DYNAMIC", kFirst, kLightFlags, 1) != 0;
        L3DLight* light = world_->lights->CreateLight(statics ? LBaseLight::kStaticKind
                                                              : LBaseLight::kDynamicKind,
                                                      place, radius, intensity, colour, 0);
        if (light == nullptr) continue;
        Count(statics ? &zyb::LoadStatistics::staticLights : &zyb::LoadStatistics::dynamicLights,
              nullptr);
        ReadLocation(light);
        char name[kWordSize];
        d.GetString("OBJ_ObjName", name, sizeof name, "Light", kFirst);
        light->SetName(name);
    }
}

void LScriptWorldFile::ReadZones() {
    SectionFile& d = *document_;
    objectsEnded_ = false;
    if (d.FindSection("BASE3DZONE", kFirst) == 0) return;
    const uint32_t count = uint32_t(std::max(0, d.GetInt("B3Z_Nb3DZone", 0, kFirst)));
    std::string type;
    for (uint32_t read = 0; read < count && NextObject(type);) {
        if (type != "3DZone") continue;
        ++read;
        L3DZone* zone = world_->zones.CreateZone(nullptr, d.GetInt("3DZ_LengthX", 50, kFirst),
                                                 d.GetInt("3DZ_LengthY", 50, kFirst),
                                                 d.GetInt("3DZ_LengthZ", 50, kFirst), 0, 0);
        if (zone == nullptr) continue;
        Count(&zyb::LoadStatistics::zones, world_->zones.list.FindNode(zone));
        ReadLocation(zone);
        char name[kWordSize];
        d.GetString("OBJ_ObjName", name, sizeof name, "3DZone", kFirst);
        zone->SetName(name);
    }
}

void LScriptWorldFile::ReadSounds() {
    SectionFile& d = *document_;
    objectsEnded_ = false;
    if (d.FindSection("BASESOUND", kFirst) == 0) return;
    const uint32_t count = uint32_t(std::max(0, d.GetInt("BSO_NbSound", 0, kFirst)));
    std::string type;
    for (uint32_t read = 0; read < count && NextObject(type);) {
        if (type != "Sound") continue;
        ++read;
        char file[kText];
        d.GetQuotedString("SND_SoundName", file, sizeof file, "NoNameSound", kFirst);
        d.GetInt("SND_Pan", 50, kFirst);
        d.GetInt("SND_Volume", 50, kFirst);
        L3DSound* sound = world_->sounds.CreateSound(file, 0);
        if (sound == nullptr) continue;
        Count(&zyb::LoadStatistics::sounds, world_->sounds.list.FindNode(sound));
        ReadLocation(sound);
        char name[kWordSize];
        d.GetString("OBJ_ObjName", name, sizeof name, "Sound", kFirst);
        sound->SetName(name);
    }
}

void LScriptWorldFile::ReadBlobs() {
    SectionFile& d = *document_;
    objectsEnded_ = false;
    if (d.FindSection("BASEBLOB3D", kFirst) == 0) return;
    const uint32_t count = uint32_t(std::max(0, d.GetInt("B3B_NbBlob3D", 0, kFirst)));
    std::string type;
    for (uint32_t read = 0; read < count && NextObject(type);) {
        if (type != "Blob3D") continue;
        ++read;
        const int32_t width = d.GetInt("3DB_Width", 10, kFirst);
        const int32_t height = d.GetInt("3DB_Height", 10, kFirst);
        const int32_t opacity = d.GetInt("3DB_Opacity", 255, kFirst);
        char material[kText], name[kText];
        d.GetQuotedString("3DB_MatName", material, sizeof material, "Default Material", kFirst);
        d.GetQuotedString("OBJ_ObjName", name, sizeof name, "NoName", kFirst);
        LMaterial* m = world_->materials.FindByName(material);
        if (m == nullptr) m = world_->GetDefaultMaterial();
        L3DBlob* blob = world_->blobs.CreateBlob(nullptr, name, width, height, m, 0);
        if (blob == nullptr) continue;
        Count(&zyb::LoadStatistics::blobs, world_->blobs.list.FindNode(blob));
        ReadLocation(blob);
        if (m != nullptr) m->SetAlpha(uint8_t(opacity));
    }
}
