#include "classes/scene3d/material_class.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "classes/scene3d/script_number.h"
#include "classes/scene3d/texture_class.h"
#include "classes/scene3d/world_class.h"
#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/materials/texture.h"
#include "engine3d/scene/mesh/polygon.h"
#include "engine3d/scene/objects/world.h"
#include "graphics2d/blitter/pixel_traits.h"
#include "script/interpreter/interpretor.h"
#include "script/values/value.h"

namespace {

using M = CIMaterial;

const MethodNameRow kNameTable[] = {
    {M::kClassId, "Material", 0, 0},
    {0x01, "SetColor", 0, 0},
    {0x02, "GetColor", 0, 0},
    {0x03, "SetTexture", 0, 0},
    {0x04, "GetTexture", 0, 0},
    {0x05, "SetNormal", 0, 0},
    {0x06, "SetMat", 0, 0},
    {0x07, "SetMetal", 0, 0},
    {0x08, "SetPlastic", 0, 0},
    {0x09, "SetTransparentColor", 0, 0},
    {0x0A, "GetTransparentColor", 0, 0},
    {0x0B, "SetSemiTransparency", 0, 0},
    {0x0C, "GetSemiTransparency", 0, 0},
    {0x0D, "Hide", 0, 0},
    {0x0E, "Show", 0, 0},
    {0x0F, "IsVisible", 0, 0},
    {0x10, "SetWireFrame", 0, 0},
    {0x11, "IsWireFrame", 0, 0},
    {0x12, "SetFlat", 0, 0},
    {0x13, "IsFlat", 0, 0},
    {0x14, "SetMapped", 0, 0},
    {0x15, "IsMapped", 0, 0},
    {0x16, "ShiftUV", 0, 0},
    {0x17, "AnimUV", 0, 0},
    {0x18, "SetEnvironmentMapping", 0, 0},
    {0x19, "IsEnvironmentMapping", 0, 0},
    {0x1A, "IsCollisionEnabled", 0, 0},
    {0x1B, "EnableCollision", 0, 0},
    {0x1C, "IsNormal", 0, 0},
    {0x1D, "IsMat", 0, 0},
    {0x1E, "IsMetal", 0, 0},
    {0x1F, "IsPlastic", 0, 0},
    {0x20, "IsTransparent", 0, 0},
    {0x21, "SetAdditiveBlendingMode", 0, 0},
    {0x22, "IsAdditiveBlendingMode", 0, 0},
    {0x23, "GetName", 0, 0},
    {0x24, "SetName", 0, 0},
    {0x25, "SetTextureIntensity", 0, 0},
    {0x26, "GetTextureIntensity", 0, 0},
    {0x27, "ShiftUV2", 0, 0},
    {0x28, "AnimUV2", 0, 0},
    {0, nullptr, 0, 0},
};

// A Blob shows a Material.
const uint32_t kDependents[] = {0x44, 0};

CIBaseClassImpl* NewMaterial(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CIMaterial(&interpreter, record);
}

const ScriptClassInfo kMaterialClass = {kNameTable, NewMaterial, 0x29,   nullptr,
                                        0,          kDependents, nullptr};

// Script colours are 0xRRGGBB; the engine keeps red and blue exchanged.
uint32_t EngineColor(uint32_t colour) {
    return SwapRedBlue(colour & 0xFFFFFF);
}

} // namespace

