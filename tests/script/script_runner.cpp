#include "script/script_runner.h"

#include <cstdlib>
#include <new>
#include <vector>

#include "classes/dialogs/dialog_classes.h"
#include "classes/input/input_classes.h"
#include "classes/media/media_classes.h"
#include "classes/net/net_classes.h"
#include "classes/scene3d/blob_class.h"
#include "classes/scene3d/math_class.h"
#include "classes/scene3d/scene3d_classes.h"
#include "classes/surface/surface_classes.h"
#include "classes/system/system_classes.h"
#include "classes/window/window_classes.h"
#include "engine3d/render/registry.h"
#include "foundation/containers/ptr_array.h"
#include "graphics2d/formats/image_file_manager.h"
#include "platform/files/files.h"
#include "script/classes/bank_class.h"
#include "script/classes/base_class.h"
#include "script/classes/script_program.h"
#include "script/classes/string_class.h"
#include "script/control_doubles.h"
#include "script/interpreter/interpretor.h"
#include "script/language/token_compiler.h"
#include "script/project/project_file.h"
#include "script/runtime/display_list.h"
#include "script/runtime/sound_output.h"
#include "script/values/value.h"
#include "script/window_doubles.h"
#include "support/case_folder.h"
#include "support/temp_dir.h"

namespace script_test {
namespace {

// What the scripts print; set while a ScriptRunner runs.
std::string* output = nullptr;

// The test doubles join the methods of the real Math singleton, so that the scripts meet
// the real System and the real Math.
constexpr uint32_t kDoublesId = 2;
// The events stand-in takes the name of a class not built yet.
constexpr uint32_t kMoverId = 53;
constexpr uint32_t kSurfaceId = 9;
constexpr uint32_t kProbeId = 68;

// ---- Math (the test doubles) -----------------------------------------------------------

class TestDoubles final : public CIMath {
public:
    TestDoubles(CInterpretor* interpreter, const CClassRecord* record)
        : CIMath(interpreter, record) {}
    // Math's constants reach the object like its methods.
    void CallMethod(uint16_t methodId) override {
        if (methodId >= kFirstOwnDouble && methodId < kFirstOwnDouble + kOwnDoubles)
            CallMethodFromTable(*this, kMethods, uint16_t(methodId - kFirstOwnDouble + 1));
        else if (methodId == kAnswerId)
            In().GetResultSlot()->SetInt(42);
        else if (methodId >= kFirstWindowDouble && methodId < kFirstWindowDouble + kWindowDoubles)
            CallWindowDouble(In(), WindowDouble(methodId - kFirstWindowDouble));
        else if (methodId >= kFirstControlDouble &&
                 methodId < kFirstControlDouble + kControlDoubles)
            CallControlDouble(In(), ControlDouble(methodId - kFirstControlDouble));
        else
            CIMath::CallMethod(methodId);
    }

    // Past the ids of Math's own methods.
    static constexpr uint16_t kFirstOwnDouble = 60;
    static constexpr uint16_t kOwnDoubles = 14;
    static constexpr uint16_t kAnswerId = 100;
    static constexpr uint16_t kFirstWindowDouble = 30;
    static constexpr uint16_t kWindowDoubles = uint16_t(WindowDouble::Count);
    static constexpr uint16_t kFirstControlDouble = 80;
    static constexpr uint16_t kControlDoubles = uint16_t(ControlDouble::Count);
    static const ScriptMethod<TestDoubles> kMethods[kOwnDoubles + 1];

private:
    CInterpretor& In() { return *interpreter; }

