#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "packer/pack_output.h"
#include "packer/project_writer.h"
#include "platform/kernel/test_hooks.h"
#include "platform/system/system_info.h"
#include "script/classes/class_table.h"
#include "script/classes/script_classes.h"
#include "script/classes/unbuilt_classes.h"
#include "script/interpreter/interpretor.h"
#include "script/project/project_entry.h"
#include "script/project/project_file.h"
#include "script/runtime/display_list.h"
#include "script/runtime/launch_info.h"
#include "script/runtime/neighbour_services.h"
#include "script/runtime/polygon_change.h"
#include "script/runtime/screen_depth.h"
#include "script/runtime/sound_output.h"
#include "script/script_runner.h"
#include "support/temp_dir.h"

namespace {

// ---- Init and start with a project ------------------------------------------------------

class InterpretorInitTest : public ::testing::Test {
protected:
    void SetUp() override { RegisterScriptClasses(); }
    void TearDown() override {
        for (uint32_t id = 1; id < kBuiltinClassCount; ++id)
            UnregisterScriptClass(id);
    }

    void WriteProject(PackProject project) {
        if (project.entries.empty()) {
            PackEntry entry;
            entry.name = "Main";
            project.entries.push_back(entry);
        }
        ProjectChunkWriter out;
        std::string error;
        ASSERT_TRUE(WriteProjectData(project, out, error)) << error;
        ASSERT_TRUE(WriteBareProject(out.Bytes(), folder.Linux("project.zp"), error)) << error;
        launch.projectPath = folder.Win("project.zp");
    }

