// Script functions compiled to instructions: the compiler follows the statement loop and
// the expression walk over the linked stream and writes down each step they would take,
// in their order; the runner then takes those steps without reading the tokens.
//
// A function body is compiled only when every statement and operand in it is one the
// compiler knows; any other body runs on the walk. Not covered yet: members after a
// call's result, which the walk never reads (what it does instead depends on the
// statement: a Return gives the call's value), and "=" to a member with an index list
// that the object may not have when its indices read a slot (the walk's handler makes
// the array, reading them once more). ("?" not followed by ":", calls of more than 15
// arguments and more than 10 indices do not link.) Break or Continue with no loop to
// leave (or a Continue in a Switch) runs the walk's handler, which fails as it does on the
// walk.
//
// A module's top level and an event handler's body are compiled too, with no slots: the
// walk finds their names in the globals (a handler's parameters and Vars among them), so
// every name goes through the scopes. A statement of theirs that the compiler does not
// cover is left to the walk: an expression statement, or an If's condition, runs by the
// walk's handler and the code goes on where the handler stopped; any other statement,
// with everything after it, runs on the walk, which takes the blocks the compiled code
// pushed as they stand.
//
// Members, This, CurWindow, a class's or singleton's member and a text's method read
// without a call are operands with no expression inside them: the walk's own handlers read
// them, from the slot's value when the name is a slot's; a slot's number member is read in
// the step itself while the object's shape is the one its site met last (the member's
// place in the object's variables is then the same). A script object in a slot or in an element of
// an array at hand with no member after it is read in one step as the chain would leave it. A
// chain that ends in a method call
// takes a step per member, as the walk reads them, and one at each end of the call (what
// it runs on and its method, then the call), with the arguments compiled between them;
// each call site keeps the class it met last and the method its name has there. A
// built-in object's member followed by "=" may read the assignment itself, as an event
// property does: the code then goes on after it. New and Delete take the walk's steps
// around compiled arguments and operands; New of a script function makes its object after
// the arguments rather than before (nothing but the order of the objects in their class
// list can tell). Where the walk stops reading an operand at a member (a name that holds
// nothing or a function before it, a member after a method's result, anything but a
// script object before a member with an index list), its expression ends there and the
// statement starting at that member fails; the compiled code raises that error at once,
// without first working out the operators before the operand. A Return whose operand read a
// function there gives the function back, as the walk's does. The right side of an event property's
// assignment is read by the walk, which does not see the call's slots: it must not read them.
//
// An element or a parenthesis followed by members is worked out by compiled steps, and
// the walk's handlers read the members from its value; a method call after it takes the
// chain's steps. A member with an index list takes the chain's steps up to it, then its
// indices are compiled and the element read as the walk reads it. A method named through
// a class that is not a singleton's runs the walk's handler of the class, which always
// fails there.
//
// Names live in slots of the call where the walk would find a variable of the call's own:
// parameters, `Var name = ...` at the top level of the body, and names whose first use in
// the body is an assignment "name = ..." or "name[...] = ..." that always runs when its
// block does and names it nowhere else. Such a name is looked up when that assignment
// runs, in the step through the name's cache: found in no scope, the assignment makes the slot
// (holding the new array, for an element) the call's local until the block that made it ends;
// found, the name keeps going through the scopes. Another such assignment binds the slot again in a
// block that neither holds nor lies inside one binding it already (loops side by side). "Var name =
// ..." inside a block, whose statement names it nowhere else, binds a slot the same way, its name
// looked up among the call's locals only as the walk's Var does: the locals a loop body's Var
// makes each round are then slots, and its statement number code on them. A For loop counting
// with such a slot runs its step and test as one step while counter and limit hold integers, and an
// empty body's rounds in one go.
//
// A call of a compiled function from compiled code whose site called that function last
// takes the callee's slots off the slot stack as it begins, and its arguments are
// evaluated straight into them; calls in those arguments take theirs above. Other calls
// (the first of a site, one with more arguments than parameters) fill the argument frame,
// from which the callee's slots are filled as it begins. The call's first step opens its
// argument list too, and its last one closes it; a call without arguments is one step. An
// argument of a slot and an integer joined by an operator goes straight into its place while
// both are integers, and a call whose arguments are all such, slots (a name's slot once its
// assignment bound it among them), integer literals or elements of arrays (a number or a script
// object read from its cell) is made in one step while its site calls the function it called
// last and each argument is a number, a text or an object at hand (kOpCallDirect), the full
// steps that follow making it otherwise. A callee whose
// body can make no named variable runs without a locals object of its own and without its
// function's block (nothing it does reads them); when it reads no name through the scopes at all,
// it keeps its caller's locals object and scope epoch (FrameKindOf, compiled_calls.cpp), and
// called on its caller's This, its record keeps only its place, result and blocks. Such a
// callee's Return gives its value straight to the operand that the call stands for.
//
// A statement "slot = expression", "slot op= expression", "slot++" or "slot--", and the
// condition of an If, a While or a For, whose expression has only arithmetic, comparison,
// bitwise and logical operators, unary minus, "!" and "~" over slots, names, integer and
// double literals and calls, is worked out first on plain numbers (kOpNumberCode); the
// full steps follow for when a value read is not a number, an operator fails or a call is
// not one of those below. Without calls, the expression is a register program written
// at compile time, one instruction per operation with its operator and operand forms in
// its opcode (compiled_registers.cpp), its names looked up once per scope state and then
// read straight from their variables, and its elements read by kOpElementRead for their
// value (of an array in a slot or named) read straight from their cells; once it met a
// double, it is written again for the kinds its values hold, each load checking its kind
// and each operator on int32 or doubles (compiled_register_kinds.cpp). With calls, its
// steps are replayed on plain numbers (compiled_numbers.cpp), and an element among them
// leaves the expression to the full steps. The variable such a statement assigns may also be a
// name that is no slot (its "++" and "--" too), found with the program's names and written
// straight (the value left above the base is then the new one), or the slot of a name bound by
// its assignment once the call has bound it (number code only inside loops, whose later rounds
// find it bound). "Var name = value" at the top level of a body, whose name is a slot and whose
// value is such an expression without calls, elements or members, is first the register program
// of "slot = value" (kOpDeclareNumber), the Var's own steps following for when it gives up (a
// slot and a slot or an integer joined by an operator is worked out on integers without the
// program; a row of them on slots and integers alone is one program, kOpDeclareNumbers); a
// "Var name;" that makes no local is one step (kOpDeclareFree), a row of them one
// step too while their statement ends have nothing to do but count. A program's names
// keep their variables from call to call while the locals'
// shape and the stamps of This and the globals are the ones they were found with, none of them
// among the locals (FindNames); a statement that only steps such a name by an integer ("++",
// "--", "op= integer") is done on the integer in its variable without the program (StepName). A
// statement "element = value",
// "+=", "-=" or "*=" on an element of an array in a slot or named, whose value is number code,
// is a register program too that works the value out, then stores it into the element's cell
// when the cell holds a number (kNumberElementStore, compiled_register_names.h): nothing before
// the store has an effect, so the full steps that follow otherwise find the statement as if it
// had not begun. One member of a script object in a slot or of This (no run of members) may be
// an operand of such a program and the variable its statement assigns (kOpMemberNumbers, in
// place of kOpNumberCode): the member's variable is found as
// the program begins, through the shape its object had when last found (members of one holder
// through one shape check), and read and written as a name's; an object gone, a member missing or
// holding no number give up before any effect. Loop programs take such statements with "=" and
// "op=" and such conditions, their members found again as the program is entered and left at
// any change of the scopes. A number statement on one slot whose operand is a
// slot or a literal (or none: "++", "--"), or a slot and such an operand joined by an operator, is
// one step instead (kOpSlotStatement), which stores only when the slot and the operand hold numbers
// of one kind, leaving the statement's value above the base as the number code does, and goes past
// the statement's end when it has nothing to do but count. A condition of a slot and a slot or an
// integer joined by an operator takes its branch in the same step while both hold integers
// (kOpSlotBranch). A call of a function whose body is one Return of integer operators over its
// parameters is answered the same way without entering the call, as nothing in it can have an
// effect; inside number code too, once its site has called that function, for integer arguments.
// Number code that meets a site whose function is any other body is not tried again (its step
// goes straight on to the next): such a call runs only in the full steps, and a statement on a
// slot then has its assignment done by a kOpSlotStatement before it, from the value its steps
// leave above the slot's read, while both are numbers; when an integer operator comes just
// before that assignment, another kOpSlotStatement before the operator takes both at once
// while its two operands are integers. A call of a singleton's method with one or
// two arguments (no member between) is a number step too: once its site has resolved the method on
// the singleton's class, number code calls the class's NumberMethod or NumberFunction for it (a
// method of numbers with no effect, which says where it would fail) on the arguments' numbers,
// from one instruction of a register program (the replayed steps call NumberMethods only); a
// method that is neither gives up the statement's number code for good, as a call run in full
// does.
//
// A statement "slot = slot + slot" whose slot holds a text and whose other slot a text or a
// number appends to the slot's own text (JoinIntoSlot, in its kOpSlotStatement) rather than
// making a new one: the block grows in place when nothing else holds it, as for "+=", and the
// value above the statement's base shares it after, let go of first by the next such join.
// A text's method that reads nothing but the text and its text or integer arguments (the text
// class's TextMethods) is done on the text without the temporary object the walk makes for it.
//
// A loop's round whose steps are all such number statements and conditions (with their ends,
// branches, jumps, inner loops and blocks) runs as one kinded register program
// (compiled_register_loops.cpp), entered at the jump back to the round's first step
// (kOpLoopRound), and at the end of the loop's first test once a jump back has written it
// (kOpLoopRound of `site` 1): it counts the statements as the steps do (in a countdown of its own,
// given back before the interpreter takes anything), hands statement ends that have more to do than
// count and block changes to the interpreter, and leaves at the start of a
// statement, which nothing has changed yet, when a kind it was written for fails to hold or an
// operator fails. Its element stores (kNumberElementStore, kOpElementStore) are instructions
// that find the cell from the array's holder at each run and leave for that statement's steps
// alone when it holds no number, the program staying as written; "=" to the element just past the
// end of a one-dimensional array grows it by that element, as the walk's assignment does. An
// element of one index (a slot's, plus a constant) of an array in a slot is read and assigned by
// one instruction. A Switch on a slot whose Cases are integer literals is taken too, and a
// statement of operands and elements it cannot write leaves the program at its start, the steps
// taking the rest of that round. A round may bind slots of kOpBindName (an inner For's start on a
// counter no Var declares, a block's Var) and let them go at a block's end: the slots bound on
// every way into each step are worked out when it is written, a statement on one that may be
// unbound binds it while no scope has its name (kLoopBind), and the program hands back the slots
// bound where it leaves. The names it reads are found again in a new call by the same stamps as
// number programs' names.
//
// An element "name[index, ...]" keeps its array's variable (a slot, or the name looked up
// first, as the walk does) in its place while its indices are worked out above it, then
// takes the element. Where only its value is used (as for the right operand of an operator
// before a closing parenthesis, which the operator takes first), or an assignment, "++" or
// "--" follows it directly, a number is read from its cell and written back there
// (compiled_elements.cpp);
// anything else, and every element that another operator may assign through, goes the
// walk's way, by the box that names the element. An element of at most two indices, each a
// slot, an integer literal or a slot plus or minus one, is first read in one step from the
// array in its slot (or named through the scopes), the generic steps following for when
// a value is not at hand. A statement "element = operand", "op=", "++" or "--" on such an
// element of an array in a slot, whose operand is a literal, a slot or such an element, or
// up to four of them that "+", "-" and "*" join from left to right, is done in one step
// when every number is at hand and the cell holds one (kOpElementStore), on plain integers
// and doubles written straight into the cell: nothing it reads can fail or have an effect,
// so the full steps that follow otherwise find the statement as if it had not begun. The
// compiler's passes that fuse steps (operands, indices, element reads and stores) are rules
// of one walker over the steps, which renumbers the jumps.
#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <iterator>
#include <memory>
#include <new>
#include <unordered_map>

#include "script/interpreter/call_frames.h"
#include "script/interpreter/compiled_code.h"
#include "script/interpreter/compiled_elements.h"
#include "script/interpreter/compiled_methods.h"
#include "script/interpreter/compiled_numbers.h"
#include "script/interpreter/compiled_register_kinds.h"
#include "script/interpreter/compiled_register_names.h"
#include "script/interpreter/compiled_texts.h"
#include "script/interpreter/handler_tables.h"
#include "script/interpreter/interpretor.h"
#include "script/language/name_table.h"
#include "script/language/token_codes.h"
#include "script/values/script_array.h"

namespace {

constexpr uint32_t kNoSlot = ~0u;
// Deeper expressions take the walk.
constexpr uint32_t kMaxCompiledDepth = 200;

bool IsPlaceholder(uint32_t type) {
    return type >= kValueUnboundName && type <= kValueMissingElement;
}

bool IsOperator(uint32_t code) {
    return code > 120 && code < 155;
}

// The value of the kOpSlotInt `pair` on integers into `argument`; false when its slot holds
// no integer or its operator gives none. Out of RunCompiled, whose frame every level of a
// recursion carries.
[[gnu::noinline]] bool SlotIntArgument(const CompiledOp& pair, const CValue* slots,
                                       CValue& argument) {
    const CValue& left = slots[pair.count];
    int32_t result;
    if (left.GetType() != kValueInt ||
        !IntegerResult(pair.code, uint32_t(left.IntPayload()), pair.index, result))
        return false;
    argument.SetInt(result);
    return true;
}

// The token after `token` in the stream, where the step after a fused call step stands.
uint8_t* TokenAfter(uint8_t* token) {
    return token + reinterpret_cast<const TokenHeader*>(token)->size;
}

// IntegerResult into `left`, which is left as it was when there is none.
[[gnu::always_inline]] inline bool IntegerOperation(uint32_t code, CValue& left,
                                                    CValue*& leftSource, int32_t right) {
    int32_t result;
    if (!IntegerResult(code, uint32_t(left.IntPayload()), uint32_t(right), result)) return false;
    left.SetInt(result);
    leftSource = nullptr;
    return true;
}

[[gnu::always_inline]] inline bool IntegerOperation(uint32_t code, CValue& left,
                                                    CValue*& leftSource, const CValue& right) {
    return IntegerOperation(code, left, leftSource, right.IntPayload());
}

// The arithmetic of two doubles, as CValue makes it; false for the rest.
[[gnu::always_inline]] inline bool DoubleResult(uint32_t code, double a, double b, double& result) {
    switch (code) {
    case kTokenPlus:
        result = a + b;
        return true;
    case kTokenMinus:
        result = a - b;
        return true;
    case kTokenMultiply:
        result = a * b;
        return true;
    case kTokenDivide:
        if (b == 0.0) return false;
        result = a / b;
        return true;
    default:
        return false;
    }
}

[[gnu::always_inline]] inline bool DoubleOperation(uint32_t code, CValue& left, CValue*& leftSource,
                                                   double right) {
    double result;
    if (!DoubleResult(code, left.DoublePayload(), right, result)) return false;
    left.SetFloat(result);
    leftSource = nullptr;
    return true;
}

[[gnu::always_inline]] inline bool DoubleOperation(uint32_t code, CValue& left, CValue*& leftSource,
                                                   const CValue& right) {
    return DoubleOperation(code, left, leftSource, right.DoublePayload());
}

// A kOpSlotStatement whose slot or operand holds a double: "=" stores the operand, an
// operator takes both as doubles, "++" and "--" step the slot's double (`operand` unused);
// the statement's value into `place`. False, with nothing changed, for an integer meeting
// a double, or an operator that fails or that doubles do not take.
[[gnu::noinline]] bool SlotStatementOnDoubles(const CompiledOp& op, CValue& target, double operand,
                                              CValue& place) {
    if ((op.depth & kSlotFormMask) == kSlotStepOnly) {
        if (target.StoredType() != kValueDouble) return false;
        const double before = target.DoublePayload();
        target.SetFloat(before + (op.code == kTokenIncrement ? 1.0 : -1.0));
        place.SetFloat(before);
        return true;
    }
    double result = operand;
    if (op.code != kTokenAssign &&
        (target.StoredType() != kValueDouble ||
         !DoubleResult(CompoundOperator(op.code), target.DoublePayload(), operand, result)))
        return false;
    target.SetFloat(result);
    place.SetFloat(result);
    return true;
}

constexpr int64_t kNoCondition = INT64_MIN;

// For each operator's token code, the outcomes of comparing two integers for which it holds,
// one bit each (less, equal, greater); 0 for the operators that compare nothing.
constexpr std::array<uint8_t, 256> kComparisonOutcomes = [] {
    std::array<uint8_t, 256> outcomes{};
    outcomes[kTokenLess] = 0b001;
    outcomes[kTokenLessEqual] = 0b011;
    outcomes[kTokenEqual] = 0b010;
    outcomes[kTokenGreaterEqual] = 0b110;
    outcomes[kTokenGreater] = 0b100;
    outcomes[kTokenNotEqual] = 0b101;
    return outcomes;
}();

// The integer that the kOpSlotSlot or kOpSlotInt of a kOpSlotBranch makes, or kNoCondition
// for any other kinds and a failing operator. Out of the runner, whose frame every level of
// a recursion carries.
[[gnu::noinline]] int64_t SlotCondition(const CompiledOp& pair, const CValue* slots) {
    const CValue& left = slots[pair.count];
    if (left.StoredType() != kValueInt) return kNoCondition;
    uint32_t right = pair.index;
    if (pair.op == kOpSlotSlot) {
        if (slots[pair.index].StoredType() != kValueInt) return kNoCondition;
        right = uint32_t(slots[pair.index].IntPayload());
    }
    int32_t result;
    if (!IntegerResult(pair.code, uint32_t(left.IntPayload()), right, result)) return kNoCondition;
    return result;
}

// A kOpSlotStatement of the pair two steps on (a kOpSlotSlot or kOpSlotDouble) when the
// pair holds two doubles, as SlotStatementOnDoubles takes their result; false, with
// nothing changed, for any other kinds and for an operator that doubles do not take here.
// Out of the runner, whose frame would otherwise keep the result's place.
[[gnu::noinline]] bool PairStatementOnDoubles(const CompiledOp& op, const CValue* slots,
                                              const std::vector<double>& doubles, CValue& target,
                                              CValue& place) {
    const CompiledOp& pair = (&op)[2];
    const CValue& left = slots[pair.count];
    if (left.StoredType() != kValueDouble) return false;
    double right;
    if (pair.op == kOpSlotSlot) {
        if (slots[pair.index].StoredType() != kValueDouble) return false;
        right = slots[pair.index].DoublePayload();
    } else if (pair.op == kOpSlotDouble) {
        right = doubles[pair.index];
    } else {
        return false;
    }
    double result;
    return DoubleResult(pair.code, left.DoublePayload(), right, result) &&
           SlotStatementOnDoubles(op, target, result, place);
}

// "This.member = slot;" from its kOpWalkOperand on.
bool IsThisMemberFromSlot(const CompiledOp* walk) {
    return walk->op == kOpWalkOperand && walk->code == kTokenThis &&
           walk[1].op == kOpMemberAssigned && walk[2].op == kOpBinarySlot &&
           walk[2].code == kTokenAssign && walk[3].op == kOpEndStatement;
}

// Whether the slot holds its variable in this call: any slot but one that kOpBindName
// left to a scope's variable.
bool IsBoundOrPlain(uint64_t bound, const CompiledFunction& code, uint32_t slot) {
    return slot >= 64 || ((code.boundSlots >> slot) & 1) == 0 || ((bound >> slot) & 1) != 0;
}

bool IsIntegerOperator(uint32_t code) {
    int32_t unused;
    return IntegerResult(code, 1, 1, unused);
}

// Whether the code is a single Return of what IsIntegerOperator operators make of
// parameters and integer literals.
bool ReturnsOnly(const CompiledFunction& code) {
    if (code.maxDepth > CompiledFunction::kMaxQuickDepth) return false;
    for (const CompiledOp& op : code.ops) {
        switch (op.op) {
        case kOpReturn:
            return true;
        case kOpSlot:
            if (op.index >= code.parameterCount) return false;
            break;
        case kOpBinarySlot:
            if (op.index >= code.parameterCount || !IsIntegerOperator(op.code)) return false;
            break;
        case kOpBinary:
        case kOpBinaryInt:
            if (!IsIntegerOperator(op.code)) return false;
            break;
        case kOpSlotSlot:
            if (op.index >= code.parameterCount || op.count >= code.parameterCount ||
                !IsIntegerOperator(op.code))
                return false;
            break;
        case kOpSlotInt:
            if (op.count >= code.parameterCount || !IsIntegerOperator(op.code)) return false;
            break;
        case kOpInt:
        case kOpClear:
        case kOpSwap:
            break;
        default:
            return false;
        }
    }
    return false;
}

bool QuickReturn(const CompiledFunction& code, const CValue* arguments, int32_t count,
                 int32_t& result) {
    auto parameter = [arguments, count](uint32_t index, int32_t& value) {
        if (int32_t(index) >= count || arguments[index].GetType() != kValueInt) return false;
        value = arguments[index].IntPayload();
        return true;
    };
    return QuickAnswer(code, parameter, result);
}

} // namespace

inline bool CInterpretor::AnswerFromFrame(const CompiledFunction& code) {
    if (!code.returnsOnly) return false;
    const CallFrame& frame = Frame();
    int32_t result;
    if (!QuickReturn(code, frame.slots, frame.count, result)) return false;
    Operand()->SetInt(result);
    return true;
}

// Compiles one function; Compile answers false when the body has what it does not cover.
// A module's top level (from `start`) and an event handler's body are compiled with every
// name going through the scopes, as the walk finds them there: their statements that the
// compiler does not cover are left to the walk.
class FunctionCompiler {
public:
    FunctionCompiler(CInterpretor& interpreter, const BlockRecord* function, CompiledFunction& out)
        : in_(interpreter), function_(function), out_(out) {}
    FunctionCompiler(CInterpretor& interpreter, const BlockRecord* handler, uint8_t* start,
                     CompiledFunction& out)
        : in_(interpreter), function_(handler), out_(out), start_(start), scopesOnly_(true) {
        out_.topLevel = handler == nullptr;
    }

