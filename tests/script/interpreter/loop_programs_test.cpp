// Loops whose rounds are number statements, run compiled as one program per round, against
// the reference walk: random loops, nested and side by side, with If and Else, Break and
// Continue, Var in the body, globals and elements among the operands, kinds that change
// from integer to double (and to a text) between rounds, and integer divisions by zero
// inside the round, each of which has to leave the round's program where the walk stands.
// Events posted by a handler between the statements of the round read and change what the
// round reads. Vars in the bodies shadow globals, parameters and outer locals, run twice in a
// round, are read before they are made and after their block, and are left by Break,
// Continue, Return and errors in their value. Counters no Var declares are made by the start
// of their loop inside the outer loop's round and let go of at its block's end, the outer
// round then binding them again, unless a handler has meanwhile made a global of the name.
// A function called again and again enters its loops' programs at their first rounds: with
// counters unbound there, conditions false from the start, events posted just before the
// loop, and kinds at the first round other than those the later rounds keep. Braced blocks
// nested in the rounds, with and without Vars, are entered and left every round, and left
// by Break, Continue, Return, errors and kinds that change inside them. Operators take
// operands worked out beside them (nested on the right) as well as slots read straight in,
// values are shifted from slot to slot, and counters stepped by their loops become doubles.
// Calls of functions answered from their Return stand among the operands, the round and the
// handlers binding their names to other such functions, to one that runs in full or to none.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "program_runs.h"

namespace {

using namespace program_runs;

class LoopProgramsMaker {
public:
    LoopProgramsMaker(uint32_t seed, bool blockVars, bool freeCounters = false,
                      bool firstRounds = false, bool blocks = false, bool nested = false,
                      bool calls = false)
        : random_(seed), blockVars_(blockVars || freeCounters), freeCounters_(freeCounters),
          firstRounds_(firstRounds), blocks_(blocks), nested_(nested), calls_(calls) {}

    std::string Make() {
        std::string text = "g = 2;\nv[0] = 1; v[1] = 2.5; v[2] = 3; v[3] = -4;\n";
        if (blockVars_) text += "u = 9;\n";
        // Functions answered from their Return (a divisor of zero, a sum past the integers
        // and a missing parameter among their arguments now and then), and one that runs in
        // full, which the round's statements and handlers bind the others' names to.
        if (calls_)
            text += "Function Q0() { Return 1; }\nFunction Q2(x, y) { Return x * 3 - y; }\n"
                    "Function Q3(x, y, z) { Return (x + y) % (z + 5); }\n"
                    "Function Full(x, y) {\ng = g + 1;\nReturn 2;\n}\n";
        const bool events = Pick(firstRounds_ ? 2 : 4) == 0;
        if (events)
            text += "Function H(n) {\ng = " + Change() + ";\n" +
                    (calls_ && Pick(2) == 0 ? Rebinding() : "") +
                    (blockVars_ ? "u = u + g;\n" : "") +
                    (freeCounters_ && Pick(2) == 0 ? "If (n == 3) q = 10;\n" : "") +
                    "If (n > 0) Post(H, n - 1);\n}\n";
        text += "Function F(p0, p1) {\nVar a = p0; Var b = p1; Var c = 0; Var d = 0.5; "
                "Var i = 0; Var j = 0; Var k = 0;\n";
        if (events) text += "Post(H, " + std::to_string(Pick(30)) + ");\n";
        const int loops = 1 + Pick(2);
        for (int loop = 0; loop < loops; ++loop) {
            // An event due at the end of the loop's first test.
            if (events && firstRounds_ && Pick(2) == 0)
                text += "Post(H, " + std::to_string(Pick(3)) + ");\n";
            text += Loop(0);
        }
        text += "Return a + \"/\" + b + \"/\" + c + \"/\" + d + \"/\" + i + \"/\" + j";
        text += blockVars_ ? " + \"/\" + u + \"/\" + t;\n}\n" : ";\n}\n";
        if (blockVars_) text += "t = -3;\n";
        text += "Print(F(3, 7));\nPrint(F(2.5, -1));\nPrint(F(2147483647, 0));\n"
                "Print(F(6, 0.25));\nPrint(F(\"5\", 2));\nPrint(g, v[0], v[1]);\n";
        // Calls after the loops' programs are written, with integers and doubles in turn.
        if (firstRounds_)
            text += "For (w = 0; w < 8; w++) Print(F(w % 3, (w * 1.5) - 2));\nPrint(g, v[0]);\n";
        return text;
    }

private:
    int Pick(int n) { return int(random_() % uint32_t(n)); }

