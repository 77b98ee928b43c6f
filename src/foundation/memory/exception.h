// The root of the player's own exceptions. Errors that must unwind through several
// layers are thrown as heap objects, by pointer; the catcher reads what it needs and
// releases the object with Delete, which works through the most derived destructor.
#pragma once

#include <cstdint>

class CWXException {
public:
    CWXException() = default;
    CWXException(const CWXException&) = default;
    CWXException& operator=(const CWXException&) = default;
    virtual ~CWXException() = default;

    // Destroys and frees this object, which must have been made with new.
    virtual void Delete();
    // The same for a pointer that may be null: a catcher can release whatever it caught
    // without testing it first.
    static void Delete(CWXException* exception);
    // 1 for every class of the family.
    virtual int IsException() const;
};

// Carries a bare integer code.
class CWXIntException : public CWXException {
public:
    explicit CWXIntException(int32_t code) : code(code) {}

    int32_t code;
};
