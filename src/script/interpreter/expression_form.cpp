// Expressions decoded once into forms (token_record.h) and run without the operand and
// operator stacks: numbers read from plain names, members and array elements and from
// literals, and the operators on numbers. A form never changes what the walk of
// expression.cpp would do: wherever a value needs the walk, the form gives way before it
// has changed anything.
#include <cmath>

#include "script/interpreter/expression_form.h"
#include "script/interpreter/form_code.h"
#include "script/interpreter/interpretor.h"
#include "script/language/token_codes.h"
#include "script/values/script_array.h"

namespace {

bool IsOperatorCode(uint32_t code) {
    return code > 120 && code < 155;
}

uint16_t CodeAt(const uint8_t* token) {
    return reinterpret_cast<const TokenHeader*>(token)->code;
}

uint8_t* Next(uint8_t* token) {
    return token + reinterpret_cast<const TokenHeader*>(token)->size;
}

bool EndsEmptyOperand(uint16_t code) {
    return code == kTokenCloseParen || code == kTokenComma || code == kTokenSemicolon;
}

bool IsMemberCode(uint16_t code) {
    return code == kTokenMemberCall || code == kTokenMember || code == kTokenArrayMember;
}

// Mirrors the operator-precedence walk of Evaluate over the tokens alone, writing the
// steps in the order the walk would apply them. Anything the walk would treat in
// another way (calls, methods, member chains, texts, "?", Var, New) leaves no form.
class FormDecoder {
public:
    explicit FormDecoder(ExpressionForm& form) : form_(form) { form_.count = 0; }

    // The token that ends the expression at `token`, or null when it has no form.
    uint8_t* Expression(uint8_t* token) {
        Nesting nesting(*this);
        if (nesting_ > kMaxNesting) return nullptr;
        uint16_t operators[ExpressionForm::kMaxSteps];
        uint32_t pending = 0;
        bool empty = false;
        for (;;) {
            token = empty ? token : Operand(token);
            if (token == nullptr) return nullptr;
            for (;;) {
                uint16_t code = CodeAt(token);
                if (IsOperatorCode(code) && (pending == 0 || code > operators[pending - 1])) {
                    if (!IsFormOperator(code) || pending == ExpressionForm::kMaxSteps)
                        return nullptr;
                    operators[pending++] = code;
                    token = Next(token);
                    // A step operator takes the empty operand of a closing token.
                    empty = code == kTokenIncrement || code == kTokenDecrement;
                    if (empty && !EndsEmptyOperand(CodeAt(token))) return nullptr;
                    break;
                }
                if (pending == 0) return token;
                if (!Reduce(operators[--pending])) return nullptr;
            }
        }
    }

private:
    // Parentheses and prefix operators nest the decoding; a form has few steps, so a
    // deep nesting is left to the walk, which guards its stack.
    static constexpr uint32_t kMaxNesting = ExpressionForm::kMaxSteps;
    struct Nesting {
        explicit Nesting(FormDecoder& decoder) : decoder(decoder) { ++decoder.nesting_; }
        ~Nesting() { --decoder.nesting_; }
        FormDecoder& decoder;
    };

    static bool IsFormOperator(uint16_t code) {
        return (code >= kTokenAssign && code <= kTokenShiftRightAssign) ||
               (code >= kTokenLogicalAnd && code <= kTokenNotEqual) ||
               (code >= kTokenIncrement && code <= kTokenShiftRight);
    }

    uint8_t* Operand(uint8_t* token) {
        Nesting nesting(*this);
        if (nesting_ > kMaxNesting) return nullptr;
        uint16_t code = CodeAt(token);
        switch (code) {
        case kTokenName: {
            uint8_t* next = Next(token);
            StepKind kind = kStepName;
            if (CodeAt(next) == kTokenMember) {
                kind = kStepMember;
                next = Next(next);
            }
            if (IsMemberCode(CodeAt(next))) return nullptr;
            ExpressionStep* step = Emit(kind, 0);
            if (step == nullptr) return nullptr;
            step->name = reinterpret_cast<NameToken*>(token);
            return next;
        }
        case kTokenInteger:
        case kTokenHexInteger:
        case 104:
            return Integer(token, reinterpret_cast<const IntegerToken*>(token)->value);
        case kTokenArrayName:
            return Listed(token, kStepElement, kTokenCloseBracket, CScriptArray::kMaxDimensions);
        case kTokenCallName:
            return Listed(token, kStepCall, kTokenCloseParen, FormCall::kMaxArguments);
        case kTokenTrue:
        case kTokenOn:
            return Integer(token, 1);
        case 107:
        case kTokenFalse:
        case kTokenOff:
            return Integer(token, 0);
        case kTokenDouble: {
            ExpressionStep* step = Emit(kStepDouble, 0);
            if (step == nullptr) return nullptr;
            step->number = reinterpret_cast<const DoubleToken*>(token)->value;
            return Next(token);
        }
        case kTokenOpenParen: {
            uint8_t* close = Expression(Next(token));
            if (close == nullptr || CodeAt(close) != kTokenCloseParen) return nullptr;
            uint8_t* next = Next(close);
            return IsMemberCode(CodeAt(next)) ? nullptr : next;
        }
        case kTokenPlus:
            return Operand(Next(token));
        case kTokenMinus:
        case kTokenNot:
        case kTokenIncrement:
        case kTokenDecrement: {
            uint8_t* next = Operand(Next(token));
            if (next == nullptr) return nullptr;
            StepKind kind = code == kTokenMinus ? kStepNegate
                            : code == kTokenNot ? kStepNot
                                                : kStepPreStep;
            return Emit(kind, code) != nullptr ? next : nullptr;
        }
        default:
            return nullptr;
        }
    }

