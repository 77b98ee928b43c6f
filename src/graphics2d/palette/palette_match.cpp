#include <climits>

#include "foundation/memory/memory_helpers.h"
#include "graphics2d/palette/palette.h"

namespace {

bool IsBlackColor(uint32_t colour) {
    return (colour & 0xFFFFFF) == 0;
}

// Cache cells hold 0 while empty, so an answer of 0 is searched again on every call.
uint32_t LookUpInverse(PaletteRecord* record, uint32_t colour) {
    uint8_t& cell = record->inverseTable[PaletteInverseCell(colour)];
    if (cell == 0) cell = uint8_t(Palette_FindNearest(record->entries, 256, colour));
    return cell;
}

bool SameColors(const RawPalette* a, const RawPalette* b) {
    for (int i = 0; i < 256; ++i) {
        const PaletteEntry& x = a->entries[i];
        const PaletteEntry& y = b->entries[i];
        if (x.red != y.red || x.green != y.green || x.blue != y.blue) return false;
    }
    return true;
}

} // namespace

uint32_t Palette_FindNearest(const PaletteEntry* entries, uint32_t count, uint32_t colour) {
    uint32_t first = 0;
    if (count == 256) {
        if (IsBlackColor(colour)) return 0;
        // Index 0 is the transparent key: only black itself may land there.
        first = 1;
    }
    const int red = colour & 0xFF;
    const int green = (colour >> 8) & 0xFF;
    const int blue = (colour >> 16) & 0xFF;
    uint32_t best = 0;
    int bestDistance = INT_MAX;
    for (uint32_t i = first; i < count; ++i) {
        const int dr = entries[i].red - red;
        int distance = dr * dr;
        if (distance > bestDistance) continue;
        const int dg = entries[i].green - green;
        distance += dg * dg;
        if (distance > bestDistance) continue;
        const int db = entries[i].blue - blue;
        distance += db * db;
        if (distance > bestDistance) continue;
        best = i;
        bestDistance = distance;
        if (distance == 0) break;
    }
    return best;
}

int Palette_BuildInverse(PaletteRecord* record) {
    if (!record) return 0;
    if (record->inverseTable) return 1;
    if (!MemCalloc(kPaletteInverseSize, &record->inverseTable)) return 0;
    for (uint32_t i = 0; i < 256; ++i)
        record->inverseTable[PaletteInverseCell(PaletteEntryColor(record->entries[i]))] =
            uint8_t(i);
    return 1;
}

uint32_t Palette_ColorToIndex(PaletteRecord* record, uint32_t colour) {
    if (!record) return 0;
    if (!Palette_BuildInverse(record)) return Palette_FindNearest(record->entries, 256, colour);
    return LookUpInverse(record, colour);
}

uint32_t Palette_ColorToIndexSafe(PaletteRecord* record, uint32_t colour) {
    if (!record || IsBlackColor(colour)) return 0;
    if (!record->inverseTable) return Palette_FindNearest(record->entries, 256, colour);
    return LookUpInverse(record, colour);
}

int Palette_BuildMap(uint8_t* map, const RawPalette* target, const RawPalette* source,
                     int keepZero) {
    if (target->count == source->count && SameColors(target, source)) return 0;
    const uint32_t count = target->count < 256 ? target->count : 256;
    for (uint32_t i = 0; i < 256; ++i) {
        const uint32_t colour = PaletteEntryColor(source->entries[i]);
        if (keepZero && i > 0)
            map[i] = count > 1
                         ? uint8_t(1 + Palette_FindNearest(target->entries + 1, count - 1, colour))
                         : 0;
        else
            map[i] = uint8_t(Palette_FindNearest(target->entries, count, colour));
    }
    return 1;
}
