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

//== Math's methods of two numbers and those giving integers give the class's results and kinds in loops of number statements
Function Main() {
    Var v = -2;
    Var w = 0.5;
    Var p = 0;
    Var a = 0;
    Var r = 0;
    Var q = 0;
    Var i;
    For (i = 0; i < 6; i++) {
        p = Math.Pow(v, 2) + Math.Atan2(w, v);
        a = Math.Abs(v);
        r = Math.Round(w * 3);
        q = Math.GetDegree(Math.GetRadian(v)) + Math.IsFloatFinite(w) + Math.IsNotAFloatNumber(w);
        Print(p, a, r, q);
        If (i == 1) v = 2.5;
        If (i == 2) w = -1.5;
        If (i == 3) v = -2147483647 - 1;
        If (i == 4) w = 2147483647.5;
    }
}
Main();
// expect output: 6.89661 2 2 -1
// expect output: 6.89661 2 2 -1
// expect output: 6.4474 2.5 2 3.5
// expect output: 5.70958 2.5 -4 3.5
// expect output: 4.61169e+18 2.14748e+09 -4 -2.14748e+09
// expect output: 4.61169e+18 2.14748e+09 -2147483648 -2.14748e+09
// expect: end

//== a number that reads as a missing argument fails Pow and GetRadian inside a loop of number statements
Function Main() {
    Var v = 2;
    Var p = 0;
    Var i;
    For (i = 0; i < 4; i++) {
        p = p + Math.Pow(3, v);
        If (i == 2) v = -9999999999.0;
    }
    Print(p);
}
Main();
// expect: error 14 line 6

//== an event handler between statements gives the global Math's functions read a text, then an object
Var g = 16;
Function Obj() {}
Function Later(n) {
    If (n == 1) g = "25";
    If (n == 2) g = New Obj();
    If (n < 2) Post(Later, n + 1);
}
Function Main() {
    Var r = 0;
    Var i;
    Post(Later, 1);
    For (i = 0; i < 30; i++) {
        r = r + Math.Sqrt(g);
        r = r + Math.Abs(i - 3);
    }
    Print(r);
}
Main();
// expect: error 18 line 13

//== texts' methods give the same on shared, changed and number texts, whatever their arguments
Function Main() {
    Var t = "a,bc,,d";
    Var s = t;
    Var n = 2;
    Var i;
    For (i = 0; i < 3; i++) {
        Print(t.Length(), t.IndexOf(","), t.IndexOf(",", i), t.IndexOf(",", 1.5), t.LastIndexOf(","));
        Print(t.LastIndexOf(2), t.LastIndexOf(n), s.IndexOf(t), t.IndexOf(s), t.IndexOf(",", n));
        t = t + i;
        s = s + ",";
    }
    Print("".Length(), "".LastIndexOf(""), t.IndexOf("", 99), t.IndexOf(",", -1), t.IndexOf());
    Print(t.LastIndexOf(",,"), "aaa".LastIndexOf("aa"), "abc".IndexOf("c", 2), "abc".IndexOf("c", 3));
    Print(t.GetAscii(), t.GetAscii(1), t.GetAscii(1.5), t.GetAscii(-1), t.GetAscii(99), t.GetAscii("2"));
}
Main();
// expect output: 7 1 1 1 5
// expect output: -1 -1 0 0 4
// expect output: 8 1 1 1 5
// expect output: -1 -1 -1 -1 4
// expect output: 9 1 4 1 5
// expect output: -1 -1 -1 -1 4
// expect output: 0 -1 -1 -1 -1
// expect output: 4 0 2 -1
// expect output: 97 44 44 0 0 98
// expect: end

//== a text's method given an object fails as the method does
Function Obj() {}
Function Main() {
    Var t = "a,b";
    Var o = New Obj();
    Var r = t.IndexOf(",") + t.LastIndexOf(",", o);
    Print(r);
    r = t.IndexOf(",", o);
}
Main();
// expect output: 2
// expect: error 18 line 7
