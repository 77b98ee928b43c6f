// Calls: methods of built-in objects, class-level members, script functions, the
// argument frames, and the error road of an error raised inside a method.
#include <new>

#include "foundation/memory/memory_helpers.h"
#include "script/classes/class_lookup.h"
#include "script/classes/script_program.h"
#include "script/interpreter/call_scope.h"
#include "script/interpreter/compiled_code.h"
#include "script/interpreter/compiled_numbers.h"
#include "script/interpreter/interpretor.h"
#include "script/language/name_table.h"
#include "script/language/token_codes.h"

// ---- Method calls --------------------------------------------------------------------

uint32_t CInterpretor::ResolveMember(const CClassRecord* record) {
    auto* token = reinterpret_cast<NameToken*>(currentToken);
    if (token->cachedId != 0 && token->cache == record) return token->cachedId;
    const CClassLookup* lookup = record != nullptr ? record->lookup : nullptr;
    const char* name = GetNameTable() != nullptr ? GetNameTable()->GetName(token->nameId) : nullptr;
    const MethodNameRow* row =
        lookup != nullptr && name != nullptr ? lookup->FindName(name) : nullptr;
    if (row == nullptr) RaiseError(11);
    token->cachedId = row->id;
    token->cache = const_cast<CClassRecord*>(record);
    return row->id;
}

void CInterpretor::EvaluateArguments() {
    CallFrame* frame = frames_[frameIndex_];
    int32_t count = 0;
    if (CurrentCode() == kTokenCloseParen) {
        SkipToken();
    } else {
        uint32_t index = frameIndex_;
        // Calls inside the arguments use the next frame.
        EnsureFrame(index + 1);
        frameIndex_ = index + 1;
        for (;;) {
            CValue& slot = frame->slots[count++];
            slot.Assign(*Evaluate());
            if (CurrentCode() != kTokenComma || count == int32_t(kFrameSlots)) break;
            SkipToken();
        }
        SkipToken();
        frameIndex_ = index;
        if (count > int32_t(kMaxArguments)) RaiseError(13);
    }
    frame->count = count;
}

void CInterpretor::CallObjectMethod(CIBaseClassImpl* object) {
    const CClassRecord* record = object->classRecord;
    uint32_t id = ResolveMember(record);
    bool withArguments = CurrentCode() == kTokenMemberCall;
    SkipToken();
    // The object stays anchored while its arguments run: a Delete there is noticed.
    Anchor(object);
    if (withArguments)
        EvaluateArguments();
    else
        Frame().count = 0;
    if (slots_[depth_]->anchorKind != kValueObject ||
        slots_[depth_]->anchor.GetType() != kValueObject)
        RaiseError(32);
    StackSlot* result = slots_[depth_];
    result->value.SetInt(0);
    result->source = nullptr;
    currentMethodId_ = uint16_t(id);
    const ScriptClassInfo* info = record->info;
    uint32_t classId = record->classIndex;
    bool classLevel = !withArguments && classId != 2 && classId != 3 && classId != 59 &&
                      info != nullptr && id > info->firstClassLevelId &&
                      id - info->firstClassLevelId - 1 < info->classLevelHandlerCount;
    if (classLevel) {
        info->classLevelHandlers[id - info->firstClassLevelId - 1](*this);
        return;
    }
    GuardedCall(object, uint16_t(id));
}

void CInterpretor::CallClassMember() {
    uint32_t classId = CurrentCode();
    SkipToken();
    if (CurrentCode() != kTokenMember) RaiseError(16);
    const CClassRecord* record = &classRecords_[classId];
    uint32_t id = ResolveMember(record);
    SkipToken();
    currentMethodId_ = uint16_t(id);
    Frame().count = 0;
    Operand()->SetInt(0);
    const ScriptClassInfo* info = record->info;
    // An ordinary method named through the class has no object to run on.
    if (info == nullptr || id <= info->firstClassLevelId ||
        id - info->firstClassLevelId - 1 >= info->classLevelHandlerCount)
        RaiseError(11);
    info->classLevelHandlers[id - info->firstClassLevelId - 1](*this);
}

