#include "classes/scene3d/world_class.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "classes/scene3d/camera_class.h"
#include "classes/scene3d/location_class.h"
#include "classes/scene3d/material_class.h"
#include "classes/scene3d/object_class.h"
#include "classes/scene3d/point3d_class.h"
#include "classes/scene3d/script_number.h"
#include "classes/scene3d/texture_class.h"
#include "classes/scene3d/vector_class.h"
#include "classes/surface/surface_class.h"
#include "classes/window/window_class.h"
#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/lights/light.h"
#include "engine3d/scene/lights/light_list.h"
#include "engine3d/scene/objects/object.h"
#include "engine3d/scene/objects/primitives.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/objects/world_light.h"
#include "engine3d/scene/render/device.h"
#include "script/interpreter/interpretor.h"
#include "script/project/project_file.h"

namespace {

using W = CIWorld;

const MethodNameRow kNameTable[] = {
    {W::kClassId, "World", 0, 0},
    {0x01, "GetObject", 0, 0},
    {0x02, "GetNObjects", 0, 0},
    {0x03, "ShowObjects", 0, 0},
    {0x04, "HideObjects", 0, 0},
    {0x05, "GetLight", 0, 0},
    {0x06, "GetNLights", 0, 0},
    {0x07, "ShowLights", 0, 0},
    {0x08, "HideLights", 0, 0},
    {0x09, "GetCamera", 0, 0},
    {0x0A, "GetNCameras", 0, 0},
    {0x0B, "ShowCameras", 0, 0},
    {0x0C, "HideCameras", 0, 0},
    {0x0D, "GetSpeaker", 0, 0},
    {0x0E, "GetNSpeakers", 0, 0},
    {0x0F, "HideSpeakers", 0, 0},
    {0x10, "ShowSpeakers", 0, 0},
    {0x11, "GetBlob", 0, 0},
    {0x12, "GetNBlobs", 0, 0},
    {0x13, "HideBlobs", 0, 0},
    {0x14, "ShowBlobs", 0, 0},
    {0x15, "GetZone", 0, 0},
    {0x16, "GetNZones", 0, 0},
    {0x17, "HideZones", 0, 0},
    {0x18, "ShowZones", 0, 0},
    {0x19, "GetTexture", 0, 0},
    {0x1A, "GetNTextures", 0, 0},
    {0x1B, "GetMaterial", 0, 0},
    {0x1C, "GetNMaterials", 0, 0},
    {0x1D, "Load", 0, 0},
    {0x1E, "Save", 0, 0},
    {0x1F, "Scale", 0, 0},
    {0x20, "SetWireframe", 0, 0},
    {0x21, "SetGouraud", 0, 0},
    {0x22, "SetFlat", 0, 0},
    {0x23, "SetMapped", 0, 0},
    {0x24, "SetLightColor", 0, 0},
    {0x25, "GetLightColor", 0, 0},
    {0x26, "SetNight", 0, 0},
    {0x27, "GetNight", 0, 0},
    {0x28, "SetLightVector", 0, 0},
    {0x29, "GetLightVector", 0, 0},
    {0x2A, "SetLambert", 0, 0},
    {0x2B, "IsBackFacesCulling", 0, 0},
    {0x2C, "SetBackFacesCulling", 0, 0},
    {0x2D, "SetBackground", 0, 0},
    {0x2E, "ShowObjectBox", 0, 0},
    {0x2F, "HideObjectBox", 0, 0},
    {0x30, "SetLightIntensity", 0, 0},
    {0x31, "GetLightIntensity", 0, 0},
    {0x32, "ShowAxis", 0, 0},
    {0x33, "HideAxis", 0, 0},
    {0x34, "ShowObjectAxis", 0, 0},
    {0x35, "HideObjectAxis", 0, 0},
    {0x36, "SetCollision", 0, 0},
    {0x37, "SetStatic", 0, 0},
    {0x38, "Optimize", 0, 0},
    {0x39, "CreateSphere", 0, 0},
    {0x3A, "CreateBrick", 0, 0},
    {0x3B, "CreatePyramid", 0, 0},
    {0x3C, "LoadObject", 0, 0},
    {0x3D, "OnCollide", 0, 0},
    {0x3E, "CreatePlane", 0, 0},
    {0x3F, "OnCollisions", 0, 0},
    {0x41, "ONLYWORLD", 0, kRowConstant},
    {0x42, "ONLYCAMERA", 0, kRowConstant},
    {0x43, "ONLYSTATIC", 0, kRowConstant},
    {0x44, "ONLYDYNAMIC", 0, kRowConstant},
    {0x45, "ONLYSPEAKER", 0, kRowConstant},
    {0x46, "ONLYLIGHT", 0, kRowConstant},
    {0x47, "ONLYMATERIAL", 0, kRowConstant},
    {0x48, "COLLISION_FLAG_BOTTOM", 0, kRowConstant},
    {0x49, "COLLISION_FLAG_TOP", 0, kRowConstant},
    {0x4A, "COLLISION_FLAG_RIGHT", 0, kRowConstant},
    {0x4B, "COLLISION_FLAG_LEFT", 0, kRowConstant},
    {0x4C, "COLLISION_FLAG_FORWARD", 0, kRowConstant},
    {0x4D, "COLLISION_FLAG_BACKWARD", 0, kRowConstant},
    {0x4E, "ONLYSINGLETEXTURE", 0, kRowConstant},
    {0, nullptr, 0, 0},
};

template <int32_t Value> void Constant(CInterpretor& interpreter) {
    interpreter.GetResultSlot()->SetInt(Value);
}

const ClassLevelHandler kConstants[] = {
    Constant<int32_t(0x89AF0004u)>,
    Constant<int32_t(0x89AF0008u)>,
    Constant<int32_t(0x89AF0010u)>,
    Constant<int32_t(0x89AF0020u)>,
    Constant<int32_t(0x89AF0040u)>,
    Constant<int32_t(0x89AF0080u)>,
    Constant<int32_t(0x89AF0100u)>,
    Constant<2>,
    Constant<4>,
    Constant<8>,
    Constant<16>,
    Constant<32>,
    Constant<64>,
    Constant<int32_t(0x89AF0200u)>,
};

// The classes whose objects hold a World: its views, and the placed objects in it.
const uint32_t kDependents[] = {CISurface::kClassId,          CICamera::kClassId,
                                CIObject::kClassId,           CILocation::kLightClassId,
                                CILocation::kPositionClassId, CILocation::kZoneClassId,
                                CIMaterial::kClassId,         CITexture::kClassId,
                                CIPoint3D::kClassId,          0};

CIBaseClassImpl* NewWorld(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CIWorld(&interpreter, record);
}

const ScriptClassInfo kWorldClass = {
    kNameTable,  NewWorld, W::kFirstClassLevelId, kConstants, std::size(kConstants),
    kDependents, nullptr};

// A missing argument, as integers and numbers read it.
bool IsMissingNumber(const CValue& value) {
    return value.IsDefault() != 0;
}

} // namespace