const ScriptMethod<CIMaterial> CIMaterial::kMethods[0x29] = {
    nullptr,
    &M::SetColor,
    &M::GetColor,
    &M::SetTexture,
    &M::GetTexture,
    &M::SetNormal,
    &M::SetMat,
    &M::SetMetal,
    &M::SetPlastic,
    &M::SetTransparentColor,
    &M::GetTransparentColor,
    &M::SetSemiTransparency,
    &M::GetSemiTransparency,
    &M::Hide,
    &M::Show,
    &M::IsVisible,
    &M::SetWireFrame,
    &M::IsWireFrame,
    &M::SetFlat,
    &M::IsFlat,
    &M::SetMapped,
    &M::IsMapped,
    &M::ShiftUV,
    &M::AnimUV,
    &M::SetEnvironmentMapping,
    &M::IsEnvironmentMapping,
    &M::IsCollisionEnabled,
    &M::EnableCollision,
    &M::IsNormal,
    &M::IsMat,
    &M::IsMetal,
    &M::IsPlastic,
    &M::IsTransparent,
    &M::SetAdditiveBlendingMode,
    &M::IsAdditiveBlendingMode,
    &M::GetName,
    &M::SetName,
    &M::SetTextureIntensity,
    &M::GetTextureIntensity,
    &M::ShiftUV2,
    &M::AnimUV2,
};

CIMaterial::CIMaterial(CInterpretor* interpreter, const CClassRecord* record)
    : CIBaseClassImpl(interpreter, record, 1) {}

CIMaterial::~CIMaterial() {
    if (material_ != nullptr && material_->GetCLBKObject() == this)
        material_->SetCLBKObject(nullptr);
}

void CIMaterial::CallMethod(uint16_t methodId) {
    CallMethodFromTable(*this, kMethods, methodId);
}

void CIMaterial::Destroy(int flag) {
    if (tickHandle_ != 0) interpreter->RemoveMovingLocation(this);
    tickHandle_ = 0;
    LMaterial* material = material_;
    material_ = nullptr;
    if (material != nullptr) {
        material->SetCLBKObject(nullptr);
        L3DWorld* scene = world_ != nullptr ? world_->GetEngineWorld() : nullptr;
        if (flag == 0 && scene != nullptr) {
            // A material still on polygons stays in the world for them (the list sees to
            // that), and so do the background's and the world's own two.
            if (material != scene->GetBackgroundMaterial() &&
                material != scene->GetDefaultMaterial() && material != scene->GetShadowMaterial())
                scene->materials.RemoveMaterial(material);
            RefreshViews();
        }
    }
    world_ = nullptr;
    CIBaseClassImpl::Destroy(flag);
    delete this;
}

int CIMaterial::ReleaseReferencesTo(CIBaseClassImpl* object) {
    if (object == nullptr || world_ == nullptr || object != world_) return 0;
    if (tickHandle_ != 0) interpreter->RemoveMovingLocation(this);
    tickHandle_ = 0;
    if (material_ != nullptr && material_->GetCLBKObject() == this)
        material_->SetCLBKObject(nullptr);
    material_ = nullptr;
    world_ = nullptr;
    MarkDeleted();
    return 1;
}

void CIMaterial::EngineObjectDestroyed() {
    if (material_ == nullptr) return;
    material_ = nullptr;
    if (interpreter->deleteWrappers != 0) interpreter->DeleteObject(this);
}

void CIMaterial::RefreshViews() {
    if (world_ != nullptr) world_->RefreshCameras();
}

void CIMaterial::PreparePolygons() {
    if (material_ == nullptr) return;
    material_->ResetDeviceState();
    // The back end picks each polygon's drawing routine from the material when it is
    // prepared: a key or a mode changed means another routine.
    for (LListNode* node = material_->polygons.GetHead(); node != nullptr; node = node->next)
        static_cast<LPolygon*>(node->item)->Prepare();
}

CIMaterial* CIMaterial::GetWrapper(CInterpretor& interpreter, CIWorld* world, LMaterial* material) {
    if (material == nullptr) return nullptr;
    if (auto* link = dynamic_cast<CIMaterial*>(material->GetCLBKObject())) return link;
    auto* wrapper =
        new (std::nothrow) CIMaterial(&interpreter, interpreter.GetClassRecord(kClassId));
    if (wrapper == nullptr) interpreter.RaiseError(15);
    wrapper->world_ = world;
    wrapper->material_ = material;
    material->SetCLBKObject(wrapper);
    wrapper->Register();
    return wrapper;
}

