#include "classes/media/video_class.h"

#include <algorithm>
#include <new>

#include "audio/manager/sound_device.h"
#include "audio/manager/sound_manager.h"
#include "classes/media/sound_class.h"
#include "classes/media/video_player.h"
#include "classes/window/controls/control_table.h"
#include "classes/window/window_class.h"
#include "classes/window/window_surface.h"
#include "graphics2d/drawing/surface_handle.h"
#include "platform/kernel/clock.h"
#include "script/interpreter/interpretor.h"

namespace {

const VideoTextureHook* textureHook = nullptr;

struct VideoMethod {
    const char* name;
    ScriptMethod<CIVideo> method;
};
constexpr VideoMethod kOwnMethods[] = {
    {"Play", &CIVideo::Play},
    {"Stop", &CIVideo::Stop},
    {"Pause", &CIVideo::Pause},
    {"Reverse", &CIVideo::Reverse},
    {"SetTime", &CIVideo::SetTime},
    {"SetFrame", &CIVideo::SetFrameMethod},
    {"Rewind", &CIVideo::Rewind},
    {"SetZoom", &CIVideo::SetZoom},
    {"GetTime", &CIVideo::GetTime},
    {"GetFrame", &CIVideo::GetFrameMethod},
    {"Resume", &CIVideo::Resume},
    {"GetZoom", &CIVideo::GetZoom},
    {"IsPlaying", &CIVideo::IsPlaying},
    {"IsPaused", &CIVideo::IsPausedMethod},
    {"IsStopped", &CIVideo::IsStopped},
    {"GetNFrames", &CIVideo::GetNFrames},
    {"GetDuration", &CIVideo::GetDuration},
    {"IsError", &CIVideo::IsError},
};
constexpr size_t kOwnMethodCount = sizeof kOwnMethods / sizeof kOwnMethods[0];
static_assert(kOwnMethodCount == 0x37 - kSharedControlMethodCount);

// The Video has only the shared constants: a name left null takes no row.
constexpr const char* kOwnConstants[] = {nullptr};

constexpr auto kNameTable = ControlNameTable({CIVideo::kClassId, "Video", 0, 0}, kOwnMethods,
                                             CIVideo::kFirstClassLevelId + 1, kOwnConstants);

CIBaseClassImpl* NewVideo(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CIVideo(&interpreter, record);
}

const ScriptClassInfo kVideoClass = {kNameTable.data(),
                                     &NewVideo,
                                     CIVideo::kFirstClassLevelId,
                                     kSharedControlConstants.data(),
                                     uint32_t(kSharedControlConstants.size()),
                                     nullptr,
                                     nullptr};

bool IsNumber(const CValue* value) {
    return value->GetType() == kValueInt || value->GetType() == kValueDouble;
}

} // namespace

void SetVideoTextureHook(const VideoTextureHook* hook) {
    textureHook = hook;
}

const ScriptClassInfo* GetVideoClassInfo() {
    return &kVideoClass;
}

CIVideo::CIVideo(CInterpretor* interpreter, const CClassRecord* record)
    : CIChildWindow(interpreter, record) {
    SetCreateParams(10, 10, kNotGiven, kNotGiven, WS_VISIBLE, 0);
}

CIVideo::~CIVideo() {
    delete player_;
}

void CIVideo::CallMethod(uint16_t methodId) {
    CallControlMethod(*this, kOwnMethods, methodId);
}

void CIVideo::ReleaseTarget() {
    if (targetSurface_ != nullptr) --targetSurface_->useCount;
    if (targetTexture_ != nullptr) --targetTexture_->useCount;
    targetSurface_ = targetTexture_ = nullptr;
}

void CIVideo::Destroy(int flag) {
    delete player_;
    player_ = nullptr;
    // At the end of the run the target may have gone before.
    if (interpreter->resetting == 0) ReleaseTarget();
    targetSurface_ = targetTexture_ = nullptr;
    CIChildWindow::Destroy(flag);
}

