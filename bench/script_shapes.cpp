// Programs of other shapes than those of script_programs.cpp, each doing what a new user
// would write: grids, numeric kernels, many locals, calls nested as arguments, objects,
// deep recursion, a large array, sorting, a small interpreter, text building and compound
// loop conditions. bench/lua/ holds each one for Lua 5.4 with the same work, and
// tools/bench-script-vs-lua runs both. Each checks its own result (error 42 otherwise).
#include <string>

#include "script_program_runner.h"

namespace {

// A 64 x 64 cellular grid on a torus, 300 generations of the game of life: two-index
// elements read eight at a time, an If / Else chain with a compound condition.
const char kLife[] = R"(
Function Main() {
    Var n = 64;
    Var seed = 42;
    Var i;
    Var j;
    Var gen;
    Var up;
    Var down;
    Var left;
    Var right;
    Var count;
    Var alive;
    Var t;
    Var total = 0;
    g[0, 0] = 0;
    h[0, 0] = 0;
    For (i = 0; i < n; i++) {
        For (j = 0; j < n; j++) {
            seed = ((seed * 75) + 74) % 65537;
            g[i, j] = (seed % 3) == 0;
            h[i, j] = 0;
        }
    }
    For (gen = 0; gen < 300; gen++) {
        For (i = 0; i < n; i++) {
            up = (i + n - 1) % n;
            down = (i + 1) % n;
            For (j = 0; j < n; j++) {
                left = (j + n - 1) % n;
                right = (j + 1) % n;
                count = g[up, left] + g[up, j] + g[up, right] + g[i, left] + g[i, right] +
                        g[down, left] + g[down, j] + g[down, right];
                alive = g[i, j];
                If (count == 3) h[i, j] = 1;
                Else If ((count == 2) && (alive == 1)) h[i, j] = 1;
                Else h[i, j] = 0;
            }
        }
        t = g;
        g = h;
        h = t;
    }
    For (i = 0; i < n; i++) {
        For (j = 0; j < n; j++) total = total + g[i, j];
    }
    Return total;
}
If (Main() != 301) WrongResult();
)";

// The points of a 240 x 160 grid over the Mandelbrot set that stay bounded for 200
// iterations: doubles in a While loop with a compound condition.
const char kMandelbrot[] = R"(
Function Main() {
    Var inside = 0;
    Var py;
    Var px;
    Var x0;
    Var y0;
    Var x;
    Var y;
    Var x2;
    Var y2;
    Var it;
    For (py = 0; py < 160; py++) {
        y0 = ((2.0 * py) / 160.0) - 1.0;
        For (px = 0; px < 240; px++) {
            x0 = ((3.0 * px) / 240.0) - 2.0;
            x = 0.0;
            y = 0.0;
            x2 = 0.0;
            y2 = 0.0;
            it = 0;
            While (((x2 + y2) <= 4.0) && (it < 200)) {
                y = ((2.0 * x) * y) + y0;
                x = (x2 - y2) + x0;
                x2 = x * x;
                y2 = y * y;
                it++;
            }
            If (it == 200) inside++;
        }
    }
    Return inside;
}
If (Main() != 9798) WrongResult();
)";

