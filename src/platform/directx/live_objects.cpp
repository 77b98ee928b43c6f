#include <atomic>

#include "platform/directx/dd_objects.h"
#include "platform/directx/directx_test_hooks.h"

namespace platform::ddraw {
namespace {

std::atomic<long> live{0};

} // namespace

LiveObject::LiveObject() {
    live.fetch_add(1);
}

LiveObject::~LiveObject() {
    live.fetch_sub(1);
}

} // namespace platform::ddraw

long platform::test::LiveDirectDrawObjects() {
    return ddraw::live.load();
}
