// A register program written again for the kinds of the values it read when it was
// written: each load checks that its value still has that kind, and every operator then
// runs on a plain int32 or double, chosen when the program was written, with no test of
// kinds. The kinds of the registers follow from the loads as CValue's rules make them, so
// the values and kinds it gives are those of the program that keeps kinds.
#pragma once

#include <cstdint>
#include <vector>

#include "script/interpreter/compiled_elements.h"
#include "script/interpreter/compiled_numbers.h"
#include "script/interpreter/compiled_registers.h"

// Opcodes of a kinded program. Loads into `target`, each false unless the value there has
// the kind of its name: slot `right`; slot `right` when the call bound it; the variable of
// name `left`; the element `elements[left]`. Then the integer `right`, the double whose
// bits are `right`, and register `target` + 1.
enum KindedOpcode : uint8_t {
    kKindedSlotInt,
    kKindedSlotDouble,
    kKindedBoundSlotInt,
    kKindedBoundSlotDouble,
    kKindedNameInt,
    kKindedNameDouble,
    kKindedElementInt,
    kKindedElementDouble,
    kKindedInt,
    kKindedDouble,
    kKindedMove,
    // Register `target` made a double, or an integer as an operator wants one.
    kKindedToDouble,
    kKindedToInt,
    kKindedNegateInt,
    kKindedNegateDouble,
    kKindedNotInt,
    kKindedNotDouble,
    kKindedComplement,
    kKindedReturnInt,
    kKindedReturnDouble,
    // The binary operators, in the order of ZORV_NUMBER_OPERATORS, each on integers then
    // on doubles, kKindedForms opcodes each.
    kKindedBinary,
};

// Where a kinded binary instruction finds its operands, both of the operator's kind:
// register `target` and the one above it, `target` and slot `right`, `target` and the
// constant `right`, slots `left` and `right`, slot `left` and the constant `right`,
// `target` and the variable of name `right`.
enum KindedForm : uint8_t {
    kKindedRegisters,
    kKindedSlot,
    kKindedConstant,
    kKindedSlots,
    kKindedSlotConstant,
    kKindedName,
    kKindedForms,
};

#define ZORV_COUNT_OPERATOR(name, token) +1
constexpr uint32_t kNumberOperatorCount = 0 ZORV_NUMBER_OPERATORS(ZORV_COUNT_OPERATOR);
#undef ZORV_COUNT_OPERATOR

// The comparisons, the last operators of ZORV_NUMBER_OPERATORS.
#define ZORV_COMPARISONS(X)                                                                        \
    X(GreaterEqual, kTokenGreaterEqual)                                                            \
    X(LessEqual, kTokenLessEqual)                                                                  \
    X(Equal, kTokenEqual)                                                                          \
    X(Less, kTokenLess)                                                                            \
    X(Greater, kTokenGreater)                                                                      \
    X(NotEqual, kTokenNotEqual)
#define ZORV_COUNT_OPERATOR(name, token) +1
constexpr uint32_t kComparisonCount = 0 ZORV_COMPARISONS(ZORV_COUNT_OPERATOR);
#undef ZORV_COUNT_OPERATOR
constexpr uint32_t kFirstComparison = kNumberOperatorCount - kComparisonCount;

