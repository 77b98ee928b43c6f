//== functions of one parameter name call each other, each level reading its own
// expect: end
// expect output: 10 5
// expect output: 4
// expect output: 3
// expect output: 2
// expect output: 1
// expect output: 0
n = 5;
Function Even(n) { If (n == 0) Return 1; Return Odd(n - 1); }
Function Odd(n) { If (n == 0) Return 0; Return Even(n - 1); }
Function Walk(n) { If (n < 0) Return n; Print(n); Return Walk(n - 1) + 0 * n; }
Print(Even(10) * 10 + Odd(10) * 0, n);
Walk(4);

//== the same name is a local at one level and a global at the next
// expect: end
// expect output: 107 107 3
x = 100;
Function Outer(x) { Return Inner(1) + x; }
Function Inner(y) { Return x + y + 5; }
Print(Outer(1), Inner(1) + 1, x - 97);

//== two parameters of one name: the later one is read
// expect: end
// expect output: 2 4 Default string
Function Twice(a, a) { Return a; }
Print(Twice(1, 2), Twice(3, 4), Twice(5));

//== a call with fewer arguments after one with more reads defaults, not old values
// expect: end
// expect output: 1 2 3
// expect output: 4 Default string Default string
// expect output: 5 6 3
Function Show(a, b, c) { Print(a, b, c); }
Show(1, 2, 3);
Show(4);
Show(5, 6, 3);

//== a function replaced while its call runs: the call goes on, the next one binds anew
// expect: end
// expect output: 11 4
Function First(a) { F = Second; Return a + 10; }
Function Second(p, q) { Return p + q; }
F = First;
Print(F(1), F(1, 3));

//== an error in an argument stops the call before it starts, at the argument's line
// expect: error 42 line 5
Function Add(a, b) { Return a + b; }
t = Add(1, 2);
t = Add(t,
        Nowhere(1));

//== an error in the body after the parameters were bound reports the body's line
// expect: error 41 line 4
Function Bad(a, b) {
    c = a + b;
    Return c + d;
}
Print(Bad(1, 2));

//== runaway recursion of one parameter ends with error 15 at the recursive call
// expect: error 15 line 2
Function Down(n) { Return Down(n + 1); }
Print(Down(0));

//== after a deep recursion the levels' locals serve shallow calls with their own values
// expect: end
// expect output: 4000 3 2 9
Function Count(n) { If (n == 0) Return 0; Return 1 + Count(n - 1); }
Function Pick(a, b) { If (a > 0) Return Pick(a - 1, b); Return b; }
Print(Count(4000), Count(3), Pick(3, 2), Pick(1, 9));

//== a handler with a parameter of the function's name runs during the call
// expect: end
// expect output: h 101
// expect output: 2 5 h
n = 5;
Function Handle(n) { Print("h", n); }
Function Work(n) {
    Post(Handle, n + 100);
    k = n;
    Return n + k;
}
Print(Work(1), n, "h");

//== a handler setting globals between the statements of a running call
// expect: end
// expect output: 3 1 2
g1 = 0;
g2 = 0;
Function Make(v) { g1 = v; g2 = v + 1; }
Function Use(a) {
    Post(Make, a);
    b = a;
    Return a + b + 1;
}
Print(Use(1), g1, g2);
