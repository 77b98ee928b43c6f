// The steps of compiled code on objects: members, method calls, New and Delete. Each
// takes what the walk takes at the same tokens (calls.cpp, variables.cpp, objects.cpp), in
// the same order, with the arguments worked out by the compiled steps between a call's
// first step and its last.
#include "script/interpreter/compiled_code.h"
#include "script/interpreter/compiled_texts.h"
#include "script/interpreter/handler_tables.h"
#include "script/interpreter/interpretor.h"
#include "script/language/token_codes.h"
#include "script/language/token_record.h"
#include "script/values/script_array.h"

namespace {

// The text class, whose objects a method call on a text makes for the call.
constexpr uint32_t kTextClass = 8;

bool IsPlaceholder(uint32_t type) {
    return type >= kValueUnboundName && type <= kValueMissingElement;
}

} // namespace

void CInterpretor::ChainStops() {
    // The walk's expression ends before the member with the operand's value (a name no
    // scope has, a function) where its value goes, and the walk takes the steps the
    // compiler wrote for the member: the operators and prefixes waiting for it, and the
    // constructs around, which mostly fail at the value.
    uint8_t* member = currentToken;
    const uint32_t depth = depth_;
    const uint32_t offset = uint32_t(member - GetStream());
    const MemberStop* stop = nullptr;
    auto find = [&](const auto& codes) {
        for (const auto& [key, code] : codes) {
            if (code == nullptr || stop != nullptr) continue;
            for (const MemberStop& each : code->memberStops)
                if (each.member == offset) stop = &each;
        }
    };
    find(compiled_);
    find(compiledEntries_);
    const uint32_t type = Left()->GetType();
    if (stop != nullptr && (type == kValueFunction || IsPlaceholder(type))) TakeStopSteps(*stop);
    // Where those steps are not written, or go on past where they are: the expression is
    // taken as the statement's, which ends there as any other does, and the next one,
    // starting at the member, is what fails.
    currentToken = member;
    depth_ = depth;
    const int32_t code = CurrentCode() == kTokenMemberCall ? 41 : 16;
    EndCompiledStatement(temporaryTextCount_);
    currentToken = member;
    RaiseError(code);
}

bool CInterpretor::OperatorsThenStatement(const MemberStop& stop, uint8_t from) {
    for (uint8_t k = from; k < stop.count; ++k) {
        const uint8_t step = stop.steps[k];
        if (step == kStopStatement) return true;
        if (step < kTokenAssign) return false;
    }
    return false;
}

void CInterpretor::TakeStopSteps(const MemberStop& stop) {
    for (uint8_t k = 0; k < stop.count; ++k) {
        const uint8_t step = stop.steps[k];
        CValue* value = Left();
        const uint32_t type = value->GetType();
        switch (step) {
        case kStopNegate:
            value->Negate();
            break;
        case kStopNot:
            value->Not();
            break;
        case kStopComplement:
            value->Complement();
            break;
        case kStopStatement: {
            uint8_t* at = currentToken;
            const int32_t code = CurrentCode() == kTokenMemberCall ? 41 : 16;
            EndCompiledStatement(temporaryTextCount_);
            currentToken = at;
            RaiseError(code);
        }
        case kStopParenthesis:
            if (type == kValueObject || type == kValueString) return;
            --depth_;
            SwapSlots(depth_, depth_ + 1);
            SkipToken();
            if (IsMemberLink(CurrentCode())) RaiseError(35);
            break;
        case kStopVar:
            --depth_;
            SwapSlots(depth_, depth_ + 1);
            break;
        case kStopArgument:
            if (IsPlaceholder(type)) RaiseError(41);
            return;
        case kStopReturn:
            if (IsPlaceholder(type)) RaiseError(41);
            if (returnValue_ != nullptr) returnValue_->Assign(*value);
            // The Return's expression stands just above the code's base.
            --depth_;
            throw ReturnedBeforeMember{};
        case kStopIf:
            SkipToken();
            [[fallthrough]];
        case kStopIndex:
        case kStopLoopCondition:
            value->GetInt();
            return;
        case kTokenAssign:
        case kTokenQuestion:
            // Either keeps the value, which a name's placeholder cannot give.
            if (IsPlaceholder(type)) RaiseError(41);
            if (step == kTokenQuestion) {
                // A function is kept as the choice's first value, and the second is read
                // after the token taken for the ":": when nothing can start there, that
                // fails before anything else happens.
                SkipToken();
                if (!StartsOperand(CurrentCode())) RaiseError(16);
                // A ")" there is an empty second value, and the operators below the choice
                // take the chosen one: when only they and the statement's end follow, the
                // statement ends at that ")", as the walk's does.
                if (CurrentCode() != kTokenCloseParen || !OperatorsThenStatement(stop, k + 1))
                    return;
                --depth_;
                StackSlot* place = slots_[depth_];
                if (place->value.GetInt() != 0)
                    place->value.Assign(*Right());
                else
                    place->value.SetDefault();
                place->source = nullptr;
                continue;
            }
            --depth_;
            SwapSlots(depth_, depth_ + 1);
            break;
        default: {
            // A compound assignment works its operator on its target's value.
            static constexpr uint8_t kCompounded[] = {
                kTokenPlus,  kTokenMinus,  kTokenMultiply, kTokenDivide,    kTokenBitAnd,
                kTokenBitOr, kTokenBitXor, kTokenModulo,   kTokenShiftLeft, kTokenShiftRight};
            uint8_t op = step;
            if (step >= kTokenAddAssign && step <= kTokenShiftRightAssign)
                op = kCompounded[step - kTokenAddAssign];
            if (!(op >= kTokenLogicalAnd && op <= kTokenNotEqual) && op < kTokenPlus) return;
            --depth_;
            operators_[depth_] = op;
            Tables().binary[op](*this);
            break;
        }
        }
        LeftSource() = nullptr;
    }
}

