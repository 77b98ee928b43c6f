// A world file of any of the four formats loaded through World.Load into a World shown by a
// Camera on the software renderer, then one frame: the detection, the reader, the World's
// wrappers of the textures and materials it made, and the drawing of what was read. The
// same bytes go through LoadObject. Nothing may crash, leak, touch freed memory or meet
// undefined behaviour; what the image readers do with image bytes is their own targets'.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "classes/scene3d/scene3d_classes.h"
#include "classes/surface/surface_classes.h"
#include "classes/system/system_classes.h"
#include "classes/window/window_classes.h"
#include "engine3d/render/registry.h"
#include "foundation/containers/ptr_array.h"
#include "graphics2d/formats/image_file_manager.h"
#include "in_empty_directory.h"
#include "platform/display/headless_display.h"
#include "platform/kernel/test_hooks.h"
#include "script/classes/script_classes.h"
#include "script/interpreter/interpretor.h"
#include "script/language/token_compiler.h"
#include "script/runtime/display_list.h"
#include "script/runtime/launch_info.h"
#include "script/runtime/run_application.h"

namespace {

// The world, its lookups of what the file brought, and a frame; the errors of a bad file
// are caught so that LoadObject runs too.
constexpr char kScript[] = "Function Caught(code, text, unit, line, column) { }\n"
                           "Program.OnError = Caught;\n"
                           "s = New Surface(64, 48);\n"
                           "w = New World(s);\n"
                           "c = New Camera(w, s);\n"
                           "n = w.Load(\"world.bin\");\n"
                           "For (i = 0; i < w.GetNTextures(); i++) { t = w.GetTexture(i); }\n"
                           "For (i = 0; i < w.GetNMaterials(); i++) { m = w.GetMaterial(i); }\n"
                           "o = w.LoadObject(\"world.bin\", \"\");\n"
                           "c.Render();\n"
                           "Delete w;\n";

struct Setup {
    Setup() {
        setenv("ZORV_GL", "off", 1);
        platform::headless::Install();
        platform::test::FreezeClock(1000);
        InitGlobalUI();
        RegisterSystemClasses();
        RegisterWindowClasses();
        RegisterSurfaceClasses();
        RegisterScene3DClasses();
        RegisterScriptClasses();
        SetAPIRegistry(&GetBackEndRegistry());
    }
};

void RunScript() {
    CLaunchInfo launch;
    CInterpretor interpreter(0, &launch);
    PtrArray names;
    BuildBuiltinClassNameList(names);
    if (interpreter.InitClassRegistry(names) != 1) return;
    interpreter.imageFileManager = new ImageFileManager;
    interpreter.imageFileManager->Init(0);
    CTokenInfos report;
    try {
        report.AddSourceText(kScript, uint32_t(sizeof kScript - 1), 0, "world_load.zs", 0);
        if (interpreter.GetCompiler()->Compile(report) != 1) std::abort();
        interpreter.Start(report);
        interpreter.tickInterval = 0;
        interpreter.statementsPerCheck = 0;
        interpreter.RunMain(report, nullptr);
        interpreter.RefreshPass();
    } catch (CIError* error) {
        report.SetPendingError(error);
    }
}

} // namespace

extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Setup setup;
    world_fuzz::InEmptyDirectory here("zorv_fuzz_world_load");
    if (std::FILE* file = std::fopen("world.bin", "wb")) {
        if (size > 0) std::fwrite(data, 1, size, file);
        std::fclose(file);
    }
    RunScript();
    platform::headless::DispatchPending();
    std::remove("world.bin");
    return 0;
}
