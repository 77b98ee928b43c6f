//== stores into the cells of an array inside a loop, where some rounds grow the array
// expect: end
// expect output: 10/8 0/0
Function Grow(n) {
    Var a[0] = 0;
    Var i = 0;
    For (i = 0; i < n; i++) {
        a[i] = i * 2;
        a[0] += i;
    }
    Return a[0] + "/" + a[n - 1];
}
Print(Grow(5), Grow(1));

//== a text in a cell fails "+=" in a loop at its operator, after the cells of numbers before it
// expect: error 12 line 6 column 38
Function Texts() {
    Var a[0] = 1; a[1] = 2.5; a[2] = "x"; a[3] = 4;
    Var i = 0;
    For (i = 0; i < 4; i++) a[i] += 1;
    For (i = 0; i < 4; i++) a[i] *= 2;
    Return a[0] + "/" + a[1] + "/" + a[2] + "/" + a[3];
}
Print(Texts());

//== an element outside the array's shape fails at the statement's place after the rounds before it
// expect: error 45 line 6 column 41
// expect output: 4/6/3
Function Outside(from) {
    Var a[0] = 1; a[1] = 2; a[2] = 3;
    Var i = 0;
    For (i = from; i < 3; i++) a[i - 1] = a[i] * 2;
    Return a[0] + "/" + a[1] + "/" + a[2];
}
Print(Outside(1));
Print(Outside(0));

//== a handler run between the statements of a loop changes a global array's cells, then replaces the array
// expect: error 41 line 13 column 21
Function H(n) {
    If (n == 2) g = 7;
    Else g[1] = g[1] + 0.5;
    If (n > 0) Post(H, n - 1);
}
Function Fill() {
    Var i = 0;
    Var s = 0;
    Post(H, 4);
    For (i = 0; i < 40; i++) {
        g[0] += 1;
        s = s + g[1];
    }
    Return s;
}
g[0] = 0; g[1] = 2;
Print(Fill());

//== a cell's number changes kind between the rounds of a loop
// expect: end
// expect output: 24.25/6 15.25/6 1.28849e+10/6
Function Kinds(v) {
    Var a[0] = 1; a[1] = v;
    Var i = 0;
    For (i = 0; i < 6; i++) {
        a[1] = a[1] * 2;
        If (i == 2) a[1] = 0.75;
        If (i == 4) a[1] = 3;
        a[0] = a[0] + a[1];
    }
    Return a[0] + "/" + a[1];
}
Print(Kinds(2), Kinds(0.5), Kinds(2147483647));

//== a grid's rows read and written in nested loops, the last run reaching a row the grid lacks
// expect: error 41 line 8 column 61
// expect output: 4/18
Function Grid(n) {
    Var b[0, 0] = 0;
    Var i = 0;
    Var j = 0;
    For (j = 0; j < 3; j++) For (i = 0; i < 3; i++) b[i, j] = i + j;
    For (j = 0; j < n; j++) For (i = 1; i < 3; i++) b[i, j] += b[i - 1, j] * 2;
    Return b[2, 0] + "/" + b[2, 2];
}
Print(Grid(3));
Print(Grid(4));

//== a loop fills an array one element past its end after another, then one further on, which leaves an element holding nothing
// expect: error 41 line 8 column 48
// expect output: 8.5/0.5/2.5
Function Fill(n, gap) {
    Var i = 0;
    For (i = 1; i < n; i++) f[i] = i * 0.5;
    f[n + gap] = 1;
    Var s = 0;
    For (i = 0; i <= n + gap; i++) s = s + f[i];
    Return s + "/" + f[1] + "/" + f[5];
}
f[0] = 0;
Print(Fill(6, 0));
Print(Fill(7, 1));

//== a handler between the statements of a loop filling a global array replaces it, then stores past its end
// expect: end
// expect output: 42/3/7.5/29
Function H(n) {
    If (n == 3) g = 0;
    If (n == 1) g[40] = 7.5;
    If (n > 0) Post(H, n - 1);
}
Function Fill() {
    Var i = 0;
    Var s = 0;
    For (i = 0; i < 12; i++) {
        g[i] = i;
        s++;
    }
    Post(H, 5);
    For (i = 0; i < 30; i++) {
        g[i] = i;
        s++;
    }
    Return s;
}
g[0] = 0;
Print(Fill() + "/" + g[3] + "/" + g[40] + "/" + g[29]);

//== a Switch in a loop: Cases left by Break or falling through, a Default, and a selector that turns a double for a round
// expect: end
// expect output: 629/630/4
Function Run(n) {
    Var i = 0;
    Var s = 0;
    Var v = 0;
    a[0] = 0;
    For (i = 0; i < n; i++) {
        v = i % 5;
        If (i == 7) v = 2.5 - 0.5;
        If (i == 8) v = 0.5;
        Switch (v) {
        Case 0:
            s += 1;
            Break;
        Case 1:
            s += 10;
        Case 2:
            s += 100;
            Break;
        Case 3:
            a[i] = s;
            Break;
        Default:
            s -= 1;
        }
    }
    Return s + "/" + a[13] + "/" + v;
}
Print(Run(15));