void CInterpretor::WalkedOperand(uint32_t code) {
    Tables().operand[code](*this);
}

NameToken* CInterpretor::ThisMemberToken(const CompiledOp& op) {
    auto* member = reinterpret_cast<NameToken*>(
        op.token + reinterpret_cast<const TokenHeader*>(op.token)->size);
    const uint8_t* after = reinterpret_cast<const uint8_t*>(member) + member->header.size;
    if (member->header.code != kTokenMember || after != GetStream() + op.count ||
        IsMemberLink(reinterpret_cast<const TokenHeader*>(after)->code))
        return nullptr;
    return member;
}

bool CInterpretor::ReadThisMember(const CompiledOp& op, StackSlot* place) {
    NameToken* member = ThisMemberToken(op);
    if (member == nullptr) return false;
    CIBaseObjectVar* object = currentObject_;
    CVariable* variable = FindMember(member, object);
    if (variable == nullptr || variable->value.StoredType() > kValueDouble) return false;
    // Anchored to This, as the walk's read anchors the member it reads to its object.
    if (place->anchor.StoredType() != kValueObject || place->anchor.ObjectPayload() != object)
        place->anchor.SetObject(object, 1);
    place->anchorKind = kValueObject;
    place->value.Assign(variable->value);
    place->source = &variable->value;
    return true;
}

bool CInterpretor::AddThisMember(const CompiledOp& op, const CValue& value, StackSlot* place) {
    // A value the walk's read of the slot passes as it is: a number, a text or an object still
    // there. A placeholder fails the assignment (error 41), and the rest the walk reads in
    // ways of its own.
    const uint32_t type = value.StoredType();
    if (type != kValueInt && type != kValueDouble && type != kValueString &&
        (type != kValueObject || value.GetType() != kValueObject))
        return false;
    NameToken* member = ThisMemberToken(op);
    if (member == nullptr) return false;
    // This is the object the call runs on: the walk's read anchors it for the assignment,
    // and nothing between the two can take it away. A member it has already is the member
    // statement's to assign.
    CIBaseObjectVar* object = currentObject_;
    if (object->FindVariable(member->nameId) != nullptr) return false;
    // Where a shortage of memory is reported.
    currentToken = op.token;
    object->AddVariable(member->nameId, 0)->value.Assign(value);
    place->value.Assign(value);
    place->source = nullptr;
    place->anchorKind = kValueInt;
    return true;
}

