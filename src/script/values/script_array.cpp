#include "script/values/script_array.h"

#include <cstring>
#include <memory>
#include <new>

#include "foundation/memory/memory_helpers.h"
#include "script/interpreter/interpretor.h"
#include "script/values/text_block.h"

namespace {

// Every size stays below this.
constexpr uint32_t kSizeLimit = 0x1FFFFFFF;
// Beyond this many items the product of the sizes is an absurd size, not something to
// try to allocate.
constexpr uint64_t kMaxItems = uint64_t{1} << 28;
constexpr uint32_t kFirstCapacity = 4;

// The product of the sizes, or 0 when it exceeds kMaxItems. Each size is below 2^29,
// so the running product never leaves 64 bits before it is checked.
uint64_t CountOf(const uint32_t* sizes, uint32_t n) {
    uint64_t count = 1;
    for (uint32_t i = 0; i < n; ++i) {
        count *= sizes[i];
        if (count > kMaxItems) return 0;
    }
    return count;
}

// Boxes live for a statement at most, so a few spare ones serve a whole run.
class SpareBoxes {
public:
    ~SpareBoxes() {
        while (count_ > 0)
            delete boxes_[--count_];
    }
    CValue* Take() {
        if (count_ == 0) return new (std::nothrow) CValue;
        return boxes_[--count_];
    }
    // `box` holds nothing.
    void Give(CValue* box) {
        if (count_ == kMaxSpare) {
            delete box;
            return;
        }
        boxes_[count_++] = box;
    }

private:
    static constexpr uint32_t kMaxSpare = 64;
    CValue* boxes_[kMaxSpare] = {};
    uint32_t count_ = 0;
};

thread_local SpareBoxes spareBoxes;

} // namespace

CScriptArray::CScriptArray(CInterpretor* interpreter) : interpreter(interpreter) {}

CScriptArray::~CScriptArray() {
    interpreter->arrayList.Remove(handle);
    if (holdsReferences_) {
        for (uint32_t i = 0; i < count_; ++i)
            ReleaseCell(cells_[i], true);
    }
    MemFree(&cells_);
    MemFree(&boxes_);
}

void CScriptArray::Fail(int32_t code, uint32_t subCode) const {
    CInterpretor::RaiseErrorOn(interpreter, code, subCode);
}

void CScriptArray::Fail(int32_t code) const {
    CInterpretor::RaiseErrorOn(interpreter, code);
}

uint32_t CScriptArray::FlatIndexOf(const int32_t* indices) const {
    uint64_t flat = 0;
    for (uint32_t i = dimensions; i-- > 0;)
        flat = flat * sizes[i] + uint32_t(indices[i]);
    return uint32_t(flat);
}

bool CScriptArray::Reserve(uint64_t count) {
    if (count <= capacity_) return true;
    // Geometric growth: an array filled one element after the other is copied a
    // bounded number of times per element.
    uint64_t capacity = capacity_ < kFirstCapacity ? kFirstCapacity : capacity_;
    while (capacity < count)
        capacity += capacity / 2;
    if (capacity > kMaxItems) capacity = kMaxItems;
    if (!MemRealloc(size_t(capacity) * sizeof(Cell), &cells_)) return false;
    capacity_ = uint32_t(capacity);
    return true;
}

void CScriptArray::Resize(uint64_t count) {
    if (count == 0 || count > kMaxItems || !Reserve(count)) Fail(15);
    std::memset(static_cast<void*>(cells_ + count_), 0, size_t(count - count_) * sizeof(Cell));
    count_ = uint32_t(count);
}

uint32_t CScriptArray::GetFlatIndex(const int32_t* indices, int n) {
    if (dimensions == 0) {
        if (n < 1 || n > kMaxDimensions) Fail(14, uint32_t(n));
        uint32_t newSizes[kMaxDimensions];
        for (int i = 0; i < n; ++i) {
            if (indices[i] < 0 || uint32_t(indices[i]) + 1 >= kSizeLimit) Fail(45, uint32_t(i + 1));
            newSizes[i] = uint32_t(indices[i]) + 1;
        }
        uint64_t count = CountOf(newSizes, uint32_t(n));
        Resize(count);
        dimensions = uint32_t(n);
        std::memcpy(sizes, newSizes, sizeof(uint32_t) * dimensions);
        return uint32_t(count - 1);
    }
    if (uint32_t(n) != dimensions) Fail(66, dimensions);
    if (n == 1 && uint32_t(indices[0]) < sizes[0]) return uint32_t(indices[0]);
    bool inside = true;
    for (uint32_t i = 0; i < dimensions; ++i) {
        if (indices[i] < 0 || uint32_t(indices[i]) >= kSizeLimit) Fail(45, i + 1);
        if (uint32_t(indices[i]) >= sizes[i]) inside = false;
    }
    if (!inside) {
        uint32_t newSizes[kMaxDimensions];
        for (uint32_t i = 0; i < dimensions; ++i) {
            uint32_t wanted = uint32_t(indices[i]) + 1;
            newSizes[i] = wanted > sizes[i] ? wanted : sizes[i];
        }
        Reshape(newSizes);
    }
    return FlatIndexOf(indices);
}

