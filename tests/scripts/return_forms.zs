//== functions returning numbers of their parameters agree with bodies that bind them
// expect: end
// expect output: 6 6 0.5 0.5 7 7 -1 -1
// expect output: 1.5 1.5 ab ab 12 12
Function Mix(a, b, c) { Return a * b - c; }
Function MixBound(a, b, c) { d = a * b - c; Return d; }
Function Half(x) { Return x * 0.5; }
Function HalfBound(x) { y = x * 0.5; Return y; }
Function Same(v) { Return v; }
Function SameBound(v) { w = v; Return w; }
Function Sum(a, b) { Return a + b; }
Function SumBound(a, b) { s = a + b; Return s; }
Print(Mix(2, 4, 2), MixBound(2, 4, 2), Half(1.0), HalfBound(1.0), Same(7), SameBound(7),
      Mix(65536, 65536, 1), MixBound(65536, 65536, 1));
Print(Sum(1, 0.5), SumBound(1, 0.5), Sum("a", "b"), SumBound("a", "b"), Sum(5, 7), Sum(5, 7));

//== a zero divisor in a returned expression is reported inside the function
// expect: error 111 line 4
// expect output: 2
Function Ratio(a, b) {
    Return a / b;
}
Print(Ratio(6, 3));
Print(Ratio(1, 0));

//== missing arguments, names that are no parameters, repeated parameters
// expect: end
// expect output: Default string 1 12 8 4
g = 10;
Function Second(a, b) { Return b; }
Function PlusGlobal(a) { Return a + g; }
Function Twice(a, a) { Return a + a; }
Function Literal(a, b) { Return 4; }
Print(Second(1), Second(0, 1), PlusGlobal(2), Twice(1, 4), Literal());

//== methods and constructors of script objects return the same way
// expect: end
// expect output: 9 3 1
Function Box(w) { This.w = w; Return w * 3; }
Function Scale(k) { Return k * 3; }
b = New Box(1);
b.Scale = Scale;
Print(b.Scale(3), b.w + 2, b.w);

//== recursion through functions of one Return still ends at the nesting limit
// expect: error 15 line 2
Function Deep(n) { Return Deep(n + 1) + 0; }
Function Leaf(n) { Return n + 1; }
Print(Leaf(Leaf(1)), Deep(0));

//== statements calling such functions follow the function a name holds at each round
// expect: end
// expect output: 4
// expect output: 18 18.5 9
Function One(a) { Return a - 1; }
Function Ten(a) { Return a + 10; }
Function Loud(a) { Print(a); Return a; }
Function Half(a) { Return a * 0.5; }
s = 0;
F = One;
For (i = 1; i < 5; i++) {
    s = s + F(i);
    If (i == 2) F = Ten;
    If (i == 3) F = Loud;
}
t = s + Half(1.0);
u = Seven() + 2;
Function Seven() { Return 7; }
Print(s, t, u);

//== a name called that holds no function is reported by the statement
// expect: error 128 line 4
NotCalled = 5;
s = 1;
s = s + NotCalled(2);

//== a Return behind an If on the parameters answers when the condition holds
// expect: end
// expect output: 0 7 9 9 4 -3 2.5 2.5
// expect output: 832040 6
Function Clamp(a) { If (a < 0) Return 0; Return a; }
Function Larger(a, b) { If (a > b) Return a; Return b; }
Function Halve(a) { If (a % 2 == 0) Return a / 2; Return a; }
Function Fib(n) { If (n < 2) Return n; Return Fib(n - 1) + Fib(n - 2); }
Print(Clamp(-5), Clamp(7), Larger(9, 2), Larger(2, 9), Halve(8), Halve(-3), Clamp(2.5),
      Larger(1, 2.5));
Print(Fib(30), Halve(12));

//== an event waiting when such a call starts runs after its If, as the body would run it
// expect: end
// expect output: 106 0 100 0
g = 0;
Function Handler(v) { g = 100; }
Function Guarded(a) { If (a > 0) Return a * 2; Return 0; }
x = Post(Handler, 1) + Guarded(3) + g;
g = 0;
y = Post(Handler, 1) + Guarded(-3) + g;
Print(x, QueuedEvents(), y, QueuedEvents());

//== when the condition does not hold the body goes on after the If, past an Else
// expect: end
// expect output: 1 2 6 0
Function Sign(a) {
    If (a > 0) Return 1; Else Return 2;
}
Function Twice(a) {
    If (a > 10) Return 0;
    b = a * 2;
    Return b;
}
Print(Sign(5), Sign(-5), Twice(3), Twice(11));

//== a zero divisor behind a guard that holds is reported at the Return
// expect: error 111 line 5
// expect output: 0
Function Ratio(a, b) {
    If (a > 0)
        Return a / b;
    Return 0;
}
Print(Ratio(0, 0));
Print(Ratio(1, 0));
