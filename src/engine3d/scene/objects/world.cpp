#include "engine3d/scene/objects/world.h"

#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/lights/light_list.h"
#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/materials/texture.h"
#include "engine3d/scene/mesh/material_batch.h"
#include "engine3d/scene/mesh/polygon.h"
#include "engine3d/scene/objects/cluster.h"
#include "engine3d/scene/objects/object.h"
#include "engine3d/scene/objects/world_light.h"
#include "engine3d/scene/render/device.h"
#include "engine3d/scene/render/renderer.h"
#include "graphics2d/formats/image_file_manager.h"
#include "graphics2d/palette/palette.h"
#include "platform/files/files.h"
#include "platform/kernel/cp1252.h"

namespace {

L3DObject* ObjectOf(const LListNode* node) {
    return static_cast<L3DObject*>(node->item);
}

bool IsClone(const L3DObject* object) {
    return object->typeCode == L3DObject::kClone || object->typeCode == L3DObject::kAnimatedClone;
}

bool ShownNameEquals(const L3DObject* object, const char* name) {
    char shown[260];
    object->GetName(shown, sizeof shown);
    return platform::Cp1252EqualNoCase(shown, name);
}

L3DObject* FindInSubtree(L3DObject* object, const char* name) {
    if (ShownNameEquals(object, name)) return object;
    if (object->children == nullptr) return nullptr;
    for (LListNode* node = object->children->GetHead(); node != nullptr; node = node->next)
        if (L3DObject* found = FindInSubtree(ObjectOf(node), name)) return found;
    return nullptr;
}

void DropBatches(L3DObject* object, const LMaterial* material) {
    if (LCacheMaterialList* batches = object->GetCurrentBatchList())
        batches->RemoveMaterial(material);
    if (object->children == nullptr) return;
    for (LListNode* node = object->children->GetHead(); node != nullptr; node = node->next)
        DropBatches(ObjectOf(node), material);
}

} // namespace

L3DWorld::L3DWorld(LAPICLBK* backend, uint32_t, LCLBKObject* link, CopyTextureHook hook)
    : LManageCLBKObject(link), copyHook(hook), backend_(backend) {
    accelerated = backend != nullptr && backend->IsHardware() != 0 ? 1 : 0;
    materials.world = this;
    textures.world = this;
    cameras.world = this;
    sprites.world = this;
    blobs.SetWorld(this);
    sounds.SetWorld(this);
    zones.world = this;
    AddBuiltInMaterials();
    cluster = std::make_unique<LBase3DCluster>(this);
    ambientLight = std::make_unique<L3DLightAmbiant>(this, -50, -50, 50, 0, 0, 0xFFFFFF, nullptr);
    lights = std::make_unique<LBaseLight>(this);
}

void L3DWorld::AddBuiltInMaterials() {
    defaultMaterial_ = new LMaterial(nullptr, kDefaultMaterialName, nullptr, 0xFF0000, 0, nullptr);
    shadowMaterial_ = new LMaterial(nullptr, kShadowMaterialName, nullptr, 0, 0, nullptr);
    materials.AddMaterial(defaultMaterial_);
    materials.AddMaterial(shadowMaterial_);
}

L3DWorld::~L3DWorld() {
    for (L3DPoint*& point : shadowPoints_)
        if (point != nullptr) backend_->DeletePoint(std::exchange(point, nullptr));
    if (backend_ != nullptr) backend_->DetachAllRenderers();
    axis_.reset();
    ambientLight.reset();
    cameras.RemoveCameraAt(-1);
    lights.reset();
    DeleteBackgroundSprite();
    sprites.RemoveAt(-1);
    blobs.RemoveBlobAt(-1, 1);
    sounds.RemoveSoundAt(-1, 1);
    zones.RemoveZoneAt(-1, 1);
    RemoveObjectAt(-1);
    cluster.reset();
    textures.RemoveAt(-1);
    materials.RemoveAt(-1);
    imageFile_.reset();
    imageManager_.reset();
    if (palette != nullptr) Palette_Release(palette);
    delete shadowMaterial_;
    delete defaultMaterial_;
}

