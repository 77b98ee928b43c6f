// The decoded form of an expression, shared by its decoder and the interpreter's
// short cuts: the kinds of its steps and the shapes that run straight through.
#pragma once

#include <cstdint>

enum StepKind : uint16_t {
    // A name; its `code` is 0, or 1 + the index of an earlier step of the same name (a
    // name, member or element), whose variable it takes without looking it up again.
    kStepName,
    kStepInteger,
    kStepDouble,
    kStepBinary,
    kStepNegate,
    kStepNot,
    // An array element; `code` is the count of its indices, computed before it.
    kStepElement,
    // A member of the script object a name holds; the member token follows the name's.
    // Its `code` names an earlier step of the same name as a name's does.
    kStepMember,
    // A call of a function by its name; `code` is the count of its arguments, computed
    // before it.
    kStepCall,
    // The steps that write a variable; only the last step of a form may be one.
    kStepPreStep,
    kStepPostStep,
    kStepAssign,
    kStepCompound,
};

// Forms whose first value is an integer variable run straight through when they are
// one of these.
enum FormShape : uint32_t {
    kShapeGeneral,
    kShapeName,        // x
    kShapeNameStep,    // x++, x--, ++x, --x
    kShapeNameInteger, // x < 10, x + 1 and the like, with an integer literal
    kShapeInteger,     // 1
    // Names, integer literals and two-operand operators on numbers, the last step maybe
    // an assignment: tried on integers alone before the general run.
    kShapeArithmetic,
    // The same with array elements among the operands.
    kShapeElementArithmetic,
    // Names, double literals and + - * / on them, the last step maybe an assignment:
    // tried on doubles alone before the general run.
    kShapeDoubleArithmetic,
    // The integer arithmetic shapes with calls or members of script objects among the
    // operands (each argument a name or a literal): run from accumulator code while
    // every function called computes its value from its parameters alone and every
    // member read exists, else by the general run.
    kShapeCodeArithmetic,
};

// The operations of a double form's accumulator code. The reversed ones take the
// operand as their left side: a op= b is acc = acc op b, b op acc for the reversed.
enum DoubleOperation : uint8_t {
    kDoubleLoad,
    kDoubleAdd,
    kDoubleSubtract,
    kDoubleMultiply,
    kDoubleDivide,
    kDoubleAddReversed,
    kDoubleSubtractReversed,
    kDoubleMultiplyReversed,
    kDoubleDivideReversed,
};

// Where an operation's operand comes from: a literal (the number of step `index`),
// the form's name `index`, the value pushed last, or (integer code only) the form's
// element `index`, the value of its call `index` or its member `index`.
enum FormOperand : uint8_t {
    kOperandLiteral,
    kOperandName,
    kOperandPopped,
    kOperandElement,
    kOperandCall,
    kOperandMember,
};

// The instructions of an integer form's accumulator code; Apply combines the
// accumulator with the operand, the reversed one the operand with the accumulator.
enum IntegerOpCode : uint8_t {
    kIntegerLoad,
    kIntegerPush,
    kIntegerApply,
    kIntegerApplyReversed,
};

// The code of an instruction: the operation and its operand's origin in one, so that
// the run dispatches once per instruction. Code 0 pushes the accumulator.
inline constexpr uint8_t kDoublePush = 0;
constexpr uint8_t DoubleCode(DoubleOperation operation, FormOperand operand) {
    return uint8_t(1 + 4 * operation + operand);
}

// The shapes that RunShortForm runs.
inline bool IsShortShape(uint32_t shape) {
    return shape >= kShapeName && shape <= kShapeInteger;
}

// Integer arithmetic wraps around as 32-bit two's complement.
inline int32_t WrapInt(uint32_t value) {
    return static_cast<int32_t>(value);
}
