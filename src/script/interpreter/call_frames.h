#pragma once

// The frames of script calls, entered and left: shared by the walk's calls and the compiled
// ones, and inlined into the dispatch of compiled code, which runs a direct call's steps
// in its caller's place.
#include "script/interpreter/compiled_code.h"
#include "script/interpreter/compiled_numbers.h"
#include "script/interpreter/interpretor.h"

inline CIBaseObjectVar* CInterpretor::SpareLocals(CallRecord* record) {
    if (record->spareLocals == nullptr) {
        record->spareLocals = NewScriptObject();
        record->spareLocals->MarkCallLocals();
    }
    return record->spareLocals;
}

inline void CInterpretor::SaveCallPlace(CallRecord* record, CIBaseObjectVar* current) {
    record->savedToken = currentToken;
    record->savedReturnValue = returnValue_;
    record->savedBlockDepth = blockDepth_;
    record->savedEntry = entryIndex;
    record->current = current;
}

inline void CInterpretor::SaveCallState(CallRecord* record, CIBaseObjectVar* current) {
    SaveCallPlace(record, current);
    record->savedLocals = locals_;
    record->savedCurrent = currentObject_;
    record->savedEpoch = ScopeEpoch();
    record->savedSharedChanges = SharedChanges();
}

inline void CInterpretor::RestoreCallPlace(const CallRecord* record) {
    currentToken = record->savedToken;
    returnValue_ = record->savedReturnValue;
    entryIndex = record->savedEntry;
}

inline void CInterpretor::RestoreCallState(const CallRecord* record) {
    RestoreCallPlace(record);
    locals_ = record->savedLocals;
    currentObject_ = record->savedCurrent;
}

inline CInterpretor::CallRecord* CInterpretor::EnterCall(CIBaseObjectVar* locals,
                                                         CIBaseObjectVar* current) {
    // Every way into a call, the compiled ones too, keeps within the stack's budget.
    CheckStack();
    CallRecord* record =
        callNesting_ < callRecordCount_ ? callRecords_[callNesting_] : NewCallRecord();
    CIBaseObjectVar* owned = locals == nullptr ? SpareLocals(record) : nullptr;
    ++callNesting_;
    SaveCallState(record, current);
    record->savedReturnFlag = returnFlag_;
    record->ownedLocals = owned;
    record->result.SetInt(0);
    ++current->runningCalls;
    locals_ = owned != nullptr ? owned : locals;
    currentObject_ = current;
    NoteScopeChange();
    returnFlag_ = 0;
    returnValue_ = &record->result;
    return record;
}

inline void CInterpretor::LeaveCall() {
    CallRecord* record = callRecords_[--callNesting_];
    if (record->ownedLocals != nullptr) {
        // Every variable of the call's own locals lies in the call's blocks: clearing
        // them drops what unwinding the blocks would, in the same order, in one pass.
        record->ownedLocals->ClearVariables();
        record->ownedLocals = nullptr;
        if (blockDepth_ > record->savedBlockDepth) blockDepth_ = record->savedBlockDepth;
    } else {
        UnwindBlocks(record->savedBlockDepth);
    }
    RestoreCallState(record);
    // Nothing the caller can reach changed: its names find what they found before.
    if (SharedChanges() == record->savedSharedChanges)
        RestoreScopeEpoch(record->savedEpoch);
    else
        NoteScopeChange();
    returnFlag_ = record->savedReturnFlag;
    FinishCall(record->current);
}

