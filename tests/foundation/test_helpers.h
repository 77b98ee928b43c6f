// What several foundation tests share. Injected faults are cleared after every test
// (test_helpers.cpp), so no test needs a fixture just for that.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/kernel/test_hooks.h"

namespace foundation_test {

using platform::test::Fault;
using platform::test::InjectFault;

// MemAlloc and MemRealloc retry once, so two injected faults fail one allocation.
constexpr DWORD kOneFailure = 2;

inline void* Item(uintptr_t n) {
    return reinterpret_cast<void*>(n);
}

// Bytes that differ at every offset pattern a misplaced buffer could produce.
inline std::string Pattern(size_t size) {
    std::string bytes(size, 0);
    for (size_t i = 0; i < size; i++)
        bytes[i] = static_cast<char>((i * 2654435761u) >> 13);
    return bytes;
}

} // namespace foundation_test
