//== a body that ends without Return, or with a bare Return, gives 0 in the caller's expression
// expect: end
// expect output: 10 10 0 0
Function Nothing(a) {
    Var t = a + 1;
}
Function Bare(a) {
    If (a > 0) Return;
    Return a;
}
Function Sum(n) {
    Var s = 10;
    Var i;
    For (i = 0; i < n; i++) s = s + Nothing(i) * 3 - Bare(i + 1);
    Return s;
}
Print(Sum(4), 10 + Nothing(2), Nothing(5), Bare(3));

//== texts, objects and doubles given back land in the caller's expression as they are
// expect: end
// expect output: ab1 7 2.5 ab1ab1
Function Text(a) { Return "ab" + a; }
Function Make(v) { This.v = v; }
Function MakeOne(v) { Return New Make(v); }
Function Half(a) { Return a / 2.0; }
Function Use(n) {
    Var o = MakeOne(n + 6);
    Return Text(n) + Text(n);
}
Print(Text(1), (MakeOne(7)).v, Half(5), Use(1));

//== a method that deletes its own object still gives its value to the expression that called it
// expect: end
// expect output: 13
Function Box(v) { This.v = v; This.Drop = Drop; }
Function Drop(k) {
    Var v = This.v;
    Delete This;
    Return v + k;
}
Function Run() {
    Var b = New Box(10);
    Return 1 + b.Drop(2);
}
Print(Run());

//== an error in a callee stands in the callee, after the caller's operands were read
// expect: error 12 line 6 column 19
// expect output: 3
Function Inner(a) {
    Var t = a + 1;
    If (a == 0) Return t;
    Return t * "x";
}
Function Outer(n) {
    Print(n + Inner(0) * 0 + 3);
    Return n + 2 * Inner(n + 1);
}
Print(Outer(0));

//== events wait for the end of a callee's statement, and the callee's value comes back after them
// expect: end
// expect output: event 1
// expect output: event 2
// expect output: 7
Function Show(v) { Print("event", v); }
Function Late(a) {
    Post(Show, a);
    Var t = a * 2;
    Post(Show, a + 1);
    Return t + 5;
}
Function Call() { Return Late(1); }
Print(Call());

//== a name bound to another function between calls is called as it is bound at each call
// expect: end
// expect output: 111
// expect output: 212
// expect output: 313
Function One(a) { Return a + 100; }
Function Two(a) { Return a + 200; }
Function Three(a) { Return a + 300; }
Function Each() {
    Var i;
    For (i = 0; i < 3; i++) {
        If (i == 1) Which = Two;
        If (i == 2) Which = Three;
        Print(Which(11 + i) * 1);
    }
}
Which = One;
Each();

//== a recursion with its results in expressions fails at the call nesting limit where the walk does
// expect: error 15 line 2 column 64
Function Deep(n) { If (n == 0) Return 0; Return 1 + Deep(n - 1); }
Function Start() { Return Deep(100) + Deep(1000000); }
Print(Start());

//== an error deep in a recursion of compiled calls stands in the callee at that depth
// expect: error 12 line 5 column 33
// expect output: 299
Function Down(n) {
    If (n == 300) Print(n - 1);
    If (n == 300) Return n * "x";
    Return 1 + Down(n + 1);
}
Print(Down(0));

//== an event posted deep in a recursion runs after the callee's statement, its handler recursing on its own
// expect: end
// expect output: event 250 15
// expect output: 500
Function Count(n) { If (n == 0) Return 0; Return 1 + Count(n - 1); }
Function Show(v) { Print("event", v, Count(15)); }
Function Down(n) {
    If (n == 250) Post(Show, n);
    If (n == 0) Return 0;
    Return 1 + Down(n - 1);
}
Print(Down(500));

