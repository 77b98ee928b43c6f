// Calls of compiled code: what a call sets up beside its slots, and the slot stack,
// whose top gives a call its slots as it begins (the caller evaluates the arguments
// straight into them) and takes them back, emptied, as it ends.
#include <new>

#include "script/interpreter/compiled_code.h"
#include "script/interpreter/compiled_numbers.h"
#include "script/interpreter/interpretor.h"
#include "script/language/token_codes.h"
#include "script/language/token_record.h"
#include "script/values/script_array.h"

namespace {

uint16_t CodeAfter(const uint8_t* token) {
    const auto* header = reinterpret_cast<const TokenHeader*>(token);
    return reinterpret_cast<const TokenHeader*>(token + header->size)->code;
}

// Whether what follows a name may assign to it, which makes the name a local of the
// call when no scope has it. "++", "--" and a parenthesis around the name fail there
// instead.
bool MayAssign(uint16_t next) {
    return next >= kTokenAssign && next <= kTokenShiftRightAssign;
}

} // namespace

CallFrameKind FrameKindOf(const CompiledFunction& code) {
    bool names = false;
    for (size_t i = 0; i < code.ops.size(); ++i) {
        const CompiledOp& op = code.ops[i];
        switch (op.op) {
        case kOpName:
            if (MayAssign(CodeAfter(op.token))) return kFrameFull;
            names = true;
            break;
        case kOpUnbound:
            // The placeholder of "Var name" takes "=" into its slot or nothing at all.
            if (uint16_t next = CodeAfter(op.token);
                next != kTokenAssign && next != kTokenSemicolon)
                return kFrameFull;
            break;
        case kOpDeclare:
            // Only a declared slot's placeholder follows a Var that makes no local; the
            // name of any other Var is made in the call's locals.
            if (i + 1 == code.ops.size() || code.ops[i + 1].op != kOpUnbound) return kFrameFull;
            names = true;
            break;
        case kOpDeclareFree:
        case kOpBinaryName:
        case kOpBindName:
        case kOpBoundSlot:
        case kOpBinaryBoundSlot:
        case kOpElementName:
        case kOpElementBoundSlot:
        case kOpMemberAssigned:
        case kOpNewBegin:
        case kOpNewEnd:
            names = true;
            break;
        case kOpWalkOperand:
            if (op.code == kTokenName) names = true;
            break;
        case kOpSlotMembers:
            if (op.code != 0) names = true;
            break;
        case kOpChainHead:
            if (op.code == kChainName || op.code == kChainBoundSlot) names = true;
            break;
        case kOpElementRead: {
            uint8_t begin = code.elementReads[op.count].begin;
            if (begin != kOpElementSlot) names = true;
            break;
        }
        // A Break or Continue with no loop to leave looks for one in the block stack;
        // a new array is a variable of the call's locals.
        case kOpWalkStatement:
        case kOpWalkOn:
        case kOpWalkIf:
        case kOpNewArray:
        case kOpNewArrayEnd:
            return kFrameFull;
        default:
            break;
        }
    }
    return names ? kFrameNamesOnly : kFrameNoNames;
}

CValue* CInterpretor::ReserveSlotsInNewSegment(uint32_t count) {
    // The first segment, or the one above the top's, which holds nothing in use.
    uint32_t next = slotSegments_.empty() ? 0 : slotSegment_ + 1;
    if (next == slotSegments_.size()) slotSegments_.emplace_back();
    SlotSegment& segment = slotSegments_[next];
    if (segment.size < count) {
        uint32_t size = count > kSlotSegmentSize ? count : kSlotSegmentSize;
        auto* values = new (std::nothrow) CValue[size];
        if (values == nullptr) RaiseError(15);
        // Slots are handed out holding integer 0, as a released slot is left: a fresh one
        // must not read otherwise.
        for (uint32_t i = 0; i < size; ++i)
            values[i].SetInt(0);
        segment.values.reset(values);
        segment.size = size;
    }
    SaveSlotTop();
    segment.used = count;
    EnterSlotSegment(next);
    return slotBase_;
}

void CInterpretor::ReleaseSlots(CValue* slots) {
    // Calls of code with no slots may have reserved none before any segment was made.
    if (slotSegments_.empty()) return;
    SaveSlotTop();
    auto address = reinterpret_cast<uintptr_t>(slots);
    for (;;) {
        SlotSegment& segment = slotSegments_[slotSegment_];
        CValue* values = segment.values.get();
        auto begin = reinterpret_cast<uintptr_t>(values);
        bool inside = address >= begin && address <= begin + segment.used * sizeof(CValue);
        uint32_t from = inside ? uint32_t((address - begin) / sizeof(CValue)) : 0;
        for (uint32_t i = from; i < segment.used; ++i)
            values[i].SetInt(0);
        segment.used = from;
        if (inside || slotSegment_ == 0) break;
        --slotSegment_;
    }
    EnterSlotSegment(slotSegment_);
}