const ScriptMethod<CIWorld> CIWorld::kMethods[0x40] = {
    nullptr,
    &W::GetObject,
    &W::GetNObjects,
    &W::ShowObjects,
    &W::HideObjects,
    &W::GetLight,
    &W::GetNLights,
    &W::ShowLights,
    &W::HideLights,
    &W::GetCamera,
    &W::GetNCameras,
    &W::ShowCameras,
    &W::HideCameras,
    &W::GetSpeaker,
    &W::GetNSpeakers,
    &W::HideSpeakers,
    &W::ShowSpeakers,
    &W::GetBlob,
    &W::GetNBlobs,
    &W::HideBlobs,
    &W::ShowBlobs,
    &W::GetZone,
    &W::GetNZones,
    &W::HideZones,
    &W::ShowZones,
    &W::GetTexture,
    &W::GetNTextures,
    &W::GetMaterial,
    &W::GetNMaterials,
    &W::Load,
    &W::Save,
    &W::Scale,
    &W::SetWireframe,
    &W::SetGouraud,
    &W::SetFlat,
    &W::SetMapped,
    &W::SetLightColor,
    &W::GetLightColor,
    &W::SetNight,
    &W::GetNight,
    &W::SetLightVector,
    &W::GetLightVector,
    &W::SetLambert,
    &W::IsBackFacesCulling,
    &W::SetBackFacesCulling,
    &W::SetBackground,
    &W::ShowObjectBox,
    &W::HideObjectBox,
    &W::SetLightIntensity,
    &W::GetLightIntensity,
    &W::ShowAxis,
    &W::HideAxis,
    &W::ShowObjectAxis,
    &W::HideObjectAxis,
    &W::SetCollision,
    &W::SetStatic,
    &W::Optimize,
    &W::CreateSphere,
    &W::CreateBrick,
    &W::CreatePyramid,
    &W::LoadObject,
    &W::OnCollide,
    &W::CreatePlane,
    &W::OnCollisions,
};

