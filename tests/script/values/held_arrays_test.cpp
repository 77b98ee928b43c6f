// Random programs that keep arrays in elements of other arrays, share them with variables,
// take them out again and let them go, read numbers of them as texts, and fail on what is
// no array or no element: the walk, the reference walk and the compiled form must print
// the same and end with the same error at the same place. An array is held by address and
// released by use count, so a count out by one shows as an element that changed or went.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "script/script_runner.h"

namespace {

constexpr int kNames = 4;

class ProgramMaker {
public:
    explicit ProgramMaker(uint32_t seed) : random_(seed) {}

    std::string Make() {
        std::string text = "Function Make(n) {\n    Var a;\n    a[0] = n;\n"
                           "    a[1] = \"s\" + n;\n    a[2] = a[1] + n;\n    Return a;\n}\n";
        text += "Function Work(r) {\n";
        int statements = 4 + Below(10);
        for (int i = 0; i < statements; ++i)
            text += "    " + Statement() + "\n";
        text += "    Return r;\n}\n";
        for (int k = 0; k < kNames; ++k)
            text += "a" + std::to_string(k) + " = Make(" + std::to_string(k) + ");\n";
        // Rounds: the compiled form runs Work again over what the last round left.
        text += "For (round = 0; round < 3; round++) {\n    Work(round);\n";
        for (int k = 0; k < kNames; ++k) {
            std::string name = "a" + std::to_string(k);
            text += "    Print(" + name + "[0], " + name + "[1], " + name + "[2]);\n";
        }
        text += "}\n";
        return text;
    }

private:
    int Below(int n) { return int(random_() % uint32_t(n)); }
    std::string Name() { return "a" + std::to_string(Below(kNames)); }
    std::string Index() { return Below(4) == 0 ? "r" : std::to_string(Below(3)); }
    std::string Element() { return Name() + "[" + Index() + "]"; }

    std::string Operand() {
        switch (Below(7)) {
        case 0:
            return std::to_string(Below(100) - 50);
        case 1:
            return std::to_string(Below(100)) + ".5";
        case 2:
            return "\"t" + std::to_string(Below(10)) + "\"";
        case 3:
            return Name();
        case 4:
            return "Make(" + std::to_string(Below(9)) + ")";
        default:
            return Element();
        }
    }

    std::string Statement() {
        switch (Below(8)) {
        case 0:
            return Name() + " = " + Element() + ";";
        case 1:
            return Name() + " = " + (Below(2) == 0 ? "0;" : "Make(r);");
        case 2:
            return Element() + " = " + Element() + " + \"\" + r;";
        case 3:
            return "If (r > " + std::to_string(Below(3)) + ") " + Name() + " = " + Name() + ";";
        default:
            return Element() + " = " + Operand() + ";";
        }
    }

    std::mt19937 random_;
};

struct Way {
    const char* name;
    bool referenceWalk;
    bool compiled;
};

TEST(HeldArrays, RandomProgramsEndAlikeOnEveryWay) {
    constexpr Way kWays[] = {
        {"walk", false, false}, {"reference", true, false}, {"compiled", false, true}};
    int ended = 0;
    for (uint32_t seed = 1; seed <= 400; ++seed) {
        std::string program = ProgramMaker(seed).Make();
        script_test::ScriptResult results[3];
        for (int w = 0; w < 3; ++w) {
            script_test::ScriptRunner runner;
            runner.referenceWalk = kWays[w].referenceWalk;
            runner.compiledForm = kWays[w].compiled;
            results[w] = runner.Run(program);
        }
        ended += results[0].ok;
        for (int w = 1; w < 3; ++w) {
            SCOPED_TRACE(std::string(kWays[w].name) + ", seed " + std::to_string(seed) + ":\n" +
                         program);
            EXPECT_EQ(results[w].output, results[0].output);
            EXPECT_EQ(results[w].ok, results[0].ok);
            EXPECT_EQ(results[w].code, results[0].code);
            EXPECT_EQ(results[w].line, results[0].line);
            EXPECT_EQ(results[w].column, results[0].column);
        }
    }
    // Most programs fail somewhere; enough must run to their end to compare what they print.
    EXPECT_GE(ended, 40) << ended;
}

} // namespace
