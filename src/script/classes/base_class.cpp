#include "script/classes/base_class.h"

#include "foundation/memory/memory_helpers.h"
#include "script/interpreter/interpretor.h"
#include "script/values/value.h"

namespace {

constexpr int32_t kReferenceGrowth = 16;

// Filled at start-up, before any interpreter runs; read-only afterwards.
const ScriptClassInfo* registeredClasses[kBuiltinClassCount];

} // namespace

int RegisterScriptClass(const ScriptClassInfo* info) {
    if (info == nullptr || !RegisterClassNameTable(info->nameTable)) return 0;
    registeredClasses[info->nameTable[0].id] = info;
    return 1;
}

void UnregisterScriptClass(uint32_t classId) {
    if (classId == 0 || classId >= kBuiltinClassCount) return;
    registeredClasses[classId] = nullptr;
    UnregisterClassNameTable(classId);
}

const ScriptClassInfo* GetScriptClassInfo(uint32_t classId) {
    return classId < kBuiltinClassCount ? registeredClasses[classId] : nullptr;
}

void RaiseNoSuchMethod(CIBaseClassImpl& object) {
    CInterpretor::RaiseErrorOn(object.interpreter, 11);
}

CIBaseClassImpl::CIBaseClassImpl(CInterpretor* interpreter, const CClassRecord* classRecord,
                                 int addToList)
    : interpreter(interpreter), classRecord(classRecord),
      classIndex(classRecord != nullptr ? classRecord->classIndex : 0) {
    // The interpreter itself is made before its counter.
    if (interpreter != nullptr && static_cast<CIBaseClassImpl*>(interpreter) != this)
        instance = ++interpreter->instancesMade;
    if (addToList != 0 && interpreter != nullptr && classIndex < kClassSlotCount)
        listNode = interpreter->classObjects[classIndex].AddHead(reinterpret_cast<uintptr_t>(this));
}

CIBaseClassImpl::~CIBaseClassImpl() {
    // An object deleted without going through Destroy must not stay in the list.
    Unlink();
    for (int32_t i = 0; i < backReferenceCount; ++i)
        backReferences[i]->SetObject(nullptr, 0);
    MemFree(&backReferences);
    backReferenceCount = backReferenceCapacity = 0;
}

void CIBaseClassImpl::ClearReferences() {
    // Each holder leaves the list as it lets go; the last entry is taken every time.
    while (backReferenceCount > 0) {
        CValue* holder = backReferences[--backReferenceCount];
        holder->SetObject(nullptr, 0);
        --useCount;
    }
}

void CIBaseClassImpl::CallMethod(uint16_t) {}

void CIBaseClassImpl::Destroy(int) {
    Unlink();
}

void CIBaseClassImpl::Unlink() {
    if (listNode == 0) return;
    interpreter->classObjects[classIndex].Remove(listNode);
    listNode = 0;
}

int CIBaseClassImpl::ReleaseReferencesTo(CIBaseClassImpl*) {
    return 0;
}

void CIBaseClassImpl::Create() {
    Register();
}

void CIBaseClassImpl::Register() {
    if (interpreter != nullptr && classIndex < kClassSlotCount)
        serial = ++interpreter->classSerials[classIndex];
    alive = 1;
}

void CIBaseClassImpl::Unregister() {
    alive = 0;
}

int CIBaseClassImpl::IsReferenced() {
    return useCount > 0;
}

int32_t CIBaseClassImpl::GetProjectKindMask() {
    return -1;
}

int CIBaseClassImpl::AddReference(CValue* value) {
    if (backReferenceCount == backReferenceCapacity) {
        if (backReferenceCapacity > INT32_MAX - kReferenceGrowth) return 0;
        int32_t capacity = backReferenceCapacity + kReferenceGrowth;
        if (!MemRealloc(size_t(capacity) * sizeof(CValue*), &backReferences)) return 0;
        backReferenceCapacity = capacity;
    }
    backReferences[backReferenceCount++] = value;
    return 1;
}

void CIBaseClassImpl::RemoveReference(CValue* value) {
    // From the end: the values released first are mostly the ones entered last.
    for (int32_t i = backReferenceCount - 1; i >= 0; --i) {
        if (backReferences[i] == value) {
            backReferences[i] = backReferences[--backReferenceCount];
            return;
        }
    }
}

int CIBaseClassImpl::MarkDeleted() {
    if (deletingMark != 0) return 0;
    deletingMark = 1;
    return 1;
}
