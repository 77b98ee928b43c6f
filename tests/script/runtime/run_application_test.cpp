#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "packer/pack_output.h"
#include "packer/project_writer.h"
#include "platform/files/files.h"
#include "platform/kernel/sync.h"
#include "platform/user/dialogs/message_box.h"
#include "platform/user/messages.h"
#include "platform/user/test_hooks.h"
#include "script/classes/script_classes.h"
#include "script/interpreter/interpretor.h"
#include "script/runtime/command_line.h"
#include "script/runtime/launch_info.h"
#include "script/runtime/run_application.h"
#include "support/temp_dir.h"

namespace {

constexpr uint32_t kSystemId = 39;
constexpr HWND kTestWindow = 0x7001;

// What the test double of System saw during a run.
struct Observed {
    int32_t count = 0;
    std::vector<uintptr_t> frames;
    LRESULT dispatchResult = 0;
    CInterpretor* interpreter = nullptr;
};
Observed observed;

LRESULT FailingProcedure(HWND, UINT, WPARAM, LPARAM) {
    return GuardWindowProcedure(
        observed.interpreter,
        []() -> LRESULT {
            // Sub-code 5 tells this error from a code raised afresh by the run loop.
            observed.interpreter->RaiseError(77, 5);
        },
        -7);
}

// System: Count() (bare) counts and notes how deep the stack is; Raise(code) (bare) raises
// inside the method; Poke() (bare) dispatches a message to a window whose procedure
// raises an error; Args() (bare) the argument count of the command line.
class TestSystem final : public CIBaseClassImpl {
public:
    TestSystem(CInterpretor* interpreter, const CClassRecord* record)
        : CIBaseClassImpl(interpreter, record, 1) {}
    void CallMethod(uint16_t methodId) override { CallMethodFromTable(*this, kMethods, methodId); }
    void Destroy(int) override { delete this; }

    static const ScriptMethod<TestSystem> kMethods[5];

private:
    [[gnu::noinline]] void Count() {
        observed.frames.push_back(reinterpret_cast<uintptr_t>(__builtin_frame_address(0)));
        interpreter->GetResultSlot()->SetInt(++observed.count);
    }
    void Raise() { interpreter->RaiseError(interpreter->GetArgInt(0)); }
    void Args() { interpreter->GetResultSlot()->SetInt(interpreter->argumentCount); }
    void Poke() {
        observed.interpreter = interpreter;
        platform::BindWindowProcedure(kTestWindow, FailingProcedure);
        PostMessageA(kTestWindow, WM_USER, 0, 0);
        MSG msg;
        while (PeekMessageA(&msg, kTestWindow, 0, 0, PM_REMOVE))
            observed.dispatchResult = DispatchMessageA(&msg);
        platform::UnbindWindowProcedure(kTestWindow);
    }
};

const ScriptMethod<TestSystem> TestSystem::kMethods[5] = {
    nullptr, &TestSystem::Count, &TestSystem::Raise, &TestSystem::Poke, &TestSystem::Args};

const MethodNameRow kSystemNames[] = {{kSystemId, "System", 0, 0}, {1, "Count", kSystemId, 0},
                                      {2, "Raise", kSystemId, 0},  {3, "Poke", kSystemId, 0},
                                      {4, "Args", kSystemId, 0},   {0, nullptr, 0, 0}};

CIBaseClassImpl* MakeSystem(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) TestSystem(&interpreter, record);
}

const ScriptClassInfo kSystemClass = {kSystemNames, MakeSystem, 0, nullptr, 0, nullptr, nullptr};

std::vector<MSG> DrainQueue() {
    std::vector<MSG> messages;
    MSG msg;
    while (PeekMessageA(&msg, 0, 0, 0, PM_REMOVE))
        messages.push_back(msg);
    return messages;
}

class RunApplicationTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::test::RecordMessageBoxes(true);
        platform::test::ClearRecordedMessageBoxes();
        RegisterScriptClasses();
        RegisterScriptClass(&kSystemClass);
        observed = Observed{};
        DrainQueue();
    }

    void TearDown() override {
        platform::test::RecordMessageBoxes(false);
        for (uint32_t id = 1; id < kBuiltinClassCount; ++id)
            UnregisterScriptClass(id);
        DrainQueue();
    }

    // A project of one entry "Main" whose source bank holds the modules, written as a
    // project file that the launch block names.
    void UseProject(const std::vector<std::string>& modules, const char* initialSource = nullptr) {
        PackProject project;
        project.classes = {"Program", "System", "String"};
        PackEntry entry;
        entry.name = "Main";
        if (initialSource != nullptr) entry.initialSource = initialSource;
        PackBank& sources = BankOfType(entry, 0);
        for (size_t i = 0; i < modules.size(); ++i) {
            PackElement element;
            element.name = "module" + std::to_string(i + 1) + ".zs";
            element.data.assign(modules[i].begin(), modules[i].end());
            element.packed = i % 2 == 1;
            sources.elements.push_back(element);
        }
        project.entries.push_back(entry);
        ProjectChunkWriter out;
        std::string error;
        ASSERT_TRUE(WriteProjectData(project, out, error)) << error;
        ASSERT_TRUE(WriteBareProject(out.Bytes(), folder.Linux("project.zp"), error)) << error;
        launch.projectPath = folder.Win("project.zp");
    }

    static std::vector<platform::test::RecordedMessageBox> Boxes() {
        return platform::test::RecordedMessageBoxes();
    }

    test_support::TempDir folder;
    CLaunchInfo launch;
};