// The walk's call without what such a body never reads: the function's block, a
// locals object of its own when it reads no name (an empty one else), the return flag,
// which only the walk's Return sets.
inline CInterpretor::CallRecord* CInterpretor::EnterPlainFrame(CIBaseObjectVar* current,
                                                               const BlockRecord* function,
                                                               const CompiledFunction& code) {
    CheckStack();
    // What the call changes is kept in the level's record, off the machine's stack, as
    // a walked call keeps it.
    CallRecord* record =
        callNesting_ < callRecordCount_ ? callRecords_[callNesting_] : NewCallRecord();
    // A body that reads no name through the scopes, called on the caller's This, leaves
    // the scopes and their epoch as it found them (its own calls put back what they
    // change): only its place, its result and the blocks are kept for it. So does one that
    // reads names but makes none, when the caller's locals are an empty object of a call
    // (a recursion's deeper levels): its names miss there as in an empty object of its own,
    // the caller cannot add to them while it waits, and the name caches filled at the
    // caller's epoch keep answering.
    const bool sameScopes = current == currentObject_ &&
                            (code.frameKind == kFrameNoNames || locals_->IsEmptyCallLocals());
    if (sameScopes) {
        SaveCallPlace(record, current);
    } else {
        SaveCallState(record, current);
        // Names are looked up in the scopes the walk's call would have: an empty locals
        // object and the call's This.
        if (code.frameKind == kFrameNamesOnly) locals_ = SpareLocals(record);
        NoteScopeChange();
        currentObject_ = current;
    }
    ++callNesting_;
    ++current->runningCalls;
    // The Return gives its value straight to the caller's operand, which the body's steps
    // never reach (they stand above it): every way out of such a body is a Return (the
    // closing brace's among them) or an error, so nothing needs resetting first. The
    // operand is cleared as an operand only once the call is over, so that what it
    // anchors (the object of a method) stays held while the call runs.
    StackSlot* operand = slots_[depth_];
    returnValue_ = &operand->value;
    entryIndex = function->unitArgument;
    record->operand = operand;
    record->plainFrame = true;
    record->sameScopes = sameScopes;
    return record;
}

inline void CInterpretor::LeavePlainFrame(CallRecord* record, bool sameScopes) {
    --callNesting_;
    blockDepth_ = record->savedBlockDepth;
    if (sameScopes) {
        RestoreCallPlace(record);
    } else {
        RestoreCallState(record);
        if (ScopeEpoch() != record->savedEpoch) {
            if (SharedChanges() == record->savedSharedChanges)
                RestoreScopeEpoch(record->savedEpoch);
            else
                NoteScopeChange();
        }
    }
    // FinishCall, whose call most ends need not make.
    CIBaseClassImpl* current = record->current;
    if (current->runningCalls > 1 || current->deletePending == 0)
        --current->runningCalls;
    else
        FinishCall(current);
}

// The result of a compiled call as its operand.
inline void CInterpretor::TakeResult(const CValue& result) {
    CValue* operand = Operand();
    if (result.GetType() <= kValueDouble)
        AssignNumber(*operand, result);
    else
        operand->Assign(result);
}

inline CInterpretor::CallRecord* CInterpretor::EnterFrame(CIBaseObjectVar* current,
                                                          const BlockRecord* function,
                                                          const CompiledFunction& code,
                                                          CValue* slots) {
    if (code.frameKind != kFrameFull) return EnterPlainFrame(current, function, code);
    CallRecord* record = EnterCall(nullptr, current);
    record->plainFrame = false;
    try {
        entryIndex = function->unitArgument;
        PushBlock(function);
    } catch (CIError*) {
        ReleaseSlots(slots);
        LeaveCall();
        throw;
    }
    return record;
}

inline void CInterpretor::LeaveFrame(CallRecord* record, const CompiledFunction& code,
                                     CValue* slots) {
    if (record->plainFrame) {
        StackSlot* operand = record->operand;
        operand->source = nullptr;
        operand->anchorKind = kValueInt;
        ReleaseTopSlots(slots, code.slotCount);
        LeavePlainFrame(record, record->sameScopes);
        return;
    }
    try {
        TakeResult(record->result);
    } catch (CIError*) {
        AbandonDirectCall(record, slots);
        throw;
    }
    ReleaseTopSlots(slots, code.slotCount);
    LeaveCall();
}

inline CInterpretor::CallRecord* CInterpretor::EnterInlineFrame(CIBaseObjectVar* current,
                                                                const BlockRecord* function,
                                                                const CompiledFunction& code,
                                                                CValue* slots) {
    CallRecord* record = EnterFrame(current, function, code, slots);
    record->calleeCode = &code;
    record->calleeSlots = slots;
    return record;
}

