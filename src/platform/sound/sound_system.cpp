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

class SoundSystem {
public:
    SoundSystem() { SetClockAdvanceHook(&FollowClock); }
    ~SoundSystem() {
        SetClockAdvanceHook(nullptr);
        timers.KillAll();
        Close();
    }

    bool HasOutput() {
        std::lock_guard lock(lock_);
        if (!opened_) {
            output_ = OpenNamedOutput(mixer);
            opened_ = true;
        }
        return output_ != nullptr;
    }

    void Close() {
        std::shared_ptr<OutputBackend> closing;
        {
            std::lock_guard lock(lock_);
            closing = std::move(output_);
            opened_ = false;
        }
    }

    Mixer mixer;
    TimerTable timers;

private:
    static void FollowClock(DWORD from, DWORD to);
    std::shared_ptr<OutputBackend> Output() {
        std::lock_guard lock(lock_);
        return output_;
    }

    std::mutex lock_;
    bool opened_ = false;
    std::shared_ptr<OutputBackend> output_;
};

SoundSystem& System() {
    static SoundSystem system;
    return system;
}

// The paced output plays up to each due tick before the tick runs, as it would have with
// the clock running.
void SoundSystem::FollowClock(DWORD from, DWORD to) {
    SoundSystem& system = System();
    auto output = system.Output();
    DWORD now = from;
    DWORD due = 0;
    while (system.timers.NextDue(now, to, &due)) {
        if (output) output->FollowClock(due);
        system.timers.RunDue(due);
        now = due;
    }
    if (output) output->FollowClock(to);
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
