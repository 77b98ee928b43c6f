#include <gtest/gtest.h>

#include <limits>

#include "script/values/value.h"
#include "script/values/value_test_support.h"

namespace value_test {
namespace {

using Binary = void (CValue::*)(const CValue&);
using Unary = void (CValue::*)();

const double kNaN = std::numeric_limits<double>::quiet_NaN();
// Function records whose addresses differ only above 32 bits, and their low half.
constexpr uintptr_t kHigh1 = uintptr_t(1) << 32 | 5;
constexpr uintptr_t kHigh2 = uintptr_t(2) << 32 | 5;
constexpr int32_t ok = kNone;

struct BinaryRow {
    Binary op;
    Sample left;
    Sample right;
    Sample result;
    int32_t error;
};

TEST_F(ValueTest, TwoOperandOperatorsPromoteComputeAndRaiseByTheTable) {
    const BinaryRow rows[] = {
        {&CValue::Add, I(1), I(2), I(3), ok},
        {&CValue::Add, I(INT32_MAX), I(1), I(INT32_MIN), ok},
        {&CValue::Add, I(1), D(2.5), D(3.5), ok},
        {&CValue::Add, S("a"), I(1), S("a1"), ok},
        {&CValue::Add, I(1), S("a"), S("1a"), ok},
        {&CValue::Add, D(1e20), S(""), S("1e+20"), ok},
        {&CValue::Add, S(nullptr), S("x"), S("x"), ok},
        {&CValue::Add, I(5), S(nullptr), S("5"), ok},
        {&CValue::Add, Obj(), I(1), {}, 18},
        {&CValue::Add, Arr(), I(1), {}, 130},
        {&CValue::Add, Hole(), I(1), {}, 41},
        {&CValue::Add, S("a"), Obj(), {}, 18},
        {&CValue::Add, S("a"), Arr(), {}, 44},
        {&CValue::Subtract, I(5), I(7), I(-2), ok},
        {&CValue::Subtract, S("hello world"), S("o"), S("hell wrld"), ok},
        {&CValue::Subtract, S("abc"), S(""), S("abc"), ok},
        {&CValue::Subtract, S("aaa"), S("aa"), S("a"), ok},
        {&CValue::Subtract, I(121), S("1"), S("2"), ok},
        {&CValue::Subtract, S(nullptr), S("x"), S(nullptr), ok},
        {&CValue::Multiply, I(65536), I(65536), I(0), ok},
        {&CValue::Multiply, I(2), D(1.5), D(3.0), ok},
        {&CValue::Multiply, S("2"), I(3), {}, 12},
        {&CValue::Multiply, S("2"), Obj(), {}, 12},
        {&CValue::Multiply, Def(), Def(), {}, 41},
        {&CValue::Divide, I(7), I(2), I(3), ok},
        {&CValue::Divide, I(-7), I(2), I(-3), ok},
        {&CValue::Divide, D(7.0), I(2), D(3.5), ok},
        {&CValue::Divide, I(5), I(0), {}, 111},
        {&CValue::Divide, I(5), D(0.0), {}, 111},
        {&CValue::Divide, D(5.0), D(-0.0), {}, 111},
        {&CValue::Divide, I(INT32_MIN), I(-1), I(INT32_MIN), ok},
        {&CValue::Modulo, I(-7), I(3), I(-1), ok},
        {&CValue::Modulo, I(INT32_MIN), I(-1), I(0), ok},
        {&CValue::Modulo, I(5), I(0), {}, 111},
        {&CValue::Modulo, D(5.0), D(0.0), {}, 111},
        {&CValue::Modulo, D(5.5), D(2.0), D(1.5), ok},
        {&CValue::BitAnd, D(5.7), I(3), I(1), ok},
        {&CValue::BitAnd, D(1e10), I(-1), I(INT32_MIN), ok},
        {&CValue::BitOr, I(12), I(3), I(15), ok},
        {&CValue::BitXor, I(12), I(10), I(6), ok},
        {&CValue::BitXor, S("1"), I(1), {}, 12},
        {&CValue::ShiftLeft, D(2.0), I(1), I(4), ok},
        {&CValue::ShiftLeft, I(1), I(33), I(2), ok},
        {&CValue::ShiftLeft, I(-1), I(31), I(INT32_MIN), ok},
        {&CValue::ShiftRight, I(-16), I(2), I(-4), ok},
        {&CValue::ShiftRight, I(INT32_MIN), I(31), I(-1), ok},
        {&CValue::ShiftRight, I(16), I(36), I(1), ok},
        {&CValue::Less, S("10"), I(9), I(1), ok},
        {&CValue::Less, I(9), S("10"), I(0), ok},
        {&CValue::Less, I(1), D(1.5), I(1), ok},
        {&CValue::Less, D(kNaN), D(1.0), I(0), ok},
        {&CValue::Less, S("\xE9"), S("z"), I(0), ok},
        {&CValue::Less, S(nullptr), S("a"), I(1), ok},
        {&CValue::Less, Obj(), Obj(), {}, 18},
        {&CValue::LessEqual, D(kNaN), D(kNaN), I(0), ok},
        {&CValue::GreaterEqual, I(2), I(2), I(1), ok},
        {&CValue::Greater, D(2.0), I(1), I(1), ok},
        {&CValue::Equal, I(1), D(1.0), I(1), ok},
        {&CValue::Equal, S("1"), I(1), I(1), ok},
        {&CValue::Equal, I(1), S("1"), I(1), ok},
        {&CValue::Equal, S("1.0"), I(1), I(0), ok},
        {&CValue::Equal, S(nullptr), S(""), I(1), ok},
        {&CValue::Equal, D(kNaN), D(kNaN), I(0), ok},
        {&CValue::Equal, Obj(1), Obj(1), I(1), ok},
        {&CValue::Equal, Obj(1), Obj(2), I(0), ok},
        {&CValue::Equal, Obj(), I(0), I(0), ok},
        {&CValue::Equal, Fn(0), I(0), I(1), ok},
        {&CValue::Equal, D(-0.0), Fn(0), I(1), ok},
        {&CValue::Equal, Fn(kHigh1), Fn(kHigh1), I(1), ok},
        {&CValue::Equal, Fn(kHigh1), Fn(kHigh2), I(0), ok},
        {&CValue::Equal, Fn(kHigh1), I(5), I(0), ok},
        {&CValue::Equal, Obj(), S("x"), {}, 18},
        {&CValue::Equal, S("x"), Arr(), {}, 44},
        {&CValue::Equal, Arr(), Arr(), {}, 130},
        {&CValue::Equal, I(1), Arr(), {}, 130},
        {&CValue::Equal, I(1), Def(), {}, 41},
        {&CValue::NotEqual, D(kNaN), D(kNaN), I(1), ok},
        {&CValue::NotEqual, Obj(1), Obj(2), I(1), ok},
    };
    int index = 0;
    for (const BinaryRow& row : rows) {
        SCOPED_TRACE(testing::Message() << "row " << index++);
        CValue left(&interpreter);
        CValue right(&interpreter);
        Make(left, row.left);
        Make(right, row.right);
        EXPECT_EQ(ErrorOf([&] { (left.*row.op)(right); }), row.error);
        if (row.error == ok) ExpectHolds(left, row.result);
    }
}

TEST_F(ValueTest, EqualityWritesNoOperandUnlessItIsTheResult) {
    CValue number(&interpreter, 100000000);
    CValue text(&interpreter, "x", 0);
    CValue big(&interpreter);
    big.SetFloat(1e8);
    EXPECT_FALSE(number.IsEqual(text));
    EXPECT_TRUE(number.IsEqual(big));
    ExpectHolds(number, I(100000000));
    ExpectHolds(text, S("x"));
    // A comparison lets go of the left operand's object.
    CValue left(static_cast<CIBaseClassImpl*>(&first));
    CValue same(static_cast<CIBaseClassImpl*>(&first));
    left.Equal(same);
    ExpectHolds(left, I(1));
    EXPECT_EQ(first.useCount, 1);
    EXPECT_EQ(Holders(first), 1);
}

TEST_F(ValueTest, TextOperatorsHandleAliasedAndBorrowedTexts) {
    CValue text(&interpreter, "ab", 0);
    text.Add(text);
    ExpectHolds(text, S("abab"));
    text.Subtract(text);
    ExpectHolds(text, S(""));
    char buffer[] = "a-b-c";
    CValue dash(&interpreter, "-", 0);
    CValue borrowed(&interpreter, buffer, 1);
    borrowed.Subtract(dash);
    ExpectHolds(borrowed, S("abc"));
    CValue joined(&interpreter, buffer, 1);
    joined.Add(dash);
    ExpectHolds(joined, S("a-b-c-"));
    EXPECT_STREQ(buffer, "a-b-c");
    // Longer than the room a text keeps, so that joining it must allocate.
    CValue longer(&interpreter, "0123456789012345678901234567890123456789", 0);
    FailNextAllocation();
    EXPECT_EQ(ErrorOf([&] { joined.Add(longer); }), 15);
    ExpectHolds(joined, S("a-b-c-"));
}

struct UnaryRow {
    Unary op;
    Sample operand;
    Sample result;
};

TEST_F(ValueTest, OneOperandOperatorsFollowTheirTable) {
    const UnaryRow rows[] = {
        {&CValue::Negate, I(INT32_MIN), I(INT32_MIN)},
        {&CValue::Negate, D(2.5), D(-2.5)},
        {&CValue::Not, I(7), I(0)},
        {&CValue::Not, D(0.0), I(1)},
        {&CValue::NotOperator, D(0.0), D(1.0)},
        {&CValue::NotOperator, D(3.0), D(0.0)},
        {&CValue::NotOperator, I(0), I(1)},
        {&CValue::Complement, D(5.7), I(-6)},
        {&CValue::Increment, I(INT32_MAX), I(INT32_MIN)},
        {&CValue::Decrement, D(1.5), D(0.5)},
    };
    for (const UnaryRow& row : rows) {
        CValue value(&interpreter);
        Make(value, row.operand);
        (value.*row.op)();
        ExpectHolds(value, row.result);
    }
    const std::pair<Sample, int32_t> refused[] = {{S("1"), 12}, {Obj(), 18},  {Fn(1), 18},
                                                  {Arr(), 130}, {Hole(), 41}, {Def(), 41}};
    for (const auto& [operand, code] : refused) {
        for (Unary op : {&CValue::Negate, &CValue::Not, &CValue::NotOperator, &CValue::Complement,
                         &CValue::Increment, &CValue::Decrement}) {
            CValue value(&interpreter);
            Make(value, operand);
            EXPECT_EQ(ErrorOf([&] { (value.*op)(); }), code) << operand.type;
        }
    }
}

} // namespace
} // namespace value_test
