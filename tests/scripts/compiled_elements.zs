//== elements read and written in a function, one and two dimensions, ints and doubles
// expect: end
// expect output: 30.5 2.5 7 | 4 6 10 | 12 1.5 -1
Function Fill(n) {
    cells[0] = 0;
    For (i = 0; i < n; i++) {
        cells[i] = i * 2;
    }
    cells[1] = 2.5;
    Var s = 0;
    For (i = 0; i < n; i++) {
        s = s + cells[i];
    }
    grid[1, 1] = 7;
    Var old = cells[2]++;
    cells[2]++;
    Var stepped = cells[2];
    Var added = cells[3] += 4;
    cells[4] *= 1.5;
    grid[1, 0] = 0;
    grid[1, 0]--;
    grid[0, 0] = 1.5;
    Var set = grid[0, 0];
    Return s + " " + cells[1] + " " + grid[1, 1] + " | " + old + " " + stepped + " " + added +
           " | " + cells[4] + " " + set + " " + grid[1, 0];
}
Print(Fill(6));

//== an assignment or step after the value of an element still reaches the element
// expect: end
// expect output: 1 9 | 5 8 4 | 1 2
Function Chains(a) {
    Var x;
    Var y;
    x = a[0] = 9;
    y = (a[1]) = 5;
    y = (a[2] += 3) = 8;
    x = (a[3])++;
    Return x + " " + a[0] + " | " + a[1] + " " + a[2] + " " + y;
}
v[0] = 1;
v[1] = 1;
v[2] = 1;
v[3] = 1;
Print(Chains(v), "|", v[0] - 8, v[3]);

//== a missing element read fails after its closing bracket
// expect: error 41 line 3 column 23
Function Read(a) {
    Return a[1] + a[5];
}
b[0] = 1;
b[1] = 2;
Print(Read(b));

//== a negative index fails after the bracket
// expect: error 45 line 4 column 20
Function Negative(a) {
    x = a[3];
    Return a[x - 2];
}
b[3] = 1;
Print(Negative(b));

//== an index of the wrong count fails after the bracket
// expect: error 66 line 3 column 19
Function Count(a) {
    Return a[3, 0];
}
b[3] = 1;
Print(Count(b));

//== an index that is a text counts as its number
// expect: end
// expect output: 4
Function Texted(a) {
    Return a[1, "1"];
}
m[1, 1] = 4;
Print(Texted(m));

//== a name no scope has makes a local array when assigned, and fails when read
// expect: error 41 line 9 column 28
// expect output: 6 9
Function Make(n) {
    made[n, 0] = n;
    made[0, n] = made[n, 0] * 2;
    Return made[0, n] + made[n, 0];
}
Function Missing() {
    Return unknown[Make(2)];
}
Print(Make(2), Make(3));
Print(Missing());

//== the indices are worked out after the name is looked up, in order
// expect: end
// expect output: 5 | 3 7
Function Replace() {
    g = 0;
    Return 1;
}
Function Order() {
    g[Replace()] = 5;
    Var first = g[1];
    h[0, 0] = 1;
    h[h[0, 0] = 5, Replace()] = 7;
    Return first + " | " + (h[5, 1] - 4) + " " + h[5, 1];
}
g[0] = 2;
Print(Order());

//== events posted while an index is worked out wait for the end of the statement
// expect: end
// expect output: 0 1 | 1 12
Function Seen(n) {
    events = events * 10 + n;
}
Function Index(n) {
    Return n + Post(Seen, n) * 0;
}
Function Stores() {
    cells[2] = 0;
    cells[Index(1)] = (stamp = events) + 1;
    Var after = events;
    cells[Index(2)] += cells[1] + events;
    Return stamp + " " + after + " | " + cells[1] + " " + events;
}
events = 0;
Print(Stores());

//== a slot holding a number becomes an array when indexed, as a global does
// expect: end
// expect output: 4 3 | 5 1
Function Slots(p) {
    Var q = 1;
    q[2] = 3;
    p[1] = 4;
    t = p;
    Return t[1] + " " + q[2];
}
n = 5;
Print(Slots(n), "|", n, Slots(n) == "4 3");

//== an array made in a block is the block's local, made anew in a sibling block
// expect: error 41 line 13 column 17
// expect output: 3 30 | 7
Function Blocks() {
    Var r = "";
    For (i = 0; i < 2; i++) {
        t = i + 1;
        s[i] = t;
    }
    For (i = 0; i < 2; i++) {
        t = (i + 1) * 10;
        s[i + 1] = t;
    }
    Return s[1] + t;
}
Function Kept() {
    k[0] = 7;
    For (i = 0; i < 2; i++) {
        k[0] = k[0];
    }
    Return k[0];
}
Function Sums() {
    For (i = 0; i < 2; i++) {
        u[i] = i + 1;
    }
    Var a = 0;
    For (j = 0; j < 1; j++) {
        u[1] = 30;
        a = u[1];
    }
    Return a;
}
Print(Kept() - 4, Sums(), "|", Kept());
Print(Blocks());

//== a name bound at the top of a function stays bound past a block that assigns it
// expect: end
// expect output: 2 5 | 9 1
Function Outer() {
    x = 1;
    {
        x = 2;
    }
    v[0] = 5;
    For (i = 0; i < 2; i++) {
        v[0] = v[0];
    }
    Return x + " " + v[0];
}
Function Global() {
    a[1] = 9;
    Return a[1];
}
a[1] = 0;
Print(Outer(), "|", Global(), a[1] == 9);

