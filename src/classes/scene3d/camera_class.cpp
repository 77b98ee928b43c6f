#include "classes/scene3d/camera_class.h"

#include <algorithm>
#include <array>
#include <new>

#include "classes/scene3d/location_method_table.h"
#include "classes/scene3d/point3d_class.h"
#include "classes/scene3d/polygon_class.h"
#include "classes/scene3d/script_number.h"
#include "classes/scene3d/speaker_class.h"
#include "classes/scene3d/world_class.h"
#include "classes/surface/surface_class.h"
#include "classes/window/window_class.h"
#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/float_to_int.h"
#include "engine3d/scene/mesh/point.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/render/renderer.h"
#include "platform/kernel/clock.h"
#include "script/interpreter/interpretor.h"
#include "script/values/value.h"

namespace {

using C = CICamera;

const MethodNameRow kNameTable[] = {
    {C::kClassId, "Camera", 0, 0},
    ZORV_LOCATION_METHOD_ROWS,
    {0x44, "SetFocus", 0, 0},
    {0x45, "GetFocus", 0, 0},
    {0x46, "GetNPolygons", 0, 0},
    {0x47, "SetBackgroundColor", 0, 0},
    {0x48, "GetSpeed", 0, 0},
    {0x49, "Render", 0, 0},
    {0x4A, "SetRender", 0, 0},
    {0x4B, "ActivateRender", 0, 0},
    {0x4C, "FindPolygonAt", 0, 0},
    {0x4D, "EnableFog", 0, 0},
    {0x4E, "IsFogEnabled", 0, 0},
    {0x4F, "GetFogColor", 0, 0},
    {0x50, "SetFogColor", 0, 0},
    {0x51, "SetFogMaxZPosition", 0, 0},
    {0x52, "SetFogMinZPosition", 0, 0},
    {0x53, "GetFogMaxZPosition", 0, 0},
    {0x54, "GetFogMinZPosition", 0, 0},
    {0x55, "GetMaxVisibleDistance", 0, 0},
    {0x56, "SetMaxVisibleDistance", 0, 0},
    {0x57, "FindObjectAt", 0, 0},
    {0x58, "SetSpeakerRollOffFactor", 0, 0},
    {0x59, "GetSpeakerRollOffFactor", 0, 0},
    {0x5A, "SetSpeakerDopplerFactor", 0, 0},
    {0x5B, "GetSpeakerDopplerFactor", 0, 0},
    {0x5C, "SetSpeakerDistanceFactor", 0, 0},
    {0x5D, "GetSpeakerDistanceFactor", 0, 0},
    {0x5E, "ShowGrid", 0, 0},
    {0x5F, "HideGrid", 0, 0},
    {0x60, "GetScreenX", 0, 0},
    {0x61, "GetScreenY", 0, 0},
    {0x62, "GetVisibility", 0, 0},
    {0x63, "GetMinVisibleDistance", 0, 0},
    {0x64, "SetMinVisibleDistance", 0, 0},
    {0x66, "COLLISION_TYPE_NONE", 0, kRowConstant},
    {0x67, "COLLISION_TYPE_STOP", 0, kRowConstant},
    {0x68, "COLLISION_TYPE_SLIDE", 0, kRowConstant},
    {0x69, "FIND_2D_TYPE_ALL", 0, kRowConstant},
    {0x6A, "FIND_2D_TYPE_OBJECT", 0, kRowConstant},
    {0x6B, "FIND_2D_TYPE_LIGHT", 0, kRowConstant},
    {0x6C, "FIND_2D_TYPE_SPEAKER", 0, kRowConstant},
    {0x6D, "FIND_2D_TYPE_ZONE", 0, kRowConstant},
    {0x6E, "FIND_2D_TYPE_BLOB", 0, kRowConstant},
    {0x6F, "X_AXIS", 0, kRowConstant},
    {0x70, "Y_AXIS", 0, kRowConstant},
    {0x71, "Z_AXIS", 0, kRowConstant},
    {0x72, "OBJ_VISIBLE", 0, kRowConstant},
    {0x73, "OBJ_VISIBLE_CLIPPED", 0, kRowConstant},
    {0x74, "OBJ_INVISIBLE", 0, kRowConstant},
    {0x75, "OBJ_UNKNOWN_VISIBILITY", 0, kRowConstant},
    {0, nullptr, 0, 0},
};

template <int32_t Value> void Constant(CInterpretor& interpreter) {
    interpreter.GetResultSlot()->SetInt(Value);
}

const ClassLevelHandler kConstants[] = {
    Constant<0>,  Constant<1>,  Constant<2>, Constant<126>, Constant<2>, Constant<64>,
    Constant<32>, Constant<16>, Constant<8>, Constant<2>,   Constant<4>, Constant<8>,
    Constant<1>,  Constant<2>,  Constant<3>, Constant<4>,
};

// The classes whose objects hold a Camera: the Surface showing its view, the Speakers it
// hears.
const uint32_t kDependents[] = {CISurface::kClassId, CILocation::kSpeakerClassId, 0};

CIBaseClassImpl* NewCamera(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CICamera(&interpreter, record);
}

const ScriptClassInfo kCameraClass = {
    kNameTable,  NewCamera, C::kFirstClassLevelId, kConstants, std::size(kConstants),
    kDependents, nullptr};

// The picking kinds: objects, cameras, blobs, zones, speakers and lights.
constexpr int32_t kAllKinds = 126;
// The grid's axis bits.
constexpr uint32_t kGridAxes = 14;

} // namespace

