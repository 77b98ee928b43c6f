#include "script/interpreter/compiled_methods.h"

#include <algorithm>

#include "script/classes/base_class.h"
#include "script/interpreter/compiled_code.h"
#include "script/interpreter/interpretor.h"

namespace {

const CompiledMethodSite& SiteOf(const RegisterInstruction& instruction) {
    return *reinterpret_cast<const CompiledMethodSite*>(uintptr_t(instruction.right));
}

// The description of the class whose method the site resolved, while the singleton the
// instruction calls is of that class; null otherwise.
const ScriptClassInfo* SiteClass(const RegisterInstruction& instruction) {
    // A handler run between statements may have replaced the singleton, and the call site
    // may have met another class since.
    const CIBaseClassImpl* object =
        CInterpretor::Current()->GetSingleton(instruction.left & 0xffff);
    if (object == nullptr) return nullptr;
    const CClassRecord* record = object->classRecord;
    if (record == nullptr || SiteOf(instruction).record != record) return nullptr;
    return record->info;
}

NumberMethod MethodOf(const ScriptClassInfo& info, uint32_t id) {
    return id < info.numberMethodCount ? info.numberMethods[id] : nullptr;
}

const NumberFunction* FunctionOf(const ScriptClassInfo& info, uint32_t id, uint32_t arguments) {
    if (id >= info.numberFunctionCount || info.numberFunctions[id].arguments != arguments)
        return nullptr;
    return &info.numberFunctions[id];
}

double AsDouble(const Number& n) {
    return n.kind == kValueInt ? double(n.Int()) : n.Dbl();
}

} // namespace

RegisterInstruction MethodInstruction(uint32_t target, uint32_t arguments, uint32_t classId,
                                      const CompiledMethodSite& site) {
    // The sites of a function are all made before its number code is written, and stay
    // where they are as long as the function's code does.
    return RegisterInstruction{uint16_t(arguments == 2 ? kRegisterMethodOfTwo : kRegisterMethod),
                               uint8_t(target), classId,
                               int64_t(reinterpret_cast<uintptr_t>(&site)), nullptr};
}

bool CallNumberMethod(const RegisterInstruction& instruction, Number first, Number second,
                      Number& result) {
    const ScriptClassInfo* info = SiteClass(instruction);
    if (info == nullptr) return false;
    const uint32_t id = SiteOf(instruction).id;
    const bool two =
        instruction.opcode == kRegisterMethodOfTwo ||
        (instruction.opcode == kLoopMethodNumbers && (instruction.left & kMethodOfTwo) != 0);
    if (!two) {
        if (const NumberMethod method = MethodOf(*info, id)) {
            result = Double(method(AsDouble(first)));
            return true;
        }
    }
    const NumberFunction* function = FunctionOf(*info, id, two ? 2 : 1);
    if (function == nullptr) return false;
    if (!two && first.kind == kValueInt && function->onInteger != nullptr) {
        result = Integer(function->onInteger(first.Int()));
        return true;
    }
    double value;
    if (!function->call(AsDouble(first), two ? AsDouble(second) : 0, value)) return false;
    result = function->integer ? Integer(DoubleToInt(value)) : Double(value);
    return true;
}

void PlaceCallSites(NumberProgram& program, std::vector<CompiledCallSite>& sites) {
    for (RegisterInstruction& instruction : program.code)
        if (instruction.opcode == kRegisterCall)
            instruction.right = int64_t(reinterpret_cast<uintptr_t>(&sites[instruction.right]));
}

bool CallsFunctions(const NumberProgram& program) {
    return std::any_of(program.code.begin(), program.code.end(),
                       [](const RegisterInstruction& at) { return at.opcode == kRegisterCall; });
}

bool CallsInFull(const RegisterInstruction& instruction) {
    const CIBaseClassImpl* object =
        CInterpretor::Current()->GetSingleton(instruction.left & 0xffff);
    return object != nullptr && object->classRecord != nullptr &&
           SiteOf(instruction).record == object->classRecord;
}

bool KindedMethod(const RegisterInstruction& instruction, uint32_t first, uint32_t second,
                  RegisterInstruction& kinded, uint32_t& kind) {
    const ScriptClassInfo* info = SiteClass(instruction);
    if (info == nullptr) return false;
    const uint32_t id = SiteOf(instruction).id;
    const bool two = instruction.opcode == kRegisterMethodOfTwo;
    kinded = instruction;
    kind = kValueDouble;
    if (!two && MethodOf(*info, id) != nullptr) {
        // The argument is made a double before it.
        kinded.opcode = kLoopMethodDouble;
        return true;
    }
    const NumberFunction* function = FunctionOf(*info, id, two ? 2 : 1);
    if (function == nullptr) return false;
    if (!two && first == kValueInt && function->onInteger != nullptr)
        kind = kValueInt;
    else if (function->integer)
        kind = kValueInt;
    kinded.opcode = kLoopMethodNumbers;
    kinded.left = (instruction.left & 0xffff) | (first == kValueDouble ? kMethodFirstKind : 0) |
                  (second == kValueDouble ? kMethodSecondKind : 0) | (two ? kMethodOfTwo : 0) |
                  (kind == kValueDouble ? kMethodGivesDouble : 0);
    return true;
}
