#include "script/interpretor.h"

#include <new>

#include "foundation/memory_helpers.h"
#include "script/script_array.h"

namespace {

constexpr uint32_t kTemporaryTexts = 256;

// Raised in place of an error that cannot be allocated. It lives for the whole program,
// so Delete leaves it alone.
class CReservedError final : public CIError {
public:
    CReservedError() : CIError(0) {}
    void Delete() override {}
};

CReservedError reservedError;

CIError* MakeError(int32_t code, uint32_t subCode) {
    CIError* error = new (std::nothrow) CIError(code, subCode);
    if (error != nullptr) return error;
    reservedError.Set(code, subCode, nullptr, -1, -1);
    return &reservedError;
}

} // namespace

CInterpretor::CInterpretor() : CIBaseClassImpl(this, nullptr, 0) {}

CInterpretor::~CInterpretor() {
    shuttingDown = 1;
    while (uint32_t handle = arrayList.GetHead()) {
        CScriptArray* array = GetArray(handle);
        arrayList.Remove(handle);
        delete array;
    }
    FlushTemporaryTexts();
    MemFree(&temporaryTexts_);
}

void CInterpretor::RaiseError(int32_t code, uint32_t subCode) {
    CIError* error = MakeError(code, subCode);
    LocateError(*error);
    throw error;
}

void CInterpretor::RaiseErrorOn(CInterpretor* interpreter, int32_t code, uint32_t subCode) {
    if (interpreter != nullptr) interpreter->RaiseError(code, subCode);
    throw MakeError(code, subCode);
}

void CInterpretor::LocateError(CIError& error) {
    if (mode == kModeRunning) LocateAtCurrentPosition(error);
}

char* CInterpretor::AllocBuffer(size_t size) {
    char* block = nullptr;
    if (!MemAlloc(size != 0 ? size : 1, &block)) RaiseError(15);
    if (temporaryTextCount_ == temporaryTextCapacity_) {
        uint32_t capacity =
            temporaryTextCapacity_ != 0 ? temporaryTextCapacity_ * 2 : kTemporaryTexts;
        if (temporaryTextCapacity_ > UINT32_MAX / 2 ||
            !MemRealloc(size_t{capacity} * sizeof(char*), &temporaryTexts_)) {
            MemFree(&block);
            RaiseError(15);
        }
        temporaryTextCapacity_ = capacity;
    }
    temporaryTexts_[temporaryTextCount_++] = block;
    return block;
}

void CInterpretor::FlushTemporaryTexts() {
    for (uint32_t i = 0; i < temporaryTextCount_; ++i)
        MemFree(&temporaryTexts_[i]);
    temporaryTextCount_ = 0;
}

CScriptArray* CInterpretor::GetArray(uint32_t handle) const {
    return reinterpret_cast<CScriptArray*>(arrayList.GetAt(handle));
}

void CInterpretor::DestroyArray(CScriptArray* array) {
    array->nextToDestroy = arraysToDestroy_;
    arraysToDestroy_ = array;
    if (destroyingArrays_ != 0) return;
    destroyingArrays_ = 1;
    while (CScriptArray* next = arraysToDestroy_) {
        arraysToDestroy_ = next->nextToDestroy;
        delete next;
    }
    destroyingArrays_ = 0;
}