void CInterpretor::OperandSingleton() {
    CIBaseClassImpl* object = singletons_[CurrentCode()];
    if (object == nullptr) RaiseError(32);
    SkipToken();
    Operand();
    uint16_t next = CurrentCode();
    if (next != kTokenMemberCall && next != kTokenMember) RaiseError(16);
    CallObjectMethod(object);
}

void CInterpretor::OperandCurWindow() {
    if (currentWindow == nullptr) RaiseError(31);
    SkipToken();
    CValue* slot = Operand();
    uint16_t next = CurrentCode();
    if (next == kTokenMemberCall || next == kTokenMember)
        CallObjectMethod(currentWindow);
    else
        slot->SetObject(currentWindow, 1);
}

CInterpretor::TextObject::TextObject(CInterpretor& interpreter, const char* text, int borrow)
    : interpreter(interpreter) {
    const CClassRecord* record = &interpreter.classRecords_[8];
    const ScriptClassInfo* info = record->info;
    if (info == nullptr || info->constructText == nullptr) interpreter.RaiseError(11);
    object = info->constructText(interpreter, record, text, borrow);
    if (object == nullptr) interpreter.RaiseError(15);
    ++object->useCount;
}

CInterpretor::TextObject::~TextObject() {
    --object->useCount;
    interpreter.DestroyObject(object);
}

void CInterpretor::CallTextMethod(const char* text, int borrow) {
    TextObject temporary(*this, text, borrow);
    CallObjectMethod(temporary.object);
}

void CInterpretor::FinishCall(CIBaseClassImpl* object) {
    if (--object->runningCalls == 0 && object->deletePending != 0) object->Destroy(0);
}

void CInterpretor::GuardedCall(CIBaseClassImpl* object, uint16_t methodId) {
    uint32_t depth = depth_;
    uint32_t frameIndex = frameIndex_;
    uint8_t* outerResume = methodResume_;
    methodResume_ = currentToken;
    ++guardedCallLevel_;
    ++object->runningCalls;
    try {
        object->CallMethod(methodId);
    } catch (CIError* error) {
        uint8_t* resume = methodResume_;
        methodResume_ = outerResume;
        FreeTempStringsFrom(guardedCallLevel_);
        --guardedCallLevel_;
        FinishCall(object);
        depth_ = depth;
        frameIndex_ = frameIndex;
        // Going back to where the method began would run what it read a second time.
        if (resume == nullptr) throw error;
        currentToken = resume;
        HandleMethodError(error);
        return;
    }
    methodResume_ = outerResume;
    --guardedCallLevel_;
    FinishCall(object);
}

void CInterpretor::GuardedCreate(CIBaseClassImpl* object) {
    uint32_t depth = depth_;
    uint32_t frameIndex = frameIndex_;
    uint8_t* token = currentToken;
    ++guardedCallLevel_;
    try {
        object->Create();
    } catch (CIError* error) {
        FreeTempStringsFrom(guardedCallLevel_);
        --guardedCallLevel_;
        depth_ = depth;
        frameIndex_ = frameIndex;
        currentToken = token;
        HandleMethodError(error);
        RaiseError(38);
    }
    --guardedCallLevel_;
    if (object->alive == 0) RaiseError(38);
}

void CInterpretor::HandleMethodError(CIError* error) {
    if (error->code == 0 || program_ == nullptr) throw error;
    program_->RecordError(*error);
    const BlockRecord* handler = program_->GetErrorHandler();
    if (handler == nullptr) throw error;
    char text[256];
    error->Format(text, sizeof text, 0);
    CValue code(this, error->code);
    CValue message(this, text, 0);
    CValue unit(this, error->GetUnitName(), 0);
    CValue line(this, error->line);
    CValue column(this, error->column);
    try {
        PostEvent(handler, &code, &message, &unit, &line, &column);
    } catch (CIError*) {
        CWXException::Delete(error);
        throw;
    }
    CWXException::Delete(error);
}

