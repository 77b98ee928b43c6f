// The interpreter's networking root and the library's events turned into script events.
#include <algorithm>
#include <deque>
#include <iterator>
#include <memory>
#include <new>
#include <string>
#include <unordered_map>

#include "classes/net/qel_channel_class.h"
#include "classes/net/qel_connection_class.h"
#include "classes/net/qel_player_class.h"
#include "classes/net/qel_server_class.h"
#include "classes/net/qel_socket_class.h"
#include "classes/net/qel_wrapper.h"
#include "net/qel_api.h"
#include "net/qel_player.h"
#include "net/qel_server.h"
#include "script/interpreter/ierror.h"
#include "script/interpreter/interpretor.h"

namespace {

// Script events that one peer's input may have waiting at once; past this its input waits.
constexpr size_t kPeerEventBound = 32;

// The script events made from peers' input that still wait in the interpreter's queue, each
// by its place in the run order (the taken-event count at which it has run).
class EventBacklog {
public:
    void Add(const QelObject* peer, uint64_t place) {
        all_.push_back(place);
        byPeer_[peer].push_back(place);
    }
    // Whether the peer's input must wait: its own events reached their bound, or the
    // network's reached half the interpreter's event limit, leaving the rest of the queue
    // to the script's own events and to what the network's deletions report.
    bool IsFull(const QelObject& peer, const CInterpretor& interpreter) {
        uint64_t taken = interpreter.GetTakenEventCount();
        Prune(all_, taken);
        if (all_.size() * 2 >= static_cast<size_t>(std::max(interpreter.eventLimit, 0)))
            return true;
        auto found = byPeer_.find(&peer);
        if (found == byPeer_.end()) return false;
        Prune(found->second, taken);
        return found->second.size() >= kPeerEventBound;
    }
    size_t Waiting(const QelObject& peer, const CInterpretor& interpreter) {
        auto found = byPeer_.find(&peer);
        if (found == byPeer_.end()) return 0;
        Prune(found->second, interpreter.GetTakenEventCount());
        return found->second.size();
    }
    // Forgets the peers whose events have all run, gone peers among them.
    void Sweep(const CInterpretor& interpreter) {
        uint64_t taken = interpreter.GetTakenEventCount();
        for (auto it = byPeer_.begin(); it != byPeer_.end();) {
            Prune(it->second, taken);
            it = it->second.empty() ? byPeer_.erase(it) : std::next(it);
        }
    }

private:
    static void Prune(std::deque<uint64_t>& places, uint64_t taken) {
        while (!places.empty() && places.front() <= taken)
            places.pop_front();
    }

