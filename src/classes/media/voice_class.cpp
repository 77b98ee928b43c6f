#include "classes/media/voice_class.h"

#include <new>
#include <string>

#include "audio/manager/sound_device.h"
#include "audio/manager/sound_manager.h"
#include "classes/media/sound_class.h"
#include "platform/kernel/clock.h"
#include "platform/user/window_class.h"
#include "platform/user/windows.h"
#include "script/interpreter/ierror.h"
#include "script/interpreter/interpretor.h"

namespace {

using T = CIVoice;

const MethodNameRow kNameTable[] = {
    {T::kClassId, "Voice", 0, 0},
    {T::kSpeak, "Speak", 0, 0},
    {T::kIsSpeaking, "IsSpeaking", 0, 0},
    {T::kOnStartSpeaking, "OnStartSpeaking", 0, 0},
    {T::kOnSpeakingDone, "OnSpeakingDone", 0, 0},
    {0, nullptr, 0, 0},
};

CIBaseClassImpl* NewVoice(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CIVoice(&interpreter, record);
}

const ScriptClassInfo kVoiceClass = {kNameTable, NewVoice, 0, nullptr, 0, nullptr, nullptr};

const char kSinkClass[] = "ZorvSpeechSink";
constexpr DWORD kWaitSliceMs = 100;

LRESULT SinkProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* voice = reinterpret_cast<CIVoice*>(GetWindowLongPtrA(window, GWL_USERDATA));
    if (message == platform::media::WM_SPEECH_STARTED ||
        message == platform::media::WM_SPEECH_DONE) {
        if (voice == nullptr || voice->interpreter->resetting) return 0;
        if (message == platform::media::WM_SPEECH_STARTED)
            voice->Started();
        else
            voice->Done();
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND MakeSinkWindow(CIVoice* voice) {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = &SinkProcedure;
        windowClass.lpszClassName = kSinkClass;
        registered = RegisterClassA(&windowClass) != 0;
        if (!registered) return 0;
    }
    HWND window = CreateWindowExA(0, kSinkClass, "", 0, 0, 0, 0, 0, 0, 0, 0, nullptr);
    if (window != 0) SetWindowLongPtrA(window, GWL_USERDATA, reinterpret_cast<LONG_PTR>(voice));
    return window;
}

} // namespace

const ScriptMethod<CIVoice> CIVoice::kMethods[kMethodCount] = {
    nullptr, &T::Speak, &T::IsSpeaking, &T::OnStartSpeaking, &T::OnSpeakingDone,
};

const ScriptClassInfo* GetVoiceClassInfo() {
    return &kVoiceClass;
}

CIVoice::CIVoice(CInterpretor* interpreter, const CClassRecord* record)
    : CIBaseClassImpl(interpreter, record, 1) {}

CIVoice::~CIVoice() {
    if (window_ != 0) {
        SetWindowLongPtrA(window_, GWL_USERDATA, 0);
        DestroyWindow(window_);
    }
}

void CIVoice::CallMethod(uint16_t methodId) {
    CallMethodFromTable(*this, kMethods, methodId);
}

void CIVoice::ReleaseSoundDevice() {
    SoundDevice* device = CISound::DeviceOf(*interpreter);
    if (device != nullptr) device->GetManager()->YieldDevice();
}

void CIVoice::Create() {
    ReleaseSoundDevice();
    window_ = MakeSinkWindow(this);
    if (window_ == 0 || client_.Create(window_) != 0) interpreter->RaiseError(64);
    Register();
}

void CIVoice::Speak() {
    CInterpretor& in = *interpreter;
    ReleaseSoundDevice();
    int32_t waitArg = in.GetArgCount() > 1 && !in.IsArgDefault(1) ? in.GetArgInt(1) : 0;
    bool wait = waitArg == 1;
    // The engine takes plain ASCII: every byte with the high bit set is dropped.
    std::string text;
    const char* given = in.GetArgCount() > 0 ? in.GetArg(0)->GetStringSafe() : "";
    for (const char* at = given; *at != '\0'; ++at) {
        if (!(static_cast<unsigned char>(*at) & 0x80)) text += *at;
    }
    if (text.empty()) {
        in.GetResultSlot()->SetInt(1);
        return;
    }
    bool spoken = client_.Speak(text.c_str()) == 0;
    if (spoken && wait) {
        // The script thread blocks meanwhile: no event runs until the text is spoken.
        int speaking = 1;
        while (client_.IsSpeaking(&speaking) == 0 && speaking)
            Sleep(kWaitSliceMs);
    }
    in.GetResultSlot()->SetInt(spoken ? 1 : 0);
}

void CIVoice::IsSpeaking() {
    interpreter->GetResultSlot()->SetInt(speaking_);
}

void CIVoice::OnStartSpeaking() {
    const BlockRecord* handler = interpreter->ReadHandlerAssignment();
    if (handler != nullptr)
        onStart_.SetFunction(handler);
    else
        onStart_.SetInt(0);
}

void CIVoice::OnSpeakingDone() {
    const BlockRecord* handler = interpreter->ReadHandlerAssignment();
    if (handler != nullptr)
        onDone_.SetFunction(handler);
    else
        onDone_.SetInt(0);
}

void CIVoice::Post(const CValue& handler) {
    if (handler.GetType() != kValueFunction) return;
    CValue self(this);
    // The message pump is no place for an error to unwind through.
    try {
        interpreter->PostEventCoalesced(handler.GetFunction(), this, &self);
    } catch (CIError* error) {
        interpreter->KeepPendingError(error);
    }
}

void CIVoice::Started() {
    speaking_ = true;
    Post(onStart_);
}

void CIVoice::Done() {
    speaking_ = false;
    Post(onDone_);
}
