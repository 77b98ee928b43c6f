//== a statement whose variables change kind from round to round gives each round's kinds
// expect: end
// expect output: 13 15 2.25
Function Sum(n, step) {
    Var s = 0;
    Var x = 1;
    Var i;
    For (i = 0; i < n; i++) {
        s = s + x * 2;
        If (i == 2) x = step;
        If (i == 4) x = 3;
        If (i == 6) s = 1;
    }
    Return s;
}
Print(Sum(9, 0.5), Sum(6, 0.75), Sum(3, 0.25) + Sum(3, 0.5) / 4 - 4.75);

//== bitwise, logical and unary operators take a double's integer, comparisons its value
// expect: end
// expect output: 0:10015 1:10014.2 0:10011 1:2.5
Function Bits(a) {
    Var k = 0;
    Var j;
    For (j = 0; j < 4; j++) k = (a | 0) + (a & 6) + (a << 1) + (a >> 1) + (a && 0.5) * 100 + !a * 1000 + (a > 6.5) * 10000 + ~a + (-a);
    Return k;
}
Print("0:" + Bits(7), "1:" + Bits(7.75), "0:" + Bits(8), "1:" + Bits(-2.5));

//== elements read among numbers: integers, doubles and cells that change kind between rounds
// expect: end
// expect output: 24.5 7 2.5
Function Walk(v) {
    Var t = 0;
    Var i;
    For (i = 0; i < 3; i++) {
        t = t + v[i] * 2 + v[i + 1];
        If (i == 0) v[2] = 2.5;
    }
    Return t;
}
Function Grid(g) {
    Var t = 0;
    t = g[0, 1] + g[1, 1] * 2;
    Return t;
}
w[0] = 1;
w[1] = 3;
w[2] = 4;
w[3] = 6;
g[0, 0] = 1;
g[1, 1] = 3;
g[0, 1] = 1;
Print(Walk(w), Grid(g), w[2]);

//== an element beyond its array's end read among numbers fails where the walk fails
// expect: error 41 line 5 column 28
// expect output: 7
Function Pair(v, i) {
    Var t = 0;
    t = v[i] * 2 + v[i + 1];
    Return t;
}
p[0] = 2;
p[1] = 3;
Print(Pair(p, 0) + Pair(p, 0) - 7);
Print(Pair(p, 1));

//== a text in a cell read among numbers fails where the walk fails, after rounds of numbers
// expect: error 12 line 7 column 28
// expect output: 3.5
Function Half(v) {
    Var t = 0;
    Var i;
    For (i = 0; i < 2; i++) {
        t = 0.25 + v[i] / 2;
    }
    Return t;
}
h[0] = 1;
h[1] = 6.5;
Print(Half(h));
h[1] = "x";
Print(Half(h));

//== a division by zero after rounds on doubles fails at its operator
// expect: error 111 line 6 column 44
// expect output: 1.25
Function Share(a, b) {
    Var q = 0;
    Var i;
    For (i = 0; i < 3; i++) q = a / (b - i);
    Return q;
}
Print(Share(2.5, 4.0));
Print(Share(2.5, 2.0));

//== elements of arrays named through the scopes, read among numbers, follow what the name holds
// expect: error 41 line 7 column 46
// expect output: 9.25 8.5 9
// expect output: 0
Function Mean(n) {
    Var t = 0;
    Var i;
    For (i = 0; i < n; i++) t = t + cells[i] / 2;
    Return t;
}
cells[0] = 3;
cells[1] = 4.5;
cells[2] = 13;
Print(Mean(3), Mean(2) * 2 + 2, cells[2] - 4);
other[0] = 1;
cells = other;
Print(Mean(1));
cells = "text";
Print(Mean(1));
