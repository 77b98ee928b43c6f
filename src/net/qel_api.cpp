#include "net/qel_api.h"

#include <algorithm>
#include <mutex>
#include <unordered_map>

#include "net/qel_player.h"
#include "net/qel_server.h"
#include "net/qel_socket.h"
#include "net/qel_socket_system.h"

QelAPI::QelAPI(QelSocketSystem* sockets)
    : sockets_(sockets != nullptr ? *sockets : QelNetworkSockets()) {
    started_ = sockets_.Startup() == 0;
}

QelAPI::~QelAPI() {
    while (!hosts_.empty())
        delete hosts_.front();
    while (!rawSockets_.empty())
        delete rawSockets_.front();
    if (started_) sockets_.Cleanup();
}

void QelAPI::SetCallback(int event, QelEventCallback callback) {
    if (event > 0 && event < kQelEventCount) callbacks_[static_cast<size_t>(event)] = callback;
}

void QelAPI::FireEvent(int event, QelObject* first, QelObject* second, std::string_view text,
                       uint16_t code) {
    if (event <= 0 || event >= kQelEventCount) return;
    // A copy: the callback may replace itself.
    QelEventCallback callback = callbacks_[static_cast<size_t>(event)];
    if (callback) callback(QelEvent{event, first, second, text, code});
}

QelHost* QelAPI::CreateHost() {
    return new QelHost(*this);
}

QelHost* QelAPI::GetHost(size_t index) const {
    return index < hosts_.size() ? hosts_[index] : nullptr;
}

void QelAPI::Process() {
    for (auto [host, hostSerial] : QelSnapshot(hosts_)) {
        if (!IsLive(host, hostSerial)) continue;
        for (auto [player, serial] : QelSnapshot(host->players_)) {
            if (!IsLive(player, serial)) continue;
            if (player->Poll()) {
                if (IsLive(player, serial)) player->stats.Tick();
            } else if (IsLive(player, serial)) {
                delete player;
            }
        }
        for (auto [server, serial] : QelSnapshot(host->servers_)) {
            if (!IsLive(server, serial)) continue;
            if (!server->Poll()) {
                if (IsLive(server, serial)) delete server;
                break;
            }
            if (!IsLive(server, serial)) break;
            server->stats.Tick();
            for (auto [connection, connectionSerial] : QelSnapshot(server->connections_)) {
                if (!IsLive(connection, connectionSerial)) continue;
                if (connection->Poll()) {
                    if (IsLive(connection, connectionSerial)) connection->stats.Tick();
                } else if (IsLive(connection, connectionSerial)) {
                    delete connection;
                }
            }
        }
        if (IsLive(host, hostSerial)) host->stats.Tick();
    }
    for (auto [socket, serial] : QelSnapshot(rawSockets_)) {
        if (!IsLive(socket, serial)) continue;
        socket->Poll();
        if (IsLive(socket, serial)) socket->stats.Tick();
    }
}

bool QelAPI::WaitForTraffic(uint32_t milliseconds) {
    if (hosts_.empty() && rawSockets_.empty()) return false;
    QelWaits waits;
    for (QelHost* host : hosts_) {
        for (QelPlayer* player : host->players_)
            player->CollectWaits(waits);
        for (QelServer* server : host->servers_)
            server->CollectWaits(waits);
    }
    for (QelSocket* socket : rawSockets_)
        socket->CollectWaits(waits);
    if (waits.inputWaiting) return true;
    sockets_.WaitWithMessages(waits.sockets.data(), static_cast<uint32_t>(waits.sockets.size()),
                              milliseconds);
    return true;
}

namespace {

// Every linked library object of the process. Each root is used by one thread, but tests
// and programs may run several roots on several threads.
struct LiveObjects {
    std::mutex lock;
    std::unordered_map<const QelObject*, uint64_t> serials;
};

LiveObjects& Live() {
    static LiveObjects live;
    return live;
}

} // namespace

bool QelAPI::IsLive(const QelObject* object, uint64_t serial) {
    LiveObjects& live = Live();
    std::lock_guard<std::mutex> guard(live.lock);
    auto found = live.serials.find(object);
    return found != live.serials.end() && found->second == serial;
}

bool QelAPI::IsLive(const QelObject* object) {
    LiveObjects& live = Live();
    std::lock_guard<std::mutex> guard(live.lock);
    return live.serials.count(object) != 0;
}

void QelAPI::Register(const QelObject* object) {
    LiveObjects& live = Live();
    std::lock_guard<std::mutex> guard(live.lock);
    live.serials[object] = object->Serial();
}

void QelAPI::Unregister(const QelObject* object) {
    LiveObjects& live = Live();
    std::lock_guard<std::mutex> guard(live.lock);
    live.serials.erase(object);
}

QelHost::QelHost(QelAPI& root) : root(root) {
    root.hosts_.push_back(this);
    QelAPI::Register(this);
}

QelHost::~QelHost() {
    while (!players_.empty())
        delete players_.front();
    while (!servers_.empty())
        delete servers_.front();
    auto& hosts = root.hosts_;
    hosts.erase(std::remove(hosts.begin(), hosts.end(), this), hosts.end());
    QelAPI::Unregister(this);
}

QelPlayer* QelHost::Connect(const char* hostText, int32_t port, std::string_view name) {
    return new QelPlayer(*this, hostText, port, name);
}

QelServer* QelHost::HostServer(int32_t port) {
    return new QelServer(*this, port);
}

QelPlayer* QelHost::GetPlayer(size_t index) const {
    return index < players_.size() ? players_[index] : nullptr;
}

QelServer* QelHost::GetServer(size_t index) const {
    return index < servers_.size() ? servers_[index] : nullptr;
}

uint32_t QelHost::NextId() {
    if (++idCounter_ == 0) ++idCounter_;
    return idCounter_;
}

QelPlayer* QelHost::FindPlayer(uint32_t id) const {
    if (id == 0) return nullptr;
    for (QelPlayer* player : players_)
        if (player->GetId() == id) return player;
    return nullptr;
}

QelServer* QelHost::FindServerWithConnection(uint32_t id) const {
    if (id == 0) return nullptr;
    for (QelServer* server : servers_)
        if (server->FindConnection(id) != nullptr) return server;
    return nullptr;
}
