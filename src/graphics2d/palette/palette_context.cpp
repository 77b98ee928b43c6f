#include "graphics2d/palette/palette_context.h"

#include <cstring>
#include <mutex>

#include "foundation/memory/memory_helpers.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/kernel/threads.h"

namespace {

// Each thread touches only its own context, but threads register and leave while others
// look theirs up, so the list of contexts itself is shared.
std::mutex contextsLock;
PaletteContext** contexts = nullptr;
uint32_t contextCount = 0;

PaletteContext* FindContextLocked(DWORD threadId) {
    for (uint32_t i = 0; i < contextCount; ++i)
        if (contexts[i]->threadId == threadId) return contexts[i];
    return nullptr;
}

int AddContext(PaletteContext* context) {
    std::lock_guard guard(contextsLock);
    if (!MemRealloc((contextCount + 1) * sizeof(PaletteContext*), &contexts)) return 0;
    contexts[contextCount++] = context;
    return 1;
}

void RemoveContext(PaletteContext* context) {
    std::lock_guard guard(contextsLock);
    for (uint32_t i = 0; i < contextCount; ++i) {
        if (contexts[i] != context) continue;
        std::memmove(contexts + i, contexts + i + 1, (contextCount - i - 1) * sizeof(*contexts));
        if (--contextCount == 0)
            MemFree(&contexts);
        else
            MemRealloc(contextCount * sizeof(PaletteContext*), &contexts);
        return;
    }
}

} // namespace

PaletteContext* FindThreadPaletteContext() {
    const DWORD threadId = GetCurrentThreadId();
    std::lock_guard guard(contextsLock);
    return FindContextLocked(threadId);
}

PaletteContext* FindLivePaletteContext() {
    PaletteContext* context = FindThreadPaletteContext();
    return context && context->useCount > 0 ? context : nullptr;
}

int AppendPaletteRecord(PaletteContext* context, PaletteRecord* record) {
    if (context->count + 1 >= context->capacity) {
        if (!MemRealloc((context->capacity + 8) * sizeof(PaletteRecord*), &context->records))
            return 0;
        context->capacity += 8;
    }
    context->records[context->count++] = record;
    return 1;
}

void DestroyPaletteRecord(PaletteContext* context, uint32_t index) {
    PaletteRecord* record = context->records[index];
    std::memmove(context->records + index, context->records + index + 1,
                 (context->count - index - 1) * sizeof(PaletteRecord*));
    --context->count;
    if (record->gdiPalette) DeleteObject(record->gdiPalette);
    MemFree(&record->inverseTable);
    MemFree(&record);
}

void DiscardPaletteContextIfUnused(PaletteContext* context) {
    if (context->useCount > 0 || context->count > 0) return;
    RemoveContext(context);
    MemFree(&context->records);
    MemFree(&context);
}

PaletteRecord* CreatePaletteContext() {
    PaletteContext* context = FindThreadPaletteContext();
    if (context) {
        ++context->useCount;
    } else {
        if (!MemCalloc(sizeof(PaletteContext), &context)) return nullptr;
        context->threadId = GetCurrentThreadId();
        context->useCount = 1;
        if (!AddContext(context)) {
            MemFree(&context);
            return nullptr;
        }
    }
    if (!context->defaultPalette) context->defaultPalette = Palette_AddRef(&kDefaultPaletteTable);
    return context->defaultPalette;
}

void ReleasePaletteContext() {
    PaletteContext* context = FindThreadPaletteContext();
    if (!context || context->useCount == 0 || --context->useCount > 0) return;
    // Only the context's own use goes: surfaces still holding a record keep it valid, and
    // their releases free it and, with the last one, the context.
    if (context->defaultPalette) {
        --context->defaultPalette->useCount;
        context->defaultPalette = nullptr;
    }
    // Records whose last use went on another thread were left here for this thread to free.
    for (uint32_t i = context->count; i-- > 0;)
        if (context->records[i]->useCount == 0) DestroyPaletteRecord(context, i);
    DiscardPaletteContextIfUnused(context);
}

int InitThreadGraphics() {
    return CreatePaletteContext() != nullptr;
}