    std::deque<uint64_t> all_;
    std::unordered_map<const QelObject*, std::deque<uint64_t>> byPeer_;
};

struct NetworkRoot {
    std::unique_ptr<QelAPI> root;
    int32_t users = 0;
    EventBacklog backlog;
};

// Each script thread runs its own interpreters.
thread_local std::unordered_map<CInterpretor*, NetworkRoot> roots;

// One argument of a script event.
struct EventArgument {
    enum Kind { kObject, kText, kCode } kind = kObject;
    CIBaseClassImpl* object = nullptr;
};

// The event's arguments as script values: objects as references to their wrappers (0 for
// none), texts up to their first zero byte, codes sign-extended from 16 bits.
void Post(CInterpretor& interpreter, CIQELClassImpl* carrier, size_t slot, const QelEvent& event,
          std::initializer_list<EventArgument> arguments) {
    const BlockRecord* handler = carrier != nullptr ? carrier->GetHandler(slot) : nullptr;
    if (handler == nullptr) return;
    std::unique_ptr<CValue> values[4];
    size_t count = 0;
    // The event runs inside the poll, where no error may unwind the library: a text that
    // cannot be copied drops the event.
    try {
        for (const EventArgument& argument : arguments) {
            switch (argument.kind) {
            case EventArgument::kObject:
                values[count] = argument.object != nullptr
                                    ? std::make_unique<CValue>(argument.object)
                                    : std::make_unique<CValue>(&interpreter, 0);
                break;
            case EventArgument::kText: {
                std::string text(event.text.substr(0, event.text.find('\0')));
                values[count] = std::make_unique<CValue>(&interpreter, text.c_str(), 0);
                break;
            }
            case EventArgument::kCode:
                values[count] = std::make_unique<CValue>(
                    &interpreter, static_cast<int32_t>(static_cast<int16_t>(event.code)));
                break;
            }
            ++count;
        }
    } catch (CIError* error) {
        delete error;
        return;
    } catch (const std::bad_alloc&) {
        return;
    }
    // Events come from the network, which must never end the run: an event that finds the
    // queue full is dropped. The bounds of the backlog keep an honest peer's from that.
    try {
        interpreter.PostEvent(handler, values[0].get(), values[1].get(), values[2].get(),
                              values[3].get());
    } catch (CIError* error) {
        if (error->code == 61) {
            delete error;
            return;
        }
        interpreter.KeepPendingError(error);
        return;
    }
    auto found = roots.find(&interpreter);
    if (found == roots.end() || found->second.root == nullptr) return;
    if (const QelObject* peer = found->second.root->GetInputSource())
        found->second.backlog.Add(peer, interpreter.GetTakenEventCount() +
                                            interpreter.GetQueuedEventCount());
}

// The library object of an event argument, of the type the event number says.
template <class T> T* As(QelObject* object) {
    return static_cast<T*>(object);
}

EventArgument Object(CIBaseClassImpl* object) {
    return {EventArgument::kObject, object};
}

constexpr EventArgument kText{EventArgument::kText, nullptr};
constexpr EventArgument kCode{EventArgument::kCode, nullptr};

void OnLibraryEvent(CInterpretor& in, const QelEvent& event) {
    // A reset or the interpreter's end deletes the library objects with their wrappers;
    // their events have nobody left to run for.
    if (in.shuttingDown || in.resetting) return;
    switch (event.number) {
    case kQelEventUserText: {
        CIQELClassImpl* carrier = WrapPlayer(As<QelPlayer>(event.first), nullptr);
        Post(in, carrier, CIQelPlayer::kMessageSlot, event,
             {Object(carrier), Object(WrapUser(As<QelUser>(event.second), nullptr)), kText, kCode});
        return;
    }
    case kQelEventMemberPresent:
    case kQelEventMemberJoined:
    case kQelEventMemberLeft: {
        CIQELClassImpl* carrier = WrapChannel(As<QelChannel>(event.first), nullptr);
        CIQELClassImpl* member = WrapUser(As<QelUser>(event.second), nullptr);
        if (event.number == kQelEventMemberLeft && member != nullptr) {
            const QelUser& user = *As<QelUser>(event.second);
            member->KeepIdentity(user.GetId(), user.GetName(), user.GetAddressText());
        }
        size_t slot = event.number == kQelEventMemberPresent  ? CIQelChannel::kUserIsOnSlot
                      : event.number == kQelEventMemberJoined ? CIQelChannel::kUserJoinedSlot
                                                              : CIQelChannel::kUserLeftSlot;
        Post(in, carrier, slot, event, {Object(carrier), Object(member)});
        return;
    }
    case kQelEventSignedOn:
    case kQelEventPlayerDestroyed: {
        CIQELClassImpl* carrier = WrapPlayer(As<QelPlayer>(event.first), nullptr);
        Post(in, carrier,
             event.number == kQelEventSignedOn ? CIQelPlayer::kConnectedSlot
                                               : CIQelPlayer::kDisconnectedSlot,
             event, {Object(carrier)});
        return;
    }
    case kQelEventChannelJoined:
    case kQelEventChannelDestroyed: {
        CIQELClassImpl* carrier = WrapPlayer(As<QelPlayer>(event.first), nullptr);
        Post(in, carrier,
             event.number == kQelEventChannelJoined ? CIQelPlayer::kSignedOnSlot
                                                    : CIQelPlayer::kSignedOffSlot,
             event, {Object(carrier), Object(WrapChannel(As<QelChannel>(event.second), nullptr))});
        return;
    }
    case kQelEventConnectionNamed:
    case kQelEventConnectionDestroyed: {
        CIQELClassImpl* carrier = WrapServer(As<QelServer>(event.first), nullptr);
        CIQELClassImpl* client = WrapConnection(As<QelConnection>(event.second), nullptr);
        if (event.number == kQelEventConnectionDestroyed && client != nullptr) {
            const QelConnection& connection = *As<QelConnection>(event.second);
            client->KeepIdentity(connection.GetId(), connection.GetName(),
                                 connection.GetAddressText());
        }
        Post(in, carrier,
             event.number == kQelEventConnectionNamed ? CIQelServer::kNewConnectionSlot
                                                      : CIQelServer::kDeadConnectionSlot,
             event, {Object(carrier), Object(client)});
        return;
    }
    case kQelEventSessionJoined:
    case kQelEventSessionLeft: {
        CIQELClassImpl* carrier = WrapConnection(As<QelConnection>(event.first), nullptr);
        Post(in, carrier,
             event.number == kQelEventSessionJoined ? CIQelConnection::kSessionJoinedSlot
                                                    : CIQelConnection::kSessionLeftSlot,
             event, {Object(carrier), Object(WrapSession(As<QelSession>(event.second), nullptr))});
        return;
    }
    case kQelEventServerText: {
        CIQELClassImpl* carrier = WrapConnection(As<QelConnection>(event.first), nullptr);
        Post(in, carrier, CIQelConnection::kMsgFromClientSlot, event,
             {Object(carrier), kText, kCode});
        return;
    }
    case kQelEventNameChanged: {
        // The property is the player's; the event names the channel.
        CIQELClassImpl* carrier = WrapPlayer(&As<QelChannel>(event.first)->GetPlayer(), nullptr);
        Post(in, carrier, CIQelPlayer::kNameChangedSlot, event,
             {Object(carrier), Object(WrapUser(As<QelUser>(event.second), nullptr)), kText,
              Object(WrapChannel(As<QelChannel>(event.first), nullptr))});
        return;
    }
    case kQelEventPlayerServerText: {
        CIQELClassImpl* carrier = WrapPlayer(As<QelPlayer>(event.first), nullptr);
        Post(in, carrier, CIQelPlayer::kMsgFromServerSlot, event, {Object(carrier), kText, kCode});
        return;
    }
    case kQelEventSessionCreated:
    case kQelEventSessionDestroyed: {
        CIQELClassImpl* carrier = WrapServer(As<QelServer>(event.first), nullptr);
        Post(in, carrier,
             event.number == kQelEventSessionCreated ? CIQelServer::kSessionCreatedSlot
                                                     : CIQelServer::kSessionDestroyedSlot,
             event, {Object(carrier), Object(WrapSession(As<QelSession>(event.second), nullptr))});
        return;
    }
    case kQelEventSocketConnected:
    case kQelEventSocketLost:
    case kQelEventSocketData:
    case kQelEventSocketAcceptable: {
        // A raw socket's events go to its own script object only.
        CIQELClassImpl* carrier = CIQELClassImpl::OwnerOf(event.first);
        size_t slot = event.number == kQelEventSocketConnected ? CIQelSocket::kConnectedSlot
                      : event.number == kQelEventSocketLost    ? CIQelSocket::kDisconnectedSlot
                      : event.number == kQelEventSocketData    ? CIQelSocket::kReceivedSlot
                                                               : CIQelSocket::kAcceptedSlot;
        Post(in, carrier, slot, event, {Object(carrier)});
        return;
    }
    default:
        return;
    }
}

} // namespace

