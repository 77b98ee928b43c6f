// The number code of compiled functions: an assignment, step or condition whose
// expression has only operators of numbers is worked out on plain integers and doubles,
// each beside its kind, and only its result is stored into values.
// Each operator gives what CValue gives for the same operands; where CValue would fail,
// or a value read is no number, the number code gives up before anything has changed,
// and the full steps that follow it work the expression out and raise the error.
#include <algorithm>
#include <bit>
#include <cmath>
#include <iterator>

#include "script/classes/base_class.h"
#include "script/interpreter/compiled_code.h"
#include "script/interpreter/compiled_numbers.h"
#include "script/interpreter/interpretor.h"
#include "script/language/token_record.h"
#include "script/values/number_text.h"

namespace {

// The places of an expression's values, by depth. Kinds and numbers are kept apart and
// every number is written whole, so that each read of a place finds one earlier write of
// its full width: the processor hands that on without waiting for the store. Places of
// integers alone (`kIntegers`) keep no kinds.
template <bool kIntegers> struct Places {
    int64_t bits[CompiledFunction::kMaxQuickDepth + 1];
    uint32_t kinds[kIntegers ? 1 : CompiledFunction::kMaxQuickDepth + 1];
    Number Get(uint32_t depth) const {
        return Number{bits[depth], kIntegers ? uint32_t(kValueInt) : kinds[depth]};
    }
    void Set(uint32_t depth, const Number& n) {
        bits[depth] = n.bits;
        if constexpr (!kIntegers) kinds[depth] = n.kind;
    }
};

} // namespace

