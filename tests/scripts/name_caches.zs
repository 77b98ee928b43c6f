//== a function steps a global on every call, as a plain function and as a method
// expect: end
// expect output: 4 1 6
Function Count() { calls++; total += calls * 2; Return calls; }
Function Obj() { This.Count = Count; }
calls = 0;
total = 0;
o = New Obj();
Count();
o.Count();
Count();
Print(Count(), o.Count() - 4, calls + 1);

//== a member of This of the global's name, made between two calls, takes the steps
// expect: end
// expect output: 3 11 4
Function Step() { n++; n += 0; Return n; }
Function Obj() { This.Step = Step; }
n = 1;
o = New Obj();
o.Step();
o.n = 10;
o.Step();
Step();
Print(n, o.n, o.Step() - 8);

//== This's member and the global of one name, met by turns through the same function
// expect: end
// expect output: 7 102 7.5
Function Add(k) { v += k; Return v; }
Function Obj() { This.v = 100; This.Add = Add; }
v = 2;
o = New Obj();
Add(1);
o.Add(1);
Add(4);
o.Add(1);
Add(0.5);
Print(v - 0.5, o.v, v);

//== a global made between calls, the name found in This before
// expect: end
// expect output: 41 4 41
Function Step() { n++; Return n; }
Function Obj() { This.n = 1; This.Step = Step; }
o = New Obj();
o.Step();
o.Step();
n = 40;
Print(Step(), o.Step(), n);

//== the global a function steps does not exist yet: its name fails where it stands
// expect: error 41 line 4 column 25
Function Step() {
    Var k = 1;
    k = k + 1; made += k;
}
Step();

//== a Var later in the body makes a local of the global's name from there on
// expect: end
// expect output: 13 11 13
Function F() {
    g++;
    Var g = 10;
    g++;
    Return g;
}
g = 0;
F();
F();
a = F();
Print(a + 2, g + 8, F() + 2);

//== a local of the global's name made by a block's Var that reads it, then dropped
// expect: end
// expect output: 8 2 3
Function F(p) {
    If (p > 0) { Var h = h + p; h += 5; r = h; }
    h++;
    Return r;
}
h = 1;
r = 0;
a = F(1);
b = F(0);
Print(a + 1, b - 5, h);

//== the global stepped turns into a double and then into a text between calls
// expect: error 12 line 2 column 22
Function Step() { g++; Return g; }
g = 1;
Step();
g = 0.5;
If (Step() != 1.5) Print("wrong");
g = "text";
Step();

//== recursion through methods of objects whose members differ and through plain calls
// expect: end
// expect output: 2 6 5
Function Down(p) {
    depth++;
    If (p > 0) {
        If (p % 2 == 0) Return o.Down(p - 1);
        Return Down(p - 1);
    }
    Return depth;
}
Function Obj() { This.depth = 0; This.Down = Down; }
depth = 0;
o = New Obj();
Down(5);
Print(depth, o.depth + 2, Down(0) - depth + 5);