    // A loop with its own counter, `depth` loops deep.
    std::string Loop(int depth) {
        const std::string counter = freeCounters_ ? (depth == 0   ? "m"
                                                     : depth == 1 ? "q"
                                                                  : "r")
                                    : depth == 0  ? "i"
                                    : depth == 1  ? "j"
                                                  : "k";
        // A first test that fails at once, too, when the loops are entered again and again.
        const std::string rounds = std::to_string(firstRounds_ ? Pick(6) : 1 + Pick(9));
        std::string text;
        switch (Pick(3)) {
        case 0: {
            // A counter that starts as a double in some calls (p1 - p1 is 0.0 for a double).
            const std::string start = nested_ && Pick(3) == 0 ? "(p1 - p1)" : "0";
            text = "For (" + counter + " = " + start + "; " + counter + " < " + rounds + "; " +
                   counter + "++) {\n";
            break;
        }
        case 1:
            text =
                counter + " = " + rounds + ";\nWhile (" + counter + " > 0) {\n" + counter + "--;\n";
            break;
        default:
            // A condition of more than one operator.
            text = counter + " = 0;\nWhile ((" + counter + " < " + rounds + ") && (c < 1000)) {\n" +
                   counter + "++;\n";
            break;
        }
        const int statements = 1 + Pick(5);
        for (int s = 0; s < statements; ++s)
            text += depth < 2 && Pick(freeCounters_ ? 3 : 8) == 0 ? Loop(depth + 1)
                                                                  : Statement(counter);
        return text + "}\n";
    }

    std::string Target() { return std::string(1, "abcd"[Pick(4)]); }

    // An operand, a call among them when `calls` more may be nested in it.
    std::string Operand(const std::string& counter, int calls = 2) {
        if (calls_ && calls > 0 && Pick(4) == 0) {
            switch (Pick(4)) {
            case 0:
                return "Q0()";
            case 1:
                return "Q3(" + Operand(counter, calls - 1) + ", " + counter + ", " +
                       Operand(counter, calls - 1) + ")";
            default:
                return "Q2(" + Operand(counter, calls - 1) + ", " + Operand(counter, calls - 1) +
                       ")";
            }
        }
        switch (Pick(12)) {
        case 0:
            return counter;
        case 1:
            return "g";
        case 2:
            return "v[" + std::to_string(Pick(5)) + "]";
        case 3:
            return "p0";
        default: {
            static const char* const kOperands[] = {"a", "b",  "c",   "d",    "0",    "1",
                                                    "3", "-2", "0.5", "2.25", "-1.5", "7"};
            return kOperands[Pick(int(std::size(kOperands)))];
        }
        }
    }

    std::string Expression(const std::string& counter) {
        static const char* const kOperators[] = {"+",  "-",  "*", "/", "%",  "<",  ">",
                                                 "==", "!=", "&", "|", "&&", "<<", ">="};
        std::string text = Operand(counter);
        const int operators = Pick(3);
        for (int o = 0; o < operators; ++o) {
            const std::string op = kOperators[Pick(int(std::size(kOperators)))];
            // An operand worked out in the register above its operator's, or a slot read
            // straight into it.
            if (nested_ && Pick(2) == 0)
                text = "(" + Operand(counter) + " " + op + " " + text + ")";
            else
                text = "(" + text + " " + op + " " + Operand(counter) + ")";
        }
        return text;
    }

    std::string Rebinding() {
        static const char* const kRebindings[] = {"Q2 = Q3;\n", "Q0 = Full;\n", "Q2 = Full;\n",
                                                  "Q3 = Q2;\n", "Q2 = 4;\n"};
        return kRebindings[Pick(int(std::size(kRebindings)))];
    }

    std::string Change() {
        static const char* const kChanges[] = {"g + 1", "g + 0.5", "2", "\"t\"", "g * 2", "0"};
        return kChanges[Pick(int(std::size(kChanges)))];
    }

