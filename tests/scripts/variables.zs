//== a name assigned at the top level is global; in a function it is a local that goes
// expect output: 5 1
g = 5;
Function Make() { made = 1; Return made; }
Print(g, Make());
Print(made);
// expect: error 41 line 5

//== names assigned inside a block end with the block; names assigned before it stay
// expect: error 41 line 8 column 12
kept = 1;
{
    kept = 2;
    inner = 3;
}
Print(kept);
Print(inner);
// expect output: 2

//== Var makes a local even when a global of the name exists
// expect: end
// expect output: 2 1
g = 1;
Function Shadow() { Var g = 2; Return g; }
Print(Shadow(), g);

//== locals come before members and members before globals
// expect: end
// expect output: local member global
name = "global";
Function Thing() { This.name = "member"; This.Show = Show; This.Local = Local; }
Function Show() { Return name; }
Function Local() { Var name = "local"; Return name; }
Function Global() { Return name; }
t = New Thing();
Print(t.Local(), t.Show(), Global());

//== a global is read and written from inside a function
// expect: end
// expect output: 11
total = 10;
Function Bump() { total = total + 1; }
Bump();
Print(total);

//== reading an unassigned name
// expect: error 41 line 3
a = 1;
b = a + missing;

//== parameters are locals of the call
// expect: end
// expect output: 3 outer
p = "outer";
Function Add(p, q) { Return p + q; }
Print(Add(1, 2), p);

//== a function value can be held and compared
// expect: end
// expect output: 1 0
Function A() { Return 1; }
Function B() { Return 2; }
f = A;
Print(f == A, f == B);

//== lookups in a table of many names stay right after a block ends
// expect: error 41 line 12
// expect output: 7 5
// expect output: 18 2
g1 = 1; g2 = 2; g3 = 3; g4 = 4; g5 = 5; g6 = 6; g7 = 7; g8 = 8; g9 = 9; g10 = 10;
g11 = 11; g12 = 12; g13 = 13; g14 = 14; g15 = 15; g16 = 16; g17 = 17; g18 = 18;
{
    b1 = 1; b2 = 2; b3 = 3; b4 = 4; b5 = 5;
    Print(g7, b5);
}
Function Dup(a, a) { Return a; }
Print(g18, Dup(1, 2));
x = b5 + 1;

//== This at the top level names the globals
// expect: end
// expect output: 4 5
top = 4;
me = This;
me.other = 5;
Print(me.top, other);
