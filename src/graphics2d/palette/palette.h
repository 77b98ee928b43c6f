// Shared 256-colour palettes. Every 8-bit surface refers to a use-counted `PaletteRecord`
// instead of owning colours; a thread keeps its records in its palette context, so asking
// for a palette equal to a registered one hands out the registered record.
//
// Records and contexts belong to the thread that registered them: the palette operations
// work on the calling thread's context and take no lock over a record. Only the list of
// contexts itself is shared between threads (and guarded).
#pragma once

#include <cstdint>

#include "platform/kernel/win_types.h"

#include "platform/gdi/palettes.h"

// One colour in logical-palette order. As a u32 it reads red | green << 8 | blue << 16 |
// flags << 24, the layout of a 0x00BBGGRR colour value.
struct PaletteEntry {
    uint8_t red;
    uint8_t green;
    uint8_t blue;
    uint8_t flags;
};

inline constexpr uint16_t kPaletteVersion = 0x300;
inline constexpr uint16_t kPaletteEntryCount = 256;
// Entry flag that keeps the entry out of the system palette's colour matching.
inline constexpr uint8_t kPaletteNoCollapse = 4;
// Bytes of the 15-bit colour-to-index cache of a record.
inline constexpr uint32_t kPaletteInverseSize = 32768;

// A logical palette: the input of registration and the head of every record.
struct RawPalette {
    uint16_t version;
    uint16_t count;
    PaletteEntry entries[256];
};
static_assert(sizeof(RawPalette) == 1028);

// A registered palette. Entries 1 to 255 are never pure black (it is stored as (8, 0, 0)),
// so only index 0 stands for black and colour-keyed copies can use it as the key.
struct PaletteRecord : RawPalette {
    // 32768 bytes, cell PaletteInverseCell(colour) -> index; 0 marks an empty cell.
    // Null until built.
    uint8_t* inverseTable;
    HPALETTE gdiPalette;
    // The index among 1 to 255 nearest to black: the key index of 8-bit surfaces.
    uint32_t substituteBlack;
    uint32_t useCount;
};

// The colour 0x00BBGGRR of an entry (flags left out).
inline uint32_t PaletteEntryColor(const PaletteEntry& entry) {
    return entry.red | uint32_t(entry.green) << 8 | uint32_t(entry.blue) << 16;
}

// The inverse-table cell of a 0x00BBGGRR colour: 5 bits each of red, green and blue.
inline uint32_t PaletteInverseCell(uint32_t colour) {
    return (colour & 0xF8) << 7 | (colour & 0xF800) >> 6 | (colour & 0xF80000) >> 19;
}

// A registered record equal to `raw` with one more use (registered now when there was
// none), or null when the thread has no palette context, `raw` is null or memory runs out.
PaletteRecord* Palette_AddRef(const RawPalette* raw);
// Null records are ignored by both.
void Palette_AddUse(PaletteRecord* record);
// Destroys the record when its last use goes and it is listed in the calling thread's
// context.
void Palette_Release(PaletteRecord* record);
// The first record of the calling thread's context equal to `palette` (a raw palette or a
// record), or null. Equal: the same entry 0, and entries 1 to 255 the same red, green and
// blue, black and (8, 0, 0) counting as the same.
PaletteRecord* Palette_FindEqual(const RawPalette* palette);
// The record's GDI palette, made on first need (every entry PC_NOCOLLAPSE) and deleted with
// the record; 0 when it cannot be made.
HPALETTE Palette_GetHPALETTE(PaletteRecord* record);
// The calling thread's default palette with one more use, or null for an unregistered
// thread.
PaletteRecord* Palette_GetDefault();

// 1 when the record has its inverse table afterwards, 0 for a null record or no memory.
int Palette_BuildInverse(PaletteRecord* record);
// Nearest index of a 0x00BBGGRR colour through the inverse table, built on first need;
// every colour of a 15-bit cell gets the answer of the first one asked. Without memory for
// the table it searches every time. 0 for a null record.
uint32_t Palette_ColorToIndex(PaletteRecord* record, uint32_t colour);
// As Palette_ColorToIndex, but black always answers 0 and a missing table is not built.
uint32_t Palette_ColorToIndexSafe(PaletteRecord* record, uint32_t colour);
// Index of the entry nearest to `colour` (sum of squared channel differences; a tie goes
// to the later entry). With count 256 black answers 0 and entry 0 is never the answer for
// any other colour. 0 when count is 0.
uint32_t Palette_FindNearest(const PaletteEntry* entries, uint32_t count, uint32_t colour);
// Fills map[i] with the index of `target` nearest to entry i of `source`, for all 256
// source entries, and answers 1; answers 0, leaving the map alone, when both palettes hold
// the same colours. With keepZero only source entry 0 may map to target index 0.
int Palette_BuildMap(uint8_t* map, const RawPalette* target, const RawPalette* source,
                     int keepZero);

// Copies 256 entries from `source` to `destination` (which may be the same) with the 20
// static colours moved to entries 0 to 9 and 246 to 255, entries 10 to 245 flagged
// kPaletteNoCollapse and never below (8, 0, 0). When `remap` (256 bytes) is given,
// remap[p] becomes the source index of the colour now at p. 1 when any entry moved.
int Palette_PlaceStaticColors(PaletteEntry* destination, const PaletteEntry* source,
                              uint8_t* remap);
// The record with its static colours in place, with one more use: the record itself when
// they already were, else a registered copy (the record itself when that fails).
PaletteRecord* Palette_FromEntries(PaletteRecord* record, uint8_t* remap);
// Bitmap colour tables hold blue, green, red, 0: these copy `count` entries between the
// two orders, exchanging the first and third byte and clearing the fourth. The two areas
// may be the same.
void Palette_ToColorTable(uint8_t* colorTable, const PaletteEntry* entries, uint32_t count);
void Palette_FromColorTable(PaletteEntry* entries, const uint8_t* colorTable, uint32_t count);

// The calling thread's palette context: a new one, or one more use of the existing one.
// Answers the thread's default palette, which the context holds (no use for the caller),
// or null when it could not be registered.
PaletteRecord* CreatePaletteContext();
// One use of the calling thread's context less. At the last use the context drops its own
// use of the default palette; records other holders still use stay valid, and the context
// goes away once none is left.
void ReleasePaletteContext();
// The per-thread graphics set-up run when a thread registers with the library: the
// palette context with the default palette. 1 when the thread has its default palette.
int InitThreadGraphics();
