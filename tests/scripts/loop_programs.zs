//== a handler posted from a loop of number statements runs between its statements and changes what the loop reads
// expect: end
// expect output: h 9 2
// expect output: h 8 0.5
// expect output: h 7 2
// expect output: h 6 0.5
// expect output: h 5 2
// expect output: h 4 0.5
// expect output: h 3 2
// expect output: h 2 0.5
// expect output: h 1 2
// expect output: h 0 0.5
// expect output: 7.5
Function H(n) {
    If ((n % 2) == 0) g = 0.5;
    Else g = 2;
    Print("h", n, g);
    If (n > 0) Post(H, n - 1);
}
Function Sum() {
    Var s = 0;
    Var i = 0;
    Post(H, 9);
    While (i < 12) {
        s = s + g;
        i++;
    }
    Return s;
}
g = 1;
Print(Sum());

//== an integer division by zero in a loop of number statements fails at its operator after the rounds before it
// expect: error 111 line 7 column 30
// expect output: 63
Function Divide(n) {
    Var s = 0;
    Var i = 0;
    While (i < 10) {
        s = s + 100 / (n - i);
        i++;
    }
    Return s;
}
Print(Divide(20));
Print(Divide(5));

//== a loop's variables change from integers to doubles and back between rounds
// expect: end
// expect output: 10/8 10/8 10/8
Function Halves(n) {
    Var x = n;
    Var k = 0;
    For (k = 0; k < 8; k++) {
        x = x / 2;
        If (k == 2) x = x + 0.5;
        If (k == 5) x = 40;
    }
    Return x + "/" + k;
}
Print(Halves(100), Halves(7.0), Halves(-9));

//== Break, Continue and nested loops of number statements stop where the walk stops
// expect: end
// expect output: 690602 750601 760601
Function Rounds(limit) {
    Var total = 0;
    Var i = 0;
    Var j = 0;
    For (i = 0; i < 6; i++) {
        If (i == 1) Continue;
        j = 0;
        While (j < limit) {
            j++;
            If (j == 4) Continue;
            total = total + (i * j);
            If (total > 60) Break;
        }
        If (total > 100) Break;
    }
    Return (total * 10000) + (i * 100) + j;
}
Print(Rounds(3), Rounds(7), Rounds(50));

//== a text met by a loop of number statements fails at the statement that reads it
// expect: error 12 line 7 column 18
// expect output: 11
Function Mix(v) {
    Var s = 1;
    Var i = 0;
    While (i < 5) {
        s = s * 2;
        If (i == 3) s = v;
        s = s - 1;
        i++;
    }
    Return s;
}
Print(Mix(7));
Print(Mix("q"));

//== a handler run between the statements of a loop calls the function whose loop it interrupts
// expect: end
// expect output: h 12 7.5
// expect output: h 11 7.5
// expect output: h 10 7.5
// expect output: h 9 7.5
// expect output: h 8 7.5
// expect output: h 7 7.5
// expect output: h 6 7.5
// expect output: h 5 7.5
// expect output: h 4 7.5
// expect output: h 3 7.5
// expect output: h 2 7.5
// expect output: h 1 7.5
// expect output: h 0 7.5
// expect output: 476
Function H(n) {
    Print("h", n, Count(3));
    If (n > 0) Post(H, n - 1);
}
Function Count(n) {
    Var s = 0;
    Var i = 0;
    While (i < n) {
        s = s + (i * 2.5);
        If (i == 4) s = s + 1;
        i++;
    }
    Return s;
}
Post(H, 12);
Print(Count(20));

//== values shifted along a row of locals in a loop keep their kinds, a text among them included
// expect: end
// expect output: 0.5/2.5/4.5
// expect output: t/8.5/10.5
Function Shift(n) {
    Var a = 1;
    Var b = 2;
    Var c = 3.5;
    Var i = 0;
    While (i < n) {
        a = b;
        b = c;
        If (i == 3) c = "t";
        Else c = (2 * i) + 0.5;
        i++;
    }
    Return a + "/" + b + "/" + c;
}
Print(Shift(3));
Print(Shift(6));

//== constants on the left of a loop's products and comparisons give what the walk gives, an integer that wraps included
// expect: end
// expect output: 689956897
// expect output: 21:5.23018e+09
Function Grow(x) {
    Var n = 0;
    While (40 > n) {
        x = 3 * x;
        n++;
        If (3000000000.5 < x) Return n + ":" + x;
    }
    Return x;
}
Print(Grow(1));
Print(Grow(0.5));

//== integer slots stepped in a loop wrap at the ends of the integers, and a double stepped stays a double
// expect: end
// expect output: -2147483647/2147483647/1.5/3
Function Steps() {
    Var a = 2147483646;
    Var b = 0 - 2147483646;
    Var c = 4.5;
    Var i = 0;
    While (i < 3) {
        a++;
        b--;
        c--;
        i++;
    }
    Return a + "/" + b + "/" + c + "/" + i;
}
Print(Steps());
