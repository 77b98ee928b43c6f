// The Voice class: text spoken by the speech engine, with OnStartSpeaking and
// OnSpeakingDone events. The engine's notifications reach the object through a hidden
// window of its own, on the script thread. Speaking first releases the sound device, so
// every Sound stops.
#pragma once

#include <cstdint>

#include "platform/media/speech/speech_engine.h"
#include "platform/user/hwnd.h"
#include "script/classes/base_class.h"
#include "script/values/value.h"

class CIVoice final : public CIBaseClassImpl {
public:
    static constexpr uint32_t kClassId = 53;

    enum : uint16_t {
        kSpeak = 1,
        kIsSpeaking,
        kOnStartSpeaking,
        kOnSpeakingDone,
        kMethodCount,
    };

    CIVoice(CInterpretor* interpreter, const CClassRecord* record);
    ~CIVoice() override;

    void CallMethod(uint16_t methodId) override;
    void Destroy(int) override { delete this; }
    void Create() override;
    // Garbage collection never takes a Voice: it goes at reset or shutdown.
    int IsReferenced() override { return 1; }

    // The engine's notifications, on the script thread.
    void Started();
    void Done();

private:
    void Speak();
    void IsSpeaking();
    void OnStartSpeaking();
    void OnSpeakingDone();

    void ReleaseSoundDevice();
    void Post(const CValue& handler);

    static const ScriptMethod<CIVoice> kMethods[kMethodCount];

    platform::media::SpeechEngineClient client_;
    HWND window_ = 0;
    bool speaking_ = false;
    CValue onStart_;
    CValue onDone_;
};

const ScriptClassInfo* GetVoiceClassInfo();