    bool Compile() {
        if (!scopesOnly_ && !BindParameters()) return false;
        uint8_t* token = start_ != nullptr ? start_ : Next(At(function_->bodyStart));
        while (!CompileBody(token))
            if (!scopesOnly_ || !LeaveToTheWalk(token)) break;
        if (!scopesOnly_ && token != nullptr) return false;
        for (const auto& [op, offset] : fixups_) {
            auto found = labels_.find(offset);
            if (found == labels_.end()) {
                if (!scopesOnly_) return false;
                // Where the compiled code stops, the walk goes on.
                found = labels_.emplace(offset, Emit(kOpWalkOn, 0, At(offset))).first;
            }
            out_.ops[op].index = found->second;
        }
        // A statement's end followed by a jump, as every loop round and branch has, in one.
        std::vector<CompiledOp>& ops = out_.ops;
        for (size_t i = 0; i + 1 < ops.size(); ++i) {
            if (ops[i].op == kOpEndStatement && ops[i + 1].op == kOpJump) {
                ops[i].op = kOpEndAndJump;
                ops[i].index = ops[i + 1].index;
            }
        }
        RewriteSteps(&FunctionCompiler::FuseOperand);
        RewriteSteps(&FunctionCompiler::FuseElementIndex);
        RewriteSteps(&FunctionCompiler::AddElementRead);
        RewriteSteps(&FunctionCompiler::AddElementStore);
        RewriteSteps(&FunctionCompiler::FuseCall);
        SettleNumberCode();
        SlotStatements();
        NameSteps();
        AddStackStatements();
        JoinDeclarations();
        AddLoopPrograms(out_);
        // How many declarations that make no local follow each other from each of them, for
        // a run made in one step.
        for (size_t i = ops.size(); i-- > 1;) {
            if (ops[i - 1].op == kOpDeclareFree && ops[i].op == kOpEndStatement)
                ops[i - 1].count = i + 1 < ops.size() && ops[i + 1].op == kOpDeclareFree
                                       ? ops[i + 1].count + 1
                                       : 1;
        }
        out_.slotCount = uint32_t(slotNames_.size());
        out_.boundSlots = boundSlots_;
        if (boundSlots_ != 0) out_.bindEpochs.assign(out_.slotCount, 0);
        out_.returnsOnly = !scopesOnly_ && ReturnsOnly(out_);
        out_.frameKind = scopesOnly_ ? kFrameFull : FrameKindOf(out_);
        // A body answered from its Return reads that Return's steps as they are.
        if (!out_.returnsOnly)
            for (size_t i = 0; i + 1 < ops.size(); ++i)
                if (ops[i].depth == 1 && ops[i + 1].op == kOpReturn) {
                    if (ops[i].op == kOpSlot) ops[i].op = kOpReturnSlot;
                    if (ops[i].op == kOpSlotInt) ops[i].op = kOpReturnSlotInt;
                }
        MarkMemberRows();
        out_.giveUps.assign(out_.metDoubles.size(), 0);
        out_.readsAfterCall.resize(out_.metDoubles.size(), 0);
        return true;
    }

    // Each statement on members that can run in a row (InMemberRow) is a kOpMemberRow, but
    // within a loop program's round, whose steps the program reads as they were. Which
    // statements follow one depends on its branch, so the row finds them as it runs.
    void MarkMemberRows() {
        std::vector<CompiledOp>& ops = out_.ops;
        std::vector<bool> inRounds(ops.size());
        for (const LoopProgram& loop : out_.loopPrograms)
            std::fill(inRounds.begin() + loop.start, inRounds.begin() + loop.end + 1, true);
        for (size_t i = 0; i < ops.size(); ++i)
            if (!inRounds[i] && InMemberRow(out_, ops[i])) ops[i].op = kOpMemberRow;
    }

    // The statement at `token` that the compiler did not cover, in code with no slots:
    // the walk's handler runs an expression statement, and the code goes on after it;
    // any other statement, and all that follow it, run on the walk. True when the
    // compiler goes on at `token`.
    bool LeaveToTheWalk(uint8_t*& token) {
        out_.ops.resize(statementMark_);
        fixups_.resize(fixupMark_);
        pendingCalls_ = 0;
        prefixes_ = 0;
        declaring_ = kNoSlot;
        // The statement's own expression state goes with its steps.
        memberTargets_.clear();
        closers_.clear();
        std::fill(std::begin(elementAt_), std::end(elementAt_), kNoElement);
        token = statementToken_;
        uint16_t code = Code(token);
        bool expression = IsClassToken(code) || code == kTokenName || code == kTokenCallName ||
                          code == kTokenVar || code == kTokenArrayName || code == kTokenThis ||
                          code == kTokenString || code == kTokenCurWindow ||
                          code == kTokenMemberCall || code == kTokenDelete ||
                          code == kTokenUnitMarker || code == kTokenUnitEnd ||
                          (function_ == nullptr && code == kTokenReturn);
        uint8_t* end = token;
        while (expression && Code(end) != kTokenSemicolon) {
            if (Code(end) == kTokenEnd) expression = false;
            end = Next(end);
        }
        if (!expression || out_.ops.size() > (1u << 20)) {
            Emit(kOpWalkOn, 0, token);
            token = nullptr;
            return false;
        }
        Emit(kOpWalkStatement, 0, token, Offset(end));
        EndStatementAt(end);
        token = end;
        return true;
    }

    // A pass that rewrites the steps, as RewriteSteps runs it: at step `at` it may push steps
    // of its own onto `kept` and take that step, with those after it, into them; it returns
    // how many it took.
    using StepRule = size_t (FunctionCompiler::*)(size_t at, std::vector<CompiledOp>& kept);

    // One pass of `rule` over the steps. A step the rule takes none of is kept as it is,
    // after what the rule pushed before it (a jump to the step then reaches those); the
    // steps it takes all land on the last step kept.
    void RewriteSteps(StepRule rule) {
        const std::vector<CompiledOp>& ops = out_.ops;
        std::vector<uint32_t> moved(ops.size() + 1);
        std::vector<CompiledOp> kept;
        kept.reserve(ops.size());
        for (size_t i = 0; i < ops.size();) {
            moved[i] = uint32_t(kept.size());
            const size_t taken = (this->*rule)(i, kept);
            if (taken == 0) {
                kept.push_back(ops[i++]);
                continue;
            }
            for (const size_t end = i + taken; i < end; ++i)
                moved[i] = uint32_t(kept.size() - 1);
        }
        moved[ops.size()] = uint32_t(kept.size());
        Renumber(kept, moved);
    }

    // An operator or an argument whose value is a slot or an integer literal read just
    // before it, in one step.
    size_t FuseOperand(size_t i, std::vector<CompiledOp>& fused) {
        const std::vector<CompiledOp>& ops = out_.ops;
        const CompiledOp& read = ops[i];
        if (i + 1 >= ops.size() || read.depth != ops[i + 1].depth + 1) return 0;
        if (ops[i + 1].op == kOpArgument &&
            ((read.op == kOpSlot && read.token == ops[i + 1].token) ||
             (read.op == kOpInt && Next(read.token) == ops[i + 1].token))) {
            CompiledOp one = ops[i + 1];
            one.op = read.op == kOpSlot ? kOpArgumentSlot : kOpArgumentInt;
            one.count = read.index;
            fused.push_back(one);
            return 2;
        }
        if (ops[i + 1].op != kOpBinary) return 0;
        const CompiledOp& binary = ops[i + 1];
        CompiledOp one = binary;
        one.index = read.index;
        if (read.op == kOpSlot && read.token == binary.token) {
            one.op = kOpBinarySlot;
        } else if (read.op == kOpBoundSlot && Next(read.token) == binary.token) {
            one.op = kOpBinaryBoundSlot;
            one.count = Offset(read.token);
        } else if (read.op == kOpInt && Next(read.token) == binary.token) {
            one.op = kOpBinaryInt;
        } else if (read.op == kOpName && Next(read.token) == binary.token) {
            one.op = kOpBinaryName;
            one.count = Offset(read.token);
        } else if (read.op == kOpDouble && Next(read.token) == binary.token) {
            one.op = kOpBinaryDouble;
            one.index = uint32_t(out_.doubles.size());
            out_.doubles.push_back(reinterpret_cast<const DoubleToken*>(read.token)->value);
        } else {
            return 0;
        }
        // A slot read just before, at the same place, is the left operand.
        if ((one.op == kOpBinarySlot || one.op == kOpBinaryInt || one.op == kOpBinaryDouble) &&
            !fused.empty() && fused.back().op == kOpSlot && fused.back().depth == one.depth) {
            CompiledOp& left = fused.back();
            one.site = Offset(left.token);
            one.count = left.index;
            one.op = one.op == kOpBinarySlot  ? kOpSlotSlot
                     : one.op == kOpBinaryInt ? kOpSlotInt
                                              : kOpSlotDouble;
            left = one;
            return 2;
        }
        fused.push_back(one);
        return 2;
    }

    // The steps that open and close a call's argument list, with the call's own, in one
    // each; and an argument "slot op integer" tried first on integers, into its place.
    // No jump lands between the steps taken together: an argument list holds whole
    // expressions, and what jumps inside one stays inside it.
    size_t FuseCall(size_t i, std::vector<CompiledOp>& fused) {
        const std::vector<CompiledOp>& ops = out_.ops;
        if (i + 1 >= ops.size()) return 0;
        const CompiledOp& step = ops[i];
        const CompiledOp& next = ops[i + 1];
        if (step.op == kOpCallBegin && next.op == kOpCallEnd && step.count == 0) {
            CompiledOp one = step;
            one.op = kOpCallBare;
            fused.push_back(one);
            return 2;
        }
        // A jump to the call lands on its kOpCallDirect, so that the step before it stays the
        // one before the call, whose token a new array's placeholder takes.
        if (step.op == kOpCallBegin && next.op == kOpArgumentsBegin) {
            DirectCall(i, fused);
            return 0;
        }
        if (step.op == kOpArgumentsBegin && !fused.empty() && fused.back().op == kOpCallBegin) {
            fused.back().op = kOpCallOpen;
            return 1;
        }
        if (step.op == kOpArgumentsEnd && next.op == kOpCallEnd) {
            CompiledOp one = next;
            one.op = kOpCallClose;
            fused.push_back(one);
            return 2;
        }
        if (step.op == kOpSlotInt && next.op == kOpArgument && step.depth == next.depth + 1) {
            CompiledOp quick = next;
            quick.op = kOpArgumentSlotInt;
            fused.push_back(quick);
        }
        return 0;
    }

    // A kOpCallDirect before the call at `at` when each of its arguments is a slot (one a
    // name binds among them), an integer literal, a slot (either kind) and an integer joined
    // by an operator or an element (ElementArgumentEnd). Longer runs of operators stay with the
    // full steps, which give them to a callee answered from its Return at less cost.
    void DirectCall(size_t at, std::vector<CompiledOp>& fused) {
        const std::vector<CompiledOp>& ops = out_.ops;
        const CompiledOp& call = ops[at];
        size_t i = at + 2;
        uint32_t arguments = 0;
        for (; i < ops.size() && ops[i].op != kOpArgumentsEnd; ++arguments) {
            if ((ops[i].op == kOpArgumentSlot || ops[i].op == kOpArgumentInt) &&
                ops[i].depth == call.depth) {
                i += 1;
                continue;
            }
            size_t end = (ops[i].op == kOpSlotInt || ops[i].op == kOpBoundSlot) &&
                                 ops[i].depth == call.depth + 1
                             ? i + 1
                             : ElementArgumentEnd(i, call.depth + 1);
            // A name's slot joined to an integer, as a loop's counter that no Var gave a
            // value is: the bound slot's kOpSlotInt.
            if (ops[i].op == kOpBoundSlot && ops[i].depth == call.depth + 1 && end < ops.size() &&
                ops[end].op == kOpBinaryInt && ops[end].depth == call.depth + 1 &&
                IsIntegerOperator(ops[end].code))
                ++end;
            if (end == 0 || end >= ops.size() || ops[end].op != kOpArgument ||
                ops[end].depth != call.depth)
                return;
            i = end + 1;
        }
        if (arguments != call.count || i + 1 >= ops.size() || ops[i + 1].op != kOpCallEnd) return;
        CompiledOp direct = call;
        direct.op = kOpCallDirect;
        direct.index = uint32_t(i + 2);
        fused.push_back(direct);
    }

    // The step after a run of integer operators at `depth` from step `at`: a slot joined to
    // an integer or a slot, a slot then an operator, or such a run in parentheses, then each
    // further operator with an integer or a slot; 0 when no such run begins there.
    size_t IntegerRunEnd(size_t at, uint32_t depth) const {
        const std::vector<CompiledOp>& ops = out_.ops;
        if (at >= ops.size() || ops[at].depth != depth) return 0;
        size_t end = at + 1;
        if (ops[at].op == kOpClear) {
            end = IntegerRunEnd(at + 1, depth + 1);
            if (end == 0 || end >= ops.size() || ops[end].op != kOpSwap || ops[end].depth != depth)
                return 0;
            ++end;
        } else if (ops[at].op != kOpSlot && ops[at].op != kOpBoundSlot &&
                   ((ops[at].op != kOpSlotInt && ops[at].op != kOpSlotSlot) ||
                    !IsIntegerOperator(ops[at].code))) {
            return 0;
        }
        const size_t head = end;
        while (end < ops.size() &&
               (ops[end].op == kOpBinaryInt || ops[end].op == kOpBinarySlot ||
                ops[end].op == kOpBinaryBoundSlot) &&
               ops[end].depth == depth && IsIntegerOperator(ops[end].code))
            ++end;
        // A slot alone is an operand of its own kind.
        return (ops[at].op == kOpSlot || ops[at].op == kOpBoundSlot) && end == head ? 0 : end;
    }

    // The step after the element at `depth` from step `at` (its kOpElementRead first, when
    // it has one) of an array in a slot or named, with one or two indices, each a slot, an
    // integer or a run of integer operators; 0 when no such element begins there.
    size_t ElementArgumentEnd(size_t at, uint32_t depth) const {
        const std::vector<CompiledOp>& ops = out_.ops;
        if (at < ops.size() && ops[at].op == kOpElementRead && ops[at].depth == depth) ++at;
        if (at >= ops.size() || ops[at].depth != depth ||
            (ops[at].op != kOpElementSlot && ops[at].op != kOpElementBoundSlot &&
             ops[at].op != kOpElementName))
            return 0;
        size_t step = at + 1;
        uint32_t count = 0;
        for (; count < ElementRead::kMaxIndices && step < ops.size(); ++count) {
            if (size_t end = IntegerRunEnd(step, depth + 1); end != 0) {
                if (end >= ops.size() || ops[end].code != kIndexFromStack) return 0;
                step = end;
            } else if (ops[step].op != kOpElementIndex || ops[step].code == kIndexFromStack) {
                break;
            }
            if (ops[step].op != kOpElementIndex || ops[step].depth != depth ||
                ops[step].index != count)
                return 0;
            ++step;
        }
        if (count == 0 || step >= ops.size() || ops[step].op != kOpElement ||
            ops[step].depth != depth || ops[step].count != count ||
            ops[step].code == kElementTarget)
            return 0;
        return step + 1;
    }

    // An index that is a slot or an integer literal alone, read by its kOpElementIndex.
    size_t FuseElementIndex(size_t i, std::vector<CompiledOp>& fused) {
        const std::vector<CompiledOp>& ops = out_.ops;
        const CompiledOp& read = ops[i];
        if (i + 1 >= ops.size() || ops[i + 1].op != kOpElementIndex ||
            read.depth != ops[i + 1].depth + 1)
            return 0;
        CompiledOp one = ops[i + 1];
        if (read.op == kOpSlot && read.token == one.token) {
            one.code = kIndexFromSlot;
        } else if (read.op == kOpBoundSlot && Next(read.token) == one.token) {
            one.code = kIndexFromBoundSlot;
            one.site = Offset(read.token);
        } else if (read.op == kOpInt && Next(read.token) == one.token) {
            one.code = kIndexFromInteger;
        } else {
            return 0;
        }
        one.count = read.index;
        fused.push_back(one);
        return 2;
    }

    // A kOpElementRead before each element whose indices are slots or integer literals
    // alone, read for its value or as the target of a kOpElementAssign.
    size_t AddElementRead(size_t i, std::vector<CompiledOp>& kept) {
        const std::vector<CompiledOp>& ops = out_.ops;
        const CompiledOp& begin = ops[i];
        if (begin.op != kOpElementSlot && begin.op != kOpElementBoundSlot &&
            begin.op != kOpElementName)
            return 0;
        ElementRead read{};
        read.begin = begin.op;
        read.slot = begin.count;
        size_t at = i + 1;
        while (at < ops.size() && read.count < ElementRead::kMaxIndices) {
            if (ops[at].op == kOpElementIndex && ops[at].code != kIndexFromStack &&
                ops[at].depth == begin.depth) {
                read.sources[read.count] = ops[at].code;
                read.values[read.count++] = ops[at].count;
                ++at;
            } else if (size_t end = OffsetIndex(at, begin.depth, read); end != 0) {
                at = end;
            } else {
                break;
            }
        }
        const CompiledOp& element = ops[at < ops.size() ? at : i];
        if (read.count != 0 && element.op == kOpElement && element.depth == begin.depth &&
            element.count == read.count && element.code != kElementAddressed) {
            kept.push_back(CompiledOp{kOpElementRead, element.code, begin.depth, uint32_t(at + 1),
                                      uint32_t(out_.elementReads.size()), 0, begin.token});
            out_.elementReads.push_back(read);
        }
        return 0;
    }

    // A kOpElementStore before each statement that assigns to an element of an array in
    // a slot, read in one step as the target of its kOpElementAssign, an integer or double
    // literal, a slot or such an element of a number, or "++" or "--".
    size_t AddElementStore(size_t i, std::vector<CompiledOp>& kept) {
        ElementStore store{};
        if (uint32_t end = StoreAt(i, store); end != 0) {
            kept.push_back(CompiledOp{kOpElementStore, out_.ops[end - 1].code, 1, end,
                                      uint32_t(out_.elementStores.size()), 0, out_.ops[i].token});
            out_.elementStores.push_back(store);
        }
        return 0;
    }

    // Whether `read` is an element read in one step from an array in a slot, for ElementMode
    // `mode` at `depth`.
    bool InSlotRead(const CompiledOp& read, uint8_t mode, uint32_t depth) const {
        if (read.op != kOpElementRead || read.code != mode || read.depth != depth) return false;
        const uint8_t begin = out_.elementReads[read.count].begin;
        return begin == kOpElementSlot || begin == kOpElementBoundSlot;
    }

    // The statement from step `at` as `store` describes it, if a kOpElementStore can do it:
    // the step that ends it, else 0.
    uint32_t StoreAt(size_t at, ElementStore& store) {
        const std::vector<CompiledOp>& ops = out_.ops;
        if (!InSlotRead(ops[at], kElementTarget, 1)) return 0;
        size_t right = ops[at].index;
        if (right >= ops.size()) return 0;
        store.target = ops[at].count;
        size_t next = StoreOperandAt(right, 2, store.source, store.value);
        if (next == 0) return 0;
        // More operands, each joined to the value so far by "+", "-" or "*".
        while (next < ops.size() && store.source != kStoreNothing &&
               store.joins < ElementStore::kMaxJoins) {
            const CompiledOp& join = ops[next];
            const uint32_t k = store.joins;
            uint8_t arithmetic = join.code;
            size_t after = join.depth == 2 ? next + 1 : 0;
            switch (join.depth == 2 ? join.op : uint8_t(kOpElementRead)) {
            case kOpSlotSlot:
            case kOpSlotInt:
            case kOpSlotDouble:
                if (next != right) return 0;
                store.source = kStoreSlot;
                store.value = join.count;
                store.sources[k] = join.op == kOpSlotSlot  ? kStoreSlot
                                   : join.op == kOpSlotInt ? kStoreInteger
                                                           : kStoreDouble;
                break;
            case kOpBinarySlot:
                store.sources[k] = kStoreSlot;
                break;
            case kOpBinaryBoundSlot:
                store.sources[k] = kStoreBoundSlot;
                break;
            case kOpBinaryInt:
                store.sources[k] = kStoreInteger;
                break;
            case kOpBinaryDouble:
                store.sources[k] = kStoreDouble;
                break;
            default:
                after = 0;
                if (InSlotRead(join, kElementValue, 3) && join.index < ops.size() &&
                    ops[join.index].op == kOpBinary && ops[join.index].depth == 2) {
                    store.sources[k] = kStoreElement;
                    arithmetic = ops[join.index].code;
                    after = join.index + 1;
                }
                break;
            }
            if (after == 0) break;
            if (arithmetic != kTokenPlus && arithmetic != kTokenMinus &&
                arithmetic != kTokenMultiply)
                return 0;
            store.values[k] = join.op == kOpElementRead ? join.count : join.index;
            store.operators[k] = arithmetic;
            ++store.joins;
            next = after;
        }
        // A new array's steps, which only a name no scope has takes.
        if (next < ops.size() && ops[next].op == kOpNewArray) next = ops[next].index;
        if (next + 1 >= ops.size()) return 0;
        const CompiledOp& assign = ops[next];
        const CompiledOp& end = ops[next + 1];
        const bool step = assign.code == kTokenIncrement || assign.code == kTokenDecrement;
        if (assign.op != kOpElementAssign || assign.depth != 1 || assign.count != 0 ||
            (end.op != kOpEndStatement && end.op != kOpEndAndJump) ||
            step != (store.source == kStoreNothing) ||
            (assign.code != kTokenAssign && assign.code != kTokenAddAssign &&
             assign.code != kTokenSubtractAssign && assign.code != kTokenMultiplyAssign && !step))
            return 0;
        if (store.source == kStoreDouble)
            out_.doubles.push_back(reinterpret_cast<const DoubleToken*>(ops[right].token)->value);
        return uint32_t(next + 1);
    }

    // The operand at step `at` and `depth` whose value a kOpElementStore reads itself, as
    // StoreSource `source` and `value`: the step after it, else 0. A slot joined to what
    // follows in one step (kOpSlotSlot and its kin) is left to the caller, `at` returned.
    size_t StoreOperandAt(size_t at, uint32_t depth, uint8_t& source, uint32_t& value) const {
        const CompiledOp& operand = out_.ops[at];
        if (operand.depth != depth) return 0;
        switch (operand.op) {
        case kOpInt:
            source = kStoreInteger;
            value = operand.index;
            return at + 1;
        case kOpDouble:
            source = kStoreDouble;
            value = uint32_t(out_.doubles.size());
            return at + 1;
        case kOpSlot:
        case kOpBoundSlot:
            source = operand.op == kOpSlot ? kStoreSlot : kStoreBoundSlot;
            value = operand.index;
            return at + 1;
        case kOpEmpty:
            source = kStoreNothing;
            return at + 1;
        case kOpSlotSlot:
        case kOpSlotInt:
        case kOpSlotDouble:
            return at;
        default:
            if (!InSlotRead(operand, kElementValue, depth)) return 0;
            source = kStoreElement;
            value = operand.count;
            return operand.index;
        }
    }

    // An index "slot + integer" or "slot - integer" from step `at`, the index of an
    // element at `depth`, added to `read`: the step after its kOpElementIndex, else 0.
    size_t OffsetIndex(size_t at, uint32_t depth, ElementRead& read) const {
        const std::vector<CompiledOp>& ops = out_.ops;
        auto offset = [](const CompiledOp& op) {
            return op.code == kTokenPlus ? op.index : 0u - op.index;
        };
        auto indexAt = [&](size_t step, const CompiledOp& binary) {
            return step < ops.size() && ops[step].op == kOpElementIndex &&
                   ops[step].code == kIndexFromStack && ops[step].depth == depth &&
                   ops[step].token == binary.token && binary.depth == depth + 1 &&
                   (binary.code == kTokenPlus || binary.code == kTokenMinus);
        };
        const CompiledOp& first = ops[at];
        if (first.op == kOpSlotInt && indexAt(at + 1, first)) {
            read.sources[read.count] = kIndexFromSlotOffset;
            read.values[read.count] = first.count;
            read.offsets[read.count++] = offset(first);
            return at + 2;
        }
        if (first.op == kOpBoundSlot && first.depth == depth + 1 && at + 1 < ops.size() &&
            ops[at + 1].op == kOpBinaryInt && indexAt(at + 2, ops[at + 1])) {
            read.sources[read.count] = kIndexFromBoundSlotOffset;
            read.values[read.count] = first.index;
            read.offsets[read.count++] = offset(ops[at + 1]);
            return at + 3;
        }
        return 0;
    }