int CIVideo::ReleaseReferencesTo(CIBaseClassImpl* object) {
    if (object != nullptr && (object == targetSurface_ || object == targetTexture_)) {
        delete player_;
        player_ = nullptr;
        ReleaseTarget();
        MarkDeleted();
        return 1;
    }
    return CIChildWindow::ReleaseReferencesTo(object);
}

void CIVideo::Create() {
    CInterpretor& in = *interpreter;
    // The creation flags and the target are taken here; every other argument goes through
    // the shared reading one at a time, with the position slots it has filled struck off.
    uint32_t parseFlags =
        kArgX | kArgY | kArgWidth | kArgHeight | kArgCaption | kArgStyles | kArgFlagsA | kArgFlagsB;
    CIBaseClassImpl* target = nullptr;
    SurfaceHandle* targetPicture = nullptr;
    uint32_t count = uint32_t(in.GetArgCount());
    for (uint32_t i = 0; i < count; ++i) {
        const CValue* argument = in.GetArg(i);
        if (argument->GetType() == kValueDefault) continue;
        if (IsNumber(argument) && (uint32_t(argument->GetInt()) & 0xFFFF0000u) == kFlagTag) {
            flags_ |= uint32_t(argument->GetInt()) & 0xFFFFu;
            flagsGiven_ = true;
            continue;
        }
        if (argument->GetType() == kValueObject) {
            CIBaseClassImpl* object = argument->GetObject();
            if (argument->IsObjectOfClass(CIWindow::kClassId) && parent == nullptr) {
                parent = static_cast<CIWindow*>(object);
                continue;
            }
            if (target != nullptr) in.RaiseError(14);
            CWindowSurface* surface = AsWindowSurface(object);
            SurfaceHandle* texture = textureHook != nullptr && surface == nullptr
                                         ? textureHook->GetImage(object)
                                         : nullptr;
            if (surface != nullptr) {
                targetPicture = surface->GetSurfaceHandle();
            } else if (texture != nullptr) {
                targetPicture = texture;
            } else {
                in.RaiseError(14);
            }
            target = object;
            if (surface != nullptr)
                targetSurface_ = object;
            else
                targetTexture_ = object;
            ++object->useCount;
            continue;
        }
        ParseCreateArgs(parseFlags, nullptr, i, 1);
        if (argument->GetType() == kValueString) {
            parseFlags &= ~kArgCaption;
        } else {
            uint32_t attributeTarget = 0;
            if (LookUpAttribute(uint32_t(argument->GetInt()), attributeTarget) == 0) {
                for (uint32_t slot : {kArgX, kArgY, kArgWidth, kArgHeight}) {
                    if ((parseFlags & slot) == 0) continue;
                    parseFlags &= ~slot;
                    break;
                }
            }
        }
    }
    if (caption == nullptr) in.RaiseError(14);
    fileName_ = caption;
    if (!flagsGiven_) flags_ = kDefaultFlags;
    if (targetPicture == nullptr) in.RaiseError(14);
    OpenOnTarget(targetPicture);
    Register();
}

void CIVideo::OpenOnTarget(SurfaceHandle* target) {
    ReleaseSoundDevice();
    player_ = VideoPlayer::Open(fileName_.c_str(), *target);
    if (player_ == nullptr) interpreter->RaiseError(14);
    VideoPump& pump = player_->Pump();
    frameLength_ = pump.GetFrameCount();
    millisecondLength_ = pump.GetDuration();
    width = target->GetWidth();
    height = target->GetHeight();
    pump.Open((flags_ & kPlayAtOnce) != 0);
    lastResult_ = 0;
    SetDirty();
}

void CIVideo::ReleaseSoundDevice() {
    if (SoundDevice* device = CISound::DeviceOf(*interpreter)) device->GetManager()->ReleaseAll();
}

VideoPlayer& CIVideo::Player() {
    if (player_ == nullptr) interpreter->RaiseError(15);
    return *player_;
}

