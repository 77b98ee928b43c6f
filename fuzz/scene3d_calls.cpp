// Random call sequences on the 3D classes with hostile arguments: NaN, ±1e30, -99999, 2^31 as
// a double, the smallest integer, texts, arrays, objects of the wrong class and objects already
// deleted. The input is turned into a script of creations, method calls, collision handlers
// and deletes on a few variables of each class; the run catches the methods' errors
// (Program.OnError), so one bad call does not end it, and ends with a frame drawn through the
// software renderer. While it runs, the clock jumps by amounts the input picks (up to a whole
// wrap of the millisecond counter), so that falls, motions and animations meet long stalls.
// Nothing may crash, hang, leak, touch freed memory or meet undefined behaviour.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "classes/scene3d/scene3d_classes.h"
#include "classes/surface/surface_classes.h"
#include "classes/system/system_classes.h"
#include "classes/window/window_classes.h"
#include "engine3d/render/registry.h"
#include "foundation/containers/ptr_array.h"
#include "graphics2d/formats/image_file_manager.h"
#include "in_empty_directory.h"
#include "platform/display/headless_display.h"
#include "platform/kernel/test_hooks.h"
#include "script/classes/base_class.h"
#include "script/classes/script_classes.h"
#include "script/classes/unbuilt_classes.h"
#include "script/interpreter/interpretor.h"
#include "script/language/token_compiler.h"
#include "script/runtime/display_list.h"
#include "script/runtime/launch_info.h"
#include "script/runtime/run_application.h"
#include "script/runtime/time_driven.h"

// From AddressSanitizer's runtime, which every fuzz target links.
extern "C" size_t __sanitizer_get_current_allocated_bytes();

