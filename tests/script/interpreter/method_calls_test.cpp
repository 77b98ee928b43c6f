// Random programs calling methods of a singleton and of texts inside expressions, run the
// three ways, must agree with the reference walk in what they print, in the error that ends
// them and where it stands. The singleton's methods of one number are worked out by number
// code once their call site knows them, and the programs give them every kind of argument,
// too few and too many, beside a method with an effect that number code must not run twice,
// and a method that fails. Loops made of number statements alone run as loop programs, whose
// method calls meet a global that an event handler run between statements gives another
// kind; texts' methods meet texts that are shared, changed and made from numbers.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

#include "program_runs.h"
#include "script/values/number_text.h"

namespace {

using namespace program_runs;

// The console of program_runs.h with methods of numbers: Half and Root of one number (each
// also a NumberMethod), Count, which counts its calls, and Fail, which raises error 77.
class NumberConsole final : public CIBaseClassImpl {
public:
    NumberConsole(CInterpretor* interpreter, const CClassRecord* record)
        : CIBaseClassImpl(interpreter, record, 1) {}
    void CallMethod(uint16_t methodId) override { CallMethodFromTable(*this, kMethods, methodId); }
    void Destroy(int) override { delete this; }

    static double HalfOf(double x) { return x / 2; }
    static double RootOf(double x) { return std::sqrt(std::fabs(x)) - 1; }
    // Power fails for an exponent of 13; Mag keeps an integer's kind; Whole gives an integer.
    static bool PowerOf(double x, double y, double& result) {
        if (y == 13) return false;
        result = std::pow(x, y);
        return true;
    }
    static bool MagOf(double x, double, double& result) {
        result = std::fabs(x);
        return true;
    }
    static int32_t MagOfInt(int32_t n) { return n < 0 ? int32_t(0u - uint32_t(n)) : n; }
    static bool WholeOf(double x, double, double& result) {
        result = std::trunc(x);
        return true;
    }

    static const ScriptMethod<NumberConsole> kMethods[11];

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
    // A missing argument fails, a text is read as its number.
    double Argument() {
        if (interpreter->GetArgCount() < 1) interpreter->RaiseError(14);
        return interpreter->GetArgDouble(0);
    }
    void Half() { interpreter->GetResultSlot()->SetFloat(HalfOf(Argument())); }
    void Root() { interpreter->GetResultSlot()->SetFloat(RootOf(Argument())); }
    void Count() { interpreter->GetResultSlot()->SetInt(++count_); }
    void Fail() { interpreter->RaiseError(77); }
    void Power() {
        if (interpreter->GetArgCount() < 2) interpreter->RaiseError(14);
        double result;
        if (!PowerOf(interpreter->GetArgDouble(0), interpreter->GetArgDouble(1), result))
            interpreter->RaiseError(78);
        interpreter->GetResultSlot()->SetFloat(result);
    }
    void Mag() {
        if (interpreter->GetArgCount() < 1) interpreter->RaiseError(14);
        const CValue& value = *interpreter->GetArg(0);
        if (value.GetType() == kValueInt)
            return interpreter->GetResultSlot()->SetInt(MagOfInt(value.IntPayload()));
        interpreter->GetResultSlot()->SetFloat(std::fabs(value.GetDouble()));
    }
    void Whole() { interpreter->GetResultSlot()->SetInt(DoubleToInt(std::trunc(Argument()))); }

    int32_t count_ = 0;
};

const ScriptMethod<NumberConsole> NumberConsole::kMethods[11] = {
    nullptr,
    &NumberConsole::Print,
    &NumberConsole::Post,
    &NumberConsole::Raise,
    &NumberConsole::Half,
    &NumberConsole::Root,
    &NumberConsole::Count,
    &NumberConsole::Fail,
    &NumberConsole::Power,
    &NumberConsole::Mag,
    &NumberConsole::Whole,
};

const NumberMethod kNumberMethods[8] = {
    nullptr, nullptr, nullptr, nullptr, &NumberConsole::HalfOf, &NumberConsole::RootOf,
    nullptr, nullptr,
};

const NumberFunction kNumberFunctions[11] = {
    {},
    {},
    {},
    {},
    {},
    {},
    {},
    {},
    {2, false, &NumberConsole::PowerOf, nullptr},
    {1, false, &NumberConsole::MagOf, &NumberConsole::MagOfInt},
    {1, true, &NumberConsole::WholeOf, nullptr},
};

const MethodNameRow kNames[] = {
    {kMathId, "Math", 0, 0},  {1, "Print", kMathId, 0},  {2, "Post", kMathId, 0},
    {3, "Raise", kMathId, 0}, {4, "Half", kMathId, 0},   {5, "Root", kMathId, 0},
    {6, "Count", kMathId, 0}, {7, "Fail", kMathId, 0},   {8, "Power", kMathId, 0},
    {9, "Mag", kMathId, 0},   {10, "Whole", kMathId, 0}, {0, nullptr, 0, 0},
};

CIBaseClassImpl* MakeConsole(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) NumberConsole(&interpreter, record);
}

