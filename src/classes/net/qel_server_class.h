// The QelServer class: a server the script hosts through Qel.HostServer, with its
// connections and sessions.
#pragma once

#include <cstdint>

#include "classes/net/qel_wrapper.h"

class CIQelServer final : public CIQELClassImpl {
public:
    static constexpr uint32_t kClassId = qel_class_ids::kServer;

    enum : uint16_t {
        kGetConnectionCount = 1,
        kGetConnection,
        kGetServerIP,
        kGetPort,
        kSetMOTD,
        kSendText,
        kOnNewConnection,
        kOnDeadConnection,
        kBlastText,
        kGetSession,
        kGetSessionCount,
        kDisconnect,
        kIsValid,
        kSetPrivateData,
        kGetPrivateData,
        kGetStats,
        kOnSessionCreated,
        kOnSessionDestroyed,
        kMethodCount,
    };
    // The event properties' handler slots.
    enum : size_t {
        kNewConnectionSlot,
        kDeadConnectionSlot,
        kSessionCreatedSlot,
        kSessionDestroyedSlot,
    };

    CIQelServer(CInterpretor* interpreter, const CClassRecord* record)
        : CIQELClassImpl(interpreter, record) {}

    void CallMethod(uint16_t methodId) override { CallMethodFromTable(*this, kMethods, methodId); }

private:
    QelServer* Object() const;
    void GetConnectionCount();
    void GetConnection();
    void GetServerIP();
    void GetPort();
    void SetMOTD();
    void SendText();
    void BlastText();
    void GetSession();
    void GetSessionCount();
    void Disconnect();
    void IsValid();
    void GetStats();

    static const ScriptMethod<CIQelServer> kMethods[kMethodCount];
};

const ScriptClassInfo* GetQelServerClassInfo();
