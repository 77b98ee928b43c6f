// The QelChannel class: a session a player signed on to, with its users. Deleting it
// leaves the session.
#pragma once

#include <cstdint>

#include "classes/net/qel_wrapper.h"

class CIQelChannel final : public CIQELClassImpl {
public:
    static constexpr uint32_t kClassId = qel_class_ids::kChannel;

    enum : uint16_t {
        kBlastText = 1,
        kGetUserCount,
        kGetUser,
        kIsMaster,
        kGetMaster,
        kSendText,
        kGetPlayer,
        kOnUserIsOn,
        kOnUserJoined,
        kOnUserLeft,
        kGetName,
        kIsValid,
        kGetId,
        kSetPrivateData,
        kGetPrivateData,
        kMethodCount,
    };
    // The event properties' handler slots.
    enum : size_t {
        kUserIsOnSlot,
        kUserJoinedSlot,
        kUserLeftSlot,
    };

    CIQelChannel(CInterpretor* interpreter, const CClassRecord* record)
        : CIQELClassImpl(interpreter, record) {}

    void CallMethod(uint16_t methodId) override { CallMethodFromTable(*this, kMethods, methodId); }

private:
    QelChannel* Object() const;
    void BlastText();
    void GetUserCount();
    void GetUser();
    void IsMaster();
    void GetMaster();
    void SendText();
    void GetPlayer();
    void GetName();
    void IsValid();
    void GetId();

    static const ScriptMethod<CIQelChannel> kMethods[kMethodCount];
};

const ScriptClassInfo* GetQelChannelClassInfo();
