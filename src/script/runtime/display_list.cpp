#include "script/runtime/display_list.h"

namespace {

LAPIRegistry* installedRegistry = nullptr;

} // namespace

LAPIRegistry* GetAPIRegistry() {
    return installedRegistry;
}

void SetAPIRegistry(LAPIRegistry* registry) {
    installedRegistry = registry;
}

void CIDisplayList::Init(int32_t flag, int32_t backEnd) {
    Release();
    flag_ = flag;
    backEnd_ = backEnd;
}

CDisplayAPI* CIDisplayList::Acquire(int32_t) {
    if (api_ != nullptr) return api_;
    LAPIRegistry* registry = GetAPIRegistry();
    if (registry == nullptr || backEnd_ < 0 || !registry->IsAvailable(backEnd_)) return nullptr;
    api_ = registry->Load(backEnd_);
    if (api_ != nullptr) loadedBy_ = registry;
    return api_;
}

void CIDisplayList::Release() {
    if (api_ == nullptr) return;
    loadedBy_->Unload(backEnd_, api_);
    api_ = nullptr;
    loadedBy_ = nullptr;
}