CIMaterial* CIMaterial::Make(CInterpretor& interpreter, CIWorld* world, CITexture* texture,
                             uint32_t colour, const char* name) {
    L3DWorld* scene = world != nullptr ? world->GetEngineWorld() : nullptr;
    if (scene == nullptr) interpreter.RaiseError(55);
    auto* wrapper =
        new (std::nothrow) CIMaterial(&interpreter, interpreter.GetClassRecord(kClassId));
    if (wrapper == nullptr) interpreter.RaiseError(15);
    char unique[LMaterial::kNameSize];
    scene->materials.MakeUniqueName(unique, name, sizeof unique);
    LTexture* engineTexture = texture != nullptr ? texture->GetEngineTexture() : nullptr;
    wrapper->world_ = world;
    wrapper->material_ =
        scene->materials.CreateMaterial(unique, engineTexture, EngineColor(colour), 0, wrapper);
    wrapper->Register();
    world->RefreshCameras();
    return wrapper;
}

void CIMaterial::Create() {
    CInterpretor& in = *interpreter;
    CIWorld* owner = nullptr;
    CITexture* texture = nullptr;
    uint32_t colour = kDefaultColor;
    const char* name = "Material";
    for (int32_t i = 0; i < in.GetArgCount(); ++i) {
        const CValue* value = in.GetArg(uint32_t(i));
        if (value->IsObjectOfClass(CIWorld::kClassId))
            owner = static_cast<CIWorld*>(value->GetObject());
        else if (value->IsObjectOfClass(CITexture::kClassId))
            texture = static_cast<CITexture*>(value->GetObject());
        else if (IsNumber(*value))
            colour = uint32_t(value->GetInt());
        else if (value->GetType() == kValueString)
            name = value->GetString();
    }
    if (owner == nullptr) in.RaiseError(54);
    L3DWorld* scene = owner->GetEngineWorld();
    if (scene == nullptr) in.RaiseError(55);
    if (texture != nullptr && texture->World() != owner) in.RaiseError(119);
    char unique[LMaterial::kNameSize];
    scene->materials.MakeUniqueName(unique, name, sizeof unique);
    world_ = owner;
    material_ = scene->materials.CreateMaterial(
        unique, texture != nullptr ? texture->GetEngineTexture() : nullptr, EngineColor(colour), 0,
        this);
    Register();
    RefreshViews();
}

void CIMaterial::SetLayerTexture(CITexture* texture, int32_t layer) {
    if (texture != nullptr && texture->World() != world_) interpreter->RaiseError(119);
    if (texture != nullptr && texture->GetEngineTexture() == nullptr) interpreter->RaiseError(60);
    if (material_ == nullptr || layer < 0) return;
    material_->SetTexture(layer, texture != nullptr ? texture->GetEngineTexture() : nullptr);
    PreparePolygons();
    RefreshViews();
}

// ---- Methods -----------------------------------------------------------------------------

int32_t CIMaterial::LayerArg(uint32_t i) {
    const CValue* value = interpreter->GetArg(i);
    if (value->IsDefault()) return 0;
    const int32_t layer = IsNumber(*value) ? value->GetInt() : -1;
    return layer == 0 || layer == 1 ? layer : -1;
}

void CIMaterial::SetColor() {
    const uint32_t colour = interpreter->IsArgDefault(0) ? 0 : uint32_t(interpreter->GetArgInt(0));
    if (material_ == nullptr) return;
    material_->SetColor(EngineColor(colour));
    RefreshViews();
}

void CIMaterial::GetColor() {
    interpreter->GetResultSlot()->SetInt(
        material_ != nullptr ? int32_t(EngineColor(material_->color)) : 0);
}