CIWorld::CIWorld(CInterpretor* interpreter, const CClassRecord* record)
    : CIBaseClassImpl(interpreter, record, 1), onCollide_(interpreter, 0),
      onCollisions_(interpreter, 0) {}

CIWorld::~CIWorld() {
    ClearCollisions();
    delete world_;
}

void CIWorld::CallMethod(uint16_t methodId) {
    CallMethodFromTable(*this, kMethods, methodId);
}

void CIWorld::Destroy(int) {
    // Views draw the scene until they are told otherwise: they go before it.
    for (uint32_t position = interpreter->GetFirstObjectPos(CISurface::kClassId); position != 0;) {
        auto* surface =
            static_cast<CISurface*>(interpreter->GetNextObject(CISurface::kClassId, position));
        if (surface != nullptr && surface->world3D == this) surface->DetachView3D();
    }
    ReleasePlacedObjects();
    renderCameras_.clear();
    ClearCollisions();
    // The wrappers of the engine objects dying with the world are only detached: none of
    // them may reach into the world while it is torn down.
    const uint32_t deleteWrappers = interpreter->deleteWrappers;
    interpreter->deleteWrappers = 0;
    L3DWorld* world = world_;
    world_ = nullptr;
    delete world;
    interpreter->deleteWrappers = deleteWrappers;
    delete this;
}

void CIWorld::ReleasePlacedObjects() {
    for (uint32_t classId = CILocation::kCameraClassId; classId <= CILocation::kBlobClassId;
         ++classId) {
        if (!CILocation::IsPlacedClass(classId)) continue;
        for (uint32_t position = interpreter->GetFirstObjectPos(classId); position != 0;) {
            auto* placed = static_cast<CILocation*>(interpreter->GetNextObject(classId, position));
            if (placed == nullptr || placed->worldObject != this) continue;
            if (classId == CICamera::kClassId)
                static_cast<CICamera*>(placed)->ForgetWorld();
            else
                placed->worldObject = nullptr;
        }
    }
}

int CIWorld::ReleaseReferencesTo(CIBaseClassImpl* object) {
    // The World holds no script reference of its own: a dependent answering non-zero is
    // deleted.
    ForgetPairsOf(object);
    return 0;
}

void CIWorld::EngineObjectDestroyed() {
    world_ = nullptr;
}

CISurface* CIWorld::SurfaceFromArg(CInterpretor& interpreter, uint32_t i) {
    const CValue* value = interpreter.GetArg(i);
    if (value->IsObjectOfClass(CISurface::kClassId))
        return static_cast<CISurface*>(value->GetObject());
    if (value->IsObjectOfClass(CIWindow::kClassId)) {
        auto* window = static_cast<CIWindow*>(value->GetObject());
        return static_cast<CISurface*>(window->surface);
    }
    auto* main = dynamic_cast<CIWindow*>(interpreter.mainWindow);
    return main != nullptr ? static_cast<CISurface*>(main->surface) : nullptr;
}

void CIWorld::Create() {
    CInterpretor& in = *interpreter;
    int32_t surfaceArg = -1;
    for (int32_t i = 0; i < in.GetArgCount(); ++i) {
        const CValue* value = in.GetArg(uint32_t(i));
        if (value->IsObjectOfClass(CISurface::kClassId) ||
            value->IsObjectOfClass(CIWindow::kClassId))
            surfaceArg = i;
    }
    CISurface* surface = nullptr;
    if (surfaceArg >= 0) {
        surface = SurfaceFromArg(in, uint32_t(surfaceArg));
    } else if (auto* main = dynamic_cast<CIWindow*>(in.mainWindow)) {
        surface = static_cast<CISurface*>(main->surface);
    }
    if (surface == nullptr) in.RaiseError(98);
    LAPICLBK* device = surface->GetRenderDevice();
    if (device == nullptr) in.RaiseError(15);
    world_ = new (std::nothrow) L3DWorld(device, 0, this, nullptr);
    if (world_ == nullptr) in.RaiseError(15);
    world_->textures.imageLoader = &CIWorld::LoadTextureImage;
    world_->textures.imageLoaderContext = this;
    const int32_t depth = surfaceArg >= 0 ? surface->GetViewDepth() : in.surfaceDepth;
    world_->SetColorDepth(uint32_t(depth));
    in.SetSurfaceDepth(depth);
    LoadAtCreation(surface);
    Register();
}

