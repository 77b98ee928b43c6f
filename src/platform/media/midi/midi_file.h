// MIDI files as the sequencer takes them: a standard MIDI file, or one wrapped in a RIFF
// "RMID" file whose "data" chunk holds it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform::media {

// The standard MIDI file in `bytes`: the "data" chunk of an RMID file (cut at the end of
// the bytes when its size runs past them), or the bytes themselves when they start with
// "MThd"; empty for anything else.
std::vector<uint8_t> UnwrapMidiFile(const uint8_t* bytes, size_t size);

} // namespace platform::media
