//== statements on one slot keep their kinds, wrapping and the value they store
// expect: end
// expect output: 5 2.5 -2147483648 2147483647 3.5 1.5 -2 6 1 2.14748e+09
Function Steps(start) {
    Var a = start;
    Var b = 2.5;
    Var c = 0x7FFFFFFF;
    Var d = 0x80000000;
    Var big = 2147483647;
    Var e = 1.5;
    Var f = 7;
    Var g = 3;
    a = 5;
    c++;
    d--;
    e += 2.0;
    b = b;
    f %= -3;
    g *= 2;
    big++;
    Print(a, b, c, d, e, e - 2.0, f - 3, g, f, big);
}
Steps(1);

//== a slot that holds a text or a double meets the operator as the walk meets it
// expect: end
// expect output: 12 3.5 x1 4.5 0.5 4.5
Function Mixed(t) {
    Var a = t;
    Var b = 3;
    Var c = 1;
    Var d = 2.5;
    a += 2;
    b += 0.5;
    c = "x";
    c += 1;
    d += 2;
    Var e = 1.5;
    e -= 1;
    Var f = 2;
    f = d - 2.0;
    f += 2;
    Print(a, b, c, d, e, f);
}
Mixed(10);

//== a divisor of zero in a compound statement fails where the walk fails
// expect: error 111 line 6 column 11
// expect output: 8
Function Divide(n) {
    Var a = 8;
    Print(a);
    a /= n;
    Return a;
}
Divide(0);

//== a step of a slot that turned into a text fails at its operator
// expect: error 12 line 6 column 12
Function Step() {
    Var s = 1;
    For (i = 0; i < 3; i++) {
        If (i == 1) s = "a";
        s++;
    }
}
Step();

//== a name assigned first in a loop is the loop's own and goes with it
// expect: error 41 line 8 column 13
Function Loop() {
    Var k;
    For (k = 0; k < 3; k++) {
        q = k;
        q++;
    }
    Return q;
}
Print(Loop(), 0, "|", 9);

//== handlers posted by a loop of slot statements run between its statements
// expect: end
// expect output: h 1 0
// expect output: h 2 0
// expect output: 40 40
Function H(n) {
    Print("h", n, total);
    If (n < 2) Post(H, n + 1);
}
Function Run() {
    Var t = 0;
    For (i = 0; i < 20; i++) {
        t++;
        t++;
        total = t;
    }
    Return t;
}
total = 0;
Post(H, 1);
Print(Run(), total);

//== a slot made of a slot and an operand takes either kind and fails where the walk fails
// expect: error 111 line 16 column 17
// expect output: 5 1 0.75 6.5 -2147483648 1 x2
Function Pairs(zero) {
    Var a = 7;
    Var b = 2;
    Var c = 1.5;
    Var d = 0x7FFFFFFF;
    Var t = "x";
    a = a - b;
    b = b >= 2;
    c = c / 2.0;
    Var e = c + 5.75;
    d = d + b;
    t = t + 2;
    Print(a, b, c, e, d, b, t);
    a = a % zero;
}
Pairs(0);

//== a condition of a slot takes its branch on integers, doubles and texts alike
// expect: error 111 line 15 column 17
// expect output: 1 0 1 1 0
Function Conditions(zero) {
    Var a = 3;
    Var b = 2.5;
    Var t = "4";
    Var seen = "";
    If (a > 2) seen = seen + 1; Else seen = seen + 0;
    If (a == zero) seen = seen + " 1"; Else seen = seen + " 0";
    If (b > a) seen = seen + " 0"; Else seen = seen + " 1";
    If (t > a) seen = seen + " 1"; Else seen = seen + " 0";
    b = 3;
    If (b != a) seen = seen + " 1"; Else seen = seen + " 0";
    Print(seen);
    If (a % zero) a = 1;
}
Conditions(0);
