// Sprites of a project's banks: a project with an image element (with its hot spot) and an
// animation element runs in the player's run loop on the headless display; the script
// writes what it sees into a file that the test reads back.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "classes/surface/surface_classes.h"
#include "classes/system/system_classes.h"
#include "classes/window/window_classes.h"
#include "foundation/streams/mem_out_stream.h"
#include "graphics2d/formats/anmz_handler.h"
#include "packer/pack_output.h"
#include "packer/project_chunk_writer.h"
#include "packer/project_model.h"
#include "packer/project_writer.h"
#include "platform/display/headless_display.h"
#include "platform/display/input_script.h"
#include "platform/kernel/clock.h"
#include "platform/kernel/test_hooks.h"
#include "script/classes/base_class.h"
#include "script/classes/class_table.h"
#include "script/classes/script_classes.h"
#include "script/project/project_format.h"
#include "script/runtime/launch_info.h"
#include "script/runtime/run_application.h"
#include "support/case_folder.h"
#include "support/temp_dir.h"

namespace {

namespace pf = project_format;

// An 8 x 8 ball: red inside a black (transparent) border, its hot spot at (3, 2).
PackElement Ball() {
    PackElement ball;
    ball.kind = PackElement::Kind::RawImage;
    ball.name = "ball";
    ball.width = 8;
    ball.height = 8;
    ball.depth = 32;
    ball.x = 3;
    ball.y = 2;
    const uint32_t pitch = SurfacePitch(8, 32);
    ball.data.assign(size_t(pitch) * 8, 0);
    for (uint32_t y = 2; y < 6; ++y)
        for (uint32_t x = 2; x < 6; ++x)
            ball.data[y * pitch + x * 4 + 2] = 0xFF;
    return ball;
}

// Three frames of 4 x 4, 100 ms each.
PackElement Spin() {
    CANMZHandler writer;
    CMemOutStream out;
    EXPECT_EQ(writer.BeginWrite(out, 4, 4, 24, 3, 100, 1, 0, nullptr, 0), kImageOk);
    for (uint8_t frame = 0; frame < 3; ++frame) {
        std::vector<uint8_t> pixels(12 * 4, uint8_t(0x40 * (frame + 1)));
        EXPECT_EQ(writer.WriteFrame(out, nullptr, pixels.data(), 4, 4, 12, 24, nullptr, 100, 0),
                  kImageOk);
    }
    writer.EndWrite(out);
    PackElement spin;
    spin.name = "spin";
    const uint8_t* bytes = static_cast<const uint8_t*>(out.GetBuffer());
    spin.data.assign(bytes, bytes + out.GetLength());
    return spin;
}

class SpriteElements : public ::testing::Test {
protected:
    void SetUp() override {
        platform::headless::Install();
        RegisterSystemClasses();
        RegisterWindowClasses();
        RegisterSurfaceClasses();
        RegisterScriptClasses();
    }
    void TearDown() override {
        for (uint32_t id = 1; id < kBuiltinClassCount; ++id)
            UnregisterScriptClass(id);
    }

