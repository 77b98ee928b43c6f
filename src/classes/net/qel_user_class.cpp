#include "classes/net/qel_user_class.h"

#include <new>

#include "net/qel_player.h"
#include "script/interpreter/interpretor.h"

namespace {

using T = CIQelUser;

const MethodNameRow kNameTable[] = {
    {T::kClassId, "QelUser", 0, 0},
    {T::kBlastText, "BlastText", 0, 0},
    {T::kGetName, "GetName", 0, 0},
    {T::kGetIP, "GetIP", 0, 0},
    {T::kSendText, "SendText", 0, 0},
    {T::kGetChannel, "GetChannel", 0, 0},
    {T::kIsValid, "IsValid", 0, 0},
    {T::kGetId, "GetId", 0, 0},
    {T::kSetPrivateData, "SetPrivateData", 0, 0},
    {T::kGetPrivateData, "GetPrivateData", 0, 0},
    {0, nullptr, 0, 0},
};

CIBaseClassImpl* NewObject(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CIQelUser(&interpreter, record);
}

const ScriptClassInfo kClass = {kNameTable, NewObject, 0, nullptr, 0, nullptr, nullptr};

} // namespace

const ScriptMethod<CIQelUser> CIQelUser::kMethods[kMethodCount] = {
    nullptr,        &T::BlastText, &T::GetName, &T::GetIP,          &T::SendText,
    &T::GetChannel, &T::IsValid,   &T::GetId,   &T::SetPrivateData, &T::GetPrivateData,
};

QelUser* CIQelUser::Object() const {
    return static_cast<QelUser*>(library_);
}

void CIQelUser::BlastText() {
    std::string_view text = TextArg(0);
    if (Object() != nullptr && !text.empty())
        Object()->BlastText(text, static_cast<uint16_t>(IntArg(1)));
}

void CIQelUser::GetName() {
    ReturnText(Object() != nullptr ? Object()->GetName() : keptName_);
}

void CIQelUser::GetIP() {
    ReturnText(Object() != nullptr ? Object()->GetAddressText() : keptAddress_);
}

void CIQelUser::SendText() {
    std::string_view text = TextArg(0);
    if (Object() != nullptr && !text.empty())
        Object()->SendText(text, static_cast<uint16_t>(IntArg(1)));
}

void CIQelUser::GetChannel() {
    if (Object() == nullptr) return ReturnInt(0);
    ReturnObject(WrapChannel(&Object()->GetChannel(), interpreter));
}

void CIQelUser::IsValid() {
    ReturnInt(Object() != nullptr && Object()->IsValid() ? 1 : 0);
}

void CIQelUser::GetId() {
    ReturnInt(static_cast<int32_t>(Object() != nullptr ? Object()->GetId() : keptId_));
}

const ScriptClassInfo* GetQelUserClassInfo() {
    return &kClass;
}