void CInterpretor::ClearSlotStack() {
    SaveSlotTop();
    for (SlotSegment& segment : slotSegments_) {
        for (uint32_t i = 0; i < segment.used; ++i)
            segment.values[i].SetInt(0);
        segment.used = 0;
    }
    if (!slotSegments_.empty()) EnterSlotSegment(0);
    pendingNext_ = nullptr;
    pendingLimit_ = nullptr;
}

CVariable* CInterpretor::LookUpCallSite(CompiledCallSite& site, NameToken* token) {
    site.variable = LookUpFunction(token);
    site.currentStamp = currentObject_->GetStamp();
    site.globalsStamp = GetStamp();
    return site.variable;
}

void CInterpretor::AddPendingSegment() {
    static_assert(kPendingFrameSize == CompiledFunction::kMaxPendingCalls + 1);
    try {
        pendingSegments_.reserve(pendingSegments_.size() + 1);
        pendingSegments_.push_back(
            std::make_unique<PendingCall[]>((kPendingFramesPerSegment + 1) * kPendingFrameSize));
    } catch (const std::bad_alloc&) {
        RaiseError(15);
    }
}

CInterpretor::PendingCall* CInterpretor::PendingSegmentFrame(PendingCall* frame) {
    // No frame taken since the start or a reset: the first segment's first.
    size_t index = 0;
    bool atEnd = false;
    if (frame != nullptr) {
        const auto at = reinterpret_cast<uintptr_t>(frame);
        for (;; ++index) {
            const auto start = reinterpret_cast<uintptr_t>(pendingSegments_[index].get());
            if (at >= start && at - start <= kPendingSegmentBytes) {
                atEnd = at - start == kPendingSegmentBytes;
                break;
            }
        }
    }
    if (atEnd || frame == nullptr) {
        if (atEnd) ++index;
        if (index == pendingSegments_.size()) AddPendingSegment();
        frame = pendingSegments_[index].get();
    }
    pendingLimit_ = pendingSegments_[index].get() + kPendingFramesPerSegment * kPendingFrameSize;
    return frame;
}

namespace {

// The integer in the slot that `slot` names, a name's slot only once the call bound it
// (`bound`); false when it holds none.
[[gnu::always_inline]] inline bool SlotInteger(const CValue* slots, uint64_t bound, uint32_t slot,
                                               bool named, uint32_t& value) {
    if ((named && ((bound >> slot) & 1) == 0) || slots[slot].GetType() != kValueInt) return false;
    value = uint32_t(slots[slot].IntPayload());
    return true;
}

// The integer that a run of integer operators from `step` works out (a slot joined to an
// integer or a slot, a slot then an operator, or such a run in parentheses, then each further
// operator with an integer or a slot), and the step after the run; null when a slot holds no
// integer, a name's slot is not bound yet or an operator fails, which the full steps then meet.
const CompiledOp* IntegerRun(const CompiledOp* step, const CValue* slots, uint64_t bound,
                             int32_t& result) {
    const uint16_t depth = step->depth;
    uint32_t left;
    uint32_t right;
    if (step->op == kOpClear) {
        // The parenthesis, worked out above, then its kOpSwap.
        step = IntegerRun(step + 1, slots, bound, result);
        if (step == nullptr) return nullptr;
    } else if (step->op == kOpSlot || step->op == kOpBoundSlot) {
        if (!SlotInteger(slots, bound, step->index, step->op == kOpBoundSlot, left)) return nullptr;
        result = int32_t(left);
    } else {
        right = step->index;
        if (!SlotInteger(slots, bound, step->count, false, left) ||
            (step->op == kOpSlotSlot && !SlotInteger(slots, bound, step->index, false, right)) ||
            !IntegerResult(step->code, left, right, result))
            return nullptr;
    }
    for (++step; step->depth == depth && (step->op == kOpBinaryInt || step->op == kOpBinarySlot ||
                                          step->op == kOpBinaryBoundSlot);
         ++step) {
        right = step->index;
        if ((step->op != kOpBinaryInt &&
             !SlotInteger(slots, bound, step->index, step->op == kOpBinaryBoundSlot, right)) ||
            !IntegerResult(step->code, uint32_t(result), right, result))
            return nullptr;
    }
    return step;
}

// The element at `flat` of `array` as an argument: a number, or a script object from its box,
// which is what the walk's operand holds it from. False for anything else, which the walk
// reads in ways of its own (a deleted object's holder reads as a number there). Script objects
// are those of no class record, and the globals' object, `interpreter`.
[[gnu::always_inline]] inline bool PassItem(const CIBaseClassImpl* interpreter,
                                            const CScriptArray& array, uint32_t flat,
                                            CValue& argument) {
    if (array.ReadNumber(flat, argument)) return true;
    const CValue* item = array.BoxedItem(flat);
    if (item == nullptr || item->StoredType() != kValueObject) return false;
    const CIBaseClassImpl* object = item->ObjectPayload();
    if (object == nullptr || (object->classRecord != nullptr && object != interpreter))
        return false;
    argument.AssignLiveObject(*item);
    return true;
}

} // namespace