    // The steps become `kept`, step i of the old ones being step moved[i] of them.
    void Renumber(std::vector<CompiledOp>& kept, const std::vector<uint32_t>& moved) {
        for (CompiledOp& op : kept)
            if (op.op == kOpJump || op.op == kOpBranchTrue || op.op == kOpEndAndJump ||
                op.op == kOpNumberCode || op.op == kOpCaseTest || op.op == kOpWalkIf ||
                op.op == kOpMemberAssigned || op.op == kOpElementName ||
                op.op == kOpElementBoundSlot || op.op == kOpNewArray || op.op == kOpNewArrayEnd ||
                op.op == kOpElementRead || op.op == kOpMemberElementBegin ||
                op.op == kOpElementStore || op.op == kOpSlotStatement || op.op == kOpSlotBranch ||
                op.op == kOpLoopRound || op.op == kOpMemberNumbers || op.op == kOpCallDirect ||
                op.op == kOpDeclareNumber || op.op == kOpStepName)
                op.index = moved[op.index];
        for (CountingRound& round : out_.rounds) {
            round.holds = moved[round.holds];
            round.ends = moved[round.ends];
        }
        out_.ops = std::move(kept);
    }

    // Whether `op` is one of the steps of a function's call (not a method's).
    static bool IsCallStep(uint8_t op) {
        switch (op) {
        case kOpCallBegin:
        case kOpArgumentsBegin:
        case kOpArgument:
        case kOpArgumentSlot:
        case kOpArgumentInt:
        case kOpArgumentsEnd:
        case kOpCallEnd:
        case kOpCallOpen:
        case kOpCallClose:
        case kOpCallBare:
        case kOpArgumentSlotInt:
        case kOpCallDirect:
            return true;
        default:
            return false;
        }
    }

    // Whether kOpNumberCode can work `op` out on plain numbers.
    static bool IsNumberStep(const CompiledOp& op) {
        if (op.depth >= CompiledFunction::kMaxQuickDepth) return false;
        if (IsCallStep(op.op) || op.op == kOpMethodEnd) return true;
        switch (op.op) {
        case kOpSlot:
        case kOpBoundSlot:
        case kOpInt:
        case kOpDouble:
        case kOpName:
        case kOpClear:
        case kOpSwap:
        case kOpNegate:
        case kOpNot:
        case kOpComplement:
            return true;
        case kOpBinary:
        case kOpBinarySlot:
        case kOpBinaryBoundSlot:
        case kOpBinaryInt:
        case kOpBinaryDouble:
        case kOpBinaryName:
        case kOpSlotSlot:
        case kOpSlotInt:
        case kOpSlotDouble:
            return IsIntegerOperator(op.code);
        default:
            return false;
        }
    }

    // Whether step `at` begins a call of a singleton's method of one argument, which the
    // number code may make through the class's NumberMethod (its kOpMethodEnd is a number
    // step then, as no other chain reaches one).
    bool IsNumberMethodCall(size_t at, size_t to) const {
        const std::vector<CompiledOp>& ops = out_.ops;
        return ops[at].op == kOpChainHead && ops[at].code == kChainSingleton && at + 1 < to &&
               ops[at + 1].op == kOpMethodBegin &&
               (ops[at + 1].count == 1 || ops[at + 1].count == 2) &&
               ops[at].depth < CompiledFunction::kMaxQuickDepth;
    }

    // Whether `op` reads one member of the object in a slot or of This, which a register
    // program can read as a number.
    bool IsNumberMember(const CompiledOp& op) const {
        if (op.depth >= CompiledFunction::kMaxQuickDepth) return false;
        if (op.op == kOpSlotMembers) return Next(op.token) == At(op.count);
        return op.op == kOpWalkOperand && op.code == kTokenThis &&
               Code(Next(op.token)) == kTokenMember && Next(Next(op.token)) == At(op.count);
    }

    static bool IsAssignment(uint32_t code) {
        return code >= kTokenAssign && code <= kTokenShiftRightAssign;
    }

    // Settles each kOpNumberCode on the expression that follows it, or drops it when
    // the expression is not one it can work out.
    void SettleNumberCode() {
        std::vector<CompiledOp>& ops = out_.ops;
        std::vector<uint32_t> moved(ops.size() + 1);
        std::vector<CompiledOp> kept;
        kept.reserve(ops.size());
        for (size_t i = 0; i < ops.size(); ++i) {
            moved[i] = uint32_t(kept.size());
            if (ops[i].op == kOpDeclareNumber) {
                if (out_.metDoubles.size() < UINT16_MAX && SettleDeclareNumber(i))
                    kept.push_back(ops[i]);
                continue;
            }
            if (ops[i].op != kOpNumberCode || out_.metDoubles.size() == UINT16_MAX ||
                !SettleNumberCode(i)) {
                if (ops[i].op != kOpNumberCode) kept.push_back(ops[i]);
                continue;
            }
            NumberProgram program =
                CompileNumberProgram(&ops[i], &ops[ops[i].index], out_.doubles, out_.elementReads,
                                     out_.methodSites, in_.GetStream());
            PlaceCallSites(program, out_.sites);
            // Only the register programs read elements: the steps replayed on numbers do not.
            if (program.code.empty() && (program.readsElements || NeedsRegisters(ops[i]))) continue;
            kept.push_back(ops[i]);
            if (!program.members.empty()) kept.back().op = kOpMemberNumbers;
            kept.back().depth = uint16_t(out_.metDoubles.size());
            // Outside loop programs, a store by a worked-out index has nowhere to take its
            // index from: its full steps take it from the start.
            out_.metDoubles.push_back(
                program.storesByIndex                   ? CompiledFunction::kCallsInFull
                : program.code.empty()                  ? CompiledFunction::kStepsOnIntegers
                : IsPlainProgram(program, ops[i])       ? CompiledFunction::kPlainIntegers
                : IsPlainMemberProgram(program, ops[i]) ? CompiledFunction::kPlainMembers
                                                        : 0);
            if (out_.metDoubles.back() == CompiledFunction::kPlainMembers)
                TakeOutMoves(program.code);
            if (out_.metDoubles.back() == CompiledFunction::kPlainIntegers ||
                out_.metDoubles.back() == CompiledFunction::kPlainMembers)
                MarkTargetsAtHand(program);
            out_.numberPrograms.push_back(std::move(program));
        }
        moved[ops.size()] = uint32_t(kept.size());
        Renumber(kept, moved);
    }

    // The register program of the kOpDeclareNumber at `at`: its Var's value written as
    // "slot = value" would be, each step one place shallower (the Var's declared name and
    // placeholder stand below the value, where the assignment has only its slot). A value
    // with calls, elements or members keeps the Var's own steps alone.
    bool SettleDeclareNumber(size_t at) {
        std::vector<CompiledOp>& ops = out_.ops;
        size_t end = at + 1;
        while (end < ops.size() && ops[end].op != kOpEndStatement && ops[end].op != kOpEndAndJump)
            ++end;
        if (end == ops.size() || end < at + 6) return false;
        const CompiledOp& assign = ops[end - 2];
        if (ops[at + 1].op != kOpDeclare || ops[at + 2].op != kOpUnbound ||
            assign.op != kOpAssignDeclared || assign.depth != 2 || ops[end - 1].op != kOpSwap ||
            ops[end - 1].depth != 1)
            return false;
        std::vector<CompiledOp> steps;
        steps.reserve(end - at);
        CompiledOp code = ops[at];
        code.op = kOpNumberCode;
        code.code = kNumberAssign;
        code.count = assign.index;
        code.site = 0;
        steps.push_back(code);
        CompiledOp target = ops[at + 1];
        target.op = kOpSlot;
        target.depth = 1;
        target.index = assign.index;
        steps.push_back(target);
        for (size_t i = at + 3; i < end - 2; ++i) {
            CompiledOp step = ops[i];
            if (step.depth < 3 || !IsNumberStep(step) || step.op == kOpMethodEnd ||
                (step.op >= kOpCallBegin && step.op <= kOpCallEnd) || step.op >= kOpCallOpen)
                return false;
            --step.depth;
            steps.push_back(step);
        }
        CompiledOp assignment = assign;
        assignment.op = kOpBinary;
        assignment.code = kTokenAssign;
        assignment.depth = 1;
        steps.push_back(assignment);
        steps.push_back(ops[end]);
        steps.front().index = uint32_t(steps.size() - 1);
        NumberProgram program =
            CompileNumberProgram(steps.data(), &steps.back(), out_.doubles, out_.elementReads,
                                 out_.methodSites, in_.GetStream());
        PlaceCallSites(program, out_.sites);
        if (program.code.empty() || !program.members.empty()) return false;
        CompiledOp& op = ops[at];
        op.code = kNumberAssign;
        op.count = assign.index;
        op.site = 0;
        op.index = uint32_t(end);
        op.depth = uint16_t(out_.metDoubles.size());
        out_.metDoubles.push_back(IsPlainProgram(program, op) ? CompiledFunction::kPlainIntegers
                                                              : 0);
        if (out_.metDoubles.back() == CompiledFunction::kPlainIntegers) MarkTargetsAtHand(program);
        out_.numberPrograms.push_back(std::move(program));
        return true;
    }

    // Whether the kOpDeclareNumber at `at` can be one of a kOpDeclareNumbers.
    bool JoinsDeclarations(size_t at) const {
        const CompiledOp& op = out_.ops[at];
        return op.op == kOpDeclareNumber &&
               out_.metDoubles[op.depth] == CompiledFunction::kPlainIntegers &&
               out_.numberPrograms[op.depth].code.back().opcode == kRegisterReturn &&
               out_.ops[op.index].op == kOpEndStatement;
    }

    // The top-level declarations of plain integer code in a row, as a body's first
    // statements often are, cost one step and one program for all of them.
    void JoinDeclarations() {
        std::vector<CompiledOp>& ops = out_.ops;
        std::vector<uint32_t> moved(ops.size() + 1);
        std::vector<CompiledOp> kept;
        kept.reserve(ops.size());
        for (size_t i = 0, joined = 0; i < ops.size(); ++i) {
            moved[i] = uint32_t(kept.size());
            if (i >= joined && JoinsDeclarations(i)) {
                NumberProgram run;
                uint32_t count = 0;
                for (joined = i; joined < ops.size() && JoinsDeclarations(joined) && count < 255;
                     joined = ops[joined].index + 1, ++count) {
                    const std::vector<RegisterInstruction>& code =
                        out_.numberPrograms[ops[joined].depth].code;
                    run.code.insert(run.code.end(), code.begin(), code.end());
                    run.code.back().left = ops[joined].count;
                    run.code.back().token = ops[joined + 1].token;
                }
                if (count > 1 && out_.declarationRuns.size() < UINT16_MAX) {
                    CompiledOp step = ops[i];
                    step.op = kOpDeclareNumbers;
                    step.count = count;
                    step.depth = uint16_t(out_.declarationRuns.size());
                    out_.declarationRuns.push_back(std::move(run));
                    kept.push_back(step);
                }
            }
            kept.push_back(ops[i]);
        }
        moved[ops.size()] = uint32_t(kept.size());
        Renumber(kept, moved);
        // Each return goes on past its declaration's end, counted from the row's step.
        for (size_t i = 0; i < ops.size(); ++i) {
            if (ops[i].op != kOpDeclareNumbers) continue;
            size_t declaration = i + 1;
            for (RegisterInstruction& instruction : out_.declarationRuns[ops[i].depth].code) {
                if (instruction.opcode != kRegisterReturn) continue;
                instruction.right = int64_t(ops[declaration].index) - int64_t(i);
                declaration = ops[declaration].index + 1;
            }
        }
    }

    // Whether the steps of "slot = slot op F(...)" of the kOpNumberCode at `at`, whose
    // operator step is at `last`, read the target's slot and the left operand's right after it
    // and then only call and read above them: no step between them and the operator assigns a
    // slot or works on the left operand.
    bool ReadsCanWaitForCall(size_t at, size_t last) const {
        const std::vector<CompiledOp>& ops = out_.ops;
        const CompiledOp& target = ops[at + 1];
        const CompiledOp& left = ops[at + 2];
        if (ops[at].site != 0 || target.op != kOpSlot || target.depth != 1 ||
            target.index != ops[at].count || left.op != kOpSlot || left.depth != 2 ||
            left.index > UINT16_MAX || at + 3 >= last)
            return false;
        for (size_t i = at + 3; i < last; ++i) {
            // Steps at the left operand's place or below it would change what it holds.
            if (ops[i].depth < 3) return false;
            if (IsCallStep(ops[i].op)) continue;
            switch (ops[i].op) {
            case kOpSlot:
            case kOpBoundSlot:
            case kOpInt:
            case kOpDouble:
                break;
            // An operator that works out a value, and so assigns nothing.
            case kOpBinary:
            case kOpSlotSlot:
            case kOpSlotInt:
            case kOpSlotDouble:
            case kOpBinarySlot:
            case kOpBinaryBoundSlot:
            case kOpBinaryInt:
            case kOpBinaryDouble:
                if (!IsIntegerOperator(ops[i].code)) return false;
                break;
            default:
                return false;
            }
        }
        return true;
    }

    // A statement assigning a slot whose number code calls functions, which run in full once
    // a call is of a body that is more than one Return, has its assignment done by a
    // kOpSlotStatement from the value its steps leave above the assigned slot's read: the
    // steps before it reach it whichever way their calls go, and it ends the statement when
    // the slot and that value are numbers the operator takes.
    void AddStackStatements() {
        std::vector<CompiledOp>& ops = out_.ops;
        out_.readsAfterCall.assign(out_.metDoubles.size(), 0);
        // The steps to add, each before the step at its place.
        std::vector<std::pair<uint32_t, CompiledOp>> added;
        for (size_t at = 0; at < ops.size(); ++at) {
            const CompiledOp& op = ops[at];
            if (op.op != kOpNumberCode || op.code != kNumberAssign || op.site > 1 ||
                !(out_.numberPrograms[op.depth].code.empty() ||
                  CallsFunctions(out_.numberPrograms[op.depth])))
                continue;
            const CompiledOp& assignment = ops[op.index - 1];
            if (assignment.op != kOpBinary || assignment.depth != 1 ||
                !IsAssignment(assignment.code))
                continue;
            const uint16_t bound = op.site != 0 ? kSlotTargetBound : 0;
            CompiledOp step = assignment;
            step.op = kOpSlotStatement;
            step.count = op.count;
            step.index = op.index;
            // "slot = a op F(...)": the operator and the assignment in one step once the
            // call has left its value.
            if (const CompiledOp& last = ops[op.index - 2];
                last.op == kOpBinary && last.depth == 2 && IsIntegerOperator(last.code)) {
                CompiledOp pair = step;
                pair.depth = kSlotFromStackPair | bound;
                pair.site = last.code;
                if (assignment.code == kTokenAssign && ReadsCanWaitForCall(at, op.index - 2)) {
                    out_.readsAfterCall[op.depth] = 1;
                    pair.depth = kSlotFromCallPair;
                    pair.site = last.code | ops[at + 2].index << 16;
                }
                added.emplace_back(op.index - 2, pair);
            }
            step.depth = kSlotFromStack | bound;
            step.site = 0;
            added.emplace_back(op.index - 1, step);
        }
        if (added.empty()) return;
        std::vector<uint32_t> moved(ops.size() + 1);
        std::vector<CompiledOp> kept;
        kept.reserve(ops.size() + added.size());
        size_t next = 0;
        for (size_t i = 0; i < ops.size(); ++i) {
            // Every way to the assignment now comes to the step before it.
            moved[i] = uint32_t(kept.size());
            if (next < added.size() && added[next].first == i) kept.push_back(added[next++].second);
            kept.push_back(ops[i]);
        }
        moved[ops.size()] = uint32_t(kept.size());
        Renumber(kept, moved);
    }

    // Each number statement on one slot whose operand is a slot or a literal becomes one
    // kOpSlotStatement, in place of its kOpNumberCode: the operator on two numbers of one
    // kind needs neither registers nor a call.
    void SlotStatements() {
        std::vector<CompiledOp>& ops = out_.ops;
        for (size_t i = 0; i < ops.size(); ++i) {
            CompiledOp& op = ops[i];
            if (op.op != kOpNumberCode || NeedsRegisters(op)) continue;
            if (op.code == kNumberValue) {
                const CompiledOp& pair = ops[i + 1];
                if (op.index == i + 2 && ops[op.index].op == kOpBranchTrue && pair.depth == 1 &&
                    (pair.op == kOpSlotSlot || pair.op == kOpSlotInt))
                    op.op = kOpSlotBranch;
                continue;
            }
            const uint16_t bound = op.site != 0 ? kSlotTargetBound : 0;
            if (op.code != kNumberAssign) {
                op.code = op.code == kNumberIncrement ? kTokenIncrement : kTokenDecrement;
                op.depth = kSlotStepOnly | bound;
                op.site = 0;
                op.op = kOpSlotStatement;
                continue;
            }
            const CompiledOp& last = ops[op.index - 1];
            // "slot = slot op operand": the slot's read, the pair's step, the assignment.
            if (op.index == i + 4) {
                const CompiledOp& pair = ops[i + 2];
                if ((pair.op != kOpSlotSlot && pair.op != kOpSlotInt && pair.op != kOpSlotDouble) ||
                    pair.depth != 2 || last.op != kOpBinary)
                    continue;
                op.code = uint8_t(last.code);
                op.depth = kSlotFromPair | bound;
                op.site = 0;
                op.op = kOpSlotStatement;
                continue;
            }
            // "slot op operand" as one step of its own, or the slot's read and then it.
            const bool fused = op.index == i + 2;
            if (!fused && op.index != i + 3) continue;
            uint16_t form;
            switch (last.op) {
            case kOpSlotSlot:
            case kOpBinarySlot:
                form = kSlotFromSlot;
                break;
            case kOpSlotInt:
            case kOpBinaryInt:
                form = kSlotFromInteger;
                break;
            case kOpSlotDouble:
            case kOpBinaryDouble:
                form = kSlotFromDouble;
                break;
            default:
                continue;
            }
            const bool fusedStep =
                last.op == kOpSlotSlot || last.op == kOpSlotInt || last.op == kOpSlotDouble;
            if (fused != fusedStep) continue;
            op.code = uint8_t(last.code);
            op.depth = form | (fused ? 0 : bound);
            op.count = fused ? last.count : op.count;
            op.site = last.index;
            op.op = kOpSlotStatement;
        }
    }

    // Each statement stepping a name by an integer outside the rounds of loops, whose
    // programs take number code as it is, becomes a kOpStepName.
    void NameSteps() {
        std::vector<CompiledOp>& ops = out_.ops;
        // How many rounds begin (+1) and end after (-1) each step: the steps a jump back
        // reaches over.
        std::vector<int32_t> rounds(ops.size() + 1);
        for (size_t i = 0; i < ops.size(); ++i) {
            const CompiledOp& op = ops[i];
            if ((op.op == kOpJump || op.op == kOpEndAndJump || op.op == kOpBranchTrue) &&
                op.index <= i) {
                ++rounds[op.index];
                --rounds[i + 1];
            }
        }
        int32_t inRounds = 0;
        for (size_t i = 0; i < ops.size(); ++i) {
            inRounds += rounds[i];
            CompiledOp& op = ops[i];
            if (inRounds == 0 && op.op == kOpNumberCode && op.site == kNumberTargetName &&
                op.code != kNumberValue && op.code != kNumberElementStore &&
                out_.numberPrograms[op.depth].nameStep != 0)
                op.op = kOpStepName;
        }
    }

    bool SettleNumberCode(size_t at) {
        std::vector<CompiledOp>& ops = out_.ops;
        size_t end = at + 1;
        // A For loop's step ends where its test begins.
        while (end < ops.size() && ops[end].op != kOpEndStatement && ops[end].op != kOpEndAndJump &&
               ops[end].op != kOpBranchTrue && ops[end].op != kOpNumberCode &&
               ops[end].op != kOpReturn)
            ++end;
        if (end == ops.size() || end == at + 1) return false;
        CompiledOp& code = ops[at];
        code.index = uint32_t(end);
        const CompiledOp& first = ops[at + 1];
        const CompiledOp& last = ops[end - 1];
        if (ops[end].op == kOpBranchTrue) {
            code.code = kNumberValue;
            return AreNumberSteps(at + 1, end);
        }
        if (ops[end].op == kOpReturn) {
            // One read the Return takes as it is; calls the steps run in this dispatch. A body
            // that begins with its Return of no member may be answered from its steps.
            code.code = kNumberValue;
            return end > at + 2 && !HasCalls(at + 1, end) &&
                   (at != 0 || ReadsMember(at + 1, end)) && AreNumberSteps(at + 1, end);
        }
        if (first.op == kOpElementRead) return SettleElementStore(code, at, end);
        if (const CompiledOp* index = IndexedElementIndex(&first, &ops[end], kElementTarget))
            return first.depth == 1 && SettleElementStore(code, at, end, index);
        // A name that is no slot is the register program's first name; a member, its first
        // member, found on every run.
        const bool named = first.op == kOpName;
        const bool member = IsNumberMember(first);
        if (end == at + 4 && (first.op == kOpSlot || first.op == kOpBoundSlot || named || member) &&
            first.depth == 1 && ops[at + 2].op == kOpEmpty && last.op == kOpBinary &&
            last.depth == 1 && (last.code == kTokenIncrement || last.code == kTokenDecrement)) {
            code.code = last.code == kTokenIncrement ? kNumberIncrement : kNumberDecrement;
            code.count = named || member ? 0 : first.index;
            code.site = named    ? kNumberTargetName
                        : member ? kNumberTargetMember
                                 : first.op == kOpBoundSlot;
            return true;
        }
        // A name bound by its assignment is the slot once the call has bound it.
        const bool binding = first.op == kOpBindName && last.op == kOpAssignBound;
        if (last.depth != 1 || (!IsAssignment(last.code) && !binding)) return false;
        code.code = kNumberAssign;
        if (end == at + 2 &&
            (last.op == kOpSlotSlot || last.op == kOpSlotInt || last.op == kOpSlotDouble)) {
            code.count = last.count;
            code.site = 0;
            return true;
        }
        if ((first.op != kOpSlot && first.op != kOpBoundSlot && !named && !binding && !member) ||
            first.depth != 1 || end < at + 3 ||
            (last.op != kOpBinary && last.op != kOpBinarySlot && last.op != kOpBinaryBoundSlot &&
             last.op != kOpBinaryInt && last.op != kOpBinaryDouble && last.op != kOpBinaryName &&
             !binding))
            return false;
        code.count = named || member ? 0 : first.index;
        code.site = named ? kNumberTargetName : member ? kNumberTargetMember : first.op != kOpSlot;
        const size_t value = member && ops[at + 2].op == kOpMemberAssigned ? at + 3 : at + 2;
        return AreNumberSteps(value, end - 1);
    }

    // "element op= value" whose element's target read is step at + 1 and whose value is
    // number steps: "=", "+=", "-=" or "*=", the operators whose cell writes cannot fail.
    // An element whose index number steps work out begins at step at + 1, `index` its
    // kOpElementIndex.
    bool SettleElementStore(CompiledOp& code, size_t at, size_t end,
                            const CompiledOp* index = nullptr) {
        const std::vector<CompiledOp>& ops = out_.ops;
        const CompiledOp& read = ops[at + 1];
        const CompiledOp& assign = ops[end - 1];
        if ((index == nullptr && (read.code != kElementTarget || read.depth != 1)) ||
            assign.op != kOpElementAssign || assign.depth != 1 || assign.count != 0 ||
            (assign.code != kTokenAssign && assign.code != kTokenAddAssign &&
             assign.code != kTokenSubtractAssign && assign.code != kTokenMultiplyAssign))
            return false;
        const size_t value = index == nullptr ? read.index : size_t(index - ops.data()) + 2;
        const size_t stop = ElementValueEnd(&ops[value], &ops[end - 1]) - ops.data();
        code.code = kNumberElementStore;
        code.count = assign.code;
        code.site = 0;
        return value < stop && AreNumberSteps(value, stop) &&
               (index == nullptr || AreNumberSteps(at + 2, size_t(index - ops.data())));
    }

