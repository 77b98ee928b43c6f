#include <gtest/gtest.h>

#include <new>
#include <string>
#include <vector>

#include "platform/user/input/cursor.h"
#include "script/classes/base_class.h"
#include "script/interpreter/interpretor.h"
#include "script/runtime/display_list.h"
#include "script/runtime/polygon_change.h"
#include "script/script_runner.h"

namespace {

// ---- A registry of fake back ends ----------------------------------------------------------

class FakeDriver final : public CDisplayDriver {
public:
    FakeDriver(std::string name, uint32_t windowed, std::vector<CDisplayMode> modes)
        : name_(std::move(name)), windowed_(windowed), modes_(std::move(modes)) {}
    const char* GetName() const override { return name_.c_str(); }
    uint32_t IsWindowed() const override { return windowed_; }
    uint32_t GetModeCount() const override { return uint32_t(modes_.size()); }
    int GetMode(uint32_t index, CDisplayMode& mode) const override {
        if (index >= modes_.size()) return 0;
        mode = modes_[index];
        return 1;
    }

private:
    std::string name_;
    uint32_t windowed_;
    std::vector<CDisplayMode> modes_;
};

class FakeDevice final : public CDisplayDevice {
public:
    explicit FakeDevice(std::string name) : name_(std::move(name)) {}
    const char* GetName() const override { return name_.c_str(); }
    uint32_t GetDriverCount() const override { return uint32_t(drivers.size()); }
    CDisplayDriver* GetDriver(uint32_t index) const override {
        return index < drivers.size() ? const_cast<FakeDriver*>(&drivers[index]) : nullptr;
    }
    CDisplayDriver* GetCurrentDriver() const override { return GetDriver(current); }
    std::vector<FakeDriver> drivers;
    uint32_t current = 0;

private:
    std::string name_;
};

class FakeAPI final : public CDisplayAPI {
public:
    explicit FakeAPI(std::string name) : name_(std::move(name)) {}
    void GetName(char* buffer, int32_t size) const override {
        if (size <= 0) return;
        size_t n = std::min(name_.size(), size_t(size - 1));
        name_.copy(buffer, n);
        buffer[n] = '\0';
    }
    uint32_t GetDeviceCount() const override { return uint32_t(devices.size()); }
    CDisplayDevice* GetDevice(uint32_t index) const override {
        return index < devices.size() ? const_cast<FakeDevice*>(&devices[index]) : nullptr;
    }
    std::vector<FakeDevice> devices;

private:
    std::string name_;
};

class FakeRegistry final : public LAPIRegistry {
public:
    FakeRegistry() {
        // The software renderer: one device and one driver, as the DIB back end has.
        apis[3].devices.emplace_back("Default");
        apis[3].devices[0].drivers.emplace_back(
            "Default", 1,
            std::vector<CDisplayMode>{{16, 640, 480}, {32, 800, 600}, {24, 1024, 768}});
        // OpenGL: a second device with two drivers, the current one the second.
        apis[2].devices.emplace_back("Primary");
        apis[2].devices[0].drivers.emplace_back("Basic", 1, std::vector<CDisplayMode>{});
        apis[2].devices.emplace_back("Secondary");
        apis[2].devices[1].drivers.emplace_back("Full screen", 0,
                                                std::vector<CDisplayMode>{{8, 320, 200}});
        apis[2].devices[1].drivers.emplace_back("Windowed", 1, std::vector<CDisplayMode>{});
        apis[2].devices[1].current = 1;
        apis[0].devices.emplace_back("Accelerator");
        apis[0].devices[0].drivers.emplace_back("HAL", 1, std::vector<CDisplayMode>{});
        apis[0].devices[0].drivers.emplace_back("Reference", 1, std::vector<CDisplayMode>{});
        apis[0].devices[0].current = 1;
    }
    int IsAvailable(int32_t backEnd) override { return available[backEnd]; }
    CDisplayAPI* Load(int32_t backEnd) override {
        ++loads[backEnd];
        if (!loadable[backEnd]) return nullptr;
        ++loaded[backEnd];
        return &apis[backEnd];
    }
    void Unload(int32_t backEnd, CDisplayAPI*) override { --loaded[backEnd]; }
    void Offer(int backEnd) {
        available[backEnd] = 1;
        loadable[backEnd] = true;
    }

