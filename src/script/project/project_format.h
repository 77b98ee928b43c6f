// The layout of project data: the chunks the player reads and the packer writes, the bank
// types, and the trailer that tells a player where the data appended to it begins.
// Every integer is little-endian.
#pragma once

#include <cstdint>

namespace project_format {

// Chunk header: u16 id, u16 reserved (0), u32 body size, then the body.
inline constexpr uint32_t kChunkHeaderSize = 8;

// Top-level chunks.
inline constexpr uint16_t kVersionChunk = 0x1400;
inline constexpr uint16_t kHeaderChunk = 0x1300;
inline constexpr uint16_t kCodeBlockChunk = 0x1001;
inline constexpr uint16_t kApplicationEntryChunk = 0x1200;
inline constexpr uint16_t kExtraEntryChunk = 0x1800;
inline constexpr uint16_t kEndChunk = 0x7F7F;

// Sub-chunks of an application entry.
inline constexpr uint16_t kPropertiesChunk = 0x1000;
inline constexpr uint16_t kBankChunk = 0x1100;
inline constexpr uint16_t kEntryVersionChunk = 0x1400;
inline constexpr uint16_t kInitialSourceChunk = 0x1500;
inline constexpr uint16_t kGameInputChunk = 0x1600;

// Version words: 0x44550000 + v, v = 0 to 6.
inline constexpr uint32_t kVersionBase = 0x44550000;
inline constexpr uint32_t kCurrentVersion = 0x44550006;

// Bank types; scripts see them as kBankTypeConstantBase + type.
inline constexpr uint32_t kSourceBank = 0;
inline constexpr uint32_t kImageBank = 1;
inline constexpr uint32_t kAnimationBank = 2;
inline constexpr uint32_t kSoundBank = 3;
inline constexpr uint32_t kMusicBank = 4;
inline constexpr uint32_t kStringBank = 5;
inline constexpr uint32_t k3DBank = 6;
inline constexpr uint32_t kBinaryBank = 7;
inline constexpr uint32_t kBankTypeConstantBase = 0x89AF0000;

// Bank version words.
inline constexpr uint32_t kBankVersion1 = 0x16740001;
inline constexpr uint32_t kBankVersion2 = 0x16740002;
// Bank names longer than this are refused.
inline constexpr uint32_t kMaxBankNameLength = 275;

// Image element pixel kind meaning "the pixels are an image file".
inline constexpr uint16_t kImageFileKind = 0xFFFF;

// The trailer: the last 8 bytes of a player that carries a project hold this marker and
// the offset of the project data within the file.
inline constexpr uint32_t kTrailerMarker = 0x56524F5A;  // "ZORV"
inline constexpr uint32_t kTrailerSize = 8;

// The largest unpacked size a packed block or an element's data may declare: anything
// above is refused before memory is taken for it.
inline constexpr uint32_t kMaxUnpackedSize = 256u << 20;

} // namespace project_format
