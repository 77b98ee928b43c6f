// The names of a loop program found again when it is entered in another state of the scopes:
// a function whose loop reads globals is called again and again, each call a new state, and
// its names would otherwise be looked up at every call. They are found as a number program's
// are (FindNames): while the locals' shape and the stamps of This and of the globals are those
// of the last lookup, none of whose variables was a local, each name finds the same variable,
// and the names it binds slots for are still in no scope.
#include "script/interpreter/compiled_register_loops.h"
#include "script/interpreter/interpretor.h"
#include "script/interpreter/object_var.h"

bool CInterpretor::FindLoopNames(const LoopProgram& loop) {
    const uint64_t localsShape = locals_->GetShape();
    const uint64_t currentStamp = currentObject_->GetStamp();
    if (loop.globalsStamp == GetStamp() && loop.currentStamp == currentStamp &&
        loop.localsShape == localsShape) {
        loop.epoch = ScopeEpoch();
        return true;
    }
    // The names it binds slots for, which no scope had, are as free while those hold.
    if (!LoopBindsFree(loop)) return false;
    bool outsideLocals = true;
    const bool ownLocals = locals_ != currentObject_ && locals_ != this;
    loop.globalsStamp = 0;
    for (size_t name = 0; name < loop.names.size(); ++name) {
        // Members' entries are found from their holders at every entry.
        if (loop.names[name] == nullptr) continue;
        currentToken = loop.names[name];
        auto* token = reinterpret_cast<NameToken*>(currentToken);
        CVariable* variable = LookUp(token);
        if (variable == nullptr) return false;
        loop.variables[name] = variable;
        if (ownLocals && locals_->FindVariable(token->nameId) == variable) outsideLocals = false;
    }
    loop.epoch = ScopeEpoch();
    if (outsideLocals) {
        loop.localsShape = localsShape;
        loop.currentStamp = currentStamp;
        loop.globalsStamp = GetStamp();
    }
    return true;
}
