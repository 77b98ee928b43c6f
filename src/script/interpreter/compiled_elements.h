// The cell of an element whose array and indices a kOpElementRead finds in the call's
// slots, shared by the runner's own step and the out-of-line one that looks names up; and
// the store of a kOpElementStore into such a cell.
#pragma once

#include "script/interpreter/compiled_code.h"
#include "script/interpreter/interpretor.h"
#include "script/language/token_codes.h"
#include "script/values/script_array.h"
#include "script/values/value.h"

// Index `k` of `read` from its slot or integer; false when its slot holds no integer or
// is a kOpBindName slot the call has not bound.
[[gnu::always_inline]] inline bool ElementIndexOf(const ElementRead& read, uint32_t k,
                                                  const CValue* slots, uint64_t bound,
                                                  int32_t& index) {
    const uint8_t source = read.sources[k];
    if (source == kIndexFromInteger) {
        index = int32_t(read.values[k]);
        return true;
    }
    if ((source == kIndexFromBoundSlot || source == kIndexFromBoundSlotOffset) &&
        ((bound >> read.values[k]) & 1) == 0)
        return false;
    const CValue& value = slots[read.values[k]];
    if (value.GetType() != kValueInt) return false;
    index = int32_t(uint32_t(value.IntPayload()) + read.offsets[k]);
    return true;
}

// The flat index in `array` of the element `read` names, its indices to `indices`; false
// when an index is not at hand or the element lies outside the array's shape, where the
// full steps shape, grow or fail as the walk does.
[[gnu::always_inline]] inline bool ElementFlatIndex(const ElementRead& read,
                                                    const CScriptArray& array, const CValue* slots,
                                                    uint64_t bound, int32_t* indices,
                                                    uint32_t& flat) {
    if (array.dimensions != read.count) return false;
    if (!ElementIndexOf(read, 0, slots, bound, indices[0]) ||
        uint32_t(indices[0]) >= array.sizes[0])
        return false;
    flat = uint32_t(indices[0]);
    if (read.count == 1) return true;
    if (!ElementIndexOf(read, 1, slots, bound, indices[1]) ||
        uint32_t(indices[1]) >= array.sizes[1])
        return false;
    flat += uint32_t(indices[1]) * array.sizes[0];
    return true;
}

// The array holding the element `read` names, in its slot or in the variable of name
// `read.slot` of the program (`variables`), and the element's flat index; null when it is
// not at hand (the slot unbound, no array held, an index not an integer or outside the
// array's shape), where the full steps shape, grow or fail as the walk does.
[[gnu::always_inline]] inline CScriptArray* ElementCell(const ElementRead& read,
                                                        const CValue* slots, uint64_t bound,
                                                        CVariable* const* variables,
                                                        uint32_t& flat) {
    if (read.begin == kOpElementBoundSlot && ((bound >> read.slot) & 1) == 0) return nullptr;
    CScriptArray* array = CInterpretor::ArrayOf(
        read.begin == kOpElementName ? variables[read.slot]->value : slots[read.slot]);
    int32_t indices[ElementRead::kMaxIndices];
    if (array == nullptr || !ElementFlatIndex(read, *array, slots, bound, indices, flat))
        return nullptr;
    return array;
}

// The cell of the element `read` names when it holds a number, read into `cell`, and the
// array holding it; null when there is none at hand (as for ElementCell) or the cell holds
// anything else, which only the full steps store over.
[[gnu::always_inline]] inline CScriptArray* NumberCell(const ElementRead& read, const CValue* slots,
                                                       uint64_t bound, CVariable* const* variables,
                                                       uint32_t& flat, CScriptArray::Number& cell) {
    CScriptArray* array = ElementCell(read, slots, bound, variables, flat);
    return array != nullptr && array->ReadNumber(flat, cell) ? array : nullptr;
}

// Where a quick element instruction of a loop program finds its array and index: the slot
// of the array, or the loop program's name holding it, in bits 0-7 (kQuickNamed set for a
// name; bit 8 is the store's flag that it leaves its value), the slot of the index in bits
// 16-23, the constant added to the index in bits 32-63.
constexpr int64_t kQuickNamed = 0x200;
constexpr int64_t kQuickIndexShift = 16;
constexpr int64_t kQuickOffsetShift = 32;

