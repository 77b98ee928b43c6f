// The link between an engine object and the script object that wraps it: the engine
// object tells the link once, from its destructor, that it is gone, and the script side
// forgets it (and deletes the wrapper while the interpreter runs).
#pragma once

class LCLBKObject {
public:
    LCLBKObject() = default;
    LCLBKObject(const LCLBKObject&) = delete;
    LCLBKObject& operator=(const LCLBKObject&) = delete;
    virtual ~LCLBKObject() = default;

    // Slot 0: the engine object is being destroyed.
    virtual void EngineObjectDestroyed() = 0;

    void* engineObject = nullptr;
    bool alive = false;
};

// Base of every engine object that a script object may wrap.
class LManageCLBKObject {
public:
    explicit LManageCLBKObject(LCLBKObject* link) : link_(link) {}
    LManageCLBKObject(const LManageCLBKObject&) = delete;
    LManageCLBKObject& operator=(const LManageCLBKObject&) = delete;
    virtual ~LManageCLBKObject();

    LCLBKObject* GetCLBKObject() const { return link_; }
    // A wrapper made after the engine object, or one going before it, sets or clears it.
    void SetCLBKObject(LCLBKObject* link) { link_ = link; }

private:
    LCLBKObject* link_;
};
