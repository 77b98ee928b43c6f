#include "net/qel_object.h"

#include <atomic>

namespace {
std::atomic<uint64_t> nextSerial{1};
}

QelObject::QelObject() : serial_(nextSerial++) {}

QelObject::~QelObject() {
    if (onDestroy != nullptr) onDestroy(this);
}
