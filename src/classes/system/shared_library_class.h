// The SharedLibrary class: a shared library loaded from a file or from the binary bank,
// whose exports scripts call with arguments laid out by a signature text.
#pragma once

#include <cstdint>

#include "platform/kernel/win_types.h"
#include "script/classes/base_class.h"

class CISharedLibrary : public CIBaseClassImpl {
public:
    static constexpr uint32_t kClassId = 40;

    enum : uint16_t {
        kLoad = 1,
        kUnload,
        kCallFunction,
        kIsLoaded,
        kMethodCount,
    };

    CISharedLibrary(CInterpretor* interpreter, const CClassRecord* record);
    ~CISharedLibrary() override;

    void CallMethod(uint16_t methodId) override;
    void Destroy(int flag) override;
    // New SharedLibrary(source): loads the source when one is given.
    void Create() override;

private:
    void Load();
    void Unload();
    void CallFunction();
    void IsLoaded();

    // Loads argument 0 (a binary bank element or a file name); 1 when a module was loaded.
    int LoadSource();
    void Free();

    static const ScriptMethod<CISharedLibrary> kMethods[kMethodCount];

    HMODULE module_ = 0;
};

const ScriptClassInfo* GetSharedLibraryClassInfo();
