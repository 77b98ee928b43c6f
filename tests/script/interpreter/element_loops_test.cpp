// Loops whose rounds store into and read elements of arrays, of one and two indices, held by
// the call's variables and by globals, run compiled as one program per round against the
// reference walk. The rounds meet what a cell's quick store cannot do and must leave to the
// full steps where the walk stands: missing elements, arrays that grow (one element past
// the end of a one-dimensional array, or further), texts in cells, Switch statements on
// slots of any kind,
// indices outside the shape or not integers, kinds changing between rounds; and handlers
// posted between the statements that change, grow or replace the arrays the round uses.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "program_runs.h"

namespace {

using namespace program_runs;

class ElementLoopsMaker {
public:
    explicit ElementLoopsMaker(uint32_t seed) : random_(seed) {}

    std::string Make() {
        std::string text = "g[0] = 1; g[1] = 2.5; g[2] = 3; g[3] = -4; g[4] = 0; g[5] = 7;\n"
                           "ge[0] = 0;\n"
                           "m[0, 0] = 0;\n"
                           "For (j = 0; j < 3; j++) For (i = 0; i < 6; i++) m[i, j] = i - j;\n";
        const bool events = Pick(3) == 0;
        if (events) text += "Function H(n) {\n" + Change() + ";\nIf (n > 0) Post(H, n - 1);\n}\n";
        text += "Function F(p0, p1) {\nVar a[0] = p0; a[1] = 2; a[2] = 0.5; a[3] = p1; "
                "a[4] = 0; a[5] = 1;\nVar b[0, 0] = 0; Var i = 0; Var j = 0; Var s = 0; "
                "Var x = 1; Var k = 1; e[0] = 0;\nFor (j = 0; j < 3; j++) For (i = 0; i < 6; i++) "
                "b[i, j] = i * j;\nj = "
                "0;\n";
        if (events) text += "Post(H, " + std::to_string(Pick(20)) + ");\n";
        const int loops = 1 + Pick(2);
        for (int loop = 0; loop < loops; ++loop)
            text += Loop();
        text += "Return s + \"/\" + x + \"/\" + a[0] + \"/\" + a[1] + \"/\" + a[2] + \"/\" + "
                "a[3] + \"/\" + a[5] + \"/\" + b[1, 1] + \"/\" + b[5, 2] + \"/\" + k + \"/\" + "
                "e[k - 1];\n}\n";
        text += "Print(F(3, 7));\nPrint(F(2.5, -1));\nPrint(F(2147483647, 0));\n"
                "Print(g[0], g[1], g[2], g[5], m[1, 1], m[5, 2], ge[0]);\n";
        return text;
    }

private:
    int Pick(int n) { return int(random_() % uint32_t(n)); }

    // A loop over i, with now and then an inner one over j.
    std::string Loop() {
        std::string text = "For (i = 0; i < " + std::to_string(1 + Pick(6)) + "; i++) {\n";
        const bool inner = Pick(3) == 0;
        if (inner) text += "For (j = 0; j < " + std::to_string(1 + Pick(2)) + "; j++) {\n";
        const int statements = 1 + Pick(5);
        for (int s = 0; s < statements; ++s)
            text += Statement();
        if (inner) text += "}\n";
        return text + "}\n";
    }

    // An index: mostly inside the arrays' shapes, now and then outside or no integer.
    std::string Index() {
        switch (Pick(24)) {
        case 0:
        case 1:
            return "i + 1";
        case 2:
            return "i - 1";
        case 3:
        case 4:
            return std::to_string(Pick(7));
        case 5:
            return "x";
        case 6:
            return "k - 1";
        case 7:
            return "k";
        default:
            return "i";
        }
    }

    std::string Element() {
        switch (Pick(6)) {
        case 0:
            return "g[" + Index() + "]";
        case 4:
            return "e[" + Index() + "]";
        case 5:
            return "b[" + Index() + ", j " + (Pick(2) == 0 ? "+" : "-") + " 1]";
        case 1:
            return "b[" + Index() + ", j]";
        case 2:
            return "m[" + Index() + ", " + std::to_string(Pick(3)) + "]";
        default:
            return "a[" + Index() + "]";
        }
    }

    std::string Operand() {
        switch (Pick(9)) {
        case 0:
        case 1:
        case 2:
            return Element();
        case 3:
            return "i";
        case 4:
            return "s";
        case 5:
            return "p0";
        default: {
            static const char* const kOperands[] = {"0", "1", "3", "-2", "0.5", "2.25", "j"};
            return kOperands[Pick(int(std::size(kOperands)))];
        }
        }
    }