template <bool kIntegers>
bool CInterpretor::RunCompiledNumbers(const CompiledFunction& code, const CompiledOp* op,
                                      const CompiledOp* end, CValue* slots, uint64_t bound) {
    // The reads of kOpNumberCode: a number, or false for anything else.
    auto slotNumber = [slots](uint32_t slot, Number& value) {
        return Read<kIntegers>(slots[slot], value);
    };
    auto boundNumber = [&](uint32_t slot, Number& value) {
        return ((bound >> slot) & 1) != 0 && slotNumber(slot, value);
    };
    auto nameNumber = [this](uint8_t* token, Number& value) {
        currentToken = token;
        CVariable* variable = LookUp(reinterpret_cast<NameToken*>(token));
        return variable != nullptr && Read<kIntegers>(variable->value, value);
    };
    // The right operand of an operator step, and for those that read their left operand
    // too, that one into `left`.
    auto rightNumber = [&](const CompiledOp& step, const Places<kIntegers>& values, Number& left,
                           Number& right) {
        switch (step.op) {
        case kOpBinary:
            right = values.Get(step.depth + 1);
            return true;
        case kOpBinarySlot:
            return slotNumber(step.index, right);
        case kOpBinaryBoundSlot:
            return boundNumber(step.index, right);
        case kOpBinaryInt:
            right = Integer(int32_t(step.index));
            return true;
        case kOpBinaryDouble:
            right = Double(code.doubles[step.index]);
            return !kIntegers;
        case kOpBinaryName:
            return nameNumber(GetStream() + step.count, right);
        case kOpSlotSlot:
            return slotNumber(step.count, left) && slotNumber(step.index, right);
        case kOpSlotInt:
            right = Integer(int32_t(step.index));
            return slotNumber(step.count, left);
        case kOpSlotDouble:
            right = Double(code.doubles[step.index]);
            return !kIntegers && slotNumber(step.count, left);
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
    // A singleton's method of one number (NumberMethod) stands among the open calls as
    // kMethodCall, with its method and argument beside it, by place among them.
    constexpr uint32_t kMethodCall = UINT32_MAX;
    NumberMethod openMethods[CompiledFunction::kMaxPendingCalls] = {};
    double methodArguments[CompiledFunction::kMaxPendingCalls];
    auto canAnswer = [&](const CompiledOp& call) {
        const BlockRecord* function = callFunctions[call.index];
        if (function == nullptr || function->kind != kBlockFunction ||
            callNesting_ >= kMaxCallNesting)
            return false;
        auto here = reinterpret_cast<uintptr_t>(__builtin_frame_address(0));
        if (stackBase_ != 0 && stackBase_ - here > kStackBudget) return false;
        const CompiledCallSite& site = code.sites[call.site];
        if (site.function != function) return false;
        if (site.code != nullptr && site.code->returnsOnly) return true;
        // The site's function runs in full: so will the next runs' most likely, and the
        // attempts here would only be thrown away each time.
        code.metDoubles[op->depth] = CompiledFunction::kCallsInFull;
        return false;
    };
    auto answer = [&](const CompiledOp& call, Number& result) {
        const int32_t* arguments = callArguments[call.index];
        const int32_t count = int32_t(call.count);
        auto parameter = [arguments, count](uint32_t index, int32_t& value) {
            if (int32_t(index) >= count) return false;
            value = arguments[index];
            return true;
        };
        int32_t value;
        if (!QuickReturnOf(*code.sites[call.site].code, parameter, value)) return false;
        result = Integer(value);
        return true;
    };
    // The steps from `step` up to `last`, each value in `values` at its depth, run here
    // rather than in a function of their own, which would cost a closure of all the above
    // on every statement. Each step goes on to the next one's code itself, and each
    // operator step has its own choice of operator, which the processor predicts far
    // better than shared ones. The steps from kOpNumberCode to kOpMemberNumbers are none of
    // an expression's but the kOpSlotStatement before an assignment (AddStackStatements),
    // which these steps do themselves; the call steps fused (FuseCall) take the labels of
    // the steps they fuse.
    static const void* const kNumberSteps[] = {
        &&Fail,        &&Name,       &&Int,        &&Double,
        &&Fail,        &&Fail,       &&Slot,       &&Fail,
        &&Fail,        &&Fail,       &&BoundSlot,  &&Fail,
        &&Next,        &&Binary,     &&BinarySlot, &&BinaryBoundSlot,
        &&BinaryInt,   &&BinaryName, &&SlotSlot,   &&SlotInt,
        &&Fail,        &&Fail,       &&Fail,       &&Swap,
        &&Negate,      &&Not,        &&Complement, &&Fail,
        &&CallBegin,   &&Next,       &&Argument,   &&ArgumentSlot,
        &&ArgumentInt, &&Next,       &&CallEnd,    &&Fail,
        &&Fail,        &&Fail,       &&Fail,       &&Fail,
        &&Fail,        &&Fail,       &&Fail,       &&BinaryDouble,
        &&SlotDouble,  &&Fail,       &&Fail,       &&Fail,
        &&Fail,        &&Fail,       &&Fail,       &&Fail,
        &&Fail,        &&Fail,       &&MethodHead, &&Fail,
        &&Next,        &&MethodEnd,  &&Fail,       &&Fail,
        &&Fail,        &&Fail,       &&Fail,       &&Fail,
        &&Fail,        &&Fail,       &&Fail,       &&Fail,
        &&Fail,        &&Fail,       &&Fail,       &&Fail,
        &&Fail,        &&Fail,       &&Fail,       &&Fail,
        &&Fail,        &&Next,       &&Fail,       &&Fail,
        &&Fail,        &&CallBegin,  &&CallEnd,    &&CallBare,
        &&Next,        &&Next};
    static_assert(kOpOperand == 0 && kOpName == 1 && kOpInt == 2 && kOpDouble == 3 &&
                  kOpSlot == 6 && kOpBoundSlot == 10 && kOpClear == 12 && kOpBinary == 13 &&
                  kOpSlotInt == 19 && kOpSwap == 23 && kOpNegate == 24 && kOpComplement == 26 &&
                  kOpCallBegin == 28 && kOpCallEnd == 34 && kOpBinaryDouble == 43 &&
                  kOpSlotDouble == 44 && kOpChainHead == 54 && kOpMethodBegin == 56 &&
                  kOpMethodEnd == 57 && kOpSlotStatement == 77 && kOpCallOpen == 81 &&
                  std::size(kNumberSteps) == kOpCallDirect + 1);
    // On integers, the steps are entered only while their number code has met no double nor
    // a call run in full.
    if (!kIntegers && code.metDoubles[op->depth] == CompiledFunction::kCallsInFull) return false;
    Places<kIntegers> values;
    Number result;
    const CompiledOp* step;
    const CompiledOp* last;
    CValue* target = nullptr;
    if (op->code == kNumberValue) {
        step = op + 1;
        last = end;
    } else {
        target = &slots[op->count];
        if ((op->site != 0 && ((bound >> op->count) & 1) == 0) ||
            target->StoredType() > kValueDouble)
            goto Fail;
        if (op->code != kNumberAssign) {
            // The statement's value is the one before the step.
            if (!Read<kIntegers>(*target, result)) goto Fail;
            if (result.kind == kValueInt) {
                const uint32_t increment = op->code == kNumberIncrement ? 1u : ~0u;
                target->SetInt(int32_t(uint32_t(result.Int()) + increment));
            } else {
                target->SetFloat(result.Dbl() + (op->code == kNumberIncrement ? 1.0 : -1.0));
            }
            goto Stored;
        }
        // "slot = value" may be a single step, which reads the value itself.
        step = std::min(op + 2, end - 1);
        last = end - 1;
    }
#define ZORV_NUMBER_STEP()                                                                         \
    do {                                                                                           \
        if (++step == last) goto Done;                                                             \
        if (step->op >= std::size(kNumberSteps)) goto Fail;                                        \
        goto* kNumberSteps[step->op];                                                              \
    } while (false)
#define ZORV_NUMBER_OPERATOR(read)                                                                 \
    do {                                                                                           \
        Number here = values.Get(step->depth);                                                     \
        Number right;                                                                              \
        if (!(read) || !NumberResult<kIntegers>(step->code, here, right)) goto Fail;               \
        values.Set(step->depth, here);                                                             \
        ZORV_NUMBER_STEP();                                                                        \
    } while (false)
#define ZORV_NUMBER_READ(read)                                                                     \
    do {                                                                                           \
        Number value;                                                                              \
        if (!(read)) goto Fail;                                                                    \
        values.Set(step->depth, value);                                                            \
        ZORV_NUMBER_STEP();                                                                        \
    } while (false)
    --step;
    ZORV_NUMBER_STEP();
Slot:
    ZORV_NUMBER_READ(slotNumber(step->index, value));
BoundSlot:
    ZORV_NUMBER_READ(boundNumber(step->index, value));
Int:
    values.Set(step->depth, Integer(int32_t(step->index)));
    ZORV_NUMBER_STEP();
Double:
    if constexpr (kIntegers) goto Fail;
    values.Set(step->depth, Double(reinterpret_cast<const DoubleToken*>(step->token)->value));
    ZORV_NUMBER_STEP();
Name:
    ZORV_NUMBER_READ(nameNumber(step->token, value));
Swap:
    values.Set(step->depth, values.Get(step->depth + 1));
    ZORV_NUMBER_STEP();
Next:
    ZORV_NUMBER_STEP();
Negate : {
    const Number here = values.Get(step->depth);
    values.Set(step->depth, here.kind == kValueInt ? Integer(int32_t(0u - uint32_t(here.Int())))
                                                   : Double(-here.Dbl()));
    ZORV_NUMBER_STEP();
}
Not : {
    const Number here = values.Get(step->depth);
    values.Set(step->depth, Integer(here.kind == kValueInt ? here.Int() == 0 : here.Dbl() == 0.0));
    ZORV_NUMBER_STEP();
}
Complement:
    values.Set(step->depth, Integer(~AsInt(values.Get(step->depth))));
    ZORV_NUMBER_STEP();
Binary:
    ZORV_NUMBER_OPERATOR((right = values.Get(step->depth + 1), true));
BinarySlot:
    ZORV_NUMBER_OPERATOR(slotNumber(step->index, right));
BinaryBoundSlot:
    ZORV_NUMBER_OPERATOR(boundNumber(step->index, right));
BinaryInt:
    ZORV_NUMBER_OPERATOR((right = Integer(int32_t(step->index)), true));
BinaryDouble:
    if constexpr (kIntegers) goto Fail;
    ZORV_NUMBER_OPERATOR((right = Double(code.doubles[step->index]), true));
BinaryName:
    ZORV_NUMBER_OPERATOR(nameNumber(GetStream() + step->count, right));
SlotSlot:
    ZORV_NUMBER_OPERATOR(slotNumber(step->count, here) && slotNumber(step->index, right));
SlotInt:
    ZORV_NUMBER_OPERATOR((right = Integer(int32_t(step->index)), slotNumber(step->count, here)));
SlotDouble:
    if constexpr (kIntegers) goto Fail;
    ZORV_NUMBER_OPERATOR(
        (right = Double(code.doubles[step->index]), slotNumber(step->count, here)));
CallBegin:
CallBare : {
    currentToken = step->token;
    // The site's variable while This and the globals are as they were, as the full
    // steps find it.
    CompiledCallSite& site = code.sites[step->site];
    CVariable* variable =
        site.currentStamp == currentObject_->GetStamp() && site.globalsStamp == GetStamp()
            ? site.variable
            : LookUpCallSite(site, reinterpret_cast<NameToken*>(step->token));
    if (variable == nullptr || variable->value.GetType() != kValueFunction) goto Fail;
    callFunctions[step->index] = variable->value.GetFunction();
    openCalls[openCount++] = step->index;
    if (step->op == kOpCallBare) goto CallEnd;
    ZORV_NUMBER_STEP();
}
Argument : {
    const Number argument = values.Get(step->depth + 1);
    if (openCalls[openCount - 1] == kMethodCall) {
        methodArguments[openCount - 1] =
            argument.kind == kValueInt ? double(argument.Int()) : argument.Dbl();
        ZORV_NUMBER_STEP();
    }
    if (argument.kind != kValueInt) goto Fail;
    callArguments[openCalls[openCount - 1]][step->index] = argument.Int();
    ZORV_NUMBER_STEP();
}
ArgumentSlot : {
    const CValue& argument = slots[step->count];
    if (openCalls[openCount - 1] == kMethodCall) {
        Number value;
        if (!Read<kIntegers>(argument, value)) goto Fail;
        methodArguments[openCount - 1] =
            value.kind == kValueInt ? double(value.Int()) : value.Dbl();
        ZORV_NUMBER_STEP();
    }
    if (argument.StoredType() != kValueInt) goto Fail;
    callArguments[openCalls[openCount - 1]][step->index] = argument.IntPayload();
    ZORV_NUMBER_STEP();
}
ArgumentInt:
    if (openCalls[openCount - 1] == kMethodCall)
        methodArguments[openCount - 1] = double(int32_t(step->count));
    else
        callArguments[openCalls[openCount - 1]][step->index] = int32_t(step->count);
    ZORV_NUMBER_STEP();
CallEnd : {
    --openCount;
    Number value;
    if (!canAnswer(*step) || !answer(*step, value)) goto Fail;
    values.Set(step->depth, value);
    ZORV_NUMBER_STEP();
}
MethodHead : {
    // A singleton's method of one argument, its method the one the site found when the full
    // steps called it on the singleton's class; the result is a double.
    if constexpr (kIntegers) goto Fail;
    const CompiledOp& begin = step[1];
    if (step->code != kChainSingleton || begin.op != kOpMethodBegin ||
        openCount == CompiledFunction::kMaxPendingCalls)
        goto Fail;
    if (begin.count != 1) {
        // Methods of two numbers are called by register programs only.
        code.metDoubles[op->depth] = CompiledFunction::kCallsInFull;
        goto Fail;
    }
    const CIBaseClassImpl* object =
        singletons_[reinterpret_cast<const TokenHeader*>(step->token)->code];
    if (object == nullptr) goto Fail;
    const CClassRecord* record = object->classRecord;
    const CompiledMethodSite& site = code.methodSites[begin.site];
    if (record == nullptr || site.record != record) goto Fail;
    const ScriptClassInfo* info = record->info;
    const NumberMethod method = info != nullptr && site.id < info->numberMethodCount
                                    ? info->numberMethods[site.id]
                                    : nullptr;
    if (method == nullptr) {
        // A method of any other kind runs in full, on the next runs too.
        code.metDoubles[op->depth] = CompiledFunction::kCallsInFull;
        goto Fail;
    }
    openMethods[openCount] = method;
    openCalls[openCount++] = kMethodCall;
    ZORV_NUMBER_STEP();
}
MethodEnd:
    --openCount;
    values.Set(step->depth, Double(openMethods[openCount](methodArguments[openCount])));
    ZORV_NUMBER_STEP();
#undef ZORV_NUMBER_READ
#undef ZORV_NUMBER_OPERATOR
#undef ZORV_NUMBER_STEP
Fail:
    // On integers, what they cannot take goes on to the steps that keep kinds, in a call that
    // takes this one's place.
    if constexpr (kIntegers)
        return ReplayOnKinds(code, op, end, slots, bound);
    else
        return false;
Done:
    if (target == nullptr) {
        result = values.Get(1);
    } else {
        const CompiledOp& assignment = end[-1];
        Number unused;
        if (!rightNumber(assignment, values, unused, result)) goto Fail;
        if (assignment.code != kTokenAssign) {
            // The variable's value as the operator's left side, the result its new value.
            Number now;
            if (!Read<kIntegers>(*target, now) ||
                !NumberResult<kIntegers>(CompoundOperator(assignment.code), now, result))
                goto Fail;
            result = now;
        }
        StoreNumber(*target, result);
    }
Stored:
    // The value above the statement's base, where the walk leaves it.
    if constexpr (kIntegers) {
        return LeaveInteger(result.Int());
    } else {
        StackSlot* place = slots_[depth_ + 1];
        StoreNumber(place->value, result);
        place->source = nullptr;
        place->anchorKind = kValueInt;
        return true;
    }
}

bool CInterpretor::ReplayOnKinds(const CompiledFunction& code, const CompiledOp* op,
                                 const CompiledOp* end, CValue* slots, uint64_t bound) {
    if (!RunCompiledNumbers<false>(code, op, end, slots, bound)) return false;
    code.metDoubles[op->depth] = 1;
    return true;
}

template bool CInterpretor::RunCompiledNumbers<true>(const CompiledFunction& code,
                                                     const CompiledOp* op, const CompiledOp* end,
                                                     CValue* slots, uint64_t bound);
template bool CInterpretor::RunCompiledNumbers<false>(const CompiledFunction& code,
                                                      const CompiledOp* op, const CompiledOp* end,
                                                      CValue* slots, uint64_t bound);
