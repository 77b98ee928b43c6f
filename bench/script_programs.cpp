// Small programs compiled from memory and run by the real interpreter: loops, arithmetic,
// texts, calls, arrays, members and globals. bench/lua/ holds the same programs, with the
// same workloads, for Lua 5.4; tools/bench-script-vs-lua runs the two side by side.
//
// Each program checks its own result and calls a function that does not exist when it is
// wrong (error 42), so that a run that skips its work cannot pass for a fast one.
#include <string>

#include "script_program_runner.h"

namespace {

const char kEmptyLoop[] = R"(
Function Main() {
    Var i;
    For (i = 0; i < 10000000; i++) {
    }
    Return i;
}
If (Main() != 10000000) WrongResult();
)";

const char kIntArith[] = R"(
Function Main() {
    Var s = 0;
    Var i;
    For (i = 0; i < 3000000; i++) {
        s = (s + i * 3 - i / 7) % 1000003;
    }
    Return s;
}
If (Main() != 285839) WrongResult();
)";

const char kDoubleArith[] = R"(
Function Main() {
    Var x = 1.5;
    Var y = 0.0;
    Var i;
    For (i = 0; i < 3000000; i++) {
        x = x * 0.9999999 + 0.25;
        y = y + x / 3.5 - 0.125;
    }
    Return y;
}
y = Main();
If (y < 291559560705.19 || y > 291559560705.2) WrongResult();
)";

// A text made from a number, appended to one that grows to 50 pieces.
const char kStringConcat[] = R"(
Function Main() {
    Var s = "";
    Var t = "";
    Var c = 0;
    Var i;
    For (i = 0; i < 1000000; i++) {
        t = "item" + i;
        s = s + t;
        c++;
        If (c == 50) {
            s = "";
            c = 0;
        }
    }
    Return t;
}
If (Main() != "item999999") WrongResult();
)";

const char kFib[] = R"(
Function Fib(n) {
    If (n < 2) Return n;
    Return Fib(n - 1) + Fib(n - 2);
}
If (Fib(27) != 196418) WrongResult();
)";

const char kCalls0[] = R"(
Function Zero() {
    Return 1;
}
Function Main() {
    Var s = 0;
    Var i;
    For (i = 0; i < 3000000; i++) {
        s = s + Zero();
    }
    Return s;
}
If (Main() != 3000000) WrongResult();
)";

const char kCalls3[] = R"(
Function Three(a, b, c) {
    Return a + b - c;
}
Function Main() {
    Var s = 0;
    Var i;
    For (i = 0; i < 3000000; i++) {
        s = s + Three(i, 2, i);
    }
    Return s;
}
If (Main() != 6000000) WrongResult();
)";

const char kArray1D[] = R"(
Function Main() {
    Var j;
    Var p;
    a[0] = 0;
    For (j = 1; j < 1000; j++) a[j] = 0;
    For (p = 0; p < 3000; p++) {
        For (j = 0; j < 1000; j++) {
            a[j] = a[j] + j;
        }
    }
    Return a[999];
}
If (Main() != 2997000) WrongResult();
)";

const char kArray2D[] = R"(
Function Main() {
    Var i;
    Var j;
    Var p;
    m[0, 0] = 0;
    For (i = 0; i < 100; i++) {
        For (j = 0; j < 100; j++) m[i, j] = 0;
    }
    For (p = 0; p < 300; p++) {
        For (i = 0; i < 100; i++) {
            For (j = 0; j < 100; j++) {
                m[i, j] = m[i, j] + i + j;
            }
        }
    }
    Return m[99, 99];
}
If (Main() != 59400) WrongResult();
)";

const char kMemberAccess[] = R"(
Function Point(x, y) {
    This.x = x;
    This.y = y;
}
Function Main() {
    Var p = New Point(1, 2);
    Var i;
    For (i = 0; i < 3000000; i++) {
        p.x = p.x + p.y;
    }
    Return p.x;
}
If (Main() != 6000001) WrongResult();
)";

// `count` globals g0 to g<count - 1>, then a function reading three of them.
std::string GlobalsProgram(int count) {
    std::string source;
    for (int k = 0; k < count; ++k)
        source.append("g")
            .append(std::to_string(k))
            .append(" = ")
            .append(std::to_string(k))
            .append(";\n");
    source.append("Function Main() {\n"
                  "    Var s = 0;\n"
                  "    Var i;\n"
                  "    For (i = 0; i < 3000000; i++) {\n"
                  "        s = s + g0 + g");
    source.append(std::to_string(count / 2)).append(" - g").append(std::to_string(count - 1));
    source.append(";\n"
                  "    }\n"
                  "    Return s;\n"
                  "}\n"
                  "If (Main() != ");
    source.append(std::to_string(3000000 * (count / 2 - (count - 1)))).append(") WrongResult();\n");
    return source;
}

ZORV_SCRIPT_PROGRAM(empty_loop, kEmptyLoop);
ZORV_SCRIPT_PROGRAM(int_arith, kIntArith);
ZORV_SCRIPT_PROGRAM(double_arith, kDoubleArith);
ZORV_SCRIPT_PROGRAM(string_concat, kStringConcat);
ZORV_SCRIPT_PROGRAM(fib, kFib);
ZORV_SCRIPT_PROGRAM(calls_0args, kCalls0);
ZORV_SCRIPT_PROGRAM(calls_3args, kCalls3);
ZORV_SCRIPT_PROGRAM(array_1d, kArray1D);
ZORV_SCRIPT_PROGRAM(array_2d, kArray2D);
ZORV_SCRIPT_PROGRAM(member_access, kMemberAccess);
ZORV_SCRIPT_PROGRAM(globals_10, GlobalsProgram(10));
ZORV_SCRIPT_PROGRAM(globals_100, GlobalsProgram(100));
ZORV_SCRIPT_PROGRAM(globals_1000, GlobalsProgram(1000));

} // namespace
