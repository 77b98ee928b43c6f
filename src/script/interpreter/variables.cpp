// Names, members and array elements as operands, the assignment that turns the
// placeholders of unassigned names into variables, Var and New.
#include <algorithm>
#include <new>

#include "foundation/memory/memory_helpers.h"
#include "script/interpreter/interpretor.h"
#include "script/language/token_codes.h"
#include "script/values/script_array.h"

static_assert(CInterpretor::kMaxArrayIndices == CScriptArray::kMaxDimensions);

namespace {

bool IsMemberCall(uint16_t code) {
    return code == kTokenMemberCall || code == kTokenMember;
}

bool IsPlaceholder(uint32_t type) {
    return type >= kValueUnboundName && type <= kValueMissingElement;
}

} // namespace

// ---- Lookup and reading ------------------------------------------------------------

CVariable* CInterpretor::LookUpMissed(NameToken* token) {
    // Var x must not find a member or global x; the plain lookup knows.
    if (reinterpret_cast<const uint8_t*>(token) == declaredName_) return LookUpInScopes(token);
    // A token with an entry that answered for other locals, as a recursion meets the same
    // token in the locals of each level: a local answers at once, and the entry is left
    // for the level that comes back next.
    if ((reinterpret_cast<uintptr_t>(token->cache) & kNameCacheTag) != 0) {
        if (CVariable* variable = locals_->FindVariable(token->nameId)) return variable;
    }
    return CachedLookUp(token, locals_);
}

CVariable* CInterpretor::CachedLookUp(NameToken* token, CIBaseObjectVar* locals) {
    uint64_t localsStamp = locals != nullptr ? locals->GetShape() : 0;
    auto slot = reinterpret_cast<uintptr_t>(token->cache);
    uintptr_t index = slot & ~kNameCacheTag;
    bool ours = (slot & kNameCacheTag) != 0 && index < nameCacheCount_;
    if (ours) {
        const NameCacheEntry& entry = nameCache_[index];
        // Stamps are never reused, so equal stamps are the same objects, unchanged; equal
        // shapes hold the same keys at the same places.
        if (entry.key == token->nameId && entry.localsStamp == localsStamp &&
            entry.currentStamp == currentObject_->GetStamp() && entry.globalsStamp == GetStamp())
            return entry.frontPosition == 0 ? entry.variable
                                            : locals->FrontVariable(entry.frontPosition - 1);
    }
    CVariable* variable = nullptr;
    uint32_t frontPosition = 0;
    if (locals != nullptr) {
        variable = LookUpInScopes(token);
        if (variable != nullptr) frontPosition = locals->ShapedPosition(variable);
    } else {
        variable = FindFunctionInScopes(token);
    }
    Remember(token, ours ? index : kNoEntry,
             {localsStamp, currentObject_->GetStamp(), GetStamp(), variable, token->nameId,
              frontPosition});
    return variable;
}

CVariable* CInterpretor::FindMemberMissed(NameToken* token, CIBaseObjectVar* object) {
    auto slot = reinterpret_cast<uintptr_t>(token->cache);
    uintptr_t index = slot & ~kNameCacheTag;
    bool ours = (slot & kNameCacheTag) != 0 && index < nameCacheCount_;
    CVariable* variable = object->FindVariable(token->nameId);
    Remember(token, ours ? index : kNoEntry, {object->GetStamp(), 0, 0, variable, token->nameId});
    return variable;
}

void CInterpretor::Remember(NameToken* token, uintptr_t index, const NameCacheEntry& entry) {
    if (index == kNoEntry) {
        // Tokens that method calls also cache in can ask for entries again and again;
        // past the limit the table starts over, and the slots still naming old entries
        // just miss.
        if (nameCacheCount_ == kMaxNameCacheEntries) nameCacheCount_ = 0;
        if (nameCacheCount_ == nameCacheCapacity_) {
            uint32_t capacity = nameCacheCapacity_ == 0 ? 64 : nameCacheCapacity_ * 2;
            if (!MemRealloc(size_t(capacity) * sizeof(NameCacheEntry), &nameCache_)) return;
            nameCacheCapacity_ = capacity;
        }
        index = nameCacheCount_++;
        token->cache = reinterpret_cast<void*>(kNameCacheTag | index);
    }
    nameCache_[index] = entry;
}

