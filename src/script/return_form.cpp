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

// The integer a function of a return form computes from its arguments, `integer` reading
// the integer argument of a parameter (false: it has none); false when the body must run.
template <class Integer>
bool IntegerReturn(const ReturnForm& returns, const ExpressionForm& form, Integer integer,
                   int32_t& result) {
    switch (returns.kind) {
    case ReturnForm::kLiteral:
        result = form.steps[0].integer;
        return true;
    case ReturnForm::kParameter:
        return integer(returns.parameters[0], result);
    case ReturnForm::kInteger: {
        int32_t names[ReturnForm::kMaxPlaces];
        for (uint32_t place = 0; place < form.nameCount; ++place) {
            if (!integer(returns.parameters[place], names[place])) return false;
        }
        return RunIntegerOps(form, names, nullptr, nullptr, result);
    }
    default:
        return false;
    }
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

const ExpressionForm* CInterpretor::ReturnFormOf(const BlockRecord* function) {
    if (function->returns.kind == ReturnForm::kUndecoded) {
        DecodeReturnForm(const_cast<BlockRecord*>(function));
        // Decoding may have moved the forms, which the caller may be reading.
        return nullptr;
    }
    return function->returns.kind != ReturnForm::kNone ? GetForm(function->returns.form)
                                                       : nullptr;
}

bool CInterpretor::RunReturnForm(const BlockRecord* function) {
    const ExpressionForm* form = ReturnFormOf(function);
    // Nothing here reads a form but this one: a form decoded just now serves at once.
    if (form == nullptr) form = ReturnFormOf(function);
    if (form == nullptr) return false;
    const ReturnForm& returns = function->returns;
    const CallFrame& frame = Frame();
    // A parameter without an argument takes the default, which the body handles.
    auto argument = [&frame](uint8_t parameter) -> const CValue* {
        return parameter < uint32_t(frame.count) ? &frame.slots[parameter] : nullptr;
    };
    auto integer = [&argument](uint8_t parameter, int32_t& value) {
        const CValue* given = argument(parameter);
        if (given == nullptr || given->GetType() != kValueInt) return false;
        value = given->IntPayload();
        return true;
    };
    int32_t result;
    if (IntegerReturn(returns, *form, integer, result)) {
        SetCallResult(result);
        return true;
    }
    if (returns.kind == ReturnForm::kParameter) {
        const CValue* value = argument(returns.parameters[0]);
        if (value == nullptr || value->GetType() != kValueDouble) return false;
        SetCallResult(value->DoublePayload());
        return true;
    }
    if (returns.kind != ReturnForm::kDouble) return false;
    double names[ReturnForm::kMaxPlaces];
    for (uint32_t place = 0; place < form->nameCount; ++place) {
        const CValue* value = argument(returns.parameters[place]);
        if (value == nullptr || value->GetType() != kValueDouble) return false;
        names[place] = value->DoublePayload();
    }
    double number;
    if (!RunDoubleCode(*form, names, number)) return false;
    SetCallResult(number);
    return true;
}

bool CInterpretor::RunFormCall(const ExpressionForm& form, const FormCall& call,
                               const int32_t* names, int32_t& result) {
    CVariable* variable = LookUpFunction(form.steps[call.step].name);
    if (variable == nullptr || variable->value.GetType() != kValueFunction) return false;
    const BlockRecord* function = variable->value.GetFunction();
    // At the nesting limit the walk makes the call, and reports it.
    if (function == nullptr || function->kind != kBlockFunction ||
        callNesting_ >= kMaxCallNesting)
        return false;
    const ExpressionForm* returned = ReturnFormOf(function);
    if (returned == nullptr) return false;
    auto integer = [&form, &call, names](uint8_t parameter, int32_t& value) {
        if (parameter >= call.count) return false;
        const FormCall::Argument& argument = call.arguments[parameter];
        value = argument.operand == kOperandName ? names[argument.index]
                                                 : form.steps[argument.index].integer;
        return true;
    };
    return IntegerReturn(function->returns, *returned, integer, result);
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
