// Expressions evaluated on the token stream: an operator-precedence loop over the value
// and operator stacks, where the token code of an operator is its precedence.
#include <utility>

#include "script/interpreter/handler_tables.h"
#include "script/interpreter/interpretor.h"
#include "script/language/token_codes.h"
#include "script/values/script_array.h"

namespace {

bool IsOperatorCode(uint32_t code) {
    return code > 120 && code < 155;
}

} // namespace

CValue* CInterpretor::Evaluate() {
    const uint32_t base = depth_;
    if (base + 2 >= stackCapacity_) GrowValueStack(base + 2);
    // Operands nest evaluations (parentheses, arguments, calls): the walk guards the stack.
    CheckStack();
    const HandlerTables& tables = Tables();
    operators_[base] = 0;
    for (;;) {
        if (depth_ + 2 >= stackCapacity_) GrowValueStack(depth_ + 2);
        ++depth_;
        uint16_t code = CurrentCode();
        tables.operand[code < kHandlerCodes ? code : 0](*this);
        for (;;) {
            code = CurrentCode();
            if (IsOperatorCode(code)) {
                if (code > operators_[depth_ - 1]) {
                    operators_[depth_] = code;
                    SkipToken();
                    break;
                }
            } else if (depth_ - 1 == base) {
                depth_ = base;
                return &slots_[base + 1]->value;
            }
            --depth_;
            tables.binary[operators_[depth_]](*this);
        }
    }
}

CValue* CInterpretor::EvaluateAndSkip() {
    CValue* result = Evaluate();
    SkipToken();
    return result;
}

void CInterpretor::Anchor(CIBaseClassImpl* object) {
    StackSlot* slot = slots_[depth_];
    if (slot->anchor.GetType() != kValueObject || slot->anchor.GetObject() != object)
        slot->anchor.SetObject(object, 1);
    slot->anchorKind = kValueObject;
}

void CInterpretor::AnchorArray(const CValue& array) {
    StackSlot* slot = slots_[depth_];
    if (!slot->anchor.HoldsSameArray(array)) slot->anchor.Assign(array);
    slot->anchorKind = kValueArray;
}

CIBaseObjectVar* CInterpretor::AnchoredObject() {
    StackSlot* slot = slots_[depth_];
    if (slot->anchorKind != kValueObject || slot->anchor.GetType() != kValueObject ||
        slot->anchor.GetObject() == nullptr)
        RaiseError(32);
    return static_cast<CIBaseObjectVar*>(slot->anchor.GetObject());
}

CValue* CInterpretor::AnchoredSource() {
    StackSlot* slot = slots_[depth_];
    // A member of an object deleted since it was read is gone with the object.
    if (slot->anchorKind == kValueObject && slot->anchor.GetType() != kValueObject) RaiseError(32);
    return slot->source;
}

void CInterpretor::RunOperand() {
    uint16_t code = CurrentCode();
    Tables().operand[code < kHandlerCodes ? code : 0](*this);
}

// ---- Operands ------------------------------------------------------------------------

void CInterpretor::OperandSyntaxError() {
    RaiseError(16);
}

void CInterpretor::OperandInteger() {
    Operand()->SetInt(reinterpret_cast<const IntegerToken*>(currentToken)->value);
    SkipToken();
}

void CInterpretor::OperandDouble() {
    Operand()->SetFloat(reinterpret_cast<const DoubleToken*>(currentToken)->value);
    SkipToken();
}

void CInterpretor::OperandString() {
    const char* text = GetStringTokenText(reinterpret_cast<const TokenHeader*>(currentToken));
    SkipToken();
    uint16_t next = CurrentCode();
    if (next == kTokenMemberCall || next == kTokenMember) {
        Operand();
        CallTextMethod(text, 1);
        return;
    }
    // Borrowed: the stream outlives every use of the slot, and a value that keeps the
    // text (an assignment, an argument) copies it.
    Operand()->SetString(text, 1);
}

void CInterpretor::OperandTrue() {
    Operand()->SetInt(1);
    SkipToken();
}

void CInterpretor::OperandFalse() {
    Operand()->SetInt(0);
    SkipToken();
}

void CInterpretor::OperandDefault() {
    Operand()->SetDefault();
    SkipToken();
}

void CInterpretor::OperandEmpty() {
    Operand()->SetDefault();
}

void CInterpretor::OperandParenthesis() {
    SkipToken();
    Operand();
    Evaluate();
    SwapSlots(depth_, depth_ + 1);
    SkipToken();
    uint16_t next = CurrentCode();
    if (next != kTokenMemberCall && next != kTokenMember) return;
    CValue* value = Left();
    if (value->GetType() == kValueObject) {
        PushObjectOrCall(value);
    } else if (value->GetType() == kValueString) {
        CValue text(this, value);
        CallTextMethod(text.GetString(), 0);
    } else {
        RaiseError(35);
    }
}

void CInterpretor::OperandPrefixPlus() {
    SkipToken();
    RunOperand();
}

void CInterpretor::OperandPrefixMinus() {
    SkipToken();
    RunOperand();
    Left()->Negate();
    LeftSource() = nullptr;
}

void CInterpretor::OperandPrefixNot() {
    SkipToken();
    RunOperand();
    Left()->Not();
    LeftSource() = nullptr;
}

