// The compiled form of a script function: instructions over the value stack above the
// depth where the call began, with the function's parameters and the variables its
// body declares at its top level in slots of the call. Each instruction carries the
// token the walk would stand on when it does the same step, so that errors and
// everything else that reads the current token see what the walk would show.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "script/interpreter/compiled_register_loops.h"
#include "script/interpreter/compiled_registers.h"

struct BlockRecord;
struct CClassRecord;
struct CVariable;
struct CompiledFunction;

enum CompiledOpCode : uint8_t {
    // The operand handler of the token's code at `depth`; for a text literal with a `count`,
    // the text of that number in the code's `texts`, as the handler gives it.
    kOpOperand,
    // A name read through the scopes as an operand.
    kOpName,
    // Integer `index` (an integer literal, True, False and their kin) as an operand.
    kOpInt,
    // The double of the token as an operand.
    kOpDouble,
    // Nothing as an operand: the default value the walk gives ")", "," and ";".
    kOpEmpty,
    // One round of a counting loop from `rounds[index]`, when its counter and limit hold
    // integers: the step, the test and the jump on. Else the steps that follow do it.
    kOpCountingRound,
    // A slot's value read as an operand; the token is the one after the name.
    kOpSlot,
    // The name of a variable being declared, not found: its placeholder.
    kOpUnbound,
    // A name assigned first by this statement, looked up: when no scope has it, slot
    // `index` is the local the assignment makes, for the rest of the call. `code` 1: the
    // name of "Var name = ...", looked up among the call's locals only.
    kOpBindName,
    // "=" to the name of a kOpBindName: into its slot when it became one.
    kOpAssignBound,
    // A name read as an operand: its slot when the call bound it, else through the
    // scopes. The token is the name's.
    kOpBoundSlot,
    // A Var: its name token is the declared one.
    kOpDeclare,
    // The operand at `depth` cleared, as a parenthesis begins.
    kOpClear,
    // The binary handler of `code` at `depth`.
    kOpBinary,
    // kOpSlot then kOpBinary, in one step.
    kOpBinarySlot,
    // kOpBoundSlot (its name token at stream offset `count`) then kOpBinary.
    kOpBinaryBoundSlot,
    // kOpInt then kOpBinary.
    kOpBinaryInt,
    // kOpName (its name token at stream offset `count`) then kOpBinary.
    kOpBinaryName,
    // kOpSlot of slot `count` (its token at stream offset `site`) then kOpBinarySlot.
    kOpSlotSlot,
    // kOpSlot of slot `count` (its token at stream offset `site`) then kOpBinaryInt.
    kOpSlotInt,
    // "=" to the placeholder of a declared variable: it becomes slot `index`.
    kOpAssignDeclared,
    // "?" reached ":" at `depth`: the value before ":" at depth + 1 stays there.
    kOpQuestion,
    // The value of "?" at `depth`: depth + 1 (before ":") or depth + 2 (after it).
    kOpChoose,
    kOpSwap,
    kOpNegate,
    kOpNot,
    kOpComplement,
    kOpPrefixStep,
    // The function a called name holds, kept as call `index` of the running code; the
    // call has `count` arguments and its site is `site`.
    kOpCallBegin,
    kOpArgumentsBegin,
    // The value above `depth` into argument `index` of pending call `site`.
    kOpArgument,
    // kOpSlot (slot `count`) then kOpArgument, in one step.
    kOpArgumentSlot,
    // kOpInt (integer `count`) then kOpArgument.
    kOpArgumentInt,
    kOpArgumentsEnd,
    // Call `index` with `count` arguments; its result at `depth`.
    kOpCallEnd,
    kOpEndStatement,
    // kOpEndStatement, then on to `index`.
    kOpEndAndJump,
    kOpJump,
    // To `index` when the value above the statement's base is not 0.
    kOpBranchTrue,
    kOpPushBlock,
    // Block `index` of blockSlots ends: its bound slots are let go, then it is popped.
    kOpPopBlock,
    kOpReturn,
    kOpReturnZero,
    // kOpDouble (the double `doubles[index]`) then kOpBinary.
    kOpBinaryDouble,
    // kOpSlot of slot `count` (its token at stream offset `site`) then kOpBinaryDouble.
    kOpSlotDouble,
    // The expression from the next step up to step `index` (a statement's end or a
    // branch) worked out on plain integers and doubles, as NumberCodeKind `code` says; on
    // to step `index` when it could be, else on to the next step, which works it out in
    // full. Only the compiler writes it, and keeps it where the expression has no effect
    // but its last assignment or step.
    kOpNumberCode,