    int available[4] = {};
    bool loadable[4] = {};
    int loads[4] = {};
    int loaded[4] = {};
    FakeAPI apis[4] = {FakeAPI("Direct3D 6.x"), FakeAPI("DirectDraw 3"), FakeAPI("OpenGL 1.1"),
                       FakeAPI("DIB")};
};

// ---- A 3D class stand-in whose objects take part in polygon-change batches ----------------

std::string changes;

constexpr uint32_t kObjectClassId = 62;

class FakeObject final : public CIBaseClassImpl, public CPolygonChangeTarget {
public:
    FakeObject(CInterpretor* interpreter, const CClassRecord* record)
        : CIBaseClassImpl(interpreter, record, 1) {}
    void CallMethod(uint16_t methodId) override {
        if (methodId != 1) RaiseNoSuchMethod(*this);
        interpreter->ApplyOrDeferPolygonChange(this, interpreter->GetArgInt(0),
                                               interpreter->GetArgInt(1));
    }
    void Destroy(int) override { delete this; }
    void Create() override {
        name_ = interpreter->GetArgString(0);
        Register();
    }
    void ApplyPolygonChange(int geometry, int box) override {
        changes += name_ + (geometry ? "g" : "") + (box ? "b" : "") + " ";
    }

private:
    std::string name_;
};

const MethodNameRow kObjectNames[] = {
    {kObjectClassId, "Object", 0, 0}, {1, "Change", 0, 0}, {0, nullptr, 0, 0}};

CIBaseClassImpl* MakeObject(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) FakeObject(&interpreter, record);
}

const ScriptClassInfo kObjectClass = {kObjectNames, MakeObject, 0, nullptr, 0, nullptr, nullptr};

class DisplayClass : public ::testing::Test {
protected:
    void SetUp() override { SetAPIRegistry(&registry); }
    void TearDown() override { SetAPIRegistry(nullptr); }
    script_test::ScriptResult Run(const std::string& source) { return runner.Run(source); }

    FakeRegistry registry;
    script_test::ScriptRunner runner;
};

#define EXPECT_RUN(result, text)                                                                   \
    do {                                                                                           \
        script_test::ScriptResult r_ = (result);                                                   \
        ASSERT_EQ(r_.ok, 1) << "error " << r_.code << " line " << r_.line + 1 << "\n"              \
                            << r_.output;                                                          \
        EXPECT_EQ(r_.output, text);                                                                \
    } while (0)

int32_t ErrorOf(const script_test::ScriptResult& result) {
    return result.ok ? 0 : result.code;
}

TEST_F(DisplayClass, TheDefaultInterfaceIsDirect3DThenOpenGLThenSoftwareNeverDirectDraw) {
    registry.Offer(1);
    registry.Offer(3);
    EXPECT_RUN(Run("Print(Display.GetDisplayInterface() == Display.SOFTWARE);"), "1\n");
    registry.Offer(2);
    EXPECT_RUN(Run("Print(Display.GetDisplayInterface() == Display.OPENGL);"), "1\n");
    registry.Offer(0);
    EXPECT_RUN(Run("Print(Display.GetDisplayInterface() == Display.DIRECT3D);\n"
                   "Display.SetDisplayInterface(Display.SOFTWARE_DIRECTDRAW);\n"
                   "Print(Display.GetDisplayInterface() == Display.SOFTWARE_DIRECTDRAW);"),
               "1\n1\n");
    // Asking for the default choice made no back end.
    EXPECT_EQ(registry.loads[0], 0);
    EXPECT_EQ(registry.loads[2], 0);
}

TEST_F(DisplayClass, AnInterfaceThatCannotBeMadeKeepsThePreviousOneWithoutAnError) {
    registry.Offer(3);
    registry.available[2] = 1; // the probe answers, the back end fails to load
    EXPECT_RUN(Run("Display.SetDisplayInterface(Display.SOFTWARE);\n"
                   "Display.SetDisplayInterface(Display.OPENGL, 0, 0);\n"
                   "Print(Display.GetDisplayInterface() == Display.SOFTWARE);\n"
                   "Print(Display.IsDisplayInterfaceAvailable(Display.OPENGL), "
                   "Display.GetDisplayDeviceCount(Display.OPENGL), "
                   "'[' + Display.GetDisplayInterfaceName(Display.OPENGL) + ']');"),
               "1\n1 0 []\n");
    EXPECT_EQ(ErrorOf(Run("Display.GetDisplayDeviceName(Display.OPENGL);")), 88);
    // Every query of a back end that cannot be made tries it again.
    EXPECT_GE(registry.loads[2], 4);
    // At first use, the default choice.
    registry.available[2] = 0;
    EXPECT_RUN(Run("Display.SetDisplayInterface(Display.OPENGL);\n"
                   "Print(Display.GetDisplayInterface() == Display.SOFTWARE);"),
               "1\n");
}