// Five bodies pulling at each other, 150000 steps of a function with twelve locals that
// reads and writes global arrays of doubles.
const char kNbody[] = R"(
Function Step(n, dt) {
    Var i;
    Var j;
    Var xi;
    Var yi;
    Var mi;
    Var dx;
    Var dy;
    Var d2;
    Var mag;
    Var mj;
    Var ax;
    Var ay;
    For (i = 0; i < n; i++) {
        xi = bx[i];
        yi = by[i];
        mi = bm[i];
        For (j = i + 1; j < n; j++) {
            dx = xi - bx[j];
            dy = yi - by[j];
            d2 = ((dx * dx) + (dy * dy)) + 0.01;
            mag = dt / (d2 * d2);
            mj = bm[j];
            ax = dx * mag;
            ay = dy * mag;
            bvx[i] = bvx[i] - (ax * mj);
            bvy[i] = bvy[i] - (ay * mj);
            bvx[j] = bvx[j] + (ax * mi);
            bvy[j] = bvy[j] + (ay * mi);
        }
    }
    For (i = 0; i < n; i++) {
        bx[i] = bx[i] + (dt * bvx[i]);
        by[i] = by[i] + (dt * bvy[i]);
    }
}
Function Main() {
    Var i;
    Var s;
    Var sum = 0.0;
    For (i = 0; i < 5; i++) {
        bx[i] = i * 1.5;
        by[i] = (i * 0.5) - 1.0;
        bvx[i] = 0.0;
        bvy[i] = (i - 2) * 0.01;
        bm[i] = 1.0 + (i * 0.1);
    }
    For (s = 0; s < 150000; s++) Step(5, 0.001);
    For (i = 0; i < 5; i++) sum = sum + (bx[i] + by[i]);
    Return sum;
}
bx[0] = 0;
by[0] = 0;
bvx[0] = 0;
bvy[0] = 0;
bm[0] = 0;
sum = Main();
If ((sum < 28.5972467594) || (sum > 28.5972467596)) WrongResult();
)";

// Calls whose arguments are calls: six calls a round, 2,000,000 rounds.
const char kNestedCalls[] = R"(
Function Add(a, b) {
    Return a + b;
}
Function Mul(a, b) {
    Return a * b;
}
Function Max(a, b) {
    If (a > b) Return a;
    Return b;
}
Function Min(a, b) {
    If (a < b) Return a;
    Return b;
}
Function Main() {
    Var s = 0;
    Var i;
    For (i = 0; i < 2000000; i++) {
        s = Add(s, Min(Mul(i % 100, 3), Max(Add(i % 7, 50), Mul(i % 13, 20)))) % 1000003;
    }
    Return s;
}
If (Main() != 632093) WrongResult();
)";

// 100 objects whose members a function updates and tests, 20000 rounds.
const char kObjectUpdate[] = R"(
Function Particle(x, y, vx, vy) {
    This.x = x;
    This.y = y;
    This.vx = vx;
    This.vy = vy;
    This.hits = 0;
}
Function Move(p) {
    p.x = p.x + p.vx;
    p.y = p.y + p.vy;
    If ((p.x < 0) || (p.x > 1000)) {
        p.vx = 0 - p.vx;
        p.hits = p.hits + 1;
    }
    If ((p.y < 0) || (p.y > 1000)) {
        p.vy = 0 - p.vy;
        p.hits = p.hits + 1;
    }
}
Function Main() {
    Var i;
    Var k;
    Var p;
    Var seed = 7;
    Var total = 0;
    ps[0] = 0;
    For (i = 0; i < 100; i++) {
        seed = ((seed * 75) + 74) % 65537;
        ps[i] = New Particle(seed % 1000, (seed * 7) % 1000, (seed % 13) - 6, (seed % 11) - 5);
    }
    For (k = 0; k < 20000; k++) {
        For (i = 0; i < 100; i++) Move(ps[i]);
    }
    For (i = 0; i < 100; i++) {
        p = ps[i];
        total = total + p.hits;
    }
    Return total;
}
If (Main() != 10892) WrongResult();
)";

// Recursion whose function runs several statements before each Return: 2^22 calls.
const char kRecursionBody[] = R"(
Function Walk(n, depth) {
    Var a = (n * 3) % 1009;
    Var b = (a + depth) % 17;
    Var c = b * 2;
    Var total = a + c;
    If (depth == 0) Return total;
    total = total + Walk(a + 1, depth - 1);
    total = total + Walk(b + 7, depth - 1);
    Return total % 1000003;
}
If (Walk(5, 21) != 559824) WrongResult();
)";

// Recursion a thousand levels deep, each level adding its callee's value to its own, 1,000
// times.
const char kDeepRecursion[] = R"(
Function Sum(n) {
    Var total = n % 7;
    If (n == 0) Return 0;
    total = total + Sum(n - 1);
    Return total;
}
Function Main() {
    Var total = 0;
    Var i;
    For (i = 0; i < 1000; i++) {
        total = (total + Sum(1000) + i) % 1000003;
    }
    Return total;
}
If (Main() != 502491) WrongResult();
)";

