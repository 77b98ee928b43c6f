#include "engine3d/scene/materials/material.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "engine3d/scene/materials/reflection_curves.h"
#include "engine3d/scene/materials/texture.h"
#include "engine3d/scene/mesh/point.h"
#include "engine3d/scene/mesh/polygon.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/render/device.h"
#include "graphics2d/palette/palette.h"

namespace {

template <typename F> void ForEachPolygon(const LList& list, F&& f) {
    for (LListNode* node = list.GetHead(); node != nullptr; node = node->next)
        f(static_cast<LPolygon*>(node->item));
}

// The first pixel of an image as a 0x00BBGGRR colour; -1 for a depth without one.
uint32_t FirstPixelColor(const LTexture& t) {
    const uint8_t* p = t.pixels;
    switch (t.bitsPerPixel) {
    case 15: {
        const uint32_t v = uint32_t(p[0]) | uint32_t(p[1]) << 8;
        return (v >> 10 & 31) * 255 / 31 | ((v >> 5 & 31) * 255 / 31) << 8 |
               ((v & 31) * 255 / 31) << 16;
    }
    case 16: {
        const uint32_t v = uint32_t(p[0]) | uint32_t(p[1]) << 8;
        return (v >> 11 & 31) * 255 / 31 | ((v >> 5 & 63) * 255 / 63) << 8 |
               ((v & 31) * 255 / 31) << 16;
    }
    case 24:
    case 32:
        return uint32_t(p[2]) | uint32_t(p[1]) << 8 | uint32_t(p[0]) << 16;
    default:
        return 0xFFFFFFFFu;
    }
}

} // namespace

void CopyMaterialName(char* out, const char* name, size_t size) {
    size_t n = 0;
    if (name != nullptr)
        for (; n + 1 < size && name[n] != 0; ++n)
            out[n] = name[n] == '(' || name[n] == ')' ? ' ' : name[n];
    if (size > 0) out[n] = 0;
}

LMaterial::LMaterial(L3DWorld* owner, const char* name, LTexture* texture, uint32_t colour,
                     int32_t type, LCLBKObject* link)
    : LManageCLBKObject(link), mode(texture != nullptr ? kTextured : kWireframe), world(owner) {
    CopyMaterialName(name_, name, kNameSize);
    SetTextureAndColor(texture, colour, type);
}

LMaterial::~LMaterial() {
    RemovePolygon(-1);
}

void LMaterial::SetTextureAndColor(LTexture* texture, uint32_t colour, int32_t type) {
    textures[0] = texture;
    if (texture != nullptr) {
        if (colour == 0xFFFFFFFFu && texture->pixels != nullptr) {
            if (texture->bitsPerPixel == 8) {
                color = 0;
                std::fill(std::begin(colorBytes), std::end(colorBytes), 0);
                paletteIndex = texture->pixels[0];
                reflectionType = type;
                return;
            }
            colour = FirstPixelColor(*texture);
        }
        UpdateLayerCount();
        RecomputeTextureCoordinates();
    }
    SetColor(colour);
    SetReflectionType(type);
}

void LMaterial::SetName(const char* name) {
    CopyMaterialName(name_, name, kNameSize);
}

void LMaterial::GetName(char* buffer, int size) const {
    if (size <= 0) return;
    const size_t n = std::min(std::strlen(name_), size_t(size - 1));
    std::memcpy(buffer, name_, n);
    buffer[n] = 0;
}

void LMaterial::SetColor(uint32_t colour) {
    color = colour;
    colorBytes[0] = int32_t(colour & 0xFF);
    colorBytes[1] = int32_t(colour >> 8 & 0xFF);
    colorBytes[2] = int32_t(colour >> 16 & 0xFF);
    if (world != nullptr && world->colorDepth == 8 && world->palette != nullptr)
        paletteIndex = uint8_t(Palette_ColorToIndex(world->palette, colour & 0xFFFFFF));
}

void LMaterial::ClearDeviceState() {
    deviceState[0] = deviceState[1] = deviceState[2] = 0;
    deviceState[3] = uint32_t(-1);
}

void LMaterial::PreparePolygons() {
    ForEachPolygon(polygons, [](LPolygon* p) { p->Prepare(); });
}