TEST_F(DisplayClass, NamesAndModesComeFromTheListsNumbersOutsideThemRaise88) {
    registry.Offer(3);
    registry.Offer(2);
    EXPECT_RUN(
        Run("s = Display.SOFTWARE;\n"
            "Print(Display.GetDisplayInterfaceName(s), Display.GetDisplayDeviceName(s), "
            "Display.GetDisplayDriverName(s, 0, 0), Display.GetScreenModeCount(s));\n"
            "Print(Display.GetScreenModeWidth(s, 0, 0, 2), "
            "Display.GetScreenModeHeight(s, 0, 0, 2), Display.GetScreenModeDepth(s, 0, 0, 2));\n"
            "Print(Display.GetDisplayDeviceName(), Display.GetDisplayDriverCount(), "
            "Display.GetDisplayDriverName(Display.OPENGL, 1, 1), "
            "Display.IsWindowedModeSupported(Display.OPENGL, 1, 0), "
            "Display.GetScreenModeDepth(Display.OPENGL, 1));"),
        "DIB Default Default 3\n1024 768 24\nPrimary 1 Windowed 0 8\n");
    const char* failing[] = {
        "Display.GetScreenModeDepth(Display.SOFTWARE, 0, 0, 3);",
        "Display.GetScreenModeDepth(Display.SOFTWARE, 0, 0, -1);",
        ("Function F(a, b) { Return Display.GetScreenModeWidth(Display.SOFTWARE, 0, 0, b); }\n"
         "F(1);"),
        "Display.GetDisplayDeviceName(Display.OPENGL, -1);",
        "Display.GetDisplayDriverName(Display.OPENGL, 0, -1);",
        "Display.GetDisplayDriverCount(Display.OPENGL, 2);",
        "Display.IsWindowedModeSupported(Display.OPENGL, 1, 2);",
    };
    for (const char* source : failing)
        EXPECT_EQ(ErrorOf(Run(source)), 88) << source;
}

TEST_F(DisplayClass, ListsAreCopiedOnceAndKeptAfterTheBackEndIsReleased) {
    registry.Offer(3);
    registry.Offer(2);
    EXPECT_RUN(Run("Print(Display.GetDisplayDeviceCount(Display.OPENGL));\n"
                   "Print(Display.GetDisplayDriverCount(Display.OPENGL, 1));\n"
                   "Display.SetDisplayInterface(Display.OPENGL, 1, 0);\n"
                   "Display.SetDisplayInterface(Display.SOFTWARE);\n"
                   "Print(Display.GetDisplayDriverName(Display.OPENGL, 1, 0));"),
               "2\n2\nFull screen\n");
    // Two loads: one to copy the lists, one for the selection; both went back.
    EXPECT_EQ(registry.loads[2], 2);
    EXPECT_EQ(registry.loaded[2], 0);
    // The copy is what the script sees, even when the back end's lists change later.
    CIDisplayList list;
    list.Init(1, 2);
    EXPECT_EQ(list.GetDeviceCount(), 2u);
    registry.apis[2].devices.pop_back();
    EXPECT_EQ(list.GetDeviceCount(), 2u);
    EXPECT_EQ(list.GetDevice(1)->drivers[0].name, "Full screen");
    EXPECT_FALSE(list.IsAcquired());
    EXPECT_EQ(registry.loaded[2], 0);
    EXPECT_EQ(list.GetDevice(2), nullptr);
    EXPECT_EQ(list.GetDevice(-1), nullptr);
}

TEST_F(DisplayClass, TheSelectedDriverOrTheCurrentDriverOfTheSelectedOrFirstDevice) {
    registry.Offer(2);
    registry.Offer(0);
    EXPECT_RUN(Run("Print(Display.GetDisplayDevice(), Display.GetDisplayDriver());\n"
                   "Display.SetDisplayInterface(Display.OPENGL, 1);\n"
                   "Print(Display.GetDisplayDevice(), Display.GetDisplayDriver());\n"
                   // A device beyond the list stands for the first one.
                   "Display.SetDisplayInterface(Display.OPENGL, 5);\n"
                   "Print(Display.GetDisplayDevice(), Display.GetDisplayDriver());\n"
                   "Display.SetDisplayInterface(Display.OPENGL, 1, 7);\n"
                   "Print(Display.GetDisplayDriver());"),
               "0 1\n1 1\n5 0\n7\n");
}

