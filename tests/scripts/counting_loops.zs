//== counting loops with every comparison, up to the integer limits and around them
// expect: end
// expect output: 012547123|5 5 2147483647 -6|1000 -1 10
// expect output: -2147483648 2147483647
line = "";
For (i = 0; i < 3; i++) line = line + i;
For (i = 5; i > 3; i--) line = line + i;
For (i = 7; i == 7; i++) line = line + i;
For (i = 1; i != 4; i++) line = line + i;
For (i = 5; i > 0x7FFFFFFF; i--) {}
For (j = 5; j < 0x80000000; j++) {}
For (k = 0x7FFFFFF0; k <= 0x7FFFFFFF; k++) {
    If (k == 0x7FFFFFFF) Break;
}
For (m = -3; m >= 0x80000000; m--) {
    If (m < -5) Break;
}
For (a = 0; a < 1000; a++) {}
For (b = 20; b >= 0; b--) {}
For (c = 10; c < 5; c++) {}
Print(line + "|" + i, j, k, m + "|" + a, b, c);
For (i = 2147483640; i > 0; i++) {}
For (j = -2147483641; j < 0; j--) {}
Print(i, j);

//== the step and the test see what the body does to the loop variables
// expect: end
// expect output: 2 2 3 51 0 yes
// expect output: 01289|3 3|0,1,2.5,3.5,4.5, 5.5
n = 4;
For (k = 0; k < n; k++) n--;
m = 3;
For (j = 0; j < m; j++) {
    If (j == 1) m = 2.5;
}
n = 50;
For (e = 0; e <= n; e++) {}
For (i = 0; i < i; i++) {}
If (k <= 2) Print(k, n - 48, j, e, i, "yes");
line = "";
For (i = 0; i < 10; i++) {
    line = line + i;
    If (i == 2) i = 7;
}
j = 0;
For (i = 0; j < 3; i++) j++;
line = line + "|" + i + " " + j + "|";
For (i = 0; i < 5; i++) {
    line = line + i + ",";
    If (i == 1) i = 1.5;
}
Print(line, i);

//== a loop variable that becomes a text cannot be stepped
// expect: error 12 line 3 column 23
// expect output: 1
For (i = 0; i < 3; i++) {
    If (i == 1) { i = "11"; Print(1); }
}

//== an error in a loop's condition is reported at the condition
// expect: error 41 line 2 column 24
For (i = 0; nothing < 3; i++) {}

//== an error in an If's comparison is reported there
// expect: error 41 line 3 column 10
x = 1;
If (y < 3) x = 2;

//== a handler posted during a counting loop runs after the next statement
// expect: end
// expect output: h 1 0
// expect output: h 2 0
// expect output: h 3 1
// expect output: 1000
Function H(n) {
    Print("h", n, i);
    If (n < 3) Post(H, n + 1);
}
i = 0;
Post(H, 1);
For (i = 0; i < 1000; i++) {}
Print(i);

//== loops of typed statements hand a round to the walk where a value needs it
// expect: error 111 line 19
// expect output: 0 2 30 30 16 16.5
v[0] = 0;
n = 0;
For (i = 0; i < 6; i++) {
    n = n + i * 2;
    v[i] = n;
}
x = 1.0;
y = 0.0;
For (k = 0; k < 4; k++) {
    x = x * 2.0;
    y = x + 0.5;
}
Print(v[0], v[1], v[5], n, x, y);
d = 3;
t = 0;
For (i = 0; i < 10; i++) {
    t = t + 12 / d;
    d = d - 1;
}
