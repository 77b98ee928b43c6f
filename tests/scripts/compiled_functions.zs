//== parameters and declared locals of a recursion keep their values level by level
// expect: end
// expect output: 55 4
Function Fib(n) {
    If (n < 2) Return n;
    Var a = Fib(n - 1);
    Var b = Fib(n - 2);
    Return a + b;
}
Function Tak(x, y, z) {
    If (y >= x) Return z;
    Return Tak(Tak(x - 1, y, z), Tak(y - 1, z, x), Tak(z - 1, x, y));
}
Print(Fib(10), Tak(7, 4, 6));

//== a global read before a Var of its name stays the global's, the local hides it after
// expect: end
// expect output: 3 12 3
g = 3;
Function Shadow(n) {
    before = g;
    Var g = n;
    g = g + 2;
    Return before * 4 + g - 2 - n;
}
Print(g, Shadow(10), g);

//== Break and Continue leave plain blocks and loops; a Var in a loop body lives on its level
// expect: end
// expect output: 13
Function Loops(limit) {
    total = 0;
    rounds = 0;
    For (i = 0; i < limit; i++) {
        {
            Var step = i;
            If (step == 2) Continue;
            If (step == 6) {
                Break;
            }
            total += step;
        }
    }
    k = 0;
    While (k < 10) {
        k++;
        If (k > 3) Break;
        rounds++;
    }
    Return total - rounds + 3 + 0 * k;
}
Print(Loops(100));

//== runaway recursion of a function with locals ends with error 15 at its call
// expect: error 15 line 4
Function Deep(n) {
    Var next = n + 1;
    Return Deep(next);
}
Deep(0);

//== an error in a function's expression is placed at its operator
// expect: error 12 line 4 column 21
Function Text(a) {
    Var t = "x";
    Return a + t * 2;
}
Print(Text(1));