const std::array<ScriptMethod<CICamera>, 0x65>& CICamera::Methods() {
    static const std::array<ScriptMethod<CICamera>, 0x65> table = [] {
        std::array<ScriptMethod<CICamera>, 0x65> t{};
        t[0x44] = &CICamera::SetFocus;
        t[0x45] = &CICamera::GetFocus;
        t[0x46] = &CICamera::GetNPolygons;
        t[0x47] = &CICamera::SetBackgroundColor;
        t[0x48] = &CICamera::GetSpeed;
        t[0x49] = &CICamera::Render;
        t[0x4A] = &CICamera::SetRender;
        t[0x4B] = &CICamera::ActivateRender;
        t[0x4C] = &CICamera::FindPolygonAt;
        t[0x4D] = &CICamera::EnableFog;
        t[0x4E] = &CICamera::IsFogEnabled;
        t[0x4F] = &CICamera::GetFogColor;
        t[0x50] = &CICamera::SetFogColor;
        t[0x51] = &CICamera::SetFogMaxZPosition;
        t[0x52] = &CICamera::SetFogMinZPosition;
        t[0x53] = &CICamera::GetFogMaxZPosition;
        t[0x54] = &CICamera::GetFogMinZPosition;
        t[0x55] = &CICamera::GetMaxVisibleDistance;
        t[0x56] = &CICamera::SetMaxVisibleDistance;
        t[0x57] = &CICamera::FindObjectAt;
        t[0x58] = &CICamera::SetSpeakerRollOffFactor;
        t[0x59] = &CICamera::GetSpeakerRollOffFactor;
        t[0x5A] = &CICamera::SetSpeakerDopplerFactor;
        t[0x5B] = &CICamera::GetSpeakerDopplerFactor;
        t[0x5C] = &CICamera::SetSpeakerDistanceFactor;
        t[0x5D] = &CICamera::GetSpeakerDistanceFactor;
        t[0x5E] = &CICamera::ShowGrid;
        t[0x5F] = &CICamera::HideGrid;
        t[0x60] = &CICamera::GetScreenX;
        t[0x61] = &CICamera::GetScreenY;
        t[0x62] = &CICamera::GetVisibility;
        t[0x63] = &CICamera::GetMinVisibleDistance;
        t[0x64] = &CICamera::SetMinVisibleDistance;
        return t;
    }();
    return table;
}

CICamera::CICamera(CInterpretor* interpreter, const CClassRecord* record)
    : CILocation(interpreter, record) {}

CICamera::~CICamera() = default;

CILocation* CICamera::Make(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CICamera(&interpreter, record);
}

CIWorld* CICamera::World() const {
    return static_cast<CIWorld*>(worldObject);
}

L3DCamera* CICamera::GetEngineCamera() {
    return static_cast<L3DCamera*>(engineObject);
}

void CICamera::CallMethod(uint16_t methodId) {
    CallPlacedMethod(*this, Methods(), methodId);
}

