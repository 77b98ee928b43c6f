// Array elements in compiled code: the steps that leave the cells' quick reads and writes
// and do what EvalArrayElement and the operators' handlers do.
#include <algorithm>

#include "script/interpreter/compiled_code.h"
#include "script/interpreter/compiled_elements.h"
#include "script/interpreter/compiled_register_names.h"
#include "script/interpreter/interpretor.h"
#include "script/language/token_codes.h"
#include "script/values/script_array.h"

void CInterpretor::NewArrayPlaceholder(uint8_t* after) {
    CValue* slot = Operand();
    slot->SetUnboundArray(reinterpret_cast<uintptr_t>(currentToken));
    // The indices are not worked out: the assignment that makes the array does that.
    currentToken = after;
    if (CurrentCode() != kTokenAssign) RaiseError(41);
}

void CInterpretor::NewArrayFromPlaceholder(int count, CValue* slot) {
    const StackSlot* right = slots_[depth_ + 1];
    CValue value(this, &right->value);
    CValue* array = slot;
    if (array == nullptr) {
        const auto* token = reinterpret_cast<const NameToken*>(Left()->GetPlaceholder());
        array = &locals_->AddVariable(token->nameId, blockDepth_)->value;
    }
    array->MakeArray();
    array->SetArrayItemAt(right->indices, count, &value);
    Operand()->Assign(value);
}

namespace {

// The number in cell `flat` of `array` with operator `code` ("+=", "-=", "*=", "++" or
// "--") applied, with `right` for the first three, into `value`; false when the cell holds
// no number.
bool ApplyToCell(const CScriptArray& array, uint32_t flat, uint8_t code, const CValue* right,
                 CValue& value) {
    if (!array.ReadNumber(flat, value)) return false;
    switch (code) {
    case kTokenIncrement:
        value.Increment();
        break;
    case kTokenDecrement:
        value.Decrement();
        break;
    case kTokenAddAssign:
        value.Add(*right);
        break;
    case kTokenSubtractAssign:
        value.Subtract(*right);
        break;
    default:
        value.Multiply(*right);
        break;
    }
    return true;
}

} // namespace

void CInterpretor::CompiledElementOperand(int count) {
    StackSlot* place = slots_[depth_];
    // ElementOperand writes the indices of a missing element back to the place.
    int32_t indices[kMaxArrayIndices];
    std::copy_n(place->indices, count, indices);
    ElementOperand(place->source, indices, count);
}

bool CInterpretor::AssignElementCell(uint8_t code, bool keepAddress) {
    StackSlot* place = slots_[depth_];
    CScriptArray* array = ArrayOf(place->anchor);
    uint32_t flat = 0;
    // The right side may have grown the array, which keeps each element's indices.
    if (array == nullptr ||
        !array->FindFlatIndex(place->indices, uint32_t(place->indexCount), flat))
        return false;
    const CValue& right = slots_[depth_ + 1]->value;
    switch (code) {
    case kTokenAssign:
        if (right.StoredType() > kValueDouble) break;
        // The right side may have stored something else in the element meanwhile.
        if (!array->WriteNumber(flat, right)) array->SetItemFlat(flat, &right);
        SwapSlots(depth_, depth_ + 1);
        return true;
    case kTokenIncrement:
    case kTokenDecrement:
    case kTokenAddAssign:
    case kTokenSubtractAssign:
    case kTokenMultiplyAssign: {
        bool step = code == kTokenIncrement || code == kTokenDecrement;
        if (!step && right.StoredType() > kValueDouble) break;
        CValue value(this);
        if (!ApplyToCell(*array, flat, code, &right, value)) break;
        if (!array->WriteNumber(flat, value)) array->SetItemFlat(flat, &value);
        // "++" and "--" leave the value read before the step; the others the new one,
        // which keeps naming the element.
        if (step) return true;
        place->value.Assign(value);
        if (keepAddress) place->source = array->GetItem(flat);
        return true;
    }
    default:
        break;
    }
    place->source = array->GetItem(flat);
    return false;
}

bool CInterpretor::ReadElementInCell(const CompiledFunction& code, const CompiledOp& op,
                                     CValue* slots, uint64_t bound, uint32_t base) {
    currentToken = op.token;
    depth_ = base + op.depth;
    CVariable* found = LookUp(reinterpret_cast<NameToken*>(op.token));
    return found != nullptr && ReadElementCell(op.code, code.elementReads[op.count], found->value,
                                               slots, bound, slots_[depth_]);
}

