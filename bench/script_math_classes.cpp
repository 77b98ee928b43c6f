// A million calls of a built-in method each: Math.Sin, Vector.AddVector and Matrix.MulMatrix,
// with the loop around them. bench/lua/ holds each program for Lua 5.4, the vector and matrix
// as tables with methods doing the same arithmetic, and tools/bench-script-vs-lua runs both.
// Each checks its own result (error 42 otherwise).
#include <string>

#include "script_program_runner.h"

namespace {

const char kMathSin[] = R"(
Function Main() {
    Var total = 0.0;
    Var i;
    For (i = 0; i < 1000000; i++) {
        total = total + Math.Sin(i * 0.001);
    }
    Return total;
}
If (Math.Abs(Main() - 437.20744747) > 0.001) WrongResult();
)";

const char kVectorAdd[] = R"(
Function Main() {
    Var v = New Vector(0, 0, 0);
    Var step = New Vector(1, 2, 3);
    Var i;
    For (i = 0; i < 1000000; i++) {
        v.AddVector(step);
    }
    Return v.GetX() + v.GetY() + v.GetZ();
}
If (Main() != 6000000) WrongResult();
)";

// A quarter turn about Z, a million times: a whole number of turns, so the identity comes back,
// give or take the 0.04 radians that a quarter turn in floats drifts in a million steps.
const char kMatrixMul[] = R"(
Function Main() {
    Var m = New Matrix();
    Var turn = New Matrix();
    Var i;
    m.SetIdentity();
    turn.MakeRotationMatrix(0, 0, 1.5707963267948966);
    For (i = 0; i < 1000000; i++) {
        m.MulMatrix(turn);
    }
    Return Math.Abs(m.GetValue(0, 0) - 1) + Math.Abs(m.GetValue(0, 1)) + Math.Abs(m.GetValue(1, 0));
}
If (Main() > 0.1) WrongResult();
)";

ZORV_SCRIPT_PROGRAM(math_sin_calls, kMathSin);
ZORV_SCRIPT_PROGRAM(vector_add_calls, kVectorAdd);
ZORV_SCRIPT_PROGRAM(matrix_mul_calls, kMatrixMul);

} // namespace