void CICamera::Destroy(int flag) {
    DetachSpeakers();
    Unbind();
    L3DObject* engine = DetachEngineObject();
    L3DWorld* scene = EngineWorld();
    if (engine != nullptr && scene != nullptr)
        scene->cameras.RemoveCamera(static_cast<L3DCamera*>(engine));
    worldObject = nullptr;
    CILocation::Destroy(flag);
}

int CICamera::ReleaseReferencesTo(CIBaseClassImpl* object) {
    if (object == nullptr) return 0;
    if (surface != nullptr && object == static_cast<CIBaseClassImpl*>(surface)) {
        Unbind();
        return CILocation::ReleaseReferencesTo(object);
    }
    if (worldObject != nullptr && object == worldObject) {
        ForgetWorld();
        MarkDeleted();
        return 1;
    }
    return CILocation::ReleaseReferencesTo(object);
}

void CICamera::SurfaceDestroyed(CISurface* gone) {
    if (gone != surface) return;
    surface = nullptr;
    active = 0;
    if (CIWorld* world = World()) world->RemoveRenderCamera(this);
}

void CICamera::ForgetWorld() {
    Unbind();
    DetachEngineObject();
    worldObject = nullptr;
}

void CICamera::OnEngineObjectDeleted() {
    if (engineObject == nullptr) return;
    Unbind();
    CILocation::OnEngineObjectDeleted();
}

void CICamera::LocationChanged() {
    InvalidateView();
}

void CICamera::Create() {
    CInterpretor& in = *interpreter;
    if (!in.GetArg(0)->IsObjectOfClass(CIWorld::kClassId)) in.RaiseError(50);
    auto* owner = static_cast<CIWorld*>(in.GetArg(0)->GetObject());
    L3DWorld* scene = owner->GetEngineWorld();
    if (scene == nullptr) in.RaiseError(55);
    CISurface* target = CIWorld::SurfaceFromArg(in, 1);
    if (target == nullptr) in.RaiseError(10);
    L3DCamera* engine = scene->CreateCamera(0);
    if (engine == nullptr) in.RaiseError(15);
    worldObject = owner;
    AttachEngineObject(engine);
    BindTo(target);
    lastFrameTime_ = timeGetTime();
}

void CICamera::BindTo(CISurface* target) {
    if (target == nullptr) interpreter->RaiseError(10);
    CIWorld* world = World();
    if (!target->AttachWorld(world)) interpreter->RaiseError(15);
    surface = target;
    target->SetViewCamera(this);
    world->AddRenderCamera(this);
    InvalidateView();
}

void CICamera::Unbind() {
    CISurface* bound = surface;
    surface = nullptr;
    active = 0;
    if (bound != nullptr && bound->camera3D == this) bound->SetViewCamera(nullptr);
    if (CIWorld* world = World()) world->RemoveRenderCamera(this);
}

void CICamera::SetActive(int on) {
    active = on != 0 ? 1 : 0;
    if (active != 0 && surface != nullptr && surface->camera3D != this) {
        surface->SetViewCamera(this);
        InvalidateView();
    }
}

void CICamera::InvalidateView() {
    if (surface == nullptr) return;
    surface->InvalidateAll();
    surface->SetDirty();
}

void CICamera::RenderToSurface() {
    if (active == 0) return;
    CInterpretor& in = *interpreter;
    if (CIWorld* world = World(); world != nullptr && world->GetEngineWorld() != nullptr &&
                                  surface != nullptr && surface->view3D != nullptr &&
                                  GetEngineCamera() != nullptr) {
        LRenderAPICLBK* view = surface->view3D;
        if (view->view != GetEngineCamera()) view->AttachView(GetEngineCamera());
        const bool fullRepaint = in.refreshPending != 0 && in.autoRefresh != 0;
        view->repaintRequested = fullRepaint ? 1 : 0;
        view->RenderFrame();
        if (fullRepaint && view->repaintDone != 0) in.refreshPending = 0;
        world->DeliverCollisions();
    }
    const uint32_t now = timeGetTime();
    if (now != lastFrameTime_) {
        frameRates_[size_t(frameIndex_)] = int32_t(1000 / (now - lastFrameTime_));
        frameIndex_ = (frameIndex_ + 1) % kFrameRing;
    }
    CISpeaker::UpdateAll3D(*this, now, nullptr);
    lastFrameTime_ = now;
}

