// The arithmetic that compiled code does on plain numbers, as CValue does it on values,
// shared by the runner of compiled code and the number code (compiled_numbers.cpp).
#pragma once

#include <bit>
#include <cmath>
#include <cstdint>
#include <iterator>

#include "script/interpreter/compiled_code.h"
#include "script/language/token_codes.h"
#include "script/values/number_text.h"
#include "script/values/value.h"

// A division by a constant integer as a multiplication, which takes a few cycles where a
// division takes tens: the divisor in the low half, and in the high half the multiplier m
// less one, m being 2^(32 + j) / |divisor| rounded up past it (j = log2 |divisor|, rounded
// down), exact for every dividend of 2^31 or less; 0 for a divisor of -1, 0 or 1.
inline uint64_t DivisorReciprocal(int32_t divisor) {
    const uint32_t magnitude = divisor < 0 ? 0u - uint32_t(divisor) : uint32_t(divisor);
    if (magnitude < 2) return 0;
    const uint32_t shift = 32 + uint32_t(std::bit_width(magnitude) - 1);
    const bool power = (magnitude & (magnitude - 1)) == 0;
    const uint64_t multiplier = (uint64_t(1) << shift) / magnitude + (power ? 0 : 1);
    return (multiplier - 1) << 32 | uint32_t(divisor);
}

// The quotient (truncated) and the remainder (of the dividend's sign) of `a` by the divisor
// of a DivisorReciprocal, as integer division gives them.
[[gnu::always_inline]] inline void DivideByReciprocal(int32_t a, uint64_t reciprocal,
                                                      int32_t& quotient, int32_t& remainder) {
    const auto divisor = int32_t(uint32_t(reciprocal));
    const uint32_t magnitude = divisor < 0 ? 0u - uint32_t(divisor) : uint32_t(divisor);
    const uint32_t n = a < 0 ? 0u - uint32_t(a) : uint32_t(a);
    const uint32_t shift = 32 + uint32_t(std::bit_width(magnitude) - 1);
    // n * (m - 1) + n is at most 2^63: no overflow.
    const auto q = uint32_t((uint64_t(n) * (reciprocal >> 32) + n) >> shift);
    const uint32_t r = n - q * magnitude;
    quotient = int32_t((a ^ divisor) < 0 ? 0u - q : q);
    remainder = int32_t(a < 0 ? 0u - r : r);
}

// A comparison of two numbers by its token; with a constant token, one compare.
template <class Left, class Right>
[[gnu::always_inline]] inline bool Compare(uint32_t code, Left a, Right b) {
    switch (code) {
    case kTokenGreaterEqual:
        return a >= b;
    case kTokenLessEqual:
        return a <= b;
    case kTokenEqual:
        return a == b;
    case kTokenLess:
        return a < b;
    case kTokenGreater:
        return a > b;
    default:
        return a != b;
    }
}

inline bool CompareIntegers(uint32_t code, int32_t a, int32_t b) {
    return Compare(code, a, b);
}

// The operators of two integers whose results are integers that CValue would give;
// false for the others (and a division by zero, which fails).
[[gnu::always_inline]] inline bool IntegerResult(uint32_t code, uint32_t a, uint32_t b,
                                                 int32_t& result) {
    // The commonest two ahead of the switch: a compare and a branch each, which the
    // processor predicts better than the switch's one jump for every operator.
    if (code == kTokenPlus) {
        result = int32_t(a + b);
        return true;
    }
    if (code == kTokenMinus) {
        result = int32_t(a - b);
        return true;
    }
    switch (code) {
    case kTokenGreaterEqual:
    case kTokenLessEqual:
    case kTokenEqual:
    case kTokenLess:
    case kTokenGreater:
    case kTokenNotEqual:
        result = CompareIntegers(code, int32_t(a), int32_t(b));
        return true;
    case kTokenMultiply:
        result = int32_t(a * b);
        return true;
    case kTokenDivide:
        if (b == 0) return false;
        // The one quotient that does not fit wraps to itself.
        result = int32_t(b) == -1 ? int32_t(0u - a) : int32_t(a) / int32_t(b);
        return true;
    case kTokenModulo:
        if (b == 0) return false;
        result = int32_t(b) == -1 ? 0 : int32_t(a) % int32_t(b);
        return true;
    case kTokenShiftLeft:
        result = int32_t(a << (b & 31));
        return true;
    case kTokenShiftRight:
        result = int32_t(a) >> (b & 31);
        return true;
    case kTokenBitAnd:
        result = int32_t(a & b);
        return true;
    case kTokenBitOr:
        result = int32_t(a | b);
        return true;
    case kTokenBitXor:
        result = int32_t(a ^ b);
        return true;
    case kTokenLogicalAnd:
        result = a != 0 && b != 0;
        return true;
    case kTokenLogicalOr:
        result = a != 0 || b != 0;
        return true;
    default:
        return false;
    }
}