// ---- Script functions ----------------------------------------------------------------

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

CInterpretor::CallRecord* CInterpretor::NewCallRecord() {
    if (!MemRealloc(size_t(callRecordCount_ + 1) * sizeof(CallRecord*), &callRecords_))
        RaiseError(15);
    auto* fresh = new (std::nothrow) CallRecord(this);
    if (fresh == nullptr) RaiseError(15);
    callRecords_[callRecordCount_++] = fresh;
    return fresh;
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

CInterpretor::CallRecord* CInterpretor::BeginCall(CIBaseObjectVar* locals,
                                                  CIBaseObjectVar* current) {
    return EnterCall(locals, current);
}

void CInterpretor::EndCall() {
    LeaveCall();
}

void CInterpretor::CallFunctionByName() {
    CVariable* variable = LookUpFunction(reinterpret_cast<NameToken*>(currentToken));
    if (variable == nullptr) RaiseError(42);
    if (variable->value.GetType() != kValueFunction) RaiseError(128);
    Operand();
    CallScriptFunction(nullptr, currentObject_, variable->value.GetFunction());
}

void CInterpretor::CallScriptFunction(CIBaseObjectVar* locals, CIBaseObjectVar* current,
                                      const BlockRecord* function) {
    uint16_t code = CurrentCode();
    SkipToken();
    bool withList = code == kTokenMemberCall || code == kTokenCallName;
    if (withList && CurrentCode() != kTokenCloseParen) {
        EvaluateArguments();
    } else {
        // An empty list is stepped over here, without the argument walk's set-up.
        if (withList) SkipToken();
        Frame().count = 0;
    }
    // The object whose method this is may have been deleted by its own arguments.
    if (slots_[depth_]->anchorKind == kValueObject &&
        slots_[depth_]->anchor.GetType() != kValueObject)
        RaiseError(32);
    if (function == nullptr || function->kind != kBlockFunction) RaiseError(40);
    if (callNesting_ >= kMaxCallNesting) RaiseError(15);
    InvokeFunction(locals, current, function);
}

void CInterpretor::InvokeFunction(CIBaseObjectVar* locals, CIBaseObjectVar* current,
                                  const BlockRecord* function) {
    if (compiledForm != 0 && referenceWalk == 0 && locals == nullptr) {
        if (const CompiledFunction* code = CompiledFor(function)) {
            RunCompiledCall(current, function, *code);
            return;
        }
    }
    // No scope object here: this frame is on the path of every level of a recursion.
    CallRecord* record = EnterCall(locals, current);
    try {
        entryIndex = function->unitArgument;
        PushBlock(function);
        // A header without a list has nothing to bind: looked at here, without the
        // binding loop's set-up.
        currentToken = At(function->step);
        SkipToken();
        if (CurrentCode() == kTokenOpenParen) BindParameterNames(locals_, Frame().count);
        ExecuteBlock(After(function->bodyStart));
        Operand()->Assign(record->result);
    } catch (CIError*) {
        LeaveCall();
        throw;
    }
    LeaveCall();
}

// The walk's call without what such a body never reads: the function's block, a
// locals object of its own when it reads no name (an empty one else), the return flag,
// which only the walk's Return sets.
inline void CInterpretor::RunPlainFrame(CIBaseObjectVar* current, const BlockRecord* function,
                                        const CompiledFunction& code, CValue* slots) {
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
    try {
        RunCompiled(code, slots);
    } catch (ReturnedBeforeMember) {
    } catch (CIError*) {
        ReleaseSlots(slots);
        LeavePlainFrame(record, sameScopes);
        throw;
    }
    operand->source = nullptr;
    operand->anchorKind = kValueInt;
    ReleaseTopSlots(slots, code.slotCount);
    LeavePlainFrame(record, sameScopes);
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

inline void CInterpretor::EnterCompiledFrame(CIBaseObjectVar* current, const BlockRecord* function,
                                             const CompiledFunction& code, CValue* slots) {
    // Here rather than at each call site: one frame of the machine per level of a
    // recursion either way.
    if (code.frameKind != kFrameFull) {
        RunPlainFrame(current, function, code, slots);
        return;
    }
    CallRecord* record = EnterCall(nullptr, current);
    try {
        entryIndex = function->unitArgument;
        PushBlock(function);
        try {
            RunCompiled(code, slots);
        } catch (ReturnedBeforeMember) {
        }
        TakeResult(record->result);
    } catch (CIError*) {
        // Emptied before the call ends, as its locals would be.
        ReleaseSlots(slots);
        LeaveCall();
        throw;
    }
    ReleaseTopSlots(slots, code.slotCount);
    LeaveCall();
}

void CInterpretor::RunCompiledFrame(CIBaseObjectVar* current, const BlockRecord* function,
                                    const CompiledFunction& code, CValue* slots) {
    EnterCompiledFrame(current, function, code, slots);
}

namespace {

// An argument read from a slot as the full steps would pass it: a number, a text or an
// object (its holder counted once more). False for anything else, which those steps read
// in ways of their own (an array, a function, a placeholder).
[[gnu::always_inline]] inline bool PassSlot(CValue& argument, const CValue& value) {
    // The callee's slot holds integer 0, which a number replaces without a release.
    if (value.StoredType() == kValueInt) {
        argument.SetInt(value.IntPayload());
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

} // namespace

bool CInterpretor::AnswerDirectCall(const CompiledFunction& code, const CompiledOp& op,
                                    const CValue* slots, uint64_t bound) {
    // Integer arguments are read straight from the caller's slots and the callee's Return
    // worked out on them, with no slots of its own to fill and empty again.
    int32_t values[kAnsweredArguments];
    if (op.count > kAnsweredArguments) return false;
    const CompiledOp* step = &op + 2;
    for (uint32_t n = 0; n < op.count; ++n) {
        if (step->op == kOpArgumentInt) {
            values[n] = int32_t(step->count);
            step += 1;
            continue;
        }
        const CValue* value;
        const CompiledOp* right = nullptr;
        if (step->op == kOpArgumentSlot) {
            value = &slots[step->count];
            step += 1;
        } else if (step->op == kOpArgumentSlotInt) {
            // Then its kOpSlotInt and kOpArgument.
            right = &step[1];
            value = &slots[right->count];
            step += 3;
        } else if (step->op == kOpBoundSlot && ((bound >> step->index) & 1) != 0) {
            // Then its kOpArgument, or its kOpBinaryInt and kOpArgument.
            value = &slots[step->index];
            right = step[1].op == kOpArgument ? nullptr : &step[1];
            step += right == nullptr ? 2 : 3;
        } else {
            return false;
        }
        if (value->GetType() != kValueInt) return false;
        values[n] = value->IntPayload();
        if (right != nullptr &&
            !IntegerResult(right->code, uint32_t(values[n]), right->index, values[n]))
            return false;
    }
    const uint32_t count = op.count;
    auto parameter = [&values, count](uint32_t index, int32_t& value) {
        if (index >= count) return false;
        value = values[index];
        return true;
    };
    int32_t result;
    if (!QuickAnswer(*code.sites[op.site].code, parameter, result)) return false;
    // As the call's kOpCallClose would leave it.
    currentToken = code.ops[op.index - 1].token;
    Operand()->SetInt(result);
    return true;
}

inline CValue* CInterpretor::DirectArguments(const CompiledFunction& code, const CompiledOp& op,
                                             const CValue* slots, uint64_t bound) {
    CompiledCallSite& site = code.sites[op.site];
    if (site.directSkips != 0) [[unlikely]] {
        --site.directSkips;
        return nullptr;
    }
    CVariable* variable =
        site.currentStamp == currentObject_->GetStamp() && site.globalsStamp == GetStamp()
            ? site.variable
            : LookUpCallSite(site, reinterpret_cast<NameToken*>(op.token));
    if (variable == nullptr || variable->value.GetType() != kValueFunction) return nullptr;
    const BlockRecord* function = variable->value.GetFunction();
    const CompiledFunction* callee = site.code;
    // Whatever the call would fail on, the full steps fail on where the walk does. The
    // site keeps only a function its call found of the function kind, which no function
    // leaves, so the function it called last needs no test of its kind.
    if (function != site.function || callee == nullptr || op.count > callee->parameterCount ||
        callNesting_ >= kMaxCallNesting)
        return nullptr;
    if (callee->returnsOnly && AnswerDirectCall(code, op, slots, bound)) return AnsweredCall();
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
            passed = PassSlot(target[n], slots[step->count]);
            lasting = true;
            step += 1;
        } else if (step->op == kOpArgumentSlotInt) {
            // Then its kOpSlotInt and kOpArgument.
            const CompiledOp& pair = step[1];
            const CValue& left = slots[pair.count];
            int32_t result;
            passed = left.GetType() == kValueInt &&
                     IntegerResult(pair.code, uint32_t(left.IntPayload()), pair.index, result);
            if (passed) target[n].SetInt(result);
            step += 3;
        } else if (step->op == kOpArgumentInt) {
            target[n].SetInt(int32_t(step->count));
            passed = true;
            step += 1;
        } else if (step->op == kOpBoundSlot) {
            // A name bound by its assignment is the slot only once the call has bound it.
            const bool isBound = ((bound >> step->index) & 1) != 0;
            const CValue& value = slots[step->index];
            if (step[1].op == kOpArgument) {
                passed = isBound && PassSlot(target[n], value);
                lasting = true;
                step += 2;
            } else {
                // Then its kOpBinaryInt and kOpArgument, worked out as kOpArgumentSlotInt's.
                const CompiledOp& right = step[1];
                int32_t result;
                passed =
                    isBound && value.GetType() == kValueInt &&
                    IntegerResult(right.code, uint32_t(value.IntPayload()), right.index, result);
                if (passed) target[n].SetInt(result);
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

bool CInterpretor::RunDirectCall(const CompiledFunction& code, const CompiledOp& op,
                                 const CValue* slots, uint64_t bound) {
    CValue* target = DirectArguments(code, op, slots, bound);
    // Null and the answered call's mark, which lies below every address, in one test.
    if (reinterpret_cast<uintptr_t>(target) <= reinterpret_cast<uintptr_t>(AnsweredCall()))
        return target != nullptr;
    // As the call's kOpCallBegin and kOpCallClose would do it, standing where the latter does.
    const CompiledOp& close = code.ops[op.index - 1];
    currentToken = close.token;
    const CompiledCallSite& site = code.sites[op.site];
    const CompiledFunction& callee = *site.code;
    if (callee.returnsOnly && AnswerFromReturn(callee, target, close.count)) return true;
    Operand();
    EnterCompiledFrame(currentObject_, site.function, callee, target);
    return true;
}

void CInterpretor::SetCallResult(int32_t value) {
    CValue* slot = Operand();
    slot->SetInt(value);
}

void CInterpretor::BindParameters(const BlockRecord* function, CIBaseObjectVar* locals,
                                  int32_t count) {
    currentToken = At(function->step);
    SkipToken();
    if (CurrentCode() != kTokenOpenParen) return;
    BindParameterNames(locals, count);
}

void CInterpretor::BindParameterNames(CIBaseObjectVar* locals, int32_t count) {
    const CallFrame& frame = Frame();
    for (int32_t n = 0;; ++n) {
        SkipToken();
        if (CurrentCode() != kTokenName) RaiseError(16);
        const auto* name = reinterpret_cast<const NameToken*>(currentToken);
        CVariable* parameter = locals->AddVariable(name->nameId, blockDepth_);
        if (n < count)
            parameter->value.Assign(frame.slots[n]);
        else
            parameter->value.SetDefault();
        SkipToken();
        if (CurrentCode() != kTokenComma) return;
    }
}