    std::string Statement(const std::string& counter) {
        if (blocks_ && depth_ < 3 && Pick(4) == 0) return Block(counter);
        if (blockVars_ && Pick(3) == 0) return BlockVar(counter);
        if (nested_ && Pick(5) == 0) {
            // Values shifted along the locals, whose kinds the last one brings in.
            return "a = b;\nb = c;\nc = d;\nd = " + Operand(counter) + ";\n";
        }
        if (nested_ && Pick(10) == 0) {
            // A counter that its step then finds a double.
            return "If (" + counter + " == " + std::to_string(Pick(4)) + ") " + counter + " = " +
                   counter + " + 0.5;\n";
        }
        static const char* const kCompound[] = {"+=", "-=", "*=", "/=", "%=", "="};
        if (calls_ && Pick(12) == 0)
            return "If (" + counter + " == " + std::to_string(Pick(6)) + ") " + Rebinding();
        switch (Pick(14)) {
        case 0:
            return Target() + (Pick(2) == 0 ? "++" : "--") + ";\n";
        case 1:
        case 2:
            return "If (" + Expression(counter) + ") " + Target() + " = " + Expression(counter) +
                   ";\nElse " + Target() + " += " + Operand(counter) + ";\n";
        case 3:
            return "If (" + counter + " == " + std::to_string(Pick(5)) + ") " +
                   (Pick(2) == 0 ? "Break;\n" : "Continue;\n");
        case 4:
            // Kinds changing between rounds: a double, a text, or back to an integer.
            return "If (" + counter + " == " + std::to_string(Pick(6)) + ") " + Target() + " = " +
                   (Pick(4) == 0   ? "\"x\""
                    : Pick(2) == 0 ? "0.25"
                                   : "5") +
                   ";\n";
        case 5:
            return "If (" + Expression(counter) + ") {\n" + Target() + " = " + Expression(counter) +
                   ";\n}\n";
        case 6:
            return "Var t = " + Expression(counter) + ";\n" + Target() + " += t;\n";
        case 7:
            // An integer division by zero when the counter reaches the operand.
            return Target() + " = " + Operand(counter) + " / (" + counter + " - " +
                   std::to_string(Pick(6)) + ");\n";
        default:
            return Target() + " " + kCompound[Pick(int(std::size(kCompound)))] + " " +
                   Expression(counter) + ";\n";
        }
    }

    // A Var in the body, of a name that may also be a global (t, u, g), a parameter or a
    // local of the function, with the name read around it.
    std::string BlockVar(const std::string& counter) {
        static const char* const kNames[] = {"t", "t", "u", "u", "g", "p1", "a"};
        const std::string name = kNames[Pick(int(std::size(kNames)))];
        const std::string made = "Var " + name + " = " + Expression(counter) + ";\n";
        switch (Pick(8)) {
        case 0:
            return Target() + " += " + name + ";\n" + made;
        case 1:
            // Made twice in one round, the second time from its own value.
            return made + "Var " + name + " = " + name + " * 2;\n" + Target() + " = " + name +
                   ";\n";
        case 2:
            return "If (" + counter + " == " + std::to_string(Pick(5)) + ") {\n" + made + Target() +
                   " -= " + name + ";\n" +
                   (Pick(3) == 0   ? "Break;\n"
                    : Pick(2) == 0 ? "Continue;\n"
                                   : "Return " + name + ";\n") +
                   "}\n";
        case 3:
            // An integer division by zero in the value when the counter reaches the operand.
            return "Var " + name + " = " + Operand(counter) + " / (" + counter + " - " +
                   std::to_string(Pick(6)) + ");\n" + Target() + " = " + name + ";\n";
        case 4:
            return "Var " + name + ";\n" + made;
        case 5:
            return made + name + " += " + Operand(counter) + ";\n" + Target() + " = " + name +
                   ";\n";
        default:
            return made + Target() + " = " + name + " + " + Operand(counter) + ";\n";
        }
    }

    // Braced blocks in the round, plain or an If's and Else's, nested in one another, with
    // Vars, Break, Continue, Return and failing divisions among their statements.
    std::string Block(const std::string& counter) {
        ++depth_;
        auto body = [&] {
            std::string text;
            const int statements = 1 + Pick(3);
            for (int s = 0; s < statements; ++s)
                text += Statement(counter);
            return text;
        };
        std::string text;
        switch (Pick(3)) {
        case 0:
            text = "{\n" + body() + "}\n";
            break;
        case 1:
            text = "If (" + Expression(counter) + ") " + Target() + " = " + Operand(counter) +
                   ";\nElse {\n" + body() + "}\n";
            break;
        default:
            text = "If (" + Expression(counter) + ") {\n" + body() + "}\nElse {\n" + body() + "}\n";
            break;
        }
        --depth_;
        return text;
    }

