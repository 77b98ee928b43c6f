//== statements on numbers mix integers and doubles as the operators do
// expect: end
// expect output: 4/0.5/3.75/-53 4.375/1.75/2.25/-22 2/1.75/7.75/-119
Function Mix(a, b) {
    Var s = 0;
    s = a * 2 + b / 4;
    Var t = a;
    t += b;
    t *= 0.5;
    t %= 2;
    Var u = b;
    u++;
    u -= 0.25;
    Var k = 0;
    k = (a < b) + (a == 2.0) * 2 + (b && 0.5) * 4 + !(a - a) * 8 + ~b * 16;
    Return s + "/" + t + "/" + u + "/" + k;
}
Print(Mix(2, 3), Mix(2.0, 1.5), Mix(0.5, 7));

//== integers at their edges wrap, and doubles past them turn to the lowest integer
// expect: end
// expect output: -2147483648 0 -2147483642
Function Edges(n) {
    Var low = 1 << 31;
    Var q = 0;
    q = low / -1;
    Var r = 0;
    r = low % -1;
    Var big = n;
    Var i;
    For (i = 0; i < 40; i++) big = big * big;
    Var odd = big - big;
    Var bits = 0;
    bits = (big | 0) + (odd == odd) + (odd != odd) * 2 + (odd && 1) * 4;
    Return q + " " + r + " " + bits;
}
Print(Edges(10.0));

//== a division by zero in a compound assignment fails at its operator
// expect: error 111 line 5 column 11
// expect output: 2.5
Function Share(a, b) {
    Var q = a;
    q /= b;
    Return q;
}
Print(Share(5, 2.0));
Print(Share(5, 0.0));

//== a text met by a statement on numbers fails where the walk fails
// expect: error 12 line 5 column 18
// expect output: 3.5
Function Scale(a, b) {
    Var s = 0;
    s = 1 + a * b;
    Return s;
}
Print(Scale(2, 1.25));
Print(Scale(2, "x"));

//== For steps and conditions on doubles end the loop where the walk ends it
// expect: end
// expect output: 8 0.75 5 2 0.5 3
Function Steps(limit) {
    Var n = 0;
    Var x;
    For (x = 0.5; x < limit; x++) n += x;
    Var y = limit;
    While (y) y = y - 0.5;
    Var m = 0;
    For (x = 0; x < limit; x += 0.75) m++;
    Return n + " " + y + " " + m;
}
Print(Steps(3.75), Steps(2));

//== an event posted before a call runs after the call's first statement, whose global it changes
// expect: end
// expect output: 0 3 0.5
Function Change() {
    g = 0.5;
}
Function Sum() {
    Var s = g;
    s = s + g * 2;
    s = s + g * 2;
    Return s;
}
g = 1;
Print(Post(Change), Sum(), g);

//== a statement that met a double still works integers out as integers
// expect: end
// expect output: 0,0.75,1,0.75,1,
Function Alternate() {
    Var text = "";
    Var x = 0;
    Var s = 0;
    Var i;
    For (i = 0; i < 5; i++) {
        s = x * 2 / 4;
        text = text + s + ",";
        If ((i % 2) == 0) x = 1.5;
        Else x = 3;
    }
    Return text;
}
Print(Alternate());

//== integers wrap and divide as the walk makes them, round after round
// expect: end
// expect output: -2147483648/0/-2147483647/-4539 -2147483648/0/-2147483647/-4540
Function Wrap(n) {
    Var low = 0;
    Var q = 0;
    Var r = 0;
    Var w = 0;
    Var i;
    For (i = 0; i < n; i++) {
        low = 1 << 31;
        q = low / -1;
        r = (low + i) % -1;
        w = (low - 1) * 3 + (low + i) * (low - i) + 2147483000 * 7;
    }
    Return q + "/" + r + "/" + (low + 1) + "/" + w;
}
Print(Wrap(1), Wrap(2));

//== a variable that turns into a double on a later round is worked out with doubles from then on
// expect: end
// expect output: 1;4;8.5;25.5;76;
Function Later() {
    Var text = "";
    Var x = 1;
    Var i;
    For (i = 0; i < 5; i++) {
        text = text + x + ";";
        If (i == 1) x = 2.5;
        x = x * 3 % 7 + (x < 2.75) - (i > 2) * 0.5;
    }
    Return text;
}
Print(Later());

//== a variable that turns into a text between rounds fails where the walk fails
// expect: error 12 line 7 column 25
// expect output: 4
Function Turns() {
    Var x = 1;
    Var i;
    For (i = 0; i < 3; i++) {
        x = (x + 1) * 2 - i * 3;
        If (i == 0) Print(x);
        If (i == 0) x = "a";
    }
    Return x;
}
Print(Turns());

//== a division by zero deep inside an expression fails where the walk fails, with nothing assigned
// expect: error 111 line 9 column 39
// expect output: 7 7
// expect output: 7 7
Function Deep(z) {
    Var s = 7;
    Var i;
    For (i = 0; i < 2; i++) {
        Print(s, s);
        s = s + (3 * (i + 1) % (z - i)) * 2;
    }
    Return s;
}
Print(Deep(1));

//== names read by number statements follow the globals as they change kind
// expect: end
// expect output: 4 11 24 42
g = 1;
h = 2;
Function Grow(i) {
    If (i == 2) g = 0.5;
    If (i == 3) g = 7;
    h = h + 1;
}
Function Sum(n) {
    Var s = 0;
    Var i;
    For (i = 0; i < n; i++) {
        s = s + g * 2 + h;
        Grow(i);
    }
    Return s;
}
Print(Sum(1), Sum(2), Sum(3), Sum(4));

//== a global read by a number statement that turns into a text fails at its read
// expect: error 12 line 8 column 22
// expect output: 4
g = 1;
Function Turn(n) {
    Var s = 0;
    Var i;
    For (i = 0; i < n; i++) {
        s = s + g * 2;
        If (i == 1) g = "x";
    }
    Return s;
}
Print(Turn(2));
Print(Turn(3));

//== a name read by number code is looked up again under another object as This
// expect: end
// expect output: 21 7 21 7 23
k = 3;
Function Twice() {
    Var s = 0;
    s = k * 2 + 1;
    Return s;
}
Function Holder(k) {
    This.k = k;
    This.Twice = Twice;
}
Function Plain() {
    This.Twice = Twice;
}
h = New Holder(10);
p = New Plain();
q = New Holder(11);
Print(h.Twice(), p.Twice(), h.Twice(), Twice(), q.Twice());
