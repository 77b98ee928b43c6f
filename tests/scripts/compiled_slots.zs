//== a name assigned first is the call's own local until a global of its name exists
// expect: end
// expect output: 7 12 12
Function Keep(n) {
    Var seen;
    seen = n + 2;
    For (k = 0; k < n; k++) {
        seen += 0;
    }
    Return seen;
}
a = Keep(5);
seen = 9;
b = Keep(10);
Print(a, b, seen);

//== a first assignment whose right side reads the name reads nothing yet
// expect: error 41 line 3 column 22
Function Grow() {
    total = total + 1;
    Return total;
}
Print(Grow());

//== counting rounds give way when the counter or the limit holds no integer
// expect: end
// expect output: 3 4.5 | 5 | x 2147483647
Function Doubles() {
    For (i = 0; i < 4; i++) {
        If (i == 2) i = 2.5;
    }
    Return i;
}
Function Limit() {
    n = 6.5;
    For (i = 0; i < n; i++) {
        If (i == 4) n = 5;
    }
    Return i;
}
Function Text() {
    limit = "x";
    For (j = 0; j < 2; j++) {
    }
    Return limit;
}
Function Wraps() {
    last = 0;
    For (i = 2147483640; i > 0; i++) {
        If (i == 2147483647) last = i;
    }
    Return last;
}
Print(3, Doubles(), "|", Limit(), "|", Text(), Wraps());

//== a counter turned into a text stops the round with the error of its step
// expect: error 12 line 3 column 27
Function Stepped() {
    For (i = 0; i < 4; i++) {
        If (i == 1) i = "a";
    }
    Return i;
}
Stepped();

//== typed operators keep the errors and the wrapping of the general ones
// expect: error 111 line 13 column 22
// expect output: 2147483647 -2147483648 2147483647 -2147483648 1 0 0.5
Function Numbers(zero) {
    Var big = 65536 * 32768 - 1;
    Var small = big + 1;
    r1 = big;
    r2 = small - 1;
    r3 = small / -1;
    r4 = 3 && -1;
    r5 = 0 || 0;
    r6 = 1.0 / 2.0;
    Print(r1, small, r2, r3, r4, r5, r6);
    Return big / zero;
}
Numbers(0);

//== a local made inside a loop lives until the loop ends, then its name finds nothing
// expect: error 41 line 9 column 30
Function Inner(n) {
    total = 0;
    While (total < n) {
        step = 2;
        For (j = 0; j < step; j++) total++;
        Var step;
    }
    Print(total, step + 0 * j);
    Return step;
}
Inner(5);

//== both sides of "?" run, and an unassigned name before ":" stops it there
// expect: error 41 line 10 column 24
// expect output: 12 2 small
Function Count(n) {
    calls = calls + 1;
    Return n;
}
Function Pick(c) {
    x = c ? Count(1) : Count(2) + 10;
    Print(x, calls, c > 1 ? "big" : "small");
    Return c ? nothing : Count(3);
}
calls = 0;
Pick(0);
Pick(2);

//== remainders and shifts of integers as the general operators make them
// expect: error 111 line 7 column 20
// expect output: 2 -2 0 2 -1 -1 0
Function Bits(zero) {
    Var low = 65536 * 32768;
    Var minus = 0 - 1;
    Print(17 % 5, -17 % 5, low % minus, 1 << 33, low >> 31, minus >> 40, 5 % 2.5);
    Return 7 % zero;
}
Bits(0);
