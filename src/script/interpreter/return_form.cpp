// Calls of functions whose body starts by returning a number computed from parameters
// and literals, maybe behind one "If (condition)" on them: the value comes straight from
// the argument frame. The locals such a call would bind hold exactly its parameters, and
// a Return ends the body before the statement loop looks for events or counts a
// statement; an If before it is one statement, which the call counts, and only while
// nothing the loop does after a statement is due.
#include "script/interpreter/expression_form.h"
#include "script/interpreter/form_code.h"
#include "script/interpreter/interpretor.h"
#include "script/interpreter/statement_form.h"
#include "script/language/token_codes.h"

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

// The code of `form` reads numbers of parameters only (no assignment, no arrays, no
// members, no calls): the parameter of each of its places in `parameters`.
bool ReadsParametersOnly(const ExpressionForm& form, const uint32_t* keys, uint32_t count,
                         uint8_t* parameters) {
    if (form.target != ExpressionForm::kNoTarget || form.elementCount != 0 ||
        form.arrayNames != 0 || form.nameCount > ReturnForm::kMaxPlaces)
        return false;
    for (uint32_t place = 0; place < form.nameCount; ++place) {
        uint32_t nameId = form.steps[form.names[place]].name->nameId;
        if (!ParameterOf(nameId, keys, count, parameters[place])) return false;
    }
    return true;
}

} // namespace

void CInterpretor::DecodeReturnForm(BlockRecord* function) {
    ReturnForm& returns = function->returns;
    returns.kind = ReturnForm::kNone;
    returns.guard = 0;
    // Compiled code runs the bodies.
    if (compiledForm != 0) return;
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
    if (!plain) return;
    auto code = [](const uint8_t* token) {
        return reinterpret_cast<const TokenHeader*>(token)->code;
    };
    auto next = [](uint8_t* token) {
        return token + reinterpret_cast<const TokenHeader*>(token)->size;
    };
    // Every form is decoded before any is read: decoding may move them.
    uint8_t* statement = After(function->bodyStart);
    uint32_t guard = 0;
    uint8_t* afterGuard = nullptr;
    if (code(statement) == kTokenIf) {
        // Where the If goes when its condition does not hold, past an Else.
        afterGuard = At(reinterpret_cast<const TargetToken*>(statement)->target);
        if (code(afterGuard) == kTokenElse) afterGuard = next(afterGuard);
        guard = FormNumberAt(next(statement));
        const ExpressionForm* condition = GetForm(guard);
        if (condition == nullptr || code(condition->end) != kTokenCloseParen) return;
        statement = next(condition->end);
    }
    if (code(statement) != kTokenReturn) return;
    uint32_t number = FormNumberAt(next(statement));
    const ExpressionForm* form = GetForm(number);
    if (form == nullptr || code(form->end) != kTokenSemicolon) return;
    ReturnForm::Kind kind = ReturnForm::kNone;
    if (form->shape == kShapeInteger) {
        kind = ReturnForm::kLiteral;
    } else if (form->shape == kShapeName) {
        if (!ParameterOf(form->steps[0].name->nameId, keys, count, returns.parameters[0])) return;
        kind = ReturnForm::kParameter;
    } else if ((form->shape == kShapeArithmetic && form->opCount != 0) ||
               form->shape == kShapeDoubleArithmetic) {
        if (!ReadsParametersOnly(*form, keys, count, returns.parameters)) return;
        kind = form->shape == kShapeArithmetic ? ReturnForm::kInteger : ReturnForm::kDouble;
    } else {
        return;
    }
    if (guard != 0) {
        const ExpressionForm& condition = *GetForm(guard);
        if (IsNameComparison(condition)) {
            const ExpressionStep* steps = condition.steps;
            if (!ParameterOf(steps[0].name->nameId, keys, count, returns.guardParameters[0]) ||
                (steps[1].kind == kStepName &&
                 !ParameterOf(steps[1].name->nameId, keys, count, returns.guardParameters[1])))
                return;
        } else if (condition.shape != kShapeArithmetic || condition.opCount == 0 ||
                   !ReadsParametersOnly(condition, keys, count, returns.guardParameters)) {
            return;
        }
    }
    returns.guard = guard;
    returns.afterGuard = guard != 0 ? uint32_t(afterGuard - GetStream()) : 0;
    returns.form = number;
    returns.kind = kind;
}

