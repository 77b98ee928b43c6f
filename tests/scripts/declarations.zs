//== declarations of a body's locals take every kind their values have
// expect: end
// expect output: 12/0/13/12 | 5/4.5/6/0.5 | ab1/ab1x
Function Pair(a, b) {
    Var c = a * b;
    Var d = (a + b) % 7;
    Var e;
    e = c + 1;
    Var f = c - d;
    Return c + "/" + d + "/" + e + "/" + f;
}
Function Join(a, b) {
    Var c = a + b;
    Var d = c + "x";
    Return c + "/" + d;
}
Print(Pair(3, 4), "|", Pair(2.5, 2), "|", Join("ab", 1));

//== a name declared again takes the value of its later declaration
// expect: end
// expect output: 7 2.5
Function Again(n) {
    Var x = n * 2;
    Var x = x + 1;
    Return x;
}
Print(Again(3), Again(0.75));

//== a division by zero in a declaration fails where the walk fails
// expect: error 111 line 4 column 18
// expect output: 3
Function Share(a, b) {
    Var q = a / b;
    Var r = q + 1;
    Return r;
}
Print(Share(4, 2));
Print(Share(4, 0));

//== a declaration reads a global as a handler left it
// expect: end
// expect output: 2 12
g = 100;
Function H(x) { g = x; }
Function Read(n) {
    Post(H, n);
    Var a = n + 1;
    Var b = a;
    Var c = b - 1;
    Var d = c * 2;
    Var e = d / 2;
    Var f = e + g;
    Return f;
}
Print(Read(1), Read(6));

//== declarations in a row without values leave each name free until it is assigned
// expect: error 41 line 14 column 24
// expect output: 8/2/t 4/1/t
// expect output: 6
calls = -2;
Function Three(n) {
    Var a;
    Var b;
    Var c;
    calls++;
    calls -= -3;
    a = n * 2;
    If (n > 1) b = a / 4;
    c = "t";
    Return a + "/" + b + "/" + c;
}
Print(Three(4), Three(2));
Print(calls);
Print(Three(1));

//== a row of declarations fails at the one whose divisor is zero, those before it done
// expect: error 111 line 6 column 18
// expect output: 9/1/1
Function Row(a, b) {
    Var c = a + b;
    Var d = a - b;
    Var e = c / d;
    Var f = e % b;
    Return c + "/" + d + "/" + f;
}
Print(Row(5, 4));
Print(Row(3, 3));

//== a row of declarations goes on from the one that meets a double or a text
// expect: end
// expect output: 7/3.5/4.5/9 | 4/x1/x11/6 | 1/1/0
Function Mix(a, b) {
    Var c = a + 3;
    Var d = b;
    Var e = d + 1;
    Var f = c + 2;
    Return c + "/" + d + "/" + e + "/" + f;
}
Function Edge(a) {
    Var b = a + 1;
    Var c = b + 1;
    Var d = a + 2.0;
    Return (b - a) + "/" + (c - b) + "/" + (d - c);
}
Print(Mix(4, 3.5), "|", Mix(1, "x1"), "|", Edge(2147483647));

//== a row longer than the statements between two checks goes on past each of them
// expect: error 111 line 14 column 18
// expect output: 49
Function Long(n, k) {
    Var a = n + 1;
    Var b = a * 3;
    Var c = b - n;
    Var d = c % 7;
    Var e = d + a;
    Var f = e * 2;
    Var g = f - b;
    Var h = g + c;
    Var i = h % 11;
    Var j = i + k;
    Var m = j % k;
    Var o = m + a;
    Return o;
}
s = 0;
Var t;
For (t = 0; t < 9; t++) s = s + Long(t, t % 3 + 1);
Print(s);
Print(Long(4, 0));
