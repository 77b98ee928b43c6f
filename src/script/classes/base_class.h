// The base of every object a script can hold. It gives the object its interpreter, its
// class and its number within the class, a use count, and the link its script values
// hold it through, so that destroying the object turns every such value into integer 0
// instead of leaving it pointing at freed memory.
//
// How a built-in class is written:
//
//   class CISprite : public CIBaseClassImpl {
//   public:
//       CISprite(CInterpretor* interpreter, const CClassRecord* record)
//           : CIBaseClassImpl(interpreter, record, 1) {}
//       void CallMethod(uint16_t methodId) override {
//           CallMethodFromTable(*this, kMethods, methodId);
//       }
//       void Destroy(int) override { delete this; }
//       void Create() override;          // reads the New arguments, then Register()
//   private:
//       void Move();                     // reads interpreter->GetArgInt(0) ...,
//       void X();                        // writes interpreter->GetResultSlot()
//       static const ScriptMethod<CISprite> kMethods[];  // indexed by method id
//   };
//   const ScriptMethod<CISprite> CISprite::kMethods[] = {nullptr, &CISprite::Move, ...};
//
// and described to the interpreter once at start-up by a ScriptClassInfo (its name table,
// how to construct it, its class-level handlers and dependent classes) passed to
// RegisterScriptClass. A later subsystem replaces a class, a singleton's included, by
// registering its own description for the same class id.
#pragma once

#include <cstddef>
#include <cstdint>

#include "script/classes/class_table.h"
#include "script/classes/object_link.h"
#include "script/values/value.h"

class CInterpretor;
class CValue;
class CClassLookup;
class CIBaseClassImpl;
struct ScriptClassInfo;

// The interpreter's record of a class: what it needs to call the class's methods.
struct CClassRecord {
    uint32_t classIndex;
    // The method lookup of the class (by name without regard to case); null when the
    // project does not use the class.
    const CClassLookup* lookup = nullptr;
    // The class's registered description; null when none is registered.
    const ScriptClassInfo* info = nullptr;
};

// A method of a built-in class: it reads its arguments through the interpreter's
// argument accessors and writes its result into the interpreter's result slot.
template <class T> using ScriptMethod = void (T::*)();

// A class-level constant or static of a class, named through the class name
// (Animation.LOOP_INFINITE): it writes its value into the interpreter's result slot.
using ClassLevelHandler = void (*)(CInterpretor& interpreter);

// Makes a new object of a class, not yet created (Create reads the New arguments) and
// not yet registered. Null when memory runs out.
using ObjectFactory = CIBaseClassImpl* (*)(CInterpretor& interpreter, const CClassRecord* record);

// Makes a registered object of a text class holding `text` (borrowed when `borrow` is
// set), for a method called on a text literal or on a variable holding a text.
using TextObjectFactory = CIBaseClassImpl* (*)(CInterpretor& interpreter,
                                               const CClassRecord* record, const char* text,
                                               int borrow);

// The whole work of a method of one number argument that has no effect and cannot fail:
// compiled number code calls it straight for an integer or double argument, in place of the
// method, whose result is the double it gives.
using NumberMethod = double (*)(double argument);

// The whole work of a method of one or two numbers that has no effect, beside the
// NumberMethods: compiled number code calls `call` on its arguments' numbers (integers made
// doubles; the second 0 for a method of one) in place of the method. `call` gives false where
// the method fails for those numbers, which then runs and raises its error. The result is the
// double `call` gives; with `integer`, the integer DoubleToInt makes of it; and for one integer
// argument, the integer `onInteger` gives when it is set.
struct NumberFunction {
    // 1 or 2; 0 when the method is none.
    uint8_t arguments = 0;
    bool integer = false;
    bool (*call)(double first, double second, double& result) = nullptr;
    int32_t (*onInteger)(int32_t argument) = nullptr;
};

// The whole work of a text's method that reads nothing but the text and its arguments and can
// neither fail nor have an effect: compiled code calls it on the text, its arguments in the
// frame, in place of the method on a temporary object of the text class (whose instance number
// and serial it still takes), which nothing a script does could tell apart. It leaves its
// result in the result slot, which may hold the text itself, only once it has read the text
// wholly; or gives false, having done nothing, for arguments it does not take and for what
// would fail (the method then runs on the object, and fails there).
using TextMethod = bool (*)(CInterpretor& interpreter, const char* text);