void CIVideo::SetIntResult(int64_t value) {
    interpreter->GetResultSlot()->SetInt(int32_t(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX)));
}

int CIVideo::IsLate() {
    return player_ == nullptr ? 1 : 0;
}

void CIVideo::RefreshAll(CInterpretor& interpreter) {
    for (uint32_t position = interpreter.GetFirstObjectPos(kClassId); position != 0;) {
        auto* video = static_cast<CIVideo*>(interpreter.GetNextObject(kClassId, position));
        if (video != nullptr && video->player_ != nullptr) video->SetDirty();
    }
}

void CIVideo::Refresh() {
    if (player_ != nullptr) {
        player_->Pump().Poll(timeGetTime());
        if (CWindowSurface* surface = AsWindowSurface(targetSurface_)) {
            SurfaceHandle* picture = surface->GetSurfaceHandle();
            if (picture != nullptr && player_->DrawInto(*picture)) surface->InvalidateAll();
        } else if (targetTexture_ != nullptr && textureHook != nullptr) {
            SurfaceHandle* picture = textureHook->GetImage(targetTexture_);
            if (picture != nullptr && player_->DrawInto(*picture))
                textureHook->UpdateFromSurface(targetTexture_);
        }
    }
    if (hwnd != 0) {
        CIChildWindow::Refresh();
        return;
    }
    dirty = 0;
}

// ---- Methods ---------------------------------------------------------------------------

void CIVideo::Play() {
    VideoPlayer& player = Player();
    ReleaseSoundDevice();
    player.Pump().Play(timeGetTime());
    reverse_ = 0;
}

void CIVideo::Stop() {
    Player().Pump().Stop();
}

void CIVideo::Pause() {
    Player().Pump().Pause();
}

void CIVideo::Reverse() {
    VideoPlayer& player = Player();
    ReleaseSoundDevice();
    player.Pump().Reverse(timeGetTime());
    reverse_ = 1;
}

void CIVideo::Resume() {
    VideoPlayer& player = Player();
    ReleaseSoundDevice();
    player.Pump().Resume(timeGetTime(), reverse_ != 0);
}

void CIVideo::SetTime() {
    VideoPlayer& player = Player();
    player.Pump().SeekTime(interpreter->GetArgInt(0));
    SetDirty();
}

void CIVideo::SetFrameMethod() {
    VideoPlayer& player = Player();
    player.Pump().SeekFrame(interpreter->GetArgInt(0));
    SetDirty();
}

void CIVideo::Rewind() {
    Player().Pump().Rewind();
    SetDirty();
}

void CIVideo::SetZoom() {
    int32_t percent = interpreter->GetArgCount() > 0 && !interpreter->IsArgDefault(0)
                          ? interpreter->GetArgInt(0)
                          : 100;
    zoom_ = percent < 1 ? 100 : percent;
}

void CIVideo::GetZoom() {
    // Only a window has a zoom.
    SetIntResult(hwnd != 0 ? zoom_ : 100);
}

void CIVideo::GetTime() {
    SetIntResult(Player().Pump().GetTime());
}

void CIVideo::GetFrameMethod() {
    SetIntResult(Player().Pump().GetFrame());
}

void CIVideo::IsPlaying() {
    VideoPump::State state = Player().Pump().GetState();
    SetIntResult(state == VideoPump::kPlaying || state == VideoPump::kReversing ? 1 : 0);
}

void CIVideo::IsPausedMethod() {
    SetIntResult(Player().Pump().GetState() == VideoPump::kPaused ? 1 : 0);
}

void CIVideo::IsStopped() {
    SetIntResult(Player().Pump().GetState() == VideoPump::kStopped ? 1 : 0);
}

void CIVideo::GetNFrames() {
    SetIntResult(frameLength_);
}

void CIVideo::GetDuration() {
    SetIntResult(millisecondLength_);
}

void CIVideo::IsError() {
    SetIntResult(lastResult_ != 0 ? 1 : 0);
}
