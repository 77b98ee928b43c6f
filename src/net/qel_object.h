// The base of every Qel library object.
#pragma once

#include <cstdint>

class QelObject {
public:
    using DestroyCallback = void (*)(QelObject* object);

    QelObject();
    QelObject(const QelObject&) = delete;
    QelObject& operator=(const QelObject&) = delete;
    // Calls the on-destroy callback last, after the derived object's own destruction.
    virtual ~QelObject();

    // The script object that stands for this one, or null.
    void* owner = nullptr;
    DestroyCallback onDestroy = nullptr;

    // A number no other object of the process carries, so that a handler that fired an
    // event can tell its object from a new one made at the same address meanwhile.
    uint64_t Serial() const { return serial_; }

private:
    uint64_t serial_;
};