// The static description of one built-in class.
struct ScriptClassInfo {
    // Row 0 names the class (a built-in class id and name); registered for the compiler.
    const MethodNameRow* nameTable;
    // New, and the creation of a singleton at start. Null: the class cannot be created.
    ObjectFactory construct;
    // Ids above this one name the class-level handlers: id k runs entry k - id - 1.
    uint32_t firstClassLevelId;
    const ClassLevelHandler* classLevelHandlers;
    uint32_t classLevelHandlerCount;
    // Classes whose objects may hold references to objects of this class, ending with
    // 0 (script-defined objects, always scanned last); null stands for {0}.
    const uint32_t* dependentClasses;
    // The text class only: its objects made around a text.
    TextObjectFactory constructText;
    // By method id, `numberMethodCount` of them: the NumberMethod of each method that is one,
    // null for the others.
    const NumberMethod* numberMethods = nullptr;
    uint32_t numberMethodCount = 0;
    // The text class only, by method id, `textMethodCount` of them: the TextMethod of each
    // method that is one, null for the others.
    const TextMethod* textMethods = nullptr;
    uint32_t textMethodCount = 0;
    // By method id, `numberFunctionCount` of them: the NumberFunction of each method that is
    // one (`arguments` 0 for the others).
    const NumberFunction* numberFunctions = nullptr;
    uint32_t numberFunctionCount = 0;
};

// Makes `info` the description of the class named by row 0 of its name table (and
// registers the name table), replacing an earlier one. 0 when the table is refused. The
// description must outlive every interpreter that uses it.
int RegisterScriptClass(const ScriptClassInfo* info);
void UnregisterScriptClass(uint32_t classId);
// Null when no description is registered.
const ScriptClassInfo* GetScriptClassInfo(uint32_t classId);

// Calls the method of `methodId` from a class's method-function table (entry 0 is not
// used); an id without a method raises error 11.
[[noreturn]] void RaiseNoSuchMethod(CIBaseClassImpl& object);
template <class T, size_t N>
void CallMethodFromTable(T& object, const ScriptMethod<T> (&table)[N], uint16_t methodId) {
    ScriptMethod<T> method = methodId < N ? table[methodId] : nullptr;
    if (method == nullptr) RaiseNoSuchMethod(object);
    (object.*method)();
}

class CIBaseClassInterpretor {
public:
    virtual ~CIBaseClassInterpretor() = default;
};

class CIBaseClassImpl : public CIBaseClassInterpretor {
public:
    // `classRecord` is null for objects defined by the script (class index 0). With
    // `addToList` the object goes at the head of its class's object list.
    CIBaseClassImpl(CInterpretor* interpreter, const CClassRecord* classRecord, int addToList);
    // Every value that still holds the object reads as integer 0 from now on (the use
    // count is left alone: the object is going anyway).
    ~CIBaseClassImpl() override;
    CIBaseClassImpl(const CIBaseClassImpl&) = delete;
    CIBaseClassImpl& operator=(const CIBaseClassImpl&) = delete;

    // Classes replace it with the dispatch of their methods (CallMethodFromTable).
    virtual void CallMethod(uint16_t methodId);
    // Takes the object out of its class's object list. Classes made with new replace it
    // with their deleting destructor (delete this), which the interpreter calls to
    // delete an object.
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

    // Counts one more value holding the object on its link (made with the first one);
    // null when memory runs out, and then nothing changed. The value lets go through
    // LetGo.
    ObjectLink* Hold();
    static void LetGo(ObjectLink* link) {
        if (--link->holders == 0 && link->object == nullptr) FreeLink(link);
    }
    // Every value that holds the object reads as integer 0 from now on; their uses are
    // counted off. Values that hold it later share a new link.
    void ClearReferences();
    // 1 the first time, 0 once the object is already being deleted: lets a destructor
    // that a cascade can reach twice run once.
    int MarkDeleted();

    CInterpretor* interpreter;
    // Null until a value holds the object.
    ObjectLink* link = nullptr;
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
    // Calls of the object's own methods (built-in or script) now running. An object
    // deleted meanwhile is only detached; it is destroyed when the last one returns.
    int32_t runningCalls = 0;
    // Set when a Delete came while calls were running.
    int32_t deletePending = 0;
    // Unique among the objects of the interpreter; a snapshot of a list recognises by it
    // that a node still holds the same object.
    uint64_t instance = 0;

private:
    void Unlink();
    // The link goes on without the object.
    void DetachLink();
    static void FreeLink(ObjectLink* link);
};

// Here rather than in value.cpp, so that the calls passing objects take their shares in line.
[[gnu::always_inline]] inline void CValue::AssignLiveObject(const CValue& source) {
    // The object's link is the source's, which counts the holders that Hold counts.
    ObjectLink* link = source.payload_.link;
    if (link->holders == INT32_MAX) Fail(15);
    ++link->holders;
    ++link->object->useCount;
    if (((kNothingHeld >> type_) & 1) == 0) Release(false);
    type_ = kValueObject;
    flags_ = 0;
    payload_.link = link;
}