void CIMaterial::SetTexture() {
    CITexture* texture = nullptr;
    int32_t layer = 0;
    for (uint32_t i = 0; i < 2; ++i) {
        const CValue* value = interpreter->GetArg(i);
        if (value->IsObjectOfClass(CITexture::kClassId)) {
            texture = static_cast<CITexture*>(value->GetObject());
        } else if (IsNumber(*value)) {
            const int32_t number = value->GetInt();
            layer = number == 0 || number == 1 ? number : -1;
        }
    }
    SetLayerTexture(texture, layer);
}

void CIMaterial::GetTexture() {
    const int32_t layer = LayerArg(0);
    LTexture* texture = material_ != nullptr && layer >= 0 ? material_->GetTexture(layer) : nullptr;
    CITexture* wrapper = CITexture::GetWrapper(*interpreter, world_, texture);
    if (wrapper != nullptr)
        interpreter->GetResultSlot()->SetObject(wrapper, 0);
    else
        interpreter->GetResultSlot()->SetInt(0);
}

void CIMaterial::SetNormal() {
    if (material_ == nullptr) return;
    material_->SetReflectionType(0);
    RefreshViews();
}

void CIMaterial::SetMat() {
    if (material_ == nullptr) return;
    material_->SetReflectionType(1);
    RefreshViews();
}

void CIMaterial::SetMetal() {
    if (material_ == nullptr) return;
    material_->SetReflectionType(2);
    RefreshViews();
}

void CIMaterial::SetPlastic() {
    if (material_ == nullptr) return;
    material_->SetReflectionType(3);
    RefreshViews();
}

void CIMaterial::IsNormal() {
    interpreter->GetResultSlot()->SetInt(material_ != nullptr && material_->reflectionType == 0);
}

void CIMaterial::IsMat() {
    interpreter->GetResultSlot()->SetInt(material_ != nullptr && material_->reflectionType == 1);
}

void CIMaterial::IsMetal() {
    interpreter->GetResultSlot()->SetInt(material_ != nullptr && material_->reflectionType == 2);
}

void CIMaterial::IsPlastic() {
    interpreter->GetResultSlot()->SetInt(material_ != nullptr && material_->reflectionType == 3);
}

void CIMaterial::SetTransparentColor() {
    if (material_ == nullptr) return;
    LTexture* texture = material_->GetTexture(0);
    if (texture != nullptr) {
        if (interpreter->IsArgDefault(0))
            texture->SetColorKey(0, 0);
        else
            texture->SetColorKey(1, EngineColor(uint32_t(interpreter->GetArgInt(0))));
        texture->ReleaseDeviceCopy();
    }
    PreparePolygons();
    RefreshViews();
}

void CIMaterial::GetTransparentColor() {
    const LTexture* texture = material_ != nullptr ? material_->GetTexture(0) : nullptr;
    interpreter->GetResultSlot()->SetInt(texture != nullptr &&
                                                 (texture->flags & LTexture::kColorKey) != 0
                                             ? int32_t(EngineColor(texture->keyColor))
                                             : 0);
}

void CIMaterial::IsTransparent() {
    const LTexture* texture = material_ != nullptr ? material_->GetTexture(0) : nullptr;
    interpreter->GetResultSlot()->SetInt(
        texture != nullptr && (texture->flags & LTexture::kColorKey) != 0 ? 1 : 0);
}

void CIMaterial::SetSemiTransparency() {
    int32_t alpha = 127;
    if (!interpreter->IsArgDefault(0)) {
        const double percent = interpreter->GetArgDouble(0);
        const double scaled = std::trunc(percent * 255.0 * 0.01);
        alpha = std::isnan(scaled) ? 0 : int32_t(std::clamp(scaled, 0.0, 255.0));
    }
    if (material_ == nullptr) return;
    material_->SetAlpha(uint8_t(alpha));
    RefreshViews();
}

void CIMaterial::GetSemiTransparency() {
    const int32_t alpha = material_ != nullptr ? material_->alpha : 255;
    interpreter->GetResultSlot()->SetInt(std::min(alpha * 100 / 255 + 1, 100));
}

