//== number statements on members follow the object a name holds at each round
// expect: end
// expect output: 36 2.5 11 7
Function Point(x) { This.x = x; }
a = New Point(1);
b = New Point(10);
s = 0;
For (i = 0; i < 3; i++) {
    p = a;
    If (i == 1) p = b;
    s = s + p.x * 3;
}
c = New Point(1.5);
c.x = c.x + 1;
a.z = a.x + 10;
b.x = b.x - a.x - 2;
Print(s, c.x, a.z, b.x);

//== a member of a deleted object is reported by the statement that reads it
// expect: error 35 line 6
Function Point(x) { This.x = x; }
p = New Point(1);
p.x = p.x + 1;
Delete p;
p.x = p.x + 1;