const ScriptClassInfo kNumberConsoleClass = {
    kNames, MakeConsole, 99, nullptr,          0,  nullptr, nullptr, kNumberMethods,
    8,      nullptr,     0,  kNumberFunctions, 11,
};

class MethodProgramMaker {
public:
    explicit MethodProgramMaker(uint32_t seed) : random_(seed) {}

    std::string Make() {
        std::string text = "Function Obj() { This.v = 1; }\n"
                           "Function H(a) { Math.Print(\"event\", a); }\n"
                           "Function Main() {\n"
                           "    Var n = 3;\n    Var d = 0.75;\n    Var s = \"12\";\n"
                           "    Var t = \"a,b,,c\";\n    Var o = New Obj();\n    Var x = 0;\n"
                           "    Var i;\n";
        text += "    For (i = 0; i < " + std::to_string(2 + Pick(3)) + "; i++) {\n";
        const int statements = 2 + Pick(5);
        for (int k = 0; k < statements; ++k)
            text += "        " + Statement() + "\n";
        text += "        Math.Print(n, d, s, x);\n    }\n}\nMain();\n";
        return text;
    }

private:
    int Pick(int count) { return int(random_() % uint32_t(count)); }

    std::string Operand() {
        switch (Pick(12)) {
        case 0:
            return "n";
        case 1:
            return "d";
        case 2:
            return "i";
        case 3:
            return "x";
        case 4:
            return std::to_string(Pick(9));
        case 5:
            return "2.5";
        case 6:
            return "t.Length()";
        case 7:
            return "t.LastIndexOf(\",\")";
        case 8:
            return "s.Length()";
        case 9:
            return TextMethod();
        default:
            return "n";
        }
    }

    // A text's method, its arguments of every kind; those that make a text are mostly
    // measured, so that the programs go on with a number.
    std::string TextMethod() {
        switch (Pick(14)) {
        case 7:
            return MadeText() + (Pick(4) == 0 ? "" : ".Length()");
        case 8:
            return MadeText() + ".GetAscii(" + Operand() + ")";
        case 9:
            return Pick(2) == 0 ? "s.GetInt()" : "t.GetFloat()";
        case 10:
            return Pick(3) == 0 ? "t.CompareNoCase(" + Operand() + ")" : "s.CompareNoCase(t)";
        case 11:
            return Pick(2) == 0 ? "\"A\".CompareNoCase()" : "n.GetInt()";
        case 0:
            return "t.IndexOf(s)";
        case 1:
            return "t.LastIndexOf(n)";
        case 2:
            return "t.IndexOf(\",\", d)";
        case 3:
            return "s.IndexOf(\"2\", i)";
        case 4:
            return "t.LastIndexOf(\",\", o)";
        case 5:
            return Pick(2) == 0 ? "n.Length()" : "t.GetAscii(" + Operand() + ")";
        default:
            return Pick(2) == 0 ? "t.IndexOf()" : "s.GetAscii()";
        }
    }

    std::string MadeText() {
        switch (Pick(7)) {
        case 0:
            return "t.CharAt(" + Operand() + ")";
        case 1:
            return "s.SubString(" + Operand() + ", " + Operand() + ")";
        case 2:
            return Pick(2) == 0 ? "t.SubString(" + Operand() + ")" : "s.SubString()";
        case 3:
            return Pick(2) == 0 ? "t.ToUpperCase()" : "s.ToLowerCase()";
        case 4:
            return "t.Replace(\",\", s)";
        case 5:
            return "s.Replace(\"2\", t, " + Operand() + ")";
        default:
            return Pick(3) == 0 ? "t.Replace(s)" : "t.Replace(\"\", \"x\")";
        }
    }

