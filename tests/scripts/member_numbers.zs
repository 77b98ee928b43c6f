//== number statements on members of objects in parameters and locals, kinds changing
// expect: end
// expect output: 8 6 2
// expect output: 9 18.5 2.5
// expect output: x12 5 2
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
Function Text(p) { p.a = p.a + 1; p.a += 2; Return p.a; }
o = New Obj(1);
Print(Work(o, 2) + 5, o.b, o.c);
Print(Work(o, 4.5) + 0, o.b + 0.5, o.c + 0.5);
m = New Obj("x");
Print(Text(m), Text(New Obj(2)), m.b);

//== This's members in number statements of a method and a constructor
// expect: end
// expect output: 10 1 1
Function Counter(n) { This.n = n; This.k = n * 2; This.k++; This.Add = Add; }
Function Add(d) { This.n += d * This.k; This.k = This.k / 2; Return This.n; }
c = New Counter(1);
Print(c.Add(3), c.n - 9, c.k);

//== a member that is missing fails where the walk fails
// expect: error 41 line 4 column 29
// expect output: 4
Function Add(p) { p.a = p.a + 1; Return p.a; }
Function Bad(p) { p.a = p.b + 1; Print(p.a); p.b = p.zz * 2; }
Print(Add(New Obj(3)));
Function Obj(a) { This.a = a; }
Bad(New Obj(1));

//== an object deleted between a function's statements is no object for its next member read
// expect: error 35 line 8 column 33
// expect output: 1
// expect output: 2
// expect output: 3
Function Obj(a) { This.a = a; }
Function Count(p) {
    Var i;
    For (i = 0; i < 5; i++) { p.a = p.a + 1; Print(p.a); If (p.a == 3) Delete o; }
}
o = New Obj(0);
Count(o);

//== a member read after a call in the same expression deleted its object
// expect: error 35 line 4 column 67
Function Obj(a) { This.a = a; }
Function Kill(q) { Delete q; Return 1; }
Function Use(p, k) { p.a = p.a + k; If (k == 2) p.a = Kill(p) + p.a; Return p.a; }
Print(Use(New Obj(1), 2) + 1);

//== a member of a holder of no object
// expect: error 35 line 4 column 21
// expect output: 2
Function Obj(a) { This.a = a; }
Function Use(p) { p.a = p.a + 1; Return p.a; }
Print(Use(New Obj(1)));
Use(0);

//== one statement's members found again in objects that hold them at other places and kinds
// expect: error 41 line 6 column 36
// expect output: 7 13 15 8.5 4.5
Function Obj(a) { This.a = a; This.b = 2; }
Function Alt(a) { This.b = 3; This.a = a; }
Function Bare(a) { This.a = a; }
Function Bump(p) { p.a = p.a * p.b + 1; Return p.a; }
o = New Obj(3);
t = New Alt(4);
Print(Bump(o), Bump(t), Bump(o), Bump(New Alt(2.5)), Bump(New Obj(1.75)));
Bump(New Bare(1));

//== members of objects passed as elements, of two classes, one gaining a member between calls
// expect: error 35 line 8 column 22
// expect output: 3 12 4.5
// expect output: 5 9 6.5
// expect output: 7 6 8.5
// expect output: 3 9
Function Obj(a) { This.x = a; This.v = 2; }
Function Alt(a) { This.v = 3; This.x = a; }
Function Move(p) { p.x = p.x + p.v; If ((p.x < 0) || (p.x > 10)) p.v = 0 - p.v; Return p.x; }
ps[0] = New Obj(1); ps[1] = New Alt(9); grid[1, 1] = New Obj(2.5);
For (i = 0; i < 3; i++) Print(Move(ps[0]), Move(ps[1]), Move(grid[1, 1]));
ps[1].extra = 1;
Print(Move(ps[1]), Move(ps[0]));
Delete ps[0];
Print(Move(ps[0]));

//== statements on the members of one holder alone, a text and a double arriving between calls
// expect: end
// expect output: -2 -5 -1 9 -4 1
// expect output: 4 10 4.5
// expect output: t1 12
Function P(x, v) { This.x = x; This.v = v; This.hits = 0; This.Move = Move; }
Function Move(limit) {
    Var s;
    This.x = This.x + This.v;
    If ((This.x < 0) || (This.x > limit)) {
        This.v = 0 - This.v;
        This.hits = This.hits + 1;
    }
    s = (0 - This.x) % 7;
    Return s + This.hits;
}
Function Push(p, d) { p.x = p.x + d; Return p.x; }
a = New P(5, 4);
Print(a.Move(10), a.Move(10), a.Move(10), a.x, a.v, a.hits);
b = New P(1, 2);
Print(Push(b, 3), Push(a, 1), Push(b, 0.5));
b.x = "t";
Print(Push(b, 1), Push(a, 2));