void CIMaterial::Hide() {
    if (material_ == nullptr) return;
    material_->Hide();
    RefreshViews();
}

void CIMaterial::Show() {
    if (material_ == nullptr) return;
    material_->Show();
    RefreshViews();
}

void CIMaterial::IsVisible() {
    interpreter->GetResultSlot()->SetInt(
        material_ != nullptr && (material_->mode & LMaterial::kHidden) == 0 ? 1 : 0);
}

void CIMaterial::SetMode(uint32_t bit) {
    const int on = interpreter->GetArgInt(0) != 0 ? 1 : 0;
    if (material_ == nullptr) return;
    if (bit == LMaterial::kWireframe)
        material_->SetWireFrame(on);
    else if (bit == LMaterial::kSolid)
        material_->SetFlat(on);
    else
        material_->SetMapped(on);
    PreparePolygons();
    RefreshViews();
}

void CIMaterial::SetWireFrame() {
    SetMode(LMaterial::kWireframe);
}

void CIMaterial::IsWireFrame() {
    interpreter->GetResultSlot()->SetInt(
        material_ != nullptr && (material_->mode & LMaterial::kWireframe) != 0 ? 1 : 0);
}

void CIMaterial::SetFlat() {
    SetMode(LMaterial::kSolid);
}

void CIMaterial::IsFlat() {
    interpreter->GetResultSlot()->SetInt(
        material_ != nullptr && (material_->mode & LMaterial::kSolid) != 0 ? 1 : 0);
}

void CIMaterial::SetMapped() {
    SetMode(LMaterial::kTextured);
}

void CIMaterial::IsMapped() {
    interpreter->GetResultSlot()->SetInt(
        material_ != nullptr && (material_->mode & LMaterial::kTextured) != 0 ? 1 : 0);
}

void CIMaterial::SetAdditiveBlendingMode() {
    const int on = interpreter->GetArgInt(0) != 0 ? 1 : 0;
    const int second = interpreter->GetArgInt(1) == 1 ? 1 : 0;
    if (material_ == nullptr) return;
    material_->SetAdditiveBlendingMode(on, second);
    PreparePolygons();
    RefreshViews();
}

void CIMaterial::IsAdditiveBlendingMode() {
    interpreter->GetResultSlot()->SetInt(
        material_ != nullptr && (material_->mode & LMaterial::kAdditive) != 0 ? 1 : 0);
}

void CIMaterial::ShiftUV() {
    const double du = interpreter->IsArgDefault(0) ? 0.0 : interpreter->GetArgDouble(0);
    const double dv = interpreter->IsArgDefault(1) ? 0.0 : interpreter->GetArgDouble(1);
    if (material_ == nullptr) return;
    material_->ShiftUV(float(du), float(dv));
    RefreshViews();
}

void CIMaterial::ShiftUV2() {
    const double du = interpreter->IsArgDefault(0) ? 0.0 : interpreter->GetArgDouble(0);
    const double dv = interpreter->IsArgDefault(1) ? 0.0 : interpreter->GetArgDouble(1);
    if (material_ == nullptr) return;
    material_->ShiftUV2(float(du), float(dv));
    RefreshViews();
}

void CIMaterial::StartScrolling(int layer) {
    if (interpreter->GetArgCount() == 0) {
        animating_[layer] = 0;
        if (animating_[0] == 0 && animating_[1] == 0 && tickHandle_ != 0) {
            interpreter->RemoveMovingLocation(this);
            tickHandle_ = 0;
        }
        return;
    }
    for (uint32_t i = 0; i < 2; ++i)
        if (!interpreter->IsArgDefault(i)) speed_[layer][i] = float(interpreter->GetArgDouble(i));
    animating_[layer] = 1;
    if (tickHandle_ == 0) tickHandle_ = interpreter->AddMovingLocation(this);
}

