// The sound side of a frame: a Camera's listener and 64 Speakers brought to the scene, as the
// Camera does after each frame it draws. A script builds the scene (a World in a window of
// the headless display, its Camera, 64 Speakers of a project's sound bank, 3D channels of
// the sound layer on its null output); each iteration then moves every Speaker and the
// camera and updates them for the next millisecond. Counter: frames a second.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "audio/manager/sound_manager.h"
#include "classes/scene3d/camera_class.h"
#include "classes/scene3d/scene3d_classes.h"
#include "classes/scene3d/speaker_class.h"
#include "classes/surface/surface_classes.h"
#include "classes/system/system_classes.h"
#include "classes/window/window_classes.h"
#include "engine3d/render/registry.h"
#include "engine3d/scene/objects/object.h"
#include "foundation/containers/ptr_array.h"
#include "graphics2d/formats/image_file_manager.h"
#include "packer/project_chunk_writer.h"
#include "packer/project_model.h"
#include "packer/project_writer.h"
#include "platform/display/headless_display.h"
#include "script/classes/base_class.h"
#include "script/classes/script_classes.h"
#include "script/interpreter/ierror.h"
#include "script/interpreter/interpretor.h"
#include "script/language/token_compiler.h"
#include "script/project/project_file.h"
#include "script/project/project_format.h"
#include "script/runtime/display_list.h"
#include "script/runtime/launch_info.h"
#include "script/runtime/run_application.h"

namespace {

constexpr int kSpeakers = 64;

void SetUpOnce() {
    [[maybe_unused]] static const bool ready = [] {
        setenv("ZORV_GL", "off", 1);
        setenv("ZORV_AUDIO", "null", 1);
        platform::headless::Install();
        // The window class is registered by InitGlobalUI once the window classes are.
        RegisterWindowClasses();
        InitGlobalUI();
        SoundMgr_Install();
        RegisterSystemClasses();
        RegisterSurfaceClasses();
        RegisterScene3DClasses();
        RegisterScriptClasses();
        SetAPIRegistry(&GetBackEndRegistry());
        return true;
    }();
}

// A second of 8-bit mono sound at 8000 Hz.
std::vector<uint8_t> Wav() {
    constexpr uint32_t frames = 8000;
    std::vector<uint8_t> out = {'R', 'I', 'F', 'F'};
    auto put = [&out](uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            out.push_back(uint8_t(value >> (8 * i)));
    };
    put(36 + frames, 4);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put(16, 4);
    put(1, 2);
    put(1, 2);
    put(8000, 4);
    put(8000, 4);
    put(1, 2);
    put(8, 2);
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    put(frames, 4);
    out.insert(out.end(), frames, 0x80);
    return out;
}

// The project file holding "hum.wav" in its sound bank; its path.
std::string WriteProject() {
    PackProject project;
    PackEntry entry;
    entry.name = "Main";
    PackElement hum;
    hum.name = "hum.wav";
    hum.data = Wav();
    BankOfType(entry, project_format::kSoundBank).elements = {hum};
    project.entries.push_back(entry);
    ProjectChunkWriter out;
    std::string error;
    if (!WriteProjectData(project, out, error)) return {};
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / "zorv_speaker_bench.dat";
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(out.Bytes().data()),
               std::streamsize(out.Bytes().size()));
    return path.string();
}

void BM_SpeakersUpdatedPerFrame(benchmark::State& state) {
    SetUpOnce();
    const std::string projectPath = WriteProject();
    CLaunchInfo launch;
    CInterpretor interpreter(0, &launch);
    PtrArray names;
    BuildBuiltinClassNameList(names);
    if (interpreter.InitClassRegistry(names) != 1) return state.SkipWithError("no classes");
    interpreter.imageFileManager = new ImageFileManager;
    interpreter.imageFileManager->Init(0);
    interpreter.projectFile = new CProjectFile(&interpreter);
    if (interpreter.projectFile->Open(nullptr, projectPath.c_str(), nullptr) != 0)
        return state.SkipWithError("the project could not be opened");
    const std::string source = "win = New Window(160, 120, 0, 0);\n"
                               "w = New World(win);\n"
                               "c = New Camera(w, win);\n"
                               "For (i = 0; i < " +
                               std::to_string(kSpeakers) +
                               "; i++) {\n"
                               "    s = New Speaker(\"hum.wav\", c, i * 10, 0, 500);\n"
                               "    s.SetLoop();\n"
                               "    s.PlaySound();\n"
                               "}\n";
    CTokenInfos report;
    report.AddSourceText(source.data(), uint32_t(source.size()), 0, "bench.zs", 0);
    if (interpreter.GetCompiler()->Compile(report) != 1) return state.SkipWithError("compile");
    int32_t code = 0;
    try {
        interpreter.Start(report);
        interpreter.RunMain(report, nullptr);
    } catch (CIError* error) {
        code = error->code;
    }
    if (const CIError* error = report.GetPendingError()) code = error->code;
    if (code != 0)
        return state.SkipWithError(("the script ended with error " + std::to_string(code)).c_str());
    uint32_t position = interpreter.GetFirstObjectPos(CICamera::kClassId);
    auto* camera = static_cast<CICamera*>(interpreter.GetNextObject(CICamera::kClassId, position));
    if (camera == nullptr || camera->speakers.size() != size_t(kSpeakers))
        return state.SkipWithError("the scene has not its speakers");
    uint32_t now = 1;
    for (auto _ : state) {
        ++now;
        camera->engineObject->position[0] = float(now % 100);
        for (CISpeaker* speaker : camera->speakers)
            speaker->engineObject->position[2] = float(500 + now % 50);
        CISpeaker::UpdateAll3D(*camera, now, nullptr);
    }
    state.counters["frames/s"] =
        benchmark::Counter(1, benchmark::Counter::kIsIterationInvariantRate);
    std::filesystem::remove(projectPath);
}
BENCHMARK(BM_SpeakersUpdatedPerFrame)->Unit(benchmark::kMicrosecond);

} // namespace
