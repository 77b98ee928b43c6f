//== a function with more parameters and locals than fit beside each other
// expect: end
// expect output: 55 55 3628800
Function Many(a, b, c, d, e, f, g, h, i, j) {
    Var s = a + b + c + d + e + f + g + h + i + j;
    Var p = a * b * c * d * e * f * g * h * i * j;
    Var k = s;
    Return k + p - p;
}
Function Product(a, b, c, d, e, f, g, h, i, j) {
    If (a > 1) Return a * Product(a - 1, b, c, d, e, f, g, h, i, j);
    Return b * c * d * e * f * g * h * i * j;
}
Print(Many(1, 2, 3, 4, 5, 6, 7, 8, 9, 10), Many(1, 2, 3, 4, 5, 6, 7, 8, 9, 10),
      Product(10, 1, 1, 1, 1, 1, 1, 1, 1, 1));

//== two parameters of one name: the later one is seen
// expect: end
// expect output: 2 9
Function Twice(x, x) {
    Return x;
}
Function Late(a, b, c, d, e, f, g, h, x, x) {
    Return x;
}
Print(Twice(1, 2), Late(1, 2, 3, 4, 5, 6, 7, 8, 0, 9));

//== a block local hides a global only inside its block, on every round of a loop
// expect: end
// expect output: 403 100 403
t = 100;
Function K(a) {
    Var r = 0;
    For (i = 0; i < 3; i++) {
        r = r + t;
        {
            Var t = i;
            r = r + t;
        }
    }
    Return r + t;
}
Print(K(0), t, K(0));

//== arguments are taken left to right, steps included
// expect: end
// expect output: 1 1 2 2
Function Show(a, b, c) {
    Return a + " " + b + " " + c;
}
x = 1;
Print(Show(x, x++, x), x);

//== arguments that are texts, numbers and names of every kind
// expect: end
// expect output: ab 2.5 7
Function Join(a, b) {
    Return a + b;
}
s = "a";
d = 2.5;
Print(Join(s, "b"), Join(d, 0), Join(3, 4));

//== an unassigned name as an argument fails where it stands
// expect: error 41 line 5
Function F(a, b) {
    Return a;
}
y = F(1, nothing);

//== a function redefined while its call runs finishes as it began
// expect: end
// expect output: 5 20 31
Function B() {
    Return 20;
}
Function Me() {
    Me = B;
    Return 5;
}
Function A() {
    Return 10;
}
Function Swap() {
    A = B;
    Return 1;
}
Print(Me(), Me(), A() + Swap() + A());

//== a name a call makes its own is the global once a global of that name is made
// expect: end
// expect output: 7 5 5
// expect output: 3 1
// expect output: 4 4 4
Function SetA(v) {
    a = v;
    Return a;
}
Function Block(v) {
    If (v > 0) {
        Var b = v;
        Return b;
    }
    Return 0;
}
r1 = SetA(7);
a = "text";
r2 = SetA(5);
Print(r1, r2, a);
b = 1;
Print(Block(3), b);
r3 = 0;
For (i = 0; i < 3; i++) {
    r3 = SetA(4);
}
Print(r3, a, SetA(4));
