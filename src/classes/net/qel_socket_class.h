// The QelSocket class: a raw TCP socket that sends and receives integers, texts, lines and
// Binary objects. Blocking calls (the default mode) hold the script, and so the painting
// of its windows, until they succeed or their time-out passes.
#pragma once

#include <cstdint>

#include "classes/net/qel_wrapper.h"

class QelSocket;

class CIQelSocket final : public CIQELClassImpl {
public:
    static constexpr uint32_t kClassId = qel_class_ids::kSocket;

    enum : uint16_t {
        kSetMode = 1,
        kConnect,
        kDisconnect,
        kListen,
        kAccept,
        kGetLocalIP,
        kGetRemoteIP,
        kSend,
        kRecv,
        kSendLine,
        kRecvLine,
        kOnConnected,
        kOnDisconnected,
        kOnAccepted,
        kOnReceived,
        kIsConnected,
        kSetTimeOut,
        kSetPrivateData,
        kGetPrivateData,
        kGetStats,
        kMethodCount,
    };
    enum : size_t {
        kConnectedSlot,
        kDisconnectedSlot,
        kAcceptedSlot,
        kReceivedSlot,
    };

    CIQelSocket(CInterpretor* interpreter, const CClassRecord* record)
        : CIQELClassImpl(interpreter, record) {}

    void CallMethod(uint16_t methodId) override { CallMethodFromTable(*this, kMethods, methodId); }
    // Makes the library socket; the object is not created when it cannot be had.
    void Create() override;

    // The script object of a library socket: registered, its owner, holding one use.
    // The library socket is deleted when none can be made.
    static CIQelSocket* Adopt(CInterpretor& interpreter, QelSocket* socket);

private:
    QelSocket* Socket() const;
    void SetMode();
    void Connect();
    void Disconnect();
    void Listen();
    void Accept();
    void GetLocalIP();
    void GetRemoteIP();
    void Send();
    void Recv();
    void SendLine();
    void RecvLine();
    void IsConnected();
    void SetTimeOut();
    void GetStats();

    static const ScriptMethod<CIQelSocket> kMethods[kMethodCount];
};

const ScriptClassInfo* GetQelSocketClassInfo();