bool CInterpretor::PassElement(const CompiledOp*& step, const CValue* slots, uint64_t bound,
                               CValue& argument) {
    if (step->op == kOpElementRead) ++step;
    // The commonest, an array in a slot indexed by a slot, without the walk over the steps
    // and with no more registers than its own.
    if (step->op == kOpElementName || step[1].op != kOpElementIndex || step[2].op != kOpElement ||
        step[1].code == kIndexFromInteger)
        return PassIndexedElement(step, slots, bound, argument);
    const CompiledOp& index = step[1];
    if ((step->op == kOpElementBoundSlot && ((bound >> step->count) & 1) == 0) ||
        (index.code == kIndexFromBoundSlot && ((bound >> index.count) & 1) == 0))
        return false;
    const CValue& value = slots[index.count];
    const CScriptArray* array = ArrayOf(slots[step->count]);
    step += 3;
    if (value.GetType() != kValueInt || array == nullptr || array->dimensions != 1 ||
        uint32_t(value.IntPayload()) >= array->sizes[0])
        return false;
    return PassItem(static_cast<const CIBaseClassImpl*>(this), *array, uint32_t(value.IntPayload()),
                    argument);
}

bool CInterpretor::PassIndexedElement(const CompiledOp*& step, const CValue* slots, uint64_t bound,
                                      CValue& argument) {
    const CValue* holder;
    if (step->op == kOpElementName) {
        // The lookup of the walk's own step, which changes nothing but the name's cache.
        CVariable* variable = LookUp(reinterpret_cast<NameToken*>(step->token));
        if (variable == nullptr) return false;
        holder = &variable->value;
    } else {
        if (step->op == kOpElementBoundSlot && ((bound >> step->count) & 1) == 0) return false;
        holder = &slots[step->count];
    }
    int32_t indices[ElementRead::kMaxIndices];
    uint32_t count = 0;
    if (step[1].op != kOpElementIndex) {
        // One index that integer operators work out, the next commonest.
        step = IntegerRun(step + 1, slots, bound, indices[0]);
        if (step == nullptr) return false;
        if (step[1].op == kOpElement) {
            step += 2;
            const CScriptArray* array = ArrayOf(*holder);
            if (array == nullptr || array->dimensions != 1 ||
                uint32_t(indices[0]) >= array->sizes[0])
                return false;
            return PassItem(static_cast<const CIBaseClassImpl*>(this), *array, uint32_t(indices[0]),
                            argument);
        }
        count = 1;
    }
    for (++step; step->op != kOpElement; ++step, ++count) {
        if (step->op != kOpElementIndex) {
            // A run of integer operators, then its kOpElementIndex.
            step = IntegerRun(step, slots, bound, indices[count]);
            if (step == nullptr) return false;
        } else if (step->code == kIndexFromInteger) {
            indices[count] = int32_t(step->count);
        } else {
            const CValue& index = slots[step->count];
            if ((step->code == kIndexFromBoundSlot && ((bound >> step->count) & 1) == 0) ||
                index.GetType() != kValueInt)
                return false;
            indices[count] = index.IntPayload();
        }
    }
    ++step;
    // An element outside the array's shape, or one never assigned, the walk reads in ways of
    // its own (shaping, growing or failing).
    const CScriptArray* array = ArrayOf(*holder);
    uint32_t flat;
    if (array == nullptr || !array->FindFlatIndex(indices, count, flat)) return false;
    return PassItem(static_cast<const CIBaseClassImpl*>(this), *array, flat, argument);
}

const CompiledFunction* CInterpretor::AnsweringCallee(CompiledCallSite& site, uint8_t* token) {
    // As kRegisterCall checks it (RunNumberProgram).
    CVariable* variable = site.variable;
    if (site.currentStamp != currentObject_->GetStamp() || site.globalsStamp != GetStamp()) {
        currentToken = token;
        variable = LookUpCallSite(site, reinterpret_cast<NameToken*>(token));
    }
    if (variable == nullptr || variable->value.GetType() != kValueFunction) return nullptr;
    const BlockRecord* function = variable->value.GetFunction();
    if (function->kind != kBlockFunction || callNesting_ >= kMaxCallNesting) return nullptr;
    auto here = reinterpret_cast<uintptr_t>(__builtin_frame_address(0));
    if ((stackBase_ != 0 && stackBase_ - here > kStackBudget) || site.function != function ||
        site.code == nullptr || !site.code->returnsOnly)
        return nullptr;
    return site.code;
}

bool CInterpretor::DeclareIntegerPair(const CompiledOp& op, CValue* slots) {
    const CompiledOp& pair = (&op)[3];
    if (pair.op != kOpSlotInt && pair.op != kOpSlotSlot) return false;
    const CValue& left = slots[pair.count];
    const CValue* right = pair.op == kOpSlotSlot ? &slots[pair.index] : nullptr;
    CValue& target = slots[op.count];
    int32_t result;
    if (left.StoredType() != kValueInt || target.StoredType() > kValueDouble ||
        (right != nullptr && right->StoredType() != kValueInt) ||
        !IntegerResult(pair.code, uint32_t(left.IntPayload()),
                       right != nullptr ? uint32_t(right->IntPayload()) : pair.index, result))
        return false;
    target.SetInt(result);
    return LeaveInteger(result);
}
