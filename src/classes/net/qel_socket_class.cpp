#include "classes/net/qel_socket_class.h"

#include <cstring>
#include <new>
#include <string>

#include "classes/system/binary_class.h"
#include "net/qel_api.h"
#include "net/qel_socket.h"
#include "script/interpreter/interpretor.h"

namespace {

using T = CIQelSocket;

const MethodNameRow kNameTable[] = {
    {T::kClassId, "QelSocket", 0, 0},
    {T::kSetMode, "SetMode", 0, 0},
    {T::kConnect, "Connect", 0, 0},
    {T::kDisconnect, "Disconnect", 0, 0},
    {T::kListen, "Listen", 0, 0},
    {T::kAccept, "Accept", 0, 0},
    {T::kGetLocalIP, "GetLocalIP", 0, 0},
    {T::kGetRemoteIP, "GetRemoteIP", 0, 0},
    {T::kSend, "Send", 0, 0},
    {T::kRecv, "Recv", 0, 0},
    {T::kSendLine, "SendLine", 0, 0},
    {T::kRecvLine, "RecvLine", 0, 0},
    {T::kOnConnected, "OnConnected", 0, 0},
    {T::kOnDisconnected, "OnDisconnected", 0, 0},
    {T::kOnAccepted, "OnAccepted", 0, 0},
    {T::kOnReceived, "OnReceived", 0, 0},
    {T::kIsConnected, "IsConnected", 0, 0},
    {T::kSetTimeOut, "SetTimeOut", 0, 0},
    {T::kSetPrivateData, "SetPrivateData", 0, 0},
    {T::kGetPrivateData, "GetPrivateData", 0, 0},
    {T::kGetStats, "GetStats", 0, 0},
    {0, nullptr, 0, 0},
};

CIBaseClassImpl* NewSocket(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CIQelSocket(&interpreter, record);
}

const ScriptClassInfo kSocketClass = {kNameTable, NewSocket, 0, nullptr, 0, nullptr, nullptr};

// What Recv reads when no size is given.
constexpr int32_t kDefaultReceiveSize = 4096;

} // namespace

const ScriptMethod<CIQelSocket> CIQelSocket::kMethods[kMethodCount] = {
    nullptr,
    &T::SetMode,
    &T::Connect,
    &T::Disconnect,
    &T::Listen,
    &T::Accept,
    &T::GetLocalIP,
    &T::GetRemoteIP,
    &T::Send,
    &T::Recv,
    &T::SendLine,
    &T::RecvLine,
    &T::EventProperty<kConnectedSlot>,
    &T::EventProperty<kDisconnectedSlot>,
    &T::EventProperty<kAcceptedSlot>,
    &T::EventProperty<kReceivedSlot>,
    &T::IsConnected,
    &T::SetTimeOut,
    &T::SetPrivateData,
    &T::GetPrivateData,
    &T::GetStats,
};

void CIQelSocket::Create() {
    QelAPI* root = AcquireNetworkRoot(*interpreter);
    if (root == nullptr) return;
    holdsRoot_ = true;
    auto* socket = new (std::nothrow) QelSocket(*root);
    if (socket == nullptr) return;
    socket->owner = static_cast<CIQELClassImpl*>(this);
    library_ = socket;
    Register();
}

CIQelSocket* CIQelSocket::Adopt(CInterpretor& interpreter, QelSocket* socket) {
    auto* wrapper =
        new (std::nothrow) CIQelSocket(&interpreter, interpreter.GetClassRecord(kClassId));
    if (wrapper == nullptr || AcquireNetworkRoot(interpreter) == nullptr) {
        delete wrapper;
        delete socket;
        return nullptr;
    }
    wrapper->holdsRoot_ = true;
    wrapper->Register();
    ++interpreter.creations;
    ++wrapper->useCount;
    wrapper->library_ = socket;
    socket->owner = static_cast<CIQELClassImpl*>(wrapper);
    return wrapper;
}

QelSocket* CIQelSocket::Socket() const {
    return static_cast<QelSocket*>(library_);
}

void CIQelSocket::SetMode() {
    if (Socket() != nullptr) Socket()->SetBlocking(IntArg(0));
}