void CInterpretor::SlotMembers(CValue* value, CompiledMemberSite& site) {
    CValue* place = Operand();
    // A number member of a script object, the commonest: read as EvalMemberChain reads it.
    auto* token = reinterpret_cast<NameToken*>(currentToken);
    uint8_t* after = currentToken + token->header.size;
    CIBaseClassImpl* object =
        value->StoredType() == kValueObject ? value->ObjectPayload() : nullptr;
    if (object != nullptr && IsScriptObject(object) && token->header.code == kTokenMember &&
        !IsMemberLink(reinterpret_cast<const TokenHeader*>(after)->code)) {
        CheckStack();
        StackSlot* slot = slots_[depth_];
        if (slot->anchor.StoredType() != kValueObject || slot->anchor.ObjectPayload() != object)
            slot->anchor.SetObject(object, 1);
        slot->anchorKind = kValueObject;
        auto* holder = static_cast<CIBaseObjectVar*>(object);
        CVariable* member;
        if (site.position != 0 && holder->GetShape() == site.shape) {
            member = holder->FrontVariable(site.position - 1);
        } else {
            member = FindMember(token, holder);
            site.shape = holder->GetShape();
            site.position = member != nullptr ? holder->ShapedPosition(member) : 0;
        }
        if (member != nullptr && member->value.StoredType() <= kValueDouble) {
            currentToken = after;
            place->Assign(member->value);
            slot->source = &member->value;
            return;
        }
    }
    PushVariable(value);
}

const CompiledOp* CInterpretor::WalkedOperandEnd(const CompiledOp* next) {
    if (next->op == kOpMemberAssigned && currentToken == next->token) return next;
    ChainStops();
}

void CInterpretor::ChainHead(uint32_t kind, CValue* slot) {
    chain_ = MemberChain{};
    switch (kind) {
    case kChainSlot:
        SkipToken();
        Operand();
        chain_.value = slot;
        return;
    case kChainName:
    case kChainBoundSlot: {
        auto* token = reinterpret_cast<NameToken*>(currentToken);
        CVariable* variable = LookUp(token);
        CValue* place = Operand();
        SkipToken();
        if (variable == nullptr) {
            place->SetUnboundName(reinterpret_cast<uintptr_t>(token));
            ChainStops();
        }
        chain_.value = &variable->value;
        return;
    }
    case kChainThis:
        SkipToken();
        Operand();
        chain_.mode = MemberChain::kScript;
        chain_.object = currentObject_;
        return;
    case kChainSingleton:
    case kChainCurWindow: {
        CIBaseClassImpl* object =
            kind == kChainSingleton ? singletons_[CurrentCode()] : currentWindow;
        if (object == nullptr) RaiseError(kind == kChainSingleton ? 32 : 31);
        SkipToken();
        Operand();
        chain_.mode = MemberChain::kBuiltin;
        chain_.object = object;
        return;
    }
    default:
        chain_.mode = MemberChain::kText;
        chain_.text = GetStringTokenText(reinterpret_cast<const TokenHeader*>(currentToken));
        SkipToken();
        Operand();
        return;
    }
}

void CInterpretor::ResolveChain() {
    if (chain_.mode != MemberChain::kValue) return;
    CValue* value = chain_.value;
    switch (value->GetType()) {
    case kValueObject: {
        CIBaseClassImpl* object = value->GetObjectNonNull();
        chain_.mode = IsScriptObject(object) ? MemberChain::kScript : MemberChain::kBuiltin;
        chain_.object = object;
        chain_.holder = value;
        return;
    }
    case kValueFunction:
        Left()->Assign(*value);
        LeftSource() = value;
        ChainStops();
    case kValueString:
        chain_.mode = MemberChain::kText;
        return;
    default:
        RaiseError(35);
    }
}

void CInterpretor::ChainMember() {
    ResolveChain();
    switch (chain_.mode) {
    case MemberChain::kScript: {
        auto* object = static_cast<CIBaseObjectVar*>(chain_.object);
        Anchor(object);
        auto* token = reinterpret_cast<NameToken*>(currentToken);
        CVariable* member = FindMember(token, object);
        SkipToken();
        if (member == nullptr) {
            // A member not there yet can only be assigned, and a method call follows.
            Left()->SetUnboundMember(reinterpret_cast<uintptr_t>(token));
            LeftSource() = nullptr;
            RaiseError(41);
        }
        CValue* value = &member->value;
        if (value->GetType() == kValueObject) {
            CIBaseClassImpl* inner = value->GetObjectNonNull();
            if (IsScriptObject(inner)) {
                chain_.object = inner;
                chain_.holder = value;
                return;
            }
        }
        LeftSource() = nullptr;
        chain_.mode = MemberChain::kValue;
        chain_.value = value;
        return;
    }
    case MemberChain::kBuiltin:
        chain_.mode = MemberChain::kDone;
        CallObjectMethod(chain_.object);
        return;
    case MemberChain::kText: {
        chain_.mode = MemberChain::kDone;
        if (chain_.text != nullptr) {
            CallTextMethod(chain_.text, 1);
            return;
        }
        CValue text(this, chain_.value);
        CallTextMethod(text.GetString(), 1);
        return;
    }
    default:
        ChainStops();
    }
}