double CICamera::GetFrameRate() const {
    int64_t sum = 0;
    int32_t count = 0;
    for (int32_t i = 0; i < kFrameRing; ++i) {
        const int32_t rate = frameRates_[size_t((frameIndex_ + i) % kFrameRing)];
        if (rate == 0) continue;
        sum += rate;
        ++count;
    }
    return count != 0 ? double(sum) / count : 0.0;
}

// ---- Methods ---------------------------------------------------------------------------

void CICamera::SetFocus() {
    if (GetEngineCamera() == nullptr) return;
    const auto angle = float(interpreter->GetArgDouble(0));
    if (angle != GetEngineCamera()->fieldOfView) GetEngineCamera()->SetFieldOfView(angle);
    InvalidateView();
}

void CICamera::GetFocus() {
    interpreter->GetResultSlot()->SetFloat(
        GetEngineCamera() != nullptr ? GetEngineCamera()->fieldOfView : 0.0);
}

void CICamera::GetNPolygons() {
    interpreter->GetResultSlot()->SetInt(
        GetEngineCamera() != nullptr ? int32_t(GetEngineCamera()->polygonsDrawn) : 0);
}

void CICamera::SetBackgroundColor() {
    if (surface == nullptr || surface->view3D == nullptr) return;
    surface->view3D->background = SwapRedBlue(uint32_t(interpreter->GetArgInt(0)) & 0xFFFFFF);
    InvalidateView();
}

void CICamera::GetSpeed() {
    interpreter->GetResultSlot()->SetFloat(GetFrameRate());
}

void CICamera::Render() {
    if (active == 0 || surface == nullptr) return;
    surface->Refresh();
}

void CICamera::SetRender() {
    Unbind();
    const CValue* value = interpreter->GetArg(0);
    if (value->GetType() != kValueObject) return;
    if (worldObject == nullptr || engineObject == nullptr) interpreter->RaiseError(55);
    // Only a Window or a Surface gives a surface here: anything else is none.
    if (!value->IsObjectOfClass(CISurface::kClassId) && !value->IsObjectOfClass(CIWindow::kClassId))
        interpreter->RaiseError(10);
    BindTo(CIWorld::SurfaceFromArg(*interpreter, 0));
}

void CICamera::ActivateRender() {
    int32_t flag = 1;
    if (!interpreter->IsArgDefault(0)) flag = interpreter->GetArgInt(0);
    if (flag != 0 && flag != 1) interpreter->RaiseError(115);
    if (CIWorld* world = World()) {
        world->ActivateCamera(this);
        return;
    }
    SetActive(flag);
}

void CICamera::EnableFog() {
    int32_t flag = 1;
    if (!interpreter->IsArgDefault(0)) flag = interpreter->GetArgInt(0);
    if (flag != 0 && flag != 1) interpreter->RaiseError(115);
    if (GetEngineCamera() == nullptr) return;
    GetEngineCamera()->EnableFog(flag);
    InvalidateView();
}

void CICamera::IsFogEnabled() {
    interpreter->GetResultSlot()->SetInt(
        GetEngineCamera() != nullptr && GetEngineCamera()->fogMode != 0 ? 1 : 0);
}

void CICamera::GetFogColor() {
    if (GetEngineCamera() == nullptr) return interpreter->GetResultSlot()->SetInt(0);
    const uint8_t* c = GetEngineCamera()->fogColor;
    interpreter->GetResultSlot()->SetInt(
        int32_t(uint32_t(c[0]) << 16 | uint32_t(c[1]) << 8 | c[2]));
}

void CICamera::SetFogColor() {
    if (GetEngineCamera() == nullptr) return;
    const uint32_t colour =
        interpreter->IsArgDefault(0) ? 0 : uint32_t(interpreter->GetArgInt(0)) & 0xFFFFFF;
    GetEngineCamera()->SetFogColor(SwapRedBlue(colour));
    GetEngineCamera()->SetPositionChanged(1);
    InvalidateView();
}

float CICamera::FogFraction(uint32_t i) {
    const auto far = float(GetEngineCamera()->farDistance);
    if (interpreter->IsArgDefault(i)) return 1.0f;
    return float(interpreter->GetArgDouble(i)) / far;
}