void LMaterial::RecomputeTextureCoordinates() {
    ForEachPolygon(polygons, [](LPolygon* p) {
        p->PrepareTextureCoordinates();
        p->CopyUVToVertices();
    });
}

void LMaterial::UpdateLayerCount() {
    const uint8_t count = textures[1] != nullptr ? 2 : textures[0] != nullptr ? 1 : 0;
    if (count == layerCount) return;
    layerCount = count;
    ClearDeviceState();
    PreparePolygons();
}

void LMaterial::SetAlpha(uint8_t value) {
    alpha = value;
    if (textures[0] != nullptr) textures[0]->SetAlpha(value);
    ClearDeviceState();
    PreparePolygons();
    RecomputeTextureCoordinates();
}

void LMaterial::SetTexture(int slot, LTexture* texture) {
    if (slot != 0 && slot != 1) return;
    if (textures[slot] != texture && (mode & kCameraTexture) != 0)
        MakeCameraTexture(slot, nullptr, 0, 0);
    textures[slot] = texture;
    if (slot == 0 && texture != nullptr) {
        RecomputeTextureCoordinates();
    } else if (slot == 0) {
        mode &= ~(kWireframe | kTextured);
        mode |= kSolid;
        ClearDeviceState();
        PreparePolygons();
    }
    UpdateLayerCount();
}

int LMaterial::MakeCameraTexture(int slot, L3DCamera* camera, int32_t width, int32_t height) {
    if (slot != 0 && slot != 1) return 1;
    LTexture* current = textures[slot];
    if (current != nullptr && (mode & kCameraTexture) != 0) {
        textures[slot] = nullptr;
        if (world != nullptr) {
            world->specialMaterials.RemoveNode(world->specialMaterials.FindNode(this), 1);
            world->textures.RemoveTexture(current);
        }
        mode = (mode & ~(kWireframe | kTextured | kCameraTexture)) | kSolid;
        ClearDeviceState();
        RecomputeTextureCoordinates();
        UpdateLayerCount();
    }
    if (camera == nullptr) return 0;
    LAPICLBK* device = world != nullptr ? world->GetAPI() : nullptr;
    if (device == nullptr || width <= 0 || height <= 0) return 1;
    char name[32];
    std::snprintf(name, sizeof name, "CameraTex %u", world->textures.list.GetCount());
    LTexture* texture = device->CreateTexture(world, name, nullptr);
    if (texture == nullptr) return 1;
    world->textures.AddTexture(texture);
    if (texture->AllocatePixels(camera, uint32_t(width), uint32_t(height), world->colorDepth) !=
        0) {
        world->textures.RemoveTexture(texture);
        return 1;
    }
    SetTexture(slot, texture);
    mode |= kCameraTexture;
    if (world->specialMaterials.FindNode(this) == nullptr)
        world->specialMaterials.InsertAfter(this, nullptr);
    return 0;
}

LTexture* LMaterial::GetTexture(int slot) const {
    return slot == 0 || slot == 1 ? textures[slot] : nullptr;
}

void LMaterial::SetTextureIntensity(int slot, float weight) {
    if (slot != 0 && slot != 1) return;
    const float w = std::isnan(weight) ? 0.0f : std::clamp(weight, 0.0f, 1.0f);
    textureWeight = slot == 0 ? w : 1.0f - w;
}

float LMaterial::GetTextureIntensity(int slot) const {
    if (slot == 0) return textureWeight;
    if (slot == 1) return 1.0f - textureWeight;
    return 1.0f;
}

void LMaterial::SetReflectionType(int32_t type) {
    const int32_t* curve = ReflectionCurve(type);
    if (curve == nullptr || type == reflectionType) return;
    reflectionType = type;
    reflectionCurve = curve;
    ForEachPolygon(polygons, [curve](LPolygon* p) {
        for (int i = 0; i < p->GetVertexCount(); ++i)
            p->GetVertex(i)->reflectionCurve = curve;
    });
}

void LMaterial::SetWireFrame(int on) {
    if (on != 0) {
        mode &= ~(kSolid | kTextured);
        mode |= kWireframe;
    } else {
        mode &= ~kWireframe;
    }
}

void LMaterial::SetFlat(int on) {
    if (on != 0) {
        mode &= ~(kWireframe | kTextured);
        mode |= kSolid;
    } else {
        mode &= ~kSolid;
    }
}