    test_support::TempDir folder;
    CLaunchInfo launch;
};

TEST_F(InterpretorInitTest, TheClassRegistryFollowsTheProjectsClassList) {
    PackProject project;
    project.classes = {"Sprite", "Program"};
    WriteProject(project);
    {
        CInterpretor interpreter(0, &launch);
        ASSERT_EQ(interpreter.Init(nullptr, "one two", 1), 1);
        EXPECT_NE(interpreter.GetClassRecord(0)->lookup, nullptr);
        EXPECT_NE(interpreter.GetClassRecord(1)->lookup, nullptr);
        EXPECT_NE(interpreter.GetClassRecord(56)->lookup, nullptr);
        EXPECT_EQ(interpreter.GetClassRecord(9)->lookup, nullptr);
        EXPECT_STREQ(interpreter.commandLine, "one two");
    }
    // The all-classes flag registers every class whatever the list says.
    launch.allClasses = 1;
    {
        CInterpretor interpreter(0, &launch);
        ASSERT_EQ(interpreter.Init(nullptr, "", 1), 1);
        for (uint32_t id = 0; id < kBuiltinClassCount; ++id)
            EXPECT_NE(interpreter.GetClassRecord(id)->lookup, nullptr) << id;
    }
    // An empty list leaves class 0 alone.
    launch.allClasses = 0;
    project.classes.clear();
    WriteProject(project);
    CInterpretor interpreter(0, &launch);
    ASSERT_EQ(interpreter.Init(nullptr, "", 1), 1);
    EXPECT_NE(interpreter.GetClassRecord(0)->lookup, nullptr);
    for (uint32_t id = 1; id < kBuiltinClassCount; ++id)
        EXPECT_EQ(interpreter.GetClassRecord(id)->lookup, nullptr) << id;
}

class NoSoundManager final : public CSoundManager {
public:
    CSoundOutput* CreateOutput(int32_t, int32_t) override { return nullptr; }
};

class CountingOutput final : public CSoundOutput {
public:
    explicit CountingOutput(int* starts) : starts_(starts) {}
    void StartRun(int32_t flags) override { *starts_ += flags == 0 ? 1 : 100; }

private:
    int* starts_;
};

class CountingManager final : public CSoundManager {
public:
    CSoundOutput* CreateOutput(int32_t, int32_t) override { return new CountingOutput(&starts); }
    int starts = 0;
};

TEST_F(InterpretorInitTest, InitFailsAtTheFirstMissingPiece) {
    launch.projectPath = folder.Win("missing.zp");
    {
        CInterpretor interpreter(0, &launch);
        EXPECT_EQ(interpreter.Init(nullptr, "", 1), 0);
        EXPECT_EQ(launch.errorCode, int32_t(0x40000005));
        EXPECT_EQ(interpreter.initialised, 0);
    }
    // Project data without a single entry has nothing to run: as good as none.
    ProjectChunkWriter empty;
    empty.BeginChunk(0x1400);
    empty.U32(0x44550006);
    empty.EndChunk();
    empty.BeginChunk(0x1300);
    empty.U32(0);
    empty.U32(1);
    empty.U32(0);
    empty.PackedBlock(std::string(4, '\0'), false);
    empty.EndChunk();
    empty.EmptyChunk(0x7F7F);
    ASSERT_TRUE(empty.WriteToFile(folder.Linux("empty.zp")));
    launch.projectPath = folder.Win("empty.zp");
    {
        CInterpretor interpreter(0, &launch);
        EXPECT_EQ(interpreter.Init(nullptr, "", 1), 0);
        EXPECT_EQ(launch.errorCode, 10002);
    }
    WriteProject(PackProject{});
    NoSoundManager none;
    SoundMgr_Set(&none);
    {
        CInterpretor interpreter(0, &launch);
        EXPECT_EQ(interpreter.Init(nullptr, "", 1), 0);
        EXPECT_EQ(interpreter.projectFile, nullptr);
    }
    SoundMgr_Set(nullptr);
    // Without loading, no project is read and the registry holds class 0 alone.
    CInterpretor interpreter(0, &launch);
    ASSERT_EQ(interpreter.Init(nullptr, nullptr, 0), 1);
    EXPECT_STREQ(interpreter.commandLine, "");
    EXPECT_EQ(interpreter.projectFile->GetCurrentEntry(), nullptr);
}

TEST_F(InterpretorInitTest, StartTakesTheEntrySettingsAndResetKeepsWhatInitMade) {
    PackProject project;
    PackEntry entry;
    entry.name = "Main";
    entry.cpuShare = 37;
    entry.colour = 0x123456;
    project.entries.push_back(entry);
    WriteProject(project);
    CountingManager sound;
    SoundMgr_Set(&sound);
    {
        CInterpretor interpreter(0, &launch);
        ASSERT_EQ(interpreter.Init(nullptr, "a \"b c\" 'd'", 1), 1);
        CTokenInfos report;
        interpreter.Start(report);
        EXPECT_EQ(interpreter.cpuShare, 37u);
        EXPECT_EQ(interpreter.colourSetting, 0x123456u);
        EXPECT_EQ(interpreter.argumentCount, 3);
        EXPECT_EQ(sound.starts, 1);
        interpreter.SetRestartFileName("next.zs");
        interpreter.Reset();
        EXPECT_EQ(interpreter.restartFileName, nullptr);
        EXPECT_EQ(interpreter.restarted, 1);
        EXPECT_NE(interpreter.soundOutput, nullptr);
        EXPECT_NE(interpreter.projectFile, nullptr);
        EXPECT_NE(interpreter.GetClassRecord(0)->lookup, nullptr);
        interpreter.Close();
        EXPECT_EQ(interpreter.initialised, 0);
        EXPECT_EQ(interpreter.soundOutput, nullptr);
        EXPECT_EQ(interpreter.projectFile, nullptr);
        EXPECT_EQ(interpreter.commandLine, nullptr);
        EXPECT_EQ(interpreter.GetClassRecord(0)->lookup, nullptr);
    }
    SoundMgr_Set(nullptr);
}

TEST_F(InterpretorInitTest, AModuleFindsTheResourcesOfItsOwnEntry) {
    PackProject project;
    for (const char* name : {"Main", "Second", "Third"}) {
        PackEntry entry;
        entry.name = name;
        project.entries.push_back(entry);
    }
    WriteProject(project);
    CInterpretor interpreter(0, &launch);
    ASSERT_EQ(interpreter.Init(nullptr, "", 1), 1);
    std::string name;
    auto currentName = [&] {
        return std::string(interpreter.projectFile->GetCurrentEntry()->name);
    };
    interpreter.entryIndex = 2;
    interpreter.SelectProjectEntry();
    EXPECT_EQ(currentName(), "Third");
    interpreter.GetApplicationName(name);
    EXPECT_EQ(name, "Third");
    // An index past the list, or 0, means the first entry.
    interpreter.entryIndex = 9;
    interpreter.SelectProjectEntry();
    EXPECT_EQ(currentName(), "Main");
    interpreter.GetApplicationName(name);
    EXPECT_EQ(name, "Main");
    interpreter.entryIndex = 1;
    interpreter.SelectProjectEntry();
    interpreter.entryIndex = 0;
    interpreter.SelectProjectEntry();
    EXPECT_EQ(currentName(), "Main");
}

// ---- Display interface ------------------------------------------------------------------

class FakeDriver final : public CDisplayDriver {
public:
    const char* GetName() const override { return "driver"; }
    uint32_t IsWindowed() const override { return 1; }
    uint32_t GetModeCount() const override { return 0; }
    int GetMode(uint32_t, CDisplayMode&) const override { return 0; }
};

class FakeDevice final : public CDisplayDevice {
public:
    const char* GetName() const override { return "device"; }
    uint32_t GetDriverCount() const override { return 3; }
    CDisplayDriver* GetDriver(uint32_t index) const override {
        return index < 3 ? const_cast<FakeDriver*>(&drivers[index]) : nullptr;
    }
    CDisplayDriver* GetCurrentDriver() const override { return GetDriver(current); }
    FakeDriver drivers[3];
    uint32_t current = 2;
};

class FakeAPI final : public CDisplayAPI {
public:
    void GetName(char* buffer, int32_t size) const override {
        if (size > 0) buffer[0] = '\0';
    }
    uint32_t GetDeviceCount() const override { return 2; }
    CDisplayDevice* GetDevice(uint32_t index) const override {
        return index < 2 ? const_cast<FakeDevice*>(&devices[index]) : nullptr;
    }
    FakeDevice devices[2];
};

class FakeRegistry final : public LAPIRegistry {
public:
    int IsAvailable(int32_t backEnd) override { return available[backEnd]; }
    CDisplayAPI* Load(int32_t backEnd) override {
        if (!loadable[backEnd]) return nullptr;
        ++loaded[backEnd];
        return &apis[backEnd];
    }
    void Unload(int32_t backEnd, CDisplayAPI*) override { --loaded[backEnd]; }