    // ---- Switch, top levels and event handlers (compiled_switch.cpp) ----------------
    // The value above the statement's base is a Switch's selector, kept there while the
    // cases are tried, as a copy (which a placeholder cannot give).
    kOpSwitchSelector,
    // A Case: its value at depth 2 equals the selector at depth 1; the statement ends
    // and the code goes on at `index`.
    kOpCaseTest,
    // The walk's handler runs the statement at the token. When it stops at the token at
    // stream offset `index`, the code goes on with the next step; elsewhere, the
    // statement ends and the walk runs the rest (top levels and handlers only).
    kOpWalkStatement,
    // The walk runs the code from the token on, to its end (top levels and handlers).
    kOpWalkOn,
    // The walk's handler runs the If at the token: when it stops at stream offset `count`
    // (its statement), the code goes on with the next step; at offset `site` (what follows
    // it), the statement ends and the code goes on at `index`; elsewhere, as for
    // kOpWalkStatement (top levels and handlers).
    kOpWalkIf,

    // ---- Objects, members, methods, New and Delete (compiled_objects.cpp) ----------
    // The walk's operand handler of `code` on an operand with no expression inside it (a
    // run of members after a name, This, CurWindow, a class or singleton member, a text's
    // member), which must end at stream offset `count`; at the head's own offset it never
    // does (a method named through a class).
    kOpWalkOperand,
    // The value of slot `index` read at the member token that follows its name, and the
    // run of members up to stream offset `count` read as the walk reads them; member site
    // `site`. `code` 1: a slot of kOpBindName, read through the scopes while the call has
    // not bound it.
    kOpSlotMembers,
    // After kOpWalkOperand or kOpSlotMembers before "=": a member of a built-in object
    // may read the assignment itself (an event's handler), the walk's reading of the
    // right side ending at `token`; the code then goes on at `index`.
    kOpMemberAssigned,
    // The head of a chain of members that ends in a method call, as MemberChainHead
    // `code` says (slot `index`).
    kOpChainHead,
    // A member of such a chain, before its method call.
    kOpChainMember,
    // The method call token: what the call runs on is found and method site `site`
    // resolves the method; the `count` arguments follow.
    kOpMethodBegin,
    // The method call of site `site` with `count` arguments; its result at `depth`.
    kOpMethodEnd,
    // New: `code` 1 when it calls a script function; the arguments follow.
    kOpNewBegin,
    // New of the class or function at stream offset `index` with `count` arguments.
    kOpNewEnd,
    // Delete of the object above the statement's base.
    kOpDelete,

    // ---- Array elements "name[index, ...]" (compiled_elements.cpp) ----
    // Each begins with the array's variable, kept at `depth` while the indices are worked
    // out above it: slot `count`; slot `count` when the call bound it, else as
    // kOpElementName; the name of the token looked up through the scopes, where no
    // variable makes the placeholder of a new array and goes on to step `index`.
    kOpElementSlot,
    kOpElementBoundSlot,
    kOpElementName,
    // The value above `depth` made the integer of index `index` of the element there;
    // taken from where IndexSource `code` says.
    kOpElementIndex,
    // The element of `count` indices as an operand, read as ElementMode `code` says.
    kOpElement,
    // Operator `code` (an assignment, ++ or --) on the element operand at `depth`; its
    // element's cell written in place when kOpElement could read it so. `count` is 1 when
    // what follows may assign to the result, which then has to name the element.
    kOpElementAssign,
    // "=" to the placeholder of a new array at `depth` (see kOpNewArrayEnd); for any other
    // value there, on to step `index`, the kOpElementAssign.
    kOpNewArray,
    // The new array made with the value above `depth` at the `count` indices worked out
    // since kOpNewArray, its first element, as AssignToNewArray makes it; on to `index`.
    // `code` 1: the array is the local that binds slot `site` (kOpBindName's way).
    kOpNewArrayEnd,
    // The element that the steps from the next one up to step `index` read, in one step,
    // when its array's variable, its indices (ElementRead `count`) and a number in its
    // cell are at hand, read as ElementMode `code` says; else on to the next step.
    kOpElementRead,

