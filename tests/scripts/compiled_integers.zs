//== statements on integers give way to the full steps for any other value
// expect: end
// expect output: 9 4.5 a2 3.5 5.5 | 2147483647 -2147483648 2147483647
Function Mixed(a, b) {
    Var s = 0;
    s = a + b * 2;
    Return s;
}
Function Others() {
    Var d = 2.5;
    d++;
    d = d + 0;
    Var t = "x";
    t = 1;
    t++;
    Return d + t;
}
Function Up(n) {
    Var up = n;
    up++;
    Return up;
}
Function Down(n) {
    Var down = n;
    down--;
    Return down;
}
Print(Mixed(3, 3), Mixed(0.5, 2), Mixed("a", 1), Mixed(1.5, 1), Others(), "|",
      Up(2147483646), Up(Up(2147483646)), Down(Up(Up(2147483646))));

//== a division by zero in a statement on integers fails where the walk fails
// expect: error 111 line 5 column 18
// expect output: 8
Function Share(a, b) {
    Var q = 0;
    q = a + a / b;
    Return q;
}
Print(Share(6, 3));
Print(Share(6, 0));

//== globals read by statements on integers are read afresh each round
// expect: end
// expect output: 64 10 | 2 5
g = 1;
Function Sum() {
    Var s = 0;
    Var i;
    For (i = 0; i < 5; i++) {
        s = s + g * 2;
        If (i == 1) g = 10;
    }
    Return s;
}
Function Count() {
    c = 0;
    c = c + 1;
    c++;
    Return c;
}
Print(Sum(), g, "|", Count(), Count() + 3);

//== a name bound to a slot in one call goes through the scopes in a call where a global has it
// expect: end
// expect output: 2 | 2 2
Function Count() {
    c = 0;
    c = c + 1;
    c++;
    Return c;
}
first = Count();
c = 5;
Print(first, "|", Count(), c);

//== functions that only return integers of their parameters take any value as the call would
// expect: error 41 line 4 column 21
// expect output: 7 6.5 ab2 -2147483648 | 1
Function Sum(a, b) {
    Return a + b * 2;
}
Function Half(a, b) {
    Return (a - 1) / b;
}
Print(Sum(1, 3), Sum(0.5, 3), Sum("ab", 1), Sum(2147483646, 1), "|", Half(3, 2));
Print(Sum(1));
