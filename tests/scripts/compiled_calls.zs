//== arguments filled while a call of the same function runs in a later argument keep their values
// expect: end
// expect output: aa.1- bb.b..1-2-.1- cc.c..c...1-2-.1-3-...1-2-.1-
Function Join(a, b, c) {
    Var t = a + b;
    Return t + c;
}
Function Mix(n, text) {
    If (n == 0) Return text;
    Return Join(text, Mix(n - 1, text + "."), Join(n, "-", Mix(n - 1, "")));
}
Print(Mix(1, "a"), Mix(2, "b"), Mix(3, "c"));

//== a call with fewer arguments than parameters gives the rest their default, one with more drops the rest
// expect: end
// expect output: 99 132 65
Function Third(a, b, c) {
    Var d = a;
    Return b * 10 + d;
}
Function Twice(n) {
    Var s = 0;
    Var i;
    For (i = 0; i < 3; i++) s = s + Third(n, i) + Third(i, n, 2, 7) + Third(i, 1, 2);
    Return s;
}
Print(Twice(1), Twice(2), Third(5, 6));

//== a parameter left out holds the default value, which arithmetic refuses
// expect: error 41 line 3 column 29
Function Pair(a, b) {
    If (a == 2) Return b + 1;
    Return a;
}
Function Loop() {
    Var s = 0;
    Var i;
    For (i = 0; i < 5; i++) s = s + Pair(i);
    Return s;
}
Print(Loop());

//== runaway recursion whose arguments are calls ends with error 15 at the call
// expect: error 15 line 8 column 26
Function Id(x) {
    Var y = x;
    Return y;
}
Function Deep(n, t) {
    Var k = n;
    Return Deep(Id(k + 1), Id(t));
}
Deep(0, "text");

//== an error deep in a recursion stands in the callee
// expect: error 12 line 5 column 30
// expect output: 15 12
Function Down(n, t) {
    Var k = n;
    If (k == 0) Return t * 2 + 1;
    Return Down(k - 1, t) + 1;
}
Function Sum(a, b) {
    Var s = a;
    Return s + b;
}
Print(Sum(1, Down(3, 5)), Sum(3, Sum(4, 5)));
Print(Sum(2, Down(4, "x")));

//== an error in a later argument ends the run with the texts of pending calls let go
// expect: error 111 line 10 column 17
// expect output: 6 15
Function Keep(a, b, c) {
    Var d;
    d = a;
    Return c + d + b;
}
Function Fail(n) {
    Var z = n - n;
    Return n / z;
}
Function Run(n) {
    Return Keep("t" + n, Keep(n, "u", "v" + n), Fail(n));
}
Print(Keep(1, 2, 3), Keep(4, 5, 6));
Print(Run(4));

//== events posted by a handler run between the statements of a deep recursion
// expect: end
// expect output: event 4 4
// expect output: later 4 3
// expect output: event 3 3
// expect output: later 3 2
// expect output: event 2 2
// expect output: later 2 1
// expect output: event 1 1
// expect output: later 1 0
// expect output: 10
depth = 9;
Function Later(v) { Print("later", v, depth); }
Function Show(v) { Post(Later, v); Print("event", v, depth); }
Function Note(n) {
    Post(Show, n);
    Return n;
}
Function Deep(n) {
    depth = n;
    If (n == 0) Return 0;
    Var k = Note(n) + Deep(n - 1);
    depth = -n;
    Return k;
}
Print(Deep(4));

//== a name that holds nothing given as an argument fails after the argument, in a call of a known callee too
// expect: error 41 line 7 column 39
Function Add(a, b) {
    Var s = a;
    Return s + b;
}
Function Twice(n) {
    If (n > 1) Return Add(n, (nothing));
    Return Add(Twice(n + 1), n);
}
Print(Twice(0));

//== a recursion whose slots fill more than one stretch of the slot stack returns through them all
// expect: end
// expect output: 180302 20 4
Function Walk(n, a, b) {
    Var c = a + b;
    Var d = c - a;
    Var e = d * 2;
    Var f = e - d;
    Var g = f + 0;
    Var h = g;
    If (n == 0) Return h;
    Var k = Walk(n - 1, b, a) + n;
    Return k + h - g;
}
Print(Walk(600, 1, 2), Walk(0, 7, 20), Walk(1, 3, 1) - Walk(0, 0, 0));

//== a callee that returns from inside its loops leaves the caller's blocks as they were
// expect: end
// expect output: 1222 4
Function Inner(n) {
    Var i;
    Var s = 0;
    For (i = 0; i < n; i++) {
        {
            If (i == 2) Return s;
        }
        s = s + i;
    }
    Return s;
}
total = 0;
For (k = 0; k < 4; k++) {
    While (1) {
        total = total * 10 + Inner(k + 1);
        If (k < 9) Break;
    }
    {
        total = total + 1;
    }
}
Print(total, k);

