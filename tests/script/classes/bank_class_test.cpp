#include "script/classes/bank_class.h"

#include <gtest/gtest.h>

#include <new>
#include <string>
#include <vector>

#include "foundation/containers/ptr_array.h"
#include "script/classes/script_program.h"
#include "script/classes/string_class.h"
#include "script/interpreter/interpretor.h"
#include "script/language/token_compiler.h"
#include "script/project/element.h"
#include "script/project/project_file.h"
#include "script/project/project_test_data.h"
#include "support/temp_dir.h"

namespace {

using namespace project_test;

constexpr uint32_t kSystemId = 39;
std::string* printed = nullptr;

// System.Print(...): the arguments separated by a blank, then a line break.
class PrintingSystem final : public CIBaseClassImpl {
public:
    PrintingSystem(CInterpretor* interpreter, const CClassRecord* record)
        : CIBaseClassImpl(interpreter, record, 1) {}
    void CallMethod(uint16_t) override {
        std::string line;
        for (int32_t i = 0; i < interpreter->GetArgCount(); ++i)
            line += (i > 0 ? " " : "") + std::string(interpreter->GetArgString(uint32_t(i)));
        *printed += line + "\n";
    }
    void Destroy(int) override { delete this; }
};

const MethodNameRow kSystemNames[] = {
    {kSystemId, "System", 0, 0}, {1, "Print", kSystemId, 0}, {0, nullptr, 0, 0}};

CIBaseClassImpl* MakeSystem(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) PrintingSystem(&interpreter, record);
}

const ScriptClassInfo kSystemClass = {kSystemNames, MakeSystem, 0, nullptr, 0, nullptr, nullptr};

Bank MakeBank(uint32_t type, const std::string& name, const std::vector<Element>& elements) {
    Bank bank;
    bank.type = type;
    bank.name = name;
    bank.elements = elements;
    return bank;
}

struct Outcome {
    int32_t code = 0;
    std::string output;
};

class BankClassTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterScriptClass(&kSystemClass);
        RegisterScriptClass(GetBankClassInfo());
        RegisterScriptClass(GetProgramClassInfo());
        RegisterScriptClass(GetStringClassInfo());

        Entry game;
        game.name = "Game";
        game.banks = {
            MakeBank(kSourceBank, "Sources", {Element("main", "End 0")}),
            MakeBank(kBinaryBank, "Data",
                     {Element("raw", "plain"), Element::Hole(), Element("Zipped", "zz", true)}),
            MakeBank(kStringBank, "Texts",
                     {Element("Greeting", "Hello there", true), Element("Bye", "Bye")})};
        Entry tool;
        tool.name = "Tool";
        tool.banks = {MakeBank(kSoundBank, "Extra", {Element("beep", "b")})};
        dir_.WriteFile("project.dat", Project({game, tool}));
    }
    void TearDown() override {
        for (uint32_t id : {kSystemId, CIBank::kClassId, 56u, 8u})
            UnregisterScriptClass(id);
    }

    Outcome Run(const std::string& source) {
        Outcome outcome;
        printed = &outcome.output;
        CInterpretor interpreter;
        PtrArray names;
        BuildBuiltinClassNameList(names);
        interpreter.InitClassRegistry(names);
        // The interpreter owns its project reader.
        interpreter.projectFile = new CProjectFile(&interpreter);
        EXPECT_EQ(interpreter.projectFile->Open(nullptr, dir_.Win("project.dat").c_str(), nullptr),
                  kResultOk);
        CTokenInfos report;
        report.AddSourceText(source.data(), uint32_t(source.size()), kUnitOwnsText, "bank.zs", 0);
        if (interpreter.GetCompiler()->Compile(report) != 1) {
            ADD_FAILURE() << "the script does not compile";
            printed = nullptr;
            return outcome;
        }
        try {
            interpreter.Start(report);
            interpreter.RunMain(report, nullptr);
        } catch (CIError* error) {
            report.SetPendingError(error);
        }
        outcome.code = report.GetPendingError() != nullptr ? report.GetPendingError()->code
                                                           : interpreter.lastEndCode;
        printed = nullptr;
        return outcome;
    }

    test_support::TempDir dir_;
};

