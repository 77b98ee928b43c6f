// Hooks for tests of sound: choosing the output again and reading what the null back end
// played. Production code never calls these.
#pragma once

#include <vector>

#include "platform/kernel/win_types.h"

namespace platform::test {

// Closes the output (waiting for its callback); the next sound call that needs one opens
// the output ZORV_AUDIO names then. The mixer keeps its voices: objects made before play on
// into the next output.
void ResetSoundOutput();
// While on, the null back end keeps every frame it plays (interleaved stereo floats).
void RecordSoundOutput(bool on);
// The frames kept since the last call.
std::vector<float> TakeSoundOutput();

} // namespace platform::test
