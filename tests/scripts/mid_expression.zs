//== a member assigned after the right side deleted its object
// expect: error 32 line 5
Function Node(v) { This.v = v; }
Function Kill(o) { Delete o; Return 1; }
n = New Node(5);
n.v = Kill(n);

//== a compound assignment to a member whose object its right side deleted
// expect: error 32
Function Node(v) { This.v = v; }
Function Kill(o) { Delete o; Return 1; }
n = New Node(5);
n.v += Kill(n);

//== a member read before its object is deleted keeps its value
// expect: end
// expect output: 6 0
Function Node(v) { This.v = v; }
Function Kill(o) { Delete o; Return 1; }
n = New Node(5);
x = n.v + Kill(n);
Print(x, n);

//== member reads repeated at one place keep seeing each new object
// expect: end
// expect output: 0 1 2 3 4 5 6 7 8 9
Function Node(v) { This.v = v; }
line = "";
For (i = 0; i < 10; i++) {
    n = New Node(i);
    line = line + n.v;
    Delete n;
    If (i < 9) line = line + " ";
}
Print(line);

//== a method called on an object its arguments delete
// expect: error 32
Function Kill(o) { Delete o; Return 1; }
s = New Voice();
s.Move(Kill(s), 2);

//== objects last read inside an expression are collected once nothing holds them
// expect: end
// expect output: 2
// expect output: 0
a = New Voice();
b = New Voice();
a.X();
x = b.X();
y = 1 + a.X() + (2 * b.X());
Print(Math.Count(53));
a = 0;
b = 0;
y = 1 + (1 + (1 + (1 + (1 + (1 + CollectNow())))));
Print(Math.Count(53));

//== an element assigned after the right side emptied its array
// expect: end
// expect output: 7 0
Function Empty() { list = 0; Return 7; }
list[3] = 1;
Print(list[3] = Empty(), list);

//== an element assigned after the right side grew its array
// expect: end
// expect output: 5 1
Function Grow() { list[5000] = 1; Return 5; }
list[1] = 0;
list[1] = Grow();
Print(list[1], list[5000]);

//== element reads repeated at one place follow each new array
// expect: end
// expect output: 45
total = 0;
For (i = 0; i < 10; i++) {
    list = 0;
    list[i] = i;
    total += list[i];
}
Print(total);

//== arrays last read inside an expression are collected with the objects they hold
// expect: end
// expect output: 0
list[0] = New Voice();
list[0];
x = list[0];
x = 0;
list = 0;
y = 1 + (1 + (1 + (1 + (1 + (1 + CollectNow())))));
Print(Math.Count(53));

//== the locals of one call leave nothing to the next
// expect: error 41 line 6
// expect output: 1
Function Fill(first) {
    If (first) { list[2] = 7; Return 1; }
    list[5] = 0;
    Return list[2];
}
Print(Fill(1));
Print(Fill(0));

//== the locals of a call that ended hold no object
// expect: end
// expect output: 1
// expect output: 0
Function Keep() { list[2] = New Voice(); held = list[2]; Return Math.Count(53); }
Print(Keep());
CollectNow();
Print(Math.Count(53));