    void Print() {
        std::string line;
        for (int32_t i = 0; i < In().GetArgCount(); ++i) {
            if (i > 0) line += ' ';
            line += In().GetArgString(uint32_t(i));
        }
        if (output != nullptr) *output += line + "\n";
    }
    void Raise() { In().RaiseError(In().GetArgInt(0)); }
    void ArgCount() { In().GetResultSlot()->SetInt(In().GetArgCount()); }
    void Post() { Queue(false); }
    void Coalesce() { Queue(true); }
    void Queue(bool coalesce) {
        const BlockRecord* handler = In().GetArg(0)->GetFunction();
        const CValue* a[7] = {};
        for (int32_t i = 1; i < In().GetArgCount() && i <= 7; ++i)
            a[i - 1] = In().GetArg(uint32_t(i));
        if (coalesce)
            In().PostEventCoalesced(handler, this, a[0], a[1], a[2], a[3], a[4], a[5], a[6]);
        else
            In().PostEvent(handler, a[0], a[1], a[2], a[3], a[4], a[5], a[6]);
    }
    // Each queued event at most once: inside a handler none runs.
    void RunPending() {
        for (uint32_t n = In().GetQueuedEventCount(); n > 0; --n)
            In().CheckPendingAndTick();
    }
    void EnableEvents() { In().eventsEnabled = In().GetArgInt(0); }
    void QueuedEvents() { In().GetResultSlot()->SetInt(int32_t(In().GetQueuedEventCount())); }
    void Count() {
        uint32_t classId = uint32_t(In().GetArgInt(0));
        int32_t count = 0;
        for (uint32_t position = In().GetFirstObjectPos(classId); position != 0;) {
            if (In().GetNextObject(classId, position) != nullptr) ++count;
        }
        In().GetResultSlot()->SetInt(count);
    }
    void Serial() { In().GetResultSlot()->SetInt(int32_t(In().GetArgObject(0)->serial)); }
    void Collect() { In().CollectGarbage(); }
    void Text() { In().GetResultSlot()->SetString(In().GetArgString(0), 0); }
    // Runs the queued events, then prints its own arguments as Print does.
    void Echo() {
        RunPending();
        Print();
    }
    // The renderers' back ends for the rest of the run, as the player installs them; runs
    // start without any.
    void UseRenderers() { SetAPIRegistry(&GetBackEndRegistry()); }
};

const ScriptMethod<TestDoubles> TestDoubles::kMethods[kOwnDoubles + 1] = {
    nullptr,
    &TestDoubles::Print,
    &TestDoubles::Raise,
    &TestDoubles::ArgCount,
    &TestDoubles::Post,
    &TestDoubles::Coalesce,
    &TestDoubles::RunPending,
    &TestDoubles::EnableEvents,
    &TestDoubles::QueuedEvents,
    &TestDoubles::Count,
    &TestDoubles::Serial,
    &TestDoubles::Collect,
    &TestDoubles::Text,
    &TestDoubles::Echo,
    &TestDoubles::UseRenderers,
};

const MethodNameRow kDoublesNames[] = {
    {60, "Print", kDoublesId, 0},
    {61, "Raise", kDoublesId, 0},
    {62, "ArgCount", kDoublesId, 0},
    {63, "Post", kDoublesId, 0},
    {64, "Coalesce", kDoublesId, 0},
    {65, "RunPending", kDoublesId, 0},
    {66, "EnableEvents", kDoublesId, 0},
    {67, "QueuedEvents", kDoublesId, 0},
    {68, "Count", 0, 0},
    {69, "Serial", 0, 0},
    {70, "CollectNow", kDoublesId, 0},
    {71, "AsText", kDoublesId, 0},
    {72, "Echo", kDoublesId, 0},
    {73, "UseRenderers", kDoublesId, 0},
    {30, "UiClick", kDoublesId, 0},
    {31, "UiDblClick", kDoublesId, 0},
    {32, "UiPress", kDoublesId, 0},
    {33, "UiMoveMouse", kDoublesId, 0},
    {34, "UiWheel", kDoublesId, 0},
    {35, "UiKey", kDoublesId, 0},
    {36, "UiType", kDoublesId, 0},
    {37, "UiDrop", kDoublesId, 0},
    {38, "UiClose", kDoublesId, 0},
    {39, "UiAdvance", kDoublesId, 0},
    {40, "UiDispatch", kDoublesId, 0},
    {41, "UiRefreshNow", kDoublesId, 0},
    {42, "UiSend", kDoublesId, 0},
    {43, "UiStyle", kDoublesId, 0},
    {44, "UiExStyle", kDoublesId, 0},
    {45, "UiSizing", kDoublesId, 0},
    {46, "UiSpy", kDoublesId, 0},
    {47, "UiMoves", kDoublesId, 0},
    {48, "UiHandle", kDoublesId, 0},
    {49, "UiActive", kDoublesId, 0},
    {50, "UiFlashes", kDoublesId, 0},
    {51, "UiSavePicture", kDoublesId, 0},
    {52, "UiAddHandlers", kDoublesId, 0},
    {53, "UiHandlerLog", kDoublesId, 0},
    {54, "UiFocus", kDoublesId, 0},
    {55, "UiPixel", kDoublesId, 0},
    {56, "UiRegionRects", kDoublesId, 0},
    {57, "UiInRegion", kDoublesId, 0},
    {58, "UiIcon", kDoublesId, 0},
    {80, "UiSpyMessages", kDoublesId, 0},
    {81, "UiMessages", kDoublesId, 0},
    {82, "UiKeepsTab", kDoublesId, 0},
    {83, "UiHandlerCount", kDoublesId, 0},
    {84, "UiSendTo", kDoublesId, 0},
    {100, "ANSWER", 0, kRowConstant},
    {0, nullptr, 0, 0},
};

CIBaseClassImpl* MakeDoubles(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) TestDoubles(&interpreter, record);
}

// Math's rows (its class row first), then the doubles' rows and the end row.
const MethodNameRow* DoublesNameTable() {
    static const std::vector<MethodNameRow> rows = [] {
        std::vector<MethodNameRow> table;
        for (const MethodNameRow* row = GetMathClassInfo()->nameTable; row->name != nullptr; ++row)
            table.push_back(*row);
        for (const MethodNameRow& row : kDoublesNames)
            table.push_back(row);
        return table;
    }();
    return rows.data();
}

const ScriptClassInfo& DoublesClass() {
    static const ScriptClassInfo info = {
        DoublesNameTable(), MakeDoubles, 99, nullptr, 0, nullptr, nullptr};
    return info;
}

// ---- Voice (the events stand-in) -------------------------------------------------------

class TestMover final : public CIBaseClassImpl {
public:
    TestMover(CInterpretor* interpreter, const CClassRecord* record)
        : CIBaseClassImpl(interpreter, record, 1), surface_(interpreter, 0),
          onMove_(interpreter, 0) {}
    void CallMethod(uint16_t methodId) override { CallMethodFromTable(*this, kMethods, methodId); }
    void Destroy(int) override { delete this; }
    void Create() override {
        if (interpreter->GetArg(0)->IsObjectOfClass(kSurfaceId))
            surface_.Assign(*interpreter->GetArg(0));
        else if (interpreter->GetArgInt(0) == -1)
            return;
        Register();
    }
    int ReleaseReferencesTo(CIBaseClassImpl* object) override {
        if (surface_.GetType() != kValueObject || surface_.GetObject() != object) return 0;
        surface_.SetInt(0);
        return 1;
    }