    // ---- Members after elements and parentheses, members with an index list
    // (compiled_chains.cpp) ----
    // The element of `count` indices at `depth` (as kOpElement keeps it), then the run of
    // members after it, from the token's, read as the walk reads them up to stream offset
    // `site`.
    kOpElementMembers,
    // The value of a parenthesis at `depth`, then the run of members after it, from the
    // token's, read as the walk reads them up to stream offset `site`.
    kOpValueMembers,
    // The element of `count` indices at `depth`, or the value of a parenthesis there, as
    // the head of a chain of members that ends in a method call.
    kOpElementChainHead,
    kOpValueChainHead,
    // A member with an index list after a chain's head and members: on the script object
    // reached, the member found, its indices follow; a member not there yet makes the
    // placeholder of a new array and goes on to step `index`.
    kOpMemberElementBegin,
    // The element of that member (at stream offset `site`) at the `count` indices worked
    // out, and the run of members after it read as the walk reads them up to stream
    // offset `index`.
    kOpMemberElement,

    // ---- Element stores (compiled_elements.cpp) ----
    // The statement "element op operand" or "element op operand + operand ..." (op "=",
    // "+=", "-=", "*=", "++" or "--"; "-" or "*" for "+") whose element and operands
    // ElementStore `count` names, done in one step when its array, indices and the operand's number
    // are at
    // hand and the element's cell holds a number: on to `index`, the statement's end.
    // Else on to the next step, which does it in full.
    kOpElementStore,

    // ---- Statements on one slot ----
    // The statement "slot = operand", "slot op= operand", "slot++" or "slot--" (`code`
    // the operator) on slot `count`, its operand `site` as SlotStatementForm `depth`
    // says, done in one step when the slot holds a number and the operand one of the same
    // kind: on to `index`, the statement's end (a For loop's test, for its step). Else on
    // to the next step, which does it in full.
    kOpSlotStatement,
    // A kOpNumberCode of a condition that is one kOpSlotSlot or kOpSlotInt before its
    // kOpBranchTrue, with the branch taken in the same step when both hold integers.
    kOpSlotBranch,

    // ---- Loop rounds as one register program (compiled_register_loops.cpp) ----
    // A loop's round ending as kOpEndAndJump does, the next rounds then run by loop
    // program `count` (CompiledFunction::loopPrograms) from step `index` on, up to the
    // step it leaves at.
    kOpLoopRound,

    // ---- Members in number code (compiled_register_members.cpp) ----
    // A kOpNumberCode whose register program reads or assigns members of objects, which
    // are found as it runs (a loop program's, as the loop program is entered).
    kOpMemberNumbers,

    // ---- Calls of script functions (compiled_calls.cpp) ----
    // kOpCallBegin and the kOpArgumentsBegin after it, in one step with kOpCallBegin's
    // fields.
    kOpCallOpen,
    // kOpArgumentsEnd and the kOpCallEnd after it, in one step with kOpCallEnd's fields.
    kOpCallClose,
    // kOpCallBegin and the kOpCallEnd after it of a call without arguments, in one step
    // with kOpCallBegin's fields: kOpCallEnd's token is two tokens on.
    kOpCallBare,
    // The kOpSlotInt and kOpArgument that follow, an argument "slot op integer", in one
    // step when the slot holds an integer and the operator gives one, which goes straight
    // into the argument: on past them. Else on to the next step, which does it in full.
    kOpArgumentSlotInt,
    // A kOpCallOpen next whose arguments are each a kOpArgumentSlot, a kOpArgumentInt, a
    // kOpArgumentSlotInt's three steps, a kOpBoundSlot or an element of an array in a slot or
    // named (its indices slots, integers or runs of integer operators on them), each of the
    // last two with its kOpArgument: when the site's function is the one it called last,
    // compiled, and every argument is a number, a text or an object at hand, the call in one
    // step, its arguments worked out straight into the callee's slots, and on to `index`,
    // after its kOpCallClose. Else on to the next step, which makes the call in full.
    kOpCallDirect,