    std::string Expression() {
        static const char* const kOperators[] = {"+", "-", "*", "+", "<", "/"};
        std::string text = Operand();
        const int operators = Pick(3);
        for (int o = 0; o < operators; ++o)
            text = "(" + text + " " + kOperators[Pick(int(std::size(kOperators)))] + " " +
                   Operand() + ")";
        return text;
    }

    // What a handler does between two statements of the round.
    std::string Change() {
        static const char* const kChanges[] = {
            "g[1] = 0.5",  "g[2] = \"t\"", "g[6] = 5",      "g = 3",        "m[1, 1] = 2.5",
            "m[6, 0] = 1", "g[0]++",       "g[3] = 2",      "m = \"text\"", "g[5] *= 2",
            "ge = 0",      "ge[40] = 1",   "ge[0] = \"t\"",
        };
        return kChanges[Pick(int(std::size(kChanges)))];
    }

    // A Switch on a slot: integer Cases, some left by Break, some falling through to the
    // next, now and then a Case value of another kind or a Default; the selector is now
    // and then a double or a text.
    std::string Switch() {
        static const char* const kSelectors[] = {"i", "x", "k", "j", "s"};
        std::string text = "Switch (" + std::string(kSelectors[Pick(5)]) + ") {\n";
        const int cases = 1 + Pick(4);
        for (int c = 0; c < cases; ++c) {
            text +=
                "Case " + (Pick(8) == 0 ? std::string("0.5") : std::to_string(Pick(6) - 1)) + ":\n";
            const int statements = Pick(3);
            for (int s = 0; s < statements; ++s)
                text += Statement();
            if (Pick(4) != 0) text += "Break;\n";
        }
        if (Pick(2) == 0) text += "Default:\n" + Statement();
        return text + "}\n";
    }

    std::string Statement() {
        static const char* const kStores[] = {"=", "+=", "-=", "*=", "=", "="};
        switch (Pick(17)) {
        case 0:
            return Element() + (Pick(2) == 0 ? "++" : "--") + ";\n";
        case 1:
            return "s += " + Element() + ";\n";
        case 2:
            return "x = " + Expression() + ";\n";
        case 3:
            return "If (" + Element() + " > " + Operand() + ") s++;\n";
        case 4:
            // Kinds changing between rounds: a double, a text, growth or an integer again.
            return "If (i == " + std::to_string(Pick(5)) + ") " + Element() + " = " +
                   (Pick(4) == 0   ? "\"x\""
                    : Pick(3) == 0 ? "0.25"
                    : Pick(2) == 0 ? "1"
                                   : "4") +
                   ";\n";
        case 5:
            return "If (i == " + std::to_string(Pick(5)) + ") a[" + std::to_string(6 + Pick(2)) +
                   "] = i;\n";
        case 6:
            return "If (i == 2) x = " + (Pick(2) == 0 ? std::string("0.5") : "1") + ";\n";
        case 7:
        case 8:
            // The element past the end of the array, which the store grows by one; now and
            // then one further on, which leaves an element holding nothing.
            return "e[k] = " + Expression() + ";\nk" + (Pick(8) == 0 ? " += 2" : "++") + ";\n";
        case 9:
            return "ge[" + std::string(Pick(2) == 0 ? "i" : "i + 1") + "] = " + Operand() + ";\n";
        case 10:
        case 11:
            return Switch();
        case 12:
            // An element as an index, which no loop program reads: the steps take it.
            return "s = s + a[g[" + Index() + "]];\n";
        default:
            return Element() + " " + kStores[Pick(int(std::size(kStores)))] + " " + Expression() +
                   ";\n";
        }
    }

    std::mt19937 random_;
};

class ElementLoops : public ProgramRunsTest {
protected:
    static void Compare(uint32_t firstSeed, uint32_t count) {
        uint32_t ended = 0;
        for (uint32_t seed = firstSeed; seed < firstSeed + count; ++seed) {
            const std::string source = ElementLoopsMaker(seed).Make();
            const Outcome reference = RunProgram(source, Way::kReference);
            const Outcome compiled = RunProgram(source, Way::kCompiled);
            ASSERT_GE(compiled.compiled, 1u) << source;
            ASSERT_NO_FATAL_FAILURE(SameAsReference(compiled, reference, seed, source));
            ended += reference.code == 0 ? 1 : 0;
        }
        EXPECT_GE(ended, count / 10);
    }
};

TEST_F(ElementLoops, RandomElementLoopsPart1) {
    Compare(90001, 1000);
}
TEST_F(ElementLoops, RandomElementLoopsPart2) {
    Compare(91001, 1000);
}
TEST_F(ElementLoops, RandomElementLoopsPart3) {
    Compare(92001, 1000);
}

} // namespace