    static const ScriptMethod<TestMover> kMethods[6];

private:
    void X() { interpreter->GetResultSlot()->SetInt(x_); }
    void Move() {
        x_ = interpreter->GetArgInt(0);
        if (onMove_.GetType() != kValueFunction) return;
        interpreter->PostEventCoalesced(onMove_.GetFunction(), this, interpreter->GetArg(0),
                                        interpreter->GetArg(1));
    }
    void OnMove() {
        const BlockRecord* handler = interpreter->ReadHandlerAssignment();
        if (handler != nullptr)
            onMove_.SetFunction(handler);
        else
            onMove_.SetInt(0);
    }
    void Fire() {
        if (onMove_.GetType() != kValueFunction) return;
        interpreter->PostEvent(onMove_.GetFunction(), interpreter->GetArg(0),
                               interpreter->GetArg(1));
    }
    // Runs the queued events; a handler may delete this sprite meanwhile.
    void Wait() {
        for (uint32_t n = interpreter->GetQueuedEventCount(); n > 0; --n)
            interpreter->CheckPendingAndTick();
        interpreter->GetResultSlot()->SetInt(x_ + int32_t(serial));
    }

    CValue surface_;
    CValue onMove_;
    int32_t x_ = 0;
};

const ScriptMethod<TestMover> TestMover::kMethods[6] = {
    nullptr,          &TestMover::X,    &TestMover::Move, &TestMover::OnMove,
    &TestMover::Fire, &TestMover::Wait,
};

const MethodNameRow kMoverNames[] = {
    {kMoverId, "Voice", 0, 0},    {1, "X", 0, 0},     {2, "Move", 0, 0},
    {3, "OnMove", 0, 0},          {4, "Fire", 0, 0},  {5, "Wait", 0, 0},
    {11, "MAX", 0, kRowConstant}, {0, nullptr, 0, 0},
};

void MoverMax(CInterpretor& interpreter) {
    interpreter.GetResultSlot()->SetInt(7);
}

const ClassLevelHandler kMoverClassLevel[] = {MoverMax};
const uint32_t kMoverDependents[] = {kSurfaceId, 0};

CIBaseClassImpl* MakeMover(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) TestMover(&interpreter, record);
}

