// The per-thread palette contexts behind the palette operations: each registered thread
// lists the records it made, and its default palette.
#pragma once

#include <cstdint>

#include "graphics2d/palette/palette.h"
#include "platform/kernel/win_types.h"

// Version, count and colours of every thread's default palette; entries 0 to 9 and 246 to
// 255 are the 20 static colours.
extern const RawPalette kDefaultPaletteTable;

struct PaletteContext {
    DWORD threadId;
    uint32_t count;
    uint32_t capacity;
    PaletteRecord** records;
    // Registrations of the thread. At 0 the context stays only while some record it made
    // is still held elsewhere, so that its last release can still free it.
    uint32_t useCount;
    // The thread's default palette, of which the context itself holds one use; null once
    // the last registration went.
    PaletteRecord* defaultPalette;
};

// The calling thread's context, registered or not; null when it has none.
PaletteContext* FindThreadPaletteContext();
// The calling thread's context while the thread is registered; else null.
PaletteContext* FindLivePaletteContext();
// Appends a record to the context's list; 0 when the list cannot grow.
int AppendPaletteRecord(PaletteContext* context, PaletteRecord* record);
// Takes the record at `index` out of the context's list and frees it.
void DestroyPaletteRecord(PaletteContext* context, uint32_t index);
// Frees the context when it has neither registrations nor records left.
void DiscardPaletteContextIfUnused(PaletteContext* context);
