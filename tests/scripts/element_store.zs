//== a new element keeps its indices when the right side reshapes the array
// expect: end
// expect output: 7 5 1
Function Grow() {
    m[3, 0] = 5;
    Return 7;
}
m[0, 1] = 1;
m[0, 2] = Grow();
Print(m[0, 2], m[3, 0], m[0, 1]);

//== the reshaped array has no stray element where the old position was
// expect: error 41 line 8
Function Grow() {
    m[3, 0] = 5;
    Return 7;
}
m[0, 1] = 1;
m[0, 2] = Grow();
x = m[2, 0];

//== a member array reshaped by the right side
// expect: end
// expect output: 8 6
Function Holder() {
    This.m[0, 0] = 0;
}
Function Widen(h) {
    h.m[2, 1] = 6;
    Return 8;
}
h = New Holder();
h.m[0, 1] = Widen(h);
Print(h.m[0, 1], h.m[2, 1]);

//== the right side that makes the element first is overwritten by the store
// expect: end
// expect output: 5
a[0] = 1;
a[2] = (a[2] = 4) + 1;
Print(a[2]);

//== the store goes to the array the left side named
// expect: end
// expect output: 2 9
Function Replace() {
    a = 9;
    Return 2;
}
a[0] = 1;
b = a;
a[4] = Replace();
Print(b[4], a);

//== an element beyond the bounds read in arithmetic grows the array and fails there
// expect: error 41 line 3
a[2] = 1;
x = a[0 + 5] * 2;

//== a negative index read in arithmetic
// expect: error 45 subcode 2
m[1, 1] = 1;
x = m[1, 0 - 1] + 1;

//== elements of two arrays read in turn in one expression
// expect: end
// expect output: 111 222
a[1] = 10;
a[0] = 1;
b[0] = 100;
b[1] = 200;
x = a[0] + b[0] + a[1];
y = b[1] + a[1] * 2 + a[0] + a[0];
Print(x, y);
