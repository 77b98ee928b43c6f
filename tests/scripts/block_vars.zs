//== a Var in a loop body is the round's own local: the global and the parameter of its name stay
// expect: end
// expect output: 11/100/5 100
Function Shade(n) {
    Var sum = 0;
    Var i;
    For (i = 0; i < 3; i++) {
        Var g = i * n;
        Var n = n + 1;
        sum = sum + g;
    }
    Return sum + "/" + g + "/" + n;
}
g = 100;
Print(Shade(2), g);

//== a Var made twice in a round, and one left by Break from an inner block
// expect: end
// expect output: 0,10,21|gxgy
Function Twice() {
    Var out = "";
    Var i;
    For (i = 0; i < 4; i++) {
        Var x = i;
        Var x = x * 10;
        If (i == 2) {
            Var y = x + 1;
            out = out + y;
            Break;
        }
        out = out + x + ",";
    }
    Return out + "|" + x + y;
}
x = "gx";
y = "gy";
Print(Twice());

//== a Var read before it is made in the round (a loop's rounds share its block), and a Return from the block that made it
// expect: end
// expect output: g,0,1
Function Before() {
    Var i;
    Var seen = "";
    For (i = 0; i < 3; i++) {
        seen = seen + t + ",";
        Var t = i;
        If (i == 1) Return seen + t;
    }
}
t = "g";
Print(Before());

//== a Var whose kind changes between rounds
// expect: end
// expect output: 1.5s 4
Function Kinds() {
    Var i;
    Var total = 0;
    Var count = 0;
    While (count < 4) {
        Var k = count;
        If (count == 2) k = 0.5;
        If (count == 3) k = "s";
        total = total + k;
        count++;
    }
    Return total + " " + count;
}
Print(Kinds());

//== an error in a Var's value stops the loop at its place
// expect: error 111 line 6 column 28
// expect output: 6
Function Divide(d) {
    Var i;
    For (i = 0; i < 3; i++) {
        Var q = 6 / (d - i);
        Print(q);
    }
}
Divide(1);
