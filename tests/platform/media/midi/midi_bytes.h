// Small MIDI files for the tests.
#pragma once

#include <cstdint>
#include <vector>

namespace test_midi {

inline void PutBE(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

inline void PutLE(std::vector<uint8_t>& out, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// Half a second of middle C on a piano: 480 ticks a quarter note at 120 beats a minute.
inline std::vector<uint8_t> Tune() {
    const std::vector<uint8_t> track = {0x00, 0xC0, 0x00, 0x00, 0x90, 0x3C, 0x64, 0x83,
                                        0x60, 0x80, 0x3C, 0x40, 0x00, 0xFF, 0x2F, 0x00};
    std::vector<uint8_t> out = {'M', 'T', 'h', 'd'};
    PutBE(out, 6, 4);
    PutBE(out, 0, 2);
    PutBE(out, 1, 2);
    PutBE(out, 480, 2);
    out.insert(out.end(), {'M', 'T', 'r', 'k'});
    PutBE(out, static_cast<uint32_t>(track.size()), 4);
    out.insert(out.end(), track.begin(), track.end());
    return out;
}

// `midi` in a RIFF "RMID" file, after an odd-sized chunk the reader must step over.
inline std::vector<uint8_t> Wrapped(const std::vector<uint8_t>& midi) {
    std::vector<uint8_t> out = {'R', 'I', 'F', 'F'};
    PutLE(out, static_cast<uint32_t>(4 + 8 + 3 + 1 + 8 + midi.size()));
    out.insert(out.end(), {'R', 'M', 'I', 'D', 'I', 'N', 'F', 'O'});
    PutLE(out, 3);
    out.insert(out.end(), {'a', 'b', 'c', 0});
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    PutLE(out, static_cast<uint32_t>(midi.size()));
    out.insert(out.end(), midi.begin(), midi.end());
    return out;
}

} // namespace test_midi