    std::mt19937 random_;
    const bool blockVars_;
    const bool freeCounters_;
    const bool firstRounds_;
    const bool blocks_;
    const bool nested_;
    const bool calls_;
    int depth_ = 0;
};

class LoopPrograms : public ProgramRunsTest {
protected:
    // `count` programs from `firstSeed`, compiled against the reference walk: output,
    // kinds, errors with their place and the pace of the checks alike. A good share runs
    // to its end.
    static void Compare(uint32_t firstSeed, uint32_t count, bool blockVars = false,
                        bool freeCounters = false, bool firstRounds = false, bool blocks = false,
                        bool nested = false, bool calls = false) {
        uint32_t ended;
        ASSERT_NO_FATAL_FAILURE(CompareWithTheWalk(
            firstSeed, count, 1,
            [=](uint32_t seed) {
                return LoopProgramsMaker(seed, blockVars, freeCounters, firstRounds, blocks, nested,
                                         calls)
                    .Make();
            },
            ended));
        EXPECT_GE(ended, count / 10);
    }
};

TEST_F(LoopPrograms, RandomLoopsPart1) {
    Compare(80001, 1000);
}
TEST_F(LoopPrograms, RandomLoopsPart2) {
    Compare(81001, 1000);
}
TEST_F(LoopPrograms, RandomVarsInBodies) {
    Compare(82001, 1500, true);
}
TEST_F(LoopPrograms, RandomCountersBoundInRounds) {
    Compare(83501, 1500, true, true);
}
TEST_F(LoopPrograms, RandomFirstRounds) {
    Compare(85001, 800, false, false, true);
}
TEST_F(LoopPrograms, RandomFirstRoundsWithBlockVars) {
    Compare(85801, 800, true, true, true);
}
TEST_F(LoopPrograms, RandomBlocksInRounds) {
    Compare(86601, 1000, false, false, false, true);
}
TEST_F(LoopPrograms, RandomBlocksWithVarsInRounds) {
    Compare(87601, 1000, true, false, false, true);
}
TEST_F(LoopPrograms, RandomBlocksWithCountersBoundInRounds) {
    Compare(88601, 600, true, true, true, true);
}
TEST_F(LoopPrograms, RandomOperandsNestedOnTheRight) {
    Compare(89201, 800, false, false, false, false, true);
}
TEST_F(LoopPrograms, RandomOperandsNestedOnTheRightWithBlocks) {
    Compare(90001, 600, true, false, true, true, true);
}
TEST_F(LoopPrograms, RandomCallsInRounds) {
    Compare(90601, 800, false, false, false, false, false, true);
}
TEST_F(LoopPrograms, RandomCallsInRoundsWithFirstRoundsAndBlocks) {
    Compare(91401, 600, true, false, true, true, true, true);
}

// Conditions of loop rounds that compare and branch in one step: comparisons joined by &&
// and || (which the walk works out on both sides), negated by !, on integers, doubles and
// texts, members of an object in a slot and elements of an array, with a side that fails
// (a division by zero, an element outside the array, a text in arithmetic) whatever the
// other side gives, and kinds that change between rounds.
class ConditionsMaker {
public:
    explicit ConditionsMaker(uint32_t seed) : random_(seed) {}

    std::string Make() {
        std::string text = "Function Box(x) {\nThis.x = x;\nThis.y = 0.5;\n}\n"
                           "g = 3;\nv[0] = 1; v[1] = 2.5; v[2] = -3;\n"
                           "Function F(p0) {\nVar a = p0; Var b = 2; Var c = 0; Var d = 1.5; "
                           "Var i = 0; Var j = 0; Var o = New Box(p0);\n";
        const int loops = 1 + Pick(2);
        for (int loop = 0; loop < loops; ++loop)
            text += Loop(0);
        text += "Return a + \"/\" + b + \"/\" + c + \"/\" + d + \"/\" + o.x + \"/\" + o.y + "
                "\"/\" + i;\n}\n";
        return text + "Print(F(3));\nPrint(F(2.5));\nPrint(F(-7));\nPrint(F(\"4\"));\n"
                      "Print(F(0));\nPrint(g, v[0], v[1]);\n";
    }

private:
    int Pick(int n) { return int(random_() % uint32_t(n)); }

