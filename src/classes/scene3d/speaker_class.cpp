#include "classes/scene3d/speaker_class.h"

#include <algorithm>
#include <new>
#include <string>

#include "audio/manager/sound_channel.h"
#include "audio/manager/sound_device.h"
#include "audio/manager/sound_manager.h"
#include "classes/scene3d/camera_class.h"
#include "classes/scene3d/location_method_table.h"
#include "engine3d/render/directx_version.h"
#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/zones/sound.h"
#include "foundation/streams/in_stream.h"
#include "platform/kernel/clock.h"
#include "script/interpreter/interpretor.h"
#include "script/project/element.h"
#include "script/project/project_file.h"
#include "script/project/project_format.h"

namespace {

using S = CISpeaker;

enum : uint16_t {
    kSetDistanceMax = kFirstOwnLocationMethod,
    kGetDistanceMax,
    kPlaySound,
    kStopSound,
    kPauseSound,
    kResumeSound,
    kGetVolume,
    kSetLoop,
    kIsSoundLooping,
    kIsSoundPlaying,
    kIsSoundPaused,
    kIsSoundCompleted,
    kGetLoopCount,
    kGetFrequency,
    kSetFrequency,
    kSetSpeakerConeAngle,
    kSetConeOutsideVolume,
    kGetDuration,
    kSetPos,
    kGetPos,
};

const MethodNameRow kNameTable[] = {
    {S::kClassId, "Speaker", 0, 0},
    ZORV_LOCATION_METHOD_ROWS,
    {kSetDistanceMax, "SetDistanceMax", 0, 0},
    {kGetDistanceMax, "GetDistanceMax", 0, 0},
    {kPlaySound, "PlaySound", 0, 0},
    {kStopSound, "StopSound", 0, 0},
    {kPauseSound, "PauseSound", 0, 0},
    {kResumeSound, "ResumeSound", 0, 0},
    {kGetVolume, "GetVolume", 0, 0},
    {kSetLoop, "SetLoop", 0, 0},
    {kIsSoundLooping, "IsSoundLooping", 0, 0},
    {kIsSoundPlaying, "IsSoundPlaying", 0, 0},
    {kIsSoundPaused, "IsSoundPaused", 0, 0},
    {kIsSoundCompleted, "IsSoundCompleted", 0, 0},
    {kGetLoopCount, "GetLoopCount", 0, 0},
    {kGetFrequency, "GetFrequency", 0, 0},
    {kSetFrequency, "SetFrequency", 0, 0},
    {kSetSpeakerConeAngle, "SetSpeakerConeAngle", 0, 0},
    {kSetConeOutsideVolume, "SetConeOutsideVolume", 0, 0},
    {kGetDuration, "GetDuration", 0, 0},
    {kSetPos, "SetPos", 0, 0},
    {kGetPos, "GetPos", 0, 0},
    ZORV_COLLISION_TYPE_ROWS(S::kFirstClassLevelId + 1),
    {0, nullptr, 0, 0},
};

const ClassLevelHandler kConstants[] = {ZORV_COLLISION_TYPE_HANDLERS};

CIBaseClassImpl* NewSpeaker(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CISpeaker(&interpreter, record);
}

const ScriptClassInfo kClassInfo = {kNameTable, NewSpeaker, S::kFirstClassLevelId, kConstants, 3,
                                    nullptr,    nullptr};

// The World's engine sound settings a Speaker plays by: script volumes and pans.
constexpr float kVolumeAtListener = 1000;
constexpr float kPanRange = 1000;
// The World's sound range, and a 3D channel's maximum distance, once a sound is given.
constexpr float kDefaultRange = 100;
// The longest engine sound name a loaded world's Speaker opens its sound by.
constexpr size_t kMaxSoundName = 259;

SoundDevice* CreateManagerListener(HWND window) {
    SoundDevice* device = SoundMgr_Instance().CreateDevice(1, window);
    if (device != nullptr && device->Start(window) == 0) {
        SoundMgr_Instance().DestroyDevice(device);
        return nullptr;
    }
    return device;
}

void DestroyManagerListener(SoundDevice* device) {
    SoundMgr_Instance().DestroyDevice(device);
}

const SpeakerSoundServices kManagerServices = {CreateManagerListener, DestroyManagerListener};
const SpeakerSoundServices* gServices = &kManagerServices;

// Units per second from the distance covered since `then`; two updates in the same
// millisecond (or a clock that went back) keep the velocity there was.
void UpdateVelocity(const float* position, const std::array<float, 3>& last, uint32_t now,
                    uint32_t then, std::array<float, 3>& velocity) {
    const auto elapsed = int32_t(now - then);
    if (elapsed <= 0) return;
    for (size_t k = 0; k < 3; ++k)
        velocity[k] = float((double(position[k]) - last[k]) * 1000.0 / elapsed);
}

bool SamePlace(const float* position, const std::array<float, 3>& last) {
    return position[0] == last[0] && position[1] == last[1] && position[2] == last[2];
}

// The axes of a location's rotation, in world coordinates: its forward axis and its up.
void Axes(const L3DLocation& location, float* front, float* top) {
    const float* m = location.localMatrix;
    float direction[4];
    location.GetDirectionVector(m, direction);
    std::copy_n(direction, 3, front);
    if (top != nullptr) {
        top[0] = m[1];
        top[1] = m[5];
        top[2] = m[9];
    }
}

// The listener follows the camera: its place, velocity and orientation when it hears in
// 3D, else the engine's volume and pan of every sound of the world.
void UpdateListener(CICamera& camera, uint32_t now) {
    SoundDevice* listener = camera.listener;
    L3DObject* engine = camera.engineObject;
    if (listener == nullptr || engine == nullptr) return;
    const float* p = engine->position;
    const bool moved = !SamePlace(p, camera.lastMovePosition);
    if (listener->HasListener3D() != 0) {
        UpdateVelocity(p, camera.lastMovePosition, now, camera.lastMoveTime,
                       camera.listenerVelocity);
        float front[3], top[3];
        Axes(*engine, front, top);
        const std::array<float, 3>& v = camera.listenerVelocity;
        listener->SetListenerVelocity(v[0], v[1], v[2]);
        listener->SetListenerPosition(p[0], p[1], p[2]);
        listener->SetListenerOrientation(front[0], front[1], front[2], top[0], top[1], top[2]);
    } else if (L3DWorld* world = camera.EngineWorld(); world != nullptr) {
        world->sounds.UpdateAll(*static_cast<L3DCamera*>(engine));
    }
    camera.lastMoveTime = now;
    std::copy_n(p, 3, camera.lastMovePosition.data());
    if (moved) camera.LocationChanged();
}

} // namespace

