// The integer runners keep an operator's result at hand for the instruction after it: chains
// of operators whose next one reads that register, or the register above it, a slot or a
// member, in rows of declarations and in assignments, give what the reference walk gives.
#include <gtest/gtest.h>

#include <string>

#include "script/interpreter/program_runs.h"

namespace {

using program_runs::Outcome;
using program_runs::RunProgram;
using program_runs::Way;

class RegisterOperands : public program_runs::ProgramRunsTest {};

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
    const Outcome reference = RunProgram(source, Way::kReference);
    const Outcome compiled = RunProgram(source, Way::kCompiled);
    EXPECT_EQ(reference.code, 0);
    EXPECT_GT(compiled.compiled, 0u);
    program_runs::SameAsReference(compiled, reference, 0, source);
    // Chain(0, 5): a = 2, b = 7, c = 18 + 17 % 11, d = (19 & 19) * 4 + 20, e = 10, f = -27.
    EXPECT_NE(reference.output.find("0:2 0:7 0:24 0:96 0:10 0:-27"), std::string::npos)
        << reference.output;
}

} // namespace
