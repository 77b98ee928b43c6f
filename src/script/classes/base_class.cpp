#include "script/classes/base_class.h"

#include "foundation/memory/block_pool.h"
#include "script/interpreter/interpretor.h"

namespace {

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
    DetachLink();
}

void CIBaseClassImpl::ClearReferences() {
    if (link == nullptr) return;
    useCount -= link->holders;
    DetachLink();
}

void CIBaseClassImpl::DetachLink() {
    if (link == nullptr) return;
    link->object = nullptr;
    if (link->holders == 0) FreeLink(link);
    link = nullptr;
}

void CIBaseClassImpl::FreeLink(ObjectLink* link) {
    block_pool::Give(link, sizeof(ObjectLink));
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

ObjectLink* CIBaseClassImpl::Hold() {
    if (link == nullptr) {
        void* block = block_pool::Take(sizeof(ObjectLink));
        if (block == nullptr) return nullptr;
        link = new (block) ObjectLink{this, 0};
    }
    if (link->holders == INT32_MAX) return nullptr;
    ++link->holders;
    return link;
}

int CIBaseClassImpl::MarkDeleted() {
    if (deletingMark != 0) return 0;
    deletingMark = 1;
    return 1;
}
