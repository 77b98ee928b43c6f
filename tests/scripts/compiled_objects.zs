//== members of objects held in parameters, locals and names, read, assigned and made
// expect: end
// expect output: 3 7 10 5 | 15 1
Function Point(x, y) { This.x = x; This.y = y; }
Function Shift(p, d) {
    Var q = p;
    q.x = q.x + d;
    p.y = p.y * 2 + q.x;
    moved = p;
    moved.z = moved.x + moved.y;
    Return p.x + d;
}
Function Nest() {
    Var box = New Point(1, 2);
    box.inner = New Point(3, 4);
    box.inner.x = box.inner.x + box.x * 8;
    Return box.inner.x + box.inner.y;
}
a = New Point(1, 2);
r = Shift(a, 2);
Print(a.x, a.y, a.z, r, "|", Nest(), This.Nest == Nest);

//== method calls on built-in objects, singletons and texts take arguments read from slots
// expect: end
// expect output: 3 6 9
// expect output: 1 1
// expect output: 5 3 HELLO
// expect output: | 12 abc
Function Vectors(n) {
    Var v = New Vector(0, 0, 0);
    Var step = New Vector(1, 2, 3);
    For (i = 0; i < n; i++) v.AddVector(step);
    Print(v.GetX(), v.GetY(), v.GetZ());
}
Function Maths(x) {
    Var half = x / 2;
    Print(Math.Abs(0 - x), Math.Abs(half - x));
}
Function Texts(s) {
    Var t = s + "lo";
    Print(t.Length(), "abc".Length(), t.ToUpperCase());
    Return s.Length() * 2 + "x".Length() * 6;
}
Vectors(3);
Maths(1);
Print("|", Texts("hel"), "abc");

//== a script object's method gets its arguments and This, and can recurse
// expect: end
// expect output: 15 3 | 120
Function Counter(start) { This.n = start; This.Add = Add; This.Fact = Fact; This.inner = This; }
Function Add(k) { This.n = This.n + k; Return This.n; }
Function Fact(k) { If (k <= 1) Return 1; Return k * This.inner.Fact(k - 1); }
Function Run(c, k) {
    Var twice = k * 2;
    c.Add(twice);
    Return c.Add(k);
}
c = New Counter(3);
Print(Run(c, 3) + 3, 3, "|", c.Fact(5));

//== New and Delete in a function
// expect: end
// expect output: 4 1 0
Function Pair(a, b) { This.sum = a + b; }
Function Make(a) {
    Var p = New Pair(a, a + 2);
    Var v = New Vector(a, 0, 0);
    Var gone = New Pair(0, 0);
    keep = gone;
    Delete gone;
    Print(p.sum, v.GetX(), keep);
}
Make(1);

//== an unknown method of a built-in object fails at its name before its arguments run
// expect: error 11 line 5 column 7
// expect output: before
Function Bad(v) {
    Print("before");
    v.NoSuchMethod(Print("arguments"));
}
Bad(New Vector(1, 2, 3));

//== a method on a number fails at the member
// expect: error 35 line 4 column 14
Function Bad(n) {
    Var m = n + 1;
    Return m.Length();
}
Print(Bad(1));

//== a script object's missing method fails before its arguments run
// expect: error 42 line 5 column 7
// expect output: before
Function Empty() { This.v = 1; }
Function Bad(o) { Print("before");
    o.Missing(Print("arguments"));
}
Bad(New Empty());

//== an object deleted by the arguments of its own method call
// expect: error 32 line 5 column 39
Function Victim() { This.Go = Go; }
Function Go(x) { Return x; }
Function Kill(o) { Delete o; Return 1; }
Function Run(o) { Return o.Go(Kill(o)); }
Run(New Victim());

//== a built-in object deleted by the arguments of its method call
// expect: error 32 line 3 column 46
Function Kill(o) { Delete o; Return 1; }
Function Run(v) { Return v.AddVector(Kill(v)); }
Run(New Vector(1, 2, 3));

//== a member assigned after the object was deleted during the right side
// expect: error 32 line 4 column 32
Function Point(x) { This.x = x; }
Function Kill(o) { Delete o; Return 1; }
Function Run(p) { p.x = Kill(p); }
Run(New Point(1));