void CInterpretor::ClearNameCache() {
    nameCacheCount_ = 0;
}

CVariable* CInterpretor::LookUpInScopes(const NameToken* token) const {
    uint32_t key = token->nameId;
    if (CVariable* variable = locals_->FindVariable(key)) return variable;
    // Var x makes a local even when a member or global x exists.
    if (reinterpret_cast<const uint8_t*>(token) == declaredName_) return nullptr;
    if (currentObject_ != locals_) {
        if (CVariable* variable = currentObject_->FindVariable(key)) return variable;
    }
    if (currentObject_ != this && locals_ != this) return FindVariable(key);
    return nullptr;
}

CVariable* CInterpretor::FindFunctionInScopes(const NameToken* token) const {
    CVariable* variable = currentObject_->FindVariable(token->nameId);
    if (variable == nullptr && currentObject_ != this) variable = FindVariable(token->nameId);
    return variable;
}

void CInterpretor::EvalIdentifier() {
    auto* token = reinterpret_cast<NameToken*>(currentToken);
    CVariable* variable = LookUp(token);
    StackSlot* place = slots_[depth_];
    CValue* slot = Operand();
    SkipToken();
    if (variable == nullptr) {
        slot->SetUnboundName(reinterpret_cast<uintptr_t>(token));
        return;
    }
    CValue* value = &variable->value;
    // A number read as it is, the most common operand of all.
    if (value->GetType() <= kValueDouble && !IsMemberCall(CurrentCode())) {
        slot->Assign(*value);
        place->source = value;
        return;
    }
    PushVariable(value);
}

void CInterpretor::PushVariable(CValue* variable) {
    switch (variable->GetType()) {
    case kValueObject:
        PushObjectOrCall(variable);
        return;
    case kValueFunction: {
        StackSlot* slot = slots_[depth_];
        slot->value.Assign(*variable);
        slot->source = variable;
        return;
    }
    default:
        PushValue(variable);
        return;
    }
}

void CInterpretor::PushValue(CValue* variable) {
    if (IsMemberCall(CurrentCode())) {
        if (variable->GetType() != kValueString) RaiseError(35);
        CValue text(this, variable);
        CallTextMethod(text.GetString(), 1);
        return;
    }
    StackSlot* slot = slots_[depth_];
    slot->value.Assign(*variable);
    slot->source = variable;
}

void CInterpretor::PushObjectOrCall(CValue* holder) {
    CIBaseClassImpl* object = holder->GetObjectNonNull();
    // The interpreter held in a value (This at the top level) is read like a script
    // object: its members are the globals.
    if (object->classRecord == nullptr || object == static_cast<CIBaseClassImpl*>(this)) {
        EvalMemberChain(static_cast<CIBaseObjectVar*>(object), holder);
        return;
    }
    if (IsMemberCall(CurrentCode())) {
        CallObjectMethod(object);
        return;
    }
    StackSlot* slot = slots_[depth_];
    slot->value.Assign(*holder);
    slot->source = holder;
}

void CInterpretor::EvalThis() {
    SkipToken();
    Operand();
    EvalMemberChain(currentObject_, nullptr);
}