void LMaterial::SetMapped(int on) {
    if (on == 0) {
        mode &= ~kTextured;
        return;
    }
    mode &= ~kWireframe;
    if (textures[0] != nullptr) {
        mode &= ~kSolid;
        mode |= kTextured;
    } else {
        mode |= kSolid;
    }
}

void LMaterial::SetAdditiveBlendingMode(int on, int second) {
    mode &= ~(kAdditive | kAdditiveSecond);
    if (on != 0) mode |= second != 0 ? kAdditive | kAdditiveSecond : kAdditive;
}

void LMaterial::EnableCollision() {
    collision = 1;
    ForEachPolygon(polygons, [](LPolygon* p) { p->ComputeFacingCode(); });
}

void LMaterial::DisableCollision() {
    collision = 0;
    ForEachPolygon(polygons, [](LPolygon* p) { p->facingCode = 0; });
}

bool LMaterial::IsTransparent(int slot) const {
    const LTexture* t = GetTexture(slot);
    if (t == nullptr) return alpha < 255;
    return (t->flags & LTexture::kColorKey) != 0 || t->alpha < 255 || t->alphaPlane != nullptr;
}

bool LMaterial::NeedsBlending() const {
    return IsTransparent(0);
}

void LMaterial::ShiftUV(float du, float dv) {
    ForEachPolygon(polygons, [du, dv](LPolygon* p) {
        for (int i = 0; i < p->GetVertexCount(); ++i) {
            const float* uv = p->GetUVs(i);
            p->SetUV(i, uv[0] + du, uv[1] + dv);
        }
    });
}

void LMaterial::ShiftUV2(float du, float dv) {
    ForEachPolygon(polygons, [du, dv](LPolygon* p) {
        for (int i = 0; i < p->GetVertexCount(); ++i) {
            const float* uv = p->GetUVs(i);
            p->SetUV2(i, uv[2] + du, uv[3] + dv);
        }
    });
}

void LMaterial::UpdatePlanarState(int on) {
    if (on != 0) {
        const LListNode* head = polygons.GetHead();
        if (head == nullptr || (mode & kPlanar) != 0) return;
        const float* first = static_cast<LPolygon*>(head->item)->GetPlane(0);
        bool planar = true;
        ForEachPolygon(polygons, [&](LPolygon* p) {
            const float* n = p->GetPlane(0);
            for (int i = 0; i < 3; ++i)
                planar = planar && std::fabs(n[i] - first[i]) <= 0.02f;
        });
        if (!planar) return;
        mode |= kPlanar;
        if (world != nullptr) world->specialMaterials.InsertAfter(this, nullptr);
    } else if ((mode & kPlanar) != 0) {
        mode &= ~kPlanar;
        if (world != nullptr)
            world->specialMaterials.RemoveNode(world->specialMaterials.FindNode(this), 1);
    }
}

void LMaterial::AddPolygon(LPolygon* polygon) {
    if (polygon->GetVertexCount() < 3) return;
    if (polygon->materialNode != nullptr) {
        ++polygon->materialNode->useCount;
    } else {
        polygon->materialNode = polygons.InsertAfter(polygon, nullptr);
    }
    if (collision != 0)
        polygon->ComputeFacingCode();
    else
        polygon->facingCode = 0;
}

void LMaterial::ReleasePolygon(LPolygon* polygon) {
    if (polygon->materialNode != nullptr) polygons.RemoveKnownNode(polygon->materialNode);
    polygon->materialNode = nullptr;
}

void LMaterial::RemovePolygon(int32_t i) {
    if (i != -1) {
        LListNode* node = i >= 0 ? polygons.GetNodeAt(uint32_t(i)) : nullptr;
        if (node != nullptr) ReleasePolygon(static_cast<LPolygon*>(node->item));
        return;
    }
    LMaterial* fallback = world != nullptr ? world->GetDefaultMaterial() : nullptr;
    while (LListNode* node = polygons.GetHead()) {
        auto* polygon = static_cast<LPolygon*>(node->item);
        ReleasePolygon(polygon);
        polygon->SetMaterial(fallback != this ? fallback : nullptr);
    }
    if (world != nullptr) world->DropMaterialBatches(this);
}

void LMaterial::ResetDeviceState() {
    ClearDeviceState();
    RecomputeTextureCoordinates();
}