//== texts, nothing and doubles come back up through every level of a deep recursion
// expect: end
// expect output: x200 0 2.5 x200x200
Function Text(n) { If (n == 0) Return "x" + 200; Return Text(n - 1); }
Function Bare(n) { If (n == 0) Return; Return Bare(n - 1); }
Function Half(n) { If (n == 0) Return 5 / 2.0; Return Half(n - 1); }
Function Twice(n) { If (n == 0) Return Text(n); Return Twice(n - 1) + ""; }
Print(Text(300), Bare(300), Half(300), Twice(250) + Text(3));

//== a slot that adds a call's value on every level of a recursion deeper than a segment of slots, or that takes a text from a level, comes out as the steps leave it
// expect: end
// expect output: 2701 010101010101010101010101010101010101010101010101010101010101x
Function Sum(n, t) {
    Var a = n % 5;
    Var b = a + 1;
    Var total = b;
    If (n == 0) Return total;
    total = total + Sum(n - 1, t);
    Return total;
}
Function Mixed(n, t) {
    Var a = n % 2;
    Var total = a;
    If (n == 0) Return t;
    total = total + Mixed(n - 1, t);
    Return total;
}
Print(Sum(900, "x"), Mixed(60, "x"));

//== a call without arguments fails at the nesting limit where the walk does, its value in an expression
// expect: error 15 line 2 column 38
Function Again() { Return 1 + Again(); }
Function Go() { Return 2 * Again(); }
Print(Go());

//== a call without arguments of a name that holds no function fails at its name
// expect: error 128 line 3 column 40
Which = 3;
Function Try() { Var t = 1; Return t + Which(); }
Print(Try());

//== a call without arguments runs again after its name was bound to another function
// expect: end
// expect output: 1
// expect output: 3
// expect output: event 3
// expect output: 2
Function First() { Return 1; }
Function Second() { Var t = 2; Return t; }
Function Third() { Post(Show, 3); Var t = 0; Return t; }
Function Show(v) { Print("event", v); }
Function Each() {
    Var i;
    For (i = 0; i < 3; i++) {
        If (i == 1) Pick = Second;
        If (i == 2) Pick = Third;
        Print(Pick() + i);
    }
}
Pick = First;
Each();

//== arguments of a slot and an integer whose result is no integer, or whose slot holds no integer, give what the walk gives
// expect: error 111 line 10 column 36
// expect output: 2 1.5 ab1 10 1 0
// expect output: 3 2 4 12 0 1
Function Id(a) { Return a; }
Function Args(n, d, t) {
    Print(Id(n / 2), Id(d - 1), Id(t + 1), Id(n << 1), Id(n == 5), Id(n % 5));
}
Args(5, 2.5, "ab");
Args(6, 3, 3);
Function Fails(n) { Return Id(n % 0); }
Print(Fails(4));

//== a call of slots and integers finds the function its name holds and the kinds its arguments hold at each call
// expect: end
// expect output: 111
// expect output: 212
// expect output: 12x200
Function One(a, b) { Return a + b + 100; }
Function Two(a, b) { Return a + b + 200; }
Function Each() {
    Var i;
    Var v = 1;
    For (i = 0; i < 3; i++) {
        If (i == 1) Which = Two;
        If (i == 2) v = "x";
        Print(Which(i + 10, v));
    }
}
Which = One;
Each();

//== a name that no scope has becomes a new array by an element assignment of a call's value
// expect: end
// expect output: 6 1 2
Function R(n) { If (n <= 0) Return 1; Return n + R(n - 1); }
Function F(p) { x0[(-2) & 3] = R(3) - p; Return x0[2]; }
Function G(p) { x1[2] = R(p) - p; Return x1[2]; }
Function H(p) { x2[2] = R(p); Return x2[2]; }
Print(F(1), G(1), H(1));

//== a Var of a number value at the top of a body takes texts and objects by its own steps, and fails where the walk does
// expect: error 12 line 7 column 19
// expect output: 6 0 ab1 2.5 3 3
// expect output: 1 1
Function Obj(v) { This.v = v; }
Function F(x, y) {
    Var m = x + y;
    Var n = (m * 2) % 7;
    Return n;
}
Function G(x) {
    Var m = x + 1;
    Return m;
}
Function Main() {
    Var o = New Obj(2);
    Var t = "ab";
    Print(F(1, 2), F(2.5, 1), G(t), G(1.5), F(3, o.v), G(o.v));
    Delete o;
    Print(G(o), F(o, 4));
    Return F(1, 0) + F(t, 1);
}
Print(Main());

