#include "classes/net/qel_server_class.h"

#include <new>

#include "net/qel_server.h"
#include "script/interpreter/interpretor.h"

namespace {

using T = CIQelServer;

const MethodNameRow kNameTable[] = {
    {T::kClassId, "QelServer", 0, 0},
    {T::kGetConnectionCount, "GetConnectionCount", 0, 0},
    {T::kGetConnection, "GetConnection", 0, 0},
    {T::kGetServerIP, "GetServerIP", 0, 0},
    {T::kGetPort, "GetPort", 0, 0},
    {T::kSetMOTD, "SetMOTD", 0, 0},
    {T::kSendText, "SendText", 0, 0},
    {T::kOnNewConnection, "OnNewConnection", 0, 0},
    {T::kOnDeadConnection, "OnDeadConnection", 0, 0},
    {T::kBlastText, "BlastText", 0, 0},
    {T::kGetSession, "GetSession", 0, 0},
    {T::kGetSessionCount, "GetSessionCount", 0, 0},
    {T::kDisconnect, "Disconnect", 0, 0},
    {T::kIsValid, "IsValid", 0, 0},
    {T::kSetPrivateData, "SetPrivateData", 0, 0},
    {T::kGetPrivateData, "GetPrivateData", 0, 0},
    {T::kGetStats, "GetStats", 0, 0},
    {T::kOnSessionCreated, "OnSessionCreated", 0, 0},
    {T::kOnSessionDestroyed, "OnSessionDestroyed", 0, 0},
    {0, nullptr, 0, 0},
};

CIBaseClassImpl* NewObject(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CIQelServer(&interpreter, record);
}

const ScriptClassInfo kClass = {kNameTable, NewObject, 0, nullptr, 0, nullptr, nullptr};

} // namespace

const ScriptMethod<CIQelServer> CIQelServer::kMethods[kMethodCount] = {
    nullptr,
    &T::GetConnectionCount,
    &T::GetConnection,
    &T::GetServerIP,
    &T::GetPort,
    &T::SetMOTD,
    &T::SendText,
    &T::EventProperty<kNewConnectionSlot>,
    &T::EventProperty<kDeadConnectionSlot>,
    &T::BlastText,
    &T::GetSession,
    &T::GetSessionCount,
    &T::Disconnect,
    &T::IsValid,
    &T::SetPrivateData,
    &T::GetPrivateData,
    &T::GetStats,
    &T::EventProperty<kSessionCreatedSlot>,
    &T::EventProperty<kSessionDestroyedSlot>,
};

QelServer* CIQelServer::Object() const {
    return static_cast<QelServer*>(library_);
}

void CIQelServer::GetConnectionCount() {
    ReturnInt(Object() != nullptr ? static_cast<int32_t>(Object()->GetConnectionCount()) : 0);
}

void CIQelServer::GetConnection() {
    int32_t index = IntArg(0);
    if (Object() == nullptr || index < 0) return ReturnInt(0);
    ReturnObject(WrapConnection(Object()->GetConnection(static_cast<size_t>(index)), interpreter));
}

void CIQelServer::GetServerIP() {
    ReturnText(Object() != nullptr ? Object()->GetLocalAddressText() : std::string());
}

void CIQelServer::GetPort() {
    ReturnInt(Object() != nullptr ? static_cast<int32_t>(Object()->GetPort()) : 0);
}

void CIQelServer::SetMOTD() {
    std::string_view text = TextArg(0);
    if (Object() != nullptr && !text.empty()) Object()->SetWelcomeText(text);
}

void CIQelServer::SendText() {
    std::string_view text = TextArg(0);
    if (Object() != nullptr && !text.empty())
        Object()->SendText(text, static_cast<uint16_t>(IntArg(1)));
}

void CIQelServer::BlastText() {
    std::string_view text = TextArg(0);
    if (Object() != nullptr && !text.empty())
        Object()->BlastText(text, static_cast<uint16_t>(IntArg(1)));
}

void CIQelServer::GetSession() {
    if (interpreter->IsArgDefault(0)) return ReturnInt(0);
    int32_t index = IntArg(0);
    if (Object() == nullptr || index < 0) return ReturnInt(0);
    ReturnObject(WrapSession(Object()->GetSession(static_cast<size_t>(index)), interpreter));
}

void CIQelServer::GetSessionCount() {
    ReturnInt(Object() != nullptr ? static_cast<int32_t>(Object()->GetSessionCount()) : 0);
}

void CIQelServer::Disconnect() {
    // The server's destruction fires its events and makes this object drop it.
    delete Object();
}

void CIQelServer::IsValid() {
    ReturnInt(Object() != nullptr && Object()->IsValid() ? 1 : 0);
}

void CIQelServer::GetStats() {
    if (Object() == nullptr) return ReturnInt(0);
    ReturnStats(Object()->stats);
}

const ScriptClassInfo* GetQelServerClassInfo() {
    return &kClass;
}
