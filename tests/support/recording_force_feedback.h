// A force-feedback device that plays nothing and records what it was asked, for joysticks
// of the tests' own (SDL's virtual joysticks have no haptic device).
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/input/ff_device.h"

namespace test_support {

class RecordingForceFeedback final : public platform::ForceFeedbackDevice {
public:
    uint32_t supported = 0x0FFB | platform::kFFGain | platform::kFFAutocenter | platform::kFFPause;
    int axes = 2;
    // Effects the device holds at most.
    size_t capacity = 16;
    // What was asked, in order: "new 0", "update 0", "run 0 1", "stop 0", "destroy 0",
    // "gain 50", "autocenter 0", "pause", "unpause", "stopall".
    std::vector<std::string> calls;
    std::map<int, platform::FFEffect> effects;
    std::set<int> playing;

    uint32_t Supported() override { return supported; }
    int Axes() override { return axes; }
    int NewEffect(const platform::FFEffect& effect) override;
    bool UpdateEffect(int id, const platform::FFEffect& effect) override;
    bool RunEffect(int id, uint32_t iterations) override;
    bool StopEffect(int id) override;
    void DestroyEffect(int id) override;
    bool Playing(int id) override { return playing.count(id) != 0; }
    bool SetGain(int gain) override;
    bool SetAutocenter(int autocenter) override;
    bool Pause() override;
    bool Unpause() override;
    bool StopAll() override;

    // The calls since the last look, and forgets them.
    std::vector<std::string> Take();

private:
    int next_ = 0;
};

} // namespace test_support