// ---- The cameras rendering this world ----------------------------------------------------

void CIWorld::AddRenderCamera(CICamera* camera) {
    if (camera->surface == nullptr) return;
    if (camera->surface->GetViewDepth() != int32_t(world_ != nullptr ? world_->GetColorDepth() : 0))
        interpreter->RaiseError(59);
    std::erase(renderCameras_, camera);
    renderCameras_.push_back(camera);
    ActivateCamera(camera);
}

void CIWorld::RemoveRenderCamera(CICamera* camera) {
    std::erase(renderCameras_, camera);
    const bool anyActive = std::any_of(renderCameras_.begin(), renderCameras_.end(),
                                       [](const CICamera* c) { return c->active != 0; });
    if (!anyActive && !renderCameras_.empty()) ActivateCamera(renderCameras_.front());
}

void CIWorld::ActivateCamera(CICamera* camera) {
    for (CICamera* listed : renderCameras_)
        if (listed != camera) listed->SetActive(0);
    if (camera != nullptr) camera->SetActive(1);
}

void CIWorld::RefreshCameras() {
    const std::vector<CICamera*> cameras = renderCameras_;
    for (CICamera* camera : cameras)
        camera->InvalidateView();
}

// ---- Helpers -------------------------------------------------------------------------

CIBaseClassImpl* CIWorld::WrapperOf(L3DObject* object) {
    return CILocation::GetScriptObject(*interpreter, this, object);
}

int32_t CIWorld::IndexArg() {
    const CValue* value = interpreter->GetArg(0);
    if (value->IsDefault()) return 0;
    if (!IsNumber(*value)) return -1;
    return value->GetInt();
}

void CIWorld::SetResultObject(CIBaseClassImpl* object) {
    if (object != nullptr)
        interpreter->GetResultSlot()->SetObject(object, 0);
    else
        interpreter->GetResultSlot()->SetInt(0);
}

void CIWorld::SetResultBool(int engineResult) {
    interpreter->GetResultSlot()->SetInt(engineResult == 0 ? 1 : 0);
}

// ---- Lists ---------------------------------------------------------------------------

void CIWorld::GetObject() {
    if (world_ == nullptr) return SetResultObject(nullptr);
    const CValue* value = interpreter->GetArg(0);
    if (value->IsObjectOfClass(CIObject::kClassId)) {
        auto* object = static_cast<CIObject*>(value->GetObject());
        L3DObject* engine = object->GetEngineObject();
        const bool here = engine != nullptr && world_->IndexOfObject(engine) >= 0;
        return SetResultObject(here ? object : nullptr);
    }
    if (value->GetType() == kValueString)
        return SetResultObject(WrapperOf(world_->FindObjectByName(value->GetString())));
    const int32_t index = IndexArg();
    SetResultObject(index >= 0 ? WrapperOf(world_->GetObjectAt(index)) : nullptr);
}

void CIWorld::GetNObjects() {
    interpreter->GetResultSlot()->SetInt(world_ != nullptr ? int32_t(world_->objectCount) : 0);
}

void CIWorld::ShowObjects() {
    if (world_ == nullptr) return SetResultBool(1);
    SetResultBool(world_->ShowObjects(-1));
    RefreshCameras();
}

void CIWorld::HideObjects() {
    if (world_ == nullptr) return SetResultBool(1);
    SetResultBool(world_->HideObjects(-1));
    RefreshCameras();
}