LMaterial* L3DWorld::GetMarkerMaterial(const char* name, uint32_t colour) {
    for (const auto& material : markerMaterials_)
        if (std::strcmp(material->Name(), name) == 0) return material.get();
    auto material = std::make_unique<LMaterial>(nullptr, name, nullptr, colour, 0, nullptr);
    material->SetWireFrame(1);
    return markerMaterials_.emplace_back(std::move(material)).get();
}

L3DPoint* const* L3DWorld::GetShadowPoints() {
    if (shadowPoints_[0] != nullptr) return shadowPoints_;
    if (backend_ == nullptr) return nullptr;
    for (L3DPoint*& point : shadowPoints_)
        if ((point = backend_->CreatePoint(0, 0, 0, 0, 0, 0, 0)) == nullptr) {
            for (L3DPoint*& made : shadowPoints_)
                if (made != nullptr) backend_->DeletePoint(std::exchange(made, nullptr));
            return nullptr;
        }
    return shadowPoints_;
}

void L3DWorld::RemoveAll() {
    lights->RemoveLightAt(-2, 1);
    lights->ClearColors();
    DeleteBackgroundSprite();
    backgroundMaterial = nullptr;
    RemoveObjectAt(-1);
    cameras.RemoveCameraAt(-1);
    currentCamera = nullptr;
    sprites.RemoveAt(-1);
    textures.RemoveAt(-1);
    sounds.RemoveSoundAt(-1, 1);
    blobs.RemoveBlobAt(-1, 1);
    zones.RemoveZoneAt(-1, 1);
    // The built-in materials are kept as they are, so pointers to them stay good.
    materials.RemoveAt(-1);
    // The cluster walks this list every frame: it must not keep deleted materials.
    specialMaterials.RemoveAll();
    materials.AddMaterial(defaultMaterial_);
    materials.AddMaterial(shadowMaterial_);
    worldFlags = 0;
}

uint32_t L3DWorld::GetTextureFormat() {
    LTexture* probe =
        backend_ != nullptr ? backend_->CreateTexture(this, "temp", nullptr) : nullptr;
    if (probe == nullptr) return textureFormat;
    if (LRenderAPICLBK* surface = probe->GetSurface())
        textureFormat = surface->GetTextureDepth(textureFormat);
    backend_->DeleteTexture(probe);
    return textureFormat;
}

int L3DWorld::AddObject(L3DObject* object, int update) {
    object->SetWorld(this);
    object->UpdateBox(update);
    LListNode* node = IsClone(object) ? objects.InsertBefore(object, objects.GetHead())
                                      : objects.InsertAfter(object, nullptr);
    if (node == nullptr) return 0;
    object->listedIn = this;
    object->worldNode = node;
    ++objectCount;
    object->objectFlags = (object->objectFlags & ~L3DObject::kStatic) | L3DObject::kDynamic;
    cluster->AddDynamic(object);
    if (update != 0) object->ComputePointNormals(nullptr, nullptr);
    if (LList* polygons = object->GetCurrentPolygonList())
        for (LListNode* p = polygons->GetHead(); p != nullptr; p = p->next) {
            auto* polygon = static_cast<LPolygon*>(p->item);
            if (polygon->GetMaterial() == nullptr) polygon->SetMaterial(defaultMaterial_);
        }
    if (object->IsVisible() && showOnAdd == 0) object->objectFlags |= L3DObject::kHiddenFlag;
    return object->IsVisible();
}

int L3DWorld::RemoveObject(L3DObject* object) {
    LListNode* node = object->listedIn == this ? object->worldNode : objects.FindNode(object);
    if (node == nullptr) return 1;
    // Only an object that was cloned can have clones in the list.
    if (object->cloneCount > 0) RemoveClonesOf(object);
    objects.RemoveKnownNode(node);
    object->listedIn = nullptr;
    object->worldNode = nullptr;
    if (object->IsDynamic())
        cluster->RemoveDynamic(object);
    else
        cluster->RemoveStatic(object);
    --objectCount;
    if (autoDelete == 1) delete object;
    return 0;
}

void L3DWorld::RemoveClonesOf(L3DObject* source) {
    std::vector<L3DObject*> clones;
    for (LListNode* node = objects.GetHead(); node != nullptr; node = node->next)
        if (IsClone(ObjectOf(node)) && ObjectOf(node)->source == source)
            clones.push_back(ObjectOf(node));
    for (L3DObject* clone : clones)
        RemoveObject(clone);
}

