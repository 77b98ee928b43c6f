#include "classes_scene3d_script.h"

#include <cstdlib>

#include "classes/scene3d/scene3d_classes.h"
#include "classes/surface/surface_classes.h"
#include "classes/system/system_classes.h"
#include "classes/window/window_classes.h"
#include "engine3d/render/registry.h"
#include "foundation/containers/ptr_array.h"
#include "graphics2d/formats/image_file_manager.h"
#include "platform/display/headless_display.h"
#include "script/classes/base_class.h"
#include "script/classes/script_classes.h"
#include "script/interpreter/ierror.h"
#include "script/interpreter/interpretor.h"
#include "script/language/token_compiler.h"
#include "script/runtime/display_list.h"
#include "script/runtime/launch_info.h"
#include "script/runtime/run_application.h"

void SetUpScene3DScripts() {
    [[maybe_unused]] static const bool ready = [] {
        setenv("ZORV_GL", "off", 1);
        platform::headless::Install();
        InitGlobalUI();
        RegisterSystemClasses();
        RegisterWindowClasses();
        RegisterSurfaceClasses();
        RegisterScene3DClasses();
        RegisterScriptClasses();
        SetAPIRegistry(&GetBackEndRegistry());
        return true;
    }();
}

int32_t RunScene3DScript(const std::string& source) {
    CLaunchInfo launch;
    CInterpretor interpreter(0, &launch);
    PtrArray names;
    BuildBuiltinClassNameList(names);
    if (interpreter.InitClassRegistry(names) != 1) return 15;
    interpreter.imageFileManager = new ImageFileManager;
    interpreter.imageFileManager->Init(0);
    CTokenInfos report;
    report.AddSourceText(source.data(), uint32_t(source.size()), 0, "bench.zs", 0);
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
