// The integer runners keep an operator's result at hand for the instruction after it: chains
// of operators whose next one reads that register, or the register above it, a slot or a
// member, in rows of declarations and in assignments, give what the reference walk gives; so
// do statements that assign a slot an operator on a call's value.
#include <gtest/gtest.h>

#include <string>

#include "script/interpreter/program_runs.h"

namespace {

using program_runs::Outcome;
using program_runs::RunProgram;
using program_runs::Way;

class RegisterOperands : public program_runs::ProgramRunsTest {
protected:
    // The reference walk's outcome, which the compiled run must match.
    static Outcome RunBothWays(const std::string& source) {
        const Outcome reference = RunProgram(source, Way::kReference);
        const Outcome compiled = RunProgram(source, Way::kCompiled);
        EXPECT_GT(compiled.compiled, 0u);
        program_runs::SameAsReference(compiled, reference, 0, source);
        return reference;
    }
};

TEST_F(RegisterOperands, ChainsOfOperatorsGiveWhatTheWalkGives) {
    const std::string source = R"(Function Chain(x, y) {
    Var a = (x * 3) % 1009 + 2;
    Var b = (a + y) % 17 - x;
    Var c = a - (b + 1) * (x - 2);
    Var d = ((c ^ 5) | 3) & (a * 7 + y);
    Var e = (x - (y - (a - b))) * 2;
    Var f = -(a + b) * 3;
    c = c + (d - a) % 11;
    d = (d << 2) - e;
    e = y * 2 - (x + 1) / 3;
    Math.Print(a, b, c, d, e, f);
    Return (a + b + c + d + e + f) % 1000003;
}
Function Point(x, y) {
    This.x = x;
    This.y = y;
}
Function Mix(p) {
    Var a = (p.x * 3) % 101 + p.y;
    Var b = p.x - (p.y + 1) * (a - 2);
    p.x = (p.x + a) % 1000 - b * p.y;
    p.y = p.y - (p.x - a) * 2;
    Return a + b + p.x - p.y;
}
Var total = 0;
Var i;
Var p = New Point(3, -4);
For (i = -20; i < 20; i++) total = total + Chain(i * 37, 5 - i) + Mix(p) % 1000;
Math.Print(total, p.x, p.y, Chain(2147483647, -2147483647), Chain(-65536, 65535));
)";
    const Outcome reference = RunBothWays(source);
    EXPECT_EQ(reference.code, 0);
    // Chain(0, 5): a = 2, b = 7, c = 18 + 17 % 11, d = (19 & 19) * 4 + 20, e = 10, f = -27.
    EXPECT_NE(reference.output.find("0:2 0:7 0:24 0:96 0:10 0:-27"), std::string::npos)
        << reference.output;
}

// A statement assigning a slot an operator on what a call gives: the operator and the
// assignment are taken together once the call has returned, for integers; doubles, texts,
// nothing, a division by zero, a slot no Var made and compound assignments take the steps of
// each, as the walk's do.
TEST_F(RegisterOperands, AnOperatorOnACallsValueAssignedGivesWhatTheWalkGives) {
    const std::string source = R"(Function Sum(n) {
    Var total = n % 7;
    If (n == 0) Return 0;
    total = total + Sum(n - 1);
    Return total;
}
Function Walk(n, depth) {
    Var a = (n * 3) % 1009;
    Var total = a;
    If (depth == 0) Return total;
    total = total * Walk(a + 1, depth - 1);
    total = total - Walk(a + 7, depth - 1);
    Return total % 1000003;
}
Function Give(k) {
    If (k == 1) Return 2.5;
    If (k == 2) Return "t";
    If (k == 3) Return;
    If (k == 4) Return 0;
    Return k;
}
Function Mixed(k) {
    Var x = 10;
    x = x + Give(k);
    Math.Print(k, x);
    If (k == 2) Return 0;
    Var y = 7;
    y += 3 * Give(k);
    z = 4;
    z = z - Give(k);
    Var w = 2147483647;
    w = w + Give(k);
    Math.Print(y, z, w);
    Var q = 9;
    q = q / Give(k);
    Return q;
}
Var i;
For (i = 0; i < 6; i++) Math.Print(Sum(i * 20), Walk(i, 4));
Mixed(5);
Mixed(1);
Mixed(2);
Mixed(3);
Mixed(4);
)";
    const Outcome reference = RunBothWays(source);
    EXPECT_NE(reference.code, 0);
    // Sum(20): the remainders by 7 of 20 down to 1, each level adding its callee's; an
    // integer past the largest becomes a double, as the walk makes it.
    EXPECT_NE(reference.output.find("0:63 0:967583"), std::string::npos) << reference.output;
    EXPECT_NE(reference.output.find("0:22 0:-1 1:2.14748e+09"), std::string::npos)
        << reference.output;
}

// Operators that read a member as their right side, the member read by the operator itself:
// with slots alone, with names (globals) beside them, on doubles, in loop rounds and in
// methods of This; a member holding a text or gone leaves the statement to its steps.
TEST_F(RegisterOperands, MembersReadByTheirOperatorsGiveWhatTheWalkGives) {
    const std::string source = R"(Function Pair(x, y) {
    This.x = x;
    This.y = y;
}
Function Spread() {
    Return (This.y - This.x) * This.y + This.x;
}
Function Mix(p, q) {
    Var s = 1;
    Var i;
    For (i = 0; i < 5; i++) {
        s = (s + p.x + q.y) % 1000003;
        s -= p.y * q.x;
        g = g * 3 - p.y + q.x;
    }
    Var d = (s - p.x) * (q.y + p.y);
    h = h + q.x * p.x;
    Math.Print(s, d, g, h);
    Return s + d;
}
g = 2;
h = 1;
Function Names(p) {
    k = k + 1 + p.x;
    m = p.y;
    m = m + 3 * p.x;
    Var t = 1;
    t = t + k + p.x;
    t = t * (k - p.y);
    Return (k * 100 + m) * 100 + t;
}
k = 5;
Math.Print(Names(New Pair(7, 9)));
Var a = New Pair(3, -4);
Var b = New Pair(2.5, 7);
a.Spread = Spread;
Math.Print(Mix(a, a), Mix(a, b), Mix(b, a), a.Spread());
b.y = "t";
Math.Print(Mix(a, b));
Delete a;
Math.Print(Mix(b, b));
)";
    const Outcome reference = RunBothWays(source);
    EXPECT_NE(reference.code, 0);
    // Mix(a, a) on the integers: s gains 12 a round, g becomes 3g + 7, d = (56 - 3) * -8; and
    // Spread gives (-4 - 3) * -4 + 3.
    EXPECT_NE(reference.output.find("0:56 0:-424 0:1333 0:10"), std::string::npos)
        << reference.output;
    EXPECT_NE(reference.output.find(" 0:31\n"), std::string::npos) << reference.output;
}

} // namespace
