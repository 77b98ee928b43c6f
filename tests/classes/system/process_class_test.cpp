#include <gtest/gtest.h>

#include <string>

#include "classes/system/process_class.h"
#include "script/script_runner.h"
#include "support/temp_dir.h"

namespace {

// Scripts cannot sleep: they wait for a child by asking, a bounded number of times.
// Script texts have no escapes, so command lines go between single quotes.
std::string Helper() {
    return std::string("\"") + ZORV_CHILD_HELPER + "\"";
}

TEST(ProcessClass, ExitCodesWhileRunningAfterExitAndAfterTerminate) {
    script_test::ScriptRunner runner;
    script_test::ScriptResult result =
        runner.Run("Function Wait(p) { n = 0; While (p.IsProcessRunning() && n < 5000000) n++; }\n"
                   "p = New Process('" +
                   Helper() +
                   " - wait');\n"
                   "Print(p.IsProcessRunning(), p.GetExitCode(), p.Run());\n"
                   "p.Terminate(3);\nWait(p);\n"
                   "Print(p.IsProcessRunning(), p.GetExitCode(), p.Run());\n"
                   "q = New Process('" +
                   Helper() +
                   " - exit 7');\nWait(q);\n"
                   "Print(q.GetExitCode());\n"
                   "r = New Process('" +
                   Helper() +
                   " - wait', 0);\n"
                   "Print(r.IsProcessRunning(), r.Run());\nr.SendQuitMessage(9);\nWait(r);\n"
                   "Print(r.GetExitCode());\n");
    ASSERT_EQ(result.ok, 1) << "error " << result.code << " line " << result.line + 1;
    EXPECT_EQ(result.output, "1 259 0\n0 3 0\n7\n0 1\n143\n");
}

TEST(ProcessClass, RestartEndsAProgramThatIgnoresTheQuitRequest) {
    test_support::TempDir dir;
    CIProcess::SetRestartWaitForTests(100);
    script_test::ScriptRunner runner;
    // The first run reports "first" once it ignores SIGTERM; Restart must not wait for
    // it for ever, and the second run is a new program.
    script_test::ScriptResult result =
        runner.Run("p = New Process('" + Helper() + " " + dir.Linux("first") +
                   " ignore-term');\n"
                   "n = 0; While (Disk.Exist(\"" +
                   dir.Win("first") +
                   "\") == 0 && n < 5000000) n++;\n"
                   "p.SetCommandLine('" +
                   Helper() +
                   " - exit 5');\n"
                   "Print(p.Restart(4));\n"
                   "n = 0; While (p.IsProcessRunning() && n < 5000000) n++;\n"
                   "Print(p.GetExitCode(), p.GetCommandLine());\n");
    CIProcess::SetRestartWaitForTests(5000);
    ASSERT_EQ(result.ok, 1) << "error " << result.code << " line " << result.line + 1;
    EXPECT_EQ(result.output, "1\n5 \"" ZORV_CHILD_HELPER "\" - exit 5\n");
}

} // namespace
