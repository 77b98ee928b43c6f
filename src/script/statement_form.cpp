// Decoding of a loop's step and condition into the block's loop form.
#include "script/statement_form.h"

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
    loop.decoded = 1;
}