    // "name[i, j, ...]" (an element) or "name(a, b, ...)" (a call): each index or argument
    // is an expression of its own, up to "," or the closing token; only a call's list
    // may be empty.
    uint8_t* Listed(uint8_t* token, StepKind kind, uint16_t close, uint32_t most) {
        uint8_t* next = Next(token);
        uint16_t count = 0;
        if (kind == kStepCall && CodeAt(next) == close) {
            next = Next(next);
        } else {
            for (;;) {
                if (count == most) return nullptr;
                uint8_t* end = Expression(next);
                if (end == nullptr) return nullptr;
                ++count;
                next = Next(end);
                if (CodeAt(end) == kTokenComma) continue;
                if (CodeAt(end) != close) return nullptr;
                break;
            }
        }
        if (IsMemberCode(CodeAt(next))) return nullptr;
        ExpressionStep* step = Emit(kind, count);
        if (step == nullptr) return nullptr;
        step->name = reinterpret_cast<NameToken*>(token);
        return next;
    }

    uint8_t* Integer(uint8_t* token, int32_t value) {
        ExpressionStep* step = Emit(kStepInteger, 0);
        if (step == nullptr) return nullptr;
        step->integer = value;
        return Next(token);
    }

    bool Reduce(uint16_t code) {
        StepKind kind = kStepBinary;
        if (code == kTokenAssign)
            kind = kStepAssign;
        else if (code <= kTokenShiftRightAssign)
            kind = kStepCompound;
        else if (code == kTokenIncrement || code == kTokenDecrement)
            kind = kStepPostStep;
        return Emit(kind, code) != nullptr;
    }

    ExpressionStep* Emit(StepKind kind, uint16_t code) {
        if (form_.count == ExpressionForm::kMaxSteps) return nullptr;
        // A write must be the last step: the walk may still take over before it.
        if (form_.count > 0 && form_.steps[form_.count - 1].kind >= kStepPreStep) return nullptr;
        ExpressionStep* step = &form_.steps[form_.count++];
        step->kind = kind;
        step->code = code;
        step->unused = 0;
        step->number = 0;
        return step;
    }

    ExpressionForm& form_;
    uint32_t nesting_ = 0;
};

// A number on the stack of a form, with the variable it was read from while it is one
// and, for an array element, the variable holding the array.
struct FormValue {
    bool isDouble;
    int32_t integer;
    double number;
    CValue* variable;
    CValue* holder;
    // For a member, the object holding it.
    CIBaseClassImpl* object;

