// The base of every object a script can hold. It gives the object its interpreter, its
// class and its number within the class, a use count, and the list of script values
// that hold it, so that destroying the object turns every such value into integer 0
// instead of leaving it pointing at freed memory.
#pragma once

#include <cstdint>

#include "script/class_table.h"

class CInterpretor;
class CValue;

// The interpreter's record of a class.
struct CClassRecord {
    uint32_t classIndex;
};

class CIBaseClassInterpretor {
public:
    virtual ~CIBaseClassInterpretor() = default;
};

class CIBaseClassImpl : public CIBaseClassInterpretor {
public:
    // `classRecord` is null for objects defined by the script (class index 0). With
    // `addToList` the object goes at the head of its class's object list.
    CIBaseClassImpl(CInterpretor* interpreter, const CClassRecord* classRecord, int addToList);
    // Every value that still holds the object becomes integer 0 (the use count is left
    // alone: the object is going anyway).
    ~CIBaseClassImpl() override;
    CIBaseClassImpl(const CIBaseClassImpl&) = delete;
    CIBaseClassImpl& operator=(const CIBaseClassImpl&) = delete;

    // Classes replace it with the dispatch of their methods.
    virtual void CallMethod(uint16_t methodId);
    // Takes the object out of its class's object list.
    virtual void Destroy(int flag);
    // A class that keeps references to other objects drops those to `object` and
    // returns non-zero when it held any.
    virtual int ReleaseReferencesTo(CIBaseClassImpl* object);
    // Classes read their New arguments here and register when creation succeeds.
    virtual void Create();
    // Gives the object the next serial of its class and makes it alive.
    virtual void Register();
    virtual void Unregister();
    virtual int IsReferenced();
    // The kinds of project (mode bits 1, 2, 4) in which the class may be created.
    virtual int32_t GetProjectKindMask();

    // Enters `value` in the back-references; 0 when the list cannot grow, and then
    // nothing changed (the caller must not take the reference).
    int AddReference(CValue* value);
    // Nothing when the value is not in the list.
    void RemoveReference(CValue* value);
    // 1 the first time, 0 once the object is already being deleted: lets a destructor
    // that a cascade can reach twice run once.
    int MarkDeleted();

    CInterpretor* interpreter;
    CValue** backReferences = nullptr;
    int32_t backReferenceCount = 0;
    int32_t backReferenceCapacity = 0;
    uint32_t serial = 0;
    const CClassRecord* classRecord;
    // The object's node in its class's object list; 0 when not listed.
    uint32_t listNode = 0;
    // 1 from registration to unregistration; a created object that is not alive failed.
    uint32_t alive = 0;
    // 1 while being deleted, 2 when marked by a cascading delete.
    uint32_t deletingMark = 0;
    uint32_t classIndex;
    int32_t useCount = 0;

private:
    void Unlink();
};
