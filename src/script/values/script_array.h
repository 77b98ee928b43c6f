// A shared, use-counted block of script values with one to ten dimensions. It takes its
// shape from the first element addressed and grows when a later element lies beyond the
// bounds; every element keeps its index tuple when it grows. Values and cells refer to an
// array by address, and the array knows its interpreter; the handle in the interpreter's
// array table serves to find it again where it may have gone meanwhile (the notes of its
// boxes) and to destroy what is left at shutdown.
//
// Elements are 16-byte cells stored contiguously: a number, a function or a default in
// place, a text as a share of its block, an array as its address. A caller that asks for an
// element's address (GetItem, FindItem) gets a heap value standing in for the cell, a
// box, which stays at its address however the array grows or is reshaped. An object is
// always boxed, since it knows the values that hold it by address; other boxes are put
// back into their cells when the statement that made them is over, with the temporary
// texts of that statement (CInterpretor::FlushTemporaryTextsFrom).
#pragma once

#include <cstdint>

#include "script/values/value.h"

class CInterpretor;
class CIBaseClassImpl;
struct BlockRecord;

class CScriptArray {
public:
    static constexpr int kMaxDimensions = 10;
    // ItemType of an element that does not exist.
    static constexpr uint32_t kNoItem = 0xFFFFFFFF;

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
    // Stores an integer at a flat index below ItemCount (beyond it nothing is stored).
    void SetItemInt(uint32_t flatIndex, int32_t value);
    // The element's value at its address (its box), valid to the end of the statement;
    // null when the element does not exist yet.
    CValue* GetItem(uint32_t flatIndex) const;
    // The flat index of an element within the bounds, without shaping or growing the
    // array; false when the count of indices is not the dimensions or an index lies
    // outside its size.
    bool FindFlatIndex(const int32_t* indices, uint32_t n, uint32_t& flatIndex) const {
        if (n != dimensions) return false;
        uint64_t flat = 0;
        for (uint32_t i = n; i-- > 0;) {
            if (uint32_t(indices[i]) >= sizes[i]) return false;
            flat = flat * sizes[i] + uint32_t(indices[i]);
        }
        flatIndex = uint32_t(flat);
        return true;
    }
    // GetItem of an element found by FindFlatIndex; null where that finds none.
    CValue* FindItem(const int32_t* indices, uint32_t n) const {
        uint32_t flat = 0;
        return FindFlatIndex(indices, n, flat) ? GetItem(flat) : nullptr;
    }
    // The value in an element's box (an object's cell is always boxed), without boxing a
    // cell that holds none; null for any other cell or an element beyond the items.
    const CValue* BoxedItem(uint32_t flatIndex) const {
        if (flatIndex >= count_ || cells_[flatIndex].kind != kCellBoxed) return nullptr;
        return cells_[flatIndex].box;
    }
    // Reading without an address: the kind of value an element holds (kNoItem when it
    // does not exist), its integer, or a copy of it.
    uint32_t ItemType(uint32_t flatIndex) const;
    bool ReadInt(uint32_t flatIndex, int32_t& value) const {
        if (flatIndex >= count_) return false;
        const Cell& cell = cells_[flatIndex];
        if (cell.kind == kCellInt) {
            value = cell.integer;
            return true;
        }
        if (cell.kind != kCellBoxed || cell.box->GetType() != kValueInt) return false;
        value = cell.box->IntPayload();
        return true;
    }
    // A number held in its cell, without boxing it: its value to `out`; false when the
    // element holds anything else or lies beyond the items.
    bool ReadNumber(uint32_t flatIndex, CValue& out) const {
        if (flatIndex >= count_) return false;
        const Cell& cell = cells_[flatIndex];
        if (cell.kind == kCellInt) {
            out.SetInt(cell.integer);
            return true;
        }
        if (cell.kind != kCellDouble) return false;
        out.SetFloat(cell.number);
        return true;
    }
    // A number as a cell holds it, for callers that work on numbers without a CValue:
    // `kind` is kValueInt or kValueDouble.
    struct Number {
        uint32_t kind;
        union {
            int32_t integer;
            double real;
            uint64_t bits;
        };
    };
    // The number held in a cell to `out`; false when the element holds anything else or
    // lies beyond the items.
    bool ReadNumber(uint32_t flatIndex, Number& out) const {
        if (flatIndex >= count_) return false;
        const Cell& cell = cells_[flatIndex];
        if (cell.kind - kCellInt > kCellDouble - kCellInt) return false;
        out.kind = cell.kind - kCellInt;
        out.bits = cell.bits;
        return true;
    }
    // The bits of the number of kind `kind` (kValueInt or kValueDouble) held in a cell;
    // false when the element holds anything else or lies beyond the items.
    bool ReadNumberOfKind(uint32_t flatIndex, uint32_t kind, uint64_t& bits) const {
        if (flatIndex >= count_) return false;
        const Cell& cell = cells_[flatIndex];
        if (cell.kind != kind + kCellInt) return false;
        bits = cell.bits;
        return true;
    }
    // Writes a number over a number held in its cell; false, with nothing written, when
    // the cell holds something else or lies beyond the items.
    bool WriteNumber(uint32_t flatIndex, const Number& value) {
        if (flatIndex >= count_) return false;
        Cell& cell = cells_[flatIndex];
        if (cell.kind - kCellInt > kCellDouble - kCellInt) return false;
        cell.kind = value.kind + kCellInt;
        cell.bits = value.bits;
        return true;
    }
    // Writes a number over a number held in its cell; false, with nothing written, when
    // either is something else.
    bool WriteNumber(uint32_t flatIndex, const CValue& value) {
        if (flatIndex >= count_ || value.GetType() > kValueDouble) return false;
        Cell& cell = cells_[flatIndex];
        if (cell.kind != kCellInt && cell.kind != kCellDouble) return false;
        if (value.GetType() == kValueInt) {
            cell.kind = kCellInt;
            cell.integer = value.IntPayload();
        } else {
            cell.kind = kCellDouble;
            cell.number = value.DoublePayload();
        }
        return true;
    }
    // Stores a number into the element just past the end of a one-dimensional array,
    // which grows by that element as an assignment to it grows the array; false, with
    // nothing changed, when `index` names another element or the array cannot grow.
    bool AppendNumber(int32_t index, const Number& value) {
        if (dimensions != 1 || uint32_t(index) != count_ ||
            (count_ == capacity_ && !ReserveOneMore()))
            return false;
        Cell& cell = cells_[count_];
        cell.kind = value.kind + kCellInt;
        cell.unused = 0;
        cell.bits = value.bits;
        sizes[0] = ++count_;
        return true;
    }
    // Assigns the element to `out` (as CValue::Assign); false, with `out` unchanged,
    // when the element does not exist.
    bool ReadItem(uint32_t flatIndex, CValue& out) const;
    // The count of elements, existing or not: the product of the sizes.
    uint32_t ItemCount() const { return count_; }
    // Items holding `object` become integer 0, also in nested arrays (each array is
    // scanned once, whatever the nesting or its cycles).
    void ReleaseReferencesTo(CIBaseClassImpl* object);
    // One holder fewer; the last one destroys the array.
    void Release();
    // Puts the boxes made since the interpreter's temporary pool held `mark` entries back
    // into their cells, but for those holding objects or borrowed texts.
    void SettleBoxesFrom(uint32_t mark);