TEST_F(RunApplicationTest, AScriptThatEndsRunsInitSourceThenTheModulesAndClosesItsOwnQueue) {
    UseProject(
        {"Count();\nIf (Args() != 3) Raise(50);\nG();\n", "Function G() { Count(); }\nCount();\n"},
        "Count();");
    launch.commandLine = JoinArguments({"one", "two words", ""});
    EXPECT_EQ(RunApplication(launch), 0);
    EXPECT_EQ(launch.outcome, RunOutcome::Ended);
    // The initial source, the first module and its call of the second module's function;
    // the end of the first module ends the program, so the second's own statement never
    // runs.
    EXPECT_EQ(observed.count, 3);
    EXPECT_TRUE(Boxes().empty());
    std::vector<MSG> posted = DrainQueue();
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0].hwnd, 0u);
    EXPECT_EQ(posted[0].message, WM_CLOSE);
}

TEST_F(RunApplicationTest, AFailedRunShowsOneBoxWithTheErrorTextAndCaption) {
    UseProject({"x = 1;\ny = x / 0;\n"});
    RunApplication(launch);
    EXPECT_EQ(launch.outcome, RunOutcome::Failed);
    EXPECT_EQ(launch.errorCode, 111);
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Erreur #111 ligne 2.");
    EXPECT_EQ(boxes[0].caption, "Main - module1");
    EXPECT_EQ(boxes[0].owner, 0u);
    EXPECT_EQ(boxes[0].type, MB_ICONERROR);
    EXPECT_EQ(DrainQueue().size(), 1u);
}

TEST_F(RunApplicationTest, Code129EndsTheRunWithoutABoxButStillNotifiesTheHost) {
    UseProject({"Raise(129);\n"});
    RunApplication(launch);
    EXPECT_EQ(launch.outcome, RunOutcome::Failed);
    EXPECT_EQ(launch.errorCode, 129);
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(DrainQueue().size(), 1u);
}

TEST_F(RunApplicationTest, ACompileErrorIsAFailedRun) {
    UseProject({"x = (1;\n"});
    RunApplication(launch);
    EXPECT_EQ(launch.outcome, RunOutcome::Failed);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].caption, "Main - module1");
}

TEST_F(RunApplicationTest, AModuleThatCannotBeReadFailsTheLoad) {
    // The second module is the last packed block of the file: its stream is broken, so
    // the program cannot run as written.
    UseProject({"Count();\n", "Count();\n"});
    std::string bytes = folder.ReadFile("project.zp");
    const size_t stream = bytes.rfind("\x78\xDA");
    ASSERT_NE(stream, std::string::npos);
    bytes[stream + 2] = char(0xFF);
    folder.WriteFile("project.zp", bytes);
    RunApplication(launch);
    EXPECT_EQ(launch.outcome, RunOutcome::Failed);
    EXPECT_EQ(launch.errorCode, 17);
    EXPECT_EQ(observed.count, 0);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].text, "Erreur #17.");
}

TEST_F(RunApplicationTest, MissingProjectDataShowsNoBoxAndReleasesTheHostProtocol) {
    launch.projectPath = folder.Win("missing.zp");
    launch.semaphore = CreateSemaphoreA(nullptr, 0, 10, nullptr);
    launch.mutex = CreateMutexA(nullptr, FALSE, nullptr);
    RunApplication(launch);
    EXPECT_EQ(launch.outcome, RunOutcome::NoProject);
    EXPECT_EQ(launch.errorCode, int32_t(0x40000005));
    EXPECT_TRUE(Boxes().empty());
    // The semaphore was released exactly once, the mutex at the end.
    EXPECT_EQ(WaitForSingleObject(launch.semaphore, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(launch.semaphore, 0), WAIT_TIMEOUT);
    DWORD fromOtherThread = WAIT_FAILED;
    std::thread([&] {
        fromOtherThread = WaitForSingleObject(launch.mutex, 0);
        ReleaseMutex(launch.mutex);
    }).join();
    EXPECT_EQ(fromOtherThread, WAIT_OBJECT_0);
    EXPECT_EQ(DrainQueue().size(), 1u);
    CloseHandle(launch.semaphore);
    CloseHandle(launch.mutex);
}

TEST_F(RunApplicationTest, TheHostIsToldAsItAsked) {
    UseProject({"Count();\n"}, "Count();");
    ASSERT_TRUE(platform::BindWindowProcedure(
        kTestWindow, [](HWND, UINT, WPARAM, LPARAM) -> LRESULT { return 0; }));
    // Hosted with notification: a command message to the host window; the run has no
    // parent window, so the initial source runs.
    launch.hosted = 1;
    launch.notifyOnEnd = 1;
    launch.hostWindow = kTestWindow;
    RunApplication(launch);
    EXPECT_EQ(observed.count, 2);
    std::vector<MSG> posted = DrainQueue();
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0].hwnd, kTestWindow);
    EXPECT_EQ(posted[0].message, WM_COMMAND);
    EXPECT_EQ(posted[0].wParam, 1u);

    // Notification asked for but not hosted: nothing.
    launch.hosted = 0;
    RunApplication(launch);
    EXPECT_TRUE(DrainQueue().empty());

    // Not hosted, no notification: the host window is the parent, which keeps the initial
    // source out, and it receives a close message.
    observed.count = 0;
    launch.notifyOnEnd = 0;
    RunApplication(launch);
    EXPECT_EQ(observed.count, 1);
    posted = DrainQueue();
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0].hwnd, kTestWindow);
    EXPECT_EQ(posted[0].message, WM_CLOSE);
    platform::UnbindWindowProcedure(kTestWindow);
}