//== a Var whose number value fails on an operator fails where the walk does, after the calls before it
// expect: error 111 line 3 column 18
Function H(x, y) {
    Var q = x / y;
    Var r = q * 2;
    Return r;
}
Function Main() {
    Var i;
    Var s = 0;
    For (i = 3; i >= 0; i--) s = s + H(12, i);
    Return s;
}
Print(Main());

//== names bound by their assignment, texts and objects are arguments of calls made in one step
// expect: end
// expect output: v122 k1
// expect output: v11222 k01
// expect output: v21422 k017
Function P(x, y) { Return x * 10 + y; }
Function Name(o, t) { Return t + o.v; }
Function Box(v) { This.v = v; }
Function Q(n) {
    Var a;
    Var b;
    Var o;
    Var t;
    a = P(n, 1);
    b = P(a, 2);
    o = New Box(a);
    t = "v";
    Return Name(o, t) + P(a, b);
}
Function Main() {
    Var i;
    Var o = New Box(1);
    Var t = "k";
    For (i = 0; i < 3; i++) {
        Print(Q(i), Name(o, t));
        If (i == 1) o = New Box(7);
        t = t + i;
    }
}
Main();

//== elements passed to a function are read as they are at each call, a deleted object's as 0
// expect: end
// expect output: 18 2.5 t
// expect output: 0 0 17
Function Obj(v) { This.v = v; }
Function Get(o, k) { Return o.v + k; }
Function Id(x) { Return x; }
Function Run() {
    Var i;
    Var s = 0;
    items[0] = New Obj(5);
    items[1] = New Obj(10);
    items[2] = 2.5;
    items[3] = "t";
    For (i = 0; i < 2; i++) s = s + Get(items[i], (i * 3) % 5);
    Print(s, Id(items[i]), Id(items[(s / 10) % 4 + 2]));
    Delete items[1];
    Print(Id(items[1]), Id(items[i * 2 - 3]), Get(items[0], i + s - 8));
}
Run();

//== an array replaced by a shorter one between calls fails at an element past its end
// expect: error 41 line 8 column 30
// expect output: 6
Function Id(x) { Return x; }
Function Run() {
    Var i;
    Var s = 0;
    For (i = 0; i < 5; i++) {
        s = s + Id(row[i % 5]);
        If (i == 2) {
            Print(s);
            row = tiny;
        }
    }
    Return s;
}
row[0] = 0;
For (n = 0; n < 5; n++) row[n] = n * 2;
tiny[0] = 7;
Print(Run());

//== a recursion that counts its calls in a global counts there at every level, in This's member on an object that has one
// expect: end
// expect output: 3 137 0
// expect output: 3 142 137
Function Tak(x, y, z) {
    Var a;
    Var b;
    Var c;
    calls++;
    If (y >= x) Return z;
    a = Tak(x - 1, y, z);
    b = Tak(y - 1, z, x);
    c = Tak(z - 1, x, y);
    Return Tak(a, b, c);
}
Function Count() { Return calls; }
Function Own() {
    Var calls = 0;
    Print(Tak(8, 4, 2), Count(), calls);
}
Function Holder() { This.calls = 5; This.Run = Run; }
Function Run() { Return Tak(8, 4, 2); }
calls = 0;
Own();
h = New Holder();
Print(h.Run(), h.calls, calls);

//== a name read at every level of a recursion finds the global as it is at each run, or This's member of that name
// expect: end
// expect output: 40
// expect output: 80
// expect output: 20
// expect output: ttt0
Function Level(n) { If (n == 0) Return 0; Return late + Level(n - 1); }
Function Obj(v) { This.late = v; This.Go = Go; }
Function Go(n) { Return Level(n); }
late = 1;
Print(Level(40));
Print((New Obj(2)).Go(40));
late = 0.5;
Print(Level(40));
late = "t";
Print(Level(3));

