// Media voices: streams of float stereo frames at the output rate, mixed beside the
// DirectSound buffers for the media classes (video, speech). A producer writes frames as
// room frees up; the mixer never calls out. Releasing the DirectSound object leaves media
// voices alone. Handles are 32-bit values from our own table; every call may come from
// any thread.
#pragma once

#include <cstdint>

#include "platform/kernel/win_types.h"

namespace platform::sound {

// Frames per second of the output, which media voices are fed at.
inline constexpr DWORD OUTPUT_RATE = 44100;

// A voice holding up to `capacityFrames` frames, playing (not paused), at full volume and
// centred; 0 without an output (ZORV_AUDIO none, or no device).
DWORD OpenMediaVoice(DWORD capacityFrames);
// Its frames stop at once.
void CloseMediaVoice(DWORD voice);
// Copies up to `frames` interleaved stereo frames into the voice; the number taken (less
// when the voice is full, 0 after EndMediaVoice or for an unknown handle).
DWORD WriteMediaVoice(DWORD voice, const float* stereo, DWORD frames);
// No more frames come: the voice ends when those written are played.
void EndMediaVoice(DWORD voice);
// Hundredths of a decibel, as for buffers: volume -10000..0, pan -10000..10000.
void SetMediaVoiceVolume(DWORD voice, LONG volume);
void SetMediaVoicePan(DWORD voice, LONG pan);
void PauseMediaVoice(DWORD voice, bool paused);
// Frames written and not yet played.
DWORD MediaVoiceQueuedFrames(DWORD voice);
// Frames the output has taken from the voice so far.
uint64_t MediaVoicePlayedFrames(DWORD voice);
// True once ended and every frame played (also for an unknown handle).
bool MediaVoiceEnded(DWORD voice);

} // namespace platform::sound