    // Whether the steps from `from` up to `to` are number steps, an element that a
    // kOpElementRead reads for its value counting as one, and so an element of one index
    // that number steps work out.
    bool ReadsMember(size_t from, size_t to) const {
        for (size_t i = from; i < to; ++i)
            if (IsNumberMember(out_.ops[i])) return true;
        return false;
    }

    bool HasCalls(size_t from, size_t to) const {
        for (size_t i = from; i < to; ++i) {
            const uint8_t op = out_.ops[i].op;
            if ((op >= kOpCallBegin && op <= kOpCallEnd) || op == kOpCallOpen ||
                op == kOpCallClose || op == kOpCallBare || op == kOpCallDirect ||
                op == kOpMethodEnd)
                return true;
        }
        return false;
    }

    bool AreNumberSteps(size_t from, size_t to) const {
        const std::vector<CompiledOp>& ops = out_.ops;
        for (size_t i = from; i < to; ++i) {
            const CompiledOp& op = ops[i];
            if (op.op == kOpElementRead && op.code == kElementValue && op.index <= to &&
                op.depth < CompiledFunction::kMaxQuickDepth)
                i = op.index - 1;
            else if (const CompiledOp* index = IndexedElementIndex(&op, &ops[0] + to);
                     index != nullptr && AreNumberSteps(i + 1, size_t(index - &ops[0])))
                i = size_t(index - &ops[0]) + 1;
            else if (IsNumberMethodCall(i, to))
                ++i;
            else if (!IsNumberStep(op) && !IsNumberMember(op))
                return false;
        }
        return true;
    }

private:
    struct Context {
        const BlockRecord* block;
        uint32_t index;
        // Names the slots bound inside the block (CompiledFunction::blockSlots).
        uint32_t id;
    };
    uint32_t NewContextId() {
        out_.blockSlots.push_back(0);
        return uint32_t(out_.blockSlots.size() - 1);
    }

    uint8_t* At(uint32_t offset) const { return in_.GetStream() + offset; }
    static uint16_t Code(const uint8_t* token) {
        return reinterpret_cast<const TokenHeader*>(token)->code;
    }
    static uint8_t* Next(uint8_t* token) {
        return token + reinterpret_cast<const TokenHeader*>(token)->size;
    }
    uint32_t Offset(const uint8_t* token) const { return uint32_t(token - in_.GetStream()); }
    static uint32_t NameOf(const uint8_t* token) {
        return reinterpret_cast<const NameToken*>(token)->nameId;
    }
    static uint32_t BlockIndexAt(const uint8_t* token) {
        return reinterpret_cast<const TargetToken*>(token)->blockIndex;
    }

    uint32_t Emit(uint8_t op, uint32_t depth, uint8_t* token, uint32_t index = 0,
                  uint32_t count = 0, uint8_t code = 0) {
        out_.ops.push_back(CompiledOp{op, code, uint16_t(depth), index, count, 0, token});
        return uint32_t(out_.ops.size() - 1);
    }
    void EmitJump(uint8_t* target) {
        uint32_t op = Emit(kOpJump, 0, target);
        fixups_.emplace_back(op, Offset(target));
    }
    void EndStatementAt(uint8_t* token) { Emit(kOpEndStatement, 0, token); }
    // The walk goes on at `target` after the statement: the statement loop's work, then
    // there.
    void EndAndGo(uint8_t* target) {
        EndStatementAt(target);
        EmitJump(target);
    }
    void Label(uint8_t* token) { labels_.emplace(Offset(token), uint32_t(out_.ops.size())); }

    bool InLoop() const {
        return std::any_of(contexts_.begin(), contexts_.end(), [](const Context& context) {
            return context.block->kind == kBlockFor || context.block->kind == kBlockWhile;
        });
    }

    bool Seen(uint32_t nameId) const {
        return std::find(seenNames_.begin(), seenNames_.end(), nameId) != seenNames_.end();
    }
    bool IsBound(uint32_t slot) const { return slot < 64 && ((boundSlots_ >> slot) & 1) != 0; }

    // The slot a statement "name = ..." or "name[...] = ..." may bind its name to: one
    // that no code before it reads, so that the call meets it first there; or the slot
    // the name was bound to already in blocks that can never be running at the same time
    // as this one (sibling loops), so that no block's end drops the local of another.
    // Either way the statement must not read the name again: the binding takes effect
    // before its right side is worked out.
    uint32_t BindableSlot(uint8_t* token, bool conditional) const {
        uint16_t code = Code(token);
        if (code == kTokenName
                ? Code(Next(token)) != kTokenAssign
                : code != kTokenArrayName || Code(AfterIndices(token)) != kTokenAssign)
            return kNoSlot;
        if (conditional || scopesOnly_) return kNoSlot;
        uint32_t name = NameOf(token);
        if (uint32_t slot = SlotOf(name); slot != kNoSlot)
            return IsBound(slot) && MayBindAgain(slot) && !NamedAgain(token) ? slot : kNoSlot;
        if (slotNames_.size() >= 64 || Seen(name)) return kNoSlot;
        if (code == kTokenArrayName && NamedAgain(token)) return kNoSlot;
        return uint32_t(slotNames_.size());
    }

    // "Var name = ..." inside a block, compiled as the name's first assignment binding it
    // to a slot (BindableSlot), its lookup finding only the call's locals as the walk's
    // Var does: a loop's body then makes its local in a slot each round. `token`, when the
    // statement is no such Var; else the token that ends it (null: not compiled).
    uint8_t* VarInBlock(uint8_t* token, bool conditional) {
        uint8_t* name = Next(token);
        if (contexts_.empty() || Code(name) != kTokenName || Code(Next(name)) != kTokenAssign ||
            NamedAgain(name))
            return token;
        const uint32_t slot = BindableSlot(name, conditional);
        if (slot == kNoSlot) return token;
        if (InLoop()) Emit(kOpNumberCode, 0, token);
        nextRole_ = kStopStatement;
        uint8_t* end = BoundExpression(0, name, slot);
        if (end != nullptr) out_.ops[bindOp_].code = 1;
        return end;
    }

    // The token after the "]" that closes the indices of the element at `token`.
    static uint8_t* AfterIndices(uint8_t* token) {
        uint32_t open = 1;
        for (token = Next(token); open != 0; token = Next(token)) {
            uint16_t code = Code(token);
            if (code == kTokenEnd) return token;
            if (code == kTokenArrayName || code == kTokenArrayMember) ++open;
            if (code == kTokenCloseBracket) --open;
        }
        return token;
    }

    // Whether the statement whose first token is the name at `head` names it again.
    static bool NamedAgain(uint8_t* head) {
        uint32_t name = NameOf(head);
        for (uint8_t* token = Next(head); Code(token) != kTokenSemicolon; token = Next(token)) {
            uint16_t code = Code(token);
            if (code == kTokenEnd) return true;
            if ((code == kTokenName || code == kTokenArrayName) && NameOf(token) == name)
                return true;
        }
        return false;
    }

    // Whether a block running now may bind the slot again: none of the blocks that bind
    // it already holds it or lies inside it (the body's top level holds them all).
    bool MayBindAgain(uint32_t slot) const {
        for (const auto& [bound, path] : bindings_) {
            if (bound != slot) continue;
            size_t common = std::min(path.size(), contexts_.size());
            bool nested = true;
            for (size_t i = 0; i < common && nested; ++i)
                nested = path[i] == contexts_[i].id;
            if (nested) return false;
        }
        return true;
    }

    // Compiles "name = ..." or "name[...] = ..." at `token` over `base`, its name bound to
    // slot `slot` unless the right side reads the name before the assignment made it
    // (then it stays a name).
    uint8_t* BoundExpression(uint32_t base, uint8_t* token, uint32_t slot) {
        uint32_t name = NameOf(token);
        const bool again = slot < slotNames_.size();
        uint8_t* end;
        if (Code(token) == kTokenArrayName) {
            elementBinding_ = slot;
            end = Expression(base, token);
            elementBinding_ = kNoSlot;
            bindingBegin_ = kNoElement;
        } else {
            end = Expression(base, token, kNoSlot, slot);
        }
        if (end == nullptr) return nullptr;
        // (An element's statement that names it again binds nothing: see BindableSlot.)
        if (Code(token) == kTokenName && Seen(name)) {
            out_.ops[bindOp_].op = kOpOperand;
            out_.ops[bindOp_].code = uint8_t(kTokenName);
            out_.ops[bindAssignOp_].op = kOpBinary;
            out_.ops[bindAssignOp_].code = uint8_t(kTokenAssign);
            seenNames_.push_back(name);
            return end;
        }
        if (!again) slotNames_.push_back(name);
        boundSlots_ |= uint64_t(1) << slot;
        // Made inside a block, the local goes when the block ends.
        if (!contexts_.empty()) out_.blockSlots[contexts_.back().id] |= uint64_t(1) << slot;
        std::vector<uint32_t> path;
        for (const Context& context : contexts_)
            path.push_back(context.id);
        bindings_.emplace_back(slot, std::move(path));
        return end;
    }

    uint32_t SlotOf(uint32_t nameId) const {
        auto found = std::find(slotNames_.begin(), slotNames_.end(), nameId);
        return found == slotNames_.end() ? kNoSlot : uint32_t(found - slotNames_.begin());
    }

    bool BindParameters() {
        uint8_t* token = Next(At(function_->step));
        if (Code(token) != kTokenOpenParen) return true;
        for (;;) {
            token = Next(token);
            if (Code(token) != kTokenName) return false;
            uint32_t name = NameOf(token);
            if (SlotOf(name) != kNoSlot) return false;
            slotNames_.push_back(name);
            token = Next(token);
            if (Code(token) != kTokenComma) break;
        }
        out_.parameterCount = uint32_t(slotNames_.size());
        return true;
    }

    // ---- Expressions: the steps of Evaluate ----------------------------------------

    // The expression at `token` evaluated over `base`: its value lands at base + 1. Null
    // when it has what the compiler does not cover; else the token that ends it.
    // `boundSlot`: the expression is "name = ..." whose name becomes that slot when
    // the call finds it in no scope.
    uint8_t* Expression(uint32_t base, uint8_t* token, uint32_t declaredSlot = kNoSlot,
                        uint32_t boundSlot = kNoSlot) {
        uint32_t operators[kMaxCompiledDepth + 2];
        uint32_t declaredAt = kNoSlot;
        operators[base] = 0;
        uint32_t depth = base;
        ExpressionOpen open(*this, {base, operators, &depth, nextRole_, prefixSteps_.size()});
        for (;;) {
            ++depth;
            if (depth >= kMaxCompiledDepth) return nullptr;
            elementAt_[depth] = kNoElement;
            out_.maxDepth = std::max(out_.maxDepth, depth + 1);
            if (declaredSlot != kNoSlot && depth == base + 1) {
                Emit(kOpUnbound, depth, token);
                declaredAt = depth;
                token = Next(token);
            } else if (boundSlot != kNoSlot && depth == base + 1) {
                bindOp_ = Emit(kOpBindName, depth, token, boundSlot);
                declaredAt = depth;
                declaredSlot = boundSlot;
                token = Next(token);
            } else {
                token = Operand(depth, token);
                if (token == nullptr) return nullptr;
                SettleElementMode(depth, token, depth - 1 > base ? operators[depth - 1] : 0);
            }
            for (;;) {
                uint16_t code = Code(token);
                if (IsOperator(code)) {
                    if (code > operators[depth - 1]) {
                        operators[depth] = code;
                        token = Next(token);
                        break;
                    }
                } else if (depth - 1 == base) {
                    return token;
                }
                --depth;
                if (operators[depth] == kTokenQuestion) {
                    // The value after ":" goes above the one before it, which waits.
                    if (Code(token) != kTokenColon || depth == declaredAt) return nullptr;
                    Emit(kOpQuestion, depth, token);
                    uint8_t* end = Expression(depth + 1, Next(token));
                    if (end == nullptr) return nullptr;
                    Emit(kOpChoose, depth, end);
                    token = end;
                    continue;
                }
                if (depth == declaredAt && operators[depth] == kTokenAssign)
                    bindAssignOp_ = Emit(boundSlot != kNoSlot ? kOpAssignBound : kOpAssignDeclared,
                                         depth, token, declaredSlot);
                else if (int assigned = ElementAssignment(depth, token, operators[depth]);
                         assigned < 0)
                    return nullptr;
                else if (assigned == 0)
                    Emit(kOpBinary, depth, token, 0, 0, uint8_t(operators[depth]));
                if (!memberTargets_.empty() && memberTargets_.back().depth == depth &&
                    operators[depth] == kTokenAssign) {
                    CompiledOp& assigned = out_.ops[memberTargets_.back().step];
                    // The walk reads an event property's right side, without the slots.
                    if (memberTargets_.back().event && ReadsSlot(assigned.token, token))
                        return nullptr;
                    assigned.token = token;
                    assigned.index = uint32_t(out_.ops.size());
                    memberTargets_.pop_back();
                }
                if (depth == declaredAt) declaredAt = kNoSlot;
            }
        }
    }

    uint8_t* Operand(uint32_t depth, uint8_t* token) {
        uint16_t code = Code(token);
        switch (code) {
        case kTokenInteger:
        case kTokenHexInteger:
        case 104:
            Emit(kOpInt, depth, token,
                 uint32_t(reinterpret_cast<const IntegerToken*>(token)->value));
            return Next(token);
        case kTokenTrue:
        case kTokenOn:
            Emit(kOpInt, depth, token, 1);
            return Next(token);
        case 107:
        case kTokenFalse:
        case kTokenOff:
            Emit(kOpInt, depth, token, 0);
            return Next(token);
        case kTokenDouble:
            Emit(kOpDouble, depth, token);
            return Next(token);
        case kTokenDefaultValue:
            Emit(kOpOperand, depth, token, 0, 0, uint8_t(code));
            return Next(token);
        case kTokenCloseParen:
        case kTokenComma:
        case kTokenSemicolon:
            Emit(kOpEmpty, depth, token);
            return token;
        case kTokenString:
            if (IsMemberLink(Code(Next(token)))) return Members(depth, token);
            Emit(kOpOperand, depth, token, 0,
                 out_.texts.Add(GetStringTokenText(reinterpret_cast<const TokenHeader*>(token))),
                 uint8_t(code));
            return Next(token);
        case kTokenName: {
            uint8_t* next = Next(token);
            if (IsMemberLink(Code(next))) return Members(depth, token);
            uint32_t slot = SlotOf(NameOf(token));
            if (slot != kNoSlot && IsBound(slot)) {
                Emit(kOpBoundSlot, depth, token, slot);
            } else if (slot != kNoSlot) {
                Emit(kOpSlot, depth, next, slot);
            } else {
                seenNames_.push_back(NameOf(token));
                Emit(kOpName, depth, token);
            }
            return next;
        }
        case kTokenVar: {
            uint8_t* name = Next(token);
            // An array's name that is no slot is looked up as the walk does, which finds
            // only a local of it while it is being declared.
            if (Code(name) == kTokenArrayName && SlotOf(NameOf(name)) == kNoSlot) {
                Emit(kOpDeclare, depth, name);
                nextRole_ = kStopVar;
                uint8_t* end = Expression(depth, name);
                if (end == nullptr) return nullptr;
                Emit(kOpSwap, depth, end);
                return end;
            }
            if (Code(name) != kTokenName) return nullptr;
            Emit(kOpDeclare, depth, name);
            uint32_t declared = declaring_;
            declaring_ = kNoSlot;
            nextRole_ = kStopVar;
            uint8_t* end = Expression(depth, name, declared);
            if (end == nullptr) return nullptr;
            Emit(kOpSwap, depth, end);
            return end;
        }
        case kTokenOpenParen: {
            Emit(kOpClear, depth, token);
            closers_.push_back(kParenthesis);
            nextRole_ = kStopParenthesis;
            uint8_t* end = Expression(depth, Next(token));
            closers_.pop_back();
            if (end == nullptr || Code(end) != kTokenCloseParen) return nullptr;
            Emit(kOpSwap, depth, end);
            end = Next(end);
            if (IsMemberLink(Code(end))) return MembersAfter(depth, end, 0);
            return end;
        }
        case kTokenPlus: {
            if (++prefixes_ > kMaxCompiledDepth) return nullptr;
            uint8_t* end = Operand(depth, Next(token));
            --prefixes_;
            return end;
        }
        case kTokenMinus:
        case kTokenNot:
        case kTokenBitNot:
        case kTokenIncrement:
        case kTokenDecrement: {
            if (++prefixes_ > kMaxCompiledDepth) return nullptr;
            prefixSteps_.push_back(code == kTokenMinus    ? kStopNegate
                                   : code == kTokenNot    ? kStopNot
                                   : code == kTokenBitNot ? kStopComplement
                                                          : 0);
            uint8_t* end = Operand(depth, Next(token));
            prefixSteps_.pop_back();
            --prefixes_;
            if (end == nullptr) return nullptr;
            uint8_t op = code == kTokenMinus    ? kOpNegate
                         : code == kTokenNot    ? kOpNot
                         : code == kTokenBitNot ? kOpComplement
                                                : kOpPrefixStep;
            Emit(op, depth, end, 0, 0, uint8_t(code));
            return end;
        }
        case kTokenCallName:
            return Call(depth, token);
        case kTokenThis:
        case kTokenCurWindow:
            return Members(depth, token);
        case kTokenNew:
            return New(depth, token);
        case kTokenArrayName:
            return Element(depth, token);
        default:
            if (IsClassToken(code)) return Members(depth, token);
            return nullptr;
        }
    }

    // The arguments of a call whose "(" is behind `token`, each into its place of the
    // frame; the token after the ")", or null. `count` is how many there were.
    uint8_t* Arguments(uint32_t depth, uint8_t* token, uint32_t& count) {
        count = 0;
        if (Code(token) != kTokenCloseParen) {
            Emit(kOpArgumentsBegin, depth, token);
            for (;;) {
                nextRole_ = kStopArgument;
                token = Expression(depth, token);
                if (token == nullptr) return nullptr;
                uint32_t argument = Emit(kOpArgument, depth, token, count++);
                out_.ops[argument].site = CompiledFunction::kFrameArguments;
                if (Code(token) != kTokenComma) break;
                if (count == CInterpretor::kMaxArguments) return nullptr;
                token = Next(token);
            }
            if (Code(token) != kTokenCloseParen) return nullptr;
            Emit(kOpArgumentsEnd, depth, token);
        }
        token = Next(token);
        // A member after a call's result is where the walk stops reading the operand.
        if (IsMemberLink(Code(token))) return nullptr;
        return token;
    }

    // Whether a name from `from` up to `to` is one of a slot.
    bool ReadsSlot(uint8_t* from, uint8_t* to) const {
        for (uint8_t* token = from; token != to; token = Next(token))
            if ((Code(token) == kTokenName || Code(token) == kTokenArrayName) &&
                SlotOf(NameOf(token)) != kNoSlot)
                return true;
        return false;
    }

    // Event properties, whose assignment their method reads, are named On...
    bool IsEventName(uint32_t nameId) const {
        const CNameTable* names = in_.GetNameTable();
        const char* name = names != nullptr ? names->GetName(nameId) : nullptr;
        return name == nullptr ||
               ((name[0] == 'O' || name[0] == 'o') && (name[1] == 'N' || name[1] == 'n'));
    }

    // An operand whose head (a name, This, CurWindow, a class, a text) has members
    // after it. Members alone the walk's handlers read, as no expression lies inside
    // them; a chain ending in a method call takes a step per member and one at each end
    // of the call, between which its arguments are compiled.
    uint8_t* Members(uint32_t depth, uint8_t* head) {
        const uint16_t code = Code(head);
        uint8_t* link = Next(head);
        MemberStops(link);
        uint8_t* call = link;
        while (Code(call) == kTokenMember)
            call = Next(call);
        const bool singleton = IsSingletonClass(code);
        uint32_t slot = code == kTokenName ? SlotOf(NameOf(head)) : kNoSlot;
        if (Code(call) != kTokenMemberCall && Code(call) != kTokenArrayMember) {
            if (Code(call) == kTokenDot) return nullptr;
            if (slot != kNoSlot) {
                uint32_t step = Emit(kOpSlotMembers, depth, link, slot, Offset(call),
                                     uint8_t(IsBound(slot) ? 1 : 0));
                out_.ops[step].site = uint32_t(out_.memberSites.size());
                out_.memberSites.push_back({0, 0, Offset(head)});
            } else {
                if (code == kTokenName) seenNames_.push_back(NameOf(head));
                Emit(kOpWalkOperand, depth, head, 0, Offset(call), uint8_t(code));
            }
            AssignedMembers(depth, link, call);
            return call;
        }
        if (IsClassToken(code) && !singleton) {
            if (Code(call) == kTokenArrayMember) return nullptr;
            // The walk reads a class's member, never a method called through it: its
            // handler fails at the call or at the member after the one it read.
            Emit(kOpWalkOperand, depth, head, 0, Offset(head), uint8_t(code));
            return SkipArguments(Next(call));
        }
        MemberChainHead kind = kChainText;
        if (code == kTokenName) {
            kind = slot == kNoSlot ? kChainName : IsBound(slot) ? kChainBoundSlot : kChainSlot;
            if (slot == kNoSlot) {
                seenNames_.push_back(NameOf(head));
                slot = 0;
            }
        } else if (code == kTokenThis) {
            kind = kChainThis;
        } else if (code == kTokenCurWindow) {
            kind = kChainCurWindow;
        } else if (singleton) {
            kind = kChainSingleton;
        }
        Emit(kOpChainHead, depth, head, slot, 0, kind);
        if (Code(call) == kTokenArrayMember) return MemberElement(depth, link, call);
        return MethodChain(depth, link, call);
    }

    // The members from `link` up to the member with an index list at `member`, after a
    // chain's head, and the element there as MemberElement reads it, its indices
    // compiled; members after it the walk reads on from its value.
    uint8_t* MemberElement(uint32_t depth, uint8_t* link, uint8_t* member) {
        uint8_t* close = Next(member);
        for (uint32_t open = 1;; close = Next(close)) {
            const uint16_t code = Code(close);
            if (code == kTokenEnd) return nullptr;
            if (code == kTokenArrayName || code == kTokenArrayMember) ++open;
            if (code == kTokenCloseBracket && --open == 0) break;
        }
        // A member not there yet is made by "=", which the walk's handler does, reading
        // the indices once more: it must not meet the slots.
        if (Code(Next(close)) == kTokenAssign && ReadsSlot(Next(member), close)) return nullptr;
        for (uint8_t* before = link; before != member; before = Next(before))
            Emit(kOpChainMember, depth, before);
        const uint32_t begin = Emit(kOpMemberElementBegin, depth, member);
        uint32_t count = 0;
        uint8_t* next = IndexList(depth, Next(member), count);
        if (next == nullptr) return nullptr;
        MemberStops(next);
        uint8_t* end = next;
        while (Code(end) == kTokenMember)
            end = Next(end);
        if (IsMemberLink(Code(end))) return nullptr;
        const uint32_t element = Emit(kOpMemberElement, depth, next, Offset(end), count);
        out_.ops[element].site = Offset(member);
        out_.ops[begin].index = element + 1;
        AssignedMembers(depth, next, end);
        return end;
    }