    double AsDouble() const { return isDouble ? number : double(integer); }
};

bool ReadNumber(const CValue& value, FormValue& out) {
    if (value.GetType() == kValueInt) {
        out.isDouble = false;
        out.integer = value.IntPayload();
        return true;
    }
    if (value.GetType() == kValueDouble) {
        out.isDouble = true;
        out.number = value.DoublePayload();
        return true;
    }
    return false;
}

void WriteNumber(const FormValue& number, CValue& value) {
    if (number.isDouble)
        value.SetFloat(number.number);
    else
        value.SetInt(number.integer);
}

void SetInteger(FormValue& value, int32_t integer) {
    value.isDouble = false;
    value.integer = integer;
}

void SetDouble(FormValue& value, double number) {
    value.isDouble = true;
    value.number = number;
}

int32_t CompareDoubles(uint16_t code, double a, double b) {
    return code == kTokenGreaterEqual ? a >= b
           : code == kTokenLessEqual  ? a <= b
           : code == kTokenEqual      ? a == b
           : code == kTokenLess       ? a < b
           : code == kTokenGreater    ? a > b
                                      : !(a == b);
}

// `left` op `right` into `left` as the value operators compute it; false where they
// would raise an error (division by zero, bit operators on doubles and so on).
[[gnu::noinline]] bool ApplyOperator(uint16_t code, FormValue& left, const FormValue& right) {
    if (!left.isDouble && !right.isDouble)
        return IntegerOperator(code, left.integer, right.integer, left.integer);
    // At least one double; the bit, shift and logical operators take integers only here.
    double a = left.AsDouble();
    double b = right.AsDouble();
    switch (code) {
    case kTokenPlus:
        SetDouble(left, a + b);
        return true;
    case kTokenMinus:
        SetDouble(left, a - b);
        return true;
    case kTokenMultiply:
        SetDouble(left, a * b);
        return true;
    case kTokenDivide:
        if (b == 0.0) return false;
        SetDouble(left, a / b);
        return true;
    case kTokenModulo:
        if (b == 0.0) return false;
        SetDouble(left, std::fmod(a, b));
        return true;
    case kTokenGreaterEqual:
    case kTokenLessEqual:
    case kTokenEqual:
    case kTokenLess:
    case kTokenGreater:
    case kTokenNotEqual:
        SetInteger(left, CompareDoubles(code, a, b));
        return true;
    default:
        return false;
    }
}

// The operator a compound assignment applies.
uint16_t CompoundOperator(uint16_t code) {
    switch (code) {
    case kTokenAddAssign:
        return kTokenPlus;
    case kTokenSubtractAssign:
        return kTokenMinus;
    case kTokenMultiplyAssign:
        return kTokenMultiply;
    case kTokenDivideAssign:
        return kTokenDivide;
    case kTokenAndAssign:
        return kTokenBitAnd;
    case kTokenOrAssign:
        return kTokenBitOr;
    case kTokenXorAssign:
        return kTokenBitXor;
    case kTokenModuloAssign:
        return kTokenModulo;
    case kTokenShiftLeftAssign:
        return kTokenShiftLeft;
    default:
        return kTokenShiftRight;
    }
}

// Points each name and member step at the first earlier step of the same name: a form
// changes nothing before its last step, so the name finds the same variable there.
void LinkRepeatedNames(ExpressionForm& form) {
    for (uint32_t i = 1; i < form.count; ++i) {
        ExpressionStep& step = form.steps[i];
        if (step.kind != kStepName && step.kind != kStepMember) continue;
        for (uint32_t j = 0; j < i; ++j) {
            const ExpressionStep& earlier = form.steps[j];
            if ((earlier.kind == kStepName || earlier.kind == kStepMember ||
                 earlier.kind == kStepElement) &&
                earlier.name->nameId == step.name->nameId) {
                step.code = uint16_t(j + 1);
                break;
            }
        }
    }
}

// Integer arithmetic whose operands include calls or members: whatever its first step.
bool HasCodeOperands(const ExpressionForm& form) {
    bool code = false;
    for (uint32_t i = 0; i < form.count; ++i) {
        uint16_t kind = form.steps[i].kind;
        code = code || kind == kStepCall || kind == kStepMember;
        if (kind != kStepName && kind != kStepInteger && kind != kStepElement &&
            kind != kStepCall && kind != kStepMember && kind != kStepBinary && kind != kStepAssign)
            return false;
    }
    return code;
}

uint32_t ShapeOf(const ExpressionForm& form) {
    const ExpressionStep* steps = form.steps;
    if (form.count == 1 && steps[0].kind == kStepInteger) return kShapeInteger;
    if (HasCodeOperands(form)) return kShapeCodeArithmetic;
    if (form.count == 0 || steps[0].kind != kStepName) return kShapeGeneral;
    if (form.count == 1) return kShapeName;
    if (form.count == 2 && (steps[1].kind == kStepPreStep || steps[1].kind == kStepPostStep))
        return kShapeNameStep;
    if (form.count == 3 && steps[1].kind == kStepInteger && steps[2].kind == kStepBinary) {
        uint16_t code = steps[2].code;
        if ((code >= kTokenGreaterEqual && code <= kTokenNotEqual) || code == kTokenPlus ||
            code == kTokenMinus)
            return kShapeNameInteger;
    }
    bool integers = true;
    bool elements = false;
    bool doubles = true;
    bool doubleLiteral = false;
    for (uint32_t i = 0; i < form.count; ++i) {
        uint16_t kind = steps[i].kind;
        uint16_t code = steps[i].code;
        doubleLiteral = doubleLiteral || kind == kStepDouble;
        elements = elements || kind == kStepElement;
        if (kind != kStepName && kind != kStepInteger && kind != kStepElement &&
            kind != kStepBinary && kind != kStepAssign)
            integers = false;
        bool doubleOperator =
            kind == kStepBinary && (code == kTokenPlus || code == kTokenMinus ||
                                    code == kTokenMultiply || code == kTokenDivide);
        if (kind != kStepName && kind != kStepDouble && kind != kStepAssign && !doubleOperator)
            doubles = false;
    }
    if (integers) return elements ? kShapeElementArithmetic : kShapeArithmetic;
    return doubles && doubleLiteral ? kShapeDoubleArithmetic : kShapeGeneral;
}

// The place of step `index`'s name among the form's names, added when it is new.
uint8_t NamePlace(ExpressionForm& form, uint32_t index) {
    uint32_t nameId = form.steps[index].name->nameId;
    for (uint8_t place = 0; place < form.nameCount; ++place) {
        if (form.steps[form.names[place]].name->nameId == nameId) return place;
    }
    form.names[form.nameCount] = uint8_t(index);
    return form.nameCount++;
}

DoubleOperation OperationOf(uint16_t code, bool reversed) {
    DoubleOperation operation = code == kTokenPlus       ? kDoubleAdd
                                : code == kTokenMinus    ? kDoubleSubtract
                                : code == kTokenMultiply ? kDoubleMultiply
                                                         : kDoubleDivide;
    return reversed ? DoubleOperation(operation + kDoubleAddReversed - kDoubleAdd) : operation;
}

// What the steps of a form being compiled to accumulator code have left on their stack: a
// literal, name or element not read yet, the accumulator, or a value the code pushed.
enum EntryKind : uint8_t { kLeaf, kAccumulator, kPushed };
struct StackEntry {
    EntryKind kind;
    FormOperand operand;
    uint8_t index;
};

// How accumulator code moves: load an operand, apply an operator with the operand on the
// right or (reversed) on the left, push the accumulator to make room for a new value.
enum class AccumulatorMove { kLoad, kApply, kApplyReversed, kPush };

// The accumulator code of stacked steps, shared by the double and integer codes, which
// only encode the moves apart.
class AccumulatorPlan {
public:
    void Push(StackEntry entry) { stack_[n_++] = entry; }
    StackEntry Pop() { return stack_[--n_]; }
    StackEntry& Top() { return stack_[n_ - 1]; }

