// Reading the values a Serial port receives, in raw mode (payload bytes only) and in the
// framed mode two players use over a serial line (big-endian type, byte-order and length
// words before the payload). The peer is not trusted: no length it claims is allocated
// beyond the receive cap, texts are always terminated, and a frame that breaks off gives
// an empty result.
#pragma once

#include <cstdint>
#include <string>

#include "classes/system/byte_block.h"

inline constexpr uint32_t kSerialModeRaw = 1;
inline constexpr uint32_t kSerialModeFramed = 2;

inline constexpr uint32_t kFrameInteger = 1;
inline constexpr uint32_t kFrameDouble = 2;
inline constexpr uint32_t kFrameText = 3;
inline constexpr uint32_t kFrameBinary = 4;

// Where received bytes come from.
class CSerialSource {
public:
    virtual ~CSerialSource() = default;
    // true when all `count` bytes arrived.
    virtual bool Read(void* buffer, uint32_t count) = 0;
};

// 0 when the frame is wrong or short.
int32_t ReceiveSerialLong(CSerialSource& source, uint32_t mode);
// false (the script sees integer 0) when the frame is wrong or short.
bool ReceiveSerialDouble(CSerialSource& source, uint32_t mode, double& value);
// Empty when the frame is wrong, short or longer than `cap`; raw mode stops at `cap` bytes.
std::string ReceiveSerialString(CSerialSource& source, uint32_t mode, uint32_t cap);
// Fills `bytes` (freed first) and, framed, `order`; left empty on any fault. `length` is the
// raw mode's given length, or -1 to read it first.
void ReceiveSerialBinary(CSerialSource& source, uint32_t mode, uint32_t cap, int64_t length,
                         CByteBlock& bytes, int32_t& order);