namespace call_frames {

// An argument read from a slot as the full steps would pass it: a number, a text or an
// object (its holder counted once more). False for anything else, which those steps read
// in ways of their own (an array, a function, a placeholder).
[[gnu::always_inline]] inline bool PassSlot(CValue& argument, const CValue& value) {
    // The callee's slot holds integer 0, which a number replaces without a release.
    if (value.StoredType() == kValueInt) {
        argument.SetIntOverZero(value.IntPayload());
        return true;
    }
    // A deleted object's holder reads as a number here.
    const uint32_t type = value.GetType();
    if (type <= kValueDouble) {
        AssignNumber(argument, value);
        return true;
    }
    if (type == kValueObject) {
        // One still there: its holder counted once more, over the slot's integer.
        argument.AssignLiveObject(value);
        return true;
    }
    if (type != kValueString) return false;
    argument.Assign(value);
    return true;
}

} // namespace call_frames

inline CValue* CInterpretor::DirectArguments(const CompiledFunction& code, const CompiledOp& op,
                                             const CValue* slots, uint64_t bound,
                                             const CompiledFunction*& calleeFound,
                                             const BlockRecord*& functionFound) {
    CompiledCallSite& site = code.sites[op.site];
    if (site.directSkips != 0) [[unlikely]] {
        --site.directSkips;
        return nullptr;
    }
    CVariable* variable =
        site.currentStamp == currentObject_->GetStamp() && site.globalsStamp == GetStamp()
            ? site.variable
            : LookUpCallSite(site, reinterpret_cast<NameToken*>(op.token));
    if (variable == nullptr || variable->value.StoredType() != kValueFunction) return nullptr;
    const BlockRecord* function = variable->value.GetFunction();
    const CompiledFunction* callee = site.code;
    // Whatever the call would fail on, the full steps fail on where the walk does. The
    // site keeps only a function its call found of the function kind, which no function
    // leaves, so the function it called last needs no test of its kind.
    if (function != site.function || callee == nullptr || op.count > callee->parameterCount ||
        callNesting_ >= kMaxCallNesting)
        return nullptr;
    if (callee->returnsOnly && AnswerDirectCall(code, op, slots, bound)) return AnsweredCall();
    calleeFound = callee;
    functionFound = function;
    // The argument steps that follow the kOpCallOpen, read once, straight into the callee's
    // slots; the first that is not at hand lets them all go again, which leaves nothing
    // changed for the full steps.
    CValue* target = ReserveSlots(callee->slotCount);
    const CompiledOp* step = &op + 2;
    for (uint32_t n = 0; n < op.count; ++n) {
        bool passed;
        // A slot read whole fails on what it will mostly hold at the next calls too.
        bool lasting = false;
        // The commonest first, in the order of a chain of tests, which costs less than a table.
        if (step->op == kOpArgumentSlot) {
            passed = call_frames::PassSlot(target[n], slots[step->count]);
            lasting = true;
            step += 1;
        } else if (step->op == kOpArgumentSlotInt) {
            // Then its kOpSlotInt and kOpArgument.
            const CompiledOp& pair = step[1];
            const CValue& left = slots[pair.count];
            int32_t result;
            passed = left.StoredType() == kValueInt &&
                     IntegerResult(pair.code, uint32_t(left.IntPayload()), pair.index, result);
            if (passed) target[n].SetIntOverZero(result);
            step += 3;
        } else if (step->op == kOpArgumentInt) {
            target[n].SetIntOverZero(int32_t(step->count));
            passed = true;
            step += 1;
        } else if (step->op == kOpBoundSlot) {
            // A name bound by its assignment is the slot only once the call has bound it.
            const bool isBound = ((bound >> step->index) & 1) != 0;
            const CValue& value = slots[step->index];
            if (step[1].op == kOpArgument) {
                passed = isBound && call_frames::PassSlot(target[n], value);
                lasting = true;
                step += 2;
            } else {
                // Then its kOpBinaryInt and kOpArgument, worked out as kOpArgumentSlotInt's.
                const CompiledOp& right = step[1];
                int32_t result;
                passed =
                    isBound && value.StoredType() == kValueInt &&
                    IntegerResult(right.code, uint32_t(value.IntPayload()), right.index, result);
                if (passed) target[n].SetIntOverZero(result);
                step += 3;
            }
        } else {
            // An element, then its kOpArgument.
            const CompiledOp* element = step;
            passed = PassElement(element, slots, bound, target[n]);
            // A failed element may leave no step to go on from.
            if (passed) step = element + 1;
        }
        if (!passed) {
            if (lasting) site.directSkips = CompiledCallSite::kDirectSkips;
            ReleaseTopSlots(target, callee->slotCount);
            return nullptr;
        }
    }
    for (uint32_t n = op.count; n < callee->parameterCount; ++n)
        target[n].SetDefault();
    return target;
}

