// GetOutlineTextMetricsA's record as the system reads it: the 212-byte layout of 32-bit
// Windows, written field by field (little-endian, Windows' padding), followed by the four
// NUL-ended names its name fields point at by offset.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/gdi/text/font_instance.h"
#include "platform/gdi/text/font_types.h"

namespace platform {

inline constexpr UINT OUTLINE_TEXT_METRICS_SIZE = 212;

// Sets otmSize to the size of the record with its names, and the name fields to the
// names' offsets in it.
void PlaceOutlineNames(OUTLINETEXTMETRICA& metrics, const FontNames& names);
// The record with its names, otmSize bytes (PlaceOutlineNames first). A caller copies
// as much of it as its buffer holds.
std::vector<uint8_t> OutlineTextMetricsRecord(const OUTLINETEXTMETRICA& metrics,
                                              const FontNames& names);

} // namespace platform
