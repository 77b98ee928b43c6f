// Speech: text spoken by espeak-ng on a worker thread into a media voice. A client's
// notification window gets WM_SPEECH_STARTED when the first samples play and
// WM_SPEECH_DONE when the voice has drained, so that both arrive on the window's thread.
// The voice is ZORV_VOICE, else the locale's language, else English.
#pragma once

#include <cstdint>

#include "platform/kernel/win_types.h"
#include "platform/user/hwnd.h"

namespace platform::media {

inline constexpr UINT WM_SPEECH_STARTED = 0x8000 + 0x530;
inline constexpr UINT WM_SPEECH_DONE = 0x8000 + 0x531;

// The speech engine as the Voice class holds it; results are 0 on success.
class SpeechEngineClient {
public:
    SpeechEngineClient() = default;
    ~SpeechEngineClient();
    SpeechEngineClient(const SpeechEngineClient&) = delete;
    SpeechEngineClient& operator=(const SpeechEngineClient&) = delete;

    // Starts the engine for this client, notifying `window`; a second call fails.
    int Create(HWND window);
    // Queues the text (Windows-1252) to be spoken; fails before Create.
    int Speak(const char* text);
    // Whether a Speak has not finished playing yet.
    int IsSpeaking(int* speaking);

private:
    uint32_t id_ = 0;
};

// 1 when espeak-ng starts.
int SpeechAvailable();

} // namespace platform::media

namespace platform::test {

// While set, the speech engine refuses to start, as when espeak-ng fails.
void FailSpeechEngine(bool fail);

} // namespace platform::test