QelAPI* AcquireNetworkRoot(CInterpretor& interpreter) {
    NetworkRoot& entry = roots[&interpreter];
    if (entry.root == nullptr) {
        entry.root.reset(new (std::nothrow) QelAPI());
        if (entry.root == nullptr) {
            roots.erase(&interpreter);
            return nullptr;
        }
        CInterpretor* in = &interpreter;
        for (int event = 1; event < kQelEventCount; ++event)
            entry.root->SetCallback(event,
                                    [in](const QelEvent& fired) { OnLibraryEvent(*in, fired); });
        EventBacklog* backlog = &entry.backlog;
        entry.root->SetBacklogProbe(
            [in, backlog](const QelObject& peer) { return backlog->IsFull(peer, *in); });
        entry.root->SetWaitingProbe(
            [in, backlog](const QelObject& peer) { return backlog->Waiting(peer, *in); });
    }
    ++entry.users;
    return entry.root.get();
}

void ReleaseNetworkRoot(CInterpretor& interpreter) {
    auto found = roots.find(&interpreter);
    if (found == roots.end() || --found->second.users > 0) return;
    // Taken out of the table first: the root's end must not find itself there.
    std::unique_ptr<QelAPI> root = std::move(found->second.root);
    roots.erase(found);
}

QelAPI* FindNetworkRoot(CInterpretor& interpreter) {
    auto found = roots.find(&interpreter);
    return found != roots.end() ? found->second.root.get() : nullptr;
}

void PollNetwork(CInterpretor& interpreter) {
    auto found = roots.find(&interpreter);
    if (found == roots.end() || found->second.root == nullptr) return;
    found->second.backlog.Sweep(interpreter);
    found->second.root->Process();
}

bool WaitNetwork(CInterpretor& interpreter, uint32_t milliseconds) {
    auto found = roots.find(&interpreter);
    if (found == roots.end() || found->second.root == nullptr) return false;
    return found->second.root->WaitForTraffic(milliseconds);
}
