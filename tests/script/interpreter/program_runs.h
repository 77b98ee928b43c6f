// Running a random program the three ways it can run (the walk with its short ways, the
// reference walk, compiled), with what each run shows: its output with the kind of every
// value printed, the error that ended it with its unit, line and column, and the output
// lines printed by each housekeeping check.
#pragma once

#include <cstdint>
#include <new>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "foundation/containers/ptr_array.h"
#include "platform/kernel/test_hooks.h"
#include "script/classes/base_class.h"
#include "script/classes/script_program.h"
#include "script/classes/string_class.h"
#include "script/interpreter/ierror.h"
#include "script/interpreter/interpretor.h"
#include "script/language/token_compiler.h"
#include "script/runtime/time_driven.h"

namespace program_runs {

constexpr uint32_t kMathId = 2;

// What one run showed.
struct Outcome {
    std::string output;
    int32_t code = 0;
    uint32_t subCode = 0;
    int32_t line = -1;
    int32_t column = -1;
    std::string unit;
    // The output lines printed by each housekeeping check.
    std::vector<size_t> ticks;
    // Functions that ran from compiled code.
    uint32_t compiled = 0;
};

inline Outcome* running = nullptr;

// Math as the programs see it: Print(...) shows each argument with its kind, Post(handler,
// value) queues an event, Raise(code) fails inside a method.
class Console final : public CIBaseClassImpl {
public:
    Console(CInterpretor* interpreter, const CClassRecord* record)
        : CIBaseClassImpl(interpreter, record, 1) {}
    void CallMethod(uint16_t methodId) override { CallMethodFromTable(*this, kMethods, methodId); }
    void Destroy(int) override { delete this; }
    static const ScriptMethod<Console> kMethods[4];

private:
    void Print() {
        std::string line;
        for (int32_t i = 0; i < interpreter->GetArgCount(); ++i) {
            const CValue* value = interpreter->GetArg(uint32_t(i));
            line += " " + std::to_string(value->GetType()) + ":";
            if (value->GetType() <= kValueString) line += interpreter->GetArgString(uint32_t(i));
        }
        if (running != nullptr) running->output += line + "\n";
    }
    void Post() {
        const CValue* argument = interpreter->GetArgCount() > 1 ? interpreter->GetArg(1) : nullptr;
        interpreter->PostEvent(interpreter->GetArg(0)->GetFunction(), argument);
    }
    void Raise() { interpreter->RaiseError(interpreter->GetArgInt(0)); }
};

inline const ScriptMethod<Console> Console::kMethods[4] = {nullptr, &Console::Print, &Console::Post,
                                                           &Console::Raise};

inline const MethodNameRow kConsoleNames[] = {
    {kMathId, "Math", 0, 0},  {1, "Print", kMathId, 0}, {2, "Post", kMathId, 0},
    {3, "Raise", kMathId, 0}, {0, nullptr, 0, 0},
};

inline CIBaseClassImpl* MakeConsole(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) Console(&interpreter, record);
}

inline const ScriptClassInfo kConsoleClass = {kConsoleNames, MakeConsole, 99, nullptr, 0,
                                              nullptr,       nullptr};

// Each housekeeping check ticks it (tick interval 0).
struct TickJournal final : public CInterrupt {
    void Tick(uint32_t) override {
        if (running != nullptr) {
            size_t lines = 0;
            for (char c : running->output)
                lines += c == '\n' ? 1 : 0;
            running->ticks.push_back(lines);
        }
    }
};

// The three ways a program can run: the walk with its short ways, the reference walk, and
// compiled functions with the rest on the walk with its short ways.
enum class Way { kFast, kReference, kCompiled };

inline Outcome RunProgram(const std::string& source, Way way) {
    Outcome outcome;
    running = &outcome;
    TickJournal ticks;
    {
        CInterpretor interpreter;
        interpreter.referenceWalk = way == Way::kReference ? 1 : 0;
        interpreter.compiledForm = way == Way::kCompiled ? 1 : 0;
        PtrArray names;
        BuildBuiltinClassNameList(names);
        interpreter.InitClassRegistry(names);
        CTokenInfos report;
        report.AddSourceText(source.data(), uint32_t(source.size()), kUnitOwnsText, "random.zs", 0);
        if (interpreter.GetCompiler()->Compile(report) == 1) {
            try {
                interpreter.Start(report);
                interpreter.tickInterval = 0;
                interpreter.AddMovingLocation(&ticks);
                interpreter.RunMain(report, nullptr);
            } catch (CIError* error) {
                report.SetPendingError(error);
            }
            outcome.compiled = interpreter.GetCompiledFunctionCount();
        } else {
            outcome.output = "does not compile";
        }
        if (const CIError* error = report.GetPendingError()) {
            outcome.code = error->code;
            outcome.subCode = error->subCode;
            outcome.line = error->line;
            outcome.column = error->column;
            outcome.unit = error->GetUnitName();
        } else {
            outcome.code = interpreter.lastEndCode;
        }
    }
    running = nullptr;
    return outcome;
}

// A program's run compiled (or otherwise) against its run by the reference walk: the same
// output, error and its place, and housekeeping pacing.
inline void SameAsReference(const Outcome& other, const Outcome& reference, uint32_t seed,
                            const std::string& source) {
    ASSERT_EQ(other.output, reference.output) << "seed " << seed << "\n" << source;
    ASSERT_EQ(other.code, reference.code) << "seed " << seed << "\n" << source;
    ASSERT_EQ(other.subCode, reference.subCode) << "seed " << seed << "\n" << source;
    ASSERT_EQ(other.line, reference.line) << "seed " << seed << "\n" << source;
    ASSERT_EQ(other.column, reference.column) << "seed " << seed << "\n" << source;
    ASSERT_EQ(other.unit, reference.unit) << "seed " << seed << "\n" << source;
    ASSERT_EQ(other.ticks, reference.ticks) << "seed " << seed << "\n" << source;
}

// The programs `make` writes for `count` seeds from `firstSeed`, each run by the reference
// walk and compiled, with at least `minimumCompiled` bodies compiled: the first difference
// fails. `ended` counts those that ran to their end, which a test asks to be a good share.
template <class Make>
void CompareWithTheWalk(uint32_t firstSeed, uint32_t count, uint32_t minimumCompiled, Make make,
                        uint32_t& ended) {
    ended = 0;
    for (uint32_t seed = firstSeed; seed < firstSeed + count; ++seed) {
        const std::string source = make(seed);
        const Outcome reference = RunProgram(source, Way::kReference);
        const Outcome compiled = RunProgram(source, Way::kCompiled);
        ASSERT_NE(reference.output, "does not compile") << source;
        ASSERT_GE(compiled.compiled, minimumCompiled) << source;
        ASSERT_NO_FATAL_FAILURE(SameAsReference(compiled, reference, seed, source));
        ended += reference.code == 0 ? 1 : 0;
    }
}

// A test of random programs: Math is the console above for its length, beside Program and
// String, and the clock stands still.
class ProgramRunsTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::test::FreezeClock(100000);
        savedMath_ = GetScriptClassInfo(kMathId);
        RegisterScriptClass(&kConsoleClass);
        RegisterScriptClass(GetProgramClassInfo());
        RegisterScriptClass(GetStringClassInfo());
    }
    void TearDown() override {
        UnregisterScriptClass(kMathId);
        if (savedMath_ != nullptr) RegisterScriptClass(savedMath_);
        platform::test::UnfreezeClock();
    }

private:
    const ScriptClassInfo* savedMath_ = nullptr;
};

} // namespace program_runs