const ScriptClassInfo kMoverClass = {kMoverNames, MakeMover,        10,     kMoverClassLevel,
                                     1,           kMoverDependents, nullptr};

// A second class with a method X, under a name no class of ours takes yet.
class TestProbe final : public CIBaseClassImpl {
public:
    TestProbe(CInterpretor* interpreter, const CClassRecord* record)
        : CIBaseClassImpl(interpreter, record, 1) {}
    void CallMethod(uint16_t methodId) override { CallMethodFromTable(*this, kMethods, methodId); }
    void Destroy(int) override { delete this; }

    static const ScriptMethod<TestProbe> kMethods[3];

private:
    void Id() { interpreter->GetResultSlot()->SetInt(int32_t(serial)); }
    void X() { interpreter->GetResultSlot()->SetInt(100 + int32_t(serial)); }
};

const ScriptMethod<TestProbe> TestProbe::kMethods[3] = {nullptr, &TestProbe::Id, &TestProbe::X};

const MethodNameRow kProbeNames[] = {
    {kProbeId, "Blob", 0, 0}, {1, "Id", 0, 0}, {2, "X", 0, 0}, {0, nullptr, 0, 0}};

CIBaseClassImpl* MakeProbe(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) TestProbe(&interpreter, record);
}

const ScriptClassInfo kProbeClass = {kProbeNames, MakeProbe, 0, nullptr, 0, nullptr, nullptr};

const ScriptClassInfo* const kTestClasses[] = {&kMoverClass, &kProbeClass};

