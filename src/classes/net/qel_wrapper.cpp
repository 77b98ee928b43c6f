#include "classes/net/qel_wrapper.h"

#include "classes/net/qel_stats_class.h"
#include "net/qel_api.h"
#include "net/qel_player.h"
#include "net/qel_server.h"
#include "script/interpreter/interpretor.h"

CIQELClassImpl::CIQELClassImpl(CInterpretor* interpreter, const CClassRecord* record)
    : CIBaseClassImpl(interpreter, record, 1), privateData_(interpreter, 0) {}

void CIQELClassImpl::Destroy(int) {
    if (library_ != nullptr) {
        QelObject* object = library_;
        library_ = nullptr;
        object->owner = nullptr;
        delete object;
    }
    CInterpretor* owner = interpreter;
    bool release = holdsRoot_;
    delete this;
    if (release) ReleaseNetworkRoot(*owner);
}

int CIQELClassImpl::ReleaseReferencesTo(CIBaseClassImpl* object) {
    bool held = privateData_.GetType() == kValueObject && privateData_.GetObject() == object;
    privateData_.ReleaseReferencesTo(object);
    return held ? 1 : 0;
}

const BlockRecord* CIQELClassImpl::GetHandler(size_t slot) const {
    if (slot >= kMaxEvents || handlers_[slot].GetType() != kValueFunction) return nullptr;
    return handlers_[slot].GetFunction();
}

void CIQELClassImpl::KeepIdentity(uint32_t id, std::string_view name, std::string_view address) {
    keptId_ = id;
    keptName_ = name;
    keptAddress_ = address;
}

void CIQELClassImpl::Detach(QelObject* object) {
    CIQELClassImpl* owner = OwnerOf(object);
    if (owner == nullptr) return;
    object->owner = nullptr;
    --owner->useCount;
    owner->DropLibraryObject();
}

CIQELClassImpl* CIQELClassImpl::OwnerOf(const QelObject* object) {
    return object != nullptr ? static_cast<CIQELClassImpl*>(object->owner) : nullptr;
}

CIQELClassImpl* CIQELClassImpl::Adopt(CInterpretor& interpreter, uint32_t classId,
                                      QelObject* object) {
    const ScriptClassInfo* info = GetScriptClassInfo(classId);
    if (info == nullptr || info->construct == nullptr) return nullptr;
    CIBaseClassImpl* made = info->construct(interpreter, interpreter.GetClassRecord(classId));
    if (made == nullptr) return nullptr;
    auto* wrapper = static_cast<CIQELClassImpl*>(made);
    wrapper->Register();
    ++interpreter.creations;
    ++wrapper->useCount;
    wrapper->library_ = object;
    object->owner = wrapper;
    object->onDestroy = &CIQELClassImpl::Detach;
    return wrapper;
}

int32_t CIQELClassImpl::IntArg(uint32_t i) {
    return interpreter->IsArgDefault(i) ? 0 : interpreter->GetArgInt(i);
}

std::string_view CIQELClassImpl::TextArg(uint32_t i) {
    if (interpreter->IsArgDefault(i)) return {};
    const char* text = interpreter->GetArgString(i);
    return text != nullptr ? std::string_view(text) : std::string_view();
}

void CIQELClassImpl::ReturnInt(int32_t value) {
    interpreter->GetResultSlot()->SetInt(value);
}

void CIQELClassImpl::ReturnText(const std::string& text) {
    interpreter->GetResultSlot()->SetString(text.c_str(), 0);
}

void CIQELClassImpl::ReturnObject(CIBaseClassImpl* object) {
    interpreter->GetResultSlot()->SetObject(object, 1);
}

void CIQELClassImpl::ReturnStats(const QelStats& record) {
    CIQelStats* stats = MakeQelStats(*interpreter, record);
    if (stats == nullptr) interpreter->RaiseError(15);
    ReturnObject(stats);
}

void CIQELClassImpl::AssignHandler(size_t slot) {
    const BlockRecord* handler = interpreter->ReadHandlerAssignment();
    if (handler != nullptr)
        handlers_[slot].SetFunction(handler);
    else
        handlers_[slot].SetInt(0);
}

void CIQELClassImpl::SetPrivateData() {
    privateData_.Assign(*interpreter->GetArg(0));
}

void CIQELClassImpl::GetPrivateData() {
    interpreter->GetResultSlot()->Assign(privateData_);
}

namespace {

// The interpreter of the wrapper a related object has or is given.
CInterpretor* InterpreterOf(CIQELClassImpl* related) {
    return related != nullptr ? related->interpreter : nullptr;
}

CIQELClassImpl* Wrap(QelObject* object, uint32_t classId, CInterpretor* interpreter) {
    if (interpreter == nullptr) return nullptr;
    return CIQELClassImpl::Adopt(*interpreter, classId, object);
}

} // namespace

CIQELClassImpl* WrapPlayer(QelPlayer* player, CInterpretor* interpreter) {
    if (player == nullptr) return nullptr;
    if (CIQELClassImpl* owner = CIQELClassImpl::OwnerOf(player)) return owner;
    if (interpreter == nullptr) interpreter = InterpreterOf(CIQELClassImpl::OwnerOf(&player->host));
    return Wrap(player, qel_class_ids::kPlayer, interpreter);
}

CIQELClassImpl* WrapServer(QelServer* server, CInterpretor* interpreter) {
    if (server == nullptr) return nullptr;
    if (CIQELClassImpl* owner = CIQELClassImpl::OwnerOf(server)) return owner;
    if (interpreter == nullptr) interpreter = InterpreterOf(CIQELClassImpl::OwnerOf(&server->host));
    return Wrap(server, qel_class_ids::kServer, interpreter);
}

CIQELClassImpl* WrapChannel(QelChannel* channel, CInterpretor* interpreter) {
    if (channel == nullptr) return nullptr;
    if (CIQELClassImpl* owner = CIQELClassImpl::OwnerOf(channel)) return owner;
    if (interpreter == nullptr)
        interpreter = InterpreterOf(WrapPlayer(&channel->GetPlayer(), nullptr));
    return Wrap(channel, qel_class_ids::kChannel, interpreter);
}

CIQELClassImpl* WrapUser(QelUser* user, CInterpretor* interpreter) {
    if (user == nullptr) return nullptr;
    if (CIQELClassImpl* owner = CIQELClassImpl::OwnerOf(user)) return owner;
    if (interpreter == nullptr)
        interpreter = InterpreterOf(WrapChannel(&user->GetChannel(), nullptr));
    return Wrap(user, qel_class_ids::kUser, interpreter);
}

CIQELClassImpl* WrapConnection(QelConnection* connection, CInterpretor* interpreter) {
    if (connection == nullptr) return nullptr;
    if (CIQELClassImpl* owner = CIQELClassImpl::OwnerOf(connection)) return owner;
    if (interpreter == nullptr)
        interpreter = InterpreterOf(WrapServer(&connection->GetServer(), nullptr));
    return Wrap(connection, qel_class_ids::kConnection, interpreter);
}

CIQELClassImpl* WrapSession(QelSession* session, CInterpretor* interpreter) {
    if (session == nullptr) return nullptr;
    if (CIQELClassImpl* owner = CIQELClassImpl::OwnerOf(session)) return owner;
    if (interpreter == nullptr) {
        // A session without members has no way to an interpreter.
        QelConnection* master = session->GetMaster();
        if (master == nullptr) master = session->GetMember(0);
        if (master == nullptr) return nullptr;
        interpreter = InterpreterOf(WrapConnection(master, nullptr));
    }
    return Wrap(session, qel_class_ids::kSession, interpreter);
}
