// A queued event: a call of a script function with up to eight arguments, waiting in the
// interpreter's queue until the statement loop runs it between two statements.
#pragma once

#include <cstdint>

#include "script/values/value.h"

class CIBaseClassImpl;
class CInterpretor;
struct BlockRecord;

struct CScriptEvent {
    static constexpr uint32_t kArgumentCount = 8;

    explicit CScriptEvent(CInterpretor* interpreter);

    const BlockRecord* handler = nullptr;
    uint32_t argumentCount = 0;
    CInterpretor* interpreter;
    // The poster of a coalescing event; null for the others. Compared, never used.
    const CIBaseClassImpl* source = nullptr;
    CValue arguments[kArgumentCount];
};