TEST_F(DisplayClass, BatchesNestApplyOnceAndTheBoxArgumentOverridesTheRecords) {
    RegisterScriptClass(&kObjectClass);
    changes.clear();
    EXPECT_RUN(Run("a = New Object('a'); b = New Object('b');\n"
                   "a.Change(1, 0);\n"
                   "Display.EndPolygonChange();\n"
                   "Display.BeginPolygonChange(); Display.BeginPolygonChange();\n"
                   "a.Change(1, 0); b.Change(0, 1); a.Change(0, 1);\n"
                   "Display.EndPolygonChange(0);\n"
                   "Print('inner');\n"
                   "Display.EndPolygonChange();\n"
                   "Print('outer');\n"
                   "Display.BeginPolygonChange();\n"
                   "a.Change(1, 0); b.Change(0, 1);\n"
                   "Display.EndPolygonChange(0);\n"
                   "Display.BeginPolygonChange();\n"
                   "a.Change(0, 0); b.Change(0, 1);\n"
                   "Display.EndPolygonChange(1);\n"
                   "Display.EndPolygonChange();\n"
                   "b.Change(0, 0);"),
               "inner\nouter\n");
    UnregisterScriptClass(kObjectClassId);
    // The unmatched close opened nothing: the first batch still deferred its changes.
    EXPECT_EQ(changes, "ag agb bb ag b ab bb b ");
}

class NamedTarget final : public CPolygonChangeTarget {
public:
    explicit NamedTarget(char name) : name_(name) {}
    void ApplyPolygonChange(int geometry, int box) override {
        changes += std::string(1, name_) + (geometry ? "g" : "") + (box ? "b" : "") + " ";
    }

private:
    char name_;
};

// Each object finds its record directly; what an earlier batch or a removal left behind
// must never merge a change into another object's record.
TEST(PolygonChangeRecords, MergeIntoTheirOwnRecordAcrossBatchesAndRemovals) {
    changes.clear();
    NamedTarget a('a'), b('b'), c('c');
    CInterpretor interpreter;
    interpreter.BeginEndPolygonChange(1);
    interpreter.ApplyOrDeferPolygonChange(&a, 0, 0);
    interpreter.ApplyOrDeferPolygonChange(&b, 0, 0);
    interpreter.EndPolygonChange(-1);
    // b's old place is a's now, and the other way round.
    interpreter.BeginEndPolygonChange(1);
    interpreter.ApplyOrDeferPolygonChange(&b, 1, 0);
    interpreter.ApplyOrDeferPolygonChange(&a, 0, 0);
    interpreter.ApplyOrDeferPolygonChange(&c, 0, 0);
    interpreter.ApplyOrDeferPolygonChange(&b, 0, 1);
    EXPECT_EQ(interpreter.GetDeferredPolygonChangeCount(), 3u);
    // Removing b moves a and c up; their changes still find them.
    interpreter.RemoveDeferredPolygonChangeAt(0);
    interpreter.ApplyOrDeferPolygonChange(&c, 1, 0);
    interpreter.ApplyOrDeferPolygonChange(&a, 0, 1);
    interpreter.ApplyOrDeferPolygonChange(&b, 0, 0);
    EXPECT_EQ(interpreter.GetDeferredPolygonChangeCount(), 3u);
    interpreter.EndPolygonChange(-1);
    EXPECT_EQ(changes, "a b ab cg b ");
}

TEST_F(DisplayClass, HiddenThreeTimesTheCursorShowsAtOnce) {
    EXPECT_RUN(Run("Display.HideMouseCursor(); Display.HideMouseCursor(); "
                   "Display.HideMouseCursor();\nDisplay.ShowMouseCursor();\n"
                   "Display.SetScreenMousePos(30, 40); Display.SetScreenMousePos(, 7);\n"
                   "Print(Display.GetScreenXMouse(), Display.GetScreenYMouse());\n"
                   "Display.EnableVBSync(1);"),
               "30 7\n");
    // Shown: one more hide takes the count below zero.
    EXPECT_EQ(ShowCursor(FALSE), -1);
    EXPECT_EQ(ShowCursor(TRUE), 0);
}

} // namespace