void CScriptArray::Reshape(const uint32_t* newSizes) {
    uint64_t count = CountOf(newSizes, dimensions);
    uint32_t oldCount = count_;
    Resize(count);
    // Growth in the last dimension alone keeps every flat position.
    bool moves = false;
    for (uint32_t i = 0; i + 1 < dimensions; ++i)
        moves = moves || newSizes[i] != sizes[i];
    if (moves) {
        auto moved = [this, newSizes](uint32_t from) {
            uint64_t to = 0;
            uint64_t stride = 1;
            for (uint32_t i = 0; i < dimensions; ++i) {
                to += uint64_t(from % sizes[i]) * stride;
                from /= sizes[i];
                stride *= newSizes[i];
            }
            return uint32_t(to);
        };
        for (uint32_t k = 0; k < boxCount_; ++k)
            boxes_[k].flatIndex = moved(boxes_[k].flatIndex);
        // From the last element down: an element's new position is never below its old
        // one, and positions keep their order, so each target is free when it is used.
        uint32_t tuple[kMaxDimensions];
        for (uint32_t i = 0; i < dimensions; ++i)
            tuple[i] = sizes[i] - 1;
        for (uint32_t from = oldCount; from-- > 0;) {
            uint64_t to = 0;
            for (uint32_t i = dimensions; i-- > 0;)
                to = to * newSizes[i] + tuple[i];
            if (to != from) {
                cells_[to] = cells_[from];
                cells_[from].kind = kCellEmpty;
            }
            for (uint32_t i = 0; i < dimensions; ++i) {
                if (tuple[i] > 0) {
                    --tuple[i];
                    break;
                }
                tuple[i] = sizes[i] - 1;
            }
        }
    }
    std::memcpy(sizes, newSizes, sizeof(uint32_t) * dimensions);
}

// ---- Cells -------------------------------------------------------------------------

bool CScriptArray::CellOf(const CValue& value, Cell& cell) const {
    cell.unused = 0;
    switch (value.type_) {
    case kValueInt:
        cell.kind = kCellInt;
        cell.integer = value.payload_.integer;
        return true;
    case kValueDouble:
        cell.kind = kCellDouble;
        cell.number = value.payload_.number;
        return true;
    case kValueFunction:
        cell.kind = kCellFunction;
        cell.function = value.payload_.function;
        return true;
    case kValueDefault:
        cell.kind = kCellDefault;
        cell.integer = value.payload_.integer;
        return true;
    case kValueString:
        holdsReferences_ = true;
        cell.kind = kCellString;
        cell.text = value.payload_.text;
        if (cell.text == nullptr) return true;
        if ((value.flags_ & (CValue::kBorrowedText | CValue::kBorrowedBlock)) !=
            CValue::kBorrowedText) {
            TextBlock::Share(cell.text);
        } else {
            cell.text = TextBlock::Copy(cell.text, std::strlen(cell.text));
            if (cell.text == nullptr) Fail(15);
        }
        return true;
    case kValueArray:
        holdsReferences_ = true;
        cell.kind = kCellArray;
        cell.array = value.payload_.array;
        ++cell.array->useCount;
        return true;
    default:
        return false;
    }
}

void CScriptArray::ReleaseCell(Cell& cell, bool destroying) {
    switch (cell.kind) {
    case kCellString:
        if (cell.text != nullptr) TextBlock::LetGo(cell.text);
        cell.text = nullptr;
        break;
    case kCellArray:
        // At shutdown the held array may be gone already.
        if (!(destroying && interpreter->shuttingDown != 0)) cell.array->Release();
        break;
    case kCellBoxed:
        // The same for an array in a box, which could not tell.
        if (destroying && interpreter->shuttingDown != 0 && cell.box->type_ == kValueArray)
            cell.box->type_ = kValueInt;
        delete cell.box;
        break;
    default:
        break;
    }
    cell.kind = kCellEmpty;
}

