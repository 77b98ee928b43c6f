// The compiled code of module top levels and event handlers, and the steps of Switch and
// of the statements that compiled code leaves to the walk's handlers.
#include "script/interpreter/compiled_code.h"
#include "script/interpreter/handler_tables.h"
#include "script/interpreter/interpretor.h"

void CInterpretor::RunTopLevel(uint8_t* start) {
    currentToken = start;
    if (compiledForm != 0 && referenceWalk == 0) {
        if (const CompiledFunction* code = CompiledEntry(start, nullptr)) {
            RunCompiled(*code, nullptr);
            return;
        }
    }
    ExecuteBlock(start);
}

void CInterpretor::RunHandlerBody(const BlockRecord* handler) {
    if (compiledForm != 0 && referenceWalk == 0) {
        if (const CompiledFunction* code = CompiledEntry(nullptr, handler)) {
            currentToken = After(handler->bodyStart);
            try {
                RunCompiled(*code, nullptr);
            } catch (ReturnedBeforeMember) {
            }
            return;
        }
    }
    ExecuteBlock(After(handler->bodyStart));
}

void CInterpretor::KeepSwitchSelector() {
    CValue& selector = slots_[depth_ + 1]->value;
    uint32_t type = selector.GetType();
    if (type >= kValueUnboundName && type <= kValueMissingElement) RaiseError(41);
    slots_[depth_ + 1]->source = nullptr;
}

bool CInterpretor::CaseMatches() {
    return slots_[depth_ + 1]->value.IsEqual(slots_[depth_ + 2]->value) != 0;
}

bool CInterpretor::EndsTopLevel(const CompiledFunction& code) const {
    if (!code.topLevel) return false;
    uint16_t token = CurrentCode();
    return Tables().statement[token < kHandlerCodes ? token : 0] ==
           &HandlerTables::Call<&CInterpretor::StatementEnd>;
}

bool CInterpretor::WalkCompiledStatement(const uint8_t* expected, uint32_t poolMark) {
    uint16_t code = CurrentCode();
    Tables().statement[code < kHandlerCodes ? code : 0](*this);
    if (currentToken == expected) return false;
    uint8_t* next = currentToken;
    EndCompiledStatement(poolMark);
    ExecuteBlock(next);
    return true;
}
