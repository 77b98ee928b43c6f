// Members after an element or a parenthesis in compiled code: the value the compiled
// steps left in their place is read on at the member token, as EvalArrayElement and a
// parenthesis read on from theirs (variables.cpp, expression.cpp).
#include <algorithm>

#include "script/interpreter/interpretor.h"
#include "script/language/token_codes.h"

void CInterpretor::MembersOfValue() {
    CValue* value = Left();
    if (value->GetType() == kValueObject) {
        PushObjectOrCall(value);
        return;
    }
    if (value->GetType() != kValueString) RaiseError(35);
    CValue text(this, value);
    CallTextMethod(text.GetString(), 0);
}

void CInterpretor::ElementChainHead(int count) {
    StackSlot* place = slots_[depth_];
    CValue* arrayVariable = place->source;
    int32_t indices[kMaxArrayIndices];
    std::copy_n(place->indices, count, indices);
    CValue* item = arrayVariable->GetArrayItemPtr(indices, count);
    Operand();
    // The array stays while the chain runs, until an object in it anchors the place.
    AnchorArray(*arrayVariable);
    if (item == nullptr) {
        // A member, not "=", follows the missing element.
        place->value.SetMissingElement(arrayVariable->GetArrayFlatIndex(indices, count));
        RaiseError(41);
    }
    chain_ = MemberChain{};
    chain_.value = item;
}

void CInterpretor::ValueChainHead() {
    CValue* value = Left();
    if (value->GetType() != kValueObject && value->GetType() != kValueString) RaiseError(35);
    chain_ = MemberChain{};
    chain_.value = value;
}

bool CInterpretor::MemberElementBegin() {
    CIBaseClassImpl* object = nullptr;
    if (chain_.mode == MemberChain::kScript) {
        object = chain_.object;
    } else if (chain_.mode == MemberChain::kValue && chain_.value->GetType() == kValueObject &&
               IsScriptObject(chain_.value->GetObjectNonNull())) {
        object = chain_.value->GetObjectNonNull();
    }
    // Anything else the walk leaves as its operand's value, and stops at the member.
    if (object == nullptr) {
        if (chain_.mode == MemberChain::kValue)
            Left()->Assign(*chain_.value);
        else
            Left()->SetInt(0);
        LeftSource() = nullptr;
        ChainStops();
    }
    Anchor(object);
    const auto* token = reinterpret_cast<const NameToken*>(currentToken);
    SkipToken();
    if (static_cast<CIBaseObjectVar*>(object)->FindVariable(token->nameId) != nullptr) return true;
    Left()->SetUnboundMemberArray(reinterpret_cast<uintptr_t>(token));
    LeftSource() = nullptr;
    SkipIndexList();
    if (CurrentCode() != kTokenAssign) RaiseError(41);
    return false;
}

void CInterpretor::CompiledMemberElement(const NameToken* member, int count) {
    int32_t indices[kMaxArrayIndices];
    std::copy_n(slots_[depth_]->indices, count, indices);
    // The indices may have deleted the object, and its members with it.
    CVariable* variable = AnchoredObject()->FindVariable(member->nameId);
    if (variable == nullptr) RaiseError(41);
    ElementOperand(&variable->value, indices, count);
}
