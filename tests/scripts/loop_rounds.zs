//== counters no Var declares are made by the start of their loop in each outer round and let go of at the outer block's end
// expect: end
// expect output: 24/2
Function Grid(n) {
    Var total = 0;
    Var i;
    For (i = 0; i < n; i++) {
        For (j = 0; j < n; j++) {
            total = total + j;
        }
        k = 0;
        While (k < 2) k++;
    }
    Return total + "/" + k;
}
k = 2;
Print(Grid(4));

//== a handler posted between the outer rounds assigns a name of the inner loop's counter, its own local
// expect: end
// expect output: h 1
// expect output: h 0
// expect output: 30
Function H(n) {
    Print("h", n);
    If (n == 0) q = 10;
    If (n > 0) Post(H, n - 1);
}
Function Rows() {
    Var total = 0;
    Var m;
    Post(H, 1);
    For (m = 0; m < 5; m++) {
        For (q = 0; q < 3; q++) total = total + m;
    }
    Return total;
}
Print(Rows());

//== block Vars of an inner While made again in every outer round, their kinds changing from integer to double, are gone after its block
// expect: error 41 line 15 column 18
Function Escape() {
    Var count = 0;
    Var p;
    Var last = 0;
    For (p = 0; p < 6; p++) {
        Var x = p;
        If (p > 2) x = p / 2.0;
        While (x < 10) {
            Var xx = x * x;
            Var step = xx + 1;
            x = x + step;
            count++;
        }
        last = xx;
    }
    Return last + "/" + count;
}
Print(Escape());

//== an integer division by zero in the value of a block Var fails there once the outer rounds reach it
// expect: error 111 line 8 column 33
// expect output: 1
Function Split(n) {
    Var s = 0;
    Var i;
    For (i = 0; i < 4; i++) {
        For (j = 0; j < 2; j++) {
            Var d = 12 / (n - i);
            s = s + d;
        }
    }
    Return s;
}
Print(Split(9) > 0);
Print(Split(2));

//== a handler that posts itself again runs at the statement ends of a loop round where the walk runs it, the round counting on between them
// expect: end
// expect output: h 1 0 0
// expect output: h 2 0 0
// expect output: h 3 0 0
// expect output: h 4 0 0
// expect output: h 5 0 0
// expect output: h 6 0 0
// expect output: h 7 1 0
// expect output: h 8 1 0
// expect output: h 9 1 0
// expect output: h 10 1 0
// expect output: h 11 1 0
// expect output: h 12 3 0
// expect output: h 13 3 0
// expect output: h 14 3 1
// expect output: h 15 3 1
// expect output: h 16 3 1
// expect output: 820/820/39
Function H(n) {
    Print("h", n, v[0], v[1]);
    If (n < 16) Post(H, n + 1);
}
Function Round() {
    Var a = 0;
    Var b = 1;
    Var t;
    For (t = 0; t < 40; t++) {
        a = a + b;
        v[0] = a;
        b = b + 1;
        v[1] = t;
    }
    Return a + "/" + v[0] + "/" + v[1];
}
v[0] = 0;
v[1] = 0;
Post(H, 1);
Print(Round());

//== a function's loops entered again at their first rounds: a sum begun as an integer, a test that fails at once, steps of either kind
// expect: end
// expect output: 3/3
// expect output: 2.5/3
// expect output: 0/0
// expect output: 5/3
// expect output: 1.5/3
Function Sum(n, step) {
    Var total = 0;
    Var i;
    For (i = 0; i < n; i++) total = total + step;
    Var k = n;
    While (k > 3) k--;
    Return total + "/" + k;
}
Print(Sum(3, 1));
Print(Sum(5, 0.5));
Print(Sum(0, 2));
Print(Sum(5, 1));
Print(Sum(3, 0.5));

//== a handler posted just before a loop runs at the end of its first test, its global read by the rounds
// expect: end
// expect output: 33
// expect output: 63
// expect output: 93
Function Tick() {
    g = g + 10;
}
Function Run() {
    Var total = 0;
    Var i;
    Post(Tick);
    For (i = 0; i < 3; i++) total = total + g;
    Return total;
}
g = 1;
Print(Run());
Print(Run());
Print(Run());

//== block Vars of a While entered at its first round in every call, the handler after it reading the global of their name
// expect: end
// expect output: t global
// expect output: 12
// expect output: t global
// expect output: 2.5
// expect output: t global
// expect output: 0
Function Show() {
    Print("t", t);
}
Function Rounds(n, f) {
    Var s = 0;
    Var i = 0;
    While (i < n) {
        Var t = i * f;
        s = s + t;
        i++;
    }
    Post(Show);
    Return s;
}
t = "global";
Print(Rounds(4, 2));
Print(Rounds(2, 2.5));
Print(Rounds(0, 1));