    std::string Loop(int depth) {
        const std::string counter = depth == 0 ? "i" : "j";
        const std::string rounds = std::to_string(1 + Pick(12));
        std::string text = Pick(2) == 0 ? "For (" + counter + " = 0; " + counter + " < " + rounds +
                                              "; " + counter + "++) {\n"
                                        : counter + " = 0;\nWhile ((" + counter + " < " + rounds +
                                              ") " + Joiner() + " " + Condition(counter) + ") {\n" +
                                              counter + "++;\n";
        // A While whose || could run for ever stops by its counter too.
        if (text.find("||") != std::string::npos)
            text += "If (" + counter + " > " + rounds + ") Break;\n";
        const int statements = 1 + Pick(4);
        for (int s = 0; s < statements; ++s)
            text += depth == 0 && Pick(6) == 0 ? Loop(1) : Statement(counter);
        return text + "}\n";
    }

    std::string Joiner() { return Pick(2) == 0 ? "&&" : "||"; }

    std::string Operand(const std::string& counter) {
        static const char* const kOperands[] = {
            "a",     "b",       "c",    "d",    "o.x",     "o.y",    "g",   "v[0]",
            "v[1]",  "0",       "1",    "2",    "-1",      "0.5",    "2.5", "-3.0",
            "\"2\"", "(a % 3)", "v[2]", "v[3]", "(a * 2)", "(d + 1)"};
        const int pick = Pick(int(std::size(kOperands)) + 3);
        if (pick == int(std::size(kOperands))) return "(b / (" + counter + " - 2))";
        return pick > int(std::size(kOperands)) ? counter : kOperands[pick];
    }

    std::string Comparison(const std::string& counter) {
        static const char* const kComparisons[] = {"<", ">", "<=", ">=", "==", "!="};
        if (Pick(8) == 0) return Operand(counter);
        return "(" + Operand(counter) + " " + kComparisons[Pick(6)] + " " + Operand(counter) + ")";
    }

    std::string Condition(const std::string& counter) {
        std::string text = Comparison(counter);
        const int joins = Pick(3);
        for (int k = 0; k < joins; ++k) {
            std::string side = Comparison(counter);
            if (Pick(5) == 0) side = "!" + side;
            text = "(" + text + " " + Joiner() + " " + side + ")";
        }
        return Pick(6) == 0 ? "!" + text : text;
    }

    std::string Target() {
        static const char* const kTargets[] = {"a", "b", "c", "d", "o.x", "o.y", "g", "v[1]"};
        return kTargets[Pick(int(std::size(kTargets)))];
    }

    std::string Statement(const std::string& counter) {
        switch (Pick(6)) {
        case 0:
            // Kinds changing between rounds.
            return "If (" + counter + " == " + std::to_string(Pick(5)) + ") " + Target() + " = " +
                   (Pick(5) == 0   ? "\"x\""
                    : Pick(2) == 0 ? "0.25"
                                   : "4") +
                   ";\n";
        case 1:
            return "If (" + Condition(counter) + ") {\n" + Target() + " = " + Operand(counter) +
                   ";\n}\n";
        case 2:
            return "If (" + Condition(counter) + ") Break;\n";
        default:
            return "If (" + Condition(counter) + ") " + Target() + " = " + Operand(counter) +
                   " + 1;\nElse " + Target() + " -= " + Operand(counter) + ";\n";
        }
    }

    std::mt19937 random_;
};

TEST_F(LoopPrograms, RandomCompoundConditions) {
    uint32_t ended = 0;
    uint32_t compiledRuns = 0;
    const uint32_t count = 1500;
    for (uint32_t seed = 84001; seed < 84001 + count; ++seed) {
        const std::string source = ConditionsMaker(seed).Make();
        const Outcome reference = RunProgram(source, Way::kReference);
        const Outcome compiled = RunProgram(source, Way::kCompiled);
        ASSERT_NO_FATAL_FAILURE(SameAsReference(compiled, reference, seed, source));
        ended += reference.code == 0 ? 1 : 0;
        compiledRuns += compiled.compiled >= 1 ? 1 : 0;
    }
    EXPECT_GE(ended, count / 10);
    EXPECT_GE(compiledRuns, count / 2);
}

} // namespace
