// The QelSession class: a named session of a server the script hosts, with its members.
#pragma once

#include <cstdint>

#include "classes/net/qel_wrapper.h"

class CIQelSession final : public CIQELClassImpl {
public:
    static constexpr uint32_t kClassId = qel_class_ids::kSession;

    enum : uint16_t {
        kGetConnectionCount = 1,
        kGetConnection,
        kSignOff,
        kSendText,
        kBlastText,
        kGetName,
        kIsValid,
        kGetId,
        kSetPrivateData,
        kGetPrivateData,
        kMethodCount,
    };

    CIQelSession(CInterpretor* interpreter, const CClassRecord* record)
        : CIQELClassImpl(interpreter, record) {}

    void CallMethod(uint16_t methodId) override { CallMethodFromTable(*this, kMethods, methodId); }

private:
    QelSession* Object() const;
    void GetConnectionCount();
    void GetConnection();
    void SignOff();
    void SendText();
    void BlastText();
    void GetName();
    void IsValid();
    void GetId();

    static const ScriptMethod<CIQelSession> kMethods[kMethodCount];
};

const ScriptClassInfo* GetQelSessionClassInfo();
