// The event queue: posting (with coalescing and the queue limit), the assignment of
// handlers to event properties, and running one queued event between two statements.
#include <new>

#include "platform/kernel/clock.h"
#include "script/interpreter/call_scope.h"
#include "script/interpreter/events.h"
#include "script/interpreter/interpretor.h"
#include "script/language/token_codes.h"

CScriptEvent::CScriptEvent(CInterpretor* interpreter) : interpreter(interpreter) {}

const BlockRecord* CInterpretor::ReadHandlerAssignment() {
    if (CurrentCode() != kTokenAssign) RaiseError(40);
    SkipToken();
    methodResume_ = nullptr;
    CValue* value = Evaluate();
    methodResume_ = currentToken;
    switch (value->GetType()) {
    case kValueFunction:
        return value->GetFunction();
    case kValueInt:
    case kValueDouble:
    case kValueString:
        if (value->GetInt() != 0) RaiseError(40);
        return nullptr;
    case kValueUnboundName:
    case kValueUnboundMember:
    case kValueUnboundArray:
    case kValueUnboundMemberArray:
    case kValueMissingElement:
        RaiseError(41);
    default:
        RaiseError(40);
    }
}

uint32_t CInterpretor::PostEvent(const BlockRecord* handler, const CValue* a1, const CValue* a2,
                                 const CValue* a3, const CValue* a4, const CValue* a5,
                                 const CValue* a6, const CValue* a7, const CValue* a8) {
    const CValue* const arguments[CScriptEvent::kArgumentCount] = {a1, a2, a3, a4, a5, a6, a7, a8};
    return QueueEvent(handler, nullptr, arguments, false);
}

uint32_t CInterpretor::PostEventCoalesced(const BlockRecord* handler, CIBaseClassImpl* source,
                                          const CValue* a1, const CValue* a2, const CValue* a3,
                                          const CValue* a4, const CValue* a5, const CValue* a6,
                                          const CValue* a7, const CValue* a8) {
    const CValue* const arguments[CScriptEvent::kArgumentCount] = {a1, a2, a3, a4, a5, a6, a7, a8};
    return QueueEvent(handler, source, arguments, true);
}

uint32_t CInterpretor::QueueEvent(const BlockRecord* handler, CIBaseClassImpl* source,
                                  const CValue* const* arguments, bool coalesce) {
    // The event whose handler runs left the queue before it started, yet it counts until
    // its handler returns.
    if (int64_t(eventQueue_.GetCount()) + handlerDepth_ > int64_t(eventLimit)) RaiseError(61);
    CScriptEvent* event = nullptr;
    uint32_t position = 0;
    if (coalesce) {
        for (uint32_t node = eventQueue_.GetHead(); node != 0 && event == nullptr;) {
            uint32_t current = node;
            auto* queued = reinterpret_cast<CScriptEvent*>(eventQueue_.GetNext(&node));
            if (queued->handler == handler && queued->source == source) {
                event = queued;
                position = current;
            }
        }
    }
    CScriptEvent* fresh = nullptr;
    if (event == nullptr) {
        fresh = new (std::nothrow) CScriptEvent(this);
        if (fresh == nullptr) RaiseError(15);
        fresh->handler = handler;
        fresh->source = source;
        event = fresh;
    }
    // Arguments are copied in full before anything is replaced, so a failed copy
    // leaves a queued event as it was.
    CScriptEvent copy(this);
    uint32_t count = 0;
    try {
        for (uint32_t i = 0; i < CScriptEvent::kArgumentCount; ++i) {
            if (arguments[i] == nullptr) continue;
            copy.arguments[count++].Assign(*arguments[i]);
        }
    } catch (CIError*) {
        delete fresh;
        throw;
    }
    for (uint32_t i = 0; i < CScriptEvent::kArgumentCount; ++i) {
        if (i < count)
            event->arguments[i].Assign(copy.arguments[i]);
        else
            event->arguments[i].SetInt(0);
    }
    event->argumentCount = count;
    if (fresh != nullptr) {
        position = eventQueue_.AddTail(reinterpret_cast<uintptr_t>(fresh));
        if (position == 0) {
            delete fresh;
            RaiseError(15);
        }
        if (pendingEvent_ == 0) pendingEvent_ = position;
        HoldStatementCount();
    }
    return position;
}

void CInterpretor::FreeEventRecord(CScriptEvent* record) {
    delete record;
}

void CInterpretor::ClearEvents() {
    while (uint32_t node = eventQueue_.GetHead()) {
        auto* event = reinterpret_cast<CScriptEvent*>(eventQueue_.GetAt(node));
        eventQueue_.Remove(node);
        ++takenEvents_;
        FreeEventRecord(event);
    }
    pendingEvent_ = 0;
}

void CInterpretor::DispatchEvent() {
    auto* event = reinterpret_cast<CScriptEvent*>(eventQueue_.GetAt(pendingEvent_));
    if (event == nullptr) {
        pendingEvent_ = eventQueue_.GetHead();
        if (pendingEvent_ != 0) HoldStatementCount();
        return;
    }
    if (callNesting_ >= kMaxCallNesting) RaiseError(15);
    // The handler runs in a fresh frame and a fresh stack place, so that a method
    // interrupted by it (a wait) finds its arguments and result slot as they were.
    uint32_t frame = frameIndex_ + 1;
    EnsureFrame(frame);
    if (depth_ + 3 >= stackCapacity_) GrowValueStack(depth_ + 3);
    CallFrame& arguments = *frames_[frame];
    for (uint32_t i = 0; i < event->argumentCount; ++i)
        arguments.slots[i].Assign(event->arguments[i]);
    arguments.count = int32_t(event->argumentCount);
    const BlockRecord* handler = event->handler;
    // Taken off the queue before it runs: an event posted by the handler is a new one,
    // even when it would coalesce with this one.
    eventQueue_.Remove(pendingEvent_);
    ++takenEvents_;
    FreeEventRecord(event);
    pendingEvent_ = eventQueue_.GetHead();
    if (pendingEvent_ != 0) HoldStatementCount();

    struct HandlerScope {
        CInterpretor& interpreter;
        uint32_t frameIndex;
        uint32_t depth;
        ~HandlerScope() {
            interpreter.frameIndex_ = frameIndex;
            interpreter.depth_ = depth;
            --interpreter.handlerDepth_;
        }
    } handlerScope{*this, frameIndex_, depth_};
    ++handlerDepth_;
    frameIndex_ = frame;
    ++depth_;
    if (handler == nullptr || handler->kind != kBlockFunction) RaiseError(40);
    CallScope scope(*this, this, currentObject_);
    PushBlock(handler);
    BindParameters(handler, this, arguments.count);
    RunHandlerBody(handler);
}

void CInterpretor::CheckPendingAndTick() {
    if (pendingEndCode >= 0) {
        int32_t endCode = pendingEndCode;
        pendingEndCode = -1;
        RaiseError(endCode);
    }
    uint32_t now = timeGetTime();
    TickIfDue(now);
    RefreshIfDue(now);
    if (handlerDepth_ == 0 && pendingEvent_ != 0) DispatchEvent();
}
