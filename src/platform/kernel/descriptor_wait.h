// Sleeping on the wait hub and on system descriptors at once, for the waits that must also
// wake when a socket turns ready. Internal to the platform layer.
//
// A condition variable cannot be waited on together with descriptors, so such a wait
// sleeps in poll() with an event descriptor of its thread beside the others, listed in the
// hub while it sleeps: every change that notifies the hub also writes there.
#pragma once

#include <chrono>
#include <mutex>
#include <optional>
#include <vector>

struct pollfd;

namespace platform {

// With the hub locked by `lock`: sleeps, the lock released, until the hub changes, one of
// `descriptors` is ready (its revents set) or `until` passes (never, when empty). True when
// a descriptor is ready. A thread that cannot make its event descriptor (descriptors ran
// out) sleeps at most a millisecond at a time, so that it still notices changes soon.
bool WaitForChangeOrDescriptors(std::unique_lock<std::mutex>& lock,
                                std::vector<pollfd>& descriptors,
                                std::optional<std::chrono::steady_clock::time_point> until);

// Whether one of `descriptors` is ready now (revents set), without waiting.
bool DescriptorsReady(std::vector<pollfd>& descriptors);

} // namespace platform
