#include <gtest/gtest.h>

#include "platform/errors.h"
#include "platform/files.h"
#include "platform/kernel_objects.h"

namespace {

struct Probe : platform::KernelObject {
    explicit Probe(bool* destroyed) : destroyed(destroyed) {}
    ~Probe() override { *destroyed = true; }
    bool* destroyed;
};
struct Other : platform::KernelObject {};

TEST(KernelObjects, HandlesAreNeverReusedAndStaleOnesAreRefused) {
    bool destroyed = false;
    HANDLE first = platform::RegisterObject(std::make_shared<Probe>(&destroyed));
    ASSERT_NE(first, 0u);
    ASSERT_NE(first, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(CloseHandle(first));
    EXPECT_TRUE(destroyed);

    HANDLE second = platform::RegisterObject(std::make_shared<Other>());
    EXPECT_NE(second, first);
    SetLastError(0);
    EXPECT_FALSE(CloseHandle(first));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(CloseHandle(INVALID_HANDLE_VALUE));
    EXPECT_TRUE(CloseHandle(second));
}

TEST(KernelObjects, TypedLookupRefusesAnotherKind) {
    HANDLE handle = platform::RegisterObject(std::make_shared<Other>());
    bool destroyed = false;
    SetLastError(0);
    EXPECT_EQ(platform::LookupObjectAs<Probe>(handle), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(platform::UnregisterObjectAs<Probe>(handle));
    EXPECT_NE(platform::LookupObjectAs<Other>(handle), nullptr);
    EXPECT_TRUE(CloseHandle(handle));
    EXPECT_FALSE(destroyed);
}

} // namespace