// The value a ReturnsOnly body gives for these arguments, when every parameter it
// reads holds an integer and no operator fails: the value the call would return,
// worked out without entering it. Nothing in such a body has an effect or ends a
// statement, so giving up part-way leaves nothing to undo.
// `parameter(index, value)` reads an argument's integer, false when it has none.
template <class Parameter>
bool QuickReturnOf(const CompiledFunction& code, Parameter parameter, int32_t& result) {
    // Each step goes on to the next one's code itself: the few steps of a body called
    // over and over are then predicted one after the other.
    static const void* const kQuickSteps[] = {
        &&Next,      &&Next,   &&Int,      &&Next,    &&Next, &&Next,   &&Slot,       &&Next,
        &&Next,      &&Next,   &&Next,     &&Next,    &&Next, &&Binary, &&BinarySlot, &&Next,
        &&BinaryInt, &&Next,   &&SlotSlot, &&SlotInt, &&Next, &&Next,   &&Next,       &&Swap,
        &&Next,      &&Next,   &&Next,     &&Next,    &&Next, &&Next,   &&Next,       &&Next,
        &&Next,      &&Next,   &&Next,     &&Next,    &&Next, &&Next,   &&Next,       &&Next,
        &&Next,      &&Return, &&Next,     &&Next,    &&Next, &&Next};
    static_assert(std::size(kQuickSteps) == kOpNumberCode + 1);
    int32_t values[CompiledFunction::kMaxQuickDepth + 1];
    const CompiledOp* op = code.ops.data();
    int32_t right;
#define ZORV_QUICK_STEP() goto* kQuickSteps[(++op)->op]
    goto* kQuickSteps[op->op];
Slot:
    if (!parameter(op->index, values[op->depth])) return false;
    ZORV_QUICK_STEP();
Int:
    values[op->depth] = int32_t(op->index);
    ZORV_QUICK_STEP();
BinarySlot:
    if (!parameter(op->index, right) ||
        !IntegerResult(op->code, uint32_t(values[op->depth]), uint32_t(right), values[op->depth]))
        return false;
    ZORV_QUICK_STEP();
BinaryInt:
    if (!IntegerResult(op->code, uint32_t(values[op->depth]), op->index, values[op->depth]))
        return false;
    ZORV_QUICK_STEP();
SlotSlot:
    if (!parameter(op->count, values[op->depth]) || !parameter(op->index, right) ||
        !IntegerResult(op->code, uint32_t(values[op->depth]), uint32_t(right), values[op->depth]))
        return false;
    ZORV_QUICK_STEP();
SlotInt:
    if (!parameter(op->count, values[op->depth]) ||
        !IntegerResult(op->code, uint32_t(values[op->depth]), op->index, values[op->depth]))
        return false;
    ZORV_QUICK_STEP();
Binary:
    if (!IntegerResult(op->code, uint32_t(values[op->depth]), uint32_t(values[op->depth + 1]),
                       values[op->depth]))
        return false;
    ZORV_QUICK_STEP();
Swap:
    values[op->depth] = values[op->depth + 1];
    ZORV_QUICK_STEP();
Next:
    ZORV_QUICK_STEP();
Return:
    result = values[1];
    return true;
#undef ZORV_QUICK_STEP
}

// QuickReturnOf, with the commonest body, a Return of one operator on parameters or a
// parameter and an integer, worked out in place of the steps' dispatch.
template <class Parameter>
[[gnu::always_inline]] inline bool QuickAnswer(const CompiledFunction& code, Parameter parameter,
                                               int32_t& result) {
    const CompiledOp* op = code.ops.data();
    int32_t left;
    int32_t right;
    if (op->op == kOpSlotSlot && op[1].op == kOpReturn)
        return parameter(op->count, left) && parameter(op->index, right) &&
               IntegerResult(op->code, uint32_t(left), uint32_t(right), result);
    if (op->op == kOpSlotInt && op[1].op == kOpReturn)
        return parameter(op->count, left) &&
               IntegerResult(op->code, uint32_t(left), op->index, result);
    return QuickReturnOf(code, parameter, result);
}