    // The element addresses in flat order, read-only, for callers written against a table
    // of pointers: GetAt is GetItem.
    struct ItemView {
        const CScriptArray* array;
        uint32_t GetCount() const { return array->count_; }
        void* GetAt(uint32_t flatIndex) const { return array->GetItem(flatIndex); }
    };

    uint32_t handle = 0;
    uint32_t useCount = 0;
    uint32_t dimensions = 0;
    uint32_t sizes[kMaxDimensions] = {};
    ItemView items{this};
    CInterpretor* interpreter;
    // Items stored holding objects; ReleaseReferencesTo skips arrays without any.
    int32_t objectItems = 0;
    // The interpreter's chain of arrays waiting to be destroyed.
    CScriptArray* nextToDestroy = nullptr;

private:
    enum : uint32_t {
        kCellEmpty = 0,
        kCellInt,
        kCellDouble,
        kCellString,
        kCellFunction,
        kCellArray,
        kCellDefault,
        kCellBoxed,
    };
    struct Cell {
        uint32_t kind;
        uint32_t unused;
        union {
            int32_t integer;
            double number;
            // A share of a text block (text_block.h), null for the empty text.
            char* text;
            const BlockRecord* function;
            // Counted, as a value holding it.
            CScriptArray* array;
            CValue* box;
            uint64_t bits;
        };
    };
    static_assert(sizeof(Cell) == 16);
    static_assert(kCellDouble - kCellInt == kValueDouble - kValueInt);
    // A box that goes back into its cell when the pool falls below `position`.
    struct BoxRecord {
        uint32_t flatIndex;
        uint32_t position;
    };

    [[noreturn]] void Fail(int32_t code, uint32_t subCode) const;
    [[noreturn]] void Fail(int32_t code) const;
    uint32_t FlatIndexOf(const int32_t* indices) const;
    // Sets the count of cells, new ones empty; error 15 when memory runs out.
    void Resize(uint64_t count);
    // Room for `count` cells; false when memory runs out.
    bool Reserve(uint64_t count);
    // Room for one more item; false when the array holds as many as it may.
    [[gnu::noinline]] bool ReserveOneMore();
    // Regrows the items to the new sizes and moves each item to its index tuple.
    void Reshape(const uint32_t* newSizes);
    // Assigns into the item at `flatIndex` (which must be below the item count).
    void Store(uint32_t flatIndex, const CValue& value);
    // A cell holding a copy of `value`, when it can be held in place; false for objects
    // and placeholders (error 41), which need a box.
    bool CellOf(const CValue& value, Cell& cell) const;
    // Frees or lets go of the cell's content, leaving it empty.
    void ReleaseCell(Cell& cell, bool destroying);
    // Replaces the cell by a box holding its content.
    CValue* Box(Cell& cell, uint32_t flatIndex, bool settles) const;

    Cell* cells_ = nullptr;
    uint32_t count_ = 0;
    uint32_t capacity_ = 0;
    mutable BoxRecord* boxes_ = nullptr;
    mutable uint32_t boxCount_ = 0;
    mutable uint32_t boxCapacity_ = 0;
    // Set while a scan for references holds the array in its work list.
    CScriptArray* nextToScan_ = nullptr;
    int scanning_ = 0;
    // Set once a cell has held a text, an array or a box, and never cleared: until then no
    // cell holds anything to let go of, and the teardown frees the cells without a walk.
    mutable bool holdsReferences_ = false;
};
