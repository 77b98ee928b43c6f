#include <cstring>

#include "foundation/memory/memory_helpers.h"
#include "graphics2d/palette/palette_context.h"
#include "platform/gdi/palettes.h"

namespace {

bool IsBlack(const PaletteEntry& entry) {
    return entry.red == 0 && entry.green == 0 && entry.blue == 0;
}

bool IsSubstituteBlack(const PaletteEntry& entry) {
    return entry.red == 8 && entry.green == 0 && entry.blue == 0;
}

bool SameColor(const PaletteEntry& a, const PaletteEntry& b) {
    return a.red == b.red && a.green == b.green && a.blue == b.blue;
}

// Registration stores black as (8, 0, 0) outside entry 0, so the two must compare equal
// there or a palette would never find its own registered copy.
bool SameColorOutsideZero(const PaletteEntry& a, const PaletteEntry& b) {
    return SameColor(a, b) || (IsBlack(a) && IsSubstituteBlack(b)) ||
           (IsSubstituteBlack(a) && IsBlack(b));
}

bool SamePalette(const RawPalette* a, const RawPalette* b) {
    // Entry 10 is the first colour that palettes usually disagree on: a quick rejection.
    if (!SameColorOutsideZero(a->entries[10], b->entries[10])) return false;
    if (!SameColor(a->entries[0], b->entries[0])) return false;
    for (int i = 1; i < 256; ++i)
        if (!SameColorOutsideZero(a->entries[i], b->entries[i])) return false;
    return true;
}

PaletteRecord* FindEqualIn(PaletteContext* context, const RawPalette* palette) {
    for (uint32_t i = 0; i < context->count; ++i)
        if (SamePalette(context->records[i], palette)) return context->records[i];
    return nullptr;
}

} // namespace

PaletteRecord* Palette_FindEqual(const RawPalette* palette) {
    PaletteContext* context = FindLivePaletteContext();
    return context && palette ? FindEqualIn(context, palette) : nullptr;
}

PaletteRecord* Palette_AddRef(const RawPalette* raw) {
    PaletteContext* context = FindLivePaletteContext();
    if (!context || !raw) return nullptr;
    if (PaletteRecord* found = FindEqualIn(context, raw)) {
        ++found->useCount;
        return found;
    }
    PaletteRecord* record = nullptr;
    if (!MemAlloc(sizeof(PaletteRecord), &record)) return nullptr;
    record->version = raw->version;
    record->count = raw->count;
    std::memcpy(record->entries, raw->entries, sizeof(record->entries));
    record->entries[0].flags = 0;
    for (int i = 1; i < 256; ++i) {
        PaletteEntry& entry = record->entries[i];
        entry.flags = 0;
        if (IsBlack(entry)) entry.red = 8;
    }
    record->inverseTable = nullptr;
    record->gdiPalette = 0;
    record->substituteBlack = 1 + Palette_FindNearest(record->entries + 1, 255, 0);
    record->useCount = 1;
    if (!AppendPaletteRecord(context, record)) {
        MemFree(&record);
        return nullptr;
    }
    return record;
}

void Palette_AddUse(PaletteRecord* record) {
    if (record) ++record->useCount;
}

void Palette_Release(PaletteRecord* record) {
    if (!record || record->useCount == 0 || --record->useCount > 0) return;
    // A record listed by another thread's context is left to that thread: its list must
    // not be changed from here, and it frees the record when the context goes.
    PaletteContext* context = FindThreadPaletteContext();
    if (!context) return;
    for (uint32_t i = 0; i < context->count; ++i) {
        if (context->records[i] != record) continue;
        DestroyPaletteRecord(context, i);
        DiscardPaletteContextIfUnused(context);
        return;
    }
}

HPALETTE Palette_GetHPALETTE(PaletteRecord* record) {
    if (!record) return 0;
    if (!record->gdiPalette) {
        // Made on first need, every entry kept out of the system palette's matching.
        alignas(LOGPALETTE) uint8_t block[sizeof(LOGPALETTE) + 255 * sizeof(PALETTEENTRY)];
        LOGPALETTE* logical = reinterpret_cast<LOGPALETTE*>(block);
        logical->palVersion = kPaletteVersion;
        logical->palNumEntries = kPaletteEntryCount;
        for (uint32_t i = 0; i < kPaletteEntryCount; i++) {
            const PaletteEntry& e = record->entries[i];
            logical->palPalEntry[i] = {e.red, e.green, e.blue, kPaletteNoCollapse};
        }
        record->gdiPalette = CreatePalette(logical);
    }
    return record->gdiPalette;
}

PaletteRecord* Palette_GetDefault() {
    PaletteContext* context = FindLivePaletteContext();
    if (!context || !context->defaultPalette) return nullptr;
    ++context->defaultPalette->useCount;
    return context->defaultPalette;
}
