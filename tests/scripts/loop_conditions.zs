//== conditions joined by && and || in loops compare integers and doubles as the walk does
// expect: end
// expect output: 6/4.5/224/10 4/3/112/4 2/1.5/200/8
Function Count(n, limit) {
    Var it = 0;
    Var x = 0.0;
    Var hits = 0;
    Var i;
    While (((x * x) <= limit) && (it < n)) {
        x = x + 0.75;
        it++;
        If ((it == 3) || (x > 2.9)) hits++;
        If (!((it % 2) == 0) && (hits != 0)) hits = hits + 10;
    }
    For (i = 0; (i < n) || (i == 7); i++) {
        If ((i >= 2.5) && (i <= 4)) hits = hits + 100;
    }
    Return it + "/" + x + "/" + hits + "/" + i;
}
Print(Count(10, 16), Count(4, 100.5), Count(7, 2));

//== both sides of && and || are worked out: a side that fails fails whatever the other gives
// expect: error 111 line 7 column 40
// expect output: 3
Function Guard(n) {
    Var i = 0;
    Var s = 0;
    While (i < n) {
        If ((i > 100) && ((10 / (i - 3)) > 0)) s = s + 1000;
        s = s + 1;
        i++;
    }
    Return s;
}
Print(Guard(3));
Print(Guard(5));

//== members and elements in conditions, their kinds changing between rounds
// expect: end
// expect output: 14.5/-4.5/5 1 4.5 5
Function Ball(x, v) {
    This.x = x;
    This.v = v;
    This.hits = 0;
}
Function Bounce(b, rounds) {
    Var k;
    For (k = 0; k < rounds; k++) {
        b.x = b.x + b.v;
        If ((b.x < 0) || (b.x > 10)) {
            b.v = 0 - b.v;
            b.hits = b.hits + 1;
        }
        If ((k == 4) && (w[1] >= 2)) b.v = b.v * 1.5;
        If ((w[k % 3] != 1) && !(b.hits < 2)) w[k % 3] = w[k % 3] + 0.5;
    }
    Return b.x + "/" + b.v + "/" + b.hits;
}
w[0] = 1; w[1] = 2; w[2] = 3;
Print(Bounce(New Ball(1, 3), 20), w[0], w[1], w[2]);

//== a text compared in a loop's condition compares as texts, as the walk compares it
// expect: end
// expect output: 63 26 63 26
Function Texts(v) {
    Var s = 5;
    Var n = 0;
    Var i;
    For (i = 0; i < 6; i++) {
        If ((s < 30) && (s != 7)) n = n + 1;
        If (i == 2) s = v;
        If ((s > 4.5) || (s == "x")) n = n + 10;
    }
    Return n;
}
Print(Texts(40), Texts("10"), Texts("x"), Texts(2.5));