namespace {

using Number = CScriptArray::Number;

// The number that StoreSource `source` and `value` name into `number`, when it is at hand.
[[gnu::always_inline]] inline bool StoreOperandOf(const CompiledFunction& code, uint8_t source,
                                                  uint32_t value, const CValue* slots,
                                                  uint64_t bound, Number& number) {
    switch (source) {
    case kStoreInteger:
        number.kind = kValueInt;
        number.integer = int32_t(value);
        return true;
    case kStoreDouble:
        number.kind = kValueDouble;
        number.real = code.doubles[value];
        return true;
    case kStoreBoundSlot:
        if (((bound >> value) & 1) == 0) return false;
        [[fallthrough]];
    case kStoreSlot: {
        const CValue& slot = slots[value];
        number.kind = slot.GetType();
        if (number.kind == kValueInt) {
            number.integer = slot.IntPayload();
            return true;
        }
        number.real = slot.DoublePayload();
        return number.kind == kValueDouble;
    }
    case kStoreElement: {
        uint32_t at;
        return NumberCell(code.elementReads[value], slots, bound, nullptr, at, number) != nullptr;
    }
    default:
        // No operand ("++" and "--", which add their one afterwards) reads as integer 0.
        number.bits = 0;
        number.kind = kValueInt;
        return true;
    }
}

} // namespace

bool AppendElementNumber(const ElementRead& read, const CValue* slots, uint64_t bound,
                         CVariable* const* variables, const CScriptArray::Number& number) {
    int32_t index;
    CScriptArray* array = ArrayEndingAt(read, slots, bound, variables, index);
    return array != nullptr && array->AppendNumber(index, number);
}

bool AppendNumberTo(CScriptArray& array, uint32_t index, uint32_t kind, uint64_t bits) {
    CScriptArray::Number number;
    number.kind = kind;
    number.bits = bits;
    return array.AppendNumber(int32_t(index), number);
}

bool StoreElementCell(const CompiledFunction& code, const ElementStore& store, uint8_t operation,
                      const CValue* slots, uint64_t bound) {
    uint32_t flat = 0;
    Number cell;
    // The cell must hold a number, whatever the operator: the full steps store anything else.
    // An assignment may also grow a one-dimensional array by the element past its end.
    CScriptArray* array =
        NumberCell(code.elementReads[store.target], slots, bound, nullptr, flat, cell);
    int32_t end = 0;
    if (array == nullptr &&
        (operation != kTokenAssign ||
         ArrayEndingAt(code.elementReads[store.target], slots, bound, nullptr, end) == nullptr))
        return false;
    Number number;
    if (!StoreOperandOf(code, store.source, store.value, slots, bound, number)) return false;
    // Numbers, which the operators join as the walk's do, without failing.
    for (uint32_t k = 0; k < store.joins; ++k) {
        Number right;
        if (!StoreOperandOf(code, store.sources[k], store.values[k], slots, bound, right))
            return false;
        JoinNumbers(store.operators[k], number, right);
    }
    switch (operation) {
    case kTokenAssign:
        break;
    case kTokenIncrement:
    case kTokenDecrement:
        number.kind = kValueInt;
        number.integer = 1;
        JoinNumbers(operation == kTokenIncrement ? kTokenPlus : kTokenMinus, cell, number);
        number = cell;
        break;
    default:
        JoinNumbers(operation == kTokenAddAssign        ? kTokenPlus
                    : operation == kTokenSubtractAssign ? kTokenMinus
                                                        : kTokenMultiply,
                    cell, number);
        number = cell;
        break;
    }
    if (array == nullptr)
        return AppendElementNumber(code.elementReads[store.target], slots, bound, nullptr, number);
    return array->WriteNumber(flat, number);
}

bool StoreNumberInElement(const NumberProgram& program, const CompiledOp& op, const CValue& value,
                          const CValue* slots, uint64_t bound) {
    uint32_t flat;
    Number cell;
    CScriptArray* array =
        NumberCell(program.elements[0], slots, bound, program.variables.data(), flat, cell);
    Number number;
    number.kind = value.GetType();
    if (number.kind == kValueInt)
        number.integer = value.IntPayload();
    else
        number.real = value.DoublePayload();
    if (array == nullptr)
        return op.count == kTokenAssign && AppendElementNumber(program.elements[0], slots, bound,
                                                               program.variables.data(), number);
    if (op.count != kTokenAssign) {
        JoinNumbers(op.count == kTokenAddAssign        ? kTokenPlus
                    : op.count == kTokenSubtractAssign ? kTokenMinus
                                                       : kTokenMultiply,
                    cell, number);
        number = cell;
    }
    return array->WriteNumber(flat, number);
}
