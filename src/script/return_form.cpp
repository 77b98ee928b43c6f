// Calls of functions whose body starts by returning a number computed from parameters
// and literals: the value comes straight from the argument frame. The locals such a
// call would bind hold exactly its parameters, and a Return ends the body before the
// statement loop looks for events or counts a statement, so nothing but the value is
// left for the call to make.
#include "script/expression_form.h"
#include "script/form_code.h"
#include "script/interpretor.h"
#include "script/token_codes.h"

namespace {

// The parameter a name reads: of two parameters of one name, the later.
bool ParameterOf(uint32_t nameId, const uint32_t* keys, uint32_t count, uint8_t& parameter) {
    for (uint32_t k = count; k-- > 0;) {
        if (keys[k] == nameId) {
            parameter = uint8_t(k);
            return true;
        }
    }
    return false;
}

} // namespace

void CInterpretor::DecodeReturnForm(BlockRecord* function) {
    ReturnForm& returns = function->returns;
    returns.kind = ReturnForm::kNone;
    uint8_t* resume = currentToken;
    // The header's names, as the binding reads them.
    uint32_t keys[ReturnForm::kMaxPlaces];
    uint32_t count = 0;
    bool plain = true;
    currentToken = At(function->step);
    SkipToken();
    if (CurrentCode() == kTokenOpenParen) {
        for (;;) {
            SkipToken();
            if (CurrentCode() != kTokenName || count == ReturnForm::kMaxPlaces) {
                plain = false;
                break;
            }
            keys[count++] = reinterpret_cast<const NameToken*>(currentToken)->nameId;
            SkipToken();
            if (CurrentCode() != kTokenComma) break;
        }
    }
    currentToken = resume;
    uint8_t* body = After(function->bodyStart);
    if (!plain || reinterpret_cast<const TokenHeader*>(body)->code != kTokenReturn) return;
    uint8_t* expression = body + reinterpret_cast<const TokenHeader*>(body)->size;
    const ExpressionForm* form = FormAt(uint32_t(expression - GetStream()));
    if (form == nullptr ||
        reinterpret_cast<const TokenHeader*>(form->end)->code != kTokenSemicolon)
        return;
    ReturnForm::Kind kind = ReturnForm::kNone;
    if (form->shape == kShapeInteger) {
        kind = ReturnForm::kLiteral;
    } else if (form->shape == kShapeName) {
        if (!ParameterOf(form->steps[0].name->nameId, keys, count, returns.parameters[0])) return;
        kind = ReturnForm::kParameter;
    } else if ((form->shape == kShapeArithmetic && form->opCount != 0) ||
               form->shape == kShapeDoubleArithmetic) {
        // Reading values only: no assignment, no arrays.
        if (form->target != ExpressionForm::kNoTarget || form->elementCount != 0 ||
            form->arrayNames != 0 || form->nameCount > ReturnForm::kMaxPlaces)
            return;
        for (uint32_t place = 0; place < form->nameCount; ++place) {
            uint32_t nameId = form->steps[form->names[place]].name->nameId;
            if (!ParameterOf(nameId, keys, count, returns.parameters[place])) return;
        }
        kind = form->shape == kShapeArithmetic ? ReturnForm::kInteger : ReturnForm::kDouble;
    } else {
        return;
    }
    returns.form = reinterpret_cast<const TokenHeader*>(expression)->flags >> kTokenFormShift;
    returns.kind = kind;
}

bool CInterpretor::RunReturnForm(const BlockRecord* function) {
    if (function->returns.kind == ReturnForm::kUndecoded)
        DecodeReturnForm(const_cast<BlockRecord*>(function));
    const ReturnForm& returns = function->returns;
    if (returns.kind == ReturnForm::kNone) return false;
    const ExpressionForm* form = GetForm(returns.form);
    if (form == nullptr) return false;
    const CallFrame& frame = Frame();
    // A parameter without an argument takes the default, which the body handles.
    auto argument = [&frame](uint8_t parameter) -> const CValue* {
        return parameter < uint32_t(frame.count) ? &frame.slots[parameter] : nullptr;
    };
    switch (returns.kind) {
    case ReturnForm::kLiteral:
        SetCallResult(form->steps[0].integer);
        return true;
    case ReturnForm::kParameter: {
        const CValue* value = argument(returns.parameters[0]);
        if (value == nullptr) return false;
        if (value->GetType() == kValueInt) {
            SetCallResult(value->IntPayload());
            return true;
        }
        if (value->GetType() != kValueDouble) return false;
        SetCallResult(value->DoublePayload());
        return true;
    }
    case ReturnForm::kInteger: {
        int32_t names[ReturnForm::kMaxPlaces];
        for (uint32_t place = 0; place < form->nameCount; ++place) {
            const CValue* value = argument(returns.parameters[place]);
            if (value == nullptr || value->GetType() != kValueInt) return false;
            names[place] = value->IntPayload();
        }
        int32_t result;
        if (!RunIntegerOps(*form, names, nullptr, result)) return false;
        SetCallResult(result);
        return true;
    }
    default: {
        double names[ReturnForm::kMaxPlaces];
        for (uint32_t place = 0; place < form->nameCount; ++place) {
            const CValue* value = argument(returns.parameters[place]);
            if (value == nullptr || value->GetType() != kValueDouble) return false;
            names[place] = value->DoublePayload();
        }
        double result;
        if (!RunDoubleCode(*form, names, result)) return false;
        SetCallResult(result);
        return true;
    }
    }
}

void CInterpretor::SetCallResult(int32_t value) {
    CValue* slot = Operand();
    slot->SetInt(value);
    slot->owner = this;
}

void CInterpretor::SetCallResult(double value) {
    CValue* slot = Operand();
    slot->SetFloat(value);
    slot->owner = this;
}