//== a callee looks names up in its own scopes: its caller's locals stay hidden, its This is its own
// expect: end
// expect output: 923 5 12 6
g = 5;
Function Show(k) { Return k + g; }
Function Twice(k) { Return k * 2; }
Function Get() { Return This.v + Show(0); }
Function Holder(v) { This.v = v; This.Get = Get; }
Function Caller(n) {
    Var s = 0;
    If (n > 0) {
        Var g = 100;
        Var i;
        For (i = 0; i < 3; i++) s = s + Show(i) + Twice(g) + g;
    }
    Return s + Show(0);
}
h = New Holder(7);
Print(Caller(1), Caller(0), h.Get(), Show(1));

//== an error inside a callee that reads no name stands at its token, under calls of all kinds
// expect: error 111 line 8 column 17
// expect output: 2 3 8
g = 3;
Function Get() { Return This.v + Div(This.v, g); }
Function Holder(v) { This.v = v; This.Get = Get; }
Function Div(a, b) {
    Var c = a;
    Return c / b;
}
Function Down(n, b) {
    If (n == 0) Return Div(n, b);
    Return Down(n - 1, b) + 1;
}
h = New Holder(6);
Print(Down(2, 1), Div(9, g), h.Get());
g = 0;
Print(h.Get());

//== an error inside a callee that reads names stands at its token
// expect: error 41 line 2 column 39
Function Named(k) { Return k + missing; }
Function Down(n) {
    If (n == 0) Return Named(n);
    Return Down(n - 1) + 1;
}
Print(Down(3));

//== runaway recursion in compiled calls ends with error 15 at the call, with an error handler set too
// expect: error 15 line 6 column 48
// expect output: before 4
Function Caught(code, text, unit, line, column) { Print("caught", code, line, column); }
Program.OnError = Caught;
g = 4;
Function Runaway(n) { Return 1 + Runaway(n + 1); }
Function Show(k) { Return k + g; }
Print("before", Show(0));
x = Runaway(0);
Print("after", x);

//== a function variable given another function between two calls of the same site
// expect: end
// expect output: 125845
g = 3;
Function One(x) { Return x + 1; }
Function Two(x) { Return x * g; }
Function Walked(x) {
    If (x > 0) { Var w = x; Return w - 100; }
    Return 0;
}
Function Run() {
    Var s = 0;
    Var i;
    For (i = 0; i < 6; i++) {
        s = s * 10 + Step(i);
        If (i == 1) Step = Two;
        If (i == 3) Step = Walked;
    }
    Return s;
}
Step = One;
Print(Run());

//== events posted in an argument run between the statements of the callee
// expect: end
// expect output: event 1 2
// expect output: event 10 12
// expect output: 9 12
g = 1;
Function Later(v) { g = g + v; Print("event", v, g); }
Function Work(n, ignored) {
    Var a = n + 1;
    Var b = a * 2;
    Return a + b;
}
Function Names(n, ignored) {
    Var a = n + g;
    Return a;
}
Function Go(n) { Return Work(n, Post(Later, n)) + Names(n, Post(Later, 10)); }
Print(Go(1), g);

//== "++" on a name that no scope has fails in a callee that reads names, after calls that counted a global
// expect: error 41 line 4 column 28
// expect output: 3
Function Count(n) { calls++; If (n <= 0) Return calls; Return Count(n - 1); }
Function Lost() { unknown++; Return 1; }
calls = 0;
Print(Count(2));
Print(Lost());

//== a call site finds its name in This or in the globals as This changes, and sees a member given another function or added later
// expect: end
// expect output: |10,0|11,2|12,4
// expect output: |10,0|11,3|12,6
// expect output: |0,0|3,3|6,6
Function Pick(x) { Return x + 10; }
Function Double(x) { Return x * 2; }
Function Triple(x) { Return x * 3; }
Function Use(x) { Return Pick(x); }
Function Grow() { This.Pick = Triple; }
Function Plain() { This.Use = Use; This.Grow = Grow; }
Function Own() { This.Use = Use; This.Pick = Double; }
Function Run(a, b) {
    Var s = "";
    Var i;
    For (i = 0; i < 3; i++) s = s + "|" + a.Use(i) + "," + b.Use(i);
    Return s;
}
a = New Plain();
b = New Own();
Print(Run(a, b));
b.Pick = Triple;
Print(Run(a, b));
a.Grow();
Print(Run(a, b));

