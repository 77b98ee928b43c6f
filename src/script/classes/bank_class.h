// The Bank class: a script opens one of the project's resource banks by name and lists
// its elements. The bank belongs to the project; the object only refers to it.
#pragma once

#include <cstdint>

#include "script/classes/base_class.h"

class CBank;

class CIBank : public CIBaseClassImpl {
public:
    static constexpr uint32_t kClassId = 60;

    // Method ids of the name table.
    enum : uint16_t {
        kGetElemCount = 1,
        kGetType,
        kGetElemName,
        kGetElemIndex,
        kMethodCount,
    };
    // The BANKTYPE_ constants are the class-level ids above this one.
    static constexpr uint32_t kFirstClassLevelId = 5;

    CIBank(CInterpretor* interpreter, const CClassRecord* record);

    void CallMethod(uint16_t methodId) override;
    // The deleting destructor.
    void Destroy(int flag) override;
    // New Bank(name): a bank of the running module's entry, or a full "entry://bank" name.
    // Error 14 without a name, 134 when there is no such bank (or it is the source bank).
    void Create() override;

    CBank* GetBank() const { return bank_; }

private:
    void GetElemCount();
    void GetType();
    void GetElemName();
    void GetElemIndex();

    static const ScriptMethod<CIBank> kMethods[kMethodCount];

    CBank* bank_ = nullptr;
};

// The description of the Bank class, for RegisterScriptClass.
const ScriptClassInfo* GetBankClassInfo();