uint32_t CInterpretor::SiteMethod(const CompiledFunction& code, uint32_t site,
                                  const CClassRecord* record) {
    CompiledMethodSite& entry = code.methodSites[site];
    if (entry.record == record && record != nullptr) return entry.id;
    uint32_t id = ResolveMember(record);
    entry = {record, id};
    return id;
}

void CInterpretor::MethodBegin(const CompiledFunction& code, uint32_t site, uint32_t count) {
    ResolveChain();
    switch (chain_.mode) {
    case MemberChain::kScript: {
        auto* object = static_cast<CIBaseObjectVar*>(chain_.object);
        Anchor(object);
        CVariable* member =
            object->FindVariable(reinterpret_cast<const NameToken*>(currentToken)->nameId);
        if (member == nullptr) RaiseError(42);
        SkipToken();
        // The function the member holds now is the one called, whatever the arguments do.
        if (member->value.GetType() == kValueFunction)
            Left()->SetFunction(member->value.GetFunction());
        else
            Left()->SetInt(0);
        return;
    }
    case MemberChain::kBuiltin:
        SiteMethod(code, site, chain_.object->classRecord);
        SkipToken();
        Anchor(chain_.object);
        return;
    case MemberChain::kText: {
        const CClassRecord* record = &classRecords_[kTextClass];
        if (record->info == nullptr || record->info->constructText == nullptr) RaiseError(11);
        SiteMethod(code, site, record);
        SkipToken();
        // No object anchors the text. Arguments may change the variable it was read from:
        // the text as it is now is kept for the call, as the walk keeps its copy.
        StackSlot* place = slots_[depth_];
        place->anchorKind = kValueInt;
        if (count == 0) return;
        if (chain_.text != nullptr)
            place->value.SetString(chain_.text, 1);
        else
            place->value.Assign(*chain_.value);
        place->source = nullptr;
        return;
    }
    default:
        ChainStops();
    }
}

bool CInterpretor::SlotMethodBegin(const CompiledOp& head, CValue* slots, uint64_t bound) {
    if (head.code != kChainSlot &&
        (head.code != kChainBoundSlot || ((bound >> head.index) & 1) == 0))
        return false;
    CValue* value = &slots[head.index];
    if (value->GetType() != kValueObject) return false;
    CIBaseClassImpl* object = value->ObjectPayload();
    if (!IsScriptObject(object)) return false;
    const CompiledOp& call = (&head)[1];
    CVariable* member = static_cast<CIBaseObjectVar*>(object)->FindVariable(
        reinterpret_cast<const NameToken*>(call.token)->nameId);
    if (member == nullptr || member->value.GetType() != kValueFunction) return false;
    // What ChainHead and MethodBegin leave, without their steps through the chain.
    chain_ = MemberChain{};
    chain_.mode = MemberChain::kScript;
    chain_.value = value;
    chain_.object = object;
    chain_.holder = value;
    StackSlot* place = slots_[depth_];
    if (place->anchor.StoredType() != kValueObject || place->anchor.ObjectPayload() != object)
        place->anchor.SetObject(object, 1);
    place->anchorKind = kValueObject;
    place->source = nullptr;
    place->value.SetFunction(member->value.GetFunction());
    currentToken = call.token + reinterpret_cast<const TokenHeader*>(call.token)->size;
    return true;
}

const BlockRecord* CInterpretor::MethodEnd(const CompiledFunction& code, uint32_t site,
                                           int32_t count) {
    Frame().count = count;
    StackSlot* place = slots_[depth_];
    if (place->anchorKind == kValueObject) {
        // Its arguments may have deleted the object.
        if (place->anchor.GetType() != kValueObject) RaiseError(32);
        CIBaseClassImpl* object = place->anchor.GetObject();
        if (IsScriptObject(object)) {
            const BlockRecord* function =
                place->value.GetType() == kValueFunction ? place->value.GetFunction() : nullptr;
            if (function == nullptr || function->kind != kBlockFunction) RaiseError(40);
            if (callNesting_ >= kMaxCallNesting) RaiseError(15);
            return function;
        }
        StackSlot* result = slots_[depth_];
        result->value.SetInt(0);
        result->source = nullptr;
        currentMethodId_ = uint16_t(code.methodSites[site].id);
        GuardedCall(object, currentMethodId_);
        return nullptr;
    }
    // Without arguments nothing ran since the chain read its text.
    const bool kept = count == 0;
    // A TextMethod reads the text wholly before it writes its result, which may go over the
    // place that holds the text.
    const char* bytes = kept && chain_.text != nullptr ? chain_.text
                        : kept                         ? chain_.value->GetString()
                                                       : place->value.GetString();
    if (AnswerTextMethod(*this, code.methodSites[site], bytes)) {
        slots_[depth_]->source = nullptr;
        return nullptr;
    }
    // The object borrows a text that the method's result must not let go of.
    CValue text(this);
    if (!(kept && chain_.text != nullptr)) text.Assign(kept ? *chain_.value : place->value);
    bytes = kept && chain_.text != nullptr ? chain_.text : text.GetString();
    TextObject temporary(*this, bytes, 1);
    Anchor(temporary.object);
    StackSlot* result = slots_[depth_];
    result->value.SetInt(0);
    result->source = nullptr;
    currentMethodId_ = uint16_t(code.methodSites[site].id);
    GuardedCall(temporary.object, currentMethodId_);
    return nullptr;
}

