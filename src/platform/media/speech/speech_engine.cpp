#include "platform/media/speech/speech_engine.h"

#include <espeak-ng/speak_lib.h>

#include <atomic>
#include <clocale>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/kernel/cp1252.h"
#include "platform/libraries/lazy_library.h"
#include "platform/sound/media_voice.h"
#include "platform/sound/multimedia_timer.h"
#include "platform/user/messages.h"

namespace platform::media {
namespace {

namespace sound = platform::sound;

constexpr int SPEECH_RATE = 22050;
constexpr DWORD VOICE_FRAMES = sound::OUTPUT_RATE * 2;
constexpr UINT WATCH_PERIOD_MS = 20;
constexpr int FAILED = -1;

std::atomic<bool> failing{false};

// One client's speaking, shared by the worker, the watching timer and the client.
struct Utterance {
    HWND window = 0;
    DWORD voice = 0;
    bool synthesised = false;
    bool startPosted = false;
    bool speaking = false;
};

struct Job {
    uint32_t client;
    DWORD voice;
    std::string text;
};

// espeak-ng is one engine for the process, used by its worker thread only.
class Speech {
public:
    bool Start() {
        std::lock_guard guard(lock_);
        if (started_) return ready_;
        started_ = true;
        if (!Require(LazyLibrary::EspeakNg)) return false;
        ready_ = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 200, nullptr,
                                   espeakINITIALIZE_DONT_EXIT) == SPEECH_RATE;
        if (!ready_) return false;
        espeak_SetSynthCallback(&Speech::Samples);
        if (espeak_SetVoiceByName(VoiceName().c_str()) != EE_OK) espeak_SetVoiceByName("en");
        worker_ = std::thread([this] { Work(); });
        worker_.detach();
        watch_ = timeSetEvent(WATCH_PERIOD_MS, 5, &Speech::Watch, 0, TIME_PERIODIC);
        return true;
    }

    uint32_t AddClient(HWND window) {
        std::lock_guard guard(lock_);
        ++lastClient_;
        clients_[lastClient_] = std::make_shared<Utterance>();
        clients_[lastClient_]->window = window;
        return lastClient_;
    }

    void RemoveClient(uint32_t id) {
        std::lock_guard guard(lock_);
        auto found = clients_.find(id);
        if (found == clients_.end()) return;
        if (found->second->voice != 0) sound::CloseMediaVoice(found->second->voice);
        found->second->window = 0;
        clients_.erase(found);
    }

    bool Queue(uint32_t id, std::string text) {
        {
            std::lock_guard guard(lock_);
            auto found = clients_.find(id);
            if (found == clients_.end()) return false;
            Utterance& utterance = *found->second;
            if (utterance.voice != 0) sound::CloseMediaVoice(utterance.voice);
            utterance.voice = sound::OpenMediaVoice(VOICE_FRAMES);
            utterance.synthesised = false;
            utterance.startPosted = false;
            utterance.speaking = true;
            jobs_.push_back({id, utterance.voice, std::move(text)});
        }
        wake_.notify_all();
        return true;
    }

    bool IsSpeaking(uint32_t id) {
        std::lock_guard guard(lock_);
        auto found = clients_.find(id);
        return found != clients_.end() && found->second->speaking;
    }

private:
    static std::string VoiceName() {
        const char* named = std::getenv("ZORV_VOICE");
        if (named != nullptr && *named != '\0') return named;
        for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
            const char* locale = std::getenv(variable);
            if (locale == nullptr || *locale == '\0') continue;
            std::string language(locale, std::strcspn(locale, "_.@"));
            if (language.size() == 2 || language.size() == 3) return language;
        }
        return "en";
    }

    void Work() {
        for (;;) {
            Job job;
            {
                std::unique_lock guard(lock_);
                wake_.wait(guard, [this] { return !jobs_.empty(); });
                job = std::move(jobs_.front());
                jobs_.pop_front();
                current_ = clients_.count(job.client) ? clients_[job.client] : nullptr;
                currentVoice_ = job.voice;
            }
            if (current_ == nullptr) continue;
            espeak_Synth(job.text.c_str(), job.text.size() + 1, 0, POS_CHARACTER, 0,
                         espeakCHARS_UTF8, nullptr, nullptr);
            std::lock_guard guard(lock_);
            // A text spoken again meanwhile has a voice and a job of its own.
            if (current_->voice == job.voice) {
                if (job.voice != 0) sound::EndMediaVoice(job.voice);
                current_->synthesised = true;
            }
            current_ = nullptr;
        }
    }

