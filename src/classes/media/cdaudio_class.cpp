#include "classes/media/cdaudio_class.h"

#include <new>

#include "platform/media/mci/mci.h"
#include "script/interpreter/interpretor.h"

namespace {

using T = CICDAudio;

constexpr uint32_t kFirstConstantId = 21;
constexpr int32_t kStatusValues[] = {
    static_cast<int32_t>(MCI_MODE_NOT_READY), static_cast<int32_t>(MCI_MODE_PAUSE),
    static_cast<int32_t>(MCI_MODE_PLAY),      static_cast<int32_t>(MCI_MODE_STOP),
    static_cast<int32_t>(MCI_MODE_OPEN),      static_cast<int32_t>(MCI_MODE_SEEK),
};

template <int N> void Constant(CInterpretor& interpreter) {
    interpreter.GetResultSlot()->SetInt(kStatusValues[N]);
}

const ClassLevelHandler kConstants[] = {Constant<0>, Constant<1>, Constant<2>,
                                        Constant<3>, Constant<4>, Constant<5>};

const MethodNameRow kNameTable[] = {
    {T::kClassId, "CDAudio", 0, 0},
    {T::kGetNumberOfTracks, "GetNumberOfTracks", 0, 0},
    {T::kGetTrackLength, "GetTrackLength", 0, 0},
    {T::kPlayTrack, "PlayTrack", 0, 0},
    {T::kPlayTrackFromTime, "PlayTrackFromTime", 0, 0},
    {T::kPause, "Pause", 0, 0},
    {T::kResume, "Resume", 0, 0},
    {T::kStop, "Stop", 0, 0},
    {T::kPreviousTrack, "PreviousTrack", 0, 0},
    {T::kNextTrack, "NextTrack", 0, 0},
    {T::kOpenDoor, "OpenDoor", 0, 0},
    {T::kCloseDoor, "CloseDoor", 0, 0},
    {T::kGetCurrentTrack, "GetCurrentTrack", 0, 0},
    {T::kGetPositionInTrack, "GetPositionInTrack", 0, 0},
    {T::kGetCDPosition, "GetCDPosition", 0, 0},
    {T::kGetCDLength, "GetCDLength", 0, 0},
    {T::kGetStatus, "GetStatus", 0, 0},
    {T::kIsAudioTrack, "IsAudioTrack", 0, 0},
    {T::kIsDiscPresent, "IsDiscPresent", 0, 0},
    {T::kGetLastErrorCode, "GetLastErrorCode", 0, 0},
    {T::kGetErrorString, "GetErrorString", 0, 0},
    {22, "STATUS_NOT_READY", 0, kRowConstant},
    {23, "STATUS_PAUSED", 0, kRowConstant},
    {24, "STATUS_PLAYING", 0, kRowConstant},
    {25, "STATUS_STOPPED", 0, kRowConstant},
    {26, "STATUS_OPENED", 0, kRowConstant},
    {27, "STATUS_SEEKING", 0, kRowConstant},
    {0, nullptr, 0, 0},
};

CIBaseClassImpl* NewCDAudio(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CICDAudio(&interpreter, record);
}

const ScriptClassInfo kCDAudioClass = {kNameTable, NewCDAudio, kFirstConstantId, kConstants,
                                       6,          nullptr,    nullptr};

} // namespace

const ScriptMethod<CICDAudio> CICDAudio::kMethods[kMethodCount] = {
    nullptr,
    &T::GetNumberOfTracks,
    &T::GetTrackLength,
    &T::PlayTrack,
    &T::PlayTrackFromTime,
    &T::Pause,
    &T::Resume,
    &T::Stop,
    &T::PreviousTrack,
    &T::NextTrack,
    &T::OpenDoor,
    &T::CloseDoor,
    &T::GetCurrentTrack,
    &T::GetPositionInTrack,
    &T::GetCDPosition,
    &T::GetCDLength,
    &T::GetStatus,
    &T::IsAudioTrack,
    &T::IsDiscPresent,
    &T::GetLastErrorCode,
    &T::GetErrorString,
};