// The primes up to 2,000,000 by the sieve of Eratosthenes over an array of 2,000,001
// elements.
const char kSieve[] = R"(
Function Main() {
    Var n = 2000000;
    Var i;
    Var j;
    Var count = 0;
    flags[0] = 1;
    For (i = 1; i <= n; i++) flags[i] = 1;
    For (i = 2; (i * i) <= n; i++) {
        If (flags[i] == 1) {
            For (j = i * i; j <= n; j += i) flags[j] = 0;
        }
    }
    For (i = 2; i <= n; i++) {
        If (flags[i] == 1) count++;
    }
    Return count;
}
If (Main() != 148933) WrongResult();
)";

// Insertion sort of 6000 pseudo-random numbers: a While loop left by Break.
const char kInsertionSort[] = R"(
Function Main() {
    Var n = 6000;
    Var seed = 12345;
    Var i;
    Var j;
    Var key;
    Var check = 0;
    a[0] = 0;
    For (i = 0; i < n; i++) {
        seed = ((seed * 75) + 74) % 65537;
        a[i] = seed;
    }
    For (i = 1; i < n; i++) {
        key = a[i];
        j = i - 1;
        While (j >= 0) {
            If (a[j] <= key) Break;
            a[j + 1] = a[j];
            j--;
        }
        a[j + 1] = key;
    }
    For (i = 1; i < n; i++) {
        If (a[i - 1] > a[i]) WrongResult();
    }
    For (i = 0; i < n; i += 100) check = (check + a[i]) % 1000003;
    Return check;
}
If (Main() != 910779) WrongResult();
)";

// A small stack machine that runs a loop of 14 instructions 40000 times, eight times over,
// through a Switch (40000 squared still fits in 32 bits).
const char kStackMachine[] = R"(
Function Run() {
    Var pc = 0;
    Var sp = 0;
    Var running = 1;
    Var op;
    While (running == 1) {
        op = code[pc];
        Switch (op) {
        Case 0:
            stack[sp] = code[pc + 1];
            sp++;
            pc += 2;
            Break;
        Case 1:
            stack[sp] = reg[code[pc + 1]];
            sp++;
            pc += 2;
            Break;
        Case 2:
            sp--;
            reg[code[pc + 1]] = stack[sp];
            pc += 2;
            Break;
        Case 3:
            sp--;
            stack[sp - 1] = stack[sp - 1] + stack[sp];
            pc++;
            Break;
        Case 4:
            sp--;
            stack[sp - 1] = stack[sp - 1] - stack[sp];
            pc++;
            Break;
        Case 5:
            sp--;
            stack[sp - 1] = stack[sp - 1] * stack[sp];
            pc++;
            Break;
        Case 6:
            sp--;
            If (stack[sp] != 0) pc = code[pc + 1];
            Else pc += 2;
            Break;
        Case 7:
            sp--;
            stack[sp - 1] = stack[sp - 1] % stack[sp];
            pc++;
            Break;
        Default:
            running = 0;
        }
    }
    Return reg[1];
}
Function Emit(op, argument) {
    code[size] = op;
    size++;
    If (argument >= 0) {
        code[size] = argument;
        size++;
    }
}
Function Main() {
    Var k;
    Var total = 0;
    For (k = 0; k < 8; k++) total = total + Run();
    Return total;
}
code[0] = 0;
stack[0] = 0;
reg[0] = 0;
reg[1] = 0;
size = 0;
Emit(0, 40000);
Emit(2, 0);
Emit(0, 0);
Emit(2, 1);
Emit(1, 1);
Emit(1, 0);
Emit(1, 0);
Emit(5, -1);
Emit(0, 7);
Emit(7, -1);
Emit(3, -1);
Emit(2, 1);
Emit(1, 0);
Emit(0, 1);
Emit(4, -1);
Emit(2, 0);
Emit(1, 0);
Emit(6, 8);
Emit(8, -1);
If (Main() != 640008) WrongResult();
)";

