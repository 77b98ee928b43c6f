// Calls into a shared library's exports with arguments known only at run time, through
// libffi with the platform's own calling convention.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/process/shared_library.h"

enum class FfiKind : uint8_t { Int32, Float, Double, Pointer };

struct FfiArgument {
    FfiKind kind;
    union {
        int32_t int32;
        float single;
        double real;
        void* pointer;
    };
};

// Calls `function` with the arguments in order and returns its 32-bit integer result.
// false when libffi cannot be loaded or cannot describe the call (then nothing was called).
bool CallExport(FARPROC function, const FfiArgument* arguments, size_t count, int32_t& result);