void CIQelSocket::Connect() {
    std::string hostText(TextArg(0));
    if (Socket() == nullptr || hostText.empty() || interpreter->IsArgDefault(1)) return;
    Socket()->Connect(hostText.c_str(), interpreter->GetArgInt(1));
}

void CIQelSocket::Disconnect() {
    if (Socket() != nullptr) Socket()->Disconnect();
}

void CIQelSocket::Listen() {
    if (Socket() != nullptr && !interpreter->IsArgDefault(0))
        Socket()->Listen(interpreter->GetArgInt(0));
}

void CIQelSocket::Accept() {
    if (Socket() == nullptr) return ReturnInt(0);
    QelSocket* accepted = Socket()->Accept();
    if (accepted == nullptr) return ReturnInt(0);
    ReturnObject(Adopt(*interpreter, accepted));
}

void CIQelSocket::GetLocalIP() {
    ReturnText(Socket() != nullptr ? Socket()->GetLocalAddressText() : std::string());
}

void CIQelSocket::GetRemoteIP() {
    ReturnText(Socket() != nullptr ? Socket()->GetPeerAddressText() : std::string());
}

void CIQelSocket::Send() {
    CInterpretor& in = *interpreter;
    if (in.GetArgCount() != 1) in.RaiseError(21);
    const CValue* value = in.GetArg(0);
    if (value->IsDefault()) in.RaiseError(14);
    switch (value->GetType()) {
    case kValueInt:
    case kValueDouble: {
        uint32_t number = static_cast<uint32_t>(value->GetInt());
        uint8_t bytes[4] = {uint8_t(number), uint8_t(number >> 8), uint8_t(number >> 16),
                            uint8_t(number >> 24)};
        if (Socket() != nullptr) Socket()->Send(bytes, sizeof bytes);
        return;
    }
    case kValueString: {
        const char* text = value->GetStringSafe();
        if (Socket() != nullptr) Socket()->Send(text, std::strlen(text) + 1);
        return;
    }
    default:
        break;
    }
    if (!value->IsObjectOfClass(CIBinary::kClassId)) in.RaiseError(14);
    auto* binary = static_cast<CIBinary*>(value->GetObject());
    if (Socket() != nullptr && binary->Size() > 0) Socket()->Send(binary->Data(), binary->Size());
}

void CIQelSocket::Recv() {
    CInterpretor& in = *interpreter;
    int32_t size = in.IsArgDefault(0) ? kDefaultReceiveSize : in.GetArgInt(0);
    int32_t flag = IntArg(1);
    if (size < 0 || (flag != 0 && flag != 1)) in.RaiseError(14);
    CIBinary* binary = MakeBinary(in);
    if (binary == nullptr) in.RaiseError(15);
    ReturnObject(binary);
    if (size > 0 && !binary->Allocate(size)) in.RaiseError(15);
    int got = Socket() != nullptr ? Socket()->Receive(binary->Data(), binary->Size()) : 0;
    if (flag == 1) binary->Resize(got > 0 ? got : 0);
}

void CIQelSocket::SendLine() {
    if (Socket() == nullptr || interpreter->IsArgDefault(0)) return;
    const char* text = interpreter->GetArgString(0);
    Socket()->SendLine(text, std::strlen(text));
}

void CIQelSocket::RecvLine() {
    ReturnText(Socket() != nullptr ? Socket()->ReceiveLine() : std::string());
}

void CIQelSocket::IsConnected() {
    ReturnInt(Socket() != nullptr && Socket()->IsConnected() ? 1 : 0);
}

void CIQelSocket::SetTimeOut() {
    if (Socket() == nullptr) return;
    Socket()->SetTimeOut(interpreter->IsArgDefault(0) ? kQelDefaultTimeOut
                                                      : interpreter->GetArgInt(0));
}

void CIQelSocket::GetStats() {
    if (Socket() == nullptr) return ReturnInt(0);
    ReturnStats(Socket()->stats);
}

const ScriptClassInfo* GetQelSocketClassInfo() {
    return &kSocketClass;
}