    // Runs the script in a project with the two elements; the lines it wrote. With
    // `steps`, the clock moves as they say each time the script waits.
    std::vector<std::string> Run(const std::string& body, const std::string& steps = "") {
        const std::string results = folder_.Win("results.txt");
        const std::string source = "w = New Window(\"Frames\", 100, 80);\n"
                                   "out = New File(\"" +
                                   results + "\");\n" + body + "out.Close();\n";
        PackProject project;
        project.classes = {"Window", "Sprite", "Surface", "File", "Program", "System"};
        PackEntry entry;
        entry.name = "Main";
        PackElement module;
        module.name = "main.zs";
        module.data.assign(source.begin(), source.end());
        BankOfType(entry, pf::kSourceBank).elements.push_back(module);
        BankOfType(entry, pf::kImageBank).elements.push_back(Ball());
        BankOfType(entry, pf::kAnimationBank).elements.push_back(Spin());
        project.entries.push_back(entry);
        ProjectChunkWriter data;
        std::string error;
        EXPECT_TRUE(WriteProjectData(project, data, error)) << error;
        EXPECT_TRUE(WriteBareProject(data.Bytes(), folder_.Linux("project.zp"), error)) << error;
        CLaunchInfo launch;
        launch.projectPath = folder_.Win("project.zp");
        if (!steps.empty()) {
            std::vector<platform::InputStep> parsed;
            EXPECT_TRUE(platform::ParseInputScript(steps, parsed, error)) << error;
            platform::headless::InstallInputScript(std::move(parsed),
                                                   [&launch] { launch.stopRequest = 1; });
            // Only the steps move the clock.
            platform::test::FreezeClock(timeGetTime());
        }
        RunApplication(launch);
        platform::test::UnfreezeClock();
        platform::headless::Install();
        EXPECT_EQ(launch.outcome, RunOutcome::Ended) << "error " << launch.errorCode;
        std::ifstream file(folder_.Linux("results.txt"));
        std::vector<std::string> lines;
        for (std::string line; std::getline(file, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            lines.push_back(line);
        }
        return lines;
    }

    test_support::CaseFolder user_;
    test_support::TempDir folder_;
};

TEST_F(SpriteElements, AnImageElementIsPlacedByItsHotSpotAndTestedByItsPixels) {
    const std::vector<std::string> lines =
        Run("a = New Sprite(10, 20, \"ball\");\n"
            "out.WriteLn(\"\" + a.GetLeft() + \" \" + a.GetTop() + \" \" + a.GetRight() + \" \" + "
            "a.GetBottom() + \" \" + a.GetHotSpotX() + \" \" + a.GetHotSpotY());\n"
            "out.WriteLn(\"\" + a.IsPointIn(7, 18) + \" \" + a.IsPointIn(9, 21) + \" \" + "
            "a.IsPointIn(15, 25));\n"
            "a.SetHotSpot(0, 0);\n"
            "a.Set(10, 20, \"ball\");\n"
            "out.WriteLn(\"\" + a.GetLeft() + \" \" + a.GetTop());\n"
            "a.Set(10, 20, 0);\n"
            "out.WriteLn(\"\" + a.GetLeft() + \" \" + a.GetTop() + \" \" + a.GetWidth());\n");
    // Setting the image already shown, by name or by number, keeps the moved hot spot.
    EXPECT_EQ(lines, (std::vector<std::string>{"7 18 15 26 3 2", "0 1 0", "10 20", "10 20 8"}));
}

TEST_F(SpriteElements, AnAnimationStepsThroughItsFramesAndStopsAtItsEnds) {
    const std::vector<std::string> lines =
        Run("b = New Sprite(w, 0, 0, \"spin\");\n"
            "out.WriteLn(\"\" + b.GetNFrames() + \" \" + b.GetFrame() + \" \" + b.GetWidth());\n"
            "b.PrevFrame();\n"
            "out.WriteLn(\"\" + b.GetFrame());\n"
            "b.NextFrame(); b.NextFrame(); b.NextFrame();\n"
            "out.WriteLn(\"\" + b.GetFrame());\n"
            "b.SetFrame(1);\n"
            "out.WriteLn(\"\" + b.GetFrame() + \" \" + b.IsPlaying());\n"
            "b.Play(Sprite.LOOP_INFINITE, 0, Sprite.REVERSE);\n"
            "out.WriteLn(\"\" + b.GetFrame() + \" \" + b.IsPlaying() + \" \" + b.IsPaused());\n"
            "b.Pause();\n"
            "out.WriteLn(\"\" + b.IsPaused());\n"
            "b.Resume();\n"
            "b.Stop();\n"
            "out.WriteLn(\"\" + b.IsPaused() + \" \" + b.IsPlaying());\n"
            "b.SetSpeedFactor(0);\n"
            "out.WriteLn(\"\" + b.GetSpeedFactor());\n");
    EXPECT_EQ(lines,
              (std::vector<std::string>{"3 0 4", "0", "2", "1 0", "2 1 0", "1", "0 0", "1"}));
}

TEST_F(SpriteElements, ResumeGoesOnFromThePausedFrame) {
    // Frames of 100 ms; each Wait takes one step of the clock, ended by a mouse move.
    const std::vector<std::string> lines =
        Run("b = New Sprite(w, 0, 0, \"spin\");\n"
            "b.Play(Sprite.LOOP_INFINITE);\n"
            "Program.Wait(10);\n"
            "out.WriteLn(\"\" + b.GetFrame());\n"
            "b.Pause();\n"
            "Program.Wait(10);\n"
            "out.WriteLn(\"\" + b.GetFrame() + \" \" + b.IsPaused());\n"
            "b.Resume();\n"
            "Program.Wait(10);\n"
            "out.WriteLn(\"\" + b.GetFrame());\n"
            "Program.Wait(10);\n"
            "out.WriteLn(\"\" + b.GetFrame());\n",
            "window Frames\nwait 150\nmove 1 1\nwait 1000\nmove 2 2\nwait 50\nmove 3 3\n"
            "wait 100\nmove 4 4\n");
    EXPECT_EQ(lines, (std::vector<std::string>{"1", "1 1", "1", "2"}));
}

} // namespace