// The opcodes of loop programs (compiled_register_loops.h), after the binary ones. A store
// of register `target` (an integer or a double) into slot `right`, the statement's value
// being register `left`, false when the slot holds no number; a branch to instruction
// `left` when register `target` holds (read as an integer); a statement's end, step
// `right`, counted, where a change of the scopes leaves for step `left`; a jump to
// instruction `left`; the way out to step `right`; a block begun or ended by step `right`,
// where a change of the scopes leaves for step `left`.
enum LoopOpcode : uint32_t {
    kLoopStoreInt = kKindedBinary + kNumberOperatorCount * 2 * kKindedForms,
    kLoopStoreDouble,
    kLoopBranchInt,
    kLoopBranchDouble,
    kLoopEnd,
    kLoopJump,
    kLoopExit,
    kLoopPushBlock,
    kLoopPopBlock,
    // ---- Element stores ----
    // Register `target`, an integer or a double, written into the cell of element
    // `elements[left]`, or joined to the number there by the operator whose token is the
    // low byte of `right`; false when the cell holds no number. With kLoopLeavesValue in
    // `right`, the register is the statement's value.
    kLoopElementAssignInt,
    kLoopElementAssignDouble,
    kLoopElementJoinInt,
    kLoopElementJoinDouble,
    // ---- Elements of one index found in one instruction ----
    // The element of a one-dimensional array in a slot or named, at the index a slot holds
    // plus a constant, as QuickElementOf packs them into `right`: read into register
    // `target`, false unless the cell holds a number of the opcode's kind; or register
    // `target` assigned to it as kLoopElementAssign* does, growing the array by the element
    // just past its end, kLoopLeavesValue in `right` as there (`elements[left]` names it).
    kLoopQuickElementInt,
    kLoopQuickElementDouble,
    kLoopQuickAssignInt,
    kLoopQuickAssignDouble,
    // The element of a two-dimensional array, its indices slots' plus constants, as
    // QuickGridOf packs them into `right`, read as kLoopQuickElement* reads.
    kLoopQuickGridInt,
    kLoopQuickGridDouble,
    // ---- Members of objects (compiled_register_members.cpp) ----
    // Register `target`, an integer or a double, stored into the variable of member
    // `right`, the statement's value being register `left`; false when the member holds
    // no number.
    kLoopMemberStoreInt,
    kLoopMemberStoreDouble,
    // ---- Slots bound in the round ----
    // Slot `right` bound by the statement just stored into it, as kOpBindName binds a
    // name no scope has (the program is written only while none has it).
    kLoopBind,
    // ---- Stores that end their statement (the loop runner) ----
    // kLoopStoreInt or kLoopStoreDouble, then the kLoopEnd that follows it taken in the same
    // dispatch.
    kLoopStoreIntEnd,
    kLoopStoreDoubleEnd,
    // ---- Methods of numbers (compiled_methods.h) ----
    // Register `target` given the double that kRegisterMethod's NumberMethod gives for the
    // double in register `target` + 1, `left` and `right` as there; and what a method gives for
    // the numbers of the kinds `left` names in register `target` + 1 (or `target` and `target`
    // + 1), false unless it is of the kind `left` names.
    kLoopMethodDouble,
    kLoopMethodNumbers,
    // ---- Elements of one index worked out by the program (compiled_elements.h) ----
    // kRegisterIndexedElement's element read into register `target`, false unless the cell
    // holds a number of the opcode's kind.
    kLoopIndexedElementInt,
    kLoopIndexedElementDouble,
    // Register `target` stored into the element of one index `elements[left]` names, at the
    // integer in register 1 (kRegisterElementIndex), as kLoopQuickAssign* or
    // kLoopElementJoin* store it.
    kLoopIndexedAssignInt,
    kLoopIndexedAssignDouble,
    kLoopIndexedJoinInt,
    kLoopIndexedJoinDouble,
    // ---- Conditions that branch (the loop runner) ----
    // A comparison of the kinded binary opcodes, in their order (kKindedForms per operator
    // and kind), whose value only the kLoopBranchInt after it reads: compared and branched
    // in one dispatch, the branch staying in place for its target.
    kLoopCompareBranch,
    // kLoopBranchInt on register `target` joined by && or || to register `target` + 1, both
    // integers, in one dispatch.
    kLoopAndBranch = kLoopCompareBranch + kComparisonCount * 2 * kKindedForms,
    kLoopOrBranch,
    // ---- Slots copied by a statement (the loop runner) ----
    // Slot `left`, of the opcode's kind, stored into slot `right` as the statement's value,
    // false when either holds no number of its kind; then the kLoopEnd two instructions on
    // taken in the same dispatch (a kLoopStore*End of the copy stays between them).
    kLoopCopyIntEnd,
    kLoopCopyDoubleEnd,
    // ---- Integer slots stepped by a statement (the loop runner) ----
    // The integer in slot `left` joined by + to the integer `right` (wrapping), the slot
    // before the step being the statement's value, false when the slot holds no integer;
    // then the kLoopEnd three instructions on taken in the same dispatch.
    kLoopStepIntEnd,
    // kLoopStepIntEnd without the end: the instruction after its store follows.
    kLoopStepInt,
    // ---- Calls answered from their Return (compiled_methods.h) ----
    // kRegisterCall for the integers in the registers from `target` + 1 on, its fields as
    // there: false, nothing having changed, while its site's name holds another function
    // than the one the site last called or that one's Return gives no integer for them.
    kLoopCall,
    // ---- Integer constants stored into elements (the loop runner) ----
    // The integer `left` assigned to the element a kLoopQuickAssignInt of the same statement
    // right after it names, as that one assigns its register, which this one loads; the
    // store stays in place behind it, skipped.
    kLoopQuickConstant,
    // ---- Statement ends that jump (the loop runner) ----
    // kLoopEnd, then the kLoopJump after it (staying in place, of the same step) taken in the
    // same dispatch when the end only counts.
    kLoopEndJump,
    kLoopOpcodeEnd,
};
constexpr int64_t kLoopLeavesValue = 0x100;
static_assert(kLoopOpcodeEnd <= 65536);

// Writes program.kinded for the kinds of the values the program would read now, its names'
// variables found; false, leaving it empty, when a value read is no number or the program
// was written kMaxKindings times already.
[[gnu::noinline]] bool WriteKindedProgram(const NumberProgram& program, const CValue* slots,
                                          uint64_t bound);

// `program` written for the kinds `slotKinds` gives its slots (a value's type, or more
// than kValueDouble for no number; `slots` read for the indices of elements only) and its names'
// variables hold, appended to `out` without its return, its names and elements being those from
// `nameBase` and `elementBase` of the code it joins: the register holding its value and that
// value's kind, or false, `out` as it was, when a value read is no number.
bool AppendKindedStatement(const NumberProgram& program, const CValue* slots,
                           const uint32_t* slotKinds, uint64_t bound, uint32_t nameBase,
                           uint32_t elementBase, std::vector<RegisterInstruction>& out,
                           uint32_t& result, uint32_t& kind);

// A loop program's last value, to be left above the statement's base.
struct LoopValue {
    int64_t bits = 0;
    uint32_t kind = ~0u;
};

// program.kinded run, its value stored into `target` (when not null) and `place`; false,
// having changed nothing, when a value read has another kind than when it was written or
// an operator fails.
[[gnu::noinline]] bool RunKindedProgram(const NumberProgram& program, const CValue* slots,
                                        uint64_t bound, CValue* target, CValue& place);

// `code` without the moves of parenthesised operands whose code can write the register moved
// into instead, as a kinded program is written: the same values in fewer instructions.
void TakeOutMoves(std::vector<RegisterInstruction>& code);
