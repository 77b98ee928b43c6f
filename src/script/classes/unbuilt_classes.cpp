#include "script/classes/unbuilt_classes.h"

#include <array>
#include <new>

#include "script/classes/class_table.h"

namespace {

// An object of a class not built yet: it never comes alive, so New fails with error 38.
class CIUnbuiltObject final : public CIBaseClassImpl {
public:
    CIUnbuiltObject(CInterpretor* interpreter, const CClassRecord* record)
        : CIBaseClassImpl(interpreter, record, 1) {}
    void Create() override {}
    void Destroy(int) override { delete this; }
};

// New refuses these with error 65 before any construction.
bool IsSingleton(uint32_t classId) {
    for (uint32_t singleton : {2u, 3u, 4u, 39u, 56u, 57u, 59u}) {
        if (classId == singleton) return true;
    }
    return false;
}

CIBaseClassImpl* MakeUnbuilt(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CIUnbuiltObject(&interpreter, record);
}

struct UnbuiltClasses {
    UnbuiltClasses() {
        for (uint32_t id = 1; id < kBuiltinClassCount; ++id) {
            names[id] = {*GetBuiltinClassRow(id), MethodNameRow{0, nullptr, 0, 0}};
            infos[id] = {names[id].data(), MakeUnbuilt, 0, nullptr, 0, nullptr, nullptr};
        }
    }
    std::array<std::array<MethodNameRow, 2>, kBuiltinClassCount> names{};
    std::array<ScriptClassInfo, kBuiltinClassCount> infos{};
};

const UnbuiltClasses& Classes() {
    static const UnbuiltClasses classes;
    return classes;
}

} // namespace

const ScriptClassInfo* GetUnbuiltClassInfo(uint32_t classId) {
    if (classId == 0 || classId >= kBuiltinClassCount) return nullptr;
    return &Classes().infos[classId];
}

void RegisterUnbuiltClasses() {
    for (uint32_t id = 1; id < kBuiltinClassCount; ++id) {
        if (GetScriptClassInfo(id) == nullptr && !IsSingleton(id))
            RegisterScriptClass(GetUnbuiltClassInfo(id));
    }
}
