//== arithmetic on doubles and what it writes
// expect: end
// expect output: 2.875 1.5 2 2
x = 1.5;
y = x * 2.0 + 0.25 - x / 4.0;
Print(y, x, x = x + 0.5, x);

//== names holding integers, texts or nothing among double literals
// expect: end
// expect output: 2 6.5 t0.5 -1.5
i = 3;
k = 7;
s = "t";
x = 2.5;
Print(i / 2.0 + 0.5, k - 0.5, s + 0.5, -x + 1.0);

//== a double divided by zero fails where it stands
// expect: error 111 line 4 column 19
d = 1.0;
e = d * 2.0;
f = 0.5 + (d / 0.0);

//== a name that changes kind between runs of the same double expression
// expect: end
// expect output: 1.5 a0b 3
Function Half(v) {
    Return v * 1.0 / 2.0;
}
t = "a";
Print(Half(3.0), t + 0.0 * 0.0 - 0.0 + "b", Half(6));
