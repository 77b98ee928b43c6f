//== number statements on members follow the object a name holds at each round
// expect: end
// expect output: 36 2.5 11 7
Function Point(x) { This.x = x; }
a = New Point(1);
b = New Point(10);
s = 0;
For (i = 0; i < 3; i++) {
    p = a;
    If (i == 1) p = b;
    s = s + p.x * 3;
}
c = New Point(1.5);
c.x = c.x + 1;
a.z = a.x + 10;
b.x = b.x - a.x - 2;
Print(s, c.x, a.z, b.x);

//== a member of a deleted object is reported by the statement that reads it
// expect: error 35 line 6
Function Point(x) { This.x = x; }
p = New Point(1);
p.x = p.x + 1;
Delete p;
p.x = p.x + 1;

//== a member of a name no scope has fails where its value is assigned
// expect: error 41 line 4 column 15
Function F(n) {
    Var x = n;
    x = x + v.a;
    Return x;
}
Print(F(1));

//== a member of a function fails where a condition takes its value
// expect: error 18 line 5 column 12
Function G() { Return 1; }
Function F(n) {
    Var v = G;
    If (v.a) n = 2;
    Return n;
}
Print(F(1));

//== a method of an unset Var fails where an argument takes its value
// expect: error 41 line 4 column 16
Function F(n) {
    Var v;
    Print(n, v.Step(n));
}
F(1);

//== a parenthesis steps over the member it stops at and fails at the next
// expect: error 35 line 4 column 14
Function F(n) {
    Var x;
    x = (v.a.b) + n;
}
F(1);