const ScriptMethod<CISpeaker> CISpeaker::kMethods[0x58] = {
    nullptr,
    ZORV_LOCATION_METHODS,
    &S::SetDistanceMax,
    &S::GetDistanceMax,
    &S::PlaySound,
    &S::StopSound,
    &S::PauseSound,
    &S::ResumeSound,
    &S::GetVolume,
    &S::SetLoop,
    &S::IsSoundLooping,
    &S::IsSoundPlaying,
    &S::IsSoundPaused,
    &S::IsSoundCompleted,
    &S::GetLoopCount,
    &S::GetFrequency,
    &S::SetFrequency,
    &S::SetSpeakerConeAngle,
    &S::SetConeOutsideVolume,
    &S::GetDuration,
    &S::SetPos,
    &S::GetPos,
};

const ScriptClassInfo* CISpeaker::GetClassInfo() {
    return &kClassInfo;
}

void CISpeaker::SetSoundServices(const SpeakerSoundServices* services) {
    gServices = services != nullptr ? services : &kManagerServices;
}

const SpeakerSoundServices& CISpeaker::SoundServices() {
    return *gServices;
}

CILocation* CISpeaker::MakeWrapper(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CISpeaker(&interpreter, record);
}

CISpeaker::CISpeaker(CInterpretor* interpreter, const CClassRecord* record)
    : CILocation(interpreter, record) {}

CISpeaker::~CISpeaker() {
    ReleaseSound();
    ReleaseCamera();
}

void CISpeaker::CallMethod(uint16_t methodId) {
    CallMethodFromTable(*this, kMethods, methodId);
}

L3DSound* CISpeaker::Sound() const {
    return static_cast<L3DSound*>(engineObject);
}

void CISpeaker::LocationChanged() {
    RefreshWorldViews();
}

// ---- Making -----------------------------------------------------------------------------

namespace {

// The Camera object of the World's first engine camera, made on first use; null when the
// World has none.
CICamera* FirstCameraOf(CInterpretor& interpreter, CIBaseClassImpl* world) {
    L3DWorld* scene = CILocation::EngineWorldOf(world);
    LListNode* first = scene != nullptr ? scene->cameras.list.GetHead() : nullptr;
    if (first == nullptr) return nullptr;
    CILocation* camera =
        CILocation::GetScriptObject(interpreter, world, static_cast<L3DObject*>(first->item));
    return camera != nullptr && camera->classRecord->classIndex == CICamera::kClassId
               ? static_cast<CICamera*>(camera)
               : nullptr;
}

} // namespace