// Texts built piece by piece: 600000 pieces made from numbers in a Var of the loop body,
// joined into lines of about 200 characters.
const char kStringBuild[] = R"(
Function Main() {
    Var line = "";
    Var total = 0;
    Var lines = 0;
    Var i;
    For (i = 0; i < 600000; i++) {
        Var piece = "<" + (i % 97) + ">";
        line = line + piece;
        If (line.Length() > 200) {
            total = total + line.Length();
            lines++;
            line = "";
        }
    }
    Return total + line.Length() + lines;
}
If (Main() != 2349667) WrongResult();
)";

// While loops with compound conditions: the Collatz steps of the numbers up to 100000.
const char kWhileCompound[] = R"(
Function Main() {
    Var total = 0;
    Var longest = 0;
    Var n = 1;
    Var x;
    Var steps;
    While ((n <= 100000) && (total >= 0)) {
        x = n;
        steps = 0;
        While ((x != 1) && (steps < 1000)) {
            If ((x % 2) == 0) x = x / 2;
            Else x = (3 * x) + 1;
            steps++;
        }
        total = total + steps;
        If (steps > longest) longest = steps;
        n++;
    }
    Return total + longest;
}
If (Main() != 10754190) WrongResult();
)";

// The placements of 10 queens on a 10 x 10 board, by recursion with a While loop of
// compound condition.
const char kQueens[] = R"(
Function Place(row, n) {
    Var count = 0;
    Var col;
    Var ok;
    Var r;
    If (row == n) Return 1;
    For (col = 0; col < n; col++) {
        ok = 1;
        r = 0;
        While ((r < row) && (ok == 1)) {
            If (cols[r] == col) ok = 0;
            If ((cols[r] - col) == (row - r)) ok = 0;
            If ((col - cols[r]) == (row - r)) ok = 0;
            r++;
        }
        If (ok == 1) {
            cols[row] = col;
            count = count + Place(row + 1, n);
        }
    }
    Return count;
}
cols[0] = 0;
If (Place(0, 10) != 724) WrongResult();
)";

// Products of two 80 x 80 matrices of doubles, 10 times.
const char kMatrixMul[] = R"(
Function Main() {
    Var n = 80;
    Var i;
    Var j;
    Var k;
    Var s;
    Var round;
    Var trace = 0.0;
    a[0, 0] = 0.0;
    b[0, 0] = 0.0;
    c[0, 0] = 0.0;
    For (i = 0; i < n; i++) {
        For (j = 0; j < n; j++) {
            a[i, j] = (i + j) * 0.5;
            b[i, j] = ((i * 2) - j) * 0.25;
            c[i, j] = 0.0;
        }
    }
    For (round = 0; round < 10; round++) {
        For (i = 0; i < n; i++) {
            For (j = 0; j < n; j++) {
                s = 0.0;
                For (k = 0; k < n; k++) s = s + (a[i, k] * b[k, j]);
                c[i, j] = s;
            }
        }
        For (i = 0; i < n; i++) trace = trace + c[i, i];
        a[0, 0] = a[0, 0] + 1.0;
    }
    Return trace;
}
trace = Main();
If ((trace < 29229999.9) || (trace > 29230000.1)) WrongResult();
)";

ZORV_SCRIPT_PROGRAM(life, kLife);
ZORV_SCRIPT_PROGRAM(mandelbrot, kMandelbrot);
ZORV_SCRIPT_PROGRAM(nbody, kNbody);
ZORV_SCRIPT_PROGRAM(nested_calls, kNestedCalls);
ZORV_SCRIPT_PROGRAM(object_update, kObjectUpdate);
ZORV_SCRIPT_PROGRAM(recursion_body, kRecursionBody);
ZORV_SCRIPT_PROGRAM(deep_recursion, kDeepRecursion);
ZORV_SCRIPT_PROGRAM(sieve, kSieve);
ZORV_SCRIPT_PROGRAM(insertion_sort, kInsertionSort);
ZORV_SCRIPT_PROGRAM(stack_machine, kStackMachine);
ZORV_SCRIPT_PROGRAM(string_build, kStringBuild);
ZORV_SCRIPT_PROGRAM(while_compound, kWhileCompound);
ZORV_SCRIPT_PROGRAM(queens, kQueens);
ZORV_SCRIPT_PROGRAM(matrix_mul, kMatrixMul);

} // namespace
