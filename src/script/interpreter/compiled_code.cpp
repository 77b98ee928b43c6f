// Script functions compiled to instructions: the compiler follows the statement loop and
// the expression walk over the linked stream and writes down each step they would take,
// in their order; the runner then takes those steps without reading the tokens.
//
// A function body is compiled only when every statement and operand in it is one the
// compiler knows; any other body runs on the walk. Not covered yet: Switch, Delete, New,
// This, members, methods of built-in objects and classes (so every built-in call),
// CurWindow, an element followed by a member, a text followed by a method, "?" not
// followed by ":" after its first value, Break or Continue outside a loop, calls of more
// than 15 arguments; module top levels and event handlers, which are not called as
// functions, always take the walk.
//
// Names live in slots of the call where the walk would find a variable of the call's own:
// parameters, `Var name = ...` at the top level of the body, and names whose first use in
// the body is an assignment "name = ..." that always runs when its block does. Such a name
// is looked up when that assignment runs: found in no scope, the assignment makes the
// slot the call's local until the block that made it ends; found, the name keeps going
// through the scopes. A For loop counting with such a slot runs its step and test as one
// step while counter and limit hold integers, and an empty body's rounds in one go.
//
// A statement "slot = expression", "slot++" or "slot--", and the condition of an If or a
// While, whose expression has only operators of integers over slots, names, integer
// literals and calls, is worked out first on plain integers (kOpIntegerCode); the full
// steps follow for when a value read is not an integer, an operator fails or a call is
// not one of those below. A call of a function whose body is one such Return of its
// parameters is answered the same way without entering the call, as nothing in it can
// have an effect; inside integer code too, once its site has called that function.
//
// An element "name[index, ...]" keeps its array's variable (a slot, or the name looked up
// first, as the walk does) in its place while its indices are worked out above it, then
// takes the element. Where only its value is used, or an assignment, "++" or "--" follows
// it directly, a number is read from its cell and written back there (compiled_elements.cpp);
// anything else, and every element that another operator may assign through, goes the
// walk's way, by the box that names the element.
#include <algorithm>
#include <atomic>
#include <iterator>
#include <memory>
#include <new>
#include <unordered_map>

#include "script/interpreter/compiled_code.h"
#include "script/interpreter/handler_tables.h"
#include "script/interpreter/interpretor.h"
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

