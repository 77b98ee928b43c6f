// The accumulator code of the arithmetic forms, run on the values the caller read for
// the form's names: kept inline, as it is the inner loop of every short-cut statement.
#pragma once

#include <cstdint>

#include "script/interpreter/expression_form.h"
#include "script/language/token_codes.h"
#include "script/language/token_record.h"
#include "script/values/script_array.h"
#include "script/values/value.h"

// `a` op `b` on integers as the value operators compute it; false where they would
// raise an error (division by zero) or the operator takes no numbers.
inline bool IntegerOperator(uint16_t code, int32_t a, int32_t b, int32_t& result) {
    uint32_t x = uint32_t(a);
    uint32_t y = uint32_t(b);
    switch (code) {
    case kTokenPlus:
        result = WrapInt(x + y);
        return true;
    case kTokenMinus:
        result = WrapInt(x - y);
        return true;
    case kTokenMultiply:
        result = WrapInt(x * y);
        return true;
    case kTokenDivide:
        if (b == 0) return false;
        result = b == -1 ? WrapInt(0u - x) : a / b;
        return true;
    case kTokenModulo:
        if (b == 0) return false;
        result = b == -1 ? 0 : a % b;
        return true;
    case kTokenGreaterEqual:
        result = a >= b;
        return true;
    case kTokenLessEqual:
        result = a <= b;
        return true;
    case kTokenEqual:
        result = a == b;
        return true;
    case kTokenLess:
        result = a < b;
        return true;
    case kTokenGreater:
        result = a > b;
        return true;
    case kTokenNotEqual:
        result = a != b;
        return true;
    case kTokenBitAnd:
        result = int32_t(x & y);
        return true;
    case kTokenBitOr:
        result = int32_t(x | y);
        return true;
    case kTokenBitXor:
        result = int32_t(x ^ y);
        return true;
    case kTokenShiftLeft:
        result = WrapInt(x << (y & 31));
        return true;
    case kTokenShiftRight:
        result = a >> (y & 31);
        return true;
    case kTokenLogicalAnd:
        result = x != 0 && y != 0;
        return true;
    case kTokenLogicalOr:
        result = x != 0 || y != 0;
        return true;
    default:
        return false;
    }
}

// The integer of element `number` of an integer form's code and its flat index, when the
// element exists and holds an integer.
inline bool FormItem(const ExpressionForm& form, uint8_t number, const int32_t* names,
                     CScriptArray* const* arrays, int32_t& value, uint32_t& flat) {
    const FormElement& element = form.elements[number];
    auto index = [&form, names, &element](uint32_t k) {
        return element.indexOperands[k] == kOperandName ? names[element.indices[k]]
                                                        : form.steps[element.indices[k]].integer;
    };
    const CScriptArray& array = *arrays[element.array];
    int32_t indices[FormElement::kMaxIndices] = {index(0), 0};
    if (element.count != 1) indices[1] = index(1);
    return array.FindFlatIndex(indices, element.count, flat) && array.ReadInt(flat, value);
}

// An integer form's accumulator code on the values of its names, its elements (`items`)
// and the values of its calls and members (`computed`: the calls', then from kMaxCalls
// on the members'): the expression's value; false where an operation needs the general
// run (division by zero).
[[gnu::always_inline]] inline bool RunIntegerOps(const ExpressionForm& form, const int32_t* names,
                                                 const int32_t* items, const int32_t* computed,
                                                 int32_t& result) {
    int32_t pushed[ExpressionForm::kMaxSteps];
    uint32_t n = 0;
    int32_t accumulator = 0;
    const IntegerOp* end = form.integerOps + form.opCount;
    for (const IntegerOp* op = form.integerOps; op != end; ++op) {
        if (op->code == kIntegerPush) {
            pushed[n++] = accumulator;
            continue;
        }
        int32_t operand;
        if (op->operand == kOperandName) {
            operand = names[op->index];
        } else if (op->operand == kOperandElement) {
            operand = items[op->index];
        } else if (op->operand == kOperandLiteral) {
            operand = form.steps[op->index].integer;
        } else if (op->operand == kOperandCall) {
            operand = computed[op->index];
        } else if (op->operand == kOperandMember) {
            operand = computed[ExpressionForm::kMaxCalls + op->index];
        } else {
            operand = pushed[--n];
        }
        if (op->code == kIntegerLoad) {
            accumulator = operand;
            continue;
        }
        int32_t left = op->code == kIntegerApply ? accumulator : operand;
        int32_t right = op->code == kIntegerApply ? operand : accumulator;
        if (op->op == kTokenPlus)
            accumulator = WrapInt(uint32_t(left) + uint32_t(right));
        else if (op->op == kTokenMinus)
            accumulator = WrapInt(uint32_t(left) - uint32_t(right));
        else if (!IntegerOperator(op->op, left, right, accumulator))
            return false;
    }
    result = accumulator;
    return true;
}

