// More programs of the shapes a new user writes, beside those of script_shapes.cpp: a
// stencil over a grid, an escape-time set, springs with many locals, calls three deep as
// arguments, objects updated by functions, the Takeuchi recursion, a totient sieve over a
// million elements, heap sort, an accumulator machine, comma-separated lines, subtraction
// loops, a checksum in sixteen locals, the methods of texts, objects made by a constructor
// and the methods of a script object. bench/lua/ holds each one for Lua 5.4 with the same
// work, and tools/bench-script-vs-lua runs both. Each checks its own result (error 42
// otherwise).
#include <string>

#include "script_program_runner.h"

namespace {

// A 48 x 48 grid of integer temperatures on a torus, 250 steps of diffusion: each cell
// becomes a weighted mean of itself and its four neighbours.
const char kHeatGrid[] = R"(
Function Main() {
    Var n = 48;
    Var seed = 99;
    Var i;
    Var j;
    Var step;
    Var up;
    Var down;
    Var left;
    Var right;
    Var t;
    Var total = 0;
    g[0, 0] = 0;
    h[0, 0] = 0;
    For (i = 0; i < n; i++) {
        For (j = 0; j < n; j++) {
            seed = ((seed * 75) + 74) % 65537;
            g[i, j] = seed % 1000;
            h[i, j] = 0;
        }
    }
    For (step = 0; step < 250; step++) {
        For (i = 0; i < n; i++) {
            up = (i + n - 1) % n;
            down = (i + 1) % n;
            For (j = 0; j < n; j++) {
                left = (j + n - 1) % n;
                right = (j + 1) % n;
                h[i, j] = ((4 * g[i, j]) + g[up, j] + g[down, j] + g[i, left] + g[i, right]) / 8;
            }
        }
        t = g;
        g = h;
        h = t;
    }
    For (i = 0; i < n; i++) {
        For (j = 0; j < n; j++) total = total + (g[i, j] * ((i + j + 2) % 5));
    }
    Return total;
}
If (Main() != 1955064) WrongResult();
)";

// The points of a 300 x 200 grid that stay in the Julia set of c = -0.8 + 0.156i for 120
// iterations, with the escape radius checked each step by variables of the loop body.
const char kJulia[] = R"(
Function Main() {
    Var inside = 0;
    Var cx = -0.8;
    Var cy = 0.156;
    Var py;
    Var px;
    Var x;
    Var y;
    Var it;
    Var escaped;
    For (py = 0; py < 200; py++) {
        For (px = 0; px < 300; px++) {
            x = ((3.0 * px) / 300.0) - 1.5;
            y = ((2.0 * py) / 200.0) - 1.0;
            it = 0;
            escaped = 0;
            While ((it < 120) && (escaped == 0)) {
                Var xx = x * x;
                Var yy = y * y;
                If ((xx + yy) > 4.0) escaped = 1;
                Else {
                    y = ((2.0 * x) * y) + cy;
                    x = (xx - yy) + cx;
                    it++;
                }
            }
            If (escaped == 0) inside++;
        }
    }
    Return inside;
}
If (Main() != 6868) WrongResult();
)";

// A chain of 10 masses joined by springs, 40000 steps of a function with fifteen locals
// over global arrays of doubles.
const char kSprings[] = R"(
Function Step(n, dt, k, rest, damping) {
    Var i;
    Var left;
    Var right;
    Var stretch;
    Var force;
    Var dv;
    Var drag;
    Var total;
    Var mi;
    Var mj;
    Var ai;
    Var aj;
    For (i = 0; i < (n - 1); i++) {
        left = px[i];
        right = px[i + 1];
        stretch = (right - left) - rest;
        force = k * stretch;
        dv = pv[i + 1] - pv[i];
        drag = damping * dv;
        total = force + drag;
        mi = pm[i];
        mj = pm[i + 1];
        ai = total / mi;
        aj = total / mj;
        pv[i] = pv[i] + (ai * dt);
        pv[i + 1] = pv[i + 1] - (aj * dt);
    }
    For (i = 0; i < n; i++) px[i] = px[i] + (pv[i] * dt);
}
Function Main() {
    Var n = 10;
    Var i;
    Var s;
    Var sum = 0.0;
    For (i = 0; i < n; i++) {
        px[i] = i * 1.2;
        pv[i] = 0.0;
        pm[i] = 1.0 + (i * 0.25);
    }
    pv[0] = -0.5;
    pv[n - 1] = 0.5;
    For (s = 0; s < 40000; s++) Step(n, 0.002, 40.0, 1.0, 0.05);
    For (i = 0; i < n; i++) sum = sum + (px[i] * (i + 1));
    Return sum;
}
px[0] = 0;
pv[0] = 0;
pm[0] = 0;
sum = Main();
If ((sum < 628.1002704) || (sum > 628.1002706)) WrongResult();
)";

