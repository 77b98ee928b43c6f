#include "classes/net/qel_class.h"

#include <new>
#include <string>

#include "net/qel_api.h"
#include "net/qel_player.h"
#include "net/qel_server.h"
#include "script/interpreter/interpretor.h"

namespace {

using T = CIQel;

const MethodNameRow kNameTable[] = {
    {T::kClassId, "Qel", 0, 0},
    {T::kConnect, "Connect", 0, 0},
    {T::kHostServer, "HostServer", 0, 0},
    {T::kGetPlayerCount, "GetPlayerCount", 0, 0},
    {T::kGetServerCount, "GetServerCount", 0, 0},
    {T::kGetPlayer, "GetPlayer", 0, 0},
    {T::kGetServer, "GetServer", 0, 0},
    {T::kSetPrivateData, "SetPrivateData", 0, 0},
    {T::kGetPrivateData, "GetPrivateData", 0, 0},
    {T::kGetStats, "GetStats", 0, 0},
    {0, nullptr, 0, 0},
};

CIBaseClassImpl* NewQel(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CIQel(&interpreter, record);
}

const ScriptClassInfo kQelClass = {kNameTable, NewQel, 0, nullptr, 0, nullptr, nullptr};

} // namespace

const ScriptMethod<CIQel> CIQel::kMethods[kMethodCount] = {
    nullptr,       &T::Connect,   &T::HostServer,     &T::GetPlayerCount, &T::GetServerCount,
    &T::GetPlayer, &T::GetServer, &T::SetPrivateData, &T::GetPrivateData, &T::GetStats,
};

void CIQel::Create() {
    QelAPI* root = AcquireNetworkRoot(*interpreter);
    if (root == nullptr) return;
    holdsRoot_ = true;
    QelHost* host = new (std::nothrow) QelHost(*root);
    if (host == nullptr) return;
    host->owner = static_cast<CIQELClassImpl*>(this);
    library_ = host;
    Register();
}

QelHost* CIQel::Host() const {
    return static_cast<QelHost*>(library_);
}

void CIQel::Connect() {
    std::string hostText(TextArg(0));
    if (Host() == nullptr || hostText.empty() || interpreter->IsArgDefault(1)) return ReturnInt(0);
    std::string name(TextArg(2));
    QelPlayer* player = Host()->Connect(hostText.c_str(), interpreter->GetArgInt(1), name);
    if (player == nullptr) return ReturnInt(0);
    CIQELClassImpl* wrapper = WrapPlayer(player, interpreter);
    if (wrapper == nullptr) {
        delete player;
        return ReturnInt(0);
    }
    ReturnObject(wrapper);
}

void CIQel::HostServer() {
    if (Host() == nullptr || interpreter->IsArgDefault(0)) return ReturnInt(0);
    QelServer* server = Host()->HostServer(interpreter->GetArgInt(0));
    if (server == nullptr) return ReturnInt(0);
    CIQELClassImpl* wrapper = WrapServer(server, interpreter);
    if (wrapper == nullptr) {
        delete server;
        return ReturnInt(0);
    }
    ReturnObject(wrapper);
}

void CIQel::GetPlayerCount() {
    ReturnInt(Host() != nullptr ? static_cast<int32_t>(Host()->GetPlayerCount()) : 0);
}

void CIQel::GetServerCount() {
    ReturnInt(Host() != nullptr ? static_cast<int32_t>(Host()->GetServerCount()) : 0);
}

void CIQel::GetPlayer() {
    int32_t index = IntArg(0);
    if (Host() == nullptr || index < 0) return ReturnInt(0);
    ReturnObject(WrapPlayer(Host()->GetPlayer(static_cast<size_t>(index)), interpreter));
}

void CIQel::GetServer() {
    int32_t index = IntArg(0);
    if (Host() == nullptr || index < 0) return ReturnInt(0);
    ReturnObject(WrapServer(Host()->GetServer(static_cast<size_t>(index)), interpreter));
}

void CIQel::GetStats() {
    if (Host() == nullptr) return ReturnInt(0);
    ReturnStats(Host()->stats);
}

const ScriptClassInfo* GetQelClassInfo() {
    return &kQelClass;
}