void CIWorld::GetLight() {
    if (world_ == nullptr) return SetResultObject(nullptr);
    const std::vector<L3DLight*>& lights = world_->lights->all;
    const CValue* value = interpreter->GetArg(0);
    if (value->IsObjectOfClass(CILocation::kLightClassId)) {
        auto* light = static_cast<CILocation*>(value->GetObject());
        const bool here = light->engineObject != nullptr &&
                          std::find(lights.begin(), lights.end(),
                                    static_cast<L3DLight*>(light->engineObject)) != lights.end();
        return SetResultObject(here ? light : nullptr);
    }
    if (value->GetType() == kValueString)
        return SetResultObject(WrapperOf(world_->lights->FindByName(value->GetString())));
    const int32_t index = IndexArg();
    SetResultObject(index >= 0 && size_t(index) < lights.size() ? WrapperOf(lights[size_t(index)])
                                                                : nullptr);
}

void CIWorld::GetNLights() {
    interpreter->GetResultSlot()->SetInt(world_ != nullptr ? int32_t(world_->lights->all.size())
                                                           : 0);
}

void CIWorld::ShowLights() {
    if (world_ != nullptr) world_->lights->lightsShown = 1;
    RefreshCameras();
}

void CIWorld::HideLights() {
    if (world_ != nullptr) world_->lights->lightsShown = 0;
    RefreshCameras();
}

void CIWorld::GetCamera() {
    if (world_ == nullptr) return SetResultObject(nullptr);
    const CValue* value = interpreter->GetArg(0);
    if (value->IsObjectOfClass(CICamera::kClassId)) {
        auto* camera = static_cast<CICamera*>(value->GetObject());
        L3DCamera* engine = camera->GetEngineCamera();
        const bool here = engine != nullptr && world_->cameras.list.FindNode(engine) != nullptr;
        return SetResultObject(here ? camera : nullptr);
    }
    if (value->GetType() == kValueString)
        return SetResultObject(WrapperOf(world_->cameras.FindByName(value->GetString())));
    const int32_t index = IndexArg();
    LListNode* node = index >= 0 ? world_->cameras.list.GetNodeAt(uint32_t(index)) : nullptr;
    SetResultObject(node != nullptr ? WrapperOf(static_cast<L3DCamera*>(node->item)) : nullptr);
}

void CIWorld::GetNCameras() {
    interpreter->GetResultSlot()->SetInt(
        world_ != nullptr ? int32_t(world_->cameras.list.GetCount()) : 0);
}

void CIWorld::ShowCameras() {
    if (world_ != nullptr) world_->cameras.camerasShown = 1;
    RefreshCameras();
}

void CIWorld::HideCameras() {
    if (world_ != nullptr) world_->cameras.camerasShown = 0;
    RefreshCameras();
}

void CIWorld::GetNSpeakers() {
    interpreter->GetResultSlot()->SetInt(world_ != nullptr ? int32_t(world_->sounds.list.GetCount())
                                                           : 0);
}

void CIWorld::HideSpeakers() {
    if (world_ != nullptr) world_->sounds.soundsShown = 0;
    RefreshCameras();
}

void CIWorld::ShowSpeakers() {
    if (world_ != nullptr) world_->sounds.soundsShown = 1;
    RefreshCameras();
}

void CIWorld::GetNBlobs() {
    interpreter->GetResultSlot()->SetInt(world_ != nullptr ? int32_t(world_->blobs.list.GetCount())
                                                           : 0);
}

void CIWorld::HideBlobs() {
    if (world_ != nullptr) world_->blobs.blobsShown = 0;
    RefreshCameras();
}

void CIWorld::ShowBlobs() {
    if (world_ != nullptr) world_->blobs.blobsShown = 1;
    RefreshCameras();
}

void CIWorld::GetZone() {
    if (world_ == nullptr) return SetResultObject(nullptr);
    const CValue* value = interpreter->GetArg(0);
    if (value->IsObjectOfClass(CILocation::kZoneClassId)) {
        // The Zone itself when it is in this world, as its name finds it from its own place.
        auto* zone = static_cast<CILocation*>(value->GetObject());
        const bool here =
            zone->engineObject != nullptr &&
            world_->zones.list.FindNode(static_cast<L3DZone*>(zone->engineObject)) != nullptr;
        return SetResultObject(here ? zone : nullptr);
    }
    if (value->GetType() == kValueString)
        return SetResultObject(
            WrapperOf(world_->zones.FindNextByName(nullptr, value->GetString())));
    const int32_t index = IndexArg();
    SetResultObject(index >= 0 ? WrapperOf(world_->zones.GetAt(index)) : nullptr);
}

