// A small 4-channel MOD for the tests: one looped square-wave sample playing C-3 on the
// first channel for 64 rows at one tick a row (1.28 seconds).
#pragma once

#include <cstdint>
#include <vector>

namespace test_mod {

inline std::vector<uint8_t> Module() {
    std::vector<uint8_t> out(20, 0);
    out[0] = 't';
    for (int sample = 0; sample < 31; ++sample) {
        std::vector<uint8_t> header(30, 0);
        if (sample == 0) {
            header[22] = 0; // length: 32 words
            header[23] = 32;
            header[25] = 64; // volume
            header[29] = 32; // loop: the whole sample
        } else {
            header[29] = 1;
        }
        out.insert(out.end(), header.begin(), header.end());
    }
    out.push_back(1);   // one position
    out.push_back(127); // restart
    std::vector<uint8_t> order(128, 0);
    out.insert(out.end(), order.begin(), order.end());
    out.insert(out.end(), {'M', '.', 'K', '.'});
    std::vector<uint8_t> pattern(64 * 4 * 4, 0);
    // Row 0, channel 0: sample 1 at period 428; channel 1: speed 1.
    pattern[0] = 0x01;
    pattern[1] = 0xAC;
    pattern[2] = 0x10;
    pattern[4 + 2] = 0x0F;
    pattern[4 + 3] = 0x01;
    out.insert(out.end(), pattern.begin(), pattern.end());
    for (int i = 0; i < 64; ++i)
        out.push_back(i < 32 ? 0x60 : 0xA0);
    return out;
}

} // namespace test_mod
