// Mixing a run of a buffer's frames: frames whose next frame is the following one in the
// ring, so no frame of the run needs the ring's end. The runs hold almost every frame a
// voice mixes, so they come twice: a plain build and, for processors with AVX2, one that
// takes eight frames at a time for 16-bit samples. Both give the same bits.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/sound/sound_gain.h"

namespace platform::sound {

// Adds `count` frames into `out` (stereo) from the 32.32 `position` on, moving by `step`;
// returns the position after the run.
using MixRunFn = uint64_t (*)(const uint8_t* ring, uint64_t position, uint64_t step,
                              StereoGain gain, float* out, size_t count);

// The run for 8- or 16-bit samples of one or two channels; `mono` folds two channels into
// one before the gains (3D buffers).
MixRunFn GetMixRun(int bytes, int channels, bool mono);
// The plain build's run, whatever the processor.
MixRunFn GetBaselineMixRun(int bytes, int channels, bool mono);

} // namespace platform::sound