void CIWorld::GetNZones() {
    interpreter->GetResultSlot()->SetInt(world_ != nullptr ? int32_t(world_->zones.list.GetCount())
                                                           : 0);
}

void CIWorld::HideZones() {
    if (world_ != nullptr) world_->zones.zonesShown = 0;
    RefreshCameras();
}

void CIWorld::ShowZones() {
    if (world_ != nullptr) world_->zones.zonesShown = 1;
    RefreshCameras();
}

void CIWorld::GetNTextures() {
    interpreter->GetResultSlot()->SetInt(
        world_ != nullptr ? int32_t(world_->textures.list.GetCount()) : 0);
}

void CIWorld::GetNMaterials() {
    interpreter->GetResultSlot()->SetInt(
        world_ != nullptr ? int32_t(world_->materials.list.GetCount()) : 0);
}

// ---- Display switches ------------------------------------------------------------------

void CIWorld::Scale() {
    double factors[3];
    for (uint32_t i = 0; i < 3; ++i) {
        const CValue* value = interpreter->GetArg(i);
        factors[i] = IsMissingNumber(*value) ? 1.0 : interpreter->GetArgDouble(i);
    }
    if (world_ == nullptr) return SetResultBool(1);
    SetResultBool(world_->Scale(float(factors[0]), float(factors[1]), float(factors[2]), -1));
    RefreshCameras();
}

void CIWorld::SetWireframe() {
    if (world_ == nullptr) return SetResultBool(1);
    SetResultBool(world_->SetWireframe(interpreter->GetArgInt(0) != 0 ? 1 : 0, -1));
    RefreshCameras();
}

void CIWorld::SetGouraud() {
    if (world_ == nullptr) return SetResultBool(1);
    SetResultBool(world_->SetGouraud(interpreter->GetArgInt(0) != 0 ? 1 : 0, -1));
    RefreshCameras();
}

void CIWorld::SetFlat() {
    if (world_ == nullptr) return SetResultBool(1);
    SetResultBool(world_->SetFlat(interpreter->GetArgInt(0) != 0 ? 1 : 0, -1));
    RefreshCameras();
}

void CIWorld::SetMapped() {
    if (world_ == nullptr) return SetResultBool(1);
    SetResultBool(world_->SetMapped(interpreter->GetArgInt(0) != 0 ? 1 : 0, -1));
    RefreshCameras();
}

void CIWorld::SetLambert() {
    if (world_ == nullptr) return SetResultBool(1);
    SetResultBool(world_->SetLambert(interpreter->GetArgInt(0) != 0 ? 1 : 0, -1));
    RefreshCameras();
}

// Argument 0 as an object index; -1 (every object) when missing.
static int32_t ObjectIndexArg(CInterpretor& interpreter, uint32_t i) {
    return interpreter.IsArgDefault(i) ? -1 : interpreter.GetArgInt(i);
}

void CIWorld::ShowObjectBox() {
    if (world_ == nullptr) return SetResultBool(1);
    SetResultBool(world_->ShowObjectBox(1, ObjectIndexArg(*interpreter, 0)));
    RefreshCameras();
}

void CIWorld::HideObjectBox() {
    if (world_ == nullptr) return SetResultBool(1);
    SetResultBool(world_->ShowObjectBox(0, ObjectIndexArg(*interpreter, 0)));
    RefreshCameras();
}

void CIWorld::ShowAxis() {
    if (world_ != nullptr) world_->ShowAxis(1);
    RefreshCameras();
}

void CIWorld::HideAxis() {
    if (world_ != nullptr) world_->ShowAxis(0);
    RefreshCameras();
}

void CIWorld::ShowObjectAxis() {
    if (world_ == nullptr) return SetResultBool(1);
    SetResultBool(world_->ShowObjectAxis(1, ObjectIndexArg(*interpreter, 0)));
    RefreshCameras();
}

void CIWorld::HideObjectAxis() {
    if (world_ == nullptr) return SetResultBool(1);
    SetResultBool(world_->ShowObjectAxis(0, ObjectIndexArg(*interpreter, 0)));
    RefreshCameras();
}

void CIWorld::SetCollision() {
    if (world_ == nullptr) return SetResultBool(1);
    SetResultBool(world_->SetCollision(interpreter->GetArgInt(0) != 0 ? 1 : 0,
                                       ObjectIndexArg(*interpreter, 1)));
    RefreshCameras();
}

