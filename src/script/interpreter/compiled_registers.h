// The number code of a kOpNumberCode as a register program: one instruction per
// operation, whose opcode names both the operator and where its operands are (a
// register, a slot of the call, an integer or double written into the instruction), so
// that running it takes one dispatch per operation and no choice of operator.
// Registers are the places of the expression by depth; the program ends by naming the
// register that holds the expression's value.
#pragma once

#include <cstdint>
#include <vector>

#include "script/interpreter/compiled_register_members.h"

struct CompiledMethodSite;
struct CompiledOp;
struct ElementRead;
struct CVariable;

// The operators of the number code, in the order of their opcodes.
#define ZORV_NUMBER_OPERATORS(X)                                                                   \
    X(Add, kTokenPlus)                                                                             \
    X(Subtract, kTokenMinus)                                                                       \
    X(Multiply, kTokenMultiply)                                                                    \
    X(Divide, kTokenDivide)                                                                        \
    X(Modulo, kTokenModulo)                                                                        \
    X(ShiftLeft, kTokenShiftLeft)                                                                  \
    X(ShiftRight, kTokenShiftRight)                                                                \
    X(BitAnd, kTokenBitAnd)                                                                        \
    X(BitOr, kTokenBitOr)                                                                          \
    X(BitXor, kTokenBitXor)                                                                        \
    X(LogicalAnd, kTokenLogicalAnd)                                                                \
    X(LogicalOr, kTokenLogicalOr)                                                                  \
    X(GreaterEqual, kTokenGreaterEqual)                                                            \
    X(LessEqual, kTokenLessEqual)                                                                  \
    X(Equal, kTokenEqual)                                                                          \
    X(Less, kTokenLess)                                                                            \
    X(Greater, kTokenGreater)                                                                      \
    X(NotEqual, kTokenNotEqual)

// Where a binary instruction finds its operands: register `target` and the register
// above it, `target` and slot `right`, `target` and integer `right`, slots `left` and
// `right`, slot `left` and integer `right`, `target` and the double whose bits are
// `right`, slot `left` and that double, `target` and the variable of the program's name
// `right`. The result goes to `target`.
enum RegisterForm : uint8_t {
    kFormRegisters,
    kFormSlot,
    kFormInt,
    kFormSlots,
    kFormSlotInt,
    kFormDouble,
    kFormSlotDouble,
    kFormName,
    kRegisterForms,
};

enum RegisterOpcode : uint8_t {
    // Into `target`: slot `right`; slot `right` when the call bound it; integer `right`;
    // the double whose bits are `right`; the variable of the program's name `left`
    // (whose token is `token`); register `target` + 1.
    kRegisterSlot,
    kRegisterBoundSlot,
    kRegisterInt,
    kRegisterDouble,
    kRegisterName,
    kRegisterMove,
    // Into `target`: the number in the cell of the element `elements[left]` names.
    kRegisterElement,
    // Unary operators on `target`.
    kRegisterNegate,
    kRegisterNot,
    kRegisterComplement,
    // The program's value is register `target`.
    kRegisterReturn,
    // The binary operators, kRegisterForms opcodes each, in the order of
    // ZORV_NUMBER_OPERATORS.
    kRegisterBinary,
};

struct RegisterInstruction {
    uint16_t opcode;
    uint8_t target;
    uint32_t left;
    int64_t right;
    uint8_t* token;
    // Of a division or a remainder by the integer `right`: DivisorReciprocal of it, which
    // the plain runner multiplies by rather than divide (0: none).
    uint64_t reciprocal = 0;
    // Of a kRegisterReturn, or an operator reading register `target`, in a program of plain
    // integers or of plain members (MarkTargetsAtHand): the instruction before it is an
    // operator whose result went to `target`, which those runners then still hold rather
    // than reading it back from where it was just stored.
    bool targetAtHand = false;
};

// How many declarations of a row (CompiledFunction::declarationRuns) are to be done, and
// the mark of the temporary texts for the housekeeping check that one of their ends may
// come to.
struct DeclarationRun {
    uint8_t quota;
    uint32_t poolMark;
};

struct NumberProgram {
    // Empty when the number code has what the registers do not cover (calls, "++" and
    // "--"): the steps of the number code are then replayed.
    std::vector<RegisterInstruction> code;
    // The name tokens the program reads, and the variables they found while the scopes
    // were in state `epoch`: a lookup gives the same answer until the scopes change, so
    // the names are looked up once per state rather than once per read.
    std::vector<uint8_t*> names;
    mutable std::vector<CVariable*> variables;
    mutable uint64_t epoch = 0;
    // The shape of the locals and the stamps of This and of the globals when the names were
    // found, none of them in the locals (globalsStamp 0, which no stamp is, when one was):
    // while they hold, every name finds the same variable in any state of the scopes, so a
    // function called again, whose new call makes a new state, finds its names without a
    // lookup.
    mutable uint64_t localsShape = 0;
    mutable uint64_t currentStamp = 0;
    mutable uint64_t globalsStamp = 0;
    // A statement "name++", "name--" or "name op= integer" on a name that is no slot, whose
    // program is no more than the name's value and the integer joined by operator
    // `nameStep` (0: the program is something else): done on an integer in the name's
    // variable without running the program.
    uint32_t nameStep = 0;
    int32_t nameOperand = 0;
    // The elements the program reads, of an array held in a slot or named through the
    // scopes (its `slot` then the place of the name in `names`).
    std::vector<ElementRead> elements;
    // The members the program reads or assigns, whose variables follow the names' in
    // `variables`, found on every run (compiled_register_members.cpp).
    std::vector<MemberOperand> members;
    // Whether the number code reads an element or a member, which only a register program
    // can do.
    bool readsElements = false;
    // Once the program has met a double: the program written again for the kinds of the
    // values it read (compiled_register_kinds.h), empty until written and after its
    // kinds stopped holding; written `kindings` times, at most kMaxKindings, after which a
    // program whose kinds keep changing stays with the one that keeps kinds.
    mutable std::vector<RegisterInstruction> kinded;
    mutable uint8_t kindings = 0;
    static constexpr uint8_t kMaxKindings = 4;
    // Whether the program has names or members, whose variables are found before its first
    // instruction.
    bool findsVariables = false;
    // An element store whose index the program works out, into register 1: only a loop
    // program's store takes the index from there, so that alone the statement takes its
    // full steps.
    bool storesByIndex = false;
};

// The register program of kOpNumberCode `at`, whose expression's steps run up to `end`,
// in code whose token stream begins at `stream`; empty when it has what the registers
// do not cover.
NumberProgram CompileNumberProgram(const CompiledOp* at, const CompiledOp* end,
                                   const std::vector<double>& doubles,
                                   const std::vector<ElementRead>& elementReads,
                                   const std::vector<CompiledMethodSite>& methodSites,
                                   uint8_t* stream);
// Whether the register program of number code `op` reads slots and integers alone and assigns
// a slot or nothing: RunPlainProgram can run it.
bool IsPlainProgram(const NumberProgram& program, const CompiledOp& op);
// Marks each instruction of a plain program that reads the register the operator before it
// worked out (targetAtHand).
void MarkTargetsAtHand(NumberProgram& program);
// Whether the register program of number code `op` reads members, slots and integers alone
// and assigns a member, a slot or nothing: RunPlainMembers can run it.
bool IsPlainMemberProgram(const NumberProgram& program, const CompiledOp& op);
