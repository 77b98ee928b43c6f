// Division and remainder by an integer constant, which the register programs do by a
// multiplication: the same quotients and remainders as a division, for every sign, the
// extremes of the range and divisors that are powers of two or one off them.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "script/interpreter/compiled_numbers.h"
#include "script/interpreter/program_runs.h"

namespace {

using program_runs::Outcome;
using program_runs::RunProgram;
using program_runs::Way;

std::vector<int32_t> Divisors() {
    std::vector<int32_t> divisors = {INT_MIN, INT_MAX, INT_MIN + 1, 1000003, -1009, 17, 7, 3};
    for (int shift = 1; shift < 31; ++shift) {
        const int32_t power = int32_t(1) << shift;
        for (int32_t divisor : {power - 1, power, power + 1})
            if (divisor >= 2) {
                divisors.push_back(divisor);
                divisors.push_back(-divisor);
            }
    }
    for (int32_t divisor = -3000; divisor <= 3000; ++divisor)
        divisors.push_back(divisor);
    return divisors;
}

TEST(ConstantDivision, MultiplicationGivesTheQuotientAndRemainderOfADivision) {
    std::mt19937 random(20261210);
    const int32_t edges[] = {0, 1, -1, 2, -2, INT_MAX, INT_MIN, INT_MIN + 1, INT_MAX - 1};
    for (int32_t divisor : Divisors()) {
        const uint64_t reciprocal = DivisorReciprocal(divisor);
        if (divisor >= -1 && divisor <= 1) {
            EXPECT_EQ(reciprocal, 0u) << divisor;
            continue;
        }
        ASSERT_NE(reciprocal, 0u) << divisor;
        std::vector<int32_t> dividends(std::begin(edges), std::end(edges));
        for (int k = -2; k <= 2; ++k) {
            dividends.push_back(int32_t(uint32_t(divisor) * 5u + uint32_t(k)));
            dividends.push_back(int32_t(0u - uint32_t(divisor) * 3u + uint32_t(k)));
        }
        for (int i = 0; i < 64; ++i)
            dividends.push_back(int32_t(random()));
        for (int32_t a : dividends) {
            int32_t quotient;
            int32_t remainder;
            DivideByReciprocal(a, reciprocal, quotient, remainder);
            ASSERT_EQ(quotient, a / divisor) << a << " / " << divisor;
            ASSERT_EQ(remainder, a % divisor) << a << " % " << divisor;
        }
    }
}

class ConstantDivisionRuns : public program_runs::ProgramRunsTest {};

// Declarations and statements of a function divide its parameter by constants, from a
// slot and from a register; compiled, they print what the reference walk prints.
TEST_F(ConstantDivisionRuns, ScriptsDivideByConstantsAsTheWalkDoes) {
    // Literals past the integers are doubles: the extremes are worked out, as integers wrap.
    const std::string source = R"(Function Parts(x) {
    Var a = x / 7;
    Var b = x % 7;
    Var c = (x + 1) / -16;
    Var d = (x - 1) % -16;
    Var e = x / 1000003;
    Var f = (x ^ 5) % 1073741823;
    Var g = x / 2;
    Var h = x % -1073741824;
    Math.Print(a, b, c, d, e, f, g, h);
}
Parts(0); Parts(1); Parts(-1); Parts(6); Parts(-7); Parts(15); Parts(-17);
Parts((1 << 30) * 2 - 1); Parts((1 << 30) * 2); Parts((1 << 30) * 2 + 1); Parts(123456789);
Parts(-98765432);
)";
    const Outcome reference = RunProgram(source, Way::kReference);
    const Outcome compiled = RunProgram(source, Way::kCompiled);
    EXPECT_EQ(reference.code, 0);
    EXPECT_GT(compiled.compiled, 0u);
    EXPECT_EQ(compiled.output, reference.output);
    // The smallest integer, all of its parts integers.
    EXPECT_NE(reference.output.find(" 0:-306783378 0:-2 0:134217727 0:15 0:-2147 "),
              std::string::npos)
        << reference.output;
}

} // namespace