void CIWorld::IsBackFacesCulling() {
    interpreter->GetResultSlot()->SetInt(world_ != nullptr ? int32_t(world_->backFaceCulling) : 0);
}

void CIWorld::SetBackFacesCulling() {
    if (world_ != nullptr) world_->backFaceCulling = interpreter->GetArgInt(0) != 0 ? 1 : 0;
    RefreshCameras();
}

// ---- Ambient light ---------------------------------------------------------------------

void CIWorld::SetLightColor() {
    // Without a colour nothing changes: the keep value is no colour.
    if (world_ == nullptr || interpreter->IsArgDefault(0)) return;
    world_->ambientLight->SetColor(SwapRedBlue(uint32_t(interpreter->GetArgInt(0)) & 0xFFFFFF));
    RefreshCameras();
}

void CIWorld::GetLightColor() {
    interpreter->GetResultSlot()->SetInt(
        world_ != nullptr ? int32_t(SwapRedBlue(world_->ambientLight->GetColor() & 0xFFFFFF)) : 0);
}

void CIWorld::SetNight() {
    if (world_ == nullptr || interpreter->IsArgDefault(0)) return;
    world_->ambientLight->SetNight(interpreter->GetArgInt(0));
    RefreshCameras();
}

void CIWorld::GetNight() {
    interpreter->GetResultSlot()->SetInt(world_ != nullptr ? world_->ambientLight->GetNight() : 0);
}

void CIWorld::GetLightVector() {
    float values[4] = {};
    if (world_ != nullptr) std::copy_n(world_->ambientLight->GetVector(), 3, values);
    SetResultObject(CIVector::Make(*interpreter, values));
}

void CIWorld::SetLightIntensity() {
    if (world_ == nullptr || interpreter->IsArgDefault(0)) return;
    world_->ambientLight->SetIntensity(interpreter->GetArgInt(0));
    RefreshCameras();
}

void CIWorld::GetLightIntensity() {
    interpreter->GetResultSlot()->SetInt(world_ != nullptr ? world_->ambientLight->intensity : 0);
}

void CIWorld::SetLightVector() {
    if (world_ == nullptr) return;
    // Missing coordinates keep those of the point the reading starts from.
    float vector[3] = {1000.0f, 1000.0f, 1000.0f};
    if (interpreter->GetArg(0)->IsObjectOfClass(CIVector::kClassId)) {
        const float* v = static_cast<CIVector*>(interpreter->GetArg(0)->GetObject())->v;
        std::copy(v, v + 3, vector);
    } else if (interpreter->GetArg(0)->GetType() == kValueObject) {
        const CValue* value = interpreter->GetArg(0);
        const int32_t classId = value->GetObjectClassId();
        L3DObject* placed = CILocation::IsPlacedClass(uint32_t(classId)) &&
                                    uint32_t(classId) != CILocation::kZoneClassId
                                ? static_cast<CILocation*>(value->GetObject())->engineObject
                                : nullptr;
        if (placed == nullptr) interpreter->RaiseError(47);
        const float* position = placed->position;
        std::copy(position, position + 3, vector);
    } else {
        for (uint32_t i = 0; i < 3; ++i)
            if (!interpreter->IsArgDefault(i)) vector[i] = float(interpreter->GetArgDouble(i));
    }
    world_->ambientLight->SetVector(vector[0], vector[1], vector[2]);
    RefreshCameras();
}

// ---- Static geometry -------------------------------------------------------------------

void CIWorld::SetStatic() {
    const CValue* value = interpreter->GetArg(0);
    if (value->IsObjectOfClass(CIObject::kClassId)) {
        static_cast<CIObject*>(value->GetObject())->staticMark = 1;
    } else if (IsNumber(*value)) {
        L3DObject* object = world_ != nullptr ? world_->GetObjectAt(value->GetInt()) : nullptr;
        if (auto* wrapper = dynamic_cast<CIObject*>(WrapperOf(object))) wrapper->staticMark = 1;
    } else {
        staticAll_ = 1;
    }
}

