//== an element being assigned keeps its place while a call reshapes its array over many statements
// expect: end
// expect output: 3 29 8
Function Grow() {
    Var k;
    For (k = 0; k < 30; k++) b[k % 6, 7] = k;
    Return 2;
}
b[1, 1] = 1;
b[1, 1] += Grow();
b[1, 2] = 7;
b[1, 2]++;
Print(b[1, 1], b[5, 7], b[1, 2]);

//== texts, doubles and arrays kept in elements read back after many statements
// expect: end
// expect output: t0t49 24.5 9 3
t[0] = 0;
d[0] = 0;
For (i = 0; i < 50; i++) {
    t[i] = "t" + i;
    d[i] = i / 2.0;
}
inner[0] = 9;
t[50] = inner;
inner[1] = 3;
x = t[50];
Print(t[0] + t[49], d[49], x[0], x[1]);


//== thousands of elements read and written by a call settle back while the caller holds one
// expect: end
// expect output: 6 100 100 1
Function Touch() {
    Var k;
    For (k = 0; k < 3000; k++) d[k % 5, k % 3] = d[k % 5, k % 3] + 0.5;
    held[9, 9] = 1;
    Return 1;
}
d[4, 2] = 0.0;
For (i = 0; i < 15; i++) d[i % 5, i % 3] = 0.0;
held[1, 1] = 5;
held[1, 1] += Touch();
Print(held[1, 1], d[0, 0], d[4, 2], held[9, 9]);

//== arrays held by elements, shared with variables, given up and taken again
// expect: end
// expect output: 4 7 2 5 1
Function Make(n) {
    Var a;
    a[0] = n;
    Return a;
}
outer[0] = 0;
For (i = 0; i < 4; i++) outer[i] = Make(i + 1);
kept = outer[3];
outer[3] = 5;
deep[0] = outer;
second = outer[1];
second[0] = 7;
outer = 0;
second = 0;
loop[0] = 2;
loop[1] = loop;
back = loop[1];
loop = 0;
x = deep[0];
y = x[1];
z = x[0];
Print(kept[0], y[0], back[0], x[3], z[0]);

//== a number read from an array held by an element, at the line of its use
// expect: error 130 line 4
box[0] = Make2();
Function Make2() { Var a; a[0] = 1; Return a; }
y = box[0] + 1;
