#include "engine3d/scene/materials/material_list.h"

#include <cstdio>
#include <cstring>

#include "engine3d/scene/chunk_writer.h"
#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/materials/texture.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/scene_codes.h"
#include "platform/kernel/cp1252.h"

namespace {

LMaterial* MaterialOf(const LListNode* node) {
    return static_cast<LMaterial*>(node->item);
}

} // namespace

bool LBaseMaterial::IsBuiltIn(const LMaterial* m) const {
    return world != nullptr &&
           (m == world->GetDefaultMaterial() || m == world->GetShadowMaterial());
}

int LBaseMaterial::AddMaterial(LMaterial* m) {
    if (m == nullptr) return kSceneMaterialMissing;
    list.InsertAfter(m, list.GetHead());
    m->world = world;
    ++count;
    return kSceneOk;
}

LMaterial* LBaseMaterial::CreateMaterial(const char* name, LTexture* texture, uint32_t colour,
                                         int32_t reflectionType, LCLBKObject* link) {
    auto* m = new LMaterial(world, name, texture, colour, reflectionType, link);
    AddMaterial(m);
    return m;
}

int LBaseMaterial::RemoveMaterial(LMaterial* m) {
    LListNode* node = m != nullptr ? list.FindNode(m) : nullptr;
    if (node == nullptr) return kSceneMaterialMissing;
    if (m->polygons.GetCount() > 0) return kSceneOk;
    if (list.RemoveNode(node, 0) == 0) return kSceneOk;
    --count;
    if (world == nullptr || m != world->GetDefaultMaterial()) delete m;
    return kSceneOk;
}

int LBaseMaterial::RemoveAt(int32_t i) {
    if (i == -1) {
        while (LListNode* node = list.GetHead()) {
            LMaterial* m = MaterialOf(node);
            list.RemoveNode(node, 1);
            if (!IsBuiltIn(m)) delete m;
        }
        count = 0;
        return kSceneOk;
    }
    LListNode* node = i >= 0 ? list.GetNodeAt(uint32_t(i)) : nullptr;
    if (node == nullptr) return kSceneMaterialMissing;
    LMaterial* m = MaterialOf(node);
    list.RemoveNode(node, 1);
    --count;
    if (!IsBuiltIn(m)) delete m;
    return kSceneOk;
}

LMaterial* LBaseMaterial::FindByName(const char* name) const {
    char wanted[LMaterial::kNameSize];
    CopyMaterialName(wanted, name, sizeof wanted);
    for (LListNode* node = list.GetHead(); node != nullptr; node = node->next)
        if (platform::Cp1252EqualNoCase(MaterialOf(node)->Name(), wanted)) return MaterialOf(node);
    return nullptr;
}

LMaterial* LBaseMaterial::FindNext(const LMaterial* after, const char* name) const {
    LListNode* node = list.FindNode(after);
    if (node == nullptr) return nullptr;
    for (node = node->next; node != nullptr; node = node->next)
        if (name == nullptr || platform::Cp1252EqualNoCase(MaterialOf(node)->Name(), name))
            return MaterialOf(node);
    return nullptr;
}

LMaterial* LBaseMaterial::GetAt(int32_t i) const {
    LListNode* node = i >= 0 ? list.GetNodeAt(uint32_t(i)) : nullptr;
    return node != nullptr ? MaterialOf(node) : nullptr;
}

void LBaseMaterial::MakeUniqueName(char* out, const char* name, int size) const {
    if (size <= 0) return;
    const size_t capped = size_t(size > 256 ? 256 : size);
    char candidate[256];
    CopyMaterialName(candidate, name, capped);
    const size_t length = std::strlen(candidate);
    for (int n = 1; FindByName(candidate) != nullptr; ++n) {
        char suffix[16];
        const size_t suffixLength = size_t(std::snprintf(suffix, sizeof suffix, " - %d", n));
        size_t at = length > capped - 7 ? capped - 7 : length;
        if (at + suffixLength > capped - 1) at = capped - 1 - suffixLength;
        std::memcpy(candidate + at, suffix, suffixLength + 1);
    }
    CopyMaterialName(out, candidate, capped);
}

int LBaseMaterial::OnTextureRemoved(const LTexture* texture) {
    if (texture == nullptr) return kSceneTextureMissing;
    for (LListNode* node = list.GetHead(); node != nullptr; node = node->next) {
        LMaterial* m = MaterialOf(node);
        if (m->GetTexture(0) == texture || m->GetTexture(1) == texture) m->ResetDeviceState();
    }
    return kSceneOk;
}

void LBaseMaterial::DropTexture(const LTexture* texture) {
    if (texture == nullptr) return;
    auto drop = [texture](LMaterial* m) {
        if (m == nullptr) return;
        bool held = false;
        for (int slot = 1; slot >= 0; --slot) {
            if (m->GetTexture(slot) != texture) continue;
            m->SetTexture(slot, nullptr);
            held = true;
        }
        if (held) m->ResetDeviceState();
    };
    for (LListNode* node = list.GetHead(); node != nullptr; node = node->next)
        drop(MaterialOf(node));
    // The background's material may have been taken off the list.
    if (world != nullptr && list.FindNode(world->backgroundMaterial) == nullptr)
        drop(world->backgroundMaterial);
}

void LBaseMaterial::ResetAll() {
    for (LListNode* node = list.GetHead(); node != nullptr; node = node->next)
        MaterialOf(node)->ResetDeviceState();
}

int LBaseMaterial::Save(ChunkWriter& writer, uint32_t flags) const {
    const uint32_t start = writer.BeginChunk(ChunkTag("BMAT"), 0);
    writer.WriteU16(uint16_t(list.GetCount()));
    int result = 0;
    for (LListNode* node = list.GetHead(); node != nullptr; node = node->next) {
        const LMaterial* m = MaterialOf(node);
        if (world != nullptr && m == world->GetDefaultMaterial()) continue;
        result |= m->Save(writer, flags);
    }
    return writer.EndChunk(start) == 0 ? 1 : result;
}
