// Arithmetic on doubles gives the same numbers whichever way it runs: as a statement
// (its value thrown away), as an argument, inside a form that also holds an integer,
// through the token walk (an expression with a call) and as what a function returns
// from its parameters.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <string_view>

#include "script/script_runner.h"

namespace {

class ExpressionMaker {
public:
    explicit ExpressionMaker(uint32_t seed) : random_(seed) {}

    // A random tree of names, literals and the four operators on doubles, `depth`
    // levels deep at most, with parentheses here and there.
    std::string Make(int depth) {
        if (depth == 0 || Pick(4) == 0) {
            static const char* const kLeaves[] = {"a",   "b",    "c",   "0.5",
                                                  "2.0", "1.25", "3.0", "0.75"};
            return kLeaves[Pick(8)];
        }
        static const char* const kOperators[] = {" + ", " - ", " * ", " / "};
        std::string text = Make(depth - 1) + kOperators[Pick(4)] + Make(depth - 1);
        return Pick(2) == 0 ? "(" + text + ")" : text;
    }

    // The same on integers, with elements of the array v and every integer operator;
    // the first `leaves` leaves of the list, whose later ones call the functions Seven
    // and Mul, read the members of the object o and the elements of the grid g, and call
    // Low, whose body is more than its Return.
    std::string MakeInteger(int depth, uint32_t leaves = 9) {
        if (depth == 0 || Pick(4) == 0) {
            static const char* const kLeaves[] = {
                "i",    "k",    "m",       "3",       "7",         "-2",
                "v[i]", "v[0]", "v[k]",    "Seven()", "Mul(i, 3)", "Mul(k, m)",
                "o.a",  "o.b",  "g[i, k]", "g[k, 1]", "Low(i, m)"};
            return kLeaves[Pick(leaves)];
        }
        static const char* const kOperators[] = {" + ", " - ",  " * ",  " / ",  " % ",
                                                 " < ", " == ", " != ", " & ",  " | ",
                                                 " ^ ", " << ", " >> ", " && ", " || "};
        std::string text =
            MakeInteger(depth - 1, leaves) + kOperators[Pick(15)] + MakeInteger(depth - 1, leaves);
        return Pick(2) == 0 ? "(" + text + ")" : text;
    }

private:
    uint32_t Pick(uint32_t count) {
        return std::uniform_int_distribution<uint32_t>(0, count - 1)(random_);
    }

    std::mt19937 random_;
};

// `script` with every "E" in it replaced by `expression`.
std::string WithExpression(std::string_view script, const std::string& expression) {
    std::string text;
    for (char c : script) {
        if (c == 'E')
            text += expression;
        else
            text += c;
    }
    return text;
}

// Runs `script` with each of 300 expressions of `make`; a zero divisor must end the
// run with error 111 at the first statement that meets it (`errorLine`, from 0), and
// any other run must print nothing. Returns the count of runs that ended normally.
template <typename Make> int CompareWays(std::string_view script, int32_t errorLine, Make make) {
    script_test::ScriptRunner runner;
    int ended = 0;
    for (int k = 0; k < 300; ++k) {
        std::string expression = make();
        script_test::ScriptResult result = runner.Run(WithExpression(script, expression));
        EXPECT_TRUE(result.compiled) << expression;
        if (result.ok == 0) {
            EXPECT_EQ(result.code, 111) << expression;
            EXPECT_EQ(result.line, errorLine) << expression;
            continue;
        }
        EXPECT_EQ(result.output, "") << expression;
        ++ended;
    }
    return ended;
}

// Each round runs every statement with its names already there, the second after
// the first has decoded it.
TEST(DoubleStatements, AgreeWithEveryOtherWayOfRunningTheSameArithmetic) {
    const char* script = R"(Function Zero() { Return 0; }
Function Same(v) { Return v; }
Function Of(a, b, c) { Return E; }
r = 0.0;
For (q = 0; q < 2; q++) {
    a = 1.75; b = -0.625; c = 2.5;
    r = E;
    s = 0 + (E);
    t = (E) + Zero();
    u = Same(E);
    w = Of(a, b, c);
    c = c * 0.5 + (E);
    If (r != s || r != t || r != u || r != w || c != 1.25 + r) Print(q, r, s, t, u, w, c);
}
)";
    ExpressionMaker maker(20261206);
    EXPECT_GT(CompareWays(script, 6, [&maker] { return maker.Make(3); }), 250);
}

TEST(IntegerStatements, AgreeWithEveryOtherWayOfRunningTheSameArithmetic) {
    const char* script = R"(Function Zero() { Return 0; }
Function Of(i, k, m) { Return E; }
r = 0;
For (q = 0; q < 2; q++) {
    i = 1; k = 2; m = -5; v[0] = 4; v[1] = -3; v[2] = 6;
    r = E;
    s = 0 + (E);
    t = (E) + Zero();
    w = Of(i, k, m);
    v[k] = E;
    If (r != s || r != t || v[2] != r || w != r) Print(q, r, s, t, v[2], w);
}
)";
    ExpressionMaker maker(61202026);
    EXPECT_GT(CompareWays(script, 5, [&maker] { return maker.MakeInteger(3); }), 200);
}

// Calls of functions that return a number of their parameters, members of script
// objects and elements of a grid run inside the typed code of a statement, and calls of a
// body run in full among the steps of a function's statement on its local; the walk must
// give the same numbers.
TEST(IntegerStatements, AgreeWhenTheyCallFunctionsAndReadMembersAndGridElements) {
    const char* script = R"(Function Seven() { Return 7; }
Function Mul(a, b) { Return a * b - 1; }
Function Low(a, b) { If (a < b) Return a; Return b; }
Function Local(i, k, m) { Var x = 1; x += E; Return x - 1; }
Function Pair(a, b) { This.a = a; This.b = b; }
Function Of(i, k, m) { Return E; }
o = New Pair(3, -4);
r = 0;
For (q = 0; q < 2; q++) {
    i = 1; k = 2; m = -5; v[0] = 4; v[1] = -3; v[2] = 6; o.a = 3; o.b = -4;
    g[1, 2] = 9; g[2, 1] = -6;
    r = E;
    s = 0 + (E);
    w = Of(i, k, m);
    n = Local(i, k, m);
    o.a = E;
    If (r != s || o.a != r || w != r || n != r) Print(q, r, s, o.a, w, n);
}
)";
    ExpressionMaker maker(20261207);
    EXPECT_GT(CompareWays(script, 11, [&maker] { return maker.MakeInteger(3, 17); }), 200);
}

} // namespace
