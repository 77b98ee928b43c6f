#include "platform/sound/sound_system.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/kernel/clock.h"
#include "platform/sound/output_backend.h"
#include "platform/sound/sound_test_hooks.h"

namespace platform::sound {
namespace {

std::unique_ptr<OutputBackend> OpenNamedOutput(Mixer& mixer) {
    const char* named = std::getenv("ZORV_AUDIO");
    std::string name = named && *named ? named : "sdl";
    if (name == "sdl") return OpenSdlOutput(mixer);
    if (name == "none") return nullptr;
    if (name == "null") return OpenPacedOutput(mixer, {});
    if (name.starts_with("file:") && name.size() > 5) {
        auto output = OpenPacedOutput(mixer, name.substr(5));
        if (!output) std::fprintf(stderr, "zorv: cannot write sound to %s\n", name.c_str() + 5);
        return output;
    }
    std::fprintf(stderr, "zorv: ZORV_AUDIO=%s is none of sdl, none, null, file:PATH\n",
                 name.c_str());
    return nullptr;
}

// Never destroyed: callers that stop their sound from their own exit handlers, or from
// destructors of other static objects, still find the mixer and the timer table, which
// are merely idle then.
class SoundSystem {
public:
    SoundSystem() {
        SetClockAdvanceHook(&FollowClock);
        std::atexit(&ShutDown);
    }

    bool HasOutput() {
        std::lock_guard lock(lock_);
        if (!opened_ && !shutDown_) {
            output_ = OpenNamedOutput(mixer);
            opened_ = true;
        }
        return output_ != nullptr;
    }

    void Close() {
        std::shared_ptr<OutputBackend> closing;
        std::lock_guard lock(lock_);
        closing = std::move(output_);
        opened_ = false;
    }

    Mixer mixer;
    TimerTable timers;

private:
    static void FollowClock(DWORD from, DWORD to);
    // At exit the timers stop first, so no tick reaches what their callbacks use once it
    // is freed; then the output closes, waiting for its callback.
    static void ShutDown();
    std::shared_ptr<OutputBackend> Output() {
        std::lock_guard lock(lock_);
        return output_;
    }

    std::mutex lock_;
    bool opened_ = false;
    bool shutDown_ = false;
    std::shared_ptr<OutputBackend> output_;
};

SoundSystem& System() {
    static auto* system = new SoundSystem();
    return *system;
}

void SoundSystem::ShutDown() {
    SoundSystem& system = System();
    SetClockAdvanceHook(nullptr);
    system.timers.ShutDown();
    std::shared_ptr<OutputBackend> closing;
    {
        std::lock_guard lock(system.lock_);
        system.shutDown_ = true;
        closing = std::move(system.output_);
    }
}

// The paced output plays up to each due tick before the tick runs, as it would have with
// the clock running.
void SoundSystem::FollowClock(DWORD from, DWORD to) {
    if (!IsClockFrozen()) return;
    SoundSystem& system = System();
    auto output = system.Output();
    DWORD now = from;
    DWORD due = 0;
    while (system.timers.NextDue(now, to, &due)) {
        if (output) output->FollowClock(from, due);
        system.timers.RunDue(due);
        now = due;
    }
    if (output) output->FollowClock(from, to);
}

} // namespace

Mixer& TheMixer() {
    return System().mixer;
}

TimerTable& TheTimers() {
    return System().timers;
}

bool HasOutput() {
    return System().HasOutput();
}

} // namespace platform::sound

void platform::test::ResetSoundOutput() {
    platform::sound::System().Close();
}