    // A binary operator on the two top entries; false when the code is full or the
    // entries take no such code.
    template <class Emit> bool Binary(uint16_t op, Emit& emit) {
        StackEntry right = stack_[--n_];
        StackEntry left = stack_[--n_];
        if (left.kind == kAccumulator && right.kind == kLeaf) {
            if (!emit(AccumulatorMove::kApply, right, op)) return false;
        } else if ((left.kind == kLeaf || left.kind == kPushed) && right.kind == kAccumulator) {
            if (!emit(AccumulatorMove::kApplyReversed, left, op)) return false;
        } else if (left.kind == kLeaf && right.kind == kLeaf) {
            // A new value: the one in the accumulator waits on the code's stack.
            if (accumulator_ != nullptr) {
                constexpr StackEntry popped{kPushed, kOperandPopped, 0};
                if (!emit(AccumulatorMove::kPush, popped, 0)) return false;
                *accumulator_ = popped;
            }
            if (!emit(AccumulatorMove::kLoad, left, 0) || !emit(AccumulatorMove::kApply, right, op))
                return false;
        } else {
            return false;
        }
        PushAccumulator();
        return true;
    }

    // The assignment, always the last step: the target left below the value, which ends
    // up in the accumulator. False when the code is full or the target is no leaf.
    template <class Emit> bool Assign(Emit& emit, StackEntry& target) {
        StackEntry right = stack_[--n_];
        target = stack_[--n_];
        if (target.kind != kLeaf) return false;
        if (right.kind == kLeaf && !emit(AccumulatorMove::kLoad, right, 0)) return false;
        PushAccumulator();
        return true;
    }

    // Once every step is planned: the code leaves the form's value in the accumulator.
    template <class Emit> bool Finish(Emit& emit) {
        if (n_ != 1) return false;
        return stack_[0].kind != kLeaf || emit(AccumulatorMove::kLoad, stack_[0], 0);
    }

private:
    void PushAccumulator() {
        accumulator_ = &stack_[n_];
        stack_[n_++] = {kAccumulator, kOperandLiteral, 0};
    }

    StackEntry stack_[ExpressionForm::kMaxSteps];
    uint32_t n_ = 0;
    // The entry that is the accumulator, when one is.
    StackEntry* accumulator_ = nullptr;
};

// Turns a form of the double arithmetic shape into accumulator code, which applies the
// same operations to the same operands in the same order as the steps do; false when
// it has none (the left side of "=" is no name).
bool CompileDoubleForm(ExpressionForm& form) {
    form.opCount = 0;
    form.nameCount = 0;
    form.target = ExpressionForm::kNoTarget;
    auto emit = [&form](AccumulatorMove move, const StackEntry& operand, uint16_t op) {
        if (form.opCount == ExpressionForm::kMaxOps) return false;
        uint8_t code = kDoublePush;
        if (move != AccumulatorMove::kPush) {
            DoubleOperation operation =
                move == AccumulatorMove::kLoad
                    ? kDoubleLoad
                    : OperationOf(op, move == AccumulatorMove::kApplyReversed);
            code = DoubleCode(operation, operand.operand);
        }
        form.doubleOps[form.opCount++] = DoubleOp{code, operand.index};
        return true;
    };
    AccumulatorPlan plan;
    for (uint32_t i = 0; i < form.count; ++i) {
        const ExpressionStep& step = form.steps[i];
        if (step.kind == kStepName) {
            plan.Push({kLeaf, kOperandName, NamePlace(form, i)});
        } else if (step.kind == kStepDouble) {
            plan.Push({kLeaf, kOperandLiteral, uint8_t(i)});
        } else if (step.kind == kStepBinary) {
            if (!plan.Binary(step.code, emit)) return false;
        } else if (step.kind == kStepAssign) {
            StackEntry target;
            if (!plan.Assign(emit, target) || target.operand != kOperandName) return false;
            form.target = target.index;
        } else {
            return false;
        }
    }
    return plan.Finish(emit);
}

// A literal or a name not read yet: what an index or an argument of integer code can be.
bool IsPlainLeaf(const StackEntry& entry) {
    return entry.kind == kLeaf &&
           (entry.operand == kOperandLiteral || entry.operand == kOperandName);
}

bool SameElement(const FormElement& a, const FormElement& b) {
    if (a.array != b.array || a.count != b.count) return false;
    for (uint32_t k = 0; k < a.count; ++k) {
        if (a.indexOperands[k] != b.indexOperands[k] || a.indices[k] != b.indices[k]) return false;
    }
    return true;
}

// Turns a form of the arithmetic shapes into accumulator code for a statement, which
// applies the same operators to the same operands in the same order as the steps do;
// false when it has none (an element with more than two indices or a computed one, a
// name read both as an array and as a number, a left side of "=" that is no variable).
bool CompileIntegerForm(ExpressionForm& form) {
    uint32_t numberNames = 0;
    form.opCount = 0;
    form.nameCount = 0;
    form.elementCount = 0;
    form.arrayNames = 0;
    form.target = ExpressionForm::kNoTarget;
    form.targetElement = ExpressionForm::kNoTarget;
    form.targetMember = ExpressionForm::kNoTarget;
    form.callCount = 0;
    form.memberCount = 0;
    form.objectNames = 0;
    auto emit = [&form](AccumulatorMove move, const StackEntry& operand, uint16_t op) {
        if (form.opCount == ExpressionForm::kMaxOps) return false;
        uint8_t code = move == AccumulatorMove::kLoad            ? kIntegerLoad
                       : move == AccumulatorMove::kApply         ? kIntegerApply
                       : move == AccumulatorMove::kApplyReversed ? kIntegerApplyReversed
                                                                 : kIntegerPush;
        form.integerOps[form.opCount++] =
            IntegerOp{code, operand.operand, operand.index, uint8_t(op)};
        return true;
    };
    AccumulatorPlan plan;
    for (uint32_t i = 0; i < form.count; ++i) {
        const ExpressionStep& step = form.steps[i];
        if (step.kind == kStepName) {
            uint8_t place = NamePlace(form, i);
            numberNames |= 1u << place;
            plan.Push({kLeaf, kOperandName, place});
        } else if (step.kind == kStepInteger) {
            plan.Push({kLeaf, kOperandLiteral, uint8_t(i)});
        } else if (step.kind == kStepElement) {
            if (step.code > FormElement::kMaxIndices) return false;
            FormElement& element = form.elements[form.elementCount];
            element.count = uint8_t(step.code);
            for (uint32_t k = step.code; k-- > 0;) {
                StackEntry index = plan.Pop();
                if (!IsPlainLeaf(index)) return false;
                element.indexOperands[k] = index.operand;
                element.indices[k] = index.index;
            }
            uint8_t place = NamePlace(form, i);
            form.arrayNames |= 1u << place;
            element.array = place;
            // The same element twice (a[i] = a[i] + 1) is read once.
            uint8_t number = form.elementCount;
            for (uint8_t earlier = 0; earlier < form.elementCount; ++earlier) {
                if (SameElement(form.elements[earlier], element)) number = earlier;
            }
            if (number == form.elementCount) ++form.elementCount;
            plan.Push({kLeaf, kOperandElement, number});
        } else if (step.kind == kStepMember) {
            if (form.memberCount == ExpressionForm::kMaxMembers) return false;
            uint8_t place = NamePlace(form, i);
            form.objectNames |= 1u << place;
            form.members[form.memberCount] = {place, uint8_t(i)};
            plan.Push({kLeaf, kOperandMember, form.memberCount++});
        } else if (step.kind == kStepCall) {
            if (form.callCount == ExpressionForm::kMaxCalls) return false;
            FormCall& call = form.calls[form.callCount];
            call.step = uint8_t(i);
            call.count = uint8_t(step.code);
            for (uint32_t k = step.code; k-- > 0;) {
                StackEntry argument = plan.Pop();
                if (!IsPlainLeaf(argument)) return false;
                call.arguments[k] = {argument.operand, argument.index};
            }
            plan.Push({kLeaf, kOperandCall, form.callCount++});
        } else if (step.kind == kStepBinary) {
            if (!plan.Binary(step.code, emit)) return false;
        } else if (step.kind == kStepAssign) {
            StackEntry target;
            if (!plan.Assign(emit, target) || target.operand == kOperandLiteral ||
                target.operand == kOperandCall)
                return false;
            if (target.operand == kOperandName)
                form.target = target.index;
            else if (target.operand == kOperandMember)
                form.targetMember = target.index;
            else
                form.targetElement = target.index;
        } else {
            return false;
        }
    }
    if ((numberNames & form.arrayNames) != 0 ||
        (form.objectNames & (numberNames | form.arrayNames)) != 0)
        return false;
    return plan.Finish(emit);
}

void StepNumber(FormValue& value, uint16_t code) {
    if (value.isDouble)
        value.number += code == kTokenIncrement ? 1.0 : -1.0;
    else
        value.integer = WrapInt(uint32_t(value.integer) + (code == kTokenIncrement ? 1u : ~0u));
}

} // namespace