CValue* CScriptArray::Box(Cell& cell, uint32_t flatIndex, bool settles) const {
    std::unique_ptr<CValue> box(spareBoxes.Take());
    if (box == nullptr) Fail(15);
    holdsReferences_ = true;
    if (settles) {
        if (boxCount_ == boxCapacity_) {
            uint32_t capacity = boxCapacity_ != 0 ? boxCapacity_ * 2 : kFirstCapacity;
            if (!MemRealloc(size_t(capacity) * sizeof(BoxRecord), &boxes_)) Fail(15);
            boxCapacity_ = capacity;
        }
        uint32_t position = interpreter->ReserveTemporaryEntry();
        interpreter->NoteElementBox(handle, position);
        boxes_[boxCount_++] = BoxRecord{flatIndex, position};
    }
    CValue& value = *box;
    switch (cell.kind) {
    case kCellInt:
        value.type_ = kValueInt;
        value.payload_.integer = cell.integer;
        break;
    case kCellDouble:
        value.type_ = kValueDouble;
        value.payload_.number = cell.number;
        break;
    case kCellFunction:
        value.type_ = kValueFunction;
        value.payload_.function = cell.function;
        break;
    case kCellDefault:
        value.type_ = kValueDefault;
        value.payload_.integer = cell.integer;
        break;
    case kCellString:
        value.type_ = kValueString;
        value.payload_.text = cell.text;
        break;
    case kCellArray:
        value.type_ = kValueArray;
        value.payload_.array = cell.array;
        break;
    default:
        break;
    }
    cell.kind = kCellBoxed;
    cell.box = box.release();
    return cell.box;
}

CValue* CScriptArray::GetItem(uint32_t flatIndex) const {
    if (flatIndex >= count_) return nullptr;
    Cell& cell = cells_[flatIndex];
    if (cell.kind == kCellBoxed) return cell.box;
    if (cell.kind == kCellEmpty) return nullptr;
    return Box(cell, flatIndex, true);
}

uint32_t CScriptArray::ItemType(uint32_t flatIndex) const {
    if (flatIndex >= count_) return kNoItem;
    const Cell& cell = cells_[flatIndex];
    switch (cell.kind) {
    case kCellEmpty:
        return kNoItem;
    case kCellBoxed:
        return cell.box->GetType();
    case kCellDouble:
        return kValueDouble;
    case kCellString:
        return kValueString;
    case kCellFunction:
        return kValueFunction;
    case kCellArray:
        return kValueArray;
    case kCellDefault:
        return kValueDefault;
    default:
        return kValueInt;
    }
}

bool CScriptArray::ReadItem(uint32_t flatIndex, CValue& out) const {
    if (flatIndex >= count_) return false;
    // Writing `out` may destroy this array: nothing of it is used after that.
    const Cell& cell = cells_[flatIndex];
    switch (cell.kind) {
    case kCellEmpty:
        return false;
    case kCellBoxed:
        out.Assign(*cell.box);
        return true;
    case kCellInt:
        out.SetInt(cell.integer);
        break;
    case kCellDouble:
        out.SetFloat(cell.number);
        break;
    case kCellString:
        if (cell.text != nullptr) TextBlock::Share(cell.text);
        out.SetOwnedText(cell.text);
        break;
    case kCellFunction:
        out.SetFunction(cell.function);
        break;
    case kCellDefault:
        out.SetDefault();
        break;
    default: {
        // Held first: releasing the old content may let go of the same array.
        CScriptArray* held = cell.array;
        ++held->useCount;
        out.Release(false);
        out.type_ = kValueArray;
        out.payload_.array = held;
        break;
    }
    }
    return true;
}

void CScriptArray::Store(uint32_t flatIndex, const CValue& value) {
    // Read first: the assignment may free the source.
    bool storesObject = value.GetType() == kValueObject;
    Cell& cell = cells_[flatIndex];
    if (cell.kind == kCellBoxed) {
        bool heldObject = cell.box->GetType() == kValueObject;
        cell.box->Assign(value);
        if (heldObject) --objectItems;
    } else {
        // The new content is taken before the old is released: releasing may free the
        // source (an item of an array that only this element held).
        Cell fresh;
        if (CellOf(value, fresh)) {
            ReleaseCell(cell, false);
            cells_[flatIndex] = fresh;
        } else {
            std::unique_ptr<CValue> box(new (std::nothrow) CValue(interpreter));
            if (box == nullptr) Fail(15);
            box->Assign(value);
            Cell& target = cells_[flatIndex];
            ReleaseCell(target, false);
            holdsReferences_ = true;
            target.kind = kCellBoxed;
            target.box = box.release();
        }
    }
    if (storesObject) ++objectItems;
}