//== a name read deep in a recursion is not one of a caller's locals, made after its first calls
// expect: error 41 line 4 column 44
// expect output: 12
Function Level(n, read) {
    If (n == 0 && read == 1) Return kept[0];
    If (n == 0) Return 1;
    Return Level(n - 1, read);
}
Function Make() {
    Var r = Level(10, 0) + 5;
    kept[0] = r;
    Print(r + kept[0]);
    Return Level(30, 1);
}
Print(Make());

//== a recursion that steps a global at every level fails at the call nesting limit where the walk does
// expect: error 15 line 2 column 51
Function Down(n) { depth++; Return 1 + Down(n + 1); }
depth = 0;
Print(Down(0));

//== a recursion's results bound to a name go to the global or This's member of that name once there is one
// expect: end
// expect output: 3
// expect output: 4 7
// expect output: 4 7 1
Function Tak(x, y, z) {
    If (y >= x) Return z;
    a = Tak(x - 1, y, z);
    b = Tak(y - 1, z, x);
    c = Tak(z - 1, x, y);
    Return Tak(a, b, c);
}
Function Holder() { This.b = 0; This.Run = Run; }
Function Run() { Return Tak(8, 4, 2); }
Print(Tak(8, 4, 2));
b = 1;
Print(Tak(8, 4, 2), b);
b = 1;
h = New Holder();
Print(h.Run(), h.b, b);

//== a call in one step reaches a body with locals of its own, one answered from its Return, and a global rebound between them
// expect: end
// expect output: 9 9
// expect output: 13 13
Function Pair(x, y) {
    v[0] = x;
    v[1] = y;
    Return v[0] * 2 + v[1];
}
Function Twice(x, y) { Return x * 2 + y; }
Function Run(a, b) {
    Var r;
    r = Call(a, b);
    Return r;
}
Call = Pair;
Print(Run(3, 3), Call(3, 3));
Call = Twice;
Print(Run(5, 3), Call(5, 3));

//== a failing argument of a call in one step stops it before the callee runs
// expect: error 111 line 4 column 50
// expect output: 4
Function Add(x, y) { entered = 1; Return x + y; }
Function Run(a, t) { Return Add(a, t) + Add(a / t, 1); }
entered = 0;
Print(Run(1, 1));
entered = 0;
Print(Run(2, 0), entered);

//== a call in one step takes a loop's counter joined to an integer, and the full steps one that holds no integer
// expect: error 111 line 17 column 21
// expect output: 15
// expect output: t1
// expect output: 1.5
Function Add(x, y) { Return x + y; }
Function Mix(x, y) { If (x > y) Return x - y; Return y - x; }
Function Run() {
    Var i;
    Var s = 0;
    For (i = 0; i < 4; i++) s = s + Mix(i % 3, i * 2) + Add(i - 1, 1);
    Print(s);
    i = "t";
    Print(Add(i + 1, ""));
    i = 0.5;
    Print(Add(i * 3, 0));
    i = 2;
    Return Add(i / 0, 1);
}
Run();

//== a call in one step whose argument holds an array goes the full way, and in one step again once it holds a number
// expect: end
// expect output: 2840
Function Pick(v, k) {
    If (k < 20) Return v[0] + k;
    Return v + k;
}
Function Run() {
    Var i;
    Var s = 0;
    w[0] = 3;
    For (i = 0; i < 40; i++) {
        If (i == 20) w = 100;
        s = s + Pick(w, i);
    }
    Return s;
}
Print(Run());

//== calls whose arguments are calls, answered from their Return or run in full, give what the walk gives
// expect: end
// expect output: 27819
Function Add(a, b) { Return a + b; }
Function Mul(a, b) { Return a * b; }
Function Max(a, b) {
    If (a > b) Return a;
    Return b;
}
Function Min(a, b) {
    If (a < b) Return a;
    Return b;
}
Function Run() {
    Var s = 0;
    Var i;
    For (i = 0; i < 300; i++)
        s = Add(s, Min(Mul(i % 100, 3), Max(Add(i % 7, 50), Mul(i % 13, 20)))) % 1000003;
    Return s;
}
Print(Run());