//== an object passed from an element outlives the element in the parameter, and goes with its Delete
// expect: end
// expect output: 5 0 5
// expect output: 0 0
Function Obj(a) { This.a = a; }
Function Swap(p) { ps[0] = 0; p.a = p.a + 1; keep = p; Return p.a; }
Function Gone(p) { Delete p; Return ps[1]; }
keep = 0;
ps[0] = New Obj(4);
Print(Swap(ps[0]), ps[0], keep.a);
ps[1] = New Obj(7);
Print(Gone(ps[1]), ps[1]);

//== a row of statements on one holder's members, its holder deleted by a handler before it
// expect: error 35 line 7 column 7
// expect output: 2 2 0
// expect output: deleted
Function Obj(a) { This.a = a; This.b = 1; }
Function Later() { Delete o; Print("deleted"); }
Function Row(p) {
    p.a = p.a + p.b;
    p.b = p.b + 2;
    p.a = p.a * p.b;
    p.b = p.a - p.b;
    p.a = p.a % 1000;
    p.b = p.b % 100;
    p.a = p.a + p.b;
    p.b = p.b + 1;
    p.a = p.a - 3;
    p.b = p.b * 2;
    p.a = p.a + p.b;
    p.b = p.b - p.a;
    Return p.a + p.b;
}
o = New Obj(0);
Print(Row(o), o.a, o.b);
Post(Later);
Print(Row(o));

//== a row on one holder's members meeting a double midway, then a text a handler gave
// expect: error 12 line 8 column 18
// expect output: -1 -1 -3
// expect output: 11 2.5 -6.25
Function Obj(a) { This.a = a; This.b = 1; This.c = 2; }
Function Texts() { o.a = "t"; }
Function Row(p) {
    p.a = p.a + 1;
    p.a = p.a * 2;
    p.b = p.b + p.c;
    p.a = p.a - p.b;
    p.b = p.b * p.a;
    Return p.a;
}
o = New Obj(0);
Print(Row(o), o.a, o.b);
o.c = 0.5;
Print(Row(New Obj(6)), Row(o), o.b);
Post(Texts);
Print(Row(o), o.b);

//== conditions on one holder's members take their branches between its statements, a double midway
// expect: end
// expect output: 10 21 31 5 -4
// expect output: 41 40 4 40
Function Obj(x, v) { This.x = x; This.v = v; This.hits = 0; }
Function Move(p) {
    p.x = p.x + p.v;
    If ((p.x < 0) || (p.x > 10)) {
        p.v = 0 - p.v;
        p.hits = p.hits + 1;
    }
    If (p.x > 5) p.hits = p.hits + 10;
    Else p.hits = p.hits - 1;
    If (p.hits > 15) p.x = p.x - 1;
    p.x = p.x * 3;
    p.x = p.x / 3;
    Return p.hits;
}
o = New Obj(3, 4);
Print(Move(o), Move(o), Move(o), o.x, o.v);
o.v = 0.5;
Print(Move(o), Move(o), o.x, o.hits);

//== a handler posted between rows of conditions deletes their holder: the next row fails at its first member
// expect: error 35 line 10 column 12
// expect output: 4 6
// expect output: deleted
Function Obj(x) { This.x = x; This.n = 0; }
Function Later() { Delete o; Print("deleted"); }
Function Check(p, k) {
    If (p.x > 1) p.n = p.n + 1;
    If (p.x > 2) p.n = p.n + 1;
    If (k == 1) Post(Later);
    If ((p.x > 3) && (p.n > 1)) p.n = p.n + 1;
    If (p.x > 9) p.n = p.n + 1;
    If (p.n < 0) p.n = 0;
    If (p.x > 4) p.n = p.n + 1;
    If (p.x > 5) p.n = p.n + 1;
    p.x = p.x + 1;
    Return p.n;
}
o = New Obj(5);
Print(Check(o, 0), o.x);
Print(Check(o, 1));

//== a condition of a row dividing by a member that became 0 fails where the walk does
// expect: error 111 line 6 column 19
// expect output: 12 12
Function Obj() { This.a = 12; This.b = 3; }
Function Row(p) {
    p.b = p.b - 1;
    If ((p.a / p.b) > 5) p.a = p.a + 1;
    p.a = p.a - 1;
    Return p.a;
}
o = New Obj();
Print(Row(o), Row(o));
Print(Row(o));