    // ---- Statements of small bodies (compiled_calls.cpp) ----
    // A "Var name = value" at the top level of a body, whose name is a slot and whose value
    // is number code without calls: register program `depth` assigns the slot as "slot =
    // value" would (fields as kOpNumberCode's), then on past the statement's end at `index`
    // when it has nothing to do but count. Else on to the Var's own steps, which do it in
    // full.
    kOpDeclareNumber,
    // "Var name;" whose name no scope may have yet, which makes no local: kOpDeclare, the
    // kOpUnbound placeholder above it and the kOpSwap after them in one step, which also
    // ends the statement when it has nothing to do but count.
    kOpDeclareFree,
    // Before the first of `count` kOpDeclareNumber in a row, each of plain integer code
    // ending in a kOpEndStatement: while their ends have nothing to do but count, or a check
    // that finds nothing due, they run as the code of declarationRuns[depth], on past the
    // last one done. The first one not done, and those after it, take their own steps.
    kOpDeclareNumbers,

    // ---- Statements around calls ----
    // A kOpNumberCode of a statement outside every loop round that only steps a name that is
    // no slot by an integer (NumberProgram::nameStep, "calls++"), done on the integer in the
    // name's variable while the scopes are as they were when it was found, and on past the
    // statement's end at `index` when it has nothing to do but count. Else as kOpNumberCode.
    kOpStepName,
    // "Return slot;": kOpSlot of slot `index` and the kOpReturn after it, in one step when
    // the slot holds a number. Else on to the kOpSlot's own way and the kOpReturn.
    kOpReturnSlot,
    // A kOpMemberNumbers outside every loop program whose end is its condition's branch or a
    // statement end (InMemberRow): it and the statements of such steps that its branch, end
    // and jump lead to run one after the other in one call (RunMemberRow) while their ends have
    // nothing to do but count, on past the last one done. Else as kOpMemberNumbers.
    kOpMemberRow,
    // "Return slot op integer;": kOpSlotInt at depth 1 and the kOpReturn after it, in one step
    // when the operator is worked out on integers. Else on to the kOpSlotInt's own way.
    kOpReturnSlotInt,
};

// Where a kOpSlotStatement finds its operand: slot `site`, the integer `site`, the double
// `doubles[site]`; nothing, for "++" and "--"; what the kOpSlotSlot, kOpSlotInt or
// kOpSlotDouble two steps on makes of its slot and operand; the value two places above the
// statement's base, which the steps of its expression left there (the step then stands
// before the statement's assignment, whose fields it takes); the integer operator `site` on
// the values two and three places above the base, which its steps left for the operator
// before the assignment (the step then stands before that operator); the same with the left
// operand in slot `site` >> 16 and the operator in its low 16 bits, when the reads of the
// left operand and of the target before the call were left for this step (readsAfterCall),
// which makes them when the steps are to go on without it. With
// kSlotTargetBound, the slot assigned is one of kOpBindName, left alone while the call has
// not bound it.
enum SlotStatementForm : uint16_t {
    kSlotFromSlot,
    kSlotFromInteger,
    kSlotFromDouble,
    kSlotStepOnly,
    kSlotFromPair,
    kSlotFromStack,
    kSlotFromStackPair,
    kSlotFromCallPair,
    kSlotFormMask = 0xFF,
    kSlotTargetBound = 0x100,
};

// Where a kOpElementIndex finds its index: the value above its depth, or the read that
// comes first in the index's own step (slot `count`; slot `count` when the call bound it,
// else the name at stream offset `site`; integer `count`).
enum IndexSource : uint8_t {
    kIndexFromStack,
    kIndexFromSlot,
    kIndexFromBoundSlot,
    kIndexFromInteger,
    // Only in an ElementRead: "slot + integer" or "slot - integer" (a slot of kOpBindName
    // for the second), the integer added as the operator wraps it.
    kIndexFromSlotOffset,
    kIndexFromBoundSlotOffset,
};