    // The members from `link` up to the method call at `call`, and the call, after a
    // chain's head.
    uint8_t* MethodChain(uint32_t depth, uint8_t* link, uint8_t* call) {
        for (uint8_t* member = link; member != call; member = Next(member))
            Emit(kOpChainMember, depth, member);
        const uint32_t site = uint32_t(out_.methodSites.size());
        out_.methodSites.emplace_back();
        const uint32_t begin = Emit(kOpMethodBegin, depth, call);
        out_.ops[begin].site = site;
        uint32_t count;
        uint8_t* end = Arguments(depth, Next(call), count);
        if (end == nullptr) return nullptr;
        out_.ops[begin].count = count;
        out_.ops[Emit(kOpMethodEnd, depth, end, 0, count)].site = site;
        return end;
    }

    // Members from `link` to `end` that "=" follows may be a built-in object's, which reads
    // the assignment itself: its token and where it goes on are those of the "=" when it
    // is reduced.
    void AssignedMembers(uint32_t depth, uint8_t* link, uint8_t* end) {
        if (Code(end) != kTokenAssign || link == end) return;
        uint8_t* last = link;
        while (Next(last) != end)
            last = Next(last);
        memberTargets_.push_back(
            {depth, Emit(kOpMemberAssigned, depth, end), IsEventName(NameOf(last))});
    }

    // The token after the ")" of arguments that begin at `token`, stepped over unread.
    uint8_t* SkipArguments(uint8_t* token) {
        for (uint32_t open = 1;; token = Next(token)) {
            const uint16_t code = Code(token);
            if (code == kTokenEnd) return nullptr;
            if (code == kTokenOpenParen || code == kTokenCallName || code == kTokenMemberCall)
                ++open;
            if (code == kTokenCloseParen && --open == 0) return Next(token);
        }
    }

    // Members after an operand whose steps left its value at `depth`: an element's
    // variable and its `indices` there, or the value of a parenthesis (`indices` 0). A
    // run of members the walk reads on from that value; a chain ending in a method call
    // takes the chain's steps from it.
    uint8_t* MembersAfter(uint32_t depth, uint8_t* link, uint32_t indices) {
        MemberStops(link);
        uint8_t* call = link;
        while (Code(call) == kTokenMember)
            call = Next(call);
        // The walk reads no index list after a member, nor a member after a parenthesis
        // that does not begin with one of these.
        if (Code(call) == kTokenArrayMember || Code(call) == kTokenDot) return nullptr;
        if (Code(call) != kTokenMemberCall) {
            uint32_t step =
                Emit(indices != 0 ? kOpElementMembers : kOpValueMembers, depth, link, 0, indices);
            out_.ops[step].site = Offset(call);
            AssignedMembers(depth, link, call);
            return call;
        }
        Emit(indices != 0 ? kOpElementChainHead : kOpValueChainHead, depth, link, 0, indices);
        return MethodChain(depth, link, call);
    }

    // New of a class or of a script function, its arguments compiled.
    uint8_t* New(uint32_t depth, uint8_t* token) {
        uint8_t* target = Next(token);
        const bool function = Code(target) == kTokenCallName;
        if (!function && !IsClassToken(Code(target))) return nullptr;
        Emit(kOpNewBegin, depth, token, 0, 0, uint8_t(function ? 1 : 0));
        uint32_t count;
        uint8_t* end = Arguments(depth, Next(target), count);
        if (end == nullptr) return nullptr;
        Emit(kOpNewEnd, depth, end, Offset(target), count);
        return end;
    }

    // ---- Array elements ----------------------------------------------------------------

    // "name[index, ...]" as EvalArrayElement reads it: the array's variable at `depth`,
    // the indices each worked out above it, then the element, read as the walk does
    // (kElementAddressed) until SettleElementMode or ElementAssignment know better.
    uint8_t* Element(uint32_t depth, uint8_t* token) {
        uint32_t name = NameOf(token);
        uint32_t slot = SlotOf(name);
        uint32_t begin;
        if (elementBinding_ != kNoSlot) {
            // The head of "name[...] = ..." that binds the name (BoundExpression).
            begin = bindingBegin_ = Emit(kOpElementBoundSlot, depth, token, 0, elementBinding_);
            elementBinding_ = kNoSlot;
        } else if (slot != kNoSlot && IsBound(slot)) {
            begin = Emit(kOpElementBoundSlot, depth, token, 0, slot);
        } else if (slot != kNoSlot) {
            begin = Emit(kOpElementSlot, depth, token, 0, slot);
        } else {
            seenNames_.push_back(name);
            begin = Emit(kOpElementName, depth, token);
        }
        uint32_t count = 0;
        uint8_t* next = IndexList(depth, Next(token), count);
        if (next == nullptr) return nullptr;
        if (IsMemberLink(Code(next))) {
            out_.ops[begin].index = uint32_t(out_.ops.size()) + 1;
            return MembersAfter(depth, next, count);
        }
        // Its first step, for ElementAssignment.
        uint32_t element = Emit(kOpElement, depth, next, begin, count, kElementAddressed);
        out_.ops[begin].index = element + 1;
        return next;
    }

    // The indices of an element from `next`, just past its "[", each compiled and taken
    // as the next index (`count` of them); the token after the "]", or null.
    uint8_t* IndexList(uint32_t depth, uint8_t* next, uint32_t& count) {
        closers_.push_back(kIndexList);
        for (;;) {
            // The link pass lets no more indices through than an array has dimensions.
            if (count == uint32_t(CInterpretor::kMaxArrayIndices)) return nullptr;
            nextRole_ = kStopIndex;
            next = Expression(depth, next);
            if (next == nullptr) return nullptr;
            Emit(kOpElementIndex, depth, next, count++);
            if (Code(next) != kTokenComma) break;
            next = Next(next);
        }
        closers_.pop_back();
        return Code(next) == kTokenCloseBracket ? Next(next) : nullptr;
    }

    // Whether the value of an operand that `next` follows may be assigned to through its
    // variable: by an assignment, ++ or --, or, inside parentheses, by one after them.
    bool MayBeAssigned(uint8_t* next) const {
        uint16_t code = Code(next);
        if (code >= kTokenAssign && code <= kTokenShiftRightAssign) return true;
        if (code == kTokenIncrement || code == kTokenDecrement) return true;
        return code == kTokenCloseParen && !closers_.empty() && closers_.back() == kParenthesis;
    }

    // An element just read at `depth` whose value alone is used is read from its cell. The
    // right operand of `consumer`, a binary operator, is used so even before a closing
    // parenthesis: the operator takes its value before anything after the parenthesis
    // runs ("?" and the assignments, whose result may stand for it, aside).
    void SettleElementMode(uint32_t depth, uint8_t* next, uint32_t consumer) {
        CompiledOp& last = out_.ops.back();
        if (last.op != kOpElement || last.depth != depth) return;
        elementAt_[depth] = uint32_t(out_.ops.size() - 1);
        const bool consumed = Code(next) == kTokenCloseParen && consumer > kTokenQuestion;
        if (consumed || !MayBeAssigned(next)) last.code = kElementValue;
    }

    // Operator `code` reduced at `depth` onto the element read there, with nothing taken
    // in between at that depth: a kOpElementAssign, 1. 0 for anything else, -1 when the
    // compiler does not cover it.
    int ElementAssignment(uint32_t depth, uint8_t* token, uint32_t code) {
        uint32_t at = elementAt_[depth];
        elementAt_[depth] = kNoElement;
        if (at == kNoElement) return 0;
        if (!(code >= kTokenAssign && code <= kTokenShiftRightAssign) && code != kTokenIncrement &&
            code != kTokenDecrement)
            return 0;
        for (uint32_t i = at + 1; i < out_.ops.size(); ++i)
            if (out_.ops[i].depth <= depth) return 0;
        out_.ops[at].code = kElementTarget;
        uint32_t begin = out_.ops[at].index;
        uint32_t made = kNoElement;
        if (code == kTokenAssign &&
            (out_.ops[begin].op == kOpElementName || out_.ops[begin].op == kOpElementBoundSlot)) {
            // A name no scope has makes a new array: its indices are worked out once more,
            // after the right side, above it.
            made = Emit(kOpNewArray, depth, token);
            uint32_t count = 0;
            if (IndexList(depth + 1, Next(out_.ops[begin].token), count) == nullptr) return -1;
            uint32_t end = Emit(kOpNewArrayEnd, depth, token, 0, count);
            // The array that binds its name goes into the slot.
            if (begin == bindingBegin_) {
                out_.ops[end].code = 1;
                out_.ops[end].site = out_.ops[begin].count;
            }
        }
        uint32_t assign =
            Emit(kOpElementAssign, depth, token, 0, MayBeAssigned(token) ? 1 : 0, uint8_t(code));
        if (made != kNoElement) {
            out_.ops[made].index = assign;
            out_.ops[assign - 1].index = assign + 1;
        }
        return 1;
    }

    uint8_t* Call(uint32_t depth, uint8_t* token) {
        if (pendingCalls_ >= CompiledFunction::kMaxPendingCalls) return nullptr;
        uint32_t pending = pendingCalls_++;
        out_.maxPendingCalls = std::max(out_.maxPendingCalls, pendingCalls_);
        closers_.push_back(kCallArguments);
        uint32_t begin = Emit(kOpCallBegin, depth, token, pending);
        uint8_t* next = Next(token);
        uint32_t count = 0;
        if (Code(next) != kTokenCloseParen) {
            Emit(kOpArgumentsBegin, depth, next);
            for (;;) {
                nextRole_ = kStopArgument;
                next = Expression(depth, next);
                if (next == nullptr) return nullptr;
                uint32_t argument = Emit(kOpArgument, depth, next, count++);
                out_.ops[argument].site = pending;
                if (Code(next) != kTokenComma) break;
                if (count == CInterpretor::kMaxArguments) return nullptr;
                next = Next(next);
            }
            if (Code(next) != kTokenCloseParen) return nullptr;
            Emit(kOpArgumentsEnd, depth, next);
        }
        closers_.pop_back();
        next = Next(next);
        if (IsMemberLink(Code(next))) return nullptr;
        uint32_t end = Emit(kOpCallEnd, depth, next, pending, count);
        out_.ops[end].site = uint32_t(out_.sites.size());
        out_.ops[begin].site = out_.ops[end].site;
        out_.ops[begin].count = count;
        out_.sites.emplace_back();
        --pendingCalls_;
        return next;
    }

    // ---- Statements: the steps of the statement loop ---------------------------------

    // The condition at `token` evaluated; on to `holds` when it holds. The code written
    // after this runs when it does not.
    bool Condition(uint8_t* token, uint32_t& branch) {
        Emit(kOpNumberCode, 0, token);
        nextRole_ = kStopLoopCondition;
        uint8_t* end = Expression(0, token);
        if (end == nullptr) return false;
        branch = Emit(kOpBranchTrue, 0, end);
        return true;
    }
    void Holds(uint32_t branch) { out_.ops[branch].index = uint32_t(out_.ops.size()); }

    // A loop's condition deciding between its body and what follows the loop; the
    // block is popped when it ends.
    bool LoopTest(const BlockRecord* block, uint32_t id) {
        uint8_t* body = Next(At(block->bodyStart));
        uint8_t* after = Next(At(block->end));
        if (block->condition == 0) {
            EndAndGo(body);
            return true;
        }
        uint32_t branch;
        if (!Condition(At(block->condition), branch)) return false;
        Emit(kOpPopBlock, 0, after, id);
        EndAndGo(after);
        Holds(branch);
        EndAndGo(body);
        return true;
    }

    static bool ReadsSlot(const CompiledOp& op) {
        return op.op == kOpSlot || op.op == kOpBoundSlot;
    }

    // Puts a kOpCountingRound before the step at `first` when the step (up to `test`) and
    // the test are those of a counting loop. Each begins with its kOpNumberCode.
    void AddCountingRound(uint32_t first, uint32_t test) {
        std::vector<CompiledOp>& ops = out_.ops;
        if (test != first + 4 || ops.size() < test + 5 || ops[first].op != kOpNumberCode ||
            ops[test].op != kOpNumberCode)
            return;
        ++test;
        const CompiledOp& counter = ops[first + 1];
        const CompiledOp& step = ops[first + 3];
        if (!ReadsSlot(counter) || ops[first + 2].op != kOpEmpty || step.op != kOpBinary ||
            (step.code != kTokenIncrement && step.code != kTokenDecrement))
            return;
        const CompiledOp& read = ops[test];
        const CompiledOp& limit = ops[test + 1];
        const CompiledOp& compare = ops[test + 2];
        const CompiledOp& branch = ops[test + 3];
        if (!ReadsSlot(read) || read.index != counter.index || compare.op != kOpBinary ||
            compare.code < kTokenGreaterEqual || compare.code > kTokenNotEqual ||
            branch.op != kOpBranchTrue || (limit.op != kOpInt && !ReadsSlot(limit)))
            return;
        CountingRound round{};
        round.counter = counter.index;
        round.limitSlot = limit.op == kOpInt ? CountingRound::kNoLimitSlot : limit.index;
        round.limit = limit.op == kOpInt ? int32_t(limit.index) : 0;
        round.step = step.code == kTokenIncrement ? 1 : -1;
        round.compare = compare.code;
        round.holds = branch.index + 1;
        round.ends = test + 4 + 1;
        for (uint32_t i = first; i < ops.size(); ++i)
            if (ops[i].op == kOpBranchTrue) ++ops[i].index;
        for (auto& fixup : fixups_)
            if (fixup.first >= first) ++fixup.first;
        for (auto& label : labels_)
            if (label.second > first) ++label.second;
        out_.rounds.push_back(round);
        ops.insert(ops.begin() + first,
                   CompiledOp{kOpCountingRound, 0, 0, uint32_t(out_.rounds.size() - 1), 0, 0,
                              ops[first + 1].token});
    }

    // The statements from `token` on, to the body's end: true when all compiled; else
    // false, the statement that was not left in statementToken_.
    bool CompileBody(uint8_t*& token) {
        uint8_t* end = function_ != nullptr ? At(function_->end) : nullptr;
        bool conditionalNext = false;
        for (;;) {
            Label(token);
            if (Code(token) == kTokenSemicolon) {
                token = Next(token);
                if (Code(token) != kTokenSemicolon) Label(token);
            }
            statementToken_ = token;
            statementMark_ = out_.ops.size();
            fixupMark_ = fixups_.size();
            // A case's statements run only when a Case lets them.
            bool conditional = conditionalNext ||
                               (!contexts_.empty() && contexts_.back().block->kind == kBlockSwitch);
            conditionalNext = false;
            uint16_t code = Code(token);
            if (code == kTokenReturn && function_ == nullptr) return false;
            // Of the class names, only a singleton's starts a statement, as This does.
            switch (IsSingletonClass(code) ? uint16_t(kTokenThis) : code) {
            case kTokenName:
            case kTokenArrayName:
            case kTokenCallName:
            case kTokenVar:
            case kTokenThis:
            case kTokenCurWindow:
            case kTokenString: {
                uint32_t declared = kNoSlot;
                uint32_t declaredName = 0;
                if (code == kTokenVar && contexts_.empty() && !conditional && !scopesOnly_ &&
                    Code(Next(token)) == kTokenName && Code(Next(Next(token))) == kTokenAssign) {
                    declaredName = NameOf(Next(token));
                    if (SlotOf(declaredName) == kNoSlot) {
                        // Read before as another scope's name: the walk would then find
                        // that variable's value under the same name in the locals.
                        if (std::find(seenNames_.begin(), seenNames_.end(), declaredName) !=
                            seenNames_.end())
                            return false;
                        declared = uint32_t(slotNames_.size());
                    }
                }
                // "Var name;" before anything reads the name finds no local of it and
                // makes none: the name stays free for a later binding.
                if (code == kTokenVar && !conditional && !scopesOnly_ &&
                    Code(Next(token)) == kTokenName && Code(Next(Next(token))) == kTokenSemicolon &&
                    SlotOf(NameOf(Next(token))) == kNoSlot && !Seen(NameOf(Next(token)))) {
                    uint8_t* name = Next(token);
                    Emit(kOpDeclareFree, 1, name);
                    out_.maxDepth = std::max(out_.maxDepth, 3u);
                    token = Next(name);
                    EndStatementAt(token);
                    break;
                }
                if (code == kTokenVar) {
                    if (uint8_t* next = VarInBlock(token, conditional); next != token) {
                        if (next == nullptr) return false;
                        EndStatementAt(next);
                        token = next;
                        break;
                    }
                }
                uint32_t bound = BindableSlot(token, conditional);
                // A name's binding assignment is number code once its call has bound it,
                // which only a loop's later rounds find. A name that is no slot keeps what
                // it found while the scopes that could change it stay as they were
                // (FindNames), from call to call of the function too.
                if (((code == kTokenName || code == kTokenArrayName) &&
                     (bound == kNoSlot || InLoop())) ||
                    code == kTokenThis)
                    Emit(kOpNumberCode, 0, token);
                if (declared != kNoSlot) Emit(kOpDeclareNumber, 0, token);
                declaring_ = declared;
                nextRole_ = kStopStatement;
                uint8_t* next =
                    bound != kNoSlot ? BoundExpression(0, token, bound) : Expression(0, token);
                declaring_ = kNoSlot;
                if (next == nullptr) return false;
                if (declared != kNoSlot) slotNames_.push_back(declaredName);
                EndStatementAt(next);
                token = next;
                break;
            }
            case kTokenIf: {
                const auto* header = reinterpret_cast<const TargetToken*>(token);
                uint8_t* otherwise = At(header->target);
                if (Code(otherwise) == kTokenElse) otherwise = Next(otherwise);
                Emit(kOpNumberCode, 0, token);
                nextRole_ = kStopIf;
                uint8_t* close = Expression(0, Next(token));
                if ((close == nullptr || Code(close) != kTokenCloseParen) && scopesOnly_) {
                    // The walk works the condition out; the code goes on in its branch.
                    out_.ops.resize(statementMark_);
                    pendingCalls_ = 0;
                    prefixes_ = 0;
                    close = ConditionEnd(Next(token), otherwise);
                    if (close == nullptr) return false;
                    uint32_t walk = Emit(kOpWalkIf, 0, token, 0, Offset(Next(close)));
                    out_.ops[walk].site = Offset(otherwise);
                    fixups_.emplace_back(walk, Offset(otherwise));
                    token = Next(close);
                    EndStatementAt(token);
                    conditionalNext = true;
                    break;
                }
                if (close == nullptr || Code(close) != kTokenCloseParen) return false;
                token = Next(close);
                uint32_t branch = Emit(kOpBranchTrue, 0, token);
                EndAndGo(otherwise);
                Holds(branch);
                EndStatementAt(token);
                conditionalNext = true;
                break;
            }
            case kTokenElse: {
                uint8_t* target = At(reinterpret_cast<const TargetToken*>(token)->target);
                while (Code(target) == kTokenElse)
                    target = At(reinterpret_cast<const TargetToken*>(target)->target);
                EndAndGo(target);
                token = Next(token);
                conditionalNext = true;
                break;
            }
            case kTokenWhile: {
                uint32_t index = BlockIndexAt(token);
                const BlockRecord* block = in_.GetBlock(index);
                if (block == nullptr) return false;
                uint8_t* after = Next(At(block->end));
                uint32_t branch;
                if (!Condition(At(block->condition), branch)) return false;
                EndAndGo(after);
                Holds(branch);
                Emit(kOpPushBlock, 0, token, index);
                token = Next(At(block->bodyStart));
                EndStatementAt(token);
                contexts_.push_back({block, index, NewContextId()});
                break;
            }
            case kTokenFor: {
                uint32_t index = BlockIndexAt(token);
                const BlockRecord* block = in_.GetBlock(index);
                if (block == nullptr) return false;
                uint8_t* first = Next(token);
                uint32_t bound = BindableSlot(first, conditional);
                if ((bound != kNoSlot ? BoundExpression(0, first, bound) : Expression(0, first)) ==
                    nullptr)
                    return false;
                Emit(kOpPushBlock, 0, token, index);
                uint32_t id = NewContextId();
                if (!LoopTest(block, id)) return false;
                token = Next(At(block->bodyStart));
                contexts_.push_back({block, index, id});
                break;
            }
            case kTokenOpenBrace: {
                uint32_t index = BlockIndexAt(token);
                const BlockRecord* block = in_.GetBlock(index);
                if (block == nullptr) return false;
                if (block->kind != kBlockPlain) return false;
                Emit(kOpPushBlock, 0, token, index);
                token = Next(token);
                EndStatementAt(token);
                contexts_.push_back({block, index, NewContextId()});
                break;
            }
            case kTokenCloseBrace: {
                if (contexts_.empty()) {
                    if (token != end) return false;
                    Emit(kOpReturnZero, 0, token);
                    token = nullptr;
                    return true;
                }
                const Context closed = contexts_.back();
                const BlockRecord* block = closed.block;
                contexts_.pop_back();
                if (in_.GetBlock(reinterpret_cast<const TargetToken*>(token)->blockIndex) != block)
                    return false;
                if (block->kind == kBlockFor) {
                    uint32_t first = uint32_t(out_.ops.size());
                    if (block->step != 0) {
                        Emit(kOpNumberCode, 0, At(block->step));
                        if (Expression(0, At(block->step)) == nullptr) return false;
                    }
                    uint32_t test = uint32_t(out_.ops.size());
                    if (!LoopTest(block, closed.id)) return false;
                    if (block->step != 0 && block->condition != 0) AddCountingRound(first, test);
                } else if (block->kind == kBlockWhile) {
                    if (!LoopTest(block, closed.id)) return false;
                } else {
                    Emit(kOpPopBlock, 0, token, closed.id);
                    EndStatementAt(Next(token));
                }
                token = Next(token);
                break;
            }
            case kTokenReturn: {
                uint8_t* next = Next(token);
                if (Code(next) == kTokenSemicolon) {
                    Emit(kOpReturnZero, 0, next);
                } else {
                    Emit(kOpNumberCode, 0, next);
                    nextRole_ = kStopReturn;
                    next = Expression(0, next);
                    if (next == nullptr) return false;
                    Emit(kOpReturn, 0, next);
                }
                token = next;
                break;
            }
            case kTokenBreak:
            case kTokenContinue: {
                std::vector<uint32_t> plain;
                const Context* loop = nullptr;
                for (auto context = contexts_.rbegin(); context != contexts_.rend(); ++context) {
                    if (context->block->kind != kBlockPlain) {
                        loop = &*context;
                        break;
                    }
                    plain.push_back(context->id);
                }
                // With no loop to leave, or a Continue in a Switch, the walk fails there.
                if (loop == nullptr ||
                    (code == kTokenContinue && loop->block->kind == kBlockSwitch)) {
                    Emit(kOpWalkStatement, 0, token, Offset(Next(token)));
                    token = Next(token);
                    EndStatementAt(token);
                    break;
                }
                for (uint32_t id : plain)
                    Emit(kOpPopBlock, 0, token, id);
                if (code == kTokenBreak) {
                    Emit(kOpPopBlock, 0, token, loop->id);
                    EndAndGo(Next(At(loop->block->end)));
                } else {
                    EndAndGo(At(loop->block->end));
                }
                token = Next(token);
                break;
            }
            case kTokenSemicolon:
                token = Next(token);
                EndStatementAt(token);
                break;
            case kTokenSwitch:
                if (!CompileSwitch(token)) return false;
                break;
            case kTokenCase:
                // Met in a case's statements: stepped over up to its ";".
                while (Code(token) != kTokenSemicolon) {
                    if (Code(token) == kTokenEnd) return false;
                    token = Next(token);
                }
                token = Next(token);
                EndStatementAt(token);
                break;
            case kTokenDefault:
                token = Next(token);
                EndStatementAt(token);
                break;
            case kTokenFunction: {
                const BlockRecord* function = in_.GetBlock(BlockIndexAt(token));
                if (function == nullptr) return false;
                token = Next(At(function->end));
                EndStatementAt(token);
                break;
            }
            case kTokenDelete: {
                uint8_t* next = Expression(0, Next(token));
                if (next == nullptr) return false;
                Emit(kOpDelete, 0, next);
                EndStatementAt(next);
                token = next;
                break;
            }
            default:
                return false;
            }
            if (out_.ops.size() > (1u << 20)) return false;
        }
    }

