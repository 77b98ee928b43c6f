//== loop rounds of number statements on members of objects in parameters, locals and This
// expect: end
// expect output: 821 38 12
// expect output: 715.5 33 7
// expect output: 593 87
Function Obj(a) { This.a = a; This.b = 1; This.Churn = Churn; }
Function Churn(n) {
    Var i;
    For (i = 0; i < n; i++) { This.a = (This.a * 3 + This.b) % 1000; This.b += 2; }
    Return This.a;
}
Function Walk(p, q, n) {
    Var i;
    Var v = q;
    Var s = 0;
    For (i = 0; i < n; i++) {
        p.a = p.a + v.b;
        If (p.a > 50) p.a -= 40.5;
        v.b = (v.b * 7) % 13;
        s = s + p.a;
    }
    Return s;
}
o = New Obj(1);
r = New Obj(2);
Print(Walk(o, r, 30), o.a, r.b);
Print(Walk(o, o, 25), o.a, o.b);
Print(o.Churn(40), o.b);

//== a handler deleting the object between the statements of a loop round on its members
// expect: error 35 line 7 column 34
// expect output: deleted
Function Obj(a) { This.a = a; This.b = 1; }
Function Later() { Delete o; Print("deleted"); }
Function Run(p) {
    Var i;
    For (i = 0; i < 40; i++) { p.a = p.a + p.b; p.b = (p.b * 3) % 7; }
    Return p.a;
}
o = New Obj(0);
Post(Later);
Print(Run(o));

//== handlers adding members and changing a member's kind between a loop round's statements
// expect: end
// expect output: 99 1 3.5
// expect output: t3.53.53.53.53.53.53.53.53.53.53.53.53.53.53.53.53.53.53.53.53.53.53.53.53.53.53.53.53.53.5 3.5
Function Obj(a) { This.a = a; This.b = 1; }
Function Grow() { o.z = 1; o.b = 0.5; }
Function Texts() { o.a = "t"; }
Function Run(p, n) {
    Var i;
    For (i = 0; i < n; i++) { p.a = p.a + p.b; If (p.b < 3) p.b = p.b + 1; }
    Return p.a;
}
o = New Obj(0);
Post(Grow);
Print(Run(o, 30), o.z, o.b);
Post(Texts);
Print(Run(o, 30), o.b);

//== a loop round on a member that another object of the slot does not have fails there
// expect: error 41 line 5 column 63
// expect output: 191
Function Obj(a) { This.a = a; }
Function Alt(a) { This.c = a; }
Function Run(p, n) { Var i; For (i = 0; i < n; i++) p.a = p.a + i; Return p.a; }
Print(Run(New Obj(1), 20));
Print(Run(New Alt(1), 20));

//== elements and slots holding objects as arguments, deleted, missing and followed by members
// expect: error 41 line 14 column 16
// expect output: 1 -1 -1 7 1 7
// expect output: 8 1 1
Function Obj(a) { This.a = a; }
Function Get(p) { If (p == 0) Return -1; Return p.a; }
Function Pass(p) { Return Get(p); }
ps[0] = New Obj(1);
ps[1] = New Obj(2);
ps[2] = 0;
grid[1, 1] = New Obj(7);
Delete ps[1];
Print(Get(ps[0]), Get(ps[1]), Get(ps[2]), Get(grid[1, 1]), Pass(ps[0]), Pass(grid[1, 1]));
Print(ps[0].a + grid[1, 1].a, ps[0] == ps[0], grid[1, 1] != ps[0]);
Print(Get(ps[3]));