//== a member not there yet can only be assigned
// expect: error 41 line 3 column 30
Function Point(x) { This.x = x; }
Function Run(p) { Return p.y + 1; }
Print(Run(New Point(1)));

//== a name that holds nothing before a member stops the statement there
// expect: error 16 line 3 column 13
Function Run() { Var k = 1;
    nothing.x = k; }
Run();

//== an error inside a built-in method called from a function goes to the handler
// expect: end
// expect output: caught 35
// expect output: after 7
Function Caught(code, text, unit, line, column) { Print("caught", code); }
Function Run(v) {
    Var k = 7;
    Raise(35 + v.GetX() - 1);
    Print("after", k);
}
Program.OnError = Caught;
Run(New Vector(1, 2, 3));

//== an event handler assigned to a member in a function runs between its statements
// expect: end
// expect output: 1 2 ticks
Function Tick(t) { ticks++; t.Stop(); }
Function Wait() {
    Var t = New Timer(1);
    t.OnTimeElapsed = Tick;
    t.Start();
    Var n = 0;
    While (ticks == 0) n++;
    Print(ticks, ticks + 1, "ticks");
}
ticks = 0;
Wait();

//== an event handler passed as a parameter and assigned to an event property
// expect: end
// expect output: 1 handled
Function Tick(t) { ticks++; t.Stop(); }
Function Arm(handler) {
    Var t = New Timer(1);
    t.OnTimeElapsed = handler;
    t.Start();
    While (ticks == 0) handler = handler;
    Print(ticks, "handled");
}
ticks = 0;
Arm(Tick);

//== members after elements and parentheses: read, assigned, stepped, and methods called
// expect: end
// expect output: 3 5 | 4 30 | 13 15 | 3 2 | 2 HI
// expect output: 1
Function Point(x, y) { This.x = x; This.y = y; This.Sum = Sum; }
Function Sum(k) { Return This.x + This.y + k; }
Function Walk(n) {
    Var ps[0] = New Point(1, 2);
    ps[1] = New Point(3, 4);
    Var t[0] = "hi";
    Var v[0] = New Vector(1, 2, 3);
    Var i = n;
    ps[i].x = ps[i - 1].y + 1;
    ps[0].inner = New Point(5, 6);
    ps[0].inner.y += 4;
    ps[i].x++;
    Print(ps[0].x + ps[0].y, ps[1].y + 1, "|", ps[i].x, ps[0].inner.y * 3, "|",
          ps[i].Sum(i * 5), ps[0].inner.Sum(0), "|", (ps[i]).y - 1, (ps[0]).x + 1, "|",
          t[0].Length(), t[i - 1].ToUpperCase());
    Return v[0].GetX() + (v[0]).GetY() + (ps[0].inner).Sum(i);
}
r = Walk(1);
Print(r == 19);

//== a new member assigned on an element's object, and an event handler on an element's timer
// expect: end
// expect output: 7 1
Function Tick(t) { ticks++; t.Stop(); }
Function Obj() { This.k = 0; }
Function Run(n) {
    Var os[0] = New Obj();
    os[0].fresh = n + 2;
    Var ts[0] = New Timer(1);
    ts[0].OnTimeElapsed = Tick;
    ts[0].Start();
    While (ticks == 0) n = n;
    Print(os[0].fresh + os[0].k, ticks);
}
ticks = 0;
Run(5);

//== an element holding no object before a member fails at the member
// expect: error 41 line 3 column 24
Function Run(k) { Var e[0] = 1;
    Return e[0] + e[k].x; }
Print(Run(2));

//== a number in an element before a member, and before a method call
// expect: error 35 line 3 column 17
Function Run(k) { Var e[0] = 1;
    Return e[k].Length(); }
Print(Run(0));

//== an element's object deleted by the arguments of its method call
// expect: error 32 line 5 column 70
Function Victim() { This.Go = Go; }
Function Go(x) { Return x; }
Function Kill(o) { Delete o; Return 1; }
Function Run(k) { Var a[0] = New Victim(); Return a[k].Go(Kill(a[k])); }
Run(0);

//== a parenthesis holding a number before a member
// expect: error 35 line 3 column 24
Function Run(k) { Var n = k;
    Return 1 + (n * 2).x; }
Print(Run(2));