bool CompareIntegers(uint32_t code, int32_t a, int32_t b) {
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

// The operators of two integers whose results are integers that CValue would give;
// false for the others (and a division that fails or wraps).
[[gnu::always_inline]] inline bool IntegerResult(uint32_t code, uint32_t a, uint32_t b,
                                                 int32_t& result) {
    switch (code) {
    case kTokenGreaterEqual:
    case kTokenLessEqual:
    case kTokenEqual:
    case kTokenLess:
    case kTokenGreater:
    case kTokenNotEqual:
        result = CompareIntegers(code, int32_t(a), int32_t(b));
        return true;
    case kTokenPlus:
        result = int32_t(a + b);
        return true;
    case kTokenMinus:
        result = int32_t(a - b);
        return true;
    case kTokenMultiply:
        result = int32_t(a * b);
        return true;
    case kTokenDivide:
        if (b == 0 || int32_t(b) == -1) return false;
        result = int32_t(a) / int32_t(b);
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

// IntegerResult into `left`, which is left as it was when there is none.
[[gnu::always_inline]] inline bool IntegerOperation(uint32_t code, CValue& left, int32_t right) {
    int32_t result;
    if (!IntegerResult(code, uint32_t(left.IntPayload()), uint32_t(right), result)) return false;
    left.SetInt(result);
    left.source = nullptr;
    return true;
}

[[gnu::always_inline]] inline bool IntegerOperation(uint32_t code, CValue& left,
                                                    const CValue& right) {
    return IntegerOperation(code, left, right.IntPayload());
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

[[gnu::always_inline]] inline bool DoubleOperation(uint32_t code, CValue& left, double right) {
    double result;
    if (!DoubleResult(code, left.DoublePayload(), right, result)) return false;
    left.SetFloat(result);
    left.source = nullptr;
    return true;
}

[[gnu::always_inline]] inline bool DoubleOperation(uint32_t code, CValue& left,
                                                   const CValue& right) {
    return DoubleOperation(code, left, right.DoublePayload());
}

// Whether the slot holds its variable in this call: any slot but one that kOpBindName
// left to a scope's variable.
bool IsBoundOrPlain(uint64_t bound, const CompiledFunction& code, uint32_t slot) {
    return slot >= 64 || ((code.boundSlots >> slot) & 1) == 0 || ((bound >> slot) & 1) != 0;
}

bool IsMemberToken(uint32_t code) {
    return code == kTokenMemberCall || code == kTokenMember || code == kTokenArrayMember ||
           code == kTokenDot;
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
    static_assert(std::size(kQuickSteps) == kOpIntegerCode + 1);
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

bool QuickReturn(const CompiledFunction& code, const CValue* arguments, int32_t count,
                 int32_t& result) {
    auto parameter = [arguments, count](uint32_t index, int32_t& value) {
        if (int32_t(index) >= count || arguments[index].GetType() != kValueInt) return false;
        value = arguments[index].IntPayload();
        return true;
    };
    return QuickReturnOf(code, parameter, result);
}

} // namespace

// Compiles one function; Compile answers false when the body has what it does not cover.
class FunctionCompiler {
public:
    FunctionCompiler(CInterpretor& interpreter, const BlockRecord* function, CompiledFunction& out)
        : in_(interpreter), function_(function), out_(out) {}

    bool Compile() {
        if (!BindParameters()) return false;
        if (!CompileBody()) return false;
        for (const auto& [op, offset] : fixups_) {
            auto found = labels_.find(offset);
            if (found == labels_.end()) return false;
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
        FuseOperands();
        FuseElementIndices();
        FuseElementReads();
        SettleIntegerCode();
        out_.slotCount = uint32_t(slotNames_.size());
        out_.boundSlots = boundSlots_;
        out_.returnsOnly = ReturnsOnly(out_);
        return true;
    }

    // An operator or an argument whose value is a slot or an integer literal read just
    // before it, in one step.
    void FuseOperands() {
        std::vector<CompiledOp>& ops = out_.ops;
        std::vector<uint32_t> moved(ops.size() + 1);
        std::vector<CompiledOp> fused;
        fused.reserve(ops.size());
        for (size_t i = 0; i < ops.size(); ++i) {
            moved[i] = uint32_t(fused.size());
            const CompiledOp& read = ops[i];
            if (i + 1 < ops.size() && ops[i + 1].op == kOpArgument &&
                read.depth == ops[i + 1].depth + 1 &&
                ((read.op == kOpSlot && read.token == ops[i + 1].token) ||
                 (read.op == kOpInt && Next(read.token) == ops[i + 1].token))) {
                CompiledOp one = ops[i + 1];
                one.op = read.op == kOpSlot ? kOpArgumentSlot : kOpArgumentInt;
                one.count = read.index;
                fused.push_back(one);
                moved[++i] = uint32_t(fused.size() - 1);
                continue;
            }
            if (i + 1 < ops.size() && ops[i + 1].op == kOpBinary &&
                read.depth == ops[i + 1].depth + 1) {
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
                    fused.push_back(read);
                    continue;
                }
                // A slot read just before, at the same place, is the left operand.
                if ((one.op == kOpBinarySlot || one.op == kOpBinaryInt ||
                     one.op == kOpBinaryDouble) &&
                    !fused.empty() && fused.back().op == kOpSlot &&
                    fused.back().depth == one.depth) {
                    CompiledOp& left = fused.back();
                    one.site = Offset(left.token);
                    one.count = left.index;
                    one.op = one.op == kOpBinarySlot  ? kOpSlotSlot
                             : one.op == kOpBinaryInt ? kOpSlotInt
                                                      : kOpSlotDouble;
                    left = one;
                    moved[i] = uint32_t(fused.size() - 1);
                    moved[++i] = uint32_t(fused.size() - 1);
                    continue;
                }
                fused.push_back(one);
                moved[++i] = uint32_t(fused.size() - 1);
                continue;
            }
            fused.push_back(read);
        }
        moved[ops.size()] = uint32_t(fused.size());
        Renumber(fused, moved);
    }

    // An index that is a slot or an integer literal alone, read by its kOpElementIndex.
    void FuseElementIndices() {
        std::vector<CompiledOp>& ops = out_.ops;
        std::vector<uint32_t> moved(ops.size() + 1);
        std::vector<CompiledOp> fused;
        fused.reserve(ops.size());
        for (size_t i = 0; i < ops.size(); ++i) {
            moved[i] = uint32_t(fused.size());
            const CompiledOp& read = ops[i];
            if (i + 1 < ops.size() && ops[i + 1].op == kOpElementIndex &&
                read.depth == ops[i + 1].depth + 1) {
                CompiledOp one = ops[i + 1];
                if (read.op == kOpSlot && read.token == one.token) {
                    one.code = kIndexFromSlot;
                } else if (read.op == kOpBoundSlot && Next(read.token) == one.token) {
                    one.code = kIndexFromBoundSlot;
                    one.site = Offset(read.token);
                } else if (read.op == kOpInt && Next(read.token) == one.token) {
                    one.code = kIndexFromInteger;
                } else {
                    fused.push_back(read);
                    continue;
                }
                one.count = read.index;
                fused.push_back(one);
                moved[++i] = uint32_t(fused.size() - 1);
                continue;
            }
            fused.push_back(read);
        }
        moved[ops.size()] = uint32_t(fused.size());
        Renumber(fused, moved);
    }

    // A kOpElementRead before each element whose indices are slots or integer literals
    // alone, read for its value or as the target of a kOpElementAssign.
    void FuseElementReads() {
        std::vector<CompiledOp>& ops = out_.ops;
        std::vector<uint32_t> moved(ops.size() + 1);
        std::vector<CompiledOp> kept;
        kept.reserve(ops.size());
        for (size_t i = 0; i < ops.size(); ++i) {
            moved[i] = uint32_t(kept.size());
            const CompiledOp& begin = ops[i];
            if (begin.op == kOpElementSlot || begin.op == kOpElementBoundSlot ||
                begin.op == kOpElementName) {
                ElementRead read{};
                read.begin = begin.op;
                read.slot = begin.count;
                size_t at = i + 1;
                while (at < ops.size() && ops[at].op == kOpElementIndex &&
                       ops[at].code != kIndexFromStack && ops[at].depth == begin.depth &&
                       read.count < ElementRead::kMaxIndices) {
                    read.sources[read.count] = ops[at].code;
                    read.values[read.count++] = ops[at].count;
                    ++at;
                }
                const CompiledOp& element = ops[at < ops.size() ? at : i];
                if (read.count != 0 && element.op == kOpElement && element.depth == begin.depth &&
                    element.count == read.count && element.code != kElementAddressed) {
                    kept.push_back(CompiledOp{kOpElementRead, element.code, begin.depth,
                                              uint32_t(at + 1), uint32_t(out_.elementReads.size()),
                                              0, begin.token});
                    out_.elementReads.push_back(read);
                }
            }
            kept.push_back(begin);
        }
        moved[ops.size()] = uint32_t(kept.size());
        Renumber(kept, moved);
    }

    // The steps become `kept`, step i of the old ones being step moved[i] of them.
    void Renumber(std::vector<CompiledOp>& kept, const std::vector<uint32_t>& moved) {
        for (CompiledOp& op : kept)
            if (op.op == kOpJump || op.op == kOpBranchTrue || op.op == kOpEndAndJump ||
                op.op == kOpIntegerCode || op.op == kOpElementName ||
                op.op == kOpElementBoundSlot || op.op == kOpNewArray || op.op == kOpNewArrayEnd ||
                op.op == kOpElementRead)
                op.index = moved[op.index];
        for (CountingRound& round : out_.rounds) {
            round.holds = moved[round.holds];
            round.ends = moved[round.ends];
        }
        out_.ops = std::move(kept);
    }

    // Whether kOpIntegerCode can work `op` out on integers.
    static bool IsIntegerStep(const CompiledOp& op) {
        if (op.depth >= CompiledFunction::kMaxQuickDepth) return false;
        switch (op.op) {
        case kOpSlot:
        case kOpBoundSlot:
        case kOpInt:
        case kOpName:
        case kOpClear:
        case kOpSwap:
            return true;
        case kOpCallBegin:
        case kOpArgumentsBegin:
        case kOpArgument:
        case kOpArgumentSlot:
        case kOpArgumentInt:
        case kOpArgumentsEnd:
        case kOpCallEnd:
            return true;
        case kOpBinary:
        case kOpBinarySlot:
        case kOpBinaryBoundSlot:
        case kOpBinaryInt:
        case kOpBinaryName:
        case kOpSlotSlot:
        case kOpSlotInt:
            return IsIntegerOperator(op.code);
        default:
            return false;
        }
    }

    // Settles each kOpIntegerCode on the expression that follows it, or drops it when
    // the expression is not one it can work out.
    void SettleIntegerCode() {
        std::vector<CompiledOp>& ops = out_.ops;
        std::vector<uint32_t> moved(ops.size() + 1);
        std::vector<CompiledOp> kept;
        kept.reserve(ops.size());
        for (size_t i = 0; i < ops.size(); ++i) {
            moved[i] = uint32_t(kept.size());
            if (ops[i].op != kOpIntegerCode || !SettleIntegerCode(i)) {
                if (ops[i].op != kOpIntegerCode) kept.push_back(ops[i]);
                continue;
            }
            kept.push_back(ops[i]);
        }
        moved[ops.size()] = uint32_t(kept.size());
        Renumber(kept, moved);
    }

    bool SettleIntegerCode(size_t at) {
        std::vector<CompiledOp>& ops = out_.ops;
        size_t end = at + 1;
        while (end < ops.size() && ops[end].op != kOpEndStatement && ops[end].op != kOpEndAndJump &&
               ops[end].op != kOpBranchTrue)
            ++end;
        if (end == ops.size() || end == at + 1) return false;
        CompiledOp& code = ops[at];
        code.index = uint32_t(end);
        const CompiledOp& first = ops[at + 1];
        const CompiledOp& last = ops[end - 1];
        if (ops[end].op == kOpBranchTrue) {
            code.code = kIntegerValue;
            return std::all_of(ops.begin() + at + 1, ops.begin() + end, IsIntegerStep);
        }
        if (end == at + 4 && (first.op == kOpSlot || first.op == kOpBoundSlot) &&
            first.depth == 1 && ops[at + 2].op == kOpEmpty && last.op == kOpBinary &&
            last.depth == 1 && (last.code == kTokenIncrement || last.code == kTokenDecrement)) {
            code.code = last.code == kTokenIncrement ? kIntegerIncrement : kIntegerDecrement;
            code.count = first.index;
            code.site = first.op == kOpBoundSlot;
            return true;
        }
        if (last.depth != 1 || last.code != kTokenAssign) return false;
        code.code = kIntegerAssign;
        if (end == at + 2 && (last.op == kOpSlotSlot || last.op == kOpSlotInt)) {
            code.count = last.count;
            code.site = 0;
            return true;
        }
        if ((first.op != kOpSlot && first.op != kOpBoundSlot) || first.depth != 1 || end < at + 3 ||
            (last.op != kOpBinary && last.op != kOpBinarySlot && last.op != kOpBinaryBoundSlot &&
             last.op != kOpBinaryInt && last.op != kOpBinaryName))
            return false;
        code.count = first.index;
        code.site = first.op == kOpBoundSlot;
        return std::all_of(ops.begin() + at + 2, ops.begin() + end - 1, IsIntegerStep);
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

    bool Seen(uint32_t nameId) const {
        return std::find(seenNames_.begin(), seenNames_.end(), nameId) != seenNames_.end();
    }
    bool IsBound(uint32_t slot) const { return slot < 64 && ((boundSlots_ >> slot) & 1) != 0; }

    // The slot a statement "name = ..." at the top level of the body may bind its name
    // to: one that no code before it reads, so that the call meets it first there.
    uint32_t BindableSlot(uint8_t* token, bool conditional) const {
        if (Code(token) != kTokenName || Code(Next(token)) != kTokenAssign) return kNoSlot;
        if (conditional || slotNames_.size() >= 64) return kNoSlot;
        uint32_t name = NameOf(token);
        if (SlotOf(name) != kNoSlot || Seen(name)) return kNoSlot;
        return uint32_t(slotNames_.size());
    }

    // Compiles "name = ..." at `token` over `base`, its name bound to slot `slot` unless
    // the right side reads the name before the assignment made it (then it stays a name).
    uint8_t* BoundExpression(uint32_t base, uint8_t* token, uint32_t slot) {
        uint32_t name = NameOf(token);
        uint8_t* end = Expression(base, token, kNoSlot, slot);
        if (end == nullptr) return nullptr;
        if (Seen(name)) {
            out_.ops[bindOp_].op = kOpOperand;
            out_.ops[bindOp_].code = uint8_t(kTokenName);
            out_.ops[bindAssignOp_].op = kOpBinary;
            out_.ops[bindAssignOp_].code = uint8_t(kTokenAssign);
            seenNames_.push_back(name);
            return end;
        }
        slotNames_.push_back(name);
        boundSlots_ |= uint64_t(1) << slot;
        // Made inside a block, the local goes when the block ends.
        if (!contexts_.empty()) out_.blockSlots[contexts_.back().id] |= uint64_t(1) << slot;
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

    // ---- Expressions: the steps of EvaluateWalk ------------------------------------

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
                SettleElementMode(depth, token);
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
            if (IsMemberToken(Code(Next(token)))) return nullptr;
            Emit(kOpOperand, depth, token, 0, 0, uint8_t(code));
            return Next(token);
        case kTokenName: {
            uint8_t* next = Next(token);
            if (IsMemberToken(Code(next))) return nullptr;
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
            if (Code(name) != kTokenName) return nullptr;
            Emit(kOpDeclare, depth, name);
            uint32_t declared = declaring_;
            declaring_ = kNoSlot;
            uint8_t* end = Expression(depth, name, declared);
            if (end == nullptr) return nullptr;
            Emit(kOpSwap, depth, end);
            return end;
        }
        case kTokenOpenParen: {
            Emit(kOpClear, depth, token);
            closers_.push_back(kParenthesis);
            uint8_t* end = Expression(depth, Next(token));
            closers_.pop_back();
            if (end == nullptr || Code(end) != kTokenCloseParen) return nullptr;
            Emit(kOpSwap, depth, end);
            end = Next(end);
            if (IsMemberToken(Code(end))) return nullptr;
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
            uint8_t* end = Operand(depth, Next(token));
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
        case kTokenArrayName:
            return Element(depth, token);
        default:
            return nullptr;
        }
    }

    // ---- Array elements ----------------------------------------------------------------

    // "name[index, ...]" as EvalArrayElement reads it: the array's variable at `depth`,
    // the indices each worked out above it, then the element, read as the walk does
    // (kElementAddressed) until SettleElementMode or ElementAssignment know better.
    uint8_t* Element(uint32_t depth, uint8_t* token) {
        uint32_t name = NameOf(token);
        uint32_t slot = SlotOf(name);
        uint32_t begin;
        if (slot != kNoSlot && IsBound(slot)) {
            begin = Emit(kOpElementBoundSlot, depth, token, 0, slot);
        } else if (slot != kNoSlot) {
            begin = Emit(kOpElementSlot, depth, token, 0, slot);
        } else {
            seenNames_.push_back(name);
            begin = Emit(kOpElementName, depth, token);
        }
        closers_.push_back(kIndexList);
        uint8_t* next = Next(token);
        uint32_t count = 0;
        for (;;) {
            // More indices than an array has dimensions fail on the walk.
            if (count == uint32_t(CInterpretor::kMaxArrayIndices)) return nullptr;
            next = Expression(depth, next);
            if (next == nullptr) return nullptr;
            Emit(kOpElementIndex, depth, next, count++);
            if (Code(next) != kTokenComma) break;
            next = Next(next);
        }
        closers_.pop_back();
        if (Code(next) != kTokenCloseBracket) return nullptr;
        next = Next(next);
        if (IsMemberToken(Code(next))) return nullptr;
        // Its first step, for ElementAssignment.
        uint32_t element = Emit(kOpElement, depth, next, begin, count, kElementAddressed);
        out_.ops[begin].index = element + 1;
        return next;
    }

    // Whether the value of an operand that `next` follows may be assigned to through its
    // variable: by an assignment, ++ or --, or, inside parentheses, by one after them.
    bool MayBeAssigned(uint8_t* next) const {
        uint16_t code = Code(next);
        if (code >= kTokenAssign && code <= kTokenShiftRightAssign) return true;
        if (code == kTokenIncrement || code == kTokenDecrement) return true;
        return code == kTokenCloseParen && !closers_.empty() && closers_.back() == kParenthesis;
    }

    // An element just read at `depth` whose value alone is used is read from its cell.
    void SettleElementMode(uint32_t depth, uint8_t* next) {
        CompiledOp& last = out_.ops.back();
        if (last.op != kOpElement || last.depth != depth) return;
        elementAt_[depth] = uint32_t(out_.ops.size() - 1);
        if (!MayBeAssigned(next)) last.code = kElementValue;
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
            closers_.push_back(kIndexList);
            uint8_t* next = Next(out_.ops[begin].token);
            uint32_t count = 0;
            for (;;) {
                next = Expression(depth + 1, next);
                if (next == nullptr) return -1;
                Emit(kOpElementIndex, depth + 1, next, count++);
                if (Code(next) != kTokenComma) break;
                next = Next(next);
            }
            closers_.pop_back();
            Emit(kOpNewArrayEnd, depth, token, 0, count);
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
        Emit(kOpCallBegin, depth, token, pending);
        uint8_t* next = Next(token);
        uint32_t count = 0;
        if (Code(next) != kTokenCloseParen) {
            Emit(kOpArgumentsBegin, depth, next);
            for (;;) {
                next = Expression(depth, next);
                if (next == nullptr) return nullptr;
                Emit(kOpArgument, depth, next, count++);
                if (Code(next) != kTokenComma) break;
                if (count == CInterpretor::kMaxArguments) return nullptr;
                next = Next(next);
            }
            if (Code(next) != kTokenCloseParen) return nullptr;
            Emit(kOpArgumentsEnd, depth, next);
        }
        closers_.pop_back();
        next = Next(next);
        if (IsMemberToken(Code(next))) return nullptr;
        uint32_t end = Emit(kOpCallEnd, depth, next, pending, count);
        out_.ops[end].site = uint32_t(out_.sites.size());
        out_.sites.emplace_back();
        --pendingCalls_;
        return next;
    }

    // ---- Statements: the steps of the statement loop ---------------------------------

    // The condition at `token` evaluated; on to `holds` when it holds. The code written
    // after this runs when it does not.
    bool Condition(uint8_t* token, uint32_t& branch, bool integerCode) {
        if (integerCode) Emit(kOpIntegerCode, 0, token);
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
        if (!Condition(At(block->condition), branch, block->kind == kBlockWhile)) return false;
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
    // the test are those of a counting loop.
    void AddCountingRound(uint32_t first, uint32_t test) {
        std::vector<CompiledOp>& ops = out_.ops;
        if (test != first + 3 || ops.size() < test + 4) return;
        const CompiledOp& counter = ops[first];
        const CompiledOp& step = ops[first + 2];
        if (!ReadsSlot(counter) || ops[first + 1].op != kOpEmpty || step.op != kOpBinary ||
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
                              ops[first].token});
    }

    bool CompileBody() {
        uint8_t* token = Next(At(function_->bodyStart));
        uint8_t* end = At(function_->end);
        bool conditionalNext = false;
        for (;;) {
            Label(token);
            if (Code(token) == kTokenSemicolon) {
                token = Next(token);
                if (Code(token) != kTokenSemicolon) Label(token);
            }
            bool conditional = conditionalNext;
            conditionalNext = false;
            uint16_t code = Code(token);
            switch (code) {
            case kTokenName:
            case kTokenArrayName:
            case kTokenCallName:
            case kTokenVar: {
                uint32_t declared = kNoSlot;
                uint32_t declaredName = 0;
                if (code == kTokenVar && contexts_.empty() && !conditional &&
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
                if (code == kTokenVar && !conditional && Code(Next(token)) == kTokenName &&
                    Code(Next(Next(token))) == kTokenSemicolon &&
                    SlotOf(NameOf(Next(token))) == kNoSlot && !Seen(NameOf(Next(token)))) {
                    uint8_t* name = Next(token);
                    Emit(kOpDeclare, 1, name);
                    Emit(kOpUnbound, 2, name);
                    Emit(kOpSwap, 1, Next(name));
                    out_.maxDepth = std::max(out_.maxDepth, 3u);
                    token = Next(name);
                    EndStatementAt(token);
                    break;
                }
                uint32_t bound = BindableSlot(token, conditional);
                if (code == kTokenName && bound == kNoSlot) Emit(kOpIntegerCode, 0, token);
                declaring_ = declared;
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
                Emit(kOpIntegerCode, 0, token);
                uint8_t* close = Expression(0, Next(token));
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
                if (!Condition(At(block->condition), branch, true)) return false;
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
                    return true;
                }
                const Context closed = contexts_.back();
                const BlockRecord* block = closed.block;
                contexts_.pop_back();
                if (in_.GetBlock(reinterpret_cast<const TargetToken*>(token)->blockIndex) != block)
                    return false;
                if (block->kind == kBlockFor) {
                    uint32_t first = uint32_t(out_.ops.size());
                    if (block->step != 0 && Expression(0, At(block->step)) == nullptr) return false;
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
                if (loop == nullptr) return false;
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
            default:
                return false;
            }
            if (out_.ops.size() > (1u << 20)) return false;
        }
    }

    CInterpretor& in_;
    const BlockRecord* function_;
    CompiledFunction& out_;
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
    uint32_t pendingCalls_ = 0;
    // Prefix operators nested in the operand being compiled.
    uint32_t prefixes_ = 0;
    // What the ")" or "]" that ends the expression being compiled closes, innermost last.
    enum Closer : uint8_t { kParenthesis, kCallArguments, kIndexList };
    std::vector<uint8_t> closers_;
    // At each depth, the kOpElement step of the operand read there, or kNoElement.
    static constexpr uint32_t kNoElement = ~0u;
    uint32_t elementAt_[kMaxCompiledDepth + 2] = {};
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

void CInterpretor::RunCompiledCall(CIBaseObjectVar* current, const BlockRecord* function,
                                   const CompiledFunction& code) {
    if (code.returnsOnly) {
        const CallFrame& frame = Frame();
        int32_t result;
        if (QuickReturn(code, frame.slots, frame.count, result)) {
            SetCallResult(result);
            return;
        }
    }
    CallRecord* record = BeginCall(nullptr, current);
    // Emptied as the call ends, as its locals would be.
    struct Release {
        CValue* slots;
        uint32_t count;
        ~Release() {
            for (uint32_t i = 0; i < count; ++i)
                slots[i].SetInt(0);
        }
    };
    try {
        if (record->slotCapacity < code.slotCount) {
            auto* fresh = new (std::nothrow) CValue[code.slotCount];
            if (fresh == nullptr) RaiseError(15);
            record->slots.reset(fresh);
            record->slotCapacity = code.slotCount;
            for (uint32_t i = 0; i < code.slotCount; ++i)
                fresh[i].owner = this;
        }
        CValue* slots = record->slots.get();
        Release release{slots, code.slotCount};
        entryIndex = function->unitArgument;
        PushBlock(function);
        const CallFrame& frame = Frame();
        for (uint32_t n = 0; n < code.parameterCount; ++n) {
            if (int32_t(n) < frame.count)
                slots[n].Assign(frame.slots[n]);
            else
                slots[n].SetDefault();
        }
        RunCompiled(code, slots);
        Operand()->Assign(record->result);
    } catch (CIError*) {
        EndCall();
        throw;
    }
    EndCall();
}

bool CInterpretor::RunCompiledIntegers(const CompiledFunction& code, const CompiledOp* op,
                                       const CompiledOp* end, CValue* slots, uint64_t bound) {
    // The reads of kOpIntegerCode: an integer, or false for anything else.
    auto slotInteger = [slots](uint32_t slot, int32_t& value) {
        if (slots[slot].GetType() != kValueInt) return false;
        value = slots[slot].IntPayload();
        return true;
    };
    auto boundInteger = [&](uint32_t slot, int32_t& value) {
        return ((bound >> slot) & 1) != 0 && slotInteger(slot, value);
    };
    auto nameInteger = [this](uint8_t* token, int32_t& value) {
        currentToken = token;
        CVariable* variable = LookUp(reinterpret_cast<NameToken*>(token));
        if (variable == nullptr || variable->value.GetType() != kValueInt) return false;
        value = variable->value.IntPayload();
        return true;
    };
    // The right operand of an operator step, and for those that read their left operand
    // too, that one into `left`.
    auto rightInteger = [&](const CompiledOp& step, const int32_t* values, int32_t& left,
                            int32_t& right) {
        switch (step.op) {
        case kOpBinary:
            right = values[step.depth + 1];
            return true;
        case kOpBinarySlot:
            return slotInteger(step.index, right);
        case kOpBinaryBoundSlot:
            return boundInteger(step.index, right);
        case kOpBinaryInt:
            right = int32_t(step.index);
            return true;
        case kOpBinaryName:
            return nameInteger(GetStream() + step.count, right);
        case kOpSlotSlot:
            return slotInteger(step.count, left) && slotInteger(step.index, right);
        case kOpSlotInt:
            right = int32_t(step.index);
            return slotInteger(step.count, left);
        default:
            return false;
        }
    };
    // The calls under way: their functions and integer arguments, innermost last. A call
    // is worked out only when its site last ran a function answered from its Return
    // (QuickReturn), which has no effect; any other call runs in full.
    const BlockRecord* callFunctions[CompiledFunction::kMaxPendingCalls];
    int32_t callArguments[CompiledFunction::kMaxPendingCalls][kFrameSlots];
    uint32_t openCalls[CompiledFunction::kMaxPendingCalls];
    uint32_t openCount = 0;
    auto canAnswer = [&](const CompiledOp& call) {
        const BlockRecord* function = callFunctions[call.index];
        if (function == nullptr || function->kind != kBlockFunction ||
            callNesting_ >= kMaxCallNesting)
            return false;
        auto here = reinterpret_cast<uintptr_t>(__builtin_frame_address(0));
        if (stackBase_ != 0 && stackBase_ - here > kStackBudget) return false;
        const CompiledCallSite& site = code.sites[call.site];
        return site.function == function && site.code != nullptr && site.code->returnsOnly;
    };
    auto answer = [&](const CompiledOp& call, int32_t& result) {
        const int32_t* arguments = callArguments[call.index];
        const int32_t count = int32_t(call.count);
        auto parameter = [arguments, count](uint32_t index, int32_t& value) {
            if (int32_t(index) >= count) return false;
            value = arguments[index];
            return true;
        };
        return QuickReturnOf(*code.sites[call.site].code, parameter, result);
    };
    // The steps from `step` up to `last` on integers, each value at values[its depth],
    // run here rather than in a function of their own, which would cost a closure of all
    // the above on every statement. Each step goes on to the next one's code itself, and
    // each operator step has its own choice of operator, which the processor predicts far
    // better than shared ones.
    static const void* const kIntegerSteps[] = {
        &&Fail,        &&Name,       &&Int,        &&Fail,
        &&Fail,        &&Fail,       &&Slot,       &&Fail,
        &&Fail,        &&Fail,       &&BoundSlot,  &&Fail,
        &&Next,        &&Binary,     &&BinarySlot, &&BinaryBoundSlot,
        &&BinaryInt,   &&BinaryName, &&SlotSlot,   &&SlotInt,
        &&Fail,        &&Fail,       &&Fail,       &&Swap,
        &&Fail,        &&Fail,       &&Fail,       &&Fail,
        &&CallBegin,   &&Next,       &&Argument,   &&ArgumentSlot,
        &&ArgumentInt, &&Next,       &&CallEnd};
    static_assert(kOpOperand == 0 && kOpName == 1 && kOpInt == 2 && kOpSlot == 6 &&
                  kOpBoundSlot == 10 && kOpClear == 12 && kOpBinary == 13 && kOpSlotInt == 19 &&
                  kOpSwap == 23 && kOpCallBegin == 28 && kOpCallEnd == 34);
    int32_t values[CompiledFunction::kMaxQuickDepth + 1];
    int32_t result;
    const CompiledOp* step;
    const CompiledOp* last;
    CValue* target = nullptr;
    if (op->code == kIntegerValue) {
        step = op + 1;
        last = end;
    } else {
        target = &slots[op->count];
        if ((op->site != 0 && ((bound >> op->count) & 1) == 0) || target->GetType() > kValueDouble)
            return false;
        if (op->code != kIntegerAssign) {
            if (target->GetType() != kValueInt) return false;
            // The statement's value is the one before the step.
            result = target->IntPayload();
            uint32_t increment = op->code == kIntegerIncrement ? 1u : ~0u;
            target->SetInt(int32_t(uint32_t(result) + increment));
            goto Store;
        }
        // "slot = value" may be a single step, which reads the value itself.
        step = std::min(op + 2, end - 1);
        last = end - 1;
    }
#define ZORV_INTEGER_STEP()                                                                        \
    do {                                                                                           \
        if (++step == last) goto Done;                                                             \
        if (step->op >= std::size(kIntegerSteps)) return false;                                    \
        goto* kIntegerSteps[step->op];                                                             \
    } while (false)
#define ZORV_INTEGER_OPERATOR(read)                                                                \
    do {                                                                                           \
        int32_t& here = values[step->depth];                                                       \
        int32_t right;                                                                             \
        if (!(read) || !IntegerResult(step->code, uint32_t(here), uint32_t(right), here))          \
            return false;                                                                          \
        ZORV_INTEGER_STEP();                                                                       \
    } while (false)
    --step;
    ZORV_INTEGER_STEP();
Slot:
    if (!slotInteger(step->index, values[step->depth])) return false;
    ZORV_INTEGER_STEP();
BoundSlot:
    if (!boundInteger(step->index, values[step->depth])) return false;
    ZORV_INTEGER_STEP();
Int:
    values[step->depth] = int32_t(step->index);
    ZORV_INTEGER_STEP();
Name:
    if (!nameInteger(step->token, values[step->depth])) return false;
    ZORV_INTEGER_STEP();
Swap:
    values[step->depth] = values[step->depth + 1];
    ZORV_INTEGER_STEP();
Next:
    ZORV_INTEGER_STEP();
Binary:
    ZORV_INTEGER_OPERATOR((right = values[step->depth + 1], true));
BinarySlot:
    ZORV_INTEGER_OPERATOR(slotInteger(step->index, right));
BinaryBoundSlot:
    ZORV_INTEGER_OPERATOR(boundInteger(step->index, right));
BinaryInt:
    ZORV_INTEGER_OPERATOR((right = int32_t(step->index), true));
BinaryName:
    ZORV_INTEGER_OPERATOR(nameInteger(GetStream() + step->count, right));
SlotSlot:
    ZORV_INTEGER_OPERATOR(slotInteger(step->count, here) && slotInteger(step->index, right));
SlotInt:
    ZORV_INTEGER_OPERATOR((right = int32_t(step->index), slotInteger(step->count, here)));
CallBegin : {
    currentToken = step->token;
    CVariable* variable = LookUpFunction(reinterpret_cast<NameToken*>(step->token));
    if (variable == nullptr || variable->value.GetType() != kValueFunction) return false;
    callFunctions[step->index] = variable->value.GetFunction();
    openCalls[openCount++] = step->index;
    ZORV_INTEGER_STEP();
}
Argument:
    callArguments[openCalls[openCount - 1]][step->index] = values[step->depth + 1];
    ZORV_INTEGER_STEP();
ArgumentSlot:
    if (!slotInteger(step->count, callArguments[openCalls[openCount - 1]][step->index]))
        return false;
    ZORV_INTEGER_STEP();
ArgumentInt:
    callArguments[openCalls[openCount - 1]][step->index] = int32_t(step->count);
    ZORV_INTEGER_STEP();
CallEnd:
    --openCount;
    if (!canAnswer(*step) || !answer(*step, values[step->depth])) return false;
    ZORV_INTEGER_STEP();
#undef ZORV_INTEGER_OPERATOR
#undef ZORV_INTEGER_STEP
Fail:
    return false;
Done:
    if (target == nullptr) {
        result = values[1];
    } else {
        int32_t unused;
        if (!rightInteger(end[-1], values, unused, result)) return false;
        target->SetInt(result);
    }
Store:
    // The value above the statement's base, where the walk leaves it.
    StackSlot* place = slots_[depth_ + 1];
    place->value.SetInt(result);
    place->value.source = nullptr;
    place->anchorKind = kValueInt;
    return true;
}

void CInterpretor::PushSlot(CValue* value) {
    CValue* slot = Operand();
    if (value->GetType() <= kValueDouble) {
        slot->Assign(*value);
        slot->source = value;
    } else {
        PushVariable(value);
    }
}

void CInterpretor::EndCompiledStatement(uint32_t poolMark) {
    if (pendingEvent_ != 0 && eventsEnabled != 0 && handlerDepth_ == 0) DispatchEvent();
    if (--statementCounter_ < 0) {
        statementCounter_ = statementsPerCheck;
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

void CInterpretor::RunCompiled(const CompiledFunction& code, CValue* slots) {
    const HandlerTables& tables = Tables();
    const uint32_t base = depth_;
    if (base + code.maxDepth + 2 >= stackCapacity_) GrowValueStack(base + code.maxDepth + 2);
    const uint32_t poolMark = temporaryTextCount_;
    const std::atomic<uint32_t>& stopRequest = StopRequestFlag();
    const BlockRecord* pending[CompiledFunction::kMaxPendingCalls];
    const CompiledOp* ops = code.ops.data();
    const CompiledOp* op = ops;
    // The slots this call bound to names (kOpBindName).
    uint64_t bound = 0;
    // Most statements end with nothing to do but count them.
    auto quiet = [&] {
        return pendingEvent_ == 0 && statementCounter_ > 0 && pendingEndCode < 0 &&
               stopRequest.load(std::memory_order_relaxed) == 0;
    };
    // Operand() at a place of the value stack. Written without captures, as the
    // frame of a deep recursion of compiled calls holds every closure.
    auto cleared = [](StackSlot* slot) -> CValue& {
        slot->value.source = nullptr;
        slot->anchorKind = kValueInt;
        return slot->value;
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
                                         &&DoIntegerCode,
                                         &&DoElementSlot,
                                         &&DoElementBoundSlot,
                                         &&DoElementName,
                                         &&DoElementIndex,
                                         &&DoElement,
                                         &&DoElementAssign,
                                         &&DoNewArray,
                                         &&DoNewArrayEnd,
                                         &&DoElementRead};
    static_assert(std::size(kSteps) == kOpElementRead + 1);
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
    --op;
    ZORV_NEXT_STEP();
DoOperand:
    ZORV_SYNC();
    tables.operand[op->code](*this);
    ZORV_NEXT_STEP();
DoName : {
    ZORV_SYNC();
    // A number read as it is, as EvalIdentifier reads it; anything else through it.
    CVariable* variable = LookUp(reinterpret_cast<NameToken*>(op->token));
    if (variable != nullptr && variable->value.GetType() <= kValueDouble) {
        CValue* slot = Operand();
        slot->Assign(variable->value);
        slot->source = &variable->value;
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
    const CountingRound& round = code.rounds[op->index];
    if (!IsBoundOrPlain(bound, code, round.counter)) ZORV_NEXT_STEP();
    CValue* counter = &slots[round.counter];
    if (counter->GetType() != kValueInt) ZORV_NEXT_STEP();
    const CValue* limitValue = nullptr;
    if (round.limitSlot != CountingRound::kNoLimitSlot) {
        if (!IsBoundOrPlain(bound, code, round.limitSlot)) ZORV_NEXT_STEP();
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
    place->value.source = nullptr;
    place->anchorKind = kValueInt;
    place = slots_[base + 2];
    place->value.SetInt(b);
    place->value.source = nullptr;
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
    if (value->GetType() <= kValueDouble) {
        CValue& slot = cleared(slots_[base + op->depth]);
        slot.Assign(*value);
        slot.source = value;
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
    ZORV_SYNC();
    // Bound already (a loop's next round), the local is found before any other scope.
    if (((bound >> op->index) & 1) != 0) goto PushBoundSlot;
    tables.operand[kTokenName](*this);
    if (Left()->GetType() == kValueUnboundName) bound |= uint64_t(1) << op->index;
    ZORV_NEXT_STEP();
}
DoAssignBound:
    ZORV_SYNC();
    if (((bound >> op->index) & 1) != 0) {
        const CValue* right = Right();
        if (IsPlaceholder(right->GetType())) RaiseError(41);
        slots[op->index].Assign(*right);
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
PushBoundSlot:
    currentToken = op->token + reinterpret_cast<const TokenHeader*>(op->token)->size;
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
    CValue* left = &slots_[base + op->depth]->value;
    const CValue* right = &slots[op->index];
    if (left->IsIntPair(*right) && IntegerOperation(op->code, *left, *right)) ZORV_NEXT_STEP();
    if (left->GetType() == kValueDouble && right->GetType() == kValueDouble &&
        DoubleOperation(op->code, *left, *right))
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
    CValue* left = &slots_[base + op->depth]->value;
    if (left->GetType() == kValueInt && IntegerOperation(op->code, *left, int32_t(op->index)))
        ZORV_NEXT_STEP();
    ZORV_SYNC();
    depth_ = base + op->depth + 1;
    Operand()->SetInt(int32_t(op->index));
    depth_ = base + op->depth;
    goto DoBinary;
}
DoBinaryDouble : {
    CValue* left = &slots_[base + op->depth]->value;
    const double right = code.doubles[op->index];
    if (left->GetType() == kValueDouble && DoubleOperation(op->code, *left, right))
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
        DoubleResult(op->code, left.DoublePayload(), code.doubles[op->index], result)) {
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
        if (left->IsIntPair(right) && IntegerOperation(op->code, *left, right)) ZORV_NEXT_STEP();
        if (left->GetType() == kValueDouble && right.GetType() == kValueDouble &&
            DoubleOperation(op->code, *left, right))
            ZORV_NEXT_STEP();
    }
    // Else as kOpName and the operator would go, one after the other.
    depth_ = base + op->depth + 1;
    if (variable != nullptr && variable->value.GetType() <= kValueDouble) {
        CValue* slot = Operand();
        slot->Assign(variable->value);
        slot->source = &variable->value;
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
    CValue* left = &slots_[base + op->depth]->value;
    const CValue* right = &slots_[base + op->depth + 1]->value;
    if (left->IsIntPair(*right) && IntegerOperation(op->code, *left, *right)) ZORV_NEXT_STEP();
    if (left->GetType() == kValueDouble && right->GetType() == kValueDouble &&
        DoubleOperation(op->code, *left, *right))
        ZORV_NEXT_STEP();
    ZORV_SYNC();
    if (op->code == kTokenAssign && left->GetType() <= kValueDouble && left->source != nullptr &&
        slots_[depth_]->anchorKind != kValueObject) {
        // A number read from a variable, assigned as BinaryAssign does.
        left->source->Assign(*right);
        SwapSlots(depth_, depth_ + 1);
        ZORV_NEXT_STEP();
    }
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
    result->source = nullptr;
    ZORV_NEXT_STEP();
}
DoSwap:
    SwapSlots(base + op->depth, base + op->depth + 1);
    ZORV_NEXT_STEP();
DoNegate:
    ZORV_SYNC();
    Left()->Negate();
    Left()->source = nullptr;
    ZORV_NEXT_STEP();
DoNot:
    ZORV_SYNC();
    Left()->Not();
    Left()->source = nullptr;
    ZORV_NEXT_STEP();
DoComplement:
    ZORV_SYNC();
    Left()->Complement();
    Left()->source = nullptr;
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
DoCallBegin : {
    ZORV_SYNC();
    CVariable* variable = LookUpFunction(reinterpret_cast<NameToken*>(op->token));
    if (variable == nullptr) RaiseError(42);
    if (variable->value.GetType() != kValueFunction) RaiseError(128);
    Operand();
    pending[op->index] = variable->value.GetFunction();
    ZORV_NEXT_STEP();
}
DoArgumentsBegin:
    // Calls inside the arguments use the next frame.
    if (frameIndex_ + 1 >= frameCount_) {
        ZORV_SYNC();
        EnsureFrame(frameIndex_ + 1);
    }
    ++frameIndex_;
    ZORV_NEXT_STEP();
DoArgument:
    frames_[frameIndex_ - 1]->slots[op->index].Assign(slots_[base + op->depth + 1]->value);
    ZORV_NEXT_STEP();
DoArgumentSlot : {
    CValue* value = &slots[op->count];
    if (value->GetType() <= kValueDouble) {
        frames_[frameIndex_ - 1]->slots[op->index].Assign(*value);
        ZORV_NEXT_STEP();
    }
    ZORV_SYNC();
    depth_ = base + op->depth + 1;
    PushSlot(value);
    depth_ = base + op->depth;
    goto DoArgument;
}
DoArgumentInt : {
    CValue& argument = frames_[frameIndex_ - 1]->slots[op->index];
    argument.owner = this;
    argument.SetInt(int32_t(op->count));
    ZORV_NEXT_STEP();
}
DoArgumentsEnd:
    --frameIndex_;
    ZORV_NEXT_STEP();
DoCallEnd : {
    ZORV_SYNC();
    Frame().count = int32_t(op->count);
    if (slots_[depth_]->anchorKind == kValueObject &&
        slots_[depth_]->anchor.GetType() != kValueObject)
        RaiseError(32);
    const BlockRecord* function = pending[op->index];
    if (function == nullptr || function->kind != kBlockFunction) RaiseError(40);
    if (callNesting_ >= kMaxCallNesting) RaiseError(15);
    CheckStack();
    CompiledCallSite& site = code.sites[op->site];
    if (site.function != function) site = {function, CompiledFor(function)};
    if (site.code != nullptr && site.code->returnsOnly) {
        // As RunCompiledCall begins, without the call into it.
        const CallFrame& frame = Frame();
        int32_t result;
        if (QuickReturn(*site.code, frame.slots, frame.count, result)) {
            CValue& place = cleared(slots_[depth_]);
            place.SetInt(result);
            place.owner = this;
            ZORV_NEXT_STEP();
        }
    }
    if (site.code != nullptr)
        RunCompiledCall(currentObject_, function, *site.code);
    else
        InvokeFunction(nullptr, currentObject_, function);
    ZORV_NEXT_STEP();
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
    if (uint64_t dropped = code.blockSlots[op->index] & bound; dropped != 0) {
        // The locals made in the block go with it, as the walk drops them.
        bound &= ~dropped;
        for (uint32_t slot = 0; slot < 64; ++slot)
            if (((dropped >> slot) & 1) != 0) slots[slot].SetInt(0);
    }
    PopBlock();
    ZORV_NEXT_STEP();
DoReturn:
    ZORV_SYNC();
    if (returnValue_ != nullptr) returnValue_->Assign(slots_[base + 1]->value);
    depth_ = base;
    return;
DoReturnZero:
    ZORV_SYNC();
    if (returnValue_ != nullptr) returnValue_->SetInt(0);
    depth_ = base;
    return;
DoIntegerCode : {
    depth_ = base;
    const CompiledOp* end = ops + op->index;
    if (!RunCompiledIntegers(code, op, end, slots, bound)) ZORV_NEXT_STEP();
    // The step at the end taken here too, when it has nothing to do but count or branch.
    if (end->op == kOpBranchTrue) {
        op = slots_[base + 1]->value.IntPayload() != 0 ? ops + end->index - 1 : end;
    } else if (quiet()) {
        --statementCounter_;
        op = end->op == kOpEndAndJump ? ops + end->index - 1 : end;
    } else {
        op = end - 1;
    }
    ZORV_NEXT_STEP();
}
DoElementBoundSlot:
    if (((bound >> op->count) & 1) == 0) goto DoElementName;
DoElementSlot:
    // The variable waits in its place while the indices are worked out above it.
    cleared(slots_[base + op->depth]).source = &slots[op->count];
    ZORV_NEXT_STEP();
DoElementName : {
    ZORV_SYNC();
    if (CVariable* variable = LookUp(reinterpret_cast<NameToken*>(op->token))) {
        cleared(slots_[base + op->depth]).source = &variable->value;
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
        const CValue& variable = *place->value.source;
        CScriptArray* array = ArrayOf(variable);
        uint32_t flat;
        if (array != nullptr && array->FindFlatIndex(place->indices, op->count, flat) &&
            array->ReadNumber(flat, place->value)) {
            place->value.source = nullptr;
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
    CompiledElementOperand(int(op->count));
    ZORV_NEXT_STEP();
}
DoElementAssign : {
    if (op->code == kTokenAssign) {
        // A number over a number in its cell, the commonest store.
        StackSlot* place = slots_[base + op->depth];
        CScriptArray* array = ArrayOf(place->anchor);
        uint32_t flat;
        if (place->anchorKind == kValueArray && place->value.source == nullptr &&
            place->value.GetType() <= kValueDouble && array != nullptr &&
            array->FindFlatIndex(place->indices, uint32_t(place->indexCount), flat) &&
            array->WriteNumber(flat, slots_[base + op->depth + 1]->value)) {
            SwapSlots(base + op->depth, base + op->depth + 1);
            ZORV_NEXT_STEP();
        }
    }
    ZORV_SYNC();
    const StackSlot* place = slots_[depth_];
    if (place->anchorKind == kValueArray && place->value.source == nullptr &&
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
    NewArrayFromPlaceholder(int(op->count));
    op = ops + op->index - 1;
    ZORV_NEXT_STEP();
DoElementRead : {
    const ElementRead& read = code.elementReads[op->count];
    const CValue* variable;
    if (read.begin == kOpElementSlot ||
        (read.begin == kOpElementBoundSlot && ((bound >> read.slot) & 1) != 0)) {
        variable = &slots[read.slot];
    } else {
        ZORV_SYNC();
        CVariable* found = LookUp(reinterpret_cast<NameToken*>(op->token));
        if (found == nullptr) ZORV_NEXT_STEP();
        variable = &found->value;
    }
    int32_t indices[ElementRead::kMaxIndices];
    for (uint32_t k = 0; k < read.count; ++k) {
        if (read.sources[k] == kIndexFromInteger) {
            indices[k] = int32_t(read.values[k]);
            continue;
        }
        const CValue& index = slots[read.values[k]];
        if ((read.sources[k] == kIndexFromBoundSlot && ((bound >> read.values[k]) & 1) == 0) ||
            index.GetType() != kValueInt)
            ZORV_NEXT_STEP();
        indices[k] = index.IntPayload();
    }
    CScriptArray* array = ArrayOf(*variable);
    StackSlot* place = slots_[base + op->depth];
    uint32_t flat;
    if (array == nullptr || !array->FindFlatIndex(indices, read.count, flat) ||
        !array->ReadNumber(flat, place->value))
        ZORV_NEXT_STEP();
    place->value.source = nullptr;
    place->anchorKind = kValueInt;
    if (op->code == kElementTarget) {
        if (!place->anchor.HoldsSameArray(*variable)) place->anchor.Assign(*variable);
        place->anchorKind = kValueArray;
        place->indexCount = int32_t(read.count);
        std::copy_n(indices, read.count, place->indices);
    }
    op = ops + op->index - 1;
    ZORV_NEXT_STEP();
}
#undef ZORV_NEXT_STEP
#undef ZORV_SYNC
}