void CInterpretor::EvalMemberChain(CIBaseObjectVar* object, CValue* holder) {
    // Elements of script objects in a chain come back here, once per link.
    CheckStack();
    for (;;) {
        Anchor(object);
        auto* token = reinterpret_cast<NameToken*>(currentToken);
        switch (CurrentCode()) {
        case kTokenMemberCall: {
            CVariable* member = object->FindVariable(token->nameId);
            if (member == nullptr) RaiseError(42);
            const BlockRecord* function =
                member->value.GetType() == kValueFunction ? member->value.GetFunction() : nullptr;
            CallScriptFunction(nullptr, object, function);
            return;
        }
        case kTokenMember: {
            CVariable* member = FindMember(token, object);
            SkipToken();
            if (member == nullptr) {
                Left()->SetUnboundMember(reinterpret_cast<uintptr_t>(token));
                LeftSource() = nullptr;
                if (CurrentCode() != kTokenAssign) RaiseError(41);
                return;
            }
            CValue* value = &member->value;
            if (value->GetType() == kValueObject) {
                CIBaseClassImpl* inner = value->GetObjectNonNull();
                if (inner->classRecord == nullptr || inner == static_cast<CIBaseClassImpl*>(this)) {
                    object = static_cast<CIBaseObjectVar*>(inner);
                    holder = value;
                    continue;
                }
            }
            LeftSource() = nullptr;
            PushVariable(value);
            return;
        }
        case kTokenArrayMember:
            MemberElement(object, token);
            return;
        default: {
            StackSlot* slot = slots_[depth_];
            slot->value.SetObject(object, 1);
            slot->source = holder;
            return;
        }
        }
    }
}

void CInterpretor::MemberElement(CIBaseObjectVar* object, const NameToken* token) {
    SkipToken();
    if (object->FindVariable(token->nameId) == nullptr) {
        Left()->SetUnboundMemberArray(reinterpret_cast<uintptr_t>(token));
        LeftSource() = nullptr;
        SkipIndexList();
        if (CurrentCode() != kTokenAssign) RaiseError(41);
        return;
    }
    int32_t indices[CScriptArray::kMaxDimensions];
    int count = ReadIndexList(indices);
    // The indices may have deleted the object, and its members with it.
    CVariable* member = AnchoredObject()->FindVariable(token->nameId);
    if (member == nullptr) RaiseError(41);
    ElementOperand(&member->value, indices, count);
}

int CInterpretor::ReadIndexList(int32_t* indices) {
    int count = 0;
    for (;;) {
        if (count == CScriptArray::kMaxDimensions) RaiseError(66);
        indices[count++] = Evaluate()->GetInt();
        if (CurrentCode() != kTokenComma) break;
        SkipToken();
    }
    SkipToken();
    return count;
}

void CInterpretor::SkipIndexList() {
    for (int32_t open = 1; open > 0;) {
        uint16_t code = CurrentCode();
        if (code == kTokenEnd) RaiseError(16);
        if (code == kTokenArrayName || code == kTokenArrayMember) ++open;
        if (code == kTokenCloseBracket) --open;
        SkipToken();
    }
}

void CInterpretor::EvalArrayElement() {
    auto* token = reinterpret_cast<NameToken*>(currentToken);
    CVariable* variable = LookUp(token);
    CValue* slot = Operand();
    SkipToken();
    if (variable == nullptr) {
        slot->SetUnboundArray(reinterpret_cast<uintptr_t>(token));
        SkipIndexList();
        if (CurrentCode() != kTokenAssign) RaiseError(41);
        return;
    }
    int32_t indices[CScriptArray::kMaxDimensions];
    int count = ReadIndexList(indices);
    ElementOperand(&variable->value, indices, count);
}

void CInterpretor::ElementOperand(CValue* arrayVariable, const int32_t* indices, int count) {
    CValue* item = arrayVariable->GetArrayItemPtr(indices, count);
    CValue* slot = Operand();
    // The array stays while the expression runs, and with it the item.
    AnchorArray(*arrayVariable);
    if (item != nullptr) {
        PushVariable(item);
        return;
    }
    slot->SetMissingElement(arrayVariable->GetArrayFlatIndex(indices, count));
    if (CurrentCode() != kTokenAssign) RaiseError(41);
    StackSlot* place = slots_[depth_];
    place->indexCount = count;
    std::copy_n(indices, count, place->indices);
}

// ---- Assignment ----------------------------------------------------------------------