uint32_t CInterpretor::FormNumberAt(uint8_t* token) {
    if (FormAt(uint32_t(token - GetStream())) == nullptr) return 0;
    return reinterpret_cast<const TokenHeader*>(token)->flags >> kTokenFormShift;
}

const ExpressionForm* CInterpretor::ReturnFormOf(const BlockRecord* function) {
    if (function->returns.kind == ReturnForm::kUndecoded) {
        DecodeReturnForm(const_cast<BlockRecord*>(function));
        // Decoding may have moved the forms, which the caller may be reading.
        return nullptr;
    }
    return function->returns.kind != ReturnForm::kNone ? GetForm(function->returns.form) : nullptr;
}

int32_t CInterpretor::RunReturnForm(const BlockRecord* function) {
    const ExpressionForm* form = ReturnFormOf(function);
    // Nothing here reads a form but this one: a form decoded just now serves at once.
    if (form == nullptr) form = ReturnFormOf(function);
    if (form == nullptr) return kRunBody;
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
    if (returns.guard != 0) {
        int32_t holds = GuardHolds(returns, integer);
        if (holds < 0) return kRunBody;
        // The body goes on after the If, which ends here as a statement.
        if (holds == 0) return EndStatementQuietly() ? kRunAfterGuard : kRunBody;
    }
    int32_t result;
    double number = 0.0;
    bool isInteger = IntegerReturn(returns, *form, integer, result);
    if (!isInteger) {
        if (returns.kind == ReturnForm::kParameter) {
            const CValue* value = argument(returns.parameters[0]);
            if (value == nullptr || value->GetType() != kValueDouble) return kRunBody;
            number = value->DoublePayload();
        } else if (returns.kind == ReturnForm::kDouble) {
            double names[ReturnForm::kMaxPlaces];
            for (uint32_t place = 0; place < form->nameCount; ++place) {
                const CValue* value = argument(returns.parameters[place]);
                if (value == nullptr || value->GetType() != kValueDouble) return kRunBody;
                names[place] = value->DoublePayload();
            }
            if (!RunDoubleCode(*form, names, number)) return kRunBody;
        } else {
            return kRunBody;
        }
    }
    if (returns.guard != 0 && !EndStatementQuietly()) return kRunBody;
    if (isInteger)
        SetCallResult(result);
    else
        SetCallResult(number);
    return kAnswered;
}

bool CInterpretor::EndStatementQuietly() {
    if (!StatementEndIsQuiet()) return false;
    --statementCounter_;
    return true;
}

template <class Integer>
int32_t CInterpretor::GuardHolds(const ReturnForm& returns, Integer integer) {
    const ExpressionForm* condition = GetForm(returns.guard);
    if (condition == nullptr) return -1;
    int32_t truth;
    if (IsNameComparison(*condition)) {
        int32_t x;
        int32_t y = condition->steps[1].integer;
        if (!integer(returns.guardParameters[0], x) ||
            (condition->steps[1].kind == kStepName && !integer(returns.guardParameters[1], y)))
            return -1;
        truth = CompareIntegers(condition->steps[2].code, x, y);
    } else {
        int32_t names[ReturnForm::kMaxPlaces];
        for (uint32_t place = 0; place < condition->nameCount; ++place) {
            if (!integer(returns.guardParameters[place], names[place])) return -1;
        }
        if (!RunIntegerOps(*condition, names, nullptr, nullptr, truth)) return -1;
    }
    return truth != 0 ? 1 : 0;
}

bool CInterpretor::RunFormCall(const ExpressionForm& form, const FormCall& call,
                               const int32_t* names, int32_t& result) {
    CVariable* variable = LookUpFunction(form.steps[call.step].name);
    if (variable == nullptr || variable->value.GetType() != kValueFunction) return false;
    const BlockRecord* function = variable->value.GetFunction();
    // At the nesting limit the walk makes the call, and reports it.
    if (function == nullptr || function->kind != kBlockFunction || callNesting_ >= kMaxCallNesting)
        return false;
    const ExpressionForm* returned = ReturnFormOf(function);
    // An If before the Return is a statement, which a form cannot count once only: the
    // form may still give way to the walk, which makes the call again.
    if (returned == nullptr || function->returns.guard != 0) return false;
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