// Calls nested three deep as arguments of other calls: eight calls a round, 600000 rounds.
const char kCallArgs[] = R"(
Function Sq(x) {
    Return x * x;
}
Function Half(x) {
    Return x / 2;
}
Function Mix(a, b, c) {
    Return ((a * 3) + (b * 5) + c) % 10007;
}
Function Clamp(x, lo, hi) {
    If (x < lo) Return lo;
    If (x > hi) Return hi;
    Return x;
}
Function Diff(a, b) {
    If (a > b) Return a - b;
    Return b - a;
}
Function Main() {
    Var acc = 0;
    Var i;
    For (i = 0; i < 600000; i++) {
        acc = (acc + Clamp(Mix(Sq(i % 50), Half(i % 999), Diff(i % 77, acc % 91)), 100, 9000)) %
              1000003;
    }
    Return acc;
}
If (Main() != 144350) WrongResult();
)";

// 60 accounts whose members the functions Deposit, Withdraw and Transfer update, 200000
// transfers between accounts chosen by a generator.
const char kAccounts[] = R"(
Function Account(id, balance) {
    This.id = id;
    This.balance = balance;
    This.deposits = 0;
    This.refused = 0;
}
Function Deposit(a, amount) {
    a.balance = a.balance + amount;
    a.deposits = a.deposits + 1;
}
Function Withdraw(a, amount) {
    If (a.balance < amount) {
        a.refused = a.refused + 1;
        Return 0;
    }
    a.balance = a.balance - amount;
    Return 1;
}
Function Transfer(from, to, amount) {
    If (Withdraw(from, amount) == 1) Deposit(to, amount);
}
Function Main() {
    Var i;
    Var k;
    Var a;
    Var seed = 3;
    Var check = 0;
    accounts[0] = 0;
    For (i = 0; i < 60; i++) accounts[i] = New Account(i, 1000 + (i * 10));
    For (k = 0; k < 200000; k++) {
        seed = ((seed * 75) + 74) % 65537;
        Transfer(accounts[seed % 60], accounts[(seed / 60) % 60], seed % 300);
    }
    For (i = 0; i < 60; i++) {
        a = accounts[i];
        check = (check + (a.balance * (i + 1)) + a.deposits + (a.refused * 7)) % 1000003;
    }
    Return check;
}
If (Main() != 677985) WrongResult();
)";

// The Takeuchi function with three locals set before its final call, and a count of the
// calls in a global.
const char kTak[] = R"(
Function Tak(x, y, z) {
    Var a;
    Var b;
    Var c;
    calls++;
    If (y >= x) Return z;
    a = Tak(x - 1, y, z);
    b = Tak(y - 1, z, x);
    c = Tak(z - 1, x, y);
    Return Tak(a, b, c);
}
calls = 0;
If (Tak(22, 16, 8) != 9) WrongResult();
If (calls != 905685) WrongResult();
)";

// Euler's totient of every number up to 1,000,000 by a sieve over an array of 1,000,001
// elements, and their sum.
const char kTotient[] = R"(
Function Main() {
    Var n = 1000000;
    Var i;
    Var p;
    Var m;
    Var total = 0;
    phi[0] = 0;
    For (i = 1; i <= n; i++) phi[i] = i;
    For (p = 2; p <= n; p++) {
        If (phi[p] == p) {
            For (m = p; m <= n; m += p) phi[m] = phi[m] - (phi[m] / p);
        }
    }
    For (i = 1; i <= n; i++) total = (total + phi[i]) % 1000003;
    Return total;
}
If (Main() != 640506) WrongResult();
)";