void CInterpretor::DecodeForm() {
    auto* header = reinterpret_cast<TokenHeader*>(currentToken);
    if (referenceWalk != 0) {
        // Form 0: none, so every expression, loop and return takes the walk.
        header->flags = (header->flags & ((1u << kTokenFormShift) - 1)) | kTokenFormChecked;
        return;
    }
    ExpressionForm form;
    form.start = currentToken;
    // What the codes read: none until one is compiled.
    form.opCount = 0;
    form.nameCount = 0;
    form.target = ExpressionForm::kNoTarget;
    form.elementCount = 0;
    form.targetElement = ExpressionForm::kNoTarget;
    form.callCount = 0;
    form.memberCount = 0;
    form.targetMember = ExpressionForm::kNoTarget;
    form.arrayNames = 0;
    form.objectNames = 0;
    form.epoch = 0;
    FormDecoder decoder(form);
    uint8_t* end = decoder.Expression(currentToken);
    uint32_t number = 0;
    if (end != nullptr && form.count > 0) {
        form.end = end;
        LinkRepeatedNames(form);
        form.shape = ShapeOf(form);
        if (form.shape == kShapeDoubleArithmetic && !CompileDoubleForm(form))
            form.shape = kShapeGeneral;
        if ((form.shape == kShapeArithmetic || form.shape == kShapeElementArithmetic) &&
            !CompileIntegerForm(form))
            form.opCount = 0;
        // Calls run from integer code or by the walk, never by the other runners.
        bool code = form.shape == kShapeCodeArithmetic && CompileIntegerForm(form);
        if (!code && form.shape == kShapeCodeArithmetic) {
            form.shape = kShapeGeneral;
            form.opCount = 0;
        }
        for (uint32_t i = 0; i < form.count && !code; ++i) {
            if (form.steps[i].kind == kStepCall) form.count = 0;
        }
        if (form.count != 0) number = AddForm(form);
    }
    header->flags = (header->flags & ((1u << kTokenFormShift) - 1)) | kTokenFormChecked |
                    number << kTokenFormShift;
}

inline CVariable* CInterpretor::StepVariable(const ExpressionStep& step, uint32_t i,
                                             CVariable** found) {
    CVariable* variable = step.code != 0 ? found[step.code - 1] : LookUp(step.name);
    found[i] = variable;
    return variable;
}

