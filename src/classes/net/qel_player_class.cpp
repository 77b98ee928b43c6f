#include "classes/net/qel_player_class.h"

#include <new>

#include "net/qel_player.h"
#include "script/interpreter/interpretor.h"

namespace {

using T = CIQelPlayer;

const MethodNameRow kNameTable[] = {
    {T::kClassId, "QelPlayer", 0, 0},
    {T::kGetName, "GetName", 0, 0},
    {T::kGetChannelCount, "GetChannelCount", 0, 0},
    {T::kGetChannel, "GetChannel", 0, 0},
    {T::kGetIP, "GetIP", 0, 0},
    {T::kGetPort, "GetPort", 0, 0},
    {T::kGetServerIP, "GetServerIP", 0, 0},
    {T::kSignOn, "SignOn", 0, 0},
    {T::kOnConnected, "OnConnected", 0, 0},
    {T::kOnDisconnected, "OnDisconnected", 0, 0},
    {T::kOnSignedOn, "OnSignedOn", 0, 0},
    {T::kOnSignedOff, "OnSignedOff", 0, 0},
    {T::kOnMsgFromServer, "OnMsgFromServer", 0, 0},
    {T::kOnNameChanged, "OnNameChanged", 0, 0},
    {T::kOnMessage, "OnMessage", 0, 0},
    {T::kSetName, "SetName", 0, 0},
    {T::kGetMOTD, "GetMOTD", 0, 0},
    {T::kIsValid, "IsValid", 0, 0},
    {T::kIsConnected, "IsConnected", 0, 0},
    {T::kSendText, "SendText", 0, 0},
    {T::kBlastText, "BlastText", 0, 0},
    {T::kGetId, "GetId", 0, 0},
    {T::kSetPrivateData, "SetPrivateData", 0, 0},
    {T::kGetPrivateData, "GetPrivateData", 0, 0},
    {T::kGetStats, "GetStats", 0, 0},
    {0, nullptr, 0, 0},
};

CIBaseClassImpl* NewPlayer(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CIQelPlayer(&interpreter, record);
}

const ScriptClassInfo kPlayerClass = {kNameTable, NewPlayer, 0, nullptr, 0, nullptr, nullptr};

} // namespace

const ScriptMethod<CIQelPlayer> CIQelPlayer::kMethods[kMethodCount] = {
    nullptr,
    &T::GetName,
    &T::GetChannelCount,
    &T::GetChannel,
    &T::GetIP,
    &T::GetPort,
    &T::GetServerIP,
    &T::SignOn,
    &T::EventProperty<kConnectedSlot>,
    &T::EventProperty<kDisconnectedSlot>,
    &T::EventProperty<kSignedOnSlot>,
    &T::EventProperty<kSignedOffSlot>,
    &T::EventProperty<kMsgFromServerSlot>,
    &T::EventProperty<kNameChangedSlot>,
    &T::EventProperty<kMessageSlot>,
    &T::SetName,
    &T::GetMOTD,
    &T::IsValid,
    &T::IsConnected,
    &T::SendText,
    &T::BlastText,
    &T::GetId,
    &T::SetPrivateData,
    &T::GetPrivateData,
    &T::GetStats,
};

QelPlayer* CIQelPlayer::Player() const {
    return static_cast<QelPlayer*>(library_);
}

void CIQelPlayer::GetName() {
    ReturnText(Player() != nullptr ? Player()->GetName() : std::string());
}

void CIQelPlayer::GetChannelCount() {
    ReturnInt(Player() != nullptr ? static_cast<int32_t>(Player()->GetChannelCount()) : 0);
}

void CIQelPlayer::GetChannel() {
    int32_t index = IntArg(0);
    if (Player() == nullptr || index < 0) return ReturnInt(0);
    ReturnObject(WrapChannel(Player()->GetChannel(static_cast<size_t>(index)), interpreter));
}

void CIQelPlayer::GetIP() {
    ReturnText(Player() != nullptr ? Player()->GetLocalAddressText() : std::string());
}

void CIQelPlayer::GetPort() {
    ReturnInt(Player() != nullptr ? Player()->GetPort() : 0);
}

void CIQelPlayer::GetServerIP() {
    ReturnText(Player() != nullptr ? Player()->GetServerAddressText() : std::string());
}

void CIQelPlayer::SignOn() {
    std::string_view name = TextArg(0);
    if (Player() == nullptr || name.empty()) return ReturnInt(0);
    ReturnObject(WrapChannel(Player()->JoinChannel(name), interpreter));
}

void CIQelPlayer::SetName() {}

void CIQelPlayer::GetMOTD() {
    ReturnText(Player() != nullptr ? Player()->GetWelcomeText() : std::string());
}

void CIQelPlayer::IsValid() {
    ReturnInt(Player() != nullptr && Player()->IsValid() ? 1 : 0);
}

void CIQelPlayer::IsConnected() {
    ReturnInt(Player() != nullptr && Player()->IsConnected() ? 1 : 0);
}

void CIQelPlayer::SendText() {
    std::string_view text = TextArg(0);
    if (Player() != nullptr && !text.empty())
        Player()->SendText(text, static_cast<uint16_t>(IntArg(1)));
}

void CIQelPlayer::BlastText() {
    std::string_view text = TextArg(0);
    if (Player() != nullptr && !text.empty())
        Player()->BlastText(text, static_cast<uint16_t>(IntArg(1)));
}

void CIQelPlayer::GetId() {
    ReturnInt(Player() != nullptr ? static_cast<int32_t>(Player()->GetId()) : 0);
}

void CIQelPlayer::GetStats() {
    if (Player() == nullptr) return ReturnInt(0);
    ReturnStats(Player()->stats);
}

const ScriptClassInfo* GetQelPlayerClassInfo() {
    return &kPlayerClass;
}
