//== blocks that declare nothing, entered and left every round: an Else block, a plain block inside it, and an If's block
// expect: end
// expect output: 30 19.5 -14 10
Function Escape(limit) {
    Var x = 0;
    Var y = 1;
    Var n = 0;
    Var it = 0;
    While (it < limit) {
        If ((x + y) > 30) x = x - 7;
        Else {
            x = x + 3;
            {
                y = y + 2;
                If (y > 5) {
                    y = y - 4;
                }
            }
        }
        n = n + (x % 3);
        it++;
    }
    Return x + " " + (y + 14.5) + " " + (n - 14) + " " + it;
}
Print(Escape(10));

//== a kind that changes inside a block of the round: the steps go on inside the block and end it
// expect: end
// expect output: 2.25 6
Function Change() {
    Var s = 1;
    Var i = 0;
    While (i < 6) {
        If (i > 1) {
            {
                If (i > 2) s = s + 0.25;
                If (i == 4) s = s + 0.5;
            }
        }
        i++;
    }
    Return s + " " + i;
}
Print(Change());

//== Break and Continue out of nested blocks that declare nothing, and the loops after them
// expect: end
// expect output: 8/2/14
Function Leave() {
    Var a = 0;
    Var b = 0;
    Var i;
    For (i = 0; i < 9; i++) {
        {
            If (i == 2) {
                b++;
                Continue;
            }
            {
                a++;
                If (i == 8) {
                    b++;
                    Break;
                }
            }
        }
    }
    Var c = 0;
    While (c < 14) {
        { c++; }
    }
    Return a + "/" + b + "/" + c;
}
Print(Leave());

//== a division by zero inside a block of the round fails where the walk fails
// expect: error 111 line 9 column 36
// expect output: 1
Function Divide(n) {
    Var s = 0;
    Var i = 0;
    While (i < 10) {
        If (i > 1) {
            {
                s = s + n / (n - i);
            }
        }
        i++;
    }
    Return s;
}
Print(Divide(40) > 0);
Print(Divide(3));

//== a name made by an assignment inside a block of a loop at the top level goes at the block's end
// expect: error 41 line 13 column 12
// expect output: 3
i = 0;
w = 0;
While (i < 3) {
    {
        fresh = i + 1;
        w = fresh;
    }
    i++;
}
Print(w);
Print(fresh);

//== handlers run between the statements of a block of the round, their own blocks and names going with them
// expect: end
// expect output: 3 6
// expect output: 3 6
Function H(n) {
    Var z = n * 2;
    {
        Var q = z + 1;
        g = g + q - z;
    }
    If (n > 0) Post(H, n - 1);
}
Function Run() {
    Var s = 0;
    Var i = 0;
    Post(H, 2);
    While (i < 40) {
        If (i >= 0) {
            s = s + 1;
            i++;
        }
    }
    Return s;
}
g = 0;
Run();
Print(g, g * 2);
Print(g, 6);

//== a Switch of the round that declares nothing: Cases left by Break, a kind that changes inside a Case, and a Continue inside it failing as the walk's does
// expect: error 26 line 18 column 17
// expect output: 6.5 3 8
Function Machine(stop) {
    Var acc = 0;
    Var n = 0;
    Var pc = 0;
    While (pc < 8) {
        Switch (pc % 3) {
        Case 0:
            acc = acc + 2;
            Break;
        Case 1:
            If (pc == 4) acc = acc + 0.5;
            n++;
            Break;
        Default:
            If (pc == stop) {
                Continue;
            }
        }
        pc++;
    }
    Return acc + " " + n + " " + pc;
}
Print(Machine(100));
Print(Machine(5));
