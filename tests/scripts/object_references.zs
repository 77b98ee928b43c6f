//== every kind of holder of a deleted object reads as integer 0
// expect: end
// expect output: 0 0 0 0 0 0 | 1 1 1 1 1 1
// expect output: 1 x0 0 2.5 | 1 1
Function Box(v) { This.v = v; }
a = New Voice();
b = a;
box = New Box(a);
list[1] = a;
list[3] = a;
grid[1, 2] = a;
Delete a;
Print(b, box.v, list[1], list[3], grid[1, 2], a, "|", b == 0, 0 == box.v, list[1] == list[3], grid[1, 2] != 1, !a, a >= 0);
Print(b + 1, "x" + box.v, list[3] * 7, grid[1, 2] + 2.5, "|", list[1] < 1, -1 < list[3]);

//== arrays holding an object at every depth, twice, let go of it at once
// expect: end
// expect output: 0 0 0 7
outer[0] = 7;
inner[0] = New Voice();
inner[1] = inner[0];
outer[1] = inner;
deep[0] = outer;
Delete inner[1];
o = deep[0];
i = o[1];
Print(i[0], i[1], inner[0], o[0]);

//== a deleted holder takes part in operators as 0, on either side
// expect: end
// expect output: 3 -3 1 -1 0 1 0 4
a = New Voice();
b = a;
Delete a;
x = b;
x++;
y = b;
y--;
Print(b + 3, b - 3, !b, ~b, -b, x, b & 7, 4 | b);

//== the parameter of the running function that deletes its object
// expect: end
// expect output: 0 1 5 0
// expect output: 0
Function Kill(o) {
    Var held = o;
    Delete o;
    Print(o, o == 0, o + 5, held);
    Return o;
}
Print(Kill(New Voice()));

//== an operand already read when its object is deleted takes part as 0
// expect: end
// expect output: 1 1 0
Function Kill(o) { Delete o; Return 1; }
a = New Voice();
r = a + Kill(a);
b = New Voice();
s = Kill(b) + b;
c = New Voice();
t = c == Kill(c);
Print(r, s, t);

//== a member read through a deleted holder fails where the member is named
// expect: error 35 line 6 column 9
Function Box(v) { This.v = v; }
a = New Box(1);
b = a;
Delete a;
Print(b.v);

//== a deleted holder is no object for Delete
// expect: error 18 line 5
a = New Voice();
b = a;
Delete a;
Delete b;

//== an object deleted by an event handler between statements
// expect: end
// expect output: posted
// expect output: 0 0 1
Function Killer(o) { Delete o; }
a = New Voice();
list[0] = a;
Post(Killer, a);
Print("posted");
For (i = 0; i < 12; i++) x = i;
Print(a, list[0], a == list[0]);

//== an object deleted while its own method runs: the holders let go at once
// expect: end
// expect output: 5 0 0
// expect output: 0
Function Box(v) { This.v = v; This.Drop = Drop; }
Function Drop() {
    Var keep = This.v;
    Delete held;
    Print(keep, held, other);
    Return held;
}
held = New Box(5);
other = held;
Print(held.Drop());

//== a holder assigned again after its object went holds the new content
// expect: end
// expect output: 0 |
// expect output: 2 two 1
Function Box(v) { This.v = v; }
a = New Box(1);
b = a;
c = a;
d = a;
Delete a;
Print(b, "|");
b = New Box(2);
c = "two";
d = b;
Print(b.v, c, d == b);