enum ElementMode : uint8_t {
    // As the walk reads an element: an existing one through its box.
    kElementAddressed,
    // Only the value is used: a number read from its cell.
    kElementValue,
    // The left side of a kOpElementAssign: a number read from its cell, which that step
    // writes.
    kElementTarget,
};

enum MemberChainHead : uint8_t {
    kChainSlot,
    // A slot of kOpBindName, read through the scopes while the call has not bound it.
    kChainBoundSlot,
    kChainName,
    kChainThis,
    kChainSingleton,
    kChainCurWindow,
    kChainText,
};

enum NumberCodeKind : uint8_t {
    // The value of a condition, left above the statement's base.
    kNumberValue,
    // "slot = value" or "slot op= value", slot `count`: one bound by kOpBindName when
    // `site` is 1.
    kNumberAssign,
    // "slot++" or "slot--" (`site` as for kNumberAssign).
    kNumberIncrement,
    kNumberDecrement,
    // ---- Names and elements of arrays as targets (compiled_register_names.h) ----
    // "element op= value" (operator `count`): the value worked out by the register program,
    // then stored into the cell of its first element (compiled_elements.cpp).
    kNumberElementStore,
};

// With kNumberAssign, kNumberIncrement and kNumberDecrement: the `site` of a statement
// on a name that is no slot, the first name of its register program.
constexpr uint32_t kNumberTargetName = 2;

struct CompiledOp {
    uint8_t op;
    uint8_t code;
    uint16_t depth;
    // A slot, jump target, block index, argument index or pending call.
    uint32_t index;
    uint32_t count;
    // kOpCallBegin and kOpCallEnd: their call site (CompiledFunction::sites); the
    // argument steps: their pending call.
    uint32_t site;
    uint8_t* token;
};

// A For loop whose step is "counter++" or "counter--" and whose condition compares the
// counter with an integer literal or another slot.
struct CountingRound {
    uint32_t counter;
    // The limit's slot, or kNoLimitSlot for the literal `limit`.
    uint32_t limitSlot;
    int32_t limit;
    int32_t step;
    uint8_t compare;
    // Where the code goes when the condition holds, and when it does not.
    uint32_t holds;
    uint32_t ends;
    static constexpr uint32_t kNoLimitSlot = ~0u;
};

// A kOpElementRead: the first step of its element (kOpElementSlot, kOpElementBoundSlot or
// kOpElementName: then the step's token) with its slot, and the indices as IndexSource
// and slot or integer, with the integer added to an offset slot's.
struct ElementRead {
    uint8_t begin;
    uint8_t count;
    uint8_t sources[2];
    uint32_t slot;
    uint32_t values[2];
    uint32_t offsets[2];
    static constexpr uint32_t kMaxIndices = 2;
};

// Where a kOpElementStore finds the number it assigns: an integer or the double
// `doubles[value]`; slot `value` (one of kOpBindName for the second); the element
// `elementReads[value]` of an array in a slot; nothing, for "++" and "--".
enum StoreSource : uint8_t {
    kStoreInteger,
    kStoreDouble,
    kStoreSlot,
    kStoreBoundSlot,
    kStoreElement,
    kStoreNothing,
};

// A kOpElementStore (its operator in the step's `code`): the element assigned
// (elementReads[target], its array in a slot) and what it assigns: an operand, then
// `joins` more, each joined to the value so far by its operator ("+", "-" or "*").
struct ElementStore {
    static constexpr uint32_t kMaxJoins = 3;
    uint32_t target;
    uint32_t value;
    uint8_t source;
    uint8_t joins;
    uint8_t sources[kMaxJoins];
    uint8_t operators[kMaxJoins];
    uint32_t values[kMaxJoins];
};