// An integer or a double, as a value holds it: the integer sign-extended, or the
// double's bits.
struct Number {
    int64_t bits;
    uint32_t kind;
    int32_t Int() const { return int32_t(bits); }
    double Dbl() const { return std::bit_cast<double>(bits); }
};

inline Number Integer(int32_t value) {
    return Number{value, kValueInt};
}

inline Number Double(double value) {
    return Number{std::bit_cast<int64_t>(value), kValueDouble};
}

// A value's number; with `kIntegers`, only an integer.
template <bool kIntegers>
[[gnu::always_inline]] inline bool Read(const CValue& value, Number& out) {
    const uint32_t kind = value.GetType();
    if (kind == kValueInt)
        out = Integer(value.IntPayload());
    else if (!kIntegers && kind == kValueDouble)
        out = Double(value.DoublePayload());
    else
        return false;
    return true;
}

// The integer a value reads as where an operator wants one.
inline int32_t AsInt(const Number& n) {
    return n.kind == kValueInt ? n.Int() : DoubleToInt(n.Dbl());
}

// `code` of `a` and `b` into `a`. Two integers stay integers; a double on either side
// makes the arithmetic and the comparisons work on doubles, while the bitwise and logical
// operators take both sides' integers. False where CValue fails (a division by zero) and
// for operators it has no rule of numbers for.
template <bool kIntegers>
[[gnu::always_inline]] inline bool NumberResult(uint32_t code, Number& a, const Number& b) {
    int32_t result;
    if (kIntegers || (a.kind | b.kind) == kValueInt) {
        if (!IntegerResult(code, uint32_t(a.Int()), uint32_t(b.Int()), result)) return false;
        a = Integer(result);
        return true;
    }
    const double x = a.kind == kValueInt ? double(a.Int()) : a.Dbl();
    const double y = b.kind == kValueInt ? double(b.Int()) : b.Dbl();
    switch (code) {
    case kTokenPlus:
        a = Double(x + y);
        return true;
    case kTokenMinus:
        a = Double(x - y);
        return true;
    case kTokenMultiply:
        a = Double(x * y);
        return true;
    case kTokenDivide:
        if (y == 0.0) return false;
        a = Double(x / y);
        return true;
    case kTokenModulo:
        if (y == 0.0) return false;
        a = Double(std::fmod(x, y));
        return true;
    case kTokenGreaterEqual:
        a = Integer(x >= y);
        return true;
    case kTokenLessEqual:
        a = Integer(x <= y);
        return true;
    case kTokenEqual:
        a = Integer(x == y);
        return true;
    case kTokenLess:
        a = Integer(x < y);
        return true;
    case kTokenGreater:
        a = Integer(x > y);
        return true;
    case kTokenNotEqual:
        a = Integer(x != y);
        return true;
    default:
        if (!IntegerResult(code, uint32_t(AsInt(a)), uint32_t(AsInt(b)), result)) return false;
        a = Integer(result);
        return true;
    }
}

inline void StoreNumber(CValue& value, const Number& n) {
    if (n.kind == kValueInt)
        value.SetInt(n.Int());
    else
        value.SetFloat(n.Dbl());
}

// CValue::Assign from an integer or a double, inlined where a value is handed on in a
// call (arguments, results), which mostly are numbers: the runner is too large for the
// compiler to inline Assign into it. The number is read before the old content goes.
[[gnu::always_inline]] inline void AssignNumber(CValue& to, const CValue& from) {
    if (from.GetType() == kValueInt)
        to.SetInt(from.IntPayload());
    else
        to.SetFloat(from.DoublePayload());
}

// The operator a compound assignment applies to its variable.
inline uint32_t CompoundOperator(uint32_t code) {
    switch (code) {
    case kTokenAddAssign:
        return kTokenPlus;
    case kTokenSubtractAssign:
        return kTokenMinus;
    case kTokenMultiplyAssign:
        return kTokenMultiply;
    case kTokenDivideAssign:
        return kTokenDivide;
    case kTokenAndAssign:
        return kTokenBitAnd;
    case kTokenOrAssign:
        return kTokenBitOr;
    case kTokenXorAssign:
        return kTokenBitXor;
    case kTokenModuloAssign:
        return kTokenModulo;
    case kTokenShiftLeftAssign:
        return kTokenShiftLeft;
    default:
        return kTokenShiftRight;
    }
}
