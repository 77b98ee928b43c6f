// Calls of a singleton's methods of numbers inside register programs: the number code of
// `total = total + Math.Sin(x)` or `d = Math.Pow(x, 2)` calls the class's NumberMethod or
// NumberFunction from one instruction, so that the statement, and a loop round made of such
// statements, stays one register program rather than replaying its steps.
#pragma once

#include <cstdint>
#include <vector>

#include "script/interpreter/compiled_code.h"
#include "script/interpreter/compiled_numbers.h"
#include "script/interpreter/compiled_register_kinds.h"
#include "script/interpreter/interpretor.h"

// Register `target` given what the method of the call site `right` (a CompiledMethodSite)
// gives for the number in register `target` + 1 (kRegisterMethod), or for those in registers
// `target` and `target` + 1 (kRegisterMethodOfTwo), the site being that of a method of the
// singleton of class `left`. The instruction fails, before any effect, while the singleton is
// gone, is of another class than the one the site last resolved the method on, the method is
// neither a NumberMethod nor a NumberFunction of as many arguments there, or it would fail
// for these numbers: the full steps then call it, as the walk does.
constexpr uint32_t kRegisterMethod = kRegisterBinary + kNumberOperatorCount * kRegisterForms;
constexpr uint32_t kRegisterMethodOfTwo = kRegisterMethod + 1;
// Into `target`: the number in the cell of the element of one index `elements[left]` names,
// at the integer in register `target` + 1 (IndexedElementCell).
constexpr uint32_t kRegisterIndexedElement = kRegisterMethodOfTwo + 1;
// Into `target`: register `target` + 1, the index of the element a statement stores into,
// false unless it is an integer.
constexpr uint32_t kRegisterElementIndex = kRegisterIndexedElement + 1;
// Into `target`: what the function of the call site `right` (a CompiledCallSite) returns for
// the `left` integers in the registers from `target` + 1 on, while the site's name `token`
// holds the function the site last called and that function is answered from its Return
// (QuickReturnOf), which has no effect; it gives up otherwise, nothing having changed. A site
// whose function runs in full leaves the statement to the full steps from then on.
constexpr uint32_t kRegisterCall = kRegisterElementIndex + 1;

// A kLoopMethodNumbers' `left`: the class in the low 16 bits, then the kinds its arguments were
// written for and the kind of its result.
constexpr uint32_t kMethodFirstKind = 1u << 16;
constexpr uint32_t kMethodSecondKind = 1u << 17;
constexpr uint32_t kMethodOfTwo = 1u << 18;
constexpr uint32_t kMethodGivesDouble = 1u << 19;

// The instruction of the call of `arguments` arguments whose singleton's class is `classId`
// and whose site is `site`.
RegisterInstruction MethodInstruction(uint32_t target, uint32_t arguments, uint32_t classId,
                                      const CompiledMethodSite& site);

// The NumberMethod of kLoopMethodDouble `instruction` while the singleton it calls is of the
// class its site resolved the method on (a handler run between statements may have replaced
// the singleton, and the site may have met another class since); null otherwise. Inline, so
// that a loop program's call of Math.Sin costs a few loads and compares besides the call.
[[gnu::always_inline]] inline NumberMethod
SiteNumberMethod(const RegisterInstruction& instruction) {
    const auto& site = *reinterpret_cast<const CompiledMethodSite*>(uintptr_t(instruction.right));
    const CIBaseClassImpl* object =
        CInterpretor::Current()->GetSingleton(instruction.left & 0xffff);
    if (object == nullptr || site.record == nullptr || object->classRecord != site.record)
        return nullptr;
    const ScriptClassInfo* info = site.record->info;
    return info != nullptr && site.id < info->numberMethodCount ? info->numberMethods[site.id]
                                                                : nullptr;
}
// What the method of kRegisterMethod, kRegisterMethodOfTwo or kLoopMethodNumbers
// `instruction` gives for `first` (and `second`, for a method of two) into `result`; false
// when the method cannot be called that way now.
[[gnu::noinline]] bool CallNumberMethod(const RegisterInstruction& instruction, Number first,
                                        Number second, Number& result);
// The call sites of the kRegisterCall instructions of `program`, written as their indices
// among `sites`, made their places: the sites of a function all exist once its number code is
// written, and stay where they are as long as its code does.
void PlaceCallSites(NumberProgram& program, std::vector<CompiledCallSite>& sites);

// Whether `program` calls a function (kRegisterCall), whose result's kind is known only once
// it returns: kinded code is written for it only in a loop program, whose call of integer
// arguments (kLoopCall) gives up unless its function is answered from its Return.
bool CallsFunctions(const NumberProgram& program);

// Whether the site of `instruction`, which failed, found a method that is none of those on the
// singleton's class: the full steps call it from then on.
bool CallsInFull(const RegisterInstruction& instruction);

// The kinded instruction of kRegisterMethod or kRegisterMethodOfTwo `instruction` for arguments
// of kinds `first` and `second`, and the kind of its result; false when its method is none
// that number code calls now.
bool KindedMethod(const RegisterInstruction& instruction, uint32_t first, uint32_t second,
                  RegisterInstruction& kinded, uint32_t& kind);
