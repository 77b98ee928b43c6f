//== a Switch tries its cases in order up to the first that matches, then falls through the labels
// expect: end
// expect output: 1
// expect output: 2
// expect output: two default three
// expect output: 1
// expect output: 2
// expect output: 3
// expect output: default three
Function Seen(v) {
    Print(v);
    Return v;
}
Function Pick(v) {
    s = "";
    Switch (v) {
        Case Seen(1):
            s = s + "one ";
        Case Seen(2):
            s = s + "two ";
        Default:
            s = s + "default ";
        Case Seen(3):
            s = s + "three";
    }
    Return s;
}
Print(Pick(2));
Print(Pick(9));

//== a Switch's selector that names nothing fails where its copy is taken
// expect: error 41 line 3 column 22
Function F() {
    Switch (nothing) {
        Case 1:
            Return 1;
    }
    Return 0;
}
F();

//== a Case whose value fails stops the Switch there
// expect: error 111 line 7 column 22
// expect output: 5
Function F(v) {
    Switch (v) {
        Case 1:
            Return 1;
        Case Seen(v) / 0:
            Return 2;
    }
    Return 0;
}
Function Seen(v) {
    Print(v);
    Return v;
}
F(5);

//== Continue in a Switch of a compiled function fails where it stands
// expect: error 26 line 7 column 21
Function F(v) {
    For (i = 0; i < 3; i++) {
        {
            Switch (i) {
                Case 1:
                    Continue;
            }
        }
    }
    Return 0;
}
F(5);

//== Break with no loop in a function fails where it stands
// expect: error 25 line 5 column 9
Function F(v) {
    {
        v = v + 1;
        Break;
    }
    Return v;
}
F(5);

//== events posted by a top-level loop run between its statements
// expect: end
// expect output: event 0
// expect output: post 0
// expect output: event 1
// expect output: post 2
// expect output: event 2
// expect output: post 4
// expect output: event 11
// expect output: end 0
Function H(a) {
    Print("event", a);
}
For (i = 0; i < 3; i++) {
    Post(H, i);
    n = i * 2;
    Print("post", n);
}
While (i > 0) {
    i--;
    If (i == 1) Post(H, 10 + i);
}
Print("end", i);

//== a handler's parameters and Vars are globals while it runs, its Return value is dropped
// expect: end
// expect output: 12
// expect output: k 0 2
// expect output: k 1 2
// expect output: 23
// expect output: 56
Function Show() {
    Return a * 10 + v;
}
Function H(a) {
    Var v = a + 1;
    Print(Show());
    If (a > 1) Return 7;
    For (k = 0; k < 2; k++) Print("k", k, v);
}
Post(H, 1);
x = 0;
Post(H, 2);
x = 1;
a = 5;
v = 6;
Print(Show());

//== an error in a handler stands where the handler raised it
// expect: error 111 line 4 column 14
Function H(a) {
    b = 1;
    c = b / a;
}
Post(H, 0);
x = 0;

//== a Var in a top-level block is gone when the block ends
// expect: error 41 line 7
// expect output: 1
{
    Var t = 1;
    Print(t);
}
Print(t);

//== top-level statements the compiler leaves to the walk, between compiled ones
// expect: end
// expect output: 6 8
// expect output: big
// expect output: 0
// expect output: 1
Function Obj(x) {
    This.x = x;
}
o = New Obj(3);
s = 0;
For (i = 0; i < 3; i++) {
    o.x = o.x + i;
    s = i + o.x;
}
Print(o.x, s);
If (o.x > 2) Print("big");
For (i = 0; i < 2; i++) Print(i);

//== an argument that names nothing fails after it, in compiled code too
// expect: error 41 line 4 column 23
Function F(a, b) { Return a; }
Function G() {
    Return F((nothing), 1);
}
G();

//== the walk takes over inside a top-level loop and a handler's Switch, with their blocks as they stand
// expect: end
// expect output: other 0
// expect output: handler 3
// expect output: other 2
// expect output: 11 3
Function Obj(x) {
    This.x = x;
}
Function H(a) {
    Switch (a) {
        Case 1:
            n = 0;
            While (n < 5) {
                n++;
                If (o.x > n) Continue;
                Break;
            }
            Print("handler", n);
            Break;
        Default:
            Print("other", a);
    }
}
o = New Obj(3);
s = 0;
For (i = 0; i < 4; i++) {
    s = s + i;
    If (o.x == i) Break;
    Post(H, i);
    s = s * 2;
}
Print(s, i);

//== a top-level If whose condition the walk works out goes on compiled in the branch it takes
// expect: end
// expect output: small 0
// expect output: big 1
// expect output: big 2
// expect output: 2 big
Function Obj(x) {
    This.x = x;
}
Function One(v) {
    Return v - v + 1;
}
o = New Obj(1);
n = 0;
For (i = 0; i < 3; i++) {
    If ((o.x + One(i)) * (1) > i + 1) Print("small", i);
    Else If (o.x > 5) Print("never");
    Else {
        n = i;
        Print("big", n);
    }
}
If (o.x) t = "big";
Print(n, t);
