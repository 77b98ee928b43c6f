//== Math's functions of one number give the same in every round, whatever the argument's kind
Function Main() {
    Var v = 16;
    Var r = 0;
    Var i;
    For (i = 0; i < 4; i++) {
        r = Math.Sqrt(v) + Math.Floor(2.5);
        Print(r);
        If (i == 1) v = "25";
        If (i == 2) v = 0.25;
    }
}
Main();
// expect output: 6
// expect output: 6
// expect output: 7
// expect output: 2.5
// expect: end

//== an object given to Math's function of one number fails at the call, after rounds that did not
Function Obj() {}
Function Main() {
    Var v = 1;
    Var r;
    Var i;
    For (i = 0; i < 3; i++) {
        If (i == 2) v = New Obj();
        r = 1 + Math.Sin(v);
    }
}
Main();
// expect: error 18 line 8

//== a method with an effect beside them runs once a round
Function Main() {
    Var r = 0;
    Var a = 0;
    Var b = 0;
    Var i;
    Math.SetRandom(7);
    For (i = 0; i < 3; i++) {
        r = Math.Cos(0) + Math.Random(100) * 0;
    }
    a = Math.Random(100);
    Math.SetRandom(7);
    For (i = 0; i < 4; i++) {
        b = Math.Random(100);
    }
    Print(r, a == b);
}
Main();
// expect output: 1 1
// expect: end
