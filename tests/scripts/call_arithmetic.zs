//== arithmetic around calls that run in full, in a recursion
// expect: end
// expect output: 883 82
Function Big(x) {
    If (x > 10) Return x - 10;
    Return x + 1;
}
Function Walk(n, depth) {
    Var total = n % 7;
    If (depth == 0) Return total;
    total = total + Walk(n + 3, depth - 1) * 2;
    total = (total + Big(n)) % 1009;
    Return total;
}
Print(Walk(5, 6), Walk(9, 3));

//== conditions whose calls run in full
// expect: end
// expect output: 11
Function Big(x) {
    If (x > 10) Return x - 10;
    Return x + 1;
}
Function Count(n) {
    Var k = 0;
    Var i;
    For (i = 0; i < n; i++) {
        If (Big(i) * 2 > 12) k = k + Big(i) % 4;
    }
    While (Big(k) - 1 > 0) k = k - 2;
    Return k;
}
Print(Count(20));

//== a call's text joins the arithmetic around it as the operators join texts
// expect: end
// expect output: 2 1n50
Function Name(x) {
    If (x > 1) Return "n" + x;
    Return x;
}
Function Join(x) {
    Var s = 1;
    s = s + Name(x);
    s = s + Name(0) * 3;
    Return s;
}
Print(Join(1), Join(5));

//== a division by zero after a call fails where the walk fails
// expect: error 111 line 9 column 20
// expect output: 5
Function Zero(x) {
    If (x > 0) Return 0;
    Return 2;
}
Function Share(a) {
    Var q = 10;
    q = q / Zero(a);
    Return q;
}
Print(Share(-1));
Print(Share(1));

//== a call that returns nothing fails in the arithmetic around it where the walk fails
// expect: error 41 line 8 column 17
Function Set(x) {
    g = x;
}
Function Use(x) {
    Var v = 2;
    v = v + Set(x) * 2;
    Return v + g;
}
Print(Use(5));