// The packed form of the element `read` names when it has one index, a slot's (plus a
// constant), and its array is in a slot or named (`read.slot` plus `nameBase` being the
// name's place in the loop program), each slot bound by `bound` when it is a kOpBindName
// slot; false for other elements. A loop program runs with the slots bound as when it was
// written, so that its quick instructions need not test them.
inline bool QuickElementOf(const ElementRead& read, uint64_t bound, uint32_t nameBase,
                           int64_t& packed) {
    const uint8_t source = read.sources[0];
    const bool boundIndex = source == kIndexFromBoundSlot || source == kIndexFromBoundSlotOffset;
    const uint32_t holder = read.begin == kOpElementName ? read.slot + nameBase : read.slot;
    if (read.count != 1 || holder > 0xFF || read.values[0] > 0xFF ||
        (read.begin == kOpElementBoundSlot && ((bound >> read.slot) & 1) == 0) ||
        (source != kIndexFromSlot && source != kIndexFromSlotOffset && !boundIndex) ||
        (boundIndex && ((bound >> read.values[0]) & 1) == 0))
        return false;
    packed = int64_t(holder) | (read.begin == kOpElementName ? kQuickNamed : 0) |
             (int64_t(read.values[0]) << kQuickIndexShift) |
             int64_t(uint64_t(read.offsets[0]) << kQuickOffsetShift);
    return true;
}

// The array and flat index of a quick element instruction's element, `packed` as
// QuickElementOf makes it; null when its holder holds no array of one dimension or the
// index slot no integer (the index may still lie outside the array).
template <class Slots>
[[gnu::always_inline]] inline CScriptArray* QuickElement(Slots* slots, CVariable* const* variables,
                                                         int64_t packed, uint32_t& flat) {
    const uint32_t holder = uint32_t(packed) & 0xFF;
    const CValue& held =
        (packed & kQuickNamed) == 0 ? slots[holder] : variables[holder]->value;
    const CValue& index = slots[uint32_t(packed >> kQuickIndexShift) & 0xFF];
    // A value of kind array always holds one: the kind alone is tested.
    if (held.StoredType() != kValueArray || index.StoredType() != kValueInt) return nullptr;
    CScriptArray* array = held.GetArray();
    if (array->dimensions != 1) return nullptr;
    flat = uint32_t(index.IntPayload()) + uint32_t(uint64_t(packed) >> kQuickOffsetShift);
    return array;
}

// The packed form of the element `read` names when it has two indices, each a slot's plus a
// constant from -128 to 127, and its array is in a slot or named, as for QuickElementOf:
// the slots of the indices in bits 16-23 and 24-31, their constants in bits 32-39 and
// 40-47; false for other elements.
inline bool QuickGridOf(const ElementRead& read, uint64_t bound, uint32_t nameBase,
                        int64_t& packed) {
    const uint32_t holder = read.begin == kOpElementName ? read.slot + nameBase : read.slot;
    if (read.count != 2 || holder > 0xFF ||
        (read.begin == kOpElementBoundSlot && ((bound >> read.slot) & 1) == 0))
        return false;
    packed = int64_t(holder) | (read.begin == kOpElementName ? kQuickNamed : 0);
    for (uint32_t k = 0; k < 2; ++k) {
        const uint8_t source = read.sources[k];
        const bool boundIndex =
            source == kIndexFromBoundSlot || source == kIndexFromBoundSlotOffset;
        const int32_t offset = int32_t(read.offsets[k]);
        if (read.values[k] > 0xFF || offset < -128 || offset > 127 ||
            (source != kIndexFromSlot && source != kIndexFromSlotOffset && !boundIndex) ||
            (boundIndex && ((bound >> read.values[k]) & 1) == 0))
            return false;
        packed |= int64_t(read.values[k]) << (kQuickIndexShift + 8 * k);
        packed |= int64_t(uint8_t(offset)) << (kQuickOffsetShift + 8 * k);
    }
    return true;
}

