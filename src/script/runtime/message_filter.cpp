#include "script/runtime/message_filter.h"

#include "script/interpreter/interpretor.h"

CIBaseMessages::CIBaseMessages(CInterpretor* owner) : interpreter(owner) {
    interpreter->AddMessageFilter(this);
}

CIBaseMessages::~CIBaseMessages() {
    interpreter->RemoveMessageFilter(this);
}

int CInterpretor::AddMessageFilter(CIBaseMessages* filter) {
    if (filterCount_ >= kMaxMessageFilters) return 0;
    filters_[filterCount_++] = filter;
    return 1;
}

void CInterpretor::RemoveMessageFilter(CIBaseMessages* filter) {
    uint32_t kept = 0;
    for (uint32_t i = 0; i < filterCount_; ++i) {
        if (filters_[i] != filter) filters_[kept++] = filters_[i];
    }
    for (uint32_t i = kept; i < filterCount_; ++i)
        filters_[i] = nullptr;
    filterCount_ = kept;
}