TEST_F(RunApplicationTest, RestartingAHundredTimesDoesNotGrowTheStack) {
    UseProject({"If (Count() < 100) Program.Restart();\n"});
    RunApplication(launch);
    EXPECT_EQ(launch.outcome, RunOutcome::Ended);
    ASSERT_EQ(observed.count, 100);
    auto [low, high] = std::minmax_element(observed.frames.begin(), observed.frames.end());
    EXPECT_LT(*high - *low, 256u);
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(RunApplicationTest, RestartingFromANamedFileAHundredTimesDoesNotGrowTheStack) {
    std::string restartFile = folder.Linux("again.zs");
    folder.WriteFile("again.zs", "If (Count() < 100) Program.Restart(\"" + restartFile + "\");\n");
    UseProject({"Count(); Program.Restart(\"" + restartFile + "\");\n"});
    RunApplication(launch);
    EXPECT_EQ(launch.outcome, RunOutcome::Ended);
    ASSERT_EQ(observed.count, 100);
    // The project's run and the file's runs stand at the same depth.
    auto [low, high] = std::minmax_element(observed.frames.begin(), observed.frames.end());
    EXPECT_LT(*high - *low, 256u);
}

TEST_F(RunApplicationTest, ARestartStartsOverFromTheFirstEntry) {
    // The second entry's function opens one of its own banks, which makes the second entry
    // the current one; a restart must still run the first entry's initial source.
    PackProject project;
    project.classes = {"Program", "System", "Bank"};
    PackEntry main;
    main.name = "Main";
    main.initialSource = "Count();";
    PackElement module;
    module.name = "main.zs";
    const std::string mainText = "n = Count();\nIf (n < 6) G();\nIf (n < 6) Program.Restart();\n";
    module.data.assign(mainText.begin(), mainText.end());
    BankOfType(main, 0).elements.push_back(module);
    PackEntry second;
    second.name = "Second";
    second.initialSource = "Raise(55);";
    const std::string secondText = "Function G() { b = New Bank(\"Data\"); }\n";
    module.name = "second.zs";
    module.data.assign(secondText.begin(), secondText.end());
    BankOfType(second, 0).elements.push_back(module);
    BankOfType(second, 7).name = "Data";
    project.entries = {main, second};
    ProjectChunkWriter out;
    std::string error;
    ASSERT_TRUE(WriteProjectData(project, out, error)) << error;
    ASSERT_TRUE(WriteBareProject(out.Bytes(), folder.Linux("two.zp"), error)) << error;
    launch.projectPath = folder.Win("two.zp");

    RunApplication(launch);
    EXPECT_EQ(launch.outcome, RunOutcome::Ended) << launch.errorCode;
    // Three runs, each the first entry's initial source and the first module.
    EXPECT_EQ(observed.count, 6);
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(RunApplicationTest, AFailedRestartIsReportedOnceWithItsOwnError) {
    UseProject({"Count(); Program.Restart(\"" + folder.Linux("missing.zs") + "\");\n"});
    RunApplication(launch);
    EXPECT_EQ(launch.outcome, RunOutcome::Failed);
    EXPECT_EQ(launch.errorCode, 17);
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Erreur #17.");

    // An error in the restarted program is reported with its place in the file.
    folder.WriteFile("bad.zs", "Count();\nz = 2 / 0;\n");
    UseProject({"Program.Restart(\"" + folder.Linux("bad.zs") + "\");\n"});
    platform::test::ClearRecordedMessageBoxes();
    RunApplication(launch);
    EXPECT_EQ(launch.errorCode, 111);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].text, "Erreur #111 ligne 2.");
}

TEST_F(RunApplicationTest, AnErrorInAWindowProcedureEndsTheRunWithoutUnwindingTheDispatch) {
    UseProject({"Poke();\nCount();\n"});
    RunApplication(launch);
    // The procedure answered through the guard; the run ended at the next check, before
    // the second statement, and reports the procedure's own error.
    EXPECT_EQ(observed.dispatchResult, -7);
    EXPECT_EQ(observed.count, 0);
    EXPECT_EQ(launch.outcome, RunOutcome::Failed);
    EXPECT_EQ(launch.errorCode, 77);
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Erreur #77 ligne 1.");
}

} // namespace
