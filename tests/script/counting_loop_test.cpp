// A counting loop run from its loop form keeps the statement loop's pace: every round
// is a statement for the housekeeping checks, exactly as when the same loop takes the
// expression walk.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "foundation/ptr_array.h"
#include "platform/test_hooks.h"
#include "script/class_table.h"
#include "script/interpretor.h"
#include "script/name_table.h"
#include "script/time_driven.h"
#include "script/token_compiler.h"

namespace {

// Counts the housekeeping checks (each ticks at interval 0).
struct CheckCounter final : public CInterrupt {
    void Tick(uint32_t) override { ++checks; }
    int checks = 0;
};

struct LoopRun {
    int result = 0;
    int checks = 0;
    int32_t i = -1;
};

class CountingLoop : public ::testing::Test {
protected:
    void SetUp() override { platform::test::FreezeClock(100000); }
    void TearDown() override { platform::test::UnfreezeClock(); }

    // Runs `source` with a check counter listed; the result, the checks and the global i.
    static LoopRun Run(const std::string& source) {
        CInterpretor interpreter;
        PtrArray names;
        BuildBuiltinClassNameList(names);
        EXPECT_EQ(interpreter.InitClassRegistry(names), 1);
        CTokenInfos report;
        report.AddSourceText(source.data(), uint32_t(source.size()), kUnitOwnsText, "loop", 0);
        EXPECT_EQ(interpreter.GetCompiler()->Compile(report), 1);
        interpreter.Start(report);
        interpreter.cpuShare = 100;
        interpreter.tickInterval = 0;
        CheckCounter counter;
        interpreter.AddMovingLocation(&counter);
        LoopRun run;
        run.result = interpreter.RunMain(report, nullptr);
        interpreter.RemoveMovingLocation(&counter);
        run.checks = counter.checks;
        CVariable* variable =
            interpreter.FindVariable(uint32_t(report.GetNameTable()->FindOrAdd("i")));
        if (variable != nullptr) run.i = variable->value.GetInt();
        return run;
    }
};

TEST_F(CountingLoop, EveryRoundCountsAsAStatementForTheChecks) {
    // Each pair differs only in a step that the loop form cannot take.
    const std::pair<const char*, const char*> pairs[] = {
        {"For (i = 0; i < 95; i++) {}", "For (i = 0; i < 95; i = i + 1) {}"},
        {"For (i = 0; i < 95; i++) { j = i; }", "For (i = 0; i < 95; i = i + 1) { j = i; }"},
        {"For (i = 200; i > 7; i--) {}", "For (i = 200; i > 7; i -= 1) {}"},
        {"n = 95; For (i = 0; i < n; i++) {}", "n = 95; For (i = 0; i < n; i = i + 1) {}"},
        {"i = 0; While (i < 95) i++;", "i = 0; While (i + 0 < 95) i++;"},
    };
    for (const auto& [fast, walked] : pairs) {
        LoopRun a = Run(fast);
        LoopRun b = Run(walked);
        EXPECT_EQ(a.result, 1) << fast;
        EXPECT_EQ(b.result, 1) << walked;
        EXPECT_GT(a.checks, 8) << fast;
        EXPECT_EQ(a.checks, b.checks) << fast;
        EXPECT_EQ(a.i, b.i) << fast;
    }
}

} // namespace
