#include "classes/scene3d/blob_class.h"

#include <new>
#include <string>

#include "classes/scene3d/location_method_table.h"
#include "classes/scene3d/material_class.h"
#include "classes/scene3d/script_number.h"
#include "classes/scene3d/texture_class.h"
#include "classes/scene3d/world_class.h"
#include "classes/surface/surface_class.h"
#include "engine3d/scene/blobs/blob.h"
#include "engine3d/scene/location.h"
#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/mesh/polygon.h"
#include "engine3d/scene/objects/world.h"
#include "script/interpreter/interpretor.h"
#include "script/values/value.h"

namespace {

constexpr uint32_t kFirstConstant = CIBlob::kFirstClassLevelId + 1;
// What a missing integer reads as: a side the engine keeps.
constexpr int32_t kMissingInt = int32_t(0x80000000u);
constexpr int32_t kKeepSide = -99999;
constexpr int32_t kDefaultSide = 10;
constexpr uint8_t kAxisX = 0x02;
constexpr uint8_t kAxisY = 0x04;
constexpr uint8_t kAxisZ = 0x08;

const MethodNameRow kNameTable[] = {
    {CIBlob::kClassId, "Blob", 0, 0},
    ZORV_LOCATION_METHOD_ROWS,
    {0x44, "SetWidth", 0, 0},
    {0x45, "SetHeight", 0, 0},
    {0x46, "SetImage", 0, 0},
    {0x47, "GetMaterial", 0, 0},
    {0x48, "GetTexture", 0, 0},
    {0x49, "IsAxisMovingX", 0, 0},
    {0x4A, "IsAxisMovingY", 0, 0},
    {0x4B, "IsAxisMovingZ", 0, 0},
    {0x4C, "SetAxisMovingX", 0, 0},
    {0x4D, "SetAxisMovingY", 0, 0},
    {0x4E, "SetAxisMovingZ", 0, 0},
    ZORV_COLLISION_TYPE_ROWS(kFirstConstant),
    {0, nullptr, 0, 0},
};

const ClassLevelHandler kConstants[] = {ZORV_COLLISION_TYPE_HANDLERS};

CIBaseClassImpl* NewBlob(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CIBlob(&interpreter, record);
}

const ScriptClassInfo kClassInfo = {kNameTable, NewBlob, CIBlob::kFirstClassLevelId, kConstants, 3,
                                    nullptr,    nullptr};

} // namespace

const ScriptMethod<CIBlob> CIBlob::kMethods[] = {
    nullptr,
    ZORV_LOCATION_METHODS,
    &CIBlob::SetWidth,
    &CIBlob::SetHeight,
    &CIBlob::SetImage,
    &CIBlob::GetMaterial,
    &CIBlob::GetTexture,
    &CIBlob::IsAxisMovingX,
    &CIBlob::IsAxisMovingY,
    &CIBlob::IsAxisMovingZ,
    &CIBlob::SetAxisMovingX,
    &CIBlob::SetAxisMovingY,
    &CIBlob::SetAxisMovingZ,
};

CIBlob::CIBlob(CInterpretor* interpreter, const CClassRecord* record)
    : CILocation(interpreter, record) {}

const ScriptClassInfo* CIBlob::GetClassInfo() {
    return &kClassInfo;
}

CILocation* CIBlob::MakeWrapper(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CIBlob(&interpreter, record);
}

void CIBlob::CallMethod(uint16_t methodId) {
    CallMethodFromTable(*this, kMethods, methodId);
}

L3DBlob* CIBlob::Blob() const {
    return static_cast<L3DBlob*>(engineObject);
}

void CIBlob::Destroy(int flag) {
    L3DBlob* blob = static_cast<L3DBlob*>(DetachEngineObject());
    L3DWorld* scene = EngineWorld();
    if (blob != nullptr && scene != nullptr && flag == 0) {
        scene->blobs.RemoveBlob(blob, 1);
        RefreshWorldViews();
    }
    worldObject = nullptr;
    material_ = nullptr;
    CILocation::Destroy(flag);
}

int CIBlob::ReleaseReferencesTo(CIBaseClassImpl* object) {
    if (object == nullptr ||
        (object != worldObject && object != static_cast<CIBaseClassImpl*>(material_)))
        return CILocation::ReleaseReferencesTo(object);
    // The engine blob stays in its world's list.
    DetachEngineObject();
    worldObject = nullptr;
    material_ = nullptr;
    MarkDeleted();
    return 1;
}

void CIBlob::LocationChanged() {
    RefreshWorldViews();
}

