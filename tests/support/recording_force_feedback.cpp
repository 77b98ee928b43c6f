#include "support/recording_force_feedback.h"

#include <utility>

namespace test_support {

int RecordingForceFeedback::NewEffect(const platform::FFEffect& effect) {
    if (effects.size() >= capacity) return -1;
    int id = next_++;
    effects[id] = effect;
    calls.push_back("new " + std::to_string(id));
    return id;
}

bool RecordingForceFeedback::UpdateEffect(int id, const platform::FFEffect& effect) {
    calls.push_back("update " + std::to_string(id));
    auto found = effects.find(id);
    if (found == effects.end()) return false;
    found->second = effect;
    return true;
}

bool RecordingForceFeedback::RunEffect(int id, uint32_t iterations) {
    calls.push_back("run " + std::to_string(id) + " " + std::to_string(iterations));
    if (effects.count(id) == 0) return false;
    playing.insert(id);
    return true;
}

bool RecordingForceFeedback::StopEffect(int id) {
    calls.push_back("stop " + std::to_string(id));
    playing.erase(id);
    return effects.count(id) != 0;
}

void RecordingForceFeedback::DestroyEffect(int id) {
    calls.push_back("destroy " + std::to_string(id));
    effects.erase(id);
    playing.erase(id);
}

bool RecordingForceFeedback::SetGain(int gain) {
    calls.push_back("gain " + std::to_string(gain));
    return true;
}

bool RecordingForceFeedback::SetAutocenter(int autocenter) {
    calls.push_back("autocenter " + std::to_string(autocenter));
    return true;
}

bool RecordingForceFeedback::Pause() {
    calls.push_back("pause");
    return true;
}

bool RecordingForceFeedback::Unpause() {
    calls.push_back("unpause");
    return true;
}

bool RecordingForceFeedback::StopAll() {
    calls.push_back("stopall");
    playing.clear();
    return true;
}

std::vector<std::string> RecordingForceFeedback::Take() {
    return std::exchange(calls, {});
}

} // namespace test_support