//== a handler posted from a Case of a loop's Switch runs at the end of that statement, and fails there
// expect: error 111 line 5 column 18
// expect output: h 4
Function H() {
    Print("h", gs);
    Var t = 1 / 0;
}
Function Run() {
    Var i = 0;
    For (i = 0; i < 20; i++) {
        Switch (i % 3) {
        Case 0:
            gs++;
            Break;
        Case 1:
            If (i == 4) Post(H);
            gs += 2;
            Break;
        }
    }
    Return gs;
}
gs = 0;
Print(Run());

//== a small machine reads its program from a global array through a Switch, indexing one array by another's element, while a handler replaces its registers
// expect: end
// expect output: 343/171.5/0.5/6
Function H() {
    reg[0] = 0; reg[1] = 0.5;
}
Function Run() {
    Var pc = 0;
    Var acc = 0;
    Var op;
    Var n = 0;
    While (pc < 8) {
        op = code[pc];
        Switch (op) {
        Case 0:
            acc = acc + reg[code[pc + 1]];
            Break;
        Case 1:
            reg[code[pc + 1]] = acc;
            Break;
        Case 2:
            n++;
            If (n == 3) Post(H);
            If (n < 6) pc = -2;
            Break;
        }
        pc += 2;
    }
    Return acc + "/" + reg[0] + "/" + reg[1] + "/" + n;
}
code[0] = 0; code[1] = 1; code[2] = 1; code[3] = 0; code[4] = 0; code[5] = 0; code[6] = 2; code[7] = 0;
reg[0] = 0; reg[1] = 3;
Print(Run());

//== a loop's branches read elements at indices the round works out first, in arrays whose cells change kind from the first
// expect: end
// expect output: 156 8.75
Function Run(n) {
    Var i = 0;
    Var k = 0;
    Var s = 0;
    Var d[0] = 1; d[1] = 2.5; d[2] = 3; d[3] = "t"; d[4] = 0.25;
    For (i = 0; i < n; i++) {
        k = (i * 7) % 5;
        If (k == 1) s = s + d[k];
        Else If (k == 2) s = s * d[k];
        Else If (k == 4) s = s - d[k];
        Else If (k == 0) s = s + d[k + 2];
        Else s = s + 1;
    }
    Return s;
}
Print(Run(12), Run(3));

//== a store whose index the loop works out elsewhere, out of the array as the loop's program is written, then inside it, then negative
// expect: error 45 line 10 column 18
// expect output: 58/50/58/49
Function Machine(last) {
    Var code[0] = 40; code[1] = 1; code[2] = 2; code[3] = 0; code[4] = last; code[5] = 3;
    mem[0] = 0; mem[1] = 0; mem[2] = 0; mem[3] = 0;
    Var pc = 0;
    Var arg = 0;
    Var acc = 9;
    While (pc < 6) {
        mem[arg] = acc;
        arg = code[pc];
        pc++;
        acc = acc + arg;
    }
    mem[arg] = acc;
    Return acc + "/" + mem[1] + "/" + mem[3] + "/" + mem[40];
}
Print(Machine(3));
Print(Machine(-1));

//== a function's loop reads a global array by name, which is replaced between calls by a longer one, then by a number
// expect: error 41 line 7 column 42
// expect output: 6
// expect output: 10.5
Function Sum(n) {
    Var i = 0;
    Var s = 0;
    For (i = 0; i < n; i++) s = s + px[i];
    Return s;
}
px[0] = 1; px[1] = 2; px[2] = 3;
Print(Sum(3));
px = 0; px[0] = 1.5; px[1] = 2; px[2] = 3; px[3] = 4;
Print(Sum(4));
px = 5;
Print(Sum(2));

//== a stack machine's loop indexes its registers by the program's cells, growing them by one, until a cell names a register past their end
// expect: error 41 line 7 column 33
// expect output: 4/2/3
Function Machine(last) {
    Var pc = 0;
    Var stack[0] = 0;
    While (pc < last) {
        stack[0] = reg[code[pc]];
        reg[code[pc + 1]] = stack[0] + 1;
        pc += 2;
    }
    Return reg[0] + "/" + reg[1] + "/" + reg[2];
}
reg[0] = 1; reg[1] = 2;
code[0] = 0; code[1] = 1; code[2] = 1; code[3] = 2; code[4] = 2; code[5] = 0; code[6] = 4; code[7] = 0;
Print(Machine(6));
Print(Machine(8));

//== elements indexed by expressions that fall on a double, then below 0, in a loop, left to the steps where the walk fails
// expect: error 45 line 8 column 28
// expect output: 3.5/0
Function Mixed(n) {
    Var a[0] = 1; a[1] = 2.5; a[2] = 3;
    Var i = 0;
    Var s = 0;
    For (i = 0; i < n; i++) {
        s = s + a[a[i] - 1];
        a[(i * 2) % 3] -= s;
    }
    Return s + "/" + a[0];
}
Print(Mixed(2));
Print(Mixed(3));