TEST_F(BankClassTest, MethodsAndConstants) {
    Outcome o = Run(R"(
b = New Bank("Data");
Print(b.GetElemCount(), b.GetType() == Bank.BANKTYPE_BINARY, b.GetElemName(0));
Print("[" + b.GetElemName(1) + "]", "[" + b.GetElemName(9) + "]", b.GetElemIndex("ZIPPED"), b.GetElemIndex("none"));
texts = New Bank("Texts");
Print(Bank.BANKTYPE_3D - Bank.BANKTYPE_IMAGE, Bank.BANKTYPE_STRING == texts.GetType());
Print(Bank.BANKTYPE_ANIMATION - Bank.BANKTYPE_IMAGE, Bank.BANKTYPE_SOUND - Bank.BANKTYPE_MUSIC);
t = New Bank("tool://EXTRA");
Print(t.GetElemName(0), t.GetType() == Bank.BANKTYPE_SOUND);
)");
    EXPECT_EQ(o.code, 0);
    EXPECT_EQ(o.output, "3 1 raw\n[] [] 2 -1\n5 1\n1 -1\nbeep 1\n");
}

TEST_F(BankClassTest, RefusalsRaiseTheirErrors) {
    const struct {
        const char* source;
        int32_t code;
    } cases[] = {
        {"b = New Bank();", 14},
        {"b = New Bank(\"Nope\");", 134},
        {"b = New Bank(\"Sources\");", 134},
        {"b = New Bank(\"Game://Sources\");", 134},
        {"b = New Bank(\"Data\"); x = b.GetElemName();", 14},
        {"b = New Bank(\"Data\"); x = b.GetElemIndex();", 14},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Run(c.source).code, c.code) << c.source;
}

TEST_F(BankClassTest, StringsComeFromTheStringBank) {
    Outcome o = Run(R"(
a = New String(0);
b = New String("bye");
Print(a.Length(), b.ToUpperCase());
)");
    EXPECT_EQ(o.code, 0);
    EXPECT_EQ(o.output, "11 BYE\n");
    EXPECT_EQ(Run("s = New String(2);").code, 79);
    EXPECT_EQ(Run("s = New String(\"Game://Data/raw\");").code, 79);
}

TEST_F(BankClassTest, EntryIndexAndElementsFromValues) {
    CInterpretor interpreter;
    interpreter.projectFile = new CProjectFile(&interpreter);
    ASSERT_EQ(interpreter.projectFile->Open(nullptr, dir_.Win("project.dat").c_str(), nullptr),
              kResultOk);
    std::string name;
    interpreter.entryIndex = 1;
    interpreter.SelectProjectEntry();
    interpreter.GetApplicationName(name);
    EXPECT_EQ(name, "Tool");
    CValue value(&interpreter, 0);
    CElement* beep = interpreter.GetElementFromValue(value, kSoundBank, 1);
    ASSERT_NE(beep, nullptr);
    EXPECT_STREQ(beep->GetNameText(), "beep");

    // An index past the entries falls back to the first entry.
    interpreter.entryIndex = 7;
    interpreter.SelectProjectEntry();
    interpreter.GetApplicationName(name);
    EXPECT_EQ(name, "Game");
    value.SetFloat(2.0);
    CElement* zipped = interpreter.GetElementFromValue(value, kBinaryBank, 1);
    ASSERT_NE(zipped, nullptr);
    EXPECT_STREQ(zipped->GetNameText(), "Zipped");
    value.SetInt(1);
    EXPECT_EQ(interpreter.GetElementFromValue(value, kBinaryBank, 1), nullptr); // a hole
    value.SetString("main", 0);
    EXPECT_EQ(interpreter.GetElementFromValue(value, kSourceBank, 1), nullptr);
    EXPECT_NE(interpreter.GetElementFromValue(value, kSourceBank, 0), nullptr);
    value.SetString("Game://Texts/bye", 0);
    EXPECT_NE(interpreter.GetElementFromValue(value, kBinaryBank, 1), nullptr);
    value.SetDefault();
    EXPECT_EQ(interpreter.GetElementFromValue(value, kBinaryBank, 1), nullptr);
}

} // namespace
