#include <cstdlib>
#include <cstring>

#include "foundation/memory/memory_helpers.h"
#include "graphics2d/palette/palette_context.h"

namespace {

constexpr uint32_t kLowStaticEnd = 10;
constexpr uint32_t kHighStaticStart = 246;

int ColorDistance(const PaletteEntry& a, const PaletteEntry& b) {
    return std::abs(a.red - b.red) + std::abs(a.green - b.green) + std::abs(a.blue - b.blue);
}

// The entry among [from, to) nearest to `colour`, the lowest index winning ties.
uint32_t FindClosest(const PaletteEntry* entries, uint32_t from, uint32_t to,
                     const PaletteEntry& colour, int* distance) {
    uint32_t best = from;
    *distance = ColorDistance(entries[from], colour);
    for (uint32_t i = from + 1; i<to&& * distance> 0; ++i) {
        const int d = ColorDistance(entries[i], colour);
        if (d < *distance) {
            best = i;
            *distance = d;
        }
    }
    return best;
}

int MoveTo(PaletteEntry* entries, uint8_t* remap, uint32_t place, uint32_t from) {
    if (from == place) return 0;
    PaletteEntry moved = entries[from];
    entries[from] = entries[place];
    entries[place] = moved;
    if (remap) {
        const uint8_t index = remap[from];
        remap[from] = remap[place];
        remap[place] = index;
    }
    return 1;
}

bool SameColors(const PaletteEntry* a, const PaletteEntry* b) {
    for (int i = 0; i < 256; ++i)
        if (a[i].red != b[i].red || a[i].green != b[i].green || a[i].blue != b[i].blue)
            return false;
    return true;
}

} // namespace

int Palette_PlaceStaticColors(PaletteEntry* destination, const PaletteEntry* source,
                              uint8_t* remap) {
    if (destination != source) std::memmove(destination, source, 256 * sizeof(PaletteEntry));
    if (remap)
        for (uint32_t i = 0; i < 256; ++i)
            remap[i] = uint8_t(i);
    const PaletteEntry* statics = kDefaultPaletteTable.entries;
    int moved = 0;
    int distance = 0;
    for (uint32_t s = 0; s < kLowStaticEnd; ++s)
        moved |=
            MoveTo(destination, remap, s, FindClosest(destination, s, 256, statics[s], &distance));
    for (uint32_t s = kHighStaticStart; s < 256; ++s) {
        uint32_t best = FindClosest(destination, s, 256, statics[s], &distance);
        if (distance > 0) {
            int middleDistance = 0;
            const uint32_t middle = FindClosest(destination, kLowStaticEnd, kHighStaticStart,
                                                statics[s], &middleDistance);
            if (middleDistance < distance) best = middle;
        }
        moved |= MoveTo(destination, remap, s, best);
    }
    for (uint32_t s = 0; s < 256; ++s) {
        PaletteEntry& entry = destination[s];
        if (s < kLowStaticEnd || s >= kHighStaticStart) {
            entry = statics[s];
            entry.flags = 0;
        } else {
            if (entry.red < 8 && entry.green < 8 && entry.blue < 8) entry = {8, 0, 0, 0};
            entry.flags = kPaletteNoCollapse;
        }
    }
    return moved;
}

PaletteRecord* Palette_FromEntries(PaletteRecord* record, uint8_t* remap) {
    if (!record) return nullptr;
    RawPalette* placed = nullptr;
    PaletteRecord* result = nullptr;
    if (MemAlloc(sizeof(RawPalette), &placed)) {
        placed->version = kPaletteVersion;
        placed->count = kPaletteEntryCount;
        Palette_PlaceStaticColors(placed->entries, record->entries, remap);
        if (!SameColors(placed->entries, record->entries)) result = Palette_AddRef(placed);
        MemFree(&placed);
    }
    if (!result) {
        // The caller keeps its pixels on the given record, so they must not be re-indexed.
        if (remap)
            for (uint32_t i = 0; i < 256; ++i)
                remap[i] = uint8_t(i);
        result = record;
        Palette_AddUse(result);
    }
    return result;
}

void Palette_ToColorTable(uint8_t* colorTable, const PaletteEntry* entries, uint32_t count) {
    for (uint32_t i = 0; i < count; ++i) {
        const PaletteEntry entry = entries[i];
        uint8_t* quad = colorTable + 4 * size_t(i);
        quad[0] = entry.blue;
        quad[1] = entry.green;
        quad[2] = entry.red;
        quad[3] = 0;
    }
}

void Palette_FromColorTable(PaletteEntry* entries, const uint8_t* colorTable, uint32_t count) {
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* quad = colorTable + 4 * size_t(i);
        entries[i] = {quad[2], quad[1], quad[0], 0};
    }
}