// A double form's accumulator code on the values of its names; false where an
// operation needs the general run (division by zero).
[[gnu::always_inline]] inline bool RunDoubleCode(const ExpressionForm& form, const double* names,
                                                 double& result) {
    double pushed[ExpressionForm::kMaxSteps];
    uint32_t n = 0;
    double accumulator = 0.0;
    const DoubleOp* end = form.doubleOps + form.opCount;
    for (const DoubleOp* op = form.doubleOps; op != end; ++op) {
        const double* literal = &form.steps[op->index].number;
        const double* name = &names[op->index];
        switch (op->code) {
        case kDoublePush:
            pushed[n++] = accumulator;
            break;
        case DoubleCode(kDoubleLoad, kOperandLiteral):
            accumulator = *literal;
            break;
        case DoubleCode(kDoubleLoad, kOperandName):
            accumulator = *name;
            break;
        case DoubleCode(kDoubleAdd, kOperandLiteral):
            accumulator += *literal;
            break;
        case DoubleCode(kDoubleAdd, kOperandName):
            accumulator += *name;
            break;
        case DoubleCode(kDoubleSubtract, kOperandLiteral):
            accumulator -= *literal;
            break;
        case DoubleCode(kDoubleSubtract, kOperandName):
            accumulator -= *name;
            break;
        case DoubleCode(kDoubleMultiply, kOperandLiteral):
            accumulator *= *literal;
            break;
        case DoubleCode(kDoubleMultiply, kOperandName):
            accumulator *= *name;
            break;
        case DoubleCode(kDoubleDivide, kOperandLiteral):
            if (*literal == 0.0) return false;
            accumulator /= *literal;
            break;
        case DoubleCode(kDoubleDivide, kOperandName):
            if (*name == 0.0) return false;
            accumulator /= *name;
            break;
        case DoubleCode(kDoubleAddReversed, kOperandLiteral):
            accumulator = *literal + accumulator;
            break;
        case DoubleCode(kDoubleAddReversed, kOperandName):
            accumulator = *name + accumulator;
            break;
        case DoubleCode(kDoubleAddReversed, kOperandPopped):
            accumulator = pushed[--n] + accumulator;
            break;
        case DoubleCode(kDoubleSubtractReversed, kOperandLiteral):
            accumulator = *literal - accumulator;
            break;
        case DoubleCode(kDoubleSubtractReversed, kOperandName):
            accumulator = *name - accumulator;
            break;
        case DoubleCode(kDoubleSubtractReversed, kOperandPopped):
            accumulator = pushed[--n] - accumulator;
            break;
        case DoubleCode(kDoubleMultiplyReversed, kOperandLiteral):
            accumulator = *literal * accumulator;
            break;
        case DoubleCode(kDoubleMultiplyReversed, kOperandName):
            accumulator = *name * accumulator;
            break;
        case DoubleCode(kDoubleMultiplyReversed, kOperandPopped):
            accumulator = pushed[--n] * accumulator;
            break;
        case DoubleCode(kDoubleDivideReversed, kOperandLiteral):
            if (accumulator == 0.0) return false;
            accumulator = *literal / accumulator;
            break;
        case DoubleCode(kDoubleDivideReversed, kOperandName):
            if (accumulator == 0.0) return false;
            accumulator = *name / accumulator;
            break;
        case DoubleCode(kDoubleDivideReversed, kOperandPopped):
            if (accumulator == 0.0) return false;
            accumulator = pushed[--n] / accumulator;
            break;
        default:
            // Never compiled: a load from the pushed values, or a pushed right side.
            return false;
        }
    }
    result = accumulator;
    return true;
}
