//== arguments filled while a call of the same function runs in a later argument keep their values
// expect: end
// expect output: OUT
Function Join(a, b, c) {
    Var t = a + b;
    Return t + c;
}
Function Mix(n, text) {
    If (n == 0) Return text;
    Return Join(text, Mix(n - 1, text + "."), Join(n, "-", Mix(n - 1, "")));
}
Print(Mix(1, "a"), Mix(2, "b"), Mix(3, "c"));

//== a call with fewer arguments than parameters gives the rest their default, one with more drops the rest
// expect: end
// expect output: OUT
Function Third(a, b, c) {
    Var d = a;
    Return c;
}
Function Twice(n) {
    Var s = 0;
    Var i;
    For (i = 0; i < 3; i++) s = s + Third(n, i) + Third(i) + Third(n, i, 2, 7);
    Return s;
}
Print(Twice(1), Twice(2), Third(5, 6));

//== runaway recursion whose arguments are calls ends with error 15 at the call
// expect: error 15 line 7 column 12
Function Id(x) {
    Var y = x;
    Return y;
}
Function Deep(n, t) {
    Var k = n;
    Return Deep(Id(k + 1), Id(t));
}
Deep(0, "text");

//== an error deep in a recursion stands in the callee, and calls run as before once it is caught
// expect: end
// expect output: OUT
Function Caught(code, text, unit, line, column) { Print("caught", code, line, column); }
Function Down(n, t) {
    Var k = n;
    If (k == 0) Return t * 2;
    Return Down(k - 1, t) + 1;
}
Function Sum(a, b) {
    Var s = a;
    Return s + b;
}
Program.OnError = Caught;
Print(Sum(1, Down(3, 5)));
Print(Sum(2, Down(4, "x")));
Print(Sum(3, Sum(4, 5)), Down(2, 1));

//== an error in a later argument leaves the slots of the pending call, which a later call finds empty
// expect: end
// expect output: OUT
Function Caught(code, text, unit, line, column) { Print("caught", code, line); }
Function Keep(a, b, c) {
    Var d;
    d = a;
    Return c + d + b;
}
Function Fail(n) {
    Var z = n - n;
    Return n / z;
}
Function Run(n) {
    Return Keep(n, Keep(n, n, n), Fail(n));
}
Program.OnError = Caught;
Print(Keep(1, 2, 3));
Print(Run(4));
Print(Keep(5, 6, 7), Keep(8));

//== events posted during a deep recursion run between its statements
// expect: end
// expect output: OUT
Function Show(v) { Print("event", v, depth); }
Function Note(n) { Return Post(Show, n) * 0 + n; }
Function Deep(n) {
    depth = n;
    If (n == 0) Return 0;
    Var k = Note(n) + Deep(n - 1);
    depth = -n;
    Return k;
}
Print(Deep(4));