namespace {

class Reader {
public:
    Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
    bool More() const { return at_ < size_; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

// The variables of the script: two of each class that is built, the Surface first so that
// Worlds and Cameras have one to show in.
struct Slot {
    uint32_t classId;
    std::string name;
    // The arguments of an ordinary New: 'S' stands for a Surface variable, 'W' for a World's,
    // 'O' for an Object's.
    const char* typical;
    // The methods a call may pick: the class's rows but its constants and event properties.
    std::vector<std::string> methods;
};

constexpr uint32_t kSurfaceClass = 9;
constexpr uint32_t kWorldClass = 69;
constexpr uint32_t kObjectClass = 62;
constexpr uint32_t kMathClass = 2;
// Surface, World, Camera, Object, Light, Position, Zone, Vector, Matrix, Polygon, Point3D,
// PointArray, Quaternion and Speaker, each with the arguments of an ordinary New (a Speaker
// has no sound to play here: its making fails and its methods meet no object).
constexpr struct {
    uint32_t classId;
    const char* typical;
} kClasses[] = {
    {9, "(64, 48)"},      {69, "(S)"},
    {61, "(W, S)"},       {62, "(W)"},
    {63, "(W)"},          {64, "(W)"},
    {66, "(W)"},          {71, "(1, -2, 3)"},
    {72, "()"},           {74, "(O, 0, 0, 0, 1, 0, 0, 0, 1, 0)"},
    {75, "(W, 1, 2, 3)"}, {10, "(5, 0, 0, 0, 0.5, 0.5, 1, 0, 0, 1, 0)"},
    {73, "()"},           {67, "(\"hum.wav\", W, 0, 0, 100)"},
};

// Arguments that break what a careless method assumes.
constexpr const char* kHostile[] = {
    "0",        "1",     "-1",   "2.5",  "nan",  "1e30", "-1e30", "-99999", "2147483648.0",
    "smallest", "\"x\"", "list", "grid", "dead", "3",    "0.001",
};
constexpr size_t kHostileCount = sizeof kHostile / sizeof kHostile[0];

std::vector<std::string> Methods(uint32_t classId) {
    std::vector<std::string> methods;
    const ScriptClassInfo* info = GetScriptClassInfo(classId);
    for (const MethodNameRow* row = info->nameTable + 1; row->name != nullptr; ++row) {
        const std::string name = row->name;
        if ((row->flags & kRowConstant) != 0 || name.rfind("On", 0) == 0) continue;
        methods.push_back(name);
    }
    return methods;
}

struct Setup {
    Setup() {
        setenv("ZORV_GL", "off", 1);
        platform::headless::Install();
        platform::test::FreezeClock(1000);
        // The window class and the thread's 2D graphics, which Surfaces draw with.
        InitGlobalUI();
        RegisterSystemClasses();
        RegisterWindowClasses();
        RegisterSurfaceClasses();
        RegisterScene3DClasses();
        RegisterScriptClasses();
        SetAPIRegistry(&GetBackEndRegistry());
        for (const auto& [classId, typical] : kClasses) {
            const ScriptClassInfo* info = GetScriptClassInfo(classId);
            if (info == nullptr || info == GetUnbuiltClassInfo(classId)) continue;
            for (int copy = 0; copy < 2; ++copy) {
                // The Surfaces only hold the views: their own methods have targets of their own.
                Slot slot{classId, "v" + std::to_string(slots.size()), typical,
                          classId == kSurfaceClass ? std::vector<std::string>{} : Methods(classId)};
                slots.push_back(slot);
            }
        }
        math = Methods(kMathClass);
    }
    std::vector<Slot> slots;
    std::vector<std::string> math;
};

std::string Argument(Reader& in, const Setup& setup) {
    const uint8_t pick = in.Byte();
    if (pick < 160) return kHostile[pick % kHostileCount];
    return setup.slots[pick % setup.slots.size()].name;
}

std::string Arguments(Reader& in, const Setup& setup) {
    std::string text = "(";
    const int count = in.Byte() % 8;
    for (int i = 0; i < count; ++i)
        text += (i > 0 ? ", " : "") + Argument(in, setup);
    return text + ")";
}

// A variable of the class, or 0 when the class is not built.
std::string SlotOf(Reader& in, const Setup& setup, uint32_t classId) {
    const uint8_t pick = in.Byte();
    for (size_t i = 0; i < setup.slots.size(); ++i) {
        const Slot& slot = setup.slots[(pick + i) % setup.slots.size()];
        if (slot.classId == classId) return slot.name;
    }
    return "0";
}

// An ordinary New of the slot's class, its placeholders replaced by variables; it is made
// only while those variables hold objects.
std::string Typical(Reader& in, const Setup& setup, const Slot& slot) {
    std::string condition;
    std::string arguments;
    for (const char* c = slot.typical; *c != 0; ++c) {
        if (*c != 'S' && *c != 'W' && *c != 'O') {
            arguments += *c;
            continue;
        }
        const uint32_t classId = *c == 'S' ? kSurfaceClass : *c == 'W' ? kWorldClass : kObjectClass;
        const std::string variable = SlotOf(in, setup, classId);
        condition += (condition.empty() ? "" : " && ") + ("Program.IsObject(" + variable + ")");
        arguments += variable;
    }
    const std::string creation =
        slot.name + " = New " + GetBuiltinClassName(slot.classId) + arguments + ";\n";
    return condition.empty() ? creation : "If (" + condition + ") " + creation;
}

std::string Script(Reader& in, const Setup& setup) {
    std::string text = "Function Caught(code, text, unit, line, column) { }\n"
                       "Program.OnError = Caught;\n"
                       "Function Hit(wo, one, two, face, contact, side) { Delete contact; }\n"
                       "Function Met(wo, count, pairs) { x = count; }\n"
                       "nan = Math.Sqrt(-1);\n"
                       "smallest = 1 << 31;\n"
                       "list[0] = 1; list[2] = \"y\";\n"
                       "grid[2, 3] = 1.5; grid[0, 0] = nan;\n"
                       "dead = New Vector(1, 2, 3); Delete dead;\n";
    for (const Slot& slot : setup.slots)
        text += slot.name + " = 0;\n";
    for (const Slot& slot : setup.slots) {
        if (slot.classId == kSurfaceClass) text += slot.name + " = New Surface(64, 48);\n";
    }
    for (int statements = 0; statements < 400 && in.More(); ++statements) {
        const uint8_t op = in.Byte() % 8;
        const Slot& slot = setup.slots[in.Byte() % setup.slots.size()];
        const std::string& name = slot.name;
        if (op == 5) {
            // A creation refused ends the run (error 38): most are ordinary.
            if ((in.Byte() & 31) == 0)
                text += name + " = New " + GetBuiltinClassName(slot.classId) +
                        Arguments(in, setup) + ";\n";
            else
                text += Typical(in, setup, slot);
        } else if (op == 6) {
            text += "If (Program.IsObject(" + name + ")) Delete " + name + ";\n";
        } else if (op == 4 && slot.classId == kWorldClass) {
            const char* event = (in.Byte() & 1) != 0 ? "OnCollide = Hit" : "OnCollisions = Met";
            text += "If (Program.IsObject(" + name + ")) " + name + "." + event + ";\n";
        } else if (op == 7) {
            const std::string& method = setup.math[in.Byte() % setup.math.size()];
            text += "x = Math." + method + Arguments(in, setup) + ";\n";
        } else if (!slot.methods.empty()) {
            const std::string& method = slot.methods[in.Byte() % slot.methods.size()];
            text += "If (Program.IsObject(" + name + ")) x = " + name + "." + method +
                    Arguments(in, setup) + ";\n";
        }
    }
    return text;
}

// A budget of statement checks and of memory, as the script compiler's target keeps one: a
// run ends as a host's stop request ends it.
constexpr uint32_t kBudgetChecks = 20000;
constexpr size_t kMemoryBudget = size_t(512) << 20;

struct StatementBudget final : public CInterrupt {
    explicit StatementBudget(CLaunchInfo& launch) : launch(launch) {}
    void Tick(uint32_t) override {
        if (++checks >= kBudgetChecks || __sanitizer_get_current_allocated_bytes() > kMemoryBudget)
            launch.stopRequest = 1;
    }
    CLaunchInfo& launch;
    uint32_t checks = 0;
};

// At every tenth statement check the clock moves on by the next of the input's jumps.
struct ClockJumps final : public CInterrupt {
    explicit ClockJumps(std::vector<uint32_t> jumps) : jumps(std::move(jumps)) {}
    void Tick(uint32_t) override {
        if (jumps.empty() || ++checks % 10 != 0) return;
        platform::headless::AdvanceTime(jumps[(checks / 10) % jumps.size()]);
    }
    std::vector<uint32_t> jumps;
    uint32_t checks = 0;
};

constexpr uint32_t kJumps[] = {0, 1, 20, 50, 51, 1000, 3600000, 0x7FFFFFFFu, 0xFFFFFFFFu};

// The jumps, from the input's last bytes: an input that ends in zeros keeps a calm clock.
std::vector<uint32_t> Jumps(const uint8_t* data, size_t size) {
    std::vector<uint32_t> jumps;
    for (size_t i = 0; i < 8 && i < size; ++i)
        jumps.push_back(kJumps[data[size - 1 - i] % (sizeof kJumps / sizeof kJumps[0])]);
    return jumps;
}

void RunScript(const std::string& source, std::vector<uint32_t> jumps) {
    CLaunchInfo launch;
    StatementBudget budget(launch);
    ClockJumps clock(std::move(jumps));
    CInterpretor interpreter(0, &launch);
    PtrArray names;
    BuildBuiltinClassNameList(names);
    if (interpreter.InitClassRegistry(names) != 1) return;
    // What the player's start-up makes: Surfaces load and convert images through it.
    interpreter.imageFileManager = new ImageFileManager;
    interpreter.imageFileManager->Init(0);
    CTokenInfos report;
    try {
        report.AddSourceText(source.data(), uint32_t(source.size()), 0, "scene3d.zs", 0);
        if (interpreter.GetCompiler()->Compile(report) != 1) std::abort();
        interpreter.Start(report);
        interpreter.tickInterval = 0;
        interpreter.statementsPerCheck = 0;
        interpreter.AddMovingLocation(&budget);
        interpreter.AddMovingLocation(&clock);
        interpreter.RunMain(report, nullptr);
        // The frame: every Camera left renders into its Surface.
        interpreter.RefreshPass();
    } catch (CIError* error) {
        report.SetPendingError(error);
    }
}

} // namespace

// Fontconfig loses a few bytes once while reading its configuration; libFuzzer's leak check
// looks at the whole process whenever an input keeps memory, so that loss would be charged to
// whichever input came along.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Setup setup;
    if (setup.slots.empty()) return 0;
    world_fuzz::InEmptyDirectory here("zorv_fuzz_scene3d_calls");
    Reader in(data, size);
    RunScript(Script(in, setup), Jumps(data, size));
    platform::headless::DispatchPending();
    return 0;
}
