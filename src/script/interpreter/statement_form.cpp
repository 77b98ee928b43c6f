// Decoding of a loop's step and condition into the block's loop form.
#include "script/interpreter/statement_form.h"

namespace {

// The comparison of x with `limit` as a range of x, taken inside or outside; one that
// never holds is the whole range, outside.
void SetRange(LoopForm& loop, uint16_t code, int32_t limit) {
    int32_t low = limit;
    int32_t high = limit;
    bool outside = false;
    switch (code) {
    case kTokenLess:
        low = INT32_MIN;
        outside = limit == INT32_MIN;
        high = outside ? INT32_MAX : limit - 1;
        break;
    case kTokenLessEqual:
        low = INT32_MIN;
        break;
    case kTokenGreater:
        high = INT32_MAX;
        outside = limit == INT32_MAX;
        low = outside ? INT32_MIN : limit + 1;
        break;
    case kTokenGreaterEqual:
        high = INT32_MAX;
        break;
    case kTokenEqual:
        break;
    default:
        outside = true;
        break;
    }
    loop.low = uint32_t(low);
    loop.span = uint32_t(high) - uint32_t(low);
    if (outside) loop.flags |= LoopForm::kOutside;
}

} // namespace

const ExpressionForm* CInterpretor::FormAt(uint32_t offset) {
    uint8_t* saved = currentToken;
    currentToken = At(offset);
    const ExpressionForm* form = CurrentForm();
    currentToken = saved;
    return form;
}

void CInterpretor::DecodeLoopForm(BlockRecord* block) {
    LoopForm& loop = block->loop;
    const uint8_t* stream = GetStream();
    if (block->step != 0) {
        const ExpressionForm* form = FormAt(block->step);
        if (form != nullptr && form->count == 2 && form->steps[0].kind == kStepName &&
            form->steps[1].kind == kStepPostStep) {
            loop.stepName =
                uint32_t(reinterpret_cast<const uint8_t*>(form->steps[0].name) - stream);
            if (form->steps[1].code == kTokenDecrement) loop.flags = LoopForm::kStepDown;
        }
    }
    if (block->condition != 0) {
        const ExpressionForm* form = FormAt(block->condition);
        // A limit is read before the step, so it must not be the variable stepped.
        if (form != nullptr && IsNameComparison(*form) &&
            (form->steps[1].kind == kStepInteger ||
             form->steps[1].name->nameId != form->steps[0].name->nameId)) {
            loop.conditionName =
                uint32_t(reinterpret_cast<const uint8_t*>(form->steps[0].name) - stream);
            loop.compare = form->steps[2].code;
            if (form->steps[1].kind == kStepName)
                loop.limitName =
                    uint32_t(reinterpret_cast<const uint8_t*>(form->steps[1].name) - stream);
            else
                SetRange(loop, form->steps[2].code, form->steps[1].integer);
        }
    }
    if (loop.stepName != 0 && loop.conditionName != 0 &&
        reinterpret_cast<const NameToken*>(stream + loop.stepName)->nameId ==
            reinterpret_cast<const NameToken*>(stream + loop.conditionName)->nameId)
        loop.flags |= LoopForm::kCounting;
    loop.body = uint32_t(After(block->bodyStart) - stream);
    if (loop.body == block->end) loop.flags |= LoopForm::kEmptyBody;
    if ((loop.flags & LoopForm::kCounting) != 0 && loop.body != block->end) DecodeCodeBody(block);
    loop.decoded = 1;
}

void CInterpretor::DecodeCodeBody(BlockRecord* block) {
    LoopForm& loop = block->loop;
    uint8_t* statement = At(loop.body);
    uint32_t count = 0;
    while (statement != At(block->end)) {
        uint16_t code = reinterpret_cast<const TokenHeader*>(statement)->code;
        // Statements that the statement loop hands to StatementExpression.
        if ((code != kTokenName && code != kTokenArrayName) || count == LoopForm::kMaxStatements)
            return;
        uint32_t number = FormNumberAt(statement);
        const ExpressionForm* form = GetForm(number);
        if (form == nullptr ||
            reinterpret_cast<const TokenHeader*>(form->end)->code != kTokenSemicolon)
            return;
        bool integer = form->opCount != 0 &&
                       (form->shape == kShapeArithmetic || form->shape == kShapeElementArithmetic ||
                        form->shape == kShapeCodeArithmetic);
        if (!integer && form->shape != kShapeDoubleArithmetic) return;
        loop.statements[count++] = number;
        statement = form->end + reinterpret_cast<const TokenHeader*>(form->end)->size;
    }
    loop.statementCount = uint8_t(count);
    loop.flags |= LoopForm::kCodeBody;
}

void CInterpretor::RunCodeRounds(const BlockRecord* block) {
    // Each step begins with a statement (or the "}") just ended, whose ending the statement
    // loop still owes: it is done here only where it would do nothing but count, and
    // before each statement that then runs in full; anything else returns to the loop at
    // that point. Typed code posts no event and ends nothing, so only the count and a
    // stop asked for from another thread change meanwhile.
    bool dispatch = pendingEvent_ != 0 && eventsEnabled != 0 && handlerDepth_ == 0;
    if (dispatch || pendingEndCode >= 0) return;
    const std::atomic<uint32_t>& stop = StopRequestFlag();
    const LoopForm& loop = block->loop;
    // Forms move only when one is decoded, which makes the statement give way.
    const ExpressionForm* forms[LoopForm::kMaxStatements];
    for (uint32_t k = 0; k < loop.statementCount; ++k)
        forms[k] = GetForm(loop.statements[k]);
    for (;;) {
        for (uint32_t k = 0; k < loop.statementCount; ++k) {
            const ExpressionForm& form = *forms[k];
            uint8_t* start = const_cast<uint8_t*>(form.start);
            currentToken = start;
            if (statementCounter_ <= 0 || stop.load(std::memory_order_relaxed) != 0) return;
            double number;
            bool ran = form.shape == kShapeDoubleArithmetic ? RunDoubleForm(form, number)
                                                            : RunIntegerCode(form);
            if (!ran) {
                currentToken = start;
                return;
            }
            --statementCounter_;
        }
        currentToken = At(block->end);
        if (statementCounter_ <= 0 || stop.load(std::memory_order_relaxed) != 0) return;
        int32_t holds = StepCountingLoop(block);
        if (holds < 0) {
            currentToken = At(block->end);
            return;
        }
        --statementCounter_;
        if (holds == 0) return LeaveLoop(block);
        currentToken = At(loop.body);
    }
}
