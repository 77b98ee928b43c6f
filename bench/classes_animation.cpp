// The Animation control class on the headless display.
//
// Animation: frames per second of a 640 x 480 ANMZ of the project's animation bank played
// into its own window and into a Surface, at speed factors 100 and 400. Each iteration
// moves the test clock on by one frame delay of the animation (40 ms), lets the frame timer
// step and draws in a refresh pass; the frames counted are those the timer passed (four per
// step at 400, decoded together when the frame is drawn).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "classes/surface/surface_classes.h"
#include "classes/window/controls/animation_class.h"
#include "classes/window/window_classes.h"
#include "foundation/containers/ptr_array.h"
#include "foundation/streams/mem_out_stream.h"
#include "graphics2d/formats/anmz_handler.h"
#include "graphics2d/formats/image_file_manager.h"
#include "platform/display/headless_display.h"
#include "platform/kernel/clock.h"
#include "platform/kernel/test_hooks.h"
#include "script/classes/base_class.h"
#include "script/classes/script_classes.h"
#include "script/interpreter/interpretor.h"
#include "script/language/token_compiler.h"
#include "script/project/project_file.h"
#include "script/project/project_format.h"
#include "script/project/project_test_data.h"
#include "script/runtime/run_application.h"
#include "support/temp_dir.h"

namespace {

constexpr int32_t kFilmWidth = 640;
constexpr int32_t kFilmHeight = 480;
constexpr int kFilmFrames = 16;
constexpr uint32_t kFrameDelay = 40;

// A bar sweeping over a gradient: every frame differs from the one before in a band.
std::string Film() {
    CANMZHandler writer;
    CMemOutStream out;
    const int32_t pitch = kFilmWidth * 3;
    writer.BeginWrite(out, kFilmWidth, kFilmHeight, 24, kFilmFrames, kFrameDelay, 1, 0, nullptr, 0);
    std::vector<uint8_t> previous;
    for (int frame = 0; frame < kFilmFrames; ++frame) {
        std::vector<uint8_t> pixels(size_t(pitch) * kFilmHeight);
        for (int32_t y = 0; y < kFilmHeight; ++y) {
            for (int32_t x = 0; x < kFilmWidth; ++x) {
                uint8_t* p = &pixels[size_t(y) * pitch + size_t(x) * 3];
                bool bar = (x / 40) == frame;
                p[0] = uint8_t(bar ? 255 : x / 3);
                p[1] = uint8_t(bar ? 40 : y / 2);
                p[2] = uint8_t((x + y) / 5);
            }
        }
        writer.WriteFrame(out, previous.empty() ? nullptr : previous.data(), pixels.data(),
                          kFilmWidth, kFilmHeight, pitch, 24, nullptr, kFrameDelay, 0);
        previous = std::move(pixels);
    }
    writer.EndWrite(out);
    const auto* bytes = reinterpret_cast<const char*>(out.GetBuffer());
    return std::string(bytes, bytes + out.GetLength());
}

// Runs a program that leaves an Animation of the project's "film" playing, then steps it.
class FilmRun {
public:
    explicit FilmRun(const std::string& program) {
        platform::headless::Install();
        RegisterWindowClasses();
        RegisterSurfaceClasses();
        RegisterScriptClasses();
        InitGlobalUI();
        using namespace project_test;
        Entry main;
        main.name = "Main";
        main.banks = {Bank{kSourceBank, "Sources", {Element("main", "x = 1;")}},
                      Bank{kAnimationBank, "Animations", {Element("film", Film())}}};
        folder_.WriteFile("film.dat", Project({main}));
        interpreter.imageFileManager = new ImageFileManager;
        interpreter.imageFileManager->Init(0);
        PtrArray names;
        BuildBuiltinClassNameList(names);
        interpreter.InitClassRegistry(names);
        interpreter.projectFile = new CProjectFile(&interpreter);
        interpreter.projectFile->Open(nullptr, folder_.Win("film.dat").c_str(), nullptr);
        platform::test::FreezeClock(1000);
        report.AddSourceText(program.data(), uint32_t(program.size()), 0, "bench.zs", 0);
        interpreter.GetCompiler()->Compile(report);
        interpreter.Start(report);
        interpreter.RunMain(report, nullptr);
        uint32_t position = interpreter.GetFirstObjectPos(CIAnimation::kClassId);
        animation =
            static_cast<CIAnimation*>(interpreter.GetNextObject(CIAnimation::kClassId, position));
    }
    ~FilmRun() {
        interpreter.Close();
        platform::test::UnfreezeClock();
        ShutdownGlobalUI();
        UnregisterWindowClasses();
    }

    // Moves the clock on by a frame delay, steps the timer and draws: the frames passed.
    int64_t Step() {
        int32_t before = animation->currentFrame;
        platform::test::AdvanceClock(kFrameDelay);
        interpreter.AdvanceTimeDriven(timeGetTime());
        interpreter.RefreshPass();
        int32_t after = animation->currentFrame;
        return (after - before + kFilmFrames) % kFilmFrames;
    }

    test_support::TempDir folder_;
    CInterpretor interpreter{0, nullptr};
    CTokenInfos report;
    CIAnimation* animation = nullptr;
};

void PlayFilm(benchmark::State& state, const std::string& target) {
    const std::string program = "w = New Window(Window.NOSURFACE, 660, 500, 0, 0);\n" + target +
                                "a.SetSpeedFactor(" + std::to_string(state.range(0)) +
                                ");\na.Play(Animation.LOOP_INFINITE);\n";
    FilmRun run(program);
    if (run.animation == nullptr) {
        state.SkipWithError("the Animation was not made");
        return;
    }
    int64_t frames = 0;
    for (auto _ : state)
        frames += run.Step();
    state.counters["frames/s"] = benchmark::Counter(double(frames), benchmark::Counter::kIsRate);
}

void BM_AnimationIntoItsWindow(benchmark::State& state) {
    PlayFilm(state, "a = New Animation(\"film\", 10, 10);\n");
}
BENCHMARK(BM_AnimationIntoItsWindow)->Arg(100)->Arg(400)->Unit(benchmark::kMillisecond);

void BM_AnimationIntoASurface(benchmark::State& state) {
    PlayFilm(state, "s = New Surface(640, 480);\na = New Animation(\"film\", s);\n");
}
BENCHMARK(BM_AnimationIntoASurface)->Arg(100)->Arg(400)->Unit(benchmark::kMillisecond);

} // namespace
