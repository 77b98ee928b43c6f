// The QelConnection class: a client connected to a server the script hosts.
#pragma once

#include <cstdint>

#include "classes/net/qel_wrapper.h"

class CIQelConnection final : public CIQELClassImpl {
public:
    static constexpr uint32_t kClassId = qel_class_ids::kConnection;

    enum : uint16_t {
        kGetSessionCount = 1,
        kGetSession,
        kGetName,
        kGetClientIP,
        kGetVersion,
        kGetServer,
        kSignOff,
        kSendText,
        kOnMsgFromClient,
        kOnSessionLeft,
        kBlastText,
        kOnSessionJoined,
        kIsValid,
        kGetId,
        kSetPrivateData,
        kGetPrivateData,
        kGetStats,
        kMethodCount,
    };
    // The event properties' handler slots.
    enum : size_t {
        kMsgFromClientSlot,
        kSessionLeftSlot,
        kSessionJoinedSlot,
    };

    CIQelConnection(CInterpretor* interpreter, const CClassRecord* record)
        : CIQELClassImpl(interpreter, record) {}

    void CallMethod(uint16_t methodId) override { CallMethodFromTable(*this, kMethods, methodId); }

private:
    QelConnection* Object() const;
    void GetSessionCount();
    void GetSession();
    void GetName();
    void GetClientIP();
    void GetVersion();
    void GetServer();
    void SignOff();
    void SendText();
    void BlastText();
    void IsValid();
    void GetId();
    void GetStats();

    static const ScriptMethod<CIQelConnection> kMethods[kMethodCount];
};

const ScriptClassInfo* GetQelConnectionClassInfo();