void CInterpretor::CompiledNewBegin(bool function) {
    SkipToken();
    Operand();
    if (!function) return;
    const auto* token = reinterpret_cast<const NameToken*>(currentToken);
    CVariable* variable = FindVariable(token->nameId);
    if (variable == nullptr || variable->value.GetType() != kValueFunction) RaiseError(42);
    Left()->SetFunction(variable->value.GetFunction());
}

void CInterpretor::CompiledNewEnd(const uint8_t* target, int32_t count) {
    Frame().count = count;
    const uint32_t classId = reinterpret_cast<const TokenHeader*>(target)->code;
    if (classId != kTokenCallName) {
        NewClassObject(classId);
        return;
    }
    const BlockRecord* function = Left()->GetFunction();
    if (function == nullptr || function->kind != kBlockFunction) RaiseError(40);
    if (callNesting_ >= kMaxCallNesting) RaiseError(15);
    CIBaseObjectVar* object = NewScriptObject();
    NewObjectHold creation{*this, object};
    CheckStack();
    InvokeFunction(nullptr, object, function);
    object->Create();
    if (object->alive == 0) RaiseError(38);
    Operand()->SetObject(object, 1);
    ++creations;
}

void CInterpretor::CompiledDelete(const CValue& value) {
    CIBaseClassImpl* object = value.GetObjectNonNull();
    if (object == static_cast<CIBaseClassImpl*>(this)) RaiseError(133);
    DeleteObject(object);
}

// An object passed on as a whole (an argument, an assignment's right side) is what the walk
// reaches through PushVariable and EvalMemberChain with no member after it: the object
// anchored and held by the operand, whose source is its holder.
CIBaseClassImpl* CInterpretor::WholeObject(const CValue& holder) {
    if (holder.StoredType() != kValueObject) return nullptr;
    CIBaseClassImpl* object = holder.ObjectPayload();
    if (object == nullptr || !IsScriptObject(object)) return nullptr;
    const uint16_t next = CurrentCode();
    if (next == kTokenMember || next == kTokenMemberCall || next == kTokenArrayMember)
        return nullptr;
    return object;
}

void CInterpretor::PushObjectOperand(CIBaseClassImpl* object, CValue* holder) {
    CheckStack();
    // As Anchor does, with the raw tag: an anchor whose object went takes the new one.
    StackSlot* slot = slots_[depth_];
    if (slot->anchor.StoredType() != kValueObject || slot->anchor.ObjectPayload() != object)
        slot->anchor.SetObject(object, 1);
    slot->anchorKind = kValueObject;
    slot->value.SetObject(object, 1);
    slot->source = holder;
}

bool CInterpretor::PushWholeObject(CValue* holder) {
    CIBaseClassImpl* object = WholeObject(*holder);
    if (object == nullptr) return false;
    PushObjectOperand(object, holder);
    return true;
}

// The element's cell is the one ElementOperand takes when the indices fall inside the array,
// which then anchors the array only for the object to take the anchor's place.
bool CInterpretor::ElementObjectOperand(int count) {
    StackSlot* place = slots_[depth_];
    CScriptArray* array = ArrayOf(*place->source);
    uint32_t flat;
    if (array == nullptr || !array->FindFlatIndex(place->indices, uint32_t(count), flat))
        return false;
    // A cell never assigned has no value: the walk reads it as a missing element.
    CValue* item = array->GetItem(flat);
    if (item == nullptr) return false;
    CIBaseClassImpl* object = WholeObject(*item);
    if (object == nullptr) return false;
    Operand();
    PushObjectOperand(object, item);
    return true;
}