    // A number of the singleton's, its argument as deep as `depth` allows.
    std::string Method(int depth) {
        switch (Pick(16)) {
        case 0:
            return "Math.Count()";
        case 1:
            // A text is read as its number by the method, never by number code.
            return "Math.Half(s)";
        case 2:
            return "Math.Root(" + Argument(depth) + ", 1)";
        case 3:
            return Pick(4) == 0 ? "Math.Half()" : "Math.Root(n)";
        case 4:
            return Pick(6) == 0 ? "Math.Half(o)" : "Math.Half(d)";
        case 5:
            return Pick(8) == 0 ? "Math.Fail()" : "Math.Root(i)";
        case 6:
            return "t.IndexOf(\",\", " + Argument(depth) + ")";
        case 7:
            return "Math.Power(" + Argument(depth) + ", " + Argument(depth) + ")";
        case 8:
            return std::string(Pick(2) == 0 ? "Math.Mag(" : "Math.Whole(") + Argument(depth) + ")";
        default:
            return std::string(Pick(2) == 0 ? "Math.Half(" : "Math.Root(") + Argument(depth) + ")";
        }
    }

    std::string Argument(int depth) {
        if (depth > 0 && Pick(3) == 0) return Method(depth - 1);
        std::string argument = Operand();
        if (Pick(2) == 0) argument += std::string(Pick(2) == 0 ? " + " : " * ") + Operand();
        return argument;
    }

    std::string Expression() {
        std::string expression = Pick(3) == 0 ? Operand() : Method(2);
        const int more = Pick(3);
        for (int k = 0; k < more; ++k) {
            static const char* const kOperators[] = {"+", "-", "*", "<", "=="};
            expression += std::string(" ") + kOperators[Pick(5)] + " " +
                          (Pick(2) == 0 ? Operand() : Method(1));
        }
        return expression;
    }

    std::string Statement() {
        switch (Pick(10)) {
        case 0:
            return "If (" + Expression() + " > 1) x = x + 1;";
        case 1:
            return "Math.Post(H, " + Expression() + ");";
        case 2:
            // The kinds the methods meet change between rounds.
            return Pick(2) == 0 ? "n = n + 0.5;" : "d = i;";
        case 3:
            switch (Pick(4)) {
            case 0:
                return "t = s;";
            case 1:
                return "s = t + i;";
            case 2:
                return "t = t + \",\";";
            default:
                return "s = s + i;";
            }
        case 4:
            return "d = " + Expression() + ";";
        default:
            return "x = " + Expression() + ";";
        }
    }

    std::mt19937 random_;
};

// Loops whose rounds are number statements calling Half and Root alone, so that they run as
// loop programs, beside a global that a handler run between two of their statements makes an
// integer, a double, a text or an object.
class LoopProgramMaker {
public:
    explicit LoopProgramMaker(uint32_t seed) : random_(seed) {}

    std::string Make() {
        static const char* const kEventValues[] = {"\"7\"", "1.5", "4", "New Obj()", "\"x\""};
        std::string text = "Var g = 2;\n"
                           "Function Obj() { This.v = 1; }\n"
                           "Function H(a) { g = a; }\n"
                           "Function Main() {\n"
                           "    Var n = 3;\n    Var d = 0.75;\n    Var x = 0;\n    Var y = 0.5;\n"
                           "    Var i;\n";
        if (Pick(3) != 0) text += std::string("    Math.Post(H, ") + kEventValues[Pick(5)] + ");\n";
        text += "    For (i = 0; i < " + std::to_string(2 + Pick(30)) + "; i++) {\n";
        const int statements = 1 + Pick(4);
        for (int k = 0; k < statements; ++k)
            text += "        " + Statement() + "\n";
        text += "    }\n    Math.Print(n, d, x, y, g);\n}\nMain();\n";
        return text;
    }

private:
    int Pick(int count) { return int(random_() % uint32_t(count)); }

    std::string Operand() {
        static const char* const kOperands[] = {"n", "d", "i",   "x",  "y",
                                                "g", "3", "2.5", "-1", "13"};
        return kOperands[Pick(10)];
    }

