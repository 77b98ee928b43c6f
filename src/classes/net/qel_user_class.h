// The QelUser class: a member of a player's channel, the player itself included.
#pragma once

#include <cstdint>

#include "classes/net/qel_wrapper.h"

class CIQelUser final : public CIQELClassImpl {
public:
    static constexpr uint32_t kClassId = qel_class_ids::kUser;

    enum : uint16_t {
        kBlastText = 1,
        kGetName,
        kGetIP,
        kSendText,
        kGetChannel,
        kIsValid,
        kGetId,
        kSetPrivateData,
        kGetPrivateData,
        kMethodCount,
    };

    CIQelUser(CInterpretor* interpreter, const CClassRecord* record)
        : CIQELClassImpl(interpreter, record) {}

    void CallMethod(uint16_t methodId) override { CallMethodFromTable(*this, kMethods, methodId); }

private:
    QelUser* Object() const;
    void BlastText();
    void GetName();
    void GetIP();
    void SendText();
    void GetChannel();
    void IsValid();
    void GetId();

    static const ScriptMethod<CIQelUser> kMethods[kMethodCount];
};

const ScriptClassInfo* GetQelUserClassInfo();