// Compiles and runs the source, leaving how it ended in `result`; the interpreter is gone,
// with every file it held, on return.
void RunIn(const test_support::CaseFolder& folder, const std::string& source,
           const std::string& unitName, const std::string& project, CLaunchInfo* launch,
           bool referenceWalk, bool compiledForm, ScriptResult& result) {
    CInterpretor interpreter(0, launch);
    interpreter.referenceWalk = referenceWalk ? 1 : 0;
    interpreter.compiledForm = compiledForm ? 1 : 0;
    // What Init would make: the image files scripts load and save go through it.
    interpreter.imageFileManager = new ImageFileManager;
    interpreter.imageFileManager->Init(0);
    interpreter.soundOutput = SoundMgr_Get()->CreateOutput(0, 0);
    PtrArray names;
    BuildBuiltinClassNameList(names);
    interpreter.InitClassRegistry(names);
    if (!project.empty()) {
        folder.Folder().WriteFile("project.dat", project);
        // The interpreter owns its project reader.
        interpreter.projectFile = new CProjectFile(&interpreter);
        interpreter.projectFile->Open(nullptr, folder.Folder().Win("project.dat").c_str(), nullptr);
    }
    CTokenInfos report;
    report.AddSourceText(source.data(), uint32_t(source.size()), kUnitOwnsText, unitName.c_str(),
                         0);
    result.compiled = interpreter.GetCompiler()->Compile(report) == 1;
    if (result.compiled) {
        try {
            interpreter.Start(report);
            result.ok = interpreter.RunMain(report, nullptr);
        } catch (CIError* error) {
            report.SetPendingError(error);
        }
    }
    if (const CIError* error = report.GetPendingError()) {
        result.code = error->code;
        result.subCode = error->subCode;
        result.line = error->line;
        result.column = error->column;
        result.unit = error->GetUnitName();
    } else {
        result.code = interpreter.lastEndCode;
    }
}

} // namespace

ScriptRunner::ScriptRunner() {
    // The scripts' sounds play into nothing as the clock goes, never on a desktop's speakers
    // (unless a run asks for another output).
    setenv("ZORV_AUDIO", "null", 0);
    // Worlds draw through the software renderer, whose pixels are the same everywhere.
    setenv("ZORV_GL", "off", 0);
    for (const ScriptClassInfo* info : kTestClasses)
        RegisterScriptClass(info);
    RegisterScriptClass(GetProgramClassInfo());
    RegisterScriptClass(GetStringClassInfo());
    RegisterScriptClass(GetBankClassInfo());
    RegisterSystemClasses();
    RegisterWindowClasses();
    RegisterSurfaceClasses();
    RegisterDialogClasses();
    RegisterInputClasses();
    RegisterMediaClasses();
    RegisterScene3DClasses();
    RegisterNetClasses();
    // After the 3D classes, whose Math it takes the place of.
    RegisterScriptClass(&DoublesClass());
    // And the probe in the place of their Blob, but for the runs that make a real one.
    RegisterScriptClass(&kProbeClass);
}

ScriptRunner::~ScriptRunner() {
    for (uint32_t classId : {kDoublesId, kMoverId, kProbeId, 56u, 8u, CIBank::kClassId})
        UnregisterScriptClass(classId);
    UnregisterSystemClasses();
    UnregisterWindowClasses();
    UnregisterSurfaceClasses();
    UnregisterDialogClasses();
    UnregisterInputClasses();
    UnregisterMediaClasses();
    UnregisterScene3DClasses();
    UnregisterNetClasses();
}

ScriptResult ScriptRunner::Run(const std::string& source, const std::string& unitName,
                               const std::string& project, const std::vector<std::string>& keep,
                               CLaunchInfo* launch) {
    ScriptResult result;
    std::string printed;
    output = &printed;
    // A real Blob always has arguments: a script making one without them wants the probe.
    RegisterScriptClass(source.find("New Blob()") != std::string::npos ? &kProbeClass
                                                                       : CIBlob::GetClassInfo());
    {
        test_support::CaseFolder folder;
        BeginWindowRun();
        // A run's UseRenderers lasts for the run: the caller's registry comes back after it.
        struct End {
            LAPIRegistry* registry = GetAPIRegistry();
            ~End() {
                EndWindowRun();
                SetAPIRegistry(registry);
            }
        } end;
        RunIn(folder, source, unitName, project, launch, referenceWalk, compiledForm, result);
        for (const std::string& name : keep) {
            if (folder.Folder().Exists(name)) result.files[name] = folder.Folder().ReadFile(name);
        }
    }
    output = nullptr;
    result.output = printed;
    RegisterScriptClass(&kProbeClass);
    return result;
}

} // namespace script_test
