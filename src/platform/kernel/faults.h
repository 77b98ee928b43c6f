// Fault injection points inside the platform layer (see test_hooks.h).
#pragma once

#include "platform/kernel/test_hooks.h"

namespace platform {

// True when the current call of kind `fault` must fail; consumes one injected failure.
// Cheap when nothing is injected.
bool ShouldFail(test::Fault fault);

} // namespace platform
