//== double statements in a loop give the values of their parts
// expect: end
// expect output: 9.625 5.09375
x = 1.5;
y = 0.0;
For (i = 0; i < 4; i++) {
    x = x * 1.5 + 0.25;
    y = y + x / 4.0 - 0.125;
}
Print(x, y);

//== a double statement whose names change kind between its runs
// expect: end
// expect output: 3
// expect output: 3
// expect output: t1.5
// expect output: 2.625
x = 1.5;
For (i = 0; i < 4; i++) {
    x = x + 0.5 * 3.0;
    If (i == 0) Print(x);
    If (i == 0) x = 2;
    If (i == 1) Print(x - 0.5);
    If (i == 1) x = "t";
    If (i == 2) Print(x);
    If (i == 2) x = 1.125;
}
Print(x);

//== a double statement assigning to a name that holds an integer or nothing
// expect: end
// expect output: 5 0.75
n = 5;
n = n * 1.0 + 0.0;
m = 0.5 + 0.25;
Print(n, m);

//== a double divided by zero in a statement fails where the walk fails
// expect: error 111 line 5 column 15
x = 1.0;
z = 0.0;
y = x * 2.0;
y = y + x / z - 0.5;

//== a double dividing by a zero value on its right fails where the walk fails
// expect: error 111 line 4 column 26
x = 1.0;
y = 2.0 / (x * 2.0);
y = 2.0 / (x - 1.0 + 0.0);

//== integer and element statements divided by zero fail where the walk fails
// expect: error 111 line 6 column 19
a[0] = 4;
a[1] = 0;
j = 0;
a[j] = a[j] + 1;
a[j] = a[j] / a[1];

//== element statements: existing elements, new ones, other kinds and bounds
// expect: end
// expect output: 1 3 5
// expect output: 2.5 s1 7
a[0] = 0;
For (j = 1; j < 3; j++) a[j] = 0;
For (j = 0; j < 3; j++) a[j] = a[j] + j * 2 + 1;
Print(a[0], a[1], a[2]);
a[3] = a[2] - 3;
a[1] = 2.5;
a[1] = a[1] + 0;
a[2] = "s";
a[2] = a[2] + 1;
a[3] = a[3] + 5;
Print(a[1], a[2], a[3]);

//== an event posted between statements changes a name's kind before the next one
// expect: end
// expect output: 4.5 4
Function Change() { x = 2; }
x = 1.5;
EnableEvents(0);
Post(Change);
EnableEvents(1);
x = x * 2.0 + 0.5;
Print(x, x - 0.5);

//== an event run during a loop of double statements
// expect: end
// expect output: 15 132
Function Reset() { x = 1; k = k + 100; }
x = 0.5;
k = 0;
EnableEvents(0);
For (i = 0; i < 5; i++) {
    x = x * 2.0 + 1.0;
    k = k + x;
    If (i == 1) Post(Reset);
    If (i == 1) EnableEvents(1);
}
Print(x, k);

//== integer statements whose names change kind between their runs
// expect: end
// expect output: 7 5
// expect output: t3
// expect output: 5.5 3.5
// expect output: 4 2
k = 4;
j = 4;
v[0] = 1;
n = 0;
m = 0;
For (i = 0; i < 4; i++) {
    n = k + 3;
    m = v[0] + j;
    If (i == 0) Print(n, m);
    If (i == 0) k = "t";
    If (i == 1) Print(n);
    If (i == 1) k = 2.5;
    If (i == 1) j = 2.5;
    If (i == 2) Print(n, m);
    If (i == 2) k = 1;
    If (i == 2) j = 1;
}
Print(n, m);
