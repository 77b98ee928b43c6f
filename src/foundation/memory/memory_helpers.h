// Heap helpers that never throw: they report 1 on success and 0 on failure, and take
// the address of the owner's pointer so they can both fill and clear it.
#pragma once

#include <cstddef>

// Allocates `size` uninitialised bytes; on failure the heap is minimised and the
// allocation tried once more. Always writes the block, or null, to *pointer.
int MemAlloc(size_t size, void** pointer);
// As MemAlloc, zero-filled.
int MemCalloc(size_t size, void** pointer);
// Resizes *pointer (which may be null) with the same single retry; *pointer is replaced
// only on success, so on failure the old block stays valid and owned by the caller.
int MemRealloc(size_t size, void** pointer);
// Frees *pointer when not null and sets it to null.
void MemFree(void** pointer);

// A movable, zero-initialised global block, locked; *pointer receives its address.
int GlobalMemAlloc(size_t size, void** pointer);
// Unlocks and frees the global block whose locked address is *pointer; sets it to null.
void GlobalMemFree(void** pointer);

// A MemAlloc'd copy of a zero-terminated text (free it with MemFree); null for a null
// text or when memory runs out.
char* MemCopyText(const char* text);

// Typed forms, so callers need no casts.
template <class T> int MemAlloc(size_t size, T** pointer) {
    void* block = *pointer;
    int ok = MemAlloc(size, &block);
    *pointer = static_cast<T*>(block);
    return ok;
}
template <class T> int MemCalloc(size_t size, T** pointer) {
    void* block = *pointer;
    int ok = MemCalloc(size, &block);
    *pointer = static_cast<T*>(block);
    return ok;
}
template <class T> int MemRealloc(size_t size, T** pointer) {
    void* block = *pointer;
    int ok = MemRealloc(size, &block);
    *pointer = static_cast<T*>(block);
    return ok;
}
template <class T> void MemFree(T** pointer) {
    void* block = const_cast<void*>(static_cast<const void*>(*pointer));
    MemFree(&block);
    *pointer = nullptr;
}
template <class T> int GlobalMemAlloc(size_t size, T** pointer) {
    void* block = nullptr;
    int ok = GlobalMemAlloc(size, &block);
    *pointer = static_cast<T*>(block);
    return ok;
}
template <class T> void GlobalMemFree(T** pointer) {
    void* block = *pointer;
    GlobalMemFree(&block);
    *pointer = nullptr;
}
