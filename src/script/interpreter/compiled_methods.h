// Calls of a singleton's method of one number inside register programs: the number code
// of `total = total + Math.Sin(x)` calls the class's NumberMethod from one instruction, so
// that the statement, and a loop round made of such statements, stays one register program
// rather than replaying its steps.
#pragma once

#include <cstdint>

#include "script/interpreter/compiled_register_kinds.h"

struct CompiledMethodSite;

// Register `target` given the double that the method of the call site `right` (a
// CompiledMethodSite) gives for register `target` + 1, the site being that of a method of
// the singleton of class `left`. The instruction fails, before any effect, while the
// singleton is gone, is of another class than the one the site last resolved the method on,
// or the method is no NumberMethod there: the full steps then call it, as the walk does.
constexpr uint32_t kRegisterMethod = kRegisterBinary + kNumberOperatorCount * kRegisterForms;

// The instruction of the call whose singleton's class is `classId` and whose site is `site`.
RegisterInstruction MethodInstruction(uint32_t target, uint32_t classId,
                                      const CompiledMethodSite& site, uint8_t* token);

// The double the method of `instruction` (kRegisterMethod or kLoopMethodDouble) gives for
// `argument` into `result`; false when the method cannot be called that way now.
[[gnu::noinline]] bool CallNumberMethod(const RegisterInstruction& instruction, double argument,
                                        double& result);
