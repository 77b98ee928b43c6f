#include <gtest/gtest.h>

#include <string>

#include "script/script_runner.h"
#include "support/temp_dir.h"

namespace {

// A text world holding one animated object, "Walker", whose key-track animation runs from
// frame 0 to 20.
const char kWalkerWorld[] = "\r\n[SCRIPT_INFORMATION]\r\nSCR_Version = 1068708663\r\n"
                            "\r\n[BASECLUSTER]\r\nBCL_NbStaticObj = 0\r\nBCL_NbDynamicObj = 1\r\n"
                            "\r\n[OBJECT]\r\nOBJ_Objecttype = 'AnimRovovazuz'\r\n"
                            "OBJ_ObjName = 'Walker'\r\nLKA_StartFrame = 0\r\nLKA_EndFrame = 20\r\n";

class ObjectAnimation : public ::testing::Test {
protected:
    void SetUp() override { dir.WriteFile("walker.yix", kWalkerWorld); }
    // A script run with `w` holding the walker and `o` its Object, the clock stopped, and
    // Tick() moving it on by one 50 ms tick; its output, or "error N line L".
    std::string Run(const std::string& body) {
        const script_test::ScriptResult result =
            runner.Run("UseRenderers();\nUiAdvance(0);\n"
                       "Function Tick() { UiAdvance(50); For (k = 0; k < 12; k++) x = k; }\n"
                       "w = New World(New Surface(32, 32));\nw.Load(\"C:" +
                       dir.Linux("walker.yix") + "\");\no = w.GetObject(\"Walker\");\n" + body);
        if (result.ok != 1)
            return result.output + "error " + std::to_string(result.code) + " line " +
                   std::to_string(result.line + 1);
        return result.output;
    }

    test_support::TempDir dir;
    script_test::ScriptRunner runner;
};

TEST_F(ObjectAnimation, TheKinematicChannelPlaysTheKeyTrackSequences) {
    EXPECT_EQ(Run("Print(o.GetAnimMode(), o.GetAnim(), o.GetNFrames());\n"
                  "o.AddAnimDefinition(\"Walk\", 4, 20, -1, 4, 0, 100);\n"
                  "o.PlayAnim(\"Walk\", 100);\nTick();\nTick();\nPrint(o.GetFrame());\n"
                  // The mesh channel has its own sequences and leaves this one stopped.
                  "o.SetAnimMode(2);\nPrint(o.GetAnim(), o.GetNFrames(\"Walk\"));\n"
                  "o.SetAnimMode(1);\nTick();\nPrint(o.GetFrame(), o.SetAnimSpeed(50));\n"),
              "1 Main 21\n9\nMain 0\n9 0\n");
}

TEST_F(ObjectAnimation, APlainObjectHasNoKinematicChannel) {
    EXPECT_EQ(Run("b = w.CreateBrick();\nPrint(b.PlayAnim(\"Main\"), b.GetAnimMode());\n"
                  "b.StopAnim();\nb.SetAnimSpeed(20);\nb.AddAnimDefinition(\"A\", 0, 1);\n"),
              "0 1\nerror 72 line 11");
}

TEST_F(ObjectAnimation, APlayingObjectCanGoAtAnyTime) {
    // Each way out takes the timer off the animated list; the ticks after find nothing.
    EXPECT_EQ(
        Run("o.PlayAnim(\"Main\", 100, Object.LOOPINFINITE);\nTick();\nDelete o;\nTick();\n"
            "b = w.CreateBrick();\nb.SetAnimMode(2);\nb.AppendObjectAsMeshFrame(w.CreateBrick());\n"
            "b.PlayAnim(\"Main\", 100, Object.LOOPINFINITE);\nTick();\nDelete w;\nTick();\n"
            "Print(b);\n"),
        "0\n");
}

} // namespace