void CICamera::SetFogMaxZPosition() {
    if (GetEngineCamera() == nullptr) return;
    float start = 0, end = 0;
    GetEngineCamera()->GetFogRange(&start, &end);
    GetEngineCamera()->SetFogRange(start, FogFraction(0));
    GetEngineCamera()->SetPositionChanged(1);
    InvalidateView();
}

void CICamera::SetFogMinZPosition() {
    if (GetEngineCamera() == nullptr) return;
    float start = 0, end = 0;
    GetEngineCamera()->GetFogRange(&start, &end);
    GetEngineCamera()->SetFogRange(FogFraction(0), end);
    GetEngineCamera()->SetPositionChanged(1);
    InvalidateView();
}

void CICamera::GetFogMaxZPosition() {
    if (GetEngineCamera() == nullptr) return interpreter->GetResultSlot()->SetFloat(0.0);
    float start = 0, end = 0;
    GetEngineCamera()->GetFogRange(&start, &end);
    interpreter->GetResultSlot()->SetFloat(double(end) * GetEngineCamera()->farDistance);
}

void CICamera::GetFogMinZPosition() {
    if (GetEngineCamera() == nullptr) return interpreter->GetResultSlot()->SetFloat(0.0);
    float start = 0, end = 0;
    GetEngineCamera()->GetFogRange(&start, &end);
    interpreter->GetResultSlot()->SetFloat(double(start) * GetEngineCamera()->farDistance);
}

void CICamera::GetMaxVisibleDistance() {
    interpreter->GetResultSlot()->SetInt(
        GetEngineCamera() != nullptr ? GetEngineCamera()->farDistance : 0);
}

void CICamera::SetMaxVisibleDistance() {
    if (GetEngineCamera() == nullptr) return;
    GetEngineCamera()->SetMaxVisibleDistance(
        interpreter->IsArgDefault(0) ? 65536 : interpreter->GetArgInt(0));
    InvalidateView();
}

void CICamera::GetMinVisibleDistance() {
    interpreter->GetResultSlot()->SetInt(
        GetEngineCamera() != nullptr ? GetEngineCamera()->nearDistance : 0);
}

void CICamera::SetMinVisibleDistance() {
    if (GetEngineCamera() == nullptr) return;
    GetEngineCamera()->SetMinVisibleDistance(
        interpreter->IsArgDefault(0) ? 20 : interpreter->GetArgInt(0));
    InvalidateView();
}

void CICamera::ReadScreenPoint(float* point) {
    for (uint32_t i = 0; i < 2; ++i) {
        const CValue* value = interpreter->GetArg(i);
        if (!IsNumber(*value)) interpreter->RaiseError(115);
        point[i] = float(value->GetDouble());
    }
}

void CICamera::FindObjectAt() {
    float point[2];
    ReadScreenPoint(point);
    int32_t kinds = kAllKinds;
    if (!interpreter->IsArgDefault(2)) kinds = interpreter->GetArgInt(2);
    if ((kinds & kAllKinds) == 0) interpreter->RaiseError(109);
    L3DWorld* engine = EngineWorld();
    L3DObject* found = engine != nullptr && GetEngineCamera() != nullptr
                           ? engine->FindObjectAt(*GetEngineCamera(), point, uint32_t(kinds))
                           : nullptr;
    CIBaseClassImpl* wrapper =
        found != nullptr ? GetScriptObject(*interpreter, worldObject, found) : nullptr;
    if (wrapper != nullptr)
        interpreter->GetResultSlot()->SetObject(wrapper, 0);
    else
        interpreter->GetResultSlot()->SetInt(0);
}

void CICamera::ShowGrid() {
    if (surface == nullptr || surface->view3D == nullptr) return;
    uint32_t axes = 0;
    for (int32_t i = 0; i < interpreter->GetArgCount(); ++i) {
        const int32_t axis = interpreter->GetArgInt(uint32_t(i));
        if (axis == 2 || axis == 4 || axis == 8) axes |= uint32_t(axis);
    }
    if (axes == 0) return;
    surface->view3D->ShowGrid(axes);
    InvalidateView();
}

