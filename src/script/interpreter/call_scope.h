#pragma once

#include "script/interpreter/interpretor.h"

// The scope of a running script function or event handler: what it changes in the
// interpreter is put back when it ends, also when an error unwinds it.
class CallScope {
public:
    CallScope(CInterpretor& interpreter, CIBaseObjectVar* locals, CIBaseObjectVar* current)
        : interpreter_(interpreter), record_(interpreter.BeginCall(locals, current)) {}
    ~CallScope() { interpreter_.EndCall(); }
    CallScope(const CallScope&) = delete;
    CallScope& operator=(const CallScope&) = delete;

    CValue& Result() { return record_->result; }

private:
    CInterpretor& interpreter_;
    CInterpretor::CallRecord* record_;
};