template <bool kElements, bool kResult>
bool CInterpretor::RunIntegerForm(const ExpressionForm& form, uint32_t base) {
    int32_t values[ExpressionForm::kMaxSteps];
    // The variable each value was read from, while it is one, and for an element the
    // variable holding its array.
    CValue* variables[ExpressionForm::kMaxSteps];
    [[maybe_unused]] CValue* holders[ExpressionForm::kMaxSteps];
    // For an element, its array and flat index instead of a variable: the element is
    // written through its array, and only a result handed on asks for its address.
    [[maybe_unused]] CScriptArray* elementArrays[ExpressionForm::kMaxSteps];
    [[maybe_unused]] uint32_t flats[ExpressionForm::kMaxSteps];
    // The variable each named step found.
    CVariable* found[ExpressionForm::kMaxSteps];
    // The last array read, by the name of its variable: nothing changes before the last
    // step, so a later element of the same name is in the same array.
    [[maybe_unused]] uint32_t arrayName = 0;
    [[maybe_unused]] CVariable* arrayVariable = nullptr;
    [[maybe_unused]] CScriptArray* array = nullptr;
    uint32_t n = 0;
    for (uint32_t i = 0; i < form.count; ++i) {
        const ExpressionStep& step = form.steps[i];
        switch (step.kind) {
        case kStepName: {
            CVariable* variable = StepVariable(step, i, found);
            if (variable == nullptr || variable->value.GetType() != kValueInt) return false;
            values[n] = variable->value.IntPayload();
            if constexpr (kElements && kResult) holders[n] = nullptr;
            if constexpr (kElements) elementArrays[n] = nullptr;
            variables[n++] = &variable->value;
            break;
        }
        case kStepInteger:
            values[n] = step.integer;
            if constexpr (kElements && kResult) holders[n] = nullptr;
            if constexpr (kElements) elementArrays[n] = nullptr;
            variables[n++] = nullptr;
            break;
        case kStepElement: {
            if constexpr (kElements) {
                // An element that exists within the bounds; the walk shapes or grows
                // arrays.
                n -= step.code;
                if (arrayVariable == nullptr || step.name->nameId != arrayName) {
                    arrayVariable = LookUp(step.name);
                    if (arrayVariable == nullptr || arrayVariable->value.GetType() != kValueArray)
                        return false;
                    array = ArrayOf(arrayVariable->value);
                    if (array == nullptr) return false;
                    arrayName = step.name->nameId;
                }
                found[i] = arrayVariable;
                uint32_t flat = 0;
                if (!array->FindFlatIndex(values + n, step.code, flat) ||
                    !array->ReadInt(flat, values[n]))
                    return false;
                if constexpr (kResult) holders[n] = &arrayVariable->value;
                elementArrays[n] = array;
                flats[n] = flat;
                variables[n++] = nullptr;
                break;
            }
            return false;
        }
        case kStepBinary: {
            --n;
            int32_t a = values[n - 1];
            int32_t b = values[n];
            variables[n - 1] = nullptr;
            if constexpr (kElements && kResult) holders[n - 1] = nullptr;
            if constexpr (kElements) elementArrays[n - 1] = nullptr;
            if (step.code == kTokenPlus)
                values[n - 1] = WrapInt(uint32_t(a) + uint32_t(b));
            else if (step.code == kTokenMinus)
                values[n - 1] = WrapInt(uint32_t(a) - uint32_t(b));
            else if (!IntegerOperator(step.code, a, b, values[n - 1]))
                return false;
            break;
        }
        default: {
            // The assignment, always the last step.
            --n;
            CValue* target = variables[n - 1];
            if constexpr (kElements) {
                if (CScriptArray* targetArray = elementArrays[n - 1]) {
                    targetArray->SetItemInt(flats[n - 1], values[n]);
                } else {
                    if (target == nullptr) return false;
                    target->SetInt(values[n]);
                }
            } else {
                if (target == nullptr) return false;
                target->SetInt(values[n]);
            }
            if constexpr (kResult) {
                values[n - 1] = values[n];
                variables[n - 1] = variables[n];
                if constexpr (kElements) {
                    holders[n - 1] = holders[n];
                    elementArrays[n - 1] = elementArrays[n];
                    flats[n - 1] = flats[n];
                }
            }
            break;
        }
        }
    }
    currentToken = form.end;
    if constexpr (kResult) {
        StackSlot* slot = slots_[base + 1];
        slot->value.SetInt(values[0]);
        slot->value.source = variables[0];
        slot->anchorKind = kValueInt;
        // An element read stays valid for what the caller does with it, as in RunForm.
        if constexpr (kElements) {
            if (elementArrays[0] != nullptr)
                slot->value.source = elementArrays[0]->GetItem(flats[0]);
            if (const CValue* holder = holders[0]) {
                if (!slot->anchor.HoldsSameArray(*holder)) slot->anchor.Assign(*holder);
                slot->anchorKind = kValueArray;
            }
        }
    }
    return true;
}

template bool CInterpretor::RunIntegerForm<false, true>(const ExpressionForm& form, uint32_t base);
template bool CInterpretor::RunIntegerForm<true, true>(const ExpressionForm& form, uint32_t base);
template bool CInterpretor::RunIntegerForm<false, false>(const ExpressionForm& form, uint32_t base);
template bool CInterpretor::RunIntegerForm<true, false>(const ExpressionForm& form, uint32_t base);

CVariable* const* CInterpretor::FormVariables(const ExpressionForm& form) {
    uint64_t epoch = ScopeEpoch();
    if (form.epoch == epoch) [[likely]]
        return form.variables;
    for (uint32_t place = 0; place < form.nameCount; ++place) {
        CVariable* variable = LookUp(form.steps[form.names[place]].name);
        if (variable == nullptr) return nullptr;
        form.variables[place] = variable;
    }
    form.epoch = epoch;
    return form.variables;
}

