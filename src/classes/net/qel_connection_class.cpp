#include "classes/net/qel_connection_class.h"

#include <new>

#include "net/qel_server.h"
#include "script/interpreter/interpretor.h"

namespace {

using T = CIQelConnection;

const MethodNameRow kNameTable[] = {
    {T::kClassId, "QelConnection", 0, 0},
    {T::kGetSessionCount, "GetSessionCount", 0, 0},
    {T::kGetSession, "GetSession", 0, 0},
    {T::kGetName, "GetName", 0, 0},
    {T::kGetClientIP, "GetClientIP", 0, 0},
    {T::kGetVersion, "GetVersion", 0, 0},
    {T::kGetServer, "GetServer", 0, 0},
    {T::kSignOff, "SignOff", 0, 0},
    {T::kSendText, "SendText", 0, 0},
    {T::kOnMsgFromClient, "OnMsgFromClient", 0, 0},
    {T::kOnSessionLeft, "OnSessionLeft", 0, 0},
    {T::kBlastText, "BlastText", 0, 0},
    {T::kOnSessionJoined, "OnSessionJoined", 0, 0},
    {T::kIsValid, "IsValid", 0, 0},
    {T::kGetId, "GetId", 0, 0},
    {T::kSetPrivateData, "SetPrivateData", 0, 0},
    {T::kGetPrivateData, "GetPrivateData", 0, 0},
    {T::kGetStats, "GetStats", 0, 0},
    {0, nullptr, 0, 0},
};

CIBaseClassImpl* NewObject(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CIQelConnection(&interpreter, record);
}

const ScriptClassInfo kClass = {kNameTable, NewObject, 0, nullptr, 0, nullptr, nullptr};

} // namespace

const ScriptMethod<CIQelConnection> CIQelConnection::kMethods[kMethodCount] = {
    nullptr,
    &T::GetSessionCount,
    &T::GetSession,
    &T::GetName,
    &T::GetClientIP,
    &T::GetVersion,
    &T::GetServer,
    &T::SignOff,
    &T::SendText,
    &T::EventProperty<kMsgFromClientSlot>,
    &T::EventProperty<kSessionLeftSlot>,
    &T::BlastText,
    &T::EventProperty<kSessionJoinedSlot>,
    &T::IsValid,
    &T::GetId,
    &T::SetPrivateData,
    &T::GetPrivateData,
    &T::GetStats,
};

QelConnection* CIQelConnection::Object() const {
    return static_cast<QelConnection*>(library_);
}

void CIQelConnection::GetSessionCount() {
    ReturnInt(Object() != nullptr ? static_cast<int32_t>(Object()->GetSessionCount()) : 0);
}

void CIQelConnection::GetSession() {
    if (interpreter->IsArgDefault(0)) return ReturnInt(0);
    int32_t index = IntArg(0);
    if (Object() == nullptr || index < 0) return ReturnInt(0);
    ReturnObject(WrapSession(Object()->GetSession(static_cast<size_t>(index)), interpreter));
}

void CIQelConnection::GetName() {
    ReturnText(Object() != nullptr ? Object()->GetName() : keptName_);
}

void CIQelConnection::GetClientIP() {
    ReturnText(Object() != nullptr ? Object()->GetAddressText() : keptAddress_);
}

void CIQelConnection::GetVersion() {
    ReturnInt(Object() != nullptr ? static_cast<int32_t>(Object()->GetVersion()) : 0);
}

void CIQelConnection::GetServer() {
    if (Object() == nullptr) return ReturnInt(0);
    ReturnObject(WrapServer(&Object()->GetServer(), interpreter));
}

void CIQelConnection::SignOff() {
    int32_t index = IntArg(0);
    if (Object() != nullptr && index >= 0) Object()->SignOff(static_cast<size_t>(index));
}

void CIQelConnection::SendText() {
    std::string_view text = TextArg(0);
    if (Object() != nullptr && !text.empty())
        Object()->SendText(text, static_cast<uint16_t>(IntArg(1)));
}

void CIQelConnection::BlastText() {
    std::string_view text = TextArg(0);
    if (Object() != nullptr && !text.empty())
        Object()->BlastText(text, static_cast<uint16_t>(IntArg(1)));
}

void CIQelConnection::IsValid() {
    ReturnInt(Object() != nullptr && Object()->IsValid() ? 1 : 0);
}

void CIQelConnection::GetId() {
    ReturnInt(static_cast<int32_t>(Object() != nullptr ? Object()->GetId() : keptId_));
}

void CIQelConnection::GetStats() {
    if (Object() == nullptr) return ReturnInt(0);
    ReturnStats(Object()->stats);
}

const ScriptClassInfo* GetQelConnectionClassInfo() {
    return &kClass;
}
