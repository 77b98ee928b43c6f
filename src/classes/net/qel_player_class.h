// The QelPlayer class: a connection of the script to a server, made by Qel.Connect. It
// signs on to channels, sends texts to the server and fires the player's events.
#pragma once

#include <cstdint>

#include "classes/net/qel_wrapper.h"

class CIQelPlayer final : public CIQELClassImpl {
public:
    static constexpr uint32_t kClassId = qel_class_ids::kPlayer;

    enum : uint16_t {
        kGetName = 1,
        kGetChannelCount,
        kGetChannel,
        kGetIP,
        kGetPort,
        kGetServerIP,
        kSignOn,
        kOnConnected,
        kOnDisconnected,
        kOnSignedOn,
        kOnSignedOff,
        kOnMsgFromServer,
        kOnNameChanged,
        kOnMessage,
        kSetName,
        kGetMOTD,
        kIsValid,
        kIsConnected,
        kSendText,
        kBlastText,
        kGetId,
        kSetPrivateData,
        kGetPrivateData,
        kGetStats,
        kMethodCount,
    };
    // The event properties' handler slots.
    enum : size_t {
        kConnectedSlot,
        kDisconnectedSlot,
        kSignedOnSlot,
        kSignedOffSlot,
        kMsgFromServerSlot,
        kNameChangedSlot,
        kMessageSlot,
    };

    CIQelPlayer(CInterpretor* interpreter, const CClassRecord* record)
        : CIQELClassImpl(interpreter, record) {}

    void CallMethod(uint16_t methodId) override { CallMethodFromTable(*this, kMethods, methodId); }

private:
    QelPlayer* Player() const;
    void GetName();
    void GetChannelCount();
    void GetChannel();
    void GetIP();
    void GetPort();
    void GetServerIP();
    void SignOn();
    void SetName();
    void GetMOTD();
    void IsValid();
    void IsConnected();
    void SendText();
    void BlastText();
    void GetId();
    void GetStats();

    static const ScriptMethod<CIQelPlayer> kMethods[kMethodCount];
};

const ScriptClassInfo* GetQelPlayerClassInfo();
