#include "script/interpreter/compiled_methods.h"

#include "script/classes/base_class.h"
#include "script/interpreter/compiled_code.h"
#include "script/interpreter/interpretor.h"

RegisterInstruction MethodInstruction(uint32_t target, uint32_t classId,
                                      const CompiledMethodSite& site, uint8_t* token) {
    // The sites of a function are all made before its number code is written, and stay
    // where they are as long as the function's code does.
    return RegisterInstruction{uint16_t(kRegisterMethod), uint8_t(target), classId,
                               int64_t(reinterpret_cast<uintptr_t>(&site)), token};
}

bool CallNumberMethod(const RegisterInstruction& instruction, double argument, double& result) {
    // A handler run between statements may have deleted or replaced the singleton, and the
    // class's description may have been registered again since the site resolved its method.
    const CIBaseClassImpl* object = CInterpretor::Current()->GetSingleton(instruction.left);
    if (object == nullptr) return false;
    const auto* site = reinterpret_cast<const CompiledMethodSite*>(uintptr_t(instruction.right));
    const CClassRecord* record = object->classRecord;
    if (record == nullptr || site->record != record || record->info == nullptr) return false;
    const ScriptClassInfo& info = *record->info;
    const NumberMethod method =
        site->id < info.numberMethodCount ? info.numberMethods[site->id] : nullptr;
    if (method == nullptr) return false;
    result = method(argument);
    return true;
}
