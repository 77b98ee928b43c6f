//== a global stepped at every level of a recursion counts each call
// expect: end
// expect output: 3 137
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
calls = 0;
Print(Tak(8, 4, 2), calls);

//== the stepped global turns into a double, then a text, between calls
// expect: error 12 line 5
// expect output: 0
// expect output: 1.5
Function Count() {
    calls--;
    Return calls;
}
calls = 1;
Print(Count());
calls = 2.5;
Print(Count());
calls = "c";
Print(Count());

//== a local of the global's name takes the step, and the global keeps its value
// expect: end
// expect output: 4 13 7 7
Function Own() {
    Var calls = 10;
    calls += 3;
    Return calls;
}
Function Global() {
    calls += 3;
    Return calls;
}
calls = 1;
Print(Global(), Own(), Global(), calls);

//== a guarded Return of a parameter gives it with its kind
// expect: end
// expect output: t 2.5 7
Function Pick(x, y, z) {
    Var a;
    Var b;
    If (y >= x) Return z;
    a = Pick(x - 1, y, z);
    Return a;
}
Print(Pick(3, 1, "t"), Pick(2, 1, 2.5), Pick(1, 1, 7));

//== a row of four Vars, one read before it has a value
// expect: error 41 line 10
// expect output: 2
Function Four(x) {
    Var a;
    Var b;
    Var c;
    Var d;
    a = x;
    If (x > 1) Return a;
    Return d;
}
Print(Four(2));
Print(Four(1));
