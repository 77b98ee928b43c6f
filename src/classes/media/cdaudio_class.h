// The CDAudio class: audio CD tracks played by the drive through the MCI "cdaudio" device,
// opened on the first method that needs it and kept until the object goes. Every MCI result
// becomes the last error code, which GetLastErrorCode and GetErrorString report.
#pragma once

#include <cstdint>

#include "platform/kernel/win_types.h"
#include "script/classes/base_class.h"

class CICDAudio final : public CIBaseClassImpl {
public:
    static constexpr uint32_t kClassId = 23;

    enum : uint16_t {
        kGetNumberOfTracks = 1,
        kGetTrackLength,
        kPlayTrack,
        kPlayTrackFromTime,
        kPause,
        kResume,
        kStop,
        kPreviousTrack,
        kNextTrack,
        kOpenDoor,
        kCloseDoor,
        kGetCurrentTrack,
        kGetPositionInTrack,
        kGetCDPosition,
        kGetCDLength,
        kGetStatus,
        kIsAudioTrack,
        kIsDiscPresent,
        kGetLastErrorCode,
        kGetErrorString,
        kMethodCount,
    };

    CICDAudio(CInterpretor* interpreter, const CClassRecord* record);
    ~CICDAudio() override;

    void CallMethod(uint16_t methodId) override;
    void Destroy(int) override { delete this; }
    void Create() override;

private:
    void GetNumberOfTracks();
    void GetTrackLength();
    void PlayTrack();
    void PlayTrackFromTime();
    void Pause();
    void Resume();
    void Stop();
    void PreviousTrack();
    void NextTrack();
    void OpenDoor();
    void CloseDoor();
    void GetCurrentTrack();
    void GetPositionInTrack();
    void GetCDPosition();
    void GetCDLength();
    void GetStatus();
    void IsAudioTrack();
    void IsDiscPresent();
    void GetLastErrorCode();
    void GetErrorString();

    bool Open();
    // Each keeps its result as the last error; true on success.
    bool Send(UINT message, DWORD flags, void* params);
    bool SetFormat(DWORD format);
    bool StatusItem(DWORD item, DWORD* answer, DWORD track = 0, bool withTrack = false);
    bool PlayFrom(DWORD from);
    bool HasArg(uint32_t i);
    void SetIntResult(int32_t value);

    static const ScriptMethod<CICDAudio> kMethods[kMethodCount];

    UINT device_ = 0;
    DWORD lastError_ = 0;
    bool opened_ = false;
    bool paused_ = false;
    DWORD pausedAt_ = 0;
};

const ScriptClassInfo* GetCDAudioClassInfo();
