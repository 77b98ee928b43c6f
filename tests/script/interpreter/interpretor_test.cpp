#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "foundation/containers/ptr_array.h"
#include "script/interpreter/interpretor.h"
#include "script/language/token_codes.h"
#include "script/language/token_compiler.h"
#include "script/script_runner.h"

namespace {

// An interpreter with every class known, started on a compiled script.
class StartedInterpretor {
public:
    explicit StartedInterpretor(const std::string& source) {
        PtrArray names;
        BuildBuiltinClassNameList(names);
        EXPECT_EQ(interpreter.InitClassRegistry(names), 1);
        report.AddSourceText(source.data(), uint32_t(source.size()), kUnitOwnsText, "test", 0);
        compiled = interpreter.GetCompiler()->Compile(report) == 1;
        if (compiled) interpreter.Start(report);
    }

    script_test::ScriptRunner classes;
    CInterpretor interpreter;
    CTokenInfos report;
    // Tests stop on a script that does not compile: it was never started.
    bool compiled = false;
};

TEST(CInterpretorRun, ResetFreesWhatARunMadeAndKeepsTheClassRegistry) {
    StartedInterpretor started("Function F(x) { }\n"
                               "s = New Voice(); t = New Blob(); a[3] = s;\n"
                               "EnableEvents(0); Post(F, t);\n");
    ASSERT_TRUE(started.compiled);
    CInterpretor& interpreter = started.interpreter;
    ASSERT_EQ(interpreter.RunMain(started.report, nullptr), 1);
    EXPECT_EQ(interpreter.classObjects[53].GetCount(), 1u);
    EXPECT_EQ(interpreter.arrayList.GetCount(), 1u);
    EXPECT_EQ(interpreter.GetQueuedEventCount(), 1u);
    ASSERT_NE(interpreter.GetSingleton(56), nullptr);

    interpreter.Reset();
    for (const CHandleList& list : interpreter.classObjects)
        EXPECT_EQ(list.GetCount(), 0u);
    EXPECT_EQ(interpreter.arrayList.GetCount(), 0u);
    EXPECT_EQ(interpreter.GetQueuedEventCount(), 0u);
    EXPECT_EQ(interpreter.GetSingleton(56), nullptr);
    EXPECT_NE(interpreter.GetClassRecord(53)->lookup, nullptr);
    // The next start makes the singletons again.
    interpreter.Start(started.report);
    EXPECT_NE(interpreter.GetProgram(), nullptr);
}

TEST(CInterpretorRun, ResetDeletesTheTemporaryFilesEvenReadOnlyOnes) {
    std::filesystem::path folder = std::filesystem::temp_directory_path();
    std::filesystem::path plain = folder / "zorv_interpretor_temporary_1.tmp";
    std::filesystem::path readOnly = folder / "zorv_interpretor_temporary_2.tmp";
    for (const auto& path : {plain, readOnly})
        std::ofstream(path) << "x";
    std::filesystem::permissions(readOnly, std::filesystem::perms::owner_read);
    CInterpretor interpreter;
    interpreter.AddTemporaryFile(plain.string().c_str());
    interpreter.AddTemporaryFile(readOnly.string().c_str());
    EXPECT_TRUE(std::filesystem::exists(plain));
    interpreter.Reset();
    EXPECT_FALSE(std::filesystem::exists(plain));
    EXPECT_FALSE(std::filesystem::exists(readOnly));
}

TEST(CInterpretorRun, CollectionKeepsTheSingletons) {
    StartedInterpretor started("x = 1;");
    ASSERT_TRUE(started.compiled);
    CInterpretor& interpreter = started.interpreter;
    CIBaseClassImpl* singletons[] = {interpreter.GetSingleton(2),  interpreter.GetSingleton(3),
                                     interpreter.GetSingleton(4),  interpreter.GetSingleton(39),
                                     interpreter.GetSingleton(56), interpreter.GetSingleton(57),
                                     interpreter.GetSingleton(59)};
    interpreter.CollectGarbage();
    CIBaseClassImpl* after[] = {interpreter.GetSingleton(2),  interpreter.GetSingleton(3),
                                interpreter.GetSingleton(4),  interpreter.GetSingleton(39),
                                interpreter.GetSingleton(56), interpreter.GetSingleton(57),
                                interpreter.GetSingleton(59)};
    for (size_t i = 0; i < std::size(singletons); ++i) {
        ASSERT_NE(singletons[i], nullptr);
        EXPECT_EQ(after[i], singletons[i]);
        EXPECT_EQ(singletons[i]->alive, 1u);
    }
    EXPECT_EQ(interpreter.classObjects[2].GetCount(), 1u);
}

// A method that parks a temporary string and then fails.
class ParkingObject : public CIBaseClassImpl {
public:
    explicit ParkingObject(CInterpretor* interpreter) : CIBaseClassImpl(interpreter, nullptr, 0) {}
    void CallMethod(uint16_t) override {
        char* parked = nullptr;
        interpreter->AllocTempString(16, &parked);
        interpreter->RaiseError(45);
    }
};

TEST(CInterpretorRun, AnErrorInsideAMethodFreesOnlyTheTemporaryStringsOfThatCall) {
    StartedInterpretor started("x = 1;");
    ASSERT_TRUE(started.compiled);
    CInterpretor& interpreter = started.interpreter;
    char* text = nullptr;
    for (int i = 1; i < int(CInterpretor::kTemporaryStrings); ++i)
        ASSERT_EQ(interpreter.AllocTempString(4, &text), i);
    ParkingObject object(&interpreter);
    try {
        interpreter.GuardedCall(&object, 1);
        FAIL() << "the error did not go on";
    } catch (CIError* error) {
        EXPECT_EQ(error->code, 45);
        CWXException::Delete(error);
    }
    // The method's string is free again; the caller's 255 are not.
    EXPECT_EQ(interpreter.AllocTempString(4, &text), int(CInterpretor::kTemporaryStrings));
    try {
        interpreter.AllocTempString(4, &text);
        FAIL() << "a 257th string was given";
    } catch (CIError* error) {
        EXPECT_EQ(error->code, 44);
        CWXException::Delete(error);
    }
    EXPECT_EQ(object.runningCalls, 0);
}

TEST(CInterpretorRunning, ErrorsCarryTheUnitLineAndColumnOfTheCurrentToken) {
    CTokenCompiler compiler;
    PtrArray noClasses;
    ASSERT_EQ(compiler.BuildClassLookups(noClasses), 1);
    CInterpretor interpreter;
    interpreter.AddUnit("a = 1;\r\nb = 2;\n  c = 3;", 0, "Game:scripts/main.zs", 0);
    ASSERT_EQ(compiler.Compile(interpreter), 1);

    interpreter.mode = kModeRunning;
    interpreter.currentToken = interpreter.GetStream();
    for (int name = 0; name < 3; ++name) {
        if (name > 0) interpreter.SkipToken();
        interpreter.currentToken = interpreter.FindToken(kTokenName);
        ASSERT_NE(interpreter.currentToken, nullptr);
    }
    try {
        interpreter.RaiseError(41);
        FAIL() << "RaiseError returned";
    } catch (CIError* error) {
        EXPECT_EQ(error->code, 41);
        EXPECT_STREQ(error->GetUnitName(), "Game:scripts/main.zs");
        EXPECT_EQ(error->line, 2);
        EXPECT_EQ(error->column, 2);
        char text[64];
        error->Format(text, sizeof text, 1);
        EXPECT_STREQ(text, "Erreur #41 ligne 3.");
        CWXException::Delete(error);
    }
}

} // namespace
