// A shared, use-counted block of script values with one to ten dimensions. It takes its
// shape from the first element addressed and grows when a later element lies beyond the
// bounds; every element keeps its index tuple when it grows. Values refer to an array by
// its handle in the interpreter's array table, never by address.
#pragma once

#include <cstdint>

#include "foundation/containers/ptr_array.h"

class CInterpretor;
class CIBaseClassImpl;
class CValue;

class CScriptArray {
public:
    static constexpr int kMaxDimensions = 10;

    explicit CScriptArray(CInterpretor* interpreter);
    // Leaves the array table and frees the items.
    ~CScriptArray();
    CScriptArray(const CScriptArray&) = delete;
    CScriptArray& operator=(const CScriptArray&) = delete;

    // The flat index of an element (the first index varies fastest), shaping or growing
    // the array first when needed. Errors: 14 (first use with 0 or more than 10 indices),
    // 66 (another count of indices than the dimensions), 45 (an index that is negative
    // or too large; the sub-code is the dimension from 1), 15 (no memory for the size).
    uint32_t GetFlatIndex(const int32_t* indices, int n);
    // Assigns a copy of `value` to the element, making its item when it has none; a null
    // value only shapes the array. Returns 1.
    int SetItem(const int32_t* indices, int n, const CValue* value);
    // The same at a flat index, without growing: beyond the items nothing is stored.
    int SetItemFlat(uint32_t flatIndex, const CValue* value);
    // Stores a copy of the text; a null text only shapes the array.
    int SetItemString(const int32_t* indices, int n, const char* text);
    // Null when the element does not exist yet.
    CValue* GetItem(uint32_t flatIndex) const;
    // The item of an element within the bounds, without shaping or growing the array;
    // null when the count of indices is not the dimensions, an index lies outside its
    // size or the element does not exist yet.
    CValue* FindItem(const int32_t* indices, uint32_t n) const {
        if (n != dimensions) return nullptr;
        uint64_t flat = 0;
        for (uint32_t i = n; i-- > 0;) {
            if (uint32_t(indices[i]) >= sizes[i]) return nullptr;
            flat = flat * sizes[i] + uint32_t(indices[i]);
        }
        return static_cast<CValue*>(items.GetAt(uint32_t(flat)));
    }
    // Items holding `object` become integer 0, also in nested arrays (each array is
    // scanned once, whatever the nesting or its cycles).
    void ReleaseReferencesTo(CIBaseClassImpl* object);
    // One holder fewer; the last one destroys the array.
    void Release();

    uint32_t handle = 0;
    uint32_t useCount = 0;
    uint32_t dimensions = 0;
    uint32_t sizes[kMaxDimensions] = {};
    // CValue pointers in flat order, owned; null for an element that does not exist.
    PtrArray items;
    CInterpretor* interpreter;
    // Items stored holding objects; ReleaseReferencesTo skips arrays without any.
    int32_t objectItems = 0;
    // The interpreter's chain of arrays waiting to be destroyed.
    CScriptArray* nextToDestroy = nullptr;

private:
    [[noreturn]] void Fail(int32_t code, uint32_t subCode) const;
    [[noreturn]] void Fail(int32_t code) const;
    uint32_t FlatIndexOf(const int32_t* indices) const;
    // Regrows the items to the new sizes and moves each item to its index tuple.
    void Reshape(const uint32_t* newSizes);
    // Assigns into the item at `flatIndex` (which must be below the item count).
    void Store(uint32_t flatIndex, const CValue& value);
    CValue* MakeItem();

    // Set while a scan for references holds the array in its work list.
    CScriptArray* nextToScan_ = nullptr;
    int scanning_ = 0;
};
