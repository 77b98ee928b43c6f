// The interpreter as far as script values need it: raising run-time errors, the pool of
// temporary texts that conversions hand out, the table of script arrays, the object
// lists and serial counters of the classes, and the shutdown state.
#pragma once

#include <cstddef>
#include <cstdint>

#include "foundation/handle_list.h"
#include "script/base_class.h"
#include "script/ierror.h"
#include "script/token_infos.h"

class CScriptArray;

// It adopts the compiled token stream (CTokenInfos) and walks it.
class CInterpretor : public CIBaseClassImpl, public CTokenInfos {
public:
    CInterpretor();
    // Destroys the arrays that are left, as a shutdown does. Objects are not owned here:
    // they must be gone first.
    ~CInterpretor() override;

    // Throws a new CIError with the code and sub-code; never returns.
    [[noreturn]] void RaiseError(int32_t code, uint32_t subCode = kNoSubCode);
    // The same for code that may hold no interpreter: without one, the error carries
    // no position.
    [[noreturn]] static void RaiseErrorOn(CInterpretor* interpreter, int32_t code,
                                          uint32_t subCode = kNoSubCode);

    // A block of `size` bytes that stays valid until FlushTemporaryTexts. Never null:
    // the pool grows past its 256 entries when one statement needs more, and a failed
    // allocation raises error 15.
    char* AllocBuffer(size_t size);
    void FlushTemporaryTexts();

    // The array of a handle, or null when the handle names none.
    CScriptArray* GetArray(uint32_t handle) const;
    // Called when an array's use count reaches 0. Arrays freed by that one (nested
    // items) are destroyed in a loop rather than by recursion, so no depth of nesting
    // can exhaust the stack.
    void DestroyArray(CScriptArray* array);

    // 1 while the interpreter is being destroyed or reset: values then release no
    // arrays and do not count down object uses.
    int shuttingDown = 0;
    // Script arrays by handle.
    CHandleList arrayList;
    // The live objects of each class id, and the last serial given in each.
    CHandleList classObjects[kClassSlotCount];
    uint32_t classSerials[kClassSlotCount] = {};

private:
    // Fills the position of an error from the current token while a stream runs.
    virtual void LocateError(CIError& error);

    char** temporaryTexts_ = nullptr;
    uint32_t temporaryTextCount_ = 0;
    uint32_t temporaryTextCapacity_ = 0;
    // Arrays waiting to be destroyed, linked through CScriptArray::nextToDestroy.
    CScriptArray* arraysToDestroy_ = nullptr;
    int destroyingArrays_ = 0;
};