void CInterpretor::OperandPrefixComplement() {
    SkipToken();
    RunOperand();
    Left()->Complement();
    LeftSource() = nullptr;
}

void CInterpretor::OperandPrefixStep() {
    bool increment = CurrentCode() == kTokenIncrement;
    SkipToken();
    RunOperand();
    CValue* source = AnchoredSource();
    if (source == nullptr) RaiseError(41);
    if (increment)
        source->Increment();
    else
        source->Decrement();
    Left()->Assign(*source);
}

// ---- Binary operators ----------------------------------------------------------------

void CInterpretor::BinaryCompound() {
    CValue* source = AnchoredSource();
    if (source == nullptr) RaiseError(41);
    const CValue& right = *Right();
    switch (operators_[depth_]) {
    case kTokenAddAssign:
        // The operand's share of the target's text would keep the text from growing in
        // place; the operand takes the result below anyway.
        if (Left()->StoredType() == kValueString) Left()->SetInt(0);
        source->Add(right);
        break;
    case kTokenSubtractAssign:
        source->Subtract(right);
        break;
    case kTokenMultiplyAssign:
        source->Multiply(right);
        break;
    case kTokenDivideAssign:
        source->Divide(right);
        break;
    case kTokenAndAssign:
        source->BitAnd(right);
        break;
    case kTokenOrAssign:
        source->BitOr(right);
        break;
    case kTokenXorAssign:
        source->BitXor(right);
        break;
    case kTokenModuloAssign:
        source->Modulo(right);
        break;
    case kTokenShiftLeftAssign:
        source->ShiftLeft(right);
        break;
    default:
        source->ShiftRight(right);
        break;
    }
    Left()->Assign(*source);
}

void CInterpretor::BinaryQuestion() {
    // The then-branch is kept aside: the else-branch is evaluated in the slots above.
    CValue thenValue(this, Right());
    SkipToken();
    CValue* elseValue = Evaluate();
    StackSlot* place = slots_[depth_];
    CValue* result = &place->value;
    if (result->GetInt() != 0)
        result->Assign(thenValue);
    else
        result->Assign(*elseValue);
    place->source = nullptr;
}

void CInterpretor::BinaryLogicalAnd() {
    StackSlot* place = slots_[depth_];
    CValue* left = &place->value;
    int truth = left->GetInt() != 0 && Right()->GetInt() != 0;
    left->SetInt(truth);
    place->source = nullptr;
}

void CInterpretor::BinaryLogicalOr() {
    StackSlot* place = slots_[depth_];
    CValue* left = &place->value;
    int truth = left->GetInt() != 0 || Right()->GetInt() != 0;
    left->SetInt(truth);
    place->source = nullptr;
}

void CInterpretor::BinaryCompare() {
    StackSlot* place = slots_[depth_];
    CValue* left = &place->value;
    const CValue& right = *Right();
    if (left->IsIntPair(right)) {
        int32_t a = left->IntPayload();
        int32_t b = right.IntPayload();
        bool result;
        switch (operators_[depth_]) {
        case kTokenGreaterEqual:
            result = a >= b;
            break;
        case kTokenLessEqual:
            result = a <= b;
            break;
        case kTokenEqual:
            result = a == b;
            break;
        case kTokenLess:
            result = a < b;
            break;
        case kTokenGreater:
            result = a > b;
            break;
        default:
            result = a != b;
            break;
        }
        left->SetInt(result);
        place->source = nullptr;
        return;
    }
    switch (operators_[depth_]) {
    case kTokenGreaterEqual:
        left->GreaterEqual(right);
        break;
    case kTokenLessEqual:
        left->LessEqual(right);
        break;
    case kTokenEqual:
        left->Equal(right);
        break;
    case kTokenLess:
        left->Less(right);
        break;
    case kTokenGreater:
        left->Greater(right);
        break;
    default:
        left->NotEqual(right);
        break;
    }
    place->source = nullptr;
}

void CInterpretor::BinaryNot() {
    Left()->NotOperator();
    LeftSource() = nullptr;
}

void CInterpretor::BinaryComplement() {
    Left()->Complement();
    LeftSource() = nullptr;
}

void CInterpretor::BinaryPostStep() {
    CValue* source = AnchoredSource();
    if (source == nullptr) RaiseError(41);
    if (operators_[depth_] == kTokenIncrement)
        source->Increment();
    else
        source->Decrement();
    LeftSource() = nullptr;
}

void CInterpretor::BinaryArithmetic() {
    StackSlot* place = slots_[depth_];
    CValue* left = &place->value;
    const CValue& right = *Right();
    switch (operators_[depth_]) {
    case kTokenPlus:
        left->Add(right);
        break;
    case kTokenMinus:
        left->Subtract(right);
        break;
    case kTokenDivide:
        left->Divide(right);
        break;
    case kTokenMultiply:
        left->Multiply(right);
        break;
    case kTokenBitAnd:
        left->BitAnd(right);
        break;
    case kTokenBitOr:
        left->BitOr(right);
        break;
    case kTokenBitXor:
        left->BitXor(right);
        break;
    case kTokenModulo:
        left->Modulo(right);
        break;
    case kTokenShiftLeft:
        left->ShiftLeft(right);
        break;
    default:
        left->ShiftRight(right);
        break;
    }
    place->source = nullptr;
}