    std::string Method(int depth) {
        const int pick = Pick(24);
        if (pick == 0) return "Math.Fail()";
        if (pick == 1) return Pick(2) == 0 ? "Math.Half()" : "Math.Power(2)";
        if (pick < 6) return "Math.Power(" + Argument(depth) + ", " + Argument(depth) + ")";
        static const char* const kMethods[] = {"Math.Half(", "Math.Root(", "Math.Mag(",
                                               "Math.Whole("};
        return kMethods[Pick(4)] + Argument(depth) + ")";
    }

    std::string Argument(int depth) {
        std::string argument = depth > 0 && Pick(3) == 0 ? Method(depth - 1) : Operand();
        if (Pick(2) == 0) argument += std::string(Pick(2) == 0 ? " * " : " - ") + Operand();
        return argument;
    }

    std::string Expression() {
        std::string expression = Pick(4) == 0 ? Operand() : Method(2);
        const int more = Pick(3);
        for (int k = 0; k < more; ++k) {
            static const char* const kOperators[] = {"+", "-", "*", "<", "/"};
            expression += std::string(" ") + kOperators[Pick(5)] + " " +
                          (Pick(2) == 0 ? Operand() : Method(1));
        }
        return expression;
    }

    std::string Statement() {
        switch (Pick(8)) {
        case 0:
            return "If (" + Expression() + " > 1) x = x + 1;";
        case 1:
            return Pick(2) == 0 ? "n = n + 0.5;" : "d = i;";
        case 2:
            return "y = y + " + Method(1) + ";";
        case 3:
            return "d = " + Expression() + ";";
        default:
            return "x = " + Expression() + ";";
        }
    }

    std::mt19937 random_;
};

class MethodCalls : public ProgramRunsTest {
protected:
    void SetUp() override {
        ProgramRunsTest::SetUp();
        RegisterScriptClass(&kNumberConsoleClass);
    }

    // `source` run by the reference walk, then compiled and the fast way with the same
    // outcome; the reference run, for what the test asks of it.
    static Outcome RunAllWays(const std::string& source, uint32_t seed) {
        Outcome reference = RunProgram(source, Way::kReference);
        SameAsReference(RunProgram(source, Way::kCompiled), reference, seed, source);
        SameAsReference(RunProgram(source, Way::kFast), reference, seed, source);
        return reference;
    }

    template <class Maker = MethodProgramMaker>
    static void Check(uint32_t firstSeed, uint32_t count) {
        uint32_t ended = 0;
        for (uint32_t seed = firstSeed; seed < firstSeed + count; ++seed) {
            const std::string source = Maker(seed).Make();
            const Outcome reference = RunAllWays(source, seed);
            ended += reference.code == 0 ? 1 : 0;
        }
        // Many end in an error (a missing argument, an object, Fail); enough do not.
        EXPECT_GE(ended, count / 5);
    }
};

TEST_F(MethodCalls, AgreeWithTheReferenceWalkPart1) {
    Check(1, 300);
}

TEST_F(MethodCalls, AgreeWithTheReferenceWalkPart2) {
    Check(301, 300);
}