    // On the worker, from espeak_Synth: 22.05 kHz mono samples, doubled into the voice's
    // 44.1 kHz stereo frames. Waits while the voice is full.
    static int Samples(short* samples, int count, espeak_EVENT*) {
        Speech& speech = Instance();
        std::vector<float> frames(size_t(count > 0 ? count : 0) * 4);
        for (int i = 0; i < count; ++i) {
            float value = samples[i] / 32768.0f;
            for (int k = 0; k < 4; ++k)
                frames[size_t(i) * 4 + k] = value;
        }
        DWORD total = static_cast<DWORD>(count) * 2;
        DWORD written = 0;
        while (written < total) {
            DWORD voice;
            {
                std::lock_guard guard(speech.lock_);
                // A client that went, or spoke again, stops this text.
                if (speech.current_ == nullptr || speech.current_->window == 0 ||
                    speech.current_->voice != speech.currentVoice_)
                    return 1;
                voice = speech.currentVoice_;
            }
            if (voice == 0) return 0;
            DWORD taken =
                sound::WriteMediaVoice(voice, frames.data() + written * 2, total - written);
            written += taken;
            if (taken == 0) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return 0;
    }

    static void Watch(UINT, UINT, DWORD_PTR, DWORD_PTR, DWORD_PTR) {
        Speech& speech = Instance();
        std::lock_guard guard(speech.lock_);
        for (auto& [id, utterance] : speech.clients_) {
            if (!utterance->speaking) continue;
            bool silent = utterance->voice == 0;
            if (!utterance->startPosted &&
                (silent ? utterance->synthesised
                        : sound::MediaVoicePlayedFrames(utterance->voice) > 0)) {
                utterance->startPosted = true;
                PostMessageA(utterance->window, WM_SPEECH_STARTED, 0, 0);
            }
            if (utterance->startPosted && utterance->synthesised &&
                (silent || sound::MediaVoiceEnded(utterance->voice))) {
                if (!silent) sound::CloseMediaVoice(utterance->voice);
                utterance->voice = 0;
                utterance->speaking = false;
                PostMessageA(utterance->window, WM_SPEECH_DONE, 0, 0);
            }
        }
    }

public:
    static Speech& Instance() {
        static auto* speech = new Speech;
        return *speech;
    }

private:
    std::mutex lock_;
    std::condition_variable wake_;
    bool started_ = false;
    bool ready_ = false;
    std::thread worker_;
    UINT watch_ = 0;
    uint32_t lastClient_ = 0;
    std::map<uint32_t, std::shared_ptr<Utterance>> clients_;
    std::deque<Job> jobs_;
    std::shared_ptr<Utterance> current_;
    DWORD currentVoice_ = 0;
};

} // namespace

SpeechEngineClient::~SpeechEngineClient() {
    if (id_ != 0) Speech::Instance().RemoveClient(id_);
}

int SpeechEngineClient::Create(HWND window) {
    if (id_ != 0 || failing.load() || !Speech::Instance().Start()) return FAILED;
    id_ = Speech::Instance().AddClient(window);
    return 0;
}

int SpeechEngineClient::Speak(const char* text) {
    if (id_ == 0 || text == nullptr) return FAILED;
    return Speech::Instance().Queue(id_, Cp1252ToUtf8(text)) ? 0 : FAILED;
}

int SpeechEngineClient::IsSpeaking(int* speaking) {
    if (speaking == nullptr || id_ == 0) return FAILED;
    *speaking = Speech::Instance().IsSpeaking(id_) ? 1 : 0;
    return 0;
}

int SpeechAvailable() {
    return !failing.load() && Speech::Instance().Start() ? 1 : 0;
}

} // namespace platform::media

void platform::test::FailSpeechEngine(bool fail) {
    platform::media::failing.store(fail);
}
