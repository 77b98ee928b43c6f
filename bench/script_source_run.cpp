#include "script_source_run.h"

#include "foundation/containers/ptr_array.h"
#include "script/classes/class_table.h"
#include "script/interpreter/ierror.h"
#include "script/interpreter/interpretor.h"
#include "script/language/token_compiler.h"

int32_t RunScriptSource(CInterpretor& interpreter, const std::string& source, uint32_t unitFlags) {
    PtrArray names;
    BuildBuiltinClassNameList(names);
    if (interpreter.InitClassRegistry(names) != 1) return 15;
    CTokenInfos report;
    report.AddSourceText(source.data(), uint32_t(source.size()), unitFlags, "bench.zs", 0);
    if (interpreter.GetCompiler()->Compile(report) != 1) return -1;
    try {
        interpreter.Start(report);
        if (interpreter.RunMain(report, nullptr) == 1) return 0;
    } catch (CIError* error) {
        report.SetPendingError(error);
    }
    const CIError* error = report.GetPendingError();
    return error != nullptr ? error->code : interpreter.lastEndCode;
}
