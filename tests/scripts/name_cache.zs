//== a local made after a name was read as a global hides the global from then on
// expect: end
// expect output: 1122
g = 1;
Function Read() {
    seen = "";
    For (i = 0; i < 4; i++) {
        If (i == 2) Var g = 2;
        seen = seen + g;
    }
    Return seen;
}
Print(Read());

//== a Var in a nested block hides the outer name only until the block ends
// expect: end
// expect output: 10 20
// expect output: 10 20
// expect output: 10
x = 10;
Function Nested() {
    inner = 0;
    For (i = 0; i < 2; i++) {
        {
            Var x = 20;
            inner = x;
        }
        Print(x, inner);
    }
    Print(x);
}
Nested();

//== a name dropped at its block end is unassigned again where it was read before
// expect: error 41 line 6 column 22
// expect output: 0 5
For (i = 0; i < 2; i++) {
    {
        If (i == 0) gone = 5;
        Print(i, gone);
    }
}

//== each recursion level reads its own parameter and locals
// expect: end
// expect output: 3210123
trace = "";
Function Walk(n) {
    Var mine = n;
    trace = trace + mine;
    If (n > 0) {
        Walk(n - 1);
        trace = trace + mine;
    }
}
Walk(3);
Print(trace);

//== This changes between calls of the same method, and members come before globals
// expect: end
// expect output: a b global a
name = "global";
Function Thing(n) { This.name = n; This.Show = Show; }
Function Show() { Return name; }
a = New Thing("a");
b = New Thing("b");
Print(a.Show(), b.Show(), Show(), a.Show());

//== a member added after a method read the global of its name hides the global
// expect: end
// expect output: global member
label = "global";
Function Holder() { This.Read = ReadLabel; This.Add = AddLabel; }
Function ReadLabel() { Return label; }
Function AddLabel() { This.label = "member"; }
h = New Holder();
first = h.Read();
h.Add();
Print(first, h.Read());

//== a global made after a name was read as a block local is found by the same name
// expect: end
// expect output: 1
// expect output: 7
Function MakeGlobal() { This.made = 7; }
Function Probe() {
    For (i = 0; i < 2; i++) {
        {
            If (i == 0) Var made = 1;
            Else MakeGlobal();
            Print(made);
        }
    }
}
Probe();

//== a called name finds the member of each This, and a member added later, before the global
// expect: end
// expect output: global mine global
// expect output: added
Function Helper() { Return "global"; }
Function Mine() { Return "mine"; }
Function Added() { Return "added"; }
Function Caller() { Return Helper(); }
Function Plain() { This.Call = Caller; }
Function Special() { This.Call = Caller; This.Helper = Mine; }
p = New Plain();
s = New Special();
Print(p.Call(), s.Call(), p.Call());
p.Helper = Added;
Print(p.Call());

//== one member name read on different objects, and a member made where the name found none
// expect: end
// expect output: 6 2 3
Function Obj(v) { This.v = v; }
objs[0] = New Obj(1);
objs[1] = New Obj(2);
total = 0;
For (i = 0; i < 4; i++) {
    o = objs[i % 2];
    total = total + o.v;
    o.w = i;
}
Print(total, objs[0].w, objs[1].w);

//== number statements run again read the variables the scopes hold at that moment
// expect: end
// expect output: 16 36 5
g = 1.5;
k = 1;
Function Numbers() {
    r = 0.0;
    s = 0;
    For (i = 0; i < 4; i++) {
        If (i == 2) Var g = 2.5;
        If (i == 2) Var k = 5;
        r = r + g * 2.0;
        s = s + k * 3;
    }
    Print(r, s, Sum(4));
}
Function Sum(n) {
    If (n == 0) Return 0.0;
    h = n * 0.5;
    t = Sum(n - 1);
    h = h + t * 1.0;
    Return h;
}
Numbers();

//== a member a called function gives This hides the global the caller was reading
// expect: end
// expect output: 1110 10
x = 1;
Function Thing() { }
Function Helper() { This.x = 10; n = 3; }
Function Method() {
    s = "";
    For (i = 0; i < 3; i++) {
        s = s + x;
        If (i == 1) Helper();
    }
    Print(s, x);
}
o = New Thing();
o.Method = Method;
o.Method();