    // The ")" that ends an If's condition from `token` on, found by counting parentheses
    // (a call opens one too); null when none stands before `limit`. A wrong guess costs
    // nothing but speed: kOpWalkIf checks where the walk's handler stopped.
    static uint8_t* ConditionEnd(uint8_t* token, const uint8_t* limit) {
        uint32_t open = 0;
        for (; token < limit; token = Next(token)) {
            uint16_t code = Code(token);
            if (code == kTokenEnd) return nullptr;
            if (code == kTokenOpenParen || code == kTokenCallName || code == kTokenMemberCall)
                ++open;
            else if (code == kTokenCloseParen && open-- == 0)
                return token;
        }
        return nullptr;
    }

    // A Switch: the block pushed, the selector kept above the base, each Case's value
    // tried in the order of the labels, then the Default or the end. Its statements are
    // compiled after it, as they stand.
    bool CompileSwitch(uint8_t*& token) {
        const auto* header = reinterpret_cast<const TargetToken*>(token);
        uint32_t index = header->blockIndex;
        const BlockRecord* block = in_.GetBlock(index);
        if (block == nullptr || block->kind != kBlockSwitch) return false;
        Emit(kOpPushBlock, 0, token, index);
        uint8_t* close = Expression(0, Next(token));
        if (close == nullptr) return false;
        Emit(kOpSwitchSelector, 0, Next(close));
        for (uint32_t offset = header->target; offset != 0;) {
            uint8_t* label = At(offset);
            offset = reinterpret_cast<const TargetToken*>(label)->target;
            if (Code(label) != kTokenCase) continue;
            uint8_t* value = Expression(1, Next(label));
            if (value == nullptr) return false;
            fixups_.emplace_back(Emit(kOpCaseTest, 0, value), Offset(Next(value)));
        }
        uint32_t id = NewContextId();
        if (block->step != 0) {
            EndAndGo(At(block->step));
        } else {
            uint8_t* after = Next(At(block->end));
            Emit(kOpPopBlock, 0, after, id);
            EndAndGo(after);
        }
        token = Next(At(block->bodyStart));
        contexts_.push_back({block, index, id});
        return true;
    }

    CInterpretor& in_;
    const BlockRecord* function_;
    CompiledFunction& out_;
    // A top level's first token (null for a body).
    uint8_t* start_ = nullptr;
    // No slots: every name goes through the scopes.
    bool scopesOnly_ = false;
    // The statement being compiled, and the steps and jumps before it.
    uint8_t* statementToken_ = nullptr;
    size_t statementMark_ = 0;
    size_t fixupMark_ = 0;
    std::vector<uint32_t> slotNames_;
    // Names read or assigned through the scopes so far.
    std::vector<uint32_t> seenNames_;
    std::vector<Context> contexts_;
    std::unordered_map<uint32_t, uint32_t> labels_;
    std::vector<std::pair<uint32_t, uint32_t>> fixups_;
    // The slot the Var being compiled declares at the top level.
    uint32_t declaring_ = kNoSlot;
    // The slots bound by a first assignment, and the two steps of the last binding.
    uint64_t boundSlots_ = 0;
    uint32_t bindOp_ = 0;
    uint32_t bindAssignOp_ = 0;
    // Each binding of a slot, with the ids of the blocks around it (outermost first).
    std::vector<std::pair<uint32_t, std::vector<uint32_t>>> bindings_;
    // The slot that the element about to be compiled binds its name to, and the first
    // step of that element.
    uint32_t elementBinding_ = kNoSlot;
    uint32_t bindingBegin_ = ~0u;
    uint32_t pendingCalls_ = 0;
    // The kOpMemberAssigned steps waiting for their "=" to be reduced.
    struct MemberTarget {
        uint32_t depth;
        uint32_t step;
        // The member is named as event properties are.
        bool event;
    };
    std::vector<MemberTarget> memberTargets_;
    // Prefix operators nested in the operand being compiled.
    uint32_t prefixes_ = 0;
    // What the ")" or "]" that ends the expression being compiled closes, innermost last.
    enum Closer : uint8_t { kParenthesis, kCallArguments, kIndexList };
    std::vector<uint8_t> closers_;
    // At each depth, the kOpElement step of the operand read there, or kNoElement.
    static constexpr uint32_t kNoElement = ~0u;
    uint32_t elementAt_[kMaxCompiledDepth + 2] = {};
    // The expressions being compiled, innermost last, with what the construct around each
    // does with its value (a MemberStopStep, 0 when the walk's steps after an operand that
    // ends it early are not written), and the prefixes met in their operands.
    struct OpenExpression {
        uint32_t base;
        const uint32_t* operators;
        const uint32_t* depth;
        uint8_t role;
        size_t prefixes;
    };
    std::vector<OpenExpression> expressions_;
    std::vector<uint8_t> prefixSteps_;
    // The role of the next expression compiled.
    uint8_t nextRole_ = 0;
    struct ExpressionOpen {
        FunctionCompiler& compiler;
        ExpressionOpen(FunctionCompiler& c, const OpenExpression& open) : compiler(c) {
            compiler.expressions_.push_back(open);
            compiler.nextRole_ = 0;
        }
        ~ExpressionOpen() { compiler.expressions_.pop_back(); }
    };

    // For each member from `link` up to a call or an element, what the walk does when the
    // operand's expression ends there: the steps back out through the expressions around
    // it, up to one that takes the value or ends the statement, or to the first the
    // compiler does not write (where the steps leave it to the statement's end).
    void MemberStops(uint8_t* link) {
        for (uint8_t* member = link;; member = Next(member)) {
            const uint16_t code = Code(member);
            if (code != kTokenMember && code != kTokenMemberCall && code != kTokenArrayMember)
                return;
            MemberStop stop{Offset(member)};
            StopSteps(member, stop);
            if (stop.count != 0) out_.memberStops.push_back(stop);
            if (code != kTokenMember) return;
        }
    }
    void StopSteps(uint8_t* at, MemberStop& stop) const {
        size_t prefixEnd = prefixSteps_.size();
        for (size_t e = expressions_.size(); e-- > 0;) {
            const OpenExpression& open = expressions_[e];
            for (size_t p = prefixEnd; p-- > open.prefixes;)
                if (!AddStopStep(stop, prefixSteps_[p])) return;
            prefixEnd = open.prefixes;
            for (uint32_t d = *open.depth - 1; d > open.base; --d)
                if (!AddStopStep(stop, uint8_t(open.operators[d]))) return;
            // The next statement, starting at the member or a ")", fails there.
            if (open.role == kStopStatement && Code(at) != kTokenMember &&
                Code(at) != kTokenMemberCall && Code(at) != kTokenCloseParen)
                return;
            if (!AddStopStep(stop, open.role)) return;
            if (open.role == kStopParenthesis) {
                at = Next(at);
                if (IsMemberLink(Code(at)) || IsOperator(Code(at))) return;
            } else if (open.role != kStopVar) {
                return;
            }
        }
    }
    static bool AddStopStep(MemberStop& stop, uint8_t step) {
        if (step == 0 || stop.count == stop.steps.size()) return false;
        stop.steps[stop.count++] = step;
        return true;
    }
};

const CompiledFunction* CInterpretor::CompiledFor(const BlockRecord* function) {
    auto [entry, added] = compiled_.try_emplace(function);
    if (added) {
        auto code = std::make_unique<CompiledFunction>();
        if (FunctionCompiler(*this, function, *code).Compile()) {
            entry->second = std::move(code);
            ++compiledCount_;
        }
    }
    return entry->second.get();
}

const CompiledFunction* CInterpretor::CompiledEntry(uint8_t* start, const BlockRecord* handler) {
    const void* key = handler != nullptr ? static_cast<const void*>(handler) : start;
    auto [entry, added] = compiledEntries_.try_emplace(key);
    if (added) {
        auto code = std::make_unique<CompiledFunction>();
        if (FunctionCompiler(*this, handler, handler != nullptr ? nullptr : start, *code)
                .Compile()) {
            entry->second = std::move(code);
            ++compiledCount_;
        }
    }
    return entry->second.get();
}

void CInterpretor::RunCompiledCall(CIBaseObjectVar* current, const BlockRecord* function,
                                   const CompiledFunction& code) {
    if (!AnswerFromFrame(code)) RunCompiledFrame(current, function, code, FrameArguments(code));
}

CValue* CInterpretor::FrameArguments(const CompiledFunction& code) {
    CValue* slots = ReserveSlots(code.slotCount);
    const CallFrame& frame = Frame();
    try {
        for (uint32_t n = 0; n < code.parameterCount; ++n) {
            if (int32_t(n) < frame.count)
                slots[n].Assign(frame.slots[n]);
            else
                slots[n].SetDefault();
        }
    } catch (CIError*) {
        ReleaseSlots(slots);
        throw;
    }
    return slots;
}

bool CInterpretor::AnswerFromReturn(const CompiledFunction& callee, CValue* target,
                                    uint32_t count) {
    int32_t result;
    if (!QuickReturn(callee, target, int32_t(count), result)) return false;
    ReleaseTopSlots(target, callee.slotCount);
    Operand()->SetInt(result);
    return true;
}

void CInterpretor::PushSlot(CValue* value) {
    StackSlot* place = slots_[depth_];
    CValue* slot = Operand();
    if (value->GetType() <= kValueDouble) {
        slot->Assign(*value);
        place->source = value;
    } else if (!PushWholeObject(value)) {
        PushVariable(value);
    }
}

bool CInterpretor::EndStatementQuietly(uint32_t poolMark) {
    if (pendingEvent_ != 0 || pendingEndCode >= 0 ||
        StopRequestFlag().load(std::memory_order_relaxed) != 0)
        return false;
    TakeBackStatementCount();
    if (statementCounter_ > 0) {
        --statementCounter_;
        return true;
    }
    // Most checks find no text asked for and no element box made since the last, and
    // nothing timed due.
    if (temporaryTextCount_ > poolMark || elementBoxNoteCount_ != 0 || boxesSinceSettling_ != 0 ||
        (eventsEnabled != 0 && !HousekeepingIdle()))
        return false;
    statementCounter_ = statementsPerCheck;
    return true;
}

void CInterpretor::EndCompiledStatement(uint32_t poolMark) {
    if (!EndStatementQuietly(poolMark)) EndStatementFully(poolMark);
}

void CInterpretor::EndStatementFully(uint32_t poolMark) {
    if (pendingEvent_ != 0 && eventsEnabled != 0 && handlerDepth_ == 0) DispatchEvent();
    if (CountStatementEnd()) {
        if (temporaryTextCount_ > poolMark || elementBoxNoteCount_ != 0 || boxesSinceSettling_ != 0)
            FlushTemporaryTextsFrom(poolMark);
        if (eventsEnabled != 0) Housekeeping();
    }
    if (StopRequestFlag().load(std::memory_order_relaxed) != 0) [[unlikely]]
        pendingEndCode = 0;
    if (pendingEndCode >= 0) [[unlikely]] {
        int32_t endCode = pendingEndCode;
        pendingEndCode = -1;
        RaiseError(endCode);
    }
}

inline bool CInterpretor::RunNumberCodeUnlessGivenUp(const CompiledFunction& code,
                                                     const CompiledOp* op, const CompiledOp* end,
                                                     CValue* slots, uint64_t bound) {
    uint8_t& giveUps = code.giveUps[op->depth];
    if (giveUps < CompiledFunction::kGiveUpStreak) [[likely]] {
        if (RunNumberCode(code, op, end, slots, bound)) {
            giveUps = 0;
            return true;
        }
        ++giveUps;
        return false;
    }
    // A streak of give-ups: the next runs go straight to the steps, then one tries again.
    if (++giveUps == CompiledFunction::kGiveUpStreak + CompiledFunction::kRunsAfterGiveUps)
        giveUps = CompiledFunction::kGiveUpStreak - 1;
    return false;
}

