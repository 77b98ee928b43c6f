#include <gtest/gtest.h>

#include <string>

#include "classes/system/timer_class.h"
#include "platform/kernel/test_hooks.h"
#include "script/script_runner.h"

namespace {

// On the frozen clock a wait moves time on by exactly what it waits, so the number of
// expiries in a wait is known.
class TimerClass : public ::testing::Test {
protected:
    void SetUp() override { platform::test::FreezeClock(0xFFFFF000u); }
    void TearDown() override { platform::test::UnfreezeClock(); }
    std::string Run(const std::string& source) {
        script_test::ScriptResult result = runner.Run(source);
        EXPECT_EQ(result.ok, 1) << "error " << result.code << " line " << result.line + 1;
        return result.output;
    }
    script_test::ScriptRunner runner;
};

TEST_F(TimerClass, ExpiriesFollowTheIntervalAndTheLayerClampsIt) {
    EXPECT_EQ(
        Run("n = 0; Function Tick(t) { n++; }\n"
            "t = New Timer(100); t.OnTimeElapsed = Tick; t.Start();\n"
            "Program.Wait(1050);\nt.Stop();\nPrint(n, t.IsStarted());\n"
            "n = 0; Program.Wait(500); Print(n);\n"
            // Below the layer's minimum of 10 ms.
            "t.SetInterval(2); t.Start(); Program.Wait(205); t.Stop(); Print(n);\n"
            // A negative interval becomes the longest one.
            "n = 0; t.SetInterval(-1); t.Start(); Program.Wait(500); Print(n, t.IsStarted());"),
        "10 0\n0\n20\n0 1\n");
    // The run's end stopped the last one.
    EXPECT_EQ(CITimer::GetRunningCount(), 0u);
}

TEST_F(TimerClass, AHandlerSlowerThanTheIntervalFindsOnePendingEvent) {
    // The statement loop takes messages while the handler runs, which needs time to pass.
    platform::test::UnfreezeClock();
    EXPECT_EQ(Run("n = 0;\n"
                  "Function Tick(t) {\n"
                  "  n++;\n"
                  "  If (n == 1) {\n"
                  "    s = System.GetElapsedTime();\n"
                  "    While (System.GetElapsedTime() - s < 150) x = 1;\n"
                  "    Print(Math.QueuedEvents(), t.GetInterval());\n"
                  "    t.Stop();\n"
                  "  }\n"
                  "}\n"
                  "t = New Timer(10.7); t.OnTimeElapsed = Tick; t.Start();\n"
                  "Program.Wait(100);\nPrint(n);"),
              "1 10\n2\n");
}

TEST_F(TimerClass, StoppingOneOfThreeLeavesTheOthersAndDeletingOneStopsIt) {
    EXPECT_EQ(Run("c[0] = 0; c[1] = 0; c[2] = 0;\n"
                  "Function Tick(t) { i = t.GetPrivateData(); c[i] = c[i] + 1; }\n"
                  "a = New Timer(50); b = New Timer(50); d = New Timer(50);\n"
                  "a.SetPrivateData(0); b.SetPrivateData(1); d.SetPrivateData(2);\n"
                  "a.OnTimeElapsed = Tick; b.OnTimeElapsed = Tick; d.OnTimeElapsed = Tick;\n"
                  "a.Start(); b.Start(); d.Start();\n"
                  "Program.Wait(120);\n"
                  "a.Stop(); c[0] = 0; c[1] = 0; c[2] = 0;\n"
                  "Program.Wait(200);\n"
                  "Print(c[0], c[1] > 0, c[2] > 0);\n"
                  "Delete b;\nc[0] = 0; c[1] = 0; c[2] = 0;\n"
                  "Program.Wait(200);\n"
                  "Print(c[0], c[1], c[2] > 0);"),
              "0 1 1\n0 0 1\n");
    EXPECT_EQ(CITimer::GetRunningCount(), 0u);
}

TEST_F(TimerClass, ANewIntervalWaitsForTheNextStart) {
    EXPECT_EQ(Run("n = 0; Function Tick(t) { n++; }\n"
                  "t = New Timer(100); t.OnTimeElapsed = Tick; t.Start();\n"
                  "t.SetInterval(500);\nProgram.Wait(1000);\nPrint(n, t.GetInterval());\n"
                  "t.Stop(); t.Start(); n = 0;\nProgram.Wait(1000);\nPrint(n);"),
              "10 500\n2\n");
}

} // namespace
