// Objects that see every window message the run loop takes before it is dispatched (the
// Keyboard object keeps its key state this way).
#pragma once

#include "platform/user/messages.h"

class CInterpretor;

class CIBaseMessages {
public:
    static constexpr int kPass = 0;
    // Any other non-zero answer ends the chain; the message is still dispatched.
    static constexpr int kStop = 1;
    static constexpr int kSwallow = 2;

    // Joins the interpreter's filters, after those already there. The interpreter holds
    // CInterpretor::kMaxMessageFilters; a filter beyond them is never asked.
    explicit CIBaseMessages(CInterpretor* interpreter);
    // Leaves the interpreter's filters.
    virtual ~CIBaseMessages();
    CIBaseMessages(const CIBaseMessages&) = delete;
    CIBaseMessages& operator=(const CIBaseMessages&) = delete;

    // kPass, kSwallow, or another value that ends the chain.
    virtual int Filter(MSG* message) = 0;

    CInterpretor* interpreter;
};