int CScriptArray::SetItem(const int32_t* indices, int n, const CValue* value) {
    uint32_t flatIndex = GetFlatIndex(indices, n);
    if (value != nullptr) Store(flatIndex, *value);
    return 1;
}

bool CScriptArray::ReserveOneMore() {
    return uint64_t(count_) + 1 <= kMaxItems && Reserve(uint64_t(count_) + 1);
}

int CScriptArray::SetItemFlat(uint32_t flatIndex, const CValue* value) {
    if (value != nullptr && flatIndex < count_) Store(flatIndex, *value);
    return 1;
}

void CScriptArray::SetItemInt(uint32_t flatIndex, int32_t value) {
    if (flatIndex >= count_) return;
    Cell& cell = cells_[flatIndex];
    if (cell.kind == kCellBoxed) {
        if (cell.box->GetType() == kValueObject) --objectItems;
        cell.box->SetInt(value);
        return;
    }
    ReleaseCell(cell, false);
    cell.kind = kCellInt;
    cell.integer = value;
}

int CScriptArray::SetItemString(const int32_t* indices, int n, const char* text) {
    uint32_t flatIndex = GetFlatIndex(indices, n);
    if (text == nullptr) return 1;
    Cell& cell = cells_[flatIndex];
    if (cell.kind == kCellBoxed) {
        bool heldObject = cell.box->GetType() == kValueObject;
        cell.box->SetString(text, 0);
        if (heldObject) --objectItems;
        return 1;
    }
    char* copy = TextBlock::Copy(text, std::strlen(text));
    if (copy == nullptr) Fail(15);
    ReleaseCell(cell, false);
    holdsReferences_ = true;
    cell.kind = kCellString;
    cell.text = copy;
    return 1;
}

void CScriptArray::SettleBoxesFrom(uint32_t mark) {
    while (boxCount_ > 0 && boxes_[boxCount_ - 1].position >= mark) {
        Cell& cell = cells_[boxes_[--boxCount_].flatIndex];
        if (cell.kind != kCellBoxed) continue;
        CValue* box = cell.box;
        Cell settled;
        settled.unused = 0;
        switch (box->type_) {
        case kValueInt:
            settled.kind = kCellInt;
            settled.integer = box->payload_.integer;
            break;
        case kValueDouble:
            settled.kind = kCellDouble;
            settled.number = box->payload_.number;
            break;
        case kValueFunction:
            settled.kind = kCellFunction;
            settled.function = box->payload_.function;
            break;
        case kValueDefault:
            settled.kind = kCellDefault;
            settled.integer = box->payload_.integer;
            break;
        case kValueString:
            // A borrowed text stays boxed: the cell would have to copy it.
            if ((box->flags_ & CValue::kBorrowedText) != 0) continue;
            settled.kind = kCellString;
            settled.text = box->payload_.text;
            break;
        case kValueArray:
            settled.kind = kCellArray;
            settled.array = box->payload_.array;
            break;
        default:
            continue;
        }
        // The content moved to the cell: the box lets go of nothing.
        box->type_ = kValueInt;
        box->flags_ = 0;
        spareBoxes.Give(box);
        cell = settled;
    }
}

void CScriptArray::ReleaseReferencesTo(CIBaseClassImpl* object) {
    if (objectItems < 1 || scanning_ != 0) return;
    // A work list through the arrays themselves: no recursion, no allocation, and the
    // mark keeps an array that holds itself (directly or not) from being scanned twice.
    scanning_ = 1;
    nextToScan_ = nullptr;
    CScriptArray* pending = this;
    CScriptArray* scanned = nullptr;
    while (CScriptArray* array = pending) {
        pending = array->nextToScan_;
        array->nextToScan_ = scanned;
        scanned = array;
        for (uint32_t i = 0, n = array->count_; i < n; ++i) {
            const Cell& cell = array->cells_[i];
            CScriptArray* nested = nullptr;
            if (cell.kind == kCellArray) {
                nested = cell.array;
            } else if (cell.kind == kCellBoxed) {
                CValue* item = cell.box;
                if (item->GetType() == kValueObject) {
                    if (item->GetObject() == object) item->SetInt(0);
                } else {
                    nested = item->GetArray();
                }
            }
            if (nested != nullptr && nested->objectItems >= 1 && nested->scanning_ == 0) {
                nested->scanning_ = 1;
                nested->nextToScan_ = pending;
                pending = nested;
            }
        }
    }
    while (CScriptArray* array = scanned) {
        scanned = array->nextToScan_;
        array->nextToScan_ = nullptr;
        array->scanning_ = 0;
    }
}

void CScriptArray::Release() {
    if (useCount != 0 && --useCount == 0) interpreter->DestroyArray(this);
}
