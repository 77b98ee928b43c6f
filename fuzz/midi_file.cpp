// MIDI files come from the music bank and from files: any bytes either hold no MIDI file or
// one that lies inside them, the bytes themselves for "MThd" and a part of an "RMID" file.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/media/midi/midi_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> midi = platform::media::UnwrapMidiFile(data, size);
    if (midi.empty()) return 0;
    if (size >= 4 && std::memcmp(data, "MThd", 4) == 0) {
        if (midi.size() != size || std::memcmp(midi.data(), data, size) != 0) std::abort();
        return 0;
    }
    if (size < 12 || std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "RMID", 4) != 0 ||
        midi.size() > size - 20)
        std::abort();
    return 0;
}
