#include "classes/net/qel_channel_class.h"

#include <new>

#include "net/qel_player.h"
#include "script/interpreter/interpretor.h"

namespace {

using T = CIQelChannel;

const MethodNameRow kNameTable[] = {
    {T::kClassId, "QelChannel", 0, 0},
    {T::kBlastText, "BlastText", 0, 0},
    {T::kGetUserCount, "GetUserCount", 0, 0},
    {T::kGetUser, "GetUser", 0, 0},
    {T::kIsMaster, "IsMaster", 0, 0},
    {T::kGetMaster, "GetMaster", 0, 0},
    {T::kSendText, "SendText", 0, 0},
    {T::kGetPlayer, "GetPlayer", 0, 0},
    {T::kOnUserIsOn, "OnUserIsOn", 0, 0},
    {T::kOnUserJoined, "OnUserJoined", 0, 0},
    {T::kOnUserLeft, "OnUserLeft", 0, 0},
    {T::kGetName, "GetName", 0, 0},
    {T::kIsValid, "IsValid", 0, 0},
    {T::kGetId, "GetId", 0, 0},
    {T::kSetPrivateData, "SetPrivateData", 0, 0},
    {T::kGetPrivateData, "GetPrivateData", 0, 0},
    {0, nullptr, 0, 0},
};

CIBaseClassImpl* NewObject(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CIQelChannel(&interpreter, record);
}

const ScriptClassInfo kClass = {kNameTable, NewObject, 0, nullptr, 0, nullptr, nullptr};

} // namespace

const ScriptMethod<CIQelChannel> CIQelChannel::kMethods[kMethodCount] = {
    nullptr,
    &T::BlastText,
    &T::GetUserCount,
    &T::GetUser,
    &T::IsMaster,
    &T::GetMaster,
    &T::SendText,
    &T::GetPlayer,
    &T::EventProperty<kUserIsOnSlot>,
    &T::EventProperty<kUserJoinedSlot>,
    &T::EventProperty<kUserLeftSlot>,
    &T::GetName,
    &T::IsValid,
    &T::GetId,
    &T::SetPrivateData,
    &T::GetPrivateData,
};

QelChannel* CIQelChannel::Object() const {
    return static_cast<QelChannel*>(library_);
}

void CIQelChannel::BlastText() {
    std::string_view text = TextArg(0);
    if (Object() != nullptr && !text.empty())
        Object()->BlastText(text, static_cast<uint16_t>(IntArg(1)));
}

void CIQelChannel::GetUserCount() {
    ReturnInt(Object() != nullptr ? static_cast<int32_t>(Object()->GetUserCount()) : 0);
}

void CIQelChannel::GetUser() {
    int32_t index = IntArg(0);
    if (Object() == nullptr || index < 0) return ReturnInt(0);
    ReturnObject(WrapUser(Object()->GetUser(static_cast<size_t>(index)), interpreter));
}

void CIQelChannel::IsMaster() {
    ReturnInt(Object() != nullptr && Object()->IsMaster() ? 1 : 0);
}

void CIQelChannel::GetMaster() {
    if (Object() == nullptr) return ReturnInt(0);
    ReturnObject(WrapUser(Object()->GetMaster(), interpreter));
}

void CIQelChannel::SendText() {
    std::string_view text = TextArg(0);
    if (Object() != nullptr && !text.empty())
        Object()->SendText(text, static_cast<uint16_t>(IntArg(1)));
}

void CIQelChannel::GetPlayer() {
    if (Object() == nullptr) return ReturnInt(0);
    ReturnObject(WrapPlayer(&Object()->GetPlayer(), interpreter));
}

void CIQelChannel::GetName() {
    ReturnText(Object() != nullptr ? Object()->GetName() : std::string());
}

void CIQelChannel::IsValid() {
    ReturnInt(Object() != nullptr && Object()->IsValid() ? 1 : 0);
}

void CIQelChannel::GetId() {
    ReturnInt(Object() != nullptr ? static_cast<int32_t>(Object()->GetId()) : 0);
}

const ScriptClassInfo* GetQelChannelClassInfo() {
    return &kClass;
}
