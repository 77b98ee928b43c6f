#include "classes/scene3d/movement/movement_controller.h"

#include "classes/scene3d/location_class.h"
#include "engine3d/scene/location.h"
#include "script/interpreter/interpretor.h"

void CTDCheckPosition::Snapshot(const L3DLocation& location) {
    for (int i = 0; i < 3; ++i) {
        position[i] = location.position[i];
        angles[i] = location.angles[i];
    }
}

bool CTDCheckPosition::Changed(const L3DLocation& location) const {
    for (int i = 0; i < 3; ++i) {
        if (angles[i] != location.angles[i]) return true;
    }
    for (int i = 0; i < 3; ++i) {
        if (position[i] != location.position[i]) return true;
    }
    return false;
}

CTDMController::CTDMController(CILocation* owner, uint32_t kind)
    : owner(owner), interpreter(owner->interpreter), kind(kind) {}

CTDMController::~CTDMController() {
    if (owner->controller == this) owner->ClearController(false);
    if (runningHandle != 0) interpreter->RemoveMovement(this);
}

void CTDMController::Stop() {
    OnStop();
    if (runningHandle != 0) interpreter->RemoveMovement(this);
    runningHandle = 0;
    paused = 0;
    if (owner->onStopMovement == nullptr) return;
    CValue source(owner);
    interpreter->PostEventCoalesced(owner->onStopMovement, owner, &source);
}

void CTDMController::Pause() {
    if (paused != 0) return;
    paused = 1;
    OnPause();
}

void CTDMController::Resume() {
    if (paused == 0) return;
    OnResume();
    paused = 0;
}

bool CTDMController::Targets(const CIBaseClassImpl*) const {
    return false;
}

int CTDMController::Involves(const CIBaseClassImpl* object) const {
    return object == owner || Targets(object) ? 1 : 0;
}

void CTDMController::Run() {
    if (runningHandle != 0) return;
    runningHandle = interpreter->AddMovement(this);
    if (runningHandle == 0) interpreter->RaiseError(15);
}

L3DLocation* CTDMController::OwnerLocation() const {
    return owner->location;
}

void CTDMController::EndStep(const CTDCheckPosition& before) const {
    const L3DLocation* location = OwnerLocation();
    if (location != nullptr && before.Changed(*location)) owner->LocationChanged();
}

CTDMTargeted* CTDMTargeted::first_ = nullptr;

CTDMTargeted::CTDMTargeted(CILocation* owner, uint32_t kind) : CTDMController(owner, kind) {
    next_ = first_;
    if (next_ != nullptr) next_->previous_ = this;
    first_ = this;
}

CTDMTargeted::~CTDMTargeted() {
    if (previous_ != nullptr)
        previous_->next_ = next_;
    else
        first_ = next_;
    if (next_ != nullptr) next_->previous_ = previous_;
}

void CTDMTargeted::DeleteTargeting(const CIBaseClassImpl* object) {
    if (object == nullptr) return;
    CTDMTargeted* controller = first_;
    while (controller != nullptr) {
        CTDMTargeted* next = controller->next_;
        if (controller->target == object) delete controller;
        controller = next;
    }
}

bool CTDMTargeted::Targets(const CIBaseClassImpl* object) const {
    return target != nullptr && object == target;
}

L3DLocation* CTDMTargeted::TargetLocation() const {
    return target != nullptr ? target->location : nullptr;
}
