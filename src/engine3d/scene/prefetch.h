// Asks for memory a loop will read a few steps later. The points and polygons of a mesh
// lie apart on the heap, so a walk over thousands of them would otherwise wait on memory
// at every one; fetching ahead lets those waits overlap. Reads nothing and changes nothing.
#pragma once

#include <cstddef>

inline void PrefetchBytes(const void* at, size_t size) {
    const auto* bytes = static_cast<const char*>(at);
    for (size_t offset = 0; offset < size; offset += 64)
        __builtin_prefetch(bytes + offset);
}

// How many items ahead a walk fetches: far enough to hide a wait on memory, near enough
// that what it fetched is still cached when it gets there.
constexpr size_t kPrefetchAhead = 8;
