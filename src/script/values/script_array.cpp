#include "script/values/script_array.h"

#include <cstring>
#include <memory>
#include <new>

#include "script/interpreter/interpretor.h"
#include "script/values/value.h"

namespace {

// Every size stays below this.
constexpr uint32_t kSizeLimit = 0x1FFFFFFF;
// Beyond this many items the product of the sizes is an absurd size, not something to
// try to allocate (it is also the most a PtrArray holds).
constexpr uint64_t kMaxItems = uint64_t{1} << 28;

// The product of the sizes, or 0 when it exceeds kMaxItems. Each size is below 2^29,
// so the running product never leaves 64 bits before it is checked.
uint64_t ItemCount(const uint32_t* sizes, uint32_t n) {
    uint64_t count = 1;
    for (uint32_t i = 0; i < n; ++i) {
        count *= sizes[i];
        if (count > kMaxItems) return 0;
    }
    return count;
}

} // namespace

CScriptArray::CScriptArray(CInterpretor* interpreter) : interpreter(interpreter) {}

CScriptArray::~CScriptArray() {
    interpreter->arrayList.Remove(handle);
    for (uint32_t i = 0, n = items.GetCount(); i < n; ++i)
        delete static_cast<CValue*>(items.GetAt(i));
    items.RemoveAll();
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

uint32_t CScriptArray::GetFlatIndex(const int32_t* indices, int n) {
    if (dimensions == 0) {
        if (n < 1 || n > kMaxDimensions) Fail(14, uint32_t(n));
        uint32_t newSizes[kMaxDimensions];
        for (int i = 0; i < n; ++i) {
            if (indices[i] < 0 || uint32_t(indices[i]) + 1 >= kSizeLimit) Fail(45, uint32_t(i + 1));
            newSizes[i] = uint32_t(indices[i]) + 1;
        }
        uint64_t count = ItemCount(newSizes, uint32_t(n));
        if (count == 0 || !items.SetSize(uint32_t(count))) Fail(15);
        dimensions = uint32_t(n);
        std::memcpy(sizes, newSizes, sizeof(uint32_t) * dimensions);
        return uint32_t(count - 1);
    }
    if (uint32_t(n) != dimensions) Fail(66, dimensions);
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
    uint64_t count = ItemCount(newSizes, dimensions);
    uint32_t oldCount = items.GetCount();
    if (count == 0 || !items.SetSize(uint32_t(count))) Fail(15);
    // Growth in the last dimension alone keeps every flat position.
    bool moves = false;
    for (uint32_t i = 0; i + 1 < dimensions; ++i)
        moves = moves || newSizes[i] != sizes[i];
    if (moves) {
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
                void* item = items.GetAt(from);
                items.SetAt(from, nullptr);
                items.SetAt(uint32_t(to), item);
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

CValue* CScriptArray::GetItem(uint32_t flatIndex) const {
    return static_cast<CValue*>(items.GetAt(flatIndex));
}

CValue* CScriptArray::MakeItem() {
    CValue* item = new (std::nothrow) CValue(interpreter);
    if (item == nullptr) Fail(15);
    return item;
}

void CScriptArray::Store(uint32_t flatIndex, const CValue& value) {
    // Read first: the assignment may free the source.
    bool storesObject = value.GetType() == kValueObject;
    if (CValue* item = GetItem(flatIndex)) {
        bool heldObject = item->GetType() == kValueObject;
        item->Assign(value);
        if (heldObject) --objectItems;
    } else {
        std::unique_ptr<CValue> fresh(MakeItem());
        fresh->Assign(value);
        items.SetAt(flatIndex, fresh.release());
    }
    if (storesObject) ++objectItems;
}

int CScriptArray::SetItem(const int32_t* indices, int n, const CValue* value) {
    uint32_t flatIndex = GetFlatIndex(indices, n);
    if (value != nullptr) Store(flatIndex, *value);
    return 1;
}

int CScriptArray::SetItemFlat(uint32_t flatIndex, const CValue* value) {
    if (value != nullptr && flatIndex < items.GetCount()) Store(flatIndex, *value);
    return 1;
}

int CScriptArray::SetItemString(const int32_t* indices, int n, const char* text) {
    uint32_t flatIndex = GetFlatIndex(indices, n);
    if (text == nullptr) return 1;
    if (CValue* item = GetItem(flatIndex)) {
        bool heldObject = item->GetType() == kValueObject;
        item->SetString(text, 0);
        if (heldObject) --objectItems;
    } else {
        std::unique_ptr<CValue> fresh(MakeItem());
        fresh->SetString(text, 0);
        items.SetAt(flatIndex, fresh.release());
    }
    return 1;
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
        for (uint32_t i = 0, n = array->items.GetCount(); i < n; ++i) {
            CValue* item = array->GetItem(i);
            if (item == nullptr) continue;
            if (item->GetType() == kValueObject) {
                if (item->GetObject() == object) item->SetInt(0);
            } else if (CScriptArray* nested = item->GetArray()) {
                if (nested->objectItems >= 1 && nested->scanning_ == 0) {
                    nested->scanning_ = 1;
                    nested->nextToScan_ = pending;
                    pending = nested;
                }
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
