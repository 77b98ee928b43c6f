// The short ways of the control statements: a counting loop's step and test and an
// If's comparison run straight from their decoded forms instead of through the
// expression walk. Each gives way to the walk before changing anything when the
// variable is missing or holds anything but an integer, so values, errors and their
// positions stay those of the walk. Included by the statement handlers only.
#pragma once

#include "script/interpreter/expression_form.h"
#include "script/interpreter/interpretor.h"
#include "script/language/token_codes.h"
#include "script/runtime/launch_info.h"

inline bool IsComparisonCode(uint32_t code) {
    return code >= kTokenGreaterEqual && code <= kTokenNotEqual;
}

inline int32_t CompareIntegers(uint32_t code, int32_t x, int32_t y) {
    switch (code) {
    case kTokenGreaterEqual:
        return x >= y;
    case kTokenLessEqual:
        return x <= y;
    case kTokenEqual:
        return x == y;
    case kTokenLess:
        return x < y;
    case kTokenGreater:
        return x > y;
    default:
        return x != y;
    }
}

// x compared with an integer literal or with another name.
inline bool IsNameComparison(const ExpressionForm& form) {
    return form.count == 3 && form.steps[0].kind == kStepName &&
           (form.steps[1].kind == kStepInteger || form.steps[1].kind == kStepName) &&
           form.steps[2].kind == kStepBinary && IsComparisonCode(form.steps[2].code);
}

// The loop's condition for x; `limit` is the value of its limit variable when it has one.
inline int32_t LoopTest(const LoopForm& loop, int32_t x, int32_t limit) {
    if (loop.limitName != 0) return CompareIntegers(loop.compare, x, limit);
    bool inside = uint32_t(x) - loop.low <= loop.span;
    return inside != ((loop.flags & LoopForm::kOutside) != 0);
}

inline bool CInterpretor::ReadIntegerName(NameToken* token, int32_t& value) {
    CVariable* variable = LookUp(token);
    if (variable == nullptr || variable->value.GetType() != kValueInt) return false;
    value = variable->value.IntPayload();
    return true;
}

inline bool CInterpretor::ReadLoopLimit(const LoopForm& loop, int32_t& limit) {
    return loop.limitName == 0 ||
           ReadIntegerName(reinterpret_cast<NameToken*>(GetStream() + loop.limitName), limit);
}

inline void CInterpretor::SetStatementResult(int32_t value, CValue* source) {
    StackSlot* slot = slots_[depth_ + 1];
    slot->value.SetInt(value);
    slot->value.source = source;
    slot->anchorKind = kValueInt;
}

inline bool CInterpretor::RunLoopStep(const BlockRecord* block) {
    const LoopForm& loop = block->loop;
    if (loop.stepName == 0 || depth_ + 2 >= stackCapacity_) return false;
    currentToken = At(block->step);
    CVariable* variable = LookUp(reinterpret_cast<NameToken*>(At(loop.stepName)));
    if (variable == nullptr || variable->value.GetType() != kValueInt) return false;
    int32_t old = variable->value.IntPayload();
    uint32_t delta = (loop.flags & LoopForm::kStepDown) != 0 ? ~0u : 1u;
    variable->value.SetInt(WrapInt(uint32_t(old) + delta));
    SetStatementResult(old, nullptr);
    return true;
}

inline int32_t CInterpretor::StepCountingLoop(const BlockRecord* block) {
    const LoopForm& loop = block->loop;
    if ((loop.flags & LoopForm::kCounting) == 0 || depth_ + 2 >= stackCapacity_) return -1;
    uint8_t* stream = GetStream();
    currentToken = stream + block->step;
    CVariable* variable = LookUp(reinterpret_cast<NameToken*>(stream + loop.stepName));
    int32_t limit = 0;
    if (variable == nullptr || variable->value.GetType() != kValueInt ||
        !ReadLoopLimit(loop, limit))
        return -1;
    CValue& value = variable->value;
    uint32_t delta = (loop.flags & LoopForm::kStepDown) != 0 ? ~0u : 1u;
    int32_t x = WrapInt(uint32_t(value.IntPayload()) + delta);
    int32_t truth = LoopTest(loop, x, limit);
    // An empty body runs no code: the next rounds need only what the statement loop
    // checks after each "}", and they end where it would do more than count.
    if ((loop.flags & LoopForm::kEmptyBody) != 0 && truth != 0 && pendingEvent_ == 0 &&
        pendingEndCode < 0) {
        // Copies, so that the rounds keep them in registers.
        const LoopForm rounds = loop;
        int32_t counter = statementCounter_;
        const std::atomic<uint32_t>* stopRequest =
            launchInfo != nullptr ? &launchInfo->stopRequest : nullptr;
        while (counter > 0 &&
               (stopRequest == nullptr || stopRequest->load(std::memory_order_relaxed) == 0)) {
            int32_t next = WrapInt(uint32_t(x) + delta);
            if (LoopTest(rounds, next, limit) == 0) break;
            --counter;
            x = next;
        }
        statementCounter_ = counter;
    }
    value.SetInt(x);
    currentToken = stream + block->condition;
    SetStatementResult(truth, nullptr);
    return truth;
}

inline bool CInterpretor::LoopConditionHolds(const BlockRecord* block) {
    const LoopForm& loop = block->loop;
    currentToken = At(block->condition);
    if (loop.conditionName != 0 && depth_ + 2 < stackCapacity_) {
        int32_t x;
        int32_t limit = 0;
        if (ReadIntegerName(reinterpret_cast<NameToken*>(At(loop.conditionName)), x) &&
            ReadLoopLimit(loop, limit)) {
            int32_t truth = LoopTest(loop, x, limit);
            SetStatementResult(truth, nullptr);
            return truth != 0;
        }
    }
    return Evaluate()->GetInt() != 0;
}

inline CValue* CInterpretor::RunComparison() {
    const auto* header = reinterpret_cast<const TokenHeader*>(currentToken);
    if ((header->flags & kTokenFormChecked) == 0 || depth_ + 2 >= stackCapacity_) return nullptr;
    const ExpressionForm* form = GetForm(header->flags >> kTokenFormShift);
    if (form == nullptr || form->start != currentToken || !IsNameComparison(*form)) return nullptr;
    int32_t x;
    int32_t y = form->steps[1].integer;
    if (!ReadIntegerName(form->steps[0].name, x) ||
        (form->steps[1].kind == kStepName && !ReadIntegerName(form->steps[1].name, y)))
        return nullptr;
    SetStatementResult(CompareIntegers(form->steps[2].code, x, y), nullptr);
    currentToken = form->end;
    return &slots_[depth_ + 1]->value;
}