bool CInterpretor::RunDoubleForm(const ExpressionForm& form, double& result) {
    // Every name is read before anything is computed: nothing changes before the end.
    double names[ExpressionForm::kMaxSteps];
    CValue* target = nullptr;
    CVariable* const* variables = FormVariables(form);
    if (variables == nullptr) return false;
    for (uint32_t place = 0; place < form.nameCount; ++place) {
        CVariable* variable = variables[place];
        if (variable->value.GetType() != kValueDouble) return false;
        names[place] = variable->value.DoublePayload();
        if (place == form.target) target = &variable->value;
    }
    double accumulator;
    if (!RunDoubleCode(form, names, accumulator)) return false;
    if (target != nullptr) target->SetFloat(accumulator);
    result = accumulator;
    currentToken = form.end;
    return true;
}

bool CInterpretor::RunIntegerCode(const ExpressionForm& form, int32_t* value) {
    // Every name is read before anything is computed: nothing changes before the end.
    int32_t names[ExpressionForm::kMaxSteps];
    CScriptArray* arrays[ExpressionForm::kMaxSteps];
    CIBaseObjectVar* objects[ExpressionForm::kMaxSteps];
    CValue* target = nullptr;
    CVariable* const* variables = FormVariables(form);
    if (variables == nullptr) return false;
    if ((form.arrayNames | form.objectNames | form.callCount) == 0) {
        // Names of numbers alone, the commonest code: read without the other cases.
        for (uint32_t place = 0; place < form.nameCount; ++place) {
            const CValue& number = variables[place]->value;
            if (number.GetType() != kValueInt) return false;
            names[place] = number.IntPayload();
        }
        int32_t accumulator;
        if (!RunIntegerOps(form, names, nullptr, nullptr, accumulator)) return false;
        if (form.target != ExpressionForm::kNoTarget)
            variables[form.target]->value.SetInt(accumulator);
        if (value != nullptr) *value = accumulator;
        currentToken = form.end;
        return true;
    }
    for (uint32_t place = 0; place < form.nameCount; ++place) {
        CVariable* variable = variables[place];
        if ((form.arrayNames >> place & 1) != 0) {
            // Only elements that exist within the bounds; the walk shapes or grows arrays.
            arrays[place] = ArrayOf(variable->value);
            if (arrays[place] == nullptr) return false;
        } else if ((form.objectNames >> place & 1) != 0) {
            // Script objects and the interpreter, whose members are the globals.
            if (variable->value.GetType() != kValueObject) return false;
            CIBaseClassImpl* object = variable->value.ObjectPayload();
            if (object == nullptr ||
                (object->classRecord != nullptr && object != static_cast<CIBaseClassImpl*>(this)))
                return false;
            objects[place] = static_cast<CIBaseObjectVar*>(object);
        } else {
            if (variable->value.GetType() != kValueInt) return false;
            names[place] = variable->value.IntPayload();
            if (place == form.target) target = &variable->value;
        }
    }
    // Members that exist and hold integers, and the functions called, which change
    // nothing: all of them are read before the code runs.
    int32_t computed[ExpressionForm::kMaxCalls + ExpressionForm::kMaxMembers];
    for (uint32_t number = 0; number < form.memberCount; ++number) {
        const ExpressionForm::Member& member = form.members[number];
        CVariable* found =
            FindMember(reinterpret_cast<NameToken*>(
                           Next(reinterpret_cast<uint8_t*>(form.steps[member.step].name))),
                       objects[member.object]);
        if (found == nullptr || found->value.GetType() != kValueInt) return false;
        computed[ExpressionForm::kMaxCalls + number] = found->value.IntPayload();
        if (number == form.targetMember) target = &found->value;
    }
    for (uint32_t number = 0; number < form.callCount; ++number) {
        if (!RunFormCall(form, form.calls[number], names, computed[number])) return false;
    }
    // Elements that exist and hold integers, the one written among them.
    int32_t items[ExpressionForm::kMaxSteps];
    uint32_t flats[ExpressionForm::kMaxSteps];
    for (uint32_t number = 0; number < form.elementCount; ++number) {
        if (!FormItem(form, uint8_t(number), names, arrays, items[number], flats[number]))
            return false;
    }
    int32_t accumulator;
    if (!RunIntegerOps(form, names, items, computed, accumulator)) return false;
    if (form.targetElement != ExpressionForm::kNoTarget) {
        uint32_t number = form.targetElement;
        arrays[form.elements[number].array]->SetItemInt(flats[number], accumulator);
    } else if (target != nullptr) {
        target->SetInt(accumulator);
    }
    if (value != nullptr) *value = accumulator;
    currentToken = form.end;
    return true;
}

