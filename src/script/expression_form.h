// The decoded form of an expression, shared by its decoder and the interpreter's
// short cuts: the kinds of its steps and the shapes that run straight through.
#pragma once

#include <cstdint>

enum StepKind : uint16_t {
    kStepName,
    kStepInteger,
    kStepDouble,
    kStepBinary,
    kStepNegate,
    kStepNot,
    // An array element; `code` is the count of its indices, computed before it.
    kStepElement,
    // A member of the script object a name holds; the member token follows the name's.
    kStepMember,
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
};

// Integer arithmetic wraps around as 32-bit two's complement.
inline int32_t WrapInt(uint32_t value) {
    return static_cast<int32_t>(value);
}