void CIWorld::Optimize() {
    auto* camera = static_cast<CICamera*>(interpreter->GetArgObjectOfClass(0, CICamera::kClassId));
    if (world_ == nullptr) return interpreter->GetResultSlot()->SetInt(0);
    // The marked objects first, as a list: making one static takes it off the world's list.
    std::vector<L3DObject*> marked;
    for (LListNode* node = world_->objects.GetHead(); node != nullptr; node = node->next) {
        auto* object = static_cast<L3DObject*>(node->item);
        auto* wrapper = dynamic_cast<CIObject*>(CILocation::GetWrapper(object));
        if (staticAll_ != 0 || (wrapper != nullptr && wrapper->staticMark != 0))
            marked.push_back(object);
    }
    staticAll_ = 0;
    for (L3DObject* object : marked)
        object->MakeStatic(0);
    world_->Optimize();
    const int result = world_->OptimizeSpatial(camera->GetEngineCamera(), 6);
    interpreter->GetResultSlot()->SetInt(result);
    RefreshCameras();
}

// ---- Primitives ----------------------------------------------------------------------

void CIWorld::ReadSizes(double* values, uint32_t count) {
    if (uint32_t(interpreter->GetArgCount()) > count) interpreter->RaiseError(13);
    for (uint32_t i = 0; i < count; ++i) {
        const CValue* value = interpreter->GetArg(i);
        if (!IsNumber(*value)) continue;
        const double number = value->GetDouble();
        // NaN is no size either.
        if (!(number >= 0.0)) interpreter->RaiseError(14);
        values[i] = number;
    }
}

void CIWorld::ReturnPrimitive(L3DObject* object) {
    if (object == nullptr || world_ == nullptr) return SetResultObject(nullptr);
    world_->AddObject(object, 1);
    CIBaseClassImpl* wrapper = WrapperOf(object);
    SetResultObject(wrapper);
    RefreshCameras();
}

void CIWorld::CreateSphere() {
    double values[5] = {193.0, 193.0, 193.0, 16.0, 16.0};
    ReadSizes(values, 5);
    if (world_ == nullptr) return SetResultObject(nullptr);
    // Counts past this overflow the mesh's point and polygon tables.
    constexpr double kMaxCount = 4096.0;
    if (values[3] > kMaxCount || values[4] > kMaxCount) interpreter->RaiseError(14);
    const auto segments = int32_t(values[3]);
    const auto rings = int32_t(values[4]);
    if (segments < 1 || rings < 1) return SetResultObject(nullptr);
    // A mesh numbers its points in 16 bits.
    if (2 + int64_t(rings) * (int64_t(segments) + 1) > 65535) interpreter->RaiseError(14);
    ReturnPrimitive(CreateSphereObject(world_, float(values[0]), float(values[1]), float(values[2]),
                                       segments, rings));
}

void CIWorld::CreateBrick() {
    double values[3] = {100.0, 50.0, 150.0};
    ReadSizes(values, 3);
    if (world_ == nullptr) return SetResultObject(nullptr);
    ReturnPrimitive(
        CreateBrickObject(world_, float(values[0]), float(values[1]), float(values[2])));
}

void CIWorld::CreatePyramid() {
    double values[3] = {100.0, 150.0, 200.0};
    ReadSizes(values, 3);
    if (world_ == nullptr) return SetResultObject(nullptr);
    ReturnPrimitive(
        CreatePyramidObject(world_, float(values[0]), float(values[1]), float(values[2])));
}

void CIWorld::CreatePlane() {
    double values[4] = {100.0, 50.0, 1.0, 1.0};
    ReadSizes(values, 4);
    if (world_ == nullptr) return SetResultObject(nullptr);
    ReturnPrimitive(CreatePlaneObject(world_, float(values[0]), float(values[1]), float(values[2]),
                                      float(values[3])));
}

const ScriptClassInfo* GetWorldClassInfo() {
    return &kWorldClass;
}

namespace {

L3DWorld* EngineWorldOfWorld(CIBaseClassImpl* world) {
    return static_cast<CIWorld*>(world)->GetEngineWorld();
}

void RefreshViewsOfWorld(CIBaseClassImpl* world) {
    static_cast<CIWorld*>(world)->RefreshCameras();
}

const LocationWorldServices kWorldServices = {EngineWorldOfWorld, RefreshViewsOfWorld,
                                              CIWorld::CollideHandlerOf, CIWorld::RecordPair,
                                              CIWorld::ForgetCollisionsOf};

} // namespace

const LocationWorldServices* GetWorldServices() {
    return &kWorldServices;
}
