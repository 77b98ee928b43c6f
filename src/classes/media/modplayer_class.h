// The MODPlayer class: tracker modules played through the module plug-in library, loaded
// when the first MODPlayer is made and freed when the last one goes. Each object holds
// one plug-in instance and a hidden host window handed to it.
#pragma once

#include <cstdint>
#include <string>

#include "platform/kernel/win_types.h"
#include "platform/user/hwnd.h"
#include "script/classes/base_class.h"

class CIMODPlayer final : public CIBaseClassImpl {
public:
    static constexpr uint32_t kClassId = 51;

    enum : uint16_t {
        kLoadModule = 1,
        kPlay,
        kStop,
        kPause,
        kResume,
        kIsPlaying,
        kIsPaused,
        kGetMaxPosition,
        kGetPosition,
        kGetDuration,
        kMethodCount,
    };

    CIMODPlayer(CInterpretor* interpreter, const CClassRecord* record);
    ~CIMODPlayer() override;

    void CallMethod(uint16_t methodId) override;
    void Destroy(int) override { delete this; }
    // New MODPlayer(optional file name).
    void Create() override;

    // 1 when the plug-in library loads with every entry point.
    static int IsPlugInUsable();

private:
    void LoadModule();
    void Play();
    void Stop();
    void Pause();
    void Resume();
    void IsPlaying();
    void IsPaused();
    void GetMaxPosition();
    void GetPosition();
    void GetDuration();

    // Loads argument 0 when given: the plug-in's result (0 without a name).
    int LoadNamed();
    void SetIntResult(int32_t value);

    static const ScriptMethod<CIMODPlayer> kMethods[kMethodCount];

    std::string module_;
    bool paused_ = false;
    DWORD instance_ = 0;
    HWND window_ = 0;
    bool counted_ = false;
};

const ScriptClassInfo* GetMODPlayerClassInfo();