int L3DWorld::RemoveObjectAt(int32_t i) {
    if (i == -1) {
        cluster->RemoveAll();
        while (LListNode* node = objects.GetHead()) {
            L3DObject* object = ObjectOf(node);
            objects.RemoveNode(node, 1);
            object->listedIn = nullptr;
            object->worldNode = nullptr;
            --objectCount;
            object->cloneCount = 0;
            if (autoDelete == 1) delete object;
        }
        return 0;
    }
    L3DObject* object = GetObjectAt(i);
    return object == nullptr ? 1 : RemoveObject(object);
}

L3DObject* L3DWorld::GetObjectAt(int32_t i) const {
    LListNode* node = i >= 0 ? objects.GetNodeAt(uint32_t(i)) : nullptr;
    return node != nullptr ? ObjectOf(node) : nullptr;
}

int32_t L3DWorld::IndexOfObject(const L3DObject* object) const {
    return objects.IndexOf(object);
}

L3DObject* L3DWorld::FindObjectByName(const char* name) const {
    if (name == nullptr) return nullptr;
    for (LListNode* node = objects.GetHead(); node != nullptr; node = node->next)
        if (L3DObject* found = FindInSubtree(ObjectOf(node), name)) return found;
    return nullptr;
}

L3DObject* L3DWorld::FindNextObjectByName(const L3DObject* after, const char* name) const {
    if (name == nullptr) return nullptr;
    for (LListNode* node = objects.FindNode(after); node != nullptr; node = node->next)
        if (ShownNameEquals(ObjectOf(node), name)) return ObjectOf(node);
    return nullptr;
}

void L3DWorld::ResetObjectNames() {
    int counter = 0;
    for (LListNode* node = objects.GetHead(); node != nullptr; node = node->next) {
        L3DObject* object = ObjectOf(node);
        const char* name = object->RawName();
        const char* shown = name != nullptr ? name : "NoName";
        if (std::strncmp(shown, "Object", 6) != 0 && std::strncmp(shown, "NoName", 6) != 0)
            continue;
        char text[32];
        std::snprintf(text, sizeof text, "Object %d", ++counter);
        object->SetName(text);
    }
}

int32_t L3DWorld::CountPolygons() const {
    int32_t count = 0;
    for (LListNode* node = objects.GetHead(); node != nullptr; node = node->next)
        count += ObjectOf(node)->GetPolygonCount(1);
    return count + cluster->CountOctreePolygons();
}

void L3DWorld::SetColorDepth(uint32_t depth) {
    if (depth == colorDepth) return;
    colorDepth = depth;
    textureFormat = depth;
    InvalidateMaterials();
}

void L3DWorld::SetPalette(PaletteRecord* record) {
    if (record != nullptr) {
        Palette_AddUse(record);
        Palette_BuildInverse(record);
    }
    if (palette != nullptr) Palette_Release(palette);
    palette = record;
}

ImageFile* L3DWorld::GetImageFile() {
    if (imageFile_ != nullptr || imageTried_) return imageFile_.get();
    imageTried_ = true;
    auto manager = std::make_unique<ImageFileManager>();
    if (manager->Init(reinterpret_cast<uintptr_t>(this)) != 0) return nullptr;
    imageManager_ = std::move(manager);
    imageFile_ = std::make_unique<ImageFile>(imageManager_.get());
    return imageFile_.get();
}

int L3DWorld::CopyTextureFile(LTexture* texture, const char* source, const char* destination,
                              int failIfExists, const char* fileName) {
    if (copyHook != nullptr) return copyHook(texture, source, destination, failIfExists, fileName);
    return CopyFileA(source, destination, failIfExists) != 0 ? 0 : 1;
}

void L3DWorld::DropMaterialBatches(const LMaterial* material) {
    for (LListNode* node = objects.GetHead(); node != nullptr; node = node->next)
        DropBatches(ObjectOf(node), material);
}

L3DCamera* L3DWorld::CreateCamera(uint32_t flags) {
    return cameras.CreateCamera(flags);
}
