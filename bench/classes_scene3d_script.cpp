#include "classes_scene3d_script.h"
#include "script_source_run.h"

#include <cstdlib>

#include "classes/scene3d/scene3d_classes.h"
#include "classes/surface/surface_classes.h"
#include "classes/system/system_classes.h"
#include "classes/window/window_classes.h"
#include "engine3d/render/registry.h"
#include "graphics2d/formats/image_file_manager.h"
#include "platform/display/headless_display.h"
#include "script/classes/script_classes.h"
#include "script/interpreter/interpretor.h"
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
    interpreter.imageFileManager = new ImageFileManager;
    interpreter.imageFileManager->Init(0);
    return RunScriptSource(interpreter, source, 0);
}