void CISpeaker::Create() {
    CInterpretor& in = *interpreter;
    const CValue* target = in.GetArg(1);
    CICamera* camera = nullptr;
    if (target->IsObjectOfClass(kCameraClassId)) {
        camera = static_cast<CICamera*>(target->GetObject());
    } else if (target->IsObjectOfClass(kWorldClassId)) {
        camera = FirstCameraOf(in, target->GetObject());
        if (camera == nullptr) in.RaiseError(80);
    } else {
        in.RaiseError(75);
    }
    L3DLocation place;
    if (in.GetArgCount() > 2) ReadPlace(place, 2, true, false);
    Attach(camera, place, in.GetArg(0), true, nullptr);
}

void CISpeaker::Wrapped() {
    L3DSound* sound = Sound();
    CICamera* camera = FirstCameraOf(*interpreter, worldObject);
    if (camera == nullptr) {
        // Nothing of the half-made wrapper may stay reachable from the engine sound.
        DetachEngineObject();
        worldObject = nullptr;
        MarkDeleted();
        interpreter->RaiseError(80);
    }
    const std::string name = sound->SoundName().substr(0, kMaxSoundName);
    CValue value(interpreter, name.c_str(), 0);
    L3DLocation place;
    place.SetPositionFrom(*sound);
    Attach(camera, place, &value, false, sound);
}

void CISpeaker::Attach(CICamera* camera, const L3DLocation& place, const CValue* sound, bool strict,
                       L3DSound* existing) {
    CInterpretor& in = *interpreter;
    camera_ = camera;
    holdsListener_ = camera->AcquireListener();
    if (!holdsListener_ && strict) in.RaiseError(77);
    camera->AddSpeaker(this);

    std::string name;
    bool given = false;
    if (sound->GetType() == kValueString) {
        name = sound->GetStringSafe();
        given = true;
        OpenByName(name.c_str(), strict);
    } else if (sound->GetType() == kValueInt || sound->GetType() == kValueDouble) {
        given = true;
        CElement* element =
            in.projectFile != nullptr
                ? in.projectFile->FindElementByIndex(sound->GetInt(), project_format::kSoundBank, 1)
                : nullptr;
        if (element != nullptr) name = element->GetNameText();
        OpenByIndex(sound->GetInt(), strict);
    } else if (strict) {
        in.RaiseError(14);
    }

    worldObject = camera->worldObject;
    L3DWorld* world = EngineWorld();
    if (world == nullptr) in.RaiseError(15);
    world->sounds.maxVolume = kVolumeAtListener;
    world->sounds.minVolume = 0;
    world->sounds.panRight = kPanRange;
    world->sounds.panLeft = -kPanRange;
    L3DSound* engine = existing;
    if (engine == nullptr) {
        engine = world->sounds.CreateSound(name.c_str(), 0);
        if (engine == nullptr) in.RaiseError(15);
        engine->SetCLBKObject(&link);
        engine->SetAnglesAndPosition(0, 0, 0, place.position[0], place.position[1],
                                     place.position[2]);
        engineObject = engine;
        location = engine;
        LocationChanged();
        Init(engine, engine, 1, nullptr);
    }
    lastUpdate_ = timeGetTime();
    std::copy_n(engine->position, 3, lastPosition_.data());
    if (given) {
        world->sounds.range = kDefaultRange;
        float minimum = 0, maximum = 0;
        if (channel_ != nullptr && channel_->GetMinMaxDistance(&minimum, &maximum) != 0)
            channel_->SetMinMaxDistance(minimum, kDefaultRange);
    }
}

bool CISpeaker::OpenByName(const char* name, bool strict) {
    CInterpretor& in = *interpreter;
    CProjectFile* project = in.projectFile;
    SoundDevice* device = nullptr;
    int want3D = 0;
    if (CElement* element = project != nullptr
                                ? project->ResolveElement(name, project_format::kSoundBank, 1)
                                : nullptr) {
        stream_.reset(element->OpenStream(1));
        device = camera_->listener;
        want3D = in.sound3DEnabled != 0 ? 1 : 0;
    } else if (CElement* binary = project != nullptr ? project->ResolveElement(
                                                           name, project_format::kBinaryBank, 1)
                                                     : nullptr) {
        stream_.reset(binary->OpenStream(1));
        device = SoundMgr_Instance().FindDevice(in.soundOutput);
    }
    if (stream_ != nullptr && device != nullptr)
        channel_ = device->CreateChannel(stream_.get(), want3D);
    if (channel_ == nullptr && strict) in.RaiseError(14);
    return channel_ != nullptr;
}

