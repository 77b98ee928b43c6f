//== number statements on members of objects in parameters and locals, kinds changing
// expect: end
// expect output: 14 6 1 | 29.5 10.5 2.5 | x12 6 0
// expect output: 7 2
Function Obj(a) { This.a = a; This.b = 2; }
Function Work(p, n) {
    Var q = p;
    Var i;
    p.a = p.a + n;
    q.b *= 3;
    p.b -= q.a - p.a + 1;
    p.b++;
    If (p.a > q.b) p.b--;
    For (i = 0; i < 3; i++) {
        q.c = i;
        p.a += q.c * n;
    }
    Return p.a - q.b;
}
o = New Obj(1);
Print(Work(o, 2) + 5, o.b, o.c, "|", Work(New Obj(1.5), 4.5) + 0, o.b + 0.5, o.c + 0.5, "|",
      Work(New Obj("x"), 1) + "", o.b, 0);
m = New Obj(7);
m.a = m.a;
Print(m.a, m.b);

//== a member that is missing or holds an array fails where the walk fails
// expect: error 41 line 3 column 8
// expect output: 4
Function Add(p) { p.a = p.a + 1; Return p.a; }
Function Bad(p) { p.a = p.b + 1; Print(p.a); p.b = p.zz * 2; }
Print(Add(New Obj(3)));
Function Obj(a) { This.a = a; }
Bad(New Obj(1));

//== an object deleted by a handler between statements is no object for the next member read
// expect: error 35 line 5 column 13
// expect output: 1 2 3 4 5 6 7 8 9 10
Function Obj(a) { This.a = a; }
Function Later(q) { Delete q; }
Function Count(p) { p.a = p.a + 1; Print(p.a); }
o = New Obj(0);
Post(Later, o);
For (i = 0; i < 20; i++) Count(o);

//== a member of no object: a holder of 0, and one whose object a call deleted
// expect: error 35 line 4 column 29
// expect output: 3
Function Obj(a) { This.a = a; }
Function Kill(q) { Delete q; Return 1; }
Function Use(p, k) { p.a = p.a + k; If (k == 2) p.a = Kill(p) + p.a; Return p.a; }
Print(Use(New Obj(1), 2) + 1);
Use(0, 1);