// The function a call site called last, and its compiled code (null: not covered); and
// the variable its name found, with the stamps of This and of the globals it was found
// with (stamps are never reused: while both are equal, the name finds that variable).
struct CompiledCallSite {
    const BlockRecord* function = nullptr;
    const CompiledFunction* code = nullptr;
    CVariable* variable = nullptr;
    uint64_t currentStamp = 0;
    uint64_t globalsStamp = 0;
    // The calls of the site still to go the full way before a kOpCallDirect tries again, after
    // one met an argument of a kind a slot keeps (an array, mostly).
    uint32_t directSkips = 0;
    static constexpr uint32_t kDirectSkips = 15;
};

// The class a method call site met last and the method its name has there; for a script
// object's method, the function it called last and its compiled code (null: not covered).
struct CompiledMethodSite {
    const CClassRecord* record = nullptr;
    uint32_t id = 0;
    const BlockRecord* function = nullptr;
    const CompiledFunction* code = nullptr;
};

// A member read after a slot's name: the shape of the object it met last and the front
// position (+ 1, 0: none) of the member there, which every object of that shape holds
// at the same place; and the stream offset of the name.
struct CompiledMemberSite {
    uint64_t shape = 0;
    uint32_t position = 0;
    uint32_t head = 0;
};

// What a call of compiled code sets up besides its slots.
enum CallFrameKind : uint8_t {
    // The walk's call: a locals object of its own and the function's block.
    kFrameFull,
    // The body reads names through the scopes but can make none: the call's locals
    // object stays empty, and no step reads the function's block.
    kFrameNamesOnly,
    // The body reaches no scope by name (nor the block stack beyond its own blocks): it
    // keeps the caller's locals object, which it cannot see.
    kFrameNoNames,
};

// What the walk does with the value an operand leaves when its expression ends at one of
// its members (a name that holds no object, a function): the steps of a MemberStop, each
// a prefix of the operand, the operator of a binary step (its token code), or what the
// construct around an expression does with its value.
enum MemberStopStep : uint8_t {
    kStopNegate = 1,
    kStopNot,
    kStopComplement,
    // The expression is the statement's: the statement ends, and the next, starting at
    // the member, fails.
    kStopStatement,
    // A parenthesis steps over the token (as over its ")"), and reads a member after it.
    kStopParenthesis,
    // Var's expression: the operand around it goes on.
    kStopVar,
    // A call's argument or a Return's value, which a name's placeholder cannot give; an
    // index, a loop's condition: the value is taken there.
    kStopArgument,
    kStopIndex,
    kStopLoopCondition,
    // An If's condition: taken after the token.
    kStopIf,
    // A Return's value: a function is given back as the call's result, and nothing after
    // the member is read (a name's placeholder fails as an argument does).
    kStopReturn,
};

// Thrown by the stop steps of a Return that gives back a function, out of the compiled
// code to the call that ran it, which ends as the code's own Return would end it (the
// value is already where the Return puts it).
struct ReturnedBeforeMember {};

struct MemberStop {
    // The member's token, as an offset in the stream.
    uint32_t member = 0;
    uint8_t count = 0;
    std::array<uint8_t, 15> steps{};
};

struct CompiledFunction;
// The CallFrameKind that a function body's code needs.
CallFrameKind FrameKindOf(const CompiledFunction& code);

// The texts of a body's literals, each in a block the code holds once: the kOpOperand of a
// literal lends its block to the value it makes (CValue::kBorrowedBlock), so that a value
// keeping the text (an assignment, an argument) shares the block rather than copying the
// text (compiled_texts.cpp).
class LiteralTexts {
public:
    LiteralTexts() = default;
    LiteralTexts(const LiteralTexts&) = delete;
    LiteralTexts& operator=(const LiteralTexts&) = delete;
    ~LiteralTexts();
    // The number (from 1) of a new block holding `text`; 0 when memory runs out.
    uint32_t Add(const char* text);
    // The bytes of block `number`.
    char* operator[](uint32_t number) const { return blocks_[number - 1]; }

private:
    std::vector<char*> blocks_;
};