bool CISpeaker::OpenByIndex(int32_t index, bool strict) {
    CInterpretor& in = *interpreter;
    CProjectFile* project = in.projectFile;
    if (project == nullptr || project->FindBank(project_format::kSoundBank) == nullptr) {
        if (strict) in.RaiseError(14);
        return false;
    }
    CElement* element = project->FindElementByIndex(index, project_format::kSoundBank, 1);
    if (element == nullptr) {
        if (strict) in.RaiseError(33);
        return false;
    }
    stream_.reset(element->OpenStream(1));
    if (stream_ != nullptr && camera_->listener != nullptr)
        channel_ = camera_->listener->CreateChannel(stream_.get(), in.sound3DEnabled != 0 ? 1 : 0);
    if (channel_ == nullptr && strict) in.RaiseError(14);
    return channel_ != nullptr;
}

// ---- Letting go -------------------------------------------------------------------------

void CISpeaker::ReleaseSound() {
    if (channel_ != nullptr) channel_->Release();
    channel_ = nullptr;
    stream_.reset();
}

void CISpeaker::ReleaseCamera() {
    CICamera* camera = camera_;
    camera_ = nullptr;
    if (camera == nullptr) return;
    camera->RemoveSpeaker(this);
    if (holdsListener_) camera->ReleaseListener();
    holdsListener_ = false;
}

void CISpeaker::Destroy(int flag) {
    auto* sound = static_cast<L3DSound*>(DetachEngineObject());
    if (sound != nullptr && worldObject != nullptr && flag == 0) {
        if (L3DWorld* world = EngineWorld()) {
            world->sounds.RemoveSound(sound, 1);
            RefreshWorldViews();
        }
    }
    // The channel lives on the camera's device: it goes before the listener does.
    ReleaseSound();
    ReleaseCamera();
    CILocation::Destroy(flag);
}

void CISpeaker::LeaveCamera() {
    DetachEngineObject();
    ReleaseSound();
    ReleaseCamera();
    MarkDeleted();
}

int CISpeaker::ReleaseReferencesTo(CIBaseClassImpl* object) {
    if (object == nullptr) return 0;
    if (camera_ != nullptr && object == static_cast<CIBaseClassImpl*>(camera_)) {
        LeaveCamera();
        return 1;
    }
    if (worldObject != nullptr && object == worldObject) {
        worldObject = nullptr;
        DetachEngineObject();
        MarkDeleted();
        return 1;
    }
    return CILocation::ReleaseReferencesTo(object);
}

// ---- Following the scene ----------------------------------------------------------------

void CISpeaker::UpdateAll3D(CICamera& camera, uint32_t now, SoundChannel* channel) {
    UpdateListener(camera, now);
    // A Speaker's update may repaint, never add or remove Speakers; a copy still guards
    // the walk.
    const std::vector<CISpeaker*> speakers = camera.speakers;
    for (CISpeaker* speaker : speakers) {
        if (speaker->alive == 0) continue;
        if (channel == nullptr || speaker->channel_ == channel) speaker->Update(now);
    }
}

void CISpeaker::Update(uint32_t now) {
    L3DSound* sound = Sound();
    if (channel_ == nullptr || sound == nullptr) return;
    if (channel_->Has3D() == 0) {
        // A listener that hears in 3D leaves the engine's volume and pan to us.
        if (camera_ != nullptr && camera_->engineObject != nullptr)
            sound->ComputeVolumeAndPan(*static_cast<L3DCamera*>(camera_->engineObject));
        channel_->SetVolume(int32_t(sound->volume));
        channel_->SetPan(int32_t(sound->pan));
        return;
    }
    const float* p = sound->position;
    const bool moved = !SamePlace(p, lastPosition_);
    UpdateVelocity(p, lastPosition_, now, lastUpdate_, velocity_);
    lastUpdate_ = now;
    std::copy_n(p, 3, lastPosition_.data());
    float cone[3];
    Axes(*sound, cone, nullptr);
    channel_->SetVelocity(velocity_[0], velocity_[1], velocity_[2]);
    channel_->SetPosition3D(p[0], p[1], p[2]);
    channel_->SetConeOrientation(cone[0], cone[1], cone[2]);
    if (moved) LocationChanged();
}

void CISpeaker::Update3DSoundEnabled(CInterpretor& interpreter) {
    uint32_t level = 0;
    CheckDirectXVersion(&level, nullptr);
    interpreter.sound3DEnabled = interpreter.sound3DRequested != 0 && level >= 0x600 ? 1 : 0;
}