void CICamera::HideGrid() {
    if (surface == nullptr || surface->view3D == nullptr) return;
    uint32_t axes = 0;
    for (int32_t i = 0; i < interpreter->GetArgCount(); ++i) {
        const int32_t axis = interpreter->GetArgInt(uint32_t(i));
        if (axis == 2 || axis == 4 || axis == 8) axes |= uint32_t(axis);
    }
    surface->view3D->HideGrid(interpreter->GetArgCount() == 0 ? kGridAxes : axes);
    InvalidateView();
}

void CICamera::FindPolygonAt() {
    if (IsArgMissing(*interpreter, 0) || IsArgMissing(*interpreter, 1)) interpreter->RaiseError(21);
    const float point[2] = {float(NumberOf(*interpreter, *interpreter->GetArg(0))),
                            float(NumberOf(*interpreter, *interpreter->GetArg(1)))};
    L3DWorld* engine = EngineWorld();
    LPolygon* found = engine != nullptr && GetEngineCamera() != nullptr
                          ? engine->FindPolygonAt(*GetEngineCamera(), point)
                          : nullptr;
    CIPolygon::SetResult(*interpreter, worldObject, found);
}

bool CICamera::ProjectArgs(float* x, float* y) {
    float position[3];
    const CValue* first = interpreter->GetArg(0);
    if (first->IsObjectOfClass(CIPoint3D::kClassId)) {
        const L3DPoint* source = static_cast<CIPoint3D*>(first->GetObject())->GetEnginePoint();
        if (source == nullptr) interpreter->RaiseError(14);
        std::copy_n(source->model, 3, position);
    } else {
        for (uint32_t i = 0; i < 3; ++i) {
            const CValue* value = interpreter->GetArg(i);
            if (!IsNumber(*value)) interpreter->RaiseError(14);
            position[i] = float(value->GetDouble());
        }
    }
    if (GetEngineCamera() == nullptr) return false;
    L3DPoint point;
    for (int i = 0; i < 3; ++i)
        point.world[i] = position[i];
    point.Project(*GetEngineCamera());
    *x = point.screenX;
    *y = point.screenY;
    return true;
}

void CICamera::GetScreenX() {
    float x = 0, y = 0;
    const bool projected = ProjectArgs(&x, &y);
    interpreter->GetResultSlot()->SetInt(projected ? TruncateToInt32(x) : 0);
}

void CICamera::GetScreenY() {
    float x = 0, y = 0;
    const bool projected = ProjectArgs(&x, &y);
    interpreter->GetResultSlot()->SetInt(projected ? TruncateToInt32(y) : 0);
}

void CICamera::GetVisibility() {
    const CValue* value = interpreter->GetArg(0);
    if (value->IsObjectOfClass(CIPoint3D::kClassId)) {
        const L3DPoint* source = static_cast<CIPoint3D*>(value->GetObject())->GetEnginePoint();
        if (source == nullptr) interpreter->RaiseError(109);
        int32_t seen = 3;
        if (GetEngineCamera() != nullptr) {
            L3DPoint point;
            std::copy_n(source->model, 3, point.world);
            point.Project(*GetEngineCamera());
            if (point.visible != 0) seen = 1;
        }
        return interpreter->GetResultSlot()->SetInt(seen);
    }
    const int32_t classId = value->GetType() == kValueObject ? value->GetObjectClassId() : -1;
    const bool placed = classId == int32_t(kCameraClassId) || classId == int32_t(kObjectClassId) ||
                        classId == int32_t(kLightClassId) || classId == int32_t(kPositionClassId) ||
                        classId == int32_t(kSpeakerClassId) || classId == int32_t(kBlobClassId);
    L3DObject* object =
        placed ? static_cast<CILocation*>(value->GetObject())->engineObject : nullptr;
    if (object == nullptr) interpreter->RaiseError(109);
    int32_t result = 4;
    if (GetEngineCamera() == nullptr) {
        result = 4;
    } else if (object->IsVisible() == 0) {
        result = 3;
    } else {
        switch (GetEngineCamera()->GetVisibility(object->position, object->GetBoundingRadius())) {
        case L3DCamera::kVisible:
            result = 1;
            break;
        case L3DCamera::kClipped:
            result = 2;
            break;
        case L3DCamera::kInvisible:
            result = 3;
            break;
        default:
            break;
        }
    }
    interpreter->GetResultSlot()->SetInt(result);
}

const ScriptClassInfo* GetCameraClassInfo() {
    return &kCameraClass;
}