//== an element's member holding a function before another member stops the statement
// expect: error 16 line 4 column 12
Function Obj() { This.f = Obj; }
Function Run(k) { Var a[0] = New Obj();
    a[k].f.g = 1; }
Run(0);

//== a method named through a class that no object stands for
// expect: error 16 line 3 column 23
Function Run(k) { Var n = k;
    Return n + Vector.Length(Print("never")); }
Print(Run(2));

//== Var of an element makes a local array, even where a global of the name is
// expect: end
// expect output: 5 7 3
// expect output: 2
Function Run(k) {
    Var a[k] = k + 4;
    Var b[0, 1] = 7;
    Var g[0] = 3;
    Print(a[1], b[0, 1], g[0]);
}
g = "ab";
Run(1);
Print(g.Length());

//== Var of an element that is not assigned fails at its end
// expect: error 41 line 3 column 17
Function Run(k) { Var n = k;
    Var fresh[n]; }
Run(1);

//== members with an index list: read, assigned, stepped, made, and members after them
// expect: end
// expect output: 3 7 | 7 7 | 5 8 | 6
// expect output: 8
Function Grid(n) { This.cells[n] = n; This.inner = This; }
Function Point(x) { This.x = x; }
Function Run(k) {
    Var g = New Grid(k);
    g.cells[0] = k + 2;
    g.inner.cells[k] += 6;
    g.cells[0]++;
    Print(g.cells[0] - 1, g.cells[k] + g.inner.cells[k - k] - 4, "|",
          g.inner.cells[1] = 7, g.cells[2 - k], "|",
          (g.cells[k] = 5), g.cells[0] * 2, "|", k + 5);
    g.made[1, 1] = 3;
    This.pts[0] = New Point(2);
    This.pts[0].x += g.made[1, 1] + 1;
    Return This.pts[k - 1].x;
}
Print(Run(1) + 2);

//== a member with an index list that the object does not have fails after its list
// expect: error 41 line 3 column 32
Function Run(o, k) { Var n = k;
    Return n + o.missing[n + 1]; }
Print(Run(New Obj(), 1));
Function Obj() { This.v = 1; }

//== the object of a member with an index list deleted by its indices
// expect: error 32 line 4 column 42
Function Kill(o) { Delete o; Return 0; }
Function Obj() { This.cells[0] = 1; }
Function Run(o) { Return o.cells[Kill(o)]; }
Print(Run(New Obj()));

//== a member with an index list after a built-in object stops the statement there
// expect: error 16 line 4 column 7
// expect output: 1
Function Run(n, v) { Print(n);
    v.cells[n]; }
Print(Run(1, New Vector(1, 2, 3)));

//== a new member array made with indices that name a parameter is made by the walk
// expect: end
// expect output: 6
Function Obj() { This.v = 1; }
Function Run(o, k) { o.fresh[k] = k * 2; Return o.fresh[k] + k + o.v; }
Print(Run(New Obj(), 1) + 2);

//== one member site read over objects of other shapes, a member made later and a text member
// expect: end
// expect output: 100 100 |
// expect output: 1,7,3,4, 1,7,3,4,
Function Point(x, y) { This.x = x; This.y = y; }
Function Flipped(x, y) { This.y = y; This.x = x; }
Function Sum(list, n) {
    Var total = 0;
    Var i;
    Var p;
    For (i = 0; i < n; i++) {
        p = list[i];
        total = total + p.x * 10;
        If (i == 2) p.z = 5;
    }
    Return total;
}
Function Texts(list, n) {
    Var all = "";
    Var i;
    Var p;
    For (i = 0; i < n; i++) {
        p = list[i];
        all = all + p.x + ",";
    }
    Return all;
}
list[0] = New Point(1, 2);
list[1] = New Point(2, 3);
list[2] = New Flipped(3, 4);
list[3] = New Point(4, 5);
Print(Sum(list, 4), Sum(list, 4), "|");
list[1].x = "7";
Print(Texts(list, 4), Texts(list, 4));

//== an object deleted during the expression after its member was read from the site's cache
// expect: error 32 line 4 column 72
Function Point(x) { This.x = x; }
Function Kill(o, k) { If (k == 2) Delete o; Return 1; }
Function Run(p) { Var k; For (k = 0; k < 3; k++) p.x = p.x + Kill(p, k); }
Run(New Point(1));
