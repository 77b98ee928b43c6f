//== a recursion whose statements add the calls' results to a local
// expect: end
// expect output: 559824 1024
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
Function Count(n) {
    Var s = 1;
    If (n == 0) Return s;
    s += Count(n - 1);
    s = Count(n - 1) + s - 1;
    Return s;
}
Print(Walk(5, 21), Count(10));

//== each call is made once, where the walk makes it, whatever its result
// expect: end
// expect output: call 2
// expect output: call 3
// expect output: 5:1 x3 1.5 1.5
// expect output: call 4
// expect output: 0 1
Function Loud(x, y) { Print("call", x); Var z = x; Return z * y; }
Function Text(x, y) { Var z = x; Return "x" + z; }
Function Half(x, y) { Var z = x; Return z * 0.5 + y; }
Function Run(a) {
    Var s = 1;
    Var t = 0;
    Var u = 0;
    s = Loud(a, 1) + Loud(a + 1, 1);
    s = s + ":" + 1;
    t = Text(a + 1, 0);
    u = Half(a, 0.5) * 1;
    Print(s, t, u, Half(a, 0.5));
    If (Loud(a + 2, 0) > 0) u = 9;
    Print(Half(a, -1) - 1 + 1 - 0, u > 1);
    Return 0;
}
Run(2);

//== integer results join the statement, and past the limit of calls the error stands at the call
// expect: error 15 line 4 column 50
// expect output: 6 3
Function Fails(x, y) { Var z = x; If (y == 0) z = z / y; Return z; }
Function Deep(n) { Var s = 1; s = s + Deep(n + 1); Return s; }
Function Try(a) { Var s = 1; s = s * 2 + Fails(a, 1); Return s; }
Print(Try(4), Try(1));
Deep(0);

//== a division by zero inside the callee stops the statement that called it
// expect: error 111 line 2 column 56
Function Fails(x, y) { Var z = x; If (y == 0) z = z / y; Return z; }
Function Try(a) { Var s = 1; s = s * 2 + Fails(a, 0); Return s; }
Try(3);

//== a callee that changes the global its statement assigns, read before the call, and one that returns nothing
// expect: end
// expect output: 0 0 14
g = 1;
Function Set(x) { g = x; Var z = x; Return z + 1; }
Function Nothing(x) { Var z = x; }
Function Run() {
    Var n = 0;
    g = g + Set(5);
    n = n + Nothing(3);
    Return n;
}
Print(g + Run() - 1, Run(), g + 1);

//== a global, a condition and a plain statement at the top level holding such calls
// expect: end
// expect output: 19 big 3
Function Add(a, b) { Var c = a + b; Return c; }
t = 10;
For (i = 0; i < 3; i++) t = t + Add(1, 2);
If (Add(t, 1) > 10) Print(t, "big", Add(1, 2));