void CInterpretor::BinaryAssign() {
    CValue* left = Left();
    const CValue* right = Right();
    uint32_t type = left->GetType();
    if (type >= kValueUnboundName && type <= kValueMissingElement &&
        IsPlaceholder(right->GetType()))
        RaiseError(41);
    switch (type) {
    case kValueUnboundName: {
        const auto* token = reinterpret_cast<const NameToken*>(left->GetPlaceholder());
        locals_->AddVariable(token->nameId, blockDepth_)->value.Assign(*right);
        break;
    }
    case kValueUnboundMember: {
        const auto* token = reinterpret_cast<const NameToken*>(left->GetPlaceholder());
        AnchoredObject()->AddVariable(token->nameId, 0)->value.Assign(*right);
        break;
    }
    case kValueUnboundArray:
    case kValueUnboundMemberArray:
        AssignToNewArray(type == kValueUnboundMemberArray ? nullptr : locals_,
                         type == kValueUnboundMemberArray ? 0 : blockDepth_,
                         reinterpret_cast<const NameToken*>(left->GetPlaceholder()));
        return;
    case kValueMissingElement: {
        StackSlot* slot = slots_[depth_];
        slot->anchor.SetArrayItemAt(slot->indices, slot->indexCount, right);
        CValue value(this, right);
        Operand()->Assign(value);
        return;
    }
    default: {
        CValue* source = AnchoredSource();
        if (source == nullptr) RaiseError(16);
        source->Assign(*right);
        break;
    }
    }
    SwapSlots(depth_, depth_ + 1);
}

void CInterpretor::AssignToNewArray(CIBaseObjectVar* owner, int32_t level, const NameToken* token) {
    CValue value(this, Right());
    uint8_t* resume = currentToken;
    currentToken = reinterpret_cast<uint8_t*>(const_cast<NameToken*>(token));
    SkipToken();
    int32_t indices[CScriptArray::kMaxDimensions];
    int count = ReadIndexList(indices);
    currentToken = resume;
    // A member goes to the object anchored, which the indices may have deleted.
    if (owner == nullptr) owner = AnchoredObject();
    CVariable* variable = owner->AddVariable(token->nameId, level);
    variable->value.MakeArray();
    variable->value.SetArrayItemAt(indices, count, &value);
    Operand()->Assign(value);
}

void CInterpretor::EvalVar() {
    SkipToken();
    declaredName_ = currentToken;
    Operand();
    Evaluate();
    SwapSlots(depth_, depth_ + 1);
}

// ---- New ---------------------------------------------------------------------------

CIBaseObjectVar* CInterpretor::NewScriptObject() {
    auto* object = new (std::nothrow) CIBaseObjectVar(this, 1);
    if (object == nullptr) RaiseError(15);
    object->useCount = 1;
    return object;
}

void CInterpretor::NewObject() {
    SkipToken();
    Operand();
    if (CurrentCode() == kTokenCallName) {
        NewObjectHold creation{*this};
        const auto* token = reinterpret_cast<const NameToken*>(currentToken);
        CVariable* function = FindVariable(token->nameId);
        if (function == nullptr || function->value.GetType() != kValueFunction) RaiseError(42);
        CIBaseObjectVar* object = NewScriptObject();
        creation.object = object;
        CallScriptFunction(nullptr, object, function->value.GetFunction());
        object->Create();
        if (object->alive == 0) RaiseError(38);
        Operand()->SetObject(object, 1);
        ++creations;
        return;
    }
    uint32_t classId = CurrentCode();
    SkipToken();
    EvaluateArguments();
    NewClassObject(classId);
}

CInterpretor::NewObjectHold::~NewObjectHold() {
    if (object == nullptr) return;
    --object->useCount;
    if (object->alive == 0) interpreter.DestroyObject(object);
}

void CInterpretor::NewClassObject(uint32_t classId) {
    if (IsSingletonClass(classId)) RaiseError(65);
    if (classId == 0 || classId > kLastClassId) RaiseError(16);
    const CClassRecord* record = &classRecords_[classId];
    if (record->info == nullptr || record->info->construct == nullptr) RaiseError(11);
    CIBaseClassImpl* object = record->info->construct(*this, record);
    if (object == nullptr) RaiseError(15);
    ++object->useCount;
    NewObjectHold creation{*this, object};
    GuardedCreate(object);
    if ((object->GetProjectKindMask() & projectKindBits) == 0) {
        object->Unregister();
        RaiseError(11);
    }
    Operand()->SetObject(object, 1);
    ++creations;
}
