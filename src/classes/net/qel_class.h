// The Qel class: the script's way into the networking library. Each Qel object has a host
// of its own, through which it connects players to servers and hosts servers; deleting
// the object deletes them.
#pragma once

#include <cstdint>

#include "classes/net/qel_wrapper.h"

class QelHost;

class CIQel final : public CIQELClassImpl {
public:
    static constexpr uint32_t kClassId = qel_class_ids::kQel;

    enum : uint16_t {
        kConnect = 1,
        kHostServer,
        kGetPlayerCount,
        kGetServerCount,
        kGetPlayer,
        kGetServer,
        kSetPrivateData,
        kGetPrivateData,
        kGetStats,
        kMethodCount,
    };

    CIQel(CInterpretor* interpreter, const CClassRecord* record)
        : CIQELClassImpl(interpreter, record) {}

    void CallMethod(uint16_t methodId) override { CallMethodFromTable(*this, kMethods, methodId); }
    // Makes the host; the object is not created when the networking root cannot be had.
    void Create() override;

private:
    QelHost* Host() const;
    void Connect();
    void HostServer();
    void GetPlayerCount();
    void GetServerCount();
    void GetPlayer();
    void GetServer();
    void GetStats();

    static const ScriptMethod<CIQel> kMethods[kMethodCount];
};

const ScriptClassInfo* GetQelClassInfo();