const ScriptClassInfo* GetCDAudioClassInfo() {
    return &kCDAudioClass;
}

CICDAudio::CICDAudio(CInterpretor* interpreter, const CClassRecord* record)
    : CIBaseClassImpl(interpreter, record, 1) {}

CICDAudio::~CICDAudio() {
    if (opened_) Send(MCI_CLOSE, 0, nullptr);
}

void CICDAudio::CallMethod(uint16_t methodId) {
    CallMethodFromTable(*this, kMethods, methodId);
}

void CICDAudio::Create() {
    Register();
}

bool CICDAudio::Send(UINT message, DWORD flags, void* params) {
    lastError_ = mciSendCommandA(device_, message, flags, reinterpret_cast<DWORD_PTR>(params));
    return lastError_ == 0;
}

bool CICDAudio::Open() {
    if (opened_) return true;
    MCI_OPEN_PARMSA open{0, 0, reinterpret_cast<LPCSTR>(uintptr_t{MCI_DEVTYPE_CD_AUDIO}), nullptr,
                         nullptr};
    lastError_ = mciSendCommandA(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_TYPE_ID,
                                 reinterpret_cast<DWORD_PTR>(&open));
    if (lastError_ != 0) return false;
    device_ = open.wDeviceID;
    opened_ = true;
    return true;
}

bool CICDAudio::SetFormat(DWORD format) {
    MCI_SET_PARMS set{0, format, 0};
    return Send(MCI_SET, MCI_SET_TIME_FORMAT, &set);
}

bool CICDAudio::StatusItem(DWORD item, DWORD* answer, DWORD track, bool withTrack) {
    MCI_STATUS_PARMS status{0, 0, item, track};
    if (!Send(MCI_STATUS, MCI_STATUS_ITEM | (withTrack ? MCI_TRACK : 0), &status)) return false;
    *answer = static_cast<DWORD>(status.dwReturn);
    return true;
}

bool CICDAudio::PlayFrom(DWORD from) {
    MCI_PLAY_PARMS play{0, from, 0};
    return Send(MCI_PLAY, MCI_FROM, &play);
}

bool CICDAudio::HasArg(uint32_t i) {
    return static_cast<int32_t>(i) < interpreter->GetArgCount() && !interpreter->IsArgDefault(i);
}

void CICDAudio::SetIntResult(int32_t value) {
    interpreter->GetResultSlot()->SetInt(value);
}

void CICDAudio::GetNumberOfTracks() {
    DWORD count = 0;
    SetIntResult(Open() && StatusItem(MCI_STATUS_NUMBER_OF_TRACKS, &count) ? count : 0);
}

void CICDAudio::GetTrackLength() {
    DWORD length = 0;
    bool ok = Open() && HasArg(0) && SetFormat(MCI_FORMAT_MILLISECONDS) &&
              StatusItem(MCI_STATUS_LENGTH, &length, interpreter->GetArgInt(0), true);
    SetIntResult(ok ? length : 0);
}

void CICDAudio::PlayTrack() {
    if (!Open() || !HasArg(0)) return;
    if (!SetFormat(MCI_FORMAT_TMSF)) return;
    PlayFrom(static_cast<DWORD>(interpreter->GetArgInt(0)) & 0xFF);
    paused_ = false;
}

void CICDAudio::PlayTrackFromTime() {
    if (!Open() || !SetFormat(MCI_FORMAT_MILLISECONDS)) return;
    PlayFrom(HasArg(0) ? static_cast<DWORD>(interpreter->GetArgInt(0)) : 0);
    paused_ = false;
}

void CICDAudio::Pause() {
    if (!Open() || paused_) return;
    if (!SetFormat(MCI_FORMAT_MILLISECONDS) || !StatusItem(MCI_STATUS_POSITION, &pausedAt_)) return;
    MCI_GENERIC_PARMS pause{0};
    if (Send(MCI_PAUSE, 0, &pause)) paused_ = true;
}

void CICDAudio::Resume() {
    if (!Open() || !paused_) return;
    if (!SetFormat(MCI_FORMAT_MILLISECONDS)) return;
    PlayFrom(pausedAt_);
    paused_ = false;
}

