#include "foundation/memory/exception.h"

#include <gtest/gtest.h>

namespace {

class CountedException : public CWXIntException {
public:
    CountedException(int32_t code, int* destroyed) : CWXIntException(code), destroyed(destroyed) {}
    ~CountedException() override { ++*destroyed; }

    int* destroyed;
};

TEST(Exception, ACaughtPointerIsReleasedThroughTheMostDerivedDestructor) {
    int destroyed = 0;
    try {
        throw new CountedException(42, &destroyed);
    } catch (CWXException* caught) {
        EXPECT_EQ(caught->IsException(), 1);
        auto* withCode = dynamic_cast<CWXIntException*>(caught);
        ASSERT_NE(withCode, nullptr);
        EXPECT_EQ(withCode->code, 42);
        caught->Delete();
    }
    EXPECT_EQ(destroyed, 1);

    CWXException::Delete(new CountedException(-7, &destroyed));
    EXPECT_EQ(destroyed, 2);
    CWXException::Delete(nullptr);
    EXPECT_EQ(destroyed, 2);
}

} // namespace
