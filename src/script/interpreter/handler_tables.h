// The interpreter's handler tables, indexed by token code: statements, operands, and
// the binary operators (whose codes are their precedence).
#pragma once

#include "script/interpreter/interpretor.h"

inline constexpr uint32_t kHandlerCodes = 155;

struct CInterpretor::HandlerTables {
    // Filled when the program is compiled.
    constexpr HandlerTables();

    // Each entry calls its member function directly.
    template <void (CInterpretor::*Member)()> static void Call(CInterpretor& interpreter) {
        (interpreter.*Member)();
    }

    Handler statement[kHandlerCodes];
    Handler operand[kHandlerCodes];
    Handler binary[kHandlerCodes];
};