struct CompiledFunction {
    std::vector<CompiledOp> ops;
    // A top level's code (RunTopLevel): when its steps reach the stream's end, the run is
    // over and RunCompiled returns, the normal end being no error to unwind for.
    bool topLevel = false;
    // Filled as the calls run.
    mutable std::vector<CompiledCallSite> sites;
    mutable std::vector<CompiledMethodSite> methodSites;
    mutable std::vector<CompiledMemberSite> memberSites;
    std::vector<CountingRound> rounds;
    // The double literals of kOpBinaryDouble and kOpSlotDouble.
    std::vector<double> doubles;
    // For each kOpNumberCode (by its `depth`), whether its expression has met a double:
    // it then goes straight to the steps that take both kinds. kCallsInFull: it calls a
    // function that is more than one Return, or a method its register program cannot call,
    // which only the full steps can run, so its step goes straight on to them.
    // kStepsOnIntegers: it has no register program, and its steps are replayed on integers;
    // kPlainIntegers: its register program is plain (IsPlainProgram) and runs on integers.
    mutable std::vector<uint8_t> metDoubles;
    // For each kOpNumberCode (by its `depth`) of "slot = slot op F(...)" whose two slot
    // reads come right after it and whose call's steps assign no slot: 1. Once it goes
    // straight on to the full steps, reads of numbers are left to its kSlotFromCallPair,
    // since nothing the call does can change a number in a slot of this call.
    std::vector<uint8_t> readsAfterCall;
    static constexpr uint8_t kCallsInFull = 2;
    static constexpr uint8_t kStepsOnIntegers = 3;
    static constexpr uint8_t kPlainIntegers = 4;
    // kPlainMembers: its register program is plain but for members (IsPlainMemberProgram).
    static constexpr uint8_t kPlainMembers = 5;
    // For each kOpNumberCode (as for metDoubles), how many of its last runs in a row gave
    // up (a text or an object met where numbers were expected): from kGiveUpStreak on, its
    // statement goes straight to the steps for kRunsAfterGiveUps runs, then tries once more.
    mutable std::vector<uint8_t> giveUps;
    static constexpr uint8_t kGiveUpStreak = 8;
    static constexpr uint8_t kRunsAfterGiveUps = 64;
    // For each kOpNumberCode (as for metDoubles), its register program.
    std::vector<NumberProgram> numberPrograms;
    std::vector<ElementRead> elementReads;
    std::vector<ElementStore> elementStores;
    // The loop rounds run as one register program each (kOpLoopRound).
    std::vector<LoopProgram> loopPrograms;
    uint32_t slotCount = 0;
    // The slots that kOpBindName binds, one bit each.
    uint64_t boundSlots = 0;
    // For each block of the body (the `index` of its kOpPopBlock), the slots bound in it.
    std::vector<uint64_t> blockSlots;
    uint32_t parameterCount = 0;
    // The body is one Return of integer operators over parameters and integer literals
    // (see QuickReturn), no deeper than kMaxQuickDepth.
    bool returnsOnly = false;
    // How much of the walk's call the code needs, as CallFrameKind says.
    uint8_t frameKind = 0;
    static constexpr uint32_t kMaxQuickDepth = 16;
    // The deepest place above the base that the code uses.
    uint32_t maxDepth = 0;
    // Calls under way at once (calls in arguments of calls).
    uint32_t maxPendingCalls = 0;
    static constexpr uint32_t kMaxPendingCalls = 16;
    // The pending call of the arguments of a method or a New, which always go into the
    // argument frame: its target is always null.
    static constexpr uint32_t kFrameArguments = kMaxPendingCalls;
    // For each slot of kOpBindName (`code` 0), the scope epoch at which its name was last
    // found in no scope: at that epoch again, the name is still in none.
    mutable std::vector<uint64_t> bindEpochs;
    // The register code of each kOpDeclareNumbers: its declarations' plain programs one after
    // the other, each kRegisterReturn storing into the declared slot `left`, `token` the
    // declared name and `right` the step of the declaration's end, counted from the
    // kOpDeclareNumbers.
    std::vector<NumberProgram> declarationRuns;
    // For each member of a chain the code reads, the walk's steps should its expression end
    // there.
    std::vector<MemberStop> memberStops;
    // The texts of the literals whose kOpOperand has a `count`.
    LiteralTexts texts;
};
