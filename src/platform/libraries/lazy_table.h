// What the generated tables hold for each lazily loaded library (see lazy_library.h).
#pragma once

#include <cstddef>

#include "platform/libraries/lazy_library.h"

namespace platform {

struct LazyTable {
    const char* soname;
    // The Debian package that holds the soname on the machine that built the player.
    const char* package;
    const char* const* symbols;
    // The trampolines jump through these; each starts at a stub that loads the library.
    void** slots;
    size_t count;
};

// Opens the table's library and points its slots at its functions: the handle, or nullptr
// (and the reason on standard error, with the package to install) when the library is
// missing or lacks one of them.
void* OpenLazyTable(const LazyTable& table);

// Generated beside the trampolines.
const LazyTable& TableOf(LazyLibrary library);

} // namespace platform
