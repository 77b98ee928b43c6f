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

// A format 0 file of one track, 480 ticks a quarter note.
inline std::vector<uint8_t> SingleTrack(const std::vector<uint8_t>& track) {
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

// Half a second of middle C on a piano: 480 ticks a quarter note at 120 beats a minute.
inline std::vector<uint8_t> Tune() {
    const std::vector<uint8_t> track = {0x00, 0xC0, 0x00, 0x00, 0x90, 0x3C, 0x64, 0x83,
                                        0x60, 0x80, 0x3C, 0x40, 0x00, 0xFF, 0x2F, 0x00};
    return SingleTrack(track);
}

// Two seconds of a small band at 120 beats a minute, as a General MIDI file is made: a piano
// chord on every beat, a bass line, and kick, snare and hi-hat on the drum channel.
inline std::vector<uint8_t> Band() {
    std::vector<uint8_t> track = {0x00, 0xC0, 0x00, 0x00, 0xC1, 0x21};
    const uint8_t roots[4] = {48, 53, 55, 48};
    for (int beat = 0; beat < 4; ++beat) {
        const uint8_t root = roots[beat];
        const uint8_t on[] = {0x90, uint8_t(root + 12), 90,  0x00, 0x90, uint8_t(root + 16), 90,
                              0x00, 0x90, uint8_t(root + 19), 90,  0x00, 0x91, uint8_t(root - 12),
                              100,  0x00, 0x99, uint8_t(beat % 2 == 0 ? 36 : 38), 110, 0x00, 0x99,
                              42,   90};
        track.insert(track.end(), std::begin(on), std::end(on));
        // Three hundred and sixty ticks later, all off; the beat ends 120 ticks after.
        const uint8_t off[] = {0x82, 0x68, 0x80, uint8_t(root + 12), 64, 0x00, 0x80,
                               uint8_t(root + 16), 64, 0x00, 0x80, uint8_t(root + 19), 64, 0x00,
                               0x81, uint8_t(root - 12), 64, 0x00, 0x89,
                               uint8_t(beat % 2 == 0 ? 36 : 38), 64, 0x00, 0x89, 42, 64};
        track.insert(track.end(), std::begin(off), std::end(off));
        track.insert(track.end(), {0x78, 0xB0, 0x07, 100});
    }
    track.insert(track.end(), {0x00, 0xFF, 0x2F, 0x00});
    return SingleTrack(track);
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
