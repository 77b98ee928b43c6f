//== a text joined onto the variable it is assigned to leaves its other holders alone
Function Main() {
    Var s = "ab";
    Var t = "";
    Var x = "-";
    Var i;
    For (i = 0; i < 4; i++) {
        s = s + x;
        If (i == 1) t = s;
    }
    s = s + s;
    Print(s, t, s.Length(), t.Length());
}
Main();
// expect output: ab----ab---- ab-- 12 4
// expect: end

//== the kinds may change between rounds: numbers join as their texts, a number first adds
Function Main() {
    Var s = 1;
    Var x = 2;
    Var i;
    For (i = 0; i < 5; i++) {
        s = s + x;
        If (i == 0) x = "a";
        If (i == 2) x = 0.25;
        If (i == 3) x = i;
    }
    Print(s);
}
Main();
// expect output: 3aa0.253
// expect: end

//== joining an object fails at the join
Function Main() {
    Var s = "ab";
    Var o = New Obj();
    s = s + "c";
    s = s + o;
}
Function Obj() {}
Main();
// expect: error 18 line 5