bool CInterpretor::RunForm(const ExpressionForm& form, uint32_t base) {
    FormValue stack[ExpressionForm::kMaxSteps];
    // The variable each named step found.
    CVariable* found[ExpressionForm::kMaxSteps];
    uint32_t n = 0;
    for (uint32_t i = 0; i < form.count; ++i) {
        const ExpressionStep& step = form.steps[i];
        switch (step.kind) {
        case kStepName: {
            CVariable* variable = StepVariable(step, i, found);
            FormValue& top = stack[n++];
            if (variable == nullptr || !ReadNumber(variable->value, top)) return false;
            top.variable = &variable->value;
            top.holder = nullptr;
            top.object = nullptr;
            break;
        }
        case kStepInteger:
            SetInteger(stack[n], step.integer);
            stack[n].variable = nullptr;
            stack[n].holder = nullptr;
            stack[n++].object = nullptr;
            break;
        case kStepDouble:
            SetDouble(stack[n], step.number);
            stack[n].variable = nullptr;
            stack[n].holder = nullptr;
            stack[n++].object = nullptr;
            break;
        case kStepElement: {
            // Only an element that exists, inside the bounds: reading any other one
            // shapes or grows the array, which the walk does.
            uint32_t count = step.code;
            n -= count;
            int32_t indices[CScriptArray::kMaxDimensions];
            for (uint32_t k = 0; k < count; ++k) {
                if (stack[n + k].isDouble) return false;
                indices[k] = stack[n + k].integer;
            }
            CVariable* variable = LookUp(step.name);
            found[i] = variable;
            if (variable == nullptr || variable->value.GetType() != kValueArray) return false;
            CScriptArray* array = ArrayOf(variable->value);
            CValue* item = array != nullptr ? array->FindItem(indices, count) : nullptr;
            FormValue& top = stack[n++];
            if (item == nullptr || !ReadNumber(*item, top)) return false;
            top.variable = item;
            top.holder = &variable->value;
            top.object = nullptr;
            break;
        }
        case kStepMember: {
            // A member of a script object (or of the interpreter, whose members are the
            // globals) that exists and holds a number; the walk takes everything else.
            CVariable* variable = StepVariable(step, i, found);
            if (variable == nullptr || variable->value.GetType() != kValueObject) return false;
            CIBaseClassImpl* object = variable->value.ObjectPayload();
            if (object == nullptr ||
                (object->classRecord != nullptr && object != static_cast<CIBaseClassImpl*>(this)))
                return false;
            auto* owner = static_cast<CIBaseObjectVar*>(object);
            CVariable* member = FindMember(
                reinterpret_cast<NameToken*>(Next(reinterpret_cast<uint8_t*>(step.name))), owner);
            FormValue& top = stack[n++];
            if (member == nullptr || !ReadNumber(member->value, top)) return false;
            top.variable = &member->value;
            top.holder = nullptr;
            top.object = object;
            break;
        }
        case kStepBinary: {
            --n;
            FormValue& left = stack[n - 1];
            const FormValue& right = stack[n];
            left.variable = nullptr;
            left.holder = nullptr;
            left.object = nullptr;
            if (!left.isDouble && !right.isDouble) {
                uint32_t a = uint32_t(left.integer);
                uint32_t b = uint32_t(right.integer);
                if (step.code == kTokenPlus) {
                    left.integer = WrapInt(a + b);
                    break;
                }
                if (step.code == kTokenMinus) {
                    left.integer = WrapInt(a - b);
                    break;
                }
                if (step.code == kTokenMultiply) {
                    left.integer = WrapInt(a * b);
                    break;
                }
            } else if (left.isDouble && right.isDouble) {
                if (step.code == kTokenPlus) {
                    left.number += right.number;
                    break;
                }
                if (step.code == kTokenMinus) {
                    left.number -= right.number;
                    break;
                }
                if (step.code == kTokenMultiply) {
                    left.number *= right.number;
                    break;
                }
            }
            if (!ApplyOperator(step.code, left, right)) return false;
            break;
        }
        case kStepNegate: {
            FormValue& top = stack[n - 1];
            if (top.isDouble)
                top.number = -top.number;
            else
                top.integer = WrapInt(0u - uint32_t(top.integer));
            top.variable = nullptr;
            top.holder = nullptr;
            top.object = nullptr;
            break;
        }
        case kStepNot: {
            FormValue& top = stack[n - 1];
            SetInteger(top, top.isDouble ? top.number == 0.0 : top.integer == 0);
            top.variable = nullptr;
            top.holder = nullptr;
            top.object = nullptr;
            break;
        }
        case kStepPreStep: {
            FormValue& top = stack[n - 1];
            if (top.variable == nullptr) return false;
            StepNumber(top, step.code);
            WriteNumber(top, *top.variable);
            break;
        }
        case kStepPostStep: {
            FormValue& top = stack[n - 1];
            if (top.variable == nullptr) return false;
            FormValue stepped = top;
            StepNumber(stepped, step.code);
            WriteNumber(stepped, *top.variable);
            top.variable = nullptr;
            top.holder = nullptr;
            top.object = nullptr;
            break;
        }
        case kStepAssign: {
            --n;
            CValue* target = stack[n - 1].variable;
            if (target == nullptr) return false;
            WriteNumber(stack[n], *target);
            stack[n - 1] = stack[n];
            break;
        }
        default: {
            --n;
            FormValue& left = stack[n - 1];
            if (left.variable == nullptr ||
                !ApplyOperator(CompoundOperator(step.code), left, stack[n]))
                return false;
            WriteNumber(left, *left.variable);
            break;
        }
        }
    }
    StackSlot* slot = slots_[base + 1];
    WriteNumber(stack[0], slot->value);
    slot->value.source = stack[0].variable;
    slot->anchorKind = kValueInt;
    // An element read stays valid for what the caller does with it: the slot holds its
    // array, as the walk's element operand does.
    if (const CValue* holder = stack[0].holder) {
        if (!slot->anchor.HoldsSameArray(*holder)) slot->anchor.Assign(*holder);
        slot->anchorKind = kValueArray;
    } else if (CIBaseClassImpl* object = stack[0].object) {
        if (slot->anchor.GetType() != kValueObject || slot->anchor.GetObject() != object)
            slot->anchor.SetObject(object, 1);
        slot->anchorKind = kValueObject;
    }
    currentToken = form.end;
    return true;
}