void CInterpretor::RunCompiled(const CompiledFunction& entry, CValue* slots) {
    const HandlerTables& tables = handlerTables_;
    // The code running, and where its values stand: the entry's, or those of a call that
    // this dispatch runs in its caller's place (kOpCallDirect), whose caller's are kept in
    // the callee's record until it returns.
    const CompiledFunction* code = &entry;
    uint32_t base = depth_;
    if (base + code->maxDepth + 2 >= stackCapacity_) GrowValueStack(base + code->maxDepth + 2);
    uint32_t poolMark = temporaryTextCount_;
    const std::atomic<uint32_t>& stopRequest = StopRequestFlag();
    // This code's pending calls, on the interpreter's stack of them: taken at the first call
    // that runs its full steps, since most bodies make every call directly or none. Until
    // then the next frame stays where it is (the calls made in between put it back), and
    // it goes back there as this code ends; the arguments of methods and New read the
    // frame's last entry, null in every frame, from a frame that is never written.
    static PendingCall noPendingCalls[kPendingFrameSize];
    PendingCall* pending = noPendingCalls;
    struct PendingScope {
        PendingCall*& next;
        PendingCall* const frame;
        ~PendingScope() { next = frame; }
    } pendingScope{pendingNext_, pendingNext_};
#define ZORV_PENDING(index) pending[index]
    const CompiledOp* ops = code->ops.data();
    const CompiledOp* op = ops;
    // The slots this call bound to names (kOpBindName).
    uint64_t bound = 0;
    // Most statements end with nothing to do but count them. Inlined whatever the size of
    // this function, since a call costs as much as the test.
    auto quiet = [&]() __attribute__((always_inline)) {
        return statementCounter_ > 0 && stopRequest.load(std::memory_order_relaxed) == 0;
    };
    // Operand() at a place of the value stack. Written without captures, as the
    // frame of a deep recursion of compiled calls holds every closure.
    auto cleared = [](StackSlot* slot) -> CValue& {
        slot->source = nullptr;
        slot->anchorKind = kValueInt;
        return slot->value;
    };
    // A number read from a slot at a place of the value stack, as kOpSlot leaves it.
    auto readNumber = [](StackSlot* place, CValue* value) {
        place->anchorKind = kValueInt;
        AssignNumber(place->value, *value);
        place->source = value;
    };
    // Each step ends by going to the next one's code itself, which the processor
    // predicts better than one shared jump.
    static const void* const kSteps[] = {&&DoOperand,
                                         &&DoName,
                                         &&DoInt,
                                         &&DoDouble,
                                         &&DoEmpty,
                                         &&DoCountingRound,
                                         &&DoSlot,
                                         &&DoUnbound,
                                         &&DoBindName,
                                         &&DoAssignBound,
                                         &&DoBoundSlot,
                                         &&DoDeclare,
                                         &&DoClear,
                                         &&DoBinary,
                                         &&DoBinarySlot,
                                         &&DoBinaryBoundSlot,
                                         &&DoBinaryInt,
                                         &&DoBinaryName,
                                         &&DoSlotSlot,
                                         &&DoSlotInt,
                                         &&DoAssignDeclared,
                                         &&DoQuestion,
                                         &&DoChoose,
                                         &&DoSwap,
                                         &&DoNegate,
                                         &&DoNot,
                                         &&DoComplement,
                                         &&DoPrefixStep,
                                         &&DoCallBegin,
                                         &&DoArgumentsBegin,
                                         &&DoArgument,
                                         &&DoArgumentSlot,
                                         &&DoArgumentInt,
                                         &&DoArgumentsEnd,
                                         &&DoCallEnd,
                                         &&DoEndStatement,
                                         &&DoEndAndJump,
                                         &&DoJump,
                                         &&DoBranchTrue,
                                         &&DoPushBlock,
                                         &&DoPopBlock,
                                         &&DoReturn,
                                         &&DoReturnZero,
                                         &&DoBinaryDouble,
                                         &&DoSlotDouble,
                                         &&DoNumberCode,
                                         &&DoSwitchSelector,
                                         &&DoCaseTest,
                                         &&DoWalkStatement,
                                         &&DoWalkOn,
                                         &&DoWalkIf,
                                         &&DoWalkOperand,
                                         &&DoSlotMembers,
                                         &&DoMemberAssigned,
                                         &&DoChainHead,
                                         &&DoChainMember,
                                         &&DoMethodBegin,
                                         &&DoMethodEnd,
                                         &&DoNewBegin,
                                         &&DoNewEnd,
                                         &&DoDelete,
                                         &&DoElementSlot,
                                         &&DoElementBoundSlot,
                                         &&DoElementName,
                                         &&DoElementIndex,
                                         &&DoElement,
                                         &&DoElementAssign,
                                         &&DoNewArray,
                                         &&DoNewArrayEnd,
                                         &&DoElementRead,
                                         &&DoElementMembers,
                                         &&DoValueMembers,
                                         &&DoElementChainHead,
                                         &&DoValueChainHead,
                                         &&DoMemberElementBegin,
                                         &&DoMemberElement,
                                         &&DoElementStore,
                                         &&DoSlotStatement,
                                         &&DoSlotBranch,
                                         &&DoLoopRound,
                                         &&DoNumberCode,
                                         &&DoCallOpen,
                                         &&DoCallClose,
                                         &&DoCallBare,
                                         &&DoArgumentSlotInt,
                                         &&DoCallDirect,
                                         &&DoDeclareNumber,
                                         &&DoDeclareFree,
                                         &&DoDeclareNumbers,
                                         &&DoStepName,
                                         &&DoReturnSlot,
                                         &&DoMemberRow,
                                         &&DoReturnSlotInt};
    static_assert(std::size(kSteps) == kOpReturnSlotInt + 1);
// The current token and depth are written only by the steps that may raise an error or
// reach code that reads them (the walk's handlers, calls, the statement's end); the
// quick paths of the commonest steps work on their own place of the value stack.
#define ZORV_SYNC()                                                                                \
    do {                                                                                           \
        currentToken = op->token;                                                                  \
        depth_ = base + op->depth;                                                                 \
    } while (false)
#define ZORV_NEXT_STEP()                                                                           \
    do {                                                                                           \
        ++op;                                                                                      \
        goto* kSteps[op->op];                                                                      \
    } while (false)
// Of a statement whose step left an integer in `place`, above its base: on past the
// statement's end `at` when it has nothing to do but count (a For loop's step ends at its test
// instead).
#define ZORV_INTEGER_STATEMENT_DONE(place, at)                                                     \
    do {                                                                                           \
        (place)->source = nullptr;                                                                 \
        (place)->anchorKind = kValueInt;                                                           \
        const CompiledOp* end = (at);                                                              \
        if ((end->op == kOpEndStatement || end->op == kOpEndAndJump) && quiet()) {                 \
            --statementCounter_;                                                                   \
            op = end->op == kOpEndAndJump ? ops + end->index - 1 : end;                            \
        } else {                                                                                   \
            op = end - 1;                                                                          \
        }                                                                                          \
        ZORV_NEXT_STEP();                                                                          \
    } while (false)
    // The innermost call this dispatch runs in its caller's place (kOpCallDirect), and
    // whether it just returned by an exception (ReturnedBeforeMember).
    CallRecord* inlineCall = nullptr;
    bool returnedInline = false;
    // The record of a call whose frame a step just entered, for this dispatch to run it.
    CallRecord* entering = nullptr;
    for (;;) {
        try {
            if (returnedInline) {
                returnedInline = false;
                goto ReturnInline;
            }
            goto* kSteps[op->op];
DoOperand:
    ZORV_SYNC();
    if (op->count != 0 && op->code == kTokenString) {
        // The literal's text as OperandString leaves it, borrowed from the block the code
        // holds, which whatever keeps the text shares.
        SkipToken();
        Operand()->SetBorrowedBlock(code->texts[op->count]);
        ZORV_NEXT_STEP();
    }
    tables.operand[op->code](*this);
    ZORV_NEXT_STEP();
DoName : {
    ZORV_SYNC();
    // A number read as it is, as EvalIdentifier reads it; anything else through it.
    CVariable* variable = LookUp(reinterpret_cast<NameToken*>(op->token));
    if (variable != nullptr && variable->value.GetType() <= kValueDouble) {
        StackSlot* place = slots_[depth_];
        CValue* slot = Operand();
        slot->Assign(variable->value);
        place->source = &variable->value;
        ZORV_NEXT_STEP();
    }
    tables.operand[kTokenName](*this);
    ZORV_NEXT_STEP();
}
DoInt:
    cleared(slots_[base + op->depth]).SetInt(int32_t(op->index));
    ZORV_NEXT_STEP();
DoDouble:
    cleared(slots_[base + op->depth])
        .SetFloat(reinterpret_cast<const DoubleToken*>(op->token)->value);
    ZORV_NEXT_STEP();
DoEmpty:
    cleared(slots_[base + op->depth]).SetDefault();
    ZORV_NEXT_STEP();
DoCountingRound : {
    const CountingRound& round = code->rounds[op->index];
    if (!IsBoundOrPlain(bound, *code, round.counter)) ZORV_NEXT_STEP();
    CValue* counter = &slots[round.counter];
    if (counter->GetType() != kValueInt) ZORV_NEXT_STEP();
    const CValue* limitValue = nullptr;
    if (round.limitSlot != CountingRound::kNoLimitSlot) {
        if (!IsBoundOrPlain(bound, *code, round.limitSlot)) ZORV_NEXT_STEP();
        limitValue = &slots[round.limitSlot];
        if (limitValue->GetType() != kValueInt) ZORV_NEXT_STEP();
    }
    const int32_t b = limitValue != nullptr ? limitValue->IntPayload() : round.limit;
    const CompiledOp& end = ops[round.holds];
    // An empty body: its round ends where the next round begins, so while those ends
    // have nothing to do but count, the rounds follow one another here.
    const bool empty = end.op == kOpEndAndJump && ops + end.index == op;
    int32_t a = counter->IntPayload();
    bool holds;
    if (empty && pendingEvent_ == 0 && pendingEndCode < 0) {
        // No event and no end can come from an empty round: only the count and a stop
        // asked for by another thread are looked at between rounds, the count held here.
        int32_t count = statementCounter_;
        for (;;) {
            a = int32_t(uint32_t(a) + uint32_t(round.step));
            holds = CompareIntegers(round.compare, a, b);
            if (!holds || count <= 0 || stopRequest.load(std::memory_order_relaxed) != 0) break;
            --count;
        }
        statementCounter_ = count;
    } else {
        a = int32_t(uint32_t(a) + uint32_t(round.step));
        holds = CompareIntegers(round.compare, a, b);
    }
    counter->SetInt(a);
    // The value stack as the step and the test leave it.
    StackSlot* place = slots_[base + 1];
    place->value.SetInt(holds);
    place->source = nullptr;
    place->anchorKind = kValueInt;
    place = slots_[base + 2];
    place->value.SetInt(b);
    place->source = nullptr;
    place->anchorKind = kValueInt;
    if (!holds) {
        op = ops + round.ends - 1;
        ZORV_NEXT_STEP();
    }
    // On into the body when the round's end has nothing to do but count it.
    if (end.op == kOpEndAndJump && quiet()) {
        --statementCounter_;
        op = ops + end.index - 1;
        ZORV_NEXT_STEP();
    }
    op = ops + round.holds - 1;
    ZORV_NEXT_STEP();
}
DoSlot : {
    CValue* value = &slots[op->index];
    if (value->StoredType() <= kValueDouble) {
        readNumber(slots_[base + op->depth], value);
        ZORV_NEXT_STEP();
    }
    ZORV_SYNC();
    PushSlot(value);
    ZORV_NEXT_STEP();
}
DoUnbound:
    ZORV_SYNC();
    Operand()->SetUnboundName(reinterpret_cast<uintptr_t>(op->token));
    ZORV_NEXT_STEP();
DoBindName : {
    // Missed at this state of the scopes already (a recursion's levels, a loop's rounds), the
    // name becomes the slot as below, the steps that follow standing where they need to.
    // Bound already (a loop's next round), the local is found before any other scope, and
    // its assignment replaces the value unread: the placeholder stands in for it, which
    // spares anchoring an object or copying a text only to drop it.
    if (((bound >> op->index) & 1) != 0 ||
        (op->code == 0 && code->bindEpochs[op->index] == ScopeEpoch())) {
        cleared(slots_[base + op->depth]).SetUnboundName(reinterpret_cast<uintptr_t>(op->token));
        bound |= uint64_t(1) << op->index;
        ZORV_NEXT_STEP();
    }
    ZORV_SYNC();
    if (op->code != 0) declaredName_ = op->token;
    // A name no scope has, which is what a call mostly meets, becomes the slot here, as
    // the walk's handler would leave it; one some scope has goes through the handler.
    // While the scopes are as they were when the name was last missed (a recursion's
    // levels, a loop's rounds), it is missed again without a lookup.
    if ((op->code == 0 && code->bindEpochs[op->index] == ScopeEpoch()) ||
        LookUp(reinterpret_cast<NameToken*>(op->token)) == nullptr) {
        if (op->code == 0) code->bindEpochs[op->index] = ScopeEpoch();
        cleared(slots_[depth_]).SetUnboundName(reinterpret_cast<uintptr_t>(op->token));
        currentToken = TokenAfter(op->token);
        bound |= uint64_t(1) << op->index;
        ZORV_NEXT_STEP();
    }
    tables.operand[kTokenName](*this);
    if (Left()->GetType() == kValueUnboundName) bound |= uint64_t(1) << op->index;
    ZORV_NEXT_STEP();
}
DoAssignBound:
    // A number (a call's result, mostly) into the slot bound, as below, and on past the
    // statement's end when it has nothing to do but count.
    if (const CValue& right = slots_[base + op->depth + 1]->value;
        ((bound >> op->index) & 1) != 0 && right.StoredType() <= kValueDouble) {
        AssignNumber(slots[op->index], right);
        SwapSlots(base + op->depth, base + op->depth + 1);
        if (op[1].op == kOpEndStatement && quiet()) {
            --statementCounter_;
            ++op;
        }
        ZORV_NEXT_STEP();
    }
    ZORV_SYNC();
    if (((bound >> op->index) & 1) != 0) {
        const CValue* right = Right();
        // A number (a call's result, mostly) is copied in place, without the call of Assign.
        if (right->StoredType() <= kValueDouble) {
            AssignNumber(slots[op->index], *right);
        } else {
            if (IsPlaceholder(right->GetType())) RaiseError(41);
            slots[op->index].Assign(*right);
        }
        SwapSlots(depth_, depth_ + 1);
    } else {
        operators_[depth_] = kTokenAssign;
        tables.binary[kTokenAssign](*this);
    }
    ZORV_NEXT_STEP();
DoBoundSlot : {
    ZORV_SYNC();
    if (((bound >> op->index) & 1) == 0) {
        tables.operand[kTokenName](*this);
        ZORV_NEXT_STEP();
    }
    currentToken = op->token + reinterpret_cast<const TokenHeader*>(op->token)->size;
    // A number read as kOpSlot reads it (an argument, mostly); the rest as PushSlot does.
    if (CValue* value = &slots[op->index]; value->StoredType() <= kValueDouble) {
        StackSlot* place = slots_[depth_];
        cleared(place).Assign(*value);
        place->source = value;
        ZORV_NEXT_STEP();
    }
    PushSlot(&slots[op->index]);
    ZORV_NEXT_STEP();
}
DoDeclare:
    ZORV_SYNC();
    declaredName_ = op->token;
    Operand();
    ZORV_NEXT_STEP();
DoClear:
    cleared(slots_[base + op->depth]);
    ZORV_NEXT_STEP();
DoBinarySlot : {
    StackSlot* leftSlot = slots_[base + op->depth];
    CValue* left = &leftSlot->value;
    const CValue* right = &slots[op->index];
    if (left->IsIntPair(*right) && IntegerOperation(op->code, *left, leftSlot->source, *right))
        ZORV_NEXT_STEP();
    if (left->StoredType() == kValueDouble && right->StoredType() == kValueDouble &&
        DoubleOperation(op->code, *left, leftSlot->source, *right))
        ZORV_NEXT_STEP();
    ZORV_SYNC();
    // Else as the read and the operator would go, one after the other.
    depth_ = base + op->depth + 1;
    PushSlot(&slots[op->index]);
    depth_ = base + op->depth;
    goto DoBinary;
}
DoBinaryBoundSlot : {
    ZORV_SYNC();
    if (((bound >> op->index) & 1) != 0) goto DoBinarySlot;
    depth_ = base + op->depth + 1;
    currentToken = GetStream() + op->count;
    tables.operand[kTokenName](*this);
    depth_ = base + op->depth;
    currentToken = op->token;
    goto DoBinary;
}
DoBinaryInt : {
    StackSlot* leftSlot = slots_[base + op->depth];
    CValue* left = &leftSlot->value;
    if (left->GetType() == kValueInt &&
        IntegerOperation(op->code, *left, leftSlot->source, int32_t(op->index)))
        ZORV_NEXT_STEP();
    ZORV_SYNC();
    depth_ = base + op->depth + 1;
    Operand()->SetInt(int32_t(op->index));
    depth_ = base + op->depth;
    goto DoBinary;
}
DoBinaryDouble : {
    StackSlot* leftSlot = slots_[base + op->depth];
    CValue* left = &leftSlot->value;
    const double right = code->doubles[op->index];
    if (left->GetType() == kValueDouble &&
        DoubleOperation(op->code, *left, leftSlot->source, right))
        ZORV_NEXT_STEP();
    ZORV_SYNC();
    depth_ = base + op->depth + 1;
    Operand()->SetFloat(right);
    depth_ = base + op->depth;
    goto DoBinary;
}
DoSlotDouble : {
    const CValue& left = slots[op->count];
    double result;
    if (left.GetType() == kValueDouble &&
        DoubleResult(op->code, left.DoublePayload(), code->doubles[op->index], result)) {
        cleared(slots_[base + op->depth]).SetFloat(result);
        ZORV_NEXT_STEP();
    }
    ZORV_SYNC();
    currentToken = GetStream() + op->site;
    PushSlot(&slots[op->count]);
    currentToken = op->token;
    goto DoBinaryDouble;
}
DoBinaryName : {
    ZORV_SYNC();
    currentToken = GetStream() + op->count;
    CVariable* variable = LookUp(reinterpret_cast<NameToken*>(currentToken));
    if (variable != nullptr) {
        CValue* left = Left();
        const CValue& right = variable->value;
        if (left->IsIntPair(right) && IntegerOperation(op->code, *left, LeftSource(), right))
            ZORV_NEXT_STEP();
        if (left->GetType() == kValueDouble && right.GetType() == kValueDouble &&
            DoubleOperation(op->code, *left, LeftSource(), right))
            ZORV_NEXT_STEP();
    }
    // Else as kOpName and the operator would go, one after the other.
    depth_ = base + op->depth + 1;
    if (variable != nullptr && variable->value.GetType() <= kValueDouble) {
        StackSlot* place = slots_[depth_];
        CValue* slot = Operand();
        slot->Assign(variable->value);
        place->source = &variable->value;
    } else {
        tables.operand[kTokenName](*this);
    }
    depth_ = base + op->depth;
    currentToken = op->token;
    goto DoBinary;
}
DoSlotSlot : {
    const CValue& left = slots[op->count];
    const CValue& right = slots[op->index];
    int32_t result;
    if (left.IsIntPair(right) && IntegerResult(op->code, uint32_t(left.IntPayload()),
                                               uint32_t(right.IntPayload()), result)) {
        cleared(slots_[base + op->depth]).SetInt(result);
        ZORV_NEXT_STEP();
    }
    ZORV_SYNC();
    currentToken = GetStream() + op->site;
    PushSlot(&slots[op->count]);
    currentToken = op->token;
    goto DoBinarySlot;
}
DoSlotInt : {
    const CValue& left = slots[op->count];
    int32_t result;
    if (left.GetType() == kValueInt &&
        IntegerResult(op->code, uint32_t(left.IntPayload()), op->index, result)) {
        cleared(slots_[base + op->depth]).SetInt(result);
        ZORV_NEXT_STEP();
    }
    ZORV_SYNC();
    currentToken = GetStream() + op->site;
    PushSlot(&slots[op->count]);
    currentToken = op->token;
    goto DoBinaryInt;
}
DoBinary : {
    // Comparisons of two integers, the commonest conditions, as BinaryCompare
    // makes them.
    StackSlot* leftSlot = slots_[base + op->depth];
    CValue* left = &leftSlot->value;
    const CValue* right = &slots_[base + op->depth + 1]->value;
    if (left->IsIntPair(*right) && IntegerOperation(op->code, *left, leftSlot->source, *right))
        ZORV_NEXT_STEP();
    if (left->StoredType() == kValueDouble && right->StoredType() == kValueDouble &&
        DoubleOperation(op->code, *left, leftSlot->source, *right))
        ZORV_NEXT_STEP();
    if (op->code == kTokenAssign && left->GetType() <= kValueDouble &&
        leftSlot->source != nullptr &&
        (leftSlot->anchorKind != kValueObject || leftSlot->anchor.GetType() == kValueObject)) {
        // A number read from a variable (of an object still there), assigned as
        // BinaryAssign does; a number assigned fails on nothing.
        if (right->GetType() <= kValueDouble) {
            AssignNumber(*leftSlot->source, *right);
        } else {
            ZORV_SYNC();
            leftSlot->source->Assign(*right);
        }
        SwapSlots(base + op->depth, base + op->depth + 1);
        ZORV_NEXT_STEP();
    }
    ZORV_SYNC();
    operators_[depth_] = op->code;
    tables.binary[op->code](*this);
    ZORV_NEXT_STEP();
}
DoAssignDeclared : {
    ZORV_SYNC();
    const CValue* right = Right();
    if (IsPlaceholder(right->GetType())) RaiseError(41);
    slots[op->index].Assign(*right);
    SwapSlots(depth_, depth_ + 1);
    ZORV_NEXT_STEP();
}
DoQuestion:
    ZORV_SYNC();
    // The value before ":" is kept as a copy, which a placeholder cannot give.
    if (IsPlaceholder(Right()->GetType())) RaiseError(41);
    ZORV_NEXT_STEP();
DoChoose : {
    ZORV_SYNC();
    CValue* result = Left();
    if (result->GetInt() != 0)
        result->Assign(slots_[depth_ + 1]->value);
    else
        result->Assign(slots_[depth_ + 2]->value);
    LeftSource() = nullptr;
    ZORV_NEXT_STEP();
}
DoSwap:
    SwapSlots(base + op->depth, base + op->depth + 1);
    ZORV_NEXT_STEP();
DoNegate:
    ZORV_SYNC();
    Left()->Negate();
    LeftSource() = nullptr;
    ZORV_NEXT_STEP();
DoNot:
    ZORV_SYNC();
    Left()->Not();
    LeftSource() = nullptr;
    ZORV_NEXT_STEP();
DoComplement:
    ZORV_SYNC();
    Left()->Complement();
    LeftSource() = nullptr;
    ZORV_NEXT_STEP();
DoPrefixStep : {
    ZORV_SYNC();
    CValue* source = AnchoredSource();
    if (source == nullptr) RaiseError(41);
    if (op->code == kTokenIncrement)
        source->Increment();
    else
        source->Decrement();
    Left()->Assign(*source);
    ZORV_NEXT_STEP();
}
DoCallBegin:
DoCallOpen:
DoCallBare : {
    ZORV_SYNC();
    CompiledCallSite& site = code->sites[op->site];
    // The variable is read on every call, so a new function given to it is seen.
    CVariable* variable =
        site.currentStamp == currentObject_->GetStamp() && site.globalsStamp == GetStamp()
            ? site.variable
            : LookUpCallSite(site, reinterpret_cast<NameToken*>(op->token));
    if (variable == nullptr) RaiseError(42);
    if (variable->value.GetType() != kValueFunction) RaiseError(128);
    Operand();
    const BlockRecord* function = variable->value.GetFunction();
    if (pending == noPendingCalls) pending = TakePendingFrame();
    ZORV_PENDING(op->index).function = function;
    // A function the site called last, compiled, takes its arguments in its own slots.
    ZORV_PENDING(op->index).target = site.function == function && site.code != nullptr &&
                                             !site.code->returnsOnly &&
                                             op->count <= site.code->parameterCount
                                         ? ReserveSlots(site.code->slotCount)
                                         : nullptr;
    if (op->op == kOpCallOpen) goto ArgumentsBegin;
    if (op->op == kOpCallBare) goto CallEnd;
    ZORV_NEXT_STEP();
}
DoArgumentsBegin:
ArgumentsBegin:
    // Calls inside the arguments use the next frame.
    if (frameIndex_ + 1 >= frameCount_) {
        ZORV_SYNC();
        if (op->op == kOpCallOpen) currentToken = TokenAfter(op->token);
        EnsureFrame(frameIndex_ + 1);
    }
    ++frameIndex_;
    ZORV_NEXT_STEP();
DoArgument : {
    const CValue& value = slots_[base + op->depth + 1]->value;
    CValue* target = ZORV_PENDING(op->site).target;
    CValue& argument = (target != nullptr ? target : frames_[frameIndex_ - 1]->slots)[op->index];
    if (value.GetType() <= kValueDouble) {
        AssignNumber(argument, value);
        ZORV_NEXT_STEP();
    }
    // A placeholder fails where the walk stands after the argument.
    if (IsPlaceholder(value.GetType())) ZORV_SYNC();
    argument.Assign(value);
    ZORV_NEXT_STEP();
}
DoArgumentSlot : {
    CValue* value = &slots[op->count];
    if (value->GetType() <= kValueDouble) {
        CValue* target = ZORV_PENDING(op->site).target;
        AssignNumber((target != nullptr ? target : frames_[frameIndex_ - 1]->slots)[op->index],
                     *value);
        ZORV_NEXT_STEP();
    }
    ZORV_SYNC();
    depth_ = base + op->depth + 1;
    PushSlot(value);
    depth_ = base + op->depth;
    goto DoArgument;
}
DoArgumentInt : {
    CValue* target = ZORV_PENDING(op->site).target;
    CValue& argument = (target != nullptr ? target : frames_[frameIndex_ - 1]->slots)[op->index];
    argument.SetInt(int32_t(op->count));
    ZORV_NEXT_STEP();
}
DoArgumentSlotInt : {
    // The kOpSlotInt's value, which its kOpArgument would take from the value stack.
    CValue* target = ZORV_PENDING(op->site).target;
    if (SlotIntArgument(op[1], slots,
                        (target != nullptr ? target : frames_[frameIndex_ - 1]->slots)[op->index]))
        op += 2;
    ZORV_NEXT_STEP();
}
DoCallDirect : {
    ZORV_SYNC();
    // The callee's steps run here, its caller's place kept in its record, so that a
    // recursion's levels take no frame of the machine each.
    bool made;
    entering = BeginDirectCall(*code, *op, slots, bound, made);
    if (entering == nullptr) {
        if (made) op = ops + op->index - 1;
        ZORV_NEXT_STEP();
    }
    op = ops + op->index - 1;
}
EnterInline : {
    // The callee's steps run here, on from its first, and the caller's go on after `op` as
    // it returns.
    CallRecord* record = entering;
    record->callerCode = code;
    record->callerResume = op;
    record->callerSlots = slots;
    record->callerBound = bound;
    record->callerBase = base;
    record->callerPoolMark = poolMark;
    record->callerPending = pending;
    record->calleePending = pendingNext_;
    record->callerRecord = inlineCall;
    inlineCall = record;
    // As RunCompiled begins.
    code = record->calleeCode;
    slots = record->calleeSlots;
    ops = code->ops.data();
    op = ops;
    bound = 0;
    base = depth_;
    poolMark = temporaryTextCount_;
    pending = noPendingCalls;
    if (base + code->maxDepth + 2 >= stackCapacity_) GrowValueStack(base + code->maxDepth + 2);
    goto* kSteps[op->op];
}
DoDeclareNumber : {
    // The walk's Var names its variable before it works the value out.
    declaredName_ = op[1].token;
    depth_ = base;
    const CompiledOp* end = ops + op->index;
    if ((end != op + 6 || !DeclareIntegerPair(*op, slots)) &&
        !RunNumberCode(*code, op, end, slots, bound))
        ZORV_NEXT_STEP();
    if (quiet()) {
        --statementCounter_;
        op = end->op == kOpEndAndJump ? ops + end->index - 1 : end;
    } else {
        op = end - 1;
    }
    ZORV_NEXT_STEP();
}
DoDeclareNumbers:
    // The row counts its ends and makes the checks they come to itself.
    if (stopRequest.load(std::memory_order_relaxed) == 0) {
        depth_ = base;
        op = RunDeclarations(*code, op, slots, bound, poolMark);
    }
    ZORV_NEXT_STEP();
DoDeclareFree : {
    // A run of them, each as the walk makes it, when none of their ends has work to do.
    if (op->count > 1 && quiet() && uint32_t(statementCounter_) >= op->count) {
        statementCounter_ -= int32_t(op->count);
        // Of the walk's placeholders only the last two stay: the two places take them as
        // its swaps leave them, letting go of what they held in its order.
        const bool odd = (op->count & 1) != 0;
        op += 2 * (op->count - 1);
        const auto last = reinterpret_cast<uintptr_t>(op->token);
        const auto before = reinterpret_cast<uintptr_t>(op[-2].token);
        StackSlot* first = slots_[base + 1];
        StackSlot* second = slots_[base + 2];
        cleared(first);
        cleared(second).SetUnboundName(odd ? last : before);
        first->value.SetUnboundName(odd ? before : last);
        slots_[base + 1] = odd ? second : first;
        slots_[base + 2] = odd ? first : second;
        declaredName_ = op->token;
        currentToken = op->token;
        depth_ = base + 2;
        ++op;
        ZORV_NEXT_STEP();
    }
    // As kOpDeclare, kOpUnbound and kOpSwap leave it: the placeholder is the statement's value.
    declaredName_ = op->token;
    currentToken = op->token;
    depth_ = base + 2;
    cleared(slots_[base + 1]);
    cleared(slots_[base + 2]).SetUnboundName(reinterpret_cast<uintptr_t>(op->token));
    SwapSlots(base + 1, base + 2);
    if (op[1].op == kOpEndStatement && quiet()) {
        --statementCounter_;
        ++op;
    }
    ZORV_NEXT_STEP();
}
DoArgumentsEnd:
    --frameIndex_;
    ZORV_NEXT_STEP();
DoCallClose:
    --frameIndex_;
DoCallEnd:
CallEnd : {
    ZORV_SYNC();
    if (op->op == kOpCallBare) currentToken = TokenAfter(TokenAfter(op->token));
    Frame().count = int32_t(op->count);
    if (slots_[depth_]->anchorKind == kValueObject &&
        slots_[depth_]->anchor.GetType() != kValueObject)
        RaiseError(32);
    const BlockRecord* function = ZORV_PENDING(op->index).function;
    if (function == nullptr || function->kind != kBlockFunction) RaiseError(40);
    // The stack's budget is checked as the callee's frame is entered, or not at all for
    // a body answered from its Return, which goes no deeper.
    if (callNesting_ >= kMaxCallNesting) RaiseError(15);
    CompiledCallSite& site = code->sites[op->site];
    if (site.function != function) {
        site.function = function;
        site.code = CompiledFor(function);
    }
    if (CValue* target = ZORV_PENDING(op->index).target) {
        // The arguments are in the callee's slots; the parameters left out take the
        // default value.
        for (uint32_t n = op->count; n < site.code->parameterCount; ++n)
            target[n].SetDefault();
        // The callee's steps run in this dispatch, as a direct call's.
        entering = EnterInlineFrame(currentObject_, function, *site.code, target);
        goto EnterInline;
    }
    if (site.code == nullptr) {
        InvokeFunction(nullptr, currentObject_, function);
        ZORV_NEXT_STEP();
    }
    if (AnswerFromFrame(*site.code)) ZORV_NEXT_STEP();
    entering =
        EnterInlineFrame(currentObject_, function, *site.code, FrameArguments(*site.code));
    goto EnterInline;
}
DoEndStatement:
    if (quiet()) {
        --statementCounter_;
        ZORV_NEXT_STEP();
    }
    ZORV_SYNC();
    EndCompiledStatement(poolMark);
    ZORV_NEXT_STEP();
DoEndAndJump:
    if (quiet()) {
        --statementCounter_;
    } else {
        ZORV_SYNC();
        EndCompiledStatement(poolMark);
    }
    op = ops + op->index - 1;
    ZORV_NEXT_STEP();
DoJump:
    op = ops + op->index - 1;
    ZORV_NEXT_STEP();
DoBranchTrue : {
    const CValue& condition = slots_[base + 1]->value;
    if (condition.GetType() == kValueInt) {
        if (condition.IntPayload() != 0) op = ops + op->index - 1;
        ZORV_NEXT_STEP();
    }
    // Any other value is read as the walk reads it, which may fail at the token.
    ZORV_SYNC();
    if (condition.GetInt() != 0) op = ops + op->index - 1;
    ZORV_NEXT_STEP();
}
DoPushBlock:
    ZORV_SYNC();
    PushBlock(GetBlock(op->index));
    ZORV_NEXT_STEP();
DoPopBlock:
    ZORV_SYNC();
    if (uint64_t dropped = code->blockSlots[op->index] & bound; dropped != 0) {
        // The locals made in the block go with it, as the walk drops them.
        bound &= ~dropped;
        for (; dropped != 0; dropped &= dropped - 1)
            slots[std::countr_zero(dropped)].SetInt(0);
    }
    PopBlock();
    ZORV_NEXT_STEP();
DoReturn : {
    ZORV_SYNC();
    const CValue& result = slots_[base + 1]->value;
    if (returnValue_ != nullptr) {
        if (result.GetType() <= kValueDouble)
            AssignNumber(*returnValue_, result);
        else
            returnValue_->Assign(result);
    }
    depth_ = base;
    goto Finish;
}
DoReturnSlot : {
    CValue* value = &slots[op->index];
    if (value->StoredType() > kValueDouble) goto DoSlot;
    ++op;
    ZORV_SYNC();
    // The value goes straight where the Return gives it: nothing reads the place above the
    // base, where kOpSlot would have left it, once the body is over.
    if (returnValue_ != nullptr) AssignNumber(*returnValue_, *value);
    depth_ = base;
    goto Finish;
}
DoReturnSlotInt : {
    const CValue& left = slots[op->count];
    int32_t result;
    if (left.StoredType() != kValueInt ||
        !IntegerResult(op->code, uint32_t(left.IntPayload()), op->index, result))
        goto DoSlotInt;
    ++op;
    ZORV_SYNC();
    if (returnValue_ != nullptr) returnValue_->SetInt(result);
    depth_ = base;
    goto Finish;
}
DoReturnZero:
    ZORV_SYNC();
    if (returnValue_ != nullptr) returnValue_->SetInt(0);
    depth_ = base;
    goto Finish;
DoMemberRow:
    // A member new to This, whose program would give up, goes straight to its own step.
    if (IsThisMemberFromSlot(op + 1) &&
        AddThisMember(op[1], slots[op[3].index], slots_[base + op[1].depth])) {
        op += 3;
        ZORV_NEXT_STEP();
    }
    if (quiet()) {
        depth_ = base;
        if (const CompiledOp* last = RunMemberRow(*code, op, slots, bound)) {
            op = last;
            ZORV_NEXT_STEP();
        }
    }
    // Else as the statement's own kOpMemberNumbers.
DoNumberCode : {
    depth_ = base;
    // Number code that met a call of a body run in full leaves its statement to the steps.
    if (code->metDoubles[op->depth] == CompiledFunction::kCallsInFull) {
        if (code->readsAfterCall[op->depth] != 0 &&
            slots[op[1].index].StoredType() <= kValueDouble &&
            slots[op[2].index].StoredType() <= kValueDouble)
            op += 2;
        ZORV_NEXT_STEP();
    }
    const CompiledOp* end = ops + op->index;
    if ((op->site != kNumberTargetName || !StepName(code->numberPrograms[op->depth])) &&
        (!(RunNumberCodeUnlessGivenUp(*code, op, end, slots, bound) ||
           (op->code == kNumberAssign &&
            JoinIntoSlot(*this, *op, end, slots, bound, cleared(slots_[base + 1])))) ||
         (op->code == kNumberElementStore &&
          !StoreNumberInElement(code->numberPrograms[op->depth], *op, slots_[base + 1]->value, slots,
                                bound))))
        ZORV_NEXT_STEP();
    // The step at the end taken here too, when it has nothing to do but count or branch.
    if (end->op == kOpBranchTrue) {
        // A double holds as the branch reads it, by its integer, which cannot fail.
        op = slots_[base + 1]->value.GetInt() != 0 ? ops + end->index - 1 : end;
    } else if ((end->op == kOpEndStatement || end->op == kOpEndAndJump) && quiet()) {
        --statementCounter_;
        op = end->op == kOpEndAndJump ? ops + end->index - 1 : end;
    } else {
        op = end - 1;
    }
    ZORV_NEXT_STEP();
}
DoStepName : {
    // The name's variable found at this state of the scopes is still the one it finds: its
    // integer stepped as StepName steps it, without the call. Anything else as the number
    // code goes.
    const NumberProgram& program = code->numberPrograms[op->depth];
    depth_ = base;
    if (program.epoch != ScopeEpoch() || program.nameStep != kTokenPlus) goto DoNumberCode;
    CValue& value = program.variables[0]->value;
    if (value.StoredType() != kValueInt) goto DoNumberCode;
    const int32_t result = int32_t(uint32_t(value.IntPayload()) + uint32_t(program.nameOperand));
    value.SetInt(result);
    StackSlot* place = slots_[base + 1];
    place->value.SetInt(result);
    ZORV_INTEGER_STATEMENT_DONE(place, ops + op->index);
}
DoSlotStatement : {
    CValue* target = &slots[op->count];
    if ((op->depth & kSlotTargetBound) != 0 && ((bound >> op->count) & 1) == 0) ZORV_NEXT_STEP();
    // The operand as an integer, or else a double.
    const CValue* from = nullptr;
    int32_t integer = 0;
    if (target->StoredType() > kValueDouble) {
        if (target->StoredType() == kValueString &&
            JoinIntoSlot(*this, *op, slots, slots_[base + 1]->value))
            goto SlotStatementDone;
        ZORV_NEXT_STEP();
    }
    switch (op->depth & kSlotFormMask) {
    case kSlotFromSlot:
        from = &slots[op->site];
        if (from->StoredType() > kValueDouble) ZORV_NEXT_STEP();
        integer = from->IntPayload();
        break;
    case kSlotFromInteger:
        integer = int32_t(op->site);
        break;
    case kSlotFromStack:
        from = &slots_[base + 2]->value;
        if (from->StoredType() > kValueDouble) ZORV_NEXT_STEP();
        integer = from->IntPayload();
        break;
    case kSlotFromStackPair: {
        // Doubles and failures are the operator's own step's.
        const CValue& left = slots_[base + 2]->value;
        const CValue& right = slots_[base + 3]->value;
        if (!left.IsIntPair(right) || !IntegerResult(op->site, uint32_t(left.IntPayload()),
                                                     uint32_t(right.IntPayload()), integer))
            ZORV_NEXT_STEP();
        break;
    }
    case kSlotFromCallPair: {
        CValue& left = slots[op->site >> 16];
        const CValue& right = slots_[base + 3]->value;
        if (left.IsIntPair(right) && IntegerResult(op->site & 0xFFFF, uint32_t(left.IntPayload()),
                                                   uint32_t(right.IntPayload()), integer))
            break;
        // The reads the call went ahead of, as the steps that go on from here expect them.
        if (left.StoredType() <= kValueDouble) {
            readNumber(slots_[base + 1], target);
            readNumber(slots_[base + 2], &left);
        }
        ZORV_NEXT_STEP();
    }
    case kSlotFromDouble:
        if (!SlotStatementOnDoubles(*op, *target, code->doubles[op->site], slots_[base + 1]->value))
            ZORV_NEXT_STEP();
        goto SlotStatementDone;
    case kSlotFromPair: {
        const CompiledOp& pair = op[2];
        const CValue& left = slots[pair.count];
        if (left.StoredType() == kValueInt) {
            if (pair.op == kOpSlotSlot) {
                const CValue& right = slots[pair.index];
                if (right.StoredType() == kValueInt &&
                    IntegerResult(pair.code, uint32_t(left.IntPayload()),
                                  uint32_t(right.IntPayload()), integer))
                    break;
            } else if (pair.op == kOpSlotInt &&
                       IntegerResult(pair.code, uint32_t(left.IntPayload()), pair.index, integer)) {
                break;
            }
        }
        if (!PairStatementOnDoubles(*op, slots, code->doubles, *target, slots_[base + 1]->value))
            ZORV_NEXT_STEP();
        goto SlotStatementDone;
    }
    default:
        if (target->StoredType() != kValueInt) {
            if (!SlotStatementOnDoubles(*op, *target, 0.0, slots_[base + 1]->value))
                ZORV_NEXT_STEP();
            goto SlotStatementDone;
        }
        // The statement's value is the one before the step.
        integer = target->IntPayload();
        target->SetInt(int32_t(uint32_t(integer) + (op->code == kTokenIncrement ? 1u : ~0u)));
        slots_[base + 1]->value.SetInt(integer);
        goto SlotStatementDone;
    }
    if (from != nullptr && from->StoredType() == kValueDouble) {
        if (!SlotStatementOnDoubles(*op, *target, from->DoublePayload(), slots_[base + 1]->value))
            ZORV_NEXT_STEP();
        goto SlotStatementDone;
    }
    if (op->code != kTokenAssign) {
        if (target->StoredType() != kValueInt ||
            !IntegerResult(CompoundOperator(op->code), uint32_t(target->IntPayload()),
                           uint32_t(integer), integer))
            ZORV_NEXT_STEP();
    }
    target->SetInt(integer);
    slots_[base + 1]->value.SetInt(integer);
SlotStatementDone:
    // The value above the statement's base, where the walk leaves it.
    ZORV_INTEGER_STATEMENT_DONE(slots_[base + 1], ops + op->index);
}
DoSlotBranch : {
    // Two integers compared, the commonest condition, without a call; the other operators
    // and kinds out of line, or else as the number code takes them, or by the full steps.
    const CompiledOp& pair = op[1];
    const CValue& left = slots[pair.count];
    int64_t holds;
    if (const uint32_t outcomes = kComparisonOutcomes[pair.code];
        outcomes != 0 && left.StoredType() == kValueInt &&
        (pair.op != kOpSlotSlot || slots[pair.index].StoredType() == kValueInt)) {
        const int32_t a = left.IntPayload();
        const int32_t b =
            pair.op == kOpSlotSlot ? slots[pair.index].IntPayload() : int32_t(pair.index);
        holds = (outcomes >> (int(a > b) + int(a >= b))) & 1;
    } else {
        holds = SlotCondition(pair, slots);
        if (holds == kNoCondition) goto DoNumberCode;
    }
    // The condition's value above the statement's base, where the walk leaves it.
    StackSlot* place = slots_[base + 1];
    place->value.SetInt(int32_t(holds));
    place->source = nullptr;
    place->anchorKind = kValueInt;
    const CompiledOp* end = ops + op->index;
    op = holds != 0 ? ops + end->index - 1 : end;
    ZORV_NEXT_STEP();
}
DoLoopRound:
    if (quiet()) {
        --statementCounter_;
    } else {
        ZORV_SYNC();
        EndCompiledStatement(poolMark);
    }
    {
        const LoopExit left = RunLoopProgram(*code, *op, slots, bound, base, poolMark);
        bound = left.bound;
        op = ops + left.step - 1;
    }
    ZORV_NEXT_STEP();
DoSwitchSelector:
    ZORV_SYNC();
    KeepSwitchSelector();
    ZORV_NEXT_STEP();
DoCaseTest:
    ZORV_SYNC();
    if (!CaseMatches()) ZORV_NEXT_STEP();
    // The Switch statement ends where the walk stands after the Case's value.
    currentToken = op->token + reinterpret_cast<const TokenHeader*>(op->token)->size;
    if (quiet())
        --statementCounter_;
    else
        EndCompiledStatement(poolMark);
    op = ops + op->index - 1;
    ZORV_NEXT_STEP();
DoWalkStatement:
    ZORV_SYNC();
    if (EndsTopLevel(*code) || WalkCompiledStatement(GetStream() + op->index, poolMark)) {
        depth_ = base;
        goto Finish;
    }
    ZORV_NEXT_STEP();
DoWalkOn:
    ZORV_SYNC();
    if (!EndsTopLevel(*code)) ExecuteBlock(op->token);
    depth_ = base;
    goto Finish;
DoWalkIf:
    ZORV_SYNC();
    tables.statement[kTokenIf](*this);
    if (currentToken == GetStream() + op->count) ZORV_NEXT_STEP();
    if (currentToken != GetStream() + op->site) {
        uint8_t* next = currentToken;
        EndCompiledStatement(poolMark);
        ExecuteBlock(next);
        depth_ = base;
        goto Finish;
    }
    if (quiet())
        --statementCounter_;
    else
        EndCompiledStatement(poolMark);
    op = ops + op->index - 1;
    ZORV_NEXT_STEP();
DoWalkOperand:
    // The constructor's "This.member = parameter;", whose member is new to the object.
    if (IsThisMemberFromSlot(op) &&
        AddThisMember(*op, slots[op[2].index], slots_[base + op->depth])) {
        op += 2;
        ZORV_NEXT_STEP();
    }
    // A number member of This, read without the walk.
    if (op->code == kTokenThis && ReadThisMember(*op, slots_[base + op->depth])) ZORV_NEXT_STEP();
    ZORV_SYNC();
    WalkedOperand(op->code);
    if (currentToken != GetStream() + op->count) op = ops + WalkedOperandEnd(op + 1)->index - 1;
    ZORV_NEXT_STEP();
DoSlotMembers : {
    // The site's number member of the object its shape still vouches for, as SlotMembers
    // reads it, without the call; anything else takes the full way below.
    const CValue* value = &slots[op->index];
    const CompiledMemberSite& site = code->memberSites[op->site];
    if (site.position != 0 && value->StoredType() == kValueObject &&
        (op->code == 0 || ((bound >> op->index) & 1) != 0)) {
        CIBaseClassImpl* object = value->ObjectPayload();
        if (object != nullptr && IsScriptObject(object) &&
            static_cast<CIBaseObjectVar*>(object)->GetShape() == site.shape) {
            const CValue& member =
                static_cast<CIBaseObjectVar*>(object)->FrontVariable(site.position - 1)->value;
            StackSlot* slot = slots_[base + op->depth];
            if (member.StoredType() <= kValueDouble) {
                if (slot->anchor.StoredType() != kValueObject ||
                    slot->anchor.ObjectPayload() != object)
                    slot->anchor.SetObject(object, 1);
                slot->anchorKind = kValueObject;
                slot->value.Assign(member);
                slot->source = const_cast<CValue*>(&member);
                ZORV_NEXT_STEP();
            }
        }
    }
}
    ZORV_SYNC();
    if (op->code != 0 && ((bound >> op->index) & 1) == 0) {
        currentToken = GetStream() + code->memberSites[op->site].head;
        WalkedOperand(kTokenName);
    } else {
        SlotMembers(&slots[op->index], code->memberSites[op->site]);
    }
    if (currentToken != GetStream() + op->count) op = ops + WalkedOperandEnd(op + 1)->index - 1;
    ZORV_NEXT_STEP();
DoMemberAssigned:
    ZORV_NEXT_STEP();
DoChainHead:
    ZORV_SYNC();
    if (op[1].op == kOpMethodBegin && SlotMethodBegin(*op, slots, bound)) {
        ++op;
        ZORV_NEXT_STEP();
    }
    // Code without slots (a top level, a handler) has no slot heads.
    ChainHead(op->code == kChainBoundSlot && ((bound >> op->index) & 1) != 0 ? uint32_t(kChainSlot)
                                                                             : uint32_t(op->code),
              op->code == kChainSlot || op->code == kChainBoundSlot ? &slots[op->index] : nullptr);
    ZORV_NEXT_STEP();
DoChainMember:
    ZORV_SYNC();
    ChainMember();
    ZORV_NEXT_STEP();
DoMethodBegin:
    ZORV_SYNC();
    MethodBegin(*code, op->site, op->count);
    ZORV_NEXT_STEP();
DoMethodEnd:
    ZORV_SYNC();
    if ((entering = BeginScriptMethod(*code, *op)) != nullptr) goto EnterInline;
    if (const BlockRecord* function = MethodEnd(*code, op->site, int32_t(op->count))) {
        // As kOpCallEnd calls, on the object the call runs on.
        auto* object = static_cast<CIBaseObjectVar*>(slots_[depth_]->anchor.GetObject());
        CompiledMethodSite& site = code->methodSites[op->site];
        if (site.function != function) {
            site.function = function;
            site.code = CompiledFor(function);
        }
        if (site.code == nullptr) {
            InvokeFunction(nullptr, object, function);
            ZORV_NEXT_STEP();
        }
        // The method's steps run in this dispatch, on its object.
        if (!AnswerFromFrame(*site.code)) {
            entering = EnterInlineFrame(object, function, *site.code, FrameArguments(*site.code));
            goto EnterInline;
        }
    }
    ZORV_NEXT_STEP();
DoNewBegin:
    ZORV_SYNC();
    CompiledNewBegin(op->code != 0);
    ZORV_NEXT_STEP();
DoNewEnd:
    ZORV_SYNC();
    CompiledNewEnd(GetStream() + op->index, int32_t(op->count));
    ZORV_NEXT_STEP();
DoDelete:
    ZORV_SYNC();
    CompiledDelete(slots_[base + 1]->value);
    ZORV_NEXT_STEP();
DoElementBoundSlot:
    if (((bound >> op->count) & 1) == 0) goto DoElementName;
DoElementSlot : {
    // The variable waits in its place while the indices are worked out above it.
    StackSlot* place = slots_[base + op->depth];
    cleared(place);
    place->source = &slots[op->count];
    ZORV_NEXT_STEP();
}
DoElementName : {
    ZORV_SYNC();
    if (CVariable* variable = LookUp(reinterpret_cast<NameToken*>(op->token))) {
        StackSlot* place = slots_[base + op->depth];
        cleared(place);
        place->source = &variable->value;
        ZORV_NEXT_STEP();
    }
    NewArrayPlaceholder(ops[op->index - 1].token);
    op = ops + op->index - 1;
    ZORV_NEXT_STEP();
}
DoElementIndex : {
    int32_t& place = slots_[base + op->depth]->indices[op->index];
    const CValue* index = &slots_[base + op->depth + 1]->value;
    if (op->code == kIndexFromInteger) {
        place = int32_t(op->count);
        ZORV_NEXT_STEP();
    }
    if (op->code != kIndexFromStack) {
        const bool inSlot = op->code == kIndexFromSlot || ((bound >> op->count) & 1) != 0;
        if (inSlot && slots[op->count].GetType() == kValueInt) {
            place = slots[op->count].IntPayload();
            ZORV_NEXT_STEP();
        }
        // Else the read as its own step would make it, above the element.
        ZORV_SYNC();
        depth_ = base + op->depth + 1;
        if (inSlot) {
            PushSlot(&slots[op->count]);
        } else {
            currentToken = GetStream() + op->site;
            tables.operand[kTokenName](*this);
        }
        depth_ = base + op->depth;
        currentToken = op->token;
    }
    if (index->GetType() == kValueInt) {
        place = index->IntPayload();
        ZORV_NEXT_STEP();
    }
    ZORV_SYNC();
    place = index->GetInt();
    ZORV_NEXT_STEP();
}
DoElement : {
    StackSlot* place = slots_[base + op->depth];
    if (op->code != kElementAddressed) {
        const CValue& variable = *place->source;
        CScriptArray* array = ArrayOf(variable);
        uint32_t flat;
        if (array != nullptr && array->FindFlatIndex(place->indices, op->count, flat) &&
            array->ReadNumber(flat, place->value)) {
            place->source = nullptr;
            place->anchorKind = kValueInt;
            if (op->code == kElementTarget) {
                // The cell kOpElementAssign writes, named by the array and the indices.
                if (!place->anchor.HoldsSameArray(variable)) place->anchor.Assign(variable);
                place->anchorKind = kValueArray;
                place->indexCount = int32_t(op->count);
            }
            ZORV_NEXT_STEP();
        }
    }
    ZORV_SYNC();
    if (!ElementObjectOperand(int(op->count))) CompiledElementOperand(int(op->count));
    ZORV_NEXT_STEP();
}
DoElementAssign : {
    if (op->code == kTokenAssign) {
        // A number over a number in its cell, the commonest store.
        StackSlot* place = slots_[base + op->depth];
        CScriptArray* array = ArrayOf(place->anchor);
        uint32_t flat;
        if (place->anchorKind == kValueArray && place->source == nullptr &&
            place->value.GetType() <= kValueDouble && array != nullptr &&
            array->FindFlatIndex(place->indices, uint32_t(place->indexCount), flat) &&
            array->WriteNumber(flat, slots_[base + op->depth + 1]->value)) {
            SwapSlots(base + op->depth, base + op->depth + 1);
            ZORV_NEXT_STEP();
        }
    }
    ZORV_SYNC();
    const StackSlot* place = slots_[depth_];
    if (place->anchorKind == kValueArray && place->source == nullptr &&
        place->value.GetType() <= kValueDouble && AssignElementCell(op->code, op->count != 0))
        ZORV_NEXT_STEP();
    operators_[depth_] = op->code;
    tables.binary[op->code](*this);
    ZORV_NEXT_STEP();
}
DoNewArray:
    if (slots_[base + op->depth]->value.GetType() != kValueUnboundArray) {
        op = ops + op->index - 1;
        ZORV_NEXT_STEP();
    }
    ZORV_SYNC();
    // As BinaryAssign begins.
    if (IsPlaceholder(Right()->GetType())) RaiseError(41);
    ZORV_NEXT_STEP();
DoNewArrayEnd:
    ZORV_SYNC();
    if (op->code != 0) {
        // The name's local is the slot, as kOpAssignBound makes it.
        bound |= uint64_t(1) << op->site;
        NewArrayFromPlaceholder(int(op->count), &slots[op->site]);
    } else {
        NewArrayFromPlaceholder(int(op->count), nullptr);
    }
    op = ops + op->index - 1;
    ZORV_NEXT_STEP();
DoElementRead : {
    // An array in a slot, read here; one named through the scopes, out of line.
    const ElementRead& read = code->elementReads[op->count];
    if ((read.begin == kOpElementSlot ||
         (read.begin == kOpElementBoundSlot && ((bound >> read.slot) & 1) != 0))
            ? ReadElementCell(op->code, read, slots[read.slot], slots, bound,
                              slots_[base + op->depth])
            : ReadElementInCell(*code, *op, slots, bound, base))
        op = ops + op->index - 1;
    ZORV_NEXT_STEP();
}
DoElementStore:
    if (StoreElementCell(*code, code->elementStores[op->count], op->code, slots, bound))
        op = ops + op->index - 1;
    ZORV_NEXT_STEP();
DoElementMembers:
    ZORV_SYNC();
    CompiledElementOperand(int(op->count));
    if (currentToken != GetStream() + op->site) op = ops + WalkedOperandEnd(op + 1)->index - 1;
    ZORV_NEXT_STEP();
DoValueMembers:
    ZORV_SYNC();
    MembersOfValue();
    if (currentToken != GetStream() + op->site) op = ops + WalkedOperandEnd(op + 1)->index - 1;
    ZORV_NEXT_STEP();
DoElementChainHead:
    ZORV_SYNC();
    ElementChainHead(int(op->count));
    ZORV_NEXT_STEP();
DoValueChainHead:
    ZORV_SYNC();
    ValueChainHead();
    ZORV_NEXT_STEP();
DoMemberElementBegin:
    ZORV_SYNC();
    if (!MemberElementBegin()) op = ops + op->index - 1;
    ZORV_NEXT_STEP();
DoMemberElement:
    ZORV_SYNC();
    CompiledMemberElement(reinterpret_cast<const NameToken*>(GetStream() + op->site),
                          int(op->count));
    if (currentToken != GetStream() + op->index) op = ops + WalkedOperandEnd(op + 1)->index - 1;
    ZORV_NEXT_STEP();
Finish:
    if (inlineCall == nullptr) return;
ReturnInline : {
    // The call ends as EnterCompiledFrame's does, and its caller's steps go on after it.
    CallRecord* record = inlineCall;
    const CompiledFunction& callee = *code;
    CValue* calleeSlots = slots;
    inlineCall = record->callerRecord;
    code = record->callerCode;
    ops = code->ops.data();
    op = record->callerResume;
    slots = record->callerSlots;
    bound = record->callerBound;
    base = record->callerBase;
    poolMark = record->callerPoolMark;
    pending = record->callerPending;
    pendingNext_ = record->calleePending;
    LeaveFrame(record, callee, calleeSlots);
    ZORV_NEXT_STEP();
}
        } catch (ReturnedBeforeMember) {
            // A Return that stopped on a member ends the call as a Return does.
            if (inlineCall == nullptr) throw;
            returnedInline = true;
        } catch (CIError*) {
            // Each call run here ends as its own frame would, from the innermost.
            while (inlineCall != nullptr) {
                CallRecord* record = inlineCall;
                CValue* calleeSlots = slots;
                inlineCall = record->callerRecord;
                slots = record->callerSlots;
                pendingNext_ = record->calleePending;
                AbandonDirectCall(record, calleeSlots);
            }
            throw;
        }
    }
#undef ZORV_PENDING
#undef ZORV_INTEGER_STATEMENT_DONE
#undef ZORV_NEXT_STEP
#undef ZORV_SYNC
}