// The array and flat index of a quick grid instruction's element, `packed` as QuickGridOf
// makes it; null when its holder holds no array of two dimensions, an index slot no
// integer or the element lies outside the array's shape.
template <class Slots>
[[gnu::always_inline]] inline CScriptArray* QuickGrid(Slots* slots, CVariable* const* variables,
                                                      int64_t packed, uint32_t& flat) {
    const uint32_t holder = uint32_t(packed) & 0xFF;
    const CValue& held =
        (packed & kQuickNamed) == 0 ? slots[holder] : variables[holder]->value;
    const CValue& first = slots[uint32_t(packed >> kQuickIndexShift) & 0xFF];
    const CValue& second = slots[uint32_t(packed >> (kQuickIndexShift + 8)) & 0xFF];
    if (held.StoredType() != kValueArray || first.StoredType() != kValueInt ||
        second.StoredType() != kValueInt)
        return nullptr;
    CScriptArray* array = held.GetArray();
    if (array->dimensions != 2) return nullptr;
    const uint32_t x =
        uint32_t(first.IntPayload()) + uint32_t(int32_t(int8_t(packed >> kQuickOffsetShift)));
    const uint32_t y = uint32_t(second.IntPayload()) +
                       uint32_t(int32_t(int8_t(packed >> (kQuickOffsetShift + 8))));
    if (x >= array->sizes[0] || y >= array->sizes[1]) return nullptr;
    flat = x + y * array->sizes[0];
    return array;
}

// The kOpElementIndex of the element whose first step is `begin`, before `end`, when the
// element has one index, worked out by the steps between them (its value lands in the
// register above the element's), and is read as ElementMode `mode` says (kElementValue or
// kElementTarget); null for any other step.
inline const CompiledOp* IndexedElementIndex(const CompiledOp* begin, const CompiledOp* end,
                                             uint8_t mode = kElementValue) {
    if ((begin->op != kOpElementSlot && begin->op != kOpElementBoundSlot &&
         begin->op != kOpElementName) ||
        uint32_t(begin->depth) + 1 >= CompiledFunction::kMaxQuickDepth)
        return nullptr;
    const CompiledOp* index = begin + 1;
    while (index < end && index->depth > begin->depth)
        ++index;
    if (index == begin + 1 || index + 1 >= end || index->op != kOpElementIndex ||
        index->code != kIndexFromStack || index->depth != begin->depth || index->index != 0)
        return nullptr;
    const CompiledOp& element = index[1];
    return element.op == kOpElement && element.depth == begin->depth && element.count == 1 &&
                   element.code == mode
               ? index
               : nullptr;
}

// The one-dimensional array holding the element of one index `read` names, whose index
// (kIndexFromStack) the program works out; null when its holder holds none.
template <class Slots>
[[gnu::always_inline]] inline CScriptArray*
IndexedArrayOf(const ElementRead& read, Slots* slots, uint64_t bound, CVariable* const* variables) {
    if (read.begin == kOpElementBoundSlot && ((bound >> read.slot) & 1) == 0) return nullptr;
    CScriptArray* array =
        (read.begin == kOpElementName ? variables[read.slot]->value : slots[read.slot]).GetArray();
    return array != nullptr && array->dimensions == 1 ? array : nullptr;
}

// That array when the element at `index` lies inside it, `flat` its place; null when the
// element is not at hand (as for ElementCell).
template <class Slots>
[[gnu::always_inline]] inline CScriptArray*
IndexedElementCell(const ElementRead& read, Slots* slots, uint64_t bound,
                   CVariable* const* variables, int32_t index, uint32_t& flat) {
    CScriptArray* array = IndexedArrayOf(read, slots, bound, variables);
    if (array == nullptr || uint32_t(index) >= array->sizes[0]) return nullptr;
    flat = uint32_t(index);
    return array;
}

// The array of as many dimensions as the element `read` names has indices, in its slot or
// in the variable of name `read.slot` of the program; null when there is none.
[[gnu::always_inline]] inline CScriptArray* ShapedArrayOf(const ElementRead& read,
                                                          const CValue* slots, uint64_t bound,
                                                          CVariable* const* variables) {
    if (read.begin == kOpElementBoundSlot && ((bound >> read.slot) & 1) == 0) return nullptr;
    CScriptArray* array = CInterpretor::ArrayOf(
        read.begin == kOpElementName ? variables[read.slot]->value : slots[read.slot]);
    return array != nullptr && array->dimensions == read.count ? array : nullptr;
}

