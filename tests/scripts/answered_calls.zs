//== calls answered from their Return take their arguments in order, of every kind
// expect: end
// expect output: 10 5 1.5 7 x11
Function Three(x, y, z) { Return x + y - z; }
Function Z() { Return 1; }
Function Sum(n) {
    Var s = 0;
    Var i;
    For (i = 0; i < n; i++) s = s + Three(i, 2, i) * Z();
    Return s;
}
Function Mixed(a) {
    Var s = 0;
    s = s + Three(a, 2, 1);
    Return s;
}
Function Nested(a) {
    Var s = Z();
    s = Three(Three(a, s, 1), Z() + 1, Z());
    Return s;
}
Print(Sum(5), Mixed(4), Mixed(0.5), Nested(6), "x" + Three(2, 0, 1) + Z());

//== a call's function replaced between rounds runs in full, and a text in its place fails
// expect: error 128 line 10 column 17
// expect output: loud 2
// expect output: 12
Function Q(x, y) { Return x * 3 - y; }
Function Loud(x, y) { Print("loud", x); Return x + y; }
Function Run() {
    Var s = 0;
    Var i;
    For (i = 0; i < 4; i++) {
        s = s + Step(i, 1);
        If (i == 1) Step = Loud;
        If (i == 2) Step = Q;
    }
    Return s;
}
Step = Q;
Print(Run());
Step = "Q";
Print(Run());

//== a call answered from its Return that divides by zero fails inside its callee
// expect: error 111 line 3 column 34
// expect output: 18
Function Div(x, y) { Return x / y; }
Function Halves(n) {
    Var s = 0;
    Var i;
    For (i = 2; i >= n; i--) s = s + Div(12, i);
    Return s;
}
Print(Halves(1));
Print(Halves(0));

//== a recursion whose statements call functions answered from their Return fails at the call nesting limit where the walk does
// expect: error 15 line 4 column 52
Function One(x) { Return x + 1; }
Function Deep(n) {
    Var s = 0; s = s + 2; If (n > 0) s = s + One(n); Return s + Deep(n + 1);
}
Print(Deep(1));