void CIMaterial::AnimUV() {
    StartScrolling(0);
}

void CIMaterial::AnimUV2() {
    StartScrolling(1);
}

void CIMaterial::Tick(uint32_t now) {
    if (material_ == nullptr) return;
    // A speed is in texture units per 20 ms.
    const float f = float(now - lastTick) * 0.05f;
    bool moved = false;
    for (int layer = 0; layer < 2; ++layer) {
        if (animating_[layer] == 0) continue;
        const float du = speed_[layer][0] * f;
        const float dv = speed_[layer][1] * f;
        if (speed_[layer][0] == 0 && speed_[layer][1] == 0) continue;
        if (layer == 0)
            material_->ShiftUV(du, dv);
        else
            material_->ShiftUV2(du, dv);
        moved = true;
    }
    if (moved) RefreshViews();
}

void CIMaterial::SetEnvironmentMapping() {
    const int on = interpreter->GetArgInt(0) != 0 ? 1 : 0;
    const int32_t layer = LayerArg(1);
    LTexture* texture = material_ != nullptr && layer >= 0 ? material_->GetTexture(layer) : nullptr;
    if (texture == nullptr) return;
    texture->SetEnvironmentMapping(on);
    RefreshViews();
}

void CIMaterial::IsEnvironmentMapping() {
    const int32_t layer = LayerArg(0);
    const LTexture* texture =
        material_ != nullptr && layer >= 0 ? material_->GetTexture(layer) : nullptr;
    interpreter->GetResultSlot()->SetInt(
        texture != nullptr && (texture->flags & LTexture::kEnvironmentMapping) != 0 ? 1 : 0);
}

void CIMaterial::IsCollisionEnabled() {
    interpreter->GetResultSlot()->SetInt(material_ != nullptr ? material_->IsCollisionEnabled()
                                                              : 0);
}

void CIMaterial::EnableCollision() {
    const int32_t flag = interpreter->IsArgDefault(0) ? 1 : interpreter->GetArgInt(0);
    if (flag != 0 && flag != 1) interpreter->RaiseError(14);
    if (material_ == nullptr) return;
    if (flag == 1)
        material_->EnableCollision();
    else
        material_->DisableCollision();
    RefreshViews();
}

void CIMaterial::GetName() {
    interpreter->GetResultSlot()->SetString(material_ != nullptr ? material_->Name() : "", 0);
}

void CIMaterial::SetName() {
    const CValue* value = interpreter->GetArg(0);
    if (material_ == nullptr || value->GetType() != kValueString) return;
    material_->SetName(value->GetString());
}

void CIMaterial::SetTextureIntensity() {
    const int32_t layer = LayerArg(0);
    double weight = 0.5;
    if (!interpreter->IsArgDefault(1)) {
        const double percent = interpreter->GetArgDouble(1) * 0.01;
        weight = std::isnan(percent) ? 0.0 : std::clamp(percent, 0.0, 1.0);
    }
    if (material_ == nullptr || layer < 0) return;
    material_->SetTextureIntensity(layer, float(weight));
    material_->ResetDeviceState();
    RefreshViews();
}

void CIMaterial::GetTextureIntensity() {
    const int32_t layer = LayerArg(0);
    const double weight =
        material_ != nullptr && layer >= 0 ? material_->GetTextureIntensity(layer) : 0.0;
    interpreter->GetResultSlot()->SetFloat(double(float(weight * 100.0)));
}

const ScriptClassInfo* GetMaterialClassInfo() {
    return &kMaterialClass;
}

LMaterial* MaterialArgument(CInterpretor& interpreter, uint32_t i, CIBaseClassImpl* world) {
    auto* material =
        static_cast<CIMaterial*>(interpreter.GetArgObjectOfClass(i, CIMaterial::kClassId));
    if (world != nullptr && material->World() != world) interpreter.RaiseError(125);
    return material->GetEngineMaterial();
}