    int available[4] = {};
    bool loadable[4] = {};
    int loaded[4] = {};
    FakeAPI apis[4];
};

class DisplayInterfaceTest : public ::testing::Test {
protected:
    void TearDown() override {
        SetAPIRegistry(nullptr);
        GetNeighbourServices().isAny3DViewOpen = nullptr;
    }
    void Offer(int backEnd) {
        registry.available[backEnd] = 1;
        registry.loadable[backEnd] = true;
    }
    FakeRegistry registry;
};

TEST_F(DisplayInterfaceTest, TheDefaultIsTheFirstBackEndAvailable) {
    {
        CInterpretor interpreter;
        EXPECT_EQ(interpreter.GetDisplayInterface(), 3);
        EXPECT_EQ(interpreter.GetDisplayAPI(), nullptr);
        EXPECT_EQ(interpreter.GetDisplayDevice(), nullptr);
    }
    SetAPIRegistry(&registry);
    Offer(3);
    Offer(2);
    {
        CInterpretor interpreter;
        EXPECT_EQ(interpreter.GetDisplayInterface(), 2);
        EXPECT_EQ(interpreter.GetDisplayAPI(), &registry.apis[2]);
        EXPECT_EQ(interpreter.GetSoftwareDisplayAPI(), &registry.apis[3]);
        // The choice stays even when a better back end appears.
        Offer(0);
        EXPECT_EQ(interpreter.GetDisplayInterface(), 2);
    }
    // Every API the interpreter loaded went back with it.
    EXPECT_EQ(registry.loaded[2], 0);
    EXPECT_EQ(registry.loaded[3], 0);
    CInterpretor interpreter;
    EXPECT_EQ(interpreter.GetDisplayInterface(), 0);
}

TEST_F(DisplayInterfaceTest, SelectingFallsBackToThePreviousChoiceThenToTheDefaults) {
    SetAPIRegistry(&registry);
    Offer(2);
    Offer(0);
    CInterpretor interpreter;
    interpreter.SelectDisplay(2, 1, 0);
    EXPECT_EQ(interpreter.GetDisplayInterface(), 2);
    EXPECT_EQ(interpreter.GetDisplayDevice(), &registry.apis[2].devices[1]);
    // Back end 1 cannot load: the previous choice comes back with its device and driver.
    interpreter.SelectDisplay(1, 0, 0);
    EXPECT_EQ(interpreter.GetDisplayInterface(), 2);
    EXPECT_EQ(interpreter.GetDisplayDeviceIndex(), 1);
    // Only one back end is loaded at a time.
    interpreter.SelectDisplay(0, 0, 1);
    EXPECT_EQ(registry.loaded[2], 0);
    EXPECT_EQ(registry.loaded[0], 1);
    // Neither the request nor the previous one loads any more: back end 2, no device.
    registry.loadable[0] = false;
    registry.loadable[1] = false;
    interpreter.SelectDisplay(1, 1, 1);
    EXPECT_EQ(interpreter.GetDisplayInterface(), 2);
    EXPECT_EQ(interpreter.GetDisplayDevice(), nullptr);
    EXPECT_EQ(interpreter.GetDisplayDeviceIndex(), 0);
    // Nothing loads: the software renderer.
    registry.loadable[2] = false;
    interpreter.SelectDisplay(0, 0, 0);
    EXPECT_EQ(interpreter.GetDisplayInterface(), 3);
}

TEST_F(DisplayInterfaceTest, DeviceAndDriverIndexesStayInsideTheLists) {
    SetAPIRegistry(&registry);
    Offer(0);
    CInterpretor interpreter;
    interpreter.SelectDisplay(0, 7, -1);
    // Past the device list: the last device.
    EXPECT_EQ(interpreter.GetDisplayDevice(), &registry.apis[0].devices[1]);
    EXPECT_EQ(interpreter.GetDisplayDriver(), nullptr);
    // No driver chosen: the position of the device's current one.
    EXPECT_EQ(interpreter.GetDisplayDriverIndex(), 2);
    interpreter.SelectDisplay(0, 0, 1);
    EXPECT_EQ(interpreter.GetDisplayDriver(), &registry.apis[0].devices[0].drivers[1]);
    EXPECT_EQ(interpreter.GetDisplayDriverIndex(), 1);
    interpreter.SelectDisplay(0, 0, 5);
    EXPECT_EQ(interpreter.GetDisplayDriver(), nullptr);
}

TEST_F(DisplayInterfaceTest, NoChangeWhileA3DViewIsOpen) {
    SetAPIRegistry(&registry);
    Offer(0);
    Offer(2);
    CInterpretor interpreter;
    interpreter.SelectDisplay(0, 0, 0);
    GetNeighbourServices().isAny3DViewOpen = [](CInterpretor&) { return 1; };
    int32_t code = -1;
    try {
        interpreter.SelectDisplay(2, 0, 0);
    } catch (CIError* error) {
        code = error->code;
        CWXException::Delete(error);
    }
    EXPECT_EQ(code, 116);
    EXPECT_EQ(interpreter.GetDisplayInterface(), 0);
}

// ---- Polygon-change batches -------------------------------------------------------------

class RecordingTarget final : public CPolygonChangeTarget {
public:
    RecordingTarget(std::string* log, char name) : log_(log), name_(name) {}
    void ApplyPolygonChange(int geometry, int box) override {
        if (geometry) *log_ += std::string(1, name_) + "r ";
        if (box) *log_ += std::string(1, name_) + "g ";
        *log_ += std::string(1, name_) + "a ";
    }

private:
    std::string* log_;
    char name_;
};

TEST(PolygonChange, ABatchMergesTheChangesOfAnObjectAndAppliesThemWhenTheOutermostCloses) {
    std::string log;
    RecordingTarget a(&log, 'A');
    RecordingTarget b(&log, 'B');
    CInterpretor interpreter;
    interpreter.ApplyOrDeferPolygonChange(&a, 1, 1);
    EXPECT_EQ(log, "Ar Ag Aa ");
    log.clear();

    interpreter.BeginEndPolygonChange(1);
    interpreter.BeginEndPolygonChange(1);
    EXPECT_FALSE(interpreter.IsOutermostPolygonChange());
    interpreter.ApplyOrDeferPolygonChange(&a, 1, 0);
    interpreter.ApplyOrDeferPolygonChange(&b, 0, 0);
    interpreter.ApplyOrDeferPolygonChange(&a, 0, 1);
    EXPECT_EQ(interpreter.GetDeferredPolygonChangeCount(), 2u);
    interpreter.BeginEndPolygonChange(0);
    EXPECT_TRUE(interpreter.IsOutermostPolygonChange());
    EXPECT_EQ(log, "");
    interpreter.BeginEndPolygonChange(0);
    EXPECT_FALSE(interpreter.IsPolygonChangeOpen());
    EXPECT_EQ(log, "Ar Ag Aa Ba ");
    EXPECT_EQ(interpreter.GetDeferredPolygonChangeCount(), 0u);
    // A close without an open batch changes nothing.
    interpreter.BeginEndPolygonChange(0);
    EXPECT_FALSE(interpreter.IsPolygonChangeOpen());
}

TEST(PolygonChange, ACancelledObjectIsNotTouchedWhenTheBatchCloses) {
    std::string log;
    std::vector<std::unique_ptr<RecordingTarget>> targets;
    CInterpretor interpreter;
    interpreter.BeginEndPolygonChange(1);
    for (int i = 0; i < 40; ++i) {
        targets.push_back(std::make_unique<RecordingTarget>(&log, char('0' + i)));
        interpreter.ApplyOrDeferPolygonChange(targets.back().get(), 0, 0);
    }
    for (size_t i = 0; i < 38; ++i)
        interpreter.CancelDeferredPolygonChange(targets[i].get());
    interpreter.RemoveDeferredPolygonChangeAt(5);
    interpreter.RemoveDeferredPolygonChangeAt(0);
    EXPECT_EQ(interpreter.GetDeferredPolygonChangeCount(), 1u);
    interpreter.BeginEndPolygonChange(0);
    EXPECT_EQ(log, std::string(1, char('0' + 39)) + "a ");
}

TEST(PolygonChange, AResetClosesTheBatchARunLeftOpen) {
    std::string log;
    RecordingTarget a(&log, 'A');
    CInterpretor interpreter;
    {
        // A target of the ending run: Reset destroys such objects, so its record must go.
        RecordingTarget gone(&log, 'G');
        interpreter.BeginEndPolygonChange(1);
        interpreter.ApplyOrDeferPolygonChange(&gone, 1, 1);
    }
    interpreter.Reset();
    EXPECT_FALSE(interpreter.IsPolygonChangeOpen());
    EXPECT_EQ(interpreter.GetDeferredPolygonChangeCount(), 0u);
    // The next run's changes apply at once, and its batches close as they open.
    interpreter.ApplyOrDeferPolygonChange(&a, 0, 0);
    EXPECT_EQ(log, "Aa ");
    interpreter.BeginEndPolygonChange(1);
    EXPECT_TRUE(interpreter.IsOutermostPolygonChange());
    interpreter.ApplyOrDeferPolygonChange(&a, 1, 0);
    interpreter.BeginEndPolygonChange(0);
    EXPECT_EQ(log, "Aa Ar Aa ");
}

// ---- The main window -----------------------------------------------------------------------

TEST(MainWindow, IsForgottenWhenItsObjectIsReleasedAndAtReset) {
    CInterpretor interpreter;
    CIBaseObjectVar window(&interpreter, 0);
    CIBaseObjectVar other(&interpreter, 0);
    auto show = [&] {
        interpreter.mainWindow = &window;
        interpreter.mainWindowHandle = 0x51;
        interpreter.currentWindow = &window;
    };
    show();
    CVariable* global = interpreter.AddVariable(7, 0);
    global->value.SetObject(&window, 0);
    // Released through the object's own slot, as the cascading delete calls it.
    CIBaseClassImpl& asObject = interpreter;
    EXPECT_EQ(asObject.ReleaseReferencesTo(&other), 0);
    EXPECT_EQ(interpreter.mainWindow, &window);
    EXPECT_EQ(asObject.ReleaseReferencesTo(&window), 0);
    EXPECT_EQ(interpreter.mainWindow, nullptr);
    EXPECT_EQ(interpreter.mainWindowHandle, 0u);
    EXPECT_EQ(interpreter.currentWindow, nullptr);
    EXPECT_EQ(global->value.GetType(), uint32_t(kValueInt));
    EXPECT_TRUE(interpreter.IsApplicationActive());

    // Deleted while nothing holds it, so no cascade runs: the fields still let it go.
    auto* deleted = new CIBaseObjectVar(&interpreter, 0);
    interpreter.mainWindow = deleted;
    interpreter.currentWindow = deleted;
    interpreter.DeleteObject(deleted);
    EXPECT_EQ(interpreter.mainWindow, nullptr);
    EXPECT_EQ(interpreter.currentWindow, nullptr);

    // Reset destroys every object of the run: none of them may still be the main window.
    show();
    interpreter.Reset();
    EXPECT_EQ(interpreter.mainWindow, nullptr);
    EXPECT_EQ(interpreter.mainWindowHandle, 0u);
    EXPECT_EQ(interpreter.currentWindow, nullptr);
}

// ---- Classes not built yet, Program's End and Restart, the screen depth -----------------

TEST(UnbuiltClasses, NewOfAClassNotBuiltYetFailsWithTheDocumentedError) {
    script_test::ScriptRunner runner;
    RegisterUnbuiltClasses();
    // Any class still unbuilt stands for them all.
    for (uint32_t id = 1; id < kBuiltinClassCount; ++id) {
        if (GetScriptClassInfo(id) != GetUnbuiltClassInfo(id)) continue;
        EXPECT_EQ(runner.Run(std::string("s = New ") + GetBuiltinClassName(id) + "();").code, 38)
            << GetBuiltinClassName(id);
        break;
    }
    EXPECT_EQ(runner.Run("s = New Math();").code, 65);
    // The real classes of the runner are left as they are.
    EXPECT_EQ(runner.Run("t = New Surface(); s = New Sprite(t);").code, 0);
    for (uint32_t id = 1; id < kBuiltinClassCount; ++id) {
        if (GetScriptClassInfo(id) == GetUnbuiltClassInfo(id)) UnregisterScriptClass(id);
    }
}

TEST(ProgramClass, EndAndRestartEndTheRunWithTheirCodes) {
    script_test::ScriptRunner runner;
    script_test::ScriptResult ended = runner.Run("Program.End();\nx = 1 / 0;\n");
    EXPECT_EQ(ended.ok, 1);
    EXPECT_EQ(ended.code, 0);
    // Without a project or a file to restart from, a restart ends the run.
    script_test::ScriptResult restarted = runner.Run("Program.Restart();\nx = 1 / 0;\n");
    EXPECT_EQ(restarted.ok, 1);
    EXPECT_EQ(restarted.code, 1);
}

TEST(ScreenDepth, ASixteenBitScreenKeepingFiveBitsOfGreenIsFifteenBits) {
    ASSERT_TRUE(platform::SetVirtualDisplay(640, 480, 16));
    EXPECT_EQ(GetScreenDepth(), 16);
    platform::test::SetScreenPixels555(true);
    EXPECT_EQ(GetScreenDepth(), 15);
    platform::test::SetScreenPixels555(false);
    ASSERT_TRUE(platform::SetVirtualDisplay(640, 480, 32));
    EXPECT_EQ(GetScreenDepth(), 32);
    platform::ResetVirtualDisplay();
}

} // namespace
