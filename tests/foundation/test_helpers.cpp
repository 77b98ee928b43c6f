#include "foundation/test_helpers.h"

#include <gtest/gtest.h>

namespace {

// A fault left pending by a failed assertion would otherwise hit the next test.
class FaultClearer : public testing::EmptyTestEventListener {
    void OnTestEnd(const testing::TestInfo&) override { platform::test::ClearFaults(); }
};

const bool registered = [] {
    testing::UnitTest::GetInstance()->listeners().Append(new FaultClearer);
    return true;
}();

} // namespace