CIMaterial* CIBlob::ShownMaterial() {
    if (material_ != nullptr || Blob() == nullptr) return material_;
    LList* polygons = Blob()->GetCurrentPolygonList();
    LMaterial* shown = polygons != nullptr && polygons->GetHead() != nullptr
                           ? static_cast<LPolygon*>(polygons->GetHead()->item)->GetMaterial()
                           : nullptr;
    if (shown == nullptr) interpreter->RaiseError(86);
    material_ = CIMaterial::GetWrapper(*interpreter, static_cast<CIWorld*>(worldObject), shown);
    return material_;
}

void CIBlob::Create() {
    CInterpretor& in = *interpreter;
    const int32_t count = in.GetArgCount();
    CIWorld* owner = nullptr;
    if (in.GetArg(0)->IsObjectOfClass(CIWorld::kClassId))
        owner = static_cast<CIWorld*>(in.GetArg(0)->GetObject());
    L3DLocation place;
    int32_t imageAt = 0;
    if (count >= 2) {
        const CValue* second = in.GetArg(1);
        const int32_t classId = second->GetType() == kValueObject ? second->GetObjectClassId() : -1;
        if (IsNumber(*second) || second->IsDefault()) {
            float position[3] = {};
            for (uint32_t i = 0; i < 3; ++i) {
                const CValue* value = in.GetArg(1 + i);
                if (IsNumber(*value)) position[i] = float(value->GetDouble());
            }
            place.SetPosition(position[0], position[1], position[2]);
            imageAt = 4;
        } else if (classId >= 0 && IsPlacedClass(uint32_t(classId)) &&
                   uint32_t(classId) != kZoneClassId) {
            const CILocation* other = GetLocationArg(1);
            place.SetPosition(other->location->position[0], other->location->position[1],
                              other->location->position[2]);
            imageAt = 2;
        }
    }
    const CValue* image = in.GetArg(uint32_t(imageAt));
    const bool text = image->GetType() == kValueString && !image->IsDefault();
    if (!(text && image->GetString()[0] != 0) && !image->IsObjectOfClass(CIMaterial::kClassId) &&
        !image->IsObjectOfClass(CISurface::kClassId) &&
        !image->IsObjectOfClass(CITexture::kClassId))
        in.RaiseError(14);
    std::string name = CValue::kDefaultString;
    bool named = false;
    int32_t sides[2] = {kMissingInt, kMissingInt};
    int numbers = 0;
    for (int32_t i = imageAt + 1; i < count; ++i) {
        const CValue* value = in.GetArg(uint32_t(i));
        if (value->GetType() == kValueString) {
            if (named) in.RaiseError(14);
            name = value->GetString();
            named = true;
        } else if (IsNumber(*value)) {
            if (numbers == 2) in.RaiseError(14);
            sides[numbers++] = value->GetInt();
        }
    }
    if (owner == nullptr) in.RaiseError(54);
    CIMaterial* material = nullptr;
    if (image->IsObjectOfClass(CIMaterial::kClassId)) {
        material = static_cast<CIMaterial*>(image->GetObject());
        if (material->World() != owner) in.RaiseError(117);
    } else {
        CITexture* texture = nullptr;
        if (image->IsObjectOfClass(CITexture::kClassId)) {
            texture = static_cast<CITexture*>(image->GetObject());
            if (texture->World() != owner) in.RaiseError(118);
        } else if (image->IsObjectOfClass(CISurface::kClassId)) {
            texture =
                CITexture::MakeFromSurface(in, owner, static_cast<CISurface*>(image->GetObject()));
        } else {
            texture = CITexture::MakeFromFile(in, owner, image->GetString());
        }
        material = CIMaterial::Make(in, owner, texture, CIMaterial::kDefaultColor, "Material");
    }
    L3DWorld* scene = owner->GetEngineWorld();
    if (scene == nullptr) in.RaiseError(55);
    // A side not given is the engine's own.
    for (int32_t& side : sides)
        if (side == kMissingInt) side = kDefaultSide;
    L3DBlob* blob = scene->blobs.CreateBlob(&place, name.c_str(), sides[0], sides[1],
                                            material->GetEngineMaterial(), 0);
    if (blob == nullptr) in.RaiseError(15);
    blob->SetCLBKObject(&link);
    worldObject = owner;
    material_ = material;
    engineObject = blob;
    location = blob;
    LocationChanged();
    Init(blob, blob, 1, nullptr);
}

// ---- Methods -----------------------------------------------------------------------------