inline CInterpretor::CallRecord* CInterpretor::BeginDirectCall(const CompiledFunction& code,
                                                               const CompiledOp& op,
                                                               const CValue* slots, uint64_t bound,
                                                               bool& made) {
    // The callee that the arguments were worked out for, and its function.
    const CompiledFunction* found = nullptr;
    const BlockRecord* function = nullptr;
    CValue* target = DirectArguments(code, op, slots, bound, found, function);
    made = target != nullptr;
    if (reinterpret_cast<uintptr_t>(target) <= reinterpret_cast<uintptr_t>(AnsweredCall()))
        return nullptr;
    const CompiledOp& close = code.ops[op.index - 1];
    currentToken = close.token;
    const CompiledFunction& callee = *found;
    if (callee.returnsOnly && AnswerFromReturn(callee, target, close.count)) return nullptr;
    Operand();
    return EnterInlineFrame(currentObject_, function, callee, target);
}

inline CInterpretor::CallRecord* CInterpretor::BeginScriptMethod(const CompiledFunction& code,
                                                                 const CompiledOp& op) {
    // MethodEnd's checks, each of which passes here.
    StackSlot* place = slots_[depth_];
    if (place->anchorKind != kValueObject || place->anchor.GetType() != kValueObject ||
        place->value.StoredType() != kValueFunction || callNesting_ >= kMaxCallNesting)
        return nullptr;
    CIBaseClassImpl* object = place->anchor.ObjectPayload();
    const BlockRecord* function = place->value.GetFunction();
    const CompiledMethodSite& site = code.methodSites[op.site];
    const CompiledFunction* callee = site.code;
    if (!IsScriptObject(object) || function != site.function || callee == nullptr ||
        callee->returnsOnly || op.count > callee->parameterCount)
        return nullptr;
    const CallFrame& frame = Frame();
    CValue* target = ReserveSlots(callee->slotCount);
    for (uint32_t n = 0; n < op.count; ++n) {
        if (!call_frames::PassSlot(target[n], frame.slots[n])) {
            ReleaseTopSlots(target, callee->slotCount);
            return nullptr;
        }
    }
    for (uint32_t n = op.count; n < callee->parameterCount; ++n)
        target[n].SetDefault();
    Frame().count = int32_t(op.count);
    return EnterInlineFrame(static_cast<CIBaseObjectVar*>(object), function, *callee, target);
}

// The callee's steps and the end of the frame that EnterFrame began for them.
inline void CInterpretor::RunInFrame(CallRecord* record, const CompiledFunction& code,
                                     CValue* slots) {
    try {
        RunCompiled(code, slots);
    } catch (ReturnedBeforeMember) {
    } catch (CIError*) {
        AbandonDirectCall(record, slots);
        throw;
    }
    LeaveFrame(record, code, slots);
}

inline void CInterpretor::EnterCompiledFrame(CIBaseObjectVar* current, const BlockRecord* function,
                                             const CompiledFunction& code, CValue* slots) {
    RunInFrame(EnterFrame(current, function, code, slots), code, slots);
}
