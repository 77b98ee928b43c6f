// Random programs whose functions, called again and again as plain functions and as methods
// of objects, read and assign globals, members of This and elements of global arrays by
// name outside loops, while between their calls This gains members of those names, handlers
// change the globals' kinds and make new globals, a Var of the body makes a local of the
// same name, and recursion reaches the function from callers whose This differs. Run
// compiled and on the reference walk, each value, kind, error and housekeeping tick must
// agree: a name's cached variable must be the one the lookup would find now.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "program_runs.h"

namespace {

using namespace program_runs;

class NameCachesMaker {
public:
    explicit NameCachesMaker(uint32_t seed) : random_(seed) {}

    // The calls come from the top level, or (`fromMain`) from a function whose own locals
    // are the callers' scope.
    std::string Make(bool fromMain) {
        std::string text = "Function Change(v) { g = v; made = v; }\n"
                           "Function Obj(k) { This.k = k; This.F = F; }\n";
        text += "Function F(p) {\n";
        const int statements = 3 + Pick(6);
        // The body's own Var of a global's name, from its place on.
        const int declaredAt = Pick(3) == 0 ? Pick(statements) : -1;
        for (int i = 0; i < statements; ++i) {
            if (i == declaredAt) text += "Var " + std::string(1, "gh"[Pick(2)]) + " = p;\n";
            text += Statement();
        }
        text += "If (p > 0) g += F(p - 1);\n";
        text += "If (p > 1) o" + std::to_string(1 + Pick(2)) + ".F(p - 2);\n";
        text += "Return g + k;\n}\n";
        if (Pick(4) != 0) text += "made = 1;\n";
        text += "g = 5; h = 0.5; k = 3; arr[0] = 1; arr[1] = 2.5; arr[2] = -4; arr[3] = 7;\n"
                "o1 = New Obj(10); o2 = New Obj(20);\n";
        std::string loop = "For (i = 0; i < " + std::to_string(4 + Pick(6)) + "; i++) {\n";
        const int calls = 2 + Pick(4);
        for (int i = 0; i < calls; ++i)
            loop += Call();
        loop += "}\n";
        const std::string shown = "Print(g, h, k, arr[0], arr[1], arr[2], arr[3], s);\n";
        if (fromMain)
            text +=
                "Function Main() {\nVar i; Var g = 1;\n" + loop + shown + "}\ns = 0;\nMain();\n";
        else
            text += "s = 0;\n" + loop + shown;
        return text;
    }

private:
    int Pick(int n) { return int(random_() % uint32_t(n)); }

    std::string Literal() {
        static const char* const kLiterals[] = {"0",  "1",          "2",   "7",
                                                "-1", "2147483647", "0.5", "-0.75"};
        return kLiterals[Pick(int(std::size(kLiterals)))];
    }

    std::string Name() { return std::string(1, "ghk"[Pick(3)]); }

    std::string Element() {
        switch (Pick(3)) {
        case 0:
            return "arr[p & 3]";
        case 1:
            return "arr[" + std::to_string(Pick(4)) + "]";
        default:
            return "arr[(p + 1) & 3]";
        }
    }

    std::string Operand(int depth) {
        switch (Pick(depth > 1 ? 4 : 5)) {
        case 0:
        case 1:
            return Name();
        case 2:
            return Literal();
        case 3:
            return Pick(2) == 0 ? "p" : Element();
        default:
            return "(" + Expression(depth + 1) + ")";
        }
    }

    std::string Expression(int depth) {
        static const char* const kOperators[] = {"+", "-", "*", "/", "%", "&", "|", "<", "=="};
        std::string text = Operand(depth);
        const int operators = Pick(depth > 0 ? 2 : 3);
        for (int i = 0; i < operators; ++i)
            text += std::string(" ") + kOperators[Pick(int(std::size(kOperators)))] + " " +
                    Operand(depth + 1);
        return text;
    }

    // The statements of F, outside any loop of its own.
    std::string Statement() {
        static const char* const kCompound[] = {"+=", "-=", "*=", "/=", "|="};
        switch (Pick(11)) {
        case 0:
        case 1:
            return Name() + (Pick(2) == 0 ? "++" : "--") + ";\n";
        case 2:
        case 3:
            return Name() + " " + kCompound[Pick(int(std::size(kCompound)))] + " " + Expression(0) +
                   ";\n";
        case 4:
            return Name() + " = " + Expression(0) + ";\n";
        case 5:
            return Element() + " " + (Pick(2) == 0 ? "+=" : "=") + " " + Expression(0) + ";\n";
        case 6:
            // Another kind, met by the next statements and the next calls.
            return "If (p == " + std::to_string(Pick(4)) + ") " + std::string(1, "gh"[Pick(2)]) +
                   " = " + (Pick(4) == 0 ? "2147483647" : "2.5") + ";\n";
        case 7:
            // A handler between two statements changes g and makes or sets made.
            return "If (p == " + std::to_string(Pick(4)) + ") Math.Post(Change, " + Literal() +
                   ");\n";
        case 8:
            return "g += made;\n";
        case 9:
            // A local of a global's name, in a block: a slot, or (read by its own Var) a
            // local of the call's scopes, which the names after it find there.
            return "If (p == " + std::to_string(Pick(3)) +
                   ") { Var h = " + (Pick(2) == 0 ? "p" : "h + p") + "; h += g; k += h; }\n";
        default:
            return "s += " + Expression(0) + ";\n";
        }
    }

    // A call from the loop, as a function or as a method of an object that may have gained
    // a member of a global's name; or such a member made between calls.
    std::string Call() {
        const std::string argument = "i & 3";
        switch (Pick(6)) {
        case 0:
        case 1:
            return "s = F(" + argument + ");\n";
        case 2:
            return "s = o1.F(" + argument + ");\n";
        case 3:
            return "s = o2.F(" + argument + ");\n";
        case 4:
            return "If (i == " + std::to_string(Pick(5)) + ") o" + std::to_string(1 + Pick(2)) +
                   "." + std::string(1, "gh"[Pick(2)]) + " = " + Literal() + ";\n";
        default:
            return "If (i == " + std::to_string(Pick(5)) + ") Math.Post(Change, " + Literal() +
                   ");\n";
        }
    }

    std::mt19937 random_;
};

class NameCaches : public ProgramRunsTest {
protected:
    static void Compare(uint32_t firstSeed, uint32_t count, bool fromMain) {
        uint32_t ended;
        ASSERT_NO_FATAL_FAILURE(CompareWithTheWalk(
            firstSeed, count, 0,
            [fromMain](uint32_t seed) { return NameCachesMaker(seed).Make(fromMain); }, ended));
        EXPECT_GE(ended, count / 6);
    }
};

TEST_F(NameCaches, CalledFromTheTopLevelAgreeWithTheWalk) {
    Compare(120001, 1500, false);
}

TEST_F(NameCaches, CalledFromAFunctionAgreeWithTheWalk) {
    Compare(123001, 1500, true);
}

} // namespace
