// Hooks for the DirectDraw tests. Production code never calls these; the failures of
// DirectDrawCreate, SetCooperativeLevel and CreateSurface are injected through
// kernel/test_hooks.h.
#pragma once

namespace platform::test {

// DirectDraw objects, surfaces and clippers alive, so tests can tell that their
// Release calls freed all they made.
long LiveDirectDrawObjects();

} // namespace platform::test