//== an index of a slot and an integer is read as the walk reads it, and fails there
// expect: error 45 line 9 column 20
// expect output: 2 1 3 | 4
Function Shift(n) {
    Var i = 1;
    b[0] = 1;
    b[i + 1] = 3;
    b[i] = b[i + 1] - b[i - 1];
    Print(b[i], b[i - 1], b[n - 3], "|", c[i + 3] = 4);
    Return b[i - 2];
}
c[0] = 0;
Print(Shift(5));

//== a statement storing into an element of an array held by a slot, from each kind of operand
// expect: end
// expect output: 1 2.5 3 4 1 | 9 -1 6 4.5 | 2147483647 -2147483648 | 5 4 | -2147483647 -2147483648 22.5 22.5 -4.83184e+10 | 7 -12 -17.5
Function Stores(n) {
    Var i = 1;
    Var d = 4.5;
    s[0] = 0;
    s[3] = 0;
    w[1] = 0;
    s[0] = 1;
    s[1] = 2.5;
    s[2] = n;
    w[i] = 4;
    s[3] = w[i];
    w[0] = s[0];
    Var r = s[0] + " " + s[1] + " " + s[2] + " " + s[3] + " " + w[0];
    s[0] += 8;
    s[1] -= 3.5;
    s[2] *= 2;
    s[3] += s[3] - d;
    s[3] = d;
    r = r + " | " + s[0] + " " + s[1] + " " + s[2] + " " + s[3];
    s[0] = 2147483646;
    s[0]++;
    s[1] = s[0];
    s[1]++;
    r = r + " | " + s[0] + " " + s[1];
    g[1, 2] = 0;
    g[i, i + 1] = n;
    g[i, 2] += i + 1;
    g[0, 0] = g[1, 2];
    g[0, 0]--;
    r = r + " | " + g[1, 2] + " " + g[0, 0];
    s[0] = s[1] + i;
    s[1] = i - s[0];
    s[2] = g[1, 2] * d;
    s[3] = 2 * i;
    s[3] += s[2] - s[3];
    w[i] = s[1] * s[2];
    r = r + " | " + s[0] + " " + s[1] + " " + s[2] + " " + s[3] + " " + w[1];
    g[1, 2] = g[1, 2] + i + i;
    g[0, 0] = i - g[1, 2] * 2 + 1;
    g[1, 0] = g[0, 0] - d * i - 1;
    Print(r, "|", g[1, 2], g[0, 0], g[1, 0]);
}
Stores(3);

//== a store whose cell, operand or array is not a number at hand takes the walk's way
// expect: error 45 line 18 column 10
// expect output: x5 7 abc | 3 0 1 | 3 4
Function Others() {
    Var t = "abc";
    Var i = 5;
    s[0] = "x";
    s[0] += i;
    s[1] = 7;
    s[2] = t;
    Var r = s[0] + " " + s[1] + " " + s[2];
    s[i] = 3;
    s[i - 1] = s[i];
    u[0] = 0;
    u[1] = s[4];
    u[2] = 1;
    Print(r, "|", s[i], u[0], u[2], "|", s[4], u[1] + 1);
    i = -1;
    s[i] = 1;
}
Others();

//== stores into cells of one kind from operands of the other, and steps of doubles
// expect: end
// expect output: 3.5 -0.5 7.5 | 2.5 0.5 -6 | 10 12.5 | -2147483648 4.5
Function Kinds() {
    Var i = 3;
    Var d = 0.5;
    c[0] = 0;
    c[1] = 0;
    c[2] = 0;
    c[0] = i + d;
    c[1] = d - 1;
    c[2] = i * 2.5;
    Var r = c[0] + " " + c[1] + " " + c[2];
    c[0] = 1.5;
    c[0]++;
    c[1]--;
    c[1] += 2;
    c[2] = 2;
    c[2] *= 0 - i;
    r = r + " | " + c[0] + " " + c[1] + " " + c[2];
    c[0] = 4;
    c[0] += i * 2;
    c[1] = c[0] + d * 5;
    r = r + " | " + c[0] + " " + c[1];
    c[0] = 2147483646;
    c[0] += 1;
    c[0] += 1;
    c[1] = 4;
    c[1] += d;
    Print(r, "|", c[0], c[1]);
}
Kinds();

//== a step on a cell holding a text, and an operand holding a text, fail where the walk does
// expect: error 12 line 9 column 14
// expect output: 4 ab
Function Texts() {
    Var t = "b";
    c[0] = 4;
    c[1] = "a";
    c[1] += t;
    Print(c[0], c[1]);
    c[0] *= t;
}
Texts();

//== an element that an operator takes just before a closing parenthesis, of each kind
// expect: error 41 line 12
// expect output: 15 -2 | ab 0 4
Function Closing() {
    Var i = 1;
    Var x = 2.5;
    p[0] = 4;
    p[1] = 6;
    p[2] = "b";
    Var y = (p[i]);
    y = (p[0] + (i + (p[i] + 1)) - p[0] * 2);
    Print((x * p[i]), (p[0] - p[i]), "|", ("a" + p[2]), (x > p[0]) + (p[1] / (i + p[i - 1]) * 2), y);
    y = (x + p[5]);
}
Closing();