void CIBlob::SetSide(bool width) {
    const CValue* value = interpreter->GetArg(0);
    if (!IsNumber(*value)) interpreter->RaiseError(14);
    if (Blob() == nullptr) return;
    const int32_t side = value->GetInt();
    if (width)
        Blob()->SetSize(side, kKeepSide, nullptr);
    else
        Blob()->SetSize(kKeepSide, side, nullptr);
    LocationChanged();
}

void CIBlob::SetWidth() {
    SetSide(true);
}

void CIBlob::SetHeight() {
    SetSide(false);
}

void CIBlob::SetImage() {
    CInterpretor& in = *interpreter;
    const CValue* source = in.GetArg(0);
    if (source->IsObjectOfClass(CIMaterial::kClassId)) {
        auto* material = static_cast<CIMaterial*>(source->GetObject());
        if (material->World() != worldObject) in.RaiseError(117);
        material_ = material;
        if (Blob() != nullptr) Blob()->SetSize(kKeepSide, kKeepSide, material->GetEngineMaterial());
    } else if (source->IsObjectOfClass(CITexture::kClassId)) {
        ShownMaterial()->SetLayerTexture(static_cast<CITexture*>(source->GetObject()), 0);
    } else if (source->GetType() != kValueObject || source->IsObjectOfClass(CISurface::kClassId)) {
        CIMaterial* material = ShownMaterial();
        LMaterial* engine = material != nullptr ? material->GetEngineMaterial() : nullptr;
        LTexture* shown = engine != nullptr ? engine->GetTexture(0) : nullptr;
        auto* owner = static_cast<CIWorld*>(worldObject);
        if (shown != nullptr) {
            CITexture::GetWrapper(in, owner, shown)->LoadFrom(*source);
        } else if (owner != nullptr && material != nullptr) {
            // A face without a texture gets one made from the source, as a new Blob does.
            if (source->GetType() != kValueObject && source->GetType() != kValueString)
                in.RaiseError(14);
            CITexture* texture = source->GetType() == kValueObject
                                     ? CITexture::MakeFromSurface(
                                           in, owner, static_cast<CISurface*>(source->GetObject()))
                                     : CITexture::MakeFromFile(in, owner, source->GetString());
            material->SetLayerTexture(texture, 0);
        }
    } else {
        in.RaiseError(14);
    }
    LocationChanged();
}

void CIBlob::GetMaterial() {
    CIMaterial* material = engineObject != nullptr ? ShownMaterial() : material_;
    if (material != nullptr)
        interpreter->GetResultSlot()->SetObject(material, 0);
    else
        interpreter->GetResultSlot()->SetInt(0);
}

void CIBlob::GetTexture() {
    const CValue* value = interpreter->GetArg(0);
    const int32_t layer = value->IsDefault() ? 0 : IsNumber(*value) ? value->GetInt() : -1;
    CIMaterial* material = engineObject != nullptr ? ShownMaterial() : material_;
    LMaterial* engine = material != nullptr ? material->GetEngineMaterial() : nullptr;
    LTexture* texture =
        engine != nullptr && (layer == 0 || layer == 1) ? engine->GetTexture(layer) : nullptr;
    CITexture* wrapper =
        CITexture::GetWrapper(*interpreter, static_cast<CIWorld*>(worldObject), texture);
    if (wrapper != nullptr)
        interpreter->GetResultSlot()->SetObject(wrapper, 0);
    else
        interpreter->GetResultSlot()->SetInt(0);
}

void CIBlob::AxisQuery(uint8_t bit) {
    interpreter->GetResultSlot()->SetInt(Blob() != nullptr && (Blob()->facing & bit) != 0 ? 1 : 0);
}

void CIBlob::AxisSwitch(uint8_t bit) {
    const int32_t flag = interpreter->IsArgDefault(0) ? 1 : interpreter->GetArgInt(0);
    if (flag != 0 && flag != 1) interpreter->RaiseError(14);
    if (Blob() == nullptr) return;
    Blob()->facing = uint8_t(flag == 1 ? Blob()->facing | bit : Blob()->facing & ~bit);
}

void CIBlob::IsAxisMovingX() {
    AxisQuery(kAxisX);
}

void CIBlob::IsAxisMovingY() {
    AxisQuery(kAxisY);
}

void CIBlob::IsAxisMovingZ() {
    AxisQuery(kAxisZ);
}

void CIBlob::SetAxisMovingX() {
    AxisSwitch(kAxisX);
}

void CIBlob::SetAxisMovingY() {
    AxisSwitch(kAxisY);
}

void CIBlob::SetAxisMovingZ() {
    AxisSwitch(kAxisZ);
}
