#include "script_program_runner.h"
#include "script_source_run.h"

#include <cstdlib>

#include "classes/scene3d/math_class.h"
#include "classes/scene3d/matrix_class.h"
#include "classes/scene3d/vector_class.h"
#include "script/classes/base_class.h"
#include "script/classes/script_program.h"
#include "script/classes/string_class.h"
#include "script/interpreter/interpretor.h"
#include "script/language/token_infos.h"

namespace {

// The classes every run has: Program (the error road), String, and the maths classes
// Math, Vector and Matrix.
void RegisterClasses() {
    [[maybe_unused]] static const bool registered = [] {
        RegisterScriptClass(GetProgramClassInfo());
        RegisterScriptClass(GetStringClassInfo());
        RegisterScriptClass(GetMathClassInfo());
        RegisterScriptClass(GetVectorClassInfo());
        RegisterScriptClass(GetMatrixClassInfo());
        return true;
    }();
}

// Runs `source` in a fresh interpreter; the error that ended it, or 0.
int32_t RunScript(const std::string& source) {
    CInterpretor interpreter;
    // ZORV_COMPILED_FORM=0 measures the token walk alone.
    const char* compiled = std::getenv("ZORV_COMPILED_FORM");
    if (compiled != nullptr && compiled[0] == '0') interpreter.compiledForm = 0;
    return RunScriptSource(interpreter, source, kUnitOwnsText);
}

} // namespace

void BM_ScriptProgram(benchmark::State& state, const std::string& source) {
    RegisterClasses();
    for (auto _ : state) {
        int32_t code = RunScript(source);
        if (code != 0) {
            std::string message = code == -1
                                      ? std::string("the program does not compile")
                                      : "the program ended with error " + std::to_string(code);
            state.SkipWithError(message.c_str());
            return;
        }
    }
}
