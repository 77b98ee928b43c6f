// The Registry class: one registry key at a time, opened or created under a predefined
// root, whose values scripts read, write, list and delete as texts, integers, Binary
// objects and arrays of texts.
#pragma once

#include <cstdint>
#include <string>

#include "platform/registry/registry.h"
#include "script/classes/base_class.h"

class CIRegistry : public CIBaseClassImpl {
public:
    static constexpr uint32_t kClassId = 42;

    enum : uint16_t {
        kCreateKey = 1,
        kDeleteKey,
        kOpenKey,
        kCloseKey,
        kGetCurrentKeyRoot,
        kGetSubKeyList,
        kGetValueList,
        kGetCurrentKeyName,
        kSetValue,
        kGetValue,
        kDeleteValue,
        kGetValueType,
        kMethodCount,
    };
    static constexpr uint32_t kFirstClassLevelId = 13;

    CIRegistry(CInterpretor* interpreter, const CClassRecord* record);
    ~CIRegistry() override;

    void CallMethod(uint16_t methodId) override;
    void Destroy(int flag) override;
    void Create() override;

private:
    void CreateKey();
    void DeleteKey();
    void OpenKey();
    void CloseKey();
    void GetCurrentKeyRoot();
    void GetSubKeyList();
    void GetValueList();
    void GetCurrentKeyName();
    void SetValue();
    void GetValue();
    void DeleteValue();
    void GetValueType();

    // The root argument (error 14 unless one of the seven ROOT constants).
    HKEY RootArg();
    // The path argument: a text, empty when omitted (error 14 for another kind).
    std::string PathArg();
    // Checks the access argument (errors 14 and 99).
    void CheckAccess();
    // Error 100 without a current key.
    void RequireKey();
    // The value-name argument: null when omitted, error 14 when not a text.
    const char* NameArg();
    void Replace(HKEY key, HKEY root, std::string path);
    void CloseCurrent();

    static const ScriptMethod<CIRegistry> kMethods[kMethodCount];

    HKEY key_ = 0;
    HKEY root_ = 0;
    std::string path_;
};

const ScriptClassInfo* GetRegistryClassInfo();
