//== a method takes 0 to 15 arguments
// expect: end
// expect output: 0 1 15
Print(ArgCount(), ArgCount(1), ArgCount(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15));

//== a sixteenth argument
// expect: error 13
Print(ArgCount(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16));

//== a script function takes 15 parameters
// expect: end
// expect output: 120 15
Function Sum(a, b, c, d, e, f, g, h, i, j, k, l, m, n, o) {
    Return a + b + c + d + e + f + g + h + i + j + k + l + m + n + o;
}
Print(Sum(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15), Sum(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 15));

//== missing and empty arguments read as defaults; surplus ones are ignored
// expect: end
// expect output: 1 Default string 3
// expect output: 1 Default string
// expect output: 3
Function Three(a, b, c) { Print(a, b, c); }
Function Two(a, b) { Print(a, b); }
Three(1, , 3);
Two(1);
Print(ArgCount(1, , 3));

//== recursion
// expect: end
// expect output: 6765 120
Function Fib(n) { If (n < 2) Return n; Return Fib(n - 1) + Fib(n - 2); }
Function Fact(n) { If (n <= 1) Return 1; Return n * Fact(n - 1); }
Print(Fib(20), Fact(5));

//== calling a name that holds no function
// expect: error 128 line 3
x = 5;
x();

//== calling a name that does not exist
// expect: error 42 line 2
Nowhere(1);

//== calling a member that does not exist
// expect: error 42
Function Thing() { This.a = 1; }
t = New Thing();
t.Missing();

//== calling a member that holds no function
// expect: error 40
Function Thing() { This.a = 1; }
t = New Thing();
t.a();

//== method names do not depend on case
// expect: end
// expect output: 4 4 4
s = New Voice();
s.Move(4, 0);
Print(s.X(), s.x(), s.X);

//== the method id cached in a call follows the class of the object
// expect: end
// expect output: 9 101 9 101
Function Probe(o) { Return o.X(); }
sp = New Voice();
sp.Move(9, 0);
su = New Blob();
Print(Probe(sp), Probe(su), Probe(sp), Probe(su));

//== constants through the class name and through an object
// expect: end
// expect output: 7 42 7
s = New Voice();
Print(Voice.MAX, Math.ANSWER, s.MAX);

//== an ordinary method named through its class
// expect: error 11
x = Voice.X;

//== a method the class does not have
// expect: error 11 line 3
s = New Voice();
s.Jump();

//== a method call on a number
// expect: error 35
n = 5;
n.Jump();

//== calls nested in argument positions deeper than the frames
// expect: end
// expect output: 20
Function Inc(v) { Return v + 1; }
Print(Inc(Inc(Inc(Inc(Inc(Inc(Inc(Inc(Inc(Inc(Inc(Inc(Inc(Inc(Inc(Inc(Inc(Inc(Inc(Inc(0)))))))))))))))))))));

//== arguments of an outer call survive the calls made for later arguments
// expect: end
// expect output: 1 2 3 4 5
Function Id(v) { Return v; }
Function Five(a, b, c, d, e) { Print(a, b, c, d, e); }
Five(Id(1), Id(Id(2)), 3, Id(Id(Id(4))), Id(5));

//== methods of script objects see their object as This
// expect: end
// expect output: 3 5
Function Counter(start) { This.n = start; This.Add = Add; }
Function Add(k) { This.n = This.n + k; Return This.n; }
c = New Counter(1);
c.Add(2);
Print(c.n, c.Add(2));
