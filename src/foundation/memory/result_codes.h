// Result codes of the foundation: 0 is success. They pass unchanged from the file
// layer through the streams up to every reader built on them.
#pragma once

#include <cstdint>

using ResultCode = uint32_t;

inline constexpr ResultCode kResultOk = 0;
inline constexpr ResultCode kResultOutOfMemory = 0x40000000;
inline constexpr ResultCode kResultReadError = 0x40000001;
inline constexpr ResultCode kResultEndOfData = 0x40000002;
inline constexpr ResultCode kResultWriteError = 0x40000003;
inline constexpr ResultCode kResultDiskFull = 0x40000004;
inline constexpr ResultCode kResultCannotOpen = 0x40000005;
inline constexpr ResultCode kResultCannotCreate = 0x40000006;
inline constexpr ResultCode kResultBufferFull = 0x40000007;
inline constexpr ResultCode kResultCompressionError = 0x40000009;

// What a code means, for messages ("cannot open the file"); null for a code that is none
// of the above.
const char* ResultCodeText(ResultCode code);