// Heap sort of 30000 pseudo-random numbers passed as an array argument: sifting down in a
// While loop with a compound condition, left by Break.
const char kHeapSort[] = R"(
Function Sift(a, start, finish) {
    Var root = start;
    Var child;
    Var t;
    While ((((root * 2) + 1) <= finish) && (root >= 0)) {
        child = (root * 2) + 1;
        If ((child + 1) <= finish) {
            If (a[child] < a[child + 1]) child++;
        }
        If (a[root] >= a[child]) Break;
        t = a[root];
        a[root] = a[child];
        a[child] = t;
        root = child;
    }
}
Function Main() {
    Var n = 30000;
    Var seed = 777;
    Var i;
    Var t;
    Var finish;
    Var check = 0;
    numbers[0] = 0;
    For (i = 0; i < n; i++) {
        seed = ((seed * 75) + 74) % 65537;
        numbers[i] = seed;
    }
    For (i = (n - 2) / 2; i >= 0; i--) Sift(numbers, i, n - 1);
    For (finish = n - 1; finish >= 1; finish--) {
        t = numbers[0];
        numbers[0] = numbers[finish];
        numbers[finish] = t;
        Sift(numbers, 0, finish - 1);
    }
    For (i = 1; i < n; i++) {
        If (numbers[i - 1] > numbers[i]) WrongResult();
    }
    For (i = 0; i < n; i += 50) check = (check + (numbers[i] * ((i % 7) + 1))) % 1000003;
    Return check;
}
If (Main() != 294908) WrongResult();
)";

// A small accumulator machine whose instructions an If / Else If chain decodes: a program of
// 13 instructions that sums i * i % 97 for 40000 values, run four times.
const char kAccumulatorVm[] = R"(
Function Emit(op, argument) {
    code[size] = op;
    code[size + 1] = argument;
    size += 2;
}
Function Run() {
    Var pc = 0;
    Var acc = 0;
    Var running = 1;
    Var op;
    Var arg;
    mem[0] = 0;
    mem[1] = 0;
    mem[2] = 0;
    mem[3] = 0;
    While (running == 1) {
        op = code[pc];
        arg = code[pc + 1];
        pc += 2;
        If (op == 0) acc = arg;
        Else If (op == 1) acc = mem[arg];
        Else If (op == 2) mem[arg] = acc;
        Else If (op == 3) acc = acc + mem[arg];
        Else If (op == 4) acc = acc * mem[arg];
        Else If (op == 5) acc = acc % arg;
        Else If (op == 6) acc = acc - arg;
        Else If (op == 7) {
            If (acc != 0) pc = arg;
        }
        Else running = 0;
    }
    Return mem[2];
}
Function Main() {
    Var k;
    Var total = 0;
    For (k = 0; k < 4; k++) total = total + Run();
    Return total;
}
code[0] = 0;
size = 0;
Emit(0, 40000);
Emit(2, 1);
Emit(0, 0);
Emit(2, 2);
Emit(1, 1);
Emit(4, 1);
Emit(5, 97);
Emit(3, 2);
Emit(2, 2);
Emit(1, 1);
Emit(6, 1);
Emit(2, 1);
Emit(7, 8);
Emit(8, 0);
If (Main() != 7679712) WrongResult();
)";

// Lines of comma-separated numbers built piece by piece, each line measured and searched
// for its last comma: 20000 lines of 8 fields.
const char kCsvText[] = R"(
Function Main() {
    Var total = 0;
    Var commas = 0;
    Var row;
    Var col;
    For (row = 0; row < 20000; row++) {
        Var line = "" + row;
        For (col = 1; col <= 8; col++) line = line + "," + ((row * col) % 1000);
        total = total + line.Length();
        commas = commas + (line.Length() - line.LastIndexOf(","));
    }
    Return total + commas;
}
If (Main() != 788650) WrongResult();
)";

// Greatest common divisors by repeated subtraction, in While loops with compound
// conditions, of 100000 pairs.
const char kGcdLoops[] = R"(
Function Main() {
    Var total = 0;
    Var ones = 0;
    Var i = 1;
    Var a;
    Var b;
    While ((i <= 100000) && (total >= 0)) {
        a = (i % 1000) + 1;
        b = ((i * 7) % 1013) + 1;
        While ((a != b) && (a > 0) && (b > 0)) {
            If (a > b) a = a - b;
            Else b = b - a;
        }
        total = total + a;
        If (a == 1) ones++;
        i++;
    }
    Return total + ones;
}
If (Main() != 493383) WrongResult();
)";