//== a call in the arguments that binds the outer call's name to another function leaves that call to the function its name held
// expect: end
// expect output: 7 12 9
Function Add(a, b) { Return a + b; }
Function Mul(a, b) { Return a * b; }
Function Max(a, b) {
    If (a > b) Return a;
    Return b;
}
Function Flip(a) {
    Add = Mul;
    Return a;
}
Function Run() {
    Var s = Add(3, Max(1, Flip(4)));
    Return s;
}
Print(Run(), Add(3, 4), Max(Add(2, 1), Mul(3, 3)));

//== an error in a call inside another's arguments stands in that callee, after the calls before it
// expect: error 12 line 7 column 31
// expect output: side 0
// expect output: side 1
// expect output: side 2
Function Add(a, b) { Return a + b; }
Function Bad(a) {
    If (a == 2) Return a * "x";
    Return a;
}
Function Side(a) {
    Print("side", a);
    Return a;
}
Function Run() {
    Var i;
    Var s = 0;
    For (i = 0; i < 4; i++) s = Add(Add(s, i), Bad(Side(i)));
    Return s;
}
Print(Run());

//== a recursion through calls in arguments fails at the call nesting limit where the walk does
// expect: error 15 line 5 column 29
Function Add(a, b) { Return a + b; }
Function Rec(n) {
    If (n <= 0) Return 0;
    Return Add(1, Rec(n - 1));
}
Print(Rec(10), Rec(1000000));

//== calls inside arguments made before and after a deep recursion, by every other level or all, find their callees' values
// expect: end
// expect output: 651 25
Function Id(v) {
    If (v < 0) Return 0;
    Return v;
}
Function Pair(a, b) {
    Var s = a + b;
    Return s;
}
Function Down(n) {
    If (n == 0) Return 1;
    Var u = 0;
    If (n % 2 == 0) u = Pair(Id(n), 1);
    Var t = Down(n - 1);
    Return (t + u + Pair(Id(n), Id(t))) % 1000;
}
Print(Down(700), Down(3));

//== an error deep in a recursion whose levels made calls inside arguments on the way down stands where it was raised, and the next run of the calls finds them again
// expect: error 121 line 14 column 30
// expect output: 8 9
Function Id(v) {
    If (v < 0) Return 0;
    Return v;
}
Function Pair(a, b) {
    Var s = a + b;
    Return s;
}
Function Down(n, stop) {
    If (n == 0) Return 1;
    If (n % 3 == 0) Var u = Pair(Id(n), 1);
    If (n == stop) Raise(121);
    Return Pair(Id(1), Down(n - 1, stop) * 0) + Pair(0, Id(n % 10));
}
Print(Down(7, -1), Down(598, -1));
Print(Down(600, 300));

//== a call answered from its callee's Return wraps integers as the callee does and calls what the name holds at each call
// expect: end
// expect output: -2 -2147483648 5 -7
Function Mul(a, b) { Return a * b; }
Function Sub(a, b) { Return a - b; }
Op = Mul;
Function Run() {
    Var i;
    Var s = 0;
    Var t;
    For (i = 0; i < 4; i++) {
        t = Op(i % 3, 4);
        s = s + t;
        If (i == 1) Op = Sub;
    }
    Print(s, Mul(65536, 32768), Mul(2.5, 2), Mul(7, -1));
}
Run();

//== a divisor of zero in a callee answered from its Return fails in the callee, after the calls before it
// expect: error 111 line 4 column 34
// expect output: 4 2
// expect output: 8 1
Function Div(a, b) { Return a / b; }
Function Run() {
    Var i;
    Var q;
    For (i = 2; i >= 0; i--) {
        q = Div(8, i % 3);
        Print(q, i);
    }
}
Run();
