// The test doubles' part that looks inside the control classes: a spy on the messages a
// control receives, the Tab-key question of the keyboard filter, the length of a Window's
// handler chain, and messages sent straight to a control.
#pragma once

#include <cstdint>

class CInterpretor;

namespace script_test {

// Ids of the doubles' class (bare names in scripts).
enum class ControlDouble : uint16_t {
    SpyMessages,  // UiSpyMessages(control): logs what it receives from now on
    Messages,     // UiMessages(): the log since the last call, e.g. "B1 -1 -1; C2 1 'abc'"
    KeepsTab,     // UiKeepsTab(control): the keyboard filter's question
    HandlerCount, // UiHandlerCount(window): the entries of its control handler chain
    SendTo,       // UiSendTo(control, message, wParam, lParam): the answer
    Count,
};

void CallControlDouble(CInterpretor& interpreter, ControlDouble which);

} // namespace script_test
