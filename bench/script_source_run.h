// Runs a script from memory in an interpreter the caller has made, for the benchmarks that
// time whole scripts.
#pragma once

#include <cstdint>
#include <string>

class CInterpretor;

// Gives `interpreter` its classes, compiles `source` as one unit with `unitFlags` and runs it:
// the error code that ended the run, 0 for a normal end, -1 when it does not compile.
int32_t RunScriptSource(CInterpretor& interpreter, const std::string& source, uint32_t unitFlags);
