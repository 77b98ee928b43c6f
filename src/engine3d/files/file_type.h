// Which of the 3D formats a file holds, told by its content and never by its extension,
// as a four-character code (first character in the most significant byte) and a sentence
// for the user.
#pragma once

#include <cstdint>

class CInStream;

inline constexpr uint32_t FileTypeCode(const char (&text)[5]) {
    return uint32_t(uint8_t(text[0])) << 24 | uint32_t(uint8_t(text[1])) << 16 |
           uint32_t(uint8_t(text[2])) << 8 | uint32_t(uint8_t(text[3]));
}

inline constexpr uint32_t kFileType3ds = FileTypeCode(".3DS");
inline constexpr uint32_t kFileTypeMd2 = FileTypeCode(".MD2");
inline constexpr uint32_t kFileTypeYix = FileTypeCode(".YIX");
inline constexpr uint32_t kFileTypeZyb = FileTypeCode(".ZYB");
// Not a known format, or a file that cannot be opened.
inline constexpr uint32_t kFileTypeUnknown = FileTypeCode("NIET");
// No file of that name.
inline constexpr uint32_t kFileTypeMissing = FileTypeCode("LOST");

// The message, when a buffer of at least one byte is given, is cut to size - 1 characters
// and terminated.
uint32_t Detect3DFileType(const char* path, char* message, uint32_t size);
// Tries the formats in turn; the stream is back at its position afterwards.
uint32_t Detect3DFileTypeOfStream(CInStream* stream, char* message, uint32_t size);
