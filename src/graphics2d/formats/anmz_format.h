// Layout of the animation files that CANMZHandler reads and writes. All numbers are
// little-endian.
#pragma once

#include <cstdint>

inline constexpr uint32_t kAnmzHeaderSize = 40;
// Letter, 'E', u16 0, u32 length of what follows.
inline constexpr uint32_t kAnmzChunkHeaderSize = 8;
inline constexpr uint8_t kAnmzChunkMark = 'E';
// Delay, flags, x, y, w, h, unpacked size.
inline constexpr uint32_t kAnmzFrameHeaderSize = 28;

inline constexpr uint8_t kAnmzUserData = 'p';
inline constexpr uint8_t kAnmzPalette = 'q';
inline constexpr uint8_t kAnmzFullFrame = 'r';
inline constexpr uint8_t kAnmzDeltaFrame = 's';
inline constexpr uint8_t kAnmzOptions = 't';

// Frame flag: the frame has no pixel data and repeats the image before it.
inline constexpr uint32_t kAnmzNoPixelData = 1;

// The change code: a group byte (bit 7: skip rows; 0: end) followed, for groups, by rows of
// tokens (bit 7: skip pixels; else that many pixels follow; 0: end of row).
inline constexpr uint8_t kAnmzSkipBit = 0x80;
inline constexpr uint8_t kAnmzMaxCount = 127;
// Unchanged stretches up to this long inside a row are cheaper sent as pixels.
inline constexpr int kAnmzShortestSkip = 4;

inline bool AnmzIsValidDepth(uint32_t depth) {
    return depth == 8 || depth == 15 || depth == 16 || depth == 24 || depth == 32;
}

inline uint32_t AnmzLoad32(const uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

inline void AnmzStore32(uint8_t* p, uint32_t value) {
    p[0] = static_cast<uint8_t>(value);
    p[1] = static_cast<uint8_t>(value >> 8);
    p[2] = static_cast<uint8_t>(value >> 16);
    p[3] = static_cast<uint8_t>(value >> 24);
}