// The array whose element just past its end, the array having one dimension, is the one
// `read` names, and that element's index; null for any other element.
[[gnu::always_inline]] inline CScriptArray* ArrayEndingAt(const ElementRead& read,
                                                          const CValue* slots, uint64_t bound,
                                                          CVariable* const* variables,
                                                          int32_t& index) {
    if (read.count != 1 || (read.begin == kOpElementBoundSlot && ((bound >> read.slot) & 1) == 0))
        return nullptr;
    CScriptArray* array = CInterpretor::ArrayOf(
        read.begin == kOpElementName ? variables[read.slot]->value : slots[read.slot]);
    if (array == nullptr || array->dimensions != 1 ||
        !ElementIndexOf(read, 0, slots, bound, index) || uint32_t(index) != array->ItemCount())
        return nullptr;
    return array;
}

// The assignment of `number` to the element `read` names when it lies just past the end of a
// one-dimensional array, which grows by that element as the walk's assignment grows it;
// false, with nothing changed, for any other element or when the array cannot grow.
[[gnu::noinline]] bool AppendElementNumber(const ElementRead& read, const CValue* slots,
                                           uint64_t bound, CVariable* const* variables,
                                           const CScriptArray::Number& number);

// `number` appended to `array` as its element `index` (CScriptArray::AppendNumber), out of
// line, so that the runners that grow arrays keep their hot code small; the number goes as
// its kind and bits, in registers, so that the caller's need not stay in memory.
[[gnu::noinline]] bool AppendNumberTo(CScriptArray& array, uint32_t index, uint32_t kind,
                                      uint64_t bits);

// `left` "+", "-" or "*" `right`, as the values' operators work out two numbers: integers
// wrap, and an integer meeting a double becomes one.
[[gnu::always_inline]] inline void JoinNumbers(uint8_t operation, CScriptArray::Number& left,
                                               const CScriptArray::Number& right) {
    if ((left.kind | right.kind) == kValueInt) {
        const uint32_t a = uint32_t(left.integer);
        const uint32_t b = uint32_t(right.integer);
        left.integer = int32_t(operation == kTokenPlus    ? a + b
                               : operation == kTokenMinus ? a - b
                                                          : a * b);
        return;
    }
    const double a = left.kind == kValueInt ? double(left.integer) : left.real;
    const double b = right.kind == kValueInt ? double(right.integer) : right.real;
    left.kind = kValueDouble;
    left.real = operation == kTokenPlus ? a + b : operation == kTokenMinus ? a - b : a * b;
}

// The number in the cell of the element that `read` names in the array `variable` holds,
// read into `place` (a place of the value stack) as ElementMode `mode` says; false, with
// nothing but the place's indices written, when there is none at hand.
template <class Place>
[[gnu::always_inline]] inline bool ReadElementCell(uint8_t mode, const ElementRead& read,
                                                   const CValue& variable, const CValue* slots,
                                                   uint64_t bound, Place* place) {
    CScriptArray* array = CInterpretor::ArrayOf(variable);
    uint32_t flat;
    if (array == nullptr || !ElementFlatIndex(read, *array, slots, bound, place->indices, flat) ||
        !array->ReadNumber(flat, place->value))
        return false;
    place->source = nullptr;
    place->anchorKind = kValueInt;
    if (mode == kElementTarget) {
        // The cell kOpElementAssign writes, named by the array and the indices.
        if (!place->anchor.HoldsSameArray(variable)) place->anchor.Assign(variable);
        place->anchorKind = kValueArray;
        place->indexCount = int32_t(read.count);
    }
    return true;
}

// The statement of a kOpElementStore with operator `operation`, done when everything it
// reads is at hand and the element's cell holds a number; false, with nothing changed,
// else. Out of line, so that the runner's frame, which a deep recursion repeats, does not
// carry its values.
[[gnu::noinline]] bool StoreElementCell(const CompiledFunction& code, const ElementStore& store,
                                        uint8_t operation, const CValue* slots, uint64_t bound);
