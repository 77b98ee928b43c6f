#pragma once

#include "platform/kernel/errors.h"

namespace platform {

template <class T> std::shared_ptr<T> LookupObjectAs(HANDLE handle) {
    auto typed = std::dynamic_pointer_cast<T>(LookupObject(handle));
    if (!typed) SetLastError(ERROR_INVALID_HANDLE);
    return typed;
}

template <class T> bool UnregisterObjectAs(HANDLE handle) {
    if (!LookupObjectAs<T>(handle)) return false;
    return UnregisterObject(handle);
}

} // namespace platform