//== a Var of a name the body assigned first makes a local that the next call does not see
// expect: end
// expect output: 3 6
// expect output: 3 8
total = 7;
Function Keep(n) {
    total = n;
    Var total = 3;
    Return total;
}
Print(Keep(6), total);
Print(Keep(8), total);

//== a callee that leaves nested blocks by Return gives its caller back the caller's own blocks
// expect: end
// expect output: 6 local
// expect output: global
// expect output: 8 local
// expect output: global
// expect output: 10 local
// expect output: global
// expect output: 10
t = "global";
Function Leave(n) {
    While (1) {
        If (n > 0) {
            For (; n < 100; n++) {
                If (n > 2) Return n * 2;
            }
        }
        n++;
    }
}
Function Caller(n) {
    Var r = 0;
    If (n > 0) {
        Var t = "local";
        r = Leave(n);
        Print(r, t);
    }
    Print(t);
    Return r;
}
Caller(1);
Caller(4);
Print(Caller(5));

//== a number statement whose callee runs in full calls it once, in the walk's order, also after the site's function changes
// expect: end
// expect output: 14227 4
g = 1;
Function Full(x) { g = g + 1; If (x > 2) Return x * 10; Return x; }
Function Quick(x) { Return x + 100; }
Function Run() {
    Var s = 0;
    Var i;
    For (i = 0; i < 5; i++) {
        s = s + g * 1000 + Step(i) + g;
        If (i == 2) Step = Quick;
    }
    Return s;
}
Step = Full;
Print(Run(), g);

//== a callee run in full from a number statement returns a double, then a text, which the statement's operator refuses
// expect: error 12 line 9 column 29
// expect output: 8 |
// expect output: 14.5 |
Function Kind(x) { If (x == 2) Return "t"; If (x == 1) Return 2.5; Return x + 3; }
Function Loop() {
    Var s = 0;
    Var i;
    For (i = 0; i < 3; i++) {
        s = s + Kind(i) * 3 - 1;
        Print(s, "|");
    }
    Return s;
}
Loop();

//== a division by zero inside a callee run in full from a number statement stands in the callee, on its second round
// expect: error 111 line 3 column 68
// expect output: 1
Function Div(x) { Var z = x - 1; If (z < 0) Return 1; Return 12 / z; }
Function Loop() {
    Var s = 0;
    Var i;
    For (i = 0; i < 3; i++) {
        s = s + Div(i) * 2 - s;
        Print(s / 2);
    }
    Return s;
}
Loop();

//== events posted by a callee run in full from a number statement run between the callee's statements, before the statement reads the global they change
// expect: end
// expect output: event 1
// expect output: event 2
// expect output: 34 3
Function Bump(v) { h = h + v; Print("event", v); }
Function Poster(x) { Post(Bump, x); Var y = x; Return y; }
Function Go() {
    Var s = 0;
    Var i;
    For (i = 1; i < 3; i++) s = s + Poster(i) * 10 + h;
    Return s;
}
h = 0;
Print(Go(), h);

//== a call site in a number statement finds its name in This or in the globals as This changes, and sees a member given another function or added later
// expect: end
// expect output: |10,0|11,2|12,4
// expect output: |10,0|11,3|12,6
// expect output: |0,0|3,3|6,6
Function Pick(x) { Return x + 10; }
Function Double(x) { Return x * 2; }
Function Triple(x) { Return x * 3; }
Function Use(x) {
    Var y = 0;
    y = y + Pick(x);
    Return y;
}
Function Grow() { This.Pick = Triple; }
Function Plain() { This.Use = Use; This.Grow = Grow; }
Function Own() { This.Use = Use; This.Pick = Double; }
Function Run(a, b) {
    Var s = "";
    Var i;
    For (i = 0; i < 3; i++) s = s + "|" + a.Use(i) + "," + b.Use(i);
    Return s;
}
a = New Plain();
b = New Own();
Print(Run(a, b));
b.Pick = Triple;
Print(Run(a, b));
a.Grow();
Print(Run(a, b));

//== calls waiting for their arguments keep them while a recursion hundreds of levels deep runs and ends, twice
// expect: end
// expect output: 245350 245350 700
Function Add3(a, b, c) {
    Var s = a + b;
    Return s + c;
}
Function Down(n) {
    Var k = n;
    If (k == 0) Return 0;
    Return Add3(k, Down(k - 1), Add3(0, k - k, 0));
}
Function Count(n) {
    Var k = n;
    If (k == 0) Return 0;
    Return Add3(Count(k - 1), 1, 0);
}
Print(Down(700), Down(700), Count(700));
