#include "classes/net/qel_session_class.h"

#include <new>

#include "net/qel_server.h"
#include "script/interpreter/interpretor.h"

namespace {

using T = CIQelSession;

const MethodNameRow kNameTable[] = {
    {T::kClassId, "QelSession", 0, 0},
    {T::kGetConnectionCount, "GetConnectionCount", 0, 0},
    {T::kGetConnection, "GetConnection", 0, 0},
    {T::kSignOff, "SignOff", 0, 0},
    {T::kSendText, "SendText", 0, 0},
    {T::kBlastText, "BlastText", 0, 0},
    {T::kGetName, "GetName", 0, 0},
    {T::kIsValid, "IsValid", 0, 0},
    {T::kGetId, "GetId", 0, 0},
    {T::kSetPrivateData, "SetPrivateData", 0, 0},
    {T::kGetPrivateData, "GetPrivateData", 0, 0},
    {0, nullptr, 0, 0},
};

CIBaseClassImpl* NewObject(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CIQelSession(&interpreter, record);
}

const ScriptClassInfo kClass = {kNameTable, NewObject, 0, nullptr, 0, nullptr, nullptr};

} // namespace

const ScriptMethod<CIQelSession> CIQelSession::kMethods[kMethodCount] = {
    nullptr,      &T::GetConnectionCount, &T::GetConnection,  &T::SignOff,
    &T::SendText, &T::BlastText,          &T::GetName,        &T::IsValid,
    &T::GetId,    &T::SetPrivateData,     &T::GetPrivateData,
};

QelSession* CIQelSession::Object() const {
    return static_cast<QelSession*>(library_);
}

void CIQelSession::GetConnectionCount() {
    ReturnInt(Object() != nullptr ? static_cast<int32_t>(Object()->GetMemberCount()) : 0);
}

void CIQelSession::GetConnection() {
    int32_t index = IntArg(0);
    if (Object() == nullptr || index < 0) return ReturnInt(0);
    ReturnObject(WrapConnection(Object()->GetMember(static_cast<size_t>(index)), interpreter));
}

void CIQelSession::SignOff() {
    int32_t index = IntArg(0);
    if (Object() != nullptr && index >= 0) Object()->SignOff(static_cast<size_t>(index));
}

void CIQelSession::SendText() {
    std::string_view text = TextArg(0);
    if (Object() != nullptr && !text.empty())
        Object()->SendText(text, static_cast<uint16_t>(IntArg(1)));
}

void CIQelSession::BlastText() {
    std::string_view text = TextArg(0);
    if (Object() != nullptr && !text.empty())
        Object()->BlastText(text, static_cast<uint16_t>(IntArg(1)));
}

void CIQelSession::GetName() {
    ReturnText(Object() != nullptr ? Object()->GetName() : std::string());
}

void CIQelSession::IsValid() {
    ReturnInt(Object() != nullptr && Object()->IsValid() ? 1 : 0);
}

void CIQelSession::GetId() {
    ReturnInt(Object() != nullptr ? static_cast<int32_t>(Object()->GetId()) : 0);
}

const ScriptClassInfo* GetQelSessionClassInfo() {
    return &kClass;
}
