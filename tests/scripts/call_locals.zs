//== parameters and locals of a recursion find their own level
// expect: end
// expect output: 15 100 55
n = 100;
Function Sum(n) {
    If (n == 0) Return 0;
    Var k = n;
    Return k + Sum(n - 1) + k - n;
}
Function Fib(n) {
    If (n < 2) Return n;
    Return Fib(n - 1) + Fib(n - 2);
}
Print(Sum(5), n, Fib(10));

//== a local made after the parameters, and one dropped with its block
// expect: end
// expect output: 7 1 7 9
Function F(a) {
    If (a > 0) {
        Var t = a * 2;
        a = t;
    }
    b = a + 1;
    Return b;
}
Function Pair(a, b, c, d, e) {
    Return a + b + c + d + e;
}
Print(F(3), F(0), F(3), Pair(1, 1, 1, 1, 5));

//== a global of a parameter's name is not touched by the call
// expect: end
// expect output: 2 3 9
a = 9;
Function G(a) {
    a = a + 1;
    Return a;
}
Print(G(1), G(2), a);

//== a function that reads a global, then gets a local of that name
// expect: end
// expect output: 5 1 5
g = 5;
Function H(first) {
    If (first) Return g;
    Var g = 1;
    Return g;
}
Print(H(1), H(0), H(1));

//== a local dropped with its block leaves the global of its name in sight
// expect: end
// expect output: 51 52
t = 50;
Function K(a) {
    {
        Var t = a;
    }
    Return t + 1;
}
Print(K(2), K(3) + 1);