// Words cut out of a sentence, raised to upper case and compared letter by letter and
// without regard to case, 300000 rounds.
const char kTextMethods[] = R"(
Function Main() {
    Var s = "the quick brown fox jumps over the lazy dog";
    Var total = 0;
    Var i;
    For (i = 0; i < 300000; i++) {
        Var start = (i * 7) % 40;
        Var word = s.SubString(start, 5);
        Var upper = word.ToUpperCase();
        If (upper.CharAt(0) == "O") total = total + 3;
        If (word.CompareNoCase("quick") == 0) total = total + 5;
        total = total + upper.IndexOf("O") + word.GetAscii(1);
    }
    Return total;
}
If (Main() != 28425000) WrongResult();
)";

// A checksum kept in sixteen locals that rotate through each round, with a variable
// declared in the loop body, 2,000,000 rounds.
const char kHashLocals[] = R"(
Function Main() {
    Var h0 = 1;
    Var h1 = 2;
    Var h2 = 3;
    Var h3 = 4;
    Var h4 = 5;
    Var h5 = 6;
    Var h6 = 7;
    Var h7 = 8;
    Var h8 = 9;
    Var h9 = 10;
    Var h10 = 11;
    Var h11 = 12;
    Var h12 = 13;
    Var h13 = 14;
    Var h14 = 15;
    Var h15 = 16;
    Var i;
    For (i = 0; i < 2000000; i++) {
        Var mixed = ((h0 * 31) + (h5 * 7) + h11 + i) % 1000003;
        h0 = h1;
        h1 = h2;
        h2 = h3;
        h3 = h4;
        h4 = h5;
        h5 = h6;
        h6 = h7;
        h7 = h8;
        h8 = h9;
        h9 = h10;
        h10 = h11;
        h11 = h12;
        h12 = h13;
        h13 = h14;
        h14 = h15;
        h15 = mixed;
    }
    Return (h0 + h3 + h7 + h9 + h12 + h15) % 1000003;
}
If (Main() != 257789) WrongResult();
)";

// Objects made by a script constructor, one each round, 1,000,000 rounds: each is read back
// and most are dropped, while every hundredth stays in a ring of 50 for a while.
const char kNewObjects[] = R"(
Function Pair(x, y) {
    This.x = x;
    This.y = y;
}
Function Main() {
    Var i;
    Var p;
    Var sum = 0;
    kept[0] = 0;
    For (i = 0; i < 1000000; i++) {
        p = New Pair(i, i + 1);
        sum = (sum + p.x + p.y) % 1000003;
        If ((i % 100) == 0) kept[(i / 100) % 50] = p;
    }
    For (i = 0; i < 50; i++) sum = (sum + kept[i].x) % 1000003;
    Return sum;
}
If (Main() != 872362) WrongResult();
)";

// Methods of a script object, functions kept in its members: a point moved and summed
// through them, 1,000,000 rounds.
const char kObjectMethods[] = R"(
Function Point(x, y) {
    This.x = x;
    This.y = y;
    This.Sum = PointSum;
    This.Move = PointMove;
}
Function PointSum() { Return This.x + This.y; }
Function PointMove(dx, dy) {
    This.x = This.x + dx;
    This.y = This.y + dy;
}
Function Main() {
    Var i;
    Var p = New Point(1, 2);
    Var total = 0;
    For (i = 0; i < 1000000; i++) {
        p.Move(1, -1);
        total = (total + p.Sum()) % 1000003;
    }
    Return total;
}
If (Main() != 999994) WrongResult();
)";

ZORV_SCRIPT_PROGRAM(heat_grid, kHeatGrid);
ZORV_SCRIPT_PROGRAM(julia, kJulia);
ZORV_SCRIPT_PROGRAM(springs, kSprings);
ZORV_SCRIPT_PROGRAM(call_args, kCallArgs);
ZORV_SCRIPT_PROGRAM(accounts, kAccounts);
ZORV_SCRIPT_PROGRAM(tak, kTak);
ZORV_SCRIPT_PROGRAM(totient, kTotient);
ZORV_SCRIPT_PROGRAM(heap_sort, kHeapSort);
ZORV_SCRIPT_PROGRAM(accumulator_vm, kAccumulatorVm);
ZORV_SCRIPT_PROGRAM(csv_text, kCsvText);
ZORV_SCRIPT_PROGRAM(gcd_loops, kGcdLoops);
ZORV_SCRIPT_PROGRAM(hash_locals, kHashLocals);
ZORV_SCRIPT_PROGRAM(text_methods, kTextMethods);
ZORV_SCRIPT_PROGRAM(new_objects, kNewObjects);
ZORV_SCRIPT_PROGRAM(object_methods, kObjectMethods);

} // namespace
