#include "platform/kernel/faults.h"

#include <array>
#include <atomic>
#include <mutex>

namespace platform {
namespace {

constexpr size_t kFaultKinds = static_cast<size_t>(test::Fault::DirectDrawCreateSurface) + 1;

struct Injection {
    DWORD skip = 0;
    DWORD count = 0;
};

std::mutex injectionLock;
std::array<Injection, kFaultKinds> injections;
std::atomic<bool> anyInjected{false};

void UpdateAnyInjected() {
    bool any = false;
    for (const Injection& injection : injections)
        any = any || injection.count != 0;
    anyInjected.store(any, std::memory_order_release);
}

} // namespace

bool ShouldFail(test::Fault fault) {
    if (!anyInjected.load(std::memory_order_acquire)) return false;
    std::lock_guard guard(injectionLock);
    Injection& injection = injections[static_cast<size_t>(fault)];
    if (injection.count == 0) return false;
    if (injection.skip != 0) {
        --injection.skip;
        return false;
    }
    --injection.count;
    UpdateAnyInjected();
    return true;
}

namespace test {

void InjectFault(Fault fault, DWORD count, DWORD skip) {
    std::lock_guard guard(injectionLock);
    injections[static_cast<size_t>(fault)] = {skip, count};
    UpdateAnyInjected();
}

DWORD PendingFaults(Fault fault) {
    std::lock_guard guard(injectionLock);
    return injections[static_cast<size_t>(fault)].count;
}

void ClearFaults() {
    std::lock_guard guard(injectionLock);
    injections.fill({});
    UpdateAnyInjected();
}

} // namespace test
} // namespace platform