// Texts' methods done on the text by compiled code give what they give on a temporary object,
// for arguments of every kind, missing, outside the text and failing.
TEST_F(MethodCalls, TextMethodsAgreeWithTheirObjects) {
    // Each call's value is assigned before it is printed: the compiled call is the
    // assignment's.
    std::string calls;
    for (const char* call : {"t.CharAt(a)",
                             "e.CharAt(a)",
                             "t.SubString(a)",
                             "t.SubString(a, 2)",
                             "t.SubString(1, a)",
                             "e.SubString(a, a)",
                             "t.GetAscii(a)",
                             "t.Replace(\",\", a)",
                             "t.Replace(a, \"-\")",
                             "t.Replace(\"b\", \"xy\", 0)",
                             "t.Replace(\"b\", \"xy\", 1)",
                             "t.Replace(\"\", \"x\")",
                             "t.Replace(\",\", \"\")",
                             "t.CompareNoCase(a)",
                             "t.CompareNoCase(\"A,b,,C\xc9\")",
                             "e.CompareNoCase(t)",
                             "t.ToUpperCase()",
                             "t.ToLowerCase()",
                             "e.ToUpperCase()",
                             "t.CharAt()",
                             "t.SubString()",
                             "\"0x1F\".GetInt()",
                             "\"0b101\".GetFloat()",
                             "\"2.75\".GetInt()",
                             "\"-2.75\".GetFloat()",
                             "e.GetInt()"})
        calls += std::string("        r = ") + call + ";\n        Math.Print(r);\n";
    const std::string all =
        "Function Main() {\n"
        "    Var t = \"a,B,,c\xe9\";\n    Var e = \"\";\n    Var k;\n    Var r;\n"
        "    w[0] = 0; w[1] = 2; w[2] = -1; w[3] = 7; w[4] = 1.9; w[5] = \"1\";\n"
        "    w[6] = 99999;\n"
        "    For (k = 0; k < 7; k++) {\n        Var a = w[k];\n" +
        calls + "    }\n}\nMain();\n";
    const std::string kSources[] = {
        all,
        "Function Main() { Var t = \"ab\"; Var r = t.CompareNoCase(); Math.Print(r); }\nMain();\n",
        "Function Main() { Var t = \"ab\"; Var r = t.Replace(\"a\"); Math.Print(r); }\nMain();\n",
        "Function Main() { Var r = \"ab\".Replace(\"a\", \"b\", 2); Math.Print(r); }\nMain();\n",
    };
    uint32_t index = 0;
    for (const std::string& source : kSources) {
        const Outcome reference = RunAllWays(source, index++);
        EXPECT_EQ(reference.code, index == 1 ? 0 : 115) << source;
    }
}

// A text literal that compiled code lends to what keeps it is never written through: each
// round finds the literals as they are written, wherever the last round's texts grew.
TEST_F(MethodCalls, KeptTextLiteralsStayAsWritten) {
    const std::string source = "Function Obj() { This.s = 0; }\n"
                               "Function Grow(p) { p = p + \"q\"; Return p; }\n"
                               "Function Lit() { Return \"r\"; }\n"
                               "Function Main() {\n"
                               "    Var k;\n    Var t;\n    Var x;\n    Var o = New Obj();\n"
                               "    For (k = 0; k < 3; k++) {\n"
                               "        t = \"ab\";\n        t = t + \"c\";\n        t += k;\n"
                               "        a[k] = \"xy\";\n        a[k] = a[k] + k;\n"
                               "        g = \"lit\";\n        g = g + \"!\";\n"
                               "        o.s = \"m\";\n        o.s = o.s + k;\n"
                               "        x = Lit();\n        x = x + Grow(\"p\");\n"
                               "        Math.Print(t, a[k], g, o.s, x);\n"
                               "    }\n}\nMain();\n";
    const Outcome reference = RunAllWays(source, 0);
    EXPECT_EQ(reference.code, 0);
    EXPECT_EQ(reference.output, " 2:abc0 2:xy0 2:lit! 2:m0 2:rpq\n"
                                " 2:abc1 2:xy1 2:lit! 2:m1 2:rpq\n"
                                " 2:abc2 2:xy2 2:lit! 2:m2 2:rpq\n");
}

// A statement whose numbers turn to texts for a long stretch, and back, gives what the walk
// gives in every round: the rounds after a streak of texts, which take the full steps, too.
TEST_F(MethodCalls, StatementsBackFromAStretchOfTextsAgree) {
    const std::string source = "Function Main() {\n"
                               "    Var k;\n    Var y = 0;\n    Var x = 0;\n    Var sum = 0;\n"
                               "    For (k = 0; k < 300; k++) {\n"
                               "        If ((k % 100) == 20) y = \"t\";\n"
                               "        If ((k % 100) == 70) y = k;\n"
                               "        x = y + (k * 2) + 1;\n"
                               "        If ((k % 100) < 20 || (k % 100) >= 70) sum = sum + x;\n"
                               "        If ((k % 25) == 0) Math.Print(k, x, sum);\n"
                               "    }\n}\nMain();\n";
    EXPECT_EQ(RunAllWays(source, 0).code, 0);
}

TEST_F(MethodCalls, LoopProgramsAgreeWithTheReferenceWalk) {
    Check<LoopProgramMaker>(1, 400);
}

} // namespace