void CICDAudio::Stop() {
    if (!Open()) return;
    MCI_GENERIC_PARMS stop{0};
    Send(MCI_STOP, 0, &stop);
    paused_ = false;
}

void CICDAudio::PreviousTrack() {
    DWORD current = 0;
    if (!Open() || !StatusItem(MCI_STATUS_CURRENT_TRACK, &current) || current < 2) return;
    if (!SetFormat(MCI_FORMAT_TMSF)) return;
    PlayFrom((current - 1) & 0xFF);
    paused_ = false;
}

void CICDAudio::NextTrack() {
    DWORD current = 0;
    if (!Open() || !StatusItem(MCI_STATUS_CURRENT_TRACK, &current)) return;
    if (!SetFormat(MCI_FORMAT_TMSF)) return;
    PlayFrom((current + 1) & 0xFF);
    paused_ = false;
}

void CICDAudio::OpenDoor() {
    if (!Open()) return;
    MCI_SET_PARMS set{0, 0, 0};
    Send(MCI_SET, MCI_SET_DOOR_OPEN, &set);
    paused_ = false;
}

void CICDAudio::CloseDoor() {
    if (!Open()) return;
    MCI_SET_PARMS set{0, 0, 0};
    Send(MCI_SET, MCI_SET_DOOR_CLOSED, &set);
    paused_ = false;
}

void CICDAudio::GetCurrentTrack() {
    DWORD current = 0;
    SetIntResult(StatusItem(MCI_STATUS_CURRENT_TRACK, &current) ? current : 0);
}

void CICDAudio::GetPositionInTrack() {
    DWORD current = 0;
    DWORD start = 0;
    DWORD position = 0;
    bool ok = Open() && StatusItem(MCI_STATUS_CURRENT_TRACK, &current) &&
              SetFormat(MCI_FORMAT_MILLISECONDS) &&
              StatusItem(MCI_STATUS_POSITION, &start, current, true) &&
              StatusItem(MCI_STATUS_POSITION, &position);
    SetIntResult(ok ? static_cast<int32_t>(position - start) : 0);
}

void CICDAudio::GetCDPosition() {
    DWORD position = 0;
    bool ok =
        Open() && SetFormat(MCI_FORMAT_MILLISECONDS) && StatusItem(MCI_STATUS_POSITION, &position);
    SetIntResult(ok ? position : 0);
}

void CICDAudio::GetCDLength() {
    DWORD length = 0;
    bool ok =
        Open() && SetFormat(MCI_FORMAT_MILLISECONDS) && StatusItem(MCI_STATUS_LENGTH, &length);
    SetIntResult(ok ? length : 0);
}

void CICDAudio::GetStatus() {
    DWORD mode = 0;
    if (!Open() || !StatusItem(MCI_STATUS_MODE, &mode)) {
        SetIntResult(0);
        return;
    }
    // The drive reports a paused play as stopped; the object knows better.
    if (paused_ && mode == MCI_MODE_STOP) mode = MCI_MODE_PAUSE;
    SetIntResult(mode);
}

void CICDAudio::IsAudioTrack() {
    DWORD type = 0;
    bool ok = Open() && HasArg(0) &&
              StatusItem(MCI_CDA_STATUS_TYPE_TRACK, &type, interpreter->GetArgInt(0), true);
    SetIntResult(ok && type == MCI_CDA_TRACK_AUDIO ? 1 : 0);
}

void CICDAudio::IsDiscPresent() {
    DWORD present = 0;
    bool ok = Open() && StatusItem(MCI_STATUS_MEDIA_PRESENT, &present);
    SetIntResult(ok && present != 0 ? 1 : 0);
}

void CICDAudio::GetLastErrorCode() {
    SetIntResult(static_cast<int32_t>(lastError_));
}

void CICDAudio::GetErrorString() {
    char text[512] = {};
    if (HasArg(0) && interpreter->GetArgInt(0) != 0)
        mciGetErrorStringA(lastError_, text, sizeof text);
    interpreter->GetResultSlot()->SetString(text, 0);
}
