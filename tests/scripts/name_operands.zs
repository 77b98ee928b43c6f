//== a handler run between two statements changes the kind of the global they assign
// expect: end
// expect output: text1 3
Function Change() { g = "text"; }
Function F() {
    Var i;
    Var k = 0;
    For (i = 0; i < 3; i++) {
        g += 1;
        k++;
        If (i == 1) Post(Change);
    }
    Return k;
}
g = 5;
k = F();
Print(g, k);

//== a handler replaces the global array the loop stores into by a number
// expect: error 41 line 6
Function Drop() { cells = 4; }
Function F() {
    Var i;
    For (i = 0; i < 4; i++) {
        cells[i] = cells[i] + 1;
        If (i == 1) Post(Drop);
    }
}
cells[3] = 0;
F();

//== a handler grows the global array between two stores into it
// expect: end
// expect output: 1 2 3 7 1
Function Grow() { cells[5] = 7; }
Function F() {
    Var i;
    For (i = 0; i < 4; i++) {
        cells[i] += i + 1;
        If (i == 1) Post(Grow);
    }
}
cells[0] = 0; cells[1] = 0; cells[2] = 0; cells[3] = 0;
F();
Print(cells[0], cells[1], cells[2], cells[5], cells[3] - 3);

//== a local made midway shadows the global the earlier statements wrote
// expect: end
// expect output: 7 12 9 12 11
Function H(first) {
    Var i;
    For (i = 0; i < 2; i++) g += 1;
    If (first) Return g;
    Var g = 10;
    For (i = 0; i < 2; i++) g += 1;
    Return g;
}
g = 5;
Print(H(1), H(0), g, H(0), g);

//== This's member is found before the global of its name
// expect: end
// expect output: 3 100 6 100
Function Counter() { This.total = 0; This.Add = Add; }
Function Add(k) {
    Var j;
    For (j = 0; j < k; j++) {
        total += 1;
        count = total * 2;
    }
    Return total;
}
total = 100;
count = 0;
c = New Counter();
c.Add(1);
Print(c.Add(2), total, count, total);

//== an element stored outside its array fails where the walk does
// expect: error 45 line 5
cells[2] = 1;
i = 0;
While (i < 3) {
    cells[i - 1] = i * 2;
    i++;
}

//== an element stored with the wrong number of indices
// expect: error 66 line 5
m[1, 1] = 2;
Function F() {
    Var i = 0;
    m[i] = 3;
}
F();

//== a store whose value divides by zero fails at its operator, the cell unchanged
// expect: error 111 line 8
// expect output: 0
// expect output: 8
Function F(d) {
    Var i;
    For (i = 0; i < 2; i++) {
        Print(cells[0]);
        cells[0] = 8 / d;
        d--;
    }
}
cells[0] = 0;
F(1);

//== cells that hold a text are concatenated by "+=" and replaced by "="
// expect: end
// expect output: ab1 5 2.5
cells[0] = "ab";
cells[1] = "x";
cells[2] = 1;
Function F() {
    Var i;
    For (i = 0; i < 3; i++) {
        If (i == 0) cells[0] += 1;
        If (i == 1) cells[1] = 5;
        If (i == 2) cells[2] *= 2.5;
    }
}
F();
Print(cells[0], cells[1], cells[2]);

//== a global counter stepped past the largest integer
// expect: end
// expect output: -2147483648 2147483647 -1.5
calls = 2147483646;
h = 0.5;
Function F() {
    Var i;
    For (i = 0; i < 2; i++) {
        calls++;
        h--;
    }
    calls--;
    calls++;
}
F();
Print(calls, calls - 1, h);

//== a name bound by its assignment in a loop, read after the loop's rounds by the same block
// expect: end
// expect output: 1 6 2.5
Function F(n) {
    Var i;
    Var sum = 0;
    For (i = 0; i < n; i++) {
        x = i * 0.5;
        grid[i, 1] = x + 1;
        sum += grid[i, 1];
    }
    Return sum;
}
grid[0, 0] = 0;
Print(F(3) - 3.5, F(4) - 1, grid[3, 1]);

//== a function whose last statement steps a global or stores an element gives no value of it
// expect: end
// expect output: 7 6 3
Function Step() {
    Var i;
    For (i = 0; i < 2; i++) {
        g++;
        cells[0] = g * 2;
        g += 0;
    }
}
g = 5;
cells[0] = 0;
r = Step();
Print(g, cells[0] - g - 1, r + 3);
