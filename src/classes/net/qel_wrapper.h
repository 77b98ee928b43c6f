// What the networking script classes share. A wrapper is the script object that stands
// for one library object: the library object names it as its owner, and its on-destroy
// callback (Detach) makes the wrapper drop it, so that the wrapper outlives it and then
// answers 0, the empty text or nothing. Wrappers made for library objects the script did
// not create (a player's channels, a server's connections...) hold one use while their
// library object lives, so collection leaves them alone until then.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "script/classes/base_class.h"
#include "script/values/value.h"

class QelAPI;
class QelObject;
class QelStats;
class QelPlayer;
class QelChannel;
class QelUser;
class QelServer;
class QelConnection;
class QelSession;
struct BlockRecord;

namespace qel_class_ids {
inline constexpr uint32_t kQel = 0x19;
inline constexpr uint32_t kPlayer = 0x1A;
inline constexpr uint32_t kChannel = 0x1B;
inline constexpr uint32_t kUser = 0x1C;
inline constexpr uint32_t kServer = 0x1D;
inline constexpr uint32_t kConnection = 0x1E;
inline constexpr uint32_t kSession = 0x1F;
inline constexpr uint32_t kSocket = 0x20;
inline constexpr uint32_t kStats = 0x21;
} // namespace qel_class_ids

class CIQELClassImpl : public CIBaseClassImpl {
public:
    // The most event properties a class has (QelPlayer's seven).
    static constexpr size_t kMaxEvents = 7;

    CIQELClassImpl(CInterpretor* interpreter, const CClassRecord* record);

    void CallMethod(uint16_t methodId) override = 0;
    // A library object still held loses its owner and is deleted; then the wrapper goes.
    void Destroy(int flag) override;
    int ReleaseReferencesTo(CIBaseClassImpl* object) override;
    // Forgets the library object without deleting it.
    virtual void DropLibraryObject() { library_ = nullptr; }

    QelObject* GetLibraryObject() const { return library_; }
    // A member or connection about to go: its wrapper goes on answering its name, id and
    // address, so that the handler of its leave event can tell who left.
    void KeepIdentity(uint32_t id, std::string_view name, std::string_view address);
    // The handler assigned to event property `slot`, null when none.
    const BlockRecord* GetHandler(size_t slot) const;

    // The on-destroy callback of every wrapped library object but raw sockets.
    static void Detach(QelObject* object);
    // The wrapper a library object names as its owner, null when none.
    static CIQELClassImpl* OwnerOf(const QelObject* object);
    // A new registered wrapper of the class for `object`, holding one use; null when none
    // can be made.
    static CIQELClassImpl* Adopt(CInterpretor& interpreter, uint32_t classId, QelObject* object);

protected:
    // Argument i as an integer; 0 when not given.
    int32_t IntArg(uint32_t i);
    // Argument i as a text; empty when not given.
    std::string_view TextArg(uint32_t i);
    void ReturnInt(int32_t value);
    void ReturnText(const std::string& text);
    // A reference to the wrapper, or integer 0 for null.
    void ReturnObject(CIBaseClassImpl* object);
    // A new QelStats object holding a copy of the record.
    void ReturnStats(const QelStats& record);
    void AssignHandler(size_t slot);
    template <size_t Slot> void EventProperty() { AssignHandler(Slot); }
    void SetPrivateData();
    void GetPrivateData();

    QelObject* library_ = nullptr;
    // What KeepIdentity kept; 0 and empty until then.
    uint32_t keptId_ = 0;
    std::string keptName_;
    std::string keptAddress_;
    // Qel and QelSocket objects hold a use of the interpreter's networking root, given
    // back after their library object went.
    bool holdsRoot_ = false;

private:
    CValue privateData_;
    std::array<CValue, kMaxEvents> handlers_;
};

// The wrapper factories: the owner when the object has one; otherwise a new wrapper made
// with `interpreter`, or, when that is null, with the interpreter of a related wrapper
// (made first when needed): a player's and a server's from their host's Qel object, a
// channel's from its player, a user's from its channel, a connection's from its server,
// a session's from its master connection. Null when there is no way to an interpreter.
CIQELClassImpl* WrapPlayer(QelPlayer* player, CInterpretor* interpreter);
CIQELClassImpl* WrapChannel(QelChannel* channel, CInterpretor* interpreter);
CIQELClassImpl* WrapUser(QelUser* user, CInterpretor* interpreter);
CIQELClassImpl* WrapServer(QelServer* server, CInterpretor* interpreter);
CIQELClassImpl* WrapConnection(QelConnection* connection, CInterpretor* interpreter);
CIQELClassImpl* WrapSession(QelSession* session, CInterpretor* interpreter);

// The interpreter's networking root: made with its first Qel or QelSocket object, with the
// library's event callbacks in its table, and deleted once the last of them goes, which a
// reset or the interpreter's destruction does. Acquire gives null when out of memory.
QelAPI* AcquireNetworkRoot(CInterpretor& interpreter);
void ReleaseNetworkRoot(CInterpretor& interpreter);
// Null when the interpreter has none.
QelAPI* FindNetworkRoot(CInterpretor& interpreter);
// The poll of the message pump.
void PollNetwork(CInterpretor& interpreter);
// The idle run loop's sleep: false when the interpreter has no networking root.
bool WaitNetwork(CInterpretor& interpreter, uint32_t milliseconds);
