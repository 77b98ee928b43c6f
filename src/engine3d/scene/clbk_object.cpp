#include "engine3d/scene/clbk_object.h"

LManageCLBKObject::~LManageCLBKObject() {
    if (link_ != nullptr) link_->EngineObjectDestroyed();
}