// ---- Methods ----------------------------------------------------------------------------

int32_t CISpeaker::IntArg(uint32_t i, int32_t otherwise) {
    CInterpretor& in = *interpreter;
    if (int32_t(i) >= in.GetArgCount() || in.IsArgDefault(i)) return otherwise;
    return in.GetArgInt(i);
}

void CISpeaker::SetIntResult(int32_t value) {
    interpreter->GetResultSlot()->SetInt(value);
}

void CISpeaker::RequireActiveCamera() {
    if (camera_ == nullptr || camera_->active == 0) interpreter->RaiseError(76);
}

void CISpeaker::SetDistanceMax() {
    if (interpreter->IsArgDefault(0)) return;
    const auto distance = float(interpreter->GetArgDouble(0));
    if (L3DWorld* world = EngineWorld()) world->sounds.range = distance;
    float minimum = 0, maximum = 0;
    if (channel_ != nullptr && channel_->GetMinMaxDistance(&minimum, &maximum) != 0)
        channel_->SetMinMaxDistance(minimum, distance);
}

void CISpeaker::GetDistanceMax() {
    float minimum = 0, maximum = 0;
    if (channel_ != nullptr && channel_->GetMinMaxDistance(&minimum, &maximum) != 0)
        return interpreter->GetResultSlot()->SetFloat(maximum);
    L3DWorld* world = EngineWorld();
    interpreter->GetResultSlot()->SetFloat(world != nullptr ? world->sounds.range : 0.0);
}

void CISpeaker::PlaySound() {
    RequireActiveCamera();
    UpdateAll3D(*camera_, timeGetTime(), channel_);
    if (channel_ != nullptr) channel_->Play();
}

void CISpeaker::ResumeSound() {
    RequireActiveCamera();
    UpdateAll3D(*camera_, timeGetTime(), channel_);
    if (channel_ != nullptr) channel_->Resume();
}

void CISpeaker::StopSound() {
    if (channel_ != nullptr) channel_->Stop(IntArg(0, 1), 1);
}

void CISpeaker::PauseSound() {
    if (channel_ != nullptr) channel_->Pause();
}

void CISpeaker::GetVolume() {
    SetIntResult(channel_ != nullptr ? channel_->GetVolume() : 1000);
}

void CISpeaker::SetLoop() {
    if (channel_ != nullptr) channel_->SetLoop(IntArg(0, 1), IntArg(1, 0));
}

void CISpeaker::IsSoundLooping() {
    SetIntResult(channel_ != nullptr ? channel_->IsLooping() : 0);
}

void CISpeaker::IsSoundPlaying() {
    SetIntResult(channel_ != nullptr ? channel_->IsPlaying() : 0);
}

void CISpeaker::IsSoundPaused() {
    SetIntResult(channel_ != nullptr ? channel_->IsPaused() : 0);
}

void CISpeaker::IsSoundCompleted() {
    SetIntResult(channel_ != nullptr ? channel_->IsCompleted() : 0);
}

void CISpeaker::GetLoopCount() {
    SetIntResult(channel_ != nullptr ? channel_->GetLoopCount() : 0);
}

void CISpeaker::GetFrequency() {
    SetIntResult(channel_ != nullptr ? channel_->GetFrequency() : 0);
}

void CISpeaker::SetFrequency() {
    if (channel_ != nullptr) channel_->SetFrequency(IntArg(0, 0));
}

void CISpeaker::SetSpeakerConeAngle() {
    // Compared and limited as unsigned numbers: a negative angle counts as the largest.
    auto inside = uint32_t(IntArg(0, 360));
    auto outside = uint32_t(IntArg(1, 360));
    if (inside > outside) std::swap(inside, outside);
    inside = std::min(inside, 360u);
    outside = std::min(outside, 360u);
    if (channel_ != nullptr) channel_->SetConeAngles(int32_t(inside), int32_t(outside));
}

void CISpeaker::SetConeOutsideVolume() {
    const int32_t volume = interpreter->GetArgCount() == 0 ? 1000 : interpreter->GetArgInt(0);
    if (channel_ != nullptr) channel_->SetConeOutsideVolume(volume);
}

void CISpeaker::GetDuration() {
    SetIntResult(channel_ != nullptr ? channel_->GetDuration() : 0);
}

void CISpeaker::SetPos() {
    if (interpreter->GetArgCount() != 1) interpreter->RaiseError(21);
    if (channel_ != nullptr) channel_->SetPosition(interpreter->GetArgInt(0));
}

void CISpeaker::GetPos() {
    SetIntResult(channel_ != nullptr ? channel_->GetPosition() : 0);
}
