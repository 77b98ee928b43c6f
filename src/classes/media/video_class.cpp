#include "classes/media/video_class.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "audio/manager/sound_device.h"
#include "audio/manager/sound_manager.h"
#include "classes/media/sound_class.h"
#include "classes/surface/texture_feed.h"
#include "classes/media/video_player.h"
#include "classes/surface/view3d.h"
#include "classes/window/controls/control_table.h"
#include "classes/window/window_class.h"
#include "classes/window/window_surface.h"
#include "graphics2d/drawing/surface_handle.h"
#include "platform/kernel/clock.h"
#include "platform/media/mci/mci_types.h"
#include "platform/media/mciwnd/mciwnd.h"
#include "platform/user/window_geometry.h"
#include "script/interpreter/interpretor.h"
#include "script/runtime/launch_info.h"

namespace {

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

const ScriptClassInfo* GetVideoClassInfo() {
    return &kVideoClass;
}

CIVideo::CIVideo(CInterpretor* interpreter, const CClassRecord* record)
    : CIChildWindow(interpreter, record), madeSurface_(interpreter) {
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
    madeSurface_.SetInt(0);
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
    // The Surface made for a Texture only feeds it: the Texture stays the target.
    if (object != nullptr && madeSurface_.GetType() == kValueObject &&
        madeSurface_.GetObject() == object)
        madeSurface_.SetObject(nullptr, 0);
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
            auto* texture = argument->IsObjectOfClass(CISurfaceTexture::kClassId)
                                ? dynamic_cast<CISurfaceTexture*>(object)
                                : nullptr;
            if (surface == nullptr && texture == nullptr) in.RaiseError(14);
            target = object;
            ++object->useCount;
            if (surface != nullptr) {
                targetSurface_ = object;
                targetPicture = surface->GetSurfaceHandle();
                continue;
            }
            // A Texture gives the picture it takes its image from.
            targetTexture_ = object;
            GiveTextureASurface(in, texture, madeSurface_);
            if (CWindowSurface* feeding = SurfaceFeedingTexture(in, texture))
                targetPicture = feeding->GetSurfaceHandle();
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
    if (targetPicture != nullptr) {
        if (!flagsGiven_) flags_ = kDefaultFlags;
        OpenOnTarget(targetPicture);
    } else {
        if (!flagsGiven_) flags_ = parent != nullptr ? kDefaultFlags : kDefaultFlags | 1;
        OpenInWindow();
    }
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

void CIVideo::OpenInWindow() {
    zoom_ = 100;
    if (width != kNotGiven && height != kNotGiven) flags_ &= ~kOwnSize;
    HWND parentWindow = parent != nullptr ? parent->hwnd : 0;
    if (parentWindow != 0)
        style |= WS_CHILD | MCIWNDF_NOERRORDLG;
    else
        style |= WS_OVERLAPPEDWINDOW | MCIWNDF_NOERRORDLG | MCIWNDF_NOMENU;
    DWORD windowStyle = (style & ~WS_VISIBLE) | (parentWindow != 0 ? MCIWNDF_NOPLAYBAR : 0);
    HWND window = MCIWndCreateA(parentWindow, GetInstanceHandle(), windowStyle, fileName_.c_str());
    if (window == 0) interpreter->RaiseError(14);
    if (CreateControl("MCIWndClass", 0, this, window, kCreateChild | kCreateProperty) == 0)
        interpreter->RaiseError(14);
    RECT rect{};
    GetWindowRect(window, &rect);
    if (parentWindow != 0) MapWindowPoints(0, parentWindow, reinterpret_cast<POINT*>(&rect), 2);
    if (x == kNotGiven) x = rect.left;
    if (y == kNotGiven) y = rect.top;
    if (width == kNotGiven) width = rect.right - rect.left;
    if (height == kNotGiven) height = rect.bottom - rect.top;
    ApplyWindowSettings();
}

void CIVideo::ApplyWindowSettings() {
    // A child loses its border; a top-level window keeps its frame whatever its style says.
    if ((style & WS_CHILD) != 0) {
        style &= ~WS_BORDER;
        SetWindowLongPtrA(hwnd, GWL_STYLE,
                          LONG_PTR(GetWindowLongPtrA(hwnd, GWL_STYLE) & ~WS_BORDER));
    }
    if (!Command(MCIWNDM_SETTIMEFORMATA, 0, LPARAM("frames"))) return;
    frameLength_ = Send(MCIWNDM_GETLENGTH) + Send(MCIWNDM_GETSTART);
    if (!Command(MCIWNDM_SETTIMEFORMATA, 0, LPARAM("ms"))) return;
    millisecondLength_ = Send(MCIWNDM_GETLENGTH) + Send(MCIWNDM_GETSTART);
    if ((flags_ & kProjectPalette) != 0 && !Command(MCIWNDM_SETPALETTE, 0, 0)) return;
    if (!Command(MCIWNDM_SETTIMEFORMATA, 0, LPARAM(TimeFormat()))) return;
    if ((flags_ & kOwnSize) != 0) {
        SetWindowPos(hwnd, 0, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        if ((flags_ & kApplyZoom) != 0) Send(MCIWNDM_SETZOOM, 0, zoom_);
        TakeWindowSize();
    } else {
        SetWindowPos(hwnd, 0, x, y, OuterWidth(), OuterHeight(), SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if ((flags_ & kPlayAtOnce) != 0) {
        ReleaseSoundDevice();
        Command(MCI_PLAY, 0, 0);
    } else {
        Command(MCI_STOP, 0, 0);
    }
}

void CIVideo::TakeWindowSize() {
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    width = rect.right - rect.left - borderLeft - borderRight;
    height = rect.bottom - rect.top - borderTop - borderBottom;
}

const char* CIVideo::TimeFormat() const {
    return (flags_ & kTimeInFrames) != 0 ? "frames" : "ms";
}

LRESULT CIVideo::Send(UINT message, WPARAM wParam, LPARAM lParam) {
    return SendMessageA(hwnd, message, wParam, lParam);
}

bool CIVideo::Command(UINT message, WPARAM wParam, LPARAM lParam) {
    lastResult_ = uint32_t(Send(message, wParam, lParam));
    return lastResult_ == 0;
}

int64_t CIVideo::WindowPosition(const char* format) {
    bool other = std::strcmp(format, TimeFormat()) != 0;
    if (other) Send(MCIWNDM_SETTIMEFORMATA, 0, LPARAM(format));
    int64_t position = Send(MCIWNDM_GETPOSITIONA);
    if (other) Send(MCIWNDM_SETTIMEFORMATA, 0, LPARAM(TimeFormat()));
    return position;
}

void CIVideo::WindowSeek(const char* format, int64_t position) {
    bool other = std::strcmp(format, TimeFormat()) != 0;
    if (other && !Command(MCIWNDM_SETTIMEFORMATA, 0, LPARAM(format))) return;
    bool sought = Command(MCI_SEEK, 0, LPARAM(position));
    if (other) {
        MCIERROR kept = lastResult_;
        Command(MCIWNDM_SETTIMEFORMATA, 0, LPARAM(TimeFormat()));
        if (!sought) lastResult_ = kept;
    }
}

DWORD CIVideo::WindowMode() {
    char mode[14] = "";
    return DWORD(Send(MCIWNDM_GETMODEA, sizeof mode, LPARAM(mode)));
}

bool CIVideo::InWindow() const {
    return player_ == nullptr && hwnd != 0;
}

void CIVideo::ReleaseSoundDevice() {
    if (SoundDevice* device = CISound::DeviceOf(*interpreter)) device->GetManager()->YieldDevice();
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
        } else if (targetTexture_ != nullptr) {
            CWindowSurface* feeding = SurfaceFeedingTexture(
                *interpreter, dynamic_cast<CISurfaceTexture*>(targetTexture_));
            SurfaceHandle* picture = feeding != nullptr ? feeding->GetSurfaceHandle() : nullptr;
            if (picture != nullptr && player_->DrawInto(*picture)) TextureFrameDrawn(*feeding);
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
    if (InWindow()) {
        ReleaseSoundDevice();
        if (Command(MCI_PLAY, 0, 0)) reverse_ = 0;
        return;
    }
    VideoPlayer& player = Player();
    ReleaseSoundDevice();
    player.Pump().Play(timeGetTime());
    reverse_ = 0;
}

void CIVideo::Stop() {
    if (InWindow()) {
        Command(MCI_STOP, 0, 0);
        return;
    }
    Player().Pump().Stop();
}

void CIVideo::Pause() {
    if (InWindow()) {
        Command(MCI_PAUSE, 0, 0);
        return;
    }
    Player().Pump().Pause();
}

void CIVideo::Reverse() {
    if (InWindow()) {
        ReleaseSoundDevice();
        if (Command(MCIWNDM_PLAYREVERSE, 0, 0)) reverse_ = 1;
        return;
    }
    VideoPlayer& player = Player();
    ReleaseSoundDevice();
    player.Pump().Reverse(timeGetTime());
    reverse_ = 1;
}

void CIVideo::Resume() {
    if (InWindow()) {
        ReleaseSoundDevice();
        Command(reverse_ != 0 ? MCIWNDM_PLAYREVERSE : MCI_RESUME, 0, 0);
        return;
    }
    VideoPlayer& player = Player();
    ReleaseSoundDevice();
    player.Pump().Resume(timeGetTime(), reverse_ != 0);
}

void CIVideo::SetTime() {
    if (InWindow()) {
        int64_t ms = interpreter->GetArgInt(0);
        WindowSeek("ms", std::max<int64_t>(1, std::min(ms, millisecondLength_)));
        return;
    }
    VideoPlayer& player = Player();
    player.Pump().SeekTime(interpreter->GetArgInt(0));
    SetDirty();
}

void CIVideo::SetFrameMethod() {
    if (InWindow()) {
        int64_t frame = interpreter->GetArgInt(0);
        WindowSeek("frames", std::max<int64_t>(1, std::min(frame, frameLength_)));
        return;
    }
    VideoPlayer& player = Player();
    player.Pump().SeekFrame(interpreter->GetArgInt(0));
    SetDirty();
}

void CIVideo::Rewind() {
    if (InWindow()) {
        Command(MCI_SEEK, 0, 0);
        return;
    }
    Player().Pump().Rewind();
    SetDirty();
}

void CIVideo::SetZoom() {
    int32_t percent = interpreter->GetArgCount() > 0 && !interpreter->IsArgDefault(0)
                          ? interpreter->GetArgInt(0)
                          : 100;
    zoom_ = percent < 1 ? 100 : percent;
    if (hwnd != 0) {
        Send(MCIWNDM_SETZOOM, 0, zoom_);
        TakeWindowSize();
    }
}

void CIVideo::GetZoom() {
    // Only a window has a zoom.
    SetIntResult(hwnd != 0 ? int64_t(Send(MCIWNDM_GETZOOM)) : 100);
}

void CIVideo::GetTime() {
    if (InWindow()) {
        SetIntResult(WindowPosition("ms"));
        return;
    }
    SetIntResult(Player().Pump().GetTime());
}

void CIVideo::GetFrameMethod() {
    if (InWindow()) {
        SetIntResult(WindowPosition("frames"));
        return;
    }
    SetIntResult(Player().Pump().GetFrame());
}

void CIVideo::IsPlaying() {
    if (InWindow()) {
        SetIntResult(WindowMode() == MCI_MODE_PLAY ? 1 : 0);
        return;
    }
    VideoPump::State state = Player().Pump().GetState();
    SetIntResult(state == VideoPump::kPlaying || state == VideoPump::kReversing ? 1 : 0);
}

void CIVideo::IsPausedMethod() {
    if (InWindow()) {
        SetIntResult(WindowMode() == MCI_MODE_PAUSE ? 1 : 0);
        return;
    }
    SetIntResult(Player().Pump().GetState() == VideoPump::kPaused ? 1 : 0);
}

void CIVideo::IsStopped() {
    if (InWindow()) {
        SetIntResult(WindowMode() == MCI_MODE_STOP ? 1 : 0);
        return;
    }
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
