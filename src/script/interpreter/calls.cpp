// Calls: methods of built-in objects, class-level members, script functions, the
// argument frames, and the error road of an error raised inside a method.
#include <new>

#include "foundation/memory/memory_helpers.h"
#include "script/classes/class_lookup.h"
#include "script/classes/script_program.h"
#include "script/interpreter/call_frames.h"
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

CInterpretor::CallRecord* CInterpretor::NewCallRecord() {
    if (!MemRealloc(size_t(callRecordCount_ + 1) * sizeof(CallRecord*), &callRecords_))
        RaiseError(15);
    auto* fresh = new (std::nothrow) CallRecord(this);
    if (fresh == nullptr) RaiseError(15);
    callRecords_[callRecordCount_++] = fresh;
    return fresh;
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

void CInterpretor::AbandonDirectCall(CallRecord* record, CValue* slots) {
    // Emptied before the call ends, as its locals would be.
    ReleaseSlots(slots);
    if (record->plainFrame)
        LeavePlainFrame(record, record->sameScopes);
    else
        LeaveCall();
}

void CInterpretor::RunCompiledFrame(CIBaseObjectVar* current, const BlockRecord* function,
                                    const CompiledFunction& code, CValue* slots) {
    EnterCompiledFrame(current, function, code, slots);
}

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
